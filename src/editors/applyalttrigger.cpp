// The alternate trigger's branches of the apply routine: the items of
// Trigger\CH1 (tree group 19) and Trigger\CH2 (group 20), each under the
// channel's own type, and the read-back of a channel's settings. Every item
// but the type first makes its channel the alternation source.

#include "editors/applytrigger.h"

#include "app/appstate.h"
#include "editors/numberentry.h"
#include "editors/triggerreadback.h"
#include "link/cmdfunc.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/triggerhelpers.h"
#include "values/valueeditors.h"

#include <array>
#include <utility>

namespace {

using Member = QString CtrlSettings::*;
using S = CtrlSettings;

// The channel types, in the order the type word is compared.
enum Type { Edge, Pulse, Video, Slope, TypeCount };

constexpr Word TypeWords[TypeCount] = {Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope};
const char *const TypeTokens[TypeCount] = {"EDGE", "PULSE", "VIDEO", "SLOPE"};

int typeOf(const QString &type)
{
    for (int i = 0; i < TypeCount; ++i) {
        if (type == word(TypeWords[i]))
            return i;
    }
    return -1;
}

QString alternation(int type, const char *suffix)
{
    return QStringLiteral(":TRIGGER:ALTERNATION:") + QLatin1String(TypeTokens[type]) + QLatin1String(suffix);
}

QString sourceSelect(int ch)
{
    return QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + QString::number(ch);
}

int groupOf(int ch)
{
    return ch == 1 ? 19 : 20;
}

enum class Arg { Token, Choice, Level, Time };

// The CH1 and CH2 members of an item under one type; none: the type lacks it.
using Pair = std::pair<Member, Member>;

struct AltRow {
    Word label;
    int item;          // node (19 or 20, item)
    const char *suffix;
    Arg arg;
    QString (*token)(const QString &);
    std::array<Pair, TypeCount> members; // EDGE PULSE VIDEO SLOPE
};

QString upperSync(const QString &choice)
{
    return VideoSyncToken(choice).toUpper();
}

// In AltTrigItem order.
const AltRow &altRow(AltTrigItem item)
{
    static const AltRow rows[] = {
        {Word::ItemCoupling, 16, ":COUPLING", Arg::Token, CouplingToken,
         {{{&S::AltCH1EdgeCoupling, &S::AltCH2EdgeCoupling},
           {&S::AltCH1PulseCoupling, &S::AltCH2PulseCoupling},
           {},
           {&S::AltCH1SlopeCoupling, &S::AltCH2SlopeCoupling}}}},
        {Word::ItemLevel, 17, ":LEVEL", Arg::Level, nullptr,
         {{{&S::AltCH1EdgeLevel, &S::AltCH2EdgeLevel},
           {&S::AltCH1PulseLevel, &S::AltCH2PulseLevel},
           {&S::AltCH1VideoLevel, &S::AltCH2VideoLevel},
           {}}}},
        {Word::ItemSensitivity, 20, ":SENSITIVITY", Arg::Choice, nullptr,
         {{{&S::AltCH1EdgeSensitivity, &S::AltCH2EdgeSensitivity},
           {&S::AltCH1PulseSensitivity, &S::AltCH2PulseSensitivity},
           {&S::AltCH1VideoSensitivity, &S::AltCH2VideoSensitivity},
           {&S::AltCH1SlopeSensitivity, &S::AltCH2SlopeSensitivity}}}},
        {Word::ItemHoldoff, 21, ":HOLDOFF", Arg::Time, nullptr,
         {{{&S::AltCH1EdgeHoldoff, &S::AltCH2EdgeHoldoff},
           {&S::AltCH1PulseHoldoff, &S::AltCH2PulseHoldoff},
           {&S::AltCH1VideoHoldoff, &S::AltCH2VideoHoldoff},
           {&S::AltCH1SlopeHoldoff, &S::AltCH2SlopeHoldoff}}}},
        {Word::ItemSlope, 6, ":SLOPE", Arg::Token, EdgeSlopeToken,
         {{{&S::AltCH1EdgeSlope, &S::AltCH2EdgeSlope}, {}, {}, {}}}},
        {Word::ItemPulseMode, 7, ":MODE", Arg::Token, PulseModeToken,
         {{{}, {&S::AltCH1PulseMode, &S::AltCH2PulseMode}, {}, {}}}},
        {Word::ItemPulseWidth, 8, ":TIME", Arg::Time, nullptr,
         {{{}, {&S::AltCH1PulseWidth, &S::AltCH2PulseWidth}, {}, {}}}},
        {Word::ItemSlopeMode, 9, ":MODE", Arg::Token, SlopeModeToken,
         {{{}, {}, {}, {&S::AltCH1SlopeMode, &S::AltCH2SlopeMode}}}},
        {Word::ItemSlopeTime, 10, ":TIME", Arg::Time, nullptr,
         {{{}, {}, {}, {&S::AltCH1SlopeTime, &S::AltCH2SlopeTime}}}},
        {Word::ItemLevelA, 18, ":LEVELA", Arg::Level, nullptr,
         {{{}, {}, {}, {&S::AltCH1SlopeLevelA, &S::AltCH2SlopeLevelA}}}},
        {Word::ItemLevelB, 19, ":LEVELB", Arg::Level, nullptr,
         {{{}, {}, {}, {&S::AltCH1SlopeLevelB, &S::AltCH2SlopeLevelB}}}},
        {Word::ItemPolarity, 12, ":POLARITY", Arg::Token, VideoPolarityToken,
         {{{}, {}, {&S::AltCH1VideoPolarity, &S::AltCH2VideoPolarity}, {}}}},
        {Word::ItemSync, 13, ":MODE", Arg::Token, upperSync,
         {{{}, {}, {&S::AltCH1VideoSync, &S::AltCH2VideoSync}, {}}}},
        {Word::ItemLineNumber, 14, ":LINE", Arg::Choice, nullptr,
         {{{}, {}, {&S::AltCH1VideoLine, &S::AltCH2VideoLine}, {}}}},
        {Word::ItemVideoStandard, 15, ":STANDARD", Arg::Token, VideoStandardToken,
         {{{}, {}, {&S::AltCH1VideoStandard, &S::AltCH2VideoStandard}, {}}}},
    };
    return rows[static_cast<int>(item)];
}

QString &channelMember(CtrlSettings &s, const Pair &pair, int ch)
{
    return s.*(ch == 1 ? pair.first : pair.second);
}

// One read-back of GetTriggerAltTrigType.
struct Query {
    const char *suffix;
    // nullptr: a level, in divisions of the channel's scale.
    QString (*convert)(const QString &);
    Pair members;
};

QString same(const QString &r)
{
    return r;
}

QString time3(const QString &r)
{
    return FormatTime3(r);
}

// The read-backs of each type, in the order they are asked.
const std::vector<Query> &queries(int type)
{
    static const std::vector<Query> q[TypeCount] = {
        {{":SLOPE", EdgeSlopeDisplay, {&S::AltCH1EdgeSlope, &S::AltCH2EdgeSlope}},
         {":COUPLING", CouplingDisplay, {&S::AltCH1EdgeCoupling, &S::AltCH2EdgeCoupling}},
         {":LEVEL", nullptr, {&S::AltCH1EdgeLevel, &S::AltCH2EdgeLevel}},
         {":HOLDOFF", time3, {&S::AltCH1EdgeHoldoff, &S::AltCH2EdgeHoldoff}},
         {":SENSITIVITY", TrigSensitivityText, {&S::AltCH1EdgeSensitivity, &S::AltCH2EdgeSensitivity}}},
        {{":MODE", PulseModeDisplay, {&S::AltCH1PulseMode, &S::AltCH2PulseMode}},
         {":TIME", time3, {&S::AltCH1PulseWidth, &S::AltCH2PulseWidth}},
         {":COUPLING", CouplingDisplay, {&S::AltCH1PulseCoupling, &S::AltCH2PulseCoupling}},
         {":LEVEL", nullptr, {&S::AltCH1PulseLevel, &S::AltCH2PulseLevel}},
         {":HOLDOFF", time3, {&S::AltCH1PulseHoldoff, &S::AltCH2PulseHoldoff}},
         {":SENSITIVITY", TrigSensitivityText, {&S::AltCH1PulseSensitivity, &S::AltCH2PulseSensitivity}}},
        {{":POLARITY", VideoPolarityDisplay, {&S::AltCH1VideoPolarity, &S::AltCH2VideoPolarity}},
         {":MODE", VideoSyncDisplay, {&S::AltCH1VideoSync, &S::AltCH2VideoSync}},
         {":LINE", same, {&S::AltCH1VideoLine, &S::AltCH2VideoLine}},
         {":STANDARD", same, {&S::AltCH1VideoStandard, &S::AltCH2VideoStandard}},
         {":LEVEL", nullptr, {&S::AltCH1VideoLevel, &S::AltCH2VideoLevel}},
         {":SENSITIVITY", TrigSensitivityText, {&S::AltCH1VideoSensitivity, &S::AltCH2VideoSensitivity}},
         {":HOLDOFF", time3, {&S::AltCH1VideoHoldoff, &S::AltCH2VideoHoldoff}}},
        {{":COUPLING", CouplingDisplay, {&S::AltCH1SlopeCoupling, &S::AltCH2SlopeCoupling}},
         {":MODE", SlopeModeDisplay, {&S::AltCH1SlopeMode, &S::AltCH2SlopeMode}},
         {":TIME", time3, {&S::AltCH1SlopeTime, &S::AltCH2SlopeTime}},
         {":LEVELA", nullptr, {&S::AltCH1SlopeLevelA, &S::AltCH2SlopeLevelA}},
         {":LEVELB", nullptr, {&S::AltCH1SlopeLevelB, &S::AltCH2SlopeLevelB}},
         {":SENSITIVITY", TrigSensitivityText, {&S::AltCH1SlopeSensitivity, &S::AltCH2SlopeSensitivity}},
         {":HOLDOFF", time3, {&S::AltCH1SlopeHoldoff, &S::AltCH2SlopeHoldoff}}},
    };
    return q[type];
}

// Holdoff, Pulse width, Slope time: source select, 50 ms, the typed seconds
// sent, 50 ms, read back and shown.
ApplyEnd applyTime(ApplyStep &step, const AltRow &row, int type, int ch)
{
    step.send(sourceSelect(ch));
    step.pause(50);
    const std::optional<double> typed = step.number();
    if (!typed)
        return ApplyEnd::StayOpen;
    const QString head = alternation(type, row.suffix);
    step.send(head + u' ' + TimeToPlainText(LimitBySingle(*typed, TypedTimeLimit)).toUpper());
    step.pause(50);
    QString &member = channelMember(step.settings(), row.members[type], ch);
    step.readBack(head + u'?', member, time3);
    step.node(groupOf(ch), row.item, row.label, member);
    return ApplyEnd::Close;
}

} // namespace

