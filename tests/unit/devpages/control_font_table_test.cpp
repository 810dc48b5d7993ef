#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "channel/ansi_text.h"
#include "devpages/control_font_table.h"
#include "tests/common/scratch_folder.h"

namespace krv {
namespace {

namespace fs = std::filesystem;

constexpr char kAFile[] = "[Character Translation Table]\r\n41=1B 40 \r\n";

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// The system's profile seam, with one chosen write or the final replace made to fail.
class FailingProfile : public PrivateProfileSeam {
  public:
    std::u16string ReadString(std::u16string_view path, std::u16string_view section,
                              std::u16string_view key, size_t maxChars) override {
        return SystemPrivateProfile().ReadString(path, section, key, maxChars);
    }
    bool WriteString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                     std::u16string_view value) override {
        if (writes++ == failWrite) return false;
        return SystemPrivateProfile().WriteString(path, section, key, value);
    }
    bool Replace(std::u16string_view from, std::u16string_view to) override {
        return !failReplace && SystemPrivateProfile().Replace(from, to);
    }
    bool Remove(std::u16string_view path) override { return SystemPrivateProfile().Remove(path); }
    int writes = 0;
    int failWrite = -1;
    bool failReplace = false;
};

class ControlFontFile : public testing::Test {
  protected:
    // Rows as the table dialog holds them after the user set `text` on character `c`.
    static ControlFontRows With(ControlFontRows rows, unsigned c, std::u16string text) {
        ControlFontEntryExchange exchange;
        EXPECT_TRUE(BeginControlFontEdit(&rows[c - kFirstControlFontChar], exchange));
        EXPECT_TRUE(AcceptControlFontCommand(text, exchange));
        rows[c - kFirstControlFontChar].command = exchange.CommandText();
        return rows;
    }

