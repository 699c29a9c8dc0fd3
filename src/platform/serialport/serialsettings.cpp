#include "platform/serialport/serialsettings.h"

#include <QStringList>

std::optional<SerialSettings> parseSerialSettings(const QString &text)
{
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() != 4)
        return std::nullopt;
    SerialSettings s;

    const QString baud = f.at(0).trimmed();
    if (baud.isEmpty() || baud.size() > 7)
        return std::nullopt;
    for (QChar c : baud)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    s.baud = baud.toInt();
    if (s.baud < 50 || s.baud > 4000000)
        return std::nullopt;

    const QString parity = f.at(1).trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = SerialSettings::Parity::None;
    else if (parity == QLatin1String("e"))
        s.parity = SerialSettings::Parity::Even;
    else if (parity == QLatin1String("o"))
        s.parity = SerialSettings::Parity::Odd;
    else if (parity == QLatin1String("m"))
        s.parity = SerialSettings::Parity::Mark;
    else if (parity == QLatin1String("s"))
        s.parity = SerialSettings::Parity::Space;
    else
        return std::nullopt;

    const QString data = f.at(2).trimmed();
    if (data.size() != 1 || data.at(0) < QLatin1Char('5') || data.at(0) > QLatin1Char('8'))
        return std::nullopt;
    s.dataBits = data.at(0).unicode() - '0';

    const QString stop = f.at(3).trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = SerialSettings::StopBits::One;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = SerialSettings::StopBits::OneAndHalf;
    else if (stop == QLatin1String("2"))
        s.stopBits = SerialSettings::StopBits::Two;
    else
        return std::nullopt;
    return s;
}

QString serialSettingsText(const SerialSettings &s)
{
    static const char parities[] = {'n', 'e', 'o', 'm', 's'};
    const char *stop = s.stopBits == SerialSettings::StopBits::One          ? "1"
                       : s.stopBits == SerialSettings::StopBits::OneAndHalf ? "1.5"
                                                                            : "2";
    return QStringLiteral("%1,%2,%3,%4")
        .arg(s.baud)
        .arg(QLatin1Char(parities[static_cast<int>(s.parity)]))
        .arg(s.dataBits)
        .arg(QLatin1String(stop));
}
