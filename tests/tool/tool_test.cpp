// The krv857 program run as a user runs it, on every build (the Windows one under Wine): exit
// codes, messages, what reaches the target and what is left alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/tool/tool_runner.h"
#include "tests/common/test_bitmaps.h"

namespace krv::test {
namespace {

using Strings = std::vector<std::string>;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Exit 1 with `krv857: SUBJECT: ...part...`, no job line, and no hang.
void ExpectRefused(const ToolRun& r, const std::string& subject, const std::string& part) {
    EXPECT_FALSE(r.hung);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Has(r.err, "krv857: " + subject + ": ")) << r.err;
    EXPECT_TRUE(Has(r.err, part)) << r.err;
    EXPECT_FALSE(Has(r.err, "job \"")) << r.err;
}

std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

Bytes HalfBlack(int w, int h) {
    return Rgb24File(w, h, [&](int x, int) { return x < w / 2 ? kBlack : kWhite; });
}

// The names in a folder, so that no temporary file is found left behind.
Strings Names(const ScratchFolder& dir) {
    Strings names;
    for (const auto& e : std::filesystem::directory_iterator(dir.SystemPath("")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Tool, HelpAndVersion) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"2dcode", "backside", "barcode", "decode", "devmode", "firmware",
                                "logo", "print", "selftest", "topbottom", "watermark"})
        EXPECT_TRUE(Has(help.out, "\n  " + std::string(command) + " ")) << command;
    EXPECT_TRUE(Has(RunTool({"--version"}).out, "krv857 "));
    const ToolRun barcode = RunTool({"barcode", "--help"});
    EXPECT_TRUE(Has(barcode.out, "  1  UPC-A     11..12 bytes of 0-9\n"));
    EXPECT_TRUE(Has(barcode.out, "  8  Code128   2..255 bytes of 0x00-0x7F; starts with {A"));
    EXPECT_TRUE(Has(RunTool({"logo", "--help"}).out, "to OUT (required;"));
    EXPECT_EQ(RunTool({}).exitCode, 2);
    EXPECT_EQ(RunTool({"nosuch"}).exitCode, 2);
}

