#include "printerapp/web_strings.h"

#include "channel/ansi_text.h"
#include "devpages/logo_rows.h"
#include "jobs/file_download.h"
#include "jobs/logo_jobs.h"
#include "jobs/top_bottom_message.h"

namespace krv::app {

namespace {

std::vector<WebText> Build() {
    const std::string longLine = Utf16ToUtf8(kTopBottomLineTooLongMessage);
    return {
        // ---- the program and its driver
        {"KRV-M857 Printer Application", "", "KRV-M857 打印机应用程序"},
        {"KRV-M857 thermal receipt printer", "", "KRV-M857 热敏票据打印机"},

        // ---- texts PAPPL's pages look up that its own strings lack
        {"Change", "", "更改"},
        {"%d jobs", "", "%d 个作业"},
        {"Owner", "", "所有者"},
        {"Pages", "", "页数"},
        {"Select Log Level", "", "选择日志级别"},
        {"Download Log File", "", "下载日志文件"},

        // ---- the pages' titles (and links), as the Windows pages name their groups
        {"Logos", "", "Logo 位图下载"},
        {"Top/Bottom Messages", "", "顶部底部消息"},
        {"Back-Side Data", "", "反面预定义数据"},
        {"Self-Test", "", "打印自检页"},
        {"Firmware Download", "", "文件下载"},
        {"Defaults From a Record", "", "从记录设置默认值"},

        // ---- words the pages share
        {"Download", "", "下载"},
        {"Apply", "", "应用"},
        {"Cancel", "", "取消"},
        {"Add", "", "添加"},
        {"Preview", "", "预览"},
        {"Settings", "", "设置"},
        {"No.", "", "序号"},
        {"%s bytes", "", "%s 字节"},
        {"%s KiB", "", "%s KiB"},
        {"%s MiB", "", "%s MiB"},
        {"The printer's folder cannot be written.", "", "无法写入打印机的文件夹。"},
        {"The form is larger than %s: nothing was taken.", "", "表单大于 %s：未接收任何内容。"},
        {"Job %s (\"%s\") is in the printer's queue.", "", "作业 %s（“%s”）已进入打印机的队列。"},
        {"The job could not be written for the queue.", "", "无法为队列写入作业。"},
        {"The printer's queue did not take the job.", "", "打印机的队列未接受该作业。"},
        {"%s: the character \"%s\" cannot be written in the printer's code page (%s).", "",
         "%s：字符“%s”无法用打印机的代码页（%s）表示。"},

        // ---- logos
        {"Up to nine BMP, PNG or JPEG pictures of at most 1024 x 768 pixels, kept with the "
         "printer and downloaded into its stored logos, which receipts print by number (1 to 9).",
         "",
         "最多九幅 BMP、PNG 或 JPEG 图片，每幅不超过 1024 × 768 像素，随打印机保存，并下载到"
         "打印机的 Logo 存储中；票据按编号（1 到 9）打印它们。"},
        {"Black-and-white bitmaps", "", "黑白位图"},
        {"Grey bitmaps", "", "灰度位图"},
        {"Change Mode", "", "更改模式"},
        {"Halftone:", "", "半色调："},
        {"No dithering", "", "无抖动"},
        {"Dither M3", "", "抖动 M3"},
        {"Dither M4", "", "抖动 M4"},
        {"Error diffusion", "", "误差扩散"},
        {"Contrast:", "", "对比度："},
        {"Brightness:", "", "亮度："},
        {"%s x %s dots", "", "%s × %s 点"},
        {"Download All", "", "下载全部"},
        {"Clear All Logos", "", "清除全部Logo"},
        {"The logos' bitmaps take %s (the printer takes less than %s).", "",
         "Logo 位图合计 %s（须小于 %s）。"},
        {"Choose a picture first.", "", "请先选择图片。"},
        {"That logo is no longer in the list.", "", "该 Logo 已不在列表中。"},
        {"Contrast and brightness are whole numbers from -100 to 100.", "",
         "对比度和亮度须为 -100 到 100 的整数。"},
        {"The picture cannot be read: %s.", "", "无法读取图片：%s。"},
        {"Only BMP, PNG and JPEG pictures can be logos.", "",
         "只有 BMP、PNG 和 JPEG 图片可以作为 Logo。"},
        {"Only bitmaps of 1, 8 or 24 bits without compression can be logos.", "",
         "只有未压缩的 1 位、8 位或 24 位位图可以作为 Logo。"},
        {"The bitmap ends before its last row.", "", "位图在最后一行之前就结束了。"},
        {"The picture cannot be converted.", "", "无法转换该图片。"},
        {"The logo cannot be kept: the printer's folder cannot be written.", "",
         "无法保存 Logo：无法写入打印机的文件夹。"},
        {"This picture cannot be printed as a stored logo.", "",
         "该图片无法作为存储的 Logo 打印。"},
        {"A logo cannot be encoded as a stored logo (a 1-bit bitmap needs a black and a white "
         "palette entry): nothing was sent.",
         "", "有 Logo 无法编码为存储的 Logo（1 位位图的调色板须为一黑一白）：未发送任何内容。"},
        {"The logo cannot be encoded for the back side (a 1-bit bitmap needs a black and a white "
         "palette entry): nothing was sent.",
         "", "该 Logo 无法编码为反面数据（1 位位图的调色板须为一黑一白）：未发送任何内容。"},
        // The logo page's own messages, which its rules give in Chinese.
        {"At most nine logos: delete one before choosing another.", "", kMsgTooManyLogos},
        {"The chosen file cannot be opened.", "", kMsgCannotOpenLogo},
        {"The file is shorter than a bitmap's headers.", "", kMsgCannotReadLogo},
        {"The picture is too large: at most 1024 x 768 pixels.", "", kMsgLogoTooLarge},
        {"Add a logo first.", "", kMsgSelectBitmap},
        {"The size of a logo's bitmap cannot be read.", "", kMsgBitmapSizeFailed},
        {"The logos' bitmaps together must stay under 512 KiB.", "", kMsgBitmapsTooLarge},
        {"At most 2048 bytes of characters, a zero byte after each character counted.", "",
         kMsgBackSideTextTooLong},
        {"This download takes characters and bitmaps only.", "", kMsgBackSideNeedsBlackWhite},
        {"Choose a logo or enter the characters to download.", "", kMsgBackSideNothingToSend},
        {"The size of the logo's bitmap cannot be read.", "", kMsgBackSideSizeFailed},
        {"The logo's bitmap must stay under 512 KiB.", "", kMsgBackSideTooLarge},

        // ---- top/bottom messages
        {"With the top/bottom message function on, the printer prints the first two lines at "
         "the bottom of the front side and the other two at the top of the back side. A line "
         "takes at most 48 single-byte or 32 double-byte characters.",
         "",
         "打开顶部底部消息功能后，打印机在正面底部打印前两行，在反面顶部打印后两行。每行最多 48 "
         "个单字节字符或 32 个双字节字符。"},
        {"Front side, bottom message, first line:", "", "正面底部消息的第一行："},
        {"Front side, bottom message, second line:", "", "正面底部消息的第二行："},
        {"Back side, top message, first line:", "", "反面顶部消息的第一行："},
        {"Back side, top message, second line:", "", "反面顶部消息的第二行："},
        {"Enter at least one line.", "", "请至少输入一行消息。"},
        {"A line takes at most 48 single-byte or 32 double-byte characters.", "", longLine},

        // ---- back-side data
        {"Back-side characters:", "", "反面预定义字符："},
        {"Print position:", "", "打印位置："},
        {"Left", "", "左"},
        {"Centre", "", "中"},
        {"Right", "", "右"},
        {"Logo:", "", "Logo 位图："},
        {"No logo", "", "无"},
        {"printed in black and white with its halftone, contrast and brightness from the Logos "
         "page",
         "", "按“Logo 位图下载”页的半色调、对比度和亮度以黑白打印"},
        {"Download Back-Side Bitmap and Characters", "", "下载反面预定义位图和字符"},

        // ---- self-test
        {"The printer prints its self-test page: a check that the connection's settings are "
         "right.",
         "", "打印机打印自检页，用于检查通讯设置是否正确。"},
        {"Self-Test Page", "", "自检页"},

        // ---- firmware download
        {"You can download many kinds of files to the printer, such as monitor programs and "
         "font programs.",
         "", "你可以选择多种类型的文件下载到打印机中，比如监控程序、字库程序等。"},
        {"The file goes to the printer byte for byte, after you confirm its name and size; at "
         "most %s.",
         "", "确认文件名和大小后，文件将按原样逐字节发送到打印机；最大 %s。"},
        {"Send the file \"%s\" (%s bytes) to the printer as it is?", "",
         "将文件“%s”（%s 字节）按原样下载到打印机吗？"},
        {"Choose a file first.", "", "请选择文件！"},
        {"Nothing is waiting to be sent: choose the file again.", "",
         "没有等待发送的文件：请重新选择文件。"},
        {"Nothing was sent.", "", "未发送任何内容。"},

        // ---- defaults from a record
        {"A private record (1468 bytes) saved by the Windows driver's pages sets the actions at "
         "the start and end of each document and page: command bytes, cash drawer or prompter, "
         "buzzer, paper feed, cut and stored logo.",
         "",
         "Windows 驱动程序页面保存的私有记录（1468 字节）设置每个文档和每页开始与结束时的操作："
         "发送命令、钱箱或提示器、蜂鸣器、进纸、裁纸和打印 Logo 位图。"},
        {"Show Settings", "", "显示设置"},
        {"Setting", "", "设置项"},
        {"From the record", "", "记录中的值"},
        {"Now", "", "当前值"},
        {"Choose a record file first.", "", "请先选择记录文件。"},
        {"The file is %s: nothing was changed.", "", "该文件%s：未做任何更改。"},
        {"larger than a record (1468 bytes)", "", "大于一个记录（1468 字节）"},
        {"too short for a record", "", "太短，不是一个记录"},
        {"not a KRV-M857 record (its signature is not \"VKRT\")", "",
         "不是 KRV-M857 的记录（其签名不是“VKRT”）"},
        {"not a file that can be read", "", "不是可以读取的文件"},
        {"The record's settings are now the printer's defaults.", "",
         "记录中的设置已成为打印机的默认值。"},
        {"The printer refused these defaults: nothing was changed.", "",
         "打印机拒绝了这些默认值：未做任何更改。"},
        {"Nothing is waiting to be applied: choose the record again.", "",
         "没有等待应用的记录：请重新选择记录文件。"},
        {"Nothing was changed.", "", "未做任何更改。"},
    };
}

std::string BuildStrings(Language language) {
    std::string out;
    for (const WebText& t : WebTexts()) {
        if (language == Language::Chinese)
            AppendStringsLine(out, t.key, t.chinese);
        else if (!t.english.empty())
            AppendStringsLine(out, t.key, t.english);
    }
    out += OptionStrings(language);
    // PAPPL keeps the first text of a key: the application's own come first.
    if (language == Language::Chinese) out += kPapplChineseStrings;
    return out;
}

}  // namespace

const std::vector<WebText>& WebTexts() {
    static const std::vector<WebText> texts = Build();
    return texts;
}

const std::string& StringsData(Language language) {
    static const std::string english = BuildStrings(Language::English);
    static const std::string chinese = BuildStrings(Language::Chinese);
    return language == Language::English ? english : chinese;
}

std::string_view MessageKey(std::string_view message) {
    for (const WebText& t : WebTexts())
        if (t.chinese == message && t.key != message) return t.key;
    return message;
}

std::string Translate(std::string_view key, Language language) {
    for (const WebText& t : WebTexts())
        if (t.key == key) {
            if (language == Language::Chinese) return t.chinese;
            return t.english.empty() ? t.key : t.english;
        }
    return std::string(key);
}

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    auto next = values.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' &&
            next != values.end()) {
            out.append(*next++);
            ++i;
            continue;
        }
        out.push_back(pattern[i]);
    }
    return out;
}

}  // namespace krv::app
