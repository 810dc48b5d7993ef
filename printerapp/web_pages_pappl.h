// The printer maintenance pages each printer gets in PAPPL's web interface: logos, top/bottom
// messages, back-side data, the self-test, firmware download and defaults from a record.
#pragma once

#include <pappl/pappl.h>

#include <string>
#include <vector>

#include "jobs/logo_jobs.h"
#include "printerapp/web_pappl.h"

namespace krv::app::web {

// Every page of a printer, with its links (called as each printer is created or loaded).
void AddWebPages(pappl_printer_t* printer);

void AddLogoPage(pappl_printer_t* printer);
void AddMessagePages(pappl_printer_t* printer);  // top/bottom, back side, self-test, firmware
void AddRecordPage(pappl_printer_t* printer);

// ---- from the logo page, for the back-side page (the lock held)

// The names of the printer's logos, in their order.
std::vector<std::string> LogoNames(pappl_printer_t* printer);
// Sends the back side's characters and, when `row` is not -1, that logo in black and white;
// the message for the page.
std::string SendBackSide(pappl_client_t* client, pappl_printer_t* printer, const std::string& text,
                         BackSidePosition position, int row);

}  // namespace krv::app::web
