#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "frame/oem_devmode.h"

namespace krv {
namespace {

std::vector<uint8_t> Bytes(const OemDevmode& r) {
    const auto* p = reinterpret_cast<const uint8_t*>(&r);
    return {p, p + sizeof r};
}

OemDevmode Defaults() {
    OemDevmode r;
    std::memset(&r, 0xCC, sizeof r);
    DefaultOemDevmode(&r);
    return r;
}

TEST(OemDevmode, DefaultHeaderBytes) {
    const auto b = Bytes(Defaults());
    const std::vector<uint8_t> header(b.begin(), b.begin() + 12);
    EXPECT_EQ(header, (std::vector<uint8_t>{0xBC, 0x05, 0, 0, 0x54, 0x52, 0x4B, 0x56, 1, 0, 0, 0}));
}

TEST(OemDevmode, DefaultBodyHasExactlyTheListedNonZeroBytes) {
    const auto b = Bytes(Defaults());
    // Every non-zero byte of the default body, by absolute offset.
    std::vector<std::pair<int, uint8_t>> expected = {
        {147, 12}, {453, 1},    {584, 1},   {1384, 50},  {1388, 45},
        {1392, 4}, {1393, 100}, {1394, 50}, {1395, 100}, {1463, 1}};
    const uint8_t types[8] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 8; ++i) {
        const int base = 596 + 36 * i;
        if (types[i]) expected.push_back({base + 0, types[i]});
        for (auto [off, v] : std::vector<std::pair<int, uint8_t>>{{1, 3},
                                                                  {4, 163},
                                                                  {12, 24},
                                                                  {16, 163},
                                                                  {20, 2},
                                                                  {24, 100},
                                                                  {28, 2},
                                                                  {32, 1},
                                                                  {33, 1},
                                                                  {34, 1}})
            expected.push_back({base + off, v});
    }
    for (int i = 0; i < 2; ++i) {
        const int base = 884 + 24 * i;
        for (auto [off, v] : std::vector<std::pair<int, uint8_t>>{{1, 3},
                                                                  {2, 3},
                                                                  {3, 3},
                                                                  {4, 3},
                                                                  {5, 5},
                                                                  {6, 2},
                                                                  {8, 100},
                                                                  {12, 2},
                                                                  {16, 2},
                                                                  {17, 4},
                                                                  {18, 1},
                                                                  {19, 1},
                                                                  {20, 3},
                                                                  {22, 1},
                                                                  {23, 1}})
            expected.push_back({base + off, v});
    }
    std::vector<uint8_t> want(kOemDevmodeSize, 0);
    for (auto [off, v] : expected)
        want[off] = v;
    for (int i = 12; i < static_cast<int>(kOemDevmodeSize); ++i)
        EXPECT_EQ(b[i], want[i]) << "offset " << i;
}

TEST(OemDevmode, ConvertShortStoredRecordKeepsDefaultTail) {
    OemDevmode in = Defaults();
    std::memset(reinterpret_cast<uint8_t*>(&in) + 12, 0x5A, kOemDevmodeSize - 12);
    in.header.dwSize = 1000;
    in.header.dwVersion = 0;
    OemDevmode out = Defaults();
    ASSERT_TRUE(ConvertOemDevmode(&in, &out));
    const auto b = Bytes(out), d = Bytes(Defaults());
    for (int i = 12; i < 1000; ++i)
        ASSERT_EQ(b[i], 0x5A) << i;
    for (int i = 1000; i < 1468; ++i)
        ASSERT_EQ(b[i], d[i]) << i;
    EXPECT_EQ(out.header.dwSize, 1468u);
    EXPECT_EQ(out.header.dwVersion, 1u);
}

TEST(OemDevmode, ConvertForeignSignatureYieldsDefaults) {
    OemDevmode in = Defaults();
    in.header.dwSignature = 0x12345678;
    in.duplexMode = 3;
    OemDevmode out;
    std::memset(&out, 0x77, sizeof out);
    out.header.dwSignature = kOemSignature;
    ASSERT_TRUE(ConvertOemDevmode(&in, &out));
    EXPECT_EQ(Bytes(out), Bytes(Defaults()));
}

TEST(OemDevmode, ConvertNeverCopiesPastTheRecordWhateverTheSizesClaim) {
    // Both records claim far more than 1468 bytes; `out` sits inside a guarded buffer.
    std::vector<uint8_t> in(4096, 0x33);
    OemDevmode head = Defaults();
    head.header.dwSize = 0xFFFFFFFF;
    std::memcpy(in.data(), &head, 12);
    std::vector<uint8_t> arena(sizeof(OemDevmode) + 64, 0xEE);
    auto* out = reinterpret_cast<OemDevmode*>(arena.data());
    DefaultOemDevmode(out);
    out->header.dwSize = 5000;
    ASSERT_TRUE(ConvertOemDevmode(reinterpret_cast<const OemDevmode*>(in.data()), out));
    for (size_t i = sizeof(OemDevmode); i < arena.size(); ++i)
        ASSERT_EQ(arena[i], 0xEE) << i;
    EXPECT_EQ(out->header.dwSize, 1468u);
    EXPECT_EQ(arena[1467], 0x33);
}

TEST(OemDevmode, ConvertBytesUsesOnlyWhatTheStoredFileHolds) {
    OemDevmode stored = Defaults();
    stored.duplexMode = 0;  // offset 1463, beyond what the file below holds
    stored.jobLimitValue = 7;
    OemDevmode out = Defaults();
    ASSERT_TRUE(ConvertOemDevmodeBytes(reinterpret_cast<uint8_t*>(&stored), 100, &out));
    EXPECT_EQ(out.jobLimitValue, 7);
    EXPECT_EQ(out.duplexMode, 1);
    // Fewer than 8 bytes: no signature, so the record counts as foreign.
    stored.jobLimitValue = 9;
    ASSERT_TRUE(ConvertOemDevmodeBytes(reinterpret_cast<uint8_t*>(&stored), 7, &out));
    EXPECT_EQ(Bytes(out), Bytes(Defaults()));
}

TEST(OemDevmode, ConvertAndValidateRefuseAbsentRecords) {
    OemDevmode r = Defaults();
    EXPECT_FALSE(ConvertOemDevmode(nullptr, &r));
    EXPECT_FALSE(ConvertOemDevmode(&r, nullptr));
    EXPECT_FALSE(ValidateOemDevmode(nullptr));
    EXPECT_EQ(Bytes(r), Bytes(Defaults()));
}

TEST(OemDevmode, ValidateRepairsHeaderAndClampsJobLimit) {
    struct Case {
        int32_t in, out;
    } cases[] = {{100, 100}, {-5, -5}, {101, 0}, {0x7FFFFFFF, 0}, {0, 0}};
    for (auto c : cases) {
        OemDevmode r = Defaults();
        r.header = {1, 2, 3};
        r.jobLimitValue = c.in;
        ASSERT_TRUE(ValidateOemDevmode(&r));
        EXPECT_EQ(r.jobLimitValue, c.out) << c.in;
        EXPECT_EQ(r.header.dwSize, 1468u);
        EXPECT_EQ(r.header.dwSignature, kOemSignature);
        EXPECT_EQ(r.header.dwVersion, 1u);
    }
}

TEST(OemDevmode, EventBlocksRoundTripThroughTheirOwnShapes) {
    const EventMoment moments[] = {EventMoment::StartOfDocument, EventMoment::StartOfPage,
                                   EventMoment::EndOfPage, EventMoment::EndOfDocument};
    const int volumeOffsets[] = {156, 295, 586, 442};
    const int selectorOffsets[] = {152, 300, 588, 444};
    for (int i = 0; i < 4; ++i) {
        OemDevmode r = Defaults();
        EventActionSettings s;
        s.buzzerVolume = 200;
        s.drawerOrPrompter = 1;
        s.commandLength = 2;
        s.commandBytes[0] = 0x1B;
        s.commandBytes[1] = 0x40;
        WriteEventBlock(r, moments[i], s);
        const auto b = Bytes(r);
        EXPECT_EQ(b[volumeOffsets[i]], 200) << i;
        EXPECT_EQ(b[selectorOffsets[i]], 1) << i;
        const auto back = ReadEventBlock(r, moments[i]);
        EXPECT_EQ(back.buzzerVolume, 200);
        EXPECT_EQ(back.commandLength, 2);
        EXPECT_EQ(back.commandBytes[1], 0x40);
    }
}

}  // namespace
}  // namespace krv
