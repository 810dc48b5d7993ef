// The test program's own GetOpenFileNameW: it answers with the paths queued here (or a
// cancel when none is queued) and remembers what the page asked for.
#pragma once

#include <string>
#include <vector>

namespace krv::test {

struct FileDialogRequest {
    std::wstring filter;  // the double-zero-terminated filter, zeros shown as '|'
    std::wstring title;
    unsigned long flags = 0;
    unsigned long filterIndex = 0;
    unsigned long maxFile = 0;
};

void QueueOpenFileAnswer(const std::wstring& path);
std::vector<FileDialogRequest>& FileDialogRequests();
void ResetFileDialog();

}  // namespace krv::test
