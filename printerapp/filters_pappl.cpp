// The document formats the application prints itself, each written between the receipt's
// actions: PWG and Apple raster (read from the spooled file), PDF (rendered page by page by
// pdftoppm in its own process) and plain text (in the printer's code page and resident font).
// Raw printer commands are recognised by their first byte when a client does not name their
// format.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <fstream>

#include "printerapp/text_pages.h"
#include "printerapp/app_pappl.h"
#include "pictures/picture_decode.h"
#include "printerapp/pdf_pages.h"

namespace krv::app {

namespace {

// The largest picture file read; its pixels have their own limits in the decoder.
constexpr uintmax_t kMaxPictureFile = 64u << 20;
constexpr int kMaxCopies = 999;

// What every filter needs for one job: its options, settings and paper, and the document
// written through the device.
class FilterJob {
  public:
    FilterJob(pappl_job_t* job, pappl_device_t* device)
        : job_(job), options_(papplJobCreatePrintOptions(job, 0, false)), sink_(device) {
        if (options_) settings_ = JobSettings(job, options_);
        if (settings_) {
            StatusBeforeJob(job, device);
            paper_ = PaperOf(options_, *settings_);
            document_.emplace(*settings_, sink_);
        }
    }
    ~FilterJob() { papplJobDeletePrintOptions(options_); }
    FilterJob(const FilterJob&) = delete;
    FilterJob& operator=(const FilterJob&) = delete;

    bool ready() const { return document_.has_value(); }
    // Copies of the whole document, one after the other.
    int copies() const { return std::clamp(options_->copies, 1, kMaxCopies); }
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
    // The job's whole document file, of at most `limit` bytes; the job stops when it is larger
    // or cannot be read.
    std::optional<std::string> ReadDocument(uintmax_t limit) {
        std::error_code ec;
        const char* path = papplJobGetFilename(job_);
        const uintmax_t size = std::filesystem::file_size(path, ec);
        if (!ec && size > limit) {
            Refuse("The document is larger than " + std::to_string(limit >> 20) + " MiB.");
            return std::nullopt;
        }
        std::string bytes(ec ? 0 : size, '\0');
        std::ifstream in(path, std::ios::binary);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (ec || static_cast<uintmax_t>(in.gcount()) != size) {
            Refuse("Cannot read the document.");
            return std::nullopt;
        }
        return bytes;
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

bool PictureFilter(pappl_job_t* job, pappl_device_t* device, void*) {
    if (DocumentAlreadyPrinted(job)) return true;
    FilterJob f(job, device);
    if (!f.ready()) return false;
    const std::optional<std::string> file = f.ReadDocument(kMaxPictureFile);
    if (!file) return false;
    GreyImage picture;
    const PictureResult decoded = DecodePictureToGrey(
        {reinterpret_cast<const uint8_t*>(file->data()), file->size()}, PictureLimits{}, &picture);
    if (!decoded.ok()) return f.Refuse(PictureErrorMessage(decoded));
    // Pictures are photographs unless the job says its content is text or graphics.
    const pappl_content_t content = f.options().print_content_optimize;
    const bool photograph =
        !(content & (PAPPL_CONTENT_TEXT | PAPPL_CONTENT_GRAPHIC | PAPPL_CONTENT_TEXT_AND_GRAPHIC));
    Bytes page;
    const auto status = AppendPicturePage(
        picture, PictureOptionsOf(&f.options(), f.settings(), f.paper(), photograph), false, &page);
    if (status != PicturePrintBuild::Status::Built)
        return f.Refuse("The picture cannot be printed: " + PicturePrintStatusMessage(status) +
                        ".");
    papplJobSetImpressions(job, f.copies());
    for (int copy = 0; copy < f.copies(); ++copy)
        if (papplJobIsCanceled(job) || !f.Page(page)) return false;
    return f.End();
}

bool PdfFilter(pappl_job_t* job, pappl_device_t* device, void*) {
    if (DocumentAlreadyPrinted(job)) return true;
    FilterJob f(job, device);
    if (!f.ready()) return false;
    std::string error;
    const std::optional<PdfDocument> pdf = PdfDocument::Open(papplJobGetFilename(job), &error);
    if (!pdf) return f.Refuse(error);
    papplJobSetImpressions(job, pdf->pageCount() * f.copies());
    const PicturePrintOptions picture =
        PictureOptionsOf(&f.options(), f.settings(), f.paper(),
                         f.options().print_content_optimize == PAPPL_CONTENT_PHOTO);
    for (int i = 0; i < pdf->pageCount() * f.copies(); ++i) {
        if (papplJobIsCanceled(job)) return false;
        // Copies are collated, each the whole document. A page is rendered at the width it
        // prints at: never enlarged unless fit is asked.
        const int n = i % pdf->pageCount();
        std::optional<GreyImage> rendered =
            pdf->Render(n, RenderWidth(pdf->page(n), f.paper().printableDots, picture.fit), &error);
        if (!rendered) return f.Refuse(error);
        Bytes page;
        const auto status = AppendPicturePage(*rendered, picture, f.paper().fixedLength, &page);
        if (status != PicturePrintBuild::Status::Built)
            return f.Refuse("Page " + std::to_string(n + 1) + ": " +
                            PicturePrintStatusMessage(status) + ".");
        if (!f.Page(page)) return false;
    }
    return f.End();
}

bool TextFilter(pappl_job_t* job, pappl_device_t* device, void*) {
    if (DocumentAlreadyPrinted(job)) return true;
    FilterJob f(job, device);
    if (!f.ready()) return false;
    const std::optional<std::string> text = f.ReadDocument(kTextDocumentLimit);
    if (!text) return false;
    const std::vector<Bytes> pages = TextPagesInCodePage(*text, f.settings().codePage);
    papplJobSetImpressions(job, static_cast<int>(pages.size()) * f.copies());
    for (int copy = 0; copy < f.copies(); ++copy)
        for (const Bytes& page : pages)
            if (papplJobIsCanceled(job) || !f.Page(page)) return false;
    return f.End();
}

// Formats PAPPL does not recognise by their first bytes: raw printer commands start with a
// command byte (ESC, FS, GS, DLE); plain text is UTF-8 without other control characters than
// tab, line feed, carriage return and form feed. Anything else stays unknown.
const char* DetectFormat(const unsigned char* header, size_t size, void*) {
    if (size == 0) return nullptr;
    if (header[0] == 0x10 || header[0] == 0x1B || header[0] == 0x1C || header[0] == 0x1D)
        return kRawFormat;
    return LooksLikeText({header, size}) ? "text/plain" : nullptr;
}

}  // namespace

void AddFilters(pappl_system_t* system) {
    // Filters to the driver's own format come before PAPPL's built-in ones to raster (its PNG
    // and JPEG filters centre a picture on the page, and spin for ever on a truncated PNG).
    papplSystemAddMIMEFilter(system, "image/png", kRawFormat, PictureFilter, nullptr);
    papplSystemAddMIMEFilter(system, "image/jpeg", kRawFormat, PictureFilter, nullptr);
    papplSystemAddMIMEFilter(system, "application/pdf", kRawFormat, PdfFilter, nullptr);
    papplSystemAddMIMEFilter(system, "text/plain", kRawFormat, TextFilter, nullptr);
    papplSystemSetMIMECallback(system, DetectFormat, nullptr);
}

}  // namespace krv::app
