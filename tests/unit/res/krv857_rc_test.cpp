// The resource script as the resource compiler builds it: the test compiles res/krv857.rc
// with the MinGW windres into a .res file and reads the dialog templates, the manifest and the
// version block back from the bytes Windows will load. It is skipped where no windres exists.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "res/application_page_ids.h"
#include "res/barcode_page_ids.h"
#include "res/control_font_dialogs_ids.h"
#include "res/download_page_ids.h"
#include "res/duplex_page_ids.h"
#include "res/event_action_dialog_ids.h"
#include "res/fonts_page_ids.h"
#include "res/layout_page_ids.h"
#include "res/operations_page_ids.h"
#include "res/resource_ids.h"
#include "res/two_dimensional_page_ids.h"
#include "res/version_page_ids.h"
#include "res/watermark_page_ids.h"

namespace {

namespace fs = std::filesystem;

// Window and control styles, from the platform's documented values.
constexpr uint32_t WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000,
                   WS_DISABLED = 0x08000000, WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000,
                   WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000;
constexpr uint32_t DS_SETFONT = 0x40, DS_MODALFRAME = 0x80, DS_CONTROL = 0x400, DS_FIXEDSYS = 0x8;
constexpr uint32_t BS_TYPEMASK = 0xF, BS_GROUPBOX = 7, BS_AUTORADIOBUTTON = 9;
constexpr uint32_t SS_TYPEMASK = 0x1F, SS_BITMAP = 0xE, SS_ETCHEDFRAME = 0x12;
constexpr uint32_t kUpDownStyle = 0x2 | 0x4 | 0x10 | 0x20 | 0x80;  // setbuddyint alignright
                                                                   // arrowkeys autobuddy
                                                                   // nothousands
constexpr uint16_t kButtonAtom = 0x80, kEditAtom = 0x81, kStaticAtom = 0x82, kListBoxAtom = 0x83,
                   kComboAtom = 0x85;
constexpr uint16_t kRtBitmap = 2, kRtDialog = 5, kRtGroupIcon = 14, kRtVersion = 16,
                   kRtManifest = 24;

// A bounds-checked little-endian reader: every overrun is a test failure, never a stray read.
class Reader {
  public:
    Reader(const std::vector<uint8_t>& bytes, size_t at) : bytes_(bytes), at_(at) {}
    uint16_t U16() {
        Need(2);
        at_ += 2;
        return static_cast<uint16_t>(bytes_[at_ - 2] | bytes_[at_ - 1] << 8);
    }
    uint32_t U32() { return U16() | static_cast<uint32_t>(U16()) << 16; }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    // A zero-terminated UTF-16 string or, after 0xFFFF, an ordinal (returned as "#n").
    std::u16string NameOrOrdinal() {
        const uint16_t first = U16();
        if (first == 0xFFFF) return u"#" + ToU16(std::to_string(U16()));
        std::u16string s;
        for (uint16_t c = first; c != 0; c = U16())
            s.push_back(static_cast<char16_t>(c));
        return s;
    }
    void Align4(size_t base) { at_ = base + (at_ - base + 3) / 4 * 4; }
    void Skip(size_t n) {
        Need(n);
        at_ += n;
    }
    size_t at() const { return at_; }

    static std::u16string ToU16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

