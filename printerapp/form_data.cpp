#include "printerapp/form_data.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace krv::app {

namespace {

constexpr size_t kMaxPartHeaders = 8192;
constexpr size_t kMaxNameLength = 256;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The value of parameter `name` of a header value ("type; a=1; b=\"x y\""), unquoted.
std::optional<std::string> Parameter(std::string_view header, std::string_view name) {
    size_t at = header.find(';');
    while (at != std::string_view::npos) {
        std::string_view rest = Trim(header.substr(at + 1));
        const size_t eq = rest.find('=');
        const size_t next = rest.find(';');
        if (eq != std::string_view::npos && (next == std::string_view::npos || eq < next) &&
            Lower(Trim(rest.substr(0, eq))) == name) {
            std::string_view value = Trim(rest.substr(eq + 1));
            if (!value.empty() && value.front() == '"') {
                const size_t close = value.find('"', 1);
                if (close == std::string_view::npos) return std::nullopt;
                return std::string(value.substr(1, close - 1));
            }
            return std::string(Trim(value.substr(0, value.find(';'))));
        }
        at = header.find(';', at + 1);
    }
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "a%20b+c" -> "a b c"; a '%' not followed by two hexadecimal digits stays as it is.
std::string PercentDecode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out.push_back(' ');
        } else if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 &&
                   HexDigit(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

FormStatus ParseUrlEncoded(std::string_view body, FormData* out) {
    size_t parts = 0;
    while (!body.empty()) {
        const size_t amp = body.find('&');
        const std::string_view pair = body.substr(0, amp);
        body = amp == std::string_view::npos ? std::string_view() : body.substr(amp + 1);
        if (pair.empty()) continue;
        if (++parts > kMaxFormParts) return FormStatus::Malformed;
        const size_t eq = pair.find('=');
        std::string name = PercentDecode(pair.substr(0, eq));
        if (name.empty() || name.size() > kMaxNameLength) return FormStatus::Malformed;
        out->AddField(std::move(name), eq == std::string_view::npos
                                           ? std::string()
                                           : PercentDecode(pair.substr(eq + 1)));
    }
    return FormStatus::Ok;
}

struct PartHeaders {
    std::string name;
    std::optional<std::string> fileName;  // present for a file input, even when empty
};

std::optional<PartHeaders> ReadPartHeaders(std::string_view block) {
    PartHeaders h;
    bool named = false;
    while (!block.empty()) {
        const size_t end = block.find("\r\n");
        const std::string_view line = block.substr(0, end);
        block = end == std::string_view::npos ? std::string_view() : block.substr(end + 2);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos ||
            Lower(Trim(line.substr(0, colon))) != "content-disposition")
            continue;
        const std::string_view value = line.substr(colon + 1);
        const auto name = Parameter(value, "name");
        if (!name || name->empty() || name->size() > kMaxNameLength) return std::nullopt;
        h.name = *name;
        h.fileName = Parameter(value, "filename");
        named = true;
    }
    if (!named) return std::nullopt;
    return h;
}

FormStatus ParseMultipart(std::string_view boundary, std::string_view body, FormData* out) {
    const std::string delimiter = "--" + std::string(boundary);
    // The first delimiter may follow a preamble; every later one starts a line.
    size_t at = body.find(delimiter);
    if (at == std::string_view::npos || (at > 0 && (at < 2 || body.substr(at - 2, 2) != "\r\n")))
        return FormStatus::Malformed;
    const std::string separator = "\r\n" + delimiter;
    for (size_t parts = 0;; ++parts) {
        at += delimiter.size();
        if (body.substr(at, 2) == "--") return FormStatus::Ok;
        if (body.substr(at, 2) != "\r\n" || parts >= kMaxFormParts) return FormStatus::Malformed;
        at += 2;
        const size_t headersEnd = body.find("\r\n\r\n", at);
        if (headersEnd == std::string_view::npos || headersEnd - at > kMaxPartHeaders)
            return FormStatus::Malformed;
        const auto headers = ReadPartHeaders(body.substr(at, headersEnd - at + 2));
        const size_t contentAt = headersEnd + 4;
        const size_t next = body.find(separator, contentAt);
        if (!headers || next == std::string_view::npos) return FormStatus::Malformed;
        const std::string_view content = body.substr(contentAt, next - contentAt);
        if (headers->fileName)
            out->AddFile(headers->name, {*headers->fileName, {content.begin(), content.end()}});
        else
            out->AddField(headers->name, std::string(content));
        at = next + 2;
    }
}

}  // namespace

const std::string* FormData::Field(std::string_view name) const {
    for (const auto& [n, v] : fields_)
        if (n == name) return &v;
    return nullptr;
}

const FormFile* FormData::File(std::string_view name) const {
    for (const auto& [n, f] : files_)
        if (n == name) return &f;
    return nullptr;
}

void FormData::AddField(std::string name, std::string value) {
    fields_.emplace_back(std::move(name), std::move(value));
}

void FormData::AddFile(std::string name, FormFile file) {
    files_.emplace_back(std::move(name), std::move(file));
}

FormStatus ParseFormData(std::string_view contentType, std::span<const uint8_t> body,
                         FormData* out) {
    *out = FormData{};
    const std::string type = Lower(Trim(contentType.substr(0, contentType.find(';'))));
    const std::string_view text(reinterpret_cast<const char*>(body.data()), body.size());
    FormStatus status = FormStatus::UnknownType;
    if (type == "application/x-www-form-urlencoded") {
        status = ParseUrlEncoded(text, out);
    } else if (type == "multipart/form-data") {
        const auto boundary = Parameter(contentType, "boundary");
        if (boundary && !boundary->empty() && boundary->size() <= 70)
            status = ParseMultipart(*boundary, text, out);
    }
    if (status != FormStatus::Ok) *out = FormData{};
    return status;
}

}  // namespace krv::app
