// krv857host: the development host of the KRV-M857 driver UI plug-in. It plays the printer
// driver's UI host: loads the plug-in by path, creates its object, sizes, defaults and merges
// the private record, publishes its own driver helper interface and common-UI parameter block
// (printer handle, printer name, option items), shows the document or printer sheet in a real
// property-sheet window and keeps the record when the sheet is applied.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <winspool.h>

#include <cstdlib>
#include <cstring>

#include "host/host_files.h"
#include "host/host_log.h"
#include "host/host_options.h"
#include "host/host_options_tree.h"
#include "host/host_plugin.h"
#include "host/host_printer.h"
#include "host/host_sheet.h"

namespace krv::host {

namespace {

constexpr wchar_t kHostPrinterName[] = L"KRV-M857";

struct Paths {
    std::wstring record, paper, forms;
};

void CompleteOptions(HostOptions& o) {
    if (o.dllPath.empty()) o.dllPath = JoinPath(HostProgramFolder(), L"krv857ui.dll");
    if (o.jobsFolder.empty()) o.jobsFolder = JoinPath(ParentFolder(o.dataFolder), L"jobs");
    if (o.logPath.empty()) o.logPath = JoinPath(o.dataFolder, L"host.log");
}

void RedirectSpooler(HMODULE dll) {
    std::wstring names;
    for (const auto& name : RedirectSpoolerImports(dll))
        names += L" " + FromUtf8(name);
    Log().Line(L"winspool imports now reach the host's printer:" + names);
}

// The printer the plug-in gets: the named system printer, or the host's own.
class Printer {
  public:
    bool Open(const HostOptions& o, const Paths& paths) {
        if (o.realSpooler.empty()) {
            SetUpHostPrinter(o.jobsFolder, paths.forms);
            handle_ = HostPrinterHandle();
            name_ = kHostPrinterName;
            return true;
        }
        name_ = o.realSpooler;
        if (!OpenPrinterW(name_.data(), &handle_, nullptr)) {
            Log().Line(L"cannot open the printer \"" + name_ + L"\" (error " +
                       std::to_wstring(GetLastError()) + L")");
            handle_ = nullptr;
            return false;
        }
        system_ = true;
        Log().Line(L"system printer \"" + name_ + L"\" opened");
        return true;
    }
    ~Printer() {
        if (system_ && handle_) ClosePrinter(handle_);
    }
    HANDLE handle() const { return handle_; }
    std::wstring& name() { return name_; }

  private:
    HANDLE handle_ = nullptr;
    std::wstring name_;
    bool system_ = false;
};

DEVMODEW PublicDevmode(const std::wstring& printer, const std::wstring& paper) {
    DEVMODEW dm = {};
    dm.dmSize = sizeof dm;
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmFields = DM_FORMNAME | DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    lstrcpynW(dm.dmDeviceName, printer.c_str(), CCHDEVICENAME);
    lstrcpynW(dm.dmFormName, paper.c_str(), CCHFORMNAME);
    return dm;
}

std::wstring SavedPaper(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    ReadFileBytes(path, 256, &bytes);
    std::wstring name = FromUtf8(std::string(bytes.begin(), bytes.end()));
    while (!name.empty() && (name.back() == L'\n' || name.back() == L'\r'))
        name.pop_back();
    return name.empty() ? L"80mm x 297mm" : name;
}

void KeepRecord(const SheetOutcome& outcome, const std::vector<uint8_t>& record, const Paths& paths,
                const HostOptionItems& items) {
    if (!outcome.applied) {
        Log().Line(L"record not kept: the sheet was not applied");
        return;
    }
    // Edits made after the last apply and then cancelled are not kept.
    const std::vector<uint8_t>& kept =
        outcome.appliedRecord.empty() ? record : outcome.appliedRecord;
    const bool written = WriteFileBytes(paths.record, kept.data(), kept.size());
    Log().Line((written ? L"record kept: " : L"record could not be written: ") +
               std::to_wstring(kept.size()) + L" bytes -> " + paths.record);
    const std::wstring paper = HostOptionItems::Choice(items.Paper());
    WriteFileText(paths.paper, Utf8(paper) + "\n");
    Log().Line(L"paper size kept: \"" + paper + L"\"");
}

class Session {
  public:
    explicit Session(HostOptions options) : o_(std::move(options)) {}
    int Run();

  private:
    bool Prepare();
    OEMCUIPPARAM CommonUi(HostOptionItems& items, DEVMODEW* dm);
    OEMUIPSPARAM SheetParams(DEVMODEW* dm);

