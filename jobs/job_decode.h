// What the printer does with a job's bytes, command by command: the reading of every command
// the faces send (reset, alignment, line spacing, paper feed, 24-dot bands, stored logos in
// black and white and in grey, barcodes and two-dimensional codes with their settings, the
// top/bottom message and back-side data, test print, cut, cash drawer, text in the code page).
// A byte that starts no such command stops the reading at its offset: nothing is guessed.
//
// Besides the list, the decoder keeps what would appear on paper (bands where the paper stands,
// stored logos one below the other), which RenderJobPicture draws as a grey picture.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "channel/raw_printer_channel.h"
#include "imaging/grey_image.h"

namespace krv {

struct JobCommand {
    uint64_t offset = 0;
    uint64_t length = 0;
    std::string text;  // one line, UTF-8; text sent to the printer is shown from its code page
};

// Something drawn: a band, or a stored logo. `data` holds the encoded bytes of its kind.
struct JobDrawing {
    enum class Kind { Band, MonoLogo, GreyLogo };
    Kind kind = Kind::Band;
    uint64_t x = 0;  // dots from the left, and dot rows from the top of the paper
    uint64_t y = 0;
    uint32_t width = 0;  // dots
    uint32_t height = 0;
    Bytes data;
};

struct DecodedJob {
    std::vector<JobCommand> commands;
    std::vector<JobDrawing> drawings;
    bool understood = true;  // false: reading stopped at `stopOffset` for `stopReason`
    uint64_t stopOffset = 0;
    std::string stopReason;
};

DecodedJob DecodeJob(std::span<const uint8_t> job);

// Draws the job's drawings on white paper as wide as the widest and as long as the lowest
// reaches (a printed dot 0, no dot 255, grey logos in their 16 levels). False when there is
// nothing to draw or the picture would exceed `maxPixels`.
bool RenderJobPicture(const DecodedJob& job, uint64_t maxPixels, GreyImage* out);

}  // namespace krv
