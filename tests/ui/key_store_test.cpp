#include "ui/key_store.h"

#include "support/temp_folder.h"

#include <QSettings>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::pair<QString, QString>>;

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class KeyStoreTest : public ::testing::Test {
protected:
    KeyStoreTest() {
        test::isolateHome(tmp.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config));
    }
    test::TempFolder tmp;
    std::string config = tmp.file("config"), store = config + "/Halvrene/Quillmark.conf";
    KeyStore keys;
};

TEST_F(KeyStoreTest, NamesAreTrimmedAndAnEmptyNameRestoresTheDefault) {
    keys.setCompany(q("  Acme Tools "));
    keys.setAppName(q(" Sig Keeper  "));
    ASSERT_TRUE(keys.setValue(q("S"), q("k"), q("v")));
    EXPECT_TRUE(fs::exists(config + "/Acme Tools/Sig Keeper.conf"));
    keys.setCompany({});
    EXPECT_EQ(keys.value(q("S"), q("k"), q("dflt")), q("dflt")) << "another company's key";
    // Spaces only leave the store unusable, and nothing lands in a folder nobody asked for.
    keys.setCompany(q("   "));
    EXPECT_FALSE(keys.setValue(q("S"), q("k"), q("v")));
    EXPECT_EQ(std::distance(fs::directory_iterator(config), {}), 1);
}

TEST_F(KeyStoreTest, AnyTextUnderAnyNameReadsBackUnchangedAndEmptyGivesTheDefault) {
    Rows all = {{q("with/slash"), q("two\nlines\r\nand a CR\rend")},
                {q("back\\slash"), q("  spaced a=b; c # d [e] f,g  ")},
                {q("Default"), q("\"quoted\" 'single' \\back\\slash")},
                {q("%2E"), q("@Variant(not really)")},
                {q("."), q("a dot")},
                {QString(), q("\t%2F%25 Grüße, 日本語, 🖋")}};
    for (const auto& [name, text] : all)
        ASSERT_TRUE(keys.setValue(q("Names"), name, text));
    ASSERT_TRUE(keys.setValue(q("Names\\Deeper"), q("hidden"), q("not a value of Names")));
    const KeyStore fresh;
    EXPECT_EQ(fresh.value(q("Names"), q("*")), all.back().second);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(fresh.allValues(q("Names")), all);
    ASSERT_TRUE(keys.setValue(q("Names"), q("empty"), QString()));
    EXPECT_EQ(keys.value(q("Names"), q("empty"), q("dflt")), q("dflt"));
}

TEST_F(KeyStoreTest, DeletingSaysWhetherThereWasSomethingAndNeverTakesTheApplicationKey) {
    for (const char* section : {"Keep", "Gone", "Gone\\Sub"})
        ASSERT_TRUE(keys.setValue(q(section), q("a"), q("1")));
    EXPECT_TRUE(keys.remove(q("Gone"), q("a")));
    EXPECT_FALSE(keys.remove(q("Gone"), q("a")));
    EXPECT_TRUE(keys.remove(q("Gone")));
    EXPECT_FALSE(keys.remove(q("Gone")));
    EXPECT_FALSE(keys.remove(q("\\")));
    EXPECT_EQ(KeyStore().value(q("Keep"), q("a")), q("1"));
}

TEST_F(KeyStoreTest, ADamagedStoreIsNeitherReadNorOverwrittenAndAFailedWriteIsReported) {
    fs::create_directories(config + "/Halvrene");
    const std::string damaged[] = {"[General]\nAuthor=x\nWeb=\xff\xfe not text\n",
                                   "[General]\nAuthor=x\nhalf a line without its value\n",
                                   std::string("[General]\nAuthor=x\0y\n", 21)};
    for (const std::string& bytes : damaged) {
        test::spit(store, bytes);
        EXPECT_EQ(keys.value(QString(), q("Author"), q("dflt")), q("dflt"));
        EXPECT_FALSE(keys.setValue(QString(), q("Author"), q("new")));
        EXPECT_EQ(test::slurp(store), bytes);
    }
    test::spit(store, "; a comment written by hand\n[General]\nAuthor = Someone\n");
    EXPECT_TRUE(keys.setValue(q("S"), q("old"), q("1"))) << "a sound store";
    // The vendor folder turns into a file: nothing can be written below it.
    fs::remove_all(config + "/Halvrene");
    test::spit(config + "/Halvrene", "in the way");
    EXPECT_FALSE(keys.setValue(q("S"), q("lost"), q("2")));
    EXPECT_EQ(keys.value(q("S"), q("lost"), q("dflt")), q("dflt"));
    fs::remove(config + "/Halvrene");
    ASSERT_TRUE(keys.setValue(q("S"), q("later"), q("3")));
    EXPECT_EQ(KeyStore().allValues(q("S")), (Rows{{q("later"), q("3")}}));
}

} // namespace
} // namespace quillmark
