// The fake printer's own rules, which the host relies on and the page tests never reach: the
// spooler's refusals, form names without regard to case, the system's forms kept as they are,
// and jobs left open reported as such.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_printer_win.h"

namespace krv::test {
namespace {

struct Watcher : FakePrinterWatcher {
    void JobDone(const FakeJob& job, bool ended) override {
        jobs.push_back(std::u16string(job.documentName) + (ended ? u" ended" : u" open"));
        pieces.push_back(job.pieces.size());
    }
    void FormChanged(std::u16string_view change, std::u16string_view name) override {
        changes.push_back(std::u16string(change) + u" " + std::u16string(name));
    }
    std::vector<std::u16string> jobs, changes;
    std::vector<size_t> pieces;
};

class FakePrinterTest : public testing::Test {
  protected:
    void SetUp() override {
        ThePrinter().Reset();
        ThePrinter().Watch(&watcher);
    }
    void TearDown() override {
        ThePrinter().Watch(nullptr);
        ThePrinter().Reset();
    }
    static DWORD BeginJob(HANDLE printer, const wchar_t* name) {
        DOC_INFO_1W info = {const_cast<wchar_t*>(name), nullptr, const_cast<wchar_t*>(L"RAW")};
        return StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
    }
    static BOOL NewForm(const wchar_t* name, HANDLE printer = FakePrinter::Handle()) {
        FORM_INFO_1W form = {0, const_cast<wchar_t*>(name), {1000, 2000}, {0, 0, 1000, 2000}};
        return AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&form));
    }

    Watcher watcher;
};

TEST_F(FakePrinterTest, AnotherHandleIsRefusedAndNothingIsRecorded) {
    SetLastError(0);
    EXPECT_EQ(BeginJob(reinterpret_cast<HANDLE>(0x4711), L"X"), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(NewForm(L"Custom Paper-X", reinterpret_cast<HANDLE>(0x4711)));
    EXPECT_TRUE(Spooler().calls.empty());
    EXPECT_TRUE(Forms().forms().empty());
}

TEST_F(FakePrinterTest, AJobLeftOpenIsReportedWhenTheNextOneStarts) {
    const HANDLE printer = FakePrinter::Handle();
    ASSERT_NE(BeginJob(printer, L"FIRST"), 0u);
    ASSERT_TRUE(StartPagePrinter(printer));
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(printer, const_cast<char*>("ab"), 2, &written));
    ASSERT_NE(BeginJob(printer, L"SECOND"), 0u);
    ASSERT_TRUE(EndDocPrinter(printer));
    EXPECT_FALSE(EndDocPrinter(printer)) << "no job is open any more";
    EXPECT_EQ(watcher.jobs, (std::vector<std::u16string>{u"FIRST open", u"SECOND ended"}));
    EXPECT_EQ(watcher.pieces, (std::vector<size_t>{1, 0}));
}

TEST_F(FakePrinterTest, FormNamesIgnoreCaseAndTheSystemsFormsStay) {
    ThePrinter().Reset({FormRecord{FORM_BUILTIN, u"A4", 210000, 297000, {0, 0, 210000, 297000}}});
    ASSERT_TRUE(NewForm(L"Custom Paper-X"));
    SetLastError(0);
    EXPECT_FALSE(NewForm(L"custom paper-x"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_TRUE(DeleteFormW(FakePrinter::Handle(), const_cast<wchar_t*>(L"CUSTOM PAPER-X")));
    EXPECT_FALSE(DeleteFormW(FakePrinter::Handle(), const_cast<wchar_t*>(L"a4")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(watcher.changes,
              (std::vector<std::u16string>{u"added Custom Paper-X", u"deleted Custom Paper-X"}));
    EXPECT_EQ(Forms().forms().size(), 1u);
}

}  // namespace
}  // namespace krv::test
