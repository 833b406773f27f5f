// The Profiles tab's commands: New with its dialog, Delete, Browse, Edit and the
// first-profile prompt, each answered through the scripted prompter.
#include "editor/editor_window.h"
#include "profiles/new_profile_dialog.h"
#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "signature/compose.h"
#include "support/ui_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quillmark {
namespace {

class ProfileCommandsTest : public test::UiTest {
protected:
    ProfileCommandsTest() {
        sigs = dir.file("Sigs");
        std::filesystem::create_directory(sigs);
        tab.setSigPath(sigs);
        tab.setProfileMenu(&menu);
    }

    void storeProfiles() {
        writeProfileSlot(settings, 1, {"Friends", sigs + "/h1.txt", sigs + "/f1.txt", sigs + "/s1.txt"});
        writeProfileSlot(settings, 3, {"Work", sigs + "/h3.txt", sigs + "/f3.txt", sigs + "/s3.txt"});
        tab.listProfiles();
        tab.buildProfileMenu();
    }
    template <typename T> T* control(const QString& name) {
        T* found = tab.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* box(int i) { return control<QLineEdit>(QStringLiteral("txtFile%1").arg(i)); }
    QComboBox* list() { return control<QComboBox>(QStringLiteral("cmbProfile")); }
    void click(const QString& name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }

    // Runs `act` on the new-profile dialog once it is open; `act` must close it. Should it
    // not, the dialog is closed later so that a failing test cannot hang.
    void whenDialogOpens(std::function<void(NewProfileDialog&)> act) {
        QTimer::singleShot(0, &tab, [this, act] {
            auto* dialog = qobject_cast<NewProfileDialog*>(QApplication::activeModalWidget());
            dialogSeen = dialog != nullptr;
            if (dialog)
                act(*dialog);
        });
        QTimer::singleShot(3000, &tab, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    }
    static void typeName(NewProfileDialog& dialog, const QString& name) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("txtNewProfile"));
        edit->setText(name);
    }
    static void press(NewProfileDialog& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    std::vector<EditorWindow*> openEditors() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::vector<EditorWindow*> open;
        for (EditorWindow* e : tab.findChildren<EditorWindow*>())
            if (e->isVisible())
                open.push_back(e);
        return open;
    }

    std::string sigs;
    SignatureState state;
    DetachedProfileMenu menu;
    ProfilesTab tab{settings, state, prompter};
    bool dialogSeen = false;
};

TEST_F(ProfileCommandsTest, NewProfileStartsOnTheBlankFileAndIsStoredOnLeavingTheTab) {
    storeProfiles();
    test::spit(sigs + "/blank.txt", "user's own blank\n");
    whenDialogOpens([](NewProfileDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("New Profile"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblPrompt"))->text(),
                  QStringLiteral("Please type the name of your new profile :"));
        typeName(d, QStringLiteral("Family"));
        press(d, "cmdNewProfileOK");
    });
    click(QStringLiteral("cmdAddProfile"));
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(tab.cmbProfileText(), "Family");
    EXPECT_EQ(list()->count(), 3);
    EXPECT_EQ(box(0)->text(), QString::fromStdString(sigs + "/blank.txt"));
    EXPECT_EQ(box(1)->text(), QString::fromStdString(sigs + "/blank.txt"));
    EXPECT_EQ(box(2)->text(), QString::fromStdString(sigs + "/sig.txt"));
    EXPECT_EQ(test::slurp(sigs + "/blank.txt"), "user's own blank\n");
    EXPECT_EQ(menu.profileItemCaption(3), QStringLiteral("Family"));
    EXPECT_TRUE(tab.hasUnsavedChanges());

    tab.onTabChanged(false);
    EXPECT_EQ(settings.readIniPlain("Profiles", "Profile 2"), "Family");
    EXPECT_EQ(settings.readIniPlain("Profiles", "Header File 2"), sigs + "/blank.txt");
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Family");
    EXPECT_EQ(state.sigFile, sigs + "/sig.txt");
}

TEST_F(ProfileCommandsTest, CancelledNewProfileChangesNothing) {
    storeProfiles();
    const std::string before = test::slurp(ini);
    whenDialogOpens([](NewProfileDialog& d) {
        typeName(d, QStringLiteral("Never"));
        press(d, "cmdNewProfileCancel");
    });
    click(QStringLiteral("cmdAddProfile"));
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(list()->count(), 2);
    EXPECT_EQ(tab.cmbProfileText(), "Friends");
    EXPECT_EQ(box(0)->text(), QString::fromStdString(sigs + "/h1.txt"));
    EXPECT_FALSE(tab.hasUnsavedChanges());
    EXPECT_EQ(test::slurp(ini), before);
    EXPECT_FALSE(std::filesystem::exists(sigs + "/blank.txt"));
}

TEST_F(ProfileCommandsTest, DialogRefusesNamesItCannotStoreAndStaysOpen) {
    storeProfiles();
    const QString refused[] = {
        QStringLiteral("work"), // "Work" in another letter case
        QStringLiteral("FRIENDS"),
        QStringLiteral("   "),          // blanks only
        QString(300, QLatin1Char('n')), // longer than a settings value
        QStringLiteral("two\nlines"),   QStringLiteral(" Padded"),
    };
    std::vector<bool> stayedOpen;
    const QWidget* dialog = nullptr;
    whenDialogOpens([&](NewProfileDialog& d) {
        dialog = &d;
        for (const QString& name : refused) {
            typeName(d, name);
            press(d, "cmdNewProfileOK");
            stayedOpen.push_back(d.isVisible());
        }
        press(d, "cmdNewProfileCancel");
    });
    click(QStringLiteral("cmdAddProfile"));
    ASSERT_TRUE(dialogSeen);
    EXPECT_EQ(stayedOpen, std::vector<bool>(std::size(refused), true));
    const auto messages = prompter.messages();
    ASSERT_EQ(messages.size(), std::size(refused));
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\"Work\""))) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[3].text.contains(QStringLiteral("253"))) << messages[3].text.toStdString();
    for (const auto& m : messages) {
        EXPECT_EQ(m.icon, Prompter::Icon::Warning);
        EXPECT_EQ(m.window, dialog) << "the refusal comes up over the dialog";
    }
    EXPECT_EQ(list()->count(), 2);
    EXPECT_EQ(listProfileNames(settings), (std::vector<std::string>{"Friends", "Work"}));
}

