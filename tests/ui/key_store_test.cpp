#include "ui/key_store.h"

#include "support/temp_folder.h"
#include "ui/text_codec.h"

#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillmark {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RegSettingsTest : public ::testing::Test {
protected:
    RegSettingsTest() {
        test::isolateHome(m_tmp.path());
        // QSettings looks the configuration folder up once per process; each test has its own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(m_config));
    }

    test::TempFolder m_tmp;
    std::string m_config = m_tmp.file("config");
    std::string m_store = m_config + "/Halvrene/Quillmark.conf";
    KeyStore m_reg;
};

TEST_F(RegSettingsTest, NamesAreTrimmedAndAnEmptyNameRestoresTheDefault) {
    EXPECT_EQ(m_reg.company(), q("Halvrene"));
    EXPECT_EQ(m_reg.appName(), q("Quillmark"));

    m_reg.setCompany(q("  Acme Tools "));
    m_reg.setAppName(q(" Sig Keeper  "));
    EXPECT_EQ(m_reg.company(), q("Acme Tools"));
    EXPECT_EQ(m_reg.appName(), q("Sig Keeper"));
    ASSERT_TRUE(m_reg.setValue(q("S"), q("k"), q("v")));
    EXPECT_TRUE(std::filesystem::exists(m_config + "/Acme Tools/Sig Keeper.conf"));

    m_reg.setCompany(QString());
    m_reg.setAppName(QString());
    EXPECT_EQ(m_reg.company(), q("Halvrene"));
    EXPECT_EQ(m_reg.appName(), q("Quillmark"));
    EXPECT_EQ(m_reg.value(q("S"), q("k")), QString()) << "another company's key";

    // Spaces only leave an empty name: the store cannot be reached, and nothing lands in a
    // folder nobody asked for.
    m_reg.setCompany(q("   "));
    EXPECT_EQ(m_reg.company(), QString());
    EXPECT_FALSE(m_reg.setValue(q("S"), q("k"), q("v")));
    EXPECT_EQ(m_reg.value(q("S"), q("k"), q("fallback")), q("fallback"));
    m_reg.setCompany(q("Halvrene"));
    m_reg.setAppName(q("  "));
    EXPECT_EQ(m_reg.appName(), QString());
    EXPECT_FALSE(m_reg.setValue(q("S"), q("k"), q("v")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_config), {}), 1) << "only Acme Tools";
}

TEST_F(RegSettingsTest, AnyTextAndAnyNameReadBackUnchanged) {
    bool legacy = false;
    const QString cp1252 = textFromBytes("caf\xe9 \x80 \x93quoted\x94", &legacy);
    ASSERT_TRUE(legacy);
    const QString texts[] = {
        q("plain"),
        q("two\nlines\r\nand a CR\rend"),
        q("a=b; c # d [e] f,g"),
        q("  spaced both ends  "),
        q("\"quoted\" and 'single' and \\back\\slash"),
        q("@Variant(not really)"),
        q("%2F%25 percent"),
        q("Grüße, Ωμέγα, 日本語, 🖋"),
        cp1252,
        q("\t tab"),
    };
    const QString names[] = {q("plain"),   q("with/slash"), q("back\\slash"), q("."), q(".hidden"),
                             q("Default"), q("default"),    q("%2E"),         q("%"), q("a=b"),
                             q("[x]"),     q(" padded "),   q("名前")};
    for (int i = 0; i < std::ssize(texts); ++i)
        ASSERT_TRUE(m_reg.setValue(q("Texts"), QString::number(i), texts[i])) << i;
    for (int i = 0; i < std::ssize(names); ++i)
        ASSERT_TRUE(
            m_reg.setValue(q("Names\\") + QString::number(i), names[i], texts[i % std::ssize(texts)]));

    KeyStore fresh;
    for (int i = 0; i < std::ssize(texts); ++i)
        EXPECT_EQ(fresh.value(q("Texts"), QString::number(i)), texts[i]) << texts[i].toStdString();
    for (int i = 0; i < std::ssize(names); ++i) {
        const QString section = q("Names\\") + QString::number(i);
        EXPECT_EQ(fresh.value(section, names[i]), texts[i % std::ssize(texts)]) << names[i].toStdString();
        EXPECT_EQ(fresh.allValues(section),
                  (std::vector<std::pair<QString, QString>>{{names[i], texts[i % std::ssize(texts)]}}));
    }
    EXPECT_EQ(bytesFromText(fresh.value(q("Texts"), q("8")), true), "caf\xe9 \x80 \x93quoted\x94");
}

