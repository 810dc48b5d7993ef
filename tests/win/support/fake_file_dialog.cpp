#include "tests/win/support/fake_file_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>
#include <deque>

namespace krv::test {

namespace {
std::deque<std::wstring> g_answers;
std::vector<FileDialogRequest> g_requests;
}  // namespace

void QueueOpenFileAnswer(const std::wstring& path) {
    g_answers.push_back(path);
}
std::vector<FileDialogRequest>& FileDialogRequests() {
    return g_requests;
}
void ResetFileDialog() {
    g_answers.clear();
    g_requests.clear();
}

}  // namespace krv::test

extern "C" WINBOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW ofn) {
    using namespace krv::test;
    FileDialogRequest request;
    for (const wchar_t* p = ofn->lpstrFilter; p && *p; p += wcslen(p) + 1) {
        request.filter += p;
        request.filter += L'|';
    }
    if (ofn->lpstrTitle) request.title = ofn->lpstrTitle;
    request.flags = ofn->Flags;
    request.filterIndex = ofn->nFilterIndex;
    request.maxFile = ofn->nMaxFile;
    g_requests.push_back(request);
    if (g_answers.empty()) return FALSE;
    const std::wstring path = g_answers.front();
    g_answers.pop_front();
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile) return FALSE;
    wcscpy(ofn->lpstrFile, path.c_str());
    const size_t slash = path.find_last_of(L"\\/");
    ofn->nFileOffset = static_cast<WORD>(slash == std::wstring::npos ? 0 : slash + 1);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > path.size() - ofn->nFileOffset)
        wcscpy(ofn->lpstrFileTitle, path.c_str() + ofn->nFileOffset);
    return TRUE;
}
