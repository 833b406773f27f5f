#include "wallpaper/wallpaper_tab.h"

#include "platform/app_folders.h"
#include "platform/error_handler.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/wallpaper_setter.h"
#include "settings/setting_keys.h"
#include "settings/typed_settings.h"
#include "signature/random.h"
#include "ui/appearance.h"
#include "ui/prompter.h"
#include "ui/wait_cursor.h"
#include "wallpaper/fit.h"
#include "wallpaper/picture_facts.h"
#include "wallpaper/wallpaper_list.h"
#include "wallpaper/wallpaper_render.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quillmark {

namespace {

constexpr int kSliderMaxMinutes = 240;
constexpr int kMaxIntervalMinutes = 1440;
// The preview's spacing beside the list, set in twips (1/1440 inch) on a 96 dpi screen.
constexpr int kPreviewExtraHeight = 1000 / kTwipsPerPixel;
constexpr int kPreviewMargin = 1600 / kTwipsPerPixel;

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QSize primaryScreenPixels() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size() * screen->devicePixelRatio();
    return {1024, 768};
}

} // namespace

WallpaperTab::WallpaperTab(Prompter& prompter, RandomSource& random, QWidget* parent)
    : QWidget(parent), m_ownSetter(std::make_unique<DesktopWallpaperSetter>()), m_prompter(prompter),
      m_random(random), m_setter(m_ownSetter.get()) {
    build();
}

WallpaperTab::~WallpaperTab() = default;

