#include "wizard/first_run_wizard.h"

#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "settings/setting_keys.h"
#include "signature/compose.h"
#include "signature/signature_tab.h"
#include "support/ui_fixture.h"
#include "ui/appearance.h"
#include "ui/help.h"
#include "ui/shell_open.h"
#include "wizard/profiles_tab_host.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>

namespace quillmark {
namespace {

// The wizard against the real Profiles and Signature tabs, wired as the main window wires
// them, so that finishing writes the settings file and the first signature.
struct Stage {
    Stage(Settings& settings, test::ScriptedPrompter& prompter, RandomSource& random, const std::string& sigs)
        : profilesTab(settings, state, prompter), signatureTab(state, prompter, random),
          host(profilesTab, settings, prompter, &mainWindow, [sigs] { return sigs; }),
          wizard(host, prompter) {
        profilesTab.setSigPath(sigs);
        profilesTab.setProfileMenu(&menu);
        QObject::connect(&profilesTab, &ProfilesTab::profileMadeCurrent, &signatureTab, [this] {
            signatureTab.loadEntries();
            signatureTab.onUpdateClicked();
        });
    }
    SignatureState state;
    DetachedProfileMenu menu;
    ProfilesTab profilesTab;
    SignatureTab signatureTab;
    QWidget mainWindow;
    ProfilesTabHost host;
    FirstRunWizard wizard;
};

class WizardTest : public test::UiTest {
protected:
    WizardTest() {
        setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~WizardTest() override {
        setUrlOpener({});
        setHelpFolder({});
    }
    // A new first start: no settings file, a fresh window; the signature folder stays.
    void restart() {
        stage.reset();
        std::filesystem::remove(ini);
        stage = std::make_unique<Stage>(settings, prompter, random, sigs);
        stage->wizard.show();
        prompter.calls.clear();
    }

    template <typename T> T* control(const char* name) {
        T* found = stage->wizard.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString info() { return control<QLabel>("lblInfo")->text(); }
    bool onPage(const char* panel) { return control<QWidget>(panel)->isVisibleTo(&stage->wizard); }
    void next() { QTest::mouseClick(control<QPushButton>("cmdNext0"), Qt::LeftButton); }
    void back() { QTest::mouseClick(control<QPushButton>("cmdNext1"), Qt::LeftButton); }
    void type(const char* box, const QString& text) {
        control<QLineEdit>(box)->clear();
        QTest::keyClicks(control<QLineEdit>(box), text);
    }
    // Page 1 to the end with the given details.
    void runThrough(const QString& profile, const QString& name, const QString& email, const QString& url,
                    const QString& footer = QStringLiteral("Creative Words")) {
        type("txtProfile", profile);
        next();
        type("txtName", name);
        type("txtEmail", email);
        type("txtURL", url);
        next();
        control<QComboBox>("cmbFooter")->setCurrentText(footer);
        next();
    }
    std::string stored(const std::string& key) { return settings.readIniPlain("Profiles", key); }
    bool nothingCreated() {
        return stored("Profile 1").empty() && !std::filesystem::exists(sigs + "/firstheader.txt") &&
               !std::filesystem::exists(sigs + "/sig.txt") && stage->profilesTab.profileCount() == 0;
    }

    std::string sigs = dir.file("Sigs");
    std::unique_ptr<Stage> stage = std::make_unique<Stage>(settings, prompter, random, sigs);
    std::vector<QUrl> opened;
};

TEST_F(WizardTest, OpensCentredOnTheFirstPageWithItsTextsAndTooltips) {
    stage->wizard.show();
    EXPECT_EQ(stage->wizard.windowTitle(), QStringLiteral("Quillmark Signature Wizard"));
    EXPECT_FALSE(stage->wizard.isModal());
    EXPECT_EQ(info(), QStringLiteral(
                          "This wizard will help you create your first signature file.  You can press "
                          "\"Cancel\" to skip this stage if you would rather just begin using the program."));
    EXPECT_TRUE(onPage("pnlProfile"));
    EXPECT_FALSE(onPage("pnlHeader"));
    EXPECT_FALSE(onPage("pnlFooter"));
    EXPECT_EQ(control<QLineEdit>("txtProfile")->text(), QStringLiteral("Friends"));
    auto* cmbFooter = control<QComboBox>("cmbFooter");
    ASSERT_EQ(cmbFooter->count(), 2);
    EXPECT_EQ(cmbFooter->itemText(0), QStringLiteral("Creative Words"));
    EXPECT_EQ(cmbFooter->itemText(1), QStringLiteral("Humorous"));
    EXPECT_EQ(cmbFooter->currentIndex(), 0);

    for (const char* name : {"cmdNext0", "cmdNext1", "cmdClose", "cmdHelp"})
        EXPECT_TRUE(control<QPushButton>(name)->isVisible()) << name;
    const QRect screen = stage->wizard.screen()->geometry();
    EXPECT_EQ(stage->wizard.pos(), QPoint((screen.width() - stage->wizard.width()) / 2,
                                          (screen.height() - stage->wizard.height()) / 2));
}

TEST_F(WizardTest, NextAndBackMoveBetweenPagesAndABlankNameIsRefused) {
    stage->wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&stage->wizard));
    back();
    EXPECT_EQ(stage->wizard.currentStep(), 1);
    EXPECT_FALSE(control<QPushButton>("cmdNext1")->isVisible());
    EXPECT_EQ(info(), QStringLiteral("Choose a name for your first profile."));

