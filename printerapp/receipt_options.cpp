#include "printerapp/receipt_options.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "channel/command_text_codec.h"
#include "docpages/event_action_rules.h"

namespace krv::app {

namespace {

// Name prefixes of the moments, by EventMoment.
constexpr std::array<std::string_view, 4> kMomentPrefixes = {"krv-doc-start", "krv-page-start",
                                                             "krv-page-end", "krv-doc-end"};

// Items of the cash-drawer list by index, then the prompter.
const std::vector<std::string>& DrawerKeywords() {
    static const std::vector<std::string> k = {
        "none",         "drawer1-10ms", "drawer1-20ms", "drawer1-40ms", "drawer1-60ms",
        "drawer2-10ms", "drawer2-20ms", "drawer2-40ms", "drawer2-60ms", "both-10ms",
        "both-20ms",    "both-40ms",    "both-60ms",    "prompter"};
    return k;
}
constexpr uint8_t kPrompterIndex = 13;

const std::vector<std::string>& BuzzerKeywords() {
    static const std::vector<std::string> k = {"off",     "beep-200ms", "beep-600ms",
                                               "beep-1s", "beep-2s",    "beep-4s"};
    return k;
}

// Cutter 0..2 without, then 1..2 with the feed to the cutting position.
const std::vector<std::string>& CutKeywords() {
    static const std::vector<std::string> k = {"none", "partial", "full", "feed-partial",
                                               "feed-full"};
    return k;
}

constexpr std::array<std::string_view, 3> kAlignments = {"left", "centre", "right"};
constexpr std::string_view kAfterCut = "-after-cut";

std::string LogoKeyword(int logo, int alignment, bool afterCut) {
    return "logo" + std::to_string(logo) + "-" + std::string(kAlignments[alignment]) +
           (afterCut ? std::string(kAfterCut) : "");
}

const std::vector<std::string>& LogoKeywords() {
    static const std::vector<std::string> k = [] {
        std::vector<std::string> v = {"none"};
        for (int logo = 1; logo <= 9; ++logo)
            for (bool after : {false, true})
                for (int a = 0; a < 3; ++a)
                    v.push_back(LogoKeyword(logo, a, after));
        return v;
    }();
    return k;
}

const std::vector<std::string>& HalftoneKeywords() {
    static const std::vector<std::string> k = {"auto", "none", "m3", "m4", "diffusion"};
    return k;
}

struct CodePageName {
    const char* keyword;
    const char* iconvName;
};
constexpr std::array<CodePageName, 15> kCodePages = {{{"gbk", "GBK"},
                                                      {"gb18030", "GB18030"},
                                                      {"big5", "BIG5"},
                                                      {"shift_jis", "SHIFT_JIS"},
                                                      {"euc-kr", "EUC-KR"},
                                                      {"cp437", "CP437"},
                                                      {"cp850", "CP850"},
                                                      {"cp852", "CP852"},
                                                      {"cp858", "CP858"},
                                                      {"cp866", "CP866"},
                                                      {"cp1251", "CP1251"},
                                                      {"cp1252", "CP1252"},
                                                      {"iso-8859-1", "ISO-8859-1"},
                                                      {"iso-8859-15", "ISO-8859-15"},
                                                      {"utf-8", "UTF-8"}}};

std::vector<std::string> CodePageKeywords() {
    std::vector<std::string> v;
    for (const auto& c : kCodePages)
        v.emplace_back(c.keyword);
    return v;
}

std::string MomentName(size_t moment, std::string_view suffix) {
    return std::string(kMomentPrefixes[moment]) + "-" + std::string(suffix);
}

ReceiptOption Keyword(std::string name, const std::vector<std::string>& keywords,
                      std::string defaultValue) {
    return {std::move(name), OptionSyntax::Keyword, keywords, 0, 0, std::move(defaultValue)};
}
ReceiptOption Range(std::string name, int lower, int upper, int defaultValue) {
    return {std::move(name), OptionSyntax::Range, {}, lower, upper, std::to_string(defaultValue)};
}

std::vector<ReceiptOption> MakeOptions() {
    OemDevmode record;
    DefaultOemDevmode(&record);
    std::vector<ReceiptOption> all;
    for (size_t m = 0; m < kMomentPrefixes.size(); ++m) {
        // The moment's defaults are those of the default record.
        const auto values = MomentOptionValues(static_cast<EventMoment>(m),
                                               ReadEventBlock(record, static_cast<EventMoment>(m)));
        auto value = [&](std::string_view suffix) {
            const std::string name = MomentName(m, suffix);
            for (const auto& [n, v] : values)
                if (n == name) return v;
            return std::string();
        };
        all.push_back({MomentName(m, "command"), OptionSyntax::Text, {}, 0, 0, value("command")});
        all.push_back(Keyword(MomentName(m, "drawer"), DrawerKeywords(), value("drawer")));
        all.push_back(Keyword(MomentName(m, "buzzer"), BuzzerKeywords(), value("buzzer")));
        all.push_back(Range(MomentName(m, "feed"), 0, 100, std::stoi(value("feed"))));
        all.push_back(Keyword(MomentName(m, "cut"), CutKeywords(), value("cut")));
        all.push_back(Keyword(MomentName(m, "logo"), LogoKeywords(), value("logo")));
    }
    all.push_back(Keyword("krv-halftone", HalftoneKeywords(), "auto"));
    all.push_back(Range("krv-contrast", -100, 100, 0));
    all.push_back(Range("krv-brightness", -100, 100, 0));
    all.push_back(Range("krv-printable-width", 0, 576, 0));
    all.push_back(Keyword("krv-codepage", CodePageKeywords(), "gbk"));
    return all;
}

int IndexOf(const std::vector<std::string>& list, std::string_view value) {
    const auto it = std::find(list.begin(), list.end(), value);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// Command bytes as the dialog shows them: hexadecimal digits in pairs, blanks between.
// Anything else is refused rather than read as the digit 0.
bool ParseCommandText(std::string_view text, EventActionSettings& s) {
    std::u16string wide;
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ' ') return false;
        wide.push_back(static_cast<char16_t>(c));
    }
    uint8_t bytes[kCommandMaxBytes + 1] = {};
    const size_t n = CommandTextCodec::Parse(wide, bytes);
    if (n > kCommandMaxBytes) return false;
    std::copy_n(bytes, n, s.commandBytes);
    s.commandLength = static_cast<uint8_t>(n);
    s.sendCommand = n > 0;
    return true;
}

// One moment option's value into its settings; false when the value is not accepted.
bool ApplyMomentValue(std::string_view suffix, const std::string& value, const ReceiptOption& o,
                      EventActionSettings& s) {
    if (suffix == "command") return ParseCommandText(value, s);
    if (suffix == "feed") {
        s.feedDistanceMm = static_cast<uint8_t>(std::stoi(value));
        return true;
    }
    const int i = IndexOf(o.keywords, value);
    if (suffix == "drawer") {
        s.drawerOrPrompter = i == kPrompterIndex;
        s.prompter = 0;
        s.cashDrawer = i == kPrompterIndex ? 0 : static_cast<uint8_t>(i);
    } else if (suffix == "buzzer") {
        s.buzzer = static_cast<uint8_t>(i);
    } else if (suffix == "cut") {
        s.cutter = static_cast<uint8_t>(i > 2 ? i - 2 : i);
        s.feedToCutPosition = i > 2;
    } else if (suffix == "logo" && i > 0) {
        const int k = i - 1;  // logo-major: 6 keywords a logo, before the cut first
        s.logo = static_cast<uint8_t>(k / 6 + 1);
        s.logoPosition = (k % 6) >= 3;
        s.logoAlignment = static_cast<uint8_t>(k % 3);
    }
    return true;
}

// Checks a value against its option's syntax (keywords and ranges; text is checked by use).
bool Accepts(const ReceiptOption& o, const std::string& value) {
    switch (o.syntax) {
        case OptionSyntax::Keyword:
            return IndexOf(o.keywords, value) >= 0;
        case OptionSyntax::Range: {
            int n = 0;
            const char* end = value.data() + value.size();
            const auto r = std::from_chars(value.data(), end, n);
            return !value.empty() && r.ec == std::errc() && r.ptr == end && n >= o.lower &&
                   n <= o.upper;
        }
        case OptionSyntax::Text:
            return true;
    }
    return false;
}

bool ApplyValue(const ReceiptOption& o, const std::string& value, ReceiptSettings& out) {
    for (size_t m = 0; m < kMomentPrefixes.size(); ++m) {
        const std::string prefix = std::string(kMomentPrefixes[m]) + "-";
        if (o.name.rfind(prefix, 0) == 0)
            return ApplyMomentValue(std::string_view(o.name).substr(prefix.size()), value, o,
                                    out.moments[m]);
    }
    if (o.name == "krv-halftone") {
        out.halftone = static_cast<HalftoneChoice>(IndexOf(o.keywords, value));
    } else if (o.name == "krv-contrast") {
        out.contrast = std::stoi(value);
    } else if (o.name == "krv-brightness") {
        out.brightness = std::stoi(value);
    } else if (o.name == "krv-printable-width") {
        out.printableWidth = std::stoi(value);
    } else if (o.name == "krv-codepage") {
        out.codePage = kCodePages[static_cast<size_t>(IndexOf(o.keywords, value))].iconvName;
    }
    return true;
}

}  // namespace

