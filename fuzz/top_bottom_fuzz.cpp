// The top/bottom message builder on any four lines: a refusal names a line that is really too
// long and sends nothing; a built job has three pieces per non-empty line, each line's text no
// longer than the page's buffer lets through.
#include "jobs/top_bottom_message.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    std::array<std::u16string, kTopBottomLineCount> text;
    for (auto& line : text)
        line = fuzz::Utf16Of(in.Chunk());
    TopBottomLines lines;
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i] = text[i];

    const TopBottomMessageBuild build = BuildTopBottomMessageJob(lines);
    size_t nonEmpty = 0;
    for (const auto& line : lines)
        nonEmpty += !TopBottomLineText(line).empty();
    switch (build.status) {
        case TopBottomMessageBuild::Status::NothingToSend:
            KRV_FUZZ_CHECK(nonEmpty == 0);
            KRV_FUZZ_CHECK(build.job.pieces.empty());
            break;
        case TopBottomMessageBuild::Status::LineTooLong:
            KRV_FUZZ_CHECK(build.line >= 0 && build.line < 4);
            KRV_FUZZ_CHECK(build.job.pieces.empty());
            break;
        case TopBottomMessageBuild::Status::Ready:
            KRV_FUZZ_CHECK(build.job.documentName == kTopBottomMessageDocument);
            KRV_FUZZ_CHECK(build.job.pieces.size() == 3 * nonEmpty);
            for (size_t p = 0; p < build.job.pieces.size(); p += 3) {
                const Bytes& head = build.job.pieces[p];
                KRV_FUZZ_CHECK(head.size() == 4 && head[0] == 0x1F && head[1] == 0x65);
                KRV_FUZZ_CHECK(head[2] < 4);
                // The line's bytes (at most 96) and a zero per character of the 199 read.
                KRV_FUZZ_CHECK(build.job.pieces[p + 1].size() <=
                               kTopBottomLineMaxBytes + 1 + kTopBottomLineMaxCharacters);
                KRV_FUZZ_CHECK(build.job.pieces[p + 2] == Bytes{0x00});
            }
            break;
    }
    return 0;
}
