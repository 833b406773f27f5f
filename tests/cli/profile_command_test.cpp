#include "cli/profile_command.h"

#include "platform/app_folders.h"
#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "profiles/profile_store.h"
#include "settings/setting_keys.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;

// The Profiles tab's procedures, step by step as the tab runs them on its own Settings:
// the command line must leave the file exactly as these do.
struct TabSteps {
    Settings& s;
    void select(const std::string& name) { // list selection: readProfileSettings
        if (const int slot = findProfileSlotIgnoringCase(s, name); slot != 0)
            static_cast<void>(readProfileSlot(s, keys::kProfiles, slot));
    }
    void choose(const std::string& name) { // selectProfile
        if (const int slot = findProfileSlotExact(s, "PROFILES", name); slot != 0)
            static_cast<void>(readProfileSlot(s, "PROFILES", slot));
        s.writeIni(keys::kLastProfile.section, keys::kLastProfile.key, name);
    }
    void save(const ProfileRecord& boxes) { // saveProfileSettings
        writeProfileSlot(s, findSlotForSave(s, boxes.name), boxes);
        choose(boxes.name);
    }
};

class ProfileCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::isolateHome(m_tmp.path());
        ASSERT_TRUE(makeFolders(programFolder() + "/Sigs").ok());
        setErrorLogPath(m_tmp.file("errorlog.dat"));
        spit(m_tmp.file("h.txt"), "H\n");
        spit(m_tmp.file("f.txt"), "F\n");
    }
    std::string start() const {
        return "[SETTINGS]\nINTERVAL_1=60\n[Profiles]\nPROFILE 1=Friends\nHEADER FILE 1=/h1\nFOOTER FILE "
               "1=/f1\n"
               "SIG FILE 1=/s1\nPROFILE 2=\nHEADER FILE 2=\nFOOTER FILE 2=\nSIG FILE 2=\nPROFILE 3=Work\n"
               "HEADER FILE 3=/h3\nFOOTER FILE 3=/f3\nSIG FILE 3=/s3\n[User]\nLAST PROFILE=Work\n";
    }
    int add(const std::string& ini, const std::string& name,
            std::optional<std::string> output = std::nullopt) {
        return runProfileAdd({name, m_tmp.file("h.txt"), m_tmp.file("f.txt"), std::move(output)}, ini, m_out,
                             m_err);
    }
    test::TempFolder m_tmp;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ProfileCommandTest, EachCommandWritesWhatTheProfilesTabWrites) {
    const std::string cli = m_tmp.file("cli.INI");
    const std::string tab = m_tmp.file("tab.INI");
    spit(cli, start());
    spit(tab, start());
    Settings tabSettings(tab);
    TabSteps steps{tabSettings};

    // New: the list selects the new name, then the save stores it in the lowest free slot.
    ASSERT_EQ(add(cli, "Club", m_tmp.file("out.txt")), 0) << m_err.str();
    steps.select("Club");
    steps.save({"Club", m_tmp.file("h.txt"), m_tmp.file("f.txt"), m_tmp.file("out.txt")});
    EXPECT_EQ(slurp(cli), slurp(tab));
    EXPECT_NE(slurp(cli).find("PROFILE 2=Club\n"), std::string::npos);
    EXPECT_NE(slurp(cli).find("LAST PROFILE=Club\n"), std::string::npos);

    // Choose, in another letter case: the stored name becomes current.
    ASSERT_EQ(runProfileUse("friends", cli, m_out, m_err), 0) << m_err.str();
    steps.choose("Friends");
    EXPECT_EQ(slurp(cli), slurp(tab));

    // Delete: the slot is freed, the first remaining profile is read, saved and made current.
    ASSERT_EQ(runProfileRemove("Friends", cli, m_out, m_err), 0) << m_err.str();
    steps.select("Friends");
    for (int n = 1; n <= kMaxProfiles; ++n)
        if (tabSettings.readIniPlain(keys::kProfiles, profileNameKey(n)) == "Friends")
            writeProfileSlot(tabSettings, n, {});
    steps.select("Club");
    steps.save({"Club", m_tmp.file("h.txt"), m_tmp.file("f.txt"), m_tmp.file("out.txt")});
    EXPECT_EQ(slurp(cli), slurp(tab));
    EXPECT_NE(slurp(cli).find("PROFILE 1=\nHEADER FILE 1=\n"), std::string::npos);

    // Deleting the last ones: the boxes are saved under the empty name, "Last Profile" empties.
    ASSERT_EQ(runProfileRemove("Club", cli, m_out, m_err), 0);
    ASSERT_EQ(runProfileRemove("work", cli, m_out, m_err), 0);
    steps.select("Club");
    writeProfileSlot(tabSettings, 2, {});
    steps.select("Work");
    steps.save({"Work", "/h3", "/f3", "/s3"});
    steps.select("Work");
    writeProfileSlot(tabSettings, 3, {});
    steps.save({"", "/h3", "/f3", "/s3"});
    EXPECT_EQ(slurp(cli), slurp(tab));
    Settings after(cli);
    EXPECT_TRUE(listProfileNames(after).empty());
    EXPECT_EQ(after.readIniPlain("User", "Last Profile"), "");
}

