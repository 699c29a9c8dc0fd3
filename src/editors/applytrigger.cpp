// The main trigger's branches of the apply routine: the method and the items
// of each method, and the read-back of a method's settings. Node (6, item) is
// an item of the Trigger group; which item number a setting has depends on
// the method.

#include "editors/applytrigger.h"

#include "app/appstate.h"
#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "editors/numberentry.h"
#include "editors/triggerreadback.h"
#include "link/cmdfunc.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/triggerhelpers.h"
#include "values/valueeditors.h"

#include <array>

namespace {

using Member = QString CtrlSettings::*;

// The methods that have items, in the order the method word is compared.
enum Method { Edge, Pulse, Video, Slope, Pattern, Duration, MethodCount };

constexpr Word MethodWords[MethodCount] = {Word::WordEdge,  Word::WordPulse,   Word::WordVideo,
                                           Word::WordSlope, Word::WordPattern, Word::WordDuration};
const char *const MethodTokens[MethodCount] = {"EDGE", "PULSE", "VIDEO", "SLOPE", "PATTERN", "DURATION"};

// The method in Settings.TrigMethod, or -1 for any other text (the
// alternate trigger has no items of its own).
int currentMethod()
{
    const QString &m = app().Settings.TrigMethod;
    for (int i = 0; i < MethodCount; ++i) {
        if (m == word(MethodWords[i]))
            return i;
    }
    return -1;
}

// An item's member and node under one method; no member: the method lacks it.
struct Cell {
    Member member = nullptr;
    int item = 0;
};

enum class Arg {
    Token,  // the token of the choice (token below)
    Choice, // the choice text itself
    Level,  // the choice converted to volts for the source of the moment
    Time,   // a typed time read back
};

struct ItemRow {
    Word label;
    const char *suffix;           // after ":TRIGGER:<method token>"
    Arg arg;
    QString (*token)(const QString &);
    std::array<Cell, MethodCount> cells; // EDGE PULSE VIDEO SLOPE PATTERN DURATION
};

using S = CtrlSettings;

QString upperSync(const QString &choice)
{
    return VideoSyncToken(choice).toUpper();
}

// No source chosen (the source in force, such as EXT5, is no entry of the
// list) has no token: a bare "DIGITAL" is no source.
QString sourceToken(const QString &choice)
{
    return choice.isEmpty() ? QString() : SourceToken(choice);
}

// In TrigItem order.
const ItemRow &itemRow(TrigItem item)
{
    static const ItemRow rows[] = {
        {Word::ItemSource, ":SOURCE", Arg::Token, sourceToken,
         {{{&S::EdgeSource, 3}, {&S::PulseSource, 3}, {&S::VideoSource, 3}, {&S::SlopeSource, 3}, {}, {}}}},
        {Word::ItemMode, ":SWEEP", Arg::Token, SweepToken,
         {{{&S::EdgeSweep, 5}, {&S::PulseSweep, 7}, {}, {&S::SlopeSweep, 8}, {&S::PatSweep, 22}, {&S::DurSweep, 24}}}},
        {Word::ItemCoupling, ":COUPLING", Arg::Token, CouplingToken,
         {{{&S::EdgeCoupling, 6}, {&S::PulseCoupling, 6}, {}, {&S::SlopeCoupling, 7}, {}, {}}}},
        {Word::ItemLevel, ":LEVEL", Arg::Level, nullptr,
         {{{&S::EdgeLevel, 7}, {&S::PulseLevel, 8}, {&S::VideoLevel, 8}, {}, {}, {}}}},
        {Word::ItemSensitivity, ":SENSITIVITY", Arg::Choice, nullptr,
         {{{&S::EdgeSensitivity, 8}, {&S::PulseSensitivity, 9}, {&S::VideoSensitivity, 9}, {&S::SlopeSensitivity, 11}, {}, {}}}},
        {Word::ItemHoldoff, "", Arg::Time, nullptr,
         {{{&S::Holdoff, 9}, {&S::Holdoff, 10}, {&S::Holdoff, 10}, {&S::Holdoff, 12}, {&S::Holdoff, 23}, {&S::Holdoff, 25}}}},
        {Word::ItemSlope, ":SLOPE", Arg::Token, EdgeSlopeToken, {{{&S::EdgeSlope, 4}, {}, {}, {}, {}, {}}}},
        {Word::ItemPulseMode, ":MODE", Arg::Token, PulseModeToken, {{{}, {&S::PulseMode, 4}, {}, {}, {}, {}}}},
        {Word::ItemPulseWidth, ":WIDTH", Arg::Time, nullptr, {{{}, {&S::PulseWidth, 5}, {}, {}, {}, {}}}},
        {Word::ItemPolarity, ":POLARITY", Arg::Token, VideoPolarityToken, {{{}, {}, {&S::VideoPolarity, 4}, {}, {}, {}}}},
        {Word::ItemSync, ":MODE", Arg::Token, upperSync, {{{}, {}, {&S::VideoSync, 5}, {}, {}, {}}}},
        {Word::ItemLineNumber, ":LINE", Arg::Choice, nullptr, {{{}, {}, {&S::VideoLine, 6}, {}, {}, {}}}},
        {Word::ItemVideoStandard, ":STANDARD", Arg::Token, VideoStandardToken,
         {{{}, {}, {&S::VideoStandard, 7}, {}, {}, {}}}},
        {Word::ItemSlopeMode, ":MODE", Arg::Token, SlopeModeToken, {{{}, {}, {}, {&S::SlopeMode, 4}, {}, {}}}},
        {Word::ItemSlopeTime, ":TIME", Arg::Time, nullptr, {{{}, {}, {}, {&S::SlopeTime, 5}, {}, {}}}},
        {Word::ItemLevelA, ":LEVELA", Arg::Level, nullptr, {{{}, {}, {}, {&S::SlopeLevelA, 9}, {}, {}}}},
        {Word::ItemLevelB, ":LEVELB", Arg::Level, nullptr, {{{}, {}, {}, {&S::SlopeLevelB, 10}, {}, {}}}},
        {Word::ItemQualifier, ":QUALIFIER", Arg::Token, DurationQualifierToken,
         {{{}, {}, {}, {}, {}, {&S::DurQualifier, 22}}}},
        {Word::ItemDurationTime, ":TIME", Arg::Time, nullptr, {{{}, {}, {}, {}, {}, {&S::DurTime, 23}}}},
    };
    return rows[static_cast<int>(item)];
}

QString header(int method, const char *suffix)
{
    return QStringLiteral(":TRIGGER:") + QLatin1String(MethodTokens[method]) + QLatin1String(suffix);
}

// Holdoff, Pulse width, Slope time, Duration time: the typed seconds sent,
// read back and shown. Holdoff and Duration time wait 100 ms before the
// read-back.
ApplyEnd applyTime(ApplyStep &step, TrigItem item, int method, const Cell &cell)
{
    const std::optional<double> typed = step.number();
    if (!typed)
        return ApplyEnd::StayOpen;
    const QString arg = TimeToPlainText(LimitBySingle(*typed, TypedTimeLimit)).toUpper();
    const QString head = item == TrigItem::Holdoff ? QStringLiteral(":TRIGGER:HOLDOFF")
                                                   : header(method, itemRow(item).suffix);
    step.send(head + u' ' + arg);
    if (item == TrigItem::Holdoff || item == TrigItem::DurationTime)
        step.pause(100);
    QString &member = step.settings().*cell.member;
    step.readBack(head + u'?', member, [](const QString &r) { return FormatTime3(r); });
    step.node(6, cell.item, itemRow(item).label, member);
    return ApplyEnd::Close;
}

// The level of the method's source at this moment, as volts; the empty text
// when the instrument named no source (nothing is then sent).
QString levelVolts(ApplyStep &step, int method, const QString &level)
{
    const QString source = step.query(header(method, ":SOURCE?"));
    if (source.isEmpty())
        return QString();
    return TrigLevelToVolts(level, source);
}

} // namespace

