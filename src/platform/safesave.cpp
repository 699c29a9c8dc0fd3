#include "platform/safesave.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>

bool WholeFileWriter::open()
{
    if (file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    error_ = file_.errorString();
    return false;
}

bool WholeFileWriter::write(const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file_.write(data + done, size - done);
        if (n <= 0) {
            error_ = file_.errorString();
            file_.cancelWriting();
            return false;
        }
        done += n;
    }
    return true;
}

bool WholeFileWriter::commit()
{
    if (file_.commit())
        return true;
    error_ = file_.errorString();
    return false;
}

void WholeFileWriter::cancel() { file_.cancelWriting(); }

bool SaveWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    WholeFileWriter file(path);
    const bool ok = file.open() && file.write(bytes.constData(), bytes.size()) && file.commit();
    if (!ok && error)
        *error = file.error();
    return ok;
}

bool SaveBitmapFile(const QImage &picture, const QString &path, QString *error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "BMP")) {
        if (error)
            *error = QCoreApplication::translate("Kelvoscope", "There is no picture to save.");
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
        *error = QCoreApplication::translate("Kelvoscope", "Cannot create the folder %1.")
                     .arg(QDir::toNativeSeparators(info.absolutePath()));
    return false;
}
