#include "editor/editor_window.h"
#include "profiles/new_profile_dialog.h"
#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "signature/compose.h"
#include "support/ui_fixture.h"

#include <QtTest>
#include <QtWidgets>
#include <filesystem>

namespace quillmark {
namespace {

using test::control;

class ProfileCommandsTest : public test::UiTest {
protected:
    ProfileCommandsTest() {
        std::filesystem::create_directory(sigs);
        tab.setSigPath(sigs);
        tab.setProfileMenu(&menu);
        writeProfileSlot(settings, 1, {"Friends", sigs + "/h1.txt", sigs + "/f1.txt", sigs + "/s1.txt"});
        writeProfileSlot(settings, 3, {"Work", sigs + "/h3.txt", sigs + "/f3.txt", sigs + "/s3.txt"});
        tab.listProfiles();
        tab.buildProfileMenu();
    }
    QLineEdit* box(int i) { return control<QLineEdit>(tab, QStringLiteral("txtFile%1").arg(i)); }
    QComboBox* list() { return control<QComboBox>(tab, QStringLiteral("cmbProfile")); }
    void click(const QString& name) { QTest::mouseClick(control<QPushButton>(tab, name), Qt::LeftButton); }
    QString path(const std::string& name) { return QString::fromStdString(sigs + "/" + name); }

    // Types each name into the New Profile dialog and presses OK (Cancel for an empty name).
    void answerDialog(std::vector<QString> names) {
        QTimer::singleShot(0, &tab, [this, names] {
            auto* dialog = qobject_cast<NewProfileDialog*>(QApplication::activeModalWidget());
            for (const QString& name : names) {
                if (!dialog)
                    return;
                dialogs.push_back(dialog);
                control<QLineEdit>(*dialog, QStringLiteral("txtNewProfile"))->setText(name);
                QTest::mouseClick(control<QPushButton>(*dialog, name.isEmpty()
                                                                    ? QStringLiteral("cmdNewProfileCancel")
                                                                    : QStringLiteral("cmdNewProfileOK")),
                                  Qt::LeftButton);
                stayedOpen.push_back(dialog->isVisible());
            }
        });
        QTimer::singleShot(3000, &tab, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    }
    std::vector<EditorWindow*> openEditors() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<EditorWindow*> open;
        for (EditorWindow* e : tab.findChildren<EditorWindow*>())
            if (e->isVisible())
                open.push_back(e);
        return open;
    }

