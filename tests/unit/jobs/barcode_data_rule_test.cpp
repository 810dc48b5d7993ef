#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "jobs/barcode_data_rule.h"

namespace krv {
namespace {

Bytes B(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

bool Accepts(int ruleCode, const std::string& data) {
    Bytes b = B(data);
    return ValidateBarcodeData(ruleCode, b);
}

struct RuleCase {
    int ruleCode;
    std::string data;
    bool accepted;
};

class BarcodeDataRuleTable : public testing::TestWithParam<RuleCase> {};

TEST_P(BarcodeDataRuleTable, AcceptsExactlyTheRuleSet) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(Accepts(c.ruleCode, c.data), c.accepted)
        << "rule " << c.ruleCode << " data \"" << c.data << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BarcodeDataRuleTable,
    testing::Values(
        // UPC-A 11..12 digits
        RuleCase{0, "12345678901", true}, RuleCase{0, "123456789012", true},
        RuleCase{0, "1234567890", false}, RuleCase{0, "1234567890123", false},
        RuleCase{0, "12345678901A", false},
        // UPC-E: first byte "0"
        RuleCase{1, "023456789012", true}, RuleCase{1, "123456789012", false},
        // EAN13 12..13, EAN8 7..8 (system numbers 2 and 3)
        RuleCase{2, "1234567890123", true}, RuleCase{2, "12345678901234", false},
        RuleCase{3, "12345678", true}, RuleCase{3, "123456", false},
        // Code39 set: blank $ % * + - . / digits capitals
        RuleCase{4, "AZ09 $%*+-./", true}, RuleCase{4, "abc", false}, RuleCase{4, "A#", false},
        // ITF digits only
        RuleCase{5, "0123456789", true}, RuleCase{5, "12 3", false},
        // Codabar: start A..D, stop A..E N T *
        RuleCase{6, "A123456789A", true}, RuleCase{6, "D1:2$3.4/5+6-7T", true},
        RuleCase{6, "B12*", true}, RuleCase{6, "C12N", true}, RuleCase{6, "1234", false},
        RuleCase{6, "A1234", false}, RuleCase{6, "E123A", false}, RuleCase{6, "A", true},
        RuleCase{6, "A1F2A", false},
        // Code93 (code 72) any 7-bit byte
        RuleCase{72, std::string("\x00\x7F", 2), true}, RuleCase{72, "\x80", false},
        // Code128 (code 73): leading {A, {B or {C
        RuleCase{73, "{A1234", true}, RuleCase{73, "{Babc", true}, RuleCase{73, "A1234", false},
        RuleCase{73, "{D12", false}, RuleCase{73, "{", false},
        // Code 8 names the Code128 row without the code-set rule
        RuleCase{8, "A1234", true}, RuleCase{8, "A", false},
        // GS1 set: 20..22, 25..3F, 41..5A, 5F, 61..7C
        RuleCase{9, " !\"%?AZ_az{|", true}, RuleCase{9, "#", false}, RuleCase{10, "$", false},
        RuleCase{11, "@", false}, RuleCase{12, "[", false}, RuleCase{12, "^", false},
        RuleCase{14, "`", false}, RuleCase{15, "}", false}, RuleCase{16, "~", false},
        // length-only rows accept any byte
        RuleCase{13, "\xD6\xD0\xFF\x01", true}, RuleCase{17, "\xCE\xC4", true},
        RuleCase{18, "\x80", true},
        // codes that select no row
        RuleCase{19, "1", false}, RuleCase{71, "1", false}, RuleCase{84, "1", false},
        RuleCase{-1, "1", false}, RuleCase{1000, "1", false}));

TEST(BarcodeDataRule, LengthLimits) {
    for (int code : {9, 10, 11, 12, 14, 15, 16}) {
        EXPECT_TRUE(Accepts(code, std::string(40, 'A'))) << code;
        EXPECT_FALSE(Accepts(code, std::string(41, 'A'))) << code;
    }
    EXPECT_TRUE(Accepts(18, std::string(84, '\xC8')));
    EXPECT_FALSE(Accepts(18, std::string(85, 'A')));
    for (int code : {4, 5, 7, 13, 17, 72, 73}) {
        const std::string ok = code == 73 ? "{A" + std::string(253, '1') : std::string(255, '1');
        EXPECT_TRUE(Accepts(code, ok)) << code;
        EXPECT_FALSE(Accepts(code, ok + "1")) << code;
    }
}

TEST(BarcodeDataRule, MissingOrEmptyDataIsRefused) {
    uint8_t buf[4] = {'1', 0};
    uint32_t len = 1;
    EXPECT_FALSE(ValidateBarcodeData(13, nullptr, &len));
    EXPECT_FALSE(ValidateBarcodeData(13, buf, nullptr));
    len = 0;
    EXPECT_FALSE(ValidateBarcodeData(13, buf, &len));
    Bytes empty;
    EXPECT_FALSE(ValidateBarcodeData(13, empty));
}

TEST(BarcodeDataRule, RuleCodeMapping) {
    EXPECT_EQ(BarcodeDataRuleFor(72), BarcodeDataRuleFor(7));
    EXPECT_EQ(BarcodeDataRuleFor(73), BarcodeDataRuleFor(8));
    EXPECT_EQ(BarcodeDataRuleFor(83), BarcodeDataRuleFor(18));
    const std::vector<int> barcodePage = {0, 1, 3, 2, 4, 5, 6, 72, 73, 9, 10, 11, 12};
    for (uint8_t t = 0; t < barcodePage.size(); ++t)
        EXPECT_EQ(BarcodePageRuleCode(t), barcodePage[t]) << int(t);
    EXPECT_FALSE(BarcodePageRuleCode(13));
    const std::vector<int> twoDimensionalPage = {13, 14, 15, 16, 17, 18};
    for (uint8_t t = 0; t < twoDimensionalPage.size(); ++t)
        EXPECT_EQ(TwoDimensionalPageRuleCode(t), twoDimensionalPage[t]) << int(t);
    EXPECT_FALSE(TwoDimensionalPageRuleCode(6));
    EXPECT_EQ(BarcodeSystemNumber(7), 0x48);
    EXPECT_FALSE(BarcodeSystemNumber(9));
}

TEST(BarcodeDataRule, SetListsReadRangesAndSingles) {
    const int32_t set[] = {'a', kSetRange, 'c', 'x', 0xF0, kSetRange, 0xFF, kSetEnd};
    std::string in;
    for (int v = 0; v < 256; ++v)
        if (ByteInRuleSet(set, static_cast<uint8_t>(v))) in.push_back(static_cast<char>(v));
    EXPECT_EQ(in, std::string("abcx") + std::string("\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9"
                                                    "\xFA\xFB\xFC\xFD\xFE\xFF"));
}

struct PackCase {
    std::string in;
    std::vector<uint8_t> out;  // empty: refused
};

void PrintTo(const PackCase& c, std::ostream* os) {
    *os << '"' << c.in << '"';
}

class CodeSetC : public testing::TestWithParam<PackCase> {};

TEST_P(CodeSetC, PacksDigitPairsInPlace) {
    const PackCase& c = GetParam();
    // A buffer exactly as large as the data and its terminator, plus guard bytes that packing
    // must leave alone.
    std::vector<uint8_t> buf(c.in.begin(), c.in.end());
    buf.push_back(0);
    buf.insert(buf.end(), {0xEE, 0xEE});
    uint32_t length = static_cast<uint32_t>(c.in.size());
    const bool ok = ValidateBarcodeData(kRuleCodeCode128, buf.data(), &length);
    EXPECT_EQ(buf[c.in.size() + 1], 0xEE);
    EXPECT_EQ(buf[c.in.size() + 2], 0xEE);
    if (c.out.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(std::string(buf.begin(), buf.begin() + c.in.size()), c.in) << "left as it was";
        return;
    }
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + length), c.out);
    EXPECT_EQ(buf[length], 0) << "packed data is zero-terminated";
}

