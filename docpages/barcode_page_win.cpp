// The barcode page (IDD_BARCODE_PAGE): the settings of the eight barcode fonts, the font size an
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
#include "res/barcode_page_ids.h"

namespace krv {

namespace {

struct NumericControl {
    BarcodeNumericField kind;
    NumberField field;
};

constexpr NumericControl kNumericControls[] = {
    {BarcodeNumericField::ElementWidth,
     {IDC_BARCODE_ELEMENT_WIDTH, IDC_BARCODE_ELEMENT_WIDTH_UPDOWN}},
    {BarcodeNumericField::BarHeight, {IDC_BARCODE_BAR_HEIGHT, IDC_BARCODE_BAR_HEIGHT_UPDOWN}},
    {BarcodeNumericField::Gs1ElementWidth,
     {IDC_BARCODE_GS1_ELEMENT_WIDTH, IDC_BARCODE_GS1_ELEMENT_WIDTH_UPDOWN}},
    {BarcodeNumericField::Gs1RowHeight,
     {IDC_BARCODE_GS1_ROW_HEIGHT, IDC_BARCODE_GS1_ROW_HEIGHT_UPDOWN}},
    {BarcodeNumericField::Gs1CompositeRowHeight,
     {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN}},
    {BarcodeNumericField::Gs1SeparatorHeight,
     {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, IDC_BARCODE_GS1_SEPARATOR_HEIGHT_UPDOWN}},
};

const NumericControl* NumericControlOfEdit(int id) {
    for (const NumericControl& control : kNumericControls)
        if (control.field.edit == id) return &control;
    return nullptr;
}

// The page works on the font the font list selects, in the job's record read afresh.
struct BarcodePage : DocumentPage {
    using DocumentPage::DocumentPage;

