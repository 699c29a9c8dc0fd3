#include "transfer/transferrunner.h"

#include "app/appstate.h"
#include "platform/pump.h"
#include "transfer/blockdecode.h"
#include "link/cmdfunc.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
#include "values/normvalue.h"
#include "values/rounding.h"
#include "values/valuereply.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>

TransferRunner::TransferRunner()
    : timer1_(appClock().makeTimer()), timer2_(appClock().makeTimer())
{
    timer1_->setSingleShot(true);
    timer1_->onTimeout = [this] { dispatch(); };
    timer2_->onTimeout = [this] { progressTick(); };
}

TransferRunner::~TransferRunner()
{
    timer1_->stop();
    timer2_->stop();
}

QByteArrayView SerialBlockPayload()
{
    const LinkState &l = app().link;
    const double announced = l.RxCount;
    const qsizetype n = announced > 0 ? qsizetype(std::min<double>(announced, double(l.RxBuffer.size()))) : 0;
    return QByteArrayView(reinterpret_cast<const char *>(l.RxBuffer.data()), n);
}

void TransferRunner::load()
{
    timer2_->stop();
    timer1_->start(DispatchDelayMs);
    bar_ = 0.0f;
    app().transfer.TransferBusy = true;
}

bool TransferRunner::mayClose()
{
    return !app().transfer.TransferBusy;
}

void TransferRunner::setBar(double value)
{
    const float v = float(value);
    if (!(v >= 0.0f && v <= float(BarMax)))
        return;
    bar_ = v;
}

void TransferRunner::repaint()
{
    if (onRepaint)
        onRepaint();
}

void TransferRunner::tickerOn()
{
    if (!timer2_->isActive())
        timer2_->start(std::max(1, timer2_->interval() > 0 ? timer2_->interval() : TickIntervalMs));
}

void TransferRunner::tickerOff()
{
    timer2_->stop();
}

void TransferRunner::setTickerInterval(int ms)
{
    const bool active = timer2_->isActive();
    timer2_->stop();
    if (active)
        timer2_->start(std::max(1, ms));
    else {
        // Remember the interval for the next start without running.
        timer2_->start(std::max(1, ms));
        timer2_->stop();
    }
}

bool TransferRunner::tickerActive() const
{
    return timer2_->isActive();
}

int TransferRunner::tickerInterval() const
{
    return timer2_->interval() > 0 ? timer2_->interval() : TickIntervalMs;
}

bool TransferRunner::dispatcherArmed() const
{
    return timer1_->isActive();
}

void TransferRunner::dispatch()
{
    TransferRequest &req = app().transfer;
    timer1_->stop();
    TransferData &x = app().xfer;
    x.BlocksReceived = false; // until this request's blocks came
    x.RequestComplete = false;
    {
        // The request is one exchange: its first reply that does not come
        // ends it.
        const LinkExchange exchange;
        QueryString(QStringLiteral(":TRIGGER:STATUS?")); // reply not used
        runRequest(req);
        x.RequestComplete = !exchangeFailed() && !exchangeAbandoned();
    }

    repaint();
    appClock().pause(EndPauseMs);
    req.TransferDone = true;
    req.TransferBusy = false;
    timer2_->stop();
    if (onFinished)
        onFinished();
}

void TransferRunner::runRequest(const TransferRequest &req)
{
    switch (req.RequestKind) {
    case 1: RequestMeasureValues(QStringLiteral("CH1")); break;
    case 2: RequestMeasureValues(QStringLiteral("CH2")); break;
    case 3: RequestDataTable(QStringLiteral("CH1")); break;
    case 4: RequestDataTable(QStringLiteral("CH2")); break;
    case 5: RequestDataTable(QStringLiteral("LA")); break;
    case 6:
        if (req.CurrentDoc >= 0 && req.CurrentDoc < DataSheet::WaveSlots) {
            RequestWaveforms();
            if (const auto &hide = app().xfer.HideWaveProgress)
                hide(req.CurrentDoc);
        }
        break;
    case 22:
    case 23:
        if (const auto &run = app().xfer.SettingsTransfer)
            run(req.RequestKind);
        break;
    default: break;
    }
}

