// The signature editor on a 10 MB file: opening it (read, line ends, decoding, the first
// part in the text box and the window shown) must stay under half a second, and a keystroke must cost about
// the same as in a small file, since typing does no work over the whole text.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_editor

#include "editor/editor_window.h"
#include "ui/prompter.h"

#include "bench_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Answers "No" to the close question, so the benchmark never blocks on a dialog.
class SilentPrompter final : public quillmark::Prompter {
public:
    Answer message(QWidget*, const QString&, const QString&, Icon, Buttons) override { return Answer::No; }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
};

std::string writeSample(const std::string& folder, std::size_t bytes) {
    const std::string path = folder + "/sample.txt";
    std::ofstream out(path, std::ios::binary);
    const std::string line =
        "The quick brown fox jumps over the lazy dog; caf\xC3\xA9 \xE2\x82\xAC 0123456789.\r\n";
    for (std::size_t written = 0; written < bytes; written += line.size())
        out << line;
    return path;
}

void BM_EditorOpen(benchmark::State& state) {
    const std::string folder = quillmark::bench::freshFolder();
    const std::string path = writeSample(folder, static_cast<std::size_t>(state.range(0)));
    SilentPrompter prompter;
    for (auto _ : state) {
        auto* editor = new quillmark::EditorWindow(prompter);
        if (!editor->openFile(path).ok())
            state.SkipWithError("open failed");
        editor->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        delete editor;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_EditorOpen)->Arg(10 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond)->Iterations(5);

// Until the whole file is in the box and can be edited.
void BM_EditorOpenWhole(benchmark::State& state) {
    const std::string folder = quillmark::bench::freshFolder();
    const std::string path = writeSample(folder, static_cast<std::size_t>(state.range(0)));
    SilentPrompter prompter;
    for (auto _ : state) {
        auto* editor = new quillmark::EditorWindow(prompter);
        if (!editor->openFile(path).ok())
            state.SkipWithError("open failed");
        editor->show();
        while (editor->isLoading())
            QCoreApplication::processEvents();
        state.PauseTiming();
        delete editor;
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_EditorOpenWhole)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EditorKeystroke(benchmark::State& state) {
    const std::string folder = quillmark::bench::freshFolder();
    const std::string path = writeSample(folder, static_cast<std::size_t>(state.range(0)));
    SilentPrompter prompter;
    quillmark::EditorWindow editor(prompter);
    if (!editor.openFile(path).ok())
        state.SkipWithError("open failed");
    editor.show();
    while (editor.isLoading())
        QCoreApplication::processEvents();
    auto* text = editor.findChild<QPlainTextEdit*>(QStringLiteral("txtMain"));
    text->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(text, &press);
        QCoreApplication::sendEvent(text, &release);
        QCoreApplication::processEvents();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_EditorKeystroke)->Arg(10 * 1024)->Arg(10 * 1024 * 1024)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
