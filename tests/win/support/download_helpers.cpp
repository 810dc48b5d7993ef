#include "tests/win/support/download_helpers.h"

#include <commctrl.h>

#include "tests/win/support/sheet_harness.h"

namespace krv::test {

namespace {

void Put16(FileBytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(FileBytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

FileBytes Headers(uint16_t bitCount, int width, int height, uint32_t stride, uint32_t palette) {
    const uint32_t offset = 54 + palette;
    FileBytes b(offset + stride * static_cast<uint32_t>(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, offset);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bitCount);
    Put32(b, 34, stride * static_cast<uint32_t>(height));
    return b;
}

void PutEntry(FileBytes& b, size_t at, Colour c) {
    b[at] = c.blue;
    b[at + 1] = c.green;
    b[at + 2] = c.red;
}

}  // namespace

FileBytes MonoBitmap(int width, int height, const std::function<bool(int, int)>& bit, Colour entry0,
                     Colour entry1) {
    const uint32_t stride = (static_cast<uint32_t>(width) + 31) / 32 * 4;
    FileBytes b = Headers(1, width, height, stride, 8);
    PutEntry(b, 54, entry0);
    PutEntry(b, 58, entry1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (bit(x, y)) b[62 + y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return b;
}

FileBytes ColourBitmap(int width, int height, const std::function<Colour(int, int)>& pixel) {
    const uint32_t stride = (3 * static_cast<uint32_t>(width) + 3) / 4 * 4;
    FileBytes b = Headers(24, width, height, stride, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            PutEntry(b, 54 + y * stride + 3 * x, pixel(x, y));
    return b;
}

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"krvdl" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(++counter);
    CreateDirectoryW(folder_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(Path(found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder_.c_str());
}

std::wstring ScratchFolder::Write(const std::wstring& name, const FileBytes& bytes) const {
    const std::wstring path = Path(name);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

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
