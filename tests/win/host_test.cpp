// The development host run as a program: krv857host.exe beside this test, with the built
// plug-in DLL, in a new process each time, headless (Wine's null driver), scripted with its
// command line. One case prints through Wine's real spooler into a Unix file.
#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame/oem_devmode.h"
#include "host/host_options.h"
#include "host/host_plugin.h"
#include "host/host_printer.h"
#include "host/import_patch.h"
#include "res/application_page_ids.h"
#include "res/layout_page_ids.h"
#include "tests/common/scratch_folder.h"

namespace krv::test {
namespace {

// Control `id` of the page at `index` of the sheet, as --click names it, and the option.
std::wstring PageControl(int index, int id) {
    return std::to_wstring(index) + L":" + std::to_wstring(id);
}
std::wstring ClickOn(int index, int id) {
    return L"--click " + PageControl(index, id);
}

using Bytes = std::vector<uint8_t>;

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// A folder for the host's data inside the test's scratch folder.
std::wstring DataFolder(const ScratchFolder& scratch, const wchar_t* name) {
    const std::wstring folder = scratch.Path(std::wstring_view(name));
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

Bytes ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::wstring& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const std::wstring& path, const void* data, size_t size) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Bytes DefaultRecord() {
    OemDevmode record;
    DefaultOemDevmode(&record);
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return Bytes(p, p + sizeof record);
}

// Runs the host with `args` in a new process; its exit code, or -1 when it did not end.
int RunHost(const std::wstring& args, DWORD timeoutMs = 90000) {
    std::wstring line = L"\"" + ProgramFolder() + L"\\krv857host.exe\" " + args;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // the host's log file says it all
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Runs the host on `data` (jobs beside it) with the further arguments; returns its log.
std::string RunInFolder(const std::wstring& data, const std::wstring& args, int expectedExit = 0) {
    const std::wstring log = data + L"\\run.log";
    DeleteFileW(log.c_str());
    const int exit = RunHost(L"--data " + Quoted(data) + L" --jobs " + Quoted(data + L"\\jobs") +
                             L" --log " + Quoted(log) + L" " + args);
    const std::string text = ReadText(log);
    EXPECT_EQ(exit, expectedExit) << text;
    return text;
}

// The templates the plug-in added, in the order the host's callback saw them.
std::vector<int> AddedTemplates(const std::string& log) {
    std::vector<int> templates;
    const std::string key = "CPSFUNC_ADD_PROPSHEETPAGEW: template ";
    for (size_t at = log.find(key); at != std::string::npos; at = log.find(key, at + 1))
        templates.push_back(std::atoi(log.c_str() + at + key.size()));
    return templates;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(HostHeadless, DocumentSheetVisitsEveryPageAndKeepsAnUntouchedRecord) {
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"document");
    const std::string first = RunInFolder(data, L"--sheet document --visit-all --ok");
    EXPECT_EQ(AddedTemplates(first), (std::vector<int>{132, 128, 131, 103, 117, 118, 105}));
    EXPECT_TRUE(Contains(first, "signature 0x564B5254 \"VKRT\"")) << first;
    EXPECT_TRUE(Contains(first, "private record size 1468")) << first;
    EXPECT_TRUE(Contains(first, "title \"OEM UI Page\"")) << first;
    const char* captions[] = {"双面选择", "版面", "水印", "操作", "条形码", "二维码", "版本"};
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(Contains(first, "page " + std::to_string(i) + " (template ")) << i;
    for (const char* caption : captions)
        EXPECT_TRUE(Contains(first, std::string("\"") + caption + "\"")) << caption;
    EXPECT_TRUE(Contains(first, "plug-in object released, count 0")) << first;
    EXPECT_TRUE(Contains(first, "driver helper interface references left 1"))
        << "the plug-in gives back the helper interface it took\n"
        << first;

    const Bytes kept = ReadBytes(data + L"\\record.bin");
    ASSERT_EQ(kept.size(), 1468u);
    const Bytes header = {0xBC, 0x05, 0, 0, 0x54, 0x52, 0x4B, 0x56, 1, 0, 0, 0};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), kept.begin()));

