// The barcode page (template 117): the settings of the eight barcode fonts, the font size an
// application must select for them, and a test print. The rules live in barcode_page_rules.h
// and barcode_test_print.h; this file only moves values between the controls and the record.
#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>

#include "channel/winspool_win.h"
#include "docpages/barcode_page_rules.h"
#include "jobs/barcode_test_print.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"

namespace krv {

namespace {

// Control ids of template 117.
enum : int {
    kPrintButton = 1036,
    kFontList = 1020,
    kTypeList = 1022,
    kHriPositionList = 1023,
    kGs1HriList = 1025,
    kApplicationIdentifierList = 1026,
    kElementWidthEdit = 1047,
    kBarHeightEdit = 1048,
    kGs1ElementWidthEdit = 1049,
    kGs1RowHeightEdit = 1050,
    kGs1CompositeRowHeightEdit = 1051,
    kMillimetreField = 1052,
    kElementWidthUpDown = 1053,
    kBarHeightUpDown = 1054,
    kPointField = 1055,
    kGs1ElementWidthUpDown = 1056,
    kGs1RowHeightUpDown = 1057,
    kGs1CompositeRowHeightUpDown = 1058,
    kGs1SeparatorHeightEdit = 1059,
    kFontAButton = 1060,
    kFontBButton = 1061,
    kElementWidthRange = 1062,
    kBarHeightRange = 1063,
    kGs1SeparatorHeightUpDown = 1066,
    kStandaloneButton = 1099,
    kCompositeButton = 1100,
    kDataEdit = 1104,
};

// Enough for any number a user can type into the short numeric edits.
constexpr int kNumberTextChars = 64;

struct NumericControl {
    BarcodeNumericField field;
    int edit;
    int upDown;
};

constexpr NumericControl kNumericControls[] = {
    {BarcodeNumericField::ElementWidth, kElementWidthEdit, kElementWidthUpDown},
    {BarcodeNumericField::BarHeight, kBarHeightEdit, kBarHeightUpDown},
    {BarcodeNumericField::Gs1ElementWidth, kGs1ElementWidthEdit, kGs1ElementWidthUpDown},
    {BarcodeNumericField::Gs1RowHeight, kGs1RowHeightEdit, kGs1RowHeightUpDown},
    {BarcodeNumericField::Gs1CompositeRowHeight, kGs1CompositeRowHeightEdit,
     kGs1CompositeRowHeightUpDown},
    {BarcodeNumericField::Gs1SeparatorHeight, kGs1SeparatorHeightEdit, kGs1SeparatorHeightUpDown},
};

const NumericControl* NumericControlOfEdit(int id) {
    for (const NumericControl& control : kNumericControls)
        if (control.edit == id) return &control;
    return nullptr;
}

// What one message works on: the page, its context and the job's record, read afresh.
struct BarcodePage {
    HWND dialog;
    const DocumentSheetContext* context;
    OemDevmode* record;  // null when the host gave none

