#include "wallpaper/wallpaper_tab.h"

#include "platform/wallpaper_setter.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "support/scoped_env.h"
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

namespace quillmark {
namespace {

const QRgb kRed = qRgb(220, 20, 30);

TEST(WallpaperRender, EveryFormatKeepsItsColoursWhenScaled) {
    test::TempFolder dir;
    const auto path = [&](const char* name) {
        return QString::fromStdString(dir.file(name));
    };
    QImage red(2000, 1000, QImage::Format_RGB32);
    red.fill(kRed);
    ASSERT_TRUE(red.convertToFormat(QImage::Format_Mono, {kRed, qRgb(0, 0, 255)}).save(path("1.png")));
    // A picture with an alpha channel: the desktop gets no transparent pixels.
    ASSERT_TRUE(red.convertToFormat(QImage::Format_ARGB32).save(path("alpha.png")));
    const std::pair<const char*, int> cases[] = {{"1.png", 1}, {"alpha.png", 32}};
    for (const auto& [name, bits] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(readPictureInfo(path(name))->bitsPerPixel, bits);
        const QImage shown = renderWallpaper(*loadPicture(path(name), QSize(300, 150)), {300, 150});
        EXPECT_EQ(shown.pixel(151, 50), kRed);
        EXPECT_FALSE(shown.hasAlphaChannel());
    }
}

TEST(DesktopSetter, EachDesktopGetsItsToolAndEveryFailureItsReason) {
    test::TempFolder dir;
    const test::ScopedEnv noSession("XDG_SESSION_DESKTOP", {}), noDesktop("DESKTOP_SESSION", {}),
        noType("XDG_SESSION_TYPE", {}), noDisplay("DISPLAY", {});
    // Stand-in tools on PATH log their arguments, then fail or hang; WAYLAND_DISPLAY is set for each
    // desktop (none: no session at all). Checked: the last call logged, or the error message's start.
    const std::tuple<std::optional<std::string>, std::string, std::string, std::string> cases[] = {
        // GNOME's "none" would show no picture: the setter reads it first.
        {"ubuntu:GNOME", "gsettings", "[ \"$1\" = get ] && echo \"'none'\"",
         "gsettings set org.gnome.desktop.background picture-options centered"},
        {"XFCE", "xfconf-query",
         "[ \"$3\" = -l ] && printf '/backdrop/0/last-image\\n/backdrop/1/last-image'",
         "xfconf-query -c xfce4-desktop -p /backdrop/1/last-image -s /q/W 1.png"},
        {"LXQt", "pcmanfm-qt", "echo 'no desktop' >&2; exit 3",
         "pcmanfm-qt failed with exit status 3: no desktop"},
        {"LXQt", "pcmanfm-qt", "exec /bin/sleep 30", "pcmanfm-qt did not finish within 1.5 seconds"},
        {{}, "", "", "There is no desktop session to set the wallpaper on"},
    };
    int row = 0;
    for (const auto& [desktop, tool, body, result] : cases) {
        SCOPED_TRACE(result);
        const std::string bin = dir.file(std::to_string(++row)), log = bin + "/calls.log";
        std::filesystem::create_directory(bin);
        if (!tool.empty()) {
            test::spit(bin + "/" + tool,
                       "#!/bin/sh\necho \"" + tool + " $*\" >> '" + log + "'\n" + body + "\nexit 0\n");
            std::filesystem::permissions(bin + "/" + tool, std::filesystem::perms::owner_all);
        }
        const test::ScopedEnv path("PATH", bin), session("XDG_CURRENT_DESKTOP", desktop),
            wayland("WAYLAND_DISPLAY", desktop ? "wayland-1" : desktop);
        const Status set = DesktopWallpaperSetter(std::chrono::milliseconds(1500))
                               .setWallpaper("/q/W 1.png", QImage(4, 4, QImage::Format_RGB32));
        const std::string got = set ? test::slurp(log) : set.message().substr(0, result.size());
        EXPECT_NE(got.find(result), std::string::npos) << got;
    }
}

struct FakeSetter final : WallpaperSetter {
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
    }
    std::string picture(const char* name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(kRed);
        EXPECT_TRUE(image.save(QString::fromStdString(dir.file(name)), "png"));
        return dir.file(name);
    }
    void click(const char* button) {
        QTest::mouseClick(test::control<QPushButton>(tab, QString::fromLatin1(button)), Qt::LeftButton);
    }
    void add(const std::vector<std::string>& paths) {
        prompter.pathLists.emplace_back();
        for (const auto& p : paths)
            prompter.pathLists.back() << QString::fromStdString(p);
        click("cmdBrowseWallpaper");
    }
    QListView& list() { return *test::control<QListView>(tab, QStringLiteral("lstWallpaper")); }