    std::string sigs = dir.file("Sigs");
    SignatureState state;
    DetachedProfileMenu menu;
    ProfilesTab tab{settings, state, prompter};
    std::vector<QWidget*> dialogs;
    std::vector<bool> stayedOpen;
};

// A selected name no slot holds (letter case counts) keeps the paths but is stored.
TEST_F(ProfileCommandsTest, ReadCorrectsTheNameAndEditsAreStoredInTheProfilesOwnSlot) {
    std::string name = "work";
    tab.readProfileSettings(name);
    EXPECT_EQ(name + tab.cmbProfileText(), "WorkWork");
    tab.selectProfile("Work");
    tab.selectProfile("friends");
    EXPECT_EQ(state.sigFile + settings.readIniPlain("User", "Last Profile"), sigs + "/s3.txtfriends");

    list()->setCurrentIndex(1); // Work, in slot 3 while slot 2 is free
    box(2)->setText(QStringLiteral("/elsewhere/sig.txt"));
    tab.onTabChanged(false);
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 3"), "/elsewhere/sig.txt");
    box(0)->setText(QStringLiteral("/elsewhere/header.txt"));
    list()->showPopup();
    EXPECT_EQ(settings.readIniPlain("Profiles", "Header File 3"), "/elsewhere/header.txt");
    EXPECT_EQ(settings.readIniPlain("Profiles", "Profile 2"), "");
}

// A taken or unstorable name is refused over the dialog, which stays open.
TEST_F(ProfileCommandsTest, NewProfileStartsOnTheBlankFileAndIsStoredOnLeavingTheTab) {
    const std::string before = test::slurp(ini);
    answerDialog({QString()});
    click(QStringLiteral("cmdAddProfile"));
    EXPECT_EQ(test::slurp(ini), before);
    answerDialog({QStringLiteral("FRIENDS"), QStringLiteral("   "), QStringLiteral("Family")});
    click(QStringLiteral("cmdAddProfile"));
    EXPECT_EQ(stayedOpen, (std::vector<bool>{false, true, true, false}));
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[1].window, dialogs[1]) << "the refusal comes up over the dialog";
    EXPECT_EQ(box(1)->text(), path("blank.txt"));
    EXPECT_EQ(menu.profileItemCaption(3), QStringLiteral("Family"));
    tab.onTabChanged(false);
    EXPECT_EQ(settings.readIniPlain("Profiles", "Header File 2"), sigs + "/blank.txt");
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Family");
}

TEST_F(ProfileCommandsTest, DeleteAsksThenFreesTheSlotAndAnEmptyListAsksForAFirstProfile) {
    list()->setCurrentIndex(1); // Work
    const std::string before = test::slurp(ini);
    for (Prompter::Answer a : {Prompter::Answer::No, Prompter::Answer::Cancel}) {
        prompter.answers.push_back(a);
        click(QStringLiteral("cmdRemoveProfile"));
    }
    EXPECT_EQ(test::slurp(ini), before);
    prompter.answers = {Prompter::Answer::Yes, Prompter::Answer::Yes};
    click(QStringLiteral("cmdRemoveProfile"));
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 3"), "");
    EXPECT_EQ(menu.profileItemCount(), 2);
    EXPECT_EQ(state.sigFile, sigs + "/s1.txt");
    click(QStringLiteral("cmdRemoveProfile"));
    EXPECT_TRUE(listProfileNames(settings).empty());
    // With no profile left, showing the tab asks for a first one, stored with the default paths.
    answerDialog({QStringLiteral("Friends")});
    tab.onTabChanged(true);
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 1"), sigs + "/sig.txt");
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile") + state.sigFile, "Friends" + sigs + "/sig.txt");
}

// Save As follows into the box only while its profile is shown; closing stops at a kept editor.
TEST_F(ProfileCommandsTest, EditOpensOneWindowPerFileAndSaveAsFollowsIntoTheBox) {
    test::spit(sigs + "/h1.txt", "Header one\n");
    box(1)->setText(path("./h1.txt"));
    click(QStringLiteral("cmdEdit0"));
    click(QStringLiteral("cmdEdit1"));
    ASSERT_EQ(openEditors().size(), 1u);
    EditorWindow* editor = openEditors()[0];
    QTest::keyClicks(control<QPlainTextEdit>(*editor, QStringLiteral("txtMain")), QStringLiteral("typed "));
    prompter.paths = {path("renamed.txt"), path("kept.txt")};
    editor->promptToSaveAs();
    EXPECT_EQ(box(0)->text(), path("renamed.txt"));
    EXPECT_EQ(test::slurp(sigs + "/renamed.txt") + test::slurp(sigs + "/h1.txt"),
              "typed Header one\nHeader one\n");
    list()->setCurrentIndex(1); // Work
    editor->promptToSaveAs();
    EXPECT_EQ(box(0)->text(), path("h3.txt"));
    QTest::keyClicks(control<QPlainTextEdit>(*editor, QStringLiteral("txtMain")), QStringLiteral("x"));
    prompter.answers = {Prompter::Answer::Cancel, Prompter::Answer::No};
    EXPECT_FALSE(tab.closeEditors());
    EXPECT_TRUE(tab.closeEditors());

    // Binary, and unreadable but to root: refused either way.
    const QString refused = QString::fromStdString(dir.file("data.txt"));
    test::spit(dir.file("data.txt"), std::string("a\0b", 3));
    std::filesystem::permissions(dir.file("data.txt"), std::filesystem::perms::none);
    box(2)->setText(refused);
    click(QStringLiteral("cmdEdit2"));
    EXPECT_TRUE(openEditors().empty());
    EXPECT_TRUE(prompter.messages().back().text.contains(refused));
}

} // namespace
} // namespace quillmark
