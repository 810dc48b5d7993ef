// The two-dimensional code page (template 118): the settings of the two 2D code fonts (PDF417,
// stacked GS1 DataBar, QR Code, Maxi Code) and a test print. The rules live in
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

namespace krv {

namespace {

// Control ids of template 118.
enum : int {
    kFontList = 1020,
    kTypeList = 1022,
    kPdf417LevelList = 1023,
    kGs1HriList = 1024,
    kApplicationIdentifierList = 1025,
    kQrLanguageList = 1026,
    kQrModeList = 1027,
    kQrLevelList = 1028,
    kPdf417ElementWidthEdit = 1047,
    kPdf417ElementHeightEdit = 1048,
    kPdf417ColumnsEdit = 1049,
    kPdf417RowsEdit = 1050,
    kGs1ElementWidthEdit = 1051,
    kGs1RowHeightEdit = 1052,
    kPdf417ElementWidthUpDown = 1053,
    kPdf417ElementHeightUpDown = 1054,
    kSizeField = 1055,
    kPdf417ColumnsUpDown = 1056,
    kPdf417RowsUpDown = 1057,
    kGs1ElementWidthUpDown = 1058,
    kGs1CompositeRowHeightEdit = 1059,
    kGs1CompositeRowHeightUpDown = 1060,
    kGs1SeparatorHeightEdit = 1061,
    kPdf417ElementWidthRange = 1062,
    kPdf417ElementHeightRange = 1063,
    kPdf417ColumnsRange = 1064,
    kPdf417RowsRange = 1065,
    kGs1SeparatorHeightUpDown = 1068,
    kQrModuleWidthEdit = 1071,
    kQrModuleWidthUpDown = 1072,
    kGs1RowHeightUpDown = 1076,
    kSegmentsEdit = 1078,
    kSegmentsUpDown = 1079,
    kSegmentsRange = 1080,
    kStandaloneButton = 1097,
    kCompositeButton = 1098,
    kPrintButton = 1106,
    kDataEdit = 1107,
};

// Enough for any number a user can type into the short numeric edits.
constexpr int kNumberTextChars = 64;

struct NumericControl {
    TwoDimensionalNumericField field;
    int edit;
    int upDown;
};

using Field = TwoDimensionalNumericField;
constexpr NumericControl kNumericControls[] = {
    {Field::Pdf417ElementWidth, kPdf417ElementWidthEdit, kPdf417ElementWidthUpDown},
    {Field::Pdf417ElementHeight, kPdf417ElementHeightEdit, kPdf417ElementHeightUpDown},
    {Field::Pdf417Columns, kPdf417ColumnsEdit, kPdf417ColumnsUpDown},
    {Field::Pdf417Rows, kPdf417RowsEdit, kPdf417RowsUpDown},
    {Field::Gs1ElementWidth, kGs1ElementWidthEdit, kGs1ElementWidthUpDown},
    {Field::Gs1RowHeight, kGs1RowHeightEdit, kGs1RowHeightUpDown},
    {Field::Gs1CompositeRowHeight, kGs1CompositeRowHeightEdit, kGs1CompositeRowHeightUpDown},
    {Field::Gs1SeparatorHeight, kGs1SeparatorHeightEdit, kGs1SeparatorHeightUpDown},
    {Field::Segments, kSegmentsEdit, kSegmentsUpDown},
    {Field::QrModuleWidth, kQrModuleWidthEdit, kQrModuleWidthUpDown},
};

const NumericControl* NumericControlOfEdit(int id) {
    for (const NumericControl& control : kNumericControls)
        if (control.edit == id) return &control;
    return nullptr;
}

struct ListControl {
    TwoDimensionalList list;
    int id;
};

constexpr ListControl kListControls[] = {
    {TwoDimensionalList::Pdf417Level, kPdf417LevelList},
    {TwoDimensionalList::Gs1Hri, kGs1HriList},
    {TwoDimensionalList::ApplicationIdentifiers, kApplicationIdentifierList},
    {TwoDimensionalList::QrLanguage, kQrLanguageList},
    {TwoDimensionalList::QrMode, kQrModeList},
    {TwoDimensionalList::QrLevel, kQrLevelList},
};

const ListControl* ListControlOf(int id) {
    for (const ListControl& control : kListControls)
        if (control.id == id) return &control;
    return nullptr;
}

// The PDF417 edits with their up-downs and the PDF417 level list: enabled for PDF417 only.
constexpr int kPdf417Controls[] = {kPdf417ElementWidthEdit,  kPdf417ElementWidthUpDown,
                                   kPdf417ElementHeightEdit, kPdf417ElementHeightUpDown,
                                   kPdf417ColumnsEdit,       kPdf417ColumnsUpDown,
                                   kPdf417RowsEdit,          kPdf417RowsUpDown,
                                   kPdf417LevelList};

// What one message works on: the page, its context and the job's record, read afresh.
struct TwoDimensionalPage {
    HWND dialog;
    const DocumentSheetContext* context;
    OemDevmode* record;  // null when the host gave none

