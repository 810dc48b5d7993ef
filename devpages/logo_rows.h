// The logo page's rules for its rows that do not need a window: the checks a chosen file
// passes before it becomes a row, and the work file a row gets in each mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "jobs/logo_jobs.h"
#include "imaging/logo_convert.h"

namespace krv {

inline constexpr char kMsgTooManyLogos[] = "位图总数为9,\n选择其它位图前请删除部分已选位图！";
inline constexpr char kMsgTooManyLogosCaption[] = "ok";
inline constexpr char kMsgCannotOpenLogo[] = "打开选择的文件失败！";
inline constexpr char kMsgCannotReadLogo[] = "从文件读取数据失败！";
inline constexpr char kMsgLogoTooLarge[] =
    "选择的图像太大！\n宽度必须小于1024 Byte，高度必须小于768 Byte!";

// The method names of the command line: "none", "m3", "m4", "diffusion".
std::optional<HalftoneMethod> HalftoneMethodFromName(const std::string& name);

// "添加" with `rowsNow` rows: the message when the list is full.
std::optional<std::string> CheckRoomForLogo(size_t rowsNow);

struct LogoAddCheck {
    bool accepted = false;
    std::string message;  // refused with a message; empty: refused silently (or accepted)
};
// The checks of a chosen file: it opens, holds the 62 header bytes, is at most 1024 x 768
// (rows in either order), and is a bitmap the mode can convert (BlackWhite: any "BM"; Grey:
// "BM" of 24, 8 or 1 bits).
LogoAddCheck CheckLogoSource(std::u16string_view path, LogoMode mode);

struct LogoRowSettings {
    HalftoneMethod method = HalftoneMethod::None;
    int contrast = 0;
    int brightness = 0;
};

// The work file of a row in a mode, as the preview writes it, at `workFile`. BlackWhite: a
// 24- or 8-bit source is halftoned; a 1-bit "BM" source is used as it is (kConvertAlreadyMono,
// nothing written). Grey: the grey converter of the source's depth. Original: the plain
// threshold.
ConvertResult ConvertLogoRow(std::u16string_view source, std::u16string_view workFile,
                             LogoMode mode, const LogoRowSettings& settings);

// The logo page's own folder for its rows' work bitmaps: made inside the user's temporary
// folder when the first row needs it, under a name no other folder had, and removed with the
// work files in it when the page goes. Each row gets a file of its own, so nothing beside a
// user's bitmap is ever written or deleted, and two rows of one bitmap never share a file.
class LogoWorkFolder {
  public:
    LogoWorkFolder() = default;
    LogoWorkFolder(const LogoWorkFolder&) = delete;
    LogoWorkFolder& operator=(const LogoWorkFolder&) = delete;
    ~LogoWorkFolder();

    // The path of a new row's work file (which does not exist yet); empty when the folder
    // cannot be made.
    std::u16string NewWorkFile();
    // The folder, once made (ending with a separator); empty before.
    const std::u16string& Path() const { return folder_; }

  private:
    std::u16string folder_;
    unsigned issued_ = 0;
};

// Choosing "黑白位图" first deletes the row's old work file; then the row is converted.
ConvertResult PrepareLogoRow(std::u16string_view source, std::u16string_view workFile,
                             LogoMode mode, const LogoRowSettings& settings);

}  // namespace krv
