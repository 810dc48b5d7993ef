// The printer's "Logos" page: up to nine pictures kept with the printer, each previewed as the
// printer will print it, downloaded together as the "LOGO" job or cleared from the printer.
#include <cstdio>

#include "channel/ansi_text.h"
#include "pictures/picture_decode.h"
#include "printerapp/logo_store.h"
#include "printerapp/web_pages_pappl.h"

namespace krv::app::web {

namespace {

constexpr char kPage[] = "krv-logos";
constexpr char kPreview[] = "krv-logo.png";
// A 1024 x 768 bitmap of 24 bits with its form around it; PNG and JPEG are smaller.
constexpr size_t kUploadLimit = 4u << 20;

// The halftone methods as the form names them (the command line's names) and shows them.
struct MethodName {
    HalftoneMethod method;
    const char* name;
    const char* key;
};
constexpr MethodName kMethods[] = {
    {HalftoneMethod::None, "none", "No dithering"},
    {HalftoneMethod::M3, "m3", "Dither M3"},
    {HalftoneMethod::M4, "m4", "Dither M4"},
    {HalftoneMethod::ErrorDiffusion, "diffusion", "Error diffusion"}};

LogoStore OpenStore(pappl_printer_t* printer) {
    LogoStore store(PrinterFolder(printer) + "/logos");
    store.Load();
    return store;
}

// The row of the logo a form names by its ID; -1 when there is none (any more).
int RowOf(const LogoStore& store, const std::string& id) {
    for (size_t i = 0; i < store.Count(); ++i)
        if (std::to_string(store.At(i).id) == id) return static_cast<int>(i);
    return -1;
}

bool ReadTone(const std::string& text, int* value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < -100 || v > 100) return false;
    *value = static_cast<int>(v);
    return true;
}

std::string ChangeSettings(pappl_client_t* client, LogoStore& store, const FormData& form) {
    const int row = RowOf(store, FieldOf(form, "logo"));
    if (row < 0) return Message(client, "That logo is no longer in the list.");
    LogoRowSettings s = store.At(static_cast<size_t>(row)).settings;
    const std::string method = FieldOf(form, "method");
    if (!method.empty()) {
        const auto m = HalftoneMethodFromName(method);
        if (!m) return Message(client, "Invalid form data.");
        s.method = *m;
    }
    if (!ReadTone(FieldOf(form, "contrast"), &s.contrast) ||
        !ReadTone(FieldOf(form, "brightness"), &s.brightness))
        return Message(client, "Contrast and brightness are whole numbers from -100 to 100.");
    if (!store.SetSettings(static_cast<size_t>(row), s))
        return Message(client, "The printer's folder cannot be written.");
    return {};
}

std::string Download(pappl_client_t* client, pappl_printer_t* printer, const LogoStore& store) {
    const LogoJobOutcome outcome = store.DownloadJob();
    if (outcome.kind == LogoJobOutcome::Kind::Refused) return Message(client, outcome.message);
    if (outcome.kind != LogoJobOutcome::Kind::Job || outcome.endedEarly)
        return Message(client,
                       "A logo cannot be encoded as a stored logo (a 1-bit bitmap needs a black "
                       "and a white palette entry): nothing was sent.");
    return SendJob(client, printer, outcome.job);
}

std::string Act(pappl_client_t* client, pappl_printer_t* printer, LogoStore& store,
                const FormData& form) {
    const std::string action = FieldOf(form, "action");
    if (action == "add") {
        const FormFile* file = form.File("picture");
        if (!file || file->fileName.empty()) return Message(client, "Choose a picture first.");
        const LogoAddResult r = store.Add(file->fileName, file->content);
        return r.accepted ? std::string() : Message(client, r.message, {r.detail});
    }
    if (action == "mode") {
        const std::string mode = FieldOf(form, "mode");
        if (mode != "mono" && mode != "grey") return Message(client, "Invalid form data.");
        if (!store.SetMode(mode == "grey" ? LogoMode::Grey : LogoMode::BlackWhite))
            return Message(client, "The printer's folder cannot be written.");
        return {};
    }
    if (action == "settings") return ChangeSettings(client, store, form);
    if (action == "delete") {
        const int row = RowOf(store, FieldOf(form, "logo"));
        if (row < 0 || !store.Delete(static_cast<size_t>(row)))
            return Message(client, "That logo is no longer in the list.");
        return {};
    }
    if (action == "download") return Download(client, printer, store);
    if (action == "clear") return SendJob(client, printer, BuildClearLogosJob());
    return Message(client, "Unknown form action.");
}

void ModeForm(pappl_client_t* client, LogoMode mode) {
    StartForm(client, "mode");
    papplClientHTMLPuts(client, "<p>");
    for (const auto& [value, key] :
         {std::pair{"mono", "Black-and-white bitmaps"}, std::pair{"grey", "Grey bitmaps"}}) {
        const bool checked = (mode == LogoMode::Grey) == (std::string(value) == "grey");
        papplClientHTMLPrintf(client,
                              "<label><input type=\"radio\" name=\"mode\" value=\"%s\"%s> "
                              "%s</label> ",
                              value, checked ? " checked" : "", Text(client, key));
    }
    Submit(client, "Change Mode");
    papplClientHTMLPuts(client, "</p></form>\n");
}

void SettingsForm(pappl_client_t* client, const StoredLogo& logo, LogoMode mode) {
    StartForm(client, "settings");
    Hidden(client, "logo", std::to_string(logo.id));
    papplClientHTMLPrintf(client, "%s <select name=\"method\"%s>", Text(client, "Halftone:"),
                          mode == LogoMode::Grey ? " disabled" : "");
    for (const auto& [method, name, key] : kMethods)
        papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s</option>", name,
                              logo.settings.method == method ? " selected" : "", Text(client, key));
    papplClientHTMLPrintf(client,
                          "</select><br>%s <input type=\"number\" name=\"contrast\" min=\"-100\" "
                          "max=\"100\" value=\"%d\"> %s <input type=\"number\" "
                          "name=\"brightness\" min=\"-100\" max=\"100\" value=\"%d\"> ",
                          Text(client, "Contrast:"), logo.settings.contrast,
                          Text(client, "Brightness:"), logo.settings.brightness);
    Submit(client, "Apply");
    papplClientHTMLPuts(client, "</form> ");
}