    const std::string second = RunInFolder(data, L"--sheet document --visit-all --ok");
    EXPECT_TRUE(Contains(second, "merging the stored record (1468 bytes)")) << second;
    EXPECT_EQ(ReadBytes(data + L"\\record.bin"), kept) << "nothing changed, nothing differs";
}

TEST(HostHeadless, PrinterSheetVisitsEveryPageAndLeavesTheRecord) {
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"printer");
    Bytes stored = DefaultRecord();
    stored[offsetof(OemDevmode, duplexMode)] = 2;
    WriteBytes(data + L"\\record.bin", stored.data(), stored.size());
    const std::string log = RunInFolder(data, L"--sheet printer --visit-all --ok");
    EXPECT_EQ(AddedTemplates(log), (std::vector<int>{114, 113, 119, 105}));
    for (const char* caption : {"应用", "下载", "字体", "版本"})
        EXPECT_TRUE(Contains(log, std::string("\"") + caption + "\"")) << caption;
    EXPECT_EQ(ReadBytes(data + L"\\record.bin"), stored);
}

// A change on the layout page (print text as image) is kept with OK and dropped with Cancel.
TEST(HostHeadless, RecordFollowsTheSheetsOutcome) {
    struct Case {
        const wchar_t* ending;
        uint8_t textAsImage;
        const char* logged;
    } cases[] = {{L"--ok", 1, "record kept: 1468 bytes"},
                 {L"--cancel", 0, "record not kept: the sheet was not applied"}};
    for (const Case& c : cases) {
        const ScratchFolder scratch;
        const std::wstring data = DataFolder(scratch, L"outcome");
        const Bytes stored = DefaultRecord();
        WriteBytes(data + L"\\record.bin", stored.data(), stored.size());
        const std::string log =
            RunInFolder(data, L"--sheet document " + ClickOn(1, IDC_LAYOUT_TEXT_AS_IMAGE_YES) +
                                  L" " + c.ending);
        EXPECT_TRUE(Contains(log, c.logged)) << log;
        const Bytes kept = ReadBytes(data + L"\\record.bin");
        ASSERT_EQ(kept.size(), 1468u);
        EXPECT_EQ(kept[offsetof(OemDevmode, printTextAsImage)], c.textAsImage) << c.logged;
    }
}

// Stored records that are short, foreign or lie about their size: the host hands the plug-in
// only the bytes the file holds, and keeps a sound record.
TEST(HostHeadless, DamagedStoredRecordsMergeIntoSoundOnes) {
    Bytes claimsMore = DefaultRecord();
    claimsMore[offsetof(OemDevmode, startOfDocument.feedDistanceMm)] = 7;
    claimsMore.resize(200);  // header still claims 1468 bytes
    const Bytes foreign = {'h', 'e', 'l', 'l', 'o'};
    Bytes longer = DefaultRecord();
    longer[offsetof(OemDevmode, startOfDocument.feedDistanceMm)] = 9;
    longer.resize(4000, 0xEE);
    struct Case {
        const char* name;
        Bytes stored;
        uint8_t feedDistance;
    } cases[] = {{"short, claims 1468", claimsMore, 7},
                 {"foreign", foreign, 0},
                 {"longer than a record", longer, 9}};
    const Bytes defaults = DefaultRecord();
    const size_t barcodes = offsetof(OemDevmode, barcodeFonts);
    for (const Case& c : cases) {
        const ScratchFolder scratch;
        const std::wstring data = DataFolder(scratch, L"damaged");
        WriteBytes(data + L"\\record.bin", c.stored.data(), c.stored.size());
        const std::string log = RunInFolder(data, L"--sheet printer --ok");
        const Bytes kept = ReadBytes(data + L"\\record.bin");
        ASSERT_EQ(kept.size(), 1468u) << c.name << "\n" << log;
        EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 12, kept.begin())) << c.name;
        EXPECT_EQ(kept[offsetof(OemDevmode, startOfDocument.feedDistanceMm)], c.feedDistance)
            << c.name;
        // Beyond the 200 bytes of the short file everything is the default again.
        EXPECT_TRUE(std::equal(defaults.begin() + barcodes, defaults.begin() + barcodes + 288,
                               kept.begin() + barcodes))
            << c.name;
    }
}

