#include "jobs/barcode_data_rule.h"

#include <cstring>

namespace krv {

namespace {

constexpr int32_t R = kSetRange;
constexpr int32_t E = kSetEnd;

constexpr int32_t kDigits[] = {'0', R, '9', E};
constexpr int32_t kCode39[] = {' ', '$', '%', '*', '+', '-', '.', '/', '0', R, '9', 'A', R, 'Z', E};
constexpr int32_t kCodabar[] = {'$', '*', '+', '-', '.', '/', '0', R,
                                '9', ':', 'A', R,   'E', 'N', 'T', E};
constexpr int32_t kAscii[] = {0x00, R, 0x7F, E};
constexpr int32_t kGs1[] = {0x20, R, 0x22, 0x25, R, 0x3F, 0x41, R, 0x5A, 0x5F, 0x61, R, 0x7C, E};
constexpr int32_t kAnyByte[] = {0x00, R, 0xFF, E};

constexpr BarcodeDataRule kRules[kBarcodeDataRuleCount] = {
    {11, 12, false, kDigits},   // 0 UPC-A
    {11, 12, false, kDigits},   // 1 UPC-E
    {12, 13, false, kDigits},   // 2 EAN13
    {7, 8, false, kDigits},     // 3 EAN8
    {1, 255, false, kCode39},   // 4 Code39
    {1, 255, false, kDigits},   // 5 ITF
    {1, 255, false, kCodabar},  // 6 Codabar
    {1, 255, false, kAscii},    // 7 Code93
    {2, 255, false, kAscii},    // 8 Code128
    {1, 40, false, kGs1},       // 9 GS1 DataBar Omnidirectional
    {1, 40, false, kGs1},       // 10 GS1 DataBar Truncated
    {1, 40, false, kGs1},       // 11 GS1 DataBar Limited
    {1, 40, false, kGs1},       // 12 GS1 DataBar Expanded
    {1, 255, true, kAnyByte},   // 13 PDF417
    {1, 40, false, kGs1},       // 14 GS1 DataBar Stacked
    {1, 40, false, kGs1},       // 15 GS1 DataBar Stacked Omnidirectional
    {1, 40, false, kGs1},       // 16 GS1 DataBar Expanded Stacked
    {1, 255, true, kAnyByte},   // 17 QR Code
    {1, 84, true, kAnyByte},    // 18 Maxi Code
};

constexpr int kRowUpcE = 1;
constexpr int kRowCodabar = 6;

// GS k system numbers of barcode-page types 0..8 (EAN8 and EAN13 swap places).
constexpr uint8_t kSystemNumbers[] = {0x00, 0x01, 0x03, 0x02, 0x04, 0x05, 0x06, 0x48, 0x49};

bool IsCodabarStop(uint8_t b) {
    return (b >= 'A' && b <= 'E') || b == 'N' || b == 'T' || b == '*';
}

bool PassesExtraChecks(int row, const uint8_t* data, uint32_t length) {
    if (row == kRowUpcE) return data[0] == '0';
    if (row == kRowCodabar)
        return data[0] >= 'A' && data[0] <= 'D' && IsCodabarStop(data[length - 1]);
    return true;
}

bool ContainsCodeSetC(const uint8_t* data, uint32_t length) {
    for (uint32_t i = 0; i + 1 < length; ++i)
        if (data[i] == '{' && data[i + 1] == 'C') return true;
    return false;
}

// Code128: a leading code-set selection, then code set C digits packed in place.
bool ApplyCode128Rule(uint8_t* data, uint32_t* length) {
    if (data[0] != '{' || (data[1] != 'A' && data[1] != 'B' && data[1] != 'C')) return false;
    if (!ContainsCodeSetC(data, *length)) return true;
    const auto packed = CodeSetCPacking(data, *length);
    if (!packed) return false;
    // Packing never lengthens the data, so the caller's buffer holds it with its terminator.
    std::memcpy(data, packed->data(), packed->size());
    data[packed->size()] = 0;
    *length = static_cast<uint32_t>(packed->size());
    return true;
}

}  // namespace

const BarcodeDataRule* BarcodeDataRuleFor(int ruleCode) {
    const int row = ruleCode < 72 ? ruleCode : ruleCode - 65;
    if (row < 0 || row >= kBarcodeDataRuleCount) return nullptr;
    return &kRules[row];
}

bool ByteInRuleSet(const int32_t* allowed, uint8_t value) {
    int32_t previous = kSetEnd;
    for (const int32_t* p = allowed; *p != kSetEnd; ++p) {
        if (*p == kSetRange) {
            const int32_t last = p[1];
            if (last == kSetEnd) break;  // a range with no end closes the list
            if (previous >= 0 && value >= previous && value <= last) return true;
            continue;
        }
        if (value == *p) return true;
        previous = *p;
    }
    return false;
}

std::optional<uint8_t> BarcodeSystemNumber(uint8_t barcodeType) {
    if (barcodeType >= sizeof kSystemNumbers) return std::nullopt;
    return kSystemNumbers[barcodeType];
}

std::optional<int> BarcodePageRuleCode(uint8_t barcodeType) {
    if (barcodeType <= 8) return *BarcodeSystemNumber(barcodeType);
    if (barcodeType <= 12) return barcodeType;  // GS1 DataBar rows 9..12
    return std::nullopt;
}

std::optional<int> TwoDimensionalPageRuleCode(uint8_t codeType) {
    switch (codeType) {
        case 0:
            return 13;  // PDF417
        case 1:
        case 2:
        case 3:
            return codeType + 13;  // GS1 DataBar stacked rows 14..16
        case 4:
            return 17;  // QR Code
        case 5:
            return 18;  // Maxi Code
        default:
            return std::nullopt;
    }
}

bool ValidateBarcodeData(int ruleCode, uint8_t* data, uint32_t* length) {
    if (!data || !length || *length == 0) return false;
    const BarcodeDataRule* rule = BarcodeDataRuleFor(ruleCode);
    if (!rule) return false;
    if (*length < rule->minLength || *length > rule->maxLength) return false;
    if (rule->lengthOnly) return true;
    const int row = static_cast<int>(rule - kRules);
    if (!PassesExtraChecks(row, data, *length)) return false;
    for (uint32_t i = 0; i < *length; ++i)
        if (!ByteInRuleSet(rule->allowed, data[i])) return false;
    if (ruleCode == kRuleCodeCode128) return ApplyCode128Rule(data, length);
    return true;
}

bool ValidateBarcodeData(int ruleCode, Bytes& data) {
    if (data.empty() || data.size() > UINT32_MAX - 1) return false;
    Bytes work(data);
    work.push_back(0);
    auto length = static_cast<uint32_t>(data.size());
    if (!ValidateBarcodeData(ruleCode, work.data(), &length)) return false;
    work.resize(length);
    data = std::move(work);
    return true;
}

std::optional<Bytes> CodeSetCPacking(const uint8_t* data, uint32_t length) {
    if (!data) return std::nullopt;
    // Work buffer of length + 4 zero bytes; the output can never outgrow the input.
    Bytes out(static_cast<size_t>(length) + 4, 0);
    size_t n = 0;
    bool codeSetC = false;
    uint32_t digits = 0;
    for (uint32_t i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        if (b == '{') {
            out[n++] = b;
        } else if (n > 0 && out[n - 1] == '{') {
            if (codeSetC && digits % 2 == 1) return std::nullopt;
            codeSetC = b == 'C';
            if (codeSetC) digits = 0;
            out[n++] = b;
        } else if (codeSetC) {
            if (b < '0' || b > '9') return std::nullopt;
            if (digits % 2 == 0)
                out[n++] = static_cast<uint8_t>((b - '0') * 10);
            else
                out[n - 1] = static_cast<uint8_t>(out[n - 1] + (b - '0'));
            ++digits;
        } else {
            out[n++] = b;
        }
    }
    if (codeSetC && digits % 2 == 1) return std::nullopt;
    out.resize(n);
    return out;
}

}  // namespace krv
