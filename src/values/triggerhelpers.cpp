#include "values/triggerhelpers.h"

#include "common/appstate.h"
#include "controller/ctrltreenodes.h"
#include "link/cmdfunc.h"
#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/rounding.h"
#include "values/valuereply.h"

#include <QStringList>

#include <cmath>

namespace {

// The link's own command channel.
class LinkLines final : public InstrumentLines {
public:
    void sendCommand(const QString &line) override { SendCommand(line); }
    QString queryString(const QString &line) override { return QueryString(line); }
};

InstrumentLines *g_lines = nullptr;

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

bool isEdgeCode(const QString &code)
{
    return code == word(Word::ItemRising) || code == word(Word::ItemFalling)
        || code == word(Word::WordRising) || code == word(Word::WordFalling);
}

bool isRising(const QString &code)
{
    return code == word(Word::ItemRising) || code == word(Word::WordRising);
}

} // namespace

InstrumentLines &instrumentLines()
{
    static LinkLines link;
    return g_lines ? *g_lines : link;
}

void setInstrumentLines(InstrumentLines *lines)
{
    g_lines = lines;
}

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

QString TrigLevelToVolts(const QString &level, const QString &source)
{
    QString scale = QStringLiteral("0");
    QString offset = QStringLiteral("0");
    if (source == QLatin1String("CH1") || source == QLatin1String("CH2")) {
        const QString ch = source == QLatin1String("CH1") ? QStringLiteral(":CHANNEL1") : QStringLiteral(":CHANNEL2");
        scale = CutAtLF(instrumentLines().queryString(ch + QStringLiteral(":SCALE?")));
        offset = CutAtLF(instrumentLines().queryString(ch + QStringLiteral(":OFFSET?")));
    } else if (source == QLatin1String("EXT")) {
        scale = QStringLiteral("0.2");
    } else if (source == QLatin1String("EXT5")) {
        scale = QStringLiteral("1");
    }
    const double volts = ReadNumber(level) * ReadNumber(scale) - ReadNumber(offset);
    return withoutBlanks(NumberText(volts));
}

QString QuerySourceScale(const QString &source)
{
    if (source == QLatin1String("CH1"))
        return CutAtLF(instrumentLines().queryString(QStringLiteral(":CHANNEL1:SCALE?")));
    if (source == QLatin1String("CH2"))
        return CutAtLF(instrumentLines().queryString(QStringLiteral(":CHANNEL2:SCALE?")));
    if (source == QLatin1String("EXT"))
        return NumberText(0.2);
    if (source == QLatin1String("EXT5"))
        return NumberText(1.0);
    if (source == QLatin1String("AC"))
        return QStringLiteral("0");
    return QString();
}

void SendPatternTrigger(int n)
{
    if (n < 0 || n > 16)
        return;
    CtrlSettings &s = app().Settings;
    const int own = 16 - n;

    // One edge only: the first other pattern edge gives way.
    if (isEdgeCode(s.PatCode[own])) {
        for (int i = 1; i <= 16; ++i) {
            if (i == own || !isEdgeCode(s.PatCode[i]))
                continue;
            s.PatCode[i] = word(Word::ItemX);
            const QString label = word(static_cast<Word>(static_cast<int>(Word::ItemD15) + i - 1));
            SetCtrlNodeText(21, 4 + i, label + QStringLiteral(" [") + s.PatCode[i] + QStringLiteral("]"));
            break;
        }
    }

    const bool pattern = s.TrigMethod == word(Word::WordPattern);
    const CtrlSettings::LAArray &codes = pattern ? s.PatCode : s.DurCode;
    const QString mode = pattern ? QStringLiteral("PATTERN") : QStringLiteral("DURATION");

    QString edge;
    if (isEdgeCode(codes[own]))
        edge = QString::number(n) + (isRising(codes[own]) ? QStringLiteral(",1") : QStringLiteral(",0"));

    qint64 value = 0;
    qint64 mask = 65535;
    for (int c = 15; c >= 0; --c) {
        const QString &code = codes[16 - c];
        if (code == QLatin1String("H"))
            value |= qint64(1) << c;
        else if (code == QLatin1String("X"))
            mask &= ~(qint64(1) << c);
        else if (isEdgeCode(code) && edge.isEmpty())
            edge = QString::number(c) + (isRising(code) ? QStringLiteral(",1") : QStringLiteral(",0"));
    }

    QString cmd = QStringLiteral(":TRIGGER:") + mode + QStringLiteral(":PATTERN ") + QString::number(value)
        + QLatin1Char(',') + QString::number(mask);
    if (!edge.isEmpty())
        cmd += QLatin1Char(',') + edge;
    instrumentLines().sendCommand(cmd);
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