TEST_F(RegSettingsTest, MissingOrEmptyValuesGiveTheDefaultAndStarIsTheKeysOwnValue) {
    EXPECT_EQ(m_reg.value(q("Nowhere"), q("k")), QString());
    EXPECT_EQ(m_reg.value(q("Nowhere"), q("k"), q("dflt")), q("dflt"));
    EXPECT_FALSE(std::filesystem::exists(m_store)) << "reading creates nothing";

    ASSERT_TRUE(m_reg.setValue(q("Sec"), q("empty"), QString()));
    EXPECT_EQ(m_reg.value(q("Sec"), q("empty"), q("dflt")), q("dflt"));

    ASSERT_TRUE(m_reg.setValue(q("Sec"), q("*"), q("the key's own")));
    ASSERT_TRUE(m_reg.setValue(q("Sec"), q("Default"), q("named Default")));
    ASSERT_TRUE(m_reg.setValue(q("Sec"), q("."), q("named dot")));
    ASSERT_TRUE(m_reg.setValue(q("Sec"), q("Zeta"), q("z")));
    ASSERT_TRUE(m_reg.setValue(q("Sec\\Deeper"), q("hidden"), q("not a value of Sec")));
    EXPECT_EQ(m_reg.value(q("Sec"), q("*")), q("the key's own"));
    EXPECT_EQ(m_reg.value(q("Sec"), QString()), q("the key's own"));
    EXPECT_EQ(m_reg.value(q("Sec/Deeper"), q("hidden")), q("not a value of Sec"));

    using Rows = std::vector<std::pair<QString, QString>>;
    EXPECT_EQ(m_reg.allValues(q("Sec")), (Rows{{QString(), q("the key's own")},
                                               {q("."), q("named dot")},
                                               {q("Default"), q("named Default")},
                                               {q("Zeta"), q("z")},
                                               {q("empty"), QString()}}));
    EXPECT_TRUE(m_reg.allValues(q("Nowhere")).empty());
}

TEST_F(RegSettingsTest, DeletingAValueOrASectionReportsWhetherThereWasOne) {
    ASSERT_TRUE(m_reg.setValue(q("Keep"), q("a"), q("1")));
    ASSERT_TRUE(m_reg.setValue(q("Gone"), q("a"), q("1")));
    ASSERT_TRUE(m_reg.setValue(q("Gone"), q("b"), q("2")));
    ASSERT_TRUE(m_reg.setValue(q("Gone\\Sub"), q("c"), q("3")));
    ASSERT_TRUE(m_reg.setValue(QString(), q("Top"), q("t")));

    EXPECT_TRUE(m_reg.remove(q("Gone"), q("a")));
    EXPECT_FALSE(m_reg.remove(q("Gone"), q("a")));
    EXPECT_FALSE(m_reg.remove(q("Gone"), q("*")));
    EXPECT_EQ(m_reg.value(q("Gone"), q("b")), q("2"));

    EXPECT_TRUE(m_reg.remove(q("Gone")));
    EXPECT_EQ(m_reg.value(q("Gone"), q("b")), QString());
    EXPECT_EQ(m_reg.value(q("Gone\\Sub"), q("c")), QString());
    EXPECT_FALSE(m_reg.remove(q("Gone")));

    EXPECT_FALSE(m_reg.remove(QString())) << "the application key is not a section";
    EXPECT_FALSE(m_reg.remove(q("\\")));
    KeyStore fresh;
    EXPECT_EQ(fresh.value(q("Keep"), q("a")), q("1"));
    EXPECT_EQ(fresh.value(QString(), q("Top")), q("t"));
}

