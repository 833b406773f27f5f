// Replacing the signature file, which the update timer does again and again: in an empty
// folder and in a crowded one (a mail program's profile folder), where every write also
// looks through the folder for what an interrupted write left behind.

#include "platform/file_io.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void BM_ReplaceSignature(benchmark::State& state) {
    const std::string folder = quillmark::bench::freshFolder();
    for (int n = 0; n < state.range(0); ++n)
        std::ofstream(folder + "/other file " + std::to_string(n) + ".dat") << "x";
    const std::string path = folder + "/sig.txt";
    const std::string signature(2000, 's');
    for (auto _ : state) {
        if (!quillmark::writeFileAtomic(path, signature, quillmark::Durability::Replace).ok())
            state.SkipWithError("write failed");
    }
    std::filesystem::remove_all(folder);
    state.SetLabel(std::to_string(state.range(0)) + " other files in the folder");
}
BENCHMARK(BM_ReplaceSignature)->Arg(0)->Arg(1000)->Arg(10000);

} // namespace
