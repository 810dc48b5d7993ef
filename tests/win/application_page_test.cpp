// The application page on the real printer sheet: the plug-in's own form, the paper-size
// list with its clamps, set and delete rules, the self-test job and the hidden control-font
// button. Forms live in the test program's in-memory store (Forms()).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channel/forms_seam.h"
#include "res/application_page_ids.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

// A user form of w x h tenths of a millimetre.
FormRecord Form(const std::u16string& name, uint32_t w, uint32_t h) {
    return WholeSheetForm(name, w * 100, h * 100);
}

class ApplicationPage : public testing::Test {
  protected:
    void SetUp() override { ResetSpooler(); }
    void TearDown() override { ResetSpooler(); }

    HWND Open() {
        sheet.Open();
        return sheet.Page(0);
    }

    int ListCount() {
        return static_cast<int>(
            SendDlgItemMessageW(page(), IDC_APPLICATION_PAPER_LIST, LB_GETCOUNT, 0, 0));
    }
    int ListSelection() {
        return static_cast<int>(
            SendDlgItemMessageW(page(), IDC_APPLICATION_PAPER_LIST, LB_GETCURSEL, 0, 0));
    }
    std::wstring ListText(int index) {
        wchar_t text[64] = {};
        if (SendDlgItemMessageW(page(), IDC_APPLICATION_PAPER_LIST, LB_GETTEXTLEN, index, 0) >= 64)
            return L"<long>";
        SendDlgItemMessageW(page(), IDC_APPLICATION_PAPER_LIST, LB_GETTEXT, index,
                            reinterpret_cast<LPARAM>(text));
        return text;
    }
    std::vector<std::wstring> ListEntries() {
        std::vector<std::wstring> entries;
        for (int i = 0; i < ListCount(); ++i)
            entries.push_back(ListText(i));
        return entries;
    }
    // A user's click on list entry `index`.
    void SelectEntry(int index) {
        SendDlgItemMessageW(page(), IDC_APPLICATION_PAPER_LIST, LB_SETCURSEL, index, 0);
        SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_APPLICATION_PAPER_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page(), IDC_APPLICATION_PAPER_LIST)));
        PumpMessages();
    }
    void SetSize(const std::wstring& name, const std::wstring& width, const std::wstring& height) {
        SetText(page(), IDC_APPLICATION_PAPER_NAME, name);
        SetText(page(), IDC_APPLICATION_PAPER_WIDTH, width);
        SetText(page(), IDC_APPLICATION_PAPER_HEIGHT, height);
        Click(page(), IDC_APPLICATION_SET_PAPER);
    }
    HWND page() { return sheet.Page(0); }

    Sheet sheet{Sheet::Kind::Printer};
    ModalWatcher watcher;
};

TEST_F(ApplicationPage, EmptyStoreGetsThePluginFormAt80By297Millimetres) {
    HWND p = Open();
    const FormRecord* plugin = Forms().Find(u"Custom Paper-M857");
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(*plugin, WholeSheetForm(u"Custom Paper-M857", 80000, 297000));
    EXPECT_EQ(plugin->flags, 0u);
    EXPECT_EQ(Forms().forms().size(), 1u);
    EXPECT_EQ(ListEntries(), (std::vector<std::wstring>{L"Custom Paper-M857"}));
    EXPECT_EQ(ListSelection(), 0);
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH), L"800");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT), L"2970");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_NAME), L"M857");
    EXPECT_FALSE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER))
        << "the plug-in form cannot be deleted";
    EXPECT_EQ(SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_WIDTH_UPDOWN, UDM_GETPOS32, 0, 0), 800);
    EXPECT_EQ(SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_HEIGHT_UPDOWN, UDM_GETPOS32, 0, 0),
              2970);
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(ApplicationPage, LimitsRangesAndHiddenControlFontButton) {
    HWND p = Open();
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH_RANGE), L"[ 410 - 800 (0.1mm) ]");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT_RANGE), L"[ 254 - 32760 (0.1mm) ]");
    int low = 0, high = 0;
    SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_WIDTH_UPDOWN, UDM_GETRANGE32,
                        reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 410);
    EXPECT_EQ(high, 800);
    SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_HEIGHT_UPDOWN, UDM_GETRANGE32,
                        reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 254);
    EXPECT_EQ(high, 32760);
    EXPECT_EQ(SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_WIDTH, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_EQ(SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_HEIGHT, EM_GETLIMITTEXT, 0, 0), 5);
    EXPECT_EQ(SendDlgItemMessageW(p, IDC_APPLICATION_PAPER_NAME, EM_GETLIMITTEXT, 0, 0), 18);
    EXPECT_FALSE(IsVisible(p, IDC_APPLICATION_CONTROL_FONT));
}