    const QString blankRefusal = QStringLiteral("Please type in a name for this profile");
    // A name with blanks at an end is refused as the New Profile dialog refuses it, not trimmed.
    const QString tooLong(10000, QLatin1Char('n'));
    const auto unstorable = [](const QString& name) {
        return QString::fromStdString(checkProfileName(name.toStdString()).message());
    };
    const struct {
        QString typed;
        QString refusal;
    } refused[] = {{QString(), blankRefusal},
                   {QStringLiteral("   "), blankRefusal},
                   {QStringLiteral(" Friends"), unstorable(QStringLiteral(" Friends"))},
                   {QStringLiteral("Friends "), unstorable(QStringLiteral("Friends "))},
                   {tooLong, unstorable(tooLong)}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed.left(20).toStdString());
        control<QLineEdit>("txtProfile")->setText(r.typed);
        prompter.calls.clear();
        next();
        EXPECT_EQ(stage->wizard.currentStep(), 1);
        EXPECT_TRUE(onPage("pnlProfile"));
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, r.refusal);
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Quillmark"));
        EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Warning);
        EXPECT_EQ(prompter.messages()[0].window, &stage->wizard) << "the box belongs to the wizard";
    }

    type("txtProfile", QStringLiteral("Friends"));
    prompter.calls.clear();
    next();
    EXPECT_EQ(stage->wizard.currentStep(), 2);
    EXPECT_TRUE(onPage("pnlHeader"));
    EXPECT_FALSE(onPage("pnlProfile"));
    EXPECT_TRUE(control<QPushButton>("cmdNext1")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("txtName"));
    EXPECT_EQ(info(), QStringLiteral("An e-mail signature usually contains the sender's name"));
    control<QLineEdit>("txtEmail")->setFocus();
    EXPECT_EQ(info(), QStringLiteral(
                          "Including your e-mail address is always useful  - especially if it is different "
                          "to the one you used to send the mail."));
    control<QLineEdit>("txtURL")->setFocus();
    EXPECT_EQ(info(),
              QStringLiteral("If you have a homepage or company webpage you should put it here for people to "
                             "click on."));

    next();
    EXPECT_EQ(stage->wizard.currentStep(), 3);
    EXPECT_TRUE(onPage("pnlFooter"));
    EXPECT_FALSE(onPage("pnlHeader"));
    EXPECT_EQ(info(),
              QStringLiteral("Choose a random footer file from the list of samples.  These are all fully "
                             "customisable once you start running Quillmark."));
    back();
    EXPECT_EQ(stage->wizard.currentStep(), 2);
    EXPECT_TRUE(onPage("pnlHeader"));
    EXPECT_FALSE(onPage("pnlFooter"));
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("txtName"));
    back();
    EXPECT_EQ(stage->wizard.currentStep(), 1);
    EXPECT_FALSE(control<QPushButton>("cmdNext1")->isVisible());
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(nothingCreated()) << "nothing is written before the last page";
}

