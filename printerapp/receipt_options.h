// The printer application's own job options ("vendor options" to PAPPL): what a receipt job
// does at its four moments, how pictures are halftoned, the printable width and the code page
// of text. Each option has a name, the values it accepts and a default; a printer's defaults
// can also come from a private record saved by the Windows pages. Portable: no PAPPL here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/oem_devmode.h"
#include "imaging/halftone.h"

namespace krv::app {

enum class OptionSyntax { Keyword, Range, Text };

struct ReceiptOption {
    std::string name;
    OptionSyntax syntax = OptionSyntax::Keyword;
    std::vector<std::string> keywords;  // Keyword: every accepted value
    int lower = 0, upper = 0;           // Range
    std::string defaultValue;           // what a printer starts with
};

// Every option, moments first (four groups of six), then the picture and text options.
// At most 32: PAPPL keeps at most that many vendor options per printer.
const std::vector<ReceiptOption>& ReceiptOptions();
const ReceiptOption* FindReceiptOption(std::string_view name);
inline constexpr size_t kMaxReceiptOptions = 32;

// Halftoning of a job's pictures: a method, or by content (photographs: error diffusion;
// text and graphics: the threshold).
enum class HalftoneChoice { ByContent, None, M3, M4, ErrorDiffusion };

struct ReceiptSettings {
    std::array<EventActionSettings, 4> moments{};  // by EventMoment
    HalftoneChoice halftone = HalftoneChoice::ByContent;
    int contrast = 0;
    int brightness = 0;
    int printableWidth = 0;        // dots; 0: the paper's own (see PrintableDots)
    std::string codePage = "GBK";  // iconv name

    const EventActionSettings& At(EventMoment m) const { return moments[static_cast<size_t>(m)]; }
};

// Looks an option up: the job's value, else the printer's default; nothing when neither has
// one (the option's own default then applies).
using OptionLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The settings a job prints with. A value the option does not accept makes the job fail:
// the result is empty and `error` names the option and the value.
std::optional<ReceiptSettings> ReadReceiptSettings(const OptionLookup& lookup, std::string* error);

// The options' defaults as a record saved by the Windows pages sets them: the four event
// blocks of `record`, read as the event-action dialog would show them (under a duplex mode no
// free command bytes, and no cut at the start of the document or page). The picture and text
// options keep their own defaults (the record has none).
std::vector<std::pair<std::string, std::string>> OptionValuesFromRecord(const OemDevmode& record);

// A private record from a file or an upload: the bytes must start with the record's header
// (signature "VKRT") and hold at most one record. A shorter (older) record keeps the defaults
// in its missing tail, as the Windows driver merges it. Empty, with `error` set, otherwise.
std::optional<OemDevmode> RecordFromBytes(const uint8_t* data, size_t size, std::string* error);
// The same from a file, which must be a regular file (a folder, a pipe or a device is refused).
std::optional<OemDevmode> ReadRecordFile(const std::string& path, std::string* error);

// The value of each moment option for one event block (the inverse of reading it back).
std::vector<std::pair<std::string, std::string>> MomentOptionValues(
    EventMoment moment, const EventActionSettings& settings);

// Dots the printer prints across paper `paperWidthDots` wide: `setting` when given (at most
// the paper), else 512 on 80 mm paper, 360 on 58 mm paper, the whole width on any other.
int PrintableDots(int paperWidthDots, int setting);

// The halftone method for a page: `choice`, or by content for ByContent.
HalftoneMethod MethodFor(HalftoneChoice choice, bool photograph);

}  // namespace krv::app
