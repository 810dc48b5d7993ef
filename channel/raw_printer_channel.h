// One RAW spooler job: start the document, start the page, write the pieces in order, end
// the page, end the document. The call order and the failure rules live here once; the
// spooler itself sits behind SpoolerSeam (winspool in the DLL, the krv857 tool's files,
// devices, standard output and network printers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace krv {

using Bytes = std::vector<uint8_t>;

class SpoolerSeam {
  public:
    virtual ~SpoolerSeam() = default;
    // Level-1 job description: document name, no output file, the given data type.
    virtual bool StartDocument(std::string_view documentName, std::string_view dataType) = 0;
    virtual bool StartPage() = 0;
    virtual bool Write(const uint8_t* data, uint32_t length, uint32_t* written) = 0;
    virtual bool EndPage() = 0;
    virtual bool EndDocument() = 0;
};

// A job as the byte builders produce it: the document name and the pieces in order.
struct PrinterJob {
    std::string documentName;
    std::vector<Bytes> pieces;

    void Add(Bytes piece) { pieces.push_back(std::move(piece)); }
    void Add(std::initializer_list<uint8_t> piece) { pieces.emplace_back(piece); }
    size_t TotalBytes() const;
    Bytes Joined() const;  // every piece in order, as the printer receives them
};

struct SendOptions {
    // The file download needs every byte accepted: a short write counts as a failure.
    bool requireAllWritten = false;
};

// True when every step succeeded. Shows nothing and never retries.
bool SendRawJob(SpoolerSeam& spooler, std::string_view documentName,
                std::span<const std::span<const uint8_t>> pieces, SendOptions options = {});
bool SendRawJob(SpoolerSeam& spooler, const PrinterJob& job, SendOptions options = {});

}  // namespace krv
