// The rules of the operations page and its event-action dialog, apart from the windows: which
// moment is edited, what the dialog shows when it opens and after "默认值", how "确认" reads
// the controls back, and how the edited moment returns into the record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

// The one moment being edited: shared by the operations page and its modal dialog.
struct EventActionWorkingCopy {
    uint8_t eventIndex = 0;  // EventMoment
    uint8_t cutLock = 0;     // 1: no cut may be set at this moment
    uint8_t duplexMode = 0;  // the record's duplexMode when the moment was opened
    EventActionSettings settings;
};

// The module-wide working copy (the dialog is modal: one moment at a time).
EventActionWorkingCopy& SharedEventActionWorkingCopy();

// ---- texts of the dialog (list item index = stored value)
inline constexpr std::array<std::u16string_view, 13> kCashDrawerItems = {u"不打开钱箱",
                                                                         u"打开钱箱 #1 (10ms)",
                                                                         u"打开钱箱 #1 (20ms)",
                                                                         u"打开钱箱 #1 (40ms)",
                                                                         u"打开钱箱 #1 (60ms)",
                                                                         u"打开钱箱 #2 (10ms)",
                                                                         u"打开钱箱 #2 (20ms)",
                                                                         u"打开钱箱 #2 (40ms)",
                                                                         u"打开钱箱 #2 (60ms)",
                                                                         u"打开钱箱 #1+#2 (10ms)",
                                                                         u"打开钱箱 #1+#2 (20ms)",
                                                                         u"打开钱箱 #1+#2 (40ms)",
                                                                         u"打开钱箱 #1+#2 (60ms)"};
inline constexpr std::array<std::u16string_view, 2> kPrompterItems = {u"开启", u"关闭"};
inline constexpr std::array<std::u16string_view, 3> kCutterItems = {u"手动裁纸", u"半切纸",
                                                                    u"全切纸"};
inline constexpr std::array<std::u16string_view, 6> kBuzzerItems = {
    u"关闭蜂鸣器", u"蜂鸣200ms", u"蜂鸣600ms", u"蜂鸣1s", u"蜂鸣2s", u"蜂鸣4s"};
inline constexpr std::array<std::u16string_view, 10> kLogoItems = {
    u"不打印Logo", u"打印Logo1", u"打印Logo2", u"打印Logo3", u"打印Logo4",
    u"打印Logo5",  u"打印Logo6", u"打印Logo7", u"打印Logo8", u"打印Logo9"};
inline constexpr char16_t kCommandTooLongMessage[] = u"指令长度超界！";

inline constexpr int kFeedDistanceMax = 100;
inline constexpr int kBuzzerVolumeMax = 255;
inline constexpr size_t kCommandTextMaxCharacters = 399;  // what "确认" reads of the edit
inline constexpr size_t kCommandParseArea = 500;
inline constexpr size_t kCommandMaxBytes = 128;

// "文档开始", "页开始", "页结束", "文档结束" by event index; empty for any other index.
std::u16string_view EventMomentTitle(uint8_t eventIndex);

// Opening a moment: the block copied out of the record, the duplex mode noted, and for the
// start of the document or page under a duplex mode the cut locked and the cutter off.
EventActionWorkingCopy OpenEventMoment(const OemDevmode& record, EventMoment moment);

// What the dialog's controls show (list selections are -1 when the stored value is not in
// the list).
struct EventActionDialogView {
    bool sendCommandChecked = false;  // IDC_EVENT_SEND_COMMAND
    bool sendCommandEnabled = true;
    std::u16string commandText;  // IDC_EVENT_COMMAND_TEXT
    bool commandEnabled = false;
    bool feedToCutChecked = false;  // IDC_EVENT_FEED_TO_CUT
    bool feedToCutEnabled = true;
    int cashDrawer = 0;  // IDC_EVENT_CASH_DRAWER_LIST
    int prompter = 0;    // IDC_EVENT_PROMPTER_LIST
    int cutter = 0;      // IDC_EVENT_CUTTER_LIST
    bool cutterEnabled = true;
    int buzzer = 0;               // IDC_EVENT_BUZZER_LIST
    int logo = 0;                 // IDC_EVENT_LOGO_LIST
    bool prompterChosen = false;  // IDC_EVENT_PROMPTER_CHOICE checked, else the cash drawer
    bool cashDrawerListEnabled = true;
    bool prompterListEnabled = false;
    int feedDistanceMm = 0;            // IDC_EVENT_FEED_DISTANCE_UPDOWN
    int buzzerVolume = 0;              // IDC_EVENT_BUZZER_VOLUME_UPDOWN
    bool buzzerVolumeEnabled = false;  // IDC_EVENT_BUZZER_VOLUME with its up-down
    int logoAlignment = 0;             // 0..2 checks left, centre or right; -1 none
    bool logoBeforeCut = true;         // IDC_EVENT_BEFORE_CUT checked (else IDC_EVENT_AFTER_CUT)
    bool logoRadiosEnabled = false;    // the alignment and cut radios
};

// The dialog as it opens on the working copy.
EventActionDialogView InitialEventActionView(const EventActionWorkingCopy& copy);
// The dialog after "默认值" (the locks of the moment stay as they opened).
EventActionDialogView EventActionDefaultsView(const EventActionWorkingCopy& copy);

// A typed feed distance or volume: negative or above `max` gives `max`; a text that is no
// whole number (an empty field) gives 0.
int ReadEventNumber(std::u16string_view text, int max);

// The controls as "确认" reads them.
struct EventActionDialogInput {
    std::u16string commandText;  // IDC_EVENT_COMMAND_TEXT
    bool sendCommandChecked = false;
    bool feedToCutChecked = false;
    int cashDrawer = 0;  // selections; -1 (nothing selected) keeps the moment's value
    int prompter = 0;
    int cutter = 0;
    int buzzer = 0;
    int logo = 0;
    std::u16string feedDistanceText;  // IDC_EVENT_FEED_DISTANCE
    std::u16string buzzerVolumeText;  // IDC_EVENT_BUZZER_VOLUME
    bool cashDrawerChosen = true;     // IDC_EVENT_CASH_DRAWER_CHOICE checked
    bool alignLeftChecked = true;     // IDC_EVENT_ALIGN_LEFT
    bool alignCentreChecked = false;  // IDC_EVENT_ALIGN_CENTRE
    bool beforeCutChecked = true;     // IDC_EVENT_BEFORE_CUT
};

// "确认": false when the command text holds more than 128 bytes (show
// kCommandTooLongMessage; the copy is unchanged and the dialog stays open).
bool ConfirmEventAction(EventActionWorkingCopy& copy, const EventActionDialogInput& input);

// After IDOK: the working copy back into its block of the record. False (nothing written)
// for an event index that names no moment.
bool StoreEventMoment(OemDevmode& record, const EventActionWorkingCopy& copy);

}  // namespace krv
