// Making a profile current on a fresh settings file: the exact-name scan over the 64
// slots (each empty slot gets its empty name line written back), the slot's paths, and
// "Last Profile". The scans share one write of the file.

#include "profiles/profile_store.h"
#include "settings/settings.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using quillmark::bench::freshFolder;

void BM_SelectProfileFreshFile(benchmark::State& state) {
    const std::string folder = freshFolder();
    const std::string path = folder + "/Quillmark.INI";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        quillmark::Settings settings(path);
        state.ResumeTiming();
        const int slot = quillmark::findProfileSlotExact(settings, "PROFILES", "Work");
        if (slot != 0)
            benchmark::DoNotOptimize(quillmark::readProfileSlot(settings, "PROFILES", slot));
        settings.writeIni("User", "Last Profile", "Work");
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SelectProfileFreshFile)->Unit(benchmark::kMillisecond);

void BM_ListProfiles(benchmark::State& state) {
    const std::string folder = freshFolder();
    quillmark::Settings settings(folder + "/Quillmark.INI");
    {
        quillmark::Settings::Batch batch(settings);
        for (int n = 1; n <= quillmark::kMaxProfiles; n += 2)
            quillmark::writeProfileSlot(settings, n, {"P" + std::to_string(n), "/h", "/f", "/s"});
    }
    for (auto _ : state) {
        quillmark::Settings::Batch batch(settings);
        benchmark::DoNotOptimize(quillmark::listProfileNames(settings));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ListProfiles)->Unit(benchmark::kMicrosecond);

} // namespace
