// The fonts page's read-only tree: the printer's resident fonts and the point size at which
// each prints. The labels are literal; the blanks between name and size differ (four or
// three) and are kept exactly as the printer's documentation prints them.
#pragma once

#include <array>
#include <string_view>

#include "res/resource_ids.h"

namespace krv {

// Images of the tree's image list, in the order the icons are added.
enum class FontsTreeImage : int { Printer = 0, FontGroup = 1, FontSize = 2 };
inline constexpr std::array<int, 3> kFontsTreeIconIds = {
    IDI_FONT_ROOT_PRINTER, IDI_FONT_GROUP_PRINTER, IDI_FONT_SIZE_PAGE};

struct FontsTreeItem {
    std::u16string_view label;
    FontsTreeImage image;  // used both as the normal and the selected image
    int parent;            // index of the parent item in kFontsTreeItems; -1 for the root
    bool expanded;         // expanded once the tree is filled
};

// In insertion order; every item goes at the end of its parent's children.
inline constexpr std::array<FontsTreeItem, 19> kFontsTreeItems = {{
    {u"打印机字体和字体大小", FontsTreeImage::Printer, -1, true},
    {u"Font A", FontsTreeImage::FontGroup, 0, true},
    {u"FontA11    9.5", FontsTreeImage::FontSize, 1, false},
    {u"FontA12    19.0", FontsTreeImage::FontSize, 1, false},
    {u"FontA21    9.5", FontsTreeImage::FontSize, 1, false},
    {u"FontA22   19.0", FontsTreeImage::FontSize, 1, false},
    {u"FontA24   38.5", FontsTreeImage::FontSize, 1, false},
    {u"FontA42   19.0", FontsTreeImage::FontSize, 1, false},
    {u"FontA44   38.5", FontsTreeImage::FontSize, 1, false},
    {u"Font B", FontsTreeImage::FontGroup, 0, true},
    {u"FontB11    7.0", FontsTreeImage::FontSize, 9, false},
    {u"FontB12    13.5", FontsTreeImage::FontSize, 9, false},
    {u"FontB21    7.0", FontsTreeImage::FontSize, 9, false},
    {u"FontB22   13.5", FontsTreeImage::FontSize, 9, false},
    {u"FontB24   27.0", FontsTreeImage::FontSize, 9, false},
    {u"FontB42   13.5", FontsTreeImage::FontSize, 9, false},
    {u"FontB44   27.0", FontsTreeImage::FontSize, 9, false},
    {u"Control Font", FontsTreeImage::FontGroup, 0, true},
    {u"Control    1.0", FontsTreeImage::FontSize, 17, false},
}};

// The root is selected after filling; the expanded items are expanded in table order.
constexpr int kFontsTreeSelectedItem = 0;
inline constexpr std::u16string_view kFontsPageHint = u"在程序中使用选定的字体大小";

}  // namespace krv