TEST_F(WizardTest, FinishingStoresTheProfileWritesTheHeaderAndTheFirstSignature) {
    struct Case {
        QString name, email, url, footer;
        std::string header, footerFile;
    };
    const Case cases[] = {
        {{},
         QStringLiteral("ann@example.org"),
         {},
         QStringLiteral("Humorous"),
         "ann@example.org\n",
         "humour.txt"},
        {QStringLiteral("Ann Example"), QStringLiteral("ann@example.org"),
         QStringLiteral("https://example.org"), QStringLiteral("Creative Words"),
         "Ann Example\nann@example.org\nhttps://example.org\n", "words.txt"},
        {{}, {}, {}, QStringLiteral("Creative Words"), "", "words.txt"},
    };
    const std::string footerText = "Well done is better than well said.";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        // The signature folder does not exist yet: the wizard makes it.
        std::filesystem::remove_all(sigs);
        restart();
        prompter.whileOpen = [&](const test::ScriptedPrompter::Call&) {
            EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), c.header) << "written before the message";
        };
        type("txtProfile", QStringLiteral("Friends"));
        next();
        type("txtName", c.name);
        type("txtEmail", c.email);
        type("txtURL", c.url);
        next();
        control<QComboBox>("cmbFooter")->setCurrentText(c.footer);
        // The sample start-up would have copied there.
        std::filesystem::create_directories(sigs);
        test::spit(sigs + "/" + c.footerFile, footerText + "\n");
        next();
        prompter.whileOpen = nullptr;

        EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), c.header);
        EXPECT_EQ(stored("Profile 1"), "Friends");
        EXPECT_EQ(stored("Header File 1"), sigs + "/firstheader.txt");
        EXPECT_EQ(stored("Footer File 1"), sigs + "/" + c.footerFile);
        EXPECT_EQ(stored("Sig File 1"), sigs + "/sig.txt");
        EXPECT_EQ(settings.readIniPlain(keys::kLastProfile.section, keys::kLastProfile.key), "Friends");
        ASSERT_EQ(stage->menu.profileItemCount(), 2);
        EXPECT_EQ(stage->menu.profileItemCaption(1), QStringLiteral("Friends"));
        EXPECT_EQ(stage->profilesTab.cmbProfileText(), "Friends");
        const std::string header = c.header.empty() ? "" : c.header.substr(0, c.header.size() - 1);
        EXPECT_EQ(test::slurp(sigs + "/sig.txt"),
                  signatureFileBytes(composeSignature(header, footerText, true)));

        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text,
                  QStringLiteral(
                      "Your first profile has been created as %1/sig.txt\rAll you need to do now is point "
                      "your e-mail program to the new signature!")
                      .arg(QString::fromStdString(sigs)));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Finished Wizard"));
        EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Information);
        EXPECT_TRUE(stage->wizard.isFinished());
        EXPECT_FALSE(stage->wizard.isVisible()) << "closed without the exit question";
        EXPECT_TRUE(stage->mainWindow.isVisible()) << "the main window comes into view";
    }
}

