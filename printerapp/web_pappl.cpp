#include "printerapp/web_pappl.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <set>
#include <vector>

#include "printerapp/app_pappl.h"
#include "printerapp/web_strings.h"

namespace krv::app::web {

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

struct PageEntry {
    int printerId;
    PageHandler handler;
};

bool Serve(pappl_client_t* client, void* data) {
    const auto* entry = static_cast<const PageEntry*>(data);
    pappl_printer_t* printer =
        papplSystemFindPrinter(papplClientGetSystem(client), nullptr, entry->printerId, nullptr);
    if (!printer) return false;
    // As PAPPL's own settings pages: the administrator password once one is set.
    if (!papplClientHTMLAuthorize(client)) return true;
    return entry->handler(client, printer);
}

// A new file in PAPPL's temporary folder that `fill` writes the job's bytes into; the queue
// removes it once the job is done. Empty when it cannot be written.
std::string TempJobFile(const std::function<bool(int fd)>& fill) {
    char path[1024];
    const int fd = papplCreateTempFile(path, sizeof path, "krv857-page", "prn");
    if (fd < 0) return {};
    const bool ok = fill(fd);
    close(fd);
    if (!ok) unlink(path);
    return ok ? path : std::string();
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    for (size_t at = 0; at < size;) {
        const ssize_t n = write(fd, data + at, size - at);
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

// A document name that lives as long as the program: PAPPL keeps the pointer a job is created
// with as the job's name, for as long as the job is listed.
const char* LastingName(const char* name) {
    static std::mutex lock;
    static std::set<std::string> names;
    std::lock_guard hold(lock);
    return names.insert(name).first->c_str();
}

std::string Queue(pappl_client_t* client, pappl_printer_t* printer, const std::string& file,
                  const char* documentName) {
    if (file.empty()) return Message(client, "The job could not be written for the queue.");
    const char* user = papplClientGetUsername(client);
    pappl_job_t* job = papplJobCreateWithFile(printer, user && *user ? user : "web", kRawFormat,
                                              LastingName(documentName), 0, nullptr, file.c_str());
    if (!job) {
        unlink(file.c_str());
        return Message(client, "The printer's queue did not take the job.");
    }
    return Message(client, "Job %s (\"%s\") is in the printer's queue.",
                   {std::to_string(papplJobGetID(job)), documentName});
}

}  // namespace

void SetPagesFolder(std::string folder) {
    Folder() = std::move(folder);
}

std::string PrinterFolder(pappl_printer_t* printer) {
    return Folder() + "/printer-" + std::to_string(papplPrinterGetID(printer));
}

std::mutex& PagesLock() {
    static std::mutex lock;
    return lock;
}

std::string PagePath(pappl_printer_t* printer, const char* name) {
    char path[1024];
    papplPrinterGetPath(printer, name, path, sizeof path);
    return path;
}

void AddPrinterPage(pappl_printer_t* printer, const char* name, const char* title,
                    PageHandler handler, const char* format) {
    // Kept for the life of the program, as PAPPL keeps the callback's data (and never frees it).
    static std::mutex lock;
    static std::list<PageEntry> entries;
    PageEntry* entry;
    {
        std::lock_guard hold(lock);
        entry = &entries.emplace_back(PageEntry{papplPrinterGetID(printer), handler});
    }
    const std::string path = PagePath(printer, name);
    papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path.c_str(), format, Serve,
                                   entry);
    if (title)
        papplPrinterAddLink(printer, title, path.c_str(),
                            PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_CONFIGURATION);
}

const char* Text(pappl_client_t* client, const char* key) {
    return papplClientGetLocString(client, key);
}

std::string Message(pappl_client_t* client, std::string_view message,
                    std::initializer_list<std::string_view> values) {
    const std::string key(MessageKey(message));
    return FillIn(Text(client, key.c_str()), values);
}

void StartPage(pappl_client_t* client, pappl_printer_t* printer, const char* title,
               const std::string& banner) {
    papplClientHTMLPrinterHeader(client, printer, title, 0, nullptr, nullptr);
    if (banner.empty()) return;
    papplClientHTMLPuts(client, "          <div class=\"banner\">");
    papplClientHTMLEscape(client, banner.c_str(), 0);
    papplClientHTMLPuts(client, "</div>\n");
}

void EndPage(pappl_client_t* client) {
    papplClientHTMLPrinterFooter(client);
}

void StartForm(pappl_client_t* client, const char* action, bool multipart) {
    papplClientHTMLStartForm(client, papplClientGetURI(client), multipart);
    Hidden(client, "action", action);
}

void Hidden(pappl_client_t* client, const char* name, const std::string& value) {
    papplClientHTMLPrintf(client, "<input type=\"hidden\" name=\"%s\" value=\"%s\">", name,
                          value.c_str());
}

void Submit(pappl_client_t* client, const char* key) {
    papplClientHTMLPrintf(client, "<input type=\"submit\" value=\"%s\">", Text(client, key));
}

void ConfirmForms(pappl_client_t* client, const std::string& token, const char* confirmAction,
                  const char* confirmKey) {
    StartForm(client, confirmAction);
    Hidden(client, "token", token);
    Submit(client, confirmKey);
    papplClientHTMLPuts(client, "</form> ");
    StartForm(client, "cancel");
    Hidden(client, "token", token);
    Submit(client, "Cancel");
    papplClientHTMLPuts(client, "</form>\n");
}

Posted ReadPostedForm(pappl_client_t* client, size_t limit) {
    http_t* http = papplClientGetHTTP(client);
    const std::string tooLarge = Message(client, "The form is larger than %s: nothing was taken.",
                                         {SizeText(client, limit)});
    if (httpGetLength2(http) > static_cast<off_t>(limit)) {
        httpFlush(http);
        return {{}, tooLarge};
    }
    std::vector<uint8_t> body;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = httpRead2(http, buffer, sizeof buffer)) > 0) {
        if (body.size() + static_cast<size_t>(n) > limit) {
            httpFlush(http);
            return {{}, tooLarge};
        }
        body.insert(body.end(), buffer, buffer + n);
    }
    Posted posted;
    const char* type = httpGetField(http, HTTP_FIELD_CONTENT_TYPE);
    if (ParseFormData(type ? type : "", body, &posted.form) != FormStatus::Ok)
        return {{}, Message(client, "Invalid form data.")};
    // PAPPL checks the session key among the form's fields as cups options.
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : posted.form.Fields())
        count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
    const bool valid = papplClientIsValidForm(client, count, options);
    cupsFreeOptions(count, options);
    if (!valid) return {{}, Message(client, "Invalid form submission.")};
    return posted;
}

