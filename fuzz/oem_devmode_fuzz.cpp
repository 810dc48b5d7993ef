// The private record's convert and validate on arbitrary bytes. The stored record comes in
// three shapes: exactly the bytes given (an honest count, any dwSize inside), a whole 1468-byte
// record whose dwSize lies, and a target whose own dwSize lies. Whatever comes in, the result
// has a sound header, and reading an event block and writing it back changes nothing.
#include <cstring>

#include "frame/oem_devmode.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

namespace {

void CheckHeader(const OemDevmode& r) {
    KRV_FUZZ_CHECK(r.header.dwSize == kOemDevmodeSize);
    KRV_FUZZ_CHECK(r.header.dwVersion == kOemVersion);
}

void CheckEventBlocksRoundTrip(const OemDevmode& r) {
    for (int m = 0; m < 4; ++m) {
        const auto moment = static_cast<EventMoment>(m);
        OemDevmode copy = r;
        WriteEventBlock(copy, moment, ReadEventBlock(r, moment));
        KRV_FUZZ_CHECK(std::memcmp(&copy, &r, sizeof r) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const uint8_t control = in.Byte();
    const uint32_t targetSize = in.Dword();
    const std::vector<uint8_t> stored = fuzz::ExactCopy(in.Rest());

    auto out = std::make_unique<OemDevmode>();
    DefaultOemDevmode(out.get());
    if (control & 1) out->header.dwSize = targetSize;  // the target's own size lies

    if (control & 2) {
        // A whole record (zero-padded), whatever its dwSize says.
        auto whole = std::make_unique<OemDevmode>();
        std::memset(whole.get(), 0, sizeof *whole);
        std::memcpy(whole.get(), stored.data(), std::min(stored.size(), sizeof *whole));
        KRV_FUZZ_CHECK(ConvertOemDevmode(whole.get(), out.get()));
    } else {
        // An empty record still comes with a pointer: nothing at all may be read from it.
        const uint8_t none = 0;
        const uint8_t* bytes = stored.empty() ? &none : stored.data();
        KRV_FUZZ_CHECK(ConvertOemDevmodeBytes(bytes, stored.size(), out.get()));
    }
    CheckHeader(*out);
    KRV_FUZZ_CHECK(out->header.dwSignature == kOemSignature);
    KRV_FUZZ_CHECK(ValidateOemDevmode(out.get()));
    CheckHeader(*out);
    CheckEventBlocksRoundTrip(*out);

    // Validate on the raw bytes as a record of its own.
    auto raw = std::make_unique<OemDevmode>();
    std::memset(raw.get(), 0, sizeof *raw);
    std::memcpy(raw.get(), stored.data(), std::min(stored.size(), sizeof *raw));
    KRV_FUZZ_CHECK(ValidateOemDevmode(raw.get()));
    CheckHeader(*raw);
    KRV_FUZZ_CHECK(raw->header.dwSignature == kOemSignature);
    // Validating twice changes nothing more.
    OemDevmode again = *raw;
    ValidateOemDevmode(&again);
    KRV_FUZZ_CHECK(std::memcmp(&again, raw.get(), sizeof again) == 0);
    return 0;
}
