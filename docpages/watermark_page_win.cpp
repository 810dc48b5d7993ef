// The watermark page (IDD_WATERMARK_PAGE): no watermark, an image watermark (a bitmap file) or a
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
#include "frame/gdi_owners_win.h"
#include "frame/page_procedures_win.h"
#include "frame/page_protocol_win.h"
#include "res/watermark_page_ids.h"

namespace krv {

namespace {

// The watermark page reads its controls and the record afresh on every message: it keeps
// nothing between messages beyond its window and context.
struct WatermarkPage : DocumentPage {
    using DocumentPage::DocumentPage;
};

constexpr int kImageGroup[] = {IDC_WATERMARK_IMAGE_PATH, IDC_WATERMARK_BROWSE};
constexpr int kTextGroup[] = {IDC_WATERMARK_TEXT,
                              IDC_WATERMARK_FACE,
                              IDC_WATERMARK_STYLE,
                              IDC_WATERMARK_FONT_SIZE,
                              IDC_WATERMARK_FONT_SIZE_UPDOWN,
                              IDC_WATERMARK_ANGLE};
constexpr int kCommonGroup[] = {IDC_WATERMARK_POSITION, IDC_WATERMARK_SIZE,
                                IDC_WATERMARK_BRIGHTNESS};

constexpr NumberField kFontSizeField = {IDC_WATERMARK_FONT_SIZE, IDC_WATERMARK_FONT_SIZE_UPDOWN};

constexpr int kFileNameCharacters = 510;  // the open-file dialog's buffers
constexpr int kTextReadCharacters = 39;   // room when reading the text combo's edit part
constexpr int kComboEntryMaxCharacters = 255;

const wchar_t kTextAsImageNotice[] = L"所有文本将作为图像打印！";
const wchar_t kNoFileName[] = L"未指定文件名！";
const wchar_t kPathTooLong[] = L"所选择的位图文件路径过长！";

// ---- controls

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
    if (ButtonChecked(page, IDC_WATERMARK_NONE_RADIO)) return WatermarkMode::None;
    if (ButtonChecked(page, IDC_WATERMARK_IMAGE_RADIO)) return WatermarkMode::Image;
    if (ButtonChecked(page, IDC_WATERMARK_TEXT_RADIO)) return WatermarkMode::Text;
    return std::nullopt;
}

std::u16string SelectedEntry(HWND page, int id) {
    return ComboEntryText(page, id, ComboSelection(page, id), kComboEntryMaxCharacters);
}

// The selected suggestion, or what the user typed when none is selected.
std::u16string ChosenText(HWND page) {
    const int selection = ComboSelection(page, IDC_WATERMARK_TEXT);
    if (selection >= 0)
        return ComboEntryText(page, IDC_WATERMARK_TEXT, selection, kComboEntryMaxCharacters);
    return ControlText(page, IDC_WATERMARK_TEXT, kTextReadCharacters);
}

// A slider and the label beside it that shows its position.
void MoveSlider(HWND page, int id, int labelId, int position) {
    SetTrackbarPosition(page, id, position);
    SetControlNumber(page, labelId, TrackbarPosition(page, id));
}

void SetUpSlider(HWND page, int id, int labelId, int maximum, int position) {
    SetTrackbarRange(page, id, 0, maximum);
    MoveSlider(page, id, labelId, position);
}

int TypedFontSize(HWND page) {
    return ControlNumber(page, kFontSizeField.edit);
}

// Not the page's own write: the up-down sets the field's text, and that change comes back as
// the field's own notification, which stores the size.
void MoveFontSize(HWND page, int size) {
    SetUpDownPosition(page, kFontSizeField.upDown, size);
    if (TypedFontSize(page) != size) SetControlNumber(page, kFontSizeField.edit, size);
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
    spec.faceName = SelectedEntry(page, IDC_WATERMARK_FACE);
    spec.pointSize = TypedFontSize(page);
    spec.angleDegrees = TrackbarPosition(page, IDC_WATERMARK_ANGLE);
    spec.style = ComboSelection(page, IDC_WATERMARK_STYLE);
    return spec;
}

void RedrawPreview(const WatermarkPage& page, bool reportTooLarge) {
    WatermarkPreviewRequest request;
    request.mode = CheckedMode(page.dialog).value_or(WatermarkMode::None);
    request.imagePath = ControlText(page.dialog, IDC_WATERMARK_IMAGE_PATH, kFileNameCharacters);
    request.text = ReadTextSpec(page.dialog);
    request.position = ComboSelection(page.dialog, IDC_WATERMARK_POSITION);
    request.sizePercent = TrackbarPosition(page.dialog, IDC_WATERMARK_SIZE);
    request.brightness = TrackbarPosition(page.dialog, IDC_WATERMARK_BRIGHTNESS);
    request.workFile = WorkFile(page.context);
    request.reportTooLarge = reportTooLarge;
    OemDevmode* record = page.Record();
    if (record && request.mode == WatermarkMode::Text)
        StoreWatermarkText(*record, request.text.text);
    WatermarkPreview(page.dialog, GetDlgItem(page.dialog, IDC_WATERMARK_PREVIEW), request);
}

// A stored change: the sheet is told, and the preview follows at once.
void Refresh(const WatermarkPage& page) {
    ReportPageChanged(page.dialog);
    RedrawPreview(page, true);
}

// ---- initialisation

int CALLBACK AddTrueTypeFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM faces) {
    if (type & TRUETYPE_FONTTYPE)
        reinterpret_cast<std::vector<std::u16string>*>(faces)->emplace_back(
            reinterpret_cast<const char16_t*>(font->lfFaceName),
            wcsnlen(font->lfFaceName, LF_FACESIZE));
    return 1;
}