void TransferRunner::progressTick()
{
    TransferData &x = app().xfer;
    setBar(double(bar_ + float(x.ProgressStep)));
    repaint();
    const TransferRequest &req = app().transfer;
    if (req.RequestKind == 6 && req.TransferBusy) {
        int percent = qint16(x.WavePercent + x.ProgressStep);
        if (percent > x.ProgressCeiling)
            percent = int(RoundHalfEven(x.ProgressCeiling));
        if (percent > 100)
            percent = 100;
        x.WavePercent = qint16(std::max(percent, -32768));
        if (x.ShowWaveLoadPercent)
            x.ShowWaveLoadPercent(req.CurrentDoc);
    }
}

bool TransferRunner::ReadSetupBlock()
{
    TransferData &x = app().xfer;
    LinkState &l = app().link;
    bool received = false;
    if (l.IoType == IoTypeSerial) {
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        x.ProgressStep = 1;
        tickerOn();
        received = ComWaitBlock();
        // A block whose length prefix announced less than a setup block is
        // not laid over the last one: that stays whole, and the block has
        // not come.
        if (received && SerialBlockPayload().size() < SetupBlock::Size) {
            noteReplyMissing();
            received = false;
        }
        if (received)
            StoreSetupBytes(SerialBlockPayload(), &l.LastSetup);
        tickerOff();
        setTickerInterval(200); // for the rest of this showing
    } else { // VISA: any link kind but the serial port's, as for every line
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        setTickerInterval(TickIntervalMs);
        tickerOn();
        x.ProgressStep = 1;
        VisaReadSystemData(&received);
        pumpEvents();
        tickerOff();
        setTickerInterval(TickIntervalMs);
    }
    return received;
}

void TransferRunner::finishBlockProgress(double target)
{
    TransferData &x = app().xfer;
    setBar(target);
    repaint();
    x.WavePercent = qint16(std::clamp(RoundHalfEven(target), 0.0, 100.0));
    if (x.ShowWaveLoadPercent)
        x.ShowWaveLoadPercent(app().transfer.CurrentDoc);
}

bool TransferRunner::ReadWaveformBlock(QList<qint32> &rows, double target, const QString &source,
                                       const QString &invert, const QString &run, int expected, bool fftSplit)
{
    TransferData &x = app().xfer;
    LinkState &l = app().link;
    int count = -1; // stays -1 when no block came
    if (l.IoType == IoTypeSerial) {
        tickerOn();
        if (ComWaitBlock())
            count = StoreBlockPoints(SerialBlockPayload(), &l.WorkPts);
        finishBlockProgress(target);
        tickerOff();
    } else { // VISA: any link kind but the serial port's, as for every line
        tickerOn();
        int n = -1;
        VisaReadWaveBlock(n, expected);
        if (n >= 0)
            count = std::min(n, TransferData::MaxPoints);
        pumpEvents();
        finishBlockProgress(target);
        // The ticker stays on after a VISA read, within the ceiling.
    }
    // A block that ended before its source's levels were all in (a message
    // cut short, a length prefix announcing less) is no picture of the
    // trace: it counts as not come, and the request ends there.
    if (count >= 0 && count < expected - 1) {
        noteReplyMissing();
        count = -1;
    }
    if (count < 0)
        return false; // the source's rows stay as they were

    x.WorkCount = count;
    if (source == QLatin1String("LA")) {
        rows = CopyLogicRows(l.WorkPts);
    } else if (source == QLatin1String("FFT")) {
        rows = DecodeFftRows(l.WorkPts, count, fftSplit);
    } else {
        const bool inverted = invert == QLatin1String("ON") && run == QLatin1String("RUN");
        rows = DecodeAnalogRows(l.WorkPts, count, inverted);
    }
    return true;
}

QString TransferDateText()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + now.time().toString(QStringLiteral("HH:mm:ss"));
}

QString SampleRateText(const QString &rate)
{
    QString text = FormatFreq(rate);
    const qsizetype h = text.indexOf(QLatin1Char('H'));
    if (h >= 0)
        text = text.left(h) + QStringLiteral("Sa");
    return text;
}

void reportMissingBlock()
{
    // Nothing to tell when the user stopped the transfer or the link is gone
    // (a link lost by a failed exchange has told the user itself).
    if (!app().link.LinkConnected || lastExchangeAbandoned())
        return;
    showLinkMessage(Msg::MsgReadFailed, Msg::MsgDeviceReadTitle);
}
