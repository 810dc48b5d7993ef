#include <gtest/gtest.h>

#include "printerapp/option_labels.h"
#include "printerapp/receipt_options.h"

namespace krv::app {
namespace {

std::string LabelOf(const std::string& key, Language language = Language::English) {
    const std::string s = OptionStrings(language);
    const std::string head = "\"" + key + "\" = \"";
    const size_t at = s.find(head);
    if (at == std::string::npos) return {};
    const size_t from = at + head.size();
    return s.substr(from, s.find("\";\n", from) - from);
}

// Every option and every value it takes has a label, so the web interface never shows a
// bare keyword.
TEST(OptionLabels, LabelEveryOptionAndValue) {
    for (const ReceiptOption& o : ReceiptOptions()) {
        EXPECT_FALSE(LabelOf(o.name).empty()) << o.name;
        for (const std::string& k : o.keywords)
            EXPECT_FALSE(LabelOf(o.name + "." + k).empty()) << o.name << "." << k;
    }
}

TEST(OptionLabels, NameWhatEachValueDoes) {
    EXPECT_EQ(LabelOf("krv-doc-start-drawer"), "Start of document: cash drawer or prompter");
    EXPECT_EQ(LabelOf("krv-doc-start-drawer.both-60ms"), "Drawers #1 and #2, 60 ms");
    EXPECT_EQ(LabelOf("krv-page-end-drawer.drawer2-10ms"), "Drawer #2, 10 ms");
    EXPECT_EQ(LabelOf("krv-doc-end-logo.logo3-centre-after-cut"), "Logo 3, centred, after the cut");
    EXPECT_EQ(LabelOf("krv-page-end-logo.logo9-left"), "Logo 9, left, before the cut");
    EXPECT_EQ(LabelOf("krv-codepage.shift_jis"), "SHIFT_JIS");
    EXPECT_EQ(LabelOf("media.custom_m857_80x297mm"), "Custom Paper-M857");
}

}  // namespace
}  // namespace krv::app
