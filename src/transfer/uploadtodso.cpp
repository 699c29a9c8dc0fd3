#include "transfer/uploadtodso.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "texts/stringres.h"
#include "transfer/uploaddownload.h"
#include "values/numbertext.h"
#include "values/rounding.h"
#include "values/tokenpairs.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"


namespace {

// One row of the list. A row whose value cannot be formed (an empty member,
// a word its converter has no token for, a level no display shows) sends
// nothing: a header and its blank with nothing after them never go out. The
// instrument keeps that setting and the next row runs.
void send(const QString &line)
{
    if (lacksArgument(line))
        return;
    instrumentLines().sendCommand(line);
}

void step()
{
    SettingsProgressStep(UploadProgressStep);
}

// The instrument's time to settle after a time-base line; none once the
// upload is cut short (no line follows that would need it).
void settle(int ms)
{
    if (!exchangeFailed() && !exchangeAbandoned())
        appClock().pause(ms);
}

// The level of a trigger block: asks the block's source, then converts.
QString levelFromSource(const QString &level, const QString &sourceQuery)
{
    const QString source = CutAtLF(instrumentLines().queryString(sourceQuery));
    return TrigLevelToVolts(level, source);
}

QString upper(const QString &s)
{
    return s.toUpper();
}

struct AltMembers {
    const QString &type;
    const QString &edgeSlope, &edgeCoupling, &edgeLevel, &edgeSensitivity, &edgeHoldoff;
    const QString &pulseMode, &pulseTime, &pulseCoupling, &pulseLevel, &pulseSensitivity, &pulseHoldoff;
    const QString &videoPolarity, &videoSync, &videoStandard, &videoLine, &videoLevel, &videoSensitivity,
        &videoHoldoff;
    const QString &slopeMode, &slopeTime, &slopeCoupling, &slopeLevelA, &slopeLevelB, &slopeSensitivity,
        &slopeHoldoff;
};

void sendAlternateChannel(int n, const AltMembers &m)
{
    const QString ch = n == 1 ? QStringLiteral("CH1") : QStringLiteral("CH2");
    const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
    send(alt + QStringLiteral("SOURCE CHANNEL") + QString::number(n));
    send(alt + QStringLiteral("TYPE ") + TrigMethodToken(m.type));
    if (m.type == word(Word::WordEdge)) {
        send(alt + QStringLiteral("EDGE:SLOPE ") + EdgeSlopeToken(m.edgeSlope));
        send(alt + QStringLiteral("EDGE:COUPLING ") + CouplingToken(m.edgeCoupling));
        send(alt + QStringLiteral("EDGE:LEVEL ") + TrigLevelToVolts(m.edgeLevel, ch));
        send(alt + QStringLiteral("EDGE:SENSITIVITY ") + m.edgeSensitivity);
        send(alt + QStringLiteral("EDGE:HOLDOFF ") + upper(m.edgeHoldoff));
    } else if (m.type == word(Word::WordPulse)) {
        send(alt + QStringLiteral("PULSE:MODE ") + PulseModeToken(m.pulseMode));
        send(alt + QStringLiteral("PULSE:TIME ") + upper(m.pulseTime));
        send(alt + QStringLiteral("PULSE:COUPLING ") + CouplingToken(m.pulseCoupling));
        send(alt + QStringLiteral("PULSE:LEVEL ") + TrigLevelToVolts(m.pulseLevel, ch));
        send(alt + QStringLiteral("PULSE:SENSITIVITY ") + m.pulseSensitivity);
        send(alt + QStringLiteral("PULSE:HOLDOFF ") + upper(m.pulseHoldoff));
    } else if (m.type == word(Word::WordVideo)) {
        send(alt + QStringLiteral("VIDEO:POLARITY ") + VideoPolarityToken(m.videoPolarity));
        send(alt + QStringLiteral("VIDEO:MODE ") + VideoSyncToken(m.videoSync).toUpper());
        send(alt + QStringLiteral("VIDEO:STANDARD ") + VideoStandardToken(m.videoStandard));
        send(alt + QStringLiteral("VIDEO:LINE ") + m.videoLine);
        send(alt + QStringLiteral("VIDEO:SENSITIVITY ") + m.videoSensitivity);
        send(alt + QStringLiteral("VIDEO:HOLDOFF ") + upper(m.videoHoldoff));
        send(alt + QStringLiteral("VIDEO:LEVEL ") + TrigLevelToVolts(m.videoLevel, ch));
    } else if (m.type == word(Word::WordSlope)) {
        send(alt + QStringLiteral("SLOPE:MODE ") + SlopeModeToken(m.slopeMode));
        send(alt + QStringLiteral("SLOPE:TIME ") + upper(m.slopeTime));
        send(alt + QStringLiteral("SLOPE:LEVELA ") + TrigLevelToVolts(m.slopeLevelA, ch));
        send(alt + QStringLiteral("SLOPE:LEVELB ") + TrigLevelToVolts(m.slopeLevelB, ch));
        send(alt + QStringLiteral("SLOPE:SENSITIVITY ") + m.slopeSensitivity);
        send(alt + QStringLiteral("SLOPE:HOLDOFF ") + upper(m.slopeHoldoff));
        send(alt + QStringLiteral("SLOPE:COUPLING ") + CouplingToken(m.slopeCoupling));
    } else {
        return; // no group, no step
    }
    step();
}

} // namespace

