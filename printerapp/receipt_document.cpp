#include "printerapp/receipt_document.h"

#include "jobs/event_actions.h"

namespace krv::app {

bool ReceiptDocument::Actions(EventMoment moment) {
    const Bytes actions = BuildEventActions(settings_.At(moment));
    return actions.empty() || sink_.Write(actions);
}

bool ReceiptDocument::Begin() {
    static const Bytes kReset = {0x1B, 0x40};
    return sink_.Write(kReset) && Actions(EventMoment::StartOfDocument);
}

bool ReceiptDocument::Page(const Bytes& content) {
    return Actions(EventMoment::StartOfPage) && (content.empty() || sink_.Write(content)) &&
           Actions(EventMoment::EndOfPage);
}

bool ReceiptDocument::End() {
    return Actions(EventMoment::EndOfDocument);
}

}  // namespace krv::app
