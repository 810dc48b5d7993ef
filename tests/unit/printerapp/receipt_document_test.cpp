#include <gtest/gtest.h>

#include "printerapp/receipt_document.h"

namespace krv::app {
namespace {

class MemorySink : public ByteSink {
  public:
    using ByteSink::Write;
    bool Write(const uint8_t* data, size_t size) override {
        if (writes++ == failAt) return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    Bytes bytes;
    int writes = 0;
    int failAt = -1;
};

ReceiptSettings Marked() {
    // One free command byte a moment, so each moment's place shows.
    ReceiptSettings s;
    const uint8_t marks[4] = {0xD0, 0xD1, 0xD2, 0xD3};
    for (size_t m = 0; m < 4; ++m) {
        s.moments[m].sendCommand = 1;
        s.moments[m].commandLength = 1;
        s.moments[m].commandBytes[0] = marks[m];
    }
    return s;
}

TEST(ReceiptDocument, PutsEachMomentAroundThePages) {
    const ReceiptSettings s = Marked();
    MemorySink sink;
    ReceiptDocument doc(s, sink);
    ASSERT_TRUE(doc.Begin());
    ASSERT_TRUE(doc.Page({0xA1}));
    ASSERT_TRUE(doc.Page({}));
    ASSERT_TRUE(doc.End());
    // Start of document, start of page, content, end of page (moment 2), end of document.
    EXPECT_EQ(sink.bytes, (Bytes{0x1B, 0x40, 0xD0, 0xD1, 0xA1, 0xD2, 0xD1, 0xD2, 0xD3}));
}

TEST(ReceiptDocument, AFailedWriteStopsThePage) {
    const ReceiptSettings s = Marked();
    MemorySink sink;
    sink.failAt = 2;  // the start-of-page actions (after the reset and the document's)
    ReceiptDocument doc(s, sink);
    ASSERT_TRUE(doc.Begin());
    EXPECT_FALSE(doc.Page({0xA1}));
    EXPECT_EQ(sink.bytes, (Bytes{0x1B, 0x40, 0xD0}));
}

}  // namespace
}  // namespace krv::app
