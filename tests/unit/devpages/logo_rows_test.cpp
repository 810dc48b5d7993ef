#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "devpages/logo_rows.h"
#include "imaging/bmp_format.h"
#include "tests/common/test_bitmaps.h"

namespace krv {
namespace {

using test::CheckerFile;
using test::kWhite;
using test::ScratchFolder;

TEST(LogoRows, AddChecksAndTheirMessages) {
    ScratchFolder dir;
    EXPECT_EQ(CheckRoomForLogo(8), std::nullopt);
    EXPECT_EQ(CheckRoomForLogo(9), "位图总数为9,\n选择其它位图前请删除部分已选位图！");
    struct Case {
        const char* name;
        std::u16string path;
        LogoMode mode;
        bool accepted;
        const char* message;
    };
    Bytes notBm = CheckerFile(8, 8);
    notBm[0] = 'X';
    Bytes fourBit = CheckerFile(8, 8);
    fourBit[28] = 4;
    const Case cases[] = {
        {"missing", dir.Path("none.bmp"), LogoMode::Grey, false, "打开选择的文件失败！"},
        {"61 bytes", dir.Write("short.bmp", Bytes(61, 'B')), LogoMode::Grey, false,
         "从文件读取数据失败！"},
        {"1024 x 768", dir.Write("max.bmp", CheckerFile(1024, 768)), LogoMode::Grey, true, ""},
        {"1025 wide", dir.Write("wide.bmp", CheckerFile(1025, 1)), LogoMode::BlackWhite, false,
         "选择的图像太大！\n宽度必须小于1024 Byte，高度必须小于768 Byte!"},
        {"769 high", dir.Write("high.bmp", CheckerFile(1, 769)), LogoMode::Original, false,
         "选择的图像太大！\n宽度必须小于1024 Byte，高度必须小于768 Byte!"},
        {"not BM, black-white", dir.Write("x.bmp", notBm), LogoMode::BlackWhite, false, ""},
        {"not BM, original", dir.Write("x.bmp", notBm), LogoMode::Original, true, ""},
        {"4 bits, grey", dir.Write("f.bmp", fourBit), LogoMode::Grey, false, ""},
        {"4 bits, black-white", dir.Write("f.bmp", fourBit), LogoMode::BlackWhite, true, ""},
    };
    for (const auto& c : cases) {
        const LogoAddCheck check = CheckLogoSource(c.path, c.mode);
        EXPECT_EQ(check.accepted, c.accepted) << c.name;
        EXPECT_EQ(check.message, c.message) << c.name;
    }
}

TEST(LogoRows, BlackWhiteDeletesTheOldWorkFileOfAOneBitSource) {
    ScratchFolder dir;
    const auto src = dir.Write("m.bmp", CheckerFile(8, 8));
    ASSERT_EQ(ConvertLogoRow(src, LogoWorkFile(src), LogoMode::Grey, {}).code, kConvertWritten);
    ASSERT_TRUE(ScratchFolder::Exists(LogoWorkFile(src)));
    const ConvertResult r = PrepareLogoRow(src, LogoWorkFile(src), LogoMode::BlackWhite, {});
    EXPECT_EQ(r.code, kConvertAlreadyMono);
    EXPECT_EQ(r.pathToUse, src);
    // A stale grey work file would otherwise be counted by the size check.
    EXPECT_FALSE(ScratchFolder::Exists(LogoWorkFile(src)));
}

TEST(LogoRows, EachModeWritesItsKindOfWorkFile) {
    ScratchFolder dir;
    const auto src = dir.Write("c.bmp", test::Rgb24File(8, 2, [](int, int) { return kWhite; }));
    const LogoRowSettings settings{HalftoneMethod::ErrorDiffusion, 10, -10};
    ASSERT_EQ(ConvertLogoRow(src, LogoWorkFile(src), LogoMode::Grey, settings).code,
              kConvertWritten);
    EXPECT_EQ(ScratchFolder::Read(LogoWorkFile(src))[28], 8);
    ASSERT_EQ(ConvertLogoRow(src, LogoWorkFile(src), LogoMode::BlackWhite, settings).code,
              kConvertWritten);
    EXPECT_EQ(ScratchFolder::Read(LogoWorkFile(src))[28], 1);
    EXPECT_EQ(HalftoneMethodFromName("diffusion"), HalftoneMethod::ErrorDiffusion);
    EXPECT_EQ(HalftoneMethodFromName("m5"), std::nullopt);
}

}  // namespace
}  // namespace krv
