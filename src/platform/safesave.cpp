#include "platform/safesave.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

bool SaveWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool SaveBitmapFile(const QImage &picture, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "BMP")) {
        if (error)
            *error = QStringLiteral("There is no picture to save.");
        return false;
    }
    return SaveWholeFile(path, bytes, error);
}

bool MakeFolderOf(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.dir().exists() || QDir().mkpath(info.absolutePath()))
        return true;
    if (error)
        *error = QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(info.absolutePath()));
    return false;
}
