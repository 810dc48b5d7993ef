// Opens the plug-in's real property sheets the way the host does (the sheet procedure adds
// the pages through a host callback that creates them), in a modeless PropertySheetW window,
// and records what the pages tell the host and the sheet. Message boxes and modal dialogs
// the pages open are seen by a CBT hook: recorded and answered.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/oem_devmode.h"
#include "frame/sheet_context_win.h"

namespace krv::test {

// Every modal window (message box or dialog) a page opened while a test ran.
struct ModalSeen {
    std::wstring caption;
    std::wstring text;  // a message box's text; empty for other dialogs
    UINT icon = 0;      // MB_ICONERROR / MB_ICONINFORMATION / 0, read from the box's icon control
};

// Installs the hook for the calling thread while it lives. By default a message box is
// recorded and closed with OK; set `handler` to drive a dialog yourself (return true when you
// took care of it, e.g. by posting a button click to it).
class ModalWatcher {
  public:
    ModalWatcher();
    ~ModalWatcher();
    std::vector<ModalSeen> seen;
    std::function<bool(HWND dialog)> handler;
};

class Sheet {
  public:
    enum class Kind { Document, Printer };
    explicit Sheet(Kind kind);
    ~Sheet();
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    // Runs the sheet procedure's initialisation and shows the pages it added. The record,
    // parameter blocks and options must be prepared before.
    void Open();
    HWND Page(int index);  // makes the page current and returns its window
    int PageCount() const;
    std::wstring TabText(int index) const;
    void PressApply();  // PSBTN_APPLYNOW: PSN_APPLY to every created page
    void Close();       // the sheet can be opened again afterwards

    // What the host and the sheet were told.
    struct HostCall {
        UINT function;
        LPARAM lParam1, lParam2;
    };
    std::vector<HostCall> hostCalls;
    struct SheetMessage {
        UINT message;  // PSM_CHANGED or PSM_UNCHANGED
        HWND page;
    };
    std::vector<SheetMessage> sheetMessages;
    int CountSheetMessages(UINT message, HWND page = nullptr) const;

    Kind kind;
    OemDevmode record;
    OEMUIPSPARAM sheetParams = {};
    OEMCUIPPARAM commonUi = {};
    DocumentSheetContext documentContext;
    PrinterSheetContext printerContext;
    std::wstring printerName = L"KRV-M857 Test";
    std::vector<int> addedTemplates;
    std::vector<DWORD> addedFlags;  // dwFlags of each page record as it was added
    HWND window = nullptr;

  private:
    static LONG_PTR CALLBACK HostCallback(HANDLE sheet, UINT function, LPARAM lParam1,
                                          LPARAM lParam2);
    static LRESULT CALLBACK SheetSubclass(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    std::vector<HPROPSHEETPAGE> pages_;
};

// Lets the window messages posted so far run.
void PumpMessages();

// Text of a control.
std::wstring ItemText(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
// A click on a button, radio or check box, as the user's click delivers it.
void Click(HWND dialog, int id);
// Types `text` into an edit as a user's edit would (WM_SETTEXT, then EN_CHANGE arrives).
void SetText(HWND dialog, int id, const std::wstring& text);
// Selects item `index` of a combo box and notifies the page as a user's choice would.
void SelectCombo(HWND dialog, int id, int index);
// The same with both notifications a pick from the dropped list sends: the selection confirmed
// (CBN_SELENDOK), then changed.
void PickComboEntry(HWND dialog, int id, int index);
int ComboSelection(HWND dialog, int id);
std::wstring ComboText(HWND dialog, int id, int index);
int ComboCount(HWND dialog, int id);

// The test program is the module: its resources are the plug-in's templates.
void UseTestProgramAsModule();

}  // namespace krv::test
