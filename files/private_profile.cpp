#include "files/private_profile.h"

#include <algorithm>
#include <vector>

#include "channel/ansi_text.h"
#include "files/files.h"

namespace krv::ini {

namespace {

struct Entry {
    std::u16string key;
    std::optional<std::u16string> value;  // none: a line without "=" kept as it stood
};

struct Section {
    std::optional<std::u16string> name;  // none: the lines before the first section
    std::vector<Entry> entries;
};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r';
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto x, auto y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

std::vector<Section> Parse(std::u16string_view text) {
    std::vector<Section> sections(1);
    while (!text.empty()) {
        const size_t end = text.find(u'\n');
        const std::u16string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
        if (line.empty()) continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            const auto name =
                line.substr(1, close == std::u16string_view::npos ? line.npos : close - 1);
            sections.push_back({std::u16string(Trim(name)), {}});
            continue;
        }
        const size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos) {
            sections.back().entries.push_back({std::u16string(line), std::nullopt});
        } else {
            sections.back().entries.push_back({std::u16string(Trim(line.substr(0, eq))),
                                               std::u16string(Trim(line.substr(eq + 1)))});
        }
    }
    return sections;
}

std::u16string Render(const std::vector<Section>& sections) {
    std::u16string out;
    for (const auto& section : sections) {
        if (section.name) {
            if (!out.empty()) out += u"\r\n";  // a blank line between sections
            out += u"[" + *section.name + u"]\r\n";
        }
        for (const auto& entry : section.entries) {
            out += entry.key;
            if (entry.value) out += u"=" + *entry.value;
            out += u"\r\n";
        }
    }
    return out;
}

Section* FindSection(std::vector<Section>& sections, std::u16string_view name) {
    for (auto& s : sections)
        if (s.name && SameName(*s.name, name)) return &s;
    return nullptr;
}

}  // namespace

std::optional<std::u16string> Lookup(std::u16string_view text, std::u16string_view section,
                                     std::u16string_view key) {
    auto sections = Parse(text);
    const Section* found = FindSection(sections, section);
    if (!found) return std::nullopt;
    for (const auto& entry : found->entries) {
        if (!entry.value || !SameName(entry.key, key)) continue;
        std::u16string_view v = *entry.value;
        if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return std::u16string(v);
    }
    return std::nullopt;
}

std::u16string Store(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) {
    // The profile functions drop the blanks before a value but keep those after it.
    while (!value.empty() && (value.front() == u' ' || value.front() == u'\t'))
        value.remove_prefix(1);
    auto sections = Parse(text);
    Section* target = FindSection(sections, section);
    if (!target) {
        sections.push_back({std::u16string(section), {}});
        target = &sections.back();
    }
    const auto trimmedKey = Trim(key);
    for (auto& entry : target->entries) {
        if (entry.value && SameName(entry.key, trimmedKey)) {
            entry.value = std::u16string(value);
            return Render(sections);
        }
    }
    target->entries.push_back({std::u16string(trimmedKey), std::u16string(value)});
    return Render(sections);
}

DecodedText Decode(std::string_view bytes) {
    DecodedText out;
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
        static_cast<uint8_t>(bytes[1]) == 0xFE) {
        out.utf16 = true;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                                     static_cast<uint8_t>(bytes[i + 1]) << 8));
        return out;
    }
    out.text = FromAnsi(bytes);
    return out;
}

std::string Encode(std::u16string_view text, bool utf16) {
    if (!utf16) return ToAnsi(text);
    std::string out = "\xFF\xFE";
    for (const char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

}  // namespace krv::ini

namespace krv {

namespace {

// A profile file larger than this is not one of ours and reads as missing.
constexpr uint64_t kMaxProfileBytes = 1 << 20;

std::optional<std::string> ReadProfile(std::u16string_view path) {
    const auto bytes = ReadWholeFile(path, kMaxProfileBytes + 1);
    if (!bytes || bytes->size() > kMaxProfileBytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace

std::u16string FilePrivateProfile::ReadString(std::u16string_view path, std::u16string_view section,
                                              std::u16string_view key, size_t maxChars) {
    const auto bytes = ReadProfile(path);
    if (!bytes) return {};
    auto value = ini::Lookup(ini::Decode(*bytes).text, section, key);
    if (!value) return {};
    if (value->size() > maxChars + 1) value->resize(maxChars + 1);
    return *value;
}

bool FilePrivateProfile::WriteString(std::u16string_view path, std::u16string_view section,
                                     std::u16string_view key, std::u16string_view value) {
    ini::DecodedText current;
    if (const auto bytes = ReadProfile(path)) current = ini::Decode(*bytes);
    const std::string text =
        ini::Encode(ini::Store(current.text, section, key, value), current.utf16);
    return WriteWholeFile(path, text.data(), text.size());
}

bool FilePrivateProfile::Replace(std::u16string_view from, std::u16string_view to) {
    return MoveReplacing(from, to);
}

bool FilePrivateProfile::Remove(std::u16string_view path) {
    return DeleteFileAt(path) || KindOfPath(path) == PathKind::Missing;
}

}  // namespace krv
