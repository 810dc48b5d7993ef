// The event-action dialog: a thin skin over the rules of event_action_rules.h. The dialog
// shows a view the rules computed, and "确认" hands the controls back to them.
#include "docpages/event_action_dialog_win.h"

#include <commctrl.h>

#include <span>
#include <string>
#include <string_view>

#include "channel/hex_command_edit_win.h"
#include "docpages/event_action_rules.h"
#include "frame/dialog_controls_win.h"
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

int UpDownPosition(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, UDM_GETPOS32, 0, 0));
}

void ChooseCashDrawer(HWND dialog, bool cashDrawer) {
    CheckButton(dialog, kCashDrawerChoice, cashDrawer);
    CheckButton(dialog, kPrompterChoice, !cashDrawer);
    EnableControl(dialog, kCashDrawerList, cashDrawer);
    EnableControl(dialog, kPrompterList, !cashDrawer);
}

void EnableBuzzerVolume(HWND dialog, bool enabled) {
    EnableControl(dialog, kBuzzerVolume, enabled);
    EnableControl(dialog, kBuzzerVolumeUpDown, enabled);
}

void EnableLogoRadios(HWND dialog, bool enabled) {
    for (const int id : kLogoRadios)
        EnableControl(dialog, id, enabled);
}

// Puts a view computed by the rules on the controls: at opening and after "默认值".
void ShowView(HWND dialog, const EventActionDialogView& view) {
    CheckButton(dialog, kSendCommand, view.sendCommandChecked);
    EnableControl(dialog, kSendCommand, view.sendCommandEnabled);
    SetControlText(dialog, kCommandText, view.commandText);
    EnableControl(dialog, kCommandText, view.commandEnabled);
    CheckButton(dialog, kFeedToCut, view.feedToCutChecked);
    EnableControl(dialog, kFeedToCut, view.feedToCutEnabled);
    SelectComboEntry(dialog, kCashDrawerList, view.cashDrawer);
    SelectComboEntry(dialog, kPrompterList, view.prompter);
    SelectComboEntry(dialog, kCutterList, view.cutter);
    EnableControl(dialog, kCutterList, view.cutterEnabled);
    SelectComboEntry(dialog, kBuzzerList, view.buzzer);
    SelectComboEntry(dialog, kLogoList, view.logo);
    ChooseCashDrawer(dialog, !view.prompterChosen);
    SetUpDownPosition(dialog, kFeedDistanceUpDown, view.feedDistanceMm);
    SetUpDownPosition(dialog, kBuzzerVolumeUpDown, view.buzzerVolume);
    EnableBuzzerVolume(dialog, view.buzzerVolumeEnabled);
    CheckButton(dialog, kAlignLeft, view.logoAlignment == 0);
    CheckButton(dialog, kAlignCentre, view.logoAlignment == 1);
    CheckButton(dialog, kAlignRight, view.logoAlignment == 2);
    CheckButton(dialog, kBeforeCut, view.logoBeforeCut);
    CheckButton(dialog, kAfterCut, !view.logoBeforeCut);
    EnableLogoRadios(dialog, view.logoRadiosEnabled);
}

void FillLists(HWND dialog) {
    FillComboList(dialog, kCashDrawerList, kCashDrawerItems);
    FillComboList(dialog, kPrompterList, kPrompterItems);
    FillComboList(dialog, kCutterList, kCutterItems);
    FillComboList(dialog, kBuzzerList, kBuzzerItems);
    FillComboList(dialog, kLogoList, kLogoItems);
}

void OnInit(HWND dialog) {
    const EventActionWorkingCopy& copy = SharedEventActionWorkingCopy();
    AttachHexCommandEdit(GetDlgItem(dialog, kCommandText));
    const std::u16string title(EventMomentTitle(copy.eventIndex));
    if (!title.empty()) SetWindowTextW(dialog, Wide(title));
    FillLists(dialog);
    LimitText(dialog, kFeedDistance, kNumberLimit);
    LimitText(dialog, kBuzzerVolume, kNumberLimit);
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
    input.sendCommandChecked = ButtonChecked(dialog, kSendCommand);
    input.feedToCutChecked = ButtonChecked(dialog, kFeedToCut);
    input.cashDrawer = ComboSelection(dialog, kCashDrawerList);
    input.prompter = ComboSelection(dialog, kPrompterList);
    input.cutter = ComboSelection(dialog, kCutterList);
    input.buzzer = ComboSelection(dialog, kBuzzerList);
    input.logo = ComboSelection(dialog, kLogoList);
    input.feedDistanceText = ControlText(dialog, kFeedDistance, kNumberReadCharacters);
    input.buzzerVolumeText = ControlText(dialog, kBuzzerVolume, kNumberReadCharacters);
    input.cashDrawerChosen = ButtonChecked(dialog, kCashDrawerChoice);
    input.alignLeftChecked = ButtonChecked(dialog, kAlignLeft);
    input.alignCentreChecked = ButtonChecked(dialog, kAlignCentre);
    input.beforeCutChecked = ButtonChecked(dialog, kBeforeCut);
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
            if (code == BN_CLICKED)
                EnableControl(dialog, kCommandText, ButtonChecked(dialog, kSendCommand));
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
                EnableBuzzerVolume(dialog, ComboSelection(dialog, kBuzzerList) != 0);
            break;
        case kLogoList:  // any notification
            EnableLogoRadios(dialog, ComboSelection(dialog, kLogoList) != 0);
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
