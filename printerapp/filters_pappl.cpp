// The document formats the application prints itself, each written between the receipt's
// actions: PWG and Apple raster (read from the spooled file), PDF (rendered page by page by
// pdftoppm in its own process) and plain text (in the printer's code page and resident font).
// Raw printer commands are recognised by their first byte when a client does not name their
// format.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <cstring>
#include <fstream>

#include "jobs/text_print.h"
#include "printerapp/app_pappl.h"
#include "printerapp/pdf_pages.h"
#include "printerapp/picture_page.h"

namespace krv::app {

namespace {

// What every filter needs for one job: its options, settings and paper, and the document
// written through the device.
class FilterJob {
  public:
    FilterJob(pappl_job_t* job, pappl_device_t* device)
        : job_(job), options_(papplJobCreatePrintOptions(job, 0, false)), sink_(device) {
        if (options_) settings_ = JobSettings(job, options_);
        if (settings_) {
            paper_ = PaperOf(options_, *settings_);
            document_.emplace(*settings_, sink_);
        }
    }
    ~FilterJob() { papplJobDeletePrintOptions(options_); }
    FilterJob(const FilterJob&) = delete;
    FilterJob& operator=(const FilterJob&) = delete;

    bool ready() const { return document_.has_value(); }
    const ReceiptSettings& settings() const { return *settings_; }
    const JobPaper& paper() const { return paper_; }
    const pappl_pr_options_t& options() const { return *options_; }

    // The document begins with its first page, so that a document refused before any page
    // sends nothing at all.
    bool Page(const Bytes& content) {
        if (!Begin() || !document_->Page(content) || !sink_.Confirm()) return DeviceFailed(job_);
        papplJobSetImpressionsCompleted(job_, 1);
        return true;
    }
    bool End() {
        if (!Begin() || !document_->End() || !sink_.Confirm()) return DeviceFailed(job_);
        DeviceSucceeded(job_);
        return true;
    }
    // The document cannot be printed: the job stops with `reason`.
    bool Refuse(const std::string& reason) {
        papplJobSetMessage(job_, "%s", reason.c_str());
        papplJobSetReasons(job_, PAPPL_JREASON_DOCUMENT_FORMAT_ERROR, PAPPL_JREASON_NONE);
        papplLogJob(job_, PAPPL_LOGLEVEL_ERROR, "%s", reason.c_str());
        return false;
    }

  private:
    bool Begin() {
        if (begun_) return true;
        begun_ = true;
        return document_->Begin();
    }
    bool begun_ = false;
    pappl_job_t* job_;
    pappl_pr_options_t* options_;
    std::optional<ReceiptSettings> settings_;
    JobPaper paper_;
    DeviceSink sink_;
    std::optional<ReceiptDocument> document_;
};

bool PdfFilter(pappl_job_t* job, pappl_device_t* device, void*) {
    FilterJob f(job, device);
    if (!f.ready()) return false;
    std::string error;
    const std::optional<PdfDocument> pdf = PdfDocument::Open(papplJobGetFilename(job), &error);
    if (!pdf) return f.Refuse(error);
    papplJobSetImpressions(job, pdf->pageCount());
    const bool fit = (f.options().print_scaling & (PAPPL_SCALING_FIT | PAPPL_SCALING_FILL)) != 0;
    const int printable = f.paper().printableDots;
    const PictureTone tone{
        MethodFor(f.settings().halftone, f.options().print_content_optimize == PAPPL_CONTENT_PHOTO),
        f.settings().contrast, f.settings().brightness};
    for (int i = 0; i < pdf->pageCount() && !papplJobIsCanceled(job); ++i) {
        std::optional<GreyPage> page =
            pdf->Render(i, RenderWidth(pdf->page(i), printable, fit), &error);
        if (!page) return f.Refuse(error);
        if (!f.Page(PicturePageBytes(CentredIn(std::move(*page), printable), tone,
                                     f.paper().fixedLength)))
            return false;
    }
    return f.End();
}

bool TextFilter(pappl_job_t* job, pappl_device_t* device, void*) {
    FilterJob f(job, device);
    if (!f.ready()) return false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(papplJobGetFilename(job), ec);
    if (ec) return f.Refuse("Cannot read the text document.");
    if (size > kTextDocumentLimit) return f.Refuse("The text document is larger than 16 MiB.");
    std::string text(size, '\0');
    std::ifstream in(papplJobGetFilename(job), std::ios::binary);
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (static_cast<size_t>(in.gcount()) != size) return f.Refuse("Cannot read the text document.");
    const std::vector<Bytes> pages = TextPagesInCodePage(text, f.settings().codePage);
    papplJobSetImpressions(job, static_cast<int>(pages.size()));
    for (const Bytes& page : pages)
        if (papplJobIsCanceled(job) || !f.Page(page)) return false;
    return f.End();
}

// A document that starts with a command byte of the printer (ESC, FS, GS, DLE) is raw.
const char* DetectRaw(const unsigned char* header, size_t size, void*) {
    if (size == 0) return nullptr;
    switch (header[0]) {
        case 0x10:
        case 0x1B:
        case 0x1C:
        case 0x1D:
            return kRawFormat;
        default:
            return nullptr;
    }
}

}  // namespace

void AddFilters(pappl_system_t* system) {
    papplSystemAddMIMEFilter(system, "application/pdf", "image/pwg-raster", PdfFilter, nullptr);
    papplSystemAddMIMEFilter(system, "text/plain", "image/pwg-raster", TextFilter, nullptr);
    papplSystemSetMIMECallback(system, DetectRaw, nullptr);
}

}  // namespace krv::app