TEST_F(RegSettingsTest, MakerInformationGoesUnderTheApplicationKey) {
    ASSERT_TRUE(writeMakerInformation(m_reg));
    using Rows = std::vector<std::pair<QString, QString>>;
    EXPECT_EQ(KeyStore().allValues(QString()), (Rows{{q("Author"), q("The Quillmark developers")},
                                                     {q("Mail"), q("support@quillmark.org")},
                                                     {q("Web"), q("https://quillmark.org")}}));
}

TEST_F(RegSettingsTest, ADamagedStoreIsNeitherReadNorOverwritten) {
    std::filesystem::create_directories(m_config + "/Halvrene");
    const std::string damaged[] = {
        "[General\nAuthor=x\n",
        "[General]\nAuthor=x\nWeb=\xff\xfe not text\n",
        "[General]\nAuthor=x\nhalf a line without its value\n",
        std::string("[General]\nAuthor=x\0y\n", 21),
    };
    for (const std::string& bytes : damaged) {
        test::spit(m_store, bytes);
        EXPECT_EQ(m_reg.value(QString(), q("Author"), q("dflt")), q("dflt"));
        EXPECT_FALSE(m_reg.setValue(QString(), q("Author"), q("new")));
        EXPECT_FALSE(m_reg.remove(QString(), q("Author")));
        EXPECT_TRUE(m_reg.allValues(QString()).empty());
        EXPECT_EQ(test::slurp(m_store), bytes);
    }

    // A file written by hand, with a comment, is a sound store.
    test::spit(m_store, "; kept by hand\n[General]\nAuthor = Someone\n\n[Sec]\nk=v\n");
    EXPECT_EQ(m_reg.value(QString(), q("Author")), q("Someone"));
    EXPECT_TRUE(m_reg.setValue(q("Sec"), q("k2"), q("v2")));
    EXPECT_EQ(m_reg.value(q("Sec"), q("k")), q("v"));

    std::filesystem::remove(m_store);
    std::filesystem::create_directory(m_store);
    EXPECT_FALSE(m_reg.setValue(q("Sec"), q("k"), q("v")));
    EXPECT_EQ(m_reg.value(q("Sec"), q("k"), q("dflt")), q("dflt"));
}

TEST_F(RegSettingsTest, AWriteThatFailsIsReportedAndNotPassedOffAsStored) {
    ASSERT_TRUE(m_reg.setValue(q("S"), q("old"), q("1")));

    // The vendor folder turns into a file: nothing can be written below it.
    std::filesystem::remove_all(m_config + "/Halvrene");
    test::spit(m_config + "/Halvrene", "in the way");
    EXPECT_FALSE(m_reg.setValue(q("S"), q("lost"), q("2")));
    EXPECT_EQ(m_reg.value(q("S"), q("lost"), q("dflt")), q("dflt"));

    std::filesystem::remove(m_config + "/Halvrene");
    ASSERT_TRUE(m_reg.setValue(q("S"), q("later"), q("3")));
    EXPECT_EQ(m_reg.allValues(q("S")), (std::vector<std::pair<QString, QString>>{{q("later"), q("3")}}));
    EXPECT_EQ(test::slurp(m_store).find("lost"), std::string::npos);

    if (::geteuid() == 0)
        return; // root writes through any permission
    // A store that is read but cannot be replaced: the failed value must not linger in
    // memory and turn up in a read or in the next successful write.
    namespace fs = std::filesystem;
    fs::permissions(m_store, fs::perms::owner_read);
    fs::permissions(m_config + "/Halvrene", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(m_reg.setValue(q("S"), q("later"), q("changed")));
    EXPECT_FALSE(m_reg.setValue(q("S"), q("lost"), q("2")));
    EXPECT_EQ(m_reg.value(q("S"), q("later")), q("3"));
    EXPECT_EQ(m_reg.value(q("S"), q("lost"), q("dflt")), q("dflt"));
    fs::permissions(m_config + "/Halvrene", fs::perms::owner_all);
    fs::permissions(m_store, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(m_reg.setValue(q("S"), q("another"), q("4")));
    EXPECT_EQ(KeyStore().allValues(q("S")),
              (std::vector<std::pair<QString, QString>>{{q("another"), q("4")}, {q("later"), q("3")}}));
}

} // namespace
} // namespace quillmark
