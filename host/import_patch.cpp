#include "host/import_patch.h"

#include <cstring>

namespace krv::host {

namespace {

// The module's headers as the loader mapped them; null when they do not look like a PE image.
const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

bool WriteSlot(ULONG_PTR* slot, void* value) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
    *slot = reinterpret_cast<ULONG_PTR>(value);
    VirtualProtect(slot, sizeof *slot, previous, &previous);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
    return true;
}

const ImportReplacement* Find(const std::vector<ImportReplacement>& list, const char* name) {
    for (const auto& r : list)
        if (std::strcmp(r.function, name) == 0) return &r;
    return nullptr;
}

void RedirectDescriptor(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& d,
                        const std::vector<ImportReplacement>& list,
                        std::vector<std::string>* done) {
    // The name table (OriginalFirstThunk) keeps the names after binding; the address table
    // (FirstThunk) is what the code calls through.
    const DWORD names = d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk;
    auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d.FirstThunk);
    for (; name->u1.AddressOfData; ++name, ++slot) {
        if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
        const auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
        const char* function = reinterpret_cast<const char*>(byName->Name);
        const ImportReplacement* r = Find(list, function);
        if (r && WriteSlot(reinterpret_cast<ULONG_PTR*>(&slot->u1.Function), r->replacement))
            done->push_back(function);
    }
}

}  // namespace

std::vector<std::string> RedirectImports(HMODULE module, const char* library,
                                         const std::vector<ImportReplacement>& replacements) {
    std::vector<std::string> done;
    const IMAGE_NT_HEADERS* nt = NtHeaders(module);
    if (!nt) return done;
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return done;
    auto* base = reinterpret_cast<BYTE*>(module);
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), library) == 0)
            RedirectDescriptor(base, *d, replacements, &done);
    }
    return done;
}

}  // namespace krv::host