const std::vector<ReceiptOption>& ReceiptOptions() {
    static const std::vector<ReceiptOption> options = MakeOptions();
    return options;
}

const ReceiptOption* FindReceiptOption(std::string_view name) {
    for (const auto& o : ReceiptOptions())
        if (o.name == name) return &o;
    return nullptr;
}

std::optional<ReceiptSettings> ReadReceiptSettings(const OptionLookup& lookup, std::string* error) {
    ReceiptSettings settings;
    for (const auto& o : ReceiptOptions()) {
        const std::string value = lookup(o.name).value_or(o.defaultValue);
        if (!Accepts(o, value) || !ApplyValue(o, value, settings)) {
            if (error) *error = o.name + ": \"" + value + "\" is not a value this option takes";
            return std::nullopt;
        }
    }
    return settings;
}

std::vector<std::pair<std::string, std::string>> MomentOptionValues(EventMoment moment,
                                                                    const EventActionSettings& s) {
    const size_t m = static_cast<size_t>(moment);
    std::vector<std::pair<std::string, std::string>> v;
    std::string command;
    if (s.sendCommand && s.commandLength > 0) {
        const size_t n = std::min<size_t>(s.commandLength, kCommandMaxBytes);
        const std::u16string text = CommandTextCodec::Format({s.commandBytes, n});
        for (char16_t c : text)
            command.push_back(static_cast<char>(c));
        command.pop_back();  // the blank after the last byte
    }
    v.emplace_back(MomentName(m, "command"), command);

    uint8_t drawer = s.cashDrawer <= 12 ? s.cashDrawer : 0;
    if (s.drawerOrPrompter != 0) drawer = s.prompter == 0 ? kPrompterIndex : 0;
    v.emplace_back(MomentName(m, "drawer"), DrawerKeywords()[drawer]);
    v.emplace_back(MomentName(m, "buzzer"), BuzzerKeywords()[s.buzzer <= 5 ? s.buzzer : 0]);
    v.emplace_back(MomentName(m, "feed"), std::to_string(std::min<int>(s.feedDistanceMm, 100)));
    size_t cut = s.cutter == 1 || s.cutter == 2 ? s.cutter : 0;
    if (cut != 0 && s.feedToCutPosition) cut += 2;
    v.emplace_back(MomentName(m, "cut"), CutKeywords()[cut]);
    v.emplace_back(
        MomentName(m, "logo"),
        s.logo >= 1 && s.logo <= 9
            ? LogoKeyword(s.logo, s.logoAlignment <= 2 ? s.logoAlignment : 0, s.logoPosition != 0)
            : "none");
    return v;
}

