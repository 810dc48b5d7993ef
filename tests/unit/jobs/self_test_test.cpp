#include <vector>

#include <gtest/gtest.h>

#include "jobs/self_test.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

TEST(SelfTestJob, SendsTheStatusPrintCommand) {
    RecordingSpooler spooler;
    ASSERT_TRUE(SendSelfTest(spooler));
    EXPECT_EQ(spooler.documentName, "SELFTEST");
    EXPECT_EQ(spooler.dataType, "RAW");
    EXPECT_EQ(spooler.pieces, (std::vector<Bytes>{{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}}));
}

}  // namespace
}  // namespace krv
