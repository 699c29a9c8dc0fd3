// The data table request (kinds 3, 4, 5): one source's trace as rows of time
// and voltage texts in app().xfer (TimeText, ValueText, PointCount, MeasInfo).

#include "transfer/transferrunner.h"

#include "app/appstate.h"
#include "platform/pump.h"
#include "transfer/blockdecode.h"
#include "link/cmdfunc.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/valuereply.h"

namespace {
QString ask(const QString &line)
{
    return CutAtLF(QueryString(line));
}

// A number the table is computed from; a reply that holds no value the
// instrument can mean makes *valid false (the table cannot be computed).
double tableNumber(const QString &reply, bool *valid)
{
    if (InvalidValueReply(reply))
        *valid = false;
    return ReadNumber(reply);
}

} // namespace

void TransferRunner::RequestDataTable(const QString &source)
{
    TransferData &x = app().xfer;
    LinkState &l = app().link;
    const bool ch1 = source == QLatin1String("CH1");
    const bool analog = ch1 || source == QLatin1String("CH2");
    const QString channel = ch1 ? QStringLiteral("CHANNEL1") : QStringLiteral("CHANNEL2");
    const QString chWord = ch1 ? QStringLiteral("CH1") : QStringLiteral("CH2");

    const QString status = ask(QStringLiteral(":TRIGGER:STATUS?"));
    const bool running = status != QLatin1String("STOP");
    x.BlocksReceived = false;
    // The points of this request's block only: without a block the buffer
    // still holds an earlier one (another source's, perhaps), never this table's.
    x.WorkCount = 0;
    // The table's window on the screen comes from this setup block: without
    // it there is no table of this request.
    const bool setupReceived = ReadSetupBlock();
    const SetupBlock setup = l.LastSetup;
    const QString mode = ask(QStringLiteral(":TRIGGER:MODE?"));

    DataTableInput in;
    in.analog = analog;
    // Without a scale, offset and time base the instrument can mean, the
    // rows would be plausible zeros: no table of this request.
    bool numbersValid = true;
    in.scale = tableNumber(ask(QLatin1Char(':') + channel + QStringLiteral(":SCALE?")), &numbersValid);
    in.offset = tableNumber(ask(QLatin1Char(':') + channel + QStringLiteral(":OFFSET?")), &numbersValid);
    const QString invert = ask(QLatin1Char(':') + channel + QStringLiteral(":INVERT?"));
    in.invertRunning = invert == QLatin1String("ON") && running;

    if (analog && mode == QLatin1String("ALTERNATION")) {
        in.first = ch1 ? setup.CH1FirstPoint : setup.CH2FirstPoint;
        in.last = ch1 ? setup.CH1LastPoint : setup.CH2LastPoint;
        SendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE ") + channel);
        in.timeDiv = tableNumber(ask(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?")), &numbersValid);
        in.delay = tableNumber(ask(QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET?")), &numbersValid);
    } else {
        in.first = setup.FirstPoint;
        in.last = setup.LastPoint;
        in.timeDiv = tableNumber(ask(QStringLiteral(":TIMEBASE:SCALE?")), &numbersValid);
        in.delay = tableNumber(ask(QStringLiteral(":TIMEBASE:OFFSET?")), &numbersValid);
    }
    // A reply that did not come ends the request here: no block is asked for.
    if (exchangeFailed() || exchangeAbandoned()) {
        x.PointCount = 0;
        return;
    }
    in.valid = !analog || (ch1 ? setup.CH1Valid != 0 : setup.CH2Valid != 0);
    x.PointCount = DataTableRowCount(in);

    setBar(5);
    x.ProgressStep = 3;

    QString info;
    QString rate;
    if (analog) {
        info = chWord + QLatin1Char(' ') + FormatVolt(ask(QLatin1Char(':') + channel + QStringLiteral(":SCALE?")));
        rate = ask(QStringLiteral(":ACQUIRE:SAMP? ") + channel);
    } else {
        info = QStringLiteral("LA ") + status;
    }
    // The time base as the single-precision number it was read into.
    const float tdiv = float(in.timeDiv);
    info += QStringLiteral("  ") + FormatTime4(QString::number(double(tdiv), 'g', 7));
    info += QLatin1Char(' ') + SampleRateText(rate);
    info += QStringLiteral("  Size=") + QString::number(x.PointCount);
    info += QStringLiteral("  [Date:") + TransferDateText() + QLatin1Char(']');
    x.MeasInfo = info;

    const QString dataCommand = QStringLiteral(":WAVEFORM:DATA? ")
        + (analog ? channel : QStringLiteral("DIGITAL"));
    bool blockReceived = false;
    if (l.IoType == IoTypeSerial) {
        SendCommand(dataCommand);
        tickerOn();
        const bool received = ComWaitBlock();
        x.ProgressStep = 3;
        if (received) {
            x.WorkCount = StoreBlockPoints(SerialBlockPayload(), &l.WorkPts);
            blockReceived = true;
        }
        setBar(BarMax);
        repaint();
    } else { // VISA: any link kind but the serial port's, as for every line
        SendCommand(dataCommand);
        int n = -1;
        VisaReadWaveBlock(n, analog ? 601 : 1201);
        if (n >= 0) {
            x.WorkCount = std::min(n, TransferData::MaxPoints);
            blockReceived = true;
        }
        setBar(BarMax);
        repaint();
        pumpEvents();
    }

    if (x.TimeText.size() < TransferData::TextRows)
        x.TimeText.resize(TransferData::TextRows);
    if (x.ValueText.size() < TransferData::TextRows)
        x.ValueText.resize(TransferData::TextRows);
    // No block, no table: rows without the instrument's points would be
    // times of a trace that never came.
    x.BlocksReceived = setupReceived && blockReceived && numbersValid && !exchangeFailed() && !exchangeAbandoned();
    x.PointCount = x.BlocksReceived ? BuildDataTable(in, l.WorkPts, x.WorkCount, &x.TimeText, &x.ValueText) : 0;
    tickerOff();
}
