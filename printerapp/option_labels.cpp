#include "printerapp/option_labels.h"

#include <array>

#include "channel/ansi_text.h"
#include "docpages/event_action_rules.h"
#include "printerapp/receipt_options.h"

namespace krv::app {

namespace {

struct Label {
    std::string_view key;
    std::string_view english;
    std::string_view chinese;

    std::string_view In(Language l) const { return l == Language::English ? english : chinese; }
};

// The moments and their actions are named as the operations page and the event-action dialog
// name them.
constexpr std::array<Label, 4> kMoments = {{{"krv-doc-start", "Start of document", "文档开始"},
                                            {"krv-page-start", "Start of page", "页开始"},
                                            {"krv-page-end", "End of page", "页结束"},
                                            {"krv-doc-end", "End of document", "文档结束"}}};

constexpr std::array<Label, 6> kActions = {
    {{"command", "command bytes (hexadecimal)", "发送命令（十六进制）"},
     {"drawer", "cash drawer or prompter", "打开钱箱或打印提示器"},
     {"buzzer", "buzzer", "蜂鸣器"},
     {"feed", "paper feed (mm)", "进纸距离 (mm)"},
     {"cut", "cut", "裁纸"},
     {"logo", "stored logo", "打印Logo位图"}}};

constexpr std::array<Label, 30> kValues = {{
    {"drawer.none", "None", ""},  // Chinese: the drawer list's own first item
    {"drawer.prompter", "Prompter", "打印提示器"},
    {"buzzer.off", "Off", ""},  // the buzzer list's items
    {"buzzer.beep-200ms", "Beep 200 ms", ""},
    {"buzzer.beep-600ms", "Beep 600 ms", ""},
    {"buzzer.beep-1s", "Beep 1 s", ""},
    {"buzzer.beep-2s", "Beep 2 s", ""},
    {"buzzer.beep-4s", "Beep 4 s", ""},
    {"cut.none", "No cut", ""},  // the cutter list's items
    {"cut.partial", "Partial cut", ""},
    {"cut.full", "Full cut", ""},
    {"cut.feed-partial", "Feed to the cutter, partial cut", "裁纸前进纸到裁纸位置，半切纸"},
    {"cut.feed-full", "Feed to the cutter, full cut", "裁纸前进纸到裁纸位置，全切纸"},
    {"logo.none", "None", ""},  // the logo list's first item
    {"krv-halftone", "Halftoning", "半色调"},
    {"krv-halftone.auto", "By content (photographs: error diffusion; text: threshold)",
     "按内容（照片：误差扩散；文字与图形：无抖动）"},
    {"krv-halftone.none", "Threshold", "无抖动"},
    {"krv-halftone.m3", "Ordered dither 8 x 8", "抖动 M3"},
    {"krv-halftone.m4", "Ordered dither 16 x 16", "抖动 M4"},
    {"krv-halftone.diffusion", "Error diffusion", "误差扩散"},
    {"krv-contrast", "Contrast (-100 to 100)", "对比度 (-100 .. 100)"},
    {"krv-brightness", "Brightness (-100 to 100)", "亮度 (-100 .. 100)"},
    {"krv-printable-width", "Printable width in dots (0: 512 on 80 mm paper, 360 on 58 mm)",
     "可打印宽度（点；0：80 mm 纸 512 点，58 mm 纸 360 点）"},
    {"krv-codepage", "Code page of text", "文本代码页"},
    {"om_roll-80mm_80x297mm", "80 mm roll", "80 mm 卷纸"},
    {"om_roll-58mm_58x297mm", "58 mm roll", "58 mm 卷纸"},
    {"custom_m857_80x297mm", "Custom Paper-M857", "Custom Paper-M857"},
    {"media.om_roll-80mm_80x297mm", "80 mm roll", "80 mm 卷纸"},
    {"media.om_roll-58mm_58x297mm", "58 mm roll", "58 mm 卷纸"},
    {"media.custom_m857_80x297mm", "Custom Paper-M857", "Custom Paper-M857"},
}};

// The printer's cash drawer attribute and its values.
constexpr std::array<Label, 4> kStatusLabels = {
    {{"krv-cash-drawer-state", "Cash drawer", "钱箱"},
     {"krv-cash-drawer-state.open", "Open", "打开"},
     {"krv-cash-drawer-state.closed", "Closed", "关闭"},
     {"krv-cash-drawer-state.unknown", "Unknown", "未知"}}};

const Label* Find(std::string_view key) {
    for (const Label& l : kValues)
        if (l.key == key) return &l;
    return nullptr;
}

// The Chinese of a list value the dialog's own list holds, by the value's index in the option.
std::string ListItem(const std::string& action, size_t index) {
    if (action == "drawer") return Utf16ToUtf8(kCashDrawerItems.at(index));
    if (action == "buzzer") return Utf16ToUtf8(kBuzzerItems.at(index));
    if (action == "cut") return Utf16ToUtf8(kCutterItems.at(index));
    return Utf16ToUtf8(kLogoItems.at(index));
}

// "drawer1-20ms" -> "Drawer #1, 20 ms"; "both-60ms" -> "Drawers #1 and #2, 60 ms".
std::string DrawerLabel(const std::string& k) {
    const std::string ms = k.substr(k.find('-') + 1, k.size() - k.find('-') - 3);
    if (k.rfind("both", 0) == 0) return "Drawers #1 and #2, " + ms + " ms";
    return "Drawer #" + k.substr(6, 1) + ", " + ms + " ms";
}

// "logo3-centre-after-cut" -> "Logo 3, centred, after the cut" / "打印Logo3，居中对齐，切纸后".
std::string LogoLabel(const std::string& k, Language language) {
    const std::string align = k.substr(k.find('-') + 1, k.find('-', 6) - k.find('-') - 1);
    const bool after = k.find("after-cut") != std::string::npos;
    const std::string n = k.substr(4, 1);
    if (language == Language::Chinese) {
        const char* alignment = align == "left"    ? "左对齐"
                                : align == "right" ? "右对齐"
                                                   : "居中对齐";
        return ListItem("logo", static_cast<size_t>(std::stoi(n))) + "，" + alignment + "，" +
               (after ? "切纸后" : "切纸前");
    }
    return "Logo " + n + ", " + (align == "centre" ? "centred" : align) + ", " +
           (after ? "after" : "before") + " the cut";
}

// A moment option's value: the table's label, else the dialog's list item or a composed one.
std::string MomentValueLabel(const std::string& action, const ReceiptOption& o, size_t index,
                             Language language) {
    const std::string& k = o.keywords[index];
    if (const Label* l = Find(action + "." + k); l && !l->In(language).empty())
        return std::string(l->In(language));
    if (action == "logo" && index > 0) return LogoLabel(k, language);
    if (language == Language::English) return DrawerLabel(k);
    return ListItem(action, index);
}

void AddMomentOption(std::string& out, const ReceiptOption& o, const Label& moment,
                     Language language) {
    const std::string action = o.name.substr(moment.key.size() + 1);
    const char* separator = language == Language::English ? ": " : "：";
    for (const Label& a : kActions)
        if (a.key == action)
            AppendStringsLine(
                out, o.name,
                std::string(moment.In(language)) + separator + std::string(a.In(language)));
    for (size_t i = 0; i < o.keywords.size(); ++i)
        AppendStringsLine(out, o.name + "." + o.keywords[i],
                          MomentValueLabel(action, o, i, language));
}

// The picture and text options: the table's label, else the keyword in capitals (code pages).
void AddOtherOption(std::string& out, const ReceiptOption& o, Language language) {
    const Label* name = Find(o.name);
    AppendStringsLine(out, o.name, name ? name->In(language) : std::string_view(o.name));
    for (const std::string& k : o.keywords) {
        const std::string key = o.name + "." + k;
        if (const Label* l = Find(key)) {
            AppendStringsLine(out, key, l->In(language));
            continue;
        }
        std::string upper = k;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        AppendStringsLine(out, key, upper);
    }
}

}  // namespace

void AppendStringsLine(std::string& out, std::string_view key, std::string_view text) {
    auto quoted = [&out](std::string_view s) {
        out.push_back('"');
        for (char c : s) {
            if (c == '"' || c == '\\') out.push_back('\\');
            if (c == '\n') {
                out.append("\\n");
                continue;
            }
            out.push_back(c);
        }
        out.push_back('"');
    };
    quoted(key);
    out.append(" = ");
    quoted(text);
    out.append(";\n");
}

std::string OptionStrings(Language language) {
    std::string out;
    for (const ReceiptOption& o : ReceiptOptions()) {
        const Label* moment = nullptr;
        for (const Label& m : kMoments)
            if (o.name.rfind(std::string(m.key) + "-", 0) == 0) moment = &m;
        if (moment)
            AddMomentOption(out, o, *moment, language);
        else
            AddOtherOption(out, o, language);
    }
    for (const Label& l : kValues)
        if (l.key.find('_') != std::string_view::npos)
            AppendStringsLine(out, l.key, l.In(language));
    for (const Label& l : kStatusLabels)
        AppendStringsLine(out, l.key, l.In(language));
    return out;
}

}  // namespace krv::app