void UploadSettings()
{
    const CtrlSettings &s = app().Settings;
    SettingsTransferState &p = app().updown;
    p.ProgressValue = 0.0f;
    p.ProgressSteps = 0;
    p.ProgressApplied = 0;

    // Common part.
    send(RunStopCommand(s.RunStop));
    step();
    for (int n = 1; n <= 2; ++n) {
        send(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + QString::number(n));
        send(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE ") + upper(n == 1 ? s.CH1TimeDiv : s.CH2TimeDiv));
        step();
        send(QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET ") + upper(n == 1 ? s.CH1Delay : s.CH2Delay));
        step();
    }
    send(QStringLiteral(":TIMEBASE:FORMAT ") + TimebaseFormatToken(s.TimebaseFormat));
    step();
    settle(500);
    send(QStringLiteral(":TIMEBASE:SCALE ") + upper(s.TimeDiv));
    step();
    settle(1000);
    send(QStringLiteral(":TIMEBASE:OFFSET ") + upper(s.Delay));
    step();
    for (int n = 1; n <= 2; ++n) {
        const QString ch = QStringLiteral(":CHANNEL") + QString::number(n);
        const bool one = n == 1;
        send(ch + QStringLiteral(":DISPLAY ") + OnOffToken(one ? s.CH1Display : s.CH2Display));
        step();
        const QString &probe = one ? s.CH1Probe : s.CH2Probe;
        if (!probe.isEmpty()) // the ratio without its "X"; nothing to send without one
            send(ch + QStringLiteral(":PROBE ") + probe.left(probe.size() - 1));
        step();
        send(ch + QStringLiteral(":SCALE ") + upper(one ? s.CH1VoltDiv : s.CH2VoltDiv));
        step();
        send(ch + QStringLiteral(":OFFSET ") + upper(one ? s.CH1Offset : s.CH2Offset));
        step();
        send(ch + QStringLiteral(":COUPLING ") + CouplingToken(one ? s.CH1Coupling : s.CH2Coupling));
        step();
        send(ch + QStringLiteral(":BWLIMIT ") + OnOffToken(one ? s.CH1BWLimit : s.CH2BWLimit));
        step();
    }
    send(QStringLiteral(":TRIGGER:MODE ") + TrigMethodToken(s.TrigMethod));
    step();
    send(QStringLiteral(":TRIGGER:HOLDOFF ") + upper(s.Holdoff));
    step();

    // The block of the trigger type in force.
    const QString &method = s.TrigMethod;
    if (method == word(Word::WordEdge)) {
        send(QStringLiteral(":TRIGGER:EDGE:SOURCE ") + SourceToken(s.EdgeSource));
        send(QStringLiteral(":TRIGGER:EDGE:SLOPE ") + EdgeSlopeToken(s.EdgeSlope));
        send(QStringLiteral(":TRIGGER:EDGE:SWEEP ") + SweepToken(s.EdgeSweep));
        send(QStringLiteral(":TRIGGER:EDGE:COUPLING ") + CouplingToken(s.EdgeCoupling));
        send(QStringLiteral(":TRIGGER:EDGE:SENSITIVITY ") + s.EdgeSensitivity);
        const QString level = levelFromSource(s.EdgeLevel, QStringLiteral(":TRIGGER:EDGE:SOURCE?"));
        send(QStringLiteral(":TRIGGER:EDGE:LEVEL ") + level);
        step();
    } else if (method == word(Word::WordPulse)) {
        send(QStringLiteral(":TRIGGER:PULSE:SOURCE ") + SourceToken(s.PulseSource));
        send(QStringLiteral(":TRIGGER:PULSE:MODE ") + PulseModeToken(s.PulseMode));
        send(QStringLiteral(":TRIGGER:PULSE:WIDTH ") + upper(s.PulseWidth));
        send(QStringLiteral(":TRIGGER:PULSE:SWEEP ") + SweepToken(s.PulseSweep));
        send(QStringLiteral(":TRIGGER:PULSE:COUPLING ") + CouplingToken(s.PulseCoupling));
        send(QStringLiteral(":TRIGGER:PULSE:SENSITIVITY ") + s.PulseSensitivity);
        const QString level = levelFromSource(s.PulseLevel, QStringLiteral(":TRIGGER:PULSE:SOURCE?"));
        send(QStringLiteral(":TRIGGER:PULSE:LEVEL ") + level);
        step();
    } else if (method == word(Word::WordVideo)) {
        send(QStringLiteral(":TRIGGER:VIDEO:SOURCE ") + SourceToken(s.VideoSource));
        send(QStringLiteral(":TRIGGER:VIDEO:POLARITY ") + VideoPolarityToken(s.VideoPolarity));
        send(QStringLiteral(":TRIGGER:VIDEO:MODE ") + VideoSyncToken(s.VideoSync).toUpper());
        send(QStringLiteral(":TRIGGER:VIDEO:STANDARD ") + VideoStandardToken(s.VideoStandard));
        send(QStringLiteral(":TRIGGER:VIDEO:LINE ") + s.VideoLine);
        send(QStringLiteral(":TRIGGER:VIDEO:SENSITIVITY ") + s.VideoSensitivity);
        const QString level = levelFromSource(s.VideoLevel, QStringLiteral(":TRIGGER:VIDEO:SOURCE?"));
        send(QStringLiteral(":TRIGGER:VIDEO:LEVEL ") + level);
        step();
    } else if (method == word(Word::WordSlope)) {
        send(QStringLiteral(":TRIGGER:SLOPE:SOURCE ") + SourceToken(s.SlopeSource));
        send(QStringLiteral(":TRIGGER:SLOPE:MODE ") + SlopeModeToken(s.SlopeMode));
        send(QStringLiteral(":TRIGGER:SLOPE:TIME ") + upper(s.SlopeTime));
        send(QStringLiteral(":TRIGGER:SLOPE:WINDOW ") + s.SlopeWindow);
        send(QStringLiteral(":TRIGGER:SLOPE:SWEEP ") + SweepToken(s.SlopeSweep));
        send(QStringLiteral(":TRIGGER:SLOPE:COUPLING ") + CouplingToken(s.SlopeCoupling));
        send(QStringLiteral(":TRIGGER:SLOPE:SENSITIVITY ") + s.SlopeSensitivity);
        const QString levelA = levelFromSource(s.SlopeLevelA, QStringLiteral(":TRIGGER:SLOPE:SOURCE?"));
        send(QStringLiteral(":TRIGGER:SLOPE:LEVELA ") + levelA);
        const QString levelB = levelFromSource(s.SlopeLevelB, QStringLiteral(":TRIGGER:SLOPE:SOURCE?"));
        send(QStringLiteral(":TRIGGER:SLOPE:LEVELB ") + levelB);
        step();
    } else if (method == word(Word::WordAlternative)) {
        sendAlternateChannel(1, AltMembers{s.AltCH1Type,
            s.AltCH1EdgeSlope, s.AltCH1EdgeCoupling, s.AltCH1EdgeLevel, s.AltCH1EdgeSensitivity, s.AltCH1EdgeHoldoff,
            s.AltCH1PulseMode, s.AltCH1PulseWidth, s.AltCH1PulseCoupling, s.AltCH1PulseLevel,
            s.AltCH1PulseSensitivity, s.AltCH1PulseHoldoff,
            s.AltCH1VideoPolarity, s.AltCH1VideoSync, s.AltCH1VideoStandard, s.AltCH1VideoLine, s.AltCH1VideoLevel,
            s.AltCH1VideoSensitivity, s.AltCH1VideoHoldoff,
            s.AltCH1SlopeMode, s.AltCH1SlopeTime, s.AltCH1SlopeCoupling, s.AltCH1SlopeLevelA, s.AltCH1SlopeLevelB,
            s.AltCH1SlopeSensitivity, s.AltCH1SlopeHoldoff});
        sendAlternateChannel(2, AltMembers{s.AltCH2Type,
            s.AltCH2EdgeSlope, s.AltCH2EdgeCoupling, s.AltCH2EdgeLevel, s.AltCH2EdgeSensitivity, s.AltCH2EdgeHoldoff,
            s.AltCH2PulseMode, s.AltCH2PulseWidth, s.AltCH2PulseCoupling, s.AltCH2PulseLevel,
            s.AltCH2PulseSensitivity, s.AltCH2PulseHoldoff,
            s.AltCH2VideoPolarity, s.AltCH2VideoSync, s.AltCH2VideoStandard, s.AltCH2VideoLine, s.AltCH2VideoLevel,
            s.AltCH2VideoSensitivity, s.AltCH2VideoHoldoff,
            s.AltCH2SlopeMode, s.AltCH2SlopeTime, s.AltCH2SlopeCoupling, s.AltCH2SlopeLevelA, s.AltCH2SlopeLevelB,
            s.AltCH2SlopeSensitivity, s.AltCH2SlopeHoldoff});
    }

    // The logic channels (every model the program accepts has them).
    if (app().link.LaPresent) {
        if (method == word(Word::WordPattern)) {
            SendPatternTrigger(1);
            send(QStringLiteral(":TRIGGER:PATTERN:SWEEP ") + SweepToken(s.PatSweep));
            step();
        } else if (method == word(Word::WordDuration)) {
            SendPatternTrigger(1);
            send(QStringLiteral(":TRIGGER:DURATION:QUALIFIER ") + DurationQualifierToken(s.DurQualifier));
            send(QStringLiteral(":TRIGGER:DURATION:TIME ") + upper(s.DurTime));
            send(QStringLiteral(":TRIGGER:DURATION:SWEEP ") + SweepToken(s.DurSweep));
            step();
        }
        send(QStringLiteral(":LA:DISPLAY ") + OnOffToken(s.LADisplay));
        // Channel mask: element i is D(16 - i).
        qint64 status = 0;
        for (int i = 1; i <= 16; ++i) {
            if (s.LAChanOn[i] == word(Word::WordOn))
                status += qint64(1) << (16 - i);
        }
        send(QStringLiteral(":LA:STATUS ") + QString::number(status));
        step();
        send(QStringLiteral(":LA:GROUP2:SIZE ") + LaSizeToken(s.LASizeHi));
        step();
        send(QStringLiteral(":LA:GROUP1:SIZE ") + LaSizeToken(s.LASizeLo));
        step();
        // Positions: four bits per channel, the lowest channel of a group lowest;
        // sums in 64-bit integers (they reach 4294967295).
        qint64 right = 0;
        qint64 left = 0;
        for (int i = 1; i <= 16; ++i) {
            const double pos = RoundHalfEven(ReadNumber(s.LAChanPos[i]));
            // A position outside 0..15 fits no nibble and would spill into the
            // next channel's: it goes out as 0 (the instrument never reports one).
            const qint64 nib = (pos >= 0 && pos <= 15) ? static_cast<qint64>(pos) : 0;
            if (i <= 8)
                right += nib << (4 * (8 - i));
            else
                left += nib << (4 * (16 - i));
        }
        send(QStringLiteral(":LA:LOCATION ") + QString::number(left) + QLatin1Char(',') + QString::number(right));
        step();
        send(QStringLiteral(":LA:THRESHOLD ") + upper(s.LAThreshold));
        step();
    }

    // Closing part.
    send(QStringLiteral(":ACQUIRE:MODE ") + AcqModeToken(s.AcqSamplingMode));
    step();
    send(QStringLiteral(":ACQUIRE:TYPE ") + AcqTypeToken(s.AcqType));
    step();
    send(QStringLiteral(":ACQUIRE:AVERAGES ") + s.AcqAverages);
    step();
    send(QStringLiteral(":DISPLAY:TYPE ") + DisplayTypeToken(s.DispType));
    step();
    send(QStringLiteral(":DISPLAY:PERSIST ") + OnOffToken(s.DispPersist));
    step();
    send(QStringLiteral(":DISPLAY:GRID ") + GridToken(s.DispGrid));
    step();
}
