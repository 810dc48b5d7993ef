// The fonts page on the real printer sheet: the tree of resident fonts as a user first sees
// it, its image list, and apply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/fonts_page_ids.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {
namespace {

constexpr int kFontsPageIndex = 2;

struct TreeItem {
    std::wstring label;
    int image;
    int selectedImage;
    int depth;
    bool expanded;
};

TreeItem ReadItem(HWND tree, HTREEITEM handle, int depth) {
    wchar_t text[64] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = handle;
    item.pszText = text;
    item.cchTextMax = 64;
    item.stateMask = TVIS_EXPANDED;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return {text, item.iImage, item.iSelectedImage, depth, (item.state & TVIS_EXPANDED) != 0};
}

// Every item in display order (depth first), whether its branch is expanded or not.
void Walk(HWND tree, HTREEITEM first, int depth, std::vector<TreeItem>* out) {
    for (HTREEITEM h = first; h; h = TreeView_GetNextSibling(tree, h)) {
        out->push_back(ReadItem(tree, h, depth));
        Walk(tree, TreeView_GetChild(tree, h), depth + 1, out);
    }
}

class FontsPage : public testing::Test {
  protected:
    void SetUp() override {
        ResetSpooler();
        sheet.Open();
        page = sheet.Page(kFontsPageIndex);
        tree = GetDlgItem(page, IDC_FONTS_TREE);
    }
    Sheet sheet{Sheet::Kind::Printer};
    HWND page = nullptr;
    HWND tree = nullptr;
};

TEST_F(FontsPage, NineteenItemsWithTheirLabelsImagesAndPlaces) {
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(TreeView_GetCount(tree), 19u);
    std::vector<TreeItem> items;
    Walk(tree, TreeView_GetRoot(tree), 0, &items);
    const std::vector<std::pair<std::wstring, int>> expected = {
        {L"打印机字体和字体大小", 0}, {L"Font A", 1},
        {L"FontA11    9.5", 2},       {L"FontA12    19.0", 2},
        {L"FontA21    9.5", 2},       {L"FontA22   19.0", 2},
        {L"FontA24   38.5", 2},       {L"FontA42   19.0", 2},
        {L"FontA44   38.5", 2},       {L"Font B", 1},
        {L"FontB11    7.0", 2},       {L"FontB12    13.5", 2},
        {L"FontB21    7.0", 2},       {L"FontB22   13.5", 2},
        {L"FontB24   27.0", 2},       {L"FontB42   13.5", 2},
        {L"FontB44   27.0", 2},       {L"Control Font", 1},
        {L"Control    1.0", 2},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].label, expected[i].first) << i;
        // The image says what the item is: the printer, a font, or one of its sizes.
        EXPECT_EQ(items[i].depth, expected[i].second) << i;
        EXPECT_EQ(items[i].image, expected[i].second) << i;
        EXPECT_EQ(items[i].selectedImage, items[i].image) << i;
    }
}

TEST_F(FontsPage, AllBranchesExpandedAndTheRootSelected) {
    std::vector<TreeItem> items;
    Walk(tree, TreeView_GetRoot(tree), 0, &items);
    ASSERT_EQ(items.size(), 19u);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].depth < 2) {
            EXPECT_TRUE(items[i].expanded) << i;
        }
    }
    HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(TreeView_GetSelection(tree), root);
    EXPECT_EQ(TreeView_GetNextSibling(tree, root), nullptr) << "a single root";
    // With every branch expanded no item is hidden in a collapsed branch.
    int visible = 0;
    for (HTREEITEM h = root; h; h = TreeView_GetNextVisible(tree, h))
        ++visible;
    EXPECT_EQ(visible, 19);
}

TEST_F(FontsPage, ImageListHoldsTheThreeIcons) {
    HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
}

}  // namespace
}  // namespace krv::test
