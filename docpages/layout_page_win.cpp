// The layout page (IDD_LAYOUT_PAGE): the paper size, mirrored from the host's own paper-size
// option items and pushed back into them, and the choice to print text as an image with
// its lock. The rotation and zoom controls of the template stay hidden and disabled.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>
#include <vector>

#include "docpages/layout_rules.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/layout_page_ids.h"

namespace krv {

namespace {

// The host's option items are read as they stand; these limits keep a faulty host from
// making the page read without end.
constexpr DWORD kMaxPaperSizesPerItem = 4096;
constexpr size_t kMaxPaperSizeNameCharacters = 256;

// The layout page reads the host's items and the record afresh on every message: it keeps
// nothing between messages beyond its window and context.
struct LayoutPage : DocumentPage {
    using DocumentPage::DocumentPage;
};

// One of the host's paper-size option items, with the names of its parameters and the place
// of the first of them in the combo (which lists every item's names in turn).
struct PaperSizeItem {
    OPTITEM* item = nullptr;
    size_t first = 0;
    std::vector<std::u16string> names;
};

std::u16string ParameterName(const OPTPARAM& parameter) {
    // A parameter may name a string resource instead of holding its text: no name then.
    if (IS_INTRESOURCE(parameter.pData)) return {};
    const wchar_t* text = parameter.pData;
    return std::u16string(reinterpret_cast<const char16_t*>(text),
                          wcsnlen(text, kMaxPaperSizeNameCharacters));
}

std::vector<std::u16string> ParameterNames(const OPTITEM& item) {
    std::vector<std::u16string> names;
    const OPTTYPE* type = item.pOptType;
    if (!type || !type->pOptParam) return names;
    const DWORD count = std::min<DWORD>(type->Count, kMaxPaperSizesPerItem);
    for (DWORD i = 0; i < count; ++i)
        names.push_back(ParameterName(type->pOptParam[i]));
    return names;
}

std::vector<PaperSizeItem> PaperSizeItems(const DocumentSheetContext* context) {
    std::vector<PaperSizeItem> items;
    const OEMCUIPPARAM* commonUi = context ? context->commonUi : nullptr;
    if (!commonUi || !commonUi->pDrvOptItems) return items;
    size_t first = 0;
    for (DWORD i = 0; i < commonUi->cDrvOptItems; ++i) {
        OPTITEM& item = commonUi->pDrvOptItems[i];
        if (item.DMPubID != DMPUB_FORMNAME) continue;
        items.push_back({&item, first, ParameterNames(item)});
        first += items.back().names.size();
    }
    return items;
}

std::vector<std::u16string> ComboEntries(const std::vector<PaperSizeItem>& items) {
    std::vector<std::u16string> entries;
    for (const PaperSizeItem& item : items)
        entries.insert(entries.end(), item.names.begin(), item.names.end());
    return entries;
}

// The names of the sizes the host has chosen (items whose Sel names no size give none).
std::vector<std::u16string_view> HostCurrentNames(const std::vector<PaperSizeItem>& items) {
    std::vector<std::u16string_view> names;
    for (const PaperSizeItem& item : items) {
        const LONG sel = item.item->Sel;
        if (sel >= 0 && static_cast<size_t>(sel) < item.names.size() && !item.names[sel].empty())
            names.push_back(item.names[sel]);
    }
    return names;
}

// The index to push into an item: the combo's selection when it falls among the item's own
// names (one item: the selection itself), else the item's parameter of the same name; -1
// when the item has no such size and is left alone.
LONG ItemSelection(const PaperSizeItem& item, int comboSelection, std::u16string_view chosen) {
    const long local = comboSelection - static_cast<long>(item.first);
    if (local >= 0 && static_cast<size_t>(local) < item.names.size()) return local;
    for (size_t i = 0; i < item.names.size(); ++i)
        if (item.names[i] == chosen) return static_cast<LONG>(i);
    return -1;
}

std::u16string ComboEntry(HWND dialog, int index) {
    return ComboEntryText(dialog, IDC_LAYOUT_PAPER_SIZE_LIST, index,
                          static_cast<int>(kMaxPaperSizeNameCharacters));
}

void MarkPaperSizeItems(const std::vector<PaperSizeItem>& items, int selection,
                        std::u16string_view chosen) {
    for (const PaperSizeItem& item : items) {
        const LONG sel = ItemSelection(item, selection, chosen);
        if (sel < 0) continue;
        item.item->Sel = sel;
        item.item->Flags |= OPTIF_CHANGED;
    }
}

// Marks each item changed and has the host refresh its own controls from it.
void UpdateHostPaperSize(const DocumentSheetContext* context,
                         const std::vector<PaperSizeItem>& items, int selection,
                         std::u16string_view chosen) {
    for (const PaperSizeItem& item : items) {
        const LONG sel = ItemSelection(item, selection, chosen);
        if (sel < 0) continue;
        item.item->Sel = sel;
        item.item->Flags |= OPTIF_CHANGED;
        if (context->driverUi)
            context->driverUi->DrvUpdateUISetting(context->commonUi->poemuiobj, item.item, 0,
                                                  OEMCUIP_DOCPROP);
    }
}

// The combo's size into the host's items and into the record. Nothing selected pushes
// nothing into the host (an index of -1 is no size) and stores an empty name.
void PushPaperSize(HWND page, const DocumentSheetContext* context, OemDevmode& record,
                   bool markFirst) {
    const std::vector<PaperSizeItem> items = PaperSizeItems(context);
    const int selection = ComboSelection(page, IDC_LAYOUT_PAPER_SIZE_LIST);
    const std::u16string chosen = ComboEntry(page, selection);
    if (selection >= 0) {
        if (markFirst) MarkPaperSizeItems(items, selection, chosen);
        UpdateHostPaperSize(context, items, selection, chosen);
    }
    StorePaperSizeName(record, chosen);
}

void ShowTextAsImage(HWND page, const TextAsImageView& view) {
    CheckButton(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES, view.yesChecked);
    CheckButton(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO, view.noChecked);
    EnableControl(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES, view.enabled);
    EnableControl(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO, view.enabled);
}

TextAsImageView ShownTextAsImage(HWND page) {
    TextAsImageView view;
    view.enabled = ControlEnabled(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES);
    view.yesChecked = ButtonChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_YES);
    view.noChecked = ButtonChecked(page, IDC_LAYOUT_TEXT_AS_IMAGE_NO);
    return view;
}

// The rotation and zoom controls show the record and are then switched off: the page keeps
// the fields but offers no way to change them.
void SetUpHiddenControls(HWND page, const OemDevmode& record) {
    CheckButton(page, IDC_LAYOUT_ROTATE_NORMAL, record.rotate180 == 0);
    CheckButton(page, IDC_LAYOUT_ROTATE_180, record.rotate180 != 0);
    CheckButton(page, IDC_LAYOUT_ZOOM_PRINTING, record.zoomPrinting != 0);
    constexpr NumberField kZoomScale = {IDC_LAYOUT_ZOOM_SCALE, IDC_LAYOUT_ZOOM_SCALE_UPDOWN};
    SetUpNumberField(page, kZoomScale, 10, 100, 3);
    ShowNumber(page, kZoomScale, record.zoomScalePercent);
    CheckButton(page, IDC_LAYOUT_ZOOM_PRINTING, false);
    CheckButton(page, IDC_LAYOUT_ROTATE_180, false);
    for (const int id : {IDC_LAYOUT_ZOOM_PRINTING, IDC_LAYOUT_ZOOM_SCALE,
                         IDC_LAYOUT_ZOOM_SCALE_UPDOWN, IDC_LAYOUT_ROTATE_180})
        EnableControl(page, id, false);
}

void SelectHostCurrentSize(HWND page, const std::vector<PaperSizeItem>& items) {
    const std::vector<std::u16string> entries = ComboEntries(items);
    const std::vector<std::u16string_view> current = HostCurrentNames(items);
    const int selection = InitialPaperSizeSelection(entries, u"", current);
    if (selection >= 0) SelectComboEntry(page, IDC_LAYOUT_PAPER_SIZE_LIST, selection);
}

void OnInit(const LayoutPage& page) {
    const std::vector<PaperSizeItem> items = PaperSizeItems(page.context);
    const std::vector<std::u16string> entries = ComboEntries(items);
    FillComboList(page.dialog, IDC_LAYOUT_PAPER_SIZE_LIST, entries);
    const OemDevmode* record = page.Record();
    if (!record) return;
    const int selection =
        InitialPaperSizeSelection(entries, PaperSizeName(*record), HostCurrentNames(items));
    SelectComboEntry(page.dialog, IDC_LAYOUT_PAPER_SIZE_LIST, selection);
    SetUpHiddenControls(page.dialog, *record);
    ShowTextAsImage(page.dialog, InitialTextAsImageView(*record));
}

// The watermark page may have changed the lock, and the host its own paper size.
INT_PTR OnSetActive(const LayoutPage& page) {
    if (const OemDevmode* record = page.Record())
        ShowTextAsImage(page.dialog,
                        TextAsImageViewOnActivation(*record, ShownTextAsImage(page.dialog),
                                                    page.context->watermarkSwitchedOff));
    SelectHostCurrentSize(page.dialog, PaperSizeItems(page.context));
    SetWindowLongPtrW(page.dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR OnApply(const LayoutPage& page) {
    if (OemDevmode* record = page.Record()) {
        ApplyRotateRadios(*record, ButtonChecked(page.dialog, IDC_LAYOUT_ROTATE_NORMAL),
                          ButtonChecked(page.dialog, IDC_LAYOUT_ROTATE_180));
        PushPaperSize(page.dialog, page.context, *record, false);
    }
    AcknowledgeApply(page.dialog, page.context);
    SetWindowLongPtrW(page.dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

INT_PTR OnNotify(const LayoutPage& page, const NMHDR* header) {
    switch (header->code) {
        case PSN_SETACTIVE:
            return OnSetActive(page);
        case PSN_APPLY:
            return OnApply(page);
        default:
            return DefaultPageNotify(page.dialog, header, page.context);
    }
}

INT_PTR OnCommand(const LayoutPage& page, int id, int code) {
    OemDevmode* record = page.Record();
    if (!record) return FALSE;
    if (id == IDC_LAYOUT_PAPER_SIZE_LIST && code == CBN_SELCHANGE) {
        PushPaperSize(page.dialog, page.context, *record, true);
    } else if ((id == IDC_LAYOUT_TEXT_AS_IMAGE_YES || id == IDC_LAYOUT_TEXT_AS_IMAGE_NO) &&
               code == BN_CLICKED) {
        record->printTextAsImage = id == IDC_LAYOUT_TEXT_AS_IMAGE_YES ? 1 : 0;
    } else {
        return FALSE;
    }
    ReportPageChanged(page.dialog);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK LayoutPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (const LayoutPage* page = CreatePageState<LayoutPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const LayoutPage* page = PageForMessage<LayoutPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(*page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(*page, reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace krv