TEST_F(WizardTest, ClosingAsksFirstAndCreatesNothing) {
    stage->wizard.show();
    stage->mainWindow.hide();
    type("txtProfile", QStringLiteral("Friends"));
    next();
    for (Prompter::Answer answer : {Prompter::Answer::No, Prompter::Answer::Cancel}) {
        prompter.answers = {answer};
        prompter.calls.clear();
        QTest::mouseClick(control<QPushButton>("cmdClose"), Qt::LeftButton);
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Are you sure you want to exit this wizard?"));
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Exit Wizard?"));
        EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Question);
        EXPECT_EQ(prompter.messages()[0].buttons, Prompter::Buttons::YesNoCancel);
        EXPECT_EQ(prompter.messages()[0].window, &stage->wizard);
        EXPECT_TRUE(stage->wizard.isVisible());
        EXPECT_EQ(stage->wizard.currentStep(), 2);
        EXPECT_TRUE(onPage("pnlHeader"));
    }
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_TRUE(stage->wizard.close()) << "the window's close box asks the same question";
    EXPECT_FALSE(stage->wizard.isVisible());
    EXPECT_TRUE(stage->mainWindow.isVisible());
    EXPECT_TRUE(nothingCreated());
}

TEST_F(WizardTest, AHeaderThatCannotBeWrittenIsReportedAndNothingIsStored) {
    // A file stands where the signature folder should be: the folder cannot be made.
    test::spit(sigs, "not a folder");
    stage->wizard.show();
    runThrough(QStringLiteral("Friends"), QStringLiteral("Ann"), {}, {});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(
        QStringLiteral(
            "Your profile has not been created: the header file \"%1/firstheader.txt\" could not be written.")
            .arg(QString::fromStdString(sigs))))
        << prompter.messages()[0].text.toStdString();
    EXPECT_NE(prompter.messages()[0].title, QStringLiteral("Finished Wizard"));
    EXPECT_TRUE(stage->wizard.isVisible());
    EXPECT_EQ(stage->wizard.currentStep(), 3);
    EXPECT_TRUE(onPage("pnlFooter"));
    EXPECT_FALSE(stage->wizard.isFinished());
    EXPECT_EQ(test::slurp(sigs), "not a folder");
    EXPECT_TRUE(stored("Profile 1").empty());
    EXPECT_EQ(stage->profilesTab.profileCount(), 0);

    // Once the folder can be made, Next on the same page finishes.
    std::filesystem::remove(sigs);
    prompter.calls.clear();
    next();
    EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), "Ann\n");
    EXPECT_EQ(stored("Profile 1"), "Friends");
    EXPECT_FALSE(stage->wizard.isVisible());
}

TEST_F(WizardTest, AnExistingHeaderFileIsReplacedOnlyWhenTheUserSaysSo) {
    const struct {
        Prompter::Answer answer;
        std::string header;
        bool created;
    } cases[] = {{Prompter::Answer::Cancel, "my own header\n", false},
                 {Prompter::Answer::No, "my own header\n", true},
                 {Prompter::Answer::Yes, "Ann\n", true}};
    for (const auto& c : cases) {
        std::filesystem::create_directories(sigs);
        test::spit(sigs + "/firstheader.txt", "my own header\n");
        restart();
        prompter.answers = {c.answer};
        runThrough(QStringLiteral("Friends"), QStringLiteral("Ann"), {}, {});

        ASSERT_GE(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Replace file?"));
        EXPECT_TRUE(
            prompter.messages()[0].text.contains(QStringLiteral("/firstheader.txt\" already exists")));
        EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), c.header);
        EXPECT_EQ(stored("Header File 1"), c.created ? sigs + "/firstheader.txt" : "");
        EXPECT_EQ(stage->wizard.isVisible(), !c.created);
    }

    // A header file that already holds exactly the typed lines needs no question.
    test::spit(sigs + "/firstheader.txt", "Ann\n");
    restart();
    runThrough(QStringLiteral("Friends"), QStringLiteral("Ann"), {}, {});
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Finished Wizard"));
}