TEST(HostHeadless, SelfTestJobIsRecordedWithItsPieces) {
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"jobs");
    CreateDirectoryW((data + L"\\jobs").c_str(), nullptr);
    const std::string log =
        RunInFolder(data, L"--sheet printer " + ClickOn(0, IDC_APPLICATION_SELF_TEST) + L" --ok");
    EXPECT_TRUE(Contains(log, "winspool imports now reach the host's printer")) << log;
    const Bytes job = ReadBytes(data + L"\\jobs\\001-SELFTEST.bin");
    EXPECT_EQ(job, (Bytes{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02})) << log;
    const std::string text = ReadText(data + L"\\jobs\\001-SELFTEST.txt");
    EXPECT_TRUE(Contains(text, "document \"SELFTEST\"\ndata type \"RAW\"")) << text;
    EXPECT_TRUE(Contains(text, "piece 1: 7 bytes\n    1D 28 41 02 00 00 02\n")) << text;
    EXPECT_TRUE(Contains(text, "\nended\n")) << text;

    // Numbering goes on across runs: nothing recorded earlier is overwritten.
    RunInFolder(data, L"--sheet printer " + ClickOn(0, IDC_APPLICATION_SELF_TEST) + L" --ok");
    EXPECT_EQ(ReadBytes(data + L"\\jobs\\002-SELFTEST.bin").size(), 7u);
}

// Even headless, Wine paints the pages into window surfaces: one 24-bit BMP per page, named
// after the page's index and template, all of the sheet's size, showing more than a blank.
TEST(HostHeadless, ScreenshotOfEveryPage) {
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"shots");
    const std::wstring shots = data + L"\\shots";
    CreateDirectoryW(shots.c_str(), nullptr);
    RunInFolder(data, L"--sheet printer --shots " + Quoted(shots) + L" --cancel");
    const wchar_t* names[] = {L"printer-0-114.bmp", L"printer-1-113.bmp", L"printer-2-119.bmp",
                              L"printer-3-105.bmp"};
    int32_t width = 0, height = 0;
    for (const wchar_t* name : names) {
        const Bytes bmp = ReadBytes(shots + L"\\" + name);
        ASSERT_GE(bmp.size(), 54u) << "no picture " << name;
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
        std::memcpy(&file, bmp.data(), sizeof file);
        std::memcpy(&info, bmp.data() + sizeof file, sizeof info);
        EXPECT_EQ(file.bfType, 0x4D42);
        EXPECT_EQ(info.biBitCount, 24);
        if (!width) width = info.biWidth, height = info.biHeight;
        EXPECT_EQ(info.biWidth, width);
        EXPECT_EQ(info.biHeight, height);
        const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t{3};
        ASSERT_EQ(bmp.size(), file.bfOffBits + stride * static_cast<size_t>(info.biHeight));
        std::set<uint32_t> colours;
        for (size_t i = file.bfOffBits; i + 3 <= bmp.size() && colours.size() < 8; i += 3)
            colours.insert(bmp[i] | bmp[i + 1] << 8 | bmp[i + 2] << 16);
        EXPECT_GE(colours.size(), 8u) << name << " looks blank";
    }
    EXPECT_GT(width, 200);
    EXPECT_GT(height, 200);
}

