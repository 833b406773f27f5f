#include "ui/appearance.h"

#include "platform/error_handler.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

// Readable failure messages for font families and colours.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}
static void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}

namespace quillmark {
namespace {

const QString kLooks = QStringLiteral(QUILLMARK_LOOKS_SOURCE_DIR);

// A window that paints as the main window does: its Image1 tiled in the decorative scheme.
class PaintedWindow : public QWidget {
public:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintSchemeBackground(painter, findChild<QLabel*>(QStringLiteral("Image1")), size());
    }
};

template <typename T> T* add(QWidget* parent, const char* name, const char* tag = nullptr) {
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    if (tag != nullptr)
        control->setProperty("tag", QString::fromLatin1(tag));
    return control;
}

// What a user sees of a control's look, as one comparable line.
QString look(const QWidget* control) {
    const QPalette p = control->palette();
    QString text = control->font().family();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                                           QPalette::Base, QPalette::Button, QPalette::Window})
        text += QLatin1Char(' ') + p.color(role).name();
    text += QStringLiteral(" brush:%1").arg(p.brush(QPalette::Button).texture().cacheKey());
    text += QStringLiteral(" style:%1").arg(reinterpret_cast<quintptr>(control->style()));
    if (const auto* label = qobject_cast<const QLabel*>(control))
        text += QStringLiteral(" pixmap:%1").arg(label->pixmap().cacheKey());
    return text;
}

std::map<QString, QString> looks(const QWidget& window) {
    std::map<QString, QString> result;
    for (const QWidget* control : window.findChildren<QWidget*>())
        if (!control->objectName().isEmpty())
            result[control->objectName()] = look(control);
    return result;
}

double luminance(QColor colour) {
    const auto channel = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor averageColour(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    double r = 0, g = 0, b = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            r += qRed(pixel);
            g += qGreen(pixel);
            b += qBlue(pixel);
        }
    const double n = double(rgb.width()) * rgb.height();
    return QColor(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
}

class AppearanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setErrorLogPath(m_tmp.file("errorlog.dat"));
        resetErrorLogCount();
    }
    void TearDown() override {
        setErrorLogPath({});
        setDecorativeScheme(true);
    }
    std::string errorLog() const { return test::slurp(m_tmp.file("errorlog.dat")); }

    test::TempFolder m_tmp;
};