TEST_F(ProfileCommandTest, RefusedInputChangesNothing) {
    const std::string ini = m_tmp.file("Quillmark.INI");
    spit(ini, start());
    struct Case {
        std::string name;
        std::optional<std::string> output;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"WORK", std::nullopt, 2, "already a profile called 'Work'"},
        {"Two\nlines", std::nullopt, 2, "line break"},
        {" padded", std::nullopt, 2, "stands in quotes"},
        {"\"quoted\"", std::nullopt, 2, "stands in quotes"},
        {"True", std::nullopt, 2, "as a number"},
        {std::string(4000, 'n'), std::nullopt, 2, "(253 bytes"},
        {"Long path", "/" + std::string(4000, 'p') + "/sig.txt", 2, "(253 bytes"},
        {"Path with a line break", m_tmp.file("a\nb.txt"), 2, "line break"},
        {"Missing folder", m_tmp.file("missing/sig.txt"), 1, "does not exist"},
        {"Over source", m_tmp.file("h.txt"), 2, "header file"},
        {"", std::nullopt, 2, "needs a name"},
    };
    for (const Case& c : cases) {
        m_err.str({});
        EXPECT_EQ(add(ini, c.name, c.output), c.status) << c.name.substr(0, 20);
        EXPECT_NE(m_err.str().find(c.message), std::string::npos) << m_err.str();
        EXPECT_EQ(slurp(ini), start()) << c.name.substr(0, 20);
    }
    // Names with spaces, inner quotes, "=" and bytes that are not UTF-8 are stored as given;
    // the signature folder for their output files is made when missing.
    std::filesystem::remove(programFolder() + "/Sigs");
    for (const std::string name : {"Work mail", "Ann's = \"best\"", "Caf\xe9"}) {
        ASSERT_EQ(add(ini, name), 0) << m_err.str();
        Settings settings(ini);
        EXPECT_EQ(settings.readIniPlain("User", "Last Profile"), name);
    }
    EXPECT_EQ(runProfileUse("Nobody", ini, m_out, m_err), 2);
    EXPECT_EQ(runProfileRemove("Nobody", ini, m_out, m_err), 2);

    // The 65th profile.
    const std::string full = m_tmp.file("full.INI");
    {
        Settings settings(full);
        Settings::Batch batch(settings);
        for (int n = 1; n <= kMaxProfiles; ++n)
            writeProfileSlot(settings, n, {"P" + std::to_string(n), "/h", "/f", "/s"});
    }
    const std::string before = slurp(full);
    m_err.str({});
    EXPECT_EQ(add(full, "One more"), 2);
    EXPECT_NE(m_err.str().find("all 64 profiles"), std::string::npos);
    EXPECT_EQ(slurp(full), before);
}

TEST_F(ProfileCommandTest, ShowPrintsTheThreePathsAndWritesNothing) {
    const std::string ini = m_tmp.file("Quillmark.INI");
    spit(ini, start());
    EXPECT_EQ(runProfileShow(std::nullopt, ini, m_out, m_err), 0);
    EXPECT_EQ(runProfileShow(std::string("friends"), ini, m_out, m_err), 0);
    EXPECT_EQ(m_out.str(), "header: /h3\nfooter: /f3\noutput: /s3\nheader: /h1\nfooter: /f1\noutput: /s1\n");
    EXPECT_EQ(runProfileShow(std::string("Nobody"), ini, m_out, m_err), 2);
    EXPECT_EQ(slurp(ini), start());
}

} // namespace
} // namespace quillmark
