#include "printerapp/option_labels.h"

#include <array>
#include <string_view>

#include "printerapp/receipt_options.h"

namespace krv::app {

namespace {

struct Label {
    std::string_view key;
    std::string_view text;
};

constexpr std::array<Label, 4> kMoments = {{{"krv-doc-start", "Start of document"},
                                            {"krv-page-start", "Start of page"},
                                            {"krv-page-end", "End of page"},
                                            {"krv-doc-end", "End of document"}}};

constexpr std::array<Label, 6> kActions = {{{"command", "command bytes (hexadecimal)"},
                                            {"drawer", "cash drawer or prompter"},
                                            {"buzzer", "buzzer"},
                                            {"feed", "paper feed (mm)"},
                                            {"cut", "cut"},
                                            {"logo", "stored logo"}}};

constexpr std::array<Label, 30> kValues = {{
    {"drawer.none", "None"},
    {"drawer.prompter", "Prompter"},
    {"buzzer.off", "Off"},
    {"buzzer.beep-200ms", "Beep 200 ms"},
    {"buzzer.beep-600ms", "Beep 600 ms"},
    {"buzzer.beep-1s", "Beep 1 s"},
    {"buzzer.beep-2s", "Beep 2 s"},
    {"buzzer.beep-4s", "Beep 4 s"},
    {"cut.none", "No cut"},
    {"cut.partial", "Partial cut"},
    {"cut.full", "Full cut"},
    {"cut.feed-partial", "Feed to the cutter, partial cut"},
    {"cut.feed-full", "Feed to the cutter, full cut"},
    {"logo.none", "None"},
    {"krv-halftone", "Halftoning"},
    {"krv-halftone.auto", "By content (photographs: error diffusion; text: threshold)"},
    {"krv-halftone.none", "Threshold"},
    {"krv-halftone.m3", "Ordered dither 8 x 8"},
    {"krv-halftone.m4", "Ordered dither 16 x 16"},
    {"krv-halftone.diffusion", "Error diffusion"},
    {"krv-contrast", "Contrast (-100 to 100)"},
    {"krv-brightness", "Brightness (-100 to 100)"},
    {"krv-printable-width", "Printable width in dots (0: 512 on 80 mm paper, 360 on 58 mm)"},
    {"krv-codepage", "Code page of text"},
    {"om_roll-80mm_80x297mm", "80 mm roll"},
    {"om_roll-58mm_58x297mm", "58 mm roll"},
    {"custom_m857_80x297mm", "Custom Paper-M857"},
    {"media.om_roll-80mm_80x297mm", "80 mm roll"},
    {"media.om_roll-58mm_58x297mm", "58 mm roll"},
    {"media.custom_m857_80x297mm", "Custom Paper-M857"},
}};

// The printer's status attribute and its values.
constexpr std::array<Label, 4> kStatusLabels = {{{"krv-cash-drawer-state", "Cash drawer"},
                                                 {"krv-cash-drawer-state.open", "Open"},
                                                 {"krv-cash-drawer-state.closed", "Closed"},
                                                 {"krv-cash-drawer-state.unknown", "Unknown"}}};

void Add(std::string& out, std::string_view key, std::string_view text) {
    out.append("\"").append(key).append("\" = \"").append(text).append("\";\n");
}

std::string_view Find(std::string_view key) {
    for (const Label& l : kValues)
        if (l.key == key) return l.text;
    return {};
}

// "drawer1-20ms" -> "Drawer #1, 20 ms"; "both-60ms" -> "Drawers #1 and #2, 60 ms".
std::string DrawerLabel(const std::string& k) {
    const std::string ms = k.substr(k.find('-') + 1, k.size() - k.find('-') - 3);
    if (k.rfind("both", 0) == 0) return "Drawers #1 and #2, " + ms + " ms";
    return "Drawer #" + k.substr(6, 1) + ", " + ms + " ms";
}

// "logo3-centre-after-cut" -> "Logo 3, centred, after the cut".
std::string LogoLabel(const std::string& k) {
    const std::string align = k.substr(k.find('-') + 1, k.find('-', 6) - k.find('-') - 1);
    const std::string where = k.find("after-cut") != std::string::npos ? "after" : "before";
    return "Logo " + k.substr(4, 1) + ", " + (align == "centre" ? "centred" : align) + ", " +
           where + " the cut";
}

std::string Build() {
    std::string out;
    for (const ReceiptOption& o : ReceiptOptions()) {
        const std::string_view text = Find(o.name);
        const Label* moment = nullptr;
        for (const Label& m : kMoments)
            if (o.name.rfind(std::string(m.key) + "-", 0) == 0) moment = &m;
        if (!moment) {
            Add(out, o.name, text.empty() ? std::string_view(o.name) : text);
            for (const std::string& k : o.keywords) {
                const std::string key = o.name + "." + k;
                const std::string_view value = Find(key);
                std::string upper = k;
                for (char& c : upper)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                Add(out, key, value.empty() ? std::string_view(upper) : value);
            }
            continue;
        }
        const std::string action = o.name.substr(moment->key.size() + 1);
        for (const Label& a : kActions)
            if (a.key == action)
                Add(out, o.name, std::string(moment->text) + ": " + std::string(a.text));
        for (const std::string& k : o.keywords) {
            std::string label(Find(action + "." + k));
            if (label.empty()) label = action == "drawer" ? DrawerLabel(k) : LogoLabel(k);
            Add(out, o.name + "." + k, label);
        }
    }
    for (const Label& l : kValues)
        if (l.key.find("_") != std::string_view::npos) Add(out, l.key, l.text);
    for (const Label& l : kStatusLabels)
        Add(out, l.key, l.text);
    return out;
}

}  // namespace

const std::string& EnglishStrings() {
    static const std::string strings = Build();
    return strings;
}

}  // namespace krv::app
