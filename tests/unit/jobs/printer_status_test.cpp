#include "jobs/printer_status.h"

#include <gtest/gtest.h>

namespace krv {
namespace {

// Answers in the order asked: printer, offline cause, error cause, paper roll sensor. The
// simple cases (ready, paper out or low, cover open, the drawer) are the job set's, against a
// simulated printer.
StatusReport Report(const uint8_t (&answers)[4], DrawerOpenLevel level = DrawerOpenLevel::High) {
    StatusAnswers a;
    EXPECT_TRUE(a.Feed(answers, 4));
    return ReportStatus(a.status(), level);
}

TEST(PrinterStatus, AnswersMakeTheReasons) {
    struct Case {
        const char* what;
        uint8_t answers[4];
        unsigned reasons;
    };
    const Case cases[] = {
        {"paper end at the roll sensor, near end too", {0x1A, 0x32, 0x12, 0x7E}, kReasonMediaEmpty},
        {"offline without a cause", {0x1A, 0x12, 0x12, 0x12}, kReasonOffline},
        {"feeding with the button", {0x1A, 0x1A, 0x12, 0x12}, kReasonNone},
        {"cutter error is not another error", {0x1A, 0x52, 0x1A, 0x12}, kReasonMediaJam},
        {"unrecoverable error", {0x1A, 0x52, 0x32, 0x12}, kReasonOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Report(c.answers).reasons, c.reasons) << c.what;
}

TEST(PrinterStatus, ADrawerWiredTheOtherWayIsOpenAtTheLowLevel) {
    const uint8_t high[4] = {0x16, 0x12, 0x12, 0x12}, low[4] = {0x12, 0x12, 0x12, 0x12};
    EXPECT_EQ(Report(high, DrawerOpenLevel::Low).drawer, DrawerState::Closed);
    EXPECT_EQ(Report(low, DrawerOpenLevel::Low).drawer, DrawerState::Open);
}

}  // namespace
}  // namespace krv
