#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "jobs/barcode_test_print.h"
#include "tests/support/recording_spooler.h"

namespace krv {
namespace {

using Call = RecordingSpooler::Call;

Bytes Hex(const std::string& text) {
    std::istringstream in(text);
    Bytes out;
    std::string h;
    while (in >> h)
        out.push_back(static_cast<uint8_t>(std::stoul(h, nullptr, 16)));
    return out;
}

Bytes Ascii(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

OemDevmode Defaults() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r;
}

// Prints through a recording spooler and returns what the printer received.
RecordingSpooler Print(const OemDevmode& r, BarcodePageKind page, int font,
                       const std::u16string& text, TestPrintStatus expected) {
    RecordingSpooler spooler;
    EXPECT_EQ(BarcodeTestPrint(spooler, r, page, font, text), expected);
    return spooler;
}

TEST(BarcodeTestPrint, UpcADefaults) {
    const auto s =
        Print(Defaults(), BarcodePageKind::Barcode, 0, u"123456789012", TestPrintStatus::Built);
    EXPECT_EQ(s.documentName, "Barcode");
    EXPECT_EQ(s.dataType, "RAW");
    EXPECT_EQ(s.Joined(), Hex("0A 0A 1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 00 31 32 33 34 35"
                              " 36 37 38 39 30 31 32 00 0A 1D 56 42 00"));
    // 0A 0A, header, data, 00, trailer: one write each.
    EXPECT_EQ(s.pieces.size(), 5u);
}

TEST(BarcodeTestPrint, Pdf417Defaults) {
    const auto s = Print(Defaults(), BarcodePageKind::TwoDimensional, 0, u"01234567890123",
                         TestPrintStatus::Built);
    EXPECT_EQ(s.documentName, "2Dcode");
    EXPECT_EQ(s.Joined(), Hex("0A 0A 1D 70 01 01 03 03 03 03 1D 71 05 1D 6B 0A 30 31 32 33 34 35"
                              " 36 37 38 39 30 31 32 33 00 0A 1D 56 42 00"));
}

TEST(BarcodeTestPrint, Code128RepeatsTheHeaderWithALengthByte) {
    const auto s =
        Print(Defaults(), BarcodePageKind::Barcode, 7, u"{A1234", TestPrintStatus::Built);
    EXPECT_EQ(s.Joined(), Hex("0A 0A 1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 49 00 1D 77 03 1D"
                              " 68 A3 1D 6B 49 06 7B 41 31 32 33 34 00 0A 1D 56 42 00"));
}

TEST(BarcodeTestPrint, Code128CodeSetCGoesOutPacked) {
    const auto s =
        Print(Defaults(), BarcodePageKind::Barcode, 7, u"{C1234", TestPrintStatus::Built);
    EXPECT_EQ(s.Joined(), Hex("0A 0A 1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 49 00 1D 77 03 1D"
                              " 68 A3 1D 6B 49 04 7B 43 0C 22 00 0A 1D 56 42 00"));
}

TEST(BarcodeTestPrint, Code93UsesSystem72) {
    const auto s =
        Print(Defaults(), BarcodePageKind::Barcode, 6, u"123ABC", TestPrintStatus::Built);
    EXPECT_EQ(s.Joined(), Cat({Hex("0A 0A 1D 66 00 1D 48 00 1D 77 03 1D 68 A3 1D 6B 48 00"
                                   " 1D 77 03 1D 68 A3 1D 6B 48 06"),
                               Ascii("123ABC"), Hex("00 0A 1D 56 42 00")}));
}

TEST(BarcodeTestPrint, Gs1DataBarFromTheBarcodePage) {
    OemDevmode r = Defaults();
    const std::vector<std::pair<uint8_t, uint8_t>> typeToKind = {{9, 1}, {10, 2}, {11, 5}, {12, 6}};
    for (auto [type, kind] : typeToKind) {
        r.barcodeFonts[2].barcodeType = type;
        const auto s =
            Print(r, BarcodePageKind::Barcode, 2, u"01234567890123", TestPrintStatus::Built);
        EXPECT_EQ(s.Joined(), Cat({Hex("0A 0A 1D 66 00 1D 48 00 1D 73"),
                                   {kind},
                                   Hex("02 64 02 01 02 01 01 1D 6B 0D"),
                                   Ascii("01234567890123"),
                                   Hex("00 0A 1D 56 42 00")}))
            << int(type);
    }
}

TEST(BarcodeTestPrint, Gs1DataBarStackedFromTheTwoDimensionalPageSendsItsSegments) {
    OemDevmode r = Defaults();
    auto& f = r.twoDimensionalCodeFonts[1];
    f.gs1Segments = 20;
    f.gs1RowHeight = 0x1FA;  // only the low byte is sent
    const std::vector<std::pair<uint8_t, uint8_t>> typeToKind = {{1, 3}, {2, 4}, {3, 7}};
    for (auto [type, kind] : typeToKind) {
        f.codeType = type;
        const auto s =
            Print(r, BarcodePageKind::TwoDimensional, 1, u"0123", TestPrintStatus::Built);
        EXPECT_EQ(s.Joined(), Cat({Hex("0A 0A 1D 66 00 1D 48 00 1D 73"),
                                   {kind},
                                   Hex("02 FA 02 02 14 01 01 1D 6B 0D 30 31 32 33 00"),
                                   Hex("0A 1D 56 42 00")}))
            << int(type);
    }
}

TEST(BarcodeTestPrint, QrCodeErrorCorrectionLetter) {
    OemDevmode r = Defaults();
    auto& f = r.twoDimensionalCodeFonts[0];
    f.codeType = 4;
    const std::vector<std::pair<uint8_t, uint8_t>> letters = {{0, 'L'}, {1, 'M'}, {2, 'H'},
                                                              {3, 'Q'}, {4, 'Q'}, {255, 'Q'}};
    for (auto [level, letter] : letters) {
        f.qrErrorLevel = level;
        const auto s = Print(r, BarcodePageKind::TwoDimensional, 0, u"ABC", TestPrintStatus::Built);
        EXPECT_EQ(s.Joined(), Cat({Hex("0A 0A 1D 6F 00 03 00 01 1D 6B 0B"),
                                   {letter},
                                   Hex("41 2C 41 42 43 00 0A 1D 56 42 00")}))
            << int(level);
    }
}

TEST(BarcodeTestPrint, MaxiCodeLimit) {
    OemDevmode r = Defaults();
    r.twoDimensionalCodeFonts[0].codeType = 5;
    const auto s = Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(84, u'Z'),
                         TestPrintStatus::Built);
    EXPECT_EQ(s.Joined(),
              Cat({Hex("0A 0A 1D 71 00 1D 6B 0C"), Bytes(84, 'Z'), Hex("00 0A 1D 56 42 00")}));
    Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(85, u'Z'),
          TestPrintStatus::DataRefused);
}