bool GetTriggerAltTrigType(ApplyStep &step, int channel)
{
    const int ch = channel == 1 ? 1 : 2;
    const QString scale = step.query(QStringLiteral(":CHANNEL%1:SCALE?").arg(ch));
    if (scale.isEmpty())
        return false;
    CtrlSettings &s = step.settings();
    const int type = typeOf(ch == 1 ? s.AltCH1Type : s.AltCH2Type);
    step.send(sourceSelect(ch));
    if (type < 0)
        return true;
    for (const Query &q : queries(type)) {
        QString &member = channelMember(s, q.members, ch);
        const QString query = alternation(type, q.suffix) + u'?';
        if (!q.convert)
            ReadTrigLevel(query, scale, member);
        else
            step.readBack(query, member, q.convert);
    }
    return true;
}

ApplyEnd ApplyAltTrigType(ApplyStep &step, int ch)
{
    CtrlSettings &s = step.settings();
    const int group = groupOf(ch);
    const QString choice = step.choice();
    QString &type = ch == 1 ? s.AltCH1Type : s.AltCH2Type;
    const QString before = type;
    // The read-back asks the settings of the type stored.
    type = choice;
    step.node(group, 5, Word::ItemTrigType, choice);
    // The type goes to the alternation source: when the read-back did not
    // select this channel, it is selected here.
    const bool selected = GetTriggerAltTrigType(step, ch);
    if (exchangeFailed()) {
        // No reply: the type never went out, and the tree keeps showing the
        // type the instrument has.
        type = before;
        step.node(group, 5, Word::ItemTrigType, before);
        return ApplyEnd::Refused;
    }
    if (!selected)
        step.send(sourceSelect(ch));
    step.send(QStringLiteral(":TRIGGER:ALTERNATION:TYPE ") + TrigMethodToken(choice));
    RebuildCtrlTreeSelecting(group, 5);
    return ApplyEnd::Close;
}