// A URL that changes whenever what the preview shows does, so no browser shows an old one.
std::string PreviewUrl(pappl_printer_t* printer, const StoredLogo& logo, LogoMode mode) {
    char url[1200];
    std::snprintf(url, sizeof url, "%s?logo=%u&v=%d.%d.%d.%d", PagePath(printer, kPreview).c_str(),
                  logo.id, static_cast<int>(mode), static_cast<int>(logo.settings.method),
                  logo.settings.contrast, logo.settings.brightness);
    return url;
}

void LogoRow(pappl_client_t* client, pappl_printer_t* printer, const LogoStore& store, size_t i) {
    const StoredLogo& logo = store.At(i);
    std::string reason;
    const auto printed = store.Printed(i, &reason);
    papplClientHTMLPrintf(client, "<tr><td>%u</td><td>%s<br>", static_cast<unsigned>(i + 1),
                          logo.name.c_str());
    if (printed)
        papplClientHTMLPrintf(
            client, "<small>%s</small>",
            Message(client, "%s x %s dots",
                    {std::to_string(printed->width), std::to_string(printed->height)})
                .c_str());
    papplClientHTMLPuts(client, "</td><td>");
    if (printed)
        papplClientHTMLPrintf(client,
                              "<img class=\"krv-preview\" src=\"%s\" alt=\"%s\" "
                              "style=\"border:1px solid #999;max-width:100%%;"
                              "image-rendering:pixelated\">",
                              PreviewUrl(printer, logo, store.Mode()).c_str(),
                              Text(client, "Preview"));
    else
        papplClientHTMLPrintf(client, "<em>%s</em>", Message(client, reason).c_str());
    papplClientHTMLPuts(client, "</td><td>");
    SettingsForm(client, logo, store.Mode());
    StartForm(client, "delete");
    Hidden(client, "logo", std::to_string(logo.id));
    Submit(client, "Delete");
    papplClientHTMLPuts(client, "</form></td></tr>\n");
}

void LogoTable(pappl_client_t* client, pappl_printer_t* printer, const LogoStore& store) {
    papplClientHTMLPrintf(client,
                          "<table class=\"list\" id=\"krv-logos\"><thead><tr><th>%s</th><th>%s"
                          "</th><th>%s</th><th>%s</th></tr></thead><tbody>\n",
                          Text(client, "No."), Text(client, "Name"), Text(client, "Preview"),
                          Text(client, "Settings"));
    for (size_t i = 0; i < store.Count(); ++i)
        LogoRow(client, printer, store, i);
    papplClientHTMLPuts(client, "</tbody></table>\n");
}