void WallpaperTab::build() {
    m_screenSize = primaryScreenPixels;
    setProgramFolder(programFolder());

    lstWallpaper = new QListWidget(this);
    lstWallpaper->setObjectName(QStringLiteral("lstWallpaper"));
    lstWallpaper->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstWallpaper->setUniformItemSizes(true);
    lblWallpaperCount = new QLabel(this);
    lblWallpaperCount->setObjectName(QStringLiteral("lblWallpaperCount"));
    cmdBrowseWallpaper = new QPushButton(tr("&Add..."), this);
    cmdBrowseWallpaper->setObjectName(QStringLiteral("cmdBrowseWallpaper"));
    cmdDeleteWallpaperItems = new QPushButton(tr("Remo&ve"), this);
    cmdDeleteWallpaperItems->setObjectName(QStringLiteral("cmdDeleteWallpaperItems"));

    pnlWallPaperPreview = new QFrame(this);
    pnlWallPaperPreview->setObjectName(QStringLiteral("pnlWallPaperPreview"));
    pnlWallPaperPreview->setFrameShape(QFrame::Panel);
    pnlWallPaperPreview->setFrameShadow(QFrame::Sunken);
    imgWallpaper = new QLabel(pnlWallPaperPreview);
    imgWallpaper->setObjectName(QStringLiteral("imgWallpaper"));
    imgWallpaper->setScaledContents(true);
    lblWallpaperName = new QLabel(this);
    lblWallpaperName->setObjectName(QStringLiteral("lblWallpaperName"));
    lblWallpaperDimensions = new QLabel(this);
    lblWallpaperDimensions->setObjectName(QStringLiteral("lblWallpaperDimensions"));

    chkShrinkWallpaper = new QCheckBox(tr("Shrink Wallpaper to fit screen"), this);
    chkShrinkWallpaper->setObjectName(QStringLiteral("chkShrinkWallpaper"));
    chkStretchWallpaper = new QCheckBox(tr("Stretch Wallpaper to fill screen"), this);
    chkStretchWallpaper->setObjectName(QStringLiteral("chkStretchWallpaper"));
    cmdChangeWallpaper = new QPushButton(tr("&Random Wallpaper"), this);
    cmdChangeWallpaper->setObjectName(QStringLiteral("cmdChangeWallpaper"));
    cmdSelectWallpaper = new QPushButton(tr("Use &Selected"), this);
    cmdSelectWallpaper->setObjectName(QStringLiteral("cmdSelectWallpaper"));

    sldWallpaper = new QSlider(Qt::Horizontal, this);
    sldWallpaper->setObjectName(QStringLiteral("sldWallpaper"));
    sldWallpaper->setRange(0, kSliderMaxMinutes);
    txtIntervalWallpaper = new QLineEdit(QStringLiteral("0"), this);
    txtIntervalWallpaper->setObjectName(QStringLiteral("txtIntervalWallpaper"));
    txtIntervalWallpaper->setValidator(new QIntValidator(0, kMaxIntervalMinutes, txtIntervalWallpaper));
    txtIntervalWallpaper->setMaximumWidth(70);
    tmrWallpaper = new QTimer(this);
    tmrWallpaper->setObjectName(QStringLiteral("tmrWallpaper"));
    // Minutes apart: a coarse timer lets the system bundle the wake-up with others.
    tmrWallpaper->setTimerType(Qt::VeryCoarseTimer);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdBrowseWallpaper);
    listButtons->addWidget(cmdDeleteWallpaperItems);
    auto* left = new QVBoxLayout;
    left->addWidget(lstWallpaper, 1);
    left->addWidget(lblWallpaperCount);
    left->addLayout(listButtons);

    auto* right = new QVBoxLayout;
    right->addWidget(pnlWallPaperPreview, 0, Qt::AlignHCenter);
    right->addSpacing(160 / kTwipsPerPixel);
    right->addWidget(lblWallpaperName);
    right->addWidget(lblWallpaperDimensions);
    right->addStretch(1);
    right->addWidget(chkShrinkWallpaper);
    right->addWidget(chkStretchWallpaper);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdChangeWallpaper);
    commands->addWidget(cmdSelectWallpaper);
    right->addLayout(commands);

    auto* interval = new QHBoxLayout;
    interval->addWidget(new QLabel(tr("Update wallpaper every"), this));
    interval->addWidget(txtIntervalWallpaper);
    interval->addWidget(new QLabel(tr("minutes"), this));
    interval->addWidget(sldWallpaper, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(interval);

    subShowWallpaperPreview(false);
    lblWallpaperName->hide();

    connect(cmdBrowseWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdBrowseWallpaper_Click);
    connect(cmdDeleteWallpaperItems, &QPushButton::clicked, this,
            &WallpaperTab::cmdDeleteWallpaperItems_Click);
    connect(lstWallpaper, &QListWidget::itemClicked, this, &WallpaperTab::lstWallpaper_Click);
    connect(cmdChangeWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdChangeWallpaper_Click);
    connect(cmdSelectWallpaper, &QPushButton::clicked, this, &WallpaperTab::cmdSelectWallpaper_Click);
    connect(sldWallpaper, &QSlider::valueChanged, this, [this](int value) {
        txtIntervalWallpaper->setText(QString::number(value));
        intervalEdited();
    });
    connect(txtIntervalWallpaper, &QLineEdit::textEdited, this, [this] {
        QSignalBlocker block(sldWallpaper);
        sldWallpaper->setValue(txtIntervalWallpaper->text().toInt());
        intervalEdited();
    });
    connect(tmrWallpaper, &QTimer::timeout, this, &WallpaperTab::tmrWallpaper_Timer);
}

void WallpaperTab::setWallpaperSetter(WallpaperSetter* setter) {
    m_setter = setter ? setter : m_ownSetter.get();
}

void WallpaperTab::setProgramFolder(const std::string& folder) {
    m_programFolder = folder;
    strWallpaperListFile = folder + "/" + std::string(kWallpaperListName);
}

void WallpaperTab::loadSettings(Settings& settings) {
    m_settings = &settings;
    chkShrinkWallpaper->setChecked(readFlag(settings, keys::kShrinkToFit));
    chkStretchWallpaper->setChecked(readFlag(settings, keys::kStretchToFit));
    bool ok = false;
    // Read without storing the default: a first run writes the settings it has always written.
    const int minutes = fromUtf8(readTextPlain(settings, keys::kWallpaperInterval)).trimmed().toInt(&ok);
    m_intervalMinutes = ok ? std::clamp(minutes, 0, kMaxIntervalMinutes) : 0;
    txtIntervalWallpaper->setText(QString::number(m_intervalMinutes));
    {
        QSignalBlocker block(sldWallpaper);
        sldWallpaper->setValue(m_intervalMinutes);
    }
    restartTimer();
}

