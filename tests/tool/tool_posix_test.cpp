// The krv857 program with what only the Linux build meets: pipes and devices as inputs and
// outputs, file names that are not UTF-8, network printers, and PNG and JPEG pictures.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/tool/tool_runner.h"
#include "tests/common/test_bitmaps.h"
#include "tests/common/picture_files.h"

namespace krv::test {
namespace {

using Strings = std::vector<std::string>;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void ExpectRefused(const ToolRun& r, const std::string& part) {
    EXPECT_FALSE(r.hung);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Has(r.err, part)) << r.err;
    EXPECT_FALSE(Has(r.err, "job \"")) << r.err;
}

// A picture of black and white blocks (top row first), and its 24-bit bitmap.
bool BlockDot(int x, int y) {
    return (x / 5 + y / 3) % 2 == 0;
}
Bytes BlockBmp(int w, int h) {
    return Rgb24File(
        w, h, [&](int x, int stored) { return BlockDot(x, h - 1 - stored) ? kBlack : kWhite; });
}

TEST(ToolPosix, PipesAndDevicesAreRefusedAsInputs) {
    ScratchFolder dir;
    const std::string fifo = dir.SystemPath("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string out = dir.SystemPath("out.bin");
    for (const char* input : {"/dev/zero", fifo.c_str()}) {
        const std::vector<Strings> commands = {
            {"devmode", "show", input},
            {"devmode", "merge", input, "-o", out},
            {"firmware", input, "-o", out},
            {"watermark", "convert", input, out},
            {"print", input, "-o", out},
            {"logo", "download", "--mode", "grey", "-o", out, input},
            {"decode", input},
        };
        for (const Strings& args : commands) {
            const ToolRun r = RunTool(args, 10000);
            ExpectRefused(r, std::string("krv857: ") + input + ": ");
            EXPECT_TRUE(Has(r.err, input == fifo ? "is a pipe" : "is a character device"));
        }
    }
    EXPECT_FALSE(ScratchFolder::Exists(out));
}

TEST(ToolPosix, FailedWritesAreReportedWithTheSystemsReason) {
    ScratchFolder dir;
    const std::string bmp = dir.SystemWrite("b.bmp", BlockBmp(20, 10));
    const std::vector<Strings> commands = {
        {"selftest"},
        {"topbottom", "--line0", "A"},
        {"2dcode", "--font", "1", "--data", "123"},
        {"logo", "download", "--mode", "mono", bmp},
        {"logo", "clear"},
        {"backside", "--logo", bmp},
        {"print", bmp},
        {"devmode", "defaults"},
    };
    for (Strings args : commands) {
        args.insert(args.end(), {"-o", "/dev/full"});
        ExpectRefused(RunTool(args), "krv857: /dev/full: No space left on device");
        args.back() = "/dev/null";
        EXPECT_EQ(RunTool(args).exitCode, 0) << args[0];
    }
}

// A link to a file: the file it names gets the job, the link stays a link.
TEST(ToolPosix, LinkedTargetIsReplacedThroughTheLink) {
    ScratchFolder dir;
    const std::string file = dir.SystemWrite("real.bin", Bytes{1, 2, 3});
    const std::string link = dir.SystemPath("link.bin");
    std::filesystem::create_symlink(file, link);
    ASSERT_EQ(RunTool({"selftest", "-o", link}).exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ScratchFolder::Read(file).size(), 7u);
}

// File names are bytes: a GBK name is found and written as it is.
TEST(ToolPosix, FileNamesPassThroughAsBytes) {
    ScratchFolder dir;
    const std::string name = dir.SystemWrite("\xb1\xea\xd6\xbe.bin", Bytes{0x12, 0x34, 0x00, 0xFF});
    const std::string out = dir.SystemPath("\xb1\xea\xd6\xbe-job.bin");
    ASSERT_EQ(RunTool({"firmware", name, "-o", out}).exitCode, 0);
    EXPECT_EQ(ScratchFolder::Read(out), (Bytes{0x12, 0x34, 0x00, 0xFF}));
    const std::string bmp = dir.SystemWrite("\xb1\xea.bmp", BlockBmp(8, 8));
    const std::string watermark = dir.SystemPath("\xd6\xbe-w.bmp");
    const ToolRun r = RunTool({"watermark", "convert", bmp, watermark});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ScratchFolder::Read(watermark), BlockBmp(8, 8));
}

// The same picture as BMP, PNG (transparency over white) and JPEG gives the same jobs.
TEST(ToolPosix, PngJpegAndBmpOfOnePictureGiveTheSameJobs) {
    ScratchFolder dir;
    const int w = 70, h = 45;
    const RgbaFunction picture = [](int x, int y) {
        return Rgba{uint8_t(x * 3), uint8_t(y * 5), uint8_t(x * y), uint8_t(255 - x * 3)};
    };
    const auto over = [](int v, int a) { return uint8_t((v * a + 255 * (255 - a) + 127) / 255); };
    const std::string png = dir.SystemWrite("p.png", PngOf(w, h, picture, true));
    const std::string pngBmp =
        dir.SystemWrite("p.bmp", Rgb24File(w, h, [&](int x, int stored) {
                            const Rgba p = picture(x, h - 1 - stored);
                            return Rgb{over(p.r, p.a), over(p.g, p.a), over(p.b, p.a)};
                        }));
    const PictureBytes jpegBytes = JpegOf(w, h, picture);
    const std::string jpeg = dir.SystemWrite("j.jpg", jpegBytes);
    int jw = 0, jh = 0;
    const auto rgb = JpegPixels(jpegBytes, &jw, &jh);
    const std::string jpegBmp = dir.SystemWrite(
        "j.bmp", Rgb24File(jw, jh, [&](int x, int stored) {
            const uint8_t* p = &rgb[(static_cast<size_t>(jh - 1 - stored) * jw + x) * 3];
            return Rgb{p[0], p[1], p[2]};
        }));
    const std::vector<Strings> commands = {
        {"logo", "download", "--mode", "mono", "--halftone", "diffusion"},
        {"logo", "download", "--mode", "grey", "--contrast", "20"},
        {"backside", "--halftone", "m4", "--logo"},
        {"print", "--width", "50"},
    };
    // A PNG named .bmp is a PNG all the same.
    const std::string renamed = dir.SystemWrite("renamed.bmp", PngOf(w, h, picture, true));
    for (const auto& [source, bitmap] :
         {std::pair{png, pngBmp}, std::pair{jpeg, jpegBmp}, std::pair{renamed, pngBmp}}) {
        for (const Strings& command : commands) {
            Bytes jobs[2];
            for (int k = 0; k < 2; ++k) {
                Strings args = command;
                args.insert(args.end(), {k ? bitmap : source, "-o", dir.SystemPath("job.bin")});
                ASSERT_EQ(RunTool(args).exitCode, 0) << args[0] << " " << args.back();
                jobs[k] = ScratchFolder::Read(dir.SystemPath("job.bin"));
            }
            EXPECT_EQ(jobs[0], jobs[1]) << command[0] << " " << source;
        }
        // The watermark bitmap is the picture's own 24-bit bitmap.
        ASSERT_EQ(RunTool({"watermark", "convert", source, dir.SystemPath("w.bmp")}).exitCode, 0);
        EXPECT_EQ(ScratchFolder::Read(dir.SystemPath("w.bmp")), ScratchFolder::Read(bitmap))
            << source;
    }
}

// decode --png draws what was sent: the picture of a print job, a stored logo in black and
// white and in grey, and the back-side logo.
TEST(ToolPosix, DecodeDrawsThePictureThatWasSent) {
    ScratchFolder dir;
    const std::string job = dir.SystemPath("job.bin"), drawn = dir.SystemPath("d.png");
    const auto draw = [&](const Strings& args) {
        Strings write = args;
        write.insert(write.end(), {"-o", job});
        EXPECT_EQ(RunTool(write).exitCode, 0) << args[0];
        EXPECT_EQ(RunTool({"decode", job, "--png", drawn}).exitCode, 0) << args[0];
        return ReadGreyPng(drawn);
    };
    // Print: 50 x 30, two bands; the rows under the picture are white.
    const GreyPng print = draw({"print", dir.SystemWrite("b.bmp", BlockBmp(50, 30))});
    ASSERT_EQ(print.width, 50u);
    ASSERT_EQ(print.height, 48u);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(print.pixels[y * 50 + x], y < 30 && BlockDot(x, y) ? 0 : 255)
                << x << "," << y;
    // A 1-bit logo 20 x 12: 32 dots wide (its stride), 16 high, the picture at the bottom.
    const auto mono = [](int x, int top) { return (x + top) % 3 == 0; };
    const std::string logo = dir.SystemWrite(
        "m.bmp", Mono1File(
                     20, 12,
                     [&](int x, int stored) {
                         return !mono(x, 11 - stored);  // set bits are white with entry 1 white
                     },
                     kBlack, kWhite));
    const GreyPng stored = draw({"logo", "download", "--mode", "mono", logo});
    ASSERT_EQ(stored.width, 32u);
    ASSERT_EQ(stored.height, 16u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(stored.pixels[y * 32 + x], y >= 4 && x < 20 && mono(x, y - 4) ? 0 : 255);
    // The back side: one band, the picture at its bottom.
    const GreyPng back = draw({"backside", "--logo", logo});
    ASSERT_EQ(back.height, 24u);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(back.pixels[y * 32 + x], y >= 12 && x < 20 && mono(x, y - 12) ? 0 : 255);
    // Grey: 16 levels of darkness, 8 pixels wide, 2 rows.
    const std::string grey =
        dir.SystemWrite("g.bmp", Grey8File(8, 2, [](int x, int) { return uint8_t(x * 33); }));
    const GreyPng levels = draw({"logo", "download", "--mode", "grey", grey});
    ASSERT_EQ(levels.width, 8u);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(levels.pixels[x], 255 - 17 * ((255 - x * 33) >> 4)) << x;
    // Nothing to draw is said, and no file is written.
    ASSERT_EQ(RunTool({"selftest", "-o", job}).exitCode, 0);
    std::filesystem::remove(drawn);
    ExpectRefused(RunTool({"decode", job, "--png", drawn}), "nothing to draw");
    EXPECT_FALSE(ScratchFolder::Exists(drawn));
}

// A listener on 127.0.0.1 that keeps what it is sent (or, with `reads` false, takes nothing).
class Listener {
  public:
    explicit Listener(bool reads) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        const int small = 4096;
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t n = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
        port_ = ntohs(a.sin_port);
        listen(fd_, 1);
        thread_ = std::thread([this, reads] {
            const int c = accept(fd_, nullptr, nullptr);
            char buffer[65536];
            ssize_t got;
            while (reads && (got = read(c, buffer, sizeof buffer)) > 0)
                received_.insert(received_.end(), buffer, buffer + got);
            if (!reads) std::this_thread::sleep_for(std::chrono::seconds(4));
            close(c);
        });
    }
    ~Listener() {
        thread_.join();
        close(fd_);
    }
    std::string Target(const std::string& query = "") const {
        return "socket://127.0.0.1:" + std::to_string(port_) + query;
    }
    Bytes Received() {
        thread_.join();
        thread_ = std::thread([] {});
        return received_;
    }

  private:
    int fd_;
    uint16_t port_ = 0;
    std::thread thread_;
    Bytes received_;
};

TEST(ToolPosix, NetworkPrinter) {
    ScratchFolder dir;
    const std::string bmp = dir.SystemWrite("b.bmp", BlockBmp(60, 40));
    ASSERT_EQ(RunTool({"print", bmp, "-o", dir.SystemPath("file.bin")}).exitCode, 0);
    {
        Listener printer(true);
        const ToolRun r = RunTool({"print", bmp, "-o", printer.Target()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(printer.Received(), ScratchFolder::Read(dir.SystemPath("file.bin")));
    }
    uint16_t closedPort;
    {
        Listener unused(true);
        closedPort = static_cast<uint16_t>(std::stoi(unused.Target().substr(22)));
        RunTool({"selftest", "-o", unused.Target()});  // lets it end
    }
    ExpectRefused(RunTool({"selftest", "-o", "socket://127.0.0.1:" + std::to_string(closedPort)}),
                  "cannot connect: Connection refused");
    // A printer that takes nothing: the write gives up after the timeout.
    const std::string big = dir.SystemPath("big.bin");
    std::ofstream(big, std::ios::binary).seekp((16 << 20) - 1).put('\0');
    Listener stuck(false);
    const ToolRun r = RunTool({"firmware", big, "-o", stuck.Target("?timeout=1")}, 20000);
    ExpectRefused(r, "the printer took no data for 1 s (timed out)");
}

}  // namespace
}  // namespace krv::test
