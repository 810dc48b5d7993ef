// Small helpers shared by the tests of the barcode and two-dimensional code pages: expected
// byte strings, fields read from the record's bytes, and control notifications sent as the
// controls themselves send them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "channel/raw_printer_channel.h"
#include "frame/oem_devmode.h"
#include "tests/support/fake_printer_win.h"
#include "tests/win/support/sheet_harness.h"

namespace krv::test {

inline Bytes Hex(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline Bytes Ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The little-endian field of `width` bytes at byte `offset` of the record.
inline uint32_t RecordField(const OemDevmode& record, size_t offset, size_t width) {
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&record) + offset, width);
    return value;
}

// A notification of control `id` as the control itself sends it to its dialog.
inline void NotifyFromControl(HWND dialog, int id, int code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    PumpMessages();
}

inline std::pair<int, int> UpDownRange(HWND dialog, int upDown) {
    int lo = -1, hi = -1;
    SendDlgItemMessageW(dialog, upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                        reinterpret_cast<LPARAM>(&hi));
    return {lo, hi};
}

// Every entry of a drop-down list, and the texts a rule gives for it, in the same form.
inline std::vector<std::wstring> ComboTexts(HWND dialog, int id) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ComboCount(dialog, id); ++i)
        texts.push_back(ComboText(dialog, id, i));
    return texts;
}

inline std::vector<std::wstring> WideTexts(std::span<const std::u16string_view> texts) {
    std::vector<std::wstring> out;
    for (std::u16string_view text : texts)
        out.emplace_back(text.begin(), text.end());
    return out;
}

inline int EditLimit(HWND dialog, int edit) {
    return static_cast<int>(SendDlgItemMessageW(dialog, edit, EM_GETLIMITTEXT, 0, 0));
}

// A test of one of the two code pages of the document sheet: the page at tab `PageIndex`,
// whose eight font records of `FontRecordSize` bytes start at `FirstFontOffset`.
template <int PageIndex, size_t FirstFontOffset, size_t FontRecordSize>
class CodePageTest : public testing::Test {
  protected:
    void SetUp() override { ResetSpooler(); }

    void Open() {
        sheet.Open();
        page = sheet.Page(PageIndex);
        ASSERT_NE(page, nullptr);
    }

    // A field of font `font` read from the record's bytes at its offset in the font record.
    uint32_t Stored(int font, size_t offset, size_t width) const {
        return RecordField(sheet.record, FirstFontOffset + FontRecordSize * font + offset, width);
    }

    void Notify(int id, int code) { NotifyFromControl(page, id, code); }

    int Changes() const { return sheet.CountSheetMessages(PSM_CHANGED, page); }
    void ForgetSheetMessages() { sheet.sheetMessages.clear(); }

    Sheet sheet{Sheet::Kind::Document};
    HWND page = nullptr;
};

}  // namespace krv::test
