// What the PAPPL files of krv857-printer share: the driver's names and entry points, the job
// settings read from PAPPL's job and printer, and the device sink every job writes through.
#pragma once

#include <pappl/pappl.h>

#include <optional>
#include <string>

#include "jobs/picture_print.h"
#include "printerapp/receipt_document.h"
#include "printerapp/receipt_options.h"
#include "printerapp/status_link.h"

namespace krv::app {

inline constexpr char kDriverName[] = "krv857";
inline constexpr char kDriverDescription[] = "KRV-M857 thermal receipt printer";
inline constexpr char kDriverDeviceId[] = "MFG:KRV;MDL:KRV-M857;CMD:ESCPOS;";
// Printer commands passed through untouched (point-of-sale software, the maintenance jobs).
inline constexpr char kRawFormat[] = "application/vnd.krv857-escpos";

// ---- driver_pappl.cpp
bool DriverCallback(pappl_system_t* system, const char* driverName, const char* deviceUri,
                    const char* deviceId, pappl_pr_driver_data_t* data, ipp_t** attrs,
                    void* context);
const char* AutoAddCallback(const char* deviceInfo, const char* deviceUri, const char* deviceId,
                            void* context);

// The settings a job prints with: its own options, else the printer's defaults (PAPPL hands a
// job only its own). Empty, with the reason set as the job's message, when a value is refused.
std::optional<ReceiptSettings> JobSettings(pappl_job_t* job, const pappl_pr_options_t* options);

// The paper of a job, in dots across, and whether its pages keep their full length.
struct JobPaper {
    int widthDots = 0;
    int printableDots = 0;
    bool fixedLength = false;
};
JobPaper PaperOf(const pappl_pr_options_t* options, const ReceiptSettings& settings);

// How a job's pictures print: as wide as the paper's printable width (enlarged only when the
// job asks print-scaling fit or fill), centred, halftoned as the job's options say;
// `photograph` is what "auto" halftoning goes by.
PicturePrintOptions PictureOptionsOf(const pappl_pr_options_t* options,
                                     const ReceiptSettings& settings, const JobPaper& paper,
                                     bool photograph);

// Writes to the printer's device through PAPPL, and checks that the device took every byte
// (PAPPL's own flush keeps its errors to itself).
class DeviceSink : public ByteSink {
  public:
    explicit DeviceSink(pappl_device_t* device);
    using ByteSink::Write;
    bool Write(const uint8_t* data, size_t size) override;
    // Sends what PAPPL still buffers; false when the device did not take everything written.
    bool Confirm();

  private:
    pappl_device_t* device_;
    size_t before_ = 0;  // bytes the device had taken when this job began
    size_t written_ = 0;
    bool failed_ = false;
};

// Ends a job that could not be written: the reason for the job, "offline" for the printer.
bool DeviceFailed(pappl_job_t* job);
// A job went out whole: the printer is no longer offline (one that answers status requests
// says so itself when it is asked after the job).
void DeviceSucceeded(pappl_job_t* job);
// PAPPL 1.3.1 may start a job a second time once it has ended, when two submissions race for
// an idle printer; its document file is gone by then. True (and logged) for such a start: the
// callback returns at once, the job stays as its first run ended, nothing reaches the printer.
bool DocumentAlreadyPrinted(pappl_job_t* job);

// ---- filters_pappl.cpp
void AddFilters(pappl_system_t* system);

// ---- status_pappl.cpp
// The live status of printers on devices that answer (USB, socket): printer-state-reasons and
// the cash drawer attribute, "unknown" until the printer has answered.
inline constexpr char kDrawerAttribute[] = "krv-cash-drawer-state";
// Before the first printer is created: the settings, and what asks a printer after each job
// and shows its drawer.
void StartStatus(pappl_system_t* system, const StatusSettings& settings);
// The printer create and delete callbacks: a printer that can answer is asked by a thread of
// its own while it lasts.
void StartStatusMonitor(pappl_printer_t* printer);
void StopStatusMonitor(pappl_printer_t* printer, pappl_pr_driver_data_t* data);
// PAPPL's status callback.
bool UpdateStatus(pappl_printer_t* printer);
// The cash drawer as the printer last reported it; none for a printer that is not asked.
std::optional<DrawerState> CashDrawerOf(pappl_printer_t* printer);
// At the start of a job, through its device (a printer that answered lately only).
void StatusBeforeJob(pappl_job_t* job, pappl_device_t* device);
// Whether writing a job's data failed; the printer's reasons follow.
void SetDeviceOffline(pappl_job_t* job, bool offline);

}  // namespace krv::app
