#include "platform/wallpaper_setter.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "support/ui_fixture.h"
#include "wallpaper/wallpaper_tab.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::slurp;
using test::spit;

class FakeSetter final : public WallpaperSetter {
public:
    std::vector<std::string> paths;
    std::vector<QSize> sizes;
    std::optional<Error> failure;
    Status setWallpaper(const std::string& imagePath, const QImage& picture) override {
        paths.push_back(imagePath);
        sizes.push_back(picture.size());
        if (failure)
            return *failure;
        return {};
    }
};

std::uint32_t crc32(const QByteArray& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBigEndian(QByteArray& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((v >> shift) & 0xff));
}

// A PNG of the given header fields and picture data (the zlib stream).
QByteArray png(std::uint32_t width, std::uint32_t height, int depth, int colourType,
               const QByteArray& palette, const QByteArray& data) {
    QByteArray header;
    appendBigEndian(header, width);
    appendBigEndian(header, height);
    header.append(static_cast<char>(depth)).append(static_cast<char>(colourType)).append(QByteArray(3, '\0'));
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    const std::pair<const char*, QByteArray> chunks[] = {
        {"IHDR", header}, {"PLTE", palette}, {"IDAT", data}, {"IEND", {}}};
    for (const auto& [type, body] : chunks) {
        if (body.isEmpty() && type != std::string_view("IEND"))
            continue;
        appendBigEndian(out, static_cast<std::uint32_t>(body.size()));
        const QByteArray chunk = type + body;
        out.append(chunk);
        appendBigEndian(out, crc32(chunk));
    }
    return out;
}

// A PNG whose header claims the given size, with no picture data behind it.
QByteArray pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    return png(width, height, 8, 2, {}, QByteArray("\x78\x9c\x03\x00", 4));
}

QByteArray rgb(QRgb colour) {
    return QByteArray(1, static_cast<char>(qRed(colour))) + static_cast<char>(qGreen(colour)) +
           static_cast<char>(qBlue(colour));
}

// A 2000 x 1000 palette PNG of the given bit depth, every pixel the first of its two colours.
QByteArray palettePng(int depth, QRgb colour) {
    const QByteArray rows(1000 * (1 + (2000 * depth + 7) / 8), '\0');
    return png(2000, 1000, depth, 3, rgb(colour) + rgb(qRgb(0, 0, 255)), qCompress(rows).mid(4));
}

// A 1 x 1 GIF of the given colour with two frames that loops forever.
std::string animatedGif(QRgb colour) {
    const std::string frame("\x21\xF9\x04\x00\x0A\x00\x00\x00"
                            "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00"
                            "\x02\x02\x44\x01\x00",
                            23);
    return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) +
           (rgb(colour) + rgb(qRgb(255, 255, 255))).toStdString() +
           std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19) + frame + frame + "\x3B";
}

class WallpaperTabTest : public test::UiTest {
protected:
    WallpaperTabTest() {
        ::mkdir(programFolder.c_str(), 0755);
        ::mkdir(pictures.c_str(), 0755);
        tab.setProgramFolder(programFolder);
        tab.setWallpaperSetter(&setter);
        tab.setScreenSize([] { return QSize(1024, 768); });
        tab.setScreenDepth([] { return 24; });
        tab.resize(640, 420);
        tab.show();
        tab.loadSettings(settings);
        tab.loadWallpaperList();
    }
    template <typename T> T* find(const char* name) {
        T* control = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    std::string picture(const char* name, int w, int h, QImage::Format format = QImage::Format_RGB32) {
        QImage image(w, h, format);
        image.fill(QColor(200, 30, 40));
        const std::string path = pictures + "/" + name;
        EXPECT_TRUE(image.save(QString::fromStdString(path), "png"));
        return path;
    }
    void addToList(const std::vector<std::string>& paths) {
        QStringList list;
        for (const auto& p : paths)
            list << QString::fromStdString(p);
        prompter.pathLists.push_back(list);
        QTest::mouseClick(find<QPushButton>("cmdBrowseWallpaper"), Qt::LeftButton);
    }
    QListView* list() { return find<QListView>("lstWallpaper"); }
    int rows() { return list()->model()->rowCount(); }
    void select(int row) {
        list()->selectionModel()->select(list()->model()->index(row, 0), QItemSelectionModel::Select);
    }
    void clickRow(int row) {
        const QModelIndex index = list()->model()->index(row, 0);
        list()->scrollTo(index);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(index).center());
    }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    static QSize sizeOf(const std::string& path) { return QImageReader(QString::fromStdString(path)).size(); }