TEST(HostHeadless, FormsOfTheHostPrinterAreKeptBetweenRuns) {
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"forms");
    const std::string saved =
        "1\t210000\t297000\t0\t0\t210000\t297000\tA4\n"
        "0\t58000\t200000\t0\t0\t58000\t200000\tCustom Paper-Narrow\n"
        "not a form line\n"
        "0\t1\t2\t3\t4\t5\n";
    WriteBytes(data + L"\\forms.txt", saved.data(), saved.size());
    // The application page adds its own paper size when the printer has none: the host's
    // store then holds the saved forms and the new one, and writes them back.
    const std::string log = RunInFolder(data, L"--sheet printer --ok");
    EXPECT_TRUE(Contains(log, "forms: 2 from")) << log;
    EXPECT_TRUE(Contains(log, "form added: Custom Paper-M857")) << log;
    const std::string kept = ReadText(data + L"\\forms.txt");
    EXPECT_EQ(kept,
              "1\t210000\t297000\t0\t0\t210000\t297000\tA4\n"
              "0\t58000\t200000\t0\t0\t58000\t200000\tCustom Paper-Narrow\n"
              "0\t80000\t297000\t0\t0\t80000\t297000\tCustom Paper-M857\n");
    const std::string again = RunInFolder(data, L"--sheet printer --ok");
    EXPECT_TRUE(Contains(again, "forms: 3 from")) << again;
    EXPECT_FALSE(Contains(again, "form added")) << again;

    // The user forms follow the host's five paper sizes in its paper-size option item; the
    // kept choice selects one, and the layout page pushes it back through DrvUpdateUISetting.
    WriteBytes(data + L"\\paper.txt", "Custom Paper-Narrow\n", 20);
    const std::string document = RunInFolder(data, L"--sheet document --visit-all --ok");
    EXPECT_TRUE(Contains(document,
                         "DrvUpdateUISetting: Paper Size Sel=5 \"Custom Paper-Narrow\" changed=yes "
                         "mode=1"))
        << document;
    EXPECT_EQ(ReadText(data + L"\\paper.txt"), "Custom Paper-Narrow\n");
}

