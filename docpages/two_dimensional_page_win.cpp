// The two-dimensional code page (IDD_TWO_DIMENSIONAL_CODE_PAGE): the settings of the two 2D code
// fonts (PDF417, stacked GS1 DataBar, QR Code, Maxi Code) and a test print. The rules live in
// two_dimensional_page_rules.h and barcode_test_print.h; this file only moves values between
// the controls and the record.
#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>

#include "channel/winspool_win.h"
#include "jobs/barcode_test_print.h"
#include "docpages/two_dimensional_page_rules.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/two_dimensional_page_ids.h"

namespace krv {

namespace {

struct NumericControl {
    TwoDimensionalNumericField kind;
    NumberField field;
};

using Field = TwoDimensionalNumericField;
constexpr NumericControl kNumericControls[] = {
    {Field::Pdf417ElementWidth, {IDC_2D_PDF417_ELEMENT_WIDTH, IDC_2D_PDF417_ELEMENT_WIDTH_UPDOWN}},
    {Field::Pdf417ElementHeight,
     {IDC_2D_PDF417_ELEMENT_HEIGHT, IDC_2D_PDF417_ELEMENT_HEIGHT_UPDOWN}},
    {Field::Pdf417Columns, {IDC_2D_PDF417_COLUMNS, IDC_2D_PDF417_COLUMNS_UPDOWN}},
    {Field::Pdf417Rows, {IDC_2D_PDF417_ROWS, IDC_2D_PDF417_ROWS_UPDOWN}},
    {Field::Gs1ElementWidth, {IDC_2D_GS1_ELEMENT_WIDTH, IDC_2D_GS1_ELEMENT_WIDTH_UPDOWN}},
    {Field::Gs1RowHeight, {IDC_2D_GS1_ROW_HEIGHT, IDC_2D_GS1_ROW_HEIGHT_UPDOWN}},
    {Field::Gs1CompositeRowHeight,
     {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN}},
    {Field::Gs1SeparatorHeight, {IDC_2D_GS1_SEPARATOR_HEIGHT, IDC_2D_GS1_SEPARATOR_HEIGHT_UPDOWN}},
    {Field::Segments, {IDC_2D_SEGMENTS, IDC_2D_SEGMENTS_UPDOWN}},
    {Field::QrModuleWidth, {IDC_2D_QR_MODULE_WIDTH, IDC_2D_QR_MODULE_WIDTH_UPDOWN}},
};

const NumericControl* NumericControlOfEdit(int id) {
    for (const NumericControl& control : kNumericControls)
        if (control.field.edit == id) return &control;
    return nullptr;
}

struct ListControl {
    TwoDimensionalList list;
    int id;
};

constexpr ListControl kListControls[] = {
    {TwoDimensionalList::Pdf417Level, IDC_2D_PDF417_LEVEL_LIST},
    {TwoDimensionalList::Gs1Hri, IDC_2D_GS1_HRI_LIST},
    {TwoDimensionalList::ApplicationIdentifiers, IDC_2D_APPLICATION_IDENTIFIER_LIST},
    {TwoDimensionalList::QrLanguage, IDC_2D_QR_LANGUAGE_LIST},
    {TwoDimensionalList::QrMode, IDC_2D_QR_MODE_LIST},
    {TwoDimensionalList::QrLevel, IDC_2D_QR_LEVEL_LIST},
};

const ListControl* ListControlOf(int id) {
    for (const ListControl& control : kListControls)
        if (control.id == id) return &control;
    return nullptr;
}

// The PDF417 edits with their up-downs and the PDF417 level list: enabled for PDF417 only.
constexpr int kPdf417Controls[] = {
    IDC_2D_PDF417_ELEMENT_WIDTH,  IDC_2D_PDF417_ELEMENT_WIDTH_UPDOWN,
    IDC_2D_PDF417_ELEMENT_HEIGHT, IDC_2D_PDF417_ELEMENT_HEIGHT_UPDOWN,
    IDC_2D_PDF417_COLUMNS,        IDC_2D_PDF417_COLUMNS_UPDOWN,
    IDC_2D_PDF417_ROWS,           IDC_2D_PDF417_ROWS_UPDOWN,
    IDC_2D_PDF417_LEVEL_LIST};

constexpr NumberField kSegmentsField = {IDC_2D_SEGMENTS, IDC_2D_SEGMENTS_UPDOWN};

// The page works on the font the font list selects, in the job's record read afresh.
struct TwoDimensionalPage : DocumentPage {
    using DocumentPage::DocumentPage;

