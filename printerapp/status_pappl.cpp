// The live status of printers whose device answers (USB, socket). A thread of each such printer
// asks it while no job holds it: at the status interval, and at once when a job ends. Each job
// also asks at its start, over its own connection. The answers set the printer's
// printer-state-reasons at once and its cash drawer attribute within a second.
//
// Lock rule: PAPPL may call the delete callback (which joins the thread) with the system's lock
// held, so the thread calls nothing of PAPPL's that takes that lock. Rebuilding the drawer
// attribute does: it is done on PAPPL's main loop, over the printers PAPPL iterates (no printer
// can be deleted meanwhile), and in PAPPL's status callback.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "printerapp/app_pappl.h"

namespace krv::app {

namespace {

using std::chrono::milliseconds;

// How often, and how many times, a printer whose job just ended is asked whether it is free.
constexpr milliseconds kAfterJobRetry{50};
constexpr int kAfterJobRetries = 40;

StatusSettings& Settings() {
    static StatusSettings settings;
    return settings;
}

struct ReasonBit {
    unsigned ours;
    pappl_preason_t pappl;
    const char* keyword;
};
constexpr ReasonBit kReasonBits[] = {{kReasonMediaEmpty, PAPPL_PREASON_MEDIA_EMPTY, "media-empty"},
                                     {kReasonMediaLow, PAPPL_PREASON_MEDIA_LOW, "media-low"},
                                     {kReasonCoverOpen, PAPPL_PREASON_COVER_OPEN, "cover-open"},
                                     {kReasonMediaJam, PAPPL_PREASON_MEDIA_JAM, "media-jam"},
                                     {kReasonOther, PAPPL_PREASON_OTHER, "other"},
                                     {kReasonOffline, PAPPL_PREASON_OFFLINE, "offline"}};

pappl_preason_t PapplReasons(unsigned reasons) {
    unsigned out = PAPPL_PREASON_NONE;
    for (const ReasonBit& b : kReasonBits)
        if (reasons & b.ours) out |= b.pappl;
    return static_cast<pappl_preason_t>(out);
}

std::string Describe(const StatusReport& r) {
    std::string text;
    for (const ReasonBit& b : kReasonBits)
        if (r.reasons & b.ours) text += std::string(text.empty() ? "" : ", ") + b.keyword;
    return (text.empty() ? "ready" : text) + "; cash drawer " + DrawerKeyword(r.drawer);
}

// A device PAPPL opened, as a status link. PAPPL's reads wait up to ten seconds for data.
class DeviceLink : public StatusLink {
  public:
    explicit DeviceLink(pappl_device_t* device) : device_(device) {}
    bool Send(const uint8_t* data, size_t size) override {
        if (papplDeviceWrite(device_, data, size) < 0) return false;
        papplDeviceFlush(device_);
        return true;
    }
    long Receive(uint8_t* into, size_t capacity, int) override {
        const ssize_t n = papplDeviceRead(device_, into, capacity);
        return n > 0 ? static_cast<long>(n) : -1;  // an empty read is a closed connection
    }