  private:
    void Need(size_t n) const {
        if (at_ + n > bytes_.size()) throw std::out_of_range("resource data ends early");
    }
    const std::vector<uint8_t>& bytes_;
    size_t at_;
};

struct Item {
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int32_t id = 0;
    std::u16string cls;  // "#128" etc. for the predefined classes
    std::u16string text;
    bool Is(uint16_t atom) const { return cls == u"#" + Reader::ToU16(std::to_string(atom)); }
    bool Visible() const { return style & WS_VISIBLE; }
    bool IsUpDown() const { return cls == u"MSCTLS_UPDOWN32"; }
    bool IsRadio() const { return Is(kButtonAtom) && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON; }
    bool IsFrame() const {
        return (Is(kButtonAtom) && (style & BS_TYPEMASK) == BS_GROUPBOX) ||
               (Is(kStaticAtom) && (style & SS_TYPEMASK) == SS_ETCHEDFRAME);
    }
    bool IsInteractive() const {
        if (Is(kStaticAtom) || IsFrame()) return false;
        return !IsUpDown();  // the up-down is reached through its edit
    }
    // A closed combo box is one line high; the template height is its drop-down height.
    int VisibleHeight() const { return Is(kComboAtom) ? 14 : cy; }
};

struct Dialog {
    uint32_t style = 0;
    int cx = 0, cy = 0;
    std::u16string caption, font;
    uint16_t pointSize = 0;
    std::vector<Item> items;
    const Item* Find(int32_t id) const {
        for (const Item& item : items)
            if (item.id == id) return &item;
        return nullptr;
    }
    bool HasText(const std::u16string& text) const {
        for (const Item& item : items)
            if (item.text == text) return true;
        return false;
    }
};

// Class names are case-insensitive, and the six predefined classes may be written by name or
// by atom; windres writes names upper-case. One spelling for each keeps the checks simple.
std::u16string ClassOf(std::u16string name) {
    if (name.starts_with(u"#")) return name;
    for (char16_t& c : name) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    const std::pair<const char16_t*, uint16_t> predefined[] = {
        {u"BUTTON", kButtonAtom},   {u"EDIT", kEditAtom}, {u"STATIC", kStaticAtom},
        {u"LISTBOX", kListBoxAtom}, {u"SCROLLBAR", 0x84}, {u"COMBOBOX", kComboAtom}};
    for (const auto& [spelled, atom] : predefined) {
        if (name == spelled) return u"#" + Reader::ToU16(std::to_string(atom));
    }
    return name;
}

Dialog ParseDialogEx(const std::vector<uint8_t>& data) {
    Reader r(data, 0);
    Dialog d;
    if (r.U16() != 1 || r.U16() != 0xFFFF) throw std::runtime_error("not a DIALOGEX");
    r.U32();  // help id
    r.U32();  // extended style
    d.style = r.U32();
    const uint16_t count = r.U16();
    r.I16();
    r.I16();
    d.cx = r.I16();
    d.cy = r.I16();
    r.NameOrOrdinal();  // menu
    r.NameOrOrdinal();  // class
    d.caption = r.NameOrOrdinal();
    if (d.style & DS_SETFONT) {
        d.pointSize = r.U16();
        r.U16();  // weight
        r.U16();  // italic, character set
        d.font = r.NameOrOrdinal();
    }
    for (uint16_t i = 0; i < count; ++i) {
        r.Align4(0);
        Item item;
        r.U32();  // help id
        r.U32();  // extended style
        item.style = r.U32();
        item.x = r.I16();
        item.y = r.I16();
        item.cx = r.I16();
        item.cy = r.I16();
        item.id = static_cast<int32_t>(r.U32());
        item.cls = ClassOf(r.NameOrOrdinal());
        item.text = r.NameOrOrdinal();
        r.Skip(r.U16());  // creation data
        d.items.push_back(item);
    }
    return d;
}

using ResourceKey = std::pair<std::u16string, std::u16string>;  // type, name

std::u16string Ordinal(int n) {
    return u"#" + Reader::ToU16(std::to_string(n));
}

std::map<ResourceKey, std::vector<uint8_t>> ParseResFile(const std::vector<uint8_t>& file) {
    std::map<ResourceKey, std::vector<uint8_t>> out;
    size_t at = 0;
    while (at + 8 <= file.size()) {
        Reader r(file, at);
        const uint32_t dataSize = r.U32();
        const uint32_t headerSize = r.U32();
        const std::u16string type = r.NameOrOrdinal();
        const std::u16string name = r.NameOrOrdinal();
        if (headerSize < 8 || at + headerSize + dataSize > file.size())
            throw std::runtime_error("bad .res entry");
        const auto data = file.begin() + static_cast<std::ptrdiff_t>(at + headerSize);
        if (dataSize > 0) out[{type, name}] = std::vector<uint8_t>(data, data + dataSize);
        at = (at + headerSize + dataSize + 3) / 4 * 4;
    }
    return out;
}

fs::path RepoRoot() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

std::optional<std::string> FindWindres() {
    for (const char* name : {"x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres"}) {
        const std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return name;
    }
    return std::nullopt;
}

class CompiledResources : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::optional<std::string> windres = FindWindres();
        if (!windres) return;
        const fs::path res = RepoRoot() / "res";
        // One file per process: CTest runs the cases of this suite side by side, each in its
        // own process, and a shared name let one read another's half-written file.
        const fs::path out = fs::path(testing::TempDir()) /
                             ("krv857_resources_test_" + std::to_string(getpid()) + ".res");
        const std::string command = *windres + " -c 65001 -I '" + res.string() + "' '" +
                                    (res / "krv857.rc").string() + "' -O res -o '" + out.string() +
                                    "'";
        compiled_ = std::system(command.c_str()) == 0;
        std::ifstream in(out, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        in.close();
        std::error_code ignored;
        fs::remove(out, ignored);
        if (compiled_) resources_ = ParseResFile(bytes);
        windresFound_ = true;
    }
    void SetUp() override {
        if (!windresFound_) GTEST_SKIP() << "no MinGW windres on this machine";
        ASSERT_TRUE(compiled_) << "windres refused res/krv857.rc";
    }
    static const std::vector<uint8_t>* Resource(int type, int name) {
        const auto it = resources_.find({Ordinal(type), Ordinal(name)});
        return it == resources_.end() ? nullptr : &it->second;
    }
    static Dialog Template(int id) {
        const std::vector<uint8_t>* data = Resource(kRtDialog, id);
        if (!data) throw std::runtime_error("no template " + std::to_string(id));
        return ParseDialogEx(*data);
    }

    static inline bool windresFound_ = false;
    static inline bool compiled_ = false;
    static inline std::map<ResourceKey, std::vector<uint8_t>> resources_;
};