TEST_F(ApplicationPage, ListsThePluginFormFirstThenOtherCustomFormsInServerOrder) {
    Forms().Add(Form(u"Letter", 2159, 2794));
    Forms().Add(Form(u"Custom Paper-B", 500, 1000));
    Forms().Add(Form(u"Custom Paper-M857", 600, 1200));
    Forms().Add(Form(u"My Custom Paper-X", 700, 700));
    HWND p = Open();
    EXPECT_EQ(Forms().forms().size(), 4u) << "an existing plug-in form is not added again";
    EXPECT_EQ(ListEntries(), (std::vector<std::wstring>{L"Custom Paper-M857", L"Custom Paper-B",
                                                        L"My Custom Paper-X"}));
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH), L"600");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT), L"1200");

    SelectEntry(1);
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_NAME), L"B");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH), L"500");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT), L"1000");
    EXPECT_TRUE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));
    SelectEntry(0);
    EXPECT_FALSE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));
}

TEST_F(ApplicationPage, EnumerationFailureLeavesThePageEmptyAndQuiet) {
    Forms().Fail(InMemoryFormStore::Op::Enumerate);
    HWND p = Open();
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(Forms().forms().empty());
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH_RANGE), L"[ 410 - 800 (0.1mm) ]");
}

TEST_F(ApplicationPage, TypedSizesAreClampedWrittenBackAndUsed) {
    struct Case {
        const wchar_t* width;
        const wchar_t* height;
        const wchar_t* shownWidth;
        const wchar_t* shownHeight;
        uint32_t formWidth;
        uint32_t formHeight;
    } cases[] = {
        {L"300", L"1000", L"410", L"1000", 41000, 100000},
        {L"-5", L"1000", L"800", L"1000", 80000, 100000},
        {L"801", L"253", L"800", L"254", 80000, 25400},
        {L"500", L"32761", L"500", L"32760", 50000, 3276000},
        {L"410", L"-1", L"410", L"32760", 41000, 3276000},
    };
    HWND p = Open();
    for (const auto& c : cases) {
        SetSize(L"CLAMP", c.width, c.height);
        EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH), c.shownWidth) << c.width;
        EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT), c.shownHeight) << c.height;
        const FormRecord* form = Forms().Find(u"Custom Paper-CLAMP");
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(*form, WholeSheetForm(u"Custom Paper-CLAMP", c.formWidth, c.formHeight))
            << c.width << " x " << c.height;
    }
}

TEST_F(ApplicationPage, SameNameTwiceCreatesThenResizes) {
    HWND p = Open();
    SetSize(L"A5R", L"500", L"1480");
    ASSERT_NE(Forms().Find(u"Custom Paper-A5R"), nullptr);
    EXPECT_EQ(*Forms().Find(u"Custom Paper-A5R"),
              WholeSheetForm(u"Custom Paper-A5R", 50000, 148000));
    EXPECT_EQ(ListEntries(),
              (std::vector<std::wstring>{L"Custom Paper-M857", L"Custom Paper-A5R"}));
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_TRUE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));

    SetSize(L"A5R", L"600", L"2100");
    ASSERT_NE(Forms().Find(u"Custom Paper-A5R"), nullptr);
    EXPECT_EQ(*Forms().Find(u"Custom Paper-A5R"),
              WholeSheetForm(u"Custom Paper-A5R", 60000, 210000));
    EXPECT_EQ(Forms().forms().size(), 2u);
    EXPECT_EQ(ListCount(), 2) << "a resize does not add an entry";
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(ApplicationPage, TypingM857ResizesThePluginForm) {
    Open();
    SetSize(L"M857", L"580", L"3000");
    ASSERT_NE(Forms().Find(u"Custom Paper-M857"), nullptr);
    EXPECT_EQ(*Forms().Find(u"Custom Paper-M857"),
              WholeSheetForm(u"Custom Paper-M857", 58000, 300000));
    EXPECT_EQ(ListCount(), 1);
}

TEST_F(ApplicationPage, EmptyNameCreatesThePrefixAlone) {
    Open();
    SetSize(L"", L"500", L"500");
    EXPECT_NE(Forms().Find(u"Custom Paper-"), nullptr);
    EXPECT_EQ(ListText(1), L"Custom Paper-");
}

