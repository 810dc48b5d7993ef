#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/tool/tool_runner.h"
#include "tests/common/test_bitmaps.h"

namespace krv::test {

ToolRun RunTool(const std::vector<std::string>& args, int timeoutMs) {
    ScratchFolder dir;
    const std::string out = dir.SystemPath("out"), err = dir.SystemPath("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = open("/dev/null", O_RDONLY);
        dup2(o, 1), dup2(e, 2), dup2(in, 0);
        std::vector<char*> argv{const_cast<char*>(KRV857_TOOL)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(KRV857_TOOL, argv.data());
        _exit(127);
    }
    ToolRun run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            run.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!run.hung) run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    const Bytes o = ScratchFolder::Read(out), e = ScratchFolder::Read(err);
    run.out.assign(o.begin(), o.end());
    run.err.assign(e.begin(), e.end());
    return run;
}

}  // namespace krv::test
