// The "krv857" driver: what the printer offers PAPPL (media, resolution, options and their
// defaults) and the raster callbacks that turn grey lines from PAPPL into receipt pages.
// PAPPL is asked for 8-bit grey lines only: its own dithering is never used.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "jobs/self_test.h"
#include "jobs/event_actions.h"
#include "printerapp/app_pappl.h"
#include "printerapp/page_rows.h"

namespace krv::app {

namespace {

// Rolls print as long as their content; "Custom Paper-M857" is the fixed size of the Windows
// driver's form.
constexpr const char* kMedia[] = {"roll_max_80x3000mm", "roll_min_58x25mm", "om_roll-80mm_80x297mm",
                                  "om_roll-58mm_58x297mm", "custom_m857_80x297mm"};
constexpr const char* kDefaultMedia = "om_roll-80mm_80x297mm";

pappl_media_col_t MediaCol(const char* name) {
    pappl_media_col_t col{};
    const pwg_media_t* pwg = pwgMediaForPWG(name);
    papplCopyString(col.size_name, name, sizeof col.size_name);
    col.size_width = pwg ? pwg->width : 8000;
    col.size_length = pwg ? pwg->length : 29700;
    papplCopyString(col.source, "main-roll", sizeof col.source);
    papplCopyString(col.type, "continuous", sizeof col.type);
    col.tracking = PAPPL_MEDIA_TRACKING_CONTINUOUS;
    return col;
}

// One raster job between rstartjob and rendjob.
struct RasterJob {
    RasterJob(const ReceiptSettings& s, const pappl_pr_options_t* options, pappl_device_t* device)
        : settings(s), paper(PaperOf(options, s)), sink(device), document(settings, sink) {}
    ReceiptSettings settings;
    JobPaper paper;
    DeviceSink sink;
    ReceiptDocument document;
    std::unique_ptr<PageRows> rows;
    unsigned lines = 0;  // lines of the page PAPPL handed over
    bool begun = false;  // the document's opening is written with its first page
    bool Begin() {
        if (begun) return true;
        begun = true;
        return document.Begin();
    }
};

RasterJob* JobState(pappl_job_t* job) {
    return static_cast<RasterJob*>(papplJobGetData(job));
}

void EndState(pappl_job_t* job) {
    delete JobState(job);
    papplJobSetData(job, nullptr);
}

// Which line layout the header describes. PAPPL passes on a client's 8-bit raster with the
// client's own header. A 1-bit raster keeps PAPPL's 8-bit header while its lines stay packed
// bits: nothing tells the driver, which is why only 8-bit grey is offered to clients.
std::optional<LineFormat> FormatOf(const cups_page_header2_t& h) {
    if (h.cupsBitsPerPixel != 8 || h.cupsBytesPerLine < h.cupsWidth) return std::nullopt;
    return h.cupsColorSpace == CUPS_CSPACE_K ? LineFormat::Black8 : LineFormat::Grey8;
}

// PAPPL counts a raster page as printed when the page starts; one that fails was not.
void UncountPage(pappl_job_t* job) {
    papplJobSetImpressionsCompleted(job, -1);
}

// Ends a raster job at a page that cannot be printed; what the printer got so far stays.
bool Refuse(pappl_job_t* job, const std::string& reason) {
    UncountPage(job);
    papplJobSetMessage(job, "%s", reason.c_str());
    papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", reason.c_str());
    EndState(job);
    return false;
}

bool StartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
    const std::optional<ReceiptSettings> settings = JobSettings(job, options);
    if (!settings) return false;
    StatusBeforeJob(job, device);
    papplJobSetData(job, new RasterJob(*settings, options, device));
    return true;
}

bool StartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned) {
    RasterJob* state = JobState(job);
    if (!state) return false;
    const std::optional<LineFormat> format = FormatOf(options->header);
    if (!format)
        return Refuse(job, "The raster's " + std::to_string(options->header.cupsBitsPerPixel) +
                               " bits a pixel are not a form this printer prints.");
    state->lines = 0;
    state->rows = std::make_unique<PageRows>(options->header.cupsWidth, *format,
                                             static_cast<uint32_t>(state->paper.printableDots));
    return true;
}

bool WriteLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned,
               const unsigned char* line) {
    RasterJob* state = JobState(job);
    if (!state || !state->rows) return false;
    state->rows->AddLine(line, options->header.cupsBytesPerLine);  // rows past the roll: dropped
    ++state->lines;
    return true;
}

bool EndPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned page) {
    RasterJob* state = JobState(job);
    if (!state || !state->rows) return false;
    // PAPPL ends a page whose data stopped early as if it were whole: nothing of it is printed.
    if (state->lines < options->header.cupsHeight)
        return Refuse(job, "The raster's page " + std::to_string(page) + " ends after " +
                               std::to_string(state->lines) + " of its " +
                               std::to_string(options->header.cupsHeight) + " lines.");
    const PicturePrintOptions picture =
        PictureOptionsOf(options, state->settings, state->paper,
                         options->print_content_optimize == PAPPL_CONTENT_PHOTO);
    Bytes content;
    const auto status =
        AppendPicturePage(state->rows->Take(), picture, state->paper.fixedLength, &content);
    state->rows.reset();
    if (status != PicturePrintBuild::Status::Built && status != PicturePrintBuild::Status::Empty)
        return Refuse(
            job, "Page " + std::to_string(page) + ": " + PicturePrintStatusMessage(status) + ".");
    if (!state->Begin() || !state->document.Page(content) || !state->sink.Confirm()) {
        EndState(job);
        UncountPage(job);
        return DeviceFailed(job);
    }
    return true;
}

