// The two sheet procedures: which pages each sheet gets, in which order, and the answers to
// the common property-sheet service's reasons.
#pragma once

#include "frame/sheet_context_win.h"

namespace krv {

HRESULT DocumentSheetProcedure(PPROPSHEETUI_INFO info, LPARAM lParam,
                               DocumentSheetContext* context);
HRESULT PrinterSheetProcedure(PPROPSHEETUI_INFO info, LPARAM lParam, PrinterSheetContext* context);

}  // namespace krv
