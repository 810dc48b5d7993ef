// Test-print data against every rule code (and codes that select none): the check never reads
// past the data and its terminator, both forms of it agree, and code set C packing never
// lengthens the data.
#include <cstring>

#include "jobs/barcode_data_rule.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int ruleCode = in.InRange(-3, 90);
    const auto rest = in.Rest();

    // The zero-terminated buffer form, sized exactly.
    std::vector<uint8_t> buffer(rest.begin(), rest.end());
    buffer.push_back(0);
    uint32_t length = static_cast<uint32_t>(rest.size());
    const bool ok = ValidateBarcodeData(ruleCode, buffer.data(), &length);
    if (ok) {
        KRV_FUZZ_CHECK(length > 0 && length <= rest.size());
        KRV_FUZZ_CHECK(buffer[length] == 0);
    } else {
        KRV_FUZZ_CHECK(length <= rest.size());
    }
    if (ruleCode < 0 || !BarcodeDataRuleFor(ruleCode) || rest.empty()) KRV_FUZZ_CHECK(!ok);

    // The vector form gives the same answer and the same bytes.
    Bytes vec(rest.begin(), rest.end());
    KRV_FUZZ_CHECK(ValidateBarcodeData(ruleCode, vec) == ok);
    if (ok) {
        KRV_FUZZ_CHECK(vec.size() == length);
        KRV_FUZZ_CHECK(std::memcmp(vec.data(), buffer.data(), length) == 0);
    }

    const std::vector<uint8_t> exact = fuzz::ExactCopy(rest);
    const auto packed = CodeSetCPacking(exact.data(), static_cast<uint32_t>(exact.size()));
    if (packed) KRV_FUZZ_CHECK(packed->size() <= exact.size());

    if (const BarcodeDataRule* rule = BarcodeDataRuleFor(ruleCode)) {
        KRV_FUZZ_CHECK(rule->minLength <= rule->maxLength);
        for (const uint8_t b : rest)
            (void)ByteInRuleSet(rule->allowed, b);
    }
    return 0;
}
