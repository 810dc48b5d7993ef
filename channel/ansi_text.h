// The one road from user-interface text (UTF-16) to the bytes the printer receives: the
// system ANSI code page. Windows: WideCharToMultiByte(CP_ACP). Elsewhere: iconv with a named
// code page, GBK unless SetAnsiCodePage chose another.
#pragma once

#include <string>
#include <string_view>

namespace krv {

// Characters the code page cannot hold become '?', as WideCharToMultiByte does by default.
std::string ToAnsi(std::u16string_view text);
// The reverse, for sample texts and values read back from ANSI sources.
std::u16string FromAnsi(std::string_view bytes);

#ifndef _WIN32
// Portable build: `text` in the named iconv code page, leaving the one ToAnsi uses alone (the
// printer application converts for several printers at once). '?' as in ToAnsi; nothing for
// a code page iconv does not know.
std::string ToCodePage(std::u16string_view text, const std::string& codePage);
#endif

// Portable build: selects the iconv code page (e.g. "GBK", "CP1252"); false if unknown.
// Windows build: only "ACP" (the system's own) is accepted.
bool SetAnsiCodePage(const std::string& name);

// UTF-8 <-> UTF-16 for paths and command-line text (no code page involved).
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace krv
