#include <windows.h>

#include "tests/tool/tool_runner.h"
#include "tests/unit/imaging/test_bitmaps.h"

namespace krv::testing {

namespace {

// krv857.exe beside this test program.
std::wstring ToolPath() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"krv857.exe";
}

std::wstring Wide(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

// Quoted for the child's command line, as its runtime splits it again.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring q = L"\"";
    size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        q.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
        slashes = 0;
        q += c;
    }
    q.append(2 * slashes, L'\\');
    return q + L"\"";
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, int timeoutMs) {
    ScratchDir dir;
    const std::string out = dir.Path("out"), err = dir.Path("err");
    const std::wstring tool = ToolPath();
    std::wstring line = Quoted(tool);
    for (const auto& a : args)
        line += L" " + Quoted(Wide(a));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
    si.hStdOutput = Inheritable(out, GENERIC_WRITE, CREATE_ALWAYS);
    si.hStdError = Inheritable(err, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION pi{};
    ToolRun run;
    if (CreateProcessW(tool.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                       &pi)) {
        if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_TIMEOUT) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, INFINITE);
            run.hung = true;
        } else {
            DWORD code = 0;
            GetExitCodeProcess(pi.hProcess, &code);
            run.exitCode = static_cast<int>(code);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (const HANDLE h : {si.hStdInput, si.hStdOutput, si.hStdError})
        CloseHandle(h);
    const Bytes o = ScratchDir::Read(out), e = ScratchDir::Read(err);
    run.out.assign(o.begin(), o.end());
    run.err.assign(e.begin(), e.end());
    return run;
}

}  // namespace krv::testing
