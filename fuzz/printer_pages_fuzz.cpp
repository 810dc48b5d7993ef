// The printer application's pages on any input: a picture file (its PNG and JPEG filter), raster
// lines as PAPPL hands them over, or a page as the PDF renderer prints it, each made into a page
// of a job with options taken off the front of the input. A page that is built is one the job
// decoder reads to its last byte, between the page's opening and end; a refused one adds nothing.
#include "fuzz/fuzz_support.h"
#include "jobs/job_decode.h"
#include "jobs/picture_print.h"
#include "pictures/picture_decode.h"
#include "printerapp/page_rows.h"
#include "printerapp/pdf_pages.h"

using namespace krv;

namespace {

// The lines of a raster page: a width, a layout, then chunks as lines until the input ends.
GreyImage RasterPage(fuzz::Input& in, uint32_t printable) {
    const uint32_t width = in.Word() % 1200;
    const auto format = in.Byte() & 1 ? app::LineFormat::Black8 : app::LineFormat::Grey8;
    app::PageRows rows(width, format, printable, 600);
    for (int n = 0; n < 600; ++n) {
        const auto line = in.Chunk();
        if (line.empty()) break;
        const auto copy = fuzz::ExactCopy(line);
        rows.AddLine(copy.data(), copy.size());
    }
    return rows.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    PicturePrintOptions o;
    o.printableWidth = 1 + in.Word() % 600;
    o.fit = control & 4;
    o.method = static_cast<HalftoneMethod>(in.Byte() % 4);
    o.contrast = in.InRange(-100, 100);
    o.brightness = in.InRange(-100, 100);
    o.align = static_cast<PictureAlign>(in.Byte() % 3);
    const bool keepLength = control & 8;

    GreyImage page;
    switch (control & 3) {
        case 0: {
            PictureLimits limits;
            limits.maxPixels = 1 << 20;
            const auto file = fuzz::ExactCopy(in.Rest());
            if (!DecodePictureToGrey(file, limits, &page).ok()) return 0;
            break;
        }
        case 1:
            page = RasterPage(in, o.printableWidth);
            break;
        default: {
            const auto pgm = fuzz::ExactCopy(in.Rest());
            const auto parsed =
                app::ParsePgm({reinterpret_cast<const char*>(pgm.data()), pgm.size()}, 600, 2000);
            if (!parsed) return 0;
            KRV_FUZZ_CHECK(parsed->pixels.size() == size_t{parsed->width} * parsed->height);
            page = *parsed;
            break;
        }
    }

    Bytes out = {0x0A};
    const auto status = AppendPicturePage(page, o, keepLength, &out);
    if (status != PicturePrintBuild::Status::Built) {
        KRV_FUZZ_CHECK(out == Bytes{0x0A});
        return 0;
    }
    const DecodedJob job = DecodeJob(out);
    KRV_FUZZ_CHECK(job.understood);
    const Bytes start = PictureBandsStart(o.align), end = PicturePrintEnd();
    KRV_FUZZ_CHECK(std::equal(start.begin(), start.end(), out.begin() + 1));
    KRV_FUZZ_CHECK(out.size() >= 1 + start.size() + end.size() &&
                   std::equal(end.rbegin(), end.rend(), out.rbegin()));
    return 0;
}
