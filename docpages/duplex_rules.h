// The rules of the duplex page: the duplex mode decides whether a binding edge applies, the
// edge decides the picture, and the top/bottom message switch stores 0 or 3.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "frame/oem_devmode.h"

namespace krv {

inline constexpr std::array<std::u16string_view, 5> kDuplexModeItems = {
    u"单面模式", u"单面拆分双面模式", u"双面模式", u"反面预定义模式", u"单面页模式"};
inline constexpr std::array<std::u16string_view, 2> kTopBottomMessageItems = {u"关", u"开"};

inline constexpr uint8_t kBindingLongEdge = 0;
inline constexpr uint8_t kBindingShortEdge = 1;
inline constexpr uint8_t kBindingNotApplicable = 2;
inline constexpr uint8_t kTopBottomMessageOn = 3;

// The one picture shown at a time.
enum class DuplexPicture {
    LongEdge,   // IDC_DUPLEX_LONG_EDGE_PICTURE, IDB_BINDING_LONG_EDGE
    ShortEdge,  // IDC_DUPLEX_SHORT_EDGE_PICTURE, IDB_BINDING_SHORT_EDGE
    NoEdge,     // IDC_DUPLEX_NO_EDGE_PICTURE, IDB_BINDING_NONE
};

struct BindingEdgeView {
    DuplexPicture picture = DuplexPicture::LongEdge;
    bool radiosEnabled = true;  // "按长边翻转" and "按短边翻转"
    bool longEdgeChecked = false;
    bool shortEdgeChecked = false;
};

// The page as it opens on a stored edge: long and short show their picture and radio, any
// other value the picture without an edge and both radios disabled.
BindingEdgeView InitialBindingEdgeView(uint8_t bindingEdge);

// Modes 1, 2 and 3 print two sides and bind on an edge; modes 0 and 4 have no edge.
bool DuplexModeHasBindingEdge(uint8_t duplexMode);

// A mode chosen in the combo: stores the mode and the edge it implies (long edge, or not
// applicable) and returns what the edge controls show. A selection outside the list changes
// nothing and returns the view of the stored edge.
BindingEdgeView SelectDuplexMode(OemDevmode& record, int selection);

// A radio clicked: stores the edge and returns the view.
BindingEdgeView SelectBindingEdge(OemDevmode& record, uint8_t bindingEdge);

// The top/bottom message list: any stored non-zero value shows "开"; "开" stores 3 and "关" 0.
int TopBottomMessageSelection(uint8_t topBottomMessage);
uint8_t TopBottomMessageValue(int selection);

}  // namespace krv
