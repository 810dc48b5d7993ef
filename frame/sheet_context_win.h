// The records whose addresses the sheet pages receive as their page parameter. They live
// inside the plug-in object; the host destroys every page before it releases the object.
#pragma once

#include "frame/oem_ui_abi_win.h"

namespace krv {

struct PrinterSheetContext {
    HANDLE hComPropSheet = INVALID_HANDLE_VALUE;
    HANDLE lastPageHandle = INVALID_HANDLE_VALUE;  // handle of the page added last
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;
    OEMCUIPPARAM* commonUi = nullptr;       // set by CommonUIProp
    IPrintOemDriverUI* driverUi = nullptr;  // copied when the sheet is built; not owned
};

struct DocumentSheetContext {
    HANDLE hComPropSheet = INVALID_HANDLE_VALUE;
    HANDLE pageHandle = INVALID_HANDLE_VALUE;  // passed back with results; never changed
    OEMUIPSPARAM* sheetParams = nullptr;       // the sheet's lParamInit
    OEMCUIPPARAM* commonUi = nullptr;          // set by CommonUIProp
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;
    IPrintOemDriverUI* driverUi = nullptr;  // copied when the sheet is built; not owned
    // Raised by the watermark page when its watermark is switched off, lowered by the layout
    // page when it shows that; every sheet starts with it lowered. The pages see the context
    // as const: this is the one thing they change in it.
    mutable bool watermarkSwitchedOff = false;
};

}  // namespace krv
