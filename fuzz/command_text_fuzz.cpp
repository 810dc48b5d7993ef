// Command text on any UTF-16 input: Parse never writes past its area (an exactly sized heap
// buffer), counts the same however large the area is, and never finds more bytes than the
// text has characters; Format of any bytes parses back to them, and parse then format then
// parse is stable.
#include <algorithm>

#include "channel/command_text_codec.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const size_t area = in.Byte();
    const auto rest = in.Rest();
    const std::u16string text = fuzz::Utf16Of(rest);

    std::vector<uint8_t> small(area);
    const size_t n = CommandTextCodec::Parse(text, small);
    KRV_FUZZ_CHECK(n <= text.size());
    std::vector<uint8_t> all(text.size());
    KRV_FUZZ_CHECK(CommandTextCodec::Parse(text, all) == n);
    all.resize(n);
    KRV_FUZZ_CHECK(std::equal(small.begin(), small.begin() + std::min(n, area), all.begin()));

    // parse -> format -> parse
    const std::u16string canonical = CommandTextCodec::Format(all);
    KRV_FUZZ_CHECK(canonical.size() == 3 * n);
    std::vector<uint8_t> back(n);
    KRV_FUZZ_CHECK(CommandTextCodec::Parse(canonical, back) == n);
    KRV_FUZZ_CHECK(back == all);

    // format -> parse of the raw bytes
    const std::u16string formatted = CommandTextCodec::Format(rest);
    std::vector<uint8_t> bytes(rest.size());
    KRV_FUZZ_CHECK(CommandTextCodec::Parse(formatted, bytes) == rest.size());
    KRV_FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), rest.begin()));

    for (const char16_t ch : text) {
        const int v = CommandTextCodec::DigitValue(ch);
        KRV_FUZZ_CHECK(v >= 0 && v <= 15);
    }
    return 0;
}
