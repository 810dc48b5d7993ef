#include <algorithm>
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "devpages/paper_forms.h"
#include "tests/support/in_memory_forms.h"

namespace krv {
namespace {

using Op = InMemoryFormStore::Op;

// A server with built-in forms around a user form of ours.
InMemoryFormStore ServerWithForms() {
    return InMemoryFormStore({WholeSheetForm(u"Letter", 215900, 279400),
                              WholeSheetForm(u"Custom Paper-A5R", 58000, 148000),
                              WholeSheetForm(u"A4", 210000, 297000),
                              WholeSheetForm(u"My Custom Paper-X", 60000, 100000)});
}

TEST(PaperFormsInit, CreatesThePluginFormWhenMissingAndShowsItFirst) {
    auto store = ServerWithForms();
    PaperFormsPage page(store);
    ASSERT_TRUE(page.Initialise());

    const FormRecord* plugin = store.Find(u"Custom Paper-M857");
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(*plugin, (FormRecord{0, u"Custom Paper-M857", 80000, 297000, {0, 0, 80000, 297000}}));

    const auto& v = page.view();
    // Every name containing the prefix is listed, the plug-in form first.
    EXPECT_EQ(v.entries, (std::vector<std::u16string>{u"Custom Paper-M857", u"Custom Paper-A5R",
                                                      u"My Custom Paper-X"}));
    EXPECT_EQ(v.selection, 0);
    EXPECT_EQ(v.nameText, u"M857");
    EXPECT_FALSE(v.deleteEnabled);
    EXPECT_EQ(v.width, 800u);
    EXPECT_EQ(v.height, 2970u);
}

TEST(PaperFormsInit, KeepsAnExistingPluginFormAsItIs) {
    InMemoryFormStore store({WholeSheetForm(u"Custom Paper-B", 50000, 60000),
                             WholeSheetForm(u"Custom Paper-M857", 58000, 100000)});
    PaperFormsPage page(store);
    ASSERT_TRUE(page.Initialise());
    EXPECT_EQ(store.forms().size(), 2u);
    EXPECT_EQ(page.view().entries,
              (std::vector<std::u16string>{u"Custom Paper-M857", u"Custom Paper-B"}));
    EXPECT_EQ(page.view().width, 580u);
    EXPECT_EQ(page.view().height, 1000u);
}

TEST(PaperFormsInit, StaysEmptyWhenTheServerRefuses) {
    for (const Op op : {Op::Enumerate, Op::Add}) {
        auto store = ServerWithForms();
        store.Fail(op);
        PaperFormsPage page(store);
        EXPECT_FALSE(page.Initialise());
        EXPECT_TRUE(page.view().entries.empty());
        EXPECT_EQ(page.view().selection, -1);
        EXPECT_EQ(store.Find(u"Custom Paper-M857"), nullptr);
    }
}

struct ClampCase {
    bool width;
    int32_t typed;
    int32_t value;
    bool corrected;
    const char16_t* text;
};

class PaperFormsClamp : public testing::TestWithParam<ClampCase> {};

TEST_P(PaperFormsClamp, ComparesUnsignedAndWritesTheBoundBack) {
    const auto& c = GetParam();
    const ClampedSize got = c.width ? ClampFormWidth(c.typed) : ClampFormHeight(c.typed);
    EXPECT_EQ(got.value, c.value);
    EXPECT_EQ(got.corrected, c.corrected);
    EXPECT_EQ(got.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PaperFormsClamp,
    testing::Values(
        ClampCase{true, 300, 410, true, u"410"}, ClampCase{true, -5, 800, true, u"800"},
        ClampCase{true, 0, 410, true, u"410"}, ClampCase{true, 409, 410, true, u"410"},
        ClampCase{true, 410, 410, false, u"410"}, ClampCase{true, 800, 800, false, u"800"},
        ClampCase{true, 801, 800, true, u"800"}, ClampCase{true, INT32_MIN, 800, true, u"800"},
        ClampCase{false, 253, 254, true, u"254"}, ClampCase{false, 2970, 2970, false, u"2970"},
        ClampCase{false, 32761, 32760, true, u"32760"}, ClampCase{false, -1, 32760, true, u"32760"},
        ClampCase{false, INT32_MAX, 32760, true, u"32760"}));

class PaperFormsSet : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(page.Initialise()); }
    InMemoryFormStore store = ServerWithForms();
    PaperFormsPage page{store};
};

TEST_F(PaperFormsSet, ClampedWidthIsTheOneStored) {
    const auto r = page.SetPaperSize(300, 1000, u"NEW");
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.width.corrected);
    EXPECT_EQ(r.width.text, u"410");
    EXPECT_FALSE(r.height.corrected);
    EXPECT_EQ(*store.Find(u"Custom Paper-NEW"),
              (FormRecord{0, u"Custom Paper-NEW", 41000, 100000, {0, 0, 41000, 100000}}));
    EXPECT_EQ(page.view().width, 410u);
}

TEST_F(PaperFormsSet, SameNameTwiceCreatesThenResizes) {
    const size_t before = page.view().entries.size();
    auto first = page.SetPaperSize(600, 1200, u"A6");
    EXPECT_TRUE(first.ok);
    EXPECT_TRUE(first.created);
    ASSERT_EQ(page.view().entries.size(), before + 1);
    EXPECT_EQ(page.view().entries.back(), u"Custom Paper-A6");
    EXPECT_EQ(page.view().selection, static_cast<int>(before));
    EXPECT_TRUE(page.view().deleteEnabled);

    auto second = page.SetPaperSize(700, 2000, u"A6");
    EXPECT_TRUE(second.ok);
    EXPECT_FALSE(second.created);
    EXPECT_EQ(page.view().entries.size(), before + 1);
    EXPECT_EQ(store.Find(u"Custom Paper-A6")->width, 70000u);
    EXPECT_EQ(store.Find(u"Custom Paper-A6")->imageableArea.bottom, 200000);
}

