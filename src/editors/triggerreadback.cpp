#include "editors/triggerreadback.h"

#include "editors/numberentry.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

namespace {

QString ask(const QString &query)
{
    return CutAtLF(instrumentLines().queryString(query));
}

} // namespace

TrigSource ReadTrigSource(const QString &query, bool acLine, bool logic)
{
    TrigSource s;
    const QString reply = ask(query);
    s.known = !reply.isEmpty();
    s.text = acLine ? AcLineDisplay(reply) : reply;
    if (s.text == QLatin1String("CH1"))
        s.scale = ValidValueReply(ask(QStringLiteral(":CHANNEL1:SCALE?")));
    else if (s.text == QLatin1String("CH2"))
        s.scale = ValidValueReply(ask(QStringLiteral(":CHANNEL2:SCALE?")));
    else if (s.text == QLatin1String("EXT"))
        s.scale = QStringLiteral("0.2");
    else if (s.text == QLatin1String("EXT5"))
        s.scale = QStringLiteral("1");
    else if (acLine && s.text == word(Word::WordACLine))
        s.scale = QStringLiteral("0");
    else if (logic)
        s.digital = true;
    return s;
}

void ReadTrigLevel(const QString &query, const QString &scale, QString &member)
{
    // A level or a scale that holds no value the instrument can mean keeps
    // the member, as no reply does.
    const QString reply = ask(query);
    if (reply.isEmpty() || InvalidValueReply(reply) || InvalidValueReply(scale))
        return;
    const QString text = FormatPerDiv(reply, scale);
    if (!text.isEmpty())
        member = text;
}

void ReadSourceLevel(const TrigSource &source, const QString &levelQuery, QString &level)
{
    if (source.digital) {
        const QString reply = ask(QStringLiteral(":LA:THRESHOLD?"));
        // The threshold stands for the level only when the instrument named
        // the (logic) source; an unanswered source query stores nothing.
        if (source.known && !reply.isEmpty() && !InvalidValueReply(reply)) {
            const QString text = LAThresholdDisplay(reply);
            if (!text.isEmpty())
                level = text;
        }
        return;
    }
    ReadTrigLevel(levelQuery, source.scale, level);
}

QString TrigSensitivityText(const QString &reply)
{
    double x = 0;
    if (InvalidValueReply(reply) || !ReadTypedNumber(reply, &x))
        return QString();
    return FormatDivisions(x);
}
