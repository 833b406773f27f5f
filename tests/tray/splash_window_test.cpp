// The tray window offscreen: no tray exists there, so the menu is driven directly.
#include "support/temp_folder.h"
#include "tray/splash_window.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>
#include <string>

namespace quillmark {
namespace {

class SplashWindowTest : public ::testing::Test {
protected:
    SplashWindowTest() {
        test::isolateHome(dir.path());
        main.setWindowTitle(QStringLiteral("Quillmark - Work"));
    }
    test::TempFolder dir;
    QMainWindow main;
};

template <typename T = QAction> T* control(const SplashWindow& splash, const char* name) {
    return splash.findChild<T*>(QString::fromLatin1(name));
}

// What the user sees of a menu, one line per item: "-" for a separator, the caption with
// "(hidden)" for an item that is not shown, and the submenu's items indented.
QStringList describe(const QMenu* menu, const QString& indent = {}) {
    QStringList lines;
    for (const QAction* action : menu->actions()) {
        QString line = indent + (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!action->isVisible())
            line += QStringLiteral(" (hidden)");
        lines << line;
        if (action->menu())
            lines << describe(action->menu(), indent + QStringLiteral("  "));
    }
    return lines;
}

TEST_F(SplashWindowTest, TrayMenuHoldsTheCommandsInOrder) {
    SplashWindow splash(&main, false);
    const QStringList expected = {QStringLiteral("Profiles (hidden)"),
                                  QStringLiteral("Profile (hidden)"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Clipboard"),
                                  QStringLiteral("  &Encrypt Clipboard"),
                                  QStringLiteral("  &Decrypt Clipboard"),
                                  QStringLiteral("  &Copy Sig to Clipboard"),
                                  QStringLiteral("-"),
                                  QStringLiteral("&About Quillmark"),
                                  QStringLiteral("&Help"),
                                  QStringLiteral("-"),
                                  QStringLiteral("&MAIN SCREEN"),
                                  QStringLiteral("-"),
                                  QStringLiteral("&Next Sig"),
                                  QStringLiteral("&Exit")};
    EXPECT_EQ(describe(control<QMenu>(splash, "mPopupSys")), expected);
    EXPECT_EQ(splash.trayIcon()->contextMenu(), control<QMenu>(splash, "mPopupSys"));

    const std::pair<const char*, const char*> named[] = {{"mnuProfileTitle", "Profiles"},
                                                         {"mnuProfile", "Profile"},
                                                         {"mnuEncryptClipboard", "&Encrypt Clipboard"},
                                                         {"mnuDecryptClipboard", "&Decrypt Clipboard"},
                                                         {"mnuCopy", "&Copy Sig to Clipboard"},
                                                         {"mnuAbout", "&About Quillmark"},
                                                         {"mnuHelp", "&Help"},
                                                         {"mPopRestore", "&MAIN SCREEN"},
                                                         {"mnuNextSig", "&Next Sig"},
                                                         {"mPopExit", "&Exit"}};
    for (const auto& [name, caption] : named) {
        const auto* action = splash.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QString::fromLatin1(caption)) << name;
    }
    EXPECT_EQ(splash.findChild<QMenu*>(QStringLiteral("mnuClipboard"))->title(), QStringLiteral("Clipboard"));
}

TEST_F(SplashWindowTest, ProfileItemsFollowTheListAndCarryTheCheckMark) {
    SplashWindow splash(&main, false);
    ProfileMenu& menu = splash;
    EXPECT_EQ(menu.profileItemCount(), 1);
    menu.addProfileItem(1, QStringLiteral("Work"));
    menu.addProfileItem(2, QStringLiteral("Home"));
    menu.setProfileItemChecked(2, true);
    EXPECT_EQ(menu.profileItemCount(), 3);
    EXPECT_EQ(menu.profileItemCaption(0), QStringLiteral("Profile"));
    EXPECT_EQ(describe(control<QMenu>(splash, "mPopupSys")).mid(0, 5),
              (QStringList{QStringLiteral("Profiles (hidden)"), QStringLiteral("Profile (hidden)"),
                           QStringLiteral("Work"), QStringLiteral("Home"), QStringLiteral("-")}));
    EXPECT_FALSE(splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->isChecked());
    EXPECT_TRUE(splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[2]->isChecked());

    // A rebuilt list replaces the old names and keeps the template.
    menu.removeProfileItems();
    EXPECT_EQ(menu.profileItemCount(), 1);
    menu.addProfileItem(1, QStringLiteral("Club"));
    EXPECT_EQ(describe(control<QMenu>(splash, "mPopupSys")).mid(0, 4),
              (QStringList{QStringLiteral("Profiles (hidden)"), QStringLiteral("Profile (hidden)"),
                           QStringLiteral("Club"), QStringLiteral("-")}));
    EXPECT_EQ(menu.profileItemCaption(5), QString());
    EXPECT_FALSE(splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->isChecked());
}

TEST_F(SplashWindowTest, ChoosingAProfileAsksForItWithoutMovingTheCheckMark) {
    SplashWindow splash(&main, false);
    splash.addProfileItem(1, QStringLiteral("Work"));
    splash.addProfileItem(2, QStringLiteral("Home"));
    splash.setProfileItemChecked(1, true);
    QSignalSpy chosen(&splash, &SplashWindow::profileChosen);
    splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[2]->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("Home"));
    // Only the profile procedures move the mark, once the profile really is current.
    EXPECT_TRUE(splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[1]->isChecked());
    EXPECT_FALSE(splash.findChildren<QAction*>(QStringLiteral("mnuProfile"))[2]->isChecked());
}

TEST_F(SplashWindowTest, EachMenuCommandAsksForItsOwnAction) {
    SplashWindow splash(&main, false);
    QSignalSpy restore(&splash, &SplashWindow::restoreRequested);
    QSignalSpy next(&splash, &SplashWindow::nextSigRequested);
    QSignalSpy copy(&splash, &SplashWindow::copyRequested);
    QSignalSpy encrypt(&splash, &SplashWindow::encryptClipboardRequested);
    QSignalSpy decrypt(&splash, &SplashWindow::decryptClipboardRequested);
    QSignalSpy about(&splash, &SplashWindow::aboutRequested);
    QSignalSpy help(&splash, &SplashWindow::helpRequested);
    QSignalSpy exitSpy(&splash, &SplashWindow::exitRequested);
    const std::pair<const char*, QSignalSpy*> cases[] = {{"mPopRestore", &restore},
                                                         {"mnuNextSig", &next},
                                                         {"mnuCopy", &copy},
                                                         {"mnuEncryptClipboard", &encrypt},
                                                         {"mnuDecryptClipboard", &decrypt},
                                                         {"mnuAbout", &about},
                                                         {"mnuHelp", &help},
                                                         {"mPopExit", &exitSpy}};
    for (const auto& [name, spy] : cases) {
        control(splash, name)->trigger();
        for (const auto& other : cases) {
            EXPECT_EQ(other.second->count(), other.second == spy ? 1 : 0) << name;
            other.second->clear();
        }
    }
}

TEST_F(SplashWindowTest, MainScreenBringsBackAMinimisedWindow) {
    main.showMinimized();
    SplashWindow splash(&main, false);
    control(splash, "mPopRestore")->trigger();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.isMinimized());