TEST_F(PaperFormsSet, ExistingUserFormAndPluginFormAreResized) {
    const size_t forms = store.forms().size();
    EXPECT_TRUE(page.SetPaperSize(500, 1480, u"A5R").ok);
    EXPECT_TRUE(page.SetPaperSize(580, 2000, u"M857").ok);
    EXPECT_EQ(store.forms().size(), forms);
    EXPECT_EQ(store.Find(u"Custom Paper-A5R")->width, 50000u);
    EXPECT_EQ(store.Find(u"Custom Paper-M857")->height, 200000u);
}

TEST_F(PaperFormsSet, EmptyNameCreatesThePrefixAlone) {
    EXPECT_TRUE(page.SetPaperSize(500, 500, u"").created);
    EXPECT_NE(store.Find(u"Custom Paper-"), nullptr);
    EXPECT_EQ(page.view().entries.back(), u"Custom Paper-");
}

TEST_F(PaperFormsSet, NameIsCutToTheEditLimit) {
    page.SetPaperSize(500, 500, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_NE(store.Find(u"Custom Paper-ABCDEFGHIJKLMNOPQR"), nullptr);
    EXPECT_EQ(page.view().nameText, u"ABCDEFGHIJKLMNOPQR");
}

// A form made elsewhere with a name longer than a user can type is listed; choosing it and
// setting its size resizes that very form instead of making one with the name cut short.
TEST(PaperFormsLongNames, AListedFormIsFoundByItsWholeName) {
    const std::u16string longName = u"Custom Paper-Receipt 80 x 200 mm roll";
    InMemoryFormStore store = ServerWithForms();
    store.Add(WholeSheetForm(longName, 80000, 200000));
    PaperFormsPage page{store};
    ASSERT_TRUE(page.Initialise());
    const size_t forms = store.forms().size();
    const auto entry = std::find(page.view().entries.begin(), page.view().entries.end(), longName);
    ASSERT_NE(entry, page.view().entries.end());
    page.SelectEntry(static_cast<int>(entry - page.view().entries.begin()));
    const auto r = page.SetPaperSize(600, 1500, page.view().nameText);
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.created);
    EXPECT_EQ(store.forms().size(), forms);
    EXPECT_EQ(store.Find(longName)->width, 60000u);
    EXPECT_EQ(page.view().nameText, CustomPaperSuffix(longName));
}

TEST_F(PaperFormsSet, ServerRefusalsAreReportedAndLeaveTheList) {
    const auto entries = page.view().entries;
    store.Fail(Op::Add);
    EXPECT_FALSE(page.SetPaperSize(500, 500, u"Z").ok);
    store.Fail(Op::Add, false);
    store.Fail(Op::Set);
    EXPECT_FALSE(page.SetPaperSize(500, 500, u"A5R").ok);
    EXPECT_EQ(page.view().entries, entries);
    EXPECT_EQ(store.Find(u"Custom Paper-Z"), nullptr);
    EXPECT_EQ(store.Find(u"Custom Paper-A5R")->width, 58000u);
}

TEST_F(PaperFormsSet, SelectionShowsNameSizeAndDeleteRule) {
    page.SelectEntry(1);
    EXPECT_EQ(page.view().nameText, u"A5R");
    EXPECT_TRUE(page.view().deleteEnabled);
    EXPECT_EQ(page.view().width, 580u);
    EXPECT_EQ(page.view().height, 1480u);
    // The name edit does not change which entry may be deleted.
    page.NameEdited(u"M857");
    EXPECT_TRUE(page.view().deleteEnabled);
    page.SelectEntry(0);
    page.NameEdited(u"other");
    EXPECT_FALSE(page.view().deleteEnabled);
}

TEST_F(PaperFormsSet, PluginFormCannotBeDeleted) {
    page.SelectEntry(0);
    page.DeleteSelected();
    EXPECT_NE(store.Find(u"Custom Paper-M857"), nullptr);
    EXPECT_EQ(page.view().entries.front(), u"Custom Paper-M857");
}

TEST_F(PaperFormsSet, DeletingTheLastEntrySelectsTheNewLast) {
    page.SelectEntry(2);  // "My Custom Paper-X", the last
    page.DeleteSelected();
    EXPECT_EQ(store.Find(u"My Custom Paper-X"), nullptr);
    EXPECT_EQ(page.view().entries.size(), 2u);
    EXPECT_EQ(page.view().selection, 1);
    EXPECT_EQ(page.view().nameText, u"A5R");
    EXPECT_EQ(page.view().width, 580u);
}

TEST_F(PaperFormsSet, DeletingInTheMiddleSelectsTheFollower) {
    page.SelectEntry(1);
    store.Fail(Op::Delete);  // the spooler's answer is not looked at
    page.DeleteSelected();
    EXPECT_EQ(page.view().entries,
              (std::vector<std::u16string>{u"Custom Paper-M857", u"My Custom Paper-X"}));
    EXPECT_EQ(page.view().selection, 1);
    EXPECT_EQ(page.view().width, 600u);
    EXPECT_EQ(page.view().height, 1000u);
}

}  // namespace
}  // namespace krv
