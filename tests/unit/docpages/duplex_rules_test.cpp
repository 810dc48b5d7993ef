#include <gtest/gtest.h>

#include "docpages/duplex_rules.h"

namespace krv {
namespace {

OemDevmode Fresh() {
    OemDevmode r;
    DefaultOemDevmode(&r);
    return r;
}

TEST(DuplexRules, FreshRecordShowsSplitModeLongEdgeAndMessageOff) {
    const OemDevmode r = Fresh();
    EXPECT_EQ(kDuplexModeItems[r.duplexMode], u"单面拆分双面模式");
    const BindingEdgeView v = InitialBindingEdgeView(r.bindingEdge);
    EXPECT_EQ(v.picture, DuplexPicture::LongEdge);
    EXPECT_TRUE(v.longEdgeChecked);
    EXPECT_TRUE(v.radiosEnabled);
    EXPECT_EQ(kTopBottomMessageItems[TopBottomMessageSelection(r.topBottomMessage)], u"关");
}

struct ModeCase {
    int selection;
    uint8_t edge;
    DuplexPicture picture;
    bool radiosEnabled;
};

TEST(DuplexRules, ChoosingAModeSetsTheEdge) {
    const ModeCase cases[] = {{0, 2, DuplexPicture::NoEdge, false},
                              {1, 0, DuplexPicture::LongEdge, true},
                              {2, 0, DuplexPicture::LongEdge, true},
                              {3, 0, DuplexPicture::LongEdge, true},
                              {4, 2, DuplexPicture::NoEdge, false}};
    for (const auto& c : cases) {
        OemDevmode r = Fresh();
        r.bindingEdge = 1;  // a short edge chosen before gives way to the long edge
        const BindingEdgeView v = SelectDuplexMode(r, c.selection);
        EXPECT_EQ(r.duplexMode, c.selection);
        EXPECT_EQ(r.bindingEdge, c.edge) << c.selection;
        EXPECT_EQ(v.picture, c.picture) << c.selection;
        EXPECT_EQ(v.radiosEnabled, c.radiosEnabled) << c.selection;
        EXPECT_EQ(v.longEdgeChecked, c.edge == 0) << c.selection;
    }
}

TEST(DuplexRules, SelectionOutsideTheListChangesNothing) {
    OemDevmode r = Fresh();
    SelectDuplexMode(r, -1);
    SelectDuplexMode(r, 5);
    EXPECT_EQ(r.duplexMode, 1);
    EXPECT_EQ(r.bindingEdge, 0);
}

}  // namespace
}  // namespace krv
