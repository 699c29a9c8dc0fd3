#include "transfer/downloadfromdso.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "controller/ctrltreenodes.h"
#include "texts/stringres.h"
#include "transfer/uploaddownload.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/rounding.h"
#include "values/tokenpairs.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

namespace {

void step()
{
    // A download cut short runs through its rows without a word to the
    // instrument: the bar no longer moves.
    if (exchangeFailed() || exchangeAbandoned())
        return;
    SettingsProgressStep(DownloadProgressStep);
}

// The reply to query, cut at its first line feed.
QString ask(const QString &query)
{
    return CutAtLF(instrumentLines().queryString(query));
}

// The reply to query as a value: the empty text when it holds none the
// instrument can mean (">", "<", "*", a number beyond any of its values).
QString askValue(const QString &query)
{
    return ValidValueReply(ask(query));
}

// Asks query and, when a reply came that holds a value, writes
// convert(reply) into member; a reply that converts to no text (a time
// beyond single precision) keeps the member, so that no setting is left
// empty.
template <typename Convert>
void row(const QString &query, QString &member, Convert convert)
{
    const QString reply = askValue(query);
    if (reply.isEmpty())
        return;
    const QString text = convert(reply);
    if (!text.isEmpty())
        member = text;
}

QString same(const QString &reply)
{
    return reply;
}

QString time3(const QString &reply)
{
    return FormatTime3(reply);
}

QString time4(const QString &reply)
{
    return FormatTime4(reply);
}

QString volts(const QString &reply)
{
    return FormatVolt(reply);
}

// True when the text starts (after blanks, tabs and line feeds) with a
// number ReadNumber reads: a sign, then a digit or a point and a digit.
bool holdsNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skip = [&] {
        while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')
                         || text.at(i) == QLatin1Char('\n')))
            ++i;
    };
    skip();
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    skip();
    if (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
        return true;
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        skip();
        return i < n && text.at(i).isDigit() && text.at(i).unicode() < 128;
    }
    return false;
}

// A sensitivity: the number of divisions written "#0.00div"; a reply
// without a number, or with one no screen shows, keeps the member.
void sensitivityRow(const QString &query, QString &member)
{
    const QString reply = askValue(query);
    if (holdsNumber(reply)) {
        const QString text = FormatDivisions(ReadNumber(reply));
        if (!text.isEmpty())
            member = text;
    }
}

// A level in divisions: the volts of the reply over the source scale; a zero
// or unreadable scale (or an empty reply) keeps the member.
void levelRow(const QString &query, QString &member, const QString &scale)
{
    const QString reply = askValue(query);
    if (reply.isEmpty() || InvalidValueReply(scale))
        return;
    const QString text = FormatPerDiv(reply, scale);
    if (!text.isEmpty())
        member = text;
}

// The source scale of a trigger block for the source member (rule of the
// block: logic sources keep the scale and, for EDGE and PULSE, set the flag).
void sourceScale(const QString &source, QString &scale, bool *digital, bool acLineKnown)
{
    if (source == QLatin1String("CH1"))
        scale = askValue(QStringLiteral(":CHANNEL1:SCALE?"));
    else if (source == QLatin1String("CH2"))
        scale = askValue(QStringLiteral(":CHANNEL2:SCALE?"));
    else if (source == QLatin1String("EXT"))
        scale = QStringLiteral("0.2");
    else if (source == QLatin1String("EXT5"))
        scale = QStringLiteral("1");
    else if (acLineKnown && source == word(Word::WordACLine))
        scale = QStringLiteral("0");
    else if (digital)
        *digital = true;
}

