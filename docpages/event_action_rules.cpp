#include "docpages/event_action_rules.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "channel/command_text_codec.h"

namespace krv {

namespace {

bool IsStartMoment(uint8_t eventIndex) {
    return eventIndex == static_cast<uint8_t>(EventMoment::StartOfDocument) ||
           eventIndex == static_cast<uint8_t>(EventMoment::StartOfPage);
}

bool CutLocked(const EventActionWorkingCopy& copy) {
    return copy.duplexMode != 0 && copy.cutLock == 1;
}

// The list entry of a stored value; -1 when the list has no such entry.
template <size_t N>
int Selection(uint8_t value, const std::array<std::u16string_view, N>&) {
    return value < N ? value : -1;
}

// The stored value of a list selection; nothing selected keeps what the moment had.
template <size_t N>
uint8_t Selected(int selection, const std::array<std::u16string_view, N>&, uint8_t current) {
    return selection >= 0 && static_cast<size_t>(selection) < N ? static_cast<uint8_t>(selection)
                                                                : current;
}

// The enable states that the duplex mode fixes when the dialog opens; nothing in the
// dialog changes them afterwards.
void ApplyLocks(const EventActionWorkingCopy& copy, EventActionDialogView& view) {
    if (copy.duplexMode != 0) {
        view.sendCommandEnabled = false;
        view.sendCommandChecked = false;
        view.commandEnabled = false;
        view.commandText.clear();
    }
    if (CutLocked(copy)) {
        view.feedToCutEnabled = false;
        view.feedToCutChecked = false;
        view.cutterEnabled = false;
        view.cutter = 0;
    }
}

void ChooseDrawerOrPrompter(EventActionDialogView& view, bool prompter) {
    view.prompterChosen = prompter;
    view.cashDrawerListEnabled = !prompter;
    view.prompterListEnabled = prompter;
}

}  // namespace

EventActionWorkingCopy& SharedEventActionWorkingCopy() {
    static EventActionWorkingCopy copy;
    return copy;
}

std::u16string_view EventMomentTitle(uint8_t eventIndex) {
    static constexpr std::array<std::u16string_view, 4> kTitles = {u"文档开始", u"页开始",
                                                                   u"页结束", u"文档结束"};
    return eventIndex < kTitles.size() ? kTitles[eventIndex] : std::u16string_view();
}

EventActionWorkingCopy OpenEventMoment(const OemDevmode& record, EventMoment moment) {
    EventActionWorkingCopy copy;
    copy.eventIndex = static_cast<uint8_t>(moment);
    copy.duplexMode = record.duplexMode;
    copy.settings = ReadEventBlock(record, moment);
    // A stored record may claim more command bytes than its 128-byte area holds.
    copy.settings.commandLength = std::min<uint8_t>(copy.settings.commandLength, kCommandMaxBytes);
    copy.cutLock = IsStartMoment(copy.eventIndex) && copy.duplexMode != 0 ? 1 : 0;
    if (copy.cutLock) copy.settings.cutter = 0;
    return copy;
}

EventActionDialogView InitialEventActionView(const EventActionWorkingCopy& copy) {
    const EventActionSettings& s = copy.settings;
    EventActionDialogView view;
    const size_t length = std::min<size_t>(s.commandLength, kCommandMaxBytes);
    view.commandText = CommandTextCodec::Format(std::span(s.commandBytes, length));
    view.sendCommandChecked = s.sendCommand == 1;
    view.commandEnabled = view.sendCommandChecked;
    view.feedToCutChecked = s.feedToCutPosition == 1;
    view.cashDrawer = Selection(s.cashDrawer, kCashDrawerItems);
    view.prompter = Selection(s.prompter, kPrompterItems);
    view.cutter = Selection(s.cutter, kCutterItems);
    view.buzzer = Selection(s.buzzer, kBuzzerItems);
    view.logo = Selection(s.logo, kLogoItems);
    view.feedDistanceMm = std::min<int>(s.feedDistanceMm, kFeedDistanceMax);
    view.buzzerVolume = s.buzzerVolume;
    view.buzzerVolumeEnabled = s.buzzer != 0;
    ChooseDrawerOrPrompter(view, s.drawerOrPrompter != 0);
    view.logoAlignment = s.logoAlignment <= 2 ? s.logoAlignment : -1;
    view.logoBeforeCut = s.logoPosition == 0;
    view.logoRadiosEnabled = s.logo != 0;
    ApplyLocks(copy, view);
    return view;
}

EventActionDialogView EventActionDefaultsView(const EventActionWorkingCopy& copy) {
    EventActionDialogView view;  // no command, no buzzer, no logo, left and before the cut
    ChooseDrawerOrPrompter(view, false);
    const auto event = static_cast<EventMoment>(copy.eventIndex);
    view.cashDrawer = event == EventMoment::StartOfDocument ? 12 : 0;
    // The end of a page always, and the end of a single-sided document, cut partially
    // after feeding to the cutting position.
    if (event == EventMoment::EndOfPage ||
        (event == EventMoment::EndOfDocument && copy.duplexMode == 0)) {
        view.feedToCutChecked = true;
        view.cutter = 1;
    }
    ApplyLocks(copy, view);
    return view;
}

int ReadEventNumber(std::u16string_view text, int max) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;
    long long value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return 0;
        // Saturate just above the limit: any longer number is above it as well.
        value = std::min<long long>(value * 10 + (c - u'0'), static_cast<long long>(max) + 1);
    }
    if (negative && value > 0) return max;
    return static_cast<int>(std::min<long long>(value, max));
}

