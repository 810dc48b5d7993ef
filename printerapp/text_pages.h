// Plain text printed in the printer's resident font: UTF-8 in, the printer's code page out.
// A form feed starts a new page; lines end in LF (CR LF and a lone CR become LF); tabs stay;
// every other control character is dropped, so a text document can never carry printer
// commands. Characters the code page lacks, and bytes that are not UTF-8, print as '?'.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "channel/raw_printer_channel.h"

namespace krv::app {

// The largest text document printed; a receipt is a few kilobytes.
inline constexpr size_t kTextDocumentLimit = 16u << 20;

// The pages of `utf8` in the iconv code page `codePage` ("GBK", "CP437", ...), each ending
// in LF when it holds anything. A final form feed opens no empty page; an empty document
// gives no page.
std::vector<Bytes> TextPagesInCodePage(std::string_view utf8, const std::string& codePage);

// Whether the start of a document reads as such text: UTF-8 (a sequence cut by the end of
// `start` counts) with no control characters but tab, line feed, carriage return and form feed.
bool LooksLikeText(std::span<const uint8_t> start);

}  // namespace krv::app