// The TrueType faces in the order the system reports them, the stored one selected when it is
// among them (else the first).
void FillFaces(HWND page, const std::u16string& storedFace) {
    std::vector<std::u16string> faces;
    LOGFONTW wanted = {};
    wanted.lfCharSet = ANSI_CHARSET;
    if (const gdi::WindowDc dc(page); dc.get())
        EnumFontFamiliesExW(dc.get(), &wanted, AddTrueTypeFace, reinterpret_cast<LPARAM>(&faces),
                            0);
    FillComboList(page, IDC_WATERMARK_FACE, faces);
    SelectComboEntry(page, IDC_WATERMARK_FACE, 0);
    if (storedFace.empty()) return;
    const int found = FindComboEntry(page, IDC_WATERMARK_FACE, storedFace);
    if (found >= 0) SelectComboEntry(page, IDC_WATERMARK_FACE, found);
}

void FillTexts(HWND page, const std::u16string& storedText) {
    // One character fewer than the field holds: what is typed is what is stored and drawn.
    SendDlgItemMessageW(page, IDC_WATERMARK_TEXT, CB_LIMITTEXT, kWatermarkTextMaxCharacters, 0);
    FillComboList(page, IDC_WATERMARK_TEXT, kSuggestedWatermarkTexts);
    if (storedText.empty())
        SelectComboEntry(page, IDC_WATERMARK_TEXT, 0);
    else
        SetControlText(page, IDC_WATERMARK_TEXT, storedText);
}

void ShowMode(HWND page, WatermarkMode mode) {
    const int radio = mode == WatermarkMode::Image  ? IDC_WATERMARK_IMAGE_RADIO
                      : mode == WatermarkMode::Text ? IDC_WATERMARK_TEXT_RADIO
                                                    : IDC_WATERMARK_NONE_RADIO;
    for (const int id :
         {IDC_WATERMARK_NONE_RADIO, IDC_WATERMARK_IMAGE_RADIO, IDC_WATERMARK_TEXT_RADIO})
        CheckButton(page, id, id == radio);
    ShowControlGroups(page, mode);
}

