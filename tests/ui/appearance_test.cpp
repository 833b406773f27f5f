#include "ui/appearance.h"

#include <QLabel>
#include <QListWidget>
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

TEST(Appearance, SchemesStyleTheTextControlsOnly) {
    auto templates = std::make_unique<AppearanceTemplates>(kLooks);
    QWidget window;
    auto* logo = new QLabel(&window); // the window's own picture, never restyled
    logo->setPixmap(QPixmap(8, 8));
    const std::pair<QWidget*, bool> rows[] = {{new QPushButton(&window), true},
                                              {tagged(new QPushButton(&window), "NOFUN"), false},
                                              {new QLabel(QStringLiteral("3 pictures"), &window), true},
                                              {tagged(new QLabel(&window), "bg"), true},
                                              {logo, false},
                                              {new QListWidget(&window), false}};
    std::vector<Look> looks[2]; // plain, decorative
    for (const bool decorative : {false, true}) {
        applyScheme(&window, *templates, decorative);
        for (const auto& [control, styled] : rows)
            looks[decorative].push_back(look(control));
    }
    applyScheme(&window, *templates, false);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ", " << rows[i].first->metaObject()->className());
        EXPECT_TRUE(look(rows[i].first) == looks[0][i]) << "plain again";
        EXPECT_EQ(looks[1][i] != looks[0][i], rows[i].second);
    }

    applyScheme(&window, *templates, true);
    // A dialog may close after the main window's templates: its buttons still paint.
    const QImage texture = templates->cmdFun()->palette().brush(QPalette::Button).texture().toImage();
    templates.reset();
    rows[0].first->resize(120, 40);
    EXPECT_EQ(QColor(rows[0].first->grab().toImage().pixel(5, 5)), QColor(texture.pixel(5, 5)));
}

} // namespace
} // namespace quillmark
