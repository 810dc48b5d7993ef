// What the fuzz targets share: control values taken off the front of an input, length-prefixed
// chunks, UTF-16 text made of byte pairs, and a private temporary folder for the interfaces that
// take a file path (the input is written there as a file on every run).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "channel/ansi_text.h"

namespace krv::fuzz {

// Reads the input from the front. Past its end every value reads as zero and every chunk as
// empty, so a short input is still a valid one.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Word() {
        const uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | static_cast<uint32_t>(Word()) << 16;
    }
    // A value in lo..hi from one byte.
    int InRange(int lo, int hi) { return lo + Byte() % (hi - lo + 1); }

    // A chunk: a 16-bit little-endian length, then that many bytes (fewer at the end).
    std::span<const uint8_t> Chunk() {
        const size_t want = Word();
        const size_t n = want < size_ - pos_ ? want : size_ - pos_;
        std::span<const uint8_t> chunk(data_ + pos_, n);
        pos_ += n;
        return chunk;
    }
    std::span<const uint8_t> Rest() {
        std::span<const uint8_t> rest(data_ + pos_, size_ - pos_);
        pos_ = size_;
        return rest;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Byte pairs as little-endian UTF-16 units; an odd last byte is dropped.
inline std::u16string Utf16Of(std::span<const uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return text;
}

// A copy on the heap of exactly the input's size, so a read one past its end is caught.
inline std::vector<uint8_t> ExactCopy(std::span<const uint8_t> bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// The process's own folder under the temporary folder, removed when the process exits; two
// fuzzers running side by side never share a file.
inline const std::filesystem::path& PrivateDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "krv_fuzz_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(PrivateDir(), ignored);
        });
        return true;
    }();
    (void)cleanup;
    return dir;
}

// Writes `bytes` as the file `name` of the private folder (replacing it) and returns its path,
// as the plug-in spells paths.
inline std::u16string WriteTempFile(const std::string& name, std::span<const uint8_t> bytes) {
    const std::string path = (PrivateDir() / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::abort();
    std::fclose(f);
    return PathToUtf16(path);
}

// A path of the private folder, as the plug-in spells paths.
inline std::u16string TempPath(const std::string& name) {
    return PathToUtf16((PrivateDir() / name).string());
}

inline void RemoveTempFile(std::u16string_view path) {
    std::remove(Utf16ToPath(path).c_str());
}

// The whole content of a file; empty when it is missing.
inline std::vector<uint8_t> ReadTempFile(std::u16string_view path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(Utf16ToPath(path).c_str(), "rb")) {
        uint8_t buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

// A property that must hold: stops the fuzzer with the failed condition named.
#define KRV_FUZZ_CHECK(cond)                                                              \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

}  // namespace krv::fuzz