TEST_F(ProfileCommandsTest, NoFreeSlotRefusesBeforeTheDialogOpens) {
    {
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            writeProfileSlot(settings, n, {"P" + std::to_string(n), "h", "f", "s"});
    }
    tab.listProfiles();
    whenDialogOpens([](NewProfileDialog& d) { press(d, "cmdNewProfileCancel"); });
    click(QStringLiteral("cmdAddProfile"));
    EXPECT_FALSE(dialogSeen);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].text.contains(QStringLiteral("64")));
    EXPECT_EQ(list()->count(), kMaxProfiles);
}

TEST_F(ProfileCommandsTest, DeleteAsksThenFreesTheSlotAndMakesTheFirstProfileCurrent) {
    storeProfiles();
    list()->setCurrentIndex(1); // Work
    const std::string before = test::slurp(ini);
    for (Prompter::Answer a : {Prompter::Answer::No, Prompter::Answer::Cancel}) {
        prompter.answers.push_back(a);
        click(QStringLiteral("cmdRemoveProfile"));
        EXPECT_EQ(test::slurp(ini), before);
        EXPECT_EQ(list()->count(), 2);
    }
    const auto question = prompter.messages().back();
    EXPECT_EQ(question.text, QStringLiteral("Are you sure you want to delete profile: Work?"));
    EXPECT_EQ(question.title, QStringLiteral("Delete Profile?"));
    EXPECT_EQ(question.icon, Prompter::Icon::Question);
    EXPECT_EQ(question.buttons, Prompter::Buttons::YesNoCancel);

    prompter.answers.push_back(Prompter::Answer::Yes);
    click(QStringLiteral("cmdRemoveProfile"));
    for (const std::string key : {"Profile 3", "Header File 3", "Footer File 3", "Sig File 3"})
        EXPECT_EQ(settings.readIniPlain("Profiles", key), "") << key;
    EXPECT_EQ(list()->count(), 1);
    EXPECT_EQ(tab.cmbProfileText(), "Friends");
    EXPECT_EQ(menu.profileItemCount(), 2);
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Friends");
    EXPECT_EQ(state.sigFile, sigs + "/s1.txt");

    // Deleting the last one leaves the list empty.
    prompter.answers.push_back(Prompter::Answer::Yes);
    click(QStringLiteral("cmdRemoveProfile"));
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(listProfileNames(settings).empty());
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "");
    // With nothing left to delete, Delete asks nothing and writes nothing.
    const std::string after = test::slurp(ini);
    const size_t asked = prompter.messages().size();
    click(QStringLiteral("cmdRemoveProfile"));
    EXPECT_EQ(prompter.messages().size(), asked);
    EXPECT_EQ(test::slurp(ini), after);
}