TEST(BarcodeTestPrint, ChineseDataPassesForPdf417AsAnsiBytes) {
    const auto s =
        Print(Defaults(), BarcodePageKind::TwoDimensional, 0, u"中文", TestPrintStatus::Built);
    EXPECT_EQ(s.Joined(), Hex("0A 0A 1D 70 01 01 03 03 03 03 1D 71 05 1D 6B 0A D6 D0 CE C4 00"
                              " 0A 1D 56 42 00"));
}

TEST(BarcodeTestPrint, HriSettingsAsSent) {
    OemDevmode r = Defaults();
    auto& f = r.barcodeFonts[0];
    f.hriPosition = 3;
    f.hriFont = 1;
    f.barHeight = 0x1FF;
    EXPECT_EQ(BuildBarcodeTestPrint(f, u"123456789012").job.pieces.at(1),
              Hex("1D 66 01 1D 48 03 1D 77 03 1D 68 FF 1D 6B 00"));
    f.hriPosition = 4;  // not a position the printer knows
    f.hriFont = 7;
    EXPECT_EQ(BuildBarcodeTestPrint(f, u"123456789012").job.pieces.at(1),
              Hex("1D 66 01 1D 48 00 1D 77 03 1D 68 FF 1D 6B 00"));
}

TEST(BarcodeTestPrint, RefusedDataSendsNothing) {
    const OemDevmode r = Defaults();
    struct Case {
        int font;
        std::u16string text;
    };
    const std::vector<Case> cases = {
        {0, u"1234567890"},      // UPC-A with 10 digits
        {1, u"123456789012"},    // UPC-E not starting with 0
        {2, u"12345678901234"},  // EAN13 with 14 digits
        {5, u"1234"},            // Codabar without start character
        {5, u"A1234"},           // Codabar without stop character
        {7, u"A1234"},           // Code128 without code set
        {7, u"{"},               // Code128 too short
        {0, u""},                // nothing typed
        {0, u"1234567890中"},    // a character outside the set
    };
    for (const auto& c : cases) {
        const auto s =
            Print(r, BarcodePageKind::Barcode, c.font, c.text, TestPrintStatus::DataRefused);
        EXPECT_TRUE(s.calls.empty());
    }
    EXPECT_EQ(std::u16string(kBarcodeDataErrorText), u" 条码数据错误！");
}

