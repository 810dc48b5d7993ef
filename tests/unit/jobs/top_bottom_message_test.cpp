#include <string>

#include <gtest/gtest.h>

#include "channel/raw_printer_channel.h"
#include "jobs/top_bottom_message.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

using Status = TopBottomMessageBuild::Status;

TEST(TopBottomMessage, FrontLineOneIsSentExactly) {
    const TopBottomMessageBuild build = BuildTopBottomMessageJob({u"ABC", u"", u"", u""});
    ASSERT_EQ(build.status, Status::Ready);
    RecordingSpooler spooler;
    ASSERT_TRUE(SendRawJob(spooler, build.job));
    EXPECT_EQ(spooler.documentName, "TopbottomMessage");
    EXPECT_EQ(spooler.Joined(),
              (Bytes{0x1F, 0x65, 0x00, 0x00, 0x41, 0x42, 0x43, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(spooler.pieces.size(), 3u);
}

TEST(TopBottomMessage, OnlyTheBackLinesGiveHeadersTwoAndThree) {
    const TopBottomMessageBuild build = BuildTopBottomMessageJob({u"", u"", u"x", u"中文"});
    ASSERT_EQ(build.status, Status::Ready);
    ASSERT_EQ(build.job.pieces.size(), 6u);
    EXPECT_EQ(build.job.pieces[0], (Bytes{0x1F, 0x65, 0x02, 0x00}));
    EXPECT_EQ(build.job.pieces[3], (Bytes{0x1F, 0x65, 0x03, 0x00}));
    EXPECT_EQ(build.job.pieces[4], (Bytes{0xD6, 0xD0, 0xCE, 0xC4, 0x00, 0x00}));
}

struct LengthCase {
    const char* what;
    std::u16string line;
    bool accepted;
};

class TopBottomLineLength : public testing::TestWithParam<LengthCase> {};

TEST_P(TopBottomLineLength, FollowsTheByteRule) {
    // The line under test is the last one, after a valid first line: a refusal must stop
    // the whole download, not just skip the line.
    const auto build = BuildTopBottomMessageJob({u"ok", u"", u"", GetParam().line});
    if (GetParam().accepted) {
        EXPECT_EQ(build.status, Status::Ready);
        EXPECT_EQ(build.job.pieces.size(), 6u);
    } else {
        EXPECT_EQ(build.status, Status::LineTooLong);
        EXPECT_EQ(build.line, 3);
        EXPECT_TRUE(build.job.pieces.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TopBottomLineLength,
    testing::Values(LengthCase{"48 ASCII", std::u16string(48, u'a'), true},
                    LengthCase{"49 ASCII", std::u16string(49, u'a'), false},
                    LengthCase{"32 Chinese", std::u16string(32, u'中'), true},
                    LengthCase{"33 Chinese", std::u16string(33, u'中'), false},
                    // 2 + 47 text bytes and 48 zero bytes: 97 rounds down to 96
                    LengthCase{"97 bytes", u"中" + std::u16string(47, u'a'), true},
                    LengthCase{"far too long", std::u16string(5000, u'a'), false}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (auto& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST(TopBottomMessage, EmptyLinesSendNothingAndKeepDownloadDisabled) {
    const TopBottomLines empty = {u"", u"", u"", u""};
    EXPECT_FALSE(TopBottomDownloadEnabled(empty));
    const auto build = BuildTopBottomMessageJob(empty);
    EXPECT_EQ(build.status, Status::NothingToSend);
    EXPECT_TRUE(build.job.pieces.empty());
    EXPECT_TRUE(TopBottomDownloadEnabled({u"", u"", u"", u"a"}));
}

TEST(TopBottomMessage, LineEndsAtItsFirstZeroUnitAndAfter199Units) {
    const std::u16string withZero(u"AB\0CD", 5);
    EXPECT_EQ(TopBottomLineText(withZero), (Bytes{0x41, 0x42, 0x00, 0x00}));
    // A zero unit first: the page would read an empty line.
    EXPECT_FALSE(TopBottomDownloadEnabled({std::u16string_view(u"\0x", 2), u"", u"", u""}));
    EXPECT_EQ(TopBottomLineText(std::u16string(300, u'a')).size(), 2u * 199);
}

}  // namespace
}  // namespace krv