TEST_F(ProfileCommandsTest, BrowseStartsInTheBoxFolderAndRefusesUnusableFiles) {
    storeProfiles();
    box(0)->setText(QString::fromStdString(dir.file("gone/header.txt")));
    click(QStringLiteral("cmdBrowse0")); // cancelled
    ASSERT_EQ(prompter.calls.size(), 1u);
    EXPECT_EQ(prompter.calls[0].kind, QStringLiteral("openFile"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Quillmark File Select"));
    EXPECT_EQ(prompter.calls[0].path, QString::fromStdString(sigs + "/header.txt"));
    EXPECT_EQ(box(0)->text(), QString::fromStdString(dir.file("gone/header.txt")));

    test::spit(dir.file("mine.txt"), "Hello\n");
    prompter.paths.push_back(QString::fromStdString(dir.file("mine.txt")));
    click(QStringLiteral("cmdBrowse1"));
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(sigs + "/f1.txt"));
    EXPECT_EQ(box(1)->text(), QString::fromStdString(dir.file("mine.txt")));
    EXPECT_TRUE(tab.hasUnsavedChanges());

    std::filesystem::create_directory(dir.file("folder"));
    test::spit(dir.file("picture.txt"), std::string("\x89PNG\0\0", 6));
    struct Case {
        int index;
        std::string path;
    };
    const Case refused[] = {{0, dir.file("folder")},
                            {1, dir.file("picture.txt")},
                            {2, dir.file("picture.txt")},
                            {2, dir.file("nowhere/sig.txt")}};
    for (const Case& c : refused) {
        const QString before = box(c.index)->text();
        const size_t messages = prompter.messages().size();
        prompter.paths.push_back(QString::fromStdString(c.path));
        click(QStringLiteral("cmdBrowse%1").arg(c.index));
        EXPECT_EQ(box(c.index)->text(), before) << c.path;
        ASSERT_EQ(prompter.messages().size(), messages + 1) << c.path;
        EXPECT_TRUE(prompter.messages().back().text.contains(QString::fromStdString(dir.path())));
    }
    EXPECT_EQ(test::slurp(dir.file("picture.txt")), std::string("\x89PNG\0\0", 6));
}

TEST_F(ProfileCommandsTest, EditOpensOneWindowPerFileAndSaveAsFollowsIntoTheBox) {
    storeProfiles();
    test::spit(sigs + "/h1.txt", "Header one\n");
    box(1)->setText(QString::fromStdString(sigs + "/./h1.txt")); // the same file in two boxes
    click(QStringLiteral("cmdEdit0"));
    ASSERT_EQ(openEditors().size(), 1u);
    EditorWindow* editor = openEditors()[0];
    EXPECT_EQ(editor->findChild<QPlainTextEdit*>(QStringLiteral("txtMain"))->toPlainText(),
              QStringLiteral("Header one"));
    EXPECT_EQ(editor->boxIndex(), 0);
    QTest::keyClicks(editor->findChild<QPlainTextEdit*>(QStringLiteral("txtMain")), QStringLiteral("typed "));

    click(QStringLiteral("cmdEdit0"));
    click(QStringLiteral("cmdEdit1"));
    ASSERT_EQ(openEditors().size(), 1u);
    EXPECT_FALSE(editor->isSaved()); // the typed text is still there, not reloaded

    prompter.paths.push_back(QString::fromStdString(sigs + "/renamed.txt"));
    editor->promptToSaveAs();
    EXPECT_EQ(box(0)->text(), QString::fromStdString(sigs + "/renamed.txt"));
    EXPECT_EQ(test::slurp(sigs + "/h1.txt"), "Header one\n");
    EXPECT_EQ(test::slurp(sigs + "/renamed.txt"), "typed Header one\n");
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(ProfileCommandsTest, EditRefusesWhatTheEditorWouldDamage) {
    storeProfiles();
    box(0)->clear();
    click(QStringLiteral("cmdEdit0"));
    ASSERT_EQ(openEditors().size(), 1u);
    EXPECT_EQ(openEditors()[0]->windowTitle(), QStringLiteral("Quillmark Sig Editor (New File)"));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Please choose a file to edit"));
    EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Information);
    prompter.answers.push_back(Prompter::Answer::No);
    openEditors()[0]->close();

    std::filesystem::create_directory(dir.file("folder"));
    test::spit(dir.file("data.txt"), std::string("a\0b", 3));
    test::spit(dir.file("big.txt"), "");
    std::filesystem::resize_file(dir.file("big.txt"), 100ull * 1024 * 1024);
    std::vector<std::string> refused = {dir.file("folder"), dir.file("data.txt"), dir.file("big.txt")};
    if (::geteuid() != 0) { // permissions do not stop root
        test::spit(dir.file("secret.txt"), "text\n");
        std::filesystem::permissions(dir.file("secret.txt"), std::filesystem::perms::none);
        refused.push_back(dir.file("secret.txt"));
    }
    for (const std::string& path : refused) {
        box(2)->setText(QString::fromStdString(path));
        const size_t messages = prompter.messages().size();
        click(QStringLiteral("cmdEdit2"));
        EXPECT_TRUE(openEditors().empty()) << path;
        ASSERT_EQ(prompter.messages().size(), messages + 1);
        EXPECT_TRUE(prompter.messages().back().text.contains(QString::fromStdString(path)));
    }
    EXPECT_EQ(test::slurp(dir.file("data.txt")), std::string("a\0b", 3));

    // A file in a folder that does not exist yet opens as a new file at that path.
    box(2)->setText(QString::fromStdString(dir.file("later/sig.txt")));
    click(QStringLiteral("cmdEdit2"));
    ASSERT_EQ(openEditors().size(), 1u);
    EXPECT_EQ(openEditors()[0]->fileName(), dir.file("later/sig.txt"));
}

TEST_F(ProfileCommandsTest, DeletingAProfileKeepsItsOpenEditorAndTypedText) {
    storeProfiles();
    test::spit(sigs + "/f3.txt", "Footer\n");
    list()->setCurrentIndex(1); // Work
    click(QStringLiteral("cmdEdit1"));
    ASSERT_EQ(openEditors().size(), 1u);
    EditorWindow* editor = openEditors()[0];
    auto* text = editor->findChild<QPlainTextEdit*>(QStringLiteral("txtMain"));
    QTest::keyClicks(text, QStringLiteral("new "));

    prompter.answers.push_back(Prompter::Answer::Yes);
    click(QStringLiteral("cmdRemoveProfile"));
    ASSERT_EQ(openEditors().size(), 1u);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("new Footer"));
    EXPECT_FALSE(editor->isSaved());

    // Saved under a new name, the path does not land in the profile now shown (Friends).
    prompter.paths.push_back(QString::fromStdString(sigs + "/kept.txt"));
    editor->promptToSaveAs();
    EXPECT_EQ(test::slurp(sigs + "/kept.txt"), "new Footer\n");
    EXPECT_EQ(box(1)->text(), QString::fromStdString(sigs + "/f1.txt"));
    EXPECT_TRUE(tab.closeEditors());
}

