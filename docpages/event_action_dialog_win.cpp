// The event-action dialog: a thin skin over the rules of event_action_rules.h. The dialog
// shows a view the rules computed, and "确认" hands the controls back to them.
#include "docpages/event_action_dialog_win.h"

#include <commctrl.h>

#include <span>
#include <string>
#include <string_view>

#include "channel/hex_command_edit_win.h"
#include "docpages/event_action_rules.h"
#include "frame/module_win.h"
#include "frame/page_protocol_win.h"
#include "res/resource_ids.h"

namespace krv {

namespace {

enum Control : int {
    kDefaults = 3,
    kSendCommand = 1015,
    kCommandText = 1016,
    kCashDrawerList = 1017,
    kCutterList = 1020,
    kFeedDistance = 1021,
    kFeedDistanceUpDown = 1022,
    kFeedToCut = 1023,
    kBuzzerVolume = 1024,
    kCashDrawerChoice = 1025,
    kPrompterChoice = 1026,
    kBuzzerList = 1027,
    kLogoList = 1028,
    kAlignLeft = 1029,
    kAlignCentre = 1030,
    kAlignRight = 1031,
    kPrompterList = 1032,
    kBeforeCut = 1033,
    kAfterCut = 1034,
    kBuzzerVolumeUpDown = 1035,
};

constexpr int kLogoRadios[] = {kAlignLeft, kAlignCentre, kAlignRight, kBeforeCut, kAfterCut};
// Typed numbers are at most 3 digits; a pasted text is read this far, enough to tell that
// it is out of range.
constexpr int kNumberReadCharacters = 16;
constexpr int kNumberLimit = 3;

void SetCheck(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void Select(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FillList(HWND dialog, int id, std::span<const std::u16string_view> items) {
    SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
    for (const std::u16string_view item : items) {
        const std::u16string text(item);
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void SetUpDownRange(HWND dialog, int id, int low, int high) {
    SendDlgItemMessageW(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(low), high);
}

void SetUpDownPosition(HWND dialog, int id, int value) {
    SendDlgItemMessageW(dialog, id, UDM_SETPOS32, 0, value);
}

int UpDownPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, UDM_GETPOS32, 0, 0));
}

void ChooseCashDrawer(HWND dialog, bool cashDrawer) {
    SetCheck(dialog, kCashDrawerChoice, cashDrawer);
    SetCheck(dialog, kPrompterChoice, !cashDrawer);
    Enable(dialog, kCashDrawerList, cashDrawer);
    Enable(dialog, kPrompterList, !cashDrawer);
}

void EnableBuzzerVolume(HWND dialog, bool enabled) {
    Enable(dialog, kBuzzerVolume, enabled);
    Enable(dialog, kBuzzerVolumeUpDown, enabled);
}

void EnableLogoRadios(HWND dialog, bool enabled) {
    for (const int id : kLogoRadios)
        Enable(dialog, id, enabled);
}

// Puts a view computed by the rules on the controls: at opening and after "默认值".
void ShowView(HWND dialog, const EventActionDialogView& view) {
    SetCheck(dialog, kSendCommand, view.sendCommandChecked);
    Enable(dialog, kSendCommand, view.sendCommandEnabled);
    SetControlText(dialog, kCommandText, view.commandText);
    Enable(dialog, kCommandText, view.commandEnabled);
    SetCheck(dialog, kFeedToCut, view.feedToCutChecked);
    Enable(dialog, kFeedToCut, view.feedToCutEnabled);
    Select(dialog, kCashDrawerList, view.cashDrawer);
    Select(dialog, kPrompterList, view.prompter);
    Select(dialog, kCutterList, view.cutter);
    Enable(dialog, kCutterList, view.cutterEnabled);
    Select(dialog, kBuzzerList, view.buzzer);
    Select(dialog, kLogoList, view.logo);
    ChooseCashDrawer(dialog, !view.prompterChosen);
    SetUpDownPosition(dialog, kFeedDistanceUpDown, view.feedDistanceMm);
    SetUpDownPosition(dialog, kBuzzerVolumeUpDown, view.buzzerVolume);
    EnableBuzzerVolume(dialog, view.buzzerVolumeEnabled);
    SetCheck(dialog, kAlignLeft, view.logoAlignment == 0);
    SetCheck(dialog, kAlignCentre, view.logoAlignment == 1);
    SetCheck(dialog, kAlignRight, view.logoAlignment == 2);
    SetCheck(dialog, kBeforeCut, view.logoBeforeCut);
    SetCheck(dialog, kAfterCut, !view.logoBeforeCut);
    EnableLogoRadios(dialog, view.logoRadiosEnabled);
}

void FillLists(HWND dialog) {
    FillList(dialog, kCashDrawerList, kCashDrawerItems);
    FillList(dialog, kPrompterList, kPrompterItems);
    FillList(dialog, kCutterList, kCutterItems);
    FillList(dialog, kBuzzerList, kBuzzerItems);
    FillList(dialog, kLogoList, kLogoItems);
}

void OnInit(HWND dialog) {
    const EventActionWorkingCopy& copy = SharedEventActionWorkingCopy();
    AttachHexCommandEdit(GetDlgItem(dialog, kCommandText));
    const std::u16string title(EventMomentTitle(copy.eventIndex));
    if (!title.empty()) SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(title.c_str()));
    FillLists(dialog);
    SendDlgItemMessageW(dialog, kFeedDistance, EM_LIMITTEXT, kNumberLimit, 0);
    SendDlgItemMessageW(dialog, kBuzzerVolume, EM_LIMITTEXT, kNumberLimit, 0);
    SetUpDownRange(dialog, kFeedDistanceUpDown, 0, kFeedDistanceMax);
    SetUpDownRange(dialog, kBuzzerVolumeUpDown, 0, kBuzzerVolumeMax);
    ShowView(dialog, InitialEventActionView(copy));
}

std::u16string NumberText(int value) {
    std::u16string digits;
    for (const char c : std::to_string(value))
        digits.push_back(static_cast<char16_t>(c));
    return digits;
}

// A number typed into a feed or volume field moves its up-down there; a number out of range
// (pasted, or negative) is shown as the limit. An emptied field is left for the user to fill.
void FollowTypedNumber(HWND dialog, int editId, int upDownId, int max) {
    const std::u16string text = ControlText(dialog, editId, kNumberReadCharacters);
    if (text.empty()) return;
    const int value = ReadEventNumber(text, max);
    constexpr int kWide = 1'000'000;  // read against a wide limit to see the clamp
    if (UpDownPosition(dialog, upDownId) != value)
        SetUpDownPosition(dialog, upDownId, value);  // the up-down rewrites its buddy
    else if (ReadEventNumber(text, kWide) > max)
        SetControlText(dialog, editId, NumberText(value));
}

EventActionDialogInput ReadInput(HWND dialog) {
    EventActionDialogInput input;
    input.commandText =
        ControlText(dialog, kCommandText, static_cast<int>(kCommandTextMaxCharacters));
    input.sendCommandChecked = Checked(dialog, kSendCommand);
    input.feedToCutChecked = Checked(dialog, kFeedToCut);
    input.cashDrawer = Selection(dialog, kCashDrawerList);
    input.prompter = Selection(dialog, kPrompterList);
    input.cutter = Selection(dialog, kCutterList);
    input.buzzer = Selection(dialog, kBuzzerList);
    input.logo = Selection(dialog, kLogoList);
    input.feedDistanceText = ControlText(dialog, kFeedDistance, kNumberReadCharacters);
    input.buzzerVolumeText = ControlText(dialog, kBuzzerVolume, kNumberReadCharacters);
    input.cashDrawerChosen = Checked(dialog, kCashDrawerChoice);
    input.alignLeftChecked = Checked(dialog, kAlignLeft);
    input.alignCentreChecked = Checked(dialog, kAlignCentre);
    input.beforeCutChecked = Checked(dialog, kBeforeCut);
    return input;
}

void OnConfirm(HWND dialog) {
    if (!ConfirmEventAction(SharedEventActionWorkingCopy(), ReadInput(dialog))) {
        ShowPageError(dialog, reinterpret_cast<const wchar_t*>(kCommandTooLongMessage),
                      MessageIcon::None);
        return;
    }
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
        case kSendCommand:
            if (code == BN_CLICKED) Enable(dialog, kCommandText, Checked(dialog, kSendCommand));
            break;
        case kFeedDistance:
            if (code == EN_CHANGE)
                FollowTypedNumber(dialog, kFeedDistance, kFeedDistanceUpDown, kFeedDistanceMax);
            break;
        case kBuzzerVolume:
            if (code == EN_CHANGE)
                FollowTypedNumber(dialog, kBuzzerVolume, kBuzzerVolumeUpDown, kBuzzerVolumeMax);
            break;
        case kCashDrawerChoice:
        case kPrompterChoice:
            if (code == BN_CLICKED) ChooseCashDrawer(dialog, id == kCashDrawerChoice);
            break;
        case kBuzzerList:
            if (code == CBN_SELCHANGE)
                EnableBuzzerVolume(dialog, Selection(dialog, kBuzzerList) != 0);
            break;
        case kLogoList:  // any notification
            EnableLogoRadios(dialog, Selection(dialog, kLogoList) != 0);
            break;
        case kDefaults:
            if (code == BN_CLICKED)
                ShowView(dialog, EventActionDefaultsView(SharedEventActionWorkingCopy()));
            break;
        case IDOK:
            if (code == BN_CLICKED) OnConfirm(dialog);
            break;
        case IDCANCEL:
            if (code == BN_CLICKED) EndDialog(dialog, IDCANCEL);
            break;
        default:
            break;
    }
}

}  // namespace

INT_PTR CALLBACK EventActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR RunEventActionDialog(HWND owner) {
    return ModuleDialogBox(IDD_EVENT_ACTION_DIALOG, owner, EventActionDialogProc, 0);
}

}  // namespace krv