TEST(HostCommandLine, RefusesMalformedLinesAndMissingPlugins) {
    EXPECT_EQ(RunHost(L"--sheet both"), 2);
    EXPECT_EQ(RunHost(L"--click 1"), 2);
    EXPECT_EQ(RunHost(L"--ok --cancel"), 2);
    EXPECT_EQ(RunHost(L"--frobnicate"), 2);
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"nodll");
    const std::string log =
        RunInFolder(data, L"--dll " + Quoted(data + L"\\missing.dll") + L" --ok", 1);
    EXPECT_TRUE(Contains(log, "cannot load the plug-in")) << log;
    EXPECT_EQ(GetFileAttributesW((data + L"\\record.bin").c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---- the host's parts, checked directly

TEST(HostParts, CommandLines) {
    struct Case {
        std::vector<std::wstring> args;
        bool ok;
        host::SheetKind sheet;
        host::Ending ending;
        size_t clicks;
    } cases[] = {
        {{}, true, host::SheetKind::Document, host::Ending::User, 0},
        {{L"--sheet", L"printer", L"--click", PageControl(0, IDC_APPLICATION_SELF_TEST), L"--click",
          L"2:1", L"--ok"},
         true,
         host::SheetKind::Printer,
         host::Ending::Ok,
         2},
        {{L"--cancel", L"--cancel"}, true, host::SheetKind::Document, host::Ending::Cancel, 0},
        {{L"--ok", L"--cancel"}, false, {}, {}, 0},
        {{L"--sheet"}, false, {}, {}, 0},
        {{L"--sheet", L"Document"}, false, {}, {}, 0},
        {{L"--data", L""}, false, {}, {}, 0},
        {{L"--click", L"0:0"}, false, {}, {}, 0},
        {{L"--click", L"64:1000"}, false, {}, {}, 0},
        {{L"--click", L"0:65536"}, false, {}, {}, 0},
        {{L"--click", L"1:-5"}, false, {}, {}, 0},
        {{L"--click", L"123456:1"}, false, {}, {}, 0},
        {{L"--click", L"--ok"}, false, {}, {}, 0},
        {{L"document"}, false, {}, {}, 0},
    };
    for (const Case& c : cases) {
        host::HostOptions options;
        std::wstring error;
        const bool ok = host::ParseHostArguments(c.args, &options, &error);
        const std::wstring line = c.args.empty() ? L"(none)" : c.args[0];
        EXPECT_EQ(ok, c.ok) << std::string(line.begin(), line.end());
        EXPECT_EQ(error.empty(), c.ok);
        if (!ok || !c.ok) continue;
        EXPECT_EQ(options.sheet, c.sheet);
        EXPECT_EQ(options.ending, c.ending);
        EXPECT_EQ(options.clicks.size(), c.clicks);
    }
    host::HostOptions options;
    std::wstring error;
    ASSERT_TRUE(host::ParseHostArguments(
        {L"--click", PageControl(3, IDC_APPLICATION_SELF_TEST), L"--real-spooler", L"P 1"},
        &options, &error));
    EXPECT_EQ(options.clicks[0].page, 3);
    EXPECT_EQ(options.clicks[0].control, IDC_APPLICATION_SELF_TEST);
    EXPECT_EQ(options.realSpooler, L"P 1");
}

TEST(HostParts, SavedFormsAreReadWithinTheirLimits) {
    const std::string name63(63, 'n'), name64(64, 'n');
    struct Case {
        const char* what;
        std::string line;
        bool kept;
    } cases[] = {
        {"user form", "0\t80000\t297000\t0\t0\t80000\t297000\tCustom Paper-M857", true},
        {"line ended CRLF", "1\t1\t2\t0\t0\t1\t2\tA4\r", true},
        {"63-character name", "0\t1\t2\t0\t0\t1\t2\t" + name63, true},
        {"64-character name", "0\t1\t2\t0\t0\t1\t2\t" + name64, false},
        {"empty name", "0\t1\t2\t0\t0\t1\t2\t", false},
        {"negative flags", "-1\t1\t2\t0\t0\t1\t2\tX", false},
        {"number past 32 bits", "0\t4294967296\t2\t0\t0\t1\t2\tX", false},
        {"not a number", "0\t1x\t2\t0\t0\t1\t2\tX", false},
        {"six fields", "0\t1\t2\t0\t0\t1", false},
        {"empty", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host::ParseFormsText(c.line + "\n").size(), c.kept ? 1u : 0u) << c.what;

    const std::vector<FormRecord> forms = host::ParseFormsText(
        "1\t210000\t297000\t5\t6\t209995\t296994\tA4\n"
        "0\t58000\t200000\t0\t0\t58000\t200000\t窄纸\n");
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[1].name, u"窄纸");
    EXPECT_EQ(forms[0].imageableArea.right, 209995);
    EXPECT_EQ(host::ParseFormsText(host::FormsText(forms)).size(), 2u);
    EXPECT_EQ(host::FormsText(host::ParseFormsText(host::FormsText(forms))),
              host::FormsText(forms));

    std::string many;
    for (int i = 0; i < 600; ++i)
        many += "0\t1\t2\t0\t0\t1\t2\tF" + std::to_string(i) + "\n";
    EXPECT_EQ(host::ParseFormsText(many).size(), 512u) << "the store holds at most 512 forms";
}

TEST(HostParts, MergeInputHoldsOnlyTheStoredBytes) {
    const Bytes whole = DefaultRecord();
    struct Case {
        const char* what;
        Bytes stored;
        uint32_t claimedAfter;
    } cases[] = {
        {"whole record", whole, 1468},
        {"200 bytes claiming 1468", Bytes(whole.begin(), whole.begin() + 200), 200},
        {"3 bytes", Bytes{0xBC, 0x05, 0x00}, 3},
        {"claims less than it holds", Bytes{12, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}, 12},
    };
    for (const Case& c : cases) {
        const Bytes input = host::MergeInput(c.stored, 1468);
        ASSERT_EQ(input.size(), 1468u) << c.what;
        uint32_t claimed = 0;
        std::memcpy(&claimed, input.data(), 4);
        EXPECT_EQ(claimed, c.claimedAfter) << c.what;
        EXPECT_TRUE(std::equal(c.stored.begin() + std::min<size_t>(4, c.stored.size()),
                               c.stored.end(),
                               input.begin() + std::min<size_t>(4, c.stored.size())))
            << c.what;
        for (size_t i = c.stored.size(); i < input.size(); ++i)
            ASSERT_EQ(input[i], 0) << c.what << " byte " << i;
    }
    Bytes longer = whole;
    longer.resize(5000, 0xEE);
    EXPECT_EQ(host::MergeInput(longer, 1468), whole) << "cut to the record's size";
}

HANDLE g_closed = nullptr;
BOOL WINAPI RecordClose(HANDLE printer) {
    g_closed = printer;
    return TRUE;
}

// The test program's own import of ClosePrinter from winspool, pointed elsewhere and back.
TEST(HostParts, ImportsAreRedirectedByName) {
    HMODULE self = GetModuleHandleW(nullptr);
    const auto original =
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winspool.drv"), "ClosePrinter"));
    ASSERT_NE(original, nullptr);
    const auto redirected =
        host::RedirectImports(self, "WINSPOOL.drv",
                              {{"ClosePrinter", reinterpret_cast<void*>(&RecordClose)},
                               {"NoSuchFunction", reinterpret_cast<void*>(&RecordClose)}});
    ASSERT_EQ(redirected, (std::vector<std::string>{"ClosePrinter"}));
    const HANDLE fake = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_TRUE(ClosePrinter(fake));
    EXPECT_EQ(g_closed, fake);
    host::RedirectImports(self, "winspool.drv", {{"ClosePrinter", original}});
    g_closed = nullptr;
    SetLastError(0);
    EXPECT_FALSE(ClosePrinter(fake)) << "the real one refuses a handle it never gave";
    EXPECT_EQ(g_closed, nullptr);
    EXPECT_TRUE(host::RedirectImports(self, "nosuch.dll",
                                      {{"ClosePrinter", reinterpret_cast<void*>(&RecordClose)}})
                    .empty());
}

// ---- through Wine's own spooler: a RAW printer whose port is a Unix file

using UnixNameFn = char*(CDECL*)(LPCWSTR);

class WinePrinter {
  public:
    WinePrinter(const std::wstring& name, const std::string& unixPort) : name_(name) {
        DRIVER_INFO_3W driver = {};
        driver.cVersion = 3;
        driver.pName = driver_.data();
        driver.pDriverPath = wineps_.data();
        driver.pDataFile = wineps_.data();
        driver.pConfigFile = wineps_.data();
        driverAdded_ = AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver));
        std::wstring port(unixPort.begin(), unixPort.end());
        PRINTER_INFO_2W info = {};
        info.pPrinterName = name_.data();
        info.pPortName = port.data();
        info.pDriverName = driver_.data();
        info.pPrintProcessor = winprint_.data();
        info.pDatatype = raw_.data();
        printer_ = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }
    ~WinePrinter() {
        if (printer_) {
            DeletePrinter(printer_);
            ClosePrinter(printer_);
        }
    }
    bool ok() const { return driverAdded_ && printer_; }

  private:
    std::wstring name_;
    std::wstring driver_ = L"KRV-M857 host test driver", wineps_ = L"wineps.drv",
                 winprint_ = L"WinPrint", raw_ = L"RAW";
    BOOL driverAdded_ = FALSE;
    HANDLE printer_ = nullptr;
};

