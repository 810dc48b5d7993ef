#include "jobs/top_bottom_message.h"

#include <algorithm>

#include "channel/ansi_text.h"

namespace krv {

namespace {

// The line as the page's zero-filled 200-unit buffer holds it.
std::u16string_view AsThePageReadsIt(std::u16string_view line) {
    line = line.substr(0, std::min(line.size(), kTopBottomLineMaxCharacters));
    return line.substr(0, std::min(line.size(), line.find(u'\0')));
}

bool TooLong(size_t textBytes) {
    return (textBytes & ~size_t{1}) > kTopBottomLineMaxBytes;
}

}  // namespace

Bytes TopBottomLineText(std::u16string_view line) {
    const std::u16string_view text = AsThePageReadsIt(line);
    // The printer expects one zero byte per character after the text: the converter was
    // historically handed the line's zero-filled tail as well. The same bytes are built here
    // from the text alone.
    const std::string ansi = ToAnsi(text);
    Bytes bytes(ansi.begin(), ansi.end());
    bytes.insert(bytes.end(), text.size(), 0x00);
    return bytes;
}

bool TopBottomDownloadEnabled(const TopBottomLines& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](std::u16string_view line) { return !AsThePageReadsIt(line).empty(); });
}

TopBottomMessageBuild BuildTopBottomMessageJob(const TopBottomLines& lines) {
    TopBottomMessageBuild build;
    std::array<Bytes, kTopBottomLineCount> texts;
    for (size_t n = 0; n < kTopBottomLineCount; ++n) {
        texts[n] = TopBottomLineText(lines[n]);
        if (TooLong(texts[n].size())) {
            build.status = TopBottomMessageBuild::Status::LineTooLong;
            build.line = static_cast<int>(n);
            return build;
        }
    }
    build.job.documentName = kTopBottomMessageDocument;
    for (size_t n = 0; n < kTopBottomLineCount; ++n) {
        if (texts[n].empty()) continue;
        build.job.Add({0x1F, 0x65, static_cast<uint8_t>(n), 0x00});
        build.job.Add(std::move(texts[n]));
        build.job.Add({0x00});
    }
    build.status = build.job.pieces.empty() ? TopBottomMessageBuild::Status::NothingToSend
                                            : TopBottomMessageBuild::Status::Ready;
    return build;
}

}  // namespace krv
