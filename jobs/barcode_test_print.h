// The test print of the barcode and two-dimensional code pages: the typed data, checked against
// the rule of the font's code type, printed with the font's settings and followed by a cut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "channel/raw_printer_channel.h"
#include "frame/oem_devmode.h"

namespace krv {

enum class BarcodePageKind { Barcode, TwoDimensional };

// The message box text (with its leading blank) and caption for refused data.
inline constexpr char16_t kBarcodeDataErrorText[] = u" 条码数据错误！";
inline constexpr char16_t kBarcodeDataErrorCaption[] = u"错误";

// The page reads its data field with room for 400 characters, so at most 399 reach the print.
constexpr size_t kTestDataMaxChars = 399;
// The ANSI conversion buffer: 500 bytes including the terminating zero.
constexpr size_t kTestDataAnsiBufferBytes = 500;

constexpr int kBarcodeFontCount = 8;
constexpr int kTwoDimensionalFontCount = 2;

enum class TestPrintStatus {
    Built,         // the job is ready (or, from BarcodeTestPrint, was handed to the spooler)
    DataRefused,   // the page shows kBarcodeDataErrorText; nothing is sent
    NoSuchFont,    // a font index outside the page's list; nothing is sent, nothing shown
    SpoolerFailed  // a spooler call failed; nothing is shown
};

struct TestPrintBuild {
    TestPrintStatus status = TestPrintStatus::DataRefused;
    PrinterJob job;  // meaningful only with status Built
};

// The data bytes of the field text: at most kTestDataMaxChars characters converted to the ANSI
// code page, up to the first zero byte. False when the conversion overflows the 500-byte buffer.
bool TestDataBytes(std::u16string_view text, Bytes* out);

// The jobs, piece by piece in the order they are written.
TestPrintBuild BuildBarcodeTestPrint(const BarcodeFontRecord& font, std::u16string_view text);
TestPrintBuild BuildTwoDimensionalTestPrint(const TwoDimensionalCodeRecord& font,
                                            std::u16string_view text);
TestPrintBuild BuildTestPrint(const OemDevmode& record, BarcodePageKind page, int fontIndex,
                              std::u16string_view text);

// Builds the job for the selected font and sends it. Built means the document was ended
// successfully; the page shows kBarcodeDataErrorText for DataRefused and nothing otherwise.
TestPrintStatus BarcodeTestPrint(SpoolerSeam& spooler, const OemDevmode& record,
                                 BarcodePageKind page, int fontIndex, std::u16string_view text);

}  // namespace krv
