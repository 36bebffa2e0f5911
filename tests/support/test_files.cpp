#include "test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace quorvela::testing {

std::filesystem::path CorpusDir() {
    return QUORVELA_CORPUS_DIR;
}
bool HaveCorpus() {
    return QUORVELA_HAVE_CORPUS != 0;
}

const nlohmann::json& Truth() {
    static const nlohmann::json truth = [] {
        std::ifstream in(CorpusDir() / "truth.json");
        return nlohmann::json::parse(in);
    }();
    return truth;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("quorvela-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const auto target = path_ / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return target;
}

}  // namespace quorvela::testing
