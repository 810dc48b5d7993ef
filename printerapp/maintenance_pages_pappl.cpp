// The printer's "Top/Bottom Messages", "Back-Side Data", "Self-Test" and "Firmware Download"
// pages: each sends the job the Windows pages and the krv857 tool send, built by the same
// builders, through the printer's queue.
#include <array>

#include "channel/ansi_text.h"
#include "jobs/file_download.h"
#include "jobs/self_test.h"
#include "jobs/top_bottom_message.h"
#include "printerapp/app_pappl.h"
#include "printerapp/held_upload.h"
#include "printerapp/web_pages_pappl.h"

namespace krv::app::web {

namespace {

// Forms of text fields only.
constexpr size_t kTextFormLimit = 64u << 10;
// The plug-in sends a file of any size it can hold; the pages hold an upload in memory.
constexpr size_t kFirmwareLimit = 64u << 20;

// ---- text fields

// The text of a field as the printer's code page will hold it: a message when it is not
// UTF-8 or holds a character the code page lacks (`what` names the field).
std::string CheckText(pappl_client_t* client, const std::string& text, const char* what) {
    if (!IsValidUtf8(text)) return Message(client, "Invalid form data.");
    const std::u16string wide = Utf8ToUtf16(text);
    const size_t bad = FindUnencodable(wide);
    if (bad == std::u16string::npos) return {};
    return Message(client,
                   "%s: the character \"%s\" cannot be written in the printer's code page (%s).",
                   {Text(client, what), Utf16ToUtf8(wide.substr(bad, 1)), AnsiCodePageName()});
}

void TextInput(pappl_client_t* client, const char* label, const char* name,
               const std::string& value, int maxLength, bool flagged = false) {
    papplClientHTMLPrintf(client,
                          "<tr><th>%s</th><td><input type=\"text\" name=\"%s\" value=\"%s\" "
                          "maxlength=\"%d\" size=\"48\"%s></td></tr>\n",
                          Text(client, label), name, value.c_str(), maxLength,
                          flagged ? " style=\"outline:2px solid #c00\"" : "");
}

// ---- top/bottom messages

constexpr std::array<const char*, kTopBottomLineCount> kLineLabels = {
    "Front side, bottom message, first line:", "Front side, bottom message, second line:",
    "Back side, top message, first line:", "Back side, top message, second line:"};

// Sends the lines; the message, and in `flagged` the line that is too long.
std::string SendTopBottom(pappl_client_t* client, pappl_printer_t* printer,
                          const std::array<std::string, kTopBottomLineCount>& lines, int* flagged) {
    std::array<std::u16string, kTopBottomLineCount> wide;
    for (size_t n = 0; n < lines.size(); ++n) {
        if (std::string refused = CheckText(client, lines[n], kLineLabels[n]); !refused.empty()) {
            *flagged = static_cast<int>(n);
            return refused;
        }
        wide[n] = Utf8ToUtf16(lines[n]);
    }
    const TopBottomMessageBuild build =
        BuildTopBottomMessageJob({wide[0], wide[1], wide[2], wide[3]});
    switch (build.status) {
        case TopBottomMessageBuild::Status::NothingToSend:
            return Message(client, "Enter at least one line.");
        case TopBottomMessageBuild::Status::LineTooLong:
            *flagged = build.line;
            return Message(client, Utf16ToUtf8(kTopBottomLineTooLongMessage));
        case TopBottomMessageBuild::Status::Ready:
            break;
    }
    return SendJob(client, printer, build.job);
}

bool TopBottomPage(pappl_client_t* client, pappl_printer_t* printer) {
    std::array<std::string, kTopBottomLineCount> lines;
    std::string banner;
    int flagged = -1;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kTextFormLimit);
        for (size_t n = 0; n < lines.size(); ++n)
            lines[n] = FieldOf(posted.form, "line" + std::to_string(n));
        banner = posted.ok() ? SendTopBottom(client, printer, lines, &flagged) : posted.refusal;
    }
    StartPage(client, printer, "Top/Bottom Messages", banner);
    papplClientHTMLPrintf(client, "<p>%s</p>\n",
                          Text(client,
                               "With the top/bottom message function on, the printer prints the "
                               "first two lines at the bottom of the front side and the other two "
                               "at the top of the back side. A line takes at most 48 single-byte "
                               "or 32 double-byte characters."));
    StartForm(client, "send");
    papplClientHTMLPuts(client, "<table class=\"form\"><tbody>\n");
    for (size_t n = 0; n < lines.size(); ++n)
        TextInput(client, kLineLabels[n], ("line" + std::to_string(n)).c_str(), lines[n],
                  static_cast<int>(kTopBottomLineMaxCharacters), flagged == static_cast<int>(n));
    papplClientHTMLPuts(client, "<tr><th></th><td>");
    Submit(client, "Download");
    papplClientHTMLPuts(client, "</td></tr></tbody></table></form>\n");
    EndPage(client);
    return true;
}

