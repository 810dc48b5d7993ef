// The job decoder on any bytes: the commands it lists tile the input from its start up to where
// it stopped (or to the end), and what it draws fits the picture it renders.
#include "fuzz/fuzz_support.h"
#include "jobs/job_decode.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto job = fuzz::ExactCopy({data, size});
    const DecodedJob d = DecodeJob(job);
    uint64_t at = 0;
    for (const JobCommand& c : d.commands) {
        KRV_FUZZ_CHECK(c.offset == at && c.length > 0 && !c.text.empty());
        at += c.length;
    }
    KRV_FUZZ_CHECK(d.understood ? at == size : at == d.stopOffset && !d.stopReason.empty());
    GreyImage picture;
    if (RenderJobPicture(d, 1u << 22, &picture)) {
        KRV_FUZZ_CHECK(picture.pixels.size() ==
                       static_cast<size_t>(picture.width) * picture.height);
        for (const JobDrawing& drawing : d.drawings)
            KRV_FUZZ_CHECK(drawing.x + drawing.width <= picture.width &&
                           drawing.y + drawing.height <= picture.height);
    }
    return 0;
}