TEST_F(ProfileCommandsTest, ClosingEditorsStopsAtOneTheUserKeeps) {
    storeProfiles();
    test::spit(sigs + "/h1.txt", "Header\n");
    click(QStringLiteral("cmdEdit0"));
    QTest::keyClicks(openEditors()[0]->findChild<QPlainTextEdit*>(QStringLiteral("txtMain")),
                     QStringLiteral("x"));
    prompter.answers.push_back(Prompter::Answer::Cancel);
    EXPECT_FALSE(tab.closeEditors());
    EXPECT_EQ(openEditors().size(), 1u);
    prompter.answers.push_back(Prompter::Answer::No);
    EXPECT_TRUE(tab.closeEditors());
    EXPECT_TRUE(openEditors().empty());
}

TEST_F(ProfileCommandsTest, FirstProfilePromptStoresFriendsWithDefaultPaths) {
    QString prompt, suggestion, selected;
    whenDialogOpens([&](NewProfileDialog& d) {
        prompt = d.findChild<QLabel*>(QStringLiteral("lblPrompt"))->text();
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("txtNewProfile"));
        suggestion = edit->text();
        selected = edit->selectedText();
        press(d, "cmdNewProfileOK");
    });
    tab.onTabChanged(true);
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(prompt, QStringLiteral("Please type the name of your first profile"));
    EXPECT_EQ(suggestion, QStringLiteral("Friends"));
    EXPECT_EQ(selected, QStringLiteral("Friends"));
    EXPECT_EQ(settings.readIniPlain("Profiles", "Profile 1"), "Friends");
    EXPECT_EQ(settings.readIniPlain("Profiles", "Header File 1"), sigs + "/header.txt");
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 1"), sigs + "/sig.txt");
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Friends");
    EXPECT_EQ(menu.profileItemCaption(1), QStringLiteral("Friends"));
    EXPECT_EQ(state.sigFile, sigs + "/sig.txt");

    // With a profile in the list, entering the tab asks nothing.
    dialogSeen = false;
    whenDialogOpens([](NewProfileDialog& d) { press(d, "cmdNewProfileCancel"); });
    tab.onTabChanged(true);
    QTest::qWait(1);
    EXPECT_FALSE(dialogSeen);
}

TEST_F(ProfileCommandsTest, LeavingTheTabOrOpeningTheListStoresPendingEdits) {
    storeProfiles();
    box(2)->setText(QStringLiteral("/elsewhere/sig.txt"));
    tab.onTabChanged(true); // entering the tab with profiles stores nothing
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 1"), sigs + "/s1.txt");
    tab.onTabChanged(false);
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 1"), "/elsewhere/sig.txt");

    box(0)->setText(QStringLiteral("/elsewhere/header.txt"));
    list()->showPopup();
    list()->hidePopup();
    EXPECT_EQ(settings.readIniPlain("Profiles", "Header File 1"), "/elsewhere/header.txt");
    EXPECT_FALSE(tab.hasUnsavedChanges());
}

} // namespace
} // namespace quillmark
