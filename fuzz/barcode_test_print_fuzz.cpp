// The test-print builders on any stored font record and any typed text: a refusal sends
// nothing; a built job has the page's document name and never carries more data than the
// 500-byte conversion buffer can hold.
#include <cstring>

#include "jobs/barcode_test_print.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/recording_spooler.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    auto record = std::make_unique<OemDevmode>();
    DefaultOemDevmode(record.get());
    // The fonts' records as stored, whatever they hold.
    const auto fonts = in.Chunk();
    std::memcpy(record->barcodeFonts, fonts.data(),
                std::min(fonts.size(),
                         sizeof record->barcodeFonts + sizeof record->twoDimensionalCodeFonts));
    const std::u16string text = fuzz::Utf16Of(in.Rest());

    const auto page = control & 1 ? BarcodePageKind::TwoDimensional : BarcodePageKind::Barcode;
    const int fontIndex = static_cast<int8_t>(control) >> 1;
    const TestPrintBuild build = BuildTestPrint(*record, page, fontIndex, text);

    const int fontCount =
        page == BarcodePageKind::Barcode ? kBarcodeFontCount : kTwoDimensionalFontCount;
    if (fontIndex < 0 || fontIndex >= fontCount)
        KRV_FUZZ_CHECK(build.status == TestPrintStatus::NoSuchFont);
    if (build.status != TestPrintStatus::Built) return 0;
    KRV_FUZZ_CHECK(build.job.documentName ==
                   (page == BarcodePageKind::Barcode ? "Barcode" : "2Dcode"));
    Bytes typed;
    KRV_FUZZ_CHECK(TestDataBytes(text, &typed));
    KRV_FUZZ_CHECK(typed.size() < kTestDataAnsiBufferBytes);
    // Commands around the data are short; the job is the data plus at most a few hundred bytes.
    KRV_FUZZ_CHECK(build.job.TotalBytes() <= typed.size() + 512);

    RecordingSpooler spooler;
    KRV_FUZZ_CHECK(SendRawJob(spooler, build.job));
    KRV_FUZZ_CHECK(spooler.Joined() == build.job.Joined());
    return 0;
}