void ShowPage(pappl_client_t* client, pappl_printer_t* printer, const LogoStore& store,
              const std::string& banner) {
    StartPage(client, printer, "Logos", banner);
    papplClientHTMLPrintf(client, "<p>%s</p>\n",
                          Text(client,
                               "Up to nine BMP, PNG or JPEG pictures of at most 1024 x 768 "
                               "pixels, kept with the printer and downloaded into its stored "
                               "logos, which receipts print by number (1 to 9)."));
    papplClientHTMLPuts(client, "<div>");
    StartForm(client, "add", true);
    papplClientHTMLPuts(client,
                        "<p><input type=\"file\" name=\"picture\" "
                        "accept=\"image/bmp,image/png,image/jpeg,.bmp,.png,.jpg,.jpeg\"> ");
    Submit(client, "Add");
    papplClientHTMLPuts(client, "</p></form></div>\n<div>");
    ModeForm(client, store.Mode());
    papplClientHTMLPuts(client, "</div>\n");
    if (store.Count() > 0) LogoTable(client, printer, store);
    papplClientHTMLPrintf(
        client, "<p>%s</p>\n",
        Message(client, "The logos' bitmaps take %s (the printer takes less than %s).",
                {SizeText(client, static_cast<uint64_t>(store.DownloadBytes())),
                 SizeText(client, kLogoTotalSizeLimit)})
            .c_str());
    StartForm(client, "download");
    Submit(client, "Download All");
    papplClientHTMLPuts(client, "</form> ");
    StartForm(client, "clear");
    Submit(client, "Clear All Logos");
    papplClientHTMLPuts(client, "</form>\n");
    EndPage(client);
}

bool LogoPage(pappl_client_t* client, pappl_printer_t* printer) {
    std::lock_guard lock(PagesLock());
    LogoStore store = OpenStore(printer);
    std::string banner;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kUploadLimit);
        banner = posted.ok() ? Act(client, printer, store, posted.form) : posted.refusal;
    }
    ShowPage(client, printer, store, banner);
    return true;
}

// The preview of one logo: the "LOGO" job of that logo alone, read back and drawn as a PNG.
bool PreviewImage(pappl_client_t* client, pappl_printer_t* printer) {
    cups_option_t* query = nullptr;
    const int count = papplClientGetForm(client, &query);
    const char* id = cupsGetOption("logo", count, query);
    std::vector<uint8_t> png;
    {
        std::lock_guard lock(PagesLock());
        const LogoStore store = OpenStore(printer);
        const int row = RowOf(store, id ? id : "");
        std::string reason;
        const auto printed =
            row < 0 ? std::nullopt : store.Printed(static_cast<size_t>(row), &reason);
        if (printed && !EncodeGreyPng(*printed, &png).ok()) png.clear();
    }
    cupsFreeOptions(count, query);
    if (png.empty())
        return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    if (papplClientRespond(client, HTTP_STATUS_OK, nullptr, "image/png", 0, png.size()))
        httpWrite2(papplClientGetHTTP(client), reinterpret_cast<const char*>(png.data()),
                   png.size());
    return true;
}

}  // namespace

void AddLogoPage(pappl_printer_t* printer) {
    AddPrinterPage(printer, kPage, "Logos", LogoPage);
    AddPrinterPage(printer, kPreview, nullptr, PreviewImage, "image/png");
}

// The back-side page lists the same logos.
std::vector<std::string> LogoNames(pappl_printer_t* printer) {
    const LogoStore store = OpenStore(printer);
    std::vector<std::string> names;
    for (size_t i = 0; i < store.Count(); ++i)
        names.push_back(store.At(i).name);
    return names;
}

std::string SendBackSide(pappl_client_t* client, pappl_printer_t* printer, const std::string& text,
                         BackSidePosition position, int row) {
    const LogoStore store = OpenStore(printer);
    const LogoJobOutcome outcome = store.BackSideJob(Utf8ToUtf16(text), position, row);
    if (outcome.kind == LogoJobOutcome::Kind::Refused) return Message(client, outcome.message);
    if (outcome.kind != LogoJobOutcome::Kind::Job)
        return Message(client,
                       "The logo cannot be encoded for the back side (a 1-bit bitmap needs a "
                       "black and a white palette entry): nothing was sent.");
    return SendJob(client, printer, outcome.job);
}

}  // namespace krv::app::web
