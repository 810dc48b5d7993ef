// The host's log: one line per step, in UTF-8, to the log file and to standard error.
#pragma once

#include <windows.h>

#include <string>

namespace krv::host {

class HostLog {
  public:
    // Opens (replaces) the log file; the log still reaches standard error if that fails.
    bool Open(const std::wstring& path);
    ~HostLog();
    void Line(const std::wstring& text);
    void Line(const std::string& utf8);

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// The one log of the process (the host's callbacks are plain functions).
HostLog& Log();

std::wstring Hex(unsigned long long value);

}  // namespace krv::host