TEST(HostRealSpooler, SelfTestReachesThePrinterPortFile) {
    const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) GTEST_SKIP() << "needs Wine: the port is a Unix file";
    const ScratchFolder scratch;
    const std::wstring data = DataFolder(scratch, L"spooler");
    const std::wstring portFile = data + L"\\port.bin";
    WriteBytes(portFile, "", 0);
    char* unixPath = unixName(portFile.c_str());
    ASSERT_NE(unixPath, nullptr);
    const std::string port = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    DeleteFileW(portFile.c_str());

    const std::wstring name = L"KRV-M857 e2e " + std::to_wstring(GetCurrentProcessId());
    WinePrinter printer(name, port);
    ASSERT_TRUE(printer.ok()) << "AddPrinterDriverW/AddPrinterW: " << GetLastError();
    // The job must come from a new process: in this one Wine's spooler would drop it.
    const std::string log =
        RunInFolder(data, L"--real-spooler " + Quoted(name) + L" --sheet printer " +
                              ClickOn(0, IDC_APPLICATION_SELF_TEST) + L" --ok");
    EXPECT_TRUE(Contains(log, "opened")) << log;
    EXPECT_FALSE(Contains(log, "winspool imports")) << "the DLL keeps its own imports";
    EXPECT_EQ(ReadBytes(portFile), (Bytes{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02})) << log;
}

}  // namespace
}  // namespace krv::test
