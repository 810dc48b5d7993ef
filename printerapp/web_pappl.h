// What the application's web pages share: their place among each printer's pages and links,
// the texts in the browser's language, the frame of PAPPL's own pages around them, the
// reading of posted forms (checked against PAPPL's session key) and the sending of a page's
// job through the printer's queue, as the maintenance subcommands send theirs.
#pragma once

#include <pappl/pappl.h>

#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>

#include "channel/raw_printer_channel.h"
#include "printerapp/form_data.h"

namespace krv::app::web {

// ---- where the pages keep what stays with a printer (its logos, a held upload)

// Set once at start-up, before the first page is served.
void SetPagesFolder(std::string folder);
// "<pages folder>/printer-<ID>".
std::string PrinterFolder(pappl_printer_t* printer);
// Held around every use of a printer's folder: PAPPL serves each browser in a thread.
std::mutex& PagesLock();

// ---- registration

using PageHandler = bool (*)(pappl_client_t* client, pappl_printer_t* printer);

// Serves `handler` at the printer's path + "/" + `name`, linked from the printer's pages under
// `title` (a text key) unless `title` is null.
void AddPrinterPage(pappl_printer_t* printer, const char* name, const char* title,
                    PageHandler handler, const char* format = "text/html");
// The printer's path + "/" + `name`.
std::string PagePath(pappl_printer_t* printer, const char* name);

// ---- texts

// A text key in the browser's language.
const char* Text(pappl_client_t* client, const char* key);
// A message for the page: a rule's own (Chinese) message or a text key, in the browser's
// language, with `values` filling its "%s" in turn.
std::string Message(pappl_client_t* client, std::string_view message,
                    std::initializer_list<std::string_view> values = {});

// ---- the frame of a page

// PAPPL's printer header with `title` (a text key), then `banner` when there is one.
void StartPage(pappl_client_t* client, pappl_printer_t* printer, const char* title,
               const std::string& banner);
void EndPage(pappl_client_t* client);
// A form posting to this page with PAPPL's session key, and a hidden "action".
void StartForm(pappl_client_t* client, const char* action, bool multipart = false);
void Hidden(pappl_client_t* client, const char* name, const std::string& value);
void Submit(pappl_client_t* client, const char* key);
// The buttons that confirm or cancel a held upload: forms `confirmAction` (its button
// `confirmKey`) and "cancel", each carrying the upload's token.
void ConfirmForms(pappl_client_t* client, const std::string& token, const char* confirmAction,
                  const char* confirmKey);

// ---- requests

// A posted form, or the reason it was refused (a message for the page).
struct Posted {
    FormData form;
    std::string refusal;
    bool ok() const { return refusal.empty(); }
};
// Reads the body of a POST (at most `limit` bytes: "%s" of the refusal names the limit) and
// checks the form's session key as PAPPL's own forms are checked.
Posted ReadPostedForm(pappl_client_t* client, size_t limit);
// A form field, or "" when the form has none.
std::string FieldOf(const FormData& form, std::string_view name);

// Sends a job's bytes as raw printer commands through the printer's queue; the message for
// the page (which job, or why it could not be queued).
std::string SendJob(pappl_client_t* client, pappl_printer_t* printer, const PrinterJob& job);
// The same for a file already holding the job's bytes (copied: the queue removes its copy).
std::string SendFileJob(pappl_client_t* client, pappl_printer_t* printer, const std::string& path,
                        const char* documentName);

// "12 KiB" / "3 bytes" style sizes in the browser's language.
std::string SizeText(pappl_client_t* client, uint64_t bytes);

}  // namespace krv::app::web