    int SelectedFont() const { return ComboSelection(dialog, IDC_BARCODE_FONT_LIST); }
    // The selected font's record; null without a record or a selection.
    BarcodeFontRecord* Font() const {
        OemDevmode* record = Record();
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
    const NumericFieldSpec spec = BarcodeFieldSpec(control.kind);
    SetUpNumberField(dialog, control.field, static_cast<int>(spec.lo), static_cast<int>(spec.hi),
                     spec.maxChars);
}

// ---- showing a font's record

// Type, numbers and lists of the selected font (initialisation step 6).
void ShowFontRecord(const BarcodePage& page, const BarcodeFontRecord& font) {
    PageWritingControls writing(page.dialog);
    SelectComboEntry(page.dialog, IDC_BARCODE_TYPE_LIST, font.barcodeType);
    for (const NumericControl& control : kNumericControls)
        ShowNumber(page.dialog, control.field,
                   static_cast<int>(BarcodeFieldValue(font, control.kind)));
    SelectComboEntry(page.dialog, IDC_BARCODE_HRI_POSITION_LIST, font.hriPosition);
    SelectComboEntry(page.dialog, IDC_BARCODE_GS1_HRI_LIST, Gs1HriListIndex(font.gs1Hri));
    SelectComboEntry(page.dialog, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, font.gs1UseAi);
}

void ShowHriFont(const BarcodePage& page, const BarcodeFontRecord& font) {
    const bool enabled = HriFontButtonsEnabled(font.hriPosition);
    EnableControl(page.dialog, IDC_BARCODE_HRI_FONT_A, enabled);
    EnableControl(page.dialog, IDC_BARCODE_HRI_FONT_B, enabled);
    CheckButton(page.dialog, IDC_BARCODE_HRI_FONT_A, font.hriFont == 0);
    CheckButton(page.dialog, IDC_BARCODE_HRI_FONT_B, font.hriFont == 1);
}

void ShowSize(const BarcodePage& page) {
    const BarcodeFontRecord* font = page.Font();
    if (!font) return;
    const BarcodeSizeTexts texts = BarcodeSizeDisplay(*font);
    SetControlText(page.dialog, IDC_BARCODE_MILLIMETRES, texts.millimetres);
    SetControlText(page.dialog, IDC_BARCODE_POINTS, texts.points);
}

// The print button needs data, and a printer to send it to: without the host's common-UI
// parameter block there is none, and the button stays disabled.
void RefreshPrintButton(const BarcodePage& page) {
    const std::u16string data = ControlText(page.dialog, IDC_BARCODE_DATA, kTestDataMaxChars);
    EnableControl(page.dialog, IDC_BARCODE_PRINT,
                  TestPrintButtonEnabled(data) && page.Printer() != nullptr);
}

void PutSampleData(const BarcodePage& page, uint8_t barcodeType) {
    SetControlText(page.dialog, IDC_BARCODE_DATA, BarcodeSampleText(barcodeType));
    RefreshPrintButton(page);
}

// ---- initialisation

void SetUpControls(HWND dialog) {
    FillList(dialog, IDC_BARCODE_FONT_LIST, BarcodeFontListTexts());
    FillList(dialog, IDC_BARCODE_TYPE_LIST, BarcodeTypeListTexts());
    for (const NumericControl& control : kNumericControls)
        SetUpNumericControl(dialog, control);
    SetControlText(dialog, IDC_BARCODE_ELEMENT_WIDTH_RANGE, kElementWidthRangeText);
    SetControlText(dialog, IDC_BARCODE_BAR_HEIGHT_RANGE, kBarHeightRangeText);
    FillList(dialog, IDC_BARCODE_HRI_POSITION_LIST, BarcodeHriPositionListTexts());
    CheckRadioButton(dialog, IDC_BARCODE_HRI_FONT_A, IDC_BARCODE_HRI_FONT_B,
                     IDC_BARCODE_HRI_FONT_A);
    for (int id : {IDC_BARCODE_HRI_FONT_A, IDC_BARCODE_HRI_FONT_B, IDC_BARCODE_MILLIMETRES,
                   IDC_BARCODE_POINTS})
        EnableControl(dialog, id, false);
    for (int id : {IDC_BARCODE_MILLIMETRES, IDC_BARCODE_POINTS})
        SetReadOnly(dialog, id);
    FillList(dialog, IDC_BARCODE_GS1_HRI_LIST, Gs1HriListTexts());
    FillList(dialog, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, ApplicationIdentifierListTexts());
    CheckRadioButton(dialog, IDC_BARCODE_STANDALONE, IDC_BARCODE_COMPOSITE, IDC_BARCODE_STANDALONE);
}

void OnInit(const BarcodePage& page) {
    PageWritingControls writing(page.dialog);
    SetUpControls(page.dialog);
    SelectComboEntry(page.dialog, IDC_BARCODE_FONT_LIST, 0);
    // The application-identifier list keeps the template's state until a font or type is chosen.
    if (const BarcodeFontRecord* font = page.Font()) {
        ShowFontRecord(page, *font);
        ShowHriFont(page, *font);
        ShowSize(page);
        PutSampleData(page, font->barcodeType);
    } else {
        RefreshPrintButton(page);
    }
}

// ---- control notifications

// Every notification of the font list (focus included) shows the selected font afresh and
// replaces the test data with the sample of its type; nothing is stored or reported.
void OnFontList(const BarcodePage& page) {
    const BarcodeFontRecord* font = page.Font();
    if (!font) return;
    ShowFontRecord(page, *font);
    CheckRadioButton(page.dialog, IDC_BARCODE_STANDALONE, IDC_BARCODE_COMPOSITE,
                     IDC_BARCODE_STANDALONE);
    EnableControl(page.dialog, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST,
                  BarcodeApplicationIdentifiersEnabled(font->barcodeType));
    ShowHriFont(page, *font);
    ShowSize(page);
    PutSampleData(page, font->barcodeType);
}

// Every notification of the type list stores its selection, so even focusing it replaces
// the test data with the sample.
void OnTypeList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    const int index = ComboSelection(page.dialog, IDC_BARCODE_TYPE_LIST);
    if (!font || index < 0 || index >= static_cast<int>(BarcodeTypeListTexts().size())) return;
    font->barcodeType = static_cast<uint8_t>(index);
    EnableControl(page.dialog, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST,
                  BarcodeApplicationIdentifiersEnabled(font->barcodeType));
    PutSampleData(page, font->barcodeType);
    ReportPageChanged(page.dialog);
}

void OnHriPositionList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreHriPosition(*font, ComboSelection(page.dialog, IDC_BARCODE_HRI_POSITION_LIST));
    const bool enabled = HriFontButtonsEnabled(font->hriPosition);
    EnableControl(page.dialog, IDC_BARCODE_HRI_FONT_A, enabled);
    EnableControl(page.dialog, IDC_BARCODE_HRI_FONT_B, enabled);
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
    StoreGs1Hri(*font, ComboSelection(page.dialog, IDC_BARCODE_GS1_HRI_LIST));
    ReportPageChanged(page.dialog);
}

void OnApplicationIdentifierList(const BarcodePage& page) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    StoreApplicationIdentifiers(
        *font, ComboSelection(page.dialog, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST));
    ReportPageChanged(page.dialog);
}

