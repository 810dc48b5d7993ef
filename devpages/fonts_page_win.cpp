// The fonts page (IDD_FONTS_PAGE): a read-only tree of the printer's resident fonts and the
// point size each prints at. The tree is filled once from kFontsTreeItems; the page stores
// nothing and only acknowledges apply.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>

#include "devpages/fonts_tree.h"
#include "frame/module_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/fonts_page_ids.h"

namespace krv {

namespace {

constexpr int kTreeImageSize = 16;

HWND Tree(HWND page) {
    return GetDlgItem(page, IDC_FONTS_TREE);
}

// 16 x 16, masked, exactly the three icons and no room to grow.
HIMAGELIST CreateFontsImageList() {
    const int count = static_cast<int>(kFontsTreeIconIds.size());
    HIMAGELIST images =
        ImageList_Create(kTreeImageSize, kTreeImageSize, ILC_COLOR32 | ILC_MASK, count, 0);
    if (!images) return nullptr;
    for (int id : kFontsTreeIconIds) {
        auto icon = static_cast<HICON>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id),
                                                  IMAGE_ICON, kTreeImageSize, kTreeImageSize, 0));
        if (!icon) continue;
        ImageList_AddIcon(images, icon);
        DestroyIcon(icon);
    }
    return images;
}

// The tree does not own its image list: the page destroys it with itself.
void AttachImageList(HWND page) {
    HIMAGELIST old = TreeView_SetImageList(Tree(page), CreateFontsImageList(), TVSIL_NORMAL);
    if (old) ImageList_Destroy(old);
}

void DetachImageList(HWND page) {
    HIMAGELIST images = TreeView_SetImageList(Tree(page), nullptr, TVSIL_NORMAL);
    if (images) ImageList_Destroy(images);
}

// The fonts page keeps nothing between messages beyond its window and context. The tree's image
// list goes with the page, while the tree still exists.
struct FontsPage : PrinterPage {
    using PrinterPage::PrinterPage;
    ~FontsPage() { DetachImageList(dialog); }
};

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const FontsTreeItem& item) {
    std::u16string label(item.label);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = reinterpret_cast<wchar_t*>(label.data());
    insert.item.iImage = static_cast<int>(item.image);
    insert.item.iSelectedImage = static_cast<int>(item.image);
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FillTree(HWND page) {
    HWND tree = Tree(page);
    TreeView_DeleteAllItems(tree);
    std::array<HTREEITEM, kFontsTreeItems.size()> handles{};
    for (size_t i = 0; i < kFontsTreeItems.size(); ++i) {
        const auto& item = kFontsTreeItems[i];
        handles[i] = InsertItem(tree, item.parent < 0 ? nullptr : handles[item.parent], item);
    }
    for (size_t i = 0; i < kFontsTreeItems.size(); ++i)
        if (kFontsTreeItems[i].expanded && handles[i])
            TreeView_Expand(tree, handles[i], TVE_EXPAND);
    TreeView_SelectItem(tree, handles[kFontsTreeSelectedItem]);
}

void OnInit(const FontsPage& page) {
    AttachImageList(page.dialog);
    FillTree(page.dialog);
}

// The page draws nothing itself; painting only validates (and erases) its region.
BOOL OnPaint(HWND page) {
    PAINTSTRUCT paint;
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK FontsPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (const FontsPage* page = CreatePageState<FontsPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const FontsPage* page = PageForMessage<FontsPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_PAINT:
            return OnPaint(dialog);
        case WM_COMMAND:
            return TRUE;
        case WM_NOTIFY:
            return DefaultPageNotify(dialog, reinterpret_cast<const NMHDR*>(lParam), page->context);
        default:
            return FALSE;
    }
}

}  // namespace krv