    std::string programFolder = dir.file("Quillmark");
    std::string pictures = dir.file("Pictures");
    std::string listFile = programFolder + "/wallpaper.lst";
    std::string wallpaper1 = programFolder + "/QuillmarkWallpaper.png";
    std::string wallpaper2 = programFolder + "/QuillmarkWallpaper2.png";
    FakeSetter setter;
    WallpaperTab tab{prompter, random};
};

TEST_F(WallpaperTabTest, AddingKeepsThePathsAndSavesTheListAndTheFolder) {
    const std::string sea = picture("Sea View.PNG", 80, 60);
    const std::string hill = picture("hill.png", 80, 60);
    std::string pictureFolder = pictures;
    writeText(settings, keys::kLastDirectory, pictures + "/");

    addToList({sea, hill});
    ASSERT_FALSE(prompter.calls.empty());
    EXPECT_EQ(prompter.calls.back().kind, QStringLiteral("openFiles"));
    EXPECT_EQ(prompter.calls.back().text, QStringLiteral("Choose Wallpaper files"));
    EXPECT_EQ(prompter.calls.back().path, QString::fromStdString(pictures));
    EXPECT_EQ(slurp(listFile), sea + "\n" + hill + "\n");
    EXPECT_EQ(text("lblWallpaperCount"), QStringLiteral("2 wallpaper files"));
    EXPECT_EQ(readText(settings, keys::kLastDirectory), pictures);

    // The same file again, then a cancelled dialog: nothing more in the list.
    addToList({sea});
    QTest::mouseClick(find<QPushButton>("cmdBrowseWallpaper"), Qt::LeftButton);
    EXPECT_EQ(slurp(listFile), sea + "\n" + hill + "\n");
    EXPECT_EQ(rows(), 2);

    // A start folder that is gone is not offered.
    writeText(settings, keys::kLastDirectory, dir.file("gone"));
    QTest::mouseClick(find<QPushButton>("cmdBrowseWallpaper"), Qt::LeftButton);
    EXPECT_EQ(prompter.calls.back().path, QString());
}

TEST_F(WallpaperTabTest, RemovingSelectsTheNextEntryAndAnEmptiedListStaysEmpty) {
    spit(listFile, "/p/a\r\n/p/b\r\n/p/c\r\n/p/d\r\n/p/e\r\n/p/f\r\n");
    tab.loadWallpaperList();
    ASSERT_EQ(rows(), 6);
    select(1);
    select(3);
    QTest::mouseClick(find<QPushButton>("cmdDeleteWallpaperItems"), Qt::LeftButton);
    EXPECT_EQ(text("lblWallpaperDimensions"), QStringLiteral("2 files removed from list"));
    EXPECT_EQ(list()->currentIndex().row(), 2);
    EXPECT_EQ(list()->currentIndex().data().toString(), QStringLiteral("/p/e"));
    EXPECT_TRUE(list()->selectionModel()->isSelected(list()->currentIndex()));
    EXPECT_EQ(slurp(listFile), "/p/a\n/p/c\n/p/e\n/p/f\n");
    EXPECT_EQ(text("lblWallpaperCount"), QStringLiteral("4 wallpaper files"));

    list()->selectAll();
    QTest::mouseClick(find<QPushButton>("cmdDeleteWallpaperItems"), Qt::LeftButton);
    EXPECT_EQ(text("lblWallpaperDimensions"), QStringLiteral("4 files removed from list"));
    EXPECT_EQ(slurp(listFile), "");
    tab.loadWallpaperList();
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(text("lblWallpaperCount"), QStringLiteral("0 wallpaper files"));

    // Nothing selected: nothing happens.
    QTest::mouseClick(find<QPushButton>("cmdDeleteWallpaperItems"), Qt::LeftButton);
    EXPECT_EQ(text("lblWallpaperDimensions"), QStringLiteral("4 files removed from list"));
}