// Rule D: the on state of each logic channel and of the two groups.
void laStatusRow(CtrlSettings &s)
{
    const QString reply = ask(QStringLiteral(":LA:STATUS?"));
    if (reply.isEmpty())
        return;
    const double r = RoundHalfEven(ReadNumber(reply));
    // A number that is no 32-bit integer leaves the status at 0.
    const qint64 status = (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<qint64>(r) : 0;
    const QString on = word(Word::WordOn);
    const QString off = word(Word::WordOff);
    for (int i = 1; i <= 16; ++i)
        s.LAChanOn[i] = (status & (qint64(1) << (16 - i))) ? on : off;
    const auto group = [&](int first) {
        for (int i = first; i < first + 8; ++i) {
            if (s.LAChanOn[i] != on)
                return off;
        }
        return on;
    };
    s.LAGroupHi = group(1);
    s.LAGroupLo = group(9);
}

// A location number as the 32 bits it packs; numbers outside 0..2^32-1 keep
// their low 32 bits.
quint32 packedBits(double x)
{
    const double r = RoundHalfEven(x);
    if (!(r > -9.2e18 && r < 9.2e18))
        return 0;
    return static_cast<quint32>(static_cast<quint64>(static_cast<qint64>(r)) & 0xFFFFFFFFu);
}

// Rule E: the display position of each logic channel. The reply is taken
// whole, line end included; an empty line (LF or CR LF) keeps the positions.
void laLocationRow(CtrlSettings &s)
{
    // No answer, or an empty one with whatever line end the link left in it:
    // the positions stay as they were.
    const QString reply = ask(QStringLiteral(":LA:LOCATION?"));
    if (reply.isEmpty())
        return;
    const qsizetype comma = reply.indexOf(QLatin1Char(','));
    quint32 left = 0;
    quint32 right = 0;
    if (comma < 0) {
        right = packedBits(ReadNumber(reply));
    } else {
        left = packedBits(ReadNumber(QStringView(reply).left(comma)));
        right = packedBits(ReadNumber(QStringView(reply).mid(comma + 1)));
    }
    for (int c = 0; c < 8; ++c) {
        s.LAChanPos[16 - c] = QString::number((left >> (4 * c)) & 15u);      // D0..D7
        s.LAChanPos[8 - c] = QString::number((right >> (4 * c)) & 15u);      // D8..D15
    }
}

struct AltRefs {
    QString &type;
    QString &edgeSlope, &edgeCoupling, &edgeLevel, &edgeHoldoff, &edgeSensitivity;
    QString &pulseMode, &pulseTime, &pulseCoupling, &pulseLevel, &pulseHoldoff, &pulseSensitivity;
    QString &videoPolarity, &videoSync, &videoLine, &videoStandard, &videoLevel, &videoSensitivity;
    QString &slopeCoupling, &slopeMode, &slopeTime, &slopeLevelA, &slopeLevelB, &slopeSensitivity;
};

void alternateChannel(int n, const AltRefs &m)
{
    const QString ch = QString::number(n);
    // The working scale is this channel's reply, whatever it is (none when it
    // holds no value).
    const QString scale = askValue(QStringLiteral(":CHANNEL") + ch + QStringLiteral(":SCALE?"));
    instrumentLines().sendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + ch);
    const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
    row(alt + QStringLiteral("TYPE?"), m.type, TrigMethodDisplay);
    row(alt + QStringLiteral("EDGE:SLOPE?"), m.edgeSlope, EdgeSlopeDisplay);
    row(alt + QStringLiteral("EDGE:COUPLING?"), m.edgeCoupling, CouplingDisplay);
    levelRow(alt + QStringLiteral("EDGE:LEVEL?"), m.edgeLevel, scale);
    row(alt + QStringLiteral("EDGE:HOLDOFF?"), m.edgeHoldoff, time3);
    sensitivityRow(alt + QStringLiteral("EDGE:SENSITIVITY?"), m.edgeSensitivity);
    step();
    row(alt + QStringLiteral("PULSE:MODE?"), m.pulseMode, PulseModeDisplay);
    row(alt + QStringLiteral("PULSE:TIME?"), m.pulseTime, time3);
    row(alt + QStringLiteral("PULSE:COUPLING?"), m.pulseCoupling, CouplingDisplay);
    levelRow(alt + QStringLiteral("PULSE:LEVEL?"), m.pulseLevel, scale);
    row(alt + QStringLiteral("PULSE:HOLDOFF?"), m.pulseHoldoff, time3);
    sensitivityRow(alt + QStringLiteral("PULSE:SENSITIVITY?"), m.pulseSensitivity);
    step();
    row(alt + QStringLiteral("VIDEO:POLARITY?"), m.videoPolarity, VideoPolarityDisplay);
    row(alt + QStringLiteral("VIDEO:MODE?"), m.videoSync, VideoSyncDisplay);
    row(alt + QStringLiteral("VIDEO:LINE?"), m.videoLine, same);
    row(alt + QStringLiteral("VIDEO:STANDARD?"), m.videoStandard, same);
    levelRow(alt + QStringLiteral("VIDEO:LEVEL?"), m.videoLevel, scale);
    sensitivityRow(alt + QStringLiteral("VIDEO:SENSITIVITY?"), m.videoSensitivity);
    step();
    row(alt + QStringLiteral("SLOPE:COUPLING?"), m.slopeCoupling, CouplingDisplay);
    row(alt + QStringLiteral("SLOPE:MODE?"), m.slopeMode, SlopeModeDisplay);
    row(alt + QStringLiteral("SLOPE:TIME?"), m.slopeTime, time3);
    levelRow(alt + QStringLiteral("SLOPE:LEVELA?"), m.slopeLevelA, scale);
    levelRow(alt + QStringLiteral("SLOPE:LEVELB?"), m.slopeLevelB, scale);
    sensitivityRow(alt + QStringLiteral("SLOPE:SENSITIVITY?"), m.slopeSensitivity);
    step();
}

} // namespace