  private:
    pappl_device_t* device_;
};

// A job holds the printer's device, or is about to take it.
bool Busy(pappl_printer_t* printer) {
    const ipp_pstate_t state = papplPrinterGetState(printer);
    return state == IPP_PSTATE_PROCESSING ||
           (state == IPP_PSTATE_IDLE && papplPrinterGetNumberOfActiveJobs(printer) > 0);
}

// Sets the drawer attribute. PAPPL rebuilds a printer's attributes from its driver data; the
// application's own (the options' supported values and defaults, the drawer) ride along.
bool SetDrawerAttribute(pappl_printer_t* printer, DrawerState drawer) {
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    ipp_t* current = papplPrinterGetDriverAttributes(printer);
    ipp_t* own = ippNew();
    ippCopyAttributes(
        own, current, 0,
        [](void*, ipp_t*, ipp_attribute_t* a) -> int {
            const char* name = ippGetName(a);
            return name && std::strncmp(name, "krv-", 4) == 0 &&
                   std::strcmp(name, kDrawerAttribute) != 0;
        },
        nullptr);
    ippAddString(own, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, kDrawerAttribute, nullptr,
                 DrawerKeyword(drawer));
    const bool set = papplPrinterSetDriverData(printer, &data, own);
    ippDelete(own);
    ippDelete(current);
    return set;
}

// Where a printer's device is: a USB printer (empty host) or a socket printer.
struct Device {
    std::string host;
    int port = 0;
};

// The devices that can answer: USB and raw sockets (a file cannot).
std::optional<Device> AnsweringDevice(const char* uri) {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (!uri ||
        httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user, host,
                        sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK)
        return std::nullopt;
    if (std::strcmp(scheme, "usb") == 0) return Device{};
    if (std::strcmp(scheme, "socket") == 0 && *host) return Device{host, port > 0 ? port : 9100};
    return std::nullopt;
}

class Monitor {
  public:
    Monitor(pappl_printer_t* printer, Device device)
        : printer_(printer), device_(std::move(device)) {
        thread_ = std::thread(&Monitor::Run, this);
    }
    ~Monitor() { Stop(); }
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void Stop() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
    }

    // A job ended: ask as soon as the device is free.
    void Wake() {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        wake_.notify_one();
    }

    bool answering() const { return answering_; }
    DrawerState drawer() const { return drawer_; }

    // Makes a reading (none: the printer did not answer) the printer's reasons, and its drawer
    // the attribute's next value.
    void Publish(const std::optional<PrinterStatus>& status) {
        const StatusReport report = ReportStatus(status, Settings().drawerOpen);
        answering_ = status.has_value();
        drawer_ = report.drawer;
        std::lock_guard lock(publish_);
        if (published_ && report == last_) return;
        const pappl_preason_t reasons = PapplReasons(report.reasons);
        papplPrinterSetReasons(printer_, reasons,
                               static_cast<pappl_preason_t>(PapplReasons(~0u) & ~reasons));
        papplLogPrinter(
            printer_, PAPPL_LOGLEVEL_INFO, "Printer status: %s.",
            status ? Describe(report).c_str() : "no answer to the status requests, offline");
        last_ = report;
        published_ = true;
    }

    // The drawer attribute follows the last reading.
    void ShowDrawer() {
        std::lock_guard lock(attribute_);
        const DrawerState wanted = drawer_;
        if (wanted != shown_ && SetDrawerAttribute(printer_, wanted)) shown_ = wanted;
    }

  private:
    void Run() {
        int retries = 0;  // left after a job ended while the device was still taken
        std::unique_lock lock(mutex_);
        for (bool first = true; !stop_; first = false) {
            if (!first) {
                const milliseconds wait =
                    retries > 0 ? kAfterJobRetry : milliseconds(Settings().intervalMs);
                wake_.wait_for(lock, wait, [this] { return stop_ || woken_; });
                if (stop_) break;
                if (std::exchange(woken_, false)) retries = kAfterJobRetries;
            }
            lock.unlock();
            const bool asked = AskIfFree();
            lock.lock();
            retries = asked ? 0 : std::max(retries - 1, 0);
        }
    }

    // Asks the printer unless a job holds it; false when it was not asked.
    bool AskIfFree() {
        if (Busy(printer_)) return false;
        std::optional<PrinterStatus> status;
        const int timeout = Settings().timeoutMs;
        if (device_.host.empty()) {
            pappl_device_t* device = papplPrinterOpenDevice(printer_);
            if (!device && Busy(printer_)) return false;
            if (device) {
                DeviceLink link(device);
                status = QueryPrinterStatus(link, timeout);
                papplPrinterCloseDevice(printer_);
            }
        } else {
            SocketStatusLink link;
            if (link.Connect(device_.host, device_.port, timeout))
                status = QueryPrinterStatus(link, timeout);
            // A job that began meanwhile holds the printer: its silence then says nothing.
            if (!status && Busy(printer_)) return false;
        }
        Publish(status);
        return true;
    }