    main.hide();
    emit splash.trayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(main.isVisible());
    main.hide();
    emit splash.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(main.isVisible());
    main.hide();
    emit splash.trayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(main.isVisible());
}

TEST_F(SplashWindowTest, SplashAppearsOnlyWhenAskedAndTheIconStays) {
    {
        SplashWindow splash(&main, false);
        EXPECT_FALSE(splash.isVisible());
        EXPECT_TRUE(splash.trayIcon()->isVisible());
        // The icon is kept, but offscreen no tray shows it: minimising must not hide the window.
        ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
        EXPECT_FALSE(splash.canHideToTray());
    }
    SplashWindow splash(&main, true);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.windowTitle(), QStringLiteral("Loading Quillmark..."));
    EXPECT_FALSE(control<QLabel>(splash, "imgSplash")->pixmap().isNull());
    EXPECT_FALSE(splash.windowIcon().isNull());
    EXPECT_EQ(splash.trayIcon()->toolTip(), QStringLiteral("Quillmark - Work"));
    const QRect screen = splash.screen()->geometry();
    EXPECT_NEAR(splash.frameGeometry().center().x(), screen.center().x(), 2);
    EXPECT_NEAR(splash.frameGeometry().center().y(), screen.center().y(), 2);

    const std::string version = "Version " + std::to_string(QUILLMARK_VERSION_MAJOR) + "." +
                                std::to_string(QUILLMARK_VERSION_MINOR) +
                                std::to_string(QUILLMARK_VERSION_PATCH);
    EXPECT_EQ(control<QLabel>(splash, "lblVersion")->text().toStdString(), version);

    splash.hideSplash();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(splash.trayIcon()->isVisible());
}

} // namespace
} // namespace quillmark