void ShowRecord(HWND page, const OemDevmode& record) {
    ShowMode(page, ShownWatermarkMode(record.watermarkMode));
    SetReadOnly(page, IDC_WATERMARK_IMAGE_PATH);
    SetControlText(page, IDC_WATERMARK_IMAGE_PATH, StoredWatermarkImagePath(record));
    FillTexts(page, StoredWatermarkText(record));
    FillFaces(page, StoredWatermarkFontName(record));
    FillComboList(page, IDC_WATERMARK_STYLE, kWatermarkFontStyleNames);
    SelectComboEntry(page, IDC_WATERMARK_STYLE, record.watermarkFontStyle);
    SetUpNumberField(page, kFontSizeField, kWatermarkFontSizeMin, kWatermarkFontSizeMax, 2);
    ShowNumber(page, kFontSizeField, record.watermarkFontSize);
    SetUpSlider(page, IDC_WATERMARK_ANGLE, IDC_WATERMARK_ANGLE_LABEL, kWatermarkAngleMax,
                record.watermarkAngle);
    SetUpSlider(page, IDC_WATERMARK_SIZE, IDC_WATERMARK_SIZE_LABEL, kWatermarkSizePercentMax,
                record.watermarkSizePercent);
    SetUpSlider(page, IDC_WATERMARK_BRIGHTNESS, IDC_WATERMARK_BRIGHTNESS_LABEL,
                kWatermarkBrightnessMax, record.watermarkBrightness);
    FillComboList(page, IDC_WATERMARK_POSITION, kWatermarkPositionNames);
    SelectComboEntry(page, IDC_WATERMARK_POSITION, record.watermarkPosition);
}

// The controls are filled before the page's state is made: the notifications they send while
// being filled find no state and are ignored, so opening the page changes nothing.
void OnInit(HWND dialog, LPARAM pageRecord) {
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(pageRecord);
    const auto* context =
        sheetPage ? reinterpret_cast<const DocumentSheetContext*>(sheetPage->lParam) : nullptr;
    if (const OemDevmode* record = PageRecord(context)) ShowRecord(dialog, *record);
    CreatePageState<WatermarkPage>(dialog, pageRecord);
}

// ---- commands

