#include "shell/optionslists.h"

QStringList portNames()
{
    QStringList l;
    for (int i = 1; i <= 16; ++i)
        l << QStringLiteral("COM%1").arg(i);
    return l;
}

QStringList portEntries(const QStringList &devices, int lang)
{
    const QString none = QString::fromUtf8(lang == 0 ? NoDeviceChinese : NoDeviceEnglish);
    QStringList entries = portNames();
    for (qsizetype i = 0; i < entries.size(); ++i)
        entries[i] += i < devices.size() ? QStringLiteral("  ") + devices.at(i)
                                         : QStringLiteral("  (") + none + QLatin1Char(')');
    return entries;
}

QStringList baudRates()
{
    return {QStringLiteral("300"), QStringLiteral("2400"), QStringLiteral("4800"),
            QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")};
}

QStringList gpibAddresses()
{
    QStringList l;
    for (int i = 0; i <= 30; ++i)
        l << QString::number(i);
    return l;
}

QStringList refreshIntervals()
{
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("10"),
            QStringLiteral("20")};
}

QString serialFromResource(const QString &resource)
{
    const QStringList parts = resource.split(QStringLiteral("::"));
    if (parts.size() < 5)
        return resource;
    return parts[3];
}

QString intervalText(qint32 ms)
{
    // A plain decimal number: 1000 -> "1", 1500 -> "1.5".
    return QString::number(double(ms) / 1000.0, 'g', 10);
}
