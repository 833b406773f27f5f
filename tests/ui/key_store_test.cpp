#include "ui/key_store.h"

#include "support/temp_folder.h"

#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

TEST(KeyStoreTest, ADamagedStoreIsNeitherReadNorOverwrittenAndAFailedWriteIsReported) {
    test::TempFolder tmp;
    test::isolateHome(tmp.path());
    const std::string config = tmp.file("config"), store = config + "/Halvrene/Quillmark.conf";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config));
    KeyStore keys;
    fs::create_directories(config + "/Halvrene");
    const std::string damaged[] = {"[General]\nAuthor=x\nWeb=\xff\xfe not text\n",
                                   std::string("[General]\nAuthor=x\0y\n", 21)};
    for (const std::string& bytes : damaged) {
        test::spit(store, bytes);
        EXPECT_EQ(keys.value(QString(), u"Author"_s, u"dflt"_s), u"dflt"_s);
        EXPECT_FALSE(keys.setValue(QString(), u"Author"_s, u"new"_s));
        EXPECT_EQ(test::slurp(store), bytes);
    }
    test::spit(store, "; a comment written by hand\n[General]\nAuthor = Someone\n");
    EXPECT_TRUE(keys.setValue(u"S"_s, u"old"_s, u"1"_s)) << "a sound store";
    EXPECT_EQ(KeyStore().value(u"S"_s, u"old"_s), u"1"_s);
    // Names are trimmed and an empty one is the default again: the same key is listed.
    keys.setCompany(u" Halvrene  "_s);
    keys.setAppName(QString());
    EXPECT_EQ(keys.allValues(u"S"_s), (std::vector<std::pair<QString, QString>>{{u"old"_s, u"1"_s}}));
    // A section goes whole; the application key itself, with every caller's values, never.
    EXPECT_EQ(keys.remove(u"/"_s).code(), ErrorCode::InvalidInput);
    EXPECT_EQ(keys.value(u"S"_s, u"old"_s), u"1"_s);
    EXPECT_TRUE(keys.remove(u"S"_s).ok());
}

} // namespace
} // namespace quillmark