struct TemplateCase {
    int id;
    int number;  // the template's number, which hosts and the sheets' registrations rely on
    const char16_t* caption;
    bool page;   // a property page, else a modal dialog
    int cx, cy;  // 0 where the layout is ours to choose
};

const TemplateCase kTemplates[] = {
    {IDD_OPERATIONS_PAGE, 103, u"操作", true, 0, 0},
    {IDD_EVENT_ACTION_DIALOG, 104, u"Start of Document", false, 0, 0},
    {IDD_VERSION_PAGE, 105, u"版本", true, 0, 0},
    {IDD_DOWNLOAD_PAGE, 113, u"下载", true, 0, 0},
    {IDD_APPLICATION_PAGE, 114, u"应用", true, 0, 0},
    {IDD_CONTROL_FONT_TABLE_DIALOG, 115, u"Control Font Character Translation Table", false, 301,
     180},
    {IDD_CONTROL_FONT_CHAR_DIALOG, 116, u"Control Font Character Translator", false, 308, 102},
    {IDD_BARCODE_PAGE, 117, u"条形码", true, 286, 314},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 118, u"二维码", true, 294, 334},
    {IDD_FONTS_PAGE, 119, u"字体", true, 285, 236},
    {IDD_LAYOUT_PAGE, 128, u"版面", true, 0, 0},
    {IDD_WATERMARK_PAGE, 131, u"水印", true, 298, 218},
    {IDD_DUPLEX_PAGE, 132, u"双面选择", true, 0, 0},
};

// Every control of every template, by its name and by its number (IDOK, IDCANCEL and unnamed
// labels aside). The names are defined once, in the headers that the resource script, the pages
// and their tests share; the numbers are written here only, as the list hosts and scripts rely on.
struct NamedControl {
    int name;
    int number;
};
struct TemplateControls {
    int templateId;
    std::vector<NamedControl> controls;
};

