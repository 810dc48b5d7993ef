#include "devpages/control_font_table.h"

#include <algorithm>
#include <span>

#include "channel/command_text_codec.h"
#include "files/files.h"

namespace krv {

namespace {

constexpr size_t kMaxExchangeTextChars = 9;

// The new table is written here first; it sits beside the table so that the final move stays
// on one volume and replaces the old file in one step.
std::u16string TemporaryPath(std::u16string_view path) {
    return std::u16string(path) + u".tmp";
}

bool WriteRows(PrivateProfileSeam& profile, std::u16string_view file, const ControlFontRows& rows) {
    for (const auto& row : rows) {
        if (row.command.empty()) continue;
        if (!profile.WriteString(file, kControlFontSection, row.hex, row.command)) return false;
    }
    return true;
}

bool HasCommand(const ControlFontRows& rows) {
    return std::any_of(rows.begin(), rows.end(),
                       [](const ControlFontRow& r) { return !r.command.empty(); });
}

}  // namespace

std::u16string ControlFontTablePath(std::u16string_view windowsDirectory,
                                    DriverArchitecture architecture) {
    while (!windowsDirectory.empty() &&
           (windowsDirectory.back() == u'\\' || windowsDirectory.back() == u'/'))
        windowsDirectory.remove_suffix(1);
    const std::u16string_view folder = architecture == DriverArchitecture::X64
                                           ? u"\\system32\\spool\\drivers\\x64\\3\\"
                                           : u"\\system32\\spool\\drivers\\w32x86\\3\\";
    return std::u16string(windowsDirectory) + std::u16string(folder) +
           std::u16string(kControlFontTableFileName);
}

std::optional<std::u16string> DefaultControlFontTablePath() {
    const auto windows = WindowsFolder();
    if (!windows) return std::nullopt;
    return ControlFontTablePath(*windows);
}

std::u16string ControlFontKey(unsigned code) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string key;
    bool leading = true;
    for (int shift = 28; shift >= 0; shift -= 4) {
        const unsigned digit = (code >> shift) & 0xF;
        if (leading && digit == 0 && shift > 0) continue;
        leading = false;
        key.push_back(kDigits[digit]);
    }
    return key;
}

ControlFontRows EmptyControlFontRows() {
    ControlFontRows rows;
    rows.reserve(kControlFontRowCount);
    for (unsigned c = kFirstControlFontChar; c <= kLastControlFontChar; ++c)
        rows.push_back({std::u16string(1, static_cast<char16_t>(c)), ControlFontKey(c), {}});
    return rows;
}

ControlFontRows LoadControlFontTable(PrivateProfileSeam& profile, std::u16string_view path) {
    ControlFontRows rows = EmptyControlFontRows();
    for (auto& row : rows) {
        std::u16string value =
            profile.ReadString(path, kControlFontSection, row.hex, kMaxControlCommandTextChars);
        if (value.size() <= kMaxControlCommandTextChars) row.command = std::move(value);
    }
    return rows;
}

bool SaveControlFontTable(PrivateProfileSeam& profile, std::u16string_view path,
                          const ControlFontRows& rows) {
    // An empty table is no file at all.
    if (!HasCommand(rows)) return profile.Remove(path);
    const std::u16string temporary = TemporaryPath(path);
    // A leftover of an interrupted save must not lend its keys to the new table.
    if (!profile.Remove(temporary)) return false;
    if (WriteRows(profile, temporary, rows) && profile.Replace(temporary, path)) return true;
    profile.Remove(temporary);
    return false;
}

std::u16string ControlFontEntryExchange::CommandText() const {
    const size_t n = std::min<size_t>(commandLength, commandBytes.size());
    return CommandTextCodec::Format(std::span<const uint8_t>(commandBytes.data(), n));
}

bool BeginControlFontEdit(const ControlFontRow* row, ControlFontEntryExchange& exchange) {
    std::array<uint8_t, kMaxControlCommandBytes> bytes{};
    const size_t count = row ? CommandTextCodec::Parse(row->command, bytes) : 0;
    if (count > kMaxControlCommandBytes) return false;
    exchange.characterText = row ? row->character.substr(0, kMaxExchangeTextChars) : u"";
    exchange.hexText = row ? row->hex.substr(0, kMaxExchangeTextChars) : u"";
    exchange.commandBytes = bytes;
    exchange.commandLength = static_cast<uint8_t>(count);
    return true;
}

bool AcceptControlFontCommand(std::u16string_view text, ControlFontEntryExchange& exchange) {
    std::array<uint8_t, kMaxControlCommandBytes> bytes{};
    const size_t count = CommandTextCodec::Parse(text, bytes);
    if (count > kMaxControlCommandBytes) return false;
    exchange.commandBytes = bytes;
    exchange.commandLength = static_cast<uint8_t>(count);
    return true;
}

}  // namespace krv
