#include "platform/serialport/serialdevices.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

bool serialDeviceNameLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < a.size() && a.at(ei).isDigit())
                ++ei;
            while (ej < b.size() && b.at(ej).isDigit())
                ++ej;
            // Compare the digit runs as numbers, without converting (no overflow).
            QStringView da = QStringView(a).mid(i, ei - i);
            QStringView db = QStringView(b).mid(j, ej - j);
            while (da.size() > 1 && da.front() == QLatin1Char('0'))
                da = da.mid(1);
            while (db.size() > 1 && db.front() == QLatin1Char('0'))
                db = db.mid(1);
            if (da.size() != db.size())
                return da.size() < db.size();
            const int c = da.compare(db);
            if (c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b; // same in natural order ("ttyS01" and "ttyS1"): any fixed order
}

QStringList serialDeviceList()
{
    QStringList list;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (!path.isEmpty() && !list.contains(path))
            list << path;
    }
    std::sort(list.begin(), list.end(), [](const QString &a, const QString &b) {
        return serialDeviceNameLess(QFileInfo(a).fileName(), QFileInfo(b).fileName())
               || (QFileInfo(a).fileName() == QFileInfo(b).fileName() && a < b);
    });
    const QStringList extras = qEnvironmentVariable("KELVOSCOPE_EXTRA_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &e : extras) {
        const QString path = e.trimmed();
        if (!path.isEmpty() && !list.contains(path) && QFileInfo::exists(path))
            list << path;
    }
    return list;
}
