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

// Selects the code page by the names and Windows numbers people use: "GBK", "GB18030",
// "CP437", "UTF-8", "936", "1252"... ("ACP" is the system's own on Windows). False, and the
// code page unchanged, for an empty or unknown name. The plug-in never calls it: its text
// always goes out in the system's code page.
bool SetAnsiCodePage(const std::string& name);
// The name of the code page in use, as SetAnsiCodePage was given it (or the default).
std::string AnsiCodePageName();

// The index of the first character of `text` that the code page cannot hold (ToAnsi would
// write '?' for it), or npos when every character can be written.
size_t FindUnencodable(std::u16string_view text);

// UTF-8 <-> UTF-16 for command-line text (no code page involved).
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Strict UTF-8: no stray, overlong or truncated sequences, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// File paths as the system spells them, through the core's UTF-16 interfaces without loss: a
// byte that is not part of valid UTF-8 travels as U+DC80..U+DCFF (a lone low surrogate, which
// no name in UTF-8 can hold) and comes back as the same byte.
std::u16string PathToUtf16(std::string_view path);
std::string Utf16ToPath(std::u16string_view path);

}  // namespace krv
