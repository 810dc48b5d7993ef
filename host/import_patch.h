// Points entries of a loaded module's import address table at other functions. The host uses
// it to stand in for the spooler under the plug-in, which itself always calls winspool.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace krv::host {

struct ImportReplacement {
    const char* function;  // imported by this name
    void* replacement;
};

// Rewrites, in `module`'s import table, every entry of `library` (compared without regard to
// case) imported by one of the given names. Returns the names it rewrote.
std::vector<std::string> RedirectImports(HMODULE module, const char* library,
                                         const std::vector<ImportReplacement>& replacements);

}  // namespace krv::host
