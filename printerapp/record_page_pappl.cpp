// The printer's "Defaults From a Record" page: a private record saved by the Windows pages is
// uploaded, the page shows what it sets beside the printer's defaults now, and only when the
// user applies it do its event settings become the printer's defaults.
#include <cstdint>
#include <fstream>
#include <iterator>

#include "printerapp/app_pappl.h"
#include "printerapp/held_upload.h"
#include "printerapp/web_pages_pappl.h"

namespace krv::app::web {

namespace {

constexpr char kTitle[] = "Defaults From a Record";
constexpr size_t kRecordFormLimit = 64u << 10;

using OptionValues = std::vector<std::pair<std::string, std::string>>;

std::optional<OemDevmode> HeldRecord(const HeldFile& held, std::string* error) {
    std::ifstream in(held.path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return RecordFromBytes(bytes.data(), bytes.size(), error);
}

std::string ApplyRecord(pappl_client_t* client, pappl_printer_t* printer,
                        const OemDevmode& record) {
    cups_option_t* vendor = nullptr;
    int count = 0;
    for (const auto& [name, value] : OptionValuesFromRecord(record))
        count = cupsAddOption(name.c_str(), value.c_str(), count, &vendor);
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    const bool set = papplPrinterSetDriverDefaults(printer, &data, count, vendor);
    cupsFreeOptions(count, vendor);
    return Message(client, set ? "The record's settings are now the printer's defaults."
                               : "The printer refused these defaults: nothing was changed.");
}

struct RecordStep {
    std::string banner;
    std::optional<OemDevmode> shown;  // uploaded, waiting to be applied
    std::string token;
};

RecordStep RecordAction(pappl_client_t* client, pappl_printer_t* printer, const FormData& form) {
    HeldUpload upload(PrinterFolder(printer), "record");
    const std::string action = FieldOf(form, "action");
    std::string error;
    if (action == "upload") {
        const FormFile* file = form.File("record");
        if (!file || file->fileName.empty())
            return {Message(client, "Choose a record file first."), {}, {}};
        auto record = RecordFromBytes(file->content.data(), file->content.size(), &error);
        if (!record)
            return {Message(client, "The file is %s: nothing was changed.",
                            {Text(client, error.c_str())}),
                    {},
                    {}};
        const std::string token = upload.Hold(file->fileName, file->content);
        if (token.empty())
            return {Message(client, "The printer's folder cannot be written."), {}, {}};
        return {{}, record, token};
    }
    const auto held = upload.Find(FieldOf(form, "token"));
    const auto record = held ? HeldRecord(*held, &error) : std::nullopt;
    if (!record)
        return {
            Message(client, "Nothing is waiting to be applied: choose the record again."), {}, {}};
    upload.Discard();
    if (action == "cancel") return {Message(client, "Nothing was changed."), {}, {}};
    if (action != "apply") return {Message(client, "Unknown form action."), {}, {}};
    return {ApplyRecord(client, printer, *record), {}, {}};
}

// A value as the printing defaults page shows it: its label, the number, or "-" for none.
std::string ValueText(pappl_client_t* client, const std::string& name, const std::string& value) {
    const ReceiptOption* o = FindReceiptOption(name);
    if (o && o->syntax == OptionSyntax::Keyword) return Text(client, (name + "." + value).c_str());
    return value.empty() ? "-" : value;
}

std::string DefaultNow(pappl_printer_t* printer, const std::string& name) {
    ipp_t* attrs = papplPrinterGetDriverAttributes(printer);
    char value[1024] = "";
    ippAttributeString(ippFindAttribute(attrs, (name + "-default").c_str(), IPP_TAG_ZERO), value,
                       sizeof value);
    ippDelete(attrs);
    return value;
}

void RecordTable(pappl_client_t* client, pappl_printer_t* printer, const OemDevmode& record,
                 const std::string& token) {
    papplClientHTMLPrintf(client,
                          "<table class=\"list\" id=\"krv-record\"><thead><tr><th>%s</th><th>%s"
                          "</th><th>%s</th></tr></thead><tbody>\n",
                          Text(client, "Setting"), Text(client, "From the record"),
                          Text(client, "Now"));
    for (const auto& [name, value] : OptionValuesFromRecord(record)) {
        const std::string now = DefaultNow(printer, name);
        papplClientHTMLPrintf(client, "<tr%s><td>%s</td><td>%s</td><td>%s</td></tr>\n",
                              now != value ? " style=\"font-weight:bold\"" : "",
                              Text(client, name.c_str()), ValueText(client, name, value).c_str(),
                              ValueText(client, name, now).c_str());
    }
    papplClientHTMLPuts(client, "</tbody></table>\n<p>");
    ConfirmForms(client, token, "apply", "Apply");
    papplClientHTMLPuts(client, "</p>\n");
}

bool RecordPage(pappl_client_t* client, pappl_printer_t* printer) {
    std::lock_guard lock(PagesLock());
    RecordStep step;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kRecordFormLimit);
        step = posted.ok() ? RecordAction(client, printer, posted.form)
                           : RecordStep{posted.refusal, {}, {}};
    }
    StartPage(client, printer, kTitle, step.banner);
    papplClientHTMLPrintf(
        client, "<p>%s</p>\n",
        Text(client,
             "A private record (1468 bytes) saved by the Windows driver's pages "
             "sets the actions at the start and end of each document and page: "
             "command bytes, cash drawer or prompter, buzzer, paper feed, cut and "
             "stored logo."));
    if (step.shown) {
        RecordTable(client, printer, *step.shown, step.token);
    } else {
        StartForm(client, "upload", true);
        papplClientHTMLPuts(client, "<p><input type=\"file\" name=\"record\"> ");
        Submit(client, "Show Settings");
        papplClientHTMLPuts(client, "</p></form>\n");
    }
    EndPage(client);
    return true;
}

}  // namespace

void AddRecordPage(pappl_printer_t* printer) {
    AddPrinterPage(printer, "krv-record", kTitle, RecordPage);
}

void AddWebPages(pappl_printer_t* printer) {
    AddLogoPage(printer);
    AddMessagePages(printer);
    AddRecordPage(printer);
}

}  // namespace krv::app::web
