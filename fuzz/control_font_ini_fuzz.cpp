// The control-font table file on any bytes: the INI text is decoded (ANSI or UTF-16 with its
// byte-order mark), looked up and stored into; the table is loaded from the file through the
// system's private-profile seam, and every row it gives can be opened in the editor or is
// refused as too long: no command of more than 399 characters or 128 bytes gets through.
#include "channel/ansi_text.h"
#include "channel/command_text_codec.h"
#include "devpages/control_font_table.h"
#include "fuzz/fuzz_support.h"

using namespace krv;

namespace {

void CheckIniText(std::string_view bytes) {
    const ini::DecodedText decoded = ini::Decode(bytes);
    const auto found = ini::Lookup(decoded.text, kControlFontSection, u"41");
    if (found) KRV_FUZZ_CHECK(found->size() <= decoded.text.size());
    // A value stored under a plain key is found again as it was stored.
    const std::u16string stored = ini::Store(decoded.text, kControlFontSection, u"41", u"1B 40");
    const auto back = ini::Lookup(stored, kControlFontSection, u"41");
    KRV_FUZZ_CHECK(back && *back == u"1B 40");
    if (decoded.utf16) {
        const ini::DecodedText again = ini::Decode(ini::Encode(decoded.text, true));
        KRV_FUZZ_CHECK(again.utf16 && again.text == decoded.text);
    }
}

void CheckTable(const std::u16string& path) {
    const ControlFontRows rows = LoadControlFontTable(SystemPrivateProfile(), path);
    KRV_FUZZ_CHECK(rows.size() == kControlFontRowCount);
    for (const ControlFontRow& row : rows) {
        KRV_FUZZ_CHECK(row.command.size() <= kMaxControlCommandTextChars);
        ControlFontEntryExchange exchange;
        const bool opened = BeginControlFontEdit(&row, exchange);
        std::vector<uint8_t> none;
        const size_t bytes = CommandTextCodec::Parse(row.command, none);
        KRV_FUZZ_CHECK(opened == (bytes <= kMaxControlCommandBytes));
        if (opened) {
            KRV_FUZZ_CHECK(exchange.commandLength == bytes);
            KRV_FUZZ_CHECK(AcceptControlFontCommand(exchange.CommandText(), exchange));
            KRV_FUZZ_CHECK(exchange.commandLength == bytes);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckIniText(bytes);
    // Loading reads the file once per row (96 times), as the platform's profile calls do; one
    // input in four takes that slower road so the text checks above get most of the time.
    if (size == 0 || data[size - 1] % 4 != 0) return 0;
    const std::u16string path = fuzz::WriteTempFile("857CONTROL.ini", {data, size});
    CheckTable(path);
    return 0;
}
