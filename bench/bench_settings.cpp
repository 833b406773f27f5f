// The profile scan of start-up: 64 reads with default "" on a fresh settings file, each of
// which writes an empty name line back. Without a Batch that is 64 replacements of the file.

#include "settings/settings.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

using quillmark::bench::freshFolder;

void scanSlots(quillmark::Settings& settings) {
    for (int n = 1; n <= 64; ++n)
        benchmark::DoNotOptimize(settings.readIni("Profiles", "Profile " + std::to_string(n), ""));
}

void BM_ProfileScanFreshFile(benchmark::State& state) {
    const bool batched = state.range(0) != 0;
    const std::string folder = freshFolder();
    const std::string path = folder + "/Quillmark.INI";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        quillmark::Settings settings(path);
        state.ResumeTiming();
        if (batched) {
            quillmark::Settings::Batch batch(settings);
            scanSlots(settings);
        } else {
            scanSlots(settings);
        }
    }
    std::filesystem::remove_all(folder);
    state.SetLabel(batched ? "one Batch" : "no Batch");
}
BENCHMARK(BM_ProfileScanFreshFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadCachedValue(benchmark::State& state) {
    const std::string folder = freshFolder();
    quillmark::Settings settings(folder + "/Quillmark.INI");
    settings.writeIni("SETTINGS", "INTERVAL_1", "60");
    // A file written moments ago is re-read on each access to catch same-size edits by
    // others; measure the usual case, a file last changed long ago.
    std::filesystem::last_write_time(folder + "/Quillmark.INI",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.readIniPlain("SETTINGS", "INTERVAL_1"));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadCachedValue);

} // namespace
