#include "printerapp/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

extern char** environ;

namespace krv::app {

namespace {

constexpr size_t kMaxErrors = 64 * 1024;
constexpr int kExecFailed = 127;

struct Pipe {
    int read = -1, write = -1;
    bool Open() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
    ~Pipe() {
        if (read >= 0) close(read);
        if (write >= 0) close(write);
    }
    void CloseWrite() {
        close(write);
        write = -1;
    }
};

// Appends what `fd` has to `into` (at most `room` more bytes are kept; the rest is read and
// counted). False at the end of the stream.
bool Drain(int fd, std::string& into, size_t room, size_t* dropped) {
    char buffer[65536];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) return errno == EINTR || errno == EAGAIN;
    if (n == 0) return false;
    const size_t keep = std::min(static_cast<size_t>(n), room);
    into.append(buffer, keep);
    *dropped += static_cast<size_t>(n) - keep;
    return true;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, size_t maxOutput, int timeoutMs) {
    ProcessResult r;
    Pipe out, err;
    if (argv.empty() || !out.Open() || !err.Open()) return r;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write, 2);
    // Nothing of the server (its listening sockets, the job's device) reaches the helper.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    out.CloseWrite();
    err.CloseWrite();
    if (spawned != 0) return r;
    r.started = true;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool outOpen = true, errOpen = true;
    size_t outDropped = 0, errDropped = 0;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            r.timedOut = true;
            break;
        }
        pollfd fds[2] = {{outOpen ? out.read : -1, POLLIN, 0},
                         {errOpen ? err.read : -1, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            outOpen = Drain(out.read, r.output, maxOutput - r.output.size(), &outDropped);
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            errOpen = Drain(err.read, r.errors, kMaxErrors - r.errors.size(), &errDropped);
        if (outDropped > 0) {
            r.outputTooLarge = true;
            break;
        }
    }
    if (r.timedOut || r.outputTooLarge || outOpen || errOpen) kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Where the spawn cannot report a failed exec (valgrind, for one), the child ends with
    // 127 and says nothing.
    if (r.exitStatus == kExecFailed && r.output.empty() && r.errors.empty()) r.started = false;
    return r;
}

}  // namespace krv::app
