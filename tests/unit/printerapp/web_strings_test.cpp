#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include <gtest/gtest.h>

#include "devpages/logo_rows.h"
#include "printerapp/web_strings.h"

namespace krv::app {
namespace {

// The pairs of strings data, read strictly: one `"key" = "text";` a line, as PAPPL reads it
// (PAPPL 1.3.1 loses the rest of the data after a comment or anything else).
std::map<std::string, std::string> Pairs(const std::string& data) {
    static const std::regex line(R"re("((?:[^"\\]|\\.)*)" = "((?:[^"\\]|\\.)*)";)re");
    std::map<std::string, std::string> pairs;
    std::istringstream in(data);
    std::string text;
    while (std::getline(in, text)) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(text, m, line)) << text;
        if (!m.empty()) pairs.emplace(m[1], m[2]);
    }
    return pairs;
}

std::string Conversions(const std::string& s) {
    static const std::regex conversion("%[-+ #0-9.]*[a-zA-Z]");
    std::string out;
    for (std::sregex_iterator i(s.begin(), s.end(), conversion), end; i != end; ++i)
        out += i->str() + " ";
    return out;
}

// PAPPL and the pages format with the Chinese as the pattern: it must take the same values.
TEST(WebStrings, ChineseTakesTheValuesItsKeyTakes) {
    for (const auto& [key, chinese] : Pairs(StringsData(Language::Chinese))) {
        EXPECT_FALSE(chinese.empty()) << key;
        EXPECT_EQ(Conversions(chinese), Conversions(key)) << key;
    }
    Pairs(StringsData(Language::English));
}

// Every text PAPPL's own English strings have is in the Chinese (read out of the library: its
// strings are one block of `"key" = "text";` lines, the English one with each text its key).
TEST(WebStrings, ChineseHasEveryTextOfPappl) {
#ifndef KRV_PAPPL_LIBRARY
    GTEST_SKIP() << "built without PAPPL";
#else
    std::ifstream in(KRV_PAPPL_LIBRARY, std::ios::binary);
    const std::string library{std::istreambuf_iterator<char>(in), {}};
    const size_t at = library.find("\"Add Printer\" = \"Add Printer\";");
    ASSERT_NE(at, std::string::npos);
    const size_t begin = library.rfind('\0', at) + 1;
    const auto english = Pairs(library.substr(begin, library.find('\0', at) - begin));
    const auto chinese = Pairs(StringsData(Language::Chinese));
    EXPECT_GT(english.size(), 1000u);
    for (const auto& [key, text] : english)
        EXPECT_TRUE(chinese.count(key)) << key;
#endif
}

TEST(WebStrings, RuleMessagesHaveEnglishKeys) {
    const std::string_view key = MessageKey(kMsgTooManyLogos);
    EXPECT_EQ(key, "At most nine logos: delete one before choosing another.");
    EXPECT_EQ(Translate(key, Language::Chinese), kMsgTooManyLogos);
    EXPECT_EQ(MessageKey("Choose a picture first."), "Choose a picture first.");
    EXPECT_EQ(FillIn("%s of %s%s", {"1", "2"}), "1 of 2%s");
}

}  // namespace
}  // namespace krv::app
