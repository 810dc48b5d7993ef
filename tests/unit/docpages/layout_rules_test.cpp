#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "docpages/layout_rules.h"

namespace krv {
namespace {

OemDevmode Fresh() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r;
}

TEST(LayoutRules, ActiveTextWatermarkShowsYesLockedAndKeepsTheFlag) {
    OemDevmode r = Fresh();
    r.watermarkMode = 2;
    r.printTextAsImage = 1;
    EXPECT_TRUE(TextAsImageLocked(r));
    const TextAsImageView init = InitialTextAsImageView(r);
    EXPECT_FALSE(init.enabled);
    EXPECT_TRUE(init.yesChecked);
    bool switchedOff = true;
    const TextAsImageView shown = TextAsImageViewOnActivation(r, {true, false, true}, switchedOff);
    EXPECT_FALSE(shown.enabled);
    EXPECT_TRUE(shown.yesChecked);
    EXPECT_FALSE(shown.noChecked);
    EXPECT_TRUE(switchedOff);  // only an unlocked page consumes it
}

TEST(LayoutRules, WatermarkSwitchedOffShowsNoOnceAndLowersTheFlag) {
    const OemDevmode r = Fresh();
    bool switchedOff = true;
    const TextAsImageView first = TextAsImageViewOnActivation(r, {false, true, false}, switchedOff);
    EXPECT_TRUE(first.enabled);
    EXPECT_TRUE(first.noChecked);
    EXPECT_FALSE(first.yesChecked);
    EXPECT_FALSE(switchedOff);
    // Next time the user's own choice stays.
    const TextAsImageView again = TextAsImageViewOnActivation(r, {true, true, false}, switchedOff);
    EXPECT_TRUE(again.yesChecked);
}

TEST(LayoutRules, SizeNameIsStoredAsAtMost31Characters) {
    OemDevmode r = Fresh();
    StorePaperSizeName(r, std::u16string(32, u'x'));  // an older, longer name
    const std::u16string forty = u"Custom Paper-M857 with a very long name!";
    ASSERT_EQ(forty.size(), 40u);
    StorePaperSizeName(r, forty);
    EXPECT_EQ(PaperSizeName(r), forty.substr(0, 31));
    EXPECT_EQ(r.paperSizeName[31], u'\0');
    StorePaperSizeName(r, u"A4");
    EXPECT_EQ(PaperSizeName(r), u"A4");
    EXPECT_EQ(r.paperSizeName[2], u'\0');
    EXPECT_EQ(r.paperSizeName[30], u'\0');
}

TEST(LayoutRules, SizeNameNeverSplitsASurrogatePairOrReadsPastTheField) {
    OemDevmode r = Fresh();
    StorePaperSizeName(r, std::u16string(30, u'a') + u"\U0001F4C4");
    EXPECT_EQ(PaperSizeName(r), std::u16string(30, u'a'));
    for (auto& c : r.paperSizeName)
        c = u'Z';  // a stored record without terminator
    EXPECT_EQ(PaperSizeName(r), std::u16string(32, u'Z'));
}

// The whole name first, letters without case; the start of a longer name only for a name the
// record may have cut (30 or 31 characters).
TEST(LayoutRules, PaperSizeEntryIsTheWholeNameBeforeALongerOne) {
    const std::u16string cut = u"Custom Paper-123456789012345678";  // 31 of a longer name
    ASSERT_EQ(cut.size(), 31u);
    const std::vector<std::u16string> entries = {u"Letter",   u"Custom Paper-M857 wide",
                                                 u"A4 Small", u"Custom Paper-M857",
                                                 cut + u"90", u"A4"};
    const std::pair<std::u16string, int> cases[] = {
        {u"Custom Paper-M857", 3}, {u"custom paper-m857", 3}, {u"a4", 5}, {u"A4 s", -1},
        {u"Custom Paper-", -1},    {u"Letter Plus", -1},      {cut, 4},   {cut.substr(0, 30), 4},
        {cut.substr(0, 29), -1},
    };
    for (const auto& [name, entry] : cases)
        EXPECT_EQ(FindPaperSizeEntry(entries, name), entry) << Utf16ToUtf8(name);
}

TEST(LayoutRules, InitialSelectionPrefersTheStoredName) {
    const std::vector<std::u16string> entries = {u"Letter", u"A4", u"A4 Small"};
    const std::vector<std::u16string_view> host = {u"A4 Small"};
    EXPECT_EQ(InitialPaperSizeSelection(entries, u"letter", host), 0);
    EXPECT_EQ(InitialPaperSizeSelection(entries, u"", host), 2);
    // A stored name no longer listed selects nothing; activation picks the host's size.
    EXPECT_EQ(InitialPaperSizeSelection(entries, u"Gone", host), -1);
    EXPECT_EQ(InitialPaperSizeSelection(entries, u"", {}), -1);
}

}  // namespace
}  // namespace krv