ApplyEnd LevelNotApplied()
{
    if (app().link.LinkConnected)
        showLinkMessage(Msg::MsgReadFailed, Msg::MsgDeviceReadTitle);
    return ApplyEnd::Refused;
}

void RebuildCtrlTreeSelecting(int group, int item)
{
    SaveCtrlTreeExpanded();
    BuildCtrlTree();
    RestoreCtrlTreeExpanded();
    if (CtrlTreeView *tree = CtrlTreeView::current()) {
        if (QTreeWidgetItem *node = tree->node(group, item)) {
            tree->setCurrentItem(node);
            tree->scrollToItem(node);
        }
    }
}

ApplyEnd ApplyTriggerItem(ApplyStep &step, int arg)
{
    const TrigItem item = static_cast<TrigItem>(arg);
    const ItemRow &row = itemRow(item);
    const int method = currentMethod();
    if (method < 0 || !row.cells[method].member)
        return ApplyEnd::Close;
    const Cell &cell = row.cells[method];
    if (row.arg == Arg::Time)
        return applyTime(step, item, method, cell);

    QString &member = step.settings().*cell.member;
    const QString head = header(method, row.suffix) + u' ';

    if (item == TrigItem::LevelA || item == TrigItem::LevelB) {
        // The scale of the source is asked once more before the level is
        // formed, as the instrument's own program does; its reply is not used.
        QuerySourceScale(step.query(header(method, ":SOURCE?")));
        const QString volts = levelVolts(step, method, step.choice());
        if (volts.isEmpty())
            return LevelNotApplied();
        step.send(head + volts);
        member = step.choice();
        step.node(6, cell.item, row.label, member);
        return ApplyEnd::Close;
    }

    if (row.arg == Arg::Level) {
        const QString volts = levelVolts(step, method, step.choice());
        if (volts.isEmpty())
            return LevelNotApplied();
        member = step.choice();
        step.node(6, cell.item, row.label, member);
        step.send(head + volts);
        return ApplyEnd::Close;
    }

    // The value sent: the choice itself or its token. Without one (no entry
    // chosen, or a word that has no token) nothing can be sent, and the edit
    // changes nothing.
    const QString value = row.arg == Arg::Token ? row.token(step.choice()) : step.choice();
    if (lacksArgument(head + value))
        return ApplyEnd::Refused;
    member = step.choice();
    step.node(6, cell.item, row.label, member);
    // EDGE and PULSE show Coupling, Level and Sensitivity only for an analog
    // source: the tree takes its new shape before the source goes.
    if (item == TrigItem::Source && (method == Edge || method == Pulse))
        RebuildCtrlTreeSelecting(6, 3);
    step.send(head + value);
    if (item == TrigItem::VideoStandard) {
        step.pause(100);
        CtrlSettings &s = step.settings();
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:LINE?"), s.VideoLine, [](const QString &r) { return r; });
        step.node(6, 6, Word::ItemLineNumber, s.VideoLine);
    }
    return ApplyEnd::Close;
}

