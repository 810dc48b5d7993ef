// Scratch folders and bitmap files for the watermark tests.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace krv::watermark_test {

// A fresh folder for each test, removed afterwards. Paths stay std::filesystem paths so the
// same tests run natively and, in the Windows build, under Wine against the kernel32 seam.
class ScratchFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        static std::atomic<unsigned> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = std::filesystem::temp_directory_path() /
                  ("krv_watermark_" + std::to_string(stamp) + "_" + std::to_string(serial++));
        ASSERT_TRUE(std::filesystem::create_directory(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
    std::u16string Wide(const std::string& name) const { return Path(name).u16string(); }

    std::filesystem::path folder_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void PutLe(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t GetLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t(b[at + i]) << (8 * i);
    return v;
}

// A bitmap file as a painting program would write it: both headers, then the palette, then
// the pixel bytes as given. The file size and resolution fields carry recognisable values.
struct BmpSource {
    uint32_t pixelOffset;
    uint16_t bitCount;
    int32_t width;
    int32_t height;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> pixels;
    uint32_t compression = 0;
    uint32_t infoSize = 40;
    uint32_t coloursUsed = 0;
};

inline std::vector<uint8_t> MakeBmp(const BmpSource& s) {
    std::vector<uint8_t> b(54 + s.palette.size() + s.pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 6, 0x1234, 2);  // reserved words: the conversion keeps them
    PutLe(b, 8, 0x5678, 2);
    PutLe(b, 10, s.pixelOffset, 4);
    PutLe(b, 14, s.infoSize, 4);
    PutLe(b, 18, static_cast<uint32_t>(s.width), 4);
    PutLe(b, 22, static_cast<uint32_t>(s.height), 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, s.bitCount, 2);
    PutLe(b, 30, s.compression, 4);
    PutLe(b, 34, 999, 4);   // image size: the conversion sets it to 0
    PutLe(b, 38, 2835, 4);  // resolutions: kept
    PutLe(b, 42, 2836, 4);
    PutLe(b, 46, s.coloursUsed, 4);
    std::copy(s.palette.begin(), s.palette.end(), b.begin() + 54);
    std::copy(s.pixels.begin(), s.pixels.end(), b.begin() + 54 + s.palette.size());
    PutLe(b, 2, static_cast<uint32_t>(b.size()), 4);
    return b;
}

}  // namespace krv::watermark_test