// ---- back-side data

struct Alignment {
    BackSidePosition position;
    const char* value;
    const char* key;
};
constexpr Alignment kAlignments[] = {{BackSidePosition::Left, "left", "Left"},
                                     {BackSidePosition::Centre, "centre", "Centre"},
                                     {BackSidePosition::Right, "right", "Right"}};

struct BackSideForm {
    std::string text;
    std::string align = "left";
    std::string logo;  // the logo's number from 1, or empty for none
};

std::string SendBackSideForm(pappl_client_t* client, pappl_printer_t* printer,
                             const BackSideForm& f, size_t logos) {
    const Alignment* align = nullptr;
    for (const Alignment& a : kAlignments)
        if (f.align == a.value) align = &a;
    const int row = f.logo.empty() ? -1 : std::atoi(f.logo.c_str()) - 1;
    if (!align || (!f.logo.empty() && (row < 0 || static_cast<size_t>(row) >= logos)))
        return Message(client, "Invalid form data.");
    if (std::string refused = CheckText(client, f.text, "Back-side characters:"); !refused.empty())
        return refused;
    return SendBackSide(client, printer, f.text, align->position, row);
}

void LogoSelect(pappl_client_t* client, const std::vector<std::string>& logos,
                const std::string& chosen) {
    papplClientHTMLPrintf(client,
                          "<tr><th>%s</th><td><select name=\"logo\"><option value=\"\">%s</option>",
                          Text(client, "Logo:"), Text(client, "No logo"));
    for (size_t i = 0; i < logos.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s %s</option>", number.c_str(),
                              chosen == number ? " selected" : "", number.c_str(),
                              logos[i].c_str());
    }
    papplClientHTMLPrintf(client, "</select> <small>%s</small></td></tr>\n",
                          Text(client,
                               "printed in black and white with its halftone, contrast and "
                               "brightness from the Logos page"));
}

void AlignmentRadios(pappl_client_t* client, const std::string& chosen) {
    papplClientHTMLPrintf(client, "<tr><th>%s</th><td>", Text(client, "Print position:"));
    for (const Alignment& a : kAlignments)
        papplClientHTMLPrintf(client,
                              "<label><input type=\"radio\" name=\"align\" value=\"%s\"%s> "
                              "%s</label> ",
                              a.value, chosen == a.value ? " checked" : "", Text(client, a.key));
    papplClientHTMLPuts(client, "</td></tr>\n");
}

bool BackSidePage(pappl_client_t* client, pappl_printer_t* printer) {
    std::lock_guard lock(PagesLock());
    const std::vector<std::string> logos = LogoNames(printer);
    BackSideForm f;
    std::string banner;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kTextFormLimit);
        f = {FieldOf(posted.form, "text"), FieldOf(posted.form, "align"),
             FieldOf(posted.form, "logo")};
        banner = posted.ok() ? SendBackSideForm(client, printer, f, logos.size()) : posted.refusal;
    }
    StartPage(client, printer, "Back-Side Data", banner);
    StartForm(client, "send");
    papplClientHTMLPuts(client, "<table class=\"form\"><tbody>\n");
    TextInput(client, "Back-side characters:", "text", f.text,
              static_cast<int>(kBackSideTextLimit));
    AlignmentRadios(client, f.align);
    LogoSelect(client, logos, f.logo);
    papplClientHTMLPuts(client, "<tr><th></th><td>");
    Submit(client, "Download Back-Side Bitmap and Characters");
    papplClientHTMLPuts(client, "</td></tr></tbody></table></form>\n");
    EndPage(client);
    return true;
}

// ---- self-test