TEST_F(AppearanceTest, SwitchingSchemesRestoresEveryControlAndLeavesOthersAlone) {
    AppearanceTemplates templates(kLooks);
    QWidget window;
    add<QPushButton>(&window, "cmdUpdate");
    auto* keep = add<QPushButton>(&window, "cmdKeep", "NOFUN");
    QPalette designed = keep->palette();
    designed.setColor(QPalette::ButtonText, Qt::darkGreen);
    keep->setPalette(designed);
    keep->setFont(QFont(QStringLiteral("DejaVu Serif")));
    add<QPushButton>(&window, "cmdHidden", "hidden");
    add<QLabel>(&window, "lblCount")->setText(QStringLiteral("3 pictures"));
    add<QLabel>(&window, "Image1", "bg");
    add<QLabel>(&window, "imgLogo")->setPixmap(QPixmap(8, 8));
    auto* group = add<QGroupBox>(&window, "fraOptions");
    add<QCheckBox>(group, "chkBoring");
    add<QRadioButton>(group, "optOne");
    add<QFrame>(&window, "fraPanel");
    add<QComboBox>(&window, "cmbProfile");
    add<QLineEdit>(&window, "txtSeparator");
    add<QListWidget>(&window, "lstWallpaper");
    add<QSlider>(&window, "sldSpeed");

    const auto designedLooks = looks(window);
    applyScheme(&window, templates, false);
    const auto plain = looks(window);
    applyScheme(&window, templates, true);
    const auto decorative = looks(window);
    applyScheme(&window, templates, false);
    EXPECT_EQ(looks(window), plain) << "plain -> decorative -> plain";
    applyScheme(&window, templates, true);
    EXPECT_EQ(looks(window), decorative) << "decorative again";

    // Buttons kept as designed, and the controls that are never styled.
    for (const char* name : {"cmdKeep", "cmdHidden", "imgLogo", "txtSeparator", "lstWallpaper", "sldSpeed"}) {
        const QString key = QString::fromLatin1(name);
        EXPECT_EQ(plain.at(key), designedLooks.at(key)) << name;
        EXPECT_EQ(decorative.at(key), designedLooks.at(key)) << name;
    }

    const QString funFamily = templates.cmdFun()->font().family();
    const QColor funText = templates.cmdFun()->palette().color(QPalette::ButtonText);
    const QString plainFamily = designFont(DesignFont::MsSansSerif).family();
    const QColor systemText = QApplication::palette().color(QPalette::ButtonText);
    for (const char* name :
         {"cmdUpdate", "lblCount", "fraOptions", "chkBoring", "optOne", "fraPanel", "cmbProfile"}) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
        const QPalette::ColorRole role =
            qobject_cast<QPushButton*>(control) ? QPalette::ButtonText : QPalette::WindowText;
        EXPECT_EQ(control->font().family(), funFamily) << name;
        EXPECT_EQ(control->palette().color(role), funText) << name;
        EXPECT_NE(decorative.at(QString::fromLatin1(name)), plain.at(QString::fromLatin1(name))) << name;
    }
    auto* update = window.findChild<QPushButton*>(QStringLiteral("cmdUpdate"));
    EXPECT_EQ(update->palette().brush(QPalette::Button).texture().cacheKey(),
              templates.cmdFun()->palette().brush(QPalette::Button).texture().cacheKey());
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("cmbProfile"));
    EXPECT_EQ(combo->palette().color(QPalette::Base),
              templates.funFrame()->palette().color(QPalette::Window));
    EXPECT_FALSE(window.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());

    applyScheme(&window, templates, false);
    EXPECT_EQ(update->font().family(), plainFamily);
    EXPECT_EQ(update->palette().color(QPalette::ButtonText), systemText);
    EXPECT_TRUE(update->palette().brush(QPalette::Button).texture().isNull());
    EXPECT_EQ(update->style(), QApplication::style());
    EXPECT_EQ(combo->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
    EXPECT_EQ(errorLog(), "");
}

TEST_F(AppearanceTest, SubLoadPicsFollowsTheFlagAndWithoutTemplatesFallsBackToPlain) {
    QWidget window;
    auto* label = add<QLabel>(&window, "lblCount");
    const QString plainFamily = designFont(DesignFont::MsSansSerif).family();
    applyColourScheme(&window);
    EXPECT_EQ(label->font().family(), plainFamily);
    EXPECT_EQ(schemeTextColour(), QApplication::palette().color(QPalette::ButtonText));
    {
        AppearanceTemplates templates(kLooks);
        setDecorativeScheme(true);
        applyColourScheme(&window);
        EXPECT_EQ(label->font().family(), templates.cmdFun()->font().family());
        EXPECT_EQ(schemeTextColour(), templates.cmdFun()->palette().color(QPalette::ButtonText));
        setDecorativeScheme(false);
        applyColourScheme(&window);
        EXPECT_EQ(label->font().family(), plainFamily);
        EXPECT_EQ(schemeTextColour(), QApplication::palette().color(QPalette::ButtonText));
        setDecorativeScheme(true);
    }
    EXPECT_EQ(AppearanceTemplates::active(), nullptr);
    applyColourScheme(nullptr);
    EXPECT_NE(errorLog().find("basMain.subLoadPics"), std::string::npos);
}

