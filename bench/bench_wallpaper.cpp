// The wallpaper core: the fit arithmetic, and loading a list file of 100,000 pictures.

#include "wallpaper/fit.h"
#include "wallpaper/wallpaper_list.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace quillmark;

void BM_FitPicture(benchmark::State& state) {
    const PixelSize pictures[] = {{2000, 1000}, {400, 300},   {6000, 4000},
                                  {900, 1000},  {1920, 1080}, {300, 4000}};
    const PixelSize screen{1920, 1080};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fitPicture(pictures[i % 6], screen, {true, true}));
        ++i;
    }
}
BENCHMARK(BM_FitPicture);

std::string listBytes(int entries) {
    std::string bytes;
    for (int i = 0; i < entries; ++i)
        bytes += "/home/someone/Pictures/Holidays 2024/IMG_" + std::to_string(100000 + i) + ".jpg\r\n";
    return bytes;
}

void BM_LoadWallpaperList(benchmark::State& state) {
    const std::string folder = bench::freshFolder();
    const std::string path = folder + "/wallpaper.lst";
    const std::string bytes = listBytes(static_cast<int>(state.range(0)));
    std::ofstream(path, std::ios::binary) << bytes;
    for (auto _ : state) {
        Result<WallpaperList> list = loadWallpaperList(path);
        if (!list || list->entries.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("the list did not load whole");
        benchmark::DoNotOptimize(list);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadWallpaperList)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
