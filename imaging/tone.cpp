#include "imaging/tone.h"

#include <algorithm>
#include <cmath>

namespace krv {

namespace {

int ClampLevel(int v) {
    return std::clamp(v, 0, 255);
}

}  // namespace

int ClampTone(int value) {
    return std::clamp(value, kToneMin, kToneMax);
}

int AdjustLevel(int level, int contrast, int brightness) {
    const int v = level;
    const int c = ClampTone(contrast);
    int d;
    if (c < 0) {
        // 0..255 is compressed to -c .. 255 + c.
        d = static_cast<int>(v / (255.0 / (2 * c + 255)) - c);
    } else if (v <= c) {
        d = 0;
    } else if (v >= 255 - c) {
        d = 255;
    } else {
        // c .. 255 - c is stretched to 0..255 (the constant is 1/255).
        d = static_cast<int>((v - c) / ((255 - 2 * c) * 0.00392156862745098));
    }
    return ClampLevel(d + ClampTone(brightness));
}

int AdjustAroundMean(int level, int contrast, int brightness, int mean) {
    const int c = ClampTone(contrast);
    const double k = c >= 0 ? 1 + 0.1 * c : 1 - 0.1 * std::sqrt(static_cast<double>(-c));
    return ClampLevel(static_cast<int>(k * (level - mean) + mean) + ClampTone(brightness));
}

LevelTable MakeLevelTable(int contrast, int brightness) {
    LevelTable t;
    for (int v = 0; v < 256; ++v)
        t[v] = static_cast<uint8_t>(AdjustLevel(v, contrast, brightness));
    return t;
}

LevelTable MakeMeanLevelTable(int contrast, int brightness, int mean) {
    LevelTable t;
    for (int v = 0; v < 256; ++v)
        t[v] = static_cast<uint8_t>(AdjustAroundMean(v, contrast, brightness, mean));
    return t;
}

int MeanAdjustedLuma(const uint8_t* rows, int width, int height, uint64_t stride, int contrast,
                     int brightness) {
    const LevelTable t = MakeLevelTable(contrast, brightness);
    uint64_t sum[3] = {0, 0, 0};  // blue, green, red
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rows + y * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            sum[0] += t[p[0]];
            sum[1] += t[p[1]];
            sum[2] += t[p[2]];
        }
    }
    const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    return Luma(static_cast<int>(sum[2] / n), static_cast<int>(sum[1] / n),
                static_cast<int>(sum[0] / n));
}

ChannelMeanValues ChannelMeans(const uint8_t* rows, int width, int height, uint64_t stride) {
    uint64_t sum[3] = {0, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rows + y * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            sum[0] += p[0];
            sum[1] += p[1];
            sum[2] += p[2];
        }
    }
    const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    return {static_cast<int>(sum[2] / n), static_cast<int>(sum[1] / n),
            static_cast<int>(sum[0] / n)};
}

int MeanAdjustedLevel(const uint8_t* rows, int width, int height, uint64_t stride, int contrast,
                      int brightness) {
    const LevelTable t = MakeLevelTable(contrast, brightness);
    uint64_t sum = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rows + y * stride;
        for (int x = 0; x < width; ++x)
            sum += t[p[x]];
    }
    const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    return static_cast<int>(sum / n);
}

const DitherMatrix8& Bayer8() {
    static const DitherMatrix8 m = {{{0, 32, 8, 40, 2, 34, 10, 42},
                                     {48, 16, 56, 24, 50, 18, 58, 26},
                                     {12, 44, 4, 36, 14, 46, 6, 38},
                                     {60, 28, 52, 20, 62, 30, 54, 22},
                                     {3, 35, 11, 43, 1, 33, 9, 41},
                                     {51, 19, 59, 27, 49, 17, 57, 25},
                                     {15, 47, 7, 39, 13, 45, 5, 37},
                                     {63, 31, 55, 23, 61, 29, 53, 21}}};
    return m;
}

const DitherMatrix16& Bayer16() {
    static const DitherMatrix16 m = [] {
        DitherMatrix16 r{};
        for (int row = 0; row < 16; ++row) {
            for (int col = 0; col < 16; ++col) {
                // Quadrant offsets: top-left 0, top-right 3, bottom-left 2, bottom-right 1.
                const int q = row < 8 ? (col < 8 ? 0 : 3) : (col < 8 ? 2 : 1);
                r[row][col] = static_cast<uint8_t>(4 * Bayer8()[row % 8][col % 8] + q);
            }
        }
        return r;
    }();
    return m;
}

}  // namespace krv
