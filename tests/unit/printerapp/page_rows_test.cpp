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
    const GreyPage page = rows.Take();
    EXPECT_EQ(page.width, 2);
    EXPECT_EQ(page.height, 1);
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
    EXPECT_EQ(rows.height(), 2);
    EXPECT_EQ(rows.Take().pixels.size(), 2u);
}

TEST(PageRows, CentringPadsBothSidesWithWhite) {
    GreyPage page{{1, 2, 3, 4}, 2, 2};
    const GreyPage c = CentredIn(page, 5);
    EXPECT_EQ(c.width, 5);
    EXPECT_EQ(c.pixels, Row({255, 1, 2, 255, 255, 255, 3, 4, 255, 255}));
    EXPECT_EQ(CentredIn(page, 2).pixels, page.pixels);
}

}  // namespace
}  // namespace krv::app
