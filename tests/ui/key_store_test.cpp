#include "ui/key_store.h"

#include "support/temp_folder.h"

#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

namespace fs = std::filesystem;

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

TEST_F(KeyStoreTest, ADamagedStoreIsNeitherReadNorOverwrittenAndAFailedWriteIsReported) {
    fs::create_directories(config + "/Halvrene");
    const std::string damaged[] = {"[General]\nAuthor=x\nWeb=\xff\xfe not text\n",
                                   std::string("[General]\nAuthor=x\0y\n", 21)};
    for (const std::string& bytes : damaged) {
        test::spit(store, bytes);
        EXPECT_EQ(keys.value(QString(), q("Author"), q("dflt")), q("dflt"));
        EXPECT_FALSE(keys.setValue(QString(), q("Author"), q("new")));
        EXPECT_EQ(test::slurp(store), bytes);
    }
    test::spit(store, "; a comment written by hand\n[General]\nAuthor = Someone\n");
    EXPECT_TRUE(keys.setValue(q("S"), q("old"), q("1"))) << "a sound store";
    EXPECT_EQ(KeyStore().value(q("S"), q("old")), q("1"));
    // A section goes whole; the application key itself, with every caller's values, never.
    EXPECT_EQ(keys.remove(q("/")).code(), ErrorCode::InvalidInput);
    EXPECT_EQ(keys.value(q("S"), q("old")), q("1"));
    EXPECT_TRUE(keys.remove(q("S")).ok());
    EXPECT_EQ(keys.remove(q("S")).code(), ErrorCode::NotFound);
}

} // namespace
} // namespace quillmark
