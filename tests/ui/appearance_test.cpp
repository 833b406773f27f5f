#include "ui/appearance.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <cmath>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

const QString kLooks = QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR);

// What a user sees of a control's look, as one comparable line.
QString look(const QWidget* control) {
    const QPalette p = control->palette();
    QString text = control->font().family() + p.color(QPalette::WindowText).name() +
                   p.color(QPalette::ButtonText).name() + p.color(QPalette::Base).name();
    text += QStringLiteral(" %1 %2")
                .arg(p.brush(QPalette::Button).texture().cacheKey())
                .arg(quintptr(control->style()));
    if (const auto* label = qobject_cast<const QLabel*>(control))
        text += QStringLiteral(" %1").arg(label->pixmap().cacheKey());
    return text;
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
    std::vector<QString> looks[3]; // as built, plain, decorative
    for (int scheme = 0; scheme < 3; ++scheme) {
        if (scheme > 0)
            applyScheme(&window, *templates, scheme == 2);
        for (const auto& [control, styled] : rows)
            looks[scheme].push_back(look(control));
    }
    applyScheme(&window, *templates, false);
    EXPECT_EQ(rows[0].first->palette().color(QPalette::Button),
              QApplication::palette().color(QPalette::Button));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ", " << rows[i].first->metaObject()->className());
        EXPECT_EQ(look(rows[i].first), looks[1][i]) << "plain again";
        EXPECT_EQ(looks[2][i] != looks[1][i], rows[i].second);
        EXPECT_EQ(looks[2][i] == looks[0][i], !rows[i].second);
    }

    const QImage tile = templates->imgBG()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    for (const bool decorative : {true, false}) {
        SCOPED_TRACE(decorative ? "decorative" : "plain");
        setDecorativeScheme(decorative);
        applyColourScheme(&window);
        image1->setPixmap(templates->imgBG()->pixmap()); // even one the label already holds
        QImage shown(300, 200, QImage::Format_RGB32);
        shown.fill(Qt::black);
        QPainter painter(&shown);
        paintSchemeBackground(painter, image1, shown.size());
        painter.end();
        for (const QPoint at : {QPoint(0, 0), QPoint(130, 70), QPoint(299, 199)})
            EXPECT_EQ(shown.pixel(at), decorative ? tile.pixel(at.x() % tile.width(), at.y() % tile.height())
                                                  : QColor(Qt::black).rgb());
    }
    setDecorativeScheme(true);
    // A dialog may close after the main window's templates: its buttons still paint.
    applyScheme(&window, *templates, true);
    const QImage texture = templates->cmdFun()->palette().brush(QPalette::Button).texture().toImage();
    templates.reset();
    rows[0].first->resize(120, 40);
    EXPECT_EQ(QColor(rows[0].first->grab().toImage().pixel(5, 5)), QColor(texture.pixel(5, 5)));
}

TEST(Appearance, UnreadablePicturesLeaveTheSchemeWorkingAndAreLoggedOnce) {
    test::TempFolder tmp;
    setErrorLogPath(tmp.file("errorlog.dat"));
    resetErrorLogCount();
    test::spit(tmp.file("button.png"), "not a picture at all");
    QWidget window;
    auto* button = new QPushButton(&window);
    for (int run = 0; run < 2; ++run) {
        AppearanceTemplates templates(QString::fromStdString(tmp.path()));
        applyScheme(&window, templates, true);
        EXPECT_EQ(templates.pictureBytes(), 0);
        EXPECT_FALSE(button->grab().isNull());
    }
    const std::string log = test::slurp(tmp.file("errorlog.dat"));
    setErrorLogPath({});
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log; // button.png and background.png
}

TEST(Appearance, SchemeTextIsReadableOnItsPicturesAndThePicturesStaySmall) {
    AppearanceTemplates templates(kLooks);
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    const auto average = [](const QPixmap& picture) {
        return QColor(
            picture.toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0));
    };
    const QColor backgrounds[] = {average(templates.cmdFun()->palette().brush(QPalette::Button).texture()),
                                  average(templates.imgBG()->pixmap()),
                                  templates.funFrame()->palette().color(QPalette::Window)};
    for (const QColor& background : backgrounds)
        EXPECT_GE(
            luminance(background) / luminance(templates.cmdFun()->palette().color(QPalette::ButtonText)), 4.5)
            << background.name().toStdString();
    EXPECT_LE(templates.pictureBytes(), 300 * 1024);
    // The preview's fixed font really is of fixed pitch.
    EXPECT_TRUE(QFontInfo(designFont(DesignFont::CourierNew)).fixedPitch());
}

} // namespace
} // namespace quillmark
