#include "wizard/first_run_wizard.h"

#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "signature/compose.h"
#include "signature/signature_tab.h"
#include "support/ui_fixture.h"
#include "wizard/profiles_tab_host.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace quillmark {
namespace {

using namespace Qt::StringLiterals;

// The wizard against the real Profiles and Signature tabs, wired as the main window wires them.
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
        wizard.show();
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
    // A new first start: no settings file, a fresh window; the signature folder stays.
    void restart() {
        stage.reset();
        std::filesystem::remove(ini);
        stage = std::make_unique<Stage>(settings, prompter, random, sigs);
    }
    template <typename T> T* control(const char* name) { return test::control<T>(stage->wizard, name); }
    void next() { QTest::mouseClick(control<QPushButton>("cmdNext0"), Qt::LeftButton); }
    int step() const { return stage->wizard.currentStep(); }
    void runThrough(const QString& footer = u"Creative Words"_s) {
        control<QLineEdit>("txtProfile")->setText(u"Friends"_s);
        next();
        control<QLineEdit>("txtName")->setText(u"Ann"_s);
        control<QLineEdit>("txtEmail")->setText(u"ann@example.org"_s);
        next();
        control<QComboBox>("cmbFooter")->setCurrentText(footer);
        next();
    }
    std::string stored(const std::string& key) { return settings.readIniPlain("Profiles", key); }
    bool nothingCreated() {
        return stored("Profile 1").empty() && !std::filesystem::exists(sigs + "/firstheader.txt") &&
               stage->profilesTab.profileCount() == 0;
    }

    std::string sigs = dir.file("Sigs");
    std::unique_ptr<Stage> stage = std::make_unique<Stage>(settings, prompter, random, sigs);
};

TEST_F(WizardTest, NamesThatCannotBeStoredAreRefusedBeforeTheNextPage) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&stage->wizard));
    // A profile added by hand while the wizard was open.
    writeProfileSlot(settings, 1, {"Friends", "/h", "/f", "/s"});
    for (const QString& typed : {u"   "_s, u"FRIENDS"_s}) {
        SCOPED_TRACE(typed.toStdString());
        control<QLineEdit>("txtProfile")->setText(typed);
        next();
        EXPECT_EQ(step(), 1);
        ASSERT_EQ(prompter.calls.size(), 1u);
        EXPECT_EQ(prompter.calls.back().window, &stage->wizard) << "the box belongs to the wizard";
        prompter.calls.clear();
    }
    control<QLineEdit>("txtProfile")->setText(u"Work"_s);
    next();
    EXPECT_EQ(step(), 2);
    EXPECT_EQ(stage->profilesTab.profileCount(), 0) << "nothing is made before the last page";
}

TEST_F(WizardTest, FinishingStoresTheProfileWritesTheHeaderAndTheFirstSignature) {
    const std::string footerText = "Well done is better than well said.";
    std::filesystem::create_directories(sigs);
    test::spit(sigs + "/humour.txt", footerText + "\n");
    runThrough(u"Humorous"_s);
    EXPECT_EQ(stored("Footer File 1"), sigs + "/humour.txt");
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Friends");
    EXPECT_EQ(test::slurp(sigs + "/sig.txt"),
              signatureFileBytes(composeSignature("Ann\nann@example.org", footerText, true)));
    EXPECT_FALSE(stage->wizard.isVisible()) << "closed without the exit question";
    EXPECT_TRUE(stage->mainWindow.isVisible());
}

TEST_F(WizardTest, ClosingAsksFirstAndCreatesNothing) {
    stage->mainWindow.hide();
    for (Prompter::Answer answer : {Prompter::Answer::No, Prompter::Answer::Yes}) {
        SCOPED_TRACE(static_cast<int>(answer));
        prompter.answers = {answer};
        // The Cancel button and the window's close box ask the same question.
        if (answer == Prompter::Answer::Yes)
            stage->wizard.close();
        else
            QTest::mouseClick(control<QPushButton>("cmdClose"), Qt::LeftButton);
        EXPECT_EQ(prompter.calls.back().title, u"Exit Wizard?"_s);
        EXPECT_EQ(stage->wizard.isVisible(), answer != Prompter::Answer::Yes);
        EXPECT_EQ(stage->mainWindow.isVisible(), answer == Prompter::Answer::Yes);
    }
    EXPECT_TRUE(nothingCreated());
}

TEST_F(WizardTest, AHeaderThatCannotBeWrittenIsReportedAndNothingIsStored) {
    test::spit(sigs, "not a folder"); // the signature folder cannot be made
    runThrough();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(test::slurp(sigs), "not a folder");
    EXPECT_TRUE(nothingCreated());
}

TEST_F(WizardTest, AnExistingHeaderFileIsReplacedOnlyWhenTheUserSaysSo) {
    std::filesystem::create_directories(sigs);
    for (Prompter::Answer answer : {Prompter::Answer::Cancel, Prompter::Answer::No, Prompter::Answer::Yes}) {
        SCOPED_TRACE(static_cast<int>(answer));
        test::spit(sigs + "/firstheader.txt", "mine\n");
        restart();
        prompter.calls.clear();
        prompter.answers = {answer};
        runThrough();
        EXPECT_EQ(prompter.calls.at(0).title, u"Replace file?"_s);
        EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"),
                  answer == Prompter::Answer::Yes ? "Ann\nann@example.org\n" : "mine\n");
        // Cancel stays on the page; No keeps the file and uses it.
        EXPECT_EQ(stored("Header File 1"),
                  answer == Prompter::Answer::Cancel ? "" : sigs + "/firstheader.txt");
    }
}

TEST_F(WizardTest, AProfileIsRefusedAtTheEndWhenTheListChangedMeanwhile) {
    // Another copy takes the name, or every slot; the user's header file stays as it was.
    std::filesystem::create_directories(sigs);
    for (const auto& [filled, firstName] : {std::pair{1, "friends"}, std::pair{kMaxProfiles, "Work"}}) {
        SCOPED_TRACE(filled);
        test::spit(sigs + "/firstheader.txt", "mine\n");
        restart();
        prompter.answers = {Prompter::Answer::Yes};
        control<QLineEdit>("txtProfile")->setText(u"Friends"_s);
        next();
        next();
        for (int n = 1; n <= filled; ++n)
            writeProfileSlot(settings, n, {n == 1 ? firstName : "P" + std::to_string(n), "/h", "/f", "/s"});
        next();
        EXPECT_EQ(step(), 3);
        EXPECT_EQ(test::slurp(sigs + "/firstheader.txt"), "mine\n");
        EXPECT_EQ(stored("Header File 1"), "/h") << "the profile made by hand is untouched";
    }
}

} // namespace
} // namespace quillmark
