// Input files and job output of the tool: where a job goes is chosen by the form of `-o`, and
// every way there is one SpoolerSeam, so the call order and failure rules of a RAW job are the
// same as the plug-in's.
#include <cstdio>
#include <cstdlib>

#include "channel/ansi_text.h"
#include "files/files.h"
#include "tools/tool.h"
#include "tools/tool_system.h"

namespace krv::tool {

namespace {

constexpr char kSocketScheme[] = "socket://";
#ifdef _WIN32
constexpr char kPathSeparators[] = "\\/";
#else
constexpr char kPathSeparators[] = "/";
#endif
constexpr char kDefaultPrinterPort[] = "9100";
constexpr int kDefaultTimeoutSeconds = 15;

struct SocketTarget {
    std::string host;
    std::string port = kDefaultPrinterPort;
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

// socket://HOST[:PORT][?timeout=SECONDS]; an IPv6 address goes in brackets.
SocketTarget ParseSocketTarget(const std::string& target) {
    const auto bad = [&](const std::string& why) {
        return UsageError("-o " + target + ": " + why +
                          " (socket://HOST[:PORT][?timeout=SECONDS])");
    };
    std::string rest = target.substr(sizeof kSocketScheme - 1);
    SocketTarget t;
    if (const size_t q = rest.find('?'); q != std::string::npos) {
        const std::string query = rest.substr(q + 1);
        rest.resize(q);
        const std::string key = "timeout=";
        char* end = nullptr;
        const long seconds =
            query.rfind(key, 0) == 0 ? std::strtol(query.c_str() + key.size(), &end, 10) : 0;
        if (!end || *end || seconds < 1 || seconds > 3600)
            throw bad("the timeout must be 1 to 3600 seconds");
        t.timeoutSeconds = static_cast<int>(seconds);
    }
    size_t portAt = std::string::npos;
    if (!rest.empty() && rest[0] == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos) throw bad("unclosed [");
        t.host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) {
            if (rest[close + 1] != ':') throw bad("unexpected text after ]");
            portAt = close + 1;
        }
    } else {
        portAt = rest.find(':');
        t.host = rest.substr(0, portAt);
    }
    if (portAt != std::string::npos) {
        t.port = rest.substr(portAt + 1);
        char* end = nullptr;
        const long port = std::strtol(t.port.c_str(), &end, 10);
        if (t.port.empty() || *end || port < 1 || port > 65535)
            throw bad("the port must be 1 to 65535");
    }
    if (t.host.empty()) throw bad("no host");
    return t;
}

// A file: written beside the target and moved over it at Finish.
class FileSink : public sys::Sink {
  public:
    explicit FileSink(const std::string& path) : file_(PathToUtf16(path)) {}
    bool IsOpen() const { return file_.IsOpen(); }
    bool Write(const uint8_t* data, size_t size, std::string* error) override {
        if (file_.file().Write(data, size)) return true;
        *error = LastFileError();
        return false;
    }
    bool Finish(std::string* error) override {
        if (file_.Commit()) return true;
        *error = LastFileError();
        return false;
    }

  private:
    ReplacementFile file_;
};

// The folder a new file beside `path` goes in, as the user would name it.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(kPathSeparators);
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// A file (new or replaced), a character device or a pipe; anything else is refused.
std::unique_ptr<sys::Sink> OpenPathSink(const std::string& path, std::string* error) {
    std::string what;
    switch (KindOfPath(PathToUtf16(path), &what)) {
        case PathKind::Missing:
        case PathKind::File: {
            auto sink = std::make_unique<FileSink>(path);
            if (sink->IsOpen()) return sink;
            *error = "cannot create a file in " + FolderOf(path) + ": " + LastFileError();
            return nullptr;
        }
        case PathKind::Device:
            return sys::OpenDeviceSink(path, error);
        case PathKind::Folder:
            *error = "is a folder";
            return nullptr;
        case PathKind::Unknown:
        case PathKind::Other:
            break;
    }
    *error = what;
    return nullptr;
}

// Opens the place `target` names; refused with the system's reason when it cannot.
std::unique_ptr<sys::Sink> OpenTarget(const std::string& target) {
    std::string error;
    std::unique_ptr<sys::Sink> sink;
    if (target == "-") {
        sink = sys::OpenStandardOutput(&error);
    } else if (target.rfind(kSocketScheme, 0) == 0) {
        const SocketTarget t = ParseSocketTarget(target);
        sink = sys::OpenSocketSink(t.host, t.port, t.timeoutSeconds * 1000, &error);
        if (!sink) error = "cannot connect: " + error;
    } else if (target.empty()) {
        throw UsageError("-o needs a file, a device, - or socket://HOST[:PORT]");
    } else {
        sink = OpenPathSink(target, &error);
    }
    if (!sink) throw Refusal(target, error);
    return sink;
}

// The job's way out: the document starts by opening the target and ends by finishing it.
class OutputSpooler : public SpoolerSeam {
  public:
    explicit OutputSpooler(std::unique_ptr<sys::Sink> sink) : sink_(std::move(sink)) {}
    bool StartDocument(std::string_view, std::string_view) override { return true; }
    bool StartPage() override { return true; }
    bool Write(const uint8_t* data, uint32_t length, uint32_t* written) override {
        *written = 0;
        if (!sink_->Write(data, length, &error_)) return false;
        *written = length;
        bytes_ += length;
        return true;
    }
    bool EndPage() override { return true; }
    bool EndDocument() override { return error_.empty() && sink_->Finish(&error_); }

    const std::string& error() const { return error_; }
    uint64_t bytes() const { return bytes_; }

  private:
    std::unique_ptr<sys::Sink> sink_;
    std::string error_;
    uint64_t bytes_ = 0;
};

}  // namespace

Bytes ReadInputFile(const std::string& path, uint64_t limit, const char* pageMessage) {
    const auto refuse = [&](const std::string& error) {
        return Refusal(path, pageMessage
                                 ? std::string(pageMessage) + " (cannot read it: " + error + ")"
                                 : error);
    };
    std::string what;
    if (KindOfPath(PathToUtf16(path), &what) != PathKind::File) throw refuse(what);
    auto bytes = ReadWholeFile(PathToUtf16(path), limit);
    if (!bytes) throw refuse(LastFileError());
    return std::move(*bytes);
}

void RequireRegularFile(const std::string& path) {
    std::string what;
    if (KindOfPath(PathToUtf16(path), &what) != PathKind::File) throw Refusal(path, what);
}

void RequireFileTarget(const std::string& path) {
    std::string what;
    const PathKind kind = KindOfPath(PathToUtf16(path), &what);
    if (kind != PathKind::Missing && kind != PathKind::File) throw Refusal(path, what);
}

int WriteJob(const PrinterJob& job, const std::string& target) {
    OutputSpooler spooler(OpenTarget(target));
    if (!SendRawJob(spooler, job, {.requireAllWritten = true}))
        throw Refusal(target,
                      spooler.error().empty() ? "the job could not be written" : spooler.error());
    std::fprintf(stderr, "job \"%s\", %llu bytes\n", job.documentName.c_str(),
                 static_cast<unsigned long long>(spooler.bytes()));
    return kExitDone;
}

void WriteOutput(const std::string& target, const Bytes& bytes) {
    std::unique_ptr<sys::Sink> sink = OpenTarget(target);
    std::string error;
    if (!sink->Write(bytes.data(), bytes.size(), &error) || !sink->Finish(&error))
        throw Refusal(target, error);
}

}  // namespace krv::tool
