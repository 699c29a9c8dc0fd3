#include "workspace/pictures.h"

#include <QHash>
#include <QPixmap>
#include <QResource>
#include <QString>

#include <cstring>

namespace {

quint32 readLittle(const char *p, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v |= quint32(quint8(p[i])) << (8 * i);
    return v;
}

} // namespace

QImage pictureImage(const char *name)
{
    const QResource res(QStringLiteral(":/pictures/%1.pic").arg(QLatin1String(name)));
    if (!res.isValid())
        return {};
    const QByteArray bytes = res.uncompressedData();
    // Width and height (16 bits each), the pixel format (32 bits), then the
    // rows, four bytes a pixel.
    constexpr qsizetype Head = 8;
    if (bytes.size() < Head)
        return {};
    const int w = int(readLittle(bytes.constData(), 2));
    const int h = int(readLittle(bytes.constData() + 2, 2));
    const auto format = QImage::Format(readLittle(bytes.constData() + 4, 4));
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return {};
    if (w <= 0 || h <= 0 || bytes.size() != Head + qsizetype(w) * h * 4)
        return {};
    QImage image(w, h, format);
    if (image.isNull())
        return {};
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + Head + qsizetype(y) * w * 4, size_t(w) * 4);
    return image;
}

QIcon pictureIcon(const char *name)
{
    static QHash<QString, QIcon> icons;
    const QString key = QLatin1String(name);
    auto it = icons.constFind(key);
    if (it != icons.constEnd())
        return *it;
    QIcon icon;
    const QImage image = pictureImage(name);
    if (!image.isNull())
        icon.addPixmap(QPixmap::fromImage(image));
    icons.insert(key, icon);
    return icon;
}
