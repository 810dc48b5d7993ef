// The tests' scratch folder: a fresh folder in the system's temporary folder for each test,
// removed with everything in it. Paths come as the plug-in spells them (UTF-16), or as the
// system spells them for the programs the tests run (the bytes of a POSIX name).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "channel/ansi_text.h"

namespace krv::test {

class ScratchFolder {
  public:
    using Bytes = std::vector<uint8_t>;

    ScratchFolder() {
        // A name nobody else holds: create_directory succeeds only for a new folder.
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
            const auto candidate = base / ("krvtest" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) folder_ = candidate;
        }
        // Without a folder every path would lead into the root: the test fails instead.
        if (folder_.empty()) throw std::runtime_error("no scratch folder could be made");
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // `name` in the folder, as the system spells it and as the plug-in does.
    std::string SystemPath(std::string_view name) const {
        return folder_.string() + "/" + std::string(name);
    }
    std::u16string Path(std::string_view name) const {
#ifdef _WIN32
        return folder_.u16string() + u"\\" + Utf8ToUtf16(name);
#else
        return PathToUtf16(SystemPath(name));
#endif
    }
    // Writes the file `name`; its path.
#ifdef _WIN32
    // The same with wide names, for the Windows tests.
    std::wstring Path(std::wstring_view name) const {
        return folder_.wstring() + L"\\" + std::wstring(name);
    }
    std::wstring Write(std::wstring_view name, const Bytes& bytes) const {
        PutAt(Path(name), bytes);
        return Path(name);
    }
#endif
    std::string SystemWrite(std::string_view name, const Bytes& bytes) const {
        Put(SystemPath(name), bytes);
        return SystemPath(name);
    }
    std::u16string Write(std::string_view name, const Bytes& bytes) const {
        Put(Path(name), bytes);
        return Path(name);
    }

    static void Put(const std::string& systemPath, const Bytes& bytes) {
        PutAt(std::filesystem::path(systemPath), bytes);
    }
    static Bytes Read(const std::string& systemPath) {
        return ReadAt(std::filesystem::path(systemPath));
    }
    static bool Exists(const std::string& systemPath) {
        return ExistsAt(std::filesystem::path(systemPath));
    }
    static void Put(std::u16string_view path, const Bytes& bytes) {
        PutAt(Native(path), bytes);
    }
    static Bytes Read(std::u16string_view path) {
        return ReadAt(Native(path));
    }
    static bool Exists(std::u16string_view path) {
        return ExistsAt(Native(path));
    }

  private:
    // A path the plug-in spells, as the system spells it.
    static std::filesystem::path Native(std::u16string_view path) {
#ifdef _WIN32
        return std::filesystem::path(std::u16string(path));
#else
        return std::filesystem::path(Utf16ToPath(path));
#endif
    }
    static void PutAt(const std::filesystem::path& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static Bytes ReadAt(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static bool ExistsAt(const std::filesystem::path& path) {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    }

    std::filesystem::path folder_;
};

// A fixture whose every test runs with a scratch folder of its own.
class ScratchFolderTest : public ::testing::Test, public ScratchFolder {};

}  // namespace krv::test
