#include "printerapp/pdf_pages.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "printerapp/child_process.h"

namespace krv::app {

namespace {

constexpr int kMaxPdfPages = 1000;
constexpr int kInfoTimeoutMs = 30000;
constexpr int kRenderTimeoutMs = 60000;
constexpr size_t kMaxInfoOutput = 1u << 20;
constexpr int kMaxRenderWidth = 576;  // the widest print head of an 80 mm printer

// The first line of the program's complaint, for the job's message.
std::string FirstLine(const std::string& text, const std::string& fallback) {
    const std::string line = text.substr(0, text.find('\n'));
    return line.empty() ? fallback : line;
}

int PointsToDots(double points) {
    return static_cast<int>(std::lround(points * 180.0 / 72.0));
}

}  // namespace

int ParsePdfPageCount(std::string_view report) {
    std::istringstream in{std::string(report)};
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Pages:", 0) == 0) {
            char* end = nullptr;
            const long n = std::strtol(line.c_str() + 6, &end, 10);
            return end != line.c_str() + 6 && n >= 0 && n <= INT32_MAX ? static_cast<int>(n) : -1;
        }
    }
    return -1;
}

std::optional<std::vector<PdfPageSize>> ParsePdfInfo(std::string_view report, int pages) {
    if (pages < 0) return std::nullopt;
    std::vector<PdfPageSize> sizes(static_cast<size_t>(pages));
    std::vector<bool> seen(sizes.size(), false);
    std::istringstream in{std::string(report)};
    std::string line;
    while (std::getline(in, line)) {
        int n = 0;
        double w = 0, h = 0;
        int rotation = 0;
        char unit[8] = {};
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf %7s", &n, &w, &h, unit) == 4) {
            if (n < 1 || n > pages || !(w > 0) || !(h > 0) || w > 1e6 || h > 1e6)
                return std::nullopt;
            sizes[static_cast<size_t>(n - 1)] = {PointsToDots(w), PointsToDots(h)};
            seen[static_cast<size_t>(n - 1)] = true;
        } else if (std::sscanf(line.c_str(), "Page %d rot: %d", &n, &rotation) == 2) {
            if (n >= 1 && n <= pages && (rotation % 180) != 0)
                std::swap(sizes[static_cast<size_t>(n - 1)].width,
                          sizes[static_cast<size_t>(n - 1)].height);
        }
    }
    for (bool s : seen)
        if (!s) return std::nullopt;
    return sizes;
}

std::optional<GreyImage> ParsePgm(std::string_view data, uint32_t maxWidth, uint32_t maxRows) {
    size_t at = 0;
    auto skipSpace = [&] {
        while (at < data.size()) {
            if (data[at] == '#') {
                while (at < data.size() && data[at] != '\n')
                    ++at;
            } else if (data[at] == ' ' || data[at] == '\n' || data[at] == '\r' ||
                       data[at] == '\t') {
                ++at;
            } else {
                break;
            }
        }
    };
    auto number = [&]() -> long {
        skipSpace();
        long n = 0;
        size_t digits = 0;
        while (at < data.size() && data[at] >= '0' && data[at] <= '9' && digits < 9) {
            n = n * 10 + (data[at++] - '0');
            ++digits;
        }
        return digits == 0 ? -1 : n;
    };
    if (data.substr(0, 2) != "P5") return std::nullopt;
    at = 2;
    const long width = number(), height = number(), maxval = number();
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) > maxWidth ||
        static_cast<uint64_t>(height) > maxRows || maxval != 255)
        return std::nullopt;
    if (at >= data.size()) return std::nullopt;
    ++at;  // the one blank after the maximum value
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (data.size() - at < bytes) return std::nullopt;
    GreyImage page;
    page.width = static_cast<uint32_t>(width);
    page.height = static_cast<uint32_t>(height);
    page.pixels.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                       data.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return page;
}

int RenderWidth(const PdfPageSize& page, int printable, bool fit) {
    return fit || page.width > printable ? printable : std::max(page.width, 1);
}

std::optional<PdfDocument> PdfDocument::Open(const std::string& path, std::string* error) {
    const ProcessResult info =
        RunProcess({"pdfinfo", "-f", "1", "-l", std::to_string(kMaxPdfPages), path}, kMaxInfoOutput,
                   kInfoTimeoutMs);
    if (!info.started) {
        *error = "cannot run pdfinfo (poppler-utils)";
        return std::nullopt;
    }
    if (!info.Succeeded()) {
        *error = "not a PDF document pdfinfo can read: " +
                 FirstLine(info.errors, info.timedOut ? "no answer in time" : "no reason given");
        return std::nullopt;
    }
    const int pages = ParsePdfPageCount(info.output);
    if (pages > kMaxPdfPages) {
        *error = "more than " + std::to_string(kMaxPdfPages) + " pages";
        return std::nullopt;
    }
    auto sizes = ParsePdfInfo(info.output, pages);
    if (!sizes) {
        *error = "pdfinfo gave no size for every page";
        return std::nullopt;
    }
    PdfDocument doc;
    doc.path_ = path;
    doc.pages_ = std::move(*sizes);
    return doc;
}

std::optional<GreyImage> PdfDocument::Render(int index, int width, std::string* error) const {
    if (index < 0 || index >= pageCount() || width <= 0 || width > kMaxRenderWidth) {
        *error = "no such page to render";
        return std::nullopt;
    }
    const std::string n = std::to_string(index + 1);
    const size_t maxOutput = static_cast<size_t>(width) * kMaxPageRows + 64;
    const ProcessResult r =
        RunProcess({"pdftoppm", "-gray", "-f", n, "-l", n, "-scale-to-x", std::to_string(width),
                    "-scale-to-y", "-1", "-H", std::to_string(kMaxPageRows), path_},
                   maxOutput, kRenderTimeoutMs);
    if (!r.Succeeded()) {
        *error = "pdftoppm cannot render page " + n + ": " +
                 FirstLine(r.errors, r.timedOut ? "no answer in time" : "no reason given");
        return std::nullopt;
    }
    auto page = ParsePgm(r.output, static_cast<uint32_t>(width), kMaxPageRows);
    if (!page) *error = "pdftoppm's page " + n + " is not the picture asked for";
    return page;
}

}  // namespace krv::app
