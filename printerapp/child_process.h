// Runs a helper program (the PDF renderer) in its own process and takes what it prints: a
// renderer that crashes, hangs or floods its output cannot take the server with it. The
// program's standard input is /dev/null.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace krv::app {

struct ProcessResult {
    bool started = false;
    bool timedOut = false;        // killed at the deadline
    bool outputTooLarge = false;  // killed when its output passed the limit
    int exitStatus = -1;          // the exit code; -1 when it ended by a signal
    std::string output;           // standard output, at most the limit
    std::string errors;           // the start of its standard error (at most 64 KiB)

    bool Succeeded() const { return started && !timedOut && !outputTooLarge && exitStatus == 0; }
};

// argv[0] is looked up in PATH.
ProcessResult RunProcess(const std::vector<std::string>& argv, size_t maxOutput, int timeoutMs);

}  // namespace krv::app
