#include "ui/appearance.h"

#include "platform/error_handler.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyleOption>
#include <qdrawutil.h>

namespace quillmark {

namespace {

constexpr const char* kContext = "basMain.subLoadPics";

// Ink on parchment: dark enough for small text on both the button texture and the background.
constexpr QRgb kSchemeText = 0x2b1d0e;
constexpr QRgb kComboBackground = 0xfbf5e6;

bool g_decorative = true;
const AppearanceTemplates* g_active = nullptr;

// A file unreadable at start-up stays so for every later window: one line in the log says so.
void logOnce(const QString& message) {
    static QSet<QString> logged;
    if (logged.contains(message))
        return;
    logged.insert(message);
    logError(kContext, message.toStdString());
}

bool familyInstalled(const QString& family) {
    return !family.isEmpty() && QFontDatabase::families().contains(family);
}

// The family the font system really draws `request` with, else the desktop's general font.
QString resolvedFamily(const QFont& request) {
    const QString family = QFontInfo(request).family();
    if (familyInstalled(family))
        return family;
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (familyInstalled(general))
        return general;
    const QStringList all = QFontDatabase::families();
    return all.isEmpty() ? family : all.first();
}

QString fixedPitchFamily() {
    const QString fixed = resolvedFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    if (QFontDatabase::isFixedPitch(fixed))
        return fixed;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family))
            return family;
    }
    return fixed;
}

QString decorativeFamily(const QString& fontFile) {
    static QHash<QString, QString> loaded;
    if (const auto found = loaded.constFind(fontFile); found != loaded.constEnd())
        return *found;
    const int id = QFontDatabase::addApplicationFont(fontFile);
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    QString family;
    if (families.isEmpty()) {
        logOnce(QStringLiteral("cannot load the decorative font %1; using the general font").arg(fontFile));
        family = designFont(DesignFont::MsSansSerif).family();
    } else {
        family = families.first();
    }
    loaded.insert(fontFile, family);
    return family;
}

QPixmap loadPicture(const QString& path) {
    QPixmap picture;
    if (!picture.load(path))
        logOnce(QStringLiteral("cannot read the picture %1; the scheme goes on without it").arg(path));
    return picture;
}

// Fusion and the other desktop styles paint a button from its colour only; this one tiles the
// button's picture and draws a one-pixel bevel, sunken while the button is down.
class TexturedButtonStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelButtonCommand && option->palette.button().style() == Qt::TexturePattern) {
            painter->fillRect(option->rect, option->palette.button());
            const bool sunken = option->state & (State_Sunken | State_On);
            qDrawShadePanel(painter, option->rect, option->palette, sunken, 1);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

// One style for the whole run, owned by the application: windows may outlive the templates,
// and their buttons must never point at a deleted style.
QStyle* texturedButtonStyle() {
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new TexturedButtonStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style.data();
}

void setFamily(QWidget* control, const QString& family) {
    QFont font = control->font();
    font.setFamilies({family});
    control->setFont(font);
}

// Every role a label, frame, check box, option button or combo box may draw its text with.
void setTextColour(QPalette& palette, const QColor& colour) {
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, colour);
}

struct SchemeValues {
    QString family;
    QColor text;
    QBrush buttonBrush;
    QStyle* buttonStyle = nullptr; // null: the application's style
    QPixmap background;
    QColor comboBase;
    QColor comboButton;
};

SchemeValues plainValues() {
    const QPalette system = QApplication::palette();
    SchemeValues values;
    values.family = designFont(DesignFont::MsSansSerif).family();
    values.text = system.color(QPalette::ButtonText);
    values.buttonBrush = system.brush(QPalette::Button);
    values.comboBase = system.color(QPalette::Base);
    values.comboButton = system.color(QPalette::Button);
    return values;
}

SchemeValues decorativeValues(const AppearanceTemplates& templates) {
    const QPalette button = templates.cmdFun()->palette();
    SchemeValues values;
    values.family = templates.cmdFun()->font().family();
    values.text = button.color(QPalette::ButtonText);
    values.buttonBrush = button.brush(QPalette::Button);
    values.buttonStyle = texturedButtonStyle();
    values.background = templates.imgBG()->pixmap();
    values.comboBase = templates.funFrame()->palette().color(QPalette::Window);
    values.comboButton = values.comboBase;
    return values;
}

// Only the frame itself: text boxes and list boxes are frames too, and stay as they are.
bool isPlainFrame(const QWidget* control) {
    return control->metaObject() == &QFrame::staticMetaObject;
}

void applyToControl(QWidget* control, const SchemeValues& values) {
    const QString tag = control->property("tag").toString();
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        if (tag == QLatin1String("hidden") || tag == QLatin1String("NOFUN"))
            return;
        QPalette palette = button->palette();
        palette.setBrush(QPalette::Button, values.buttonBrush);
        palette.setColor(QPalette::ButtonText, values.text);
        button->setPalette(palette);
        setFamily(button, values.family);
        button->setStyle(values.buttonStyle);
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (tag == QLatin1String("bg")) {
            label->setPixmap(values.background);
            return;
        }
        if (!label->pixmap().isNull())
            return; // an image of the window's own design
    }
    const bool textControl = qobject_cast<QLabel*>(control) || qobject_cast<QGroupBox*>(control) ||
                             qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control) ||
                             isPlainFrame(control);
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!textControl && !combo)
        return;
    QPalette palette = control->palette();
    setTextColour(palette, values.text);
    if (combo) {
        palette.setColor(QPalette::Base, values.comboBase);
        palette.setColor(QPalette::Button, values.comboButton);
    }
    control->setPalette(palette);
    setFamily(control, values.family);
}

