#pragma once
// Writes a whole file or nothing: the bytes go to a temporary file beside the
// target, which replaces the target only once every byte is on disk. A full
// disk, a size limit or a missing folder leaves the previous file whole and
// gives false with the system's reason.
//
// (A buffered QSaveFile reports success after a short write when the disk
// fills up in the middle of a file; this writes unbuffered and checks every
// count.)

#include <QByteArray>
#include <QSaveFile>
#include <QString>

class QImage;

bool SaveWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The same for a file written piece by piece: open(), write() as often as
// needed, then commit(), which replaces the target. A failed step (or no
// commit) leaves the previous file whole; error() tells why.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString &path) : file_(path) {}
    bool open();
    bool write(const char *data, qint64 size);
    bool commit();
    // Drops what was written; the target stays as it was.
    void cancel();
    QString error() const { return error_; }

private:
    QSaveFile file_;
    QString error_;
};

// Saves picture as a Windows bitmap the same way (a null picture is an error).
bool SaveBitmapFile(const QImage &picture, const QString &path, QString *error = nullptr);

// Makes the folder that is to hold path when it does not exist. False with a
// description when it cannot be made.
bool MakeFolderOf(const QString &path, QString *error = nullptr);
