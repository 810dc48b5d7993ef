// The tool's only doors to the system: input files read without blocking on anything that is
// not a file, and the places jobs go. One POSIX body and one Windows body; every result says
// why it failed in the system's own words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "channel/raw_printer_channel.h"

namespace krv::tool::sys {

// Once at start: a closed pipe is a write error, not a signal; standard output is binary.
void PrepareProcess();

// The system's text for its last error.
std::string LastError();

// Reads at most `limit` bytes of the regular file `path`. False with the reason (naming what
// the path is when it is not a regular file) otherwise; nothing that is not a regular file is
// opened, so a pipe or a device never blocks the read.
bool ReadRegularFile(const std::string& path, uint64_t limit, Bytes* out, std::string* error);
// The same check without reading.
bool CheckRegularFile(const std::string& path, std::string* error);
// A place a file may be written by core code that opens it itself: absent, or a regular file.
bool CheckFileTarget(const std::string& path, std::string* error);

// Where bytes go. A sink destroyed before Finish succeeded leaves a target file as it was.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual bool Write(const uint8_t* data, size_t size, std::string* error) = 0;
    // Closes (and for a file, renames the finished file over the target).
    virtual bool Finish(std::string* error) = 0;
};

// A file is written to a new file in its folder and renamed over it at Finish; a character
// device or a pipe is written directly; anything else is refused.
std::unique_ptr<Sink> OpenFileSink(const std::string& path, std::string* error);
std::unique_ptr<Sink> OpenStandardOutput(std::string* error);
// A raw TCP connection; `timeoutMs` bounds the connection and every wait to write.
std::unique_ptr<Sink> OpenSocketSink(const std::string& host, const std::string& port,
                                     int timeoutMs, std::string* error);

}  // namespace krv::tool::sys
