// The logo groups of the download page without the window: the rows of LogoList with their
// LogoSettings, LogoMode and BlackWhiteAvailable, the back-side position, and what adding,
// deleting, choosing a mode and previewing do to the rows' work files and to the controls.
// The Win32 page only mirrors this state into its controls.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/logo_jobs.h"
#include "devpages/logo_rows.h"

namespace krv {

// The list's columns, in order, with their widths.
struct LogoListColumn {
    std::u16string_view title;
    int width;
};
inline constexpr std::array<LogoListColumn, 3> kLogoListColumns = {
    LogoListColumn{u"序号", 70}, LogoListColumn{u"名称", 150}, LogoListColumn{u"路径", 300}};

// Column "序号" of a row: its 1-based position.
std::u16string LogoRowNumber(size_t row);
// Column "名称": the path without its folder.
std::u16string LogoRowName(std::u16string_view path);

// Which tone controls a preview leaves enabled; nullopt leaves them as they are.
struct LogoToneControls {
    std::optional<bool> halftone;   // the four halftone buttons
    std::optional<bool> trackbars;  // contrast and brightness
};

// What the preview box shows for the selected row.
struct LogoPreview {
    std::u16string picture;  // the file to draw; empty: the box is cleared
    LogoToneControls controls;
};

// What choosing a mode asks of the buttons; nullopt leaves a button as it is.
struct LogoModeChange {
    std::optional<bool> downloadAllEnabled;
    std::optional<bool> backSideEnabled;
    // False when a row's file could not be used: the rows after it were left alone and the
    // preview is not redrawn.
    bool redrawPreview = true;
};

class LogoPageState {
  public:
    size_t RowCount() const { return rows_.size(); }
    const std::u16string& RowPath(size_t row) const { return rows_.at(row).path; }
    // The work bitmap of a row, whether it exists now or not.
    const std::u16string& RowWorkFile(size_t row) const { return rows_.at(row).files.workFile; }
    // The rows' files as the job builders take them.
    std::vector<LogoRowFiles> Rows() const;
    // Entry i belongs to row i; entries past the last row are (None, 0, 0).
    const LogoRowSettings& Settings(size_t row) const { return settings_.at(row); }
    LogoMode Mode() const { return mode_; }
    bool BlackWhiteAvailable() const { return blackWhiteAvailable_; }
    BackSidePosition Position() const { return position_; }
    void SetPosition(BackSidePosition position) { position_ = position; }

    // "添加" once the user chose `path`: the file's checks, then its work file for the mode (a
    // new file in the page's work folder), then the new last row with the mode's starting
    // settings (M3 in BlackWhite, else None).
    // Refused with the check's message, or silently with an empty one. A full list refuses
    // with kMsgTooManyLogos (the page asks CheckRoomForLogo before the file dialog).
    LogoAddCheck Add(std::u16string path);
    // "删除": deletes the row's work file, removes the row and moves the later settings down.
    // False (nothing done) for a row that does not exist.
    bool Delete(size_t row);

    // The mode buttons. `selectedRow` is -1 when no row is selected; `hasText` tells whether
    // the back-side characters edit holds text.
    LogoModeChange ChooseMode(LogoMode mode, int selectedRow, bool hasText);
    // The halftone buttons and the trackbars change the selected row's settings only.
    bool SetMethod(int selectedRow, HalftoneMethod method);
    bool SetContrast(int selectedRow, int contrast);
    bool SetBrightness(int selectedRow, int brightness);

    // The preview of the selected row, rewriting its work file in BlackWhite and Grey modes.
    LogoPreview Preview(int selectedRow) const;
    // Apply and cancel: every row's work file goes; the rows stay.
    void DeleteWorkFiles() const;

    // The characters edit changed: the back-side button is enabled with text or when
    // BlackWhite was chosen with rows.
    bool BackSideEnabled(bool hasText) const { return hasText || blackWhiteAvailable_; }
    BackSideRequest BackSide(std::u16string text, int selectedRow) const;

  private:
    struct Row {
        std::u16string path;  // as the list shows it
        LogoRowFiles files;
    };

    bool IsRow(int row) const { return row >= 0 && static_cast<size_t>(row) < rows_.size(); }
    bool ConvertEveryRow(LogoMode mode, const LogoRowSettings& start);
    ConvertResult Convert(const Row& row, const LogoRowSettings& settings) const;

    LogoWorkFolder workFolder_;
    std::vector<Row> rows_;
    std::array<LogoRowSettings, kMaxLogoRows> settings_{};
    LogoMode mode_ = LogoMode::Original;
    bool blackWhiteAvailable_ = false;
    BackSidePosition position_ = BackSidePosition::Left;
};

}  // namespace krv
