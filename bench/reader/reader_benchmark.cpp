// The metadata reader alone, on corpus photos held in memory: files per second on one core.
//   build/release/bin/reader_benchmark

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "metadata/img_data.h"
#include "metadata/tag_names.h"

namespace {

struct Photo {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Only the header matters to the reader; keeping whole files would measure the cache.
const std::vector<Photo>& Photos() {
    static const std::vector<Photo> photos = [] {
        std::vector<Photo> out;
        for (const auto& entry : std::filesystem::directory_iterator(QUORVELA_CORPUS_DIR)) {
            if (entry.path().extension() != ".jpg") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            bytes.resize(std::min<std::size_t>(bytes.size(), 256 * 1024));
            out.push_back({entry.path().filename().string(), std::move(bytes)});
        }
        return out;
    }();
    return photos;
}

void ReadCorpusFromMemory(benchmark::State& state, bool collectTags) {
    const auto& photos = Photos();
    if (photos.empty()) {
        state.SkipWithError("no corpus photos");
        return;
    }
    quorvela::metadata::TimgData reader(collectTags, '.');
    std::size_t files = 0;
    for (auto _ : state) {
        for (const Photo& photo : photos) {
            reader.ReadJpegBytes(photo.name, photo.bytes);
            if (reader.ExifDirectory)
                benchmark::DoNotOptimize(reader.ExifDirectory->TagTextByName(quorvela::metadata::tags::FocalLength));
        }
        files += photos.size();
    }
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(files), benchmark::Counter::kIsRate);
}

void BM_ReadAndRenderEveryTag(benchmark::State& state) {
    ReadCorpusFromMemory(state, true);
}
void BM_ReadWithoutRendering(benchmark::State& state) {
    ReadCorpusFromMemory(state, false);
}

BENCHMARK(BM_ReadAndRenderEveryTag)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWithoutRendering)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
