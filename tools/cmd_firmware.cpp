// krv857 firmware: the download page's file download, the file sent unchanged.
#include "channel/ansi_text.h"
#include "jobs/file_download.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 firmware SRC -o FILE\n"
    "\n"
    "writes the \"FIRMWARE\" job that sends the file SRC (firmware, data, font or EEPROM\n"
    "image) to the printer byte for byte, with no header and no conversion\n";

int RunFirmware(Args& args) {
    std::string outPath;
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o FILE is required");
    const auto source = args.Exactly(1);
    const FirmwareJob built = BuildFirmwareJob(Utf8ToUtf16(source[0]));
    if (built.error != FileDownloadError::None)
        throw Refusal(Utf16ToUtf8(FileDownloadMessage(built.error)));
    return WriteJob(built.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(firmware, "firmware", kUsage, RunFirmware);

}  // namespace krv::tool
