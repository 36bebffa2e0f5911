#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quorvela::testing {

// The folder of real photos and its exiftool ground truth.
std::filesystem::path CorpusDir();
bool HaveCorpus();
const nlohmann::json& Truth();
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// A fresh empty folder under the system's temporary folder, removed on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace quorvela::testing

// Skips a test that needs the photo corpus when it is not there (configure-time warning).
#define QUORVELA_REQUIRE_CORPUS()                                                      \
    do {                                                                               \
        if (!::quorvela::testing::HaveCorpus()) GTEST_SKIP() << "photo corpus absent"; \
    } while (0)
