#include "app/preferences_tab.h"
#include "support/ui_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

namespace quillmark {
namespace {

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
    template <typename T> T* control(const char* name) {
        T* found = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Types into a box and leaves it.
    void typeAndLeave(const char* name, const std::string& text) {
        auto* box = control<QLineEdit>(name);
        box->clear();
        QTest::keyClicks(box, QString::fromStdString(text));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &leave);
    }
    std::string storedSigPath() { return settings.readIniPlain("Paths", "Default Sig Path"); }

    PreferencesTab tab{settings, prompter};
};

TEST_F(PreferencesTabTest, BrowseStartsAtTheShownFolderAndTakesOnlyAnExistingChoice) {
    QSignalSpy accepted(&tab, &PreferencesTab::sigPathAccepted);
    auto* browse = control<QPushButton>("cmdBrowseSigPathDir");
    prompter.paths = {QString(), QString::fromStdString(dir.file("gone")),
                      QString::fromStdString(dir.file("sigs b"))};
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(browse, Qt::LeftButton);
    ASSERT_EQ(prompter.calls.size(), 3u);
    EXPECT_EQ(prompter.calls[0].kind, QStringLiteral("chooseFolder"));
    EXPECT_EQ(prompter.calls[0].path, QString::fromStdString(dir.file("sigs a")));
    EXPECT_EQ(control<QLineEdit>("txtSigPath")->text(), QString::fromStdString(dir.file("sigs b")));
    EXPECT_EQ(storedSigPath(), dir.file("sigs b"));
    EXPECT_EQ(tab.sigPath(), dir.file("sigs b"));
    ASSERT_EQ(accepted.count(), 1);

    // A box naming no folder starts the dialog in the program's own.
    control<QLineEdit>("txtSigPath")->setText(QStringLiteral("/no/such/folder"));
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(dir.path() + "/data/Quillmark/Sigs"));
    EXPECT_EQ(storedSigPath(), dir.file("sigs b"));
}

TEST_F(PreferencesTabTest, LeavingTheFolderBoxAcceptsTheFolderItsParentOrNothing) {
    const struct {
        std::string typed;
        std::string shown;
        std::string stored;
    } cases[] = {
        {dir.file("sigs b/"), dir.file("sigs b/"), dir.file("sigs b")},
        {dir.file("sigs a/new folder"), dir.file("sigs a"), dir.file("sigs a")},
        {dir.file("missing/deeper"), dir.file("sigs a"), dir.file("sigs a")},
    };
    for (const auto& c : cases) {
        typeAndLeave("txtSigPath", c.typed);
        EXPECT_EQ(control<QLineEdit>("txtSigPath")->text().toStdString(), c.shown) << c.typed;
        EXPECT_EQ(storedSigPath(), c.stored) << c.typed;
        EXPECT_EQ(tab.sigPath(), c.stored) << c.typed;
    }
}

TEST_F(PreferencesTabTest, AnEmptySeparatorBecomesPercentAndEditsAreAnnounced) {
    auto* box = control<QLineEdit>("txtSeparator");
    // "%" comes back only when the focus moves to another control, not while a message box,
    // a menu or another program has it for a moment.
    const struct {
        Qt::FocusReason how;
        QString shown;
    } leaving[] = {{Qt::TabFocusReason, QStringLiteral("%")},
                   {Qt::MouseFocusReason, QStringLiteral("%")},
                   {Qt::ActiveWindowFocusReason, QString()},
                   {Qt::PopupFocusReason, QString()}};
    for (const auto& l : leaving) {
        SCOPED_TRACE(l.how);
        box->setText(QStringLiteral("%"));
        QSignalSpy changed(&tab, &PreferencesTab::separatorChanged);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QFocusEvent leave(QEvent::FocusOut, l.how);
        QCoreApplication::sendEvent(box, &leave);
        EXPECT_EQ(box->text(), l.shown);
        EXPECT_EQ(changed.count(), 1) << "one edit, one notice; putting \"%\" back is none";
    }
    QSignalSpy changed(&tab, &PreferencesTab::separatorChanged);
    typeAndLeave("txtSeparator", "#");
    EXPECT_EQ(changed.count(), 1);
    // The separator in use changes only at the next start.
    EXPECT_EQ(tab.separator(), "%");
    tab.saveSettings(settings);
    EXPECT_EQ(settings.readIniPlain("SETTINGS", "SIG SEPARATOR CHARACTER"), "#");
}

} // namespace
} // namespace quillmark