void WallpaperTab::saveSettings(Settings& settings) {
    writeFlag(settings, keys::kShrinkToFit, chkShrinkWallpaper->isChecked());
    writeFlag(settings, keys::kStretchToFit, chkStretchWallpaper->isChecked());
    writeText(settings, keys::kWallpaperInterval, std::to_string(m_intervalMinutes));
}

void WallpaperTab::intervalEdited() {
    const int minutes = std::clamp(txtIntervalWallpaper->text().toInt(), 0, kMaxIntervalMinutes);
    if (minutes == m_intervalMinutes)
        return;
    m_intervalMinutes = minutes;
    restartTimer();
}

void WallpaperTab::restartTimer() {
    if (m_intervalMinutes <= 0) {
        tmrWallpaper->stop();
        return;
    }
    tmrWallpaper->start(m_intervalMinutes * 60 * 1000);
}

void WallpaperTab::tmrWallpaper_Timer() {
    // A change still under way (a message box open over it) is not stacked on.
    if (!lstWallpaper->isEnabled() || m_entries.empty())
        return;
    cmdChangeWallpaper_Click();
}

// ---- The list ----

void WallpaperTab::subLoadWallpaperList() {
    lstWallpaper->clear();
    m_entries.clear();
    m_listChanged = false;
    m_listBroken = false;
    Result<WallpaperList> loaded = loadWallpaperList(strWallpaperListFile);
    if (!loaded) {
        if (loaded.code() != ErrorCode::NotFound) {
            // Saving over a list that could not be read would lose it.
            m_listBroken = true;
            LogError("frmMain.subLoadWallpaperList", strWallpaperListFile + ": " + loaded.message());
        }
        subUpdateWallpaperCount();
        return;
    }
    if (loaded->skippedLines > 0)
        LogError("frmMain.subLoadWallpaperList",
                 strWallpaperListFile + ": " + std::to_string(loaded->skippedLines) +
                     " lines name no file (empty or holding NUL bytes) and were left out");
    m_entries = std::move(loaded->entries);
    QStringList items;
    items.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const std::string& e : m_entries)
        items << fromPath(e);
    lstWallpaper->addItems(items);
    subUpdateWallpaperCount();
}

void WallpaperTab::subSaveWallpaperList() {
    if (m_listChanged && m_listBroken) {
        LogError("subSaveWallpaperList", strWallpaperListFile +
                                             ": not rewritten, because it could not be read at start-up; "
                                             "the changes of this run are not kept");
    } else if (m_listChanged) {
        Status saved = makeFoldersFor(strWallpaperListFile);
        if (saved)
            saved = saveWallpaperList(strWallpaperListFile, m_entries);
        if (saved)
            m_listChanged = false;
        else
            LogError("subSaveWallpaperList", strWallpaperListFile + ": " + saved.message());
    }
    subUpdateWallpaperCount();
}

void WallpaperTab::subUpdateWallpaperCount() {
    QPalette palette = lblWallpaperCount->palette();
    palette.setColor(QPalette::WindowText, schemeTextColour());
    lblWallpaperCount->setPalette(palette);
    lblWallpaperCount->setVisible(true);
    lblWallpaperCount->setText(fromUtf8(wallpaperCountCaption(m_entries.size())));
}

void WallpaperTab::cmdBrowseWallpaper_Click() {
    std::string lastDirectory = m_settings ? readText(*m_settings, keys::kLastDirectory) : std::string();
    const QString start = DirExists(lastDirectory) ? fromPath(lastDirectory) : QString();
    const QStringList chosen =
        m_prompter.openFiles(this, tr("Choose Wallpaper files"), start, tr("All Files (*)"));
    if (chosen.isEmpty())
        return;
    std::vector<std::string> paths;
    for (const QString& c : chosen)
        paths.push_back(toPath(QDir::cleanPath(QFileInfo(c).absoluteFilePath())));
    const std::size_t before = m_entries.size();
    addUniquePaths(m_entries, paths);
    for (std::size_t i = before; i < m_entries.size(); ++i)
        lstWallpaper->addItem(fromPath(m_entries[i]));
    m_listChanged = true;
    subSaveWallpaperList();
    if (m_settings)
        writeText(*m_settings, keys::kLastDirectory, toPath(QFileInfo(chosen.front()).absolutePath()));
}

