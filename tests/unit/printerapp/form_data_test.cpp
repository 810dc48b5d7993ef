#include <gtest/gtest.h>

#include "printerapp/form_data.h"

namespace krv::app {
namespace {

FormStatus Parse(const std::string& type, const std::string& body, FormData* form) {
    return ParseFormData(type, {reinterpret_cast<const uint8_t*>(body.data()), body.size()}, form);
}

// A file's bytes come back exactly, even where they look like the start of a boundary; a file
// input left empty still names its (empty) file.
TEST(FormData, MultipartKeepsFieldsAndFilesAsPosted) {
    const std::string content("\x00\r\n--b\r\n\xff--x", 12);
    const std::string body =
        "--x\r\nContent-Disposition: form-data; name=\"session\"\r\n\r\nabc\r\n"
        "--x\r\ncontent-disposition: form-data; name=\"pic\"; filename=\"a b.png\""
        "\r\nContent-Type: image/png\r\n\r\n" +
        content +
        "\r\n--x\r\nContent-Disposition: form-data; name=\"none\"; "
        "filename=\"\"\r\n\r\n\r\n--x--\r\n";
    FormData form;
    ASSERT_EQ(Parse("multipart/form-data; boundary=\"x\"", body, &form), FormStatus::Ok);
    EXPECT_EQ(*form.Field("session"), "abc");
    ASSERT_TRUE(form.File("pic"));
    EXPECT_EQ(form.File("pic")->fileName, "a b.png");
    EXPECT_EQ(std::string(form.File("pic")->content.begin(), form.File("pic")->content.end()),
              content);
    ASSERT_TRUE(form.File("none"));
    EXPECT_TRUE(form.File("none")->fileName.empty());
    EXPECT_EQ(form.Field("pic"), nullptr);
}

TEST(FormData, UrlEncodedDecodesPercentAndPlus) {
    FormData form;
    ASSERT_EQ(Parse("application/x-www-form-urlencoded", "a=%E8%B0%A2+x&b=50%&c", &form),
              FormStatus::Ok);
    EXPECT_EQ(*form.Field("a"), "谢 x");
    EXPECT_EQ(*form.Field("b"), "50%");
    EXPECT_EQ(*form.Field("c"), "");
}

// A body that cannot be read whole is refused whole.
TEST(FormData, RefusesWhatItCannotReadWhole) {
    const std::string part = "--x\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n";
    std::string many;
    for (size_t i = 0; i <= kMaxFormParts; ++i)
        many += part;
    const struct {
        std::string type, body;
        FormStatus status;
    } cases[] = {
        {"multipart/form-data; boundary=x", part, FormStatus::Malformed},  // no closing boundary
        {"multipart/form-data; boundary=x", "--x\r\n\r\n1\r\n--x--", FormStatus::Malformed},
        {"multipart/form-data; boundary=x", "y--x\r\n" + part.substr(5) + "--x--",
         FormStatus::Malformed},  // the first boundary not at the start of a line
        {"multipart/form-data; boundary=x", many + "--x--", FormStatus::Malformed},
        {"multipart/form-data", part + "--x--", FormStatus::UnknownType},
        {"text/plain", "a=1", FormStatus::UnknownType},
    };
    for (const auto& c : cases) {
        FormData form;
        EXPECT_EQ(Parse(c.type, c.body, &form), c.status) << c.body.substr(0, 40);
        EXPECT_TRUE(form.Fields().empty());
    }
}

}  // namespace
}  // namespace krv::app
