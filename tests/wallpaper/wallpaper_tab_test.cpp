#include "wallpaper/wallpaper_tab.h"

#include "platform/wallpaper_setter.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "support/ui_fixture.h"
#include "wallpaper/wallpaper_render.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::control;
using test::slurp;
const QRgb kRed = qRgb(220, 20, 30);

// Pictures of few colours once came out as noise when scaled; every format
// keeps its colours, in the preview's size and the screen's.
TEST(WallpaperRender, EveryFormatKeepsItsColoursWhenScaled) {
    test::TempFolder dir;
    const auto path = [&](const char* name) {
        return QString::fromStdString(dir.file(name));
    };
    QImage mono(2000, 1000, QImage::Format_Mono), indexed(2000, 1000, QImage::Format_Indexed8);
    QImage grey(2000, 1000, QImage::Format_Grayscale8), deep(2000, 1000, QImage::Format_RGBX64);
    for (QImage* palette : {&mono, &indexed}) {
        palette->setColorTable({kRed, qRgb(0, 0, 255)});
        palette->fill(0);
    }
    grey.fill(100);
    deep.fill(kRed);
    ASSERT_TRUE(mono.save(path("1.png")) && indexed.save(path("8.png")) && grey.save(path("grey.png")) &&
                deep.save(path("deep.png")));
    // A 1 x 1 red GIF; Qt writes no GIF.
    test::spit(dir.file("dot.gif"), std::string("GIF89a\1\0\1\0\x80\0\0\xdc\x14\x1e\xff\xff\xff,"
                                                "\0\0\0\0\1\0\1\0\0\2\2D\1\0;",
                                                35));
    // Grey PNGs of 2 and 4 bits a pixel, which Qt does not write: their header
    // only.
    const std::pair<const char*, const char*> headers[] = {{"2.png", "\x02\0\0\0\0\xe9\x85\x22\xd7"},
                                                           {"4.png", "\x04\0\0\0\0\x66\xc5\xd7\x77"}};
    for (const auto& [name, depthAndCrc] : headers)
        test::spit(dir.file(name), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x07\xd0\0\0\x03\xe8", 24) +
                                       std::string(depthAndCrc, 9) + std::string("\0\0\0\0IDAT", 8));
    const struct {
        const char* name;
        int bits;
        QRgb colour; // 0: a header only
    } cases[] = {{"1.png", 1, kRed},
                 {"2.png", 2, 0},
                 {"4.png", 4, 0},
                 {"8.png", 8, kRed},
                 {"grey.png", 8, qRgb(100, 100, 100)},
                 {"deep.png", 64, kRed},
                 {"dot.gif", 8, kRed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readPictureInfo(path(c.name))->bitsPerPixel, c.bits);
        if (c.colour == 0)
            continue;
        for (const QSize size : {QSize(300, 150), QSize(1024, 512)}) {
            const QImage shown =
                renderWallpaper(*loadPicture(path(c.name), size), {size.width(), size.height()});
            for (const QPoint at : {QPoint(0, 0), QPoint(size.width() / 2 + 1, size.height() / 3)})
                EXPECT_EQ(shown.pixel(at), c.colour);
        }
    }
    test::spit(dir.file("text.jpg"), "hello\n");
    EXPECT_EQ(readPictureInfo(path("text.jpg")).message(), "Not a valid image file");
}

class FakeSetter final : public WallpaperSetter {
public:
    std::vector<std::string> paths;
    std::optional<Error> failure;
    Status setWallpaper(const std::string& imagePath, const QImage&) override {
        paths.push_back(imagePath);
        return failure ? Status(*failure) : Status();
    }
};

class WallpaperTabTest : public test::UiTest {
protected:
    WallpaperTabTest() {
        std::filesystem::create_directory(programFolder);
        tab.setProgramFolder(programFolder);
        tab.setWallpaperSetter(&setter);
        tab.setScreenSize([] { return QSize(1024, 768); });
        tab.show();
        tab.loadSettings(settings);
        tab.loadWallpaperList();
    }
    std::string picture(const char* name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(kRed);
        EXPECT_TRUE(image.save(QString::fromStdString(dir.file(name)), "png"));
        return dir.file(name);
    }
    void click(const char* button) {
        QTest::mouseClick(control<QPushButton>(tab, QString::fromLatin1(button)), Qt::LeftButton);
    }
    void add(const std::vector<std::string>& paths) {
        prompter.pathLists.emplace_back();
        for (const auto& p : paths)
            prompter.pathLists.back() << QString::fromStdString(p);
        click("cmdBrowseWallpaper");
    }
    QListView& list() { return *control<QListView>(tab, QStringLiteral("lstWallpaper")); }

    std::string programFolder = dir.file("Quillmark"), listFile = programFolder + "/wallpaper.lst";
    std::string wallpaper1 = programFolder + "/QuillmarkWallpaper.png";
    std::string wallpaper2 = programFolder + "/QuillmarkWallpaper2.png";
    FakeSetter setter;
    WallpaperTab tab{prompter, random};
};