// clang-format off
const TemplateControls kControls[] = {
    {IDD_DUPLEX_PAGE, {
        {IDC_DUPLEX_MODE_LIST, 1020}, {IDC_DUPLEX_LONG_EDGE, 1127}, {IDC_DUPLEX_SHORT_EDGE, 1061},
        {IDC_DUPLEX_TOP_BOTTOM_MESSAGE_LIST, 1110}, {IDC_DUPLEX_LONG_EDGE_PICTURE, 1114},
        {IDC_DUPLEX_SHORT_EDGE_PICTURE, 1113}, {IDC_DUPLEX_NO_EDGE_PICTURE, 1115},
        {IDC_DUPLEX_FRONT_BOTTOM_LINE1, 1047}, {IDC_DUPLEX_FRONT_BOTTOM_LINE2, 1048},
        {IDC_DUPLEX_BACK_TOP_LINE1, 1049}, {IDC_DUPLEX_BACK_TOP_LINE2, 1050},
        {IDC_DUPLEX_DOWNLOAD, 1036}
    }},
    {IDD_LAYOUT_PAGE, {
        {IDC_LAYOUT_PAPER_SIZE_LIST, 1020}, {IDC_LAYOUT_TEXT_AS_IMAGE_YES, 1061},
        {IDC_LAYOUT_TEXT_AS_IMAGE_NO, 1062}, {IDC_LAYOUT_ROTATE_NORMAL, 1070},
        {IDC_LAYOUT_ROTATE_180, 1071}, {IDC_LAYOUT_ZOOM_PRINTING, 1073},
        {IDC_LAYOUT_ZOOM_SCALE, 1047}, {IDC_LAYOUT_ZOOM_SCALE_UPDOWN, 1076}
    }},
    {IDD_WATERMARK_PAGE, {
        {IDC_WATERMARK_NONE_RADIO, 1077}, {IDC_WATERMARK_IMAGE_RADIO, 1061},
        {IDC_WATERMARK_TEXT_RADIO, 1078}, {IDC_WATERMARK_IMAGE_PATH, 1047},
        {IDC_WATERMARK_BROWSE, 1049}, {IDC_WATERMARK_TEXT, 1020}, {IDC_WATERMARK_FACE, 1021},
        {IDC_WATERMARK_STYLE, 1022}, {IDC_WATERMARK_FONT_SIZE, 1052},
        {IDC_WATERMARK_FONT_SIZE_UPDOWN, 1080}, {IDC_WATERMARK_ANGLE, 1018},
        {IDC_WATERMARK_ANGLE_LABEL, 1081}, {IDC_WATERMARK_POSITION, 1023},
        {IDC_WATERMARK_SIZE, 1082}, {IDC_WATERMARK_SIZE_LABEL, 1084},
        {IDC_WATERMARK_BRIGHTNESS, 1083}, {IDC_WATERMARK_BRIGHTNESS_LABEL, 1086},
        {IDC_WATERMARK_PREVIEW, 1085}
    }},
    {IDD_OPERATIONS_PAGE, {
        {IDC_OPERATIONS_START_OF_DOCUMENT, 1011}, {IDC_OPERATIONS_START_OF_PAGE, 1012},
        {IDC_OPERATIONS_END_OF_PAGE, 1013}, {IDC_OPERATIONS_END_OF_DOCUMENT, 1014}
    }},
    {IDD_EVENT_ACTION_DIALOG, {
        {IDC_EVENT_DEFAULTS, 3}, {IDC_EVENT_SEND_COMMAND, 1015}, {IDC_EVENT_COMMAND_TEXT, 1016},
        {IDC_EVENT_CASH_DRAWER_CHOICE, 1025}, {IDC_EVENT_PROMPTER_CHOICE, 1026},
        {IDC_EVENT_CASH_DRAWER_LIST, 1017}, {IDC_EVENT_PROMPTER_LIST, 1032},
        {IDC_EVENT_BUZZER_LIST, 1027}, {IDC_EVENT_BUZZER_VOLUME, 1024},
        {IDC_EVENT_BUZZER_VOLUME_UPDOWN, 1035}, {IDC_EVENT_FEED_DISTANCE, 1021},
        {IDC_EVENT_FEED_DISTANCE_UPDOWN, 1022}, {IDC_EVENT_FEED_TO_CUT, 1023},
        {IDC_EVENT_CUTTER_LIST, 1020}, {IDC_EVENT_LOGO_LIST, 1028}, {IDC_EVENT_ALIGN_LEFT, 1029},
        {IDC_EVENT_ALIGN_CENTRE, 1030}, {IDC_EVENT_ALIGN_RIGHT, 1031}, {IDC_EVENT_BEFORE_CUT, 1033},
        {IDC_EVENT_AFTER_CUT, 1034}
    }},
    {IDD_BARCODE_PAGE, {
        {IDC_BARCODE_FONT_LIST, 1020}, {IDC_BARCODE_TYPE_LIST, 1022},
        {IDC_BARCODE_ELEMENT_WIDTH, 1047}, {IDC_BARCODE_ELEMENT_WIDTH_UPDOWN, 1053},
        {IDC_BARCODE_ELEMENT_WIDTH_RANGE, 1062}, {IDC_BARCODE_BAR_HEIGHT, 1048},
        {IDC_BARCODE_BAR_HEIGHT_UPDOWN, 1054}, {IDC_BARCODE_BAR_HEIGHT_RANGE, 1063},
        {IDC_BARCODE_MILLIMETRES, 1052}, {IDC_BARCODE_POINTS, 1055},
        {IDC_BARCODE_HRI_POSITION_LIST, 1023}, {IDC_BARCODE_HRI_FONT_A, 1060},
        {IDC_BARCODE_HRI_FONT_B, 1061}, {IDC_BARCODE_STANDALONE, 1099},
        {IDC_BARCODE_COMPOSITE, 1100}, {IDC_BARCODE_GS1_ELEMENT_WIDTH, 1049},
        {IDC_BARCODE_GS1_ELEMENT_WIDTH_UPDOWN, 1056}, {IDC_BARCODE_GS1_ROW_HEIGHT, 1050},
        {IDC_BARCODE_GS1_ROW_HEIGHT_UPDOWN, 1057}, {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, 1051},
        {IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, 1058},
        {IDC_BARCODE_GS1_SEPARATOR_HEIGHT, 1059}, {IDC_BARCODE_GS1_SEPARATOR_HEIGHT_UPDOWN, 1066},
        {IDC_BARCODE_GS1_HRI_LIST, 1025}, {IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, 1026},
        {IDC_BARCODE_DATA, 1104}, {IDC_BARCODE_PRINT, 1036}
    }},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, {
        {IDC_2D_FONT_LIST, 1020}, {IDC_2D_TYPE_LIST, 1022}, {IDC_2D_SIZE, 1055},
        {IDC_2D_PDF417_COLUMNS, 1049}, {IDC_2D_PDF417_COLUMNS_UPDOWN, 1056},
        {IDC_2D_PDF417_COLUMNS_RANGE, 1064}, {IDC_2D_PDF417_ELEMENT_WIDTH, 1047},
        {IDC_2D_PDF417_ELEMENT_WIDTH_UPDOWN, 1053}, {IDC_2D_PDF417_ELEMENT_WIDTH_RANGE, 1062},
        {IDC_2D_PDF417_ROWS, 1050}, {IDC_2D_PDF417_ROWS_UPDOWN, 1057},
        {IDC_2D_PDF417_ROWS_RANGE, 1065}, {IDC_2D_PDF417_ELEMENT_HEIGHT, 1048},
        {IDC_2D_PDF417_ELEMENT_HEIGHT_UPDOWN, 1054}, {IDC_2D_PDF417_ELEMENT_HEIGHT_RANGE, 1063},
        {IDC_2D_PDF417_LEVEL_LIST, 1023}, {IDC_2D_STANDALONE, 1097}, {IDC_2D_COMPOSITE, 1098},
        {IDC_2D_GS1_ELEMENT_WIDTH, 1051}, {IDC_2D_GS1_ELEMENT_WIDTH_UPDOWN, 1058},
        {IDC_2D_GS1_ROW_HEIGHT, 1052}, {IDC_2D_GS1_ROW_HEIGHT_UPDOWN, 1076},
        {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, 1059}, {IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, 1060},
        {IDC_2D_GS1_SEPARATOR_HEIGHT, 1061}, {IDC_2D_GS1_SEPARATOR_HEIGHT_UPDOWN, 1068},
        {IDC_2D_SEGMENTS, 1078}, {IDC_2D_SEGMENTS_UPDOWN, 1079}, {IDC_2D_SEGMENTS_RANGE, 1080},
        {IDC_2D_GS1_HRI_LIST, 1024}, {IDC_2D_APPLICATION_IDENTIFIER_LIST, 1025},
        {IDC_2D_QR_MODULE_WIDTH, 1071}, {IDC_2D_QR_MODULE_WIDTH_UPDOWN, 1072},
        {IDC_2D_QR_LANGUAGE_LIST, 1026}, {IDC_2D_QR_MODE_LIST, 1027}, {IDC_2D_QR_LEVEL_LIST, 1028},
        {IDC_2D_DATA, 1107}, {IDC_2D_PRINT, 1106}
    }},
    {IDD_VERSION_PAGE, {
        {IDC_VERSION_NOTES, 1001}
    }},
    {IDD_APPLICATION_PAGE, {
        {IDC_APPLICATION_SELF_TEST, 1036}, {IDC_APPLICATION_PAPER_LIST, 1094},
        {IDC_APPLICATION_DELETE_PAPER, 1049}, {IDC_APPLICATION_PAPER_NAME, 1052},
        {IDC_APPLICATION_PAPER_WIDTH, 1047}, {IDC_APPLICATION_PAPER_WIDTH_UPDOWN, 1053},
        {IDC_APPLICATION_PAPER_WIDTH_RANGE, 1057}, {IDC_APPLICATION_PAPER_HEIGHT, 1048},
        {IDC_APPLICATION_PAPER_HEIGHT_UPDOWN, 1054}, {IDC_APPLICATION_PAPER_HEIGHT_RANGE, 1058},
        {IDC_APPLICATION_SET_PAPER, 1046}, {IDC_APPLICATION_CONTROL_FONT, 1045}
    }},
    {IDD_DOWNLOAD_PAGE, {
        {IDC_DOWNLOAD_FILE_PATH, 1039}, {IDC_DOWNLOAD_BROWSE, 1040}, {IDC_DOWNLOAD_FILE, 1036},
        {IDC_DOWNLOAD_LOGO_LIST, 1041}, {IDC_DOWNLOAD_PREVIEW, 1046}, {IDC_DOWNLOAD_ADD_LOGO, 1042},
        {IDC_DOWNLOAD_DELETE_LOGO, 1043}, {IDC_DOWNLOAD_ALL_LOGOS, 1044},
        {IDC_DOWNLOAD_CLEAR_LOGOS, 1045}, {IDC_DOWNLOAD_ORIGINAL, 1087},
        {IDC_DOWNLOAD_BLACK_WHITE, 1061}, {IDC_DOWNLOAD_GREY, 1088}, {IDC_DOWNLOAD_NO_DITHER, 1089},
        {IDC_DOWNLOAD_DITHER_M3, 1090}, {IDC_DOWNLOAD_DITHER_M4, 1091},
        {IDC_DOWNLOAD_ERROR_DIFFUSION, 1092}, {IDC_DOWNLOAD_CONTRAST, 1095},
        {IDC_DOWNLOAD_CONTRAST_VALUE, 1096}, {IDC_DOWNLOAD_BRIGHTNESS, 1083},
        {IDC_DOWNLOAD_BRIGHTNESS_VALUE, 1086}, {IDC_DOWNLOAD_BACK_SIDE_TEXT, 1052},
        {IDC_DOWNLOAD_BACK_SIDE_LEFT, 1128}, {IDC_DOWNLOAD_BACK_SIDE_CENTRE, 1129},
        {IDC_DOWNLOAD_BACK_SIDE_RIGHT, 1130}, {IDC_DOWNLOAD_BACK_SIDE, 1047}
    }},
    {IDD_FONTS_PAGE, {
        {IDC_FONTS_TREE, 1069}
    }},
    {IDD_CONTROL_FONT_TABLE_DIALOG, {
        {IDC_CONTROL_FONT_DRIVER_NAME, 1047}, {IDC_CONTROL_FONT_TABLE, 1048},
        {IDC_CONTROL_FONT_EDIT, 1016}, {IDC_CONTROL_FONT_DELETE, 1036}
    }},
    {IDD_CONTROL_FONT_CHAR_DIALOG, {
        {IDC_CONTROL_FONT_CHARACTER, 1047}, {IDC_CONTROL_FONT_HEX, 1048},
        {IDC_CONTROL_FONT_COMMAND, 1052}
    }},
};
// clang-format on

