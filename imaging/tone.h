// Tone adjustment of one 0..255 level by a row's contrast and brightness, the means the
// halftone methods compare against, and the two ordered-dither matrices.
#pragma once

#include <array>
#include <cstdint>

namespace krv {

// The trackbars' range; values outside it are brought into it before use.
constexpr int kToneMin = -100;
constexpr int kToneMax = 100;
int ClampTone(int value);

// Contrast stretches (c > 0) or compresses (c < 0) the range about its middle, brightness
// shifts it; evaluated in double precision with truncation toward zero.
int AdjustLevel(int level, int contrast, int brightness);
// Contrast as a slope about the mean m instead of the middle of the range.
int AdjustAroundMean(int level, int contrast, int brightness, int mean);

// AdjustLevel for every level of one (contrast, brightness): looking a level up here gives
// exactly what AdjustLevel computes.
using LevelTable = std::array<uint8_t, 256>;
LevelTable MakeLevelTable(int contrast, int brightness);
LevelTable MakeMeanLevelTable(int contrast, int brightness, int mean);

struct ChannelMeanValues {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Over 24-bit rows (blue, green, red) of `stride` bytes. Width and height must be positive.
int MeanAdjustedLuma(const uint8_t* rows, int width, int height, uint64_t stride, int contrast,
                     int brightness);
ChannelMeanValues ChannelMeans(const uint8_t* rows, int width, int height, uint64_t stride);
// Over 8-bit rows.
int MeanAdjustedLevel(const uint8_t* rows, int width, int height, uint64_t stride, int contrast,
                      int brightness);

// Luminance weights of the adjusted channels, in thousandths.
inline int Luma(int red, int green, int blue) {
    return (red * 299 + green * 587 + blue * 114) / 1000;
}

using DitherMatrix8 = std::array<std::array<uint8_t, 8>, 8>;
using DitherMatrix16 = std::array<std::array<uint8_t, 16>, 16>;
const DitherMatrix8& Bayer8();
const DitherMatrix16& Bayer16();

}  // namespace krv