bool ConfirmEventAction(EventActionWorkingCopy& copy, const EventActionDialogInput& input) {
    std::array<uint8_t, kCommandParseArea> area{};
    size_t count = 0;
    // Under a duplex mode the command field is locked empty: no free bytes may be stored.
    if (copy.duplexMode == 0) {
        const std::u16string_view text =
            std::u16string_view(input.commandText).substr(0, kCommandTextMaxCharacters);
        count = CommandTextCodec::Parse(text, area);
        if (count > kCommandMaxBytes) return false;
    }
    EventActionSettings& s = copy.settings;
    std::memset(s.commandBytes, 0, sizeof s.commandBytes);
    std::memcpy(s.commandBytes, area.data(), count);
    s.commandLength = static_cast<uint8_t>(count);
    s.sendCommand = copy.duplexMode == 0 && input.sendCommandChecked ? 1 : 0;
    s.feedToCutPosition = !CutLocked(copy) && input.feedToCutChecked ? 1 : 0;
    s.cashDrawer = Selected(input.cashDrawer, kCashDrawerItems, s.cashDrawer);
    s.cutter = CutLocked(copy) ? 0 : Selected(input.cutter, kCutterItems, s.cutter);
    s.feedDistanceMm =
        static_cast<uint8_t>(ReadEventNumber(input.feedDistanceText, kFeedDistanceMax));
    s.buzzerVolume =
        static_cast<uint8_t>(ReadEventNumber(input.buzzerVolumeText, kBuzzerVolumeMax));
    s.drawerOrPrompter = input.cashDrawerChosen ? 0 : 1;
    s.prompter = Selected(input.prompter, kPrompterItems, s.prompter);
    s.buzzer = Selected(input.buzzer, kBuzzerItems, s.buzzer);
    s.logo = Selected(input.logo, kLogoItems, s.logo);
    s.logoAlignment = input.alignLeftChecked ? 0 : input.alignCentreChecked ? 1 : 2;
    s.logoPosition = input.beforeCutChecked ? 0 : 1;
    return true;
}

bool StoreEventMoment(OemDevmode& record, const EventActionWorkingCopy& copy) {
    if (copy.eventIndex > static_cast<uint8_t>(EventMoment::EndOfDocument)) return false;
    WriteEventBlock(record, static_cast<EventMoment>(copy.eventIndex), copy.settings);
    return true;
}

}  // namespace krv
