#include "editors/choicelists.h"

#include "app/appstate.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

#include <cstdlib>

namespace {

// hundredths / 100 with two decimals and "div": 600 -> "6.00div",
// -4 -> "-0.04div", 0 -> "0.00div".
QString hundredthsDiv(int hundredths)
{
    QString text;
    if (hundredths < 0)
        text += u'-';
    const int magnitude = std::abs(hundredths);
    text += QString::number(magnitude / 100);
    text += u'.';
    text += QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    text += QStringLiteral("div");
    return text;
}

} // namespace

QStringList TimeDivChoices(const QString &formatReply, int bandwidthClass)
{
    QStringList out;
    if (formatReply == QLatin1String("Y-T") || formatReply == QLatin1String("SCANNING")) {
        const QStringList fast{QStringLiteral("1.000ns"), QStringLiteral("2.000ns"), QStringLiteral("5.000ns"),
                               QStringLiteral("10.00ns")};
        int count = 4;
        switch (bandwidthClass) {
        case 0: count = 0; break;
        case 1: count = 1; break;
        case 2: count = 2; break;
        case 3: count = 3; break;
        default: break;
        }
        out += fast.mid(4 - count);
        out += QStringList{
            QStringLiteral("20.00ns"), QStringLiteral("50.00ns"), QStringLiteral("100.0ns"), QStringLiteral("200.0ns"),
            QStringLiteral("500.0ns"), QStringLiteral("1.000us"), QStringLiteral("2.000us"), QStringLiteral("5.000us"),
            QStringLiteral("10.00us"), QStringLiteral("20.00us"), QStringLiteral("50.00us"), QStringLiteral("100.0us"),
            QStringLiteral("200.0us"), QStringLiteral("500.0us"), QStringLiteral("1.000ms"), QStringLiteral("2.000ms"),
            QStringLiteral("5.000ms"), QStringLiteral("10.00ms"), QStringLiteral("20.00ms"), QStringLiteral("50.00ms"),
            QStringLiteral("100.0ms"), QStringLiteral("200.0ms"), QStringLiteral("500.0ms"), QStringLiteral("1.000s"),
            QStringLiteral("2.000s"), QStringLiteral("5.000s"), QStringLiteral("10.00s"), QStringLiteral("20.00s"),
            QStringLiteral("50.00s")};
    } else if (formatReply == QLatin1String("X-Y")) {
        out += QStringList{QStringLiteral("1.000us"), QStringLiteral("2.000us"), QStringLiteral("5.000us"),
                           QStringLiteral("10.00us"), QStringLiteral("20.00us"), QStringLiteral("50.00us"),
                           QStringLiteral("100.0us"), QStringLiteral("200.0us"), QStringLiteral("500.0us"),
                           QStringLiteral("1.000ms"), QStringLiteral("2.000ms"), QStringLiteral("5.000ms"),
                           QStringLiteral("10.00ms")};
    }
    return out;
}

void SetCtrlDialogTimeDivNum(QStringList &entries)
{
    const QString format = CutAtLF(instrumentLines().queryString(QStringLiteral(":TIMEBASE:FORMAT?")));
    entries += TimeDivChoices(format, app().link.BandwidthClass);
}

void SetCtrlDialogTrigLevelNum(QStringList &entries)
{
    for (int hundredths = 600; hundredths >= -600; hundredths -= 4)
        entries += hundredthsDiv(hundredths);
}

void SetCtrlDialogTrigSensitivityNum(QStringList &entries)
{
    for (int hundredths = 100; hundredths >= 10; --hundredths)
        entries += hundredthsDiv(hundredths);
}

void AddLaSource(QStringList &entries)
{
    for (int k = 0; k <= 15; ++k)
        entries += QStringLiteral("D") + QString::number(k);
}