TEST_F(AppearanceTest, BackgroundIsPaintedOnlyForATaggedImageInTheDecorativeScheme) {
    AppearanceTemplates templates(kLooks);
    const QImage picture = templates.imgBG()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    for (const bool tagged : {false, true}) {
        PaintedWindow window;
        window.resize(300, 200);
        auto* image1 = add<QLabel>(&window, "Image1", tagged ? "bg" : nullptr);
        image1->hide();
        const QRgb windowColour = window.palette().color(QPalette::Window).rgb();
        for (const bool decorative : {true, false, true}) {
            setDecorativeScheme(decorative);
            applyColourScheme(&window);
            const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const bool expectPicture = tagged && decorative;
            SCOPED_TRACE(testing::Message() << "tagged " << tagged << ", decorative " << decorative);
            EXPECT_EQ(image1->pixmap().isNull(), !expectPicture);
            for (const QPoint at : {QPoint(0, 0), QPoint(130, 70), QPoint(299, 199)}) {
                const QPoint inTile(at.x() % picture.width(), at.y() % picture.height());
                EXPECT_EQ(shown.pixel(at), expectPicture ? picture.pixel(inTile) : windowColour);
            }
        }
        // A picture the image kept from its design is not drawn in the plain scheme either.
        setDecorativeScheme(false);
        image1->setPixmap(templates.imgBG()->pixmap());
        EXPECT_EQ(window.grab().toImage().pixel(0, 0), windowColour);
    }
}

TEST_F(AppearanceTest, TexturedButtonShowsItsPictureEvenAfterTheTemplatesAreGone) {
    QWidget window;
    auto* button = add<QPushButton>(&window, "cmdUpdate");
    button->resize(120, 40);
    QImage texture;
    {
        AppearanceTemplates templates(kLooks);
        applyScheme(&window, templates, true);
        texture = templates.cmdFun()->palette().brush(QPalette::Button).texture().toImage();
    }
    // A dialog may close after the main window's templates; its buttons still paint.
    const QImage shown = button->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(5, 5)), QColor(texture.pixel(5, 5)));
    EXPECT_EQ(QColor(shown.pixel(110, 34)),
              QColor(texture.pixel(110 % texture.width(), 34 % texture.height())));
}

TEST_F(AppearanceTest, DesignFontsResolveToInstalledFacesOfTheirKind) {
    const QStringList families = QFontDatabase::families();
    for (const DesignFont font : {DesignFont::MsSansSerif, DesignFont::Arial, DesignFont::CourierNew}) {
        const QFont resolved = designFont(font);
        SCOPED_TRACE(resolved.family().toStdString());
        EXPECT_TRUE(families.contains(resolved.family()));
        EXPECT_EQ(QFontInfo(resolved).family(), resolved.family());
    }
    EXPECT_TRUE(QFontInfo(designFont(DesignFont::CourierNew)).fixedPitch());
    EXPECT_FALSE(QFontInfo(designFont(DesignFont::Arial)).fixedPitch());

    // A window that names the design's fonts gets the same faces.
    installDesignFontSubstitutes();
    const std::pair<const char*, DesignFont> named[] = {{"MS Sans Serif", DesignFont::MsSansSerif},
                                                        {"Arial", DesignFont::Arial},
                                                        {"Courier New", DesignFont::CourierNew}};
    for (const auto& [name, font] : named)
        EXPECT_EQ(QFontInfo(QFont(QString::fromLatin1(name))).family().toStdString(),
                  designFont(font).family().toStdString())
            << name;
}