std::string FieldOf(const FormData& form, std::string_view name) {
    const std::string* value = form.Field(name);
    return value ? *value : std::string();
}

std::string SendJob(pappl_client_t* client, pappl_printer_t* printer, const PrinterJob& job) {
    const std::string file = TempJobFile([&job](int fd) {
        for (const Bytes& piece : job.pieces)
            if (!WriteAll(fd, piece.data(), piece.size())) return false;
        return true;
    });
    return Queue(client, printer, file, job.documentName.c_str());
}

std::string SendFileJob(pappl_client_t* client, pappl_printer_t* printer, const std::string& path,
                        const char* documentName) {
    const std::string file = TempJobFile([&path](int fd) {
        std::FILE* source = std::fopen(path.c_str(), "rb");
        if (!source) return false;
        uint8_t buffer[65536];
        size_t n = 0;
        bool ok = true;
        while (ok && (n = std::fread(buffer, 1, sizeof buffer, source)) > 0)
            ok = WriteAll(fd, buffer, n);
        ok = ok && !std::ferror(source);
        std::fclose(source);
        return ok;
    });
    return Queue(client, printer, file, documentName);
}

std::string SizeText(pappl_client_t* client, uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return Message(client, "%s MiB", {std::to_string(bytes >> 20)});
    if (bytes >= 1024 && bytes % 1024 == 0)
        return Message(client, "%s KiB", {std::to_string(bytes >> 10)});
    return Message(client, "%s bytes", {std::to_string(bytes)});
}

}  // namespace krv::app::web
