// The plug-in as the printer driver's UI host reaches it: the DLL loaded by path, the object
// created through DllGetClassObject and its class factory, and the private record sized,
// defaulted and merged with the one kept from an earlier run.
#pragma once

#include "frame/oem_ui_abi_win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace krv::host {

class PluginModule {
  public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the DLL; `beforeCreate` runs on the loaded module before any object exists (the
    // host redirects the spooler imports there). False, logged, on any failure.
    bool Load(const std::wstring& path, void (*beforeCreate)(HMODULE));
    // Creates the object: class factory, CreateInstance(IUnknown), QueryInterface(IPrintOemUI).
    bool Create();
    // GetInfo signature and version, logged. False when the signature cannot be read.
    bool Identify();
    // Releases the object (logging the count it answers) and unloads the DLL.
    void Unload();

    HMODULE module() const { return module_; }
    IPrintOemUI* ui() const { return ui_; }

  private:
    HMODULE module_ = nullptr;
    IPrintOemUI* ui_ = nullptr;
};

// Largest private record the host accepts from a plug-in's size answer.
constexpr DWORD kMaxPrivateRecord = 64 * 1024;

// DevMode size, default, then (when `stored` holds bytes) merge of the stored record into the
// default one. `param` carries the printer, module and public DEVMODE. False when the plug-in
// gives no usable size or a call fails.
bool BuildRecord(IPrintOemUI* ui, OEMDMPARAM param, const std::vector<uint8_t>& stored,
                 std::vector<uint8_t>* record);

// The input the merge reads: the stored bytes padded with zeros to the record size, with a
// claimed size larger than what was stored lowered to the stored length, so the plug-in never
// takes bytes the file did not hold.
std::vector<uint8_t> MergeInput(const std::vector<uint8_t>& stored, size_t recordSize);

}  // namespace krv::host
