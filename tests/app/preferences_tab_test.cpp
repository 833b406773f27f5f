#include "app/preferences_tab.h"
#include "support/ui_fixture.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;

class PreferencesTabTest : public test::UiTest {
protected:
    PreferencesTabTest() {
        std::filesystem::create_directories(dir.file("sigs a"));
        std::filesystem::create_directories(dir.file("sigs b"));
        settings.writeIni("Paths", "Default Sig Path", dir.file("sigs a"));
        tab.loadSigPath();
        tab.loadSettings(settings);
        tab.show();
    }
    QLineEdit* box(const char* name) { return test::control<QLineEdit>(tab, name); }
    void leave(QLineEdit* box, Qt::FocusReason how = Qt::TabFocusReason) {
        QFocusEvent event(QEvent::FocusOut, how);
        QCoreApplication::sendEvent(box, &event);
    }
    std::string storedSigPath() { return settings.readIniPlain("Paths", "Default Sig Path"); }

    PreferencesTab tab{settings, prompter};
};

TEST_F(PreferencesTabTest, BrowseStartsAtTheShownFolderAndTakesOnlyAnExistingChoice) {
    auto* browse = test::control<QPushButton>(tab, "cmdBrowseSigPathDir");
    prompter.paths = {QString(), QString::fromStdString(dir.file("gone")),
                      QString::fromStdString(dir.file("sigs b"))};
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(prompter.calls.at(0).path, QString::fromStdString(dir.file("sigs a")));
    EXPECT_EQ(box("txtSigPath")->text().toStdString(), dir.file("sigs b"));
    EXPECT_EQ(storedSigPath(), dir.file("sigs b"));
}

TEST_F(PreferencesTabTest, LeavingTheFolderBoxAcceptsTheFolderItsParentOrNothing) {
    const struct {
        std::string typed, shown, stored;
    } cases[] = {
        {dir.file("sigs b/"), dir.file("sigs b/"), dir.file("sigs b")},
        {dir.file("sigs a/new folder"), dir.file("sigs a"), dir.file("sigs a")},
        {dir.file("missing/deeper"), dir.file("sigs a"), dir.file("sigs a")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        box("txtSigPath")->setText(QString::fromStdString(c.typed));
        leave(box("txtSigPath"));
        EXPECT_EQ(box("txtSigPath")->text().toStdString(), c.shown);
        EXPECT_EQ(storedSigPath(), c.stored);
        EXPECT_EQ(tab.sigPath(), c.stored);
    }
}

TEST_F(PreferencesTabTest, AnEmptySeparatorBecomesPercentAndEditsAreAnnounced) {
    auto* separator = box("txtSeparator");
    QSignalSpy changed(&tab, &PreferencesTab::separatorChanged);
    QTest::keyClick(separator, Qt::Key_End);
    QTest::keyClick(separator, Qt::Key_Backspace);
    leave(separator, Qt::MouseFocusReason);
    EXPECT_EQ(separator->text(), u"%"_s);
    EXPECT_EQ(changed.count(), 1) << "one edit, one notice; putting \"%\" back is none";
}

} // namespace
} // namespace quillmark