void walk(QWidget* window, const SchemeValues& values, const AppearanceTemplates* templates) {
    if (window == nullptr) {
        logError(kContext, "no window to apply the colour scheme to");
        return;
    }
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const bool isTemplate =
            templates != nullptr && (control == templates->cmdFun() || control == templates->imgBG() ||
                                     control == templates->funFrame());
        if (!isTemplate)
            applyToControl(control, values);
    }
}

} // namespace

QFont designFont(DesignFont font) {
    QString family;
    switch (font) {
    case DesignFont::MsSansSerif:
        family = resolvedFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
        break;
    case DesignFont::Arial: {
        QFont request(QStringLiteral("Arial"));
        request.setStyleHint(QFont::SansSerif);
        family = resolvedFamily(request);
        break;
    }
    case DesignFont::CourierNew: {
        const QString courier = QStringLiteral("Courier New");
        family =
            familyInstalled(courier) && QFontDatabase::isFixedPitch(courier) ? courier : fixedPitchFamily();
        break;
    }
    }
    QFont result(family);
    if (font == DesignFont::CourierNew)
        result.setStyleHint(QFont::Monospace);
    return result;
}

void installDesignFontSubstitutes() {
    const std::pair<const char*, DesignFont> names[] = {{"MS Sans Serif", DesignFont::MsSansSerif},
                                                        {"Arial", DesignFont::Arial},
                                                        {"Courier New", DesignFont::CourierNew}};
    for (const auto& [name, font] : names) {
        const QString family = QString::fromLatin1(name);
        if (!familyInstalled(family))
            QFont::insertSubstitution(family, designFont(font).family());
    }
}

bool decorativeScheme() {
    return g_decorative;
}

void setDecorativeScheme(bool decorative) {
    g_decorative = decorative;
}

QString defaultLooksFolder() {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/looks");
    if (QFileInfo(beside).isDir())
        return beside;
    return QStringLiteral(QUILLMARK_LOOKS_INSTALL_DIR);
}

AppearanceTemplates::AppearanceTemplates(const QString& looksFolder, const QString& fontFile)
    : m_cmdFun(std::make_unique<QPushButton>()), m_imgBG(std::make_unique<QLabel>()),
      m_funFrame(std::make_unique<QFrame>()) {
    m_cmdFun->setObjectName(QStringLiteral("cmdFun"));
    m_imgBG->setObjectName(QStringLiteral("imgBG"));
    m_funFrame->setObjectName(QStringLiteral("frmFun"));
    for (QWidget* control : {static_cast<QWidget*>(m_cmdFun.get()), static_cast<QWidget*>(m_imgBG.get()),
                             static_cast<QWidget*>(m_funFrame.get())})
        control->setProperty("tag", QStringLiteral("hidden"));

    QPalette button = m_cmdFun->palette();
    const QPixmap texture = loadPicture(looksFolder + QStringLiteral("/button.png"));
    if (!texture.isNull())
        button.setBrush(QPalette::Button, QBrush(texture));
    button.setColor(QPalette::ButtonText, QColor(kSchemeText));
    m_cmdFun->setPalette(button);
    setFamily(m_cmdFun.get(), decorativeFamily(fontFile));
    m_cmdFun->setStyle(texturedButtonStyle());

    m_imgBG->setPixmap(loadPicture(looksFolder + QStringLiteral("/background.png")));

    QPalette frame = m_funFrame->palette();
    frame.setColor(QPalette::Window, QColor(kComboBackground));
    m_funFrame->setPalette(frame);

    g_active = this;
}

AppearanceTemplates::~AppearanceTemplates() {
    if (g_active == this)
        g_active = nullptr;
}

const AppearanceTemplates* AppearanceTemplates::active() {
    return g_active;
}

void applyScheme(QWidget* window, const AppearanceTemplates& templates, bool decorative) {
    walk(window, decorative ? decorativeValues(templates) : plainValues(), &templates);
}

void applyColourScheme(QWidget* window) {
    const AppearanceTemplates* templates = AppearanceTemplates::active();
    const bool decorative = templates != nullptr && decorativeScheme();
    walk(window, decorative ? decorativeValues(*templates) : plainValues(), templates);
}

QColor schemeTextColour() {
    if (decorativeScheme() && AppearanceTemplates::active() != nullptr)
        return AppearanceTemplates::active()->cmdFun()->palette().color(QPalette::ButtonText);
    return QApplication::palette().color(QPalette::ButtonText);
}

void paintTiled(QPainter& painter, const QPixmap& picture, QSize area) {
    if (picture.isNull() || area.isEmpty())
        return;
    painter.drawTiledPixmap(QRect(QPoint(0, 0), area), picture);
}

void paintSchemeBackground(QPainter& painter, const QLabel* image1, QSize area) {
    if (!decorativeScheme() || image1 == nullptr)
        return;
    paintTiled(painter, image1->pixmap(), area);
}

} // namespace quillmark
