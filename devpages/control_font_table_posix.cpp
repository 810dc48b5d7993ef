// The private-profile seam on systems other than Windows: whole-file reads and writes of the
// INI text, paths in UTF-8.
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "channel/ansi_text.h"
#include "devpages/control_font_table.h"

namespace krv {

namespace {

// A profile file larger than this is not one of ours and reads as missing.
constexpr std::streamoff kMaxProfileBytes = 1 << 20;

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxProfileBytes) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size)) return std::nullopt;
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

class PosixPrivateProfile : public PrivateProfileSeam {
  public:
    std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                              std::u16string_view key, size_t maxChars) override {
        const auto bytes = ReadBytes(Utf16ToUtf8(path));
        if (!bytes) return {};
        auto value = ini::Lookup(ini::Decode(*bytes).text, section, key);
        if (!value) return {};
        if (value->size() > maxChars + 1) value->resize(maxChars + 1);
        return *value;
    }

    bool WriteString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override {
        const std::string name = Utf16ToUtf8(path);
        ini::DecodedText current;
        if (const auto bytes = ReadBytes(name)) current = ini::Decode(*bytes);
        const auto text = ini::Store(current.text, section, key, value);
        return WriteBytes(name, ini::Encode(text, current.utf16));
    }

    bool Replace(std::u16string_view from, std::u16string_view to) override {
        return std::rename(Utf16ToUtf8(from).c_str(), Utf16ToUtf8(to).c_str()) == 0;
    }

    bool Remove(std::u16string_view path) override {
        if (std::remove(Utf16ToUtf8(path).c_str()) == 0) return true;
        return errno == ENOENT;
    }
};

}  // namespace

PrivateProfileSeam& SystemPrivateProfile() {
    static PosixPrivateProfile profile;
    return profile;
}

std::optional<std::u16string> SystemWindowsDirectory() {
    return std::nullopt;
}

}  // namespace krv
