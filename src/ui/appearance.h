#pragma once
// Quillmark's two looks: the decorative scheme (textured buttons, a decorative font, a
// background picture) and the plain scheme (the desktop's font and colours). The decorative
// look lives in three template controls that every window copies.

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <memory>

class QColor;
class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class QWidget;

namespace quillmark {

// The fonts the windows were designed with. None of them ships with a Linux desktop, so each
// stands for the desktop's nearest font of the same kind and never for an arbitrary face.
enum class DesignFont {
    MsSansSerif, // the plain scheme's font: the desktop's general font
    Arial,       // the proportional preview font: a sans-serif font
    CourierNew,  // the fixed preview font: a monospace font
};
QFont designFont(DesignFont font);

// Makes the three names above stand for their desktop fonts wherever a window names them
// (a .ui file, a font picked by name). Call once at start-up.
void installDesignFontSubstitutes();

// The decorative-scheme flag: true unless the user chose "Boring Colour Scheme".
bool decorativeScheme();
void setDecorativeScheme(bool decorative);

// The decorative font's file as Debian installs it (package fonts-comic-neue).
inline constexpr const char* kDecorativeFontFile =
    "/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf";

// The folder of the scheme's pictures: "looks" beside the program, else the installed copy.
QString defaultLooksFolder();

// The template controls of the decorative scheme, from "button.png" and "background.png" in
// `looksFolder` and the font file; a file that cannot be read is logged once and done
// without. While it exists applyColourScheme uses it.
class AppearanceTemplates {
public:
    explicit AppearanceTemplates(const QString& looksFolder = defaultLooksFolder(),
                                 const QString& fontFile = QString::fromLatin1(kDecorativeFontFile));
    ~AppearanceTemplates();
    AppearanceTemplates(const AppearanceTemplates&) = delete;
    AppearanceTemplates& operator=(const AppearanceTemplates&) = delete;

    // The button look: the texture is the Button brush of its palette, the text colour its
    // ButtonText colour, the font family its font's.
    QPushButton* cmdFun() const { return m_cmdFun.get(); }
    QLabel* imgBG() const { return m_imgBG.get(); }
    // The combo boxes' background: its palette's Window colour.
    QFrame* funFrame() const { return m_funFrame.get(); }

    // The templates applyColourScheme uses; null while none exist.
    static const AppearanceTemplates* active();

private:
    std::unique_ptr<QPushButton> m_cmdFun;
    std::unique_ptr<QLabel> m_imgBG;
    std::unique_ptr<QFrame> m_funFrame;
};

// Applies one scheme to every control of `window`. A control's "tag" steers it: "hidden" or
// "NOFUN" keeps a push button as designed; "bg" marks a label as a background image.
void applyScheme(QWidget* window, const AppearanceTemplates& templates, bool decorative);

// Applies the current scheme with the active templates; without templates the plain scheme.
void applyColourScheme(QWidget* window);

// Text colour of the current scheme, for controls that colour their own text.
QColor schemeTextColour();

// Draws `picture` at x = 0, w, 2w, ... and y = 0, h, 2h, ... until `area` is covered.
void paintTiled(QPainter& painter, const QPixmap& picture, QSize area);

// A window's paint: the picture of its image control `image1` tiled over `area` while the
// decorative scheme is on; nothing in the plain scheme or without a picture.
void paintSchemeBackground(QPainter& painter, const QLabel* image1, QSize area);

} // namespace quillmark
