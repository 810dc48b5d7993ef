// krv857 firmware: the download page's file download, the file sent unchanged.
#include <algorithm>
#include <cstring>

#include "channel/ansi_text.h"
#include "jobs/file_download.h"
#include "tools/tool.h"

namespace krv::tool {

namespace {

constexpr char kUsage[] =
    "usage: krv857 firmware SRC -o DST\n"
    "\n"
    "writes the \"FIRMWARE\" job that sends the file SRC (firmware, data, font or EEPROM\n"
    "image) to the printer byte for byte, with no header and no conversion\n";

// The file already read, as the download's builder reads its source.
class BytesSource : public DownloadSourceFile {
  public:
    explicit BytesSource(const Bytes& bytes) : bytes_(bytes) {}
    bool Open(std::u16string_view) override { return true; }
    bool Size(uint64_t* size) override {
        *size = bytes_.size();
        return true;
    }
    bool SeekToStart() override {
        at_ = 0;
        return true;
    }
    bool Read(uint8_t* into, size_t length, size_t* got) override {
        *got = std::min(length, bytes_.size() - at_);
        if (*got) std::memcpy(into, bytes_.data() + at_, *got);
        at_ += *got;
        return true;
    }
    void Close() override {}

  private:
    const Bytes& bytes_;
    size_t at_ = 0;
};

int RunFirmware(Args& args) {
    std::string outPath;
    if (!args.TakeOption("-o", &outPath)) throw UsageError("-o DST is required");
    const auto source = args.Exactly(1);
    // Read here (a regular file only, never blocking on a pipe), then built as the page does.
    const std::string open = Utf16ToUtf8(FileDownloadMessage(FileDownloadError::Open));
    const Bytes bytes = ReadInputFile(source[0], UINT64_MAX, open.c_str());
    BytesSource file(bytes);
    const FirmwareJob built = BuildFirmwareJob(file, u"");
    if (built.error != FileDownloadError::None)
        throw Refusal(source[0], Utf16ToUtf8(FileDownloadMessage(built.error)) +
                                     " (not enough memory for the file)");
    return WriteJob(built.job, outPath);
}

}  // namespace

KRV_TOOL_COMMAND(firmware, "firmware", "send a firmware, data, font or EEPROM file unchanged",
                 kUsage, RunFirmware);

}  // namespace krv::tool
