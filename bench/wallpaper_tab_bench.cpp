// The Wallpaper tab on the offscreen platform: a random change of a 24-megapixel JPEG on a
// 1920 x 1080 screen, from the click until the desktop's setter is called; a list of
// 100,000 pictures loaded into the list box with its count label; and a list file of 16
// million one-character lines, the shape that costs the most memory an entry (run it alone
// under /usr/bin/time -v for the peak).

#include "platform/error_handler.h"
#include "platform/wallpaper_setter.h"
#include "settings/settings.h"
#include "signature/random.h"
#include "ui/prompter.h"
#include "wallpaper/wallpaper_tab.h"

#include "bench_support.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using namespace quillmark;
using Clock = std::chrono::steady_clock;

class TimingSetter final : public WallpaperSetter {
public:
    Clock::time_point calledAt;
    Status setWallpaper(const std::string&, const QImage&) override {
        calledAt = Clock::now();
        return {};
    }
};

class NoPrompter final : public Prompter {
public:
    int messages = 0;
    Answer message(QWidget*, const QString&, const QString&, Icon, Buttons) override {
        ++messages;
        return Answer::Ok;
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QStringList openFiles(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
};

void BM_RandomChange24MegapixelJpeg(benchmark::State& state) {
    const std::string folder = bench::freshFolder();
    setErrorLogPath(folder + "/errorlog.dat");
    {
        QImage photo(6000, 4000, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient gradient(0, 0, 6000, 4000);
        gradient.setColorAt(0, Qt::darkBlue);
        gradient.setColorAt(1, Qt::yellow);
        painter.fillRect(photo.rect(), gradient);
        painter.end();
        photo.save(QString::fromStdString(folder + "/photo.jpg"), "jpg", 90);
    }
    std::ofstream(folder + "/wallpaper.lst") << folder << "/photo.jpg\n";
    Settings settings(folder + "/Quillmark.INI");
    NoPrompter prompter;
    ClockSeededRandom random(1);
    TimingSetter setter;
    WallpaperTab tab(prompter, random);
    tab.setProgramFolder(folder);
    tab.setWallpaperSetter(&setter);
    tab.setScreenSize([] { return QSize(1920, 1080); });
    tab.loadSettings(settings);
    tab.loadWallpaperList();
    for (auto _ : state) {
        const auto start = Clock::now();
        tab.onChangeWallpaperClicked();
        state.SetIterationTime(std::chrono::duration<double>(setter.calledAt - start).count());
    }
    if (prompter.messages != 0)
        state.SkipWithError("the change reported a failure");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RandomChange24MegapixelJpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TabLoads100000Entries(benchmark::State& state) {
    const std::string folder = bench::freshFolder();
    {
        std::ofstream list(folder + "/wallpaper.lst", std::ios::binary);
        for (int i = 0; i < 100000; ++i)
            list << "/home/someone/Pictures/Holidays 2024/IMG_" << 100000 + i << ".jpg\r\n";
    }
    NoPrompter prompter;
    ClockSeededRandom random(1);
    bool countRight = true;
    // Start-up loads the list once into an empty list box: a fresh tab each round.
    for (auto _ : state) {
        state.PauseTiming();
        auto tab = std::make_unique<WallpaperTab>(prompter, random);
        tab->setProgramFolder(folder);
        state.ResumeTiming();
        tab->loadWallpaperList();
        state.PauseTiming();
        countRight = countRight && tab->findChild<QLabel*>(QStringLiteral("lblWallpaperCount"))->text() ==
                                       QStringLiteral("100000 wallpaper files");
        tab.reset();
        state.ResumeTiming();
    }
    if (!countRight)
        state.SkipWithError("the count label is wrong");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TabLoads100000Entries)->Unit(benchmark::kMillisecond);

void BM_TabLoadsShortLines(benchmark::State& state) {
    const std::string folder = bench::freshFolder();
    const auto lines = static_cast<std::size_t>(state.range(0));
    {
        std::string bytes(lines * 2, '\n');
        for (std::size_t i = 0; i < lines; ++i)
            bytes[2 * i] = static_cast<char>('a' + i % 26);
        std::ofstream(folder + "/wallpaper.lst", std::ios::binary) << bytes;
    }
    NoPrompter prompter;
    ClockSeededRandom random(1);
    const QString expected = QStringLiteral("%1 wallpaper files").arg(lines);
    bool countRight = true;
    for (auto _ : state) {
        WallpaperTab tab(prompter, random);
        tab.setProgramFolder(folder);
        tab.loadWallpaperList();
        // Shown, so that the list lays its rows out as the user will see them.
        tab.show();
        QApplication::processEvents();
        countRight =
            countRight && tab.findChild<QLabel*>(QStringLiteral("lblWallpaperCount"))->text() == expected;
    }
    if (!countRight)
        state.SkipWithError("the count label is wrong");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TabLoadsShortLines)->Arg(16'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
