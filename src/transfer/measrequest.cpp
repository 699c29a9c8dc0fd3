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

// The invalid mark of a reading that holds no value.
const QString kInvalid = QStringLiteral("*****");

// A reply that came empty is no reading; one the instrument marked ">", "<"
// or "*", or a number it cannot mean, is none either. Each is stored as the
// invalid mark, so that it is never judged as the zero the formatters would
// make of it; the percentages keep a reply holding "*" as it came.
QString formatted(Fmt f, const QString &reply)
{
    if (reply.contains(QLatin1Char('*')))
        return f == Fmt::Percent ? reply : kInvalid;
    if (reply.isEmpty() || InvalidValueReply(reply))
        return kInvalid;
    switch (f) {
    case Fmt::Freq: return FormatFreq(reply);
    case Fmt::Volt: return FormatVolt(reply);
    case Fmt::Time: return FormatTime4(reply);
    case Fmt::Percent: return FormatPercent(reply);
    }
    return reply;
}

// A value of the info line: formatted, or the invalid mark for a reply that
// holds no value.
template <typename Format>
QString infoValue(const QString &reply, Format format)
{
    return InvalidValueReply(reply) ? kInvalid : format(reply);
}

QString volts(const QString &reply)
{
    return FormatVolt(reply);
}

QString time4(const QString &reply)
{
    return FormatTime4(reply);
}

// The request has been stopped, or a reply did not come: nothing more is asked.
bool cutShort()
{
    return exchangeFailed() || exchangeAbandoned();
}
} // namespace

void TransferRunner::RequestMeasureValues(const QString &source)
{
    TransferData &x = app().xfer;
    const bool ch1 = source == QLatin1String("CH1");
    const QString channel = ch1 ? QStringLiteral("CHANNEL1") : QStringLiteral("CHANNEL2");
    auto ask = [](const QString &line) { return CutAtLF(QueryString(line)); };

    if (!cutShort())
        appClock().pause(200);
    const QString mode = ask(QStringLiteral(":TRIGGER:MODE?"));
    QString info = (ch1 ? QStringLiteral("CH1 ") : QStringLiteral("CH2 "))
        + infoValue(ask(QLatin1Char(':') + channel + QStringLiteral(":SCALE?")), volts);
    const QString rate = ask(QStringLiteral(":ACQUIRE:SAMP? ") + channel);
    QString time;
    if (mode == QLatin1String("ALTERNATION")) {
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE ") + channel);
        time = infoValue(ask(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?")), time4);
    } else {
        time = infoValue(ask(QStringLiteral(":TIMEBASE:SCALE?")), time4);
    }
    info += QStringLiteral("  ") + time;
    info += QLatin1Char(' ') + infoValue(rate, SampleRateText) + QStringLiteral("  [Date:") + TransferDateText()
        + QLatin1Char(']');

    // The readings go into a copy: the request's results change only when
    // every reply came.
    MeasTable slot = x.MeasSlot;
    SendCommand(QStringLiteral(":MEASURE:SOURCE ") + channel);
    const int rows = int(std::size(measRows));
    for (int r = 0; r < rows && !cutShort(); ++r) {
        const MeasRow &row = measRows[r];
        const QString reply = ask(QStringLiteral(":MEASURE") + QLatin1String(row.keyword) + QStringLiteral("? ") + channel);
        setBar(double(bar_ + 5.6f));
        repaint();
        pumpEvents();
        slot[row.item].Value = formatted(row.format, reply);
        if (r + 1 < rows && !cutShort())
            appClock().pause(100);
    }
    if (cutShort())
        return;
    x.MeasSlot = slot;
    x.MeasInfo = info;
}