    HostOptions o_;
    Paths paths_;
    Printer printer_;
    PluginModule plugin_;
    std::vector<uint8_t> record_;
    OEMUIOBJ driverObject_ = {sizeof(OEMUIOBJ), nullptr};
};

bool Session::Prepare() {
    if (!printer_.Open(o_, paths_)) return false;
    if (!plugin_.Load(o_.dllPath, o_.realSpooler.empty() ? &RedirectSpooler : nullptr))
        return false;
    if (!plugin_.Create() || !plugin_.Identify()) return false;
    std::vector<uint8_t> stored;
    ReadFileBytes(paths_.record, kMaxPrivateRecord, &stored);
    OEMDMPARAM param = {};
    param.hPrinter = printer_.handle();
    param.hModule = plugin_.module();
    return BuildRecord(plugin_.ui(), param, stored, &record_);
}

OEMCUIPPARAM Session::CommonUi(HostOptionItems& items, DEVMODEW* dm) {
    const bool document = o_.sheet == SheetKind::Document;
    OEMCUIPPARAM p = {};
    p.cbSize = sizeof p;
    p.poemuiobj = &driverObject_;
    p.hPrinter = printer_.handle();
    p.pPrinterName = printer_.name().data();
    p.hModule = plugin_.module();
    p.hOEMHeap = GetProcessHeap();
    p.pPublicDM = document ? dm : nullptr;
    p.pOEMDM = document ? record_.data() : nullptr;
    p.pDrvOptItems = items.Items();
    p.cDrvOptItems = items.Count();
    return p;
}

OEMUIPSPARAM Session::SheetParams(DEVMODEW* dm) {
    const bool document = o_.sheet == SheetKind::Document;
    OEMUIPSPARAM p = {};
    p.cbSize = sizeof p;
    p.poemuiobj = &driverObject_;
    p.hPrinter = printer_.handle();
    p.pPrinterName = printer_.name().data();
    p.hModule = plugin_.module();
    p.hOEMHeap = GetProcessHeap();
    p.pPublicDM = document ? dm : nullptr;
    p.pOEMDM = document ? record_.data() : nullptr;
    return p;
}

int Session::Run() {
    paths_ = {JoinPath(o_.dataFolder, L"record.bin"), JoinPath(o_.dataFolder, L"paper.txt"),
              JoinPath(o_.dataFolder, L"forms.txt")};
    if (!Prepare()) return 1;

    std::vector<std::wstring> sizes = HostPaperSizes();
    if (o_.realSpooler.empty())
        for (auto& name : UserFormNames())
            sizes.push_back(name);
    HostOptionItems items(sizes, SavedPaper(paths_.paper));
    HostDriverUi driverUi(&items, &driverObject_);
    DEVMODEW dm = PublicDevmode(printer_.name(), HostOptionItems::Choice(items.Paper()));

    const HRESULT published = plugin_.ui()->PublishDriverInterface(
        static_cast<IUnknown*>(static_cast<IPrintOemDriverUI*>(&driverUi)));
    Log().Line(L"PublishDriverInterface: " + Hex(static_cast<ULONG>(published)));
    OEMCUIPPARAM commonUi = CommonUi(items, &dm);
    const DWORD mode = o_.sheet == SheetKind::Document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    const HRESULT common = plugin_.ui()->CommonUIProp(mode, &commonUi);
    Log().Line(L"CommonUIProp(" + std::to_wstring(mode) + L"): " + Hex(static_cast<ULONG>(common)) +
               L", plug-in option items " + std::to_wstring(commonUi.cOEMOptItems));

    OEMUIPSPARAM sheetParams = SheetParams(&dm);
    const bool document = o_.sheet == SheetKind::Document;
    const SheetOutcome outcome =
        RunSheet(plugin_.ui(), o_, &sheetParams, document ? &record_ : nullptr);
    KeepRecord(outcome, record_, paths_, items);
    plugin_.Unload();
    Log().Line(L"driver helper interface references left " +
               std::to_wstring(driverUi.References()));
    if (o_.realSpooler.empty()) FinishOpenJob();
    return outcome.shown ? 0 : 1;
}

void WriteError(const std::wstring& text) {
    const std::string bytes = Utf8(text);
    DWORD n = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &n,
              nullptr);
}

}  // namespace

int HostMain(const std::vector<std::wstring>& args) {
    HostOptions options;
    std::wstring error;
    if (!ParseHostArguments(args, &options, &error)) {
        WriteError(L"krv857host: " + error + L"\n" + kHostUsage);
        return 2;
    }
    CompleteOptions(options);
    if (!EnsureFolder(options.dataFolder)) {
        WriteError(L"krv857host: cannot make the data folder " + options.dataFolder + L"\n");
        return 1;
    }
    Log().Open(options.logPath);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Session(options).Run();
    if (SUCCEEDED(com)) CoUninitialize();
    Log().Line(L"exit " + std::to_wstring(status));
    return status;
}

}  // namespace krv::host

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::vector<std::wstring> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__wargv[i]);
    return krv::host::HostMain(args);
}
