// Private-profile (INI) files behind a seam: read and write one value, replace a file by
// another, remove one. Windows has the system's profile functions; elsewhere the same text is
// read and written whole through the file layer.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace krv {

class PrivateProfileSeam {
  public:
    virtual ~PrivateProfileSeam() = default;
    // The value of `key` in `section`, with the blanks around it removed; empty when the file
    // or the key is missing. At most `maxChars` + 1 characters come back, so a caller can tell
    // a value longer than `maxChars` from one that fits.
    virtual std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                                      std::u16string_view key, size_t maxChars) = 0;
    // Sets `key` = `value` in `section`, creating the file and the section when missing.
    virtual bool WriteString(std::u16string_view path, std::u16string_view section,
                             std::u16string_view key, std::u16string_view value) = 0;
    // Moves `from` over `to`, replacing it in one step.
    virtual bool Replace(std::u16string_view from, std::u16string_view to) = 0;
    // True when the file no longer exists afterwards (a missing file counts as removed).
    virtual bool Remove(std::u16string_view path) = 0;
};

// Windows: GetPrivateProfileStringW / WritePrivateProfileStringW / MoveFileExW / DeleteFileW.
// Elsewhere: FilePrivateProfile.
PrivateProfileSeam& SystemPrivateProfile();

// ---------------------------------------------------------------- INI text
// The text format of the platform's private-profile files, for FilePrivateProfile and the
// tests: "[Section]\r\nkey=value\r\n", a blank line between sections, names compared without
// regard to ASCII case. A new file is written in the ANSI code page (as Windows writes a new
// profile file); a file starting with the UTF-16LE byte-order mark is read and kept as UTF-16.
namespace ini {

// The value as GetPrivateProfileString gives it: blanks around it removed, one pair of
// enclosing quotes removed; none when the section or the key is missing.
std::optional<std::u16string> Lookup(std::u16string_view text, std::u16string_view section,
                                     std::u16string_view key);
// The text after WritePrivateProfileString(section, key, value): an existing key gets the new
// value in place, a new key goes at the end of its section, a new section at the end.
std::u16string Store(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);

struct DecodedText {
    std::u16string text;
    bool utf16 = false;  // the bytes began with the UTF-16LE byte-order mark
};
DecodedText Decode(std::string_view bytes);
std::string Encode(std::u16string_view text, bool utf16);

}  // namespace ini

// The profile functions' text, read and written whole through the file layer.
class FilePrivateProfile : public PrivateProfileSeam {
  public:
    std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                              std::u16string_view key, size_t maxChars) override;
    bool WriteString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override;
    bool Replace(std::u16string_view from, std::u16string_view to) override;
    bool Remove(std::u16string_view path) override;
};

}  // namespace krv
