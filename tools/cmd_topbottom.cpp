// krv857 topbottom: the duplex page's "下载" of the four top/bottom message lines.
#include <array>
#include <string>

#include "channel/ansi_text.h"
#include "jobs/top_bottom_message.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 topbottom [--line0 T] [--line1 T] [--line2 T] [--line3 T] -o DST\n"
    "\n"
    "Writes the \"TopbottomMessage\" job that downloads the top/bottom message lines:\n"
    "line0 and line1 are the first and second line at the bottom of the front side,\n"
    "line2 and line3 those at the top of the back side. Empty lines are not sent; a line\n"
    "takes at most 48 single-byte or 32 double-byte characters. With all four lines empty\n"
    "there is nothing to send: nothing is written and the exit code is 1.\n";

int RunTopBottom(Args& args) {
    std::string outPath;
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o DST is required");
    std::array<std::u16string, kTopBottomLineCount> text;
    for (size_t n = 0; n < kTopBottomLineCount; ++n)
        args.TakeText("--line" + std::to_string(n), &text[n]);
    args.Exactly(0);
    for (size_t n = 0; n < kTopBottomLineCount; ++n)
        RequireEncodable("--line" + std::to_string(n), text[n]);

    const TopBottomMessageBuild build =
        BuildTopBottomMessageJob({text[0], text[1], text[2], text[3]});
    switch (build.status) {
        case TopBottomMessageBuild::Status::NothingToSend:
            throw Refusal("topbottom", "nothing to send: all four lines are empty");
        case TopBottomMessageBuild::Status::LineTooLong:
            throw Refusal("--line" + std::to_string(build.line),
                          Utf16ToUtf8(kTopBottomLineTooLongMessage) +
                              " (at most 48 single-byte or 32 double-byte characters)");
        case TopBottomMessageBuild::Status::Ready:
            break;
    }
    return WriteJob(build.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(topbottom, "topbottom", "download the four top/bottom message lines", kUsage,
                 RunTopBottom);

}  // namespace krv::tool