    test::ScratchFolder dir;
    const std::string file = dir.SystemPath("857CONTROL.ini");
    const std::u16string path = dir.Path("857CONTROL.ini");
};

TEST(ControlFontRows, NinetySixCharactersWithTheirKeys) {
    const auto rows = EmptyControlFontRows();
    ASSERT_EQ(rows.size(), 96u);
    EXPECT_EQ(rows.front().character, u" ");
    EXPECT_EQ(rows.front().hex, u"20");
    EXPECT_EQ(rows[0x41 - 0x20].character, u"A");
    EXPECT_EQ(rows[0x41 - 0x20].hex, u"41");
    EXPECT_EQ(rows.back().hex, u"7F");
    EXPECT_EQ(ControlFontKey(0x0A), u"A");
    EXPECT_EQ(ControlFontKey(0), u"0");
}

TEST(ControlFontPath, DriverFolderOfEachArchitecture) {
    EXPECT_EQ(ControlFontTablePath(u"C:\\Windows", DriverArchitecture::X86),
              u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\857CONTROL.ini");
    EXPECT_EQ(ControlFontTablePath(u"C:\\Windows", DriverArchitecture::X64),
              u"C:\\Windows\\system32\\spool\\drivers\\x64\\3\\857CONTROL.ini");
    // A Windows folder at a drive's root comes with its separator.
    EXPECT_EQ(ControlFontTablePath(u"D:\\", DriverArchitecture::X86),
              u"D:\\system32\\spool\\drivers\\w32x86\\3\\857CONTROL.ini");
}

TEST_F(ControlFontFile, CommandOfAIsTheSingleKey41) {
    const auto rows = With(EmptyControlFontRows(), 'A', u"1b40");
    EXPECT_EQ(rows['A' - 0x20].command, u"1B 40 ");
    ASSERT_TRUE(SaveControlFontTable(SystemPrivateProfile(), path, rows));
    EXPECT_EQ(ReadAll(file), kAFile);
    EXPECT_FALSE(fs::exists(file + ".tmp"));

    const auto loaded = LoadControlFontTable(SystemPrivateProfile(), path);
    for (const auto& row : loaded)
        EXPECT_EQ(row.command, row.hex == u"41" ? u"1B 40" : u"") << Utf16ToUtf8(row.hex);
}

TEST_F(ControlFontFile, NothingEnteredLeavesNoFile) {
    ASSERT_TRUE(SaveControlFontTable(SystemPrivateProfile(), path, EmptyControlFontRows()));
    EXPECT_FALSE(fs::exists(file));
    // Clearing every command of an existing table removes the file as well.
    WriteAll(file, kAFile);
    ASSERT_TRUE(SaveControlFontTable(SystemPrivateProfile(), path, EmptyControlFontRows()));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(ControlFontFile, FailedSaveKeepsThePreviousTable) {
    WriteAll(file, kAFile);
    auto rows = With(EmptyControlFontRows(), ' ', u"1D 56 42 00");
    rows = With(rows, '~', u"0A");
    for (int failing = 0; failing < 3; ++failing) {
        FailingProfile profile;
        profile.failWrite = failing < 2 ? failing : -1;
        profile.failReplace = failing == 2;
        EXPECT_FALSE(SaveControlFontTable(profile, path, rows)) << failing;
        EXPECT_EQ(ReadAll(file), kAFile) << failing;
        EXPECT_FALSE(fs::exists(file + ".tmp")) << failing;
    }
}

TEST_F(ControlFontFile, SaveReplacesEveryKeyAndIgnoresALeftoverTemporary) {
    WriteAll(file, kAFile);
    WriteAll(file + ".tmp", "[Character Translation Table]\r\n7E=FF \r\n");
    const auto rows = With(EmptyControlFontRows(), 0x7F, u"1C 2E");
    ASSERT_TRUE(SaveControlFontTable(SystemPrivateProfile(), path, rows));
    EXPECT_EQ(ReadAll(file), "[Character Translation Table]\r\n7F=1C 2E \r\n");
}

TEST_F(ControlFontFile, LongestCommandSurvivesWholeAndOverlongValuesReadEmpty) {
    std::u16string longest;
    for (int i = 0; i < 128; ++i)
        longest += u"AB ";
    auto rows = EmptyControlFontRows();
    rows[1].command = longest;  // 384 characters
    ASSERT_TRUE(SaveControlFontTable(SystemPrivateProfile(), path, rows));
    EXPECT_EQ(LoadControlFontTable(SystemPrivateProfile(), path)[1].command.size(), 383u);

    // A value no editor wrote, longer than a command text can be, is not cut into another
    // command: the row stays empty.
    WriteAll(file,
             "[Character Translation Table]\r\n20=" + std::string(400, '1') + "\r\n21=0D\r\n");
    const auto loaded = LoadControlFontTable(SystemPrivateProfile(), path);
    EXPECT_EQ(loaded[0].command, u"");
    EXPECT_EQ(loaded[1].command, u"0D");
}

TEST_F(ControlFontFile, MissingFileReadsEmpty) {
    for (const auto& row : LoadControlFontTable(SystemPrivateProfile(), path))
        EXPECT_TRUE(row.command.empty());
}

TEST(ControlFontFileLimits, ValueOf399CharactersIsReadAndOf400IsNoCommand) {
    test::ScratchFolder dir;
    const std::u16string path = dir.Path("857CONTROL.ini");
    struct Case {
        size_t chars;
        bool kept;
    } cases[] = {{kMaxControlCommandTextChars, true}, {kMaxControlCommandTextChars + 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chars);
        // "1B" pairs and a blank: the value is a command text of exactly `chars` characters.
        std::string value;
        while (value.size() < c.chars)
            value += value.size() % 3 == 2 ? ' ' : '1';
        value.back() = '2';
        const std::string text = "[Character Translation Table]\r\n41=" + value + "\r\n";
        dir.Write("857CONTROL.ini", test::ScratchFolder::Bytes(text.begin(), text.end()));
        const ControlFontRows rows = LoadControlFontTable(SystemPrivateProfile(), path);
        const std::u16string& command = rows[0x41 - kFirstControlFontChar].command;
        EXPECT_EQ(command, c.kept ? Utf8ToUtf16(value) : u"");
        // Either way the editor is never handed more than 128 bytes.
        ControlFontEntryExchange exchange;
        EXPECT_FALSE(BeginControlFontEdit(&rows[0x41 - kFirstControlFontChar], exchange) &&
                     exchange.commandLength > kMaxControlCommandBytes);
    }
}

TEST(ControlFontExchange, MoreThan128BytesAreRefusedEverywhere) {
    std::u16string text128(256, u'1');
    ControlFontEntryExchange exchange;
    ASSERT_TRUE(AcceptControlFontCommand(u"1B 40", exchange));
    EXPECT_FALSE(AcceptControlFontCommand(text128 + u"22", exchange));
    // Refused: the exchange keeps its bytes.
    EXPECT_EQ(exchange.commandLength, 2);
    EXPECT_EQ(exchange.CommandText(), u"1B 40 ");
    ASSERT_TRUE(AcceptControlFontCommand(text128, exchange));
    EXPECT_EQ(exchange.commandLength, 128);
    EXPECT_EQ(exchange.CommandText().size(), 384u);

    ControlFontRow row{u"A", u"41", text128 + u" 3"};
    EXPECT_FALSE(BeginControlFontEdit(&row, exchange));
    EXPECT_EQ(exchange.commandLength, 128);
}

TEST(ControlFontExchange, EditHandsOverTheRowOrNothing) {
    ControlFontEntryExchange exchange;
    ControlFontRow row{u"A", u"41", u"1B 40"};
    ASSERT_TRUE(BeginControlFontEdit(&row, exchange));
    EXPECT_EQ(exchange.characterText, u"A");
    EXPECT_EQ(exchange.hexText, u"41");
    EXPECT_EQ(exchange.CommandText(), u"1B 40 ");
    // A double-click without a selection opens the character dialog with empty fields.
    ASSERT_TRUE(BeginControlFontEdit(nullptr, exchange));
    EXPECT_EQ(exchange.characterText, u"");
    EXPECT_EQ(exchange.hexText, u"");
    EXPECT_EQ(exchange.commandLength, 0);
    EXPECT_EQ(exchange.CommandText(), u"");
}

}  // namespace
}  // namespace krv