    std::string programFolder = dir.file("Quillmark"), listFile = programFolder + "/wallpaper.lst";
    std::string wallpaper1 = programFolder + "/QuillmarkWallpaper.png";
    std::string wallpaper2 = programFolder + "/QuillmarkWallpaper2.png";
    FakeSetter setter;
    WallpaperTab tab{prompter, random};
};

TEST_F(WallpaperTabTest, ListChangesAreSavedAtOnceAndRemovalSelectsTheNextEntry) {
    writeText(settings, keys::kLastDirectory, dir.path());
    add({"/p/a", "/p/b", "/p/c"});
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(dir.path()));
    EXPECT_EQ(readText(settings, keys::kLastDirectory), "/p");
    list().selectionModel()->select(list().model()->index(1, 0), QItemSelectionModel::Select);
    click("cmdDeleteWallpaperItems");
    EXPECT_EQ(test::slurp(listFile), "/p/a\n/p/c\n");
    EXPECT_EQ(list().currentIndex().data().toString(), QStringLiteral("/p/c"));
}

TEST_F(WallpaperTabTest, TheListFileIsRewrittenOnlyByAChangeAndNeverWhenItCouldNotBeRead) {
    const std::string damaged("/p/a.jpg\n\n/p/\0b.jpg\r/p/c.jpg", 28);
    test::spit(listFile, damaged);
    tab.loadWallpaperList();
    tab.saveWallpaperList();
    EXPECT_EQ(test::slurp(listFile), damaged);
}

TEST_F(WallpaperTabTest, ChangeRendersTheFittedPictureAsTickedAndAFailureKeepsTheShownOne) {
    add({dir.file("gone.png"), picture("wide.png", 2000, 1000)});
    click("cmdChangeWallpaper"); // the random pick passes over a picture that is gone
    ASSERT_EQ(setter.paths, std::vector<std::string>{wallpaper1});
    EXPECT_EQ(QImageReader(QString::fromStdString(wallpaper1)).size(), QSize(1024, 512));

    // Stretch is used as ticked, before any save of the settings; the older file goes.
    add({picture("small.png", 800, 600)});
    test::control<QCheckBox>(tab, QStringLiteral("chkStretchWallpaper"))->setChecked(true);
    click("cmdSelectWallpaper");
    prompter.expectMessage(QStringLiteral("Please select some wallpaper to decorate with."));
    list().setCurrentIndex(list().model()->index(2, 0));
    click("cmdSelectWallpaper");
    ASSERT_EQ(setter.paths.back(), wallpaper2);
    EXPECT_EQ(QImageReader(QString::fromStdString(wallpaper2)).size(), QSize(1024, 768));
    EXPECT_FALSE(std::filesystem::exists(wallpaper1));

    setter.failure = Error{ErrorCode::Other, "gsettings did not finish within 5 seconds"};
    click("cmdSelectWallpaper");
    prompter.expectMessage(
        QStringLiteral("Error changing wallpaper\n\ngsettings did not finish within 5 seconds"));
    EXPECT_TRUE(std::filesystem::exists(wallpaper2));
    EXPECT_FALSE(std::filesystem::exists(wallpaper1));
}

TEST_F(WallpaperTabTest, TimedChangeFollowsTheIntervalInMinutes) {
    auto* box = test::control<QLineEdit>(tab, QStringLiteral("txtIntervalWallpaper"));
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("30"));
    EXPECT_EQ(tab.findChild<QTimer*>(QStringLiteral("tmrWallpaper"))->interval(), 30 * 60 * 1000);
    tab.saveSettings(settings);
    EXPECT_EQ(readText(settings, keys::kWallpaperInterval), "30");
}

} // namespace
} // namespace quillmark
