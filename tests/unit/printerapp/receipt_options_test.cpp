#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "jobs/event_actions.h"
#include "printerapp/receipt_options.h"

namespace krv::app {
namespace {

using Values = std::map<std::string, std::string>;

OptionLookup From(const Values& values) {
    return [values](const std::string& name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

ReceiptSettings Read(const Values& values) {
    std::string error;
    const auto s = ReadReceiptSettings(From(values), &error);
    EXPECT_TRUE(s) << error;
    return s.value_or(ReceiptSettings{});
}

OemDevmode DefaultRecord() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r;
}

constexpr EventMoment kMoments[] = {EventMoment::StartOfDocument, EventMoment::StartOfPage,
                                    EventMoment::EndOfPage, EventMoment::EndOfDocument};

TEST(ReceiptOptions, FitInPapplsVendorListWithValidDefaults) {
    ASSERT_LE(ReceiptOptions().size(), kMaxReceiptOptions);
    std::string error;
    // Every option's own default is a value it accepts.
    EXPECT_TRUE(ReadReceiptSettings(From({}), &error)) << error;
}

// The defaults are the default record's: both drawers 60 ms at the start of the document,
// feed to the cutting position and a partial cut at the end of each page.
TEST(ReceiptOptions, DefaultsActAsTheDefaultRecord) {
    const ReceiptSettings s = Read({});
    const OemDevmode record = DefaultRecord();
    for (EventMoment m : kMoments)
        EXPECT_EQ(BuildEventActions(s.At(m)), BuildEventActions(ReadEventBlock(record, m)))
            << static_cast<int>(m);
    EXPECT_EQ(FindReceiptOption("krv-doc-start-drawer")->defaultValue, "both-60ms");
    EXPECT_EQ(FindReceiptOption("krv-page-end-cut")->defaultValue, "feed-partial");
    EXPECT_EQ(s.halftone, HalftoneChoice::ByContent);
    EXPECT_EQ(s.codePage, "GBK");
}

// A record's blocks, turned into option values and read back, make the very commands the
// blocks make.
TEST(ReceiptOptions, RecordValuesReadBackToTheSameCommands) {
    OemDevmode record = DefaultRecord();
    record.duplexMode = 0;
    EventActionSettings a{};
    a.sendCommand = 1;
    a.commandLength = 3;
    a.commandBytes[0] = 0x1B;
    a.commandBytes[1] = 0x21;
    a.commandBytes[2] = 0x08;
    a.cashDrawer = 6;
    a.buzzer = 4;
    a.feedDistanceMm = 37;
    a.cutter = 2;
    a.feedToCutPosition = 1;
    a.logo = 7;
    a.logoAlignment = 2;
    a.logoPosition = 1;
    EventActionSettings b{};
    b.drawerOrPrompter = 1;  // prompter on
    b.cutter = 1;
    b.logo = 1;
    b.logoAlignment = 1;
    WriteEventBlock(record, EventMoment::StartOfDocument, a);
    WriteEventBlock(record, EventMoment::StartOfPage, b);
    WriteEventBlock(record, EventMoment::EndOfDocument, a);
    Values values;
    for (const auto& [name, value] : OptionValuesFromRecord(record))
        values[name] = value;
    EXPECT_EQ(values["krv-doc-start-command"], "1B 21 08");
    EXPECT_EQ(values["krv-doc-start-logo"], "logo7-right-after-cut");
    EXPECT_EQ(values["krv-page-start-drawer"], "prompter");
    const ReceiptSettings s = Read(values);
    for (EventMoment m : kMoments)
        EXPECT_EQ(BuildEventActions(s.At(m)), BuildEventActions(ReadEventBlock(record, m)))
            << static_cast<int>(m);
}

// Under a duplex mode the Windows dialog stores no command bytes and no cut at the start of
// the document or page; a record is read the same way.
TEST(ReceiptOptions, DuplexModeRecordsSendNoCommandsNorStartCuts) {
    OemDevmode record = DefaultRecord();
    ASSERT_NE(record.duplexMode, 0);
    EventActionSettings a{};
    a.sendCommand = 1;
    a.commandLength = 1;
    a.commandBytes[0] = 0x07;
    a.cutter = 2;
    for (EventMoment m : kMoments)
        WriteEventBlock(record, m, a);
    Values values;
    for (const auto& [name, value] : OptionValuesFromRecord(record))
        values[name] = value;
    EXPECT_EQ(values["krv-doc-start-command"], "");
    EXPECT_EQ(values["krv-page-end-command"], "");
    EXPECT_EQ(values["krv-doc-start-cut"], "none");
    EXPECT_EQ(values["krv-page-start-cut"], "none");
    EXPECT_EQ(values["krv-page-end-cut"], "full");
    EXPECT_EQ(values["krv-doc-end-cut"], "full");
}

struct Refused {
    const char* name;
    const char* value;
};

class RefusedValues : public testing::TestWithParam<Refused> {};

TEST_P(RefusedValues, FailTheJobNamingTheOption) {
    std::string error;
    EXPECT_FALSE(ReadReceiptSettings(From({{GetParam().name, GetParam().value}}), &error));
    EXPECT_NE(error.find(GetParam().name), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    EachSyntax, RefusedValues,
    testing::Values(Refused{"krv-doc-end-cut", "half"}, Refused{"krv-page-end-feed", "101"},
                    Refused{"krv-page-end-feed", "-1"}, Refused{"krv-contrast", "5x"},
                    Refused{"krv-brightness", ""}, Refused{"krv-doc-start-command", "1D 5G"},
                    Refused{"krv-doc-start-command", "1B-40"}, Refused{"krv-codepage", "GBK"},
                    Refused{"krv-doc-end-logo", "logo0-left"}));

TEST(ReceiptOptions, CommandTextTakesAtMost128Bytes) {
    std::string text;
    for (int i = 0; i < 128; ++i)
        text += "AB ";
    EXPECT_EQ(
        BuildEventActions(Read({{"krv-doc-end-command", text}}).At(EventMoment::EndOfDocument)),
        Bytes(128, 0xAB));
    std::string error;
    EXPECT_FALSE(ReadReceiptSettings(From({{"krv-doc-end-command", text + "CD"}}), &error));
}

TEST(ReceiptOptions, PictureAndTextOptionsAreRead) {
    const ReceiptSettings s = Read({{"krv-halftone", "m4"},
                                    {"krv-contrast", "-100"},
                                    {"krv-brightness", "100"},
                                    {"krv-printable-width", "384"},
                                    {"krv-codepage", "shift_jis"}});
    EXPECT_EQ(s.halftone, HalftoneChoice::M4);
    EXPECT_EQ(s.contrast, -100);
    EXPECT_EQ(s.brightness, 100);
    EXPECT_EQ(s.printableWidth, 384);
    EXPECT_EQ(s.codePage, "SHIFT_JIS");
}

TEST(ReceiptOptions, HalftoneByContentPicksDiffusionForPhotographsOnly) {
    EXPECT_EQ(MethodFor(HalftoneChoice::ByContent, true), HalftoneMethod::ErrorDiffusion);
    EXPECT_EQ(MethodFor(HalftoneChoice::ByContent, false), HalftoneMethod::None);
    EXPECT_EQ(MethodFor(HalftoneChoice::M3, true), HalftoneMethod::M3);
}

TEST(ReceiptOptions, PrintableWidthComesFromThePaperUnlessSet) {
    EXPECT_EQ(PrintableDots(566, 0), 512);
    EXPECT_EQ(PrintableDots(567, 0), 512);
    EXPECT_EQ(PrintableDots(411, 0), 360);
    EXPECT_EQ(PrintableDots(500, 0), 500);
    EXPECT_EQ(PrintableDots(566, 576), 566);  // never wider than the paper
    EXPECT_EQ(PrintableDots(411, 384), 384);
}

TEST(ReceiptOptions, RecordsAreReadOnlyWithTheirSignature) {
    const OemDevmode d = DefaultRecord();
    const auto* bytes = reinterpret_cast<const uint8_t*>(&d);
    std::string error;
    EXPECT_TRUE(RecordFromBytes(bytes, sizeof d, &error)) << error;
    EXPECT_FALSE(RecordFromBytes(bytes, 11, &error));
    std::vector<uint8_t> longer(bytes, bytes + sizeof d);
    longer.push_back(0);
    EXPECT_FALSE(RecordFromBytes(longer.data(), longer.size(), &error));
    std::vector<uint8_t> foreign(bytes, bytes + sizeof d);
    foreign[4] = 'X';
    EXPECT_FALSE(RecordFromBytes(foreign.data(), foreign.size(), &error));
    EXPECT_NE(error.find("VKRT"), std::string::npos);
}

// An older, shorter record keeps the defaults in the tail it lacks, and the bytes it has.
TEST(ReceiptOptions, AShortRecordKeepsTheDefaultsItLacks) {
    OemDevmode d = DefaultRecord();
    d.startOfDocument.cashDrawer = 3;
    d.endOfPage.cutter = 2;  // beyond the short record's end
    d.header.dwSize = 400;
    std::string error;
    const auto r = RecordFromBytes(reinterpret_cast<const uint8_t*>(&d), 400, &error);
    ASSERT_TRUE(r) << error;
    EXPECT_EQ(r->startOfDocument.cashDrawer, 3);
    EXPECT_EQ(r->endOfPage.cutter, 1);
    EXPECT_EQ(r->header.dwSize, kOemDevmodeSize);
}

}  // namespace
}  // namespace krv::app
