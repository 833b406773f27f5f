#include "ui/appearance.h"

#include "platform/error_handler.h"
#include "support/ui_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>
#include <tuple>

namespace quillmark {
namespace {

const QString kLooks = QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR);

using Look = std::tuple<QString, QPalette, const QStyle*, qint64>; // what a user sees of a control
Look look(const QWidget* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    return {control->font().family(), control->palette(), control->style(),
            label ? label->pixmap().cacheKey() : 0};
}

QWidget* tagged(QWidget* control, const char* tag) {
    control->setProperty("tag", QString::fromLatin1(tag));
    return control;
}

TEST(Appearance, SchemesStyleTheTextControlsOnlyAndTileTheBackgroundOnlyWhenDecorative) {
    auto templates = std::make_unique<AppearanceTemplates>(kLooks);
    QWidget window;
    auto* logo = new QLabel(&window); // the window's own picture, never restyled
    logo->setPixmap(QPixmap(8, 8));
    auto* image1 = static_cast<QLabel*>(tagged(new QLabel(&window), "bg"));
    const std::pair<QWidget*, bool> rows[] = {{new QPushButton(&window), true},
                                              {tagged(new QPushButton(&window), "NOFUN"), false},
                                              {new QLabel(QStringLiteral("3 pictures"), &window), true},
                                              {image1, true},
                                              {logo, false},
                                              {new QFrame(&window), true},
                                              {new QComboBox(&window), true},
                                              {new QListWidget(&window), false}};
    std::vector<Look> looks[2]; // plain, decorative
    for (const bool decorative : {false, true}) {
        applyScheme(&window, *templates, decorative);
        for (const auto& [control, styled] : rows)
            looks[decorative].push_back(look(control));
    }
    applyScheme(&window, *templates, false);
    EXPECT_EQ(rows[0].first->palette().color(QPalette::Button),
              QApplication::palette().color(QPalette::Button));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ", " << rows[i].first->metaObject()->className());
        EXPECT_TRUE(look(rows[i].first) == looks[0][i]) << "plain again";
        EXPECT_EQ(looks[1][i] != looks[0][i], rows[i].second);
    }

    const QImage tile = templates->imgBG()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    for (const bool decorative : {true, false}) {
        setDecorativeScheme(decorative);
        applyColourScheme(&window);
        image1->setPixmap(templates->imgBG()->pixmap()); // even one the label already holds
        QImage shown(300, 200, QImage::Format_RGB32);
        shown.fill(Qt::black);
        QPainter painter(&shown);
        paintSchemeBackground(painter, image1, shown.size());
        painter.end();
        EXPECT_EQ(shown.pixel(299, 199),
                  decorative ? tile.pixel(299 % tile.width(), 199 % tile.height()) : qRgb(0, 0, 0));
    }
    setDecorativeScheme(true);
    // A dialog may close after the main window's templates: its buttons still paint.
    applyScheme(&window, *templates, true);
    const QImage texture = templates->cmdFun()->palette().brush(QPalette::Button).texture().toImage();
    templates.reset();
    rows[0].first->resize(120, 40);
    EXPECT_EQ(QColor(rows[0].first->grab().toImage().pixel(5, 5)), QColor(texture.pixel(5, 5)));
}

using AppearanceTest = test::UiTest;

TEST_F(AppearanceTest, UnreadablePicturesLeaveTheSchemeWorkingAndAreLoggedOnce) {
    test::spit(dir.file("button.png"), "not a picture at all");
    QWidget window;
    auto* button = new QPushButton(&window);
    for (int run = 0; run < 2; ++run)
        applyScheme(&window, AppearanceTemplates(QString::fromStdString(dir.path())), true);
    EXPECT_FALSE(button->grab().isNull());
    const std::string log = test::slurp(dir.file("errorlog.dat"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log; // button.png and background.png
}

TEST(Appearance, SchemeTextIsReadableOnItsPicturesAndThePicturesStaySmall) {
    AppearanceTemplates templates(kLooks);
    const int text = qGray(templates.cmdFun()->palette().color(QPalette::ButtonText).rgb());
    for (const QPixmap& picture :
         {templates.cmdFun()->palette().brush(QPalette::Button).texture(), templates.imgBG()->pixmap()}) {
        const QImage average =
            picture.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_GE(qGray(average.pixel(0, 0)) - text, 128);
    }
    EXPECT_LE(templates.pictureBytes(), 300 * 1024);
    EXPECT_TRUE(QFontInfo(designFont(DesignFont::CourierNew)).fixedPitch());
}

} // namespace
} // namespace quillmark
