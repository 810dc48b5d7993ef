// The logo page's three printer jobs: "LOGO" (download every row into the printer's stored
// logos), "SELFTEST" (clear the stored logos) and "Pre-image" (back-side characters and one
// black-and-white logo). Each builder checks its inputs, reads the rows' files and returns the
// job's pieces in the order they are written, one write per piece.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channel/raw_printer_channel.h"

namespace krv {

inline constexpr char kLogoDocumentName[] = "LOGO";
inline constexpr char kClearLogosDocumentName[] = "SELFTEST";
inline constexpr char kBackSideDocumentName[] = "Pre-image";

enum class LogoMode : uint8_t { Original = 0, BlackWhite = 1, Grey = 2 };
enum class BackSidePosition : uint8_t { Left = 0, Centre = 1, Right = 2 };

inline constexpr size_t kMaxLogoRows = 9;
// The rows' files together must stay below this many bytes.
inline constexpr int64_t kLogoTotalSizeLimit = 524288;
// Back-side text bytes, the zero byte after each character included.
inline constexpr size_t kBackSideTextLimit = 2048;

// Messages (caption "错误").
inline constexpr char kMsgSelectBitmap[] = "请选择位图！";
inline constexpr char kMsgBitmapSizeFailed[] = "获取位图大小失败！";
inline constexpr char kMsgBitmapsTooLarge[] = "位图总计大小超过 512k！";
inline constexpr char kMsgBackSideTextTooLong[] = "字符个数不的超过2048个！";
inline constexpr char kMsgBackSideNeedsBlackWhite[] = "此下载功能只支持字符和位图！";
inline constexpr char kMsgBackSideNothingToSend[] = "请选择logo位图或输入要下载的字符！";
inline constexpr char kMsgBackSideSizeFailed[] = "获取logo位图大小错误！";
inline constexpr char kMsgBackSideTooLarge[] = "位图大小不得超过512k!";

struct LogoJobOutcome {
    enum class Kind {
        Job,        // send `job`
        Refused,    // show `message`; no job
        Abandoned,  // no job and no message (a file that cannot be used, silently)
    };
    Kind kind = Kind::Abandoned;
    std::string message;  // UTF-8
    PrinterJob job;
    // The job stops at a row that could not be read or encoded: `job` holds the pieces written
    // before it, and the page ends the page and the job after them, as the spooler then has it.
    bool endedEarly = false;
};

// One row of the list as the jobs read it: the bitmap the user chose and the work bitmap kept
// for it.
struct LogoRowFiles {
    std::u16string source;
    std::u16string workFile;
};

// "下载全部": the rows in list order; the mode is BlackWhite or Grey (in Original mode the page
// offers no download: abandoned). Uses the work files present now.
LogoJobOutcome BuildLogoDownloadJob(const std::vector<LogoRowFiles>& rows, LogoMode mode);

// "清除全部Logo": 1C 71 00 00 0A in one piece.
PrinterJob BuildClearLogosJob();

struct BackSideRequest {
    std::u16string text;  // the characters edit
    BackSidePosition position = BackSidePosition::Left;
    LogoMode mode = LogoMode::Original;
    std::vector<LogoRowFiles> rows;  // the list's rows
    int selectedRow = -1;            // -1: none
};
// "下载反面预定义位图和字符". In BlackWhite mode with rows but no selected row there is no
// logo to send: refused with kMsgBackSideNothingToSend, text or not.
LogoJobOutcome BuildBackSideJob(const BackSideRequest& request);

// The total-size check shared by download and back side: each row's work file, else its
// source. Returns the message of the failing step (the caller's pair), or empty.
std::string CheckLogoFilesSize(const std::vector<LogoRowFiles>& rows, const char* sizeFailedMessage,
                               const char* tooLargeMessage);

// The file a row prints from in black-and-white: a 1-bit "BM" source itself, any other source
// through its work file.
std::u16string MonoFileOfRow(const LogoRowFiles& row);

}  // namespace krv
