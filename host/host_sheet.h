// The common property-sheet side of the host: its sheet callback (pages added by the plug-in
// become real property-sheet pages; results are logged), the sheet procedure's reasons in the
// order the common UI uses them, a real PropertySheetW window, and the scripted steps of a
// headless run (visit every page, screenshots, clicks, OK or cancel).
#pragma once

#include "frame/oem_ui_abi_win.h"
#include "host/host_options.h"

#include <cstdint>
#include <vector>

namespace krv::host {

struct SheetOutcome {
    bool shown = false;                  // the plug-in added pages and the window opened
    bool applied = false;                // a page reported CPSUI_OK (OK or Apply was pressed)
    std::vector<uint8_t> appliedRecord;  // the record as it stood at the last apply
};

// Runs the whole sheet: INIT, GET_INFO_HEADER, the window until it closes, DESTROY.
// `record` is the private record the pages edit (null for the printer sheet).
SheetOutcome RunSheet(IPrintOemUI* ui, const HostOptions& options, OEMUIPSPARAM* sheetParams,
                      const std::vector<uint8_t>* record);

}  // namespace krv::host