TEST_F(WallpaperTabTest, LoadsLargeAndDamagedListFiles) {
    std::string big;
    for (int i = 0; i < 100000; ++i)
        big += "/p/" + std::to_string(i) + ".jpg\r\n";
    spit(listFile, big);
    tab.loadWallpaperList();
    EXPECT_EQ(text("lblWallpaperCount"), QStringLiteral("100000 wallpaper files"));

    using namespace std::string_literals;
    spit(listFile, "/p/a.jpg\n\n/p/\0b.jpg\r"s + std::string(10000, 'x') + "\r");
    tab.loadWallpaperList();
    EXPECT_EQ(text("lblWallpaperCount"), QStringLiteral("2 wallpaper files"));
    EXPECT_NE(slurp(dir.file("errorlog.dat")).find("2 lines name no file"), std::string::npos);
    // Loading alone never rewrites the file.
    EXPECT_EQ(slurp(listFile).size(), 10021u);
}

TEST_F(WallpaperTabTest, ListThatCannotBeReadIsNeverOverwritten) {
    ::mkdir(listFile.c_str(), 0755); // a folder where the list file should be
    tab.loadWallpaperList();
    addToList({picture("a.png", 10, 10)});
    tab.saveWallpaperList();
    struct stat st {};
    ASSERT_EQ(::stat(listFile.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(slurp(dir.file("errorlog.dat")).find("not rewritten"), std::string::npos);
}

TEST_F(WallpaperTabTest, PreviewShowsSizeAndColourDepth) {
    const std::string rgb = picture("rgb.png", 800, 600);
    const std::string tall = picture("tall.png", 300, 900);
    const std::string deep = picture("deep.png", 60, 40, QImage::Format_RGBX64);
    const std::string notAPicture = pictures + "/notes.jpg";
    spit(notAPicture, "this is text, not a JPEG\n");
    const std::string empty = pictures + "/empty.png";
    spit(empty, "");
    addToList({rgb, notAPicture, empty, pictures, tall, deep});

    clickRow(0);
    EXPECT_EQ(text("lblWallpaperDimensions"), QStringLiteral("[800x600, displayed in 24 bit colour]"));
    EXPECT_EQ(text("lblWallpaperName"), QStringLiteral("rgb.png"));
    EXPECT_TRUE(find<QWidget>("pnlWallPaperPreview")->isVisible());
    const QSize wide = find<QWidget>("pnlWallPaperPreview")->size();
    EXPECT_NEAR(static_cast<double>(wide.width()) / wide.height(), 800.0 / 600.0, 0.02);

    for (int row : {1, 2}) {
        clickRow(row);
        EXPECT_EQ(text("lblWallpaperName"), QStringLiteral("Not a valid image file"));
        EXPECT_TRUE(find<QLabel>("lblWallpaperName")->isVisible());
        EXPECT_FALSE(find<QWidget>("pnlWallPaperPreview")->isVisible());
    }
    clickRow(3); // a folder
    EXPECT_FALSE(find<QWidget>("pnlWallPaperPreview")->isVisible());

    // On a 24-bit screen a deeper picture is displayed in 24 bits.
    clickRow(5);
    EXPECT_EQ(text("lblWallpaperDimensions"), QStringLiteral("[60x40, displayed in 24 bit colour]"));

    // A portrait preview is as tall as the list and a margin, and showing it twice grows nothing.
    const QSize listSize = list()->size();
    for (int i = 0; i < 2; ++i) {
        clickRow(4);
        QCoreApplication::processEvents(); // lets the layout answer the new preview
        const QSize portrait = find<QWidget>("pnlWallPaperPreview")->size();
        EXPECT_EQ(portrait.height(), listSize.height() + 1000 / 15);
        EXPECT_NEAR(portrait.width(), portrait.height() / 3, 1);
        EXPECT_EQ(list()->size(), listSize);
    }
}

TEST_F(WallpaperTabTest, ChangeRendersTheFittedPictureUnderAlternatingNames) {
    const std::string wide = picture("wide.png", 2000, 1000);
    addToList({wide});
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    ASSERT_EQ(setter.paths, std::vector<std::string>{wallpaper1});
    EXPECT_EQ(sizeOf(wallpaper1), QSize(1024, 512));
    EXPECT_EQ(setter.sizes.back(), QSize(1024, 512));

    // The desktop is pointed at a new name, and the older file goes.
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    ASSERT_EQ(setter.paths.size(), 2u);
    EXPECT_EQ(setter.paths[1], wallpaper2);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(wallpaper2)));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(wallpaper1)));

    // A change fits by the check boxes as they stand, before any save of the settings.
    addToList({picture("small.png", 800, 600), picture("big.png", 1600, 900)});
    find<QCheckBox>("chkShrinkWallpaper")->setChecked(false);
    find<QCheckBox>("chkStretchWallpaper")->setChecked(true);
    clickRow(1);
    QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
    EXPECT_EQ(sizeOf(setter.paths.back()), QSize(1024, 768));
    find<QCheckBox>("chkStretchWallpaper")->setChecked(false);
    clickRow(2);
    QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
    EXPECT_EQ(sizeOf(setter.paths.back()), QSize(1600, 900));
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(WallpaperTabTest, PicturesOfFewColoursKeepTheirColoursWhenScaled) {
    const QRgb red = qRgb(220, 20, 30);
    QImage mono(2000, 1000, QImage::Format_Mono), indexed(2000, 1000, QImage::Format_Indexed8);
    QImage grey(2000, 1000, QImage::Format_Grayscale8);
    for (QImage* palette : {&mono, &indexed}) {
        palette->setColorTable({red, qRgb(0, 0, 255)});
        palette->fill(0);
    }
    grey.fill(100);
    ASSERT_TRUE(mono.save(QString::fromStdString(pictures + "/palette1.png")));
    ASSERT_TRUE(indexed.save(QString::fromStdString(pictures + "/palette8.png")));
    ASSERT_TRUE(grey.save(QString::fromStdString(pictures + "/grey.png")));
    spit(pictures + "/palette2.png", palettePng(2, red).toStdString());
    spit(pictures + "/palette4.png", palettePng(4, red).toStdString());
    spit(pictures + "/moving.gif", animatedGif(red)); // shows its first frame
    struct Case {
        const char* name;
        QRgb colour;
        const char* caption;
    };
    const Case cases[] = {
        {"palette1.png", red, "[2000x1000, displayed in 2 colours]"},
        {"palette2.png", red, "[2000x1000, displayed in 4 colours]"},
        {"palette4.png", red, "[2000x1000, displayed in 16 colours]"},
        {"palette8.png", red, "[2000x1000, displayed in 256 colours]"},
        {"grey.png", qRgb(100, 100, 100), "[2000x1000, displayed in 256 colours]"},
        {"moving.gif", red, "[1x1, displayed in 256 colours]"},
    };
    // Shrunk to the screen; the 1 x 1 GIF is stretched.
    find<QCheckBox>("chkStretchWallpaper")->setChecked(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        addToList({pictures + "/" + c.name});
        clickRow(rows() - 1);
        EXPECT_EQ(text("lblWallpaperDimensions"), QString::fromLatin1(c.caption));
        const QImage preview = find<QLabel>("imgWallpaper")->pixmap().toImage();
        EXPECT_EQ(preview.pixel(preview.width() / 2, preview.height() / 2), c.colour);
        QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
        const QImage rendered(QString::fromStdString(setter.paths.back()));
        ASSERT_GT(rendered.width(), 700);
        for (const QPoint at : {QPoint(0, 0), QPoint(rendered.width() / 2 + 1, rendered.height() / 3)})
            EXPECT_EQ(rendered.pixel(at), c.colour);
    }
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(WallpaperTabTest, RandomChangeSkipsPicturesThatAreGone) {
    const std::string here = picture("here.png", 100, 50);
    addToList({pictures + "/gone1.png", here, pictures + "/gone2.png"});
    random.values = {0.9f};
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    ASSERT_EQ(setter.paths.size(), 1u);
    EXPECT_EQ(sizeOf(setter.paths[0]), QSize(100, 50));

    // A link whose target is gone counts as gone.
    ASSERT_EQ(::symlink((pictures + "/nowhere.png").c_str(), (pictures + "/link.png").c_str()), 0);
    addToList({pictures + "/link.png"});
    QFile::remove(QString::fromStdString(here));
    QSignalSpy status(&tab, &WallpaperTab::statusMessage);
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    EXPECT_EQ(setter.paths.size(), 1u);
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(
        status.at(0).at(0).toString().startsWith(QStringLiteral("None of the wallpaper files can be found")));
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(WallpaperTabTest, EveryFailureSaysErrorChangingWallpaperAndIsLogged) {
    const std::string good = picture("good.png", 300, 200);
    addToList({good});
    setter.failure = Error{ErrorCode::Other, "gsettings did not finish within 5 seconds"};
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text,
              QStringLiteral("Error changing wallpaper\n\ngsettings did not finish within 5 seconds"));
    EXPECT_NE(slurp(dir.file("errorlog.dat")).find("gsettings did not finish within 5 seconds"),
              std::string::npos);
    // The picture the desktop never took is not left behind.
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(wallpaper1)));
    EXPECT_TRUE(list()->isEnabled());

    // Pictures that cannot be used are refused before the desktop is asked.
    setter.failure.reset();
    const std::string huge = pictures + "/huge.png";
    spit(huge, pngHeaderOnly(20000, 20000).toStdString());
    const std::string textFile = pictures + "/text.jpg";
    spit(textFile, "hello\n");
    QByteArray jpeg;
    {
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QFile f(QString::fromStdString(pictures + "/full.jpg"));
        ASSERT_TRUE(image.save(&f, "jpg"));
    }
    const std::string truncated = pictures + "/truncated.jpg";
    spit(truncated, slurp(pictures + "/full.jpg").substr(0, 300));
    addToList({huge, textFile, truncated});
    prompter.calls.clear();
    for (int row : {1, 2}) {
        clickRow(row);
        QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
    }
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_NE(prompter.messages()[0].text.indexOf(QStringLiteral("up to 100 megapixels")), -1);
    EXPECT_NE(prompter.messages()[1].text.indexOf(QStringLiteral("Not a valid image file")), -1);
    EXPECT_TRUE(setter.paths.size() == 1u);
    // A truncated JPEG either shows what could be decoded or is refused; either way the program goes on.
    clickRow(3);
    QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
}