TEST_F(ApplicationPage, FailedAddOrResizeIsReportedAndTheListStays) {
    Open();
    Forms().Fail(InMemoryFormStore::Op::Add);
    SetSize(L"NEW", L"500", L"500");
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"自定义页面");
    EXPECT_EQ(watcher.seen[0].text, L"设置自定义页面失败!");
    EXPECT_EQ(watcher.seen[0].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(ListCount(), 1);

    Forms().Fail(InMemoryFormStore::Op::Set);
    SetSize(L"M857", L"500", L"500");
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[1].text, L"设置自定义页面失败!");
    ASSERT_NE(Forms().Find(u"Custom Paper-M857"), nullptr);
    EXPECT_EQ(Forms().Find(u"Custom Paper-M857")->width, 80000u);
}

TEST_F(ApplicationPage, DeletingTheLastEntrySelectsTheNewLast) {
    Forms().Add(Form(u"Custom Paper-M857", 800, 2970));
    Forms().Add(Form(u"Custom Paper-A", 410, 300));
    Forms().Add(Form(u"Custom Paper-B", 420, 400));
    Forms().Add(Form(u"Custom Paper-C", 430, 500));
    HWND p = Open();
    SelectEntry(3);
    Click(p, IDC_APPLICATION_DELETE_PAPER);
    EXPECT_EQ(Forms().Find(u"Custom Paper-C"), nullptr);
    EXPECT_EQ(ListEntries(), (std::vector<std::wstring>{L"Custom Paper-M857", L"Custom Paper-A",
                                                        L"Custom Paper-B"}));
    EXPECT_EQ(ListSelection(), 2);
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_NAME), L"B");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_WIDTH), L"420");
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_HEIGHT), L"400");
    EXPECT_TRUE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));

    // From the middle: the entry that moved up into the place is selected.
    SelectEntry(1);
    Click(p, IDC_APPLICATION_DELETE_PAPER);
    EXPECT_EQ(ListEntries(), (std::vector<std::wstring>{L"Custom Paper-M857", L"Custom Paper-B"}));
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_EQ(ItemText(p, IDC_APPLICATION_PAPER_NAME), L"B");

    // Down to the plug-in form, which then cannot go.
    Click(p, IDC_APPLICATION_DELETE_PAPER);
    EXPECT_EQ(ListSelection(), 0);
    EXPECT_FALSE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));
}

TEST_F(ApplicationPage, PluginFormSurvivesADeleteCommandSentAnyway) {
    HWND p = Open();
    SendMessageW(p, WM_COMMAND, MAKEWPARAM(IDC_APPLICATION_DELETE_PAPER, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(p, IDC_APPLICATION_DELETE_PAPER)));
    EXPECT_NE(Forms().Find(u"Custom Paper-M857"), nullptr);
    EXPECT_EQ(ListCount(), 1);
}

TEST_F(ApplicationPage, NameEditFollowsTheListSelectionForTheDeleteButton) {
    Forms().Add(Form(u"Custom Paper-A", 410, 300));
    HWND p = Open();
    SelectEntry(1);
    SetText(p, IDC_APPLICATION_PAPER_NAME, L"M857");
    EXPECT_TRUE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER))
        << "the button follows the selected entry, not the text";
    SelectEntry(0);
    SetText(p, IDC_APPLICATION_PAPER_NAME, L"A");
    EXPECT_FALSE(IsEnabled(p, IDC_APPLICATION_DELETE_PAPER));
}

TEST_F(ApplicationPage, SelfTestSendsTheStatusPrintCommandAsOneJob) {
    HWND p = Open();
    Click(p, IDC_APPLICATION_SELF_TEST);
    EXPECT_EQ(Spooler().jobs, 1);
    EXPECT_EQ(Spooler().documentName, "SELFTEST");
    EXPECT_EQ(Spooler().dataType, "RAW");
    EXPECT_EQ(Spooler().Joined(), (Bytes{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
    EXPECT_TRUE(watcher.seen.empty());
}

TEST_F(ApplicationPage, FailedSelfTestIsSilent) {
    HWND p = Open();
    Spooler().FailAt(RecordingSpooler::Call::Write);
    Click(p, IDC_APPLICATION_SELF_TEST);
    EXPECT_TRUE(watcher.seen.empty());
    EXPECT_TRUE(Spooler().pieces.empty());
}

TEST_F(ApplicationPage, ControlFontButtonOpensTheTableModallyOwnedByThePage) {
    HWND p = Open();
    HWND owner = nullptr;
    watcher.handler = [&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    };
    SendMessageW(p, WM_COMMAND, MAKEWPARAM(IDC_APPLICATION_CONTROL_FONT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(p, IDC_APPLICATION_CONTROL_FONT)));
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, L"Control Font Character Translation Table");
    // The owner of a dialog is the top-level window of the page: the sheet.
    EXPECT_EQ(owner, GetAncestor(p, GA_ROOT));
}

}  // namespace
}  // namespace krv::test