void WallpaperTab::cmdDeleteWallpaperItems_Click() {
    std::vector<std::size_t> selected;
    for (const QModelIndex& index : lstWallpaper->selectionModel()->selectedIndexes())
        selected.push_back(static_cast<std::size_t>(index.row()));
    if (selected.empty())
        return;
    const Deletion deletion = deleteSelected(m_entries, selected);
    {
        QSignalBlocker block(lstWallpaper);
        lstWallpaper->clear();
        QStringList items;
        items.reserve(static_cast<qsizetype>(m_entries.size()));
        for (const std::string& e : m_entries)
            items << fromPath(e);
        lstWallpaper->addItems(items);
    }
    if (deletion.select) {
        const int row = static_cast<int>(*deletion.select);
        lstWallpaper->setCurrentRow(row);
        lstWallpaper->item(row)->setSelected(true);
        lstWallpaper_Click();
    } else {
        subShowWallpaperPreview(false);
    }
    lblWallpaperDimensions->setText(tr("%1 files removed from list").arg(deletion.removed));
    lblWallpaperDimensions->setVisible(true);
    m_listChanged = true;
    subSaveWallpaperList();
}

void WallpaperTab::lstWallpaper_Click() {
    const int row = lstWallpaper->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return;
    WaitCursor wait;
    subUpdateThumbnail(m_entries[static_cast<std::size_t>(row)]);
}

// ---- Preview ----

void WallpaperTab::subShowWallpaperPreview(bool visible) {
    pnlWallPaperPreview->setVisible(visible);
    lblWallpaperDimensions->setVisible(visible);
}

void WallpaperTab::subUpdateThumbnail(const std::string& path) {
    pnlWallPaperPreview->hide();
    lblWallpaperDimensions->hide();
    lblWallpaperName->hide();
    m_previewPath.clear();
    const QString file = fromPath(path);
    if (!QFileInfo::exists(file))
        return;
    Result<PictureInfo> info = readPictureInfo(file);
    if (!info) {
        lblWallpaperName->setText(info.code() == ErrorCode::InvalidInput ? tr("Not a valid image file")
                                                                         : fromUtf8(info.message()));
        lblWallpaperName->setVisible(true);
        if (info.code() != ErrorCode::InvalidInput)
            LogError("frmMain.subUpdateThumbnail", path + ": " + info.message());
        return;
    }
    const QSize natural = info->size;
    const double ratio = static_cast<double>(natural.width()) / natural.height();
    QSize preview;
    if (ratio <= 1.0) {
        const int h = lstWallpaper->height() / 2 + kPreviewExtraHeight;
        preview = QSize(std::max(1, static_cast<int>(h * ratio)), h);
    } else {
        const int w = std::max(80, width() - lstWallpaper->width() - kPreviewMargin);
        preview = QSize(w, std::max(1, static_cast<int>(w / ratio)));
    }
    Result<QImage> picture = loadPicture(file, preview.boundedTo(natural));
    if (!picture) {
        lblWallpaperName->setText(tr("Not a valid image file"));
        lblWallpaperName->setVisible(true);
        return;
    }
    pnlWallPaperPreview->setFixedSize(preview);
    imgWallpaper->setGeometry(0, 0, preview.width(), preview.height());
    imgWallpaper->setPixmap(QPixmap::fromImage(*picture));
    pnlWallPaperPreview->show();
    lblWallpaperName->setText(QFileInfo(file).fileName());
    lblWallpaperDimensions->setText(
        fromUtf8(dimensionsCaption(natural.width(), natural.height(), info->bitsPerPixel)));
    lblWallpaperDimensions->show();
    lblWallpaperName->show();
    m_previewPath = path;
}

// ---- Applying ----