    pappl_printer_t* printer_;
    Device device_;

    std::mutex mutex_;  // guards stop_ and woken_
    std::condition_variable wake_;
    bool stop_ = false;
    bool woken_ = false;

    std::atomic<bool> answering_{false};
    std::atomic<DrawerState> drawer_{DrawerState::Unknown};
    std::mutex publish_;  // orders readings from the thread and from jobs
    StatusReport last_;
    bool published_ = false;
    std::mutex attribute_;
    DrawerState shown_ = DrawerState::Unknown;  // what the driver callback set up

    std::thread thread_;
};

std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::map<pappl_printer_t*, std::shared_ptr<Monitor>>& Registry() {
    static std::map<pappl_printer_t*, std::shared_ptr<Monitor>> monitors;
    return monitors;
}

std::shared_ptr<Monitor> Find(pappl_printer_t* printer) {
    std::lock_guard lock(RegistryMutex());
    const auto it = Registry().find(printer);
    return it == Registry().end() ? nullptr : it->second;
}

// A job ended: its printer is asked as soon as the device is free.
void StatusEvent(pappl_system_t*, pappl_printer_t* printer, pappl_job_t*, pappl_event_t event,
                 void*) {
    if (!(event & PAPPL_EVENT_JOB_COMPLETED) || !printer) return;
    if (const auto monitor = Find(printer)) monitor->Wake();
}

}  // namespace

void StartStatus(pappl_system_t* system, const StatusSettings& settings) {
    Settings() = settings;
    papplSystemSetEventCallback(system, StatusEvent, nullptr);
    papplSystemAddTimerCallback(
        system, 0, 1,
        [](pappl_system_t* s, void*) {
            papplSystemIteratePrinters(
                s, [](pappl_printer_t* printer, void*) { UpdateStatus(printer); }, nullptr);
            return true;
        },
        nullptr);
}

void StartStatusMonitor(pappl_printer_t* printer) {
    std::optional<Device> device = AnsweringDevice(papplPrinterGetDeviceURI(printer));
    if (!device) return;
    auto monitor = std::make_shared<Monitor>(printer, std::move(*device));
    std::lock_guard lock(RegistryMutex());
    Registry()[printer] = std::move(monitor);
}

void StopStatusMonitor(pappl_printer_t* printer, pappl_pr_driver_data_t*) {
    std::shared_ptr<Monitor> monitor;
    {
        std::lock_guard lock(RegistryMutex());
        const auto it = Registry().find(printer);
        if (it == Registry().end()) return;
        monitor = std::move(it->second);
        Registry().erase(it);
    }
    monitor->Stop();
}

bool UpdateStatus(pappl_printer_t* printer) {
    if (const auto monitor = Find(printer)) monitor->ShowDrawer();
    return true;
}

std::optional<DrawerState> CashDrawerOf(pappl_printer_t* printer) {
    if (const auto monitor = Find(printer)) return monitor->drawer();
    return std::nullopt;
}

void StatusBeforeJob(pappl_job_t* job, pappl_device_t* device) {
    const auto monitor = Find(papplJobGetPrinter(job));
    // A printer that did not answer lately is not asked: PAPPL's reads wait long.
    if (!monitor || !monitor->answering()) return;
    DeviceLink link(device);
    monitor->Publish(QueryPrinterStatus(link, Settings().timeoutMs));
}

void SetDeviceOffline(pappl_job_t* job, bool offline) {
    pappl_printer_t* printer = papplJobGetPrinter(job);
    const auto monitor = Find(printer);
    if (!monitor)
        papplPrinterSetReasons(printer, offline ? PAPPL_PREASON_OFFLINE : PAPPL_PREASON_NONE,
                               offline ? PAPPL_PREASON_NONE : PAPPL_PREASON_OFFLINE);
    else if (offline)
        monitor->Publish(std::nullopt);
    // else the printer is asked once the job has ended: its answer says whether it is offline.
}

}  // namespace krv::app
