// A spooler that remembers everything: the calls in order, the last job's document name and
// data type, every write that succeeded. Any one call can be made to fail, or a write to come
// back short, so the callers' failure paths can be driven.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "channel/raw_printer_channel.h"

namespace krv {

class RecordingSpooler : public SpoolerSeam {
  public:
    enum class Call { StartDoc, StartPage, Write, EndPage, EndDoc };

    bool StartDocument(std::string_view documentName, std::string_view dataType) override;
    bool StartPage() override;
    bool Write(const uint8_t* data, uint32_t length, uint32_t* written) override;
    bool EndPage() override;
    bool EndDocument() override;

    // Make the n-th call (0-based) of the given kind fail. For Write, `shortBy` > 0 makes it
    // succeed but report that many bytes fewer written instead.
    void FailAt(Call call, int nth = 0, uint32_t shortBy = 0);

    std::vector<Call> calls;
    std::string documentName;
    std::string dataType;
    std::vector<Bytes> pieces;  // every write that succeeded, in order
    Bytes Joined() const;
    int jobs = 0;  // StartDoc calls that succeeded

  private:
    bool Step(Call call);
    bool failArmed_ = false;
    Call failCall_ = Call::StartDoc;
    int failNth_ = 0;
    uint32_t shortBy_ = 0;
    int counts_[5] = {};
};

}  // namespace krv
