// The measurement request (kinds 1, 2): the eighteen automatic measurements of
// one channel into app().xfer.MeasSlot, and its info line into MeasInfo.

#include "transfer/transferrunner.h"

#include "app/appstate.h"
#include "platform/pump.h"
#include "link/cmdfunc.h"
#include "values/normvalue.h"
#include "values/valuereply.h"

namespace {
enum class Fmt { Freq, Volt, Time, Percent };

struct MeasRow {
    const char *keyword;
    int item;
    Fmt format;
};

// In query order.
constexpr MeasRow measRows[] = {
    {":FREQUENCY", MeasFrequency, Fmt::Freq},  {":VPP", MeasVpp, Fmt::Volt},
    {":VMAX", MeasVmax, Fmt::Volt},            {":VMIN", MeasVmin, Fmt::Volt},
    {":VTOP", MeasVtop, Fmt::Volt},            {":VAVERAGE", MeasVavg, Fmt::Volt},
    {":VBASE", MeasVbase, Fmt::Volt},          {":VRMS", MeasVrms, Fmt::Volt},
    {":VAMPLITUDE", MeasVamp, Fmt::Volt},      {":PDUTYCYCLE", MeasDutyPos, Fmt::Percent},
    {":NDUTYCYCLE", MeasDutyNeg, Fmt::Percent}, {":PERIOD", MeasPeriod, Fmt::Time},
    {":RISETIME", MeasRiseTime, Fmt::Time},    {":FALLTIME", MeasFallTime, Fmt::Time},
    {":PWIDTH", MeasPWidthPos, Fmt::Time},     {":NWIDTH", MeasPWidthNeg, Fmt::Time},
    {":OVERSHOOT", MeasVover, Fmt::Percent},   {":PRESHOOT", MeasVpre, Fmt::Percent},
};

// An empty reply (a serial time-out, or a query on a lost link) is no reading
// at all: it is stored as the invalid text, so that it is never judged as the
// zero the formatters would make of it.
QString formatted(Fmt f, const QString &reply)
{
    if (reply.isEmpty())
        return QStringLiteral("*****");
    if (reply.contains(QLatin1Char('*')))
        return f == Fmt::Percent ? reply : QStringLiteral("*****");
    switch (f) {
    case Fmt::Freq: return FormatFreq(reply);
    case Fmt::Volt: return FormatVolt(reply);
    case Fmt::Time: return FormatTime4(reply);
    case Fmt::Percent: return FormatPercent(reply);
    }
    return reply;
}
} // namespace

void TransferRunner::RequestMeasureValues(const QString &source)
{
    TransferData &x = app().xfer;
    const bool ch1 = source == QLatin1String("CH1");
    const QString channel = ch1 ? QStringLiteral("CHANNEL1") : QStringLiteral("CHANNEL2");
    auto ask = [](const QString &line) { return CutAtLF(QueryString(line)); };

    appClock().pause(200);
    const QString mode = ask(QStringLiteral(":TRIGGER:MODE?"));
    QString info = (ch1 ? QStringLiteral("CH1 ") : QStringLiteral("CH2 "))
        + FormatVolt(ask(QLatin1Char(':') + channel + QStringLiteral(":SCALE?")));
    const QString rate = ask(QStringLiteral(":ACQUIRE:SAMP? ") + channel);
    QString time;
    if (mode == QLatin1String("ALTERNATION")) {
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE ") + channel);
        time = FormatTime4(ask(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?")));
    } else {
        time = FormatTime4(ask(QStringLiteral(":TIMEBASE:SCALE?")));
    }
    info += QStringLiteral("  ") + time;
    info += QLatin1Char(' ') + SampleRateText(rate) + QStringLiteral("  [Date:") + TransferDateText()
        + QLatin1Char(']');
    x.MeasInfo = info;

    SendCommand(QStringLiteral(":MEASURE:SOURCE ") + channel);
    const int rows = int(std::size(measRows));
    for (int r = 0; r < rows; ++r) {
        const MeasRow &row = measRows[r];
        const QString reply = ask(QStringLiteral(":MEASURE") + QLatin1String(row.keyword) + QStringLiteral("? ") + channel);
        setBar(double(bar_ + 5.6f));
        repaint();
        pumpEvents();
        x.MeasSlot[row.item].Value = formatted(row.format, reply);
        if (r + 1 < rows)
            appClock().pause(100);
    }
}
