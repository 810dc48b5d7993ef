// A page of each printer in PAPPL's web interface: upload a private record saved by the
// Windows pages and make its event settings the printer's defaults. The form is protected
// as PAPPL's own settings forms are (session key, and the administrator password when one is
// set).
#include <cstdint>

#include "printerapp/app_pappl.h"

namespace krv::app {

namespace {

constexpr char kRecordPage[] = "krv-record";
constexpr char kTitle[] = "Defaults From a Record";

// Sets the printer's defaults from the uploaded file; the message for the page.
std::string ApplyRecord(pappl_printer_t* printer, const char* uploaded,
                        std::vector<std::pair<std::string, std::string>>* values) {
    std::string error;
    const std::optional<OemDevmode> record = ReadRecordFile(uploaded, &error);
    if (!record) return "The file is " + error + ": nothing was changed.";

    *values = OptionValuesFromRecord(*record);
    cups_option_t* vendor = nullptr;
    int count = 0;
    for (const auto& [name, value] : *values)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &vendor);
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    const bool set = papplPrinterSetDriverDefaults(printer, &data, count, vendor);
    cupsFreeOptions(count, vendor);
    if (!set) values->clear();
    return set ? "The record's settings are now the printer's defaults."
               : "The printer refused these defaults: nothing was changed.";
}

bool RecordPage(pappl_client_t* client, void* data) {
    pappl_system_t* system = papplClientGetSystem(client);
    pappl_printer_t* printer = papplSystemFindPrinter(
        system, nullptr, static_cast<int>(reinterpret_cast<intptr_t>(data)), nullptr);
    if (!printer) return false;
    if (!papplClientHTMLAuthorize(client)) return true;

    std::string status;
    std::vector<std::pair<std::string, std::string>> values;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        cups_option_t* form = nullptr;
        const int count = papplClientGetForm(client, &form);
        const char* uploaded = cupsGetOption("record", count, form);
        if (count == 0 || !papplClientIsValidForm(client, count, form))
            status = "Invalid form submission.";
        else if (!uploaded)
            status = "Choose a record file first.";
        else
            status = ApplyRecord(printer, uploaded, &values);
        cupsFreeOptions(count, form);
    }

    papplClientHTMLPrinterHeader(client, printer, kTitle, 0, nullptr, nullptr);
    if (!status.empty()) {
        papplClientHTMLPuts(client, "<div class=\"banner\">");
        papplClientHTMLEscape(client, status.c_str(), 0);
        papplClientHTMLPuts(client, "</div>\n");
    }
    papplClientHTMLPuts(client,
                        "<p>A private record (1468 bytes) saved by the Windows driver's pages "
                        "sets the actions at the start and end of each document and page: "
                        "command bytes, cash drawer or prompter, buzzer, paper feed, cut and "
                        "stored logo.</p>\n");
    papplClientHTMLStartForm(client, papplClientGetURI(client), true);
    papplClientHTMLPuts(client,
                        "<p><input type=\"file\" name=\"record\"> "
                        "<input type=\"submit\" value=\"Set Defaults\"></p></form>\n");
    if (!values.empty()) {
        papplClientHTMLPuts(client, "<table class=\"form\">\n");
        for (const auto& [name, value] : values) {
            papplClientHTMLPuts(client, "<tr><th>");
            papplClientHTMLEscape(client, name.c_str(), 0);
            papplClientHTMLPuts(client, "</th><td>");
            papplClientHTMLEscape(client, value.c_str(), 0);
            papplClientHTMLPuts(client, "</td></tr>\n");
        }
        papplClientHTMLPuts(client, "</table>\n");
    }
    papplClientHTMLPrinterFooter(client);
    return true;
}

}  // namespace

void AddRecordPage(pappl_printer_t* printer) {
    char path[1024];
    papplPrinterGetPath(printer, kRecordPage, path, sizeof path);
    papplSystemAddResourceCallback(
        papplPrinterGetSystem(printer), path, "text/html", RecordPage,
        reinterpret_cast<void*>(static_cast<intptr_t>(papplPrinterGetID(printer))));
    papplPrinterAddLink(printer, kTitle, path, PAPPL_LOPTIONS_CONFIGURATION);
}

}  // namespace krv::app