struct NamedResource {
    int type;
    int name;
    int number;
};

const NamedResource kOtherResources[] = {
    {kRtManifest, IDR_KRV_MANIFEST, 2},         {kRtBitmap, IDB_PAGE_UPRIGHT, 129},
    {kRtBitmap, IDB_PAGE_ROTATED, 130},         {kRtBitmap, IDB_BINDING_LONG_EDGE, 136},
    {kRtBitmap, IDB_BINDING_NONE, 139},         {kRtBitmap, IDB_BINDING_SHORT_EDGE, 145},
    {kRtGroupIcon, IDI_FONT_ROOT_PRINTER, 125}, {kRtGroupIcon, IDI_FONT_GROUP_PRINTER, 126},
    {kRtGroupIcon, IDI_FONT_SIZE_PAGE, 127},
};

TEST_F(CompiledResources, EveryResourceKeepsItsNumber) {
    std::set<std::u16string> listed;
    for (const TemplateCase& c : kTemplates) {
        EXPECT_EQ(c.id, c.number);
        EXPECT_NE(Resource(kRtDialog, c.number), nullptr) << c.number;
        listed.insert(Ordinal(c.number));
    }
    std::set<std::u16string> compiled;
    for (const auto& [key, data] : resources_)
        if (key.first == Ordinal(kRtDialog)) compiled.insert(key.second);
    EXPECT_EQ(compiled, listed) << "a template missing from this list";
    for (const NamedResource& r : kOtherResources) {
        EXPECT_EQ(r.name, r.number);
        EXPECT_NE(Resource(r.type, r.number), nullptr) << r.number;
    }
}