ApplyEnd ApplyAltTriggerItem(ApplyStep &step, int arg)
{
    const AltTrigItem item = static_cast<AltTrigItem>(arg / 2);
    const int ch = arg % 2 == 0 ? 1 : 2;
    const AltRow &row = altRow(item);
    CtrlSettings &s = step.settings();
    const int type = typeOf(ch == 1 ? s.AltCH1Type : s.AltCH2Type);
    if (type < 0 || !row.members[type].first)
        return ApplyEnd::Close;
    if (row.arg == Arg::Time)
        return applyTime(step, row, type, ch);

    QString &member = channelMember(s, row.members[type], ch);
    const QString head = alternation(type, row.suffix) + u' ';
    // The value sent: the choice itself or its token. Without one (no entry
    // chosen, or a word that has no token) nothing can be sent, and the edit
    // changes nothing.
    QString value;
    if (row.arg != Arg::Level) {
        value = row.arg == Arg::Token ? row.token(step.choice()) : step.choice();
        if (lacksArgument(head + value))
            return ApplyEnd::Refused;
        member = step.choice();
        step.node(groupOf(ch), row.item, row.label, member);
    }
    step.send(sourceSelect(ch));
    step.pause(100);
    if (row.arg == Arg::Level) {
        // The key's own channel: its scale and offset of this moment. A
        // level that cannot be formed is not applied, as on the main trigger.
        value = TrigLevelToVolts(step.choice(), ch == 1 ? QStringLiteral("CH1") : QStringLiteral("CH2"));
        if (value.isEmpty())
            return LevelNotApplied();
        member = step.choice();
        step.node(groupOf(ch), row.item, row.label, member);
    }
    step.send(head + value);
    if (item == AltTrigItem::VideoStandard) {
        step.pause(100);
        QString &line = ch == 1 ? s.AltCH1VideoLine : s.AltCH2VideoLine;
        step.readBack(QStringLiteral(":TRIGGER:ALTERNATION:VIDEO:LINE?"), line, same);
        step.node(groupOf(ch), 14, Word::ItemLineNumber, line);
    }
    return ApplyEnd::Close;
}
