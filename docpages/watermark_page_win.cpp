// The watermark page (template 131): no watermark, an image watermark (a bitmap file) or a
// text watermark, with position, size and brightness, a live preview, and the work file left
// for the driver's rendering side. Every change is written into the record at once; apply
// writes everything again from the controls and, for text, writes the work file.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "docpages/watermark_bitmap.h"
#include "docpages/watermark_canvas_win.h"
#include "docpages/watermark_geometry.h"
#include "docpages/watermark_page_rules.h"
#include "docpages/watermark_preview_win.h"
#include "frame/dialog_controls_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"

namespace krv {

namespace {

enum Control : int {
    kAngle = 1018,
    kText = 1020,
    kFace = 1021,
    kStyle = 1022,
    kPosition = 1023,
    kImagePath = 1047,
    kBrowse = 1049,
    kFontSize = 1052,
    kImageRadio = 1061,
    kNoneRadio = 1077,
    kTextRadio = 1078,
    kFontSizeUpDown = 1080,
    kAngleLabel = 1081,
    kSizePercent = 1082,
    kBrightness = 1083,
    kSizeLabel = 1084,
    kPreviewFrame = 1085,
    kBrightnessLabel = 1086,
};

constexpr int kImageGroup[] = {kImagePath, kBrowse};
constexpr int kTextGroup[] = {kText, kFace, kStyle, kFontSize, kFontSizeUpDown, kAngle};
constexpr int kCommonGroup[] = {kPosition, kSizePercent, kBrightness};

constexpr int kFileNameCharacters = 510;  // the open-file dialog's buffers
constexpr int kTextReadCharacters = 39;   // room when reading the text combo's edit part
constexpr int kComboEntryMaxCharacters = 255;

const wchar_t kTextAsImageNotice[] = L"所有文本将作为图像打印！";
const wchar_t kNoFileName[] = L"未指定文件名！";
const wchar_t kPathTooLong[] = L"所选择的位图文件路径过长！";

// ---- controls

LRESULT Send(HWND page, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageW(page, id, message, wParam, lParam);
}

void EnableGroup(HWND page, const auto& ids, bool enabled) {
    for (const int id : ids)
        EnableControl(page, id, enabled);
}

void ShowControlGroups(HWND page, WatermarkMode mode) {
    const WatermarkControlGroups groups = ControlGroupsFor(mode);
    EnableGroup(page, kImageGroup, groups.image);
    EnableGroup(page, kTextGroup, groups.text);
    EnableGroup(page, kCommonGroup, groups.common);
}

std::optional<WatermarkMode> CheckedMode(HWND page) {
    if (ButtonChecked(page, kNoneRadio)) return WatermarkMode::None;
    if (ButtonChecked(page, kImageRadio)) return WatermarkMode::Image;
    if (ButtonChecked(page, kTextRadio)) return WatermarkMode::Text;
    return std::nullopt;
}

std::u16string ComboEntry(HWND page, int id, int index) {
    const LRESULT length = Send(page, id, CB_GETLBTEXTLEN, index);
    if (index < 0 || length <= 0 || length > kComboEntryMaxCharacters) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    Send(page, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()),
                          wcsnlen(text.data(), text.size()));
}

std::u16string SelectedEntry(HWND page, int id) {
    return ComboEntry(page, id, ComboSelection(page, id));
}

// The selected suggestion, or what the user typed when none is selected.
std::u16string ChosenText(HWND page) {
    const int selection = ComboSelection(page, kText);
    if (selection >= 0) return ComboEntry(page, kText, selection);
    return ControlText(page, kText, kTextReadCharacters);
}

int SliderPosition(HWND page, int id) {
    return static_cast<int>(Send(page, id, TBM_GETPOS));
}

void ShowNumber(HWND page, int labelId, int value) {
    SetDlgItemInt(page, labelId, static_cast<UINT>(value), TRUE);
}

void MoveSlider(HWND page, int id, int labelId, int position) {
    Send(page, id, TBM_SETPOS, TRUE, position);
    ShowNumber(page, labelId, SliderPosition(page, id));
}

void SetUpSlider(HWND page, int id, int labelId, int maximum, int position) {
    Send(page, id, TBM_SETRANGEMIN, FALSE, 0);
    Send(page, id, TBM_SETRANGEMAX, TRUE, maximum);
    MoveSlider(page, id, labelId, position);
}

int TypedFontSize(HWND page) {
    BOOL translated = FALSE;
    return static_cast<int>(GetDlgItemInt(page, kFontSize, &translated, TRUE));
}

// The up-down sets the field's text; that change comes back as the field's own notification.
void MoveFontSize(HWND page, int size) {
    SetUpDownPosition(page, kFontSizeUpDown, size);
    if (TypedFontSize(page) != size) SetDlgItemInt(page, kFontSize, static_cast<UINT>(size), TRUE);
}

// ---- the sheet's printer and the preview

std::u16string PrinterName(const DocumentSheetContext* context) {
    const wchar_t* name = context->sheetParams ? context->sheetParams->pPrinterName : nullptr;
    if (!name) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(name),
                          wcsnlen(name, kWatermarkWorkFileCapacity));
}