TEST_F(CompiledResources, EveryControlHasOneNameAndKeepsItsNumber) {
    constexpr int32_t kIdOk = 1, kIdCancel = 2;
    ASSERT_EQ(std::size(kControls), std::size(kTemplates));
    for (const TemplateControls& t : kControls) {
        SCOPED_TRACE("template " + std::to_string(t.templateId));
        std::multiset<int32_t> named;
        for (const NamedControl& c : t.controls) {
            EXPECT_EQ(c.name, c.number);
            named.insert(c.number);
        }
        std::multiset<int32_t> carried;
        for (const Item& item : Template(t.templateId).items)
            if (item.id != IDC_STATIC && item.id != kIdOk && item.id != kIdCancel)
                carried.insert(item.id);
        EXPECT_EQ(carried, named);
    }
}

TEST_F(CompiledResources, EveryTemplateHasItsCaptionFontStyleAndSize) {
    for (const TemplateCase& c : kTemplates) {
        SCOPED_TRACE(c.id);
        const Dialog d = Template(c.id);
        EXPECT_EQ(d.caption, c.caption);
        EXPECT_EQ(d.font, u"MS Shell Dlg");
        EXPECT_EQ(d.pointSize, 8);
        EXPECT_EQ(d.style & (DS_SETFONT | DS_FIXEDSYS), DS_SETFONT | DS_FIXEDSYS);
        if (c.page) {
            EXPECT_EQ(d.style & (WS_CHILD | DS_CONTROL), WS_CHILD | DS_CONTROL);
            EXPECT_EQ(d.style & WS_POPUP, 0u);
        } else {
            const uint32_t modal = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
            EXPECT_EQ(d.style & modal, modal);
        }
        if (c.cx) {
            EXPECT_EQ(std::pair(d.cx, d.cy), std::pair(c.cx, c.cy));
        }
    }
}

// Layout rules every template keeps, whoever edits it next.
TEST_F(CompiledResources, ControlsFollowTheDialogRules) {
    for (const TemplateCase& c : kTemplates) {
        const Dialog d = Template(c.id);
        for (size_t i = 0; i < d.items.size(); ++i) {
            const Item& item = d.items[i];
            SCOPED_TRACE("template " + std::to_string(c.id) + " item " + std::to_string(item.id) +
                         " (#" + std::to_string(i) + ")");
            if (item.IsUpDown()) {
                // Auto-buddy takes the control before it, which must be its edit.
                ASSERT_GT(i, 0u);
                EXPECT_TRUE(d.items[i - 1].Is(kEditAtom));
                EXPECT_EQ(item.style & kUpDownStyle, kUpDownStyle);
            }
            if (item.IsRadio()) {
                const bool first = i == 0 || !d.items[i - 1].IsRadio();
                if (first) {
                    EXPECT_EQ(item.style & (WS_GROUP | WS_TABSTOP), WS_GROUP | WS_TABSTOP);
                }
                const bool last = i + 1 < d.items.size() && !d.items[i + 1].IsRadio();
                if (last) {
                    EXPECT_TRUE(d.items[i + 1].style & WS_GROUP) << "group left open";
                }
            }
            if (item.IsInteractive() && !item.IsRadio()) {
                EXPECT_TRUE(item.style & WS_TABSTOP);
            }
            if (item.Is(kComboAtom)) {
                EXPECT_GE(item.cy, 50) << "drop-down too short";
            }
            if (item.Is(kListBoxAtom)) {
                EXPECT_EQ(item.style & 0x2u, 0u) << "a sorted list";
            }
            EXPECT_LE(item.x + item.cx, d.cx);
            EXPECT_LE(item.y + item.VisibleHeight(), d.cy);
        }
    }
}

