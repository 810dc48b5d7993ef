// A body posted to the printer application's pages, as multipart (with a boundary taken off the
// front of the input) or as URL-encoded fields: the reader never reads past the body, and what
// it returns is a part of it.
#include "fuzz/fuzz_support.h"
#include "printerapp/form_data.h"

using namespace krv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool multipart = in.Byte() & 1;
    const auto boundary = in.Chunk();
    const auto body = fuzz::ExactCopy(in.Rest());
    const std::string type =
        multipart ? "multipart/form-data; boundary=" + std::string(boundary.begin(), boundary.end())
                  : "application/x-www-form-urlencoded";
    app::FormData form;
    const app::FormStatus status = app::ParseFormData(type, body, &form);
    size_t total = 0;
    for (const auto& [name, value] : form.Fields())
        total += name.size() + value.size();
    KRV_FUZZ_CHECK(total <= body.size());
    KRV_FUZZ_CHECK(status == app::FormStatus::Ok || form.Fields().empty());
    KRV_FUZZ_CHECK(form.Fields().size() <= app::kMaxFormParts);
    return 0;
}