TEST(Tool, UsageErrors) {
    struct Case {
        Strings args;
        const char* says;
    } cases[] = {
        {{"barcode", "--font", "4", "--font", "5", "--data", "1", "-o", "x"}, "more than once"},
        {{"logo", "download", "--mode", "mono", "-o", "x"}, "at least one SRC"},
        {{"logo", "convert", "--to", "mono", "a.bmp"}, "-o OUT is required"},
        {{"--codepage", "NOPE", "selftest", "-o", "x"}, "unknown code page 'NOPE'"},
        {{"--codepage", "", "selftest", "-o", "x"}, "unknown code page ''"},
        {{"selftest", "-o", "socket://:9100"}, "no host"},
        {{"selftest", "-o", "socket://printer:70000"}, "the port must be"},
        {{"print", "a.png", "--paper", "80", "--width", "100", "-o", "x"}, "exclude each other"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.says << "\n" << r.err;
        EXPECT_TRUE(Has(r.err, c.says)) << r.err;
    }
#ifndef _WIN32  // Windows hands a program its arguments in UTF-16: they are always text
    const ToolRun bad = RunTool({"2dcode", "--font", "1", "--data", "\xff\xfe\xc3(", "-o", "x"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(Has(bad.err, "--data: the text is not valid UTF-8")) << bad.err;
#endif
}

TEST(Tool, FoldersAreRefusedAsInputs) {
    ScratchFolder dir;
    const std::string folder = dir.SystemPath("sub");
    std::filesystem::create_directory(folder);
    const std::string out = dir.SystemPath("out.bin");
    const std::vector<Strings> commands = {
        {"devmode", "show", folder},
        {"devmode", "merge", folder, "-o", out},
        {"barcode", "--font", "1", "--devmode", folder, "--data", "123456789012", "-o", out},
        {"firmware", folder, "-o", out},
        {"print", folder, "-o", out},
        {"logo", "download", "--mode", "mono", "-o", out, folder},
        {"watermark", "convert", folder, out},
        {"decode", folder},
    };
    for (const Strings& args : commands) {
        ExpectRefused(RunTool(args), folder, "is a folder");
        EXPECT_FALSE(ScratchFolder::Exists(out)) << args[0];
    }
}

TEST(Tool, RecordsAreNamedForWhatTheyAreNot) {
    ScratchFolder dir;
    const std::string ff = dir.SystemWrite("ff.bin", Bytes(1468, 0xFF));
    const std::string picture = dir.SystemWrite("p.bmp", HalfBlack(8, 8));
    const std::string out = dir.SystemPath("out.bin");
    ExpectRefused(RunTool({"devmode", "show", ff}), ff, "not a private record");
    ExpectRefused(RunTool({"devmode", "merge", picture, "-o", out}), picture,
                  "not a private record");
    ExpectRefused(RunTool({"barcode", "--font", "1", "--devmode", ff, "--data", "1", "-o", out}),
                  ff, "signature is not \"VKRT\"");
    EXPECT_FALSE(ScratchFolder::Exists(out));
    // A longer record is read only as far as one byte past a record.
    ASSERT_EQ(RunTool({"devmode", "defaults", "-o", out}).exitCode, 0);
    Bytes longer = ScratchFolder::Read(out);
    longer.resize(1 << 20, 0x55);
    const std::string big = dir.SystemWrite("big.bin", longer);
    ExpectRefused(RunTool({"devmode", "show", big}), big, "more than 1468 bytes");
    EXPECT_EQ(RunTool({"devmode", "merge", big, "-o", out}).exitCode, 0);
    EXPECT_EQ(ScratchFolder::Read(out), Bytes(longer.begin(), longer.begin() + 1468));
}

// A refused command leaves the target as it was, absent or not, and no file beside it.
TEST(Tool, RefusedJobsLeaveTargetsAlone) {
    ScratchFolder dir;
    const std::string kept = dir.SystemWrite("kept.bin", Bytes{'o', 'l', 'd'});
    const std::string good = dir.SystemWrite("good.bmp", HalfBlack(16, 8));
    const std::string text = dir.SystemWrite("text.bmp", Bytes(100, 'x'));
    const std::string redWhite = dir.SystemWrite(
        "rw.bmp", Mono1File(
                      8, 8, [](int x, int) { return x % 2; }, Rgb{255, 0, 0}, kWhite));
    const std::string missing = dir.SystemPath("missing.bmp");
    for (const std::string& target : {kept, dir.SystemPath("absent.bin")}) {
        struct Refused {
            Strings args;
            std::string subject;
            const char* says;
        };
        const Refused refused[] = {
            {{"topbottom", "--line0", std::string(49, 'A'), "-o", target},
             "--line0",
             "\xE5\xAD\x97\xE7\xAC\xA6\xE4\xB8\x8D\xE5\xBE\x97"},  // 字符不得超过48个！
            {{"barcode", "--font", "1", "--data", "12", "-o", target},
             "--data",
             ": \xE6\x9D\xA1\xE7\xA0\x81"},  // the page's 条码数据错误！ without its blank
            {{"logo", "download", "--mode", "mono", "-o", target, good, missing},
             missing,
             "(cannot read it:"},
            {{"logo", "download", "--mode", "mono", "-o", target, good, text},
             text,
             "not a BMP, PNG or JPEG picture"},
            {{"logo", "download", "--mode", "mono", "-o", target, good, redWhite},
             redWhite,
             "nothing was written"},
            {{"logo", "download", "--mode", "grey", "-o", target, good, text}, text, "not a BMP"},
            {{"backside", "--logo", text, "-o", target}, text, "not a BMP"},
            {{"print", text, "-o", target}, text, "not a BMP"},
        };
        for (const Refused& r : refused)
            ExpectRefused(RunTool(r.args), r.subject, r.says);
    }
    EXPECT_EQ(Text(ScratchFolder::Read(kept)), "old");
    EXPECT_EQ(Names(dir), (Strings{"good.bmp", "kept.bin", "rw.bmp", "text.bmp"}));
    // A folder that does not exist: nothing is created anywhere.
    ExpectRefused(RunTool({"selftest", "-o", dir.SystemPath("no/such.bin")}),
                  dir.SystemPath("no/such.bin"), "cannot create a file in");
}

TEST(Tool, TextMustFitTheCodePage) {
    ScratchFolder dir;
    const std::string out = dir.SystemPath("t.bin");
    const ToolRun emoji = RunTool({"topbottom", "--line0", "\xF0\x9F\x98\x80", "-o", out});
    ExpectRefused(emoji, "--line0", "the character \"\xF0\x9F\x98\x80\" (U+1F600)");
#ifndef _WIN32
    EXPECT_TRUE(Has(emoji.err, "code page GBK"));  // Windows: the system's own code page
#endif
    ExpectRefused(RunTool({"backside", "--text", "\xE2\x82\xAC", "--codepage", "CP437", "-o", out}),
                  "--text", "(U+20AC) cannot be written in the code page CP437");
    EXPECT_FALSE(ScratchFolder::Exists(out));
    // Names and numbers, as people write them: the line's bytes in each.
    struct Case {
        const char* page;
        const char* text;
        Bytes bytes;
    } cases[] = {
        {"GBK", "\xE6\x94\xB6", {0xCA, 0xD5}},
        {"936", "\xE6\x94\xB6", {0xCA, 0xD5}},
#ifndef _WIN32  // Wine has no GB18030
        {"GB18030", "\xF0\x9F\x98\x80", {0x94, 0x39, 0xFC, 0x36}},
#endif
        {"CP437", "\xC3\xA9", {0x82}},
        {"UTF-8", "\xC3\xA9", {0xC3, 0xA9}},
        {"1252", "\xE2\x82\xAC", {0x80}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(
            RunTool({"--codepage", c.page, "topbottom", "--line0", c.text, "-o", out}).exitCode, 0)
            << c.page;
        const Bytes job = ScratchFolder::Read(out);
        ASSERT_GT(job.size(), 4 + c.bytes.size()) << c.page;
        EXPECT_EQ(Bytes(job.begin() + 4, job.begin() + 4 + c.bytes.size()), c.bytes) << c.page;
    }
}

TEST(Tool, StandardOutputGetsTheSameBytesAsAFile) {
    ScratchFolder dir;
    const std::string out = dir.SystemPath("s.bin");
    ASSERT_EQ(RunTool({"selftest", "-o", out}).exitCode, 0);
    const ToolRun piped = RunTool({"selftest", "-o", "-"});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, Text(ScratchFolder::Read(out)));
    std::string said = piped.err;  // standard error is text: Windows ends its lines with CR LF
    said.erase(std::remove(said.begin(), said.end(), '\r'), said.end());
    EXPECT_EQ(said, "job \"SELFTEST\", 7 bytes\n");
}

// The listing of a print job shows the options at work.
TEST(Tool, PrintOptions) {
    ScratchFolder dir;
    const std::string wide = dir.SystemWrite("wide.bmp", HalfBlack(600, 30));
    const std::string narrow = dir.SystemWrite("narrow.bmp", HalfBlack(100, 30));
    const std::string out = dir.SystemPath("p.bin");
    struct Case {
        Strings options;
        Strings lines;
    } cases[] = {
        {{wide},
         {"align centre", "band of 24 dot rows, 512 dots wide",
          "feed to the cutting "
          "position and 0 dots on, "
          "partial cut"}},
        {{wide, "--paper", "58"}, {"band of 24 dot rows, 360 dots wide"}},
        {{wide, "--width", "100", "--align", "left"}, {"align left", "band of 24 dot rows, 100 "}},
        {{narrow}, {"band of 24 dot rows, 100 dots wide"}},
        {{narrow, "--fit"}, {"band of 24 dot rows, 512 dots wide"}},
        {{narrow, "--cut", "full", "--drawer", "2"},
         {"feed to the cutting position and 0 dots on, full cut",
          "cash drawer 2 pulse: 60 ms on, 100 ms off"}},
    };
    for (const Case& c : cases) {
        Strings args = {"print", "-o", out, "--halftone", "none"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(RunTool(args).exitCode, 0);
        const ToolRun listed = RunTool({"decode", out});
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        for (const auto& line : c.lines)
            EXPECT_TRUE(Has(listed.out, "  " + line)) << line << "\n" << listed.out;
    }
    ASSERT_EQ(RunTool({"print", narrow, "--cut", "none", "-o", out}).exitCode, 0);
    EXPECT_FALSE(Has(RunTool({"decode", out}).out, "cut"));
}

// Every job the tool writes reads back whole; bytes no job holds stop the list by offset.
TEST(Tool, DecodeListsEveryJobTheToolWrites) {
    ScratchFolder dir;
    const std::string bmp = dir.SystemWrite("b.bmp", HalfBlack(40, 30));
    const std::string out = dir.SystemPath("j.bin");
    const std::vector<Strings> jobs = {
        {"selftest"},
        {"barcode", "--font", "8", "--data", "{C1234"},
        {"2dcode", "--font", "1", "--data", "\xE6\x94\xB6\xE6\x8D\xAE"},
        {"topbottom", "--line0", "A", "--line3", "\xE6\x94\xB6"},
        {"logo", "clear"},
        {"logo", "download", "--mode", "mono", bmp, bmp},
        {"logo", "download", "--mode", "grey", bmp},
        {"backside", "--text", "AB", "--logo", bmp, "--align", "right"},
        {"print", bmp},
    };
    for (Strings args : jobs) {
        args.insert(args.end(), {"-o", out});
        ASSERT_EQ(RunTool(args).exitCode, 0) << args[0];
        const ToolRun listed = RunTool({"decode", out});
        EXPECT_EQ(listed.exitCode, 0) << args[0] << "\n" << listed.err;
        EXPECT_FALSE(listed.out.empty());
    }
    const std::string garbage = dir.SystemWrite("g.bin", Bytes{0x1B, 0x40, 0x41, 0x07, 0x0A});
    const ToolRun refused = RunTool({"decode", garbage});
    ExpectRefused(refused, garbage, "at offset 3 (0x3): bytes 07 start no command");
    EXPECT_EQ(refused.out, "00000000  reset\n00000002  text \"A\"\n");
}

#ifdef _WIN32
// The Windows build has no PNG or JPEG decoder and writes no PNG: it says so.
TEST(Tool, WindowsBuildReadsBmpOnly) {
    ScratchFolder dir;
    const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
    const std::string picture = dir.SystemWrite("p.png", Bytes(std::begin(png), std::end(png)));
    ExpectRefused(RunTool({"print", picture, "-o", dir.SystemPath("o.bin")}), picture,
                  "PNG and JPEG pictures are read by the Linux build only");
    const std::string job = dir.SystemPath("s.bin");
    ASSERT_EQ(RunTool({"print", dir.SystemWrite("b.bmp", HalfBlack(8, 8)), "-o", job}).exitCode, 0);
    ExpectRefused(RunTool({"decode", job, "--png", dir.SystemPath("d.png")}),
                  dir.SystemPath("d.png"), "written by the Linux build only");
}
#endif

}  // namespace
}  // namespace krv::test