void OnModeClicked(const WatermarkPage& page, OemDevmode& record, WatermarkMode mode) {
    if (ChooseWatermarkMode(record, mode, page.context->watermarkSwitchedOff))
        ShowPageInformation(page.dialog, kTextAsImageNotice);
    ShowControlGroups(page.dialog, mode);
    if (mode != WatermarkMode::None) SetReloadImage();
    Refresh(page);
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

void OnBrowse(const WatermarkPage& page, OemDevmode& record) {
    const std::optional<std::u16string> chosen = AskForBitmap(page.dialog);
    if (!chosen) return;
    // Refused before anything is converted: the record could not keep the path.
    if (!WatermarkImagePathFits(*chosen)) {
        ShowPageError(page.dialog, kPathTooLong);
        return;
    }
    const WatermarkConvertResult result = ConvertBitmapTo24(*chosen, WorkFile(page.context));
    if (result != WatermarkConvertResult::Done) {
        ShowPageError(page.dialog, Wide(std::u16string(ConvertFailureMessage(result))));
        return;
    }
    SetControlText(page.dialog, IDC_WATERMARK_IMAGE_PATH, *chosen);
    const std::u16string shown =
        ControlText(page.dialog, IDC_WATERMARK_IMAGE_PATH, kFileNameCharacters);
    if (shown.empty()) {
        ShowPageError(page.dialog, kNoFileName);
        return;
    }
    StoreWatermarkImagePath(record, shown);
    SetReloadImage();
    Refresh(page);
}

void OnPositionChosen(const WatermarkPage& page, OemDevmode& record) {
    const int position = ComboSelection(page.dialog, IDC_WATERMARK_POSITION);
    if (position < 0) return;
    record.watermarkPosition = static_cast<uint8_t>(position);
    const int size = EffectiveSizePercent(position, record.watermarkSizePercent);
    if (size != record.watermarkSizePercent) {
        record.watermarkSizePercent = static_cast<uint8_t>(size);
        MoveSlider(page.dialog, IDC_WATERMARK_SIZE, IDC_WATERMARK_SIZE_LABEL, size);
    }
    Refresh(page);
}

void StoreFontSize(const WatermarkPage& page, OemDevmode& record, int (*rule)(int)) {
    const int typed = TypedFontSize(page.dialog);
    const int size = rule(typed);
    if (size != typed) {
        MoveFontSize(page.dialog, size);  // its change notification stores the size
        return;
    }
    record.watermarkFontSize = static_cast<uint8_t>(size);
    Refresh(page);
}

INT_PTR OnCommand(const WatermarkPage& page, int id, int code) {
    OemDevmode* record = page.Record();
    if (!record) return FALSE;
    const bool clicked = code == BN_CLICKED;
    // The text list follows every change of its selection; the face, style and position
    // lists store a choice once it is confirmed, not while the user moves through them.
    const bool chosen = code == CBN_SELCHANGE;
    const bool confirmed = code == CBN_SELENDOK;
    if (id == IDC_WATERMARK_NONE_RADIO && clicked) {
        OnModeClicked(page, *record, WatermarkMode::None);
    } else if (id == IDC_WATERMARK_IMAGE_RADIO && clicked) {
        OnModeClicked(page, *record, WatermarkMode::Image);
    } else if (id == IDC_WATERMARK_TEXT_RADIO && clicked) {
        OnModeClicked(page, *record, WatermarkMode::Text);
    } else if (id == IDC_WATERMARK_BROWSE && clicked) {
        OnBrowse(page, *record);
    } else if (id == IDC_WATERMARK_TEXT && (chosen || code == CBN_EDITCHANGE)) {
        StoreWatermarkText(*record, ChosenText(page.dialog));
        Refresh(page);
    } else if (id == IDC_WATERMARK_FACE && confirmed) {
        StoreWatermarkFontName(*record, SelectedEntry(page.dialog, IDC_WATERMARK_FACE));
        Refresh(page);
    } else if (id == IDC_WATERMARK_STYLE && confirmed &&
               ComboSelection(page.dialog, IDC_WATERMARK_STYLE) >= 0) {
        record->watermarkFontStyle =
            static_cast<uint8_t>(ComboSelection(page.dialog, IDC_WATERMARK_STYLE));
        Refresh(page);
    } else if (id == IDC_WATERMARK_POSITION && confirmed) {
        OnPositionChosen(page, *record);
    } else if (id == IDC_WATERMARK_FONT_SIZE && code == EN_CHANGE) {
        StoreFontSize(page, *record, FontSizeWhileTyping);
    } else if (id == IDC_WATERMARK_FONT_SIZE && code == EN_KILLFOCUS) {
        StoreFontSize(page, *record, FontSizeOnLeaving);
    } else {
        return FALSE;
    }
    return TRUE;
}

// ---- sliders

// The size slider, raised to the tile minimum while the watermark is tiled.
void TakeSizeSlider(HWND page, OemDevmode& record) {
    const int moved = TrackbarPosition(page, IDC_WATERMARK_SIZE);
    const int size = EffectiveSizePercent(record.watermarkPosition, moved);
    if (size != moved) SetTrackbarPosition(page, IDC_WATERMARK_SIZE, size);
    SetControlNumber(page, IDC_WATERMARK_SIZE_LABEL, size);
    record.watermarkSizePercent = static_cast<uint8_t>(size);
}

void TakeAngleSlider(HWND page, OemDevmode& record) {
    record.watermarkAngle = TrackbarPosition(page, IDC_WATERMARK_ANGLE);
    SetControlNumber(page, IDC_WATERMARK_ANGLE_LABEL, record.watermarkAngle);
}

void TakeBrightnessSlider(HWND page, OemDevmode& record) {
    record.watermarkBrightness =
        static_cast<uint8_t>(TrackbarPosition(page, IDC_WATERMARK_BRIGHTNESS));
    SetControlNumber(page, IDC_WATERMARK_BRIGHTNESS_LABEL, record.watermarkBrightness);
}

// Every scroll code but the end of a track takes all three sliders at once.
INT_PTR OnHorizontalScroll(const WatermarkPage& page, int code) {
    OemDevmode* record = page.Record();
    if (!record || code >= TB_ENDTRACK) return FALSE;
    TakeAngleSlider(page.dialog, *record);
    TakeSizeSlider(page.dialog, *record);
    TakeBrightnessSlider(page.dialog, *record);
    Refresh(page);
    return TRUE;
}

INT_PTR OnSliderReleased(const WatermarkPage& page, UINT_PTR id) {
    OemDevmode* record = page.Record();
    if (!record) return FALSE;
    if (id == IDC_WATERMARK_ANGLE) {
        TakeAngleSlider(page.dialog, *record);
        Refresh(page);
    } else if (id == IDC_WATERMARK_SIZE) {
        TakeSizeSlider(page.dialog, *record);
        Refresh(page);
        SetControlNumber(page.dialog, IDC_WATERMARK_BRIGHTNESS_LABEL, record->watermarkBrightness);
    } else if (id == IDC_WATERMARK_BRIGHTNESS) {
        TakeBrightnessSlider(page.dialog, *record);
        Refresh(page);
    } else {
        return FALSE;
    }
    return TRUE;
}

// ---- sheet notifications

// Everything again from the controls, in order; a text watermark's work file must be written
// before the host is told the page applied.
bool ApplyControls(const WatermarkPage& page, OemDevmode& record) {
    const std::optional<WatermarkMode> mode = CheckedMode(page.dialog);
    ApplyWatermarkMode(record, mode);
    if (const int position = ComboSelection(page.dialog, IDC_WATERMARK_POSITION); position >= 0)
        record.watermarkPosition = static_cast<uint8_t>(position);
    record.watermarkSizePercent =
        static_cast<uint8_t>(TrackbarPosition(page.dialog, IDC_WATERMARK_SIZE));
    record.watermarkBrightness =
        static_cast<uint8_t>(TrackbarPosition(page.dialog, IDC_WATERMARK_BRIGHTNESS));
    const int size = FontSizeOnLeaving(TypedFontSize(page.dialog));
    if (size != TypedFontSize(page.dialog)) MoveFontSize(page.dialog, size);
    record.watermarkFontSize = static_cast<uint8_t>(size);
    record.watermarkAngle = TrackbarPosition(page.dialog, IDC_WATERMARK_ANGLE);
    if (const int style = ComboSelection(page.dialog, IDC_WATERMARK_STYLE); style >= 0)
        record.watermarkFontStyle = static_cast<uint8_t>(style);
    if (mode == WatermarkMode::Image)
        StoreWatermarkImagePath(
            record, ControlText(page.dialog, IDC_WATERMARK_IMAGE_PATH, kFileNameCharacters));
    if (mode != WatermarkMode::Text) return true;
    StoreWatermarkText(record, ChosenText(page.dialog));
    StoreWatermarkFontName(record, SelectedEntry(page.dialog, IDC_WATERMARK_FACE));
    return WriteTextWatermark(GetDlgItem(page.dialog, IDC_WATERMARK_PREVIEW),
                              ReadTextSpec(page.dialog), WorkFile(page.context));
}

INT_PTR OnApply(const WatermarkPage& page) {
    SetWindowLongPtrW(page.dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
    OemDevmode* record = page.Record();
    if (record && !ApplyControls(page, *record)) return FALSE;
    AcknowledgeApply(page.dialog, page.context);
    return TRUE;
}

INT_PTR OnNotify(const WatermarkPage& page, const NMHDR* header) {
    switch (header->code) {
        case PSN_APPLY:
            return OnApply(page);
        case PSN_QUERYCANCEL:
            SetReloadImage();
            SetWindowLongPtrW(page.dialog, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case NM_RELEASEDCAPTURE:
            return OnSliderReleased(page, header->idFrom);
        default:
            return DefaultPageNotify(page.dialog, header, page.context);
    }
}

INT_PTR OnPaint(const WatermarkPage& page) {
    PAINTSTRUCT paint;
    BeginPaint(page.dialog, &paint);
    EndPaint(page.dialog, &paint);
    RedrawPreview(page, false);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK WatermarkPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInit(dialog, lParam);
        return TRUE;
    }
    INT_PTR result = FALSE;
    const WatermarkPage* page =
        PageForMessage<WatermarkPage>(dialog, message, wParam, lParam, &result);
    if (!page) return result;
    switch (message) {
        case WM_COMMAND:
            return OnCommand(*page, LOWORD(wParam), HIWORD(wParam));
        case WM_HSCROLL:
            return OnHorizontalScroll(*page, LOWORD(wParam));
        case WM_NOTIFY:
            return OnNotify(*page, reinterpret_cast<const NMHDR*>(lParam));
        case WM_PAINT:
            return OnPaint(*page);
        default:
            return FALSE;
    }
}

}  // namespace krv
