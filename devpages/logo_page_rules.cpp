#include "devpages/logo_page_rules.h"

#include <algorithm>

#include "channel/ansi_text.h"
#include "imaging/bmp_format.h"
#include "files/files.h"
#include "imaging/bmp_file.h"

namespace krv {

namespace {

// The bit count of a "BM" file; nothing when it cannot be read or is not a bitmap.
std::optional<uint16_t> BitmapDepth(std::u16string_view path) {
    const auto h = ReadBmpHeadersFile(path);
    if (!h || h->type != kBmpType) return std::nullopt;
    return h->bitCount;
}

bool IsHalftoneSource(uint16_t depth) {
    return depth == 24 || depth == 8;
}

bool IsGreySource(uint16_t depth) {
    return depth == 24 || depth == 8 || depth == 1;
}

// The settings a row starts with, and takes again when its mode is chosen.
LogoRowSettings StartingSettings(LogoMode mode) {
    return {mode == LogoMode::BlackWhite ? HalftoneMethod::M3 : HalftoneMethod::None, 0, 0};
}

int ClampTone(int value) {
    return std::clamp(value, -100, 100);
}

}  // namespace

std::u16string LogoRowNumber(size_t row) {
    const std::string digits = std::to_string(row + 1);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string LogoRowName(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::vector<LogoRowFiles> LogoPageState::Rows() const {
    std::vector<LogoRowFiles> files;
    files.reserve(rows_.size());
    for (const auto& row : rows_)
        files.push_back(row.files);
    return files;
}

ConvertResult LogoPageState::Convert(const Row& row, const LogoRowSettings& settings) const {
    return ConvertLogoRow(row.files.source, row.files.workFile, mode_, settings);
}

LogoAddCheck LogoPageState::Add(std::u16string path) {
    if (auto full = CheckRoomForLogo(rows_.size())) return {false, *full};
    LogoAddCheck check = CheckLogoSource(path, mode_);
    if (!check.accepted) return check;
    // A failed conversion shows nothing: the row keeps whatever work file exists and the
    // download decides.
    const LogoRowSettings start = StartingSettings(mode_);
    Row row{path, {path, workFolder_.NewWorkFile()}};
    Convert(row, start);
    rows_.push_back(std::move(row));
    settings_[rows_.size() - 1] = start;
    return check;
}

bool LogoPageState::Delete(size_t row) {
    if (row >= rows_.size()) return false;
    DeleteFileAt(rows_[row].files.workFile);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    std::move(settings_.begin() + static_cast<std::ptrdiff_t>(row) + 1, settings_.end(),
              settings_.begin() + static_cast<std::ptrdiff_t>(row));
    settings_.back() = {};
    settings_[rows_.size()] = {};
    return true;
}

// Every row's work file for `mode` with the starting settings, in list order. A row whose file
// cannot be used stops the work there: the rows after it keep their files and settings.
bool LogoPageState::ConvertEveryRow(LogoMode mode, const LogoRowSettings& start) {
    for (size_t i = 0; i < rows_.size(); ++i) {
        const auto depth = BitmapDepth(rows_[i].files.source);
        if (!depth) return false;
        if (mode == LogoMode::Grey) {
            if (!IsGreySource(*depth)) return false;
            Convert(rows_[i], start);
        } else if (IsHalftoneSource(*depth)) {
            Convert(rows_[i], start);
        }
        settings_[i] = start;
    }
    return true;
}

LogoModeChange LogoPageState::ChooseMode(LogoMode mode, int selectedRow, bool hasText) {
    LogoModeChange change;
    mode_ = mode;
    const bool hasRows = !rows_.empty();
    switch (mode) {
        case LogoMode::Original:
            blackWhiteAvailable_ = false;
            change.downloadAllEnabled = false;
            change.backSideEnabled = hasText;
            if (IsRow(selectedRow))
                std::fill(settings_.begin(), settings_.begin() + rows_.size(), LogoRowSettings{});
            break;
        case LogoMode::BlackWhite:
            // Old work files may be grey ones; none may be left for the download to pick up.
            DeleteWorkFiles();
            if (!hasRows) break;
            change.downloadAllEnabled = true;
            change.backSideEnabled = true;
            blackWhiteAvailable_ = true;
            if (IsRow(selectedRow))
                change.redrawPreview = ConvertEveryRow(mode, StartingSettings(mode));
            break;
        case LogoMode::Grey:
            blackWhiteAvailable_ = false;
            if (!hasRows) break;
            change.downloadAllEnabled = true;
            change.backSideEnabled = hasText;
            if (IsRow(selectedRow))
                change.redrawPreview = ConvertEveryRow(mode, StartingSettings(mode));
            break;
    }
    return change;
}

bool LogoPageState::SetMethod(int selectedRow, HalftoneMethod method) {
    if (!IsRow(selectedRow)) return false;
    settings_[selectedRow].method = method;
    return true;
}

bool LogoPageState::SetContrast(int selectedRow, int contrast) {
    if (!IsRow(selectedRow)) return false;
    settings_[selectedRow].contrast = ClampTone(contrast);
    return true;
}

bool LogoPageState::SetBrightness(int selectedRow, int brightness) {
    if (!IsRow(selectedRow)) return false;
    settings_[selectedRow].brightness = ClampTone(brightness);
    return true;
}

LogoPreview LogoPageState::Preview(int selectedRow) const {
    if (!IsRow(selectedRow)) return {};
    const Row& row = rows_[selectedRow];
    const std::u16string& source = row.files.source;
    if (mode_ == LogoMode::Original) return {source, {false, false}};
    const auto depth = BitmapDepth(source);
    if (!depth) return {};
    const LogoRowSettings& settings = settings_[selectedRow];
    if (mode_ == LogoMode::BlackWhite) {
        if (!IsHalftoneSource(*depth)) return {source, {false, false}};
        Convert(row, settings);
        return {row.files.workFile, {true, true}};
    }
    const LogoToneControls grey{false, true};
    if (!IsGreySource(*depth)) return {{}, grey};
    Convert(row, settings);
    return {row.files.workFile, grey};
}

void LogoPageState::DeleteWorkFiles() const {
    for (const auto& row : rows_)
        DeleteFileAt(row.files.workFile);
}

BackSideRequest LogoPageState::BackSide(std::u16string text, int selectedRow) const {
    BackSideRequest request;
    request.text = std::move(text);
    request.position = position_;
    request.mode = mode_;
    request.rows = Rows();
    request.selectedRow = IsRow(selectedRow) ? selectedRow : -1;
    return request;
}

}  // namespace krv