    int SelectedFont() const { return ComboSelection(dialog, kFontList); }
    // The selected font's record; null without a record or a selection.
    TwoDimensionalCodeRecord* Font() const {
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
    const NumericFieldSpec spec = TwoDimensionalFieldSpec(control.field);
    LimitText(dialog, control.edit, spec.maxChars);
    SetUpDownRange(dialog, control.upDown, static_cast<int>(spec.lo), static_cast<int>(spec.hi));
}

// ---- showing a font's record

// Every control of the selected font (initialisation step 8).
void ShowFontRecord(const TwoDimensionalPage& page, const TwoDimensionalCodeRecord& font) {
    PageWritingControls writing(page.dialog);
    SelectComboEntry(page.dialog, kTypeList, font.codeType);
    for (const NumericControl& control : kNumericControls)
        SetUpDownPosition(page.dialog, control.upDown,
                          static_cast<int>(TwoDimensionalFieldValue(font, control.field)));
    for (const ListControl& control : kListControls)
        SelectComboEntry(page.dialog, control.id, TwoDimensionalListIndex(font, control.list));
}

void ApplyEnables(const TwoDimensionalPage& page, const TwoDimensionalEnables& enables) {
    for (int id : kPdf417Controls)
        EnableControl(page.dialog, id, enables.pdf417);
    EnableControl(page.dialog, kApplicationIdentifierList, enables.applicationIdentifiers);
    if (enables.segments) {
        EnableControl(page.dialog, kSegmentsEdit, *enables.segments);
        EnableControl(page.dialog, kSegmentsUpDown, *enables.segments);
    }
}

// The print button needs data, and a printer to send it to: without the host's common-UI
// parameter block there is none, and the button stays disabled.
void RefreshPrintButton(const TwoDimensionalPage& page) {
    const std::u16string data = ControlText(page.dialog, kDataEdit, kTestDataMaxChars);
    EnableControl(page.dialog, kPrintButton,
                  TestPrintButtonEnabled(data) && PagePrinter(page.context) != nullptr);
}

void PutSampleData(const TwoDimensionalPage& page) {
    SetControlText(page.dialog, kDataEdit, kTwoDimensionalSampleText);
    RefreshPrintButton(page);
}

void SetSegmentsRange(HWND dialog, bool composite) {
    const SegmentsRange range = SegmentsRangeFor(composite);
    SetUpDownRange(dialog, kSegmentsUpDown, static_cast<int>(range.lo), static_cast<int>(range.hi));
    LimitText(dialog, kSegmentsEdit, TwoDimensionalFieldSpec(Field::Segments).maxChars);
}

void CheckStandalone(HWND dialog) {
    CheckRadioButton(dialog, kStandaloneButton, kCompositeButton, kStandaloneButton);
}

// ---- initialisation

void SetUpControls(HWND dialog) {
    FillList(dialog, kFontList, TwoDimensionalFontListTexts());
    FillList(dialog, kTypeList, TwoDimensionalTypeListTexts());
    EnableControl(dialog, kSizeField, false);
    SetReadOnly(dialog, kSizeField);
    SetControlText(dialog, kSizeField, kTwoDimensionalSizeText);
    for (const NumericControl& control : kNumericControls)
        SetUpNumericControl(dialog, control);
    SetControlText(dialog, kPdf417ElementWidthRange, kPdf417ElementWidthRangeText);
    SetControlText(dialog, kPdf417ElementHeightRange, kPdf417ElementHeightRangeText);
    SetControlText(dialog, kPdf417ColumnsRange, kPdf417ColumnsRangeText);
    SetControlText(dialog, kPdf417RowsRange, kPdf417RowsRangeText);
    for (const ListControl& control : kListControls)
        FillList(dialog, control.id, TwoDimensionalListTexts(control.list));
    CheckStandalone(dialog);
}

// No control is enabled or disabled by type here: the template's states stand until a font or
// type is chosen.
INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    const auto* context = StorePageContext<DocumentSheetContext>(dialog, lParam);
    PageWritingControls writing(dialog);
    SetUpControls(dialog);
    const TwoDimensionalPage page{dialog, context, PageRecord(context)};
    PutSampleData(page);
    SelectComboEntry(dialog, kFontList, 0);
    if (const TwoDimensionalCodeRecord* font = page.Font()) ShowFontRecord(page, *font);
    return TRUE;
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
    SetControlText(page.dialog, kSegmentsRange, SegmentsRangeFor(false).rangeText);
    ShowFontRecord(page, *font);
    ApplyEnables(page, EnablesAfterFontChange(font->codeType));
    PutSampleData(page);
}

void OnTypeList(const TwoDimensionalPage& page, int code) {
    if (code != CBN_SELCHANGE) return;
    TwoDimensionalCodeRecord* font = page.Font();
    const int index = ComboSelection(page.dialog, kTypeList);
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
    if (PageWritingControls::Active(page.dialog)) return;
    TwoDimensionalCodeRecord* font = page.Font();
    if (!font) return;
    const std::u16string text = ControlText(page.dialog, control.edit, kNumberTextChars);
    const uint32_t value = StoreTwoDimensionalNumericField(*font, control.field, text);
    {
        PageWritingControls writing(page.dialog);
        SetUpDownPosition(page.dialog, control.upDown, static_cast<int>(value));
    }
    // The segments up-down allows only 4..20 while "复合" is chosen, though the field's bounds
    // stay 2..20: it then shows 4 for a typed 2 or 3, and the record keeps what the field shows.
    StoreTwoDimensionalNumericField(*font, control.field,
                                    ControlText(page.dialog, control.edit, kNumberTextChars));
    ReportPageChanged(page.dialog);
}

// "独立" / "复合": the composite row height and the segments range follow the choice, which
// itself is not stored. Composite needs at least 4 segments: a smaller number in the field is
// replaced by "4", which the segments handling then stores.
void OnGs1Choice(const TwoDimensionalPage& page, bool composite) {
    EnableControl(page.dialog, kGs1CompositeRowHeightEdit, composite);
    EnableControl(page.dialog, kGs1CompositeRowHeightUpDown, composite);
    SetSegmentsRange(page.dialog, composite);
    if (composite) {
        const auto text =
            SegmentsTextOnComposite(ControlText(page.dialog, kSegmentsEdit, kNumberTextChars));
        if (text) SetControlText(page.dialog, kSegmentsEdit, *text);
    }
    SetControlText(page.dialog, kSegmentsRange, SegmentsRangeFor(composite).rangeText);
    ReportPageChanged(page.dialog);
}

void OnPrint(const TwoDimensionalPage& page) {
    const HANDLE printer = PagePrinter(page.context);
    if (!page.record || !printer) return;
    const std::u16string text = ControlText(page.dialog, kDataEdit, kTestDataMaxChars);
    WinspoolSpooler spooler(printer);
    const TestPrintStatus status = BarcodeTestPrint(
        spooler, *page.record, BarcodePageKind::TwoDimensional, page.SelectedFont(), text);
    if (status == TestPrintStatus::DataRefused)
        ShowPageError(page.dialog, reinterpret_cast<const wchar_t*>(kBarcodeDataErrorText),
                      MessageIcon::None);
}

// Numeric edits react to EN_CHANGE (an up-down click arrives the same way); the segments edit
// reacts to every notification it sends.
bool OnNumericNotification(const TwoDimensionalPage& page, int id, int code) {
    const NumericControl* control = NumericControlOfEdit(id);
    if (!control) return false;
    if (code == EN_CHANGE || id == kSegmentsEdit) OnNumericEdit(page, *control);
    return true;
}

INT_PTR OnCommand(const TwoDimensionalPage& page, int id, int code) {
    switch (id) {
        case kFontList:
            OnFontList(page, code);
            return TRUE;
        case kTypeList:
            OnTypeList(page, code);
            return TRUE;
        case kStandaloneButton:
        case kCompositeButton:
            if (code == BN_CLICKED) OnGs1Choice(page, id == kCompositeButton);
            return TRUE;
        case kDataEdit:
            RefreshPrintButton(page);
            return TRUE;
        case kPrintButton:
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
    if (message == WM_INITDIALOG) return OnInitDialog(dialog, lParam);
    const auto* context = PageContext<DocumentSheetContext>(dialog);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(dialog, message, wParam, lParam, &result)) return result;
    const TwoDimensionalPage page{dialog, context, PageRecord(context)};
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            return DefaultPageNotify(dialog, reinterpret_cast<const NMHDR*>(lParam), context);
        default:
            return FALSE;
    }
}

}  // namespace krv