TEST_F(WallpaperTabTest, ListChangesAreSavedAtOnceAndRemovalSelectsTheNextEntry) {
    writeText(settings, keys::kLastDirectory, dir.path());
    add({"/p/a", "/p/b", "/p/c", "/p/d", "/p/e", "/p/f"});
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(dir.path()));
    EXPECT_EQ(readText(settings, keys::kLastDirectory), "/p");
    for (int row : {1, 3})
        list().selectionModel()->select(list().model()->index(row, 0), QItemSelectionModel::Select);
    click("cmdDeleteWallpaperItems");
    EXPECT_EQ(slurp(listFile), "/p/a\n/p/c\n/p/e\n/p/f\n");
    EXPECT_EQ(list().currentIndex().data().toString(), QStringLiteral("/p/e"));
}

TEST_F(WallpaperTabTest, TheListFileIsRewrittenOnlyByAChangeAndNeverWhenItCouldNotBeRead) {
    using namespace std::string_literals;
    const std::string damaged = "/p/a.jpg\n\n/p/\0b.jpg\r/p/c.jpg"s;
    test::spit(listFile, damaged);
    tab.loadWallpaperList();
    tab.saveWallpaperList();
    EXPECT_EQ(slurp(listFile), damaged);
    EXPECT_EQ(list().model()->rowCount(), 2);

    std::filesystem::remove(listFile);
    std::filesystem::create_directory(listFile);
    tab.loadWallpaperList();
    add({"/p/new.jpg"});
    EXPECT_TRUE(std::filesystem::is_directory(listFile));
    EXPECT_NE(slurp(dir.file("errorlog.dat")).find("not rewritten"), std::string::npos);
}

TEST_F(WallpaperTabTest, ChangeRendersTheFittedPictureWithTheBoxesAsTheyStand) {
    add({dir.file("gone.png"), picture("wide.png", 2000, 1000)});
    click("cmdChangeWallpaper"); // the random pick passes over a picture that is
                                 // gone
    ASSERT_EQ(setter.paths, std::vector<std::string>{wallpaper1});
    EXPECT_EQ(QImageReader(QString::fromStdString(wallpaper1)).size(), QSize(1024, 512));

    // Stretch is used as ticked, before any save of the settings; the older file
    // goes.
    add({picture("small.png", 800, 600)});
    control<QCheckBox>(tab, QStringLiteral("chkStretchWallpaper"))->setChecked(true);
    click("cmdSelectWallpaper");
    prompter.expectMessage(QStringLiteral("Please select some wallpaper to decorate with."),
                           QStringLiteral("No wallpaper selected"));
    list().setCurrentIndex(list().model()->index(2, 0));
    click("cmdSelectWallpaper");
    ASSERT_EQ(setter.paths.back(), wallpaper2);
    EXPECT_EQ(QImageReader(QString::fromStdString(wallpaper2)).size(), QSize(1024, 768));
    EXPECT_FALSE(std::filesystem::exists(wallpaper1));

    // None of the pictures there: a status line, no message box over a timed
    // change.
    std::filesystem::remove(dir.file("wide.png"));
    std::filesystem::remove(dir.file("small.png"));
    tab.onWallpaperTimer();
    EXPECT_EQ(setter.paths.size(), 2u);
    EXPECT_EQ(prompter.messages().size(), 1u);
}

TEST_F(WallpaperTabTest, FailuresAreReportedAndTheShownPictureStays) {
    add({picture("good.png", 300, 200)});
    click("cmdChangeWallpaper");
    setter.failure = Error{ErrorCode::Other, "gsettings did not finish within 5 seconds"};
    click("cmdChangeWallpaper");
    prompter.expectMessage(
        QStringLiteral("Error changing wallpaper\n\ngsettings did not finish within 5 seconds"));
    EXPECT_TRUE(std::filesystem::exists(wallpaper1));
    EXPECT_FALSE(std::filesystem::exists(wallpaper2));

    // A program folder that cannot be written; root writes into a read-only one,
    // not into a file.
    setter.failure.reset();
    if (::geteuid() == 0) {
        std::filesystem::remove_all(programFolder);
        test::spit(programFolder, "");
    }
    ::chmod(programFolder.c_str(), 0555);
    click("cmdChangeWallpaper");
    ::chmod(programFolder.c_str(), 0755);
    EXPECT_EQ(setter.paths.size(), 2u);
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_TRUE(prompter.messages()[1].text.startsWith(QStringLiteral("Error changing wallpaper\n\n")));
}

TEST_F(WallpaperTabTest, TimedChangeFollowsTheIntervalInMinutes) {
    auto* box = control<QLineEdit>(tab, QStringLiteral("txtIntervalWallpaper"));
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("30"));
    EXPECT_EQ(tab.findChild<QTimer*>(QStringLiteral("tmrWallpaper"))->interval(), 30 * 60 * 1000);
    tab.saveSettings(settings);
    EXPECT_EQ(readText(settings, keys::kWallpaperInterval), "30");
}

} // namespace
} // namespace quillmark
