#include "wallpaper/wallpaper_render.h"

#include "wallpaper/picture_facts.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace quillmark {

namespace {

// Decoding stops above this, whatever a file's header claimed.
constexpr int kAllocationLimitMb = 512;

const char* const kNotAPicture = "Not a valid image file";

int bitsPerPixelOf(QImage::Format format) {
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888:
        return 24;
    case QImage::Format_Invalid: // the loader cannot tell before decoding
        return 24;
    default:
        return QImage::toPixelFormat(format).bitsPerPixel();
    }
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
    // The GIF loader tells its pixel format only after decoding; a GIF always has a palette.
    if (format == QImage::Format_Invalid && reader.format() == "gif")
        info.bitsPerPixel = 8;
    else
        info.bitsPerPixel = bitsPerPixelOf(format);
    return info;
}

Result<QImage> loadPicture(const QString& path, QSize scaledTo) {
    Result<PictureInfo> info = readPictureInfo(path);
    if (!info)
        return info.error();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kAllocationLimitMb);
    if (scaledTo.isValid() && !scaledTo.isEmpty() && scaledTo != info->size)
        reader.setScaledSize(scaledTo);
    QImage image = reader.read();
    if (image.isNull())
        return Error{ErrorCode::InvalidInput,
                     std::string(kNotAPicture) + " (" + reader.errorString().toStdString() + ")"};
    return image;
}

QImage renderWallpaper(const QImage& picture, PixelSize fitted) {
    const QSize size(fitted.width, fitted.height);
    QImage out = picture.size() == size
                     ? picture
                     : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
