#include <gtest/gtest.h>

#include "printerapp/page_rows.h"

namespace krv::app {
namespace {

std::vector<uint8_t> Row(std::initializer_list<uint8_t> v) {
    return v;
}

TEST(PageRows, AWiderLineKeepsItsMiddle) {
    PageRows rows(6, LineFormat::Grey8, 2);
    const auto line = Row({1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(rows.AddLine(line.data(), line.size()));
    const GreyImage page = rows.Take();
    EXPECT_EQ(page.width, 2u);
    EXPECT_EQ(page.height, 1u);
    EXPECT_EQ(page.pixels, Row({3, 4}));
}

TEST(PageRows, ANarrowerLineKeepsItsWidth) {
    PageRows rows(3, LineFormat::Grey8, 512);
    const auto line = Row({9, 8, 7});
    rows.AddLine(line.data(), line.size());
    EXPECT_EQ(rows.Take().pixels, Row({9, 8, 7}));
}

TEST(PageRows, BlackLevelsBecomeGreyAndMissingBytesWhite) {
    PageRows rows(4, LineFormat::Black8, 4);
    const auto line = Row({255, 0, 55});  // one byte short of the width
    rows.AddLine(line.data(), line.size());
    EXPECT_EQ(rows.Take().pixels, Row({0, 255, 200, 255}));
}

TEST(PageRows, RowsPastTheLimitAreNotKept) {
    PageRows rows(1, LineFormat::Grey8, 1, 2);
    const uint8_t line[1] = {0};
    EXPECT_TRUE(rows.AddLine(line, 1));
    EXPECT_TRUE(rows.AddLine(line, 1));
    EXPECT_FALSE(rows.AddLine(line, 1));
    EXPECT_EQ(rows.height(), 2u);
    EXPECT_EQ(rows.Take().pixels.size(), 2u);
}

TEST(PageRows, TakingStartsTheNextPageEmpty) {
    PageRows rows(2, LineFormat::Grey8, 2);
    const auto line = Row({1, 2});
    rows.AddLine(line.data(), line.size());
    EXPECT_EQ(rows.Take().height, 1u);
    const GreyImage next = rows.Take();
    EXPECT_EQ(next.height, 0u);
    EXPECT_EQ(next.width, 2u);
}

}  // namespace
}  // namespace krv::app