bool Overlap(const Item& a, const Item& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.VisibleHeight() &&
           b.y < a.y + a.VisibleHeight();
}
bool Contains(const Item& frame, const Item& inner) {
    return frame.IsFrame() && inner.x >= frame.x && inner.y >= frame.y &&
           inner.x + inner.cx <= frame.x + frame.cx &&
           inner.y + inner.VisibleHeight() <= frame.y + frame.cy;
}

TEST_F(CompiledResources, VisibleControlsDoNotOverlapOutsideTheirFrames) {
    for (const TemplateCase& c : kTemplates) {
        const Dialog d = Template(c.id);
        for (size_t i = 0; i < d.items.size(); ++i) {
            for (size_t j = i + 1; j < d.items.size(); ++j) {
                const Item& a = d.items[i];
                const Item& b = d.items[j];
                // Up-downs are placed beside their edit at run time.
                if (!a.Visible() || !b.Visible() || a.IsUpDown() || b.IsUpDown()) continue;
                if (Contains(a, b) || Contains(b, a) || !Overlap(a, b)) continue;
                ADD_FAILURE() << "template " << c.id << ": items #" << i << " (id " << a.id
                              << ") and #" << j << " (id " << b.id << ") overlap";
            }
        }
    }
}

struct StateCase {
    int templateId;
    int32_t id;
    bool visible;
    bool enabled;
};

// States the pages start from: controls created hidden, and those the template disables.
const StateCase kStates[] = {
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_ROTATE_NORMAL, false, false},
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_ROTATE_180, false, false},
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_ZOOM_PRINTING, false, false},
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_ZOOM_SCALE, false, false},
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_ZOOM_SCALE_UPDOWN, false, false},
    {IDD_LAYOUT_PAGE, IDC_LAYOUT_TEXT_AS_IMAGE_YES, true, true},
    {IDD_APPLICATION_PAGE, IDC_APPLICATION_CONTROL_FONT, false, true},
    {IDD_APPLICATION_PAGE, IDC_APPLICATION_SELF_TEST, true, true},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_ORIGINAL, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_BLACK_WHITE, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_GREY, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_NO_DITHER, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_ERROR_DIFFUSION, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_CONTRAST, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_BRIGHTNESS, true, false},
    {IDD_DOWNLOAD_PAGE, IDC_DOWNLOAD_ADD_LOGO, true, true},
    {IDD_BARCODE_PAGE, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT, true, false},
    {IDD_BARCODE_PAGE, IDC_BARCODE_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, true, false},
    {IDD_BARCODE_PAGE, IDC_BARCODE_MILLIMETRES, true, false},
    {IDD_BARCODE_PAGE, IDC_BARCODE_POINTS, true, false},
    {IDD_BARCODE_PAGE, IDC_BARCODE_APPLICATION_IDENTIFIER_LIST, true, false},
    {IDD_BARCODE_PAGE, IDC_BARCODE_GS1_HRI_LIST, true, true},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_GS1_COMPOSITE_ROW_HEIGHT_UPDOWN, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_SEGMENTS, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_SEGMENTS_UPDOWN, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_APPLICATION_IDENTIFIER_LIST, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_SIZE, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, IDC_2D_GS1_SEPARATOR_HEIGHT, true, true},
    {IDD_DUPLEX_PAGE, IDC_DUPLEX_LONG_EDGE_PICTURE, true, true},
    {IDD_DUPLEX_PAGE, IDC_DUPLEX_SHORT_EDGE_PICTURE, false, true},
    {IDD_DUPLEX_PAGE, IDC_DUPLEX_NO_EDGE_PICTURE, false, true},
};

TEST_F(CompiledResources, ControlsStartHiddenOrDisabledWhereThePagesExpectIt) {
    for (const StateCase& c : kStates) {
        const Dialog d = Template(c.templateId);
        const Item* item = d.Find(c.id);
        ASSERT_NE(item, nullptr) << c.templateId << "/" << c.id;
        EXPECT_EQ(item->Visible(), c.visible) << c.templateId << "/" << c.id;
        EXPECT_EQ(!(item->style & WS_DISABLED), c.enabled) << c.templateId << "/" << c.id;
    }
    // The text group frame of the watermark page is the one disabled frame.
    int disabledFrames = 0;
    for (const Item& item : Template(IDD_WATERMARK_PAGE).items)
        disabledFrames += item.IsFrame() && (item.style & WS_DISABLED);
    EXPECT_EQ(disabledFrames, 1);
}

