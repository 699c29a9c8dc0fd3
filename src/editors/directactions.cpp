#include "editors/directactions.h"

#include "app/appstate.h"
#include "controller/ctrlcommands.h"
#include "controller/ctrltreenodes.h"
#include "editors/triggerreadback.h"
#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "workspace/mousecontrol.h"
#include "texts/stringres.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

namespace {

const QString &W(Word w)
{
    return word(w);
}

void send(const QString &line)
{
    instrumentLines().sendCommand(line);
}

QString ask(const QString &query)
{
    return CutAtLF(instrumentLines().queryString(query));
}

// Stores text in member unless it is empty.
void keepUnlessEmpty(QString &member, const QString &text)
{
    if (!text.isEmpty())
        member = text;
}

void node(int group, int item, Word label, const QString &value)
{
    SetCtrlNodeSetting(group, item, W(label), value);
}

// One channel of the alternate trigger: select it, its scale, the level of
// its type; nodes (g, 17) .. (g, 19) of its sub-group g.
void alternateChannel(int ch)
{
    CtrlSettings &s = app().Settings;
    const bool one = ch == 1;
    const QString n = QString::number(ch);
    const int g = one ? 19 : 20;
    send(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + n);
    const QString scale = ask(QStringLiteral(":CHANNEL") + n + QStringLiteral(":SCALE?"));
    const QString &type = one ? s.AltCH1Type : s.AltCH2Type;
    const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
    if (type == W(Word::WordEdge)) {
        QString &level = one ? s.AltCH1EdgeLevel : s.AltCH2EdgeLevel;
        ReadTrigLevel(alt + QStringLiteral("EDGE:LEVEL?"), scale, level);
        node(g, 17, Word::ItemLevel, level);
    } else if (type == W(Word::WordPulse)) {
        QString &level = one ? s.AltCH1PulseLevel : s.AltCH2PulseLevel;
        ReadTrigLevel(alt + QStringLiteral("PULSE:LEVEL?"), scale, level);
        node(g, 17, Word::ItemLevel, level);
    } else if (type == W(Word::WordVideo)) {
        QString &level = one ? s.AltCH1VideoLevel : s.AltCH2VideoLevel;
        ReadTrigLevel(alt + QStringLiteral("VIDEO:LEVEL?"), scale, level);
        node(g, 17, Word::ItemLevel, level);
    } else if (type == W(Word::WordSlope)) {
        QString &a = one ? s.AltCH1SlopeLevelA : s.AltCH2SlopeLevelA;
        ReadTrigLevel(alt + QStringLiteral("SLOPE:LEVELA?"), scale, a);
        node(g, 18, Word::ItemLevelA, a);
        QString &b = one ? s.AltCH1SlopeLevelB : s.AltCH2SlopeLevelB;
        ReadTrigLevel(alt + QStringLiteral("SLOPE:LEVELB?"), scale, b);
        node(g, 19, Word::ItemLevelB, b);
    }
}

// A group size reply as its word; an empty reply keeps the member.
void sizeRow(const QString &query, QString &member)
{
    const QString reply = ask(query);
    if (!reply.isEmpty())
        member = LaSizeDisplay(reply);
}

} // namespace

void AutoSet()
{
    send(QStringLiteral(":AUTO"));
    // A line that could not go out (the link has told the user and is lost)
    // ends the action: no instrument is setting itself up, and there is
    // nothing to download.
    if (exchangeFailed())
        return;
    MouseControl::setCursor(BusyPointer);
    appClock().pause(4000);
    CtrlDownloadCommand();
    MouseControl::setCursor(0);
}

void SetTrigTo50()
{
    send(QStringLiteral(":TRIG%50"));
    CtrlSettings &s = app().Settings;
    const QString &method = s.TrigMethod;
    if (method == W(Word::WordEdge)) {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:EDGE:SOURCE?"), true, true);
        keepUnlessEmpty(s.EdgeSource, src.text);
        ReadSourceLevel(src, QStringLiteral(":TRIGGER:EDGE:LEVEL?"), s.EdgeLevel);
        node(6, 7, Word::ItemLevel, s.EdgeLevel);
        node(6, 3, Word::ItemSource, s.EdgeSource);
    } else if (method == W(Word::WordPulse)) {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:PULSE:SOURCE?"), false, true);
        keepUnlessEmpty(s.PulseSource, src.text);
        ReadSourceLevel(src, QStringLiteral(":TRIGGER:PULSE:LEVEL?"), s.PulseLevel);
        node(6, 8, Word::ItemLevel, s.PulseLevel);
        node(6, 3, Word::ItemSource, s.PulseSource);
    } else if (method == W(Word::WordVideo)) {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:VIDEO:SOURCE?"), false, false);
        keepUnlessEmpty(s.VideoSource, src.text);
        ReadTrigLevel(QStringLiteral(":TRIGGER:VIDEO:LEVEL?"), src.scale, s.VideoLevel);
        node(6, 8, Word::ItemLevel, s.VideoLevel);
        node(6, 3, Word::ItemSource, s.VideoSource);
    } else if (method == W(Word::WordSlope)) {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:SLOPE:SOURCE?"), false, false);
        keepUnlessEmpty(s.SlopeSource, src.text);
        ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:LEVELA?"), src.scale, s.SlopeLevelA);
        ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:LEVELB?"), src.scale, s.SlopeLevelB);
        node(6, 9, Word::ItemLevelA, s.SlopeLevelA);
        node(6, 10, Word::ItemLevelB, s.SlopeLevelB);
        node(6, 3, Word::ItemSource, s.SlopeSource);
    } else if (method == W(Word::WordAlternative)) {
        alternateChannel(1);
        alternateChannel(2);
    }
}

void ForceTrigger()
{
    send(QStringLiteral(":FORCETRIG"));
}

void LaPositionReset()
{
    CtrlSettings &s = app().Settings;
    send(QStringLiteral(":LA:POSITION:RESET"));
    // A reset that could not go out (the link has told the user and is
    // lost) left the instrument's positions, and so the settings, as they were.
    if (exchangeFailed())
        return;
    appClock().pause(100);
    sizeRow(QStringLiteral(":LA:GROUP2:SIZE?"), s.LASizeHi);
    // D15 .. D8 (elements 1 .. 8) run 7 .. 0 in a big group, 15 .. 8 in a
    // small one.
    if (s.LASizeHi == W(Word::WordBig)) {
        for (int k = 1; k <= 8; ++k)
            s.LAChanPos[k] = QString::number(8 - k);
    } else if (s.LASizeHi == W(Word::WordSmall)) {
        for (int k = 1; k <= 8; ++k)
            s.LAChanPos[k] = QString::number(16 - k);
    }
    sizeRow(QStringLiteral(":LA:GROUP1:SIZE?"), s.LASizeLo);
    // D7 .. D0 (elements 9 .. 16) run 7 .. 0 whatever their size.
    for (int k = 9; k <= 16; ++k)
        s.LAChanPos[k] = QString::number(16 - k);
    for (int n = 0; n <= 15; ++n)
        SetCtrlNodeText(10, 20 - n, QStringLiteral("D") + QString::number(n) + QStringLiteral(" [")
                                        + s.LAChanPos[16 - n] + QStringLiteral("]"));
}

void DisplayClear()
{
    send(QStringLiteral(":DISPLAY:CLEAR"));
}
