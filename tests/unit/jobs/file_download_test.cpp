#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "jobs/file_download.h"
#include "tests/common/scratch_folder.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

using Call = RecordingSpooler::Call;

// A source file in memory that can refuse any step and counts how it was closed.
class FakeSource : public DownloadSourceFile {
  public:
    explicit FakeSource(Bytes bytes) : data(std::move(bytes)) {}
    bool Open(std::u16string_view) override {
        if (failAt == FileDownloadError::Open) return false;
        open = true;
        return true;
    }
    bool Size(uint64_t* size) override {
        *size = hugeSize ? UINT64_MAX : data.size();
        return failAt != FileDownloadError::Size;
    }
    bool SeekToStart() override { return failAt != FileDownloadError::Seek; }
    bool Read(uint8_t* into, size_t length, size_t* got) override {
        ++reads;
        *got = std::min(length, data.size() - shortBy);
        std::copy_n(data.begin(), *got, into);
        return failAt != FileDownloadError::Read;
    }
    void Close() override {
        if (open) ++closes;
        open = false;
    }
    Bytes data;
    FileDownloadError failAt = FileDownloadError::None;
    bool hugeSize = false;
    size_t shortBy = 0;
    bool open = false;
    int closes = 0;
    int reads = 0;
};

struct RefusalCase {
    FileDownloadError step;
    const char16_t* message;
};

class FileDownloadRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(FileDownloadRefusal, ShowsItsMessageClosesTheFileAndSendsNothing) {
    const auto& c = GetParam();
    FakeSource file({1, 2, 3});
    if (c.step == FileDownloadError::Allocate)
        file.hugeSize = true;  // more than memory can ever hold
    else
        file.failAt = c.step;
    RecordingSpooler spooler;
    const auto r = SendFileDownload(spooler, file, u"x.jk");
    EXPECT_EQ(r.error, c.step);
    EXPECT_FALSE(r.sent);
    EXPECT_EQ(FileDownloadMessage(r.error), c.message);
    EXPECT_TRUE(spooler.calls.empty());
    EXPECT_FALSE(file.open);
    EXPECT_EQ(file.closes, c.step == FileDownloadError::Open ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, FileDownloadRefusal,
    testing::Values(RefusalCase{FileDownloadError::Open, u"打开文件失败！"},
                    RefusalCase{FileDownloadError::Size, u"获取文件大小失败！"},
                    RefusalCase{FileDownloadError::Allocate, u"内存分配失败！"},
                    RefusalCase{FileDownloadError::Seek, u"指定到文件头失败！"},
                    RefusalCase{FileDownloadError::Read, u"从文件读取数据失败！"}));

TEST(FileDownload, ShortReadIsARefusal) {
    FakeSource file({1, 2, 3, 4});
    file.shortBy = 1;  // the file shrank after its size was taken
    RecordingSpooler spooler;
    EXPECT_EQ(SendFileDownload(spooler, file, u"x").error, FileDownloadError::Read);
    EXPECT_TRUE(spooler.calls.empty());
}

TEST(FileDownload, EmptyFileMakesAJobWithoutData) {
    FakeSource file({});
    RecordingSpooler spooler;
    const auto r = SendFileDownload(spooler, file, u"empty.jk");
    EXPECT_TRUE(r.sent);
    EXPECT_EQ(spooler.documentName, "FIRMWARE");
    EXPECT_TRUE(spooler.Joined().empty());
    EXPECT_EQ(spooler.calls,
              (std::vector<Call>{Call::StartDoc, Call::StartPage, Call::EndPage, Call::EndDoc}));
}

TEST(FileDownload, EverySpoolerFailureInTurnFailsTheDownload) {
    const Bytes content = {0x00, 0x1B, 0x40, 0xFF};
    struct Case {
        Call call;
        uint32_t shortBy;
        std::vector<Call> expected;
    };
    const std::vector<Case> cases = {
        {Call::StartDoc, 0, {Call::StartDoc}},
        {Call::StartPage, 0, {Call::StartDoc, Call::StartPage, Call::EndDoc}},
        {Call::Write,
         0,
         {Call::StartDoc, Call::StartPage, Call::Write, Call::EndPage, Call::EndDoc}},
        // One byte short counts as a failure: every byte must reach the printer.
        {Call::Write,
         1,
         {Call::StartDoc, Call::StartPage, Call::Write, Call::EndPage, Call::EndDoc}},
        {Call::EndPage,
         0,
         {Call::StartDoc, Call::StartPage, Call::Write, Call::EndPage, Call::EndDoc}},
        {Call::EndDoc,
         0,
         {Call::StartDoc, Call::StartPage, Call::Write, Call::EndPage, Call::EndDoc}},
    };
    for (const auto& c : cases) {
        FakeSource file(content);
        RecordingSpooler spooler;
        spooler.FailAt(c.call, 0, c.shortBy);
        const auto r = SendFileDownload(spooler, file, u"fw.jk");
        EXPECT_EQ(r.error, FileDownloadError::None);
        EXPECT_FALSE(r.sent) << static_cast<int>(c.call) << " short " << c.shortBy;
        EXPECT_EQ(spooler.calls, c.expected) << static_cast<int>(c.call);
    }
}

class FileDownloadFromDisk : public testing::Test {
  protected:
    test::ScratchFolder dir;
};

TEST_F(FileDownloadFromDisk, EveryByteGoesOutUnchangedInOneWrite) {
    Bytes content(70000);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    const std::u16string src = dir.Write("font.ZK", content);

    const auto file = MakeSystemDownloadFile();
    RecordingSpooler spooler;
    const auto r = SendFileDownload(spooler, *file, src);
    EXPECT_TRUE(r.sent);
    ASSERT_EQ(spooler.pieces.size(), 1u);
    EXPECT_EQ(spooler.pieces[0], content);
    EXPECT_EQ(std::count(spooler.calls.begin(), spooler.calls.end(), Call::Write), 1);
}

TEST_F(FileDownloadFromDisk, SixtyFourMegabytesMakeOnePiece) {
    const uint64_t size = 64ull << 20;
    const std::string src = dir.SystemWrite("big.JK", {'K'});
    std::filesystem::resize_file(src, size);
    const FirmwareJob built = BuildFirmwareJob(dir.Path("big.JK"));
    ASSERT_EQ(built.error, FileDownloadError::None);
    ASSERT_EQ(built.job.pieces.size(), 1u);
    EXPECT_EQ(built.job.pieces[0].size(), size);
    EXPECT_EQ(built.job.pieces[0][0], 'K');
}

TEST_F(FileDownloadFromDisk, MissingFileOrFolderCannotBeOpened) {
    EXPECT_EQ(BuildFirmwareJob(dir.Path("none.JK")).error, FileDownloadError::Open);
    EXPECT_EQ(BuildFirmwareJob(dir.Path("")).error, FileDownloadError::Open);
    EXPECT_EQ(BuildFirmwareJob(u"").error, FileDownloadError::Open);
}

}  // namespace
}  // namespace krv
