#include <windows.h>

#include "tests/tool/tool_runner.h"
#include "tests/common/test_bitmaps.h"

namespace krv::test {

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
    ScratchFolder dir;
    const std::string out = dir.SystemPath("out"), err = dir.SystemPath("err");
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
    const bool started = CreateProcessW(tool.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
    const DWORD failure = started ? 0 : GetLastError();
    if (started) {
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
    const Bytes o = ScratchFolder::Read(out), e = ScratchFolder::Read(err);
    run.out.assign(o.begin(), o.end());
    run.err.assign(e.begin(), e.end());
    if (!started) run.err += "the tool could not be started: error " + std::to_string(failure);
    return run;
}

}  // namespace krv::test
