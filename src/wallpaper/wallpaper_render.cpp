#include "wallpaper/wallpaper_render.h"

#include "wallpaper/picture_facts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <iterator>

namespace quillmark {

namespace {

// Decoding stops above this, whatever a file's header claimed.
constexpr int kAllocationLimitMb = 512;

const char* const kNotAPicture = "Not a valid image file";

int bitsPerPixelOf(QImage::Format format) {
    // 32-bit formats without alpha hold 24 bits of colour, as do those told only by decoding.
    if (format == QImage::Format_RGB32 || format == QImage::Format_RGBX8888 ||
        format == QImage::Format_Invalid)
        return 24;
    return QImage::toPixelFormat(format).bitsPerPixel();
}

// Formats a picture is scaled in without first being turned into true colour. Scaling a
// picture of few colours keeps its format, and a 1-bit one comes out as black-and-white
// dither whatever its two colours were.
bool isTrueColour(QImage::Format format) {
    static constexpr QImage::Format kTrueColour[] = {QImage::Format_RGB32,
                                                     QImage::Format_ARGB32,
                                                     QImage::Format_ARGB32_Premultiplied,
                                                     QImage::Format_RGB888,
                                                     QImage::Format_BGR888,
                                                     QImage::Format_RGBX8888,
                                                     QImage::Format_RGBA8888,
                                                     QImage::Format_RGBA8888_Premultiplied};
    return std::find(std::begin(kTrueColour), std::end(kTrueColour), format) != std::end(kTrueColour);
}

QImage toTrueColour(const QImage& picture) {
    if (isTrueColour(picture.format()))
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

// The PNG loader gives palette and grey pictures of 2 and 4 bits a pixel as 8-bit ones;
// their header has the depth. None for other pictures.
int pngHeaderBits(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(26);
    const bool paletteOrGrey = head.size() == 26 && (head[25] == 3 || head[25] == 0);
    return paletteOrGrey && head[24] >= 1 && head[24] <= 16 ? head[24] : 0;
}

Status checkFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return Error{ErrorCode::NotFound, "the file is not there"};
    if (info.isDir())
        return Error{ErrorCode::IsDirectory, "it is a folder, not a picture"};
    if (!info.isFile())
        return Error{ErrorCode::SpecialFile, "it is not a regular file"};
    if (info.size() == 0)
        return Error{ErrorCode::InvalidInput, kNotAPicture};
    return {};
}

} // namespace

Result<PictureInfo> readPictureInfo(const QString& path) {
    if (Status s = checkFile(path); !s)
        return s.error();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return Error{ErrorCode::InvalidInput, kNotAPicture};
    PictureInfo info;
    info.size = reader.size();
    if (!info.size.isValid())
        return Error{ErrorCode::InvalidInput, kNotAPicture};
    if (Status s = checkPictureSize(info.size.width(), info.size.height()); !s)
        return s.error();
    const QImage::Format format = reader.imageFormat();
    info.bitsPerPixel = bitsPerPixelOf(format);
    // The GIF loader tells its pixel format only after decoding; a GIF always has a palette.
    if (format == QImage::Format_Invalid && reader.format() == "gif")
        info.bitsPerPixel = 8;
    else if (const int bits = reader.format() == "png" ? pngHeaderBits(path) : 0; bits > 0)
        info.bitsPerPixel = bits;
    return info;
}

Result<QImage> loadPicture(const QString& path, QSize scaledTo) {
    Result<PictureInfo> info = readPictureInfo(path);
    if (!info)
        return info.error();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    const bool scale = scaledTo.isValid() && !scaledTo.isEmpty() && scaledTo != info->size;
    // Decoding straight at the smaller size (JPEG) saves most of the work; others are scaled after.
    if (scale && reader.supportsOption(QImageIOHandler::ScaledSize) && isTrueColour(reader.imageFormat()))
        reader.setScaledSize(scaledTo);
    QImage image = reader.read();
    if (image.isNull())
        return Error{ErrorCode::InvalidInput,
                     std::string(kNotAPicture) + " (" + reader.errorString().toStdString() + ")"};
    image = toTrueColour(image);
    if (scale && image.size() != scaledTo)
        image = image.scaled(scaledTo, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage renderWallpaper(const QImage& picture, PixelSize fitted) {
    const QSize size(fitted.width, fitted.height);
    QImage out = toTrueColour(picture);
    if (out.size() != size)
        out = out.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out.convertToFormat(QImage::Format_RGB32);
}

Result<QByteArray> encodePng(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Light compression: the file is rewritten on every change and read once by the desktop.
    writer.setCompression(1);
    if (!writer.write(picture))
        return Error{ErrorCode::Other,
                     "the picture could not be encoded: " + writer.errorString().toStdString()};
    return bytes;
}

} // namespace quillmark
