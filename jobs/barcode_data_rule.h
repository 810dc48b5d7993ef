// The rules that test-print data must satisfy before it reaches the printer: per code type a
// length range and a set of allowed bytes, a few extra checks (UPC-E, Codabar, Code128), and
// the packing of Code128 code set C digits into one byte per pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "channel/raw_printer_channel.h"

namespace krv {

// One row of the rule table. `allowed` lists byte values ending with kSetEnd; kSetRange between
// two values stands for every value from the one before to the one after, inclusive.
struct BarcodeDataRule {
    uint32_t minLength;
    uint32_t maxLength;
    bool lengthOnly;  // accepted as soon as the length fits
    const int32_t* allowed;
};

constexpr int32_t kSetRange = -1;
constexpr int32_t kSetEnd = -2;
constexpr int kBarcodeDataRuleCount = 19;

// Rule codes: below 72 they name the row directly, from 72 on they name row code - 65.
constexpr int kRuleCodeCode93 = 72;
constexpr int kRuleCodeCode128 = 73;

// The row a rule code selects; nullptr for a code that selects no row.
const BarcodeDataRule* BarcodeDataRuleFor(int ruleCode);

// True when `value` is in the set `allowed` (a list as described for BarcodeDataRule).
bool ByteInRuleSet(const int32_t* allowed, uint8_t value);

// The printer's barcode system number (GS k m) of barcode-page types 0..8; nullopt otherwise.
std::optional<uint8_t> BarcodeSystemNumber(uint8_t barcodeType);

// The rule code each page uses for a stored type; nullopt for a type the page does not know.
std::optional<int> BarcodePageRuleCode(uint8_t barcodeType);
std::optional<int> TwoDimensionalPageRuleCode(uint8_t codeType);

// Checks `*length` bytes of `data` (a zero-terminated buffer of at least *length + 1 bytes)
// against the rule of `ruleCode`. For Code128 data with code set C, the buffer is rewritten with
// the packed bytes (never longer than the input), zero-terminated again, and `*length` becomes
// the packed length. A null buffer or length, a length of 0, or an unknown rule code is refused.
bool ValidateBarcodeData(int ruleCode, uint8_t* data, uint32_t* length);

// The same on a byte vector, which is resized to the packed length when packing applies.
bool ValidateBarcodeData(int ruleCode, Bytes& data);

// Packs code set C digit pairs into single bytes 0..99; "{", the code-set letters and the data
// of code sets A and B pass unchanged. nullopt for an odd number of digits in a code set C run
// or a non-digit inside one.
std::optional<Bytes> CodeSetCPacking(const uint8_t* data, uint32_t length);

}  // namespace krv
