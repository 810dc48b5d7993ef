#include "tests/support/recording_spooler.h"

namespace krv {

void RecordingSpooler::FailAt(Call call, int nth, uint32_t shortBy) {
    failArmed_ = true;
    failCall_ = call;
    failNth_ = nth;
    shortBy_ = shortBy;
}

bool RecordingSpooler::Step(Call call) {
    calls.push_back(call);
    const int n = counts_[static_cast<int>(call)]++;
    return !(failArmed_ && call == failCall_ && n == failNth_ && shortBy_ == 0);
}

bool RecordingSpooler::StartDocument(std::string_view name, std::string_view type) {
    if (!Step(Call::StartDoc)) return false;
    documentName = name;
    dataType = type;
    ++jobs;
    return true;
}

bool RecordingSpooler::StartPage() {
    return Step(Call::StartPage);
}

bool RecordingSpooler::Write(const uint8_t* data, uint32_t length, uint32_t* written) {
    const int n = counts_[static_cast<int>(Call::Write)];
    if (!Step(Call::Write)) {
        *written = 0;
        return false;
    }
    uint32_t accepted = length;
    if (failArmed_ && failCall_ == Call::Write && n == failNth_ && shortBy_ > 0)
        accepted = shortBy_ >= length ? 0 : length - shortBy_;
    pieces.emplace_back(data, data + accepted);
    *written = accepted;
    return true;
}

bool RecordingSpooler::EndPage() {
    return Step(Call::EndPage);
}
bool RecordingSpooler::EndDocument() {
    return Step(Call::EndDoc);
}

Bytes RecordingSpooler::Joined() const {
    Bytes all;
    for (const auto& p : pieces)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace krv
