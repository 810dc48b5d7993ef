// A job's settings and paper as PAPPL gives them, and the device every job writes through.
#include <cstring>

#include "jobs/event_actions.h"
#include "printerapp/app_pappl.h"

namespace krv::app {

namespace {

// The fixed-size paper keeps its full length; rolls print as long as their content.
constexpr char kFixedPaper[] = "custom_m857_80x297mm";

}  // namespace

std::optional<ReceiptSettings> JobSettings(pappl_job_t* job, const pappl_pr_options_t* options) {
    ipp_t* defaults = papplPrinterGetDriverAttributes(papplJobGetPrinter(job));
    const auto lookup = [&](const std::string& name) -> std::optional<std::string> {
        if (const char* v = cupsGetOption(name.c_str(), options->num_vendor, options->vendor))
            return v;
        const std::string defaultName = name + "-default";
        ipp_attribute_t* attr = ippFindAttribute(defaults, defaultName.c_str(), IPP_TAG_ZERO);
        if (!attr) return std::nullopt;
        char value[1024];
        ippAttributeString(attr, value, sizeof value);
        return std::string(value);
    };
    std::string error;
    std::optional<ReceiptSettings> settings = ReadReceiptSettings(lookup, &error);
    ippDelete(defaults);
    if (!settings) {
        papplJobSetMessage(job, "%s", error.c_str());
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", error.c_str());
    }
    return settings;
}

JobPaper PaperOf(const pappl_pr_options_t* options, const ReceiptSettings& settings) {
    JobPaper paper;
    paper.widthDots = options->media.size_width * kPrinterDotsPerInch / 2540;
    paper.printableDots = PrintableDots(paper.widthDots, settings.printableWidth);
    paper.fixedLength = std::strcmp(options->media.size_name, kFixedPaper) == 0;
    return paper;
}

PicturePrintOptions PictureOptionsOf(const pappl_pr_options_t* options,
                                     const ReceiptSettings& settings, const JobPaper& paper,
                                     bool photograph) {
    PicturePrintOptions o;
    o.printableWidth = static_cast<uint32_t>(paper.printableDots);
    o.fit = (options->print_scaling & (PAPPL_SCALING_FIT | PAPPL_SCALING_FILL)) != 0;
    o.method = MethodFor(settings.halftone, photograph);
    o.contrast = settings.contrast;
    o.brightness = settings.brightness;
    o.align = PictureAlign::Centre;
    return o;
}

DeviceSink::DeviceSink(pappl_device_t* device) : device_(device) {
    pappl_devmetrics_t metrics;
    papplDeviceGetMetrics(device_, &metrics);
    before_ = metrics.write_bytes;
}

bool DeviceSink::Write(const uint8_t* data, size_t size) {
    if (failed_) return false;
    if (size == 0) return true;
    if (papplDeviceWrite(device_, data, size) < 0) {
        failed_ = true;
        return false;
    }
    written_ += size;
    return true;
}

bool DeviceSink::Confirm() {
    if (failed_) return false;
    papplDeviceFlush(device_);
    pappl_devmetrics_t metrics;
    papplDeviceGetMetrics(device_, &metrics);
    failed_ = metrics.write_bytes - before_ < written_;
    return !failed_;
}

bool DeviceFailed(pappl_job_t* job) {
    papplJobSetMessage(job, "The printer did not take the job's data (device write failed).");
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "Device write failed; the job stops here.");
    SetDeviceOffline(job, true);
    return false;
}

void DeviceSucceeded(pappl_job_t* job) {
    SetDeviceOffline(job, false);
}

bool DocumentAlreadyPrinted(pappl_job_t* job) {
    if (papplJobGetFilename(job)) return false;
    papplLogJob(job, PAPPL_LOGLEVEL_WARN,
                "Started again after it was printed; its document is not sent twice.");
    return true;
}

}  // namespace krv::app