    int SelectedFont() const { return ComboSelection(dialog, kFontList); }
    // The selected font's record; null without a record or a selection.
    BarcodeFontRecord* Font() const {
        const int index = SelectedFont();
        if (!record || index < 0 || index >= kBarcodeFontCount) return nullptr;
        return &record->barcodeFonts[index];
    }
};

// Fills a list and selects its first entry.
void FillList(HWND dialog, int id, std::span<const std::u16string_view> texts) {
    FillComboList(dialog, id, texts);
    SelectComboEntry(dialog, id, 0);
}

void SetUpNumericControl(HWND dialog, const NumericControl& control) {
    const NumericFieldSpec spec = BarcodeFieldSpec(control.field);
    LimitText(dialog, control.edit, spec.maxChars);
    SetUpDownRange(dialog, control.upDown, static_cast<int>(spec.lo), static_cast<int>(spec.hi));
}

// ---- showing a font's record

// Type, numbers and lists of the selected font (initialisation step 6).
void ShowFontRecord(const BarcodePage& page, const BarcodeFontRecord& font) {
    PageWritingControls writing(page.dialog);
    SelectComboEntry(page.dialog, kTypeList, font.barcodeType);
    for (const NumericControl& control : kNumericControls)
        SetUpDownPosition(page.dialog, control.upDown,
                          static_cast<int>(BarcodeFieldValue(font, control.field)));
    SelectComboEntry(page.dialog, kHriPositionList, font.hriPosition);
    SelectComboEntry(page.dialog, kGs1HriList, Gs1HriListIndex(font.gs1Hri));
    SelectComboEntry(page.dialog, kApplicationIdentifierList, font.gs1UseAi);
}

void ShowHriFont(const BarcodePage& page, const BarcodeFontRecord& font) {
    const bool enabled = HriFontButtonsEnabled(font.hriPosition);
    EnableControl(page.dialog, kFontAButton, enabled);
    EnableControl(page.dialog, kFontBButton, enabled);
    CheckButton(page.dialog, kFontAButton, font.hriFont == 0);
    CheckButton(page.dialog, kFontBButton, font.hriFont == 1);
}

void ShowSize(const BarcodePage& page) {
    const BarcodeFontRecord* font = page.Font();
    if (!font) return;
    const BarcodeSizeTexts texts = BarcodeSizeDisplay(*font);
    SetControlText(page.dialog, kMillimetreField, texts.millimetres);
    SetControlText(page.dialog, kPointField, texts.points);
}

// The print button needs data, and a printer to send it to: without the host's common-UI
// parameter block there is none, and the button stays disabled.
void RefreshPrintButton(const BarcodePage& page) {
    const std::u16string data = ControlText(page.dialog, kDataEdit, kTestDataMaxChars);
    EnableControl(page.dialog, kPrintButton,
                  TestPrintButtonEnabled(data) && PagePrinter(page.context) != nullptr);
}

void PutSampleData(const BarcodePage& page, uint8_t barcodeType) {
    SetControlText(page.dialog, kDataEdit, BarcodeSampleText(barcodeType));
    RefreshPrintButton(page);
}

// ---- initialisation

void SetUpControls(HWND dialog) {
    FillList(dialog, kFontList, BarcodeFontListTexts());
    FillList(dialog, kTypeList, BarcodeTypeListTexts());
    for (const NumericControl& control : kNumericControls)
        SetUpNumericControl(dialog, control);
    SetControlText(dialog, kElementWidthRange, kElementWidthRangeText);
    SetControlText(dialog, kBarHeightRange, kBarHeightRangeText);
    FillList(dialog, kHriPositionList, BarcodeHriPositionListTexts());
    CheckRadioButton(dialog, kFontAButton, kFontBButton, kFontAButton);
    for (int id : {kFontAButton, kFontBButton, kMillimetreField, kPointField})
        EnableControl(dialog, id, false);
    for (int id : {kMillimetreField, kPointField})
        SetReadOnly(dialog, id);
    FillList(dialog, kGs1HriList, Gs1HriListTexts());
    FillList(dialog, kApplicationIdentifierList, ApplicationIdentifierListTexts());
    CheckRadioButton(dialog, kStandaloneButton, kCompositeButton, kStandaloneButton);
}

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    const auto* context = StorePageContext<DocumentSheetContext>(dialog, lParam);
    PageWritingControls writing(dialog);
    SetUpControls(dialog);
    const BarcodePage page{dialog, context, PageRecord(context)};
    SelectComboEntry(dialog, kFontList, 0);
    // The application-identifier list keeps the template's state until a font or type is chosen.
    if (const BarcodeFontRecord* font = page.Font()) {
        ShowFontRecord(page, *font);
        ShowHriFont(page, *font);
        ShowSize(page);
        PutSampleData(page, font->barcodeType);
    } else {
        RefreshPrintButton(page);
    }
    return TRUE;
}

// ---- control notifications

// Every notification of the font list (focus included) shows the selected font afresh and
// replaces the test data with the sample of its type; nothing is stored or reported.
void OnFontList(const BarcodePage& page) {
    const BarcodeFontRecord* font = page.Font();
    if (!font) return;
    ShowFontRecord(page, *font);
    CheckRadioButton(page.dialog, kStandaloneButton, kCompositeButton, kStandaloneButton);
    EnableControl(page.dialog, kApplicationIdentifierList,
                  BarcodeApplicationIdentifiersEnabled(font->barcodeType));
    ShowHriFont(page, *font);
    ShowSize(page);
    PutSampleData(page, font->barcodeType);
}

// Every notification of the type list stores its selection, so even focusing it replaces
// the test data with the sample.
void OnTypeList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    const int index = ComboSelection(page.dialog, kTypeList);
    if (!font || index < 0 || index >= static_cast<int>(BarcodeTypeListTexts().size())) return;
    font->barcodeType = static_cast<uint8_t>(index);
    EnableControl(page.dialog, kApplicationIdentifierList,
                  BarcodeApplicationIdentifiersEnabled(font->barcodeType));
    PutSampleData(page, font->barcodeType);
    ReportPageChanged(page.dialog);
}

