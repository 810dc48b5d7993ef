// The tool's doors to the system beyond files (which go through files/files.h): devices and
// pipes written as they go, standard output and network printers. One POSIX body and one
// Windows body; every result says why it failed in the system's own words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace krv::tool::sys {

// Once at start: a closed pipe is a write error, not a signal; standard output is binary.
void PrepareProcess();

// Where bytes go. A sink destroyed before Finish succeeded leaves a target file as it was.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual bool Write(const uint8_t* data, size_t size, std::string* error) = 0;
    // Closes (and for a file, moves the finished file over the target).
    virtual bool Finish(std::string* error) = 0;
};

// A character device or a pipe (PathKind::Device), written directly.
std::unique_ptr<Sink> OpenDeviceSink(const std::string& path, std::string* error);
std::unique_ptr<Sink> OpenStandardOutput(std::string* error);
// A raw TCP connection; `timeoutMs` bounds the connection and every wait to write.
std::unique_ptr<Sink> OpenSocketSink(const std::string& host, const std::string& port,
                                     int timeoutMs, std::string* error);

}  // namespace krv::tool::sys