TEST_F(WizardTest, NamesTheSettingsFileCouldNotGiveBackAreRefused) {
    stage->wizard.show();
    // A profile added by hand while the wizard was open, in another letter case.
    writeProfileSlot(settings, 1, {"Friends", "/h", "/f", "/s"});
    type("txtProfile", QStringLiteral("FRIENDS"));
    next();
    EXPECT_EQ(stage->wizard.currentStep(), 1);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("A profile called \"FRIENDS\" already exists.\rPlease type another name."));

    prompter.calls.clear();
    const QString longDetail(10000, QLatin1Char('e'));
    type("txtProfile", QStringLiteral("Work"));
    next();
    control<QLineEdit>("txtName")->setText(longDetail);
    control<QLineEdit>("txtEmail")->setText(longDetail);
    next();
    next();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Finished Wizard"));
    EXPECT_EQ(stored("Profile 1"), "Friends");
    EXPECT_EQ(stored("Profile 2"), "Work");
    EXPECT_EQ(settings.readIniPlain(keys::kLastProfile.section, keys::kLastProfile.key), "Work");
    const std::string detail = longDetail.toStdString();
    EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), detail + "\n" + detail + "\n");
    EXPECT_EQ(stage->state.sigFile, sigs + "/sig.txt") << "the new profile is the current one";
}

TEST_F(WizardTest, AProfileIsRefusedAtTheEndWhenTheListChangedMeanwhileOrIsFull) {
    stage->wizard.show();
    type("txtProfile", QStringLiteral("Friends"));
    next();
    next();
    writeProfileSlot(settings, 1, {"friends", "/h", "/f", "/s"});
    next();
    EXPECT_EQ(stage->wizard.currentStep(), 3);
    EXPECT_TRUE(stage->wizard.isVisible());
    EXPECT_FALSE(std::filesystem::exists(sigs + "/firstheader.txt"));
    EXPECT_EQ(stored("Header File 1"), "/h") << "the profile made by hand is untouched";

    for (int slot = 1; slot <= kMaxProfiles; ++slot)
        writeProfileSlot(settings, slot, {"P" + std::to_string(slot), "/h", "/f", "/s"});
    prompter.calls.clear();
    next();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Your profile has not been created: all 64 profiles are in use."));
    EXPECT_TRUE(stage->wizard.isVisible());
    EXPECT_EQ(stage->profilesTab.profileCount(), 0);
    EXPECT_EQ(stored("Profile 1"), "P1");
}

TEST_F(WizardTest, HelpOpensTheQuickStartPageAndKeepsTheWizardInFront) {
    const std::string help = dir.file("Help");
    std::filesystem::create_directories(help);
    test::spit(help + "/quickstart.htm", "<html></html>");
    setHelpFolder(QString::fromStdString(help));
    stage->wizard.show();
    stage->wizard.showMinimized();
    QTest::mouseClick(control<QPushButton>("cmdHelp"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(help + "/quickstart.htm")));
    EXPECT_FALSE(stage->wizard.isMinimized());
    EXPECT_TRUE(stage->wizard.isVisible());

    std::filesystem::remove(help + "/quickstart.htm");
    QTest::mouseClick(control<QPushButton>("cmdHelp"), Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Sorry..."));
    EXPECT_TRUE(prompter.messages()[0].text.contains(QStringLiteral("quickstart.htm")));
}

// The decorative scheme tiles its picture behind the pages; the plain one shows none.
TEST_F(WizardTest, TheBackgroundPictureFollowsTheColourScheme) {
    AppearanceTemplates templates(QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR));
    for (bool decorative : {true, false}) {
        setDecorativeScheme(decorative);
        FirstRunWizard w{stage->host, prompter};
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull(), !decorative);
        const QImage shown = w.grab().toImage();
        const QImage plain = [&] {
            QWidget blank;
            blank.resize(w.size());
            return blank.grab().toImage();
        }();
        EXPECT_EQ(shown.pixelColor(2, 2) != plain.pixelColor(2, 2), decorative);
        w.hide();
    }
    setDecorativeScheme(true);
}

} // namespace
} // namespace quillmark
