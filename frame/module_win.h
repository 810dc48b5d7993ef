// Module-wide state of the plug-in: the instance whose resources every page, dialog, bitmap
// and icon come from, the activation context built from the module's own manifest, and the
// counts that decide whether the module may be unloaded.
#pragma once

#include <windows.h>

namespace krv {

HINSTANCE ModuleInstance();
// DllMain sets this at process attach; test programs that link the pages set their own.
void SetModuleInstance(HINSTANCE instance);

// The activation context from manifest resource 2 of the module file, created on first use;
// INVALID_HANDLE_VALUE when none could be created.
HANDLE ModuleActivationContext();
void ReleaseModuleActivationContext();

// A modal dialog of the module, created under the module's activation context.
INT_PTR ModuleDialogBox(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter);

// Server locks and live objects (class factories and plug-in objects), interlocked.
void LockModule();
void UnlockModule();
void ObjectCreated();
void ObjectDestroyed();
bool ModuleCanUnload();

}  // namespace krv