bool SelfTestPage(pappl_client_t* client, pappl_printer_t* printer) {
    std::string banner;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kTextFormLimit);
        banner = posted.ok() ? SendJob(client, printer, BuildSelfTestJob()) : posted.refusal;
    }
    StartPage(client, printer, "Self-Test", banner);
    papplClientHTMLPrintf(client, "<p>%s</p>\n",
                          Text(client,
                               "The printer prints its self-test page: a check that the "
                               "connection's settings are right."));
    // A printer that answers status requests also says what its drawer sensor reads.
    if (const std::optional<DrawerState> drawer = CashDrawerOf(printer)) {
        const std::string value = std::string(kDrawerAttribute) + "." + DrawerKeyword(*drawer);
        papplClientHTMLPrintf(client, "<p>%s: %s</p>\n", Text(client, kDrawerAttribute),
                              Text(client, value.c_str()));
    }
    StartForm(client, "selftest");
    Submit(client, "Self-Test Page");
    papplClientHTMLPuts(client, "</form>\n");
    EndPage(client);
    return true;
}

// ---- firmware download

struct FirmwareStep {
    std::string banner;
    std::optional<HeldFile> held;  // waiting for its confirmation
    std::string token;
};

FirmwareStep FirmwareAction(pappl_client_t* client, pappl_printer_t* printer,
                            const FormData& form) {
    HeldUpload upload(PrinterFolder(printer), "firmware");
    const std::string action = FieldOf(form, "action");
    if (action == "upload") {
        const FormFile* file = form.File("file");
        if (!file || file->fileName.empty())
            return {Message(client, "Choose a file first."), {}, {}};
        const std::string token = upload.Hold(file->fileName, file->content);
        if (token.empty())
            return {Message(client, "The printer's folder cannot be written."), {}, {}};
        return {{}, upload.Find(token), token};
    }
    const auto held = upload.Find(FieldOf(form, "token"));
    if (!held)
        return {Message(client, "Nothing is waiting to be sent: choose the file again."), {}, {}};
    if (action == "cancel") {
        upload.Discard();
        return {Message(client, "Nothing was sent."), {}, {}};
    }
    if (action != "send") return {Message(client, "Unknown form action."), {}, {}};
    std::string sent = SendFileJob(client, printer, held->path, kFirmwareDocumentName);
    upload.Discard();
    return {sent, {}, {}};
}

void FirmwareConfirmation(pappl_client_t* client, const HeldFile& held, const std::string& token) {
    papplClientHTMLPrintf(
        client, "<p id=\"krv-confirm\"><strong>%s</strong></p>\n",
        Message(client, "Send the file \"%s\" (%s bytes) to the printer as it is?",
                {held.name, std::to_string(held.size)})
            .c_str());
    ConfirmForms(client, token, "send", "Download");
}

bool FirmwarePage(pappl_client_t* client, pappl_printer_t* printer) {
    std::lock_guard lock(PagesLock());
    FirmwareStep step;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        const Posted posted = ReadPostedForm(client, kFirmwareLimit);
        step = posted.ok() ? FirmwareAction(client, printer, posted.form)
                           : FirmwareStep{posted.refusal, {}, {}};
    }
    StartPage(client, printer, "Firmware Download", step.banner);
    papplClientHTMLPrintf(client, "<p>%s</p>\n",
                          Text(client,
                               "You can download many kinds of files to the printer, such as "
                               "monitor programs and font programs."));
    if (step.held) {
        FirmwareConfirmation(client, *step.held, step.token);
    } else {
        StartForm(client, "upload", true);
        papplClientHTMLPuts(client, "<p><input type=\"file\" name=\"file\"> ");
        Submit(client, "Download");
        papplClientHTMLPrintf(client, "</p></form>\n<p><small>%s</small></p>\n",
                              Message(client,
                                      "The file goes to the printer byte for byte, after you "
                                      "confirm its name and size; at most %s.",
                                      {SizeText(client, kFirmwareLimit)})
                                  .c_str());
    }
    EndPage(client);
    return true;
}

}  // namespace

void AddMessagePages(pappl_printer_t* printer) {
    AddPrinterPage(printer, "krv-topbottom", "Top/Bottom Messages", TopBottomPage);
    AddPrinterPage(printer, "krv-backside", "Back-Side Data", BackSidePage);
    AddPrinterPage(printer, "krv-selftest", "Self-Test", SelfTestPage);
    AddPrinterPage(printer, "krv-firmware", "Firmware Download", FirmwarePage);
}

}  // namespace krv::app::web
