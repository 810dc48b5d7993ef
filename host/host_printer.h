// The printer environment the host gives the plug-in when no system printer is named: the
// fake printer of the tests (its own handle, forms in memory), with its forms saved in the
// data folder between runs (Wine's spooler stores none) and every RAW job recorded into the
// jobs folder. The plug-in always calls winspool; the host points the loaded DLL's winspool
// imports at the fake printer's functions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "channel/forms_seam.h"

namespace krv::host {

// The handle the plug-in receives for the host's own printer.
HANDLE HostPrinterHandle();

// Where jobs go and where forms are kept; loads the saved forms (or the built-in ones).
void SetUpHostPrinter(const std::wstring& jobsFolder, const std::wstring& formsFile);

// Points the DLL's winspool imports of the job and form calls at the host's printer and
// returns the names rewritten.
std::vector<std::string> RedirectSpoolerImports(HMODULE dll);

// Names of the user forms (flags 0) now held, in order.
std::vector<std::wstring> UserFormNames();

// Records a job the plug-in started but never ended, if any. Called before the host exits.
void FinishOpenJob();

// The saved forms text: one form a line, "flags width height left top right bottom name",
// separated by tabs. Lines that do not hold a sound form are skipped.
std::vector<FormRecord> ParseFormsText(const std::string& text);
std::string FormsText(const std::vector<FormRecord>& forms);

}  // namespace krv::host