TEST(BarcodeTestPrint, UnknownTypesAndFontsSendNothing) {
    OemDevmode r = Defaults();
    r.barcodeFonts[0].barcodeType = 13;
    r.twoDimensionalCodeFonts[0].codeType = 6;
    EXPECT_TRUE(
        Print(r, BarcodePageKind::Barcode, 0, u"1", TestPrintStatus::DataRefused).calls.empty());
    EXPECT_TRUE(Print(r, BarcodePageKind::TwoDimensional, 0, u"1", TestPrintStatus::DataRefused)
                    .calls.empty());
    for (int font : {-1, 8})
        EXPECT_TRUE(Print(r, BarcodePageKind::Barcode, font, u"1", TestPrintStatus::NoSuchFont)
                        .calls.empty());
    EXPECT_TRUE(Print(r, BarcodePageKind::TwoDimensional, 2, u"1", TestPrintStatus::NoSuchFont)
                    .calls.empty());
}

TEST(TestDataBytes, ConversionBufferAndZeroByte) {
    Bytes out;
    ASSERT_TRUE(TestDataBytes(std::u16string(u"AB\0CD", 5), &out));
    EXPECT_EQ(out, Ascii("AB"));
    // 249 two-byte characters fill 498 bytes; one more would not leave room for the zero.
    ASSERT_TRUE(TestDataBytes(std::u16string(249, u'中'), &out));
    EXPECT_EQ(out.size(), 498u);
    ASSERT_TRUE(TestDataBytes(std::u16string(249, u'中') + u"A", &out));
    EXPECT_EQ(out.size(), 499u);
    EXPECT_FALSE(TestDataBytes(std::u16string(250, u'中'), &out));
    // The field yields at most 399 characters.
    ASSERT_TRUE(TestDataBytes(std::u16string(600, u'1'), &out));
    EXPECT_EQ(out.size(), 399u);
}

TEST(BarcodeTestPrint, OverLongDataIsRefused) {
    OemDevmode r = Defaults();
    Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(255, u'1'), TestPrintStatus::Built);
    Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(256, u'1'),
          TestPrintStatus::DataRefused);
    Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(128, u'中'),
          TestPrintStatus::DataRefused);  // 256 bytes after conversion
    Print(r, BarcodePageKind::TwoDimensional, 0, std::u16string(300, u'中'),
          TestPrintStatus::DataRefused);  // beyond the conversion buffer
    // GS1 DataBar Omnidirectional on the barcode page: 40 pass, 41 are refused.
    r.barcodeFonts[0].barcodeType = 9;
    Print(r, BarcodePageKind::Barcode, 0, std::u16string(40, u'a'), TestPrintStatus::Built);
    Print(r, BarcodePageKind::Barcode, 0, std::u16string(41, u'a'), TestPrintStatus::DataRefused);
}

// A failing spooler call leaves the channel's documented call sequence and nothing more.
TEST(BarcodeTestPrint, SpoolerFailureAtEachCall) {
    const OemDevmode r = Defaults();
    const std::vector<Call> full = {Call::StartDoc, Call::StartPage, Call::Write,
                                    Call::Write,    Call::Write,     Call::Write,
                                    Call::Write,    Call::EndPage,   Call::EndDoc};
    struct Case {
        Call call;
        int nth;
        std::vector<Call> expected;
        size_t piecesWritten;
    };
    std::vector<Case> cases = {
        {Call::StartDoc, 0, {Call::StartDoc}, 0},
        {Call::StartPage, 0, {Call::StartDoc, Call::StartPage, Call::EndDoc}, 0},
        {Call::EndPage, 0, full, 5},
        {Call::EndDoc, 0, full, 5},
    };
    for (int k = 0; k < 5; ++k) {
        std::vector<Call> seq = {Call::StartDoc, Call::StartPage};
        seq.insert(seq.end(), k + 1, Call::Write);
        seq.insert(seq.end(), {Call::EndPage, Call::EndDoc});
        cases.push_back({Call::Write, k, seq, static_cast<size_t>(k)});
    }
    for (const auto& c : cases) {
        RecordingSpooler s;
        s.FailAt(c.call, c.nth);
        EXPECT_EQ(BarcodeTestPrint(s, r, BarcodePageKind::Barcode, 0, u"123456789012"),
                  TestPrintStatus::SpoolerFailed);
        EXPECT_EQ(s.calls, c.expected) << "failing call " << int(c.call) << " #" << c.nth;
        EXPECT_EQ(s.pieces.size(), c.piecesWritten);
    }
    RecordingSpooler ok;
    EXPECT_EQ(BarcodeTestPrint(ok, r, BarcodePageKind::Barcode, 0, u"123456789012"),
              TestPrintStatus::Built);
    EXPECT_EQ(ok.calls, full);
}

}  // namespace
}  // namespace krv
