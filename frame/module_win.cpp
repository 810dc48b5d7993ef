#include "frame/module_win.h"

#include <vector>

#include "res/resource_ids.h"

namespace krv {

namespace {

HINSTANCE g_instance = nullptr;
HANDLE g_activationContext = INVALID_HANDLE_VALUE;
bool g_activationTried = false;
LONG g_serverLocks = 0;
LONG g_liveObjects = 0;

// The module's own path: the buffer starts at 260 characters and doubles up to ten times.
bool ModulePath(std::vector<wchar_t>& path) {
    DWORD size = MAX_PATH;
    for (int attempt = 0; attempt <= 10; ++attempt, size *= 2) {
        path.assign(size, L'\0');
        const DWORD n = GetModuleFileNameW(g_instance, path.data(), size);
        if (n == 0) return false;
        if (n < size) return true;
    }
    return false;
}

}  // namespace

HINSTANCE ModuleInstance() {
    return g_instance;
}
void SetModuleInstance(HINSTANCE instance) {
    g_instance = instance;
}

HANDLE ModuleActivationContext() {
    if (!g_activationTried) {
        g_activationTried = true;
        std::vector<wchar_t> path;
        if (ModulePath(path)) {
            ACTCTXW context = {};
            context.cbSize = sizeof context;
            context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
            context.lpSource = path.data();
            context.lpResourceName = MAKEINTRESOURCEW(IDR_KRV_MANIFEST);
            g_activationContext = CreateActCtxW(&context);
        }
    }
    return g_activationContext;
}

void ReleaseModuleActivationContext() {
    if (g_activationContext != INVALID_HANDLE_VALUE) ReleaseActCtx(g_activationContext);
    g_activationContext = INVALID_HANDLE_VALUE;
    g_activationTried = false;
}

INT_PTR ModuleDialogBox(int templateId, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const HANDLE context = ModuleActivationContext();
    ULONG_PTR cookie = 0;
    const bool active = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
    const INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(templateId), owner,
                                           procedure, parameter);
    if (active) DeactivateActCtx(0, cookie);
    return result;
}

void LockModule() {
    InterlockedIncrement(&g_serverLocks);
}
void UnlockModule() {
    InterlockedDecrement(&g_serverLocks);
}
void ObjectCreated() {
    InterlockedIncrement(&g_liveObjects);
}
void ObjectDestroyed() {
    InterlockedDecrement(&g_liveObjects);
}
bool ModuleCanUnload() {
    return g_liveObjects == 0 && g_serverLocks == 0;
}

}  // namespace krv
