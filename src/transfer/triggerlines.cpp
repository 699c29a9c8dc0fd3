#include "transfer/triggerlines.h"

#include "app/appstate.h"
#include "controller/ctrltreenodes.h"
#include "link/cmdfunc.h"
#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

namespace {

// The link's own command channel.
class LinkLines final : public InstrumentLines {
public:
    void sendCommand(const QString &line) override { SendCommand(line); }
    QString queryString(const QString &line) override { return QueryString(line); }
};

InstrumentLines *g_lines = nullptr;

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

QString TrigLevelToVolts(const QString &level, const QString &source)
{
    QString scale = QStringLiteral("0");
    QString offset = QStringLiteral("0");
    if (source == QLatin1String("CH1") || source == QLatin1String("CH2")) {
        const QString ch = source == QLatin1String("CH1") ? QStringLiteral(":CHANNEL1") : QStringLiteral(":CHANNEL2");
        const QString scaleReply = instrumentLines().queryString(ch + QStringLiteral(":SCALE?"));
        const QString offsetReply = instrumentLines().queryString(ch + QStringLiteral(":OFFSET?"));
        // A reply that holds no value the instrument can mean gives no level
        // at all: a level of 0 V in place of the one asked for would be one
        // the user never chose. (No reply still counts as 0, as before; the
        // transfer that lost it ends there.)
        if (InvalidValueReply(scaleReply) || InvalidValueReply(offsetReply))
            return QString();
        scale = CutAtLF(scaleReply);
        offset = CutAtLF(offsetReply);
    } else if (source == QLatin1String("EXT")) {
        scale = QStringLiteral("0.2");
    } else if (source == QLatin1String("EXT5")) {
        scale = QStringLiteral("1");
    }
    return LevelVoltsText(level, scale, offset);
}

QString QuerySourceScale(const QString &source)
{
    if (source == QLatin1String("CH1"))
        return ValidValueReply(instrumentLines().queryString(QStringLiteral(":CHANNEL1:SCALE?")));
    if (source == QLatin1String("CH2"))
        return ValidValueReply(instrumentLines().queryString(QStringLiteral(":CHANNEL2:SCALE?")));
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

    // One edge only: the first other pattern edge gives way (the duration
    // trigger has no edge).
    const int i = s.TrigMethod == word(Word::WordPattern) ? PatternEdgeToClear(s.PatCode, 16 - n) : 0;
    if (i) {
        s.PatCode[i] = word(Word::ItemX);
        const QString label = word(static_cast<Word>(static_cast<int>(Word::ItemD15) + i - 1));
        SetCtrlNodeText(21, 4 + i, label + QStringLiteral(" [") + s.PatCode[i] + QStringLiteral("]"));
    }
    instrumentLines().sendCommand(PatternTriggerLine(s, n));
}
