// Files and folders of the host's data folder (through the file layer), and the text
// conversions its logs need.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krv::host {

std::string Utf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Creates the folder and every missing parent. True when it exists afterwards.
bool EnsureFolder(const std::wstring& path);
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
std::wstring ParentFolder(const std::wstring& path);  // empty when there is none
std::wstring HostProgramFolder();

// Reads at most `limit` bytes of the file into `out`; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, size_t limit, std::vector<uint8_t>* out);
// Writes the whole file through a new file beside it, so a failure keeps the old one.
bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
bool WriteFileText(const std::wstring& path, std::string_view text);

}  // namespace krv::host