std::u16string WorkFile(const DocumentSheetContext* context) {
    return WatermarkWorkFile(PrinterName(context));
}

TextWatermarkSpec ReadTextSpec(HWND page) {
    TextWatermarkSpec spec;
    spec.text = ChosenText(page);
    spec.faceName = SelectedEntry(page, kFace);
    spec.pointSize = TypedFontSize(page);
    spec.angleDegrees = SliderPosition(page, kAngle);
    spec.style = ComboSelection(page, kStyle);
    return spec;
}

void RedrawPreview(HWND page, const DocumentSheetContext* context, bool reportTooLarge) {
    WatermarkPreviewRequest request;
    request.mode = CheckedMode(page).value_or(WatermarkMode::None);
    request.imagePath = ControlText(page, kImagePath, kFileNameCharacters);
    request.text = ReadTextSpec(page);
    request.position = ComboSelection(page, kPosition);
    request.sizePercent = SliderPosition(page, kSizePercent);
    request.brightness = SliderPosition(page, kBrightness);
    request.workFile = WorkFile(context);
    request.reportTooLarge = reportTooLarge;
    OemDevmode* record = PageRecord(context);
    if (record && request.mode == WatermarkMode::Text)
        StoreWatermarkText(*record, request.text.text);
    WatermarkPreview(page, GetDlgItem(page, kPreviewFrame), request);
}

// A stored change: the sheet is told, and the preview follows at once.
void Refresh(HWND page, const DocumentSheetContext* context) {
    ReportPageChanged(page);
    RedrawPreview(page, context, true);
}

// ---- initialisation

