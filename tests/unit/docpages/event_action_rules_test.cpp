#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "docpages/event_action_rules.h"

namespace krv {
namespace {

constexpr EventMoment kMoments[] = {EventMoment::StartOfDocument, EventMoment::StartOfPage,
                                    EventMoment::EndOfPage, EventMoment::EndOfDocument};

OemDevmode Fresh(uint8_t duplexMode) {
    OemDevmode r;
    DefaultOemDevmode(&r);
    r.duplexMode = duplexMode;
    return r;
}

// Every block asks for command bytes and a full cut.
OemDevmode WithCommandsAndCuts(uint8_t duplexMode) {
    OemDevmode r = Fresh(duplexMode);
    for (EventMoment m : kMoments) {
        EventActionSettings s = ReadEventBlock(r, m);
        s.sendCommand = 1;
        s.commandBytes[0] = 0x1D;
        s.commandLength = 1;
        s.cutter = 2;
        s.feedToCutPosition = 1;
        WriteEventBlock(r, m, s);
    }
    return r;
}

std::u16string Number(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

// The controls exactly as the dialog shows them when it opens.
EventActionDialogInput AsShown(const EventActionWorkingCopy& copy) {
    const EventActionDialogView v = InitialEventActionView(copy);
    EventActionDialogInput in;
    in.commandText = v.commandText;
    in.sendCommandChecked = v.sendCommandChecked;
    in.feedToCutChecked = v.feedToCutChecked;
    in.cashDrawer = v.cashDrawer;
    in.prompter = v.prompter;
    in.cutter = v.cutter;
    in.buzzer = v.buzzer;
    in.logo = v.logo;
    in.feedDistanceText = Number(v.feedDistanceMm);
    in.buzzerVolumeText = Number(v.buzzerVolume);
    in.cashDrawerChosen = !v.prompterChosen;
    return in;
}

std::u16string HexBytes(int n) {
    std::u16string text;
    for (int i = 0; i < n; ++i)
        text += u"A5 ";
    return text;
}

TEST(EventActionRules, DuplexModeLocksCommandsEverywhereAndTheCutAtTheStarts) {
    const OemDevmode record = WithCommandsAndCuts(1);
    for (EventMoment m : kMoments) {
        SCOPED_TRACE(static_cast<int>(m));
        const bool start = m == EventMoment::StartOfDocument || m == EventMoment::StartOfPage;
        const EventActionWorkingCopy copy = OpenEventMoment(record, m);
        EXPECT_EQ(copy.cutLock, start ? 1 : 0);
        const EventActionDialogView v = InitialEventActionView(copy);
        EXPECT_FALSE(v.sendCommandEnabled);
        EXPECT_FALSE(v.sendCommandChecked);
        EXPECT_FALSE(v.commandEnabled);
        EXPECT_TRUE(v.commandText.empty());
        EXPECT_EQ(v.cutterEnabled, !start);
        EXPECT_EQ(v.feedToCutEnabled, !start);
        EXPECT_EQ(v.cutter, start ? 0 : 2);
    }
}

TEST(EventActionRules, ConfirmUnderDuplexModeStoresNoCommandAndNoCutAtTheStart) {
    OemDevmode record = WithCommandsAndCuts(1);
    EventActionWorkingCopy copy = OpenEventMoment(record, EventMoment::StartOfPage);
    // Whatever reaches "确认", the locked fields stay off.
    EventActionDialogInput in = AsShown(copy);
    in.commandText = u"1D 56 42 00";
    in.sendCommandChecked = true;
    in.cutter = 2;
    in.feedToCutChecked = true;
    ASSERT_TRUE(ConfirmEventAction(copy, in));
    ASSERT_TRUE(StoreEventMoment(record, copy));
    const EventActionSettings s = ReadEventBlock(record, EventMoment::StartOfPage);
    EXPECT_EQ(s.sendCommand, 0);
    EXPECT_EQ(s.commandLength, 0);
    EXPECT_EQ(s.commandBytes[0], 0);
    EXPECT_EQ(s.cutter, 0);
    EXPECT_EQ(s.feedToCutPosition, 0);
    // The other moments are untouched.
    EXPECT_EQ(ReadEventBlock(record, EventMoment::StartOfDocument).cutter, 2);
}

TEST(EventActionRules, FreshSingleSidedRecordShowsItsDefaults) {
    const OemDevmode record = Fresh(0);
    const auto doc = InitialEventActionView(OpenEventMoment(record, EventMoment::StartOfDocument));
    EXPECT_EQ(doc.cashDrawer, 12);
    EXPECT_TRUE(doc.sendCommandEnabled);
    const auto page = InitialEventActionView(OpenEventMoment(record, EventMoment::EndOfPage));
    EXPECT_TRUE(page.feedToCutChecked);
    EXPECT_EQ(page.cutter, 1);
}

TEST(EventActionRules, CommandOf129BytesIsRefusedAnd128Accepted) {
    EventActionWorkingCopy copy = OpenEventMoment(Fresh(0), EventMoment::EndOfDocument);
    const EventActionWorkingCopy before = copy;
    EventActionDialogInput in = AsShown(copy);
    in.commandText = HexBytes(129);
    in.feedDistanceText = u"55";
    EXPECT_FALSE(ConfirmEventAction(copy, in));
    EXPECT_EQ(std::memcmp(&copy.settings, &before.settings, sizeof copy.settings), 0);

    in.commandText = HexBytes(128);
    in.sendCommandChecked = true;
    ASSERT_TRUE(ConfirmEventAction(copy, in));
    EXPECT_EQ(copy.settings.commandLength, 128);
    EXPECT_EQ(copy.settings.commandBytes[127], 0xA5);
    EXPECT_EQ(copy.settings.sendCommand, 1);
    EXPECT_EQ(copy.settings.feedDistanceMm, 55);
}

TEST(EventActionRules, ConfirmReadsAtMost399CharactersOfCommandText) {
    EventActionWorkingCopy copy = OpenEventMoment(Fresh(0), EventMoment::EndOfDocument);
    EventActionDialogInput in = AsShown(copy);
    // 128 bytes, then blanks up to character 399: the "FF" beyond is never read.
    in.commandText = HexBytes(128) + std::u16string(399 - 384, u' ') + u"FF";
    ASSERT_TRUE(ConfirmEventAction(copy, in));
    EXPECT_EQ(copy.settings.commandLength, 128);
}

TEST(EventActionRules, StoredCommandLengthBeyondTheAreaIsShownAsTheArea) {
    OemDevmode record = Fresh(0);
    record.endOfPage.commandLength = 200;
    const EventActionWorkingCopy copy = OpenEventMoment(record, EventMoment::EndOfPage);
    EXPECT_EQ(copy.settings.commandLength, 128);
    EXPECT_EQ(InitialEventActionView(copy).commandText.size(), 3u * 128);
}

struct NumberCase {
    std::u16string text;
    int max;
    int value;
};

TEST(EventActionRules, TypedNumbersAreClampedToTheirRange) {
    const NumberCase cases[] = {{u"250", 100, 100}, {u"100", 100, 100},
                                {u"999", 255, 255}, {u"0", 255, 0},
                                {u"-5", 100, 100},  {u"-0", 100, 0},
                                {u" 42 ", 100, 42}, {u"99999999999999999999", 255, 255},
                                {u"", 100, 0},      {u"12a", 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadEventNumber(c.text, c.max), c.value)
            << std::string(c.text.begin(), c.text.end());
}

TEST(EventActionRules, ConfirmClampsFeedAndVolume) {
    EventActionWorkingCopy copy = OpenEventMoment(Fresh(0), EventMoment::StartOfDocument);
    EventActionDialogInput in = AsShown(copy);
    in.feedDistanceText = u"250";
    in.buzzerVolumeText = u"999";
    ASSERT_TRUE(ConfirmEventAction(copy, in));
    EXPECT_EQ(copy.settings.feedDistanceMm, 100);
    EXPECT_EQ(copy.settings.buzzerVolume, 255);
    in.buzzerVolumeText = u"0";
    ASSERT_TRUE(ConfirmEventAction(copy, in));
    EXPECT_EQ(copy.settings.buzzerVolume, 0);
}

struct DefaultsCase {
    EventMoment moment;
    uint8_t duplexMode;
    int cashDrawer;
    bool feedToCut;
    int cutter;
};

TEST(EventActionRules, DefaultsDependOnTheMomentAndTheDuplexMode) {
    const DefaultsCase cases[] = {
        {EventMoment::StartOfDocument, 0, 12, false, 0},
        {EventMoment::StartOfDocument, 1, 12, false, 0},
        {EventMoment::StartOfPage, 0, 0, false, 0},
        {EventMoment::EndOfPage, 0, 0, true, 1},
        {EventMoment::EndOfPage, 2, 0, true, 1},
        {EventMoment::EndOfDocument, 0, 0, true, 1},
        {EventMoment::EndOfDocument, 3, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.moment) << "/" << int(c.duplexMode));
        OemDevmode record = WithCommandsAndCuts(c.duplexMode);
        record.startOfDocument.logo = 4;
        record.startOfDocument.buzzer = 2;
        const auto v = EventActionDefaultsView(OpenEventMoment(record, c.moment));
        EXPECT_EQ(v.cashDrawer, c.cashDrawer);
        EXPECT_EQ(v.feedToCutChecked, c.feedToCut);
        EXPECT_EQ(v.cutter, c.cutter);
        EXPECT_FALSE(v.sendCommandChecked);
        EXPECT_FALSE(v.commandEnabled);
        EXPECT_TRUE(v.commandText.empty());
        EXPECT_EQ(v.logo, 0);
        EXPECT_FALSE(v.logoRadiosEnabled);
        EXPECT_FALSE(v.buzzerVolumeEnabled);
        EXPECT_FALSE(v.prompterChosen);
        EXPECT_EQ(v.logoAlignment, 0);
        EXPECT_TRUE(v.logoBeforeCut);
    }
}

TEST(EventActionRules, ValuesOutsideTheListsSelectNothingAndAreKept) {
    OemDevmode record = Fresh(0);
    record.endOfDocument.cashDrawer = 40;
    record.endOfDocument.logoAlignment = 7;
    EventActionWorkingCopy copy = OpenEventMoment(record, EventMoment::EndOfDocument);
    const auto v = InitialEventActionView(copy);
    EXPECT_EQ(v.cashDrawer, -1);
    EXPECT_EQ(v.logoAlignment, -1);
    ASSERT_TRUE(ConfirmEventAction(copy, AsShown(copy)));
    EXPECT_EQ(copy.settings.cashDrawer, 40);
}

TEST(EventActionRules, StoreRefusesAnIndexThatNamesNoMoment) {
    OemDevmode record = Fresh(0);
    const OemDevmode before = record;
    EventActionWorkingCopy copy;
    copy.eventIndex = 4;
    copy.settings.cutter = 2;
    EXPECT_FALSE(StoreEventMoment(record, copy));
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_TRUE(EventMomentTitle(4).empty());
    EXPECT_EQ(EventMomentTitle(2), u"页结束");
}

}  // namespace
}  // namespace krv
