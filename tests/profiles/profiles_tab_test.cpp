#include "profiles/profile_menu.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_tab.h"
#include "signature/compose.h"
#include "support/ui_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace quillmark {
namespace {

class ProfilesTabTest : public test::UiTest {
protected:
    ProfilesTabTest() {
        writeProfileSlot(settings, 1, {"Friends", "/h1", "/f1", "/s1"});
        writeProfileSlot(settings, 3, {"Work", "/h3", "/f3", "/s3"});
        tab.setSigPath("/sigs");
        tab.setProfileMenu(&menu);
    }
    template <typename T> T* control(const char* name) {
        T* found = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString fileBox(int index) {
        return control<QLineEdit>(("txtFile" + std::to_string(index)).c_str())->text();
    }

    SignatureState state;
    DetachedProfileMenu menu;
    ProfilesTab tab{settings, state, prompter};
};

TEST_F(ProfilesTabTest, ReadCorrectsTheCallersNameAndFillsTheBoxes) {
    tab.listProfiles();
    ASSERT_EQ(control<QComboBox>("cmbProfile")->count(), 2);
    std::string name = "work";
    tab.readProfileSettings(name);
    EXPECT_EQ(name, "Work");
    EXPECT_EQ(tab.cmbProfileText(), "Work");
    EXPECT_EQ(fileBox(2), QStringLiteral("/s3"));
    EXPECT_FALSE(tab.hasUnsavedChanges());

    name = "Nobody";
    tab.readProfileSettings(name);
    EXPECT_EQ(name, "");
    EXPECT_EQ(fileBox(0), QStringLiteral("/sigs/header.txt"));
    EXPECT_EQ(fileBox(1), QStringLiteral("/sigs/footer.txt"));
    EXPECT_EQ(fileBox(2), QStringLiteral("/sigs/sig.txt"));
    EXPECT_FALSE(tab.hasUnsavedChanges());
    control<QLineEdit>("txtFile0")->setText(QStringLiteral("/other"));
    EXPECT_TRUE(tab.hasUnsavedChanges());
}

TEST_F(ProfilesTabTest, SelectMakesProfileCurrentEvenWhenNameIsUnknown) {
    tab.listProfiles();
    tab.buildProfileMenu();
    QSignalSpy madeCurrent(&tab, &ProfilesTab::profileMadeCurrent);
    tab.selectProfile("Work");
    EXPECT_EQ(state.sigFile, "/s3");
    EXPECT_EQ(control<QLabel>("lblSigSavedAs")->text(), QStringLiteral("Saved As: /s3"));
    EXPECT_EQ(control<QLabel>("lblCurrentProfile")->text(), QStringLiteral("Current Profile: Work"));
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "Work");
    EXPECT_EQ(madeCurrent.count(), 1);

    // A name no slot holds (letter case counts here) keeps the paths but is still shown and stored.
    tab.selectProfile("friends");
    EXPECT_EQ(state.sigFile, "/s3");
    EXPECT_EQ(control<QLabel>("lblCurrentProfile")->text(), QStringLiteral("Current Profile: friends"));
    EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), "friends");
    EXPECT_EQ(madeCurrent.count(), 2);
}

TEST_F(ProfilesTabTest, SaveStoresEditsInTheProfilesOwnSlot) {
    tab.listProfiles();
    std::string name = "Work";
    tab.readProfileSettings(name);
    control<QLineEdit>("txtFile2")->setText(QStringLiteral("/new/sig.txt"));
    tab.saveProfileIfChanged();
    EXPECT_EQ(settings.readIniPlain("Profiles", "Sig File 3"), "/new/sig.txt");
    EXPECT_EQ(settings.readIniPlain("Profiles", "Profile 2"), "");
    EXPECT_EQ(state.sigFile, "/new/sig.txt");
    EXPECT_FALSE(tab.hasUnsavedChanges());
}

TEST_F(ProfilesTabTest, SaveRefusesWhenEverySlotHoldsAnotherProfile) {
    {
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            writeProfileSlot(settings, n, {"P" + std::to_string(n), "h", "f", "s"});
    }
    const std::string before = test::slurp(ini);
    auto* list = control<QComboBox>("cmbProfile");
    list->addItem(QStringLiteral("New one"), QByteArray("New one"));
    list->setCurrentIndex(list->count() - 1);
    QTest::mouseClick(control<QPushButton>("cmdSaveFileSettings"), Qt::LeftButton);
    EXPECT_EQ(test::slurp(ini), before);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].text.contains(QStringLiteral("64")));
}

} // namespace
} // namespace quillmark