std::vector<std::pair<std::string, std::string>> OptionValuesFromRecord(const OemDevmode& record) {
    std::vector<std::pair<std::string, std::string>> all;
    for (size_t m = 0; m < kMomentPrefixes.size(); ++m) {
        const auto moment = static_cast<EventMoment>(m);
        EventActionSettings s = ReadEventBlock(record, moment);
        if (record.duplexMode != 0) {
            s.sendCommand = 0;
            if (moment == EventMoment::StartOfDocument || moment == EventMoment::StartOfPage) {
                s.cutter = 0;
                s.feedToCutPosition = 0;
            }
        }
        const auto values = MomentOptionValues(moment, s);
        all.insert(all.end(), values.begin(), values.end());
    }
    return all;
}

std::optional<OemDevmode> RecordFromBytes(const uint8_t* data, size_t size, std::string* error) {
    OemDmExtraHeader header{};
    if (size > kOemDevmodeSize) {
        *error = "larger than a record (" + std::to_string(kOemDevmodeSize) + " bytes)";
        return std::nullopt;
    }
    if (size < sizeof header) {
        *error = "too short for a record";
        return std::nullopt;
    }
    std::copy_n(data, sizeof header, reinterpret_cast<uint8_t*>(&header));
    if (header.dwSignature != kOemSignature) {
        *error = "not a KRV-M857 record (its signature is not \"VKRT\")";
        return std::nullopt;
    }
    OemDevmode record;
    DefaultOemDevmode(&record);
    ConvertOemDevmodeBytes(data, size, &record);
    ValidateOemDevmode(&record);
    return record;
}

std::optional<OemDevmode> ReadRecordFile(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        *error = "not a file that can be read";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(kOemDevmodeSize + 1);  // one more: a longer file is refused
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return RecordFromBytes(bytes.data(), bytes.size(), error);
}

int PrintableDots(int paperWidthDots, int setting) {
    if (setting > 0) return std::min(setting, paperWidthDots);
    // 80 mm and 58 mm paper are 566 and 411 dots wide at 180 dots per inch.
    if (paperWidthDots >= 566 && paperWidthDots <= 567) return 512;
    if (paperWidthDots == 411) return 360;
    return paperWidthDots;
}

HalftoneMethod MethodFor(HalftoneChoice choice, bool photograph) {
    switch (choice) {
        case HalftoneChoice::None:
            return HalftoneMethod::None;
        case HalftoneChoice::M3:
            return HalftoneMethod::M3;
        case HalftoneChoice::M4:
            return HalftoneMethod::M4;
        case HalftoneChoice::ErrorDiffusion:
            return HalftoneMethod::ErrorDiffusion;
        case HalftoneChoice::ByContent:
            break;
    }
    return photograph ? HalftoneMethod::ErrorDiffusion : HalftoneMethod::None;
}

}  // namespace krv::app
