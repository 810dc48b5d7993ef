// What the system bodies of the file layer (files_nt.cpp, files_posix.cpp) give its portable
// part beyond files.h.
#pragma once

#include <string>
#include <string_view>

namespace krv::files_body {

// Records the reason of a failure for LastFileError().
void SetError(std::string reason);
// The system's words for its last error (errno, or GetLastError on Windows).
std::string SystemError();
// The file a link at `path` leads to, when `path` is a link to a regular file; else `path`.
std::u16string FollowFileLink(std::u16string_view path);

}  // namespace krv::files_body
