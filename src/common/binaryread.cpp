#include "common/binaryread.h"

#include <QFile>

bool ReadFileHead(const QString &path, qsizetype maxBytes, QByteArray *out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = f.read(maxBytes);
    if (f.error() != QFileDevice::NoError)
        return false;
    *out = std::move(bytes);
    return true;
}
