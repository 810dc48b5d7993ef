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
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "res/resource_ids.h"

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
    const char16_t* caption;
    bool page;   // a property page, else a modal dialog
    int cx, cy;  // 0 where the layout is ours to choose
};

const TemplateCase kTemplates[] = {
    {IDD_OPERATIONS_PAGE, u"操作", true, 0, 0},
    {IDD_EVENT_ACTION_DIALOG, u"Start of Document", false, 0, 0},
    {IDD_VERSION_PAGE, u"版本", true, 0, 0},
    {IDD_DOWNLOAD_PAGE, u"下载", true, 0, 0},
    {IDD_APPLICATION_PAGE, u"应用", true, 0, 0},
    {IDD_CONTROL_FONT_TABLE_DIALOG, u"Control Font Character Translation Table", false, 301, 180},
    {IDD_CONTROL_FONT_CHAR_DIALOG, u"Control Font Character Translator", false, 308, 102},
    {IDD_BARCODE_PAGE, u"条形码", true, 286, 314},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, u"二维码", true, 294, 334},
    {IDD_FONTS_PAGE, u"字体", true, 285, 236},
    {IDD_LAYOUT_PAGE, u"版面", true, 0, 0},
    {IDD_WATERMARK_PAGE, u"水印", true, 298, 218},
    {IDD_DUPLEX_PAGE, u"双面选择", true, 0, 0},
};

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
    {IDD_LAYOUT_PAGE, 1070, false, false},
    {IDD_LAYOUT_PAGE, 1071, false, false},
    {IDD_LAYOUT_PAGE, 1073, false, false},
    {IDD_LAYOUT_PAGE, 1047, false, false},
    {IDD_LAYOUT_PAGE, 1076, false, false},
    {IDD_LAYOUT_PAGE, 1061, true, true},
    {IDD_APPLICATION_PAGE, 1045, false, true},
    {IDD_APPLICATION_PAGE, 1036, true, true},
    {IDD_DOWNLOAD_PAGE, 1087, true, false},
    {IDD_DOWNLOAD_PAGE, 1061, true, false},
    {IDD_DOWNLOAD_PAGE, 1088, true, false},
    {IDD_DOWNLOAD_PAGE, 1089, true, false},
    {IDD_DOWNLOAD_PAGE, 1092, true, false},
    {IDD_DOWNLOAD_PAGE, 1095, true, false},
    {IDD_DOWNLOAD_PAGE, 1083, true, false},
    {IDD_DOWNLOAD_PAGE, 1042, true, true},
    {IDD_BARCODE_PAGE, 1051, true, false},
    {IDD_BARCODE_PAGE, 1058, true, false},
    {IDD_BARCODE_PAGE, 1052, true, false},
    {IDD_BARCODE_PAGE, 1055, true, false},
    {IDD_BARCODE_PAGE, 1026, true, false},
    {IDD_BARCODE_PAGE, 1025, true, true},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1059, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1060, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1078, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1079, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1025, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1055, true, false},
    {IDD_TWO_DIMENSIONAL_CODE_PAGE, 1061, true, true},
    {IDD_DUPLEX_PAGE, 1114, true, true},
    {IDD_DUPLEX_PAGE, 1113, false, true},
    {IDD_DUPLEX_PAGE, 1115, false, true},
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
        {1114, IDB_BINDING_LONG_EDGE}, {1113, IDB_BINDING_SHORT_EDGE}, {1115, IDB_BINDING_NONE}};
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
