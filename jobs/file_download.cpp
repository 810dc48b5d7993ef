#include "jobs/file_download.h"

#include <limits>
#include <new>
#include <stdexcept>

#include "files/files.h"

namespace krv {

namespace {

// Closes the source when the job builder leaves, on every path.
struct CloseOnExit {
    DownloadSourceFile& file;
    ~CloseOnExit() { file.Close(); }
};

// A buffer of the file's whole size; false when the size cannot be held in memory.
bool Allocate(uint64_t size, Bytes* buffer) {
    if (size > buffer->max_size() || size > std::numeric_limits<size_t>::max()) return false;
    try {
        buffer->resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

class SystemDownloadFile : public DownloadSourceFile {
  public:
    bool Open(std::u16string_view path) override {
        file_ = File::OpenForReading(path, File::Sharing::None);
        return file_.IsOpen();
    }
    bool Size(uint64_t* size) override {
        const auto bytes = file_.Size();
        if (bytes) *size = *bytes;
        return bytes.has_value();
    }
    bool SeekToStart() override { return file_.SeekTo(0); }
    bool Read(uint8_t* into, size_t length, size_t* got) override {
        *got = file_.Read(into, length);
        return !file_.Failed();
    }
    void Close() override { file_.Close(); }

  private:
    File file_;
};

}  // namespace

std::unique_ptr<DownloadSourceFile> MakeSystemDownloadFile() {
    return std::make_unique<SystemDownloadFile>();
}

std::u16string_view FileDownloadMessage(FileDownloadError error) {
    switch (error) {
        case FileDownloadError::None:
            return {};
        case FileDownloadError::Open:
            return u"打开文件失败！";
        case FileDownloadError::Size:
            return u"获取文件大小失败！";
        case FileDownloadError::Allocate:
            return u"内存分配失败！";
        case FileDownloadError::Seek:
            return u"指定到文件头失败！";
        case FileDownloadError::Read:
            return u"从文件读取数据失败！";
    }
    return {};
}

FirmwareJob BuildFirmwareJob(DownloadSourceFile& file, std::u16string_view path) {
    FirmwareJob out;
    out.job.documentName = kFirmwareDocumentName;
    if (!file.Open(path)) {
        out.error = FileDownloadError::Open;
        return out;
    }
    CloseOnExit closer{file};
    uint64_t size = 0;
    if (!file.Size(&size)) {
        out.error = FileDownloadError::Size;
        return out;
    }
    Bytes buffer;
    if (!Allocate(size, &buffer)) {
        out.error = FileDownloadError::Allocate;
        return out;
    }
    if (!file.SeekToStart()) {
        out.error = FileDownloadError::Seek;
        return out;
    }
    size_t got = 0;
    if (!file.Read(buffer.data(), buffer.size(), &got) || got != buffer.size()) {
        out.error = FileDownloadError::Read;
        return out;
    }
    // An empty file makes a job that carries no data.
    if (!buffer.empty()) out.job.Add(std::move(buffer));
    return out;
}

FirmwareJob BuildFirmwareJob(std::u16string_view path) {
    const auto file = MakeSystemDownloadFile();
    return BuildFirmwareJob(*file, path);
}

FileDownloadResult SendFileDownload(SpoolerSeam& spooler, DownloadSourceFile& file,
                                    std::u16string_view path) {
    FileDownloadResult result;
    const FirmwareJob built = BuildFirmwareJob(file, path);
    result.error = built.error;
    if (built.error != FileDownloadError::None) return result;
    result.sent = SendRawJob(spooler, built.job, SendOptions{.requireAllWritten = true});
    return result;
}

}  // namespace krv