bool EndJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*) {
    RasterJob* state = JobState(job);
    if (!state) return false;
    const bool written = state->Begin() && state->document.End() && state->sink.Confirm();
    EndState(job);
    if (!written) return DeviceFailed(job);
    DeviceSucceeded(job);
    return true;
}

// Raw printer commands: the job's file, byte for byte.
bool PrintRawFile(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
    if (DocumentAlreadyPrinted(job)) return true;
    std::FILE* file = std::fopen(papplJobGetFilename(job), "rb");
    if (!file) {
        papplJobSetMessage(job, "Cannot read the job's file.");
        return false;
    }
    StatusBeforeJob(job, device);
    DeviceSink sink(device);
    uint8_t buffer[65536];
    size_t n = 0;
    bool written = true;
    while (written && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        written = sink.Write(buffer, n);
    std::fclose(file);
    if (!written || !sink.Confirm()) return DeviceFailed(job);
    DeviceSucceeded(job);
    return true;
}

// "Print Test Page": the printer's own self-test. PAPPL deletes the file it is given after
// printing, so each request gets a fresh one.
const char* TestPage(pappl_printer_t* printer, char* buffer, size_t size) {
    const int fd = papplCreateTempFile(buffer, size, "krv857-selftest", "bin");
    if (fd < 0) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "Cannot create the self-test file.");
        return nullptr;
    }
    const Bytes bytes = BuildSelfTestJob().Joined();
    const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    if (!ok) {
        unlink(buffer);
        return nullptr;
    }
    return buffer;
}

void AddVendorAttributes(ipp_t* attrs, pappl_pr_driver_data_t* data) {
    for (const ReceiptOption& o : ReceiptOptions()) {
        data->vendor[data->num_vendor++] = o.name.c_str();
        const std::string supported = o.name + "-supported";
        const std::string dflt = o.name + "-default";
        switch (o.syntax) {
            case OptionSyntax::Keyword: {
                std::vector<const char*> values;
                for (const auto& k : o.keywords)
                    values.push_back(k.c_str());
                ippAddStrings(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, supported.c_str(),
                              static_cast<int>(values.size()), nullptr, values.data());
                ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, dflt.c_str(), nullptr,
                             o.defaultValue.c_str());
                break;
            }
            case OptionSyntax::Range:
                ippAddRange(attrs, IPP_TAG_PRINTER, supported.c_str(), o.lower, o.upper);
                ippAddInteger(attrs, IPP_TAG_PRINTER, IPP_TAG_INTEGER, dflt.c_str(),
                              std::stoi(o.defaultValue));
                break;
            case OptionSyntax::Text:
                // No "-supported": PAPPL's web interface then shows a text field.
                ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_TEXT, dflt.c_str(), nullptr,
                             o.defaultValue.c_str());
                break;
        }
    }
    ippAddString(attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, kDrawerAttribute, nullptr,
                 DrawerKeyword(DrawerState::Unknown));
}

}  // namespace

bool DriverCallback(pappl_system_t*, const char* driverName, const char*, const char*,
                    pappl_pr_driver_data_t* data, ipp_t** attrs, void*) {
    if (std::strcmp(driverName, kDriverName) != 0) return false;
    static_assert(sizeof kMedia / sizeof kMedia[0] <= PAPPL_MAX_MEDIA);

    data->printfile_cb = PrintRawFile;
    data->rstartjob_cb = StartJob;
    data->rstartpage_cb = StartPage;
    data->rwriteline_cb = WriteLine;
    data->rendpage_cb = EndPage;
    data->rendjob_cb = EndJob;
    data->testpage_cb = TestPage;
    data->status_cb = UpdateStatus;
    data->delete_cb = StopStatusMonitor;
    data->format = kRawFormat;

    papplCopyString(data->make_and_model, "KRV-M857", sizeof data->make_and_model);
    data->ppm = 30;
    data->kind = PAPPL_KIND_RECEIPT | PAPPL_KIND_ROLL;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_MONOCHROME;
    data->color_default = PAPPL_COLOR_MODE_MONOCHROME;
    data->content_default = PAPPL_CONTENT_AUTO;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->scaling_default = PAPPL_SCALING_AUTO_FIT;
    data->raster_types = PAPPL_PWG_RASTER_TYPE_SGRAY_8;
    data->force_raster_type = PAPPL_PWG_RASTER_TYPE_SGRAY_8;
    data->duplex = PAPPL_DUPLEX_NONE;
    data->sides_supported = PAPPL_SIDES_ONE_SIDED;
    data->sides_default = PAPPL_SIDES_ONE_SIDED;
    data->num_resolution = 1;
    data->x_resolution[0] = data->y_resolution[0] = kPrinterDotsPerInch;
    data->x_default = data->y_default = kPrinterDotsPerInch;
    data->borderless = true;
    data->left_right = 0;
    data->bottom_top = 0;

    data->num_media = 0;
    for (const char* m : kMedia)
        data->media[data->num_media++] = m;
    data->media_default = MediaCol(kDefaultMedia);
    data->num_source = 1;
    data->source[0] = "main-roll";
    data->media_ready[0] = data->media_default;
    data->tracking_supported = PAPPL_MEDIA_TRACKING_CONTINUOUS;
    data->num_type = 1;
    data->type[0] = "continuous";

    static_assert(kMaxReceiptOptions <= PAPPL_MAX_VENDOR);
    *attrs = ippNew();
    AddVendorAttributes(*attrs, data);
    return true;
}

const char* AutoAddCallback(const char*, const char*, const char* deviceId, void*) {
    return deviceId && std::strstr(deviceId, "MDL:KRV-M857") ? kDriverName : nullptr;
}

}  // namespace krv::app