TEST_F(WallpaperTabTest, ReadOnlyProgramFolderIsReported) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    addToList({picture("good.png", 300, 200)});
    ::chmod(programFolder.c_str(), 0555);
    QTest::mouseClick(find<QPushButton>("cmdChangeWallpaper"), Qt::LeftButton);
    ::chmod(programFolder.c_str(), 0755);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Error changing wallpaper")));
    EXPECT_TRUE(setter.paths.empty());
}

TEST_F(WallpaperTabTest, SelectWithoutASelectionAsksForOne) {
    QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
    EXPECT_TRUE(prompter.messages().empty());
    addToList({picture("a.png", 30, 20)});
    list()->setCurrentIndex({});
    QTest::mouseClick(find<QPushButton>("cmdSelectWallpaper"), Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Please select some wallpaper to decorate with."));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("No wallpaper selected"));
    EXPECT_EQ(prompter.messages()[0].icon, Prompter::Icon::Information);
    EXPECT_TRUE(setter.paths.empty());
}

TEST_F(WallpaperTabTest, TimedChangeIsOffByDefaultAndFollowsTheBox) {
    auto* timer = tab.findChild<QTimer*>(QStringLiteral("tmrWallpaper"));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    auto* box = find<QLineEdit>("txtIntervalWallpaper");
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("30"));
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 30 * 60 * 1000);
    tab.saveSettings(settings);
    EXPECT_EQ(readText(settings, keys::kWallpaperInterval), "30");

    addToList({picture("a.png", 30, 20)});
    tab.onWallpaperTimer();
    EXPECT_EQ(setter.paths.size(), 1u);

    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("0"));
    EXPECT_FALSE(timer->isActive());

    // A value from the file is taken again at the next start.
    writeText(settings, keys::kWallpaperInterval, "15");
    tab.loadSettings(settings);
    EXPECT_EQ(box->text(), QStringLiteral("15"));
    EXPECT_EQ(timer->interval(), 15 * 60 * 1000);
    writeText(settings, keys::kWallpaperInterval, "soon");
    tab.loadSettings(settings);
    EXPECT_FALSE(timer->isActive());
}

} // namespace
} // namespace quillmark
