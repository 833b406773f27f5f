// The tray window offscreen: no tray exists there, so the menu is driven directly.
#include "support/ui_fixture.h"
#include "tray/splash_window.h"

#include <QAction>
#include <QMainWindow>
#include <QSignalSpy>
#include <QSystemTrayIcon>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;

class SplashWindowTest : public ::testing::Test {
protected:
    SplashWindowTest() { test::isolateHome(dir.path()); }
    QAction* item(int index) { return splash.findChildren<QAction*>(u"mnuProfile"_s)[index]; }
    test::TempFolder dir;
    QMainWindow main;
    SplashWindow splash{&main, false};
};

TEST_F(SplashWindowTest, ProfileItemsFollowTheListAndOnlyTheProgramMovesTheCheckMark) {
    splash.addProfileItem(1, u"Work"_s);
    splash.addProfileItem(2, u"Home"_s);
    splash.setProfileItemChecked(1, true);
    QSignalSpy chosen(&splash, &SplashWindow::profileChosen);
    item(2)->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), u"Home"_s);
    // The mark moves once the profile really is current, not at the click.
    EXPECT_TRUE(item(1)->isChecked());
    EXPECT_FALSE(item(2)->isChecked());
    // A rebuilt list replaces the old names and keeps the hidden template.
    splash.removeProfileItems();
    splash.addProfileItem(1, u"Club"_s);
    ASSERT_EQ(splash.profileItemCount(), 2);
    EXPECT_EQ(item(1)->text(), u"Club"_s);
    EXPECT_FALSE(item(0)->isVisible());
}

TEST_F(SplashWindowTest, AClickOnTheIconBringsBackTheWindowARightClickDoesNot) {
    const std::pair<QSystemTrayIcon::ActivationReason, bool> cases[] = {{QSystemTrayIcon::DoubleClick, true},
                                                                        {QSystemTrayIcon::Context, false}};
    for (const auto& [reason, shown] : cases) {
        SCOPED_TRACE(reason);
        main.showMinimized();
        main.hide();
        emit splash.trayIcon()->activated(reason);
        EXPECT_EQ(main.isVisible(), shown);
        EXPECT_EQ(main.isMinimized(), !shown);
    }
}

} // namespace
} // namespace quillmark