// "独立" / "复合": only the composite row height follows the choice; nothing is stored.
void OnGs1Choice(const BarcodePage& page, bool composite) {
    EnableControl(page.dialog, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, composite);
    EnableControl(page.dialog, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, composite);
    ReportPageChanged(page.dialog);
}

// Typed text is clamped, stored and put back through the up-down control.
void OnNumericEdit(const BarcodePage& page, const NumericControl& control) {
    BarcodeFontRecord* font = page.Font();
    if (!font) return;
    const auto store = [&](const std::u16string& text) {
        return static_cast<int>(StoreBarcodeNumericField(*font, control.kind, text));
    };
    if (TakeTypedNumber(page.dialog, control.field, store)) ReportPageChanged(page.dialog);
}

void OnPrint(const BarcodePage& page) {
    const HANDLE printer = page.Printer();
    const OemDevmode* record = page.Record();
    if (!record || !printer) return;
    const std::u16string text = ControlText(page.dialog, IDC_BARCODE_DATA, kTestDataMaxChars);
    WinspoolSpooler spooler(printer);
    const TestPrintStatus status =
        BarcodeTestPrint(spooler, *record, BarcodePageKind::Barcode, page.SelectedFont(), text);
    if (status == TestPrintStatus::DataRefused)
        ShowPageError(page.dialog, reinterpret_cast<const wchar_t*>(kBarcodeDataErrorText),
                      MessageIcon::None);
}

INT_PTR OnCommand(const BarcodePage& page, int id, int code) {
    switch (id) {
        case IDC_BARCODE_FONT_LIST:
            OnFontList(page);
            break;
        case IDC_BARCODE_TYPE_LIST:
            OnTypeList(page);
            break;
        case IDC_BARCODE_HRI_POSITION_LIST:
            OnHriPositionList(page);
            break;
        case IDC_BARCODE_GS1_HRI_LIST:
            OnGs1HriList(page);
            break;
        case IDC_BARCODE_APPLICATION_IDENTIFIER_LIST:
            OnApplicationIdentifierList(page);
            break;
        case IDC_BARCODE_HRI_FONT_A:
        case IDC_BARCODE_HRI_FONT_B:
            if (code == BN_CLICKED) OnHriFont(page, id == IDC_BARCODE_HRI_FONT_B ? 1 : 0);
            break;
        case IDC_BARCODE_STANDALONE:
        case IDC_BARCODE_COMPOSITE:
            if (code == BN_CLICKED) OnGs1Choice(page, id == IDC_BARCODE_COMPOSITE);
            break;
        case IDC_BARCODE_DATA:
            RefreshPrintButton(page);
            break;
        case IDC_BARCODE_PRINT:
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
    if (message == WM_INITDIALOG) {
        if (const BarcodePage* page = CreatePageState<BarcodePage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const BarcodePage* page = PageForMessage<BarcodePage>(dialog, message, wParam, lParam, &result);
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