    int SelectedFont() const { return ComboSelection(dialog, IDC_2D_FONT_LIST); }
    // The selected font's record; null without a record or a selection.
    TwoDimensionalCodeRecord* Font() const {
        OemDevmode* record = Record();
        const int index = SelectedFont();
        if (!record || index < 0 || index >= kTwoDimensionalFontCount) return nullptr;
        return &record->twoDimensionalCodeFonts[index];
    }
};

// Fills a list and selects its first entry.
void FillList(HWND dialog, int id, std::span<const std::u16string_view> texts) {
    FillComboList(dialog, id, texts);
    SelectComboEntry(dialog, id, 0);
}

void SetUpNumericControl(HWND dialog, const NumericControl& control) {
    const NumericFieldSpec spec = TwoDimensionalFieldSpec(control.kind);
    SetUpNumberField(dialog, control.field, static_cast<int>(spec.lo), static_cast<int>(spec.hi),
                     spec.maxChars);
}

// ---- showing a font's record

// Every control of the selected font (initialisation step 8).
void ShowFontRecord(const TwoDimensionalPage& page, const TwoDimensionalCodeRecord& font) {
    PageWritingControls writing(page.dialog);
    SelectComboEntry(page.dialog, IDC_2D_TYPE_LIST, font.codeType);
    for (const NumericControl& control : kNumericControls)
        ShowNumber(page.dialog, control.field,
                   static_cast<int>(TwoDimensionalFieldValue(font, control.kind)));
    for (const ListControl& control : kListControls)
        SelectComboEntry(page.dialog, control.id, TwoDimensionalListIndex(font, control.list));
}

void ApplyEnables(const TwoDimensionalPage& page, const TwoDimensionalEnables& enables) {
    for (int id : kPdf417Controls)
        EnableControl(page.dialog, id, enables.pdf417);
    EnableControl(page.dialog, IDC_2D_APPLICATION_IDENTIFIER_LIST, enables.applicationIdentifiers);
    if (enables.segments) {
        EnableControl(page.dialog, IDC_2D_SEGMENTS, *enables.segments);
        EnableControl(page.dialog, IDC_2D_SEGMENTS_UPDOWN, *enables.segments);
    }
}

// The print button needs data, and a printer to send it to: without the host's common-UI
// parameter block there is none, and the button stays disabled.
void RefreshPrintButton(const TwoDimensionalPage& page) {
    const std::u16string data = ControlText(page.dialog, IDC_2D_DATA, kTestDataMaxChars);
    EnableControl(page.dialog, IDC_2D_PRINT,
                  TestPrintButtonEnabled(data) && page.Printer() != nullptr);
}

void PutSampleData(const TwoDimensionalPage& page) {
    SetControlText(page.dialog, IDC_2D_DATA, kTwoDimensionalSampleText);
    RefreshPrintButton(page);
}

void SetSegmentsRange(HWND dialog, bool composite) {
    const SegmentsRange range = SegmentsRangeFor(composite);
    SetUpNumberField(dialog, kSegmentsField, static_cast<int>(range.lo), static_cast<int>(range.hi),
                     TwoDimensionalFieldSpec(Field::Segments).maxChars);
}

void CheckStandalone(HWND dialog) {
    CheckRadioButton(dialog, IDC_2D_STANDALONE, IDC_2D_COMPOSITE, IDC_2D_STANDALONE);
}

// ---- initialisation

void SetUpControls(HWND dialog) {
    FillList(dialog, IDC_2D_FONT_LIST, TwoDimensionalFontListTexts());
    FillList(dialog, IDC_2D_TYPE_LIST, TwoDimensionalTypeListTexts());
    EnableControl(dialog, IDC_2D_SIZE, false);
    SetReadOnly(dialog, IDC_2D_SIZE);
    SetControlText(dialog, IDC_2D_SIZE, kTwoDimensionalSizeText);
    for (const NumericControl& control : kNumericControls)
        SetUpNumericControl(dialog, control);
    SetControlText(dialog, IDC_2D_PDF417_ELEMENT_WIDTH_RANGE, kPdf417ElementWidthRangeText);
    SetControlText(dialog, IDC_2D_PDF417_ELEMENT_HEIGHT_RANGE, kPdf417ElementHeightRangeText);
    SetControlText(dialog, IDC_2D_PDF417_COLUMNS_RANGE, kPdf417ColumnsRangeText);
    SetControlText(dialog, IDC_2D_PDF417_ROWS_RANGE, kPdf417RowsRangeText);
    for (const ListControl& control : kListControls)
        FillList(dialog, control.id, TwoDimensionalListTexts(control.list));
    CheckStandalone(dialog);
}

// No control is enabled or disabled by type here: the template's states stand until a font or
// type is chosen.
void OnInit(const TwoDimensionalPage& page) {
    PageWritingControls writing(page.dialog);
    SetUpControls(page.dialog);
    PutSampleData(page);
    SelectComboEntry(page.dialog, IDC_2D_FONT_LIST, 0);
    if (const TwoDimensionalCodeRecord* font = page.Font()) ShowFontRecord(page, *font);
}

// ---- control notifications

// A new font shows its record and the sample data; nothing is stored or reported. The composite
// row height and the segments keep their enabled state.
void OnFontList(const TwoDimensionalPage& page, int code) {
    if (code != CBN_SELCHANGE) return;
    const TwoDimensionalCodeRecord* font = page.Font();
    if (!font) return;
    // With "独立" checked again the segments take their standalone range back before the record
    // is shown, so that a stored 2 or 3 is shown as it is rather than as the composite minimum.
    CheckStandalone(page.dialog);
    SetSegmentsRange(page.dialog, false);
    SetControlText(page.dialog, IDC_2D_SEGMENTS_RANGE, SegmentsRangeFor(false).rangeText);
    ShowFontRecord(page, *font);
    ApplyEnables(page, EnablesAfterFontChange(font->codeType));
    PutSampleData(page);
}

void OnTypeList(const TwoDimensionalPage& page, int code) {
    if (code != CBN_SELCHANGE) return;
    TwoDimensionalCodeRecord* font = page.Font();
    const int index = ComboSelection(page.dialog, IDC_2D_TYPE_LIST);
    if (!font || index < 0 || index >= static_cast<int>(TwoDimensionalTypeListTexts().size()))
        return;
    font->codeType = static_cast<uint8_t>(index);
    ApplyEnables(page, EnablesAfterTypeChange(font->codeType));
    PutSampleData(page);
    ReportPageChanged(page.dialog);
}

// The value lists store on every notification they send.
void OnValueList(const TwoDimensionalPage& page, const ListControl& control) {
    TwoDimensionalCodeRecord* font = page.Font();
    if (!font) return;
    StoreTwoDimensionalList(*font, control.list, ComboSelection(page.dialog, control.id));
    ReportPageChanged(page.dialog);
}

// Typed text is clamped, stored and put back through the up-down control.
void OnNumericEdit(const TwoDimensionalPage& page, const NumericControl& control) {
    TwoDimensionalCodeRecord* font = page.Font();
    if (!font) return;
    const auto store = [&](const std::u16string& text) {
        return static_cast<int>(StoreTwoDimensionalNumericField(*font, control.kind, text));
    };
    if (!TakeTypedNumber(page.dialog, control.field, store)) return;
    // The segments up-down allows only 4..20 while "复合" is chosen, though the field's bounds
    // stay 2..20: it then shows 4 for a typed 2 or 3, and the record keeps what the field shows.
    store(NumberFieldText(page.dialog, control.field));
    ReportPageChanged(page.dialog);
}

// "独立" / "复合": the composite row height and the segments range follow the choice, which
// itself is not stored. Composite needs at least 4 segments: a smaller number in the field is
// replaced by "4", which the segments handling then stores.
void OnGs1Choice(const TwoDimensionalPage& page, bool composite) {
    EnableControl(page.dialog, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, composite);
    EnableControl(page.dialog, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, composite);
    SetSegmentsRange(page.dialog, composite);
    if (composite) {
        const auto text = SegmentsTextOnComposite(NumberFieldText(page.dialog, kSegmentsField));
        if (text) SetControlText(page.dialog, IDC_2D_SEGMENTS, *text);
    }
    SetControlText(page.dialog, IDC_2D_SEGMENTS_RANGE, SegmentsRangeFor(composite).rangeText);
    ReportPageChanged(page.dialog);
}

void OnPrint(const TwoDimensionalPage& page) {
    const HANDLE printer = page.Printer();
    const OemDevmode* record = page.Record();
    if (!record || !printer) return;
    const std::u16string text = ControlText(page.dialog, IDC_2D_DATA, kTestDataMaxChars);
    WinspoolSpooler spooler(printer);
    const TestPrintStatus status = BarcodeTestPrint(
        spooler, *record, BarcodePageKind::TwoDimensional, page.SelectedFont(), text);
    if (status == TestPrintStatus::DataRefused)
        ShowPageError(page.dialog, reinterpret_cast<const wchar_t*>(kBarcodeDataErrorText),
                      MessageIcon::None);
}

// Numeric edits react to EN_CHANGE (an up-down click arrives the same way); the segments edit
// reacts to every notification it sends.
bool OnNumericNotification(const TwoDimensionalPage& page, int id, int code) {
    const NumericControl* control = NumericControlOfEdit(id);
    if (!control) return false;
    if (code == EN_CHANGE || id == IDC_2D_SEGMENTS) OnNumericEdit(page, *control);
    return true;
}

INT_PTR OnCommand(const TwoDimensionalPage& page, int id, int code) {
    switch (id) {
        case IDC_2D_FONT_LIST:
            OnFontList(page, code);
            return TRUE;
        case IDC_2D_TYPE_LIST:
            OnTypeList(page, code);
            return TRUE;
        case IDC_2D_STANDALONE:
        case IDC_2D_COMPOSITE:
            if (code == BN_CLICKED) OnGs1Choice(page, id == IDC_2D_COMPOSITE);
            return TRUE;
        case IDC_2D_DATA:
            RefreshPrintButton(page);
            return TRUE;
        case IDC_2D_PRINT:
            if (code == BN_CLICKED) OnPrint(page);
            return TRUE;
        default:
            break;
    }
    if (const ListControl* list = ListControlOf(id)) {
        OnValueList(page, *list);
        return TRUE;
    }
    return OnNumericNotification(page, id, code) ? TRUE : FALSE;
}

}  // namespace

INT_PTR CALLBACK TwoDimensionalPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        if (const auto* page = CreatePageState<TwoDimensionalPage>(dialog, lParam)) OnInit(*page);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const TwoDimensionalPage* page =
        PageForMessage<TwoDimensionalPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(*page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return DefaultPageNotify(dialog, reinterpret_cast<const NMHDR*>(lParam), page->context);
        default:
            return FALSE;
    }
}

}  // namespace krv
