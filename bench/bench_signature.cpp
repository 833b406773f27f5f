// Loading large source files, drawing an entry the command-line tool's way, composing
// and writing the signature.

#include "signature/compose.h"
#include "signature/entries.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using namespace quillmark;

// About `bytes` of text in entries of 1 to 5 lines of 20 to 79 characters, separated by
// "%" lines, with an occasional comment: 10 MB gives about 60,000 entries.
std::string makeSource(std::size_t bytes, std::string_view lineEnd) {
    std::mt19937 gen(7);
    std::string out;
    out.reserve(bytes + 1024);
    while (out.size() < bytes) {
        if (gen() % 50 == 0) {
            out += "# a comment";
            out += lineEnd;
        }
        for (unsigned lines = 1 + gen() % 5; lines > 0; --lines) {
            for (unsigned n = 20 + gen() % 60; n > 0; --n)
                out += static_cast<char>(gen() % 7 == 0 ? ' ' : 'a' + gen() % 26);
            out += lineEnd;
        }
        out += '%';
        out += lineEnd;
    }
    return out;
}

// A file written once per program run, removed at exit.
class BenchFile {
public:
    BenchFile(std::string_view name, std::string_view bytes) {
        m_folder = bench::freshFolder();
        m_path = m_folder + "/" + std::string(name);
        std::ofstream(m_path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~BenchFile() { std::filesystem::remove_all(m_folder); }
    const std::string& path() const { return m_path; }
    std::string sibling(std::string_view name) const { return m_folder + "/" + std::string(name); }

private:
    std::string m_folder;
    std::string m_path;
};

const std::string& source10MB() {
    static const std::string s = makeSource(10u << 20, "\n");
    return s;
}

const BenchFile& file10MB() {
    static const BenchFile f("footer.txt", source10MB());
    return f;
}

const BenchFile& file2_5MB() {
    static const BenchFile f("fortunes.txt", makeSource(2'500'000, "\n"));
    return f;
}

void report(benchmark::State& state, std::size_t bytes, std::size_t entries) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["entries"] = static_cast<double>(entries);
}

// Argument 0: LF line ends; 1: CR LF.
void BM_SplitEntries10MB(benchmark::State& state) {
    static const std::string crlf = makeSource(10u << 20, "\r\n");
    const std::string& bytes = state.range(0) == 0 ? source10MB() : crlf;
    std::size_t n = 0;
    for (auto _ : state) {
        EntryList list(bytes, "%");
        n = list.count();
        benchmark::DoNotOptimize(&list);
    }
    report(state, bytes.size(), n);
}
BENCHMARK(BM_SplitEntries10MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadEntryFile10MB(benchmark::State& state) {
    const BenchFile& file = file10MB();
    EntryList list;
    for (auto _ : state) {
        if (!loadEntryFile(file.path(), "%", list).ok())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(&list);
    }
    report(state, source10MB().size(), list.count());
}
BENCHMARK(BM_LoadEntryFile10MB)->Unit(benchmark::kMillisecond);

// The process's peak resident memory so far, in MB (Linux; 0 elsewhere).
double peakMB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// The window's way: a 200 MB header loaded piece by piece, of one line (argument 0) or
// of 100 million empty entries, "%" lines (1), and a signature written from it. Run one alone
// (--benchmark_filter=Header200MB/1) for a meaningful peak: `peak_MB` is the process's
// high water mark, which should stay near the file's size plus the program's own;
// `longest_piece_ms` is the longest the window would wait for its events.
void BM_LoadHeader200MB(benchmark::State& state) {
    const bool percents = state.range(0) == 1;
    const BenchFile file(percents ? "percents.txt" : "header.txt", "");
    // Written a megabyte at a time, so that making it adds nothing to the peak.
    {
        std::ofstream out(file.path(), std::ios::binary);
        std::string megabyte(1u << 20, 'h');
        if (percents)
            for (std::size_t i = 0; i < megabyte.size(); i += 2)
                megabyte.replace(i, 2, "%\n");
        for (int i = 0; i < 200; ++i)
            out.write(megabyte.data(), static_cast<std::streamsize>(megabyte.size()));
        if (!percents)
            out << '\n';
        if (!out.good())
            state.SkipWithError("could not write the file");
    }
    double longestMs = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        EntryFileLoader loader(file.path(), "%");
        const Result<bool> opened = loader.open();
        if (!opened || !*opened)
            state.SkipWithError("open failed");
        for (bool more = true; more;) {
            const auto start = std::chrono::steady_clock::now();
            const Result<bool> piece = loader.readPiece();
            longestMs = std::max(
                longestMs,
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (!piece) {
                state.SkipWithError("read failed");
                break;
            }
            more = *piece;
        }
        // Then one signature, as the window writes it.
        SignatureState sig;
        sig.headers = loader.takeList();
        sig.sigFile = file.sibling("sig.txt");
        count = sig.headers.count();
        ClockSeededRandom random(3);
        if (!updateSignature(sig, random).write.ok())
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (200u << 20)));
    state.counters["entries"] = static_cast<double>(count);
    state.counters["peak_MB"] = peakMB();
    state.counters["longest_piece_ms"] = longestMs;
}
BENCHMARK(BM_LoadHeader200MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The command-line tool's way: count, then read up to the entry drawn.
void pickFromFile(benchmark::State& state, const BenchFile& file) {
    ClockSeededRandom random(1);
    FilePick pick;
    for (auto _ : state) {
        pick = pickEntryFromFile(file.path(), "%", {""}, random);
        if (!pick.read.ok())
            state.SkipWithError("pick failed");
        benchmark::DoNotOptimize(pick.entry.text.data());
    }
    report(state, static_cast<std::size_t>(std::filesystem::file_size(file.path())), pick.entry.count);
}

void BM_PickEntryFromFile10MB(benchmark::State& state) {
    pickFromFile(state, file10MB());
}
BENCHMARK(BM_PickEntryFromFile10MB)->Unit(benchmark::kMillisecond);

void BM_PickEntryFromFile2_5MB(benchmark::State& state) {
    pickFromFile(state, file2_5MB());
}
BENCHMARK(BM_PickEntryFromFile2_5MB)->Unit(benchmark::kMillisecond);

void BM_ComposeSignature(benchmark::State& state) {
    const std::string header = "Jane Doe\nExample Ltd\nhttps://example.org";
    const std::string footer = "A tall, dark stranger will have more fun than you.";
    for (auto _ : state)
        benchmark::DoNotOptimize(composeSignature(header, footer, true));
}
BENCHMARK(BM_ComposeSignature);

void BM_UpdateSignatureWritingTheFile(benchmark::State& state) {
    const BenchFile& file = file10MB();
    SignatureState sig;
    sig.headers = {"Jane Doe\nExample Ltd"};
    sig.footers = EntryList(source10MB(), "%");
    sig.sigFile = file.sibling("sig.txt");
    ClockSeededRandom random(2);
    for (auto _ : state) {
        SignatureUpdate u = updateSignature(sig, random);
        if (!u.write.ok())
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_UpdateSignatureWritingTheFile)->Unit(benchmark::kMicrosecond);

} // namespace
