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

QList<SerialDevice> serialDevices()
{
    QList<SerialDevice> list;
    const auto listed = [&list](const QString &path) {
        return std::any_of(list.begin(), list.end(), [&path](const SerialDevice &d) { return d.path == path; });
    };
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (path.isEmpty() || listed(path))
            continue;
        QString text = info.description().trimmed();
        const QString maker = info.manufacturer().trimmed();
        if (!maker.isEmpty() && !text.contains(maker))
            text = text.isEmpty() ? maker : text + QStringLiteral(" (") + maker + QLatin1Char(')');
        list << SerialDevice{path, text};
    }
    std::sort(list.begin(), list.end(), [](const SerialDevice &a, const SerialDevice &b) {
        const QString na = QFileInfo(a.path).fileName();
        const QString nb = QFileInfo(b.path).fileName();
        return serialDeviceNameLess(na, nb) || (na == nb && a.path < b.path);
    });
    const QStringList extras = qEnvironmentVariable("KELVOSCOPE_EXTRA_PORTS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &e : extras) {
        const QString path = e.trimmed();
        const QFileInfo info(path);
        if (!path.isEmpty() && !listed(path) && info.exists() && !info.isDir())
            list << SerialDevice{path, QString()};
    }
    return list;
}

QStringList serialDeviceList()
{
    QStringList paths;
    for (const SerialDevice &d : serialDevices())
        paths << d.path;
    return paths;
}

QString serialDeviceText(const SerialDevice &device)
{
    return device.description.isEmpty() ? device.path : device.path + QStringLiteral("  ") + device.description;
}
