#include "printerapp/logo_store.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "imaging/bmp_format.h"
#include "jobs/job_decode.h"
#include "pictures/picture_decode.h"

namespace krv::app {

namespace {

namespace fs = std::filesystem;

constexpr char kIndexName[] = "logos.txt";
constexpr char kIndexHeader[] = "krv857-logos 1";
constexpr size_t kMaxNameBytes = 255;
// The largest drawing a row's preview makes: a 1024 x 768 logo with its padding.
constexpr uint64_t kMaxPreviewPixels = 2u << 20;

// Names go into a line of the list: line breaks and other control characters become '_'.
std::string CleanName(std::string_view name) {
    std::string out(name.substr(0, kMaxNameBytes));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    return out;
}

bool InTone(int v) {
    return v >= -100 && v <= 100;
}

// One "logo ID METHOD CONTRAST BRIGHTNESS NAME" line; empty for anything else.
std::optional<StoredLogo> ParseRow(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    StoredLogo row;
    int method = -1;
    if (!(in >> word >> row.id >> method >> row.settings.contrast >> row.settings.brightness) ||
        word != "logo" || row.id == 0 || method < 0 || method > 3 ||
        !InTone(row.settings.contrast) || !InTone(row.settings.brightness))
        return std::nullopt;
    row.settings.method = static_cast<HalftoneMethod>(method);
    in.get();  // the blank before the name
    std::getline(in, row.name);
    return row;
}

// The size of the file a row's job reads in a size check: its work bitmap, else its picture.
int64_t RowBytes(const LogoRowFiles& files) {
    const int64_t work = FileSizeAt(files.workFile);
    return work >= 0 ? work : FileSizeAt(files.source);
}

bool WriteFileAt(const std::string& path, const void* data, size_t size) {
    return WriteWholeFile(PathToUtf16(path), data, size);
}

void DeleteAt(const std::string& path) {
    DeleteFileAt(PathToUtf16(path));
}

}  // namespace

LogoStore::LogoStore(std::string folder) : folder_(std::move(folder)) {}

std::string LogoStore::PicturePath(uint32_t id) const {
    return folder_ + "/logo-" + std::to_string(id) + ".bmp";
}

std::string LogoStore::WorkPath(uint32_t id) const {
    return folder_ + "/work-" + std::to_string(id) + ".bmp";
}

void LogoStore::Load() {
    rows_.clear();
    mode_ = LogoMode::BlackWhite;
    nextId_ = 1;
    std::ifstream in(folder_ + "/" + kIndexName);
    std::string line;
    if (!std::getline(in, line) || line != kIndexHeader) return;
    while (std::getline(in, line)) {
        if (line == "mode grey") mode_ = LogoMode::Grey;
        if (line.rfind("next ", 0) == 0)
            nextId_ = std::max<uint32_t>(nextId_, std::strtoul(line.c_str() + 5, nullptr, 10));
        const auto row = ParseRow(line);
        if (!row || rows_.size() >= kMaxLogoRows || !fs::is_regular_file(PicturePath(row->id)) ||
            std::any_of(rows_.begin(), rows_.end(), [&](auto& r) { return r.id == row->id; }))
            continue;
        nextId_ = std::max(nextId_, row->id + 1);
        rows_.push_back(*row);
    }
}

bool LogoStore::Save() const {
    std::ostringstream out;
    out << kIndexHeader << "\nmode " << (mode_ == LogoMode::Grey ? "grey" : "mono") << "\nnext "
        << nextId_ << "\n";
    for (const StoredLogo& r : rows_)
        out << "logo " << r.id << ' ' << static_cast<int>(r.settings.method) << ' '
            << r.settings.contrast << ' ' << r.settings.brightness << ' ' << r.name << "\n";
    const std::string text = out.str();
    const std::string path = folder_ + "/" + kIndexName;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    // Written whole or not at all: the list a restart reads is never half of one.
    return WriteFileAt(path, text.data(), text.size());
}

LogoAddResult LogoStore::Add(std::string_view name, std::span<const uint8_t> bytes) {
    if (auto full = CheckRoomForLogo(rows_.size())) return {false, *full, {}};
    Bytes bmp;
    switch (SniffPictureFormat(bytes)) {
        case PictureFormat::Bmp:
            bmp.assign(bytes.begin(), bytes.end());
            break;
        case PictureFormat::Png:
        case PictureFormat::Jpeg: {
            const PictureLimits logoLimits{kMaxLogoWidth, kMaxLogoHeight,
                                           uint64_t{kMaxLogoWidth} * kMaxLogoHeight};
            const PictureResult r = DecodePictureToBmp24(bytes, logoLimits, &bmp);
            if (r.error == PictureError::TooLarge) return {false, kMsgLogoTooLarge, {}};
            if (!r.ok()) return {false, "The picture cannot be read: %s.", PictureErrorMessage(r)};
            break;
        }
        case PictureFormat::Unknown:
            if (bytes.size() < kMonoHeadersSize) return {false, kMsgCannotReadLogo, {}};
            return {false, "Only BMP, PNG and JPEG pictures can be logos.", {}};
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    StoredLogo row{nextId_, CleanName(name), {}};
    row.settings.method = mode_ == LogoMode::BlackWhite ? HalftoneMethod::M3 : HalftoneMethod::None;
    const std::string path = PicturePath(row.id);
    if (!WriteFileAt(path, bmp.data(), bmp.size()))
        return {false, "The logo cannot be kept: the printer's folder cannot be written.", {}};
    const LogoAddResult refused = [&]() -> LogoAddResult {
        const LogoAddCheck check = CheckLogoSource(PathToUtf16(path), LogoMode::Grey);
        if (!check.accepted && !check.message.empty()) return {false, check.message, {}};
        BitmapView view;
        if (!check.accepted || ReadBitmap(bmp, &view) != BitmapStatus::Ok)
            return {false, "Only bitmaps of 1, 8 or 24 bits without compression can be logos.", {}};
        if (!view.HoldsEveryRow()) return {false, "The bitmap ends before its last row.", {}};
        const ConvertResult r =
            PrepareLogoRow(PathToUtf16(path), PathToUtf16(WorkPath(row.id)), mode_, row.settings);
        if (!r.Written() && r.code != kConvertAlreadyMono)
            return {false, "The picture cannot be converted.", {}};
        return {true, {}, {}};
    }();
    rows_.push_back(row);
    ++nextId_;
    if (refused.accepted && Save()) return refused;
    rows_.pop_back();
    DeleteAt(path);
    DeleteAt(WorkPath(row.id));
    if (!refused.accepted) return refused;
    return {false, "The logo cannot be kept: the printer's folder cannot be written.", {}};
}

bool LogoStore::Delete(size_t row) {
    if (row >= rows_.size()) return false;
    const StoredLogo gone = rows_[row];
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    if (!Save()) {
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(row), gone);
        return false;
    }
    DeleteAt(PicturePath(gone.id));
    DeleteAt(WorkPath(gone.id));
    return true;
}

bool LogoStore::SetMode(LogoMode mode) {
    if (mode == LogoMode::Original) return false;
    const LogoMode before = mode_;
    mode_ = mode;
    if (Save()) return true;
    mode_ = before;
    return false;
}

bool LogoStore::SetSettings(size_t row, const LogoRowSettings& settings) {
    if (row >= rows_.size() || !InTone(settings.contrast) || !InTone(settings.brightness))
        return false;
    const LogoRowSettings before = rows_[row].settings;
    rows_[row].settings = settings;
    if (Save()) return true;
    rows_[row].settings = before;
    return false;
}

std::optional<LogoRowFiles> LogoStore::Prepare(size_t row, LogoMode mode) const {
    const StoredLogo& r = rows_.at(row);
    LogoRowFiles files{PathToUtf16(PicturePath(r.id)), PathToUtf16(WorkPath(r.id))};
    const ConvertResult c = PrepareLogoRow(files.source, files.workFile, mode, r.settings);
    if (!c.Written() && c.code != kConvertAlreadyMono) return std::nullopt;
    return files;
}

LogoJobOutcome LogoStore::DownloadJob() const {
    std::vector<LogoRowFiles> rows;
    for (size_t i = 0; i < rows_.size(); ++i) {
        auto files = Prepare(i, mode_);
        if (!files) return {LogoJobOutcome::Kind::Abandoned, {}, {}, false};
        rows.push_back(*files);
    }
    return BuildLogoDownloadJob(rows, mode_);
}

LogoJobOutcome LogoStore::BackSideJob(std::u16string text, BackSidePosition position,
                                      int row) const {
    BackSideRequest request;
    request.text = std::move(text);
    request.position = position;
    request.mode = LogoMode::BlackWhite;
    if (row >= 0 && static_cast<size_t>(row) < rows_.size()) {
        auto files = Prepare(static_cast<size_t>(row), LogoMode::BlackWhite);
        if (!files) return {LogoJobOutcome::Kind::Abandoned, {}, {}, false};
        request.rows.push_back(*files);
        request.selectedRow = 0;
    }
    return BuildBackSideJob(request);
}

std::optional<GreyImage> LogoStore::Printed(size_t row, std::string* reason) const {
    const auto files = Prepare(row, mode_);
    const LogoJobOutcome job = files ? BuildLogoDownloadJob({*files}, mode_) : LogoJobOutcome{};
    if (job.kind == LogoJobOutcome::Kind::Refused) {
        *reason = job.message;
        return std::nullopt;
    }
    GreyImage picture;
    if (job.kind != LogoJobOutcome::Kind::Job || job.endedEarly ||
        !RenderJobPicture(DecodeJob(job.job.Joined()), kMaxPreviewPixels, &picture)) {
        *reason = "This picture cannot be printed as a stored logo.";
        return std::nullopt;
    }
    return picture;
}

int64_t LogoStore::DownloadBytes() const {
    int64_t total = 0;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (const auto files = Prepare(i, mode_)) total += std::max<int64_t>(0, RowBytes(*files));
    return total;
}

}  // namespace krv::app
