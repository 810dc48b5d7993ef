// The layout page (template 128): the paper size, mirrored from the host's own paper-size
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

namespace krv {

namespace {

enum Control : int {
    kPaperSizeList = 1020,
    kZoomScale = 1047,
    kTextAsImageYes = 1061,
    kTextAsImageNo = 1062,
    kRotateNormal = 1070,
    kRotate180 = 1071,
    kZoomPrinting = 1073,
    kZoomScaleUpDown = 1076,
};

// The host's option items are read as they stand; these limits keep a faulty host from
// making the page read without end.
constexpr DWORD kMaxPaperSizesPerItem = 4096;
constexpr size_t kMaxPaperSizeNameCharacters = 256;

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

std::u16string ComboEntry(HWND page, int index) {
    const LRESULT length = SendDlgItemMessageW(page, kPaperSizeList, CB_GETLBTEXTLEN, index, 0);
    if (index < 0 || length <= 0) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendDlgItemMessageW(page, kPaperSizeList, CB_GETLBTEXT, index,
                                               reinterpret_cast<LPARAM>(text.data()));
    if (copied <= 0) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()),
                          std::min<size_t>(static_cast<size_t>(copied), length));
}

void FillPaperSizes(HWND page, const std::vector<std::u16string>& entries) {
    SendDlgItemMessageW(page, kPaperSizeList, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& entry : entries)
        SendDlgItemMessageW(page, kPaperSizeList, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.c_str()));
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
    const int selection = ComboSelection(page, kPaperSizeList);
    const std::u16string chosen = ComboEntry(page, selection);
    if (selection >= 0) {
        if (markFirst) MarkPaperSizeItems(items, selection, chosen);
        UpdateHostPaperSize(context, items, selection, chosen);
    }
    StorePaperSizeName(record, chosen);
}

void ShowTextAsImage(HWND page, const TextAsImageView& view) {
    CheckButton(page, kTextAsImageYes, view.yesChecked);
    CheckButton(page, kTextAsImageNo, view.noChecked);
    EnableControl(page, kTextAsImageYes, view.enabled);
    EnableControl(page, kTextAsImageNo, view.enabled);
}

TextAsImageView ShownTextAsImage(HWND page) {
    TextAsImageView view;
    view.enabled = IsWindowEnabled(GetDlgItem(page, kTextAsImageYes)) != FALSE;
    view.yesChecked = ButtonChecked(page, kTextAsImageYes);
    view.noChecked = ButtonChecked(page, kTextAsImageNo);
    return view;
}

// The rotation and zoom controls show the record and are then switched off: the page keeps
// the fields but offers no way to change them.
void SetUpHiddenControls(HWND page, const OemDevmode& record) {
    CheckButton(page, kRotateNormal, record.rotate180 == 0);
    CheckButton(page, kRotate180, record.rotate180 != 0);
    CheckButton(page, kZoomPrinting, record.zoomPrinting != 0);
    LimitText(page, kZoomScale, 3);
    SetUpDownRange(page, kZoomScaleUpDown, 10, 100);
    SetUpDownPosition(page, kZoomScaleUpDown, record.zoomScalePercent);
    CheckButton(page, kZoomPrinting, false);
    CheckButton(page, kRotate180, false);
    for (const int id : {kZoomPrinting, kZoomScale, kZoomScaleUpDown, kRotate180})
        EnableControl(page, id, false);
}

void SelectHostCurrentSize(HWND page, const std::vector<PaperSizeItem>& items) {
    const std::vector<std::u16string> entries = ComboEntries(items);
    const std::vector<std::u16string_view> current = HostCurrentNames(items);
    const int selection = InitialPaperSizeSelection(entries, u"", current);
    if (selection >= 0) SelectComboEntry(page, kPaperSizeList, selection);
}

void OnInit(HWND page, const DocumentSheetContext* context) {
    const std::vector<PaperSizeItem> items = PaperSizeItems(context);
    const std::vector<std::u16string> entries = ComboEntries(items);
    FillPaperSizes(page, entries);
    const OemDevmode* record = PageRecord(context);
    if (!record) return;
    const int selection =
        InitialPaperSizeSelection(entries, PaperSizeName(*record), HostCurrentNames(items));
    SelectComboEntry(page, kPaperSizeList, selection);
    SetUpHiddenControls(page, *record);
    ShowTextAsImage(page, InitialTextAsImageView(*record));
}

// The watermark page may have changed the lock, and the host its own paper size.
INT_PTR OnSetActive(HWND page, const DocumentSheetContext* context) {
    if (const OemDevmode* record = PageRecord(context))
        ShowTextAsImage(page, TextAsImageViewOnActivation(*record, ShownTextAsImage(page),
                                                          context->watermarkSwitchedOff));
    SelectHostCurrentSize(page, PaperSizeItems(context));
    SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR OnApply(HWND page, const DocumentSheetContext* context) {
    if (OemDevmode* record = PageRecord(context)) {
        ApplyRotateRadios(*record, ButtonChecked(page, kRotateNormal),
                          ButtonChecked(page, kRotate180));
        PushPaperSize(page, context, *record, false);
    }
    AcknowledgeApply(page, context);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
}

INT_PTR OnNotify(HWND page, const DocumentSheetContext* context, const NMHDR* header) {
    switch (header->code) {
        case PSN_SETACTIVE:
            return OnSetActive(page, context);
        case PSN_APPLY:
            return OnApply(page, context);
        default:
            return DefaultPageNotify(page, header, context);
    }
}

INT_PTR OnCommand(HWND page, const DocumentSheetContext* context, int id, int code) {
    OemDevmode* record = PageRecord(context);
    if (!record) return FALSE;
    if (id == kPaperSizeList && code == CBN_SELCHANGE) {
        PushPaperSize(page, context, *record, true);
    } else if ((id == kTextAsImageYes || id == kTextAsImageNo) && code == BN_CLICKED) {
        record->printTextAsImage = id == kTextAsImageYes ? 1 : 0;
    } else {
        return FALSE;
    }
    ReportPageChanged(page);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK LayoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInit(page, StorePageContext<DocumentSheetContext>(page, lParam));
        return TRUE;
    }
    const auto* context = PageContext<DocumentSheetContext>(page);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(page, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, context, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(page, context, reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace krv