int CALLBACK AddTrueTypeFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM page) {
    if (type & TRUETYPE_FONTTYPE)
        Send(reinterpret_cast<HWND>(page), kFace, CB_ADDSTRING, 0,
             reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

void FillFaces(HWND page, const std::u16string& storedFace) {
    Send(page, kFace, CB_RESETCONTENT);
    LOGFONTW wanted = {};
    wanted.lfCharSet = ANSI_CHARSET;
    if (HDC dc = GetDC(page)) {
        EnumFontFamiliesExW(dc, &wanted, AddTrueTypeFace, reinterpret_cast<LPARAM>(page), 0);
        ReleaseDC(page, dc);
    }
    SelectComboEntry(page, kFace, 0);
    if (storedFace.empty()) return;
    const LRESULT found = Send(page, kFace, CB_FINDSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(Wide(storedFace)));
    if (found != CB_ERR) Send(page, kFace, CB_SETCURSEL, found);
}

void FillTexts(HWND page, const std::u16string& storedText) {
    Send(page, kText, CB_RESETCONTENT);
    // One character fewer than the field holds: what is typed is what is stored and drawn.
    Send(page, kText, CB_LIMITTEXT, kWatermarkTextMaxCharacters);
    FillComboList(page, kText, kSuggestedWatermarkTexts);
    if (storedText.empty())
        SelectComboEntry(page, kText, 0);
    else
        SetControlText(page, kText, storedText);
}

void ShowMode(HWND page, WatermarkMode mode) {
    const int radio = mode == WatermarkMode::Image  ? kImageRadio
                      : mode == WatermarkMode::Text ? kTextRadio
                                                    : kNoneRadio;
    for (const int id : {kNoneRadio, kImageRadio, kTextRadio})
        CheckButton(page, id, id == radio);
    ShowControlGroups(page, mode);
}

void ShowRecord(HWND page, const OemDevmode& record) {
    ShowMode(page, ShownWatermarkMode(record.watermarkMode));
    SetReadOnly(page, kImagePath);
    SetControlText(page, kImagePath, StoredWatermarkImagePath(record));
    FillTexts(page, StoredWatermarkText(record));
    FillFaces(page, StoredWatermarkFontName(record));
    FillComboList(page, kStyle, kWatermarkFontStyleNames);
    SelectComboEntry(page, kStyle, record.watermarkFontStyle);
    LimitText(page, kFontSize, 2);
    SetUpDownRange(page, kFontSizeUpDown, kWatermarkFontSizeMin, kWatermarkFontSizeMax);
    SetUpDownPosition(page, kFontSizeUpDown, record.watermarkFontSize);
    SetUpSlider(page, kAngle, kAngleLabel, kWatermarkAngleMax, record.watermarkAngle);
    SetUpSlider(page, kSizePercent, kSizeLabel, kWatermarkSizePercentMax,
                record.watermarkSizePercent);
    SetUpSlider(page, kBrightness, kBrightnessLabel, kWatermarkBrightnessMax,
                record.watermarkBrightness);
    FillComboList(page, kPosition, kWatermarkPositionNames);
    SelectComboEntry(page, kPosition, record.watermarkPosition);
}

// The controls are filled before the context is stored: the notifications they send while
// being filled find no context and are ignored, so opening the page changes nothing.
void OnInit(HWND page, LPARAM pageRecord) {
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(pageRecord);
    const auto* context =
        sheetPage ? reinterpret_cast<const DocumentSheetContext*>(sheetPage->lParam) : nullptr;
    if (const OemDevmode* record = PageRecord(context)) ShowRecord(page, *record);
    StorePageContext<DocumentSheetContext>(page, pageRecord);
}

// ---- commands

void OnModeClicked(HWND page, const DocumentSheetContext* context, OemDevmode& record,
                   WatermarkMode mode) {
    if (ChooseWatermarkMode(record, mode, context->watermarkSwitchedOff))
        ShowPageInformation(page, kTextAsImageNotice);
    ShowControlGroups(page, mode);
    if (mode != WatermarkMode::None) SetReloadImage();
    Refresh(page, context);
}

std::optional<std::u16string> AskForBitmap(HWND page) {
    wchar_t file[kFileNameCharacters] = {};
    wchar_t title[kFileNameCharacters] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = page;
    dialog.lpstrFilter = L"*.bmp\0*.bmp\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = kFileNameCharacters;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = kFileNameCharacters;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT |
                   OFN_LONGNAMES;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(file),
                          wcsnlen(file, kFileNameCharacters));
}

void OnBrowse(HWND page, const DocumentSheetContext* context, OemDevmode& record) {
    const std::optional<std::u16string> chosen = AskForBitmap(page);
    if (!chosen) return;
    // Refused before anything is converted: the record could not keep the path.
    if (!WatermarkImagePathFits(*chosen)) {
        ShowPageError(page, kPathTooLong);
        return;
    }
    const WatermarkConvertResult result = ConvertBitmapTo24(*chosen, WorkFile(context));
    if (result != WatermarkConvertResult::Done) {
        ShowPageError(page, Wide(std::u16string(ConvertFailureMessage(result))));
        return;
    }
    SetControlText(page, kImagePath, *chosen);
    const std::u16string shown = ControlText(page, kImagePath, kFileNameCharacters);
    if (shown.empty()) {
        ShowPageError(page, kNoFileName);
        return;
    }
    StoreWatermarkImagePath(record, shown);
    SetReloadImage();
    Refresh(page, context);
}

void OnPositionChosen(HWND page, const DocumentSheetContext* context, OemDevmode& record) {
    const int position = ComboSelection(page, kPosition);
    if (position < 0) return;
    record.watermarkPosition = static_cast<uint8_t>(position);
    const int size = EffectiveSizePercent(position, record.watermarkSizePercent);
    if (size != record.watermarkSizePercent) {
        record.watermarkSizePercent = static_cast<uint8_t>(size);
        MoveSlider(page, kSizePercent, kSizeLabel, size);
    }
    Refresh(page, context);
}

void StoreFontSize(HWND page, const DocumentSheetContext* context, OemDevmode& record,
                   int (*rule)(int)) {
    const int typed = TypedFontSize(page);
    const int size = rule(typed);
    if (size != typed) {
        MoveFontSize(page, size);  // its change notification stores the size
        return;
    }
    record.watermarkFontSize = static_cast<uint8_t>(size);
    Refresh(page, context);
}

INT_PTR OnCommand(HWND page, const DocumentSheetContext* context, int id, int code) {
    OemDevmode* record = PageRecord(context);
    if (!record) return FALSE;
    const bool clicked = code == BN_CLICKED;
    // The text list follows every change of its selection; the face, style and position
    // lists store a choice once it is confirmed, not while the user moves through them.
    const bool chosen = code == CBN_SELCHANGE;
    const bool confirmed = code == CBN_SELENDOK;
    if (id == kNoneRadio && clicked) {
        OnModeClicked(page, context, *record, WatermarkMode::None);
    } else if (id == kImageRadio && clicked) {
        OnModeClicked(page, context, *record, WatermarkMode::Image);
    } else if (id == kTextRadio && clicked) {
        OnModeClicked(page, context, *record, WatermarkMode::Text);
    } else if (id == kBrowse && clicked) {
        OnBrowse(page, context, *record);
    } else if (id == kText && (chosen || code == CBN_EDITCHANGE)) {
        StoreWatermarkText(*record, ChosenText(page));
        Refresh(page, context);
    } else if (id == kFace && confirmed) {
        StoreWatermarkFontName(*record, SelectedEntry(page, kFace));
        Refresh(page, context);
    } else if (id == kStyle && confirmed && ComboSelection(page, kStyle) >= 0) {
        record->watermarkFontStyle = static_cast<uint8_t>(ComboSelection(page, kStyle));
        Refresh(page, context);
    } else if (id == kPosition && confirmed) {
        OnPositionChosen(page, context, *record);
    } else if (id == kFontSize && code == EN_CHANGE) {
        StoreFontSize(page, context, *record, FontSizeWhileTyping);
    } else if (id == kFontSize && code == EN_KILLFOCUS) {
        StoreFontSize(page, context, *record, FontSizeOnLeaving);
    } else {
        return FALSE;
    }
    return TRUE;
}

// ---- sliders

// The size slider, raised to the tile minimum while the watermark is tiled.
void TakeSizeSlider(HWND page, OemDevmode& record) {
    const int moved = SliderPosition(page, kSizePercent);
    const int size = EffectiveSizePercent(record.watermarkPosition, moved);
    if (size != moved) Send(page, kSizePercent, TBM_SETPOS, TRUE, size);
    ShowNumber(page, kSizeLabel, size);
    record.watermarkSizePercent = static_cast<uint8_t>(size);
}

void TakeAngleSlider(HWND page, OemDevmode& record) {
    record.watermarkAngle = SliderPosition(page, kAngle);
    ShowNumber(page, kAngleLabel, record.watermarkAngle);
}

void TakeBrightnessSlider(HWND page, OemDevmode& record) {
    record.watermarkBrightness = static_cast<uint8_t>(SliderPosition(page, kBrightness));
    ShowNumber(page, kBrightnessLabel, record.watermarkBrightness);
}

// Every scroll code but the end of a track takes all three sliders at once.
INT_PTR OnHorizontalScroll(HWND page, const DocumentSheetContext* context, int code) {
    OemDevmode* record = PageRecord(context);
    if (!record || code >= TB_ENDTRACK) return FALSE;
    TakeAngleSlider(page, *record);
    TakeSizeSlider(page, *record);
    TakeBrightnessSlider(page, *record);
    Refresh(page, context);
    return TRUE;
}

INT_PTR OnSliderReleased(HWND page, const DocumentSheetContext* context, UINT_PTR id) {
    OemDevmode* record = PageRecord(context);
    if (!record) return FALSE;
    if (id == kAngle) {
        TakeAngleSlider(page, *record);
        Refresh(page, context);
    } else if (id == kSizePercent) {
        TakeSizeSlider(page, *record);
        Refresh(page, context);
        ShowNumber(page, kBrightnessLabel, record->watermarkBrightness);
    } else if (id == kBrightness) {
        TakeBrightnessSlider(page, *record);
        Refresh(page, context);
    } else {
        return FALSE;
    }
    return TRUE;
}

// ---- sheet notifications

// Everything again from the controls, in order; a text watermark's work file must be written
// before the host is told the page applied.
bool ApplyControls(HWND page, const DocumentSheetContext* context, OemDevmode& record) {
    const std::optional<WatermarkMode> mode = CheckedMode(page);
    ApplyWatermarkMode(record, mode);
    if (const int position = ComboSelection(page, kPosition); position >= 0)
        record.watermarkPosition = static_cast<uint8_t>(position);
    record.watermarkSizePercent = static_cast<uint8_t>(SliderPosition(page, kSizePercent));
    record.watermarkBrightness = static_cast<uint8_t>(SliderPosition(page, kBrightness));
    const int size = FontSizeOnLeaving(TypedFontSize(page));
    if (size != TypedFontSize(page)) MoveFontSize(page, size);
    record.watermarkFontSize = static_cast<uint8_t>(size);
    record.watermarkAngle = SliderPosition(page, kAngle);
    if (const int style = ComboSelection(page, kStyle); style >= 0)
        record.watermarkFontStyle = static_cast<uint8_t>(style);
    if (mode == WatermarkMode::Image)
        StoreWatermarkImagePath(record, ControlText(page, kImagePath, kFileNameCharacters));
    if (mode != WatermarkMode::Text) return true;
    StoreWatermarkText(record, ChosenText(page));
    StoreWatermarkFontName(record, SelectedEntry(page, kFace));
    return WriteTextWatermark(GetDlgItem(page, kPreviewFrame), ReadTextSpec(page),
                              WorkFile(context));
}

INT_PTR OnApply(HWND page, const DocumentSheetContext* context) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    OemDevmode* record = PageRecord(context);
    if (record && !ApplyControls(page, context, *record)) return FALSE;
    AcknowledgeApply(page, context);
    return TRUE;
}

INT_PTR OnNotify(HWND page, const DocumentSheetContext* context, const NMHDR* header) {
    switch (header->code) {
        case PSN_APPLY:
            return OnApply(page, context);
        case PSN_QUERYCANCEL:
            SetReloadImage();
            SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case NM_RELEASEDCAPTURE:
            return OnSliderReleased(page, context, header->idFrom);
        default:
            return DefaultPageNotify(page, header, context);
    }
}

INT_PTR OnPaint(HWND page, const DocumentSheetContext* context) {
    PAINTSTRUCT paint;
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    RedrawPreview(page, context, false);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInit(page, lParam);
        return TRUE;
    }
    const auto* context = PageContext<DocumentSheetContext>(page);
    if (!context) return FALSE;
    INT_PTR result = FALSE;
    if (DefaultPageSystemMessage(page, message, wParam, lParam, &result)) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(page, context, LOWORD(wParam), HIWORD(wParam));
        case WM_HSCROLL:
            return OnHorizontalScroll(page, context, LOWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(page, context, reinterpret_cast<const NMHDR*>(lParam));
        case WM_PAINT:
            return OnPaint(page, context);
        default:
            return FALSE;
    }
}

}  // namespace krv
