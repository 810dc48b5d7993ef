#include "tests/win/support/download_helpers.h"

#include <commctrl.h>

#include "tests/win/support/sheet_harness.h"

namespace krv::test {

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileBytes ReadWholeFile(const std::wstring& path) {
    FileBytes bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart < (1 << 28)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        bytes.resize(got);
    }
    CloseHandle(file);
    return bytes;
}

std::wstring LogoWorkFolder() {
    wchar_t temporary[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temporary);
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((std::wstring(temporary) + L"krv857logo*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::vector<std::wstring> folders;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(std::wstring(temporary) + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return folders.size() == 1 ? folders[0] : std::wstring();
}

std::wstring LogoWorkFileOfRow(int n) {
    const std::wstring folder = LogoWorkFolder();
    return folder.empty() ? folder : folder + L"\\" + std::to_wstring(n) + L".bmp";
}

int ListRows(HWND page, int listId) {
    return static_cast<int>(SendDlgItemMessageW(page, listId, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListCell(HWND page, int listId, int row, int column) {
    wchar_t text[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 1024;
    SendDlgItemMessageW(page, listId, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void ClickListRow(HWND page, int listId, int row) {
    HWND list = GetDlgItem(page, listId);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0)
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(listId);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    SendMessageW(page, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
    PumpMessages();
}

void ScrollTrackbar(HWND page, int trackbarId, int position) {
    HWND bar = GetDlgItem(page, trackbarId);
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                 reinterpret_cast<LPARAM>(bar));
    PumpMessages();
}

void DragTrackbar(HWND page, int trackbarId, int position) {
    ScrollTrackbar(page, trackbarId, position);
    NMHDR release = {GetDlgItem(page, trackbarId), static_cast<UINT_PTR>(trackbarId),
                     static_cast<UINT>(NM_RELEASEDCAPTURE)};
    SendMessageW(page, WM_NOTIFY, trackbarId, reinterpret_cast<LPARAM>(&release));
    PumpMessages();
}

}  // namespace krv::test