void DownloadSettings()
{
    // One exchange: the first reply that does not come ends it, and the
    // settings are read into a copy, taken only when every reply came.
    const LinkExchange exchange;
    CtrlSettings s = app().Settings;
    SettingsTransferState &p = app().updown;
    p.ProgressValue = 0.0f;
    p.ProgressSteps = 0;
    p.ProgressApplied = 0;

    const bool la = app().link.LaPresent != 0;
    const QString activeChannel = ask(QStringLiteral(":CHANNEL:ACTIVE?"));

    // Run state: "STOP" gives the stop word, any other reply the run word.
    row(QStringLiteral(":TRIGGER:STATUS?"), s.RunStop, [](const QString &r) {
        return RunStopDisplay(r == QLatin1String("STOP") ? r : QStringLiteral("RUN"));
    });
    step();
    for (int n = 1; n <= 2; ++n) {
        instrumentLines().sendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + QString::number(n));
        row(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?"), n == 1 ? s.CH1TimeDiv : s.CH2TimeDiv, time4);
        step();
        row(QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET?"), n == 1 ? s.CH1Delay : s.CH2Delay, time4);
        step();
    }
    row(QStringLiteral(":TIMEBASE:FORMAT?"), s.TimebaseFormat, TimebaseFormatDisplay);
    step();
    row(QStringLiteral(":TIMEBASE:SCALE?"), s.TimeDiv, time4);
    step();
    row(QStringLiteral(":TIMEBASE:OFFSET?"), s.Delay, time4);
    step();
    for (int n = 1; n <= 2; ++n) {
        const bool one = n == 1;
        const QString ch = QStringLiteral(":CHANNEL") + QString::number(n);
        row(ch + QStringLiteral(":PROBE?"), one ? s.CH1Probe : s.CH2Probe, ProbeRatioDisplay);
        step();
        row(ch + QStringLiteral(":SCALE?"), one ? s.CH1VoltDiv : s.CH2VoltDiv, volts);
        step();
        row(ch + QStringLiteral(":COUPLING?"), one ? s.CH1Coupling : s.CH2Coupling, CouplingDisplay);
        step();
        row(ch + QStringLiteral(":BWLIMIT?"), one ? s.CH1BWLimit : s.CH2BWLimit, OnOffDisplay);
        step();
        row(ch + QStringLiteral(":DISPLAY?"), one ? s.CH1Display : s.CH2Display, OnOffDisplay);
        step();
        row(ch + QStringLiteral(":OFFSET?"), one ? s.CH1Offset : s.CH2Offset, volts);
        step();
    }
    row(QStringLiteral(":TRIGGER:MODE?"), s.TrigMethod, TrigMethodDisplay);
    step();
    row(QStringLiteral(":TRIGGER:HOLDOFF?"), s.Holdoff, time3);
    step();

    QString scale; // volts per division of the current trigger source
    bool digital = false;

    // EDGE.
    row(QStringLiteral(":TRIGGER:EDGE:SOURCE?"), s.EdgeSource, AcLineDisplay);
    step();
    sourceScale(s.EdgeSource, scale, &digital, true);
    row(QStringLiteral(":TRIGGER:EDGE:SLOPE?"), s.EdgeSlope, EdgeSlopeDisplay);
    step();
    row(QStringLiteral(":TRIGGER:EDGE:SWEEP?"), s.EdgeSweep, SweepDisplay);
    step();
    row(QStringLiteral(":TRIGGER:EDGE:COUPLING?"), s.EdgeCoupling, CouplingDisplay);
    step();
    if (digital)
        row(QStringLiteral(":LA:THRESHOLD?"), s.EdgeLevel, LAThresholdDisplay);
    else
        levelRow(QStringLiteral(":TRIGGER:EDGE:LEVEL?"), s.EdgeLevel, scale);
    step();
    sensitivityRow(QStringLiteral(":TRIGGER:EDGE:SENSITIVITY?"), s.EdgeSensitivity);
    step();

    // PULSE (the AC line counts as a logic source here).
    digital = false;
    row(QStringLiteral(":TRIGGER:PULSE:SOURCE?"), s.PulseSource, same);
    step();
    sourceScale(s.PulseSource, scale, &digital, false);
    row(QStringLiteral(":TRIGGER:PULSE:MODE?"), s.PulseMode, PulseModeDisplay);
    step();
    row(QStringLiteral(":TRIGGER:PULSE:WIDTH?"), s.PulseWidth, time3);
    step();
    row(QStringLiteral(":TRIGGER:PULSE:SWEEP?"), s.PulseSweep, SweepDisplay);
    step();
    row(QStringLiteral(":TRIGGER:PULSE:COUPLING?"), s.PulseCoupling, CouplingDisplay);
    step();
    if (digital)
        row(QStringLiteral(":LA:THRESHOLD?"), s.PulseLevel, LAThresholdDisplay);
    else
        levelRow(QStringLiteral(":TRIGGER:PULSE:LEVEL?"), s.PulseLevel, scale);
    step();
    sensitivityRow(QStringLiteral(":TRIGGER:PULSE:SENSITIVITY?"), s.PulseSensitivity);
    step();

    // VIDEO (another source keeps the scale of the block before).
    row(QStringLiteral(":TRIGGER:VIDEO:SOURCE?"), s.VideoSource, same);
    step();
    sourceScale(s.VideoSource, scale, nullptr, false);
    row(QStringLiteral(":TRIGGER:VIDEO:POLARITY?"), s.VideoPolarity, VideoPolarityDisplay);
    step();
    row(QStringLiteral(":TRIGGER:VIDEO:MODE?"), s.VideoSync, VideoSyncDisplay);
    step();
    row(QStringLiteral(":TRIGGER:VIDEO:LINE?"), s.VideoLine, same);
    step();
    row(QStringLiteral(":TRIGGER:VIDEO:STANDARD?"), s.VideoStandard, same);
    step();
    levelRow(QStringLiteral(":TRIGGER:VIDEO:LEVEL?"), s.VideoLevel, scale);
    step();
    sensitivityRow(QStringLiteral(":TRIGGER:VIDEO:SENSITIVITY?"), s.VideoSensitivity);
    step();

    // SLOPE.
    row(QStringLiteral(":TRIGGER:SLOPE:SOURCE?"), s.SlopeSource, same);
    step();
    sourceScale(s.SlopeSource, scale, nullptr, false);
    row(QStringLiteral(":TRIGGER:SLOPE:COUPLING?"), s.SlopeCoupling, CouplingDisplay);
    step();
    row(QStringLiteral(":TRIGGER:SLOPE:SWEEP?"), s.SlopeSweep, SweepDisplay);
    step();
    row(QStringLiteral(":TRIGGER:SLOPE:MODE?"), s.SlopeMode, SlopeModeDisplay);
    step();
    row(QStringLiteral(":TRIGGER:SLOPE:TIME?"), s.SlopeTime, time3);
    step();
    levelRow(QStringLiteral(":TRIGGER:SLOPE:LEVELA?"), s.SlopeLevelA, scale);
    step();
    levelRow(QStringLiteral(":TRIGGER:SLOPE:LEVELB?"), s.SlopeLevelB, scale);
    step();
    sensitivityRow(QStringLiteral(":TRIGGER:SLOPE:SENSITIVITY?"), s.SlopeSensitivity);
    step();

    // PATTERN and DURATION (on models with logic channels).
    if (la) {
        {
            const QString reply = ask(QStringLiteral(":TRIGGER:PATTERN:PATTERN?"));
            if (!reply.isEmpty())
                ParsePatternReply(reply, s.PatCode);
            step();
        }
        row(QStringLiteral(":TRIGGER:PATTERN:SWEEP?"), s.PatSweep, SweepDisplay);
        step();
        {
            const QString reply = ask(QStringLiteral(":TRIGGER:DURATION:PATTERN?"));
            if (!reply.isEmpty())
                ParsePatternReply(reply, s.DurCode);
            step();
        }
        row(QStringLiteral(":TRIGGER:DURATION:QUALIFIER?"), s.DurQualifier, DurationQualifierDisplay);
        step();
        row(QStringLiteral(":TRIGGER:DURATION:TIME?"), s.DurTime, time3);
        step();
        row(QStringLiteral(":TRIGGER:DURATION:SWEEP?"), s.DurSweep, SweepDisplay);
        step();
    }

    // The alternate trigger, every type of both channels.
    alternateChannel(1, AltRefs{s.AltCH1Type,
        s.AltCH1EdgeSlope, s.AltCH1EdgeCoupling, s.AltCH1EdgeLevel, s.AltCH1EdgeHoldoff, s.AltCH1EdgeSensitivity,
        s.AltCH1PulseMode, s.AltCH1PulseWidth, s.AltCH1PulseCoupling, s.AltCH1PulseLevel, s.AltCH1PulseHoldoff,
        s.AltCH1PulseSensitivity,
        s.AltCH1VideoPolarity, s.AltCH1VideoSync, s.AltCH1VideoLine, s.AltCH1VideoStandard, s.AltCH1VideoLevel,
        s.AltCH1VideoSensitivity,
        s.AltCH1SlopeCoupling, s.AltCH1SlopeMode, s.AltCH1SlopeTime, s.AltCH1SlopeLevelA, s.AltCH1SlopeLevelB,
        s.AltCH1SlopeSensitivity});
    alternateChannel(2, AltRefs{s.AltCH2Type,
        s.AltCH2EdgeSlope, s.AltCH2EdgeCoupling, s.AltCH2EdgeLevel, s.AltCH2EdgeHoldoff, s.AltCH2EdgeSensitivity,
        s.AltCH2PulseMode, s.AltCH2PulseWidth, s.AltCH2PulseCoupling, s.AltCH2PulseLevel, s.AltCH2PulseHoldoff,
        s.AltCH2PulseSensitivity,
        s.AltCH2VideoPolarity, s.AltCH2VideoSync, s.AltCH2VideoLine, s.AltCH2VideoStandard, s.AltCH2VideoLevel,
        s.AltCH2VideoSensitivity,
        s.AltCH2SlopeCoupling, s.AltCH2SlopeMode, s.AltCH2SlopeTime, s.AltCH2SlopeLevelA, s.AltCH2SlopeLevelB,
        s.AltCH2SlopeSensitivity});

    // The logic channels.
    if (la) {
        row(QStringLiteral(":LA:DISPLAY?"), s.LADisplay, OnOffDisplay);
        laStatusRow(s);
        step();
        row(QStringLiteral(":LA:GROUP2:SIZE?"), s.LASizeHi, LaSizeDisplay);
        step();
        row(QStringLiteral(":LA:GROUP1:SIZE?"), s.LASizeLo, LaSizeDisplay);
        step();
        laLocationRow(s);
        step();
        row(QStringLiteral(":LA:THRESHOLD?"), s.LAThreshold, LAUserThreshold);
        step();
    }

    row(QStringLiteral(":ACQUIRE:MODE?"), s.AcqSamplingMode, AcqModeDisplay);
    step();
    row(QStringLiteral(":ACQUIRE:TYPE?"), s.AcqType, AcqTypeDisplay);
    step();
    row(QStringLiteral(":ACQUIRE:AVERAGES?"), s.AcqAverages, same);
    step();
    row(QStringLiteral(":DISPLAY:TYPE?"), s.DispType, DisplayTypeDisplay);
    step();
    row(QStringLiteral(":DISPLAY:PERSIST?"), s.DispPersist, OnOffDisplay);
    step();
    row(QStringLiteral(":DISPLAY:GRID?"), s.DispGrid, GridDisplay);
    step();

    // Stopped, or a reply did not come: the settings and the tree stay as
    // they were (and nothing more goes to the instrument).
    if (exchangeFailed() || exchangeAbandoned())
        return;
    app().Settings = s;
    BuildCtrlTree();
    // Put the instrument's active channel back; with no answer to the first
    // question (or blanks alone) there is nothing to restore (a bare header
    // is no command).
    if (!activeChannel.trimmed().isEmpty())
        instrumentLines().sendCommand(QStringLiteral(":CHANNEL:ACTIVE ") + activeChannel);
}
