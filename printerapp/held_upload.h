// A file uploaded on one page and used only once the user confirms it (the firmware sent, the
// record applied): kept in the printer's folder with a random token that the confirmation form
// carries, so that only the file the page named is used, and a stale or forged confirmation
// finds nothing. One file of each kind is held at a time; holding another replaces it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace krv::app {

struct HeldFile {
    std::string name;  // as uploaded, for the page
    std::string path;  // where the bytes are
    uint64_t size = 0;
};

class HeldUpload {
  public:
    // Files "<folder>/<kind>.held" and its list "<kind>.about"; the folder is made on demand.
    HeldUpload(std::string folder, std::string kind);

    // Keeps `bytes` as `name`. The token for the confirmation; empty when the file cannot be
    // written (nothing is held then).
    std::string Hold(std::string_view name, std::span<const uint8_t> bytes);
    // The held file, when `token` is the one its Hold gave.
    std::optional<HeldFile> Find(std::string_view token) const;
    void Discard();

  private:
    std::string folder_, data_, about_;
};

}  // namespace krv::app