TEST_F(AppearanceTest, DecorativeFontComesFromItsFileOrFallsBackToTheGeneralFontOnce) {
    if (QFileInfo::exists(QString::fromLatin1(kDecorativeFontFile))) {
        AppearanceTemplates templates(kLooks);
        EXPECT_EQ(templates.cmdFun()->font().family(), QStringLiteral("Comic Neue"));
    }
    const QString missing = QString::fromStdString(m_tmp.file("NoSuchFont.otf"));
    for (int run = 0; run < 2; ++run) {
        AppearanceTemplates templates(kLooks, missing);
        EXPECT_EQ(templates.cmdFun()->font().family(), designFont(DesignFont::MsSansSerif).family());
    }
    const std::string log = errorLog();
    EXPECT_NE(log.find("basMain.subLoadPics, cannot load the decorative font"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

TEST_F(AppearanceTest, MissingOrUnreadablePicturesLeaveTheSchemeWorkingAndAreLoggedOnce) {
    test::spit(m_tmp.file("button.png"), "not a picture at all");
    const QString folder = QString::fromStdString(m_tmp.path());
    QWidget window;
    auto* button = add<QPushButton>(&window, "cmdUpdate");
    auto* image1 = add<QLabel>(&window, "Image1", "bg");
    for (int run = 0; run < 2; ++run) {
        AppearanceTemplates templates(folder);
        applyScheme(&window, templates, true);
        EXPECT_EQ(button->font().family(), templates.cmdFun()->font().family());
        EXPECT_EQ(button->palette().color(QPalette::ButtonText),
                  templates.cmdFun()->palette().color(QPalette::ButtonText));
        EXPECT_NE(button->palette().brush(QPalette::Button).style(), Qt::TexturePattern);
        EXPECT_TRUE(image1->pixmap().isNull());
        EXPECT_FALSE(button->grab().isNull());
        EXPECT_EQ(templates.pictureBytes(), 0);
    }
    const std::string log = errorLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find("basMain.subLoadPics, cannot read the picture " + m_tmp.file("button.png")),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("basMain.subLoadPics, cannot read the picture " + m_tmp.file("background.png")),
              std::string::npos)
        << log;
}

TEST_F(AppearanceTest, TextIsReadableInBothSchemes) {
    AppearanceTemplates templates(kLooks);
    const QColor funText = templates.cmdFun()->palette().color(QPalette::ButtonText);
    const QImage button = templates.cmdFun()->palette().brush(QPalette::Button).texture().toImage();
    const QImage background = templates.imgBG()->pixmap().toImage();
    ASSERT_FALSE(button.isNull());
    ASSERT_FALSE(background.isNull());
    EXPECT_GE(contrast(funText, averageColour(button)), 4.5);
    EXPECT_GE(contrast(funText, averageColour(background)), 4.5);
    EXPECT_GE(contrast(funText, templates.funFrame()->palette().color(QPalette::Window)), 4.5);

    const QPalette system = QApplication::palette();
    EXPECT_GE(contrast(system.color(QPalette::ButtonText), system.color(QPalette::Button)), 4.5);
    EXPECT_GE(contrast(system.color(QPalette::ButtonText), system.color(QPalette::Window)), 4.5);
    EXPECT_GE(contrast(system.color(QPalette::ButtonText), system.color(QPalette::Base)), 4.5);
}

TEST_F(AppearanceTest, SchemePicturesStaySmall) {
    AppearanceTemplates templates(kLooks);
    EXPECT_GT(templates.pictureBytes(), 0);
    EXPECT_LE(templates.pictureBytes(), 300 * 1024);
}

TEST(PaintTiled, CoversTheAreaWithWholeTilesFromTheTopLeft) {
    QImage tile(16, 10, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixel(x, y, qRgb(x * 15, y * 25, 200));
    const QPixmap picture = QPixmap::fromImage(tile);
    QImage area(50, 25, QImage::Format_RGB32);
    area.fill(Qt::black);
    {
        QPainter painter(&area);
        paintTiled(painter, picture, area.size());
    }
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            ASSERT_EQ(area.pixel(x, y), tile.pixel(x % 16, y % 10)) << x << "," << y;

    QImage untouched(20, 20, QImage::Format_RGB32);
    untouched.fill(Qt::black);
    {
        QPainter painter(&untouched);
        paintTiled(painter, QPixmap(), untouched.size());
    }
    EXPECT_EQ(untouched.pixel(0, 0), QColor(Qt::black).rgb());
}

} // namespace
} // namespace quillmark