void WallpaperTab::reportFailure(const char* context, const std::string& reason) {
    LogError(context, reason);
    emit statusMessage(tr("The wallpaper was not changed"));
    // The message waits for the user, not the program: no hourglass over it.
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting)
        QGuiApplication::restoreOverrideCursor();
    m_prompter.message(this, tr("Error changing wallpaper") + QStringLiteral("\n\n") + fromUtf8(reason), {},
                       Prompter::Icon::Warning, Prompter::Buttons::Ok);
    if (waiting)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

bool WallpaperTab::applyPicture(const std::string& path) {
    const char* const context = "Windows.bas.subSetWallpaper";
    const QString file = fromPath(path);
    Result<PictureInfo> info = readPictureInfo(file);
    if (!info) {
        reportFailure(context, path + ": " + info.message());
        return false;
    }
    FitOptions options{chkShrinkWallpaper->isChecked(), chkStretchWallpaper->isChecked()};
    if (m_settings) {
        options.shrink = readFlag(*m_settings, keys::kShrinkToFit);
        options.stretch = readFlag(*m_settings, keys::kStretchToFit);
    }
    const QSize screen = m_screenSize();
    const PixelSize fitted =
        fitPicture({info->size.width(), info->size.height()}, {screen.width(), screen.height()}, options);
    Result<QImage> picture = loadPicture(file, QSize(fitted.width, fitted.height));
    if (!picture) {
        reportFailure(context, path + ": " + picture.message());
        return false;
    }
    const QImage rendered = renderWallpaper(*picture, fitted);
    Result<QByteArray> png = encodePng(rendered);
    if (!png) {
        reportFailure(context, png.message());
        return false;
    }
    const WallpaperFiles files = wallpaperFiles(m_programFolder, kWallpaperFileExtension,
                                                [](const std::string& p) -> std::optional<std::int64_t> {
                                                    const QFileInfo f(fromPath(p));
                                                    if (!f.exists())
                                                        return std::nullopt;
                                                    return f.lastModified().toMSecsSinceEpoch();
                                                });
    Status written = makeFolders(m_programFolder);
    if (written)
        written = writeFileAtomic(files.next,
                                  std::string_view(png->constData(), static_cast<std::size_t>(png->size())),
                                  Durability::Replace);
    if (!written) {
        reportFailure(context, files.next + ": " + written.message());
        return false;
    }
    if (Status set = m_setter->setWallpaper(files.next, rendered); !set) {
        // The desktop still shows the older file; the new one is of no use.
        QFile::remove(fromPath(files.next));
        reportFailure(context, set.message());
        return false;
    }
    if (QFileInfo::exists(fromPath(files.older)) && !QFile::remove(fromPath(files.older)))
        LogError(context, files.older + ": the previous wallpaper file could not be removed");
    emit statusMessage(tr("Wallpaper changed to %1").arg(QFileInfo(file).fileName()));
    return true;
}

void WallpaperTab::cmdChangeWallpaper_Click() {
    if (m_entries.empty())
        return;
    WaitCursor wait;
    lstWallpaper->setEnabled(false);
    const std::optional<std::size_t> index = pickUsableEntry(
        m_entries, m_random.next(), [](const std::string& p) { return QFileInfo(fromPath(p)).isFile(); });
    if (!index) {
        emit statusMessage(tr("None of the wallpaper files can be found; the wallpaper was not changed"));
        LogError("frmMain.cmdChangeWallpaper", "none of the files in the wallpaper list can be found");
    } else {
        subUpdateThumbnail(m_entries[*index]);
        applyPicture(m_entries[*index]);
    }
    lstWallpaper->setEnabled(true);
}

void WallpaperTab::cmdSelectWallpaper_Click() {
    WaitCursor wait;
    const int row = lstWallpaper->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size()) {
        if (!m_entries.empty())
            m_prompter.message(this, tr("Please select some wallpaper to decorate with."),
                               tr("No wallpaper selected"), Prompter::Icon::Information,
                               Prompter::Buttons::Ok);
        return;
    }
    lstWallpaper->setEnabled(false);
    applyPicture(m_entries[static_cast<std::size_t>(row)]);
    lstWallpaper->setEnabled(true);
}

} // namespace quillmark
