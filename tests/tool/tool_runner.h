// Runs the built krv857 program as a user does and keeps what it said: its exit status and its
// standard output and error. A run that does not end within the timeout is killed and reported
// as hung, so a tool that blocks fails its test instead of stopping the suite.
#pragma once

#include <string>
#include <vector>

namespace krv::test {

struct ToolRun {
    int exitCode = -1;  // -1 when it hung or could not be started
    bool hung = false;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args, int timeoutMs = 30000);

}  // namespace krv::test
