// Record files given to the tool: read to at most one byte more than a record, and named for
// what they are not when they are no private record.
#include <algorithm>
#include <cstring>

#include "frame/oem_devmode.h"
#include "tools/tool.h"

namespace krv::tool {

Bytes ReadStoredRecord(const std::string& path, bool wholeRecord) {
    Bytes bytes = ReadInputFile(path, kRecordReadLimit);
    uint32_t signature = 0;
    if (bytes.size() >= 8) std::memcpy(&signature, bytes.data() + 4, 4);
    if (signature != kOemSignature)
        throw Refusal(path, "not a private record (its signature is not \"VKRT\")");
    if (wholeRecord && bytes.size() != kOemDevmodeSize)
        throw Refusal(path, "not a 1468-byte record (" +
                                (bytes.size() > kOemDevmodeSize ? std::string("more than 1468")
                                                                : std::to_string(bytes.size())) +
                                " bytes)");
    bytes.resize(std::min<size_t>(bytes.size(), kOemDevmodeSize));
    return bytes;
}

}  // namespace krv::tool