INSTANTIATE_TEST_SUITE_P(
    Code128, CodeSetC,
    testing::Values(PackCase{"{A1234", {0x7B, 0x41, 0x31, 0x32, 0x33, 0x34}},
                    PackCase{"{C1234", {0x7B, 0x43, 0x0C, 0x22}},
                    PackCase{"{B12{C34{A5",
                             {0x7B, 0x42, 0x31, 0x32, 0x7B, 0x43, 0x22, 0x7B, 0x41, 0x35}},
                    PackCase{"{C12{A", {0x7B, 0x43, 0x0C, 0x7B, 0x41}},
                    PackCase{"{C0099", {0x7B, 0x43, 0x00, 0x63}}, PackCase{"{C", {0x7B, 0x43}},
                    PackCase{"{A{C12{C34", {0x7B, 0x41, 0x7B, 0x43, 0x0C, 0x7B, 0x43, 0x22}},
                    PackCase{"{C123", {}}, PackCase{"{C1{A", {}}, PackCase{"{C1A", {}},
                    PackCase{"{C12{", {0x7B, 0x43, 0x0C, 0x7B}}, PackCase{"{C1{", {}},
                    PackCase{"A1234", {}}));

TEST(CodeSetC, PackingAloneKeepsOtherCodeSets) {
    const std::string in = "x{C0102{Bz";
    const auto out = CodeSetCPacking(reinterpret_cast<const uint8_t*>(in.data()), in.size());
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, (Bytes{'x', '{', 'C', 1, 2, '{', 'B', 'z'}));
    EXPECT_FALSE(CodeSetCPacking(nullptr, 3));
}

}  // namespace
}  // namespace krv
