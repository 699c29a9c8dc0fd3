// The data table request (kinds 3, 4, 5): one source's trace as rows of time
// and voltage texts in app().xfer (TimeText, ValueText, PointCount, MeasInfo).

#include "transfer/transferrunner.h"

#include "common/appstate.h"
#include "platform/pump.h"
#include "transfer/blockdecode.h"
#include "transfer/transferport.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/valuereply.h"

namespace {
QString ask(TransferPort &p, const QString &line)
{
    return CutAtLF(p.queryString(line));
}

} // namespace

void TransferRunner::RequestDataTable(const QString &source)
{
    TransferData &x = app().xfer;
    TransferPort &p = port();
    const bool ch1 = source == QLatin1String("CH1");
    const bool analog = ch1 || source == QLatin1String("CH2");
    const QString channel = ch1 ? QStringLiteral("CHANNEL1") : QStringLiteral("CHANNEL2");
    const QString chWord = ch1 ? QStringLiteral("CH1") : QStringLiteral("CH2");

    const QString status = ask(p, QStringLiteral(":TRIGGER:STATUS?"));
    const bool running = status != QLatin1String("STOP");
    ReadSetupBlock();
    const SetupBlock setup = x.LastSetup;
    const QString mode = ask(p, QStringLiteral(":TRIGGER:MODE?"));

    DataTableInput in;
    in.analog = analog;
    in.scale = ReadNumber(ask(p, QLatin1Char(':') + channel + QStringLiteral(":SCALE?")));
    in.offset = ReadNumber(ask(p, QLatin1Char(':') + channel + QStringLiteral(":OFFSET?")));
    const QString invert = ask(p, QLatin1Char(':') + channel + QStringLiteral(":INVERT?"));
    in.invertRunning = invert == QLatin1String("ON") && running;

    if (analog && mode == QLatin1String("ALTERNATION")) {
        in.first = ch1 ? setup.AltCH1First : setup.AltCH2First;
        in.last = ch1 ? setup.AltCH1Last : setup.AltCH2Last;
        p.sendCommand(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE ") + channel);
        in.timeDiv = ReadNumber(ask(p, QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?")));
        in.delay = ReadNumber(ask(p, QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET?")));
    } else {
        in.first = setup.FirstPoint;
        in.last = setup.LastPoint;
        in.timeDiv = ReadNumber(ask(p, QStringLiteral(":TIMEBASE:SCALE?")));
        in.delay = ReadNumber(ask(p, QStringLiteral(":TIMEBASE:OFFSET?")));
    }
    in.valid = !analog || (ch1 ? setup.CH1Valid != 0 : setup.CH2Valid != 0);
    x.PointCount = DataTableRowCount(in);

    setBar(5);
    x.ProgressStep = 3;

    QString info;
    QString rate;
    if (analog) {
        info = chWord + QLatin1Char(' ') + FormatVolt(ask(p, QLatin1Char(':') + channel + QStringLiteral(":SCALE?")));
        rate = ask(p, QStringLiteral(":ACQUIRE:SAMP? ") + channel);
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
    if (p.ioType() == 2) {
        p.sendCommand(dataCommand);
        tickerOn();
        QByteArray payload;
        const bool received = p.waitSerialBlock(&payload);
        x.ProgressStep = 3;
        if (received)
            x.WorkCount = StoreBlockPoints(payload, &x.WorkPts);
        setBar(BarMax);
        repaint();
    } else if (p.ioType() == 0) {
        p.sendCommand(dataCommand);
        QByteArray points;
        if (p.visaReadWaveBlock(analog ? 601 : 1201, &points))
            x.WorkCount = StoreBlockPoints(points, &x.WorkPts);
        setBar(BarMax);
        repaint();
        pumpEvents();
    }

    x.PointCount = BuildDataTable(in, x.WorkPts, x.WorkCount, &x.TimeText, &x.ValueText);
    tickerOff();
}
