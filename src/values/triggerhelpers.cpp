#include "values/triggerhelpers.h"

#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/rounding.h"
#include "values/valuereply.h"

#include <QStringList>

#include <cmath>

namespace {

// Blanks (spaces only) removed at both ends.
QString trimBlanks(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

// Every blank removed.
QString withoutBlanks(QString s)
{
    s.remove(QLatin1Char(' '));
    return s;
}

// A read number rounded half to even into a 64-bit integer; numbers outside
// its range give 0 (a reply never carries such a code).
qint64 roundedInteger(double x)
{
    const double r = RoundHalfEven(x);
    if (!(r > -9.2e18 && r < 9.2e18))
        return 0;
    return static_cast<qint64>(r);
}

bool isRising(const QString &code)
{
    return code == word(Word::ItemRising) || code == word(Word::WordRising);
}

} // namespace

QString TimebaseFormatToken(const QString &shown)
{
    const QString t = trimBlanks(shown);
    if (t == QLatin1String("Y-T"))
        return QStringLiteral("YT");
    if (t == QLatin1String("X-Y"))
        return QStringLiteral("XY");
    return QStringLiteral("SCANNING");
}

QString TimebaseFormatDisplay(const QString &reply)
{
    if (reply == QLatin1String("SCANNING"))
        return QStringLiteral("Roll");
    return reply;
}

QString LAThresholdDisplay(const QString &reply)
{
    if (reply == QLatin1String("TTL") || reply == QLatin1String("CMOS") || reply == QLatin1String("ECL"))
        return reply;
    return FormatVolt(QStringView(reply).mid(qMin<qsizetype>(5, reply.size())));
}

QString LAUserThreshold(const QString &reply)
{
    if (reply.startsWith(QLatin1String("User")))
        return FormatVolt(QStringView(reply).mid(qMin<qsizetype>(5, reply.size())));
    return reply;
}

QString SourceToken(const QString &shown)
{
    if (shown == QLatin1String("CH1"))
        return QStringLiteral("CHANNEL1");
    if (shown == QLatin1String("CH2"))
        return QStringLiteral("CHANNEL2");
    if (shown == word(Word::WordACLine))
        return QStringLiteral("ACLINE");
    if (shown == QLatin1String("EXT"))
        return QStringLiteral("EXT");
    if (shown == QLatin1String("EXT5"))
        return QStringLiteral("EXT5");
    return QStringLiteral("DIGITAL") + shown.mid(1);
}

QString VideoStandardToken(const QString &shown)
{
    if (shown == QLatin1String("PAL/SECAM"))
        return QStringLiteral("PALSECAM");
    return shown;
}

QString ProbeRatioDisplay(const QString &reply)
{
    const double r = ReadNumber(reply);
    for (int ratio : {1, 2, 5, 10, 50, 100, 500}) {
        if (r == ratio)
            return QString::number(ratio) + QLatin1Char('X');
    }
    return QStringLiteral("1000X");
}

QString AcLineDisplay(const QString &reply)
{
    if (reply == QLatin1String("ACLINE"))
        return word(Word::WordACLine);
    return reply;
}

QString LevelVoltsText(const QString &level, const QString &scale, const QString &offset)
{
    const double divisions = ReadNumber(level);
    const double volts = divisions * ReadNumber(scale) - ReadNumber(offset);
    if (!(std::fabs(divisions) < MaxShownDivisions) || !(std::fabs(volts) < 1e15))
        return QString();
    return withoutBlanks(NumberText(volts));
}

bool IsPatternEdgeCode(const QString &code)
{
    return code == word(Word::ItemRising) || code == word(Word::ItemFalling)
        || code == word(Word::WordRising) || code == word(Word::WordFalling);
}

int PatternEdgeToClear(const CtrlSettings::LAArray &codes, int own)
{
    if (own < 0 || own > 16 || !IsPatternEdgeCode(codes[own]))
        return 0;
    for (int i = 1; i <= 16; ++i)
        if (i != own && IsPatternEdgeCode(codes[i]))
            return i;
    return 0;
}

QString PatternTriggerLine(const CtrlSettings &s, int n)
{
    const int own = 16 - n;
    const bool pattern = s.TrigMethod == word(Word::WordPattern);
    const CtrlSettings::LAArray &codes = pattern ? s.PatCode : s.DurCode;
    const QString mode = pattern ? QStringLiteral("PATTERN") : QStringLiteral("DURATION");

    QString edge;
    if (own >= 0 && own <= 16 && IsPatternEdgeCode(codes[own]))
        edge = QString::number(n) + (isRising(codes[own]) ? QStringLiteral(",1") : QStringLiteral(",0"));

    qint64 value = 0;
    qint64 mask = 65535;
    for (int c = 15; c >= 0; --c) {
        const QString &code = codes[16 - c];
        if (code == QLatin1String("H"))
            value |= qint64(1) << c;
        else if (code == QLatin1String("X"))
            mask &= ~(qint64(1) << c);
        else if (IsPatternEdgeCode(code) && edge.isEmpty())
            edge = QString::number(c) + (isRising(code) ? QStringLiteral(",1") : QStringLiteral(",0"));
    }

    QString cmd = QStringLiteral(":TRIGGER:") + mode + QStringLiteral(":PATTERN ") + QString::number(value)
        + QLatin1Char(',') + QString::number(mask);
    if (!edge.isEmpty())
        cmd += QLatin1Char(',') + edge;
    return cmd;
}

QString ParsePatternReply(const QString &reply, CtrlSettings::LAArray &codes)
{
    const QStringList parts = reply.split(QLatin1Char(','));
    const auto part = [&parts](int k) { return k < parts.size() ? parts.at(k) : QString(); };

    const qint64 value = roundedInteger(ReadNumber(part(0)));
    for (int i = 1; i <= 16; ++i)
        codes[i] = (value >> (16 - i)) & 1 ? QStringLiteral("H") : QStringLiteral("L");

    const qint64 mask = roundedInteger(ReadNumber(part(1)));
    for (int i = 1; i <= 16; ++i) {
        if (!((mask >> (16 - i)) & 1))
            codes[i] = QStringLiteral("X");
    }

    if (parts.size() >= 3 && part(2) != QLatin1String("None")) {
        // The channel is bounded before it picks an element: a reply naming
        // no channel 0..15 marks no edge.
        const double k = RoundHalfEven(ReadNumber(QStringView(part(2)).mid(qMin<qsizetype>(4, part(2).size()))));
        if (k >= 0 && k <= 15) {
            const int i = int(16 - k);
            const QString slope = withoutBlanks(part(3));
            if (slope == QLatin1String("Positive"))
                codes[i] = word(Word::WordRising);
            else if (slope == QLatin1String("Negative"))
                codes[i] = word(Word::WordFalling);
        }
    }
    return QString();
}
