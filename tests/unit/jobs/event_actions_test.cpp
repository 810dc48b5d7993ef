#include <cstring>

#include <gtest/gtest.h>

#include "jobs/event_actions.h"
#include "jobs/job_decode.h"
#include "jobs/receipt_commands.h"

namespace krv {
namespace {

EventActionSettings Nothing() {
    return EventActionSettings{};
}

TEST(EventActions, NothingSetSendsNothing) {
    EXPECT_TRUE(BuildEventActions(Nothing()).empty());
}

struct ActionCase {
    const char* name;
    void (*set)(EventActionSettings&);
    Bytes expected;
};

class EventActionCommands : public testing::TestWithParam<ActionCase> {};

TEST_P(EventActionCommands, BuildTheCommand) {
    EventActionSettings s = Nothing();
    GetParam().set(s);
    EXPECT_EQ(BuildEventActions(s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EachAction, EventActionCommands,
    testing::Values(
        ActionCase{"drawer1_10ms",
                   [](EventActionSettings& s) { s.cashDrawer = 1; },
                   {0x1B, 0x70, 0x00, 5, 50}},
        ActionCase{"both_60ms",
                   [](EventActionSettings& s) { s.cashDrawer = 12; },
                   {0x1B, 0x70, 0x00, 30, 50, 0x1B, 0x70, 0x01, 30, 50}},
        ActionCase{"drawer_past_list", [](EventActionSettings& s) { s.cashDrawer = 13; }, {}},
        ActionCase{"prompter_on",
                   [](EventActionSettings& s) {
                       s.drawerOrPrompter = 1;
                       s.cashDrawer = 12;  // ignored: the prompter is chosen
                   },
                   {0x1B, 0x70, 0x00, 50, 50}},
        ActionCase{"prompter_off",
                   [](EventActionSettings& s) {
                       s.drawerOrPrompter = 7;
                       s.prompter = 1;
                   },
                   {}},
        ActionCase{"buzzer_200ms",
                   [](EventActionSettings& s) { s.buzzer = 1; },
                   {0x1B, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, 2}},
        ActionCase{"buzzer_4s",
                   [](EventActionSettings& s) { s.buzzer = 5; },
                   {0x1B, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, 40}},
        ActionCase{"buzzer_past_list_volume_ignored",
                   [](EventActionSettings& s) {
                       s.buzzer = 6;
                       s.buzzerVolume = 200;
                   },
                   {}},
        ActionCase{"partial_cut", [](EventActionSettings& s) { s.cutter = 1; }, {0x1D, 0x56, 0x01}},
        ActionCase{"full_cut_fed",
                   [](EventActionSettings& s) {
                       s.cutter = 2;
                       s.feedToCutPosition = 1;
                   },
                   {0x1D, 0x56, 0x41, 0x00}},
        ActionCase{"feed_to_cut_without_cut",
                   [](EventActionSettings& s) {
                       s.feedToCutPosition = 1;
                       s.cutter = 3;
                   },
                   {}},
        ActionCase{
            "feed_10mm", [](EventActionSettings& s) { s.feedDistanceMm = 10; }, {0x1B, 0x4A, 71}},
        ActionCase{"feed_over_100mm_is_100mm",
                   [](EventActionSettings& s) { s.feedDistanceMm = 250; },
                   {0x1B, 0x4A, 255, 0x1B, 0x4A, 255, 0x1B, 0x4A, 199}},
        ActionCase{"logo_centre",
                   [](EventActionSettings& s) {
                       s.logo = 3;
                       s.logoAlignment = 1;
                   },
                   {0x1B, 0x61, 1, 0x1C, 0x70, 3, 0x00, 0x1B, 0x61, 0x00}},
        ActionCase{"logo_alignment_past_list_is_left",
                   [](EventActionSettings& s) {
                       s.logo = 9;
                       s.logoAlignment = 5;
                   },
                   {0x1B, 0x61, 0, 0x1C, 0x70, 9, 0x00, 0x1B, 0x61, 0x00}},
        ActionCase{"logo_past_list", [](EventActionSettings& s) { s.logo = 10; }, {}},
        ActionCase{"command_unsent",
                   [](EventActionSettings& s) {
                       s.commandLength = 2;
                       s.commandBytes[0] = 0x1B;
                   },
                   {}},
        ActionCase{"command_sent",
                   [](EventActionSettings& s) {
                       s.sendCommand = 1;
                       s.commandLength = 2;
                       s.commandBytes[0] = 0x1B;
                       s.commandBytes[1] = 0x40;
                       s.commandBytes[2] = 0x99;  // past the count
                   },
                   {0x1B, 0x40}}),
    [](const testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

TEST(EventActions, ACommandCountPastTheAreaSendsOnlyTheArea) {
    EventActionSettings s = Nothing();
    s.sendCommand = 1;
    s.commandLength = 200;
    std::memset(s.commandBytes, 0xAB, sizeof s.commandBytes);
    EXPECT_EQ(BuildEventActions(s), Bytes(128, 0xAB));
}

// Every action at once, so their order is seen: commands, logo before the cut, feed, cut,
// logo after the cut, drawer, buzzer.
TEST(EventActions, KeepTheirOrderAroundTheCut) {
    EventActionSettings s = Nothing();
    s.sendCommand = 1;
    s.commandLength = 1;
    s.commandBytes[0] = 0xEE;
    s.feedDistanceMm = 1;
    s.cutter = 1;
    s.cashDrawer = 1;
    s.buzzer = 1;
    s.logo = 2;
    const Bytes before = {0xEE, 0x1B, 0x61, 0,    0x1C, 0x70, 2,    0,    0x1B, 0x61, 0,
                          0x1B, 0x4A, 7,    0x1D, 0x56, 0x01, 0x1B, 0x70, 0,    5,    50,
                          0x1B, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, 2};
    EXPECT_EQ(BuildEventActions(s), before);
    s.logoPosition = 1;
    const Bytes after = {0xEE, 0x1B, 0x4A, 7,    0x1D, 0x56, 0x01, 0x1B, 0x61, 0, 0x1C,
                         0x70, 2,    0,    0x1B, 0x61, 0,    0x1B, 0x70, 0,    5, 50,
                         0x1B, 0x28, 0x41, 0x04, 0x00, 0x30, 0x01, 0x01, 2};
    EXPECT_EQ(BuildEventActions(s), after);
}

TEST(EventActions, MillimetresRoundToTheNearestDot) {
    EXPECT_EQ(MillimetresToDots(0), 0u);
    EXPECT_EQ(MillimetresToDots(1), 7u);     // 7.09
    EXPECT_EQ(MillimetresToDots(3), 21u);    // 21.26
    EXPECT_EQ(MillimetresToDots(80), 567u);  // 566.93
}

TEST(ReceiptCommands, CutWhereThePaperStands) {
    EXPECT_EQ(CutCommand(CutMode::Partial, CutFeed::None), (Bytes{0x1D, 0x56, 0x01}));
    EXPECT_EQ(CutCommand(CutMode::Full, CutFeed::None), (Bytes{0x1D, 0x56, 0x00}));
    EXPECT_TRUE(CutCommand(CutMode::None, CutFeed::None).empty());
}

// The job decoder reads every command the actions send, so jobs holding them can be checked.
TEST(EventActions, TheDecoderReadsEveryAction) {
    EventActionSettings s = Nothing();
    s.feedDistanceMm = 2;
    s.cutter = 2;
    s.logo = 5;
    s.logoAlignment = 2;
    s.cashDrawer = 9;
    s.buzzer = 3;
    const DecodedJob job = DecodeJob(BuildEventActions(s));
    ASSERT_TRUE(job.understood) << job.stopReason;
    std::vector<std::string> lines;
    for (const auto& c : job.commands)
        lines.push_back(c.text);
    EXPECT_EQ(lines, (std::vector<std::string>{"align right", "print stored logo 5 (mode 0)",
                                               "align left", "feed 14 dots", "full cut",
                                               "cash drawer 1 pulse: 10 ms on, 100 ms off",
                                               "cash drawer 2 pulse: 10 ms on, 100 ms off",
                                               "buzzer: sound 1, 1 beep(s) of 1000 ms"}));
}

}  // namespace
}  // namespace krv
