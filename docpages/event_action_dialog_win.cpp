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
#include "res/event_action_dialog_ids.h"
#include "res/resource_ids.h"

namespace krv {

namespace {

constexpr int kLogoRadios[] = {IDC_EVENT_ALIGN_LEFT, IDC_EVENT_ALIGN_CENTRE, IDC_EVENT_ALIGN_RIGHT,
                               IDC_EVENT_BEFORE_CUT, IDC_EVENT_AFTER_CUT};
// Typed numbers are at most 3 digits; a pasted text is read this far, enough to tell that
// it is out of range.
constexpr int kNumberReadCharacters = 16;
constexpr int kNumberLimit = 3;
constexpr NumberField kFeedDistance = {IDC_EVENT_FEED_DISTANCE, IDC_EVENT_FEED_DISTANCE_UPDOWN};
constexpr NumberField kBuzzerVolume = {IDC_EVENT_BUZZER_VOLUME, IDC_EVENT_BUZZER_VOLUME_UPDOWN};

void ChooseCashDrawer(HWND dialog, bool cashDrawer) {
    CheckButton(dialog, IDC_EVENT_CASH_DRAWER_CHOICE, cashDrawer);
    CheckButton(dialog, IDC_EVENT_PROMPTER_CHOICE, !cashDrawer);
    EnableControl(dialog, IDC_EVENT_CASH_DRAWER_LIST, cashDrawer);
    EnableControl(dialog, IDC_EVENT_PROMPTER_LIST, !cashDrawer);
}

void EnableBuzzerVolume(HWND dialog, bool enabled) {
    EnableControl(dialog, IDC_EVENT_BUZZER_VOLUME, enabled);
    EnableControl(dialog, IDC_EVENT_BUZZER_VOLUME_UPDOWN, enabled);
}

void EnableLogoRadios(HWND dialog, bool enabled) {
    for (const int id : kLogoRadios)
        EnableControl(dialog, id, enabled);
}

// Puts a view computed by the rules on the controls: at opening and after "默认值".
void ShowView(HWND dialog, const EventActionDialogView& view) {
    CheckButton(dialog, IDC_EVENT_SEND_COMMAND, view.sendCommandChecked);
    EnableControl(dialog, IDC_EVENT_SEND_COMMAND, view.sendCommandEnabled);
    SetControlText(dialog, IDC_EVENT_COMMAND_TEXT, view.commandText);
    EnableControl(dialog, IDC_EVENT_COMMAND_TEXT, view.commandEnabled);
    CheckButton(dialog, IDC_EVENT_FEED_TO_CUT, view.feedToCutChecked);
    EnableControl(dialog, IDC_EVENT_FEED_TO_CUT, view.feedToCutEnabled);
    SelectComboEntry(dialog, IDC_EVENT_CASH_DRAWER_LIST, view.cashDrawer);
    SelectComboEntry(dialog, IDC_EVENT_PROMPTER_LIST, view.prompter);
    SelectComboEntry(dialog, IDC_EVENT_CUTTER_LIST, view.cutter);
    EnableControl(dialog, IDC_EVENT_CUTTER_LIST, view.cutterEnabled);
    SelectComboEntry(dialog, IDC_EVENT_BUZZER_LIST, view.buzzer);
    SelectComboEntry(dialog, IDC_EVENT_LOGO_LIST, view.logo);
    ChooseCashDrawer(dialog, !view.prompterChosen);
    ShowNumber(dialog, kFeedDistance, view.feedDistanceMm);
    ShowNumber(dialog, kBuzzerVolume, view.buzzerVolume);
    EnableBuzzerVolume(dialog, view.buzzerVolumeEnabled);
    CheckButton(dialog, IDC_EVENT_ALIGN_LEFT, view.logoAlignment == 0);
    CheckButton(dialog, IDC_EVENT_ALIGN_CENTRE, view.logoAlignment == 1);
    CheckButton(dialog, IDC_EVENT_ALIGN_RIGHT, view.logoAlignment == 2);
    CheckButton(dialog, IDC_EVENT_BEFORE_CUT, view.logoBeforeCut);
    CheckButton(dialog, IDC_EVENT_AFTER_CUT, !view.logoBeforeCut);
    EnableLogoRadios(dialog, view.logoRadiosEnabled);
}

void FillLists(HWND dialog) {
    FillComboList(dialog, IDC_EVENT_CASH_DRAWER_LIST, kCashDrawerItems);
    FillComboList(dialog, IDC_EVENT_PROMPTER_LIST, kPrompterItems);
    FillComboList(dialog, IDC_EVENT_CUTTER_LIST, kCutterItems);
    FillComboList(dialog, IDC_EVENT_BUZZER_LIST, kBuzzerItems);
    FillComboList(dialog, IDC_EVENT_LOGO_LIST, kLogoItems);
}

void OnInit(HWND dialog) {
    const EventActionWorkingCopy& copy = SharedEventActionWorkingCopy();
    AttachHexCommandEdit(GetDlgItem(dialog, IDC_EVENT_COMMAND_TEXT));
    const std::u16string title(EventMomentTitle(copy.eventIndex));
    if (!title.empty()) SetWindowTextW(dialog, Wide(title));
    FillLists(dialog);
    SetUpNumberField(dialog, kFeedDistance, 0, kFeedDistanceMax, kNumberLimit);
    SetUpNumberField(dialog, kBuzzerVolume, 0, kBuzzerVolumeMax, kNumberLimit);
    ShowView(dialog, InitialEventActionView(copy));
}

// A number typed into a feed or volume field moves its up-down there; a number out of range
// (pasted, or negative) is shown as the limit. An emptied field is left for the user to fill.
// Nothing is stored until "确认", so the field is left as typed while it holds a number in
// range, however it is spelled.
void FollowTypedNumber(HWND dialog, NumberField field, int max) {
    const std::u16string text = ControlText(dialog, field.edit, kNumberReadCharacters);
    if (text.empty()) return;
    const int value = ReadEventNumber(text, max);
    constexpr int kWide = 1'000'000;  // read against a wide limit to see the clamp
    if (UpDownPosition(dialog, field.upDown) != value)
        SetUpDownPosition(dialog, field.upDown, value);  // the up-down rewrites its buddy
    else if (ReadEventNumber(text, kWide) > max)
        SetControlNumber(dialog, field.edit, value);
}

EventActionDialogInput ReadInput(HWND dialog) {
    EventActionDialogInput input;
    input.commandText =
        ControlText(dialog, IDC_EVENT_COMMAND_TEXT, static_cast<int>(kCommandTextMaxCharacters));
    input.sendCommandChecked = ButtonChecked(dialog, IDC_EVENT_SEND_COMMAND);
    input.feedToCutChecked = ButtonChecked(dialog, IDC_EVENT_FEED_TO_CUT);
    input.cashDrawer = ComboSelection(dialog, IDC_EVENT_CASH_DRAWER_LIST);
    input.prompter = ComboSelection(dialog, IDC_EVENT_PROMPTER_LIST);
    input.cutter = ComboSelection(dialog, IDC_EVENT_CUTTER_LIST);
    input.buzzer = ComboSelection(dialog, IDC_EVENT_BUZZER_LIST);
    input.logo = ComboSelection(dialog, IDC_EVENT_LOGO_LIST);
    input.feedDistanceText = ControlText(dialog, IDC_EVENT_FEED_DISTANCE, kNumberReadCharacters);
    input.buzzerVolumeText = ControlText(dialog, IDC_EVENT_BUZZER_VOLUME, kNumberReadCharacters);
    input.cashDrawerChosen = ButtonChecked(dialog, IDC_EVENT_CASH_DRAWER_CHOICE);
    input.alignLeftChecked = ButtonChecked(dialog, IDC_EVENT_ALIGN_LEFT);
    input.alignCentreChecked = ButtonChecked(dialog, IDC_EVENT_ALIGN_CENTRE);
    input.beforeCutChecked = ButtonChecked(dialog, IDC_EVENT_BEFORE_CUT);
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
        case IDC_EVENT_SEND_COMMAND:
            if (code == BN_CLICKED)
                EnableControl(dialog, IDC_EVENT_COMMAND_TEXT,
                              ButtonChecked(dialog, IDC_EVENT_SEND_COMMAND));
            break;
        case IDC_EVENT_FEED_DISTANCE:
            if (code == EN_CHANGE) FollowTypedNumber(dialog, kFeedDistance, kFeedDistanceMax);
            break;
        case IDC_EVENT_BUZZER_VOLUME:
            if (code == EN_CHANGE) FollowTypedNumber(dialog, kBuzzerVolume, kBuzzerVolumeMax);
            break;
        case IDC_EVENT_CASH_DRAWER_CHOICE:
        case IDC_EVENT_PROMPTER_CHOICE:
            if (code == BN_CLICKED) ChooseCashDrawer(dialog, id == IDC_EVENT_CASH_DRAWER_CHOICE);
            break;
        case IDC_EVENT_BUZZER_LIST:
            if (code == CBN_SELCHANGE)
                EnableBuzzerVolume(dialog, ComboSelection(dialog, IDC_EVENT_BUZZER_LIST) != 0);
            break;
        case IDC_EVENT_LOGO_LIST:  // any notification
            EnableLogoRadios(dialog, ComboSelection(dialog, IDC_EVENT_LOGO_LIST) != 0);
            break;
        case IDC_EVENT_DEFAULTS:
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
