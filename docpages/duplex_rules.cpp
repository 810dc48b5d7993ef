#include "docpages/duplex_rules.h"

namespace krv {

BindingEdgeView InitialBindingEdgeView(uint8_t bindingEdge) {
    BindingEdgeView view;
    if (bindingEdge == kBindingShortEdge) {
        view.picture = DuplexPicture::ShortEdge;
        view.shortEdgeChecked = true;
    } else if (bindingEdge == kBindingLongEdge) {
        view.picture = DuplexPicture::LongEdge;
        view.longEdgeChecked = true;
    } else {
        view.picture = DuplexPicture::NoEdge;
        view.radiosEnabled = false;
    }
    return view;
}

bool DuplexModeHasBindingEdge(uint8_t duplexMode) {
    return duplexMode >= 1 && duplexMode <= 3;
}

BindingEdgeView SelectDuplexMode(OemDevmode& record, int selection) {
    if (selection < 0 || static_cast<size_t>(selection) >= kDuplexModeItems.size())
        return InitialBindingEdgeView(record.bindingEdge);
    record.duplexMode = static_cast<uint8_t>(selection);
    // A newly chosen two-sided mode starts from the long edge, whatever was stored before.
    record.bindingEdge =
        DuplexModeHasBindingEdge(record.duplexMode) ? kBindingLongEdge : kBindingNotApplicable;
    return InitialBindingEdgeView(record.bindingEdge);
}

BindingEdgeView SelectBindingEdge(OemDevmode& record, uint8_t bindingEdge) {
    record.bindingEdge = bindingEdge;
    return InitialBindingEdgeView(bindingEdge);
}

int TopBottomMessageSelection(uint8_t topBottomMessage) {
    return topBottomMessage != 0 ? 1 : 0;
}

uint8_t TopBottomMessageValue(int selection) {
    return selection == 1 ? kTopBottomMessageOn : 0;
}

}  // namespace krv