void GetTriggerMethod(ApplyStep &step)
{
    CtrlSettings &s = step.settings();
    const auto same = [](const QString &r) { return r; };
    const auto time3 = [](const QString &r) { return FormatTime3(r); };
    const auto sensitivity = [](const QString &r) { return TrigSensitivityText(r); };
    const auto code = [&](const QString &query, CtrlSettings::LAArray &codes) {
        const QString reply = step.query(query);
        if (!reply.isEmpty())
            ParsePatternReply(reply, codes);
    };
    const auto known = [](const TrigSource &src, QString &member) {
        if (src.known)
            member = src.text;
    };

    switch (currentMethod()) {
    case Edge: {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:EDGE:SOURCE?"), true, true);
        if (!src.known)
            return; // no source, no read-back at all
        s.EdgeSource = src.text;
        step.readBack(QStringLiteral(":TRIGGER:EDGE:SLOPE?"), s.EdgeSlope, EdgeSlopeDisplay);
        step.readBack(QStringLiteral(":TRIGGER:EDGE:SWEEP?"), s.EdgeSweep, SweepDisplay);
        step.readBack(QStringLiteral(":TRIGGER:EDGE:COUPLING?"), s.EdgeCoupling, CouplingDisplay);
        // The AC line has no level: its text stays.
        if (src.scale != QLatin1String("0"))
            ReadSourceLevel(src, QStringLiteral(":TRIGGER:EDGE:LEVEL?"), s.EdgeLevel);
        step.readBack(QStringLiteral(":TRIGGER:EDGE:SENSITIVITY?"), s.EdgeSensitivity, sensitivity);
        break;
    }
    case Pulse: {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:PULSE:SOURCE?"), false, true);
        known(src, s.PulseSource);
        step.readBack(QStringLiteral(":TRIGGER:PULSE:MODE?"), s.PulseMode, PulseModeDisplay);
        step.readBack(QStringLiteral(":TRIGGER:PULSE:WIDTH?"), s.PulseWidth, time3);
        step.readBack(QStringLiteral(":TRIGGER:PULSE:SWEEP?"), s.PulseSweep, SweepDisplay);
        step.readBack(QStringLiteral(":TRIGGER:PULSE:COUPLING?"), s.PulseCoupling, CouplingDisplay);
        ReadSourceLevel(src, QStringLiteral(":TRIGGER:PULSE:LEVEL?"), s.PulseLevel);
        step.readBack(QStringLiteral(":TRIGGER:PULSE:SENSITIVITY?"), s.PulseSensitivity, sensitivity);
        break;
    }
    case Video: {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:VIDEO:SOURCE?"), false, false);
        known(src, s.VideoSource);
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:POLARITY?"), s.VideoPolarity, VideoPolarityDisplay);
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:MODE?"), s.VideoSync, VideoSyncDisplay);
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:LINE?"), s.VideoLine, same);
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:STANDARD?"), s.VideoStandard, same);
        ReadTrigLevel(QStringLiteral(":TRIGGER:VIDEO:LEVEL?"), src.scale, s.VideoLevel);
        step.readBack(QStringLiteral(":TRIGGER:VIDEO:SENSITIVITY?"), s.VideoSensitivity, sensitivity);
        break;
    }
    case Slope: {
        const TrigSource src = ReadTrigSource(QStringLiteral(":TRIGGER:SLOPE:SOURCE?"), false, false);
        known(src, s.SlopeSource);
        step.readBack(QStringLiteral(":TRIGGER:SLOPE:COUPLING?"), s.SlopeCoupling, CouplingDisplay);
        step.readBack(QStringLiteral(":TRIGGER:SLOPE:SWEEP?"), s.SlopeSweep, SweepDisplay);
        step.readBack(QStringLiteral(":TRIGGER:SLOPE:MODE?"), s.SlopeMode, SlopeModeDisplay);
        step.readBack(QStringLiteral(":TRIGGER:SLOPE:TIME?"), s.SlopeTime, time3);
        ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:LEVELA?"), src.scale, s.SlopeLevelA);
        ReadTrigLevel(QStringLiteral(":TRIGGER:SLOPE:LEVELB?"), src.scale, s.SlopeLevelB);
        step.readBack(QStringLiteral(":TRIGGER:SLOPE:SENSITIVITY?"), s.SlopeSensitivity, sensitivity);
        break;
    }
    case Pattern:
        code(QStringLiteral(":TRIGGER:PATTERN:PATTERN?"), s.PatCode);
        step.readBack(QStringLiteral(":TRIGGER:PATTERN:SWEEP?"), s.PatSweep, SweepDisplay);
        break;
    case Duration:
        code(QStringLiteral(":TRIGGER:DURATION:PATTERN?"), s.DurCode);
        step.readBack(QStringLiteral(":TRIGGER:DURATION:QUALIFIER?"), s.DurQualifier, DurationQualifierDisplay);
        step.readBack(QStringLiteral(":TRIGGER:DURATION:TIME?"), s.DurTime, time3);
        step.readBack(QStringLiteral(":TRIGGER:DURATION:SWEEP?"), s.DurSweep, SweepDisplay);
        break;
    default:
        break;
    }
    step.readBack(QStringLiteral(":TRIGGER:HOLDOFF?"), s.Holdoff, time3);
}

ApplyEnd ApplyTriggerMethod(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    // The X-Y format has no trigger method to choose: the dialog closes and
    // nothing changes.
    if (s.TimebaseFormat == QLatin1String("X-Y"))
        return ApplyEnd::Refused;
    const QString choice = step.choice();
    step.send(QStringLiteral(":TRIGGER:MODE ") + TrigMethodToken(choice));
    s.TrigMethod = choice;
    if (choice == word(Word::WordAlternative)) {
        GetTriggerAltTrigType(step, 1);
        GetTriggerAltTrigType(step, 2);
        s.TimebaseFormat = QStringLiteral("Y-T");
    } else {
        GetTriggerMethod(step);
    }
    RebuildCtrlTreeSelecting(6, 2);
    step.node(6, 2, Word::ItemMethod, s.TrigMethod);
    step.pause(100);
    step.readBack(QStringLiteral(":LA:DISPLAY?"), s.LADisplay, OnOffDisplay);
    step.node(4, 9, Word::ItemDisplay, s.LADisplay);
    return ApplyEnd::Close;
}