TEST_F(CompiledResources, PicturesReferToBitmapsThatExist) {
    int pictures = 0;
    for (const TemplateCase& c : kTemplates) {
        for (const Item& item : Template(c.id).items) {
            if (!item.Is(kStaticAtom) || (item.style & SS_TYPEMASK) != SS_BITMAP) continue;
            ++pictures;
            ASSERT_EQ(item.text.rfind(u"#", 0), 0u) << "a picture without a bitmap number";
            const int bitmap = std::stoi(std::string(item.text.begin() + 1, item.text.end()));
            EXPECT_NE(Resource(kRtBitmap, bitmap), nullptr) << bitmap;
        }
    }
    EXPECT_EQ(pictures, 5) << "three on the duplex page, two on the layout page";
    const std::pair<int, int> duplexPictures[] = {
        {IDC_DUPLEX_LONG_EDGE_PICTURE, IDB_BINDING_LONG_EDGE},
        {IDC_DUPLEX_SHORT_EDGE_PICTURE, IDB_BINDING_SHORT_EDGE},
        {IDC_DUPLEX_NO_EDGE_PICTURE, IDB_BINDING_NONE}};
    const Dialog duplex = Template(IDD_DUPLEX_PAGE);
    for (const auto& [control, bitmap] : duplexPictures) {
        ASSERT_NE(duplex.Find(control), nullptr);
        EXPECT_EQ(duplex.Find(control)->text, Ordinal(bitmap)) << control;
    }
    for (int icon : {IDI_FONT_ROOT_PRINTER, IDI_FONT_GROUP_PRINTER, IDI_FONT_SIZE_PAGE})
        EXPECT_NE(Resource(kRtGroupIcon, icon), nullptr) << icon;
}

struct TextCase {
    int templateId;
    std::u16string text;
};

// Texts the pages never rewrite, so the template is what the user reads.
TEST_F(CompiledResources, TemplatesCarryTheExactTexts) {
    const TextCase cases[] = {
        {IDD_EVENT_ACTION_DIALOG, u"发送命令      [示例：1D 56 42 00]"},
        {IDD_EVENT_ACTION_DIALOG, u"mm [ 0 .. 100 ]"},
        {IDD_EVENT_ACTION_DIALOG, u"[ 0 .. 255 ]"},
        {IDD_APPLICATION_PAGE, u"[ 200 - 800 (0.1mm) ]"},
        {IDD_APPLICATION_PAGE, u"[ 500 - 2970 (0.1mm) ]"},
        {IDD_APPLICATION_PAGE, u"Edit control font character translation table"},
        {IDD_DOWNLOAD_PAGE, u"注意：下载前请选择“黑白”或“灰度”选项。"},
        {IDD_DOWNLOAD_PAGE, u"你可以选择多种类型的文件下载到打印机中，比如监控程序、字库程序等。"},
        {IDD_DOWNLOAD_PAGE, u"下载反面预定义位图和字符"},
        {IDD_VERSION_PAGE, u"安装包版本 1.0"},
        {IDD_VERSION_PAGE, u"打印机驱动程序"},
        {IDD_FONTS_PAGE, u"在程序中使用选定的字体大小"},
        {IDD_TWO_DIMENSIONAL_CODE_PAGE, u"在应用程序中选择该条码字体的大小。"},
        {IDD_LAYOUT_PAGE, u"Nomal"},
        {IDD_DUPLEX_PAGE, u"反面顶部消息的第二行："},
        {IDD_BARCODE_PAGE, u"是否使用应用标识符："},
    };
    for (const TextCase& c : cases)
        EXPECT_TRUE(Template(c.templateId).HasText(c.text)) << c.templateId;
}

std::u16string Utf16Within(const std::vector<uint8_t>& data) {
    std::u16string s;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        s.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return s;
}

TEST_F(CompiledResources, ManifestAsksForCommonControlsSix) {
    const std::vector<uint8_t>* manifest = Resource(kRtManifest, IDR_KRV_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string xml(manifest->begin(), manifest->end());
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
          "processorArchitecture=\"*\"", "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
}

TEST_F(CompiledResources, VersionBlockNamesThePlugInInChineseUnicode) {
    const std::vector<uint8_t>* version = Resource(kRtVersion, 1);
    ASSERT_NE(version, nullptr);
    // Fixed part: signature, then file and product versions 1.0.0.1.
    size_t fixed = 0;
    for (size_t at = 0; at + 4 <= version->size(); at += 4) {
        if (Reader(*version, at).U32() == 0xFEEF04BD) {
            fixed = at;
            break;
        }
    }
    ASSERT_NE(fixed, 0u) << "no VS_FIXEDFILEINFO";
    Reader r(*version, fixed + 8);
    EXPECT_EQ(r.U32(), 0x00010000u);
    EXPECT_EQ(r.U32(), 0x00000001u);
    EXPECT_EQ(r.U32(), 0x00010000u);
    EXPECT_EQ(r.U32(), 0x00000001u);
    // Keys and values are UTF-16 on 4-byte boundaries, so an even-aligned view finds them.
    const std::u16string text = Utf16Within(*version);
    EXPECT_NE(text.find(u"080404b0"), std::u16string::npos);
    EXPECT_NE(text.find(u"KRV-M857 driver UI plug-in"), std::u16string::npos);
    EXPECT_NE(text.find(u"1.0.0.1"), std::u16string::npos);
    // Translation: language 0x0804, code page 1200, right after the key.
    const size_t key = text.find(u"Translation");
    ASSERT_NE(key, std::u16string::npos);
    Reader value(*version, (key + 12) * 2);
    value.Align4(0);
    EXPECT_EQ(value.U16(), 0x0804);
    EXPECT_EQ(value.U16(), 1200);
}

}  // namespace
