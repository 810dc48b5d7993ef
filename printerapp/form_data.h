// The fields and files of a form a browser posts to the application's pages, read from the
// request's body held whole in memory: "application/x-www-form-urlencoded", or
// "multipart/form-data" with uploaded files. PAPPL's own reader keeps only the first 2 MiB of
// a body, less than a logo page's largest bitmap (1024 x 768 in 24 bits) or a firmware file;
// the pages read the body themselves, up to their own limit, and parse it here. The body is
// untrusted: every count and length has a bound, and a malformed body is refused whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krv::app {

struct FormFile {
    std::string fileName;  // as the browser named it (may be empty: no file chosen)
    std::vector<uint8_t> content;
};

class FormData {
  public:
    // The first field or file of that name; nullptr when the form has none.
    const std::string* Field(std::string_view name) const;
    const FormFile* File(std::string_view name) const;
    // Every field in the order posted (files are not fields).
    const std::vector<std::pair<std::string, std::string>>& Fields() const { return fields_; }

    void AddField(std::string name, std::string value);
    void AddFile(std::string name, FormFile file);

  private:
    std::vector<std::pair<std::string, std::string>> fields_;
    std::vector<std::pair<std::string, FormFile>> files_;
};

enum class FormStatus {
    Ok,
    UnknownType,  // neither of the two form encodings (or multipart without a boundary)
    Malformed,    // a part without its headers, name or closing boundary; too many parts
};

// More parts than any of the pages' forms has: a body of thousands of tiny parts is refused.
inline constexpr size_t kMaxFormParts = 64;

// Parses `body` as the `contentType` (the request's Content-Type header) says. On failure
// `out` holds nothing.
FormStatus ParseFormData(std::string_view contentType, std::span<const uint8_t> body,
                         FormData* out);

}  // namespace krv::app
