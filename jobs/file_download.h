// The download page's file group: a file the user chose goes to the printer byte for byte as
// one RAW job named "FIRMWARE" (firmware, data, font or EEPROM images that the printer itself
// interprets). The file is read once into one buffer, and that buffer is the job's only piece,
// so a large file is held in memory once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "channel/raw_printer_channel.h"

namespace krv {

inline constexpr char kFirmwareDocumentName[] = "FIRMWARE";

// The steps that can refuse a download, in the order they are taken.
enum class FileDownloadError { None, Open, Size, Allocate, Seek, Read };

// The message shown (caption "错误", OK button) for a refused step; empty for None.
std::u16string_view FileDownloadMessage(FileDownloadError error);
inline constexpr std::u16string_view kFileDownloadCaption = u"错误";

// The source file behind a seam, so that every refusal can be tested. The system's file is
// opened by its path for reading, shared with nobody (a file another program holds open for
// writing cannot be sent half-written), existing regular files only.
class DownloadSourceFile {
  public:
    virtual ~DownloadSourceFile() = default;
    virtual bool Open(std::u16string_view path) = 0;
    virtual bool Size(uint64_t* size) = 0;
    virtual bool SeekToStart() = 0;
    // Reads up to `length` bytes; `got` is how many arrived. False on a read error.
    virtual bool Read(uint8_t* into, size_t length, size_t* got) = 0;
    virtual void Close() = 0;
};
std::unique_ptr<DownloadSourceFile> MakeSystemDownloadFile();

struct FirmwareJob {
    FileDownloadError error = FileDownloadError::None;
    PrinterJob job;  // one piece holding the whole file (none for an empty file)
};

// Reads the whole file named `path` into the job. The file is closed on every path.
FirmwareJob BuildFirmwareJob(DownloadSourceFile& file, std::u16string_view path);
FirmwareJob BuildFirmwareJob(std::u16string_view path);

struct FileDownloadResult {
    FileDownloadError error = FileDownloadError::None;  // a refusal to report
    bool sent = false;  // the job ended and the printer accepted every byte
};

// The "下载" button: builds the job and sends it, requiring every byte to be written.
// Spooler failures are only returned, never reported.
FileDownloadResult SendFileDownload(SpoolerSeam& spooler, DownloadSourceFile& file,
                                    std::u16string_view path);

}  // namespace krv
