#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "devpages/fonts_tree.h"

namespace krv {
namespace {

TEST(FontsTree, NineteenItemsWithExactLabels) {
    std::vector<std::u16string_view> labels;
    for (const auto& item : kFontsTreeItems)
        labels.push_back(item.label);
    EXPECT_EQ(labels,
              (std::vector<std::u16string_view>{
                  u"打印机字体和字体大小", u"Font A", u"FontA11    9.5", u"FontA12    19.0",
                  u"FontA21    9.5", u"FontA22   19.0", u"FontA24   38.5", u"FontA42   19.0",
                  u"FontA44   38.5", u"Font B", u"FontB11    7.0", u"FontB12    13.5",
                  u"FontB21    7.0", u"FontB22   13.5", u"FontB24   27.0", u"FontB42   13.5",
                  u"FontB44   27.0", u"Control Font", u"Control    1.0"}));
}

TEST(FontsTree, GroupsUnderTheRootSizesUnderTheirGroup) {
    int expanded = 0;
    for (size_t i = 0; i < kFontsTreeItems.size(); ++i) {
        const auto& item = kFontsTreeItems[i];
        const bool isGroup = item.label.rfind(u"Font ", 0) == 0 || item.label == u"Control Font";
        if (i == 0) {
            EXPECT_EQ(item.parent, -1);
            EXPECT_EQ(item.image, FontsTreeImage::Printer);
        } else if (isGroup) {
            EXPECT_EQ(item.parent, 0) << i;
            EXPECT_EQ(item.image, FontsTreeImage::FontGroup) << i;
        } else {
            // A size sits under the nearest group before it.
            ASSERT_GE(item.parent, 1) << i;
            EXPECT_EQ(kFontsTreeItems[item.parent].image, FontsTreeImage::FontGroup) << i;
            for (int j = item.parent + 1; j < static_cast<int>(i); ++j)
                EXPECT_NE(kFontsTreeItems[j].image, FontsTreeImage::FontGroup) << i;
            EXPECT_EQ(item.image, FontsTreeImage::FontSize) << i;
        }
        expanded += item.expanded;
        EXPECT_EQ(item.expanded, i == 0 || isGroup) << i;
    }
    EXPECT_EQ(expanded, 4);
}

}  // namespace
}  // namespace krv