void OnHriPositionList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreHriPosition(*font, ComboSelection(page.dialog, kHriPositionList));
    const bool enabled = HriFontButtonsEnabled(font->hriPosition);
    EnableControl(page.dialog, kFontAButton, enabled);
    EnableControl(page.dialog, kFontBButton, enabled);
    ReportPageChanged(page.dialog);
}

void OnHriFont(const BarcodePage& page, uint8_t hriFont) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreHriFont(*font, hriFont);
    ReportPageChanged(page.dialog);
}

void OnGs1HriList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreGs1Hri(*font, ComboSelection(page.dialog, kGs1HriList));
    ReportPageChanged(page.dialog);
}

void OnApplicationIdentifierList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreApplicationIdentifiers(*font, ComboSelection(page.dialog, kApplicationIdentifierList));
    ReportPageChanged(page.dialog);
}

// "独立" / "复合": only the composite row height follows the choice; nothing is stored.
void OnGs1Choice(const BarcodePage& page, bool composite) {
    EnableControl(page.dialog, kGs1CompositeRowHeightEdit, composite);
    EnableControl(page.dialog, kGs1CompositeRowHeightUpDown, composite);
    ReportPageChanged(page.dialog);
}

// Typed text is clamped, stored and put back through the up-down control.
void OnNumericEdit(const BarcodePage& page, const NumericControl& control) {
    if (PageWritingControls::Active(page.dialog)) return;
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    const std::u16string text = ControlText(page.dialog, control.edit, kNumberTextChars);
    const uint32_t value = StoreBarcodeNumericField(*font, control.field, text);
    {
        PageWritingControls writing(page.dialog);
        SetUpDownPosition(page.dialog, control.upDown, static_cast<int>(value));
    }
    ReportPageChanged(page.dialog);
}

void OnPrint(const BarcodePage& page) {
    const HANDLE printer = PagePrinter(page.context);
    if (!page.record || !printer) return;
    const std::u16string text = ControlText(page.dialog, kDataEdit, kTestDataMaxChars);
    WinspoolSpooler spooler(printer);
    const TestPrintStatus status = BarcodeTestPrint(spooler, *page.record, BarcodePageKind::Barcode,
                                                    page.SelectedFont(), text);
    if (status == TestPrintStatus::DataRefused)
        ShowPageError(page.dialog, reinterpret_cast<const wchar_t*>(kBarcodeDataErrorText),
                      MessageIcon::None);
}

INT_PTR OnCommand(const BarcodePage& page, int id, int code) {
    switch (id) {
        case kFontList:
            OnFontList(page);
            break;
        case kTypeList:
            OnTypeList(page);
            break;
        case kHriPositionList:
            OnHriPositionList(page);
            break;
        case kGs1HriList:
            OnGs1HriList(page);
            break;
        case kApplicationIdentifierList:
            OnApplicationIdentifierList(page);
            break;
        case kFontAButton:
        case kFontBButton:
            if (code == BN_CLICKED) OnHriFont(page, id == kFontBButton ? 1 : 0);
            break;
        case kStandaloneButton:
        case kCompositeButton:
            if (code == BN_CLICKED) OnGs1Choice(page, id == kCompositeButton);
            break;
        case kDataEdit:
            RefreshPrintButton(page);
            break;
        case kPrintButton:
            if (code == BN_CLICKED) OnPrint(page);
            break;
        default: {
            const NumericControl* control = NumericControlOfEdit(id);
            if (!control || code != EN_CHANGE) return FALSE;
            OnNumericEdit(page, *control);
            break;
        }
    }
    return TRUE;
}

INT_PTR OnNotify(const BarcodePage& page, const NMHDR* header) {
    if (header->code == static_cast<UINT>(PSN_APPLY)) ShowSize(page);
    return DefaultPageNotify(page.dialog, header, page.context);
}

}  // namespace

INT_PTR CALLBACK BarcodePageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog(dialog, lParam);
    const auto* context = PageContext<DocumentSheetContext>(dialog);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(dialog, message, wParam, lParam, &result)) return result;
    const BarcodePage page{dialog, context, PageRecord(context)};
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        default:
            return FALSE;
    }
}

}  // namespace krv
