// The watermark's text fields in the private record at their limits and one past them: what is
// stored never reaches the field behind it, a path that does not fit is refused whole, and a
// stored record whose field has no terminator is read no further than the field.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "docpages/watermark_page_rules.h"

namespace krv {
namespace {

struct FieldCase {
    const char* name;
    size_t characters;  // offered to the store
    size_t stored;      // characters the field then holds
    std::function<void(OemDevmode&, std::u16string_view)> store;
    std::function<std::u16string(const OemDevmode&)> read;
    size_t nextFieldOffset;  // the first byte after the field
};

OemDevmode Filled() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r;
}

// The record's bytes from `offset` on must be those of `before`.
void ExpectUnchangedFrom(const OemDevmode& before, const OemDevmode& after, size_t offset) {
    const auto* a = reinterpret_cast<const uint8_t*>(&before);
    const auto* b = reinterpret_cast<const uint8_t*>(&after);
    EXPECT_EQ(std::memcmp(a + offset, b + offset, kOemDevmodeSize - offset), 0);
}

TEST(WatermarkFields, AtTheLimitAndOnePast) {
    const auto text = [](OemDevmode& r, std::u16string_view s) { StoreWatermarkText(r, s); };
    const auto face = [](OemDevmode& r, std::u16string_view s) { StoreWatermarkFontName(r, s); };
    const auto path = [](OemDevmode& r, std::u16string_view s) { StoreWatermarkImagePath(r, s); };
    const size_t afterText = offsetof(OemDevmode, watermarkFontName);
    const size_t afterFace = offsetof(OemDevmode, watermarkFontSize);
    const size_t afterPath = offsetof(OemDevmode, watermarkMode);
    const FieldCase cases[] = {
        {"text 15", 15, 15, text, StoredWatermarkText, afterText},
        {"text 16", 16, 15, text, StoredWatermarkText, afterText},
        {"font name 49", 49, 49, face, StoredWatermarkFontName, afterFace},
        {"font name 50", 50, 49, face, StoredWatermarkFontName, afterFace},
        {"path 124", 124, 124, path, StoredWatermarkImagePath, afterPath},
        {"path 125 refused", 125, 0, path, StoredWatermarkImagePath, afterPath},
    };
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(c.name);
        const OemDevmode before = Filled();
        OemDevmode after = before;
        // Fill the bytes behind the field so that a spill would show.
        std::memset(reinterpret_cast<uint8_t*>(&after) + c.nextFieldOffset, 0xA5, 2);
        OemDevmode marked = after;
        c.store(after, std::u16string(c.characters, u'W'));
        EXPECT_EQ(c.read(after), std::u16string(c.stored, u'W'));
        ExpectUnchangedFrom(marked, after, c.nextFieldOffset);
    }
}

TEST(WatermarkFields, ARefusedPathKeepsThePreviousOne) {
    OemDevmode r = Filled();
    ASSERT_TRUE(StoreWatermarkImagePath(r, u"C:\\logo.bmp"));
    EXPECT_FALSE(WatermarkImagePathFits(std::u16string(125, u'p')));
    EXPECT_FALSE(StoreWatermarkImagePath(r, std::u16string(125, u'p')));
    EXPECT_EQ(StoredWatermarkImagePath(r), u"C:\\logo.bmp");
}

// A record from outside whose fields are full to the last unit, without terminators: each read
// stops at the end of its own field.
TEST(WatermarkFields, UnterminatedStoredFieldsAreReadOnlyToTheirEnd) {
    OemDevmode r = Filled();
    for (auto& ch : r.watermarkText)
        ch = u'T';
    for (auto& ch : r.watermarkFontName)
        ch = u'F';
    for (auto& ch : r.watermarkImagePath)
        ch = u'P';
    EXPECT_LE(StoredWatermarkText(r).size(), std::size(r.watermarkText));
    EXPECT_EQ(StoredWatermarkText(r).find(u'F'), std::u16string::npos);
    EXPECT_LE(StoredWatermarkFontName(r).size(), std::size(r.watermarkFontName));
    EXPECT_LE(StoredWatermarkImagePath(r).size(), std::size(r.watermarkImagePath));
}

}  // namespace
}  // namespace krv
