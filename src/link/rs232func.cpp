#include "link/rs232func.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "link/commport.h"
#include "link/linkindicator.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "values/numbertext.h"
#include "values/rounding.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

#include <climits>
#include <utility>

namespace {

QPointer<CommPort> gControl;
QMetaObject::Connection gReceive;
QMetaObject::Connection gLost;
// The loss of the device has been reported; cleared by the next open.
bool gLossReported = false;

// The device of the port went away: a wait for its reply is over.
bool portGone()
{
    const CommPort *c = commControl();
    return c && c->deviceLost();
}

// Adds n to a byte count without passing INT_MAX.
int addCount(int count, qsizetype n)
{
    const qint64 sum = qint64(count) + qint64(n);
    return sum > INT_MAX ? INT_MAX : int(sum);
}

// Appends one received byte to the reply as text, within the buffer's size.
void appendText(LinkState &l, quint8 b)
{
    if (l.RxText.size() < RxBufferSize)
        l.RxText.append(QChar(ushort(b)));
}

// Stores one payload byte; bytes beyond the buffer are dropped.
void storeByte(LinkState &l, quint8 b)
{
    if (l.RxWritePos >= 0 && l.RxWritePos < RxBufferSize)
        l.RxBuffer[size_t(l.RxWritePos++)] = b;
}

// A reply given up may still be on its way: one the user stopped, one past
// its overall deadline, or one of which nothing had come when its time-out
// passed (an instrument that answers late). Its wait is finished, silently,
// before the next query is written, so that its bytes are never read as that
// query's reply: until it is complete, or it has been awaited as long as it
// would have been (its time-out since its last byte; for a reply of which
// nothing had come when it was given up, stopped or timed out, its overall
// deadline).
bool gFinishGivenUp = false;
int gGivenUpTickLimit = 0;
constexpr int FinishBeforeSetMs = 500;
qint64 gGivenUpDeadlineMs = 0;
// No tick limit: only the reply's end or its deadline ends the wait.
constexpr int NoTickLimit = INT_MAX;

bool replyPending(int tickLimit, qint64 giveUpAt)
{
    const LinkState &l = app().link;
    return l.RxWaiting && ComRxTicks() < tickLimit && !portGone() && appClock().nowMs() < giveUpAt;
}

void waitTurn(int tickLimit, qint64 giveUpAt)
{
    const qint64 left = giveUpAt - appClock().nowMs();
    waitEvents(int(std::clamp<qint64>(std::min<qint64>(ComWaitLeftMs(tickLimit), left), 1, INT_MAX)));
}

enum class WaitEnd { Came, TimedOut, Stopped, DeviceGone };

// Waits for the reply in progress until it is complete, tickLimit ticks pass
// without a byte, the overall deadline giveUpAt passes, the device goes or
// the exchange is abandoned.
WaitEnd waitForReply(int tickLimit, qint64 giveUpAt)
{
    const LinkState &l = app().link;
    while (replyPending(tickLimit, giveUpAt) && !exchangeAbandoned())
        waitTurn(tickLimit, giveUpAt);
    if (!l.RxWaiting && ComRxTicks() < tickLimit)
        return WaitEnd::Came;
    if (portGone())
        return WaitEnd::DeviceGone;
    const bool stopped = exchangeAbandoned();
    if (l.RxWaiting) {
        gFinishGivenUp = true;
        // Nothing of it has come, within its time-out or before the Stop:
        // the whole reply may still be on its way, late. One that began is
        // over once its time-out passes after its last byte.
        gGivenUpTickLimit = !l.RxStarted ? NoTickLimit : tickLimit;
        gGivenUpDeadlineMs = giveUpAt;
    }
    return stopped ? WaitEnd::Stopped : WaitEnd::TimedOut;
}

// Waits for the reply (waitForReply). A reply that did not come fails the
// exchange; one that did not come in time while the link was connected is a
// failed exchange with the instrument: the link is lost, and the user told.
bool awaitReply(int tickLimit, qint64 giveUpAt)
{
    const WaitEnd end = waitForReply(tickLimit, giveUpAt);
    if (end == WaitEnd::Came)
        return true;
    noteReplyMissing();
    if (end == WaitEnd::TimedOut && app().link.LinkConnected) {
        // The lamp turns first, so that it tells while the user reads.
        ComLinkLost();
        showLinkMessage(Msg::MsgReadFailed, Msg::MsgDeviceReadTitle);
    }
    return false;
}

// The last line written was a query whose reply no wait has begun for.
bool gQueryOut = false;

// The reply of a query that went out before a Stop, whose wait never began,
// is given up as a wait stopped at its first moment is: it is finished before
// the next query is written, and never taken for that query's reply.
void giveUpUnawaited(int tickLimit, bool block)
{
    LinkState &l = app().link;
    if (block) {
        l.RxWaiting = -1;
        l.BinaryReply = -1;
    }
    ComResetTicks();
    waitForReply(tickLimit, appClock().nowMs() + qint64(WaitDeadlineFactor) * std::max(tickLimit, 1) * 100);
}

// Finishes the wait of the reply given up. Before a query it runs to the
// reply's end or for as long as the reply would be awaited; before a line that
// gets no reply (Disconnect's) for FinishBeforeSetMs at the most: its late
// bytes are then still finished before the next query. A Stop ends it at once.
// False when the user stopped meanwhile: the line is not to go out.
bool finishGivenUpReply(bool query)
{
    const qint64 until = query ? gGivenUpDeadlineMs
                               : std::min(gGivenUpDeadlineMs, appClock().nowMs() + FinishBeforeSetMs);
    // The user sees why nothing happens meanwhile (a Connect at once after a
    // failure waits up to the rest of that reply's deadline).
    const bool waits = replyPending(gGivenUpTickLimit, until) && !exchangeAbandoned();
    if (waits)
        noteLateReplyAwaited(true);
    while (replyPending(gGivenUpTickLimit, until) && !exchangeAbandoned())
        waitTurn(gGivenUpTickLimit, until);
    if (waits)
        noteLateReplyAwaited(false);
    if (!replyPending(gGivenUpTickLimit, gGivenUpDeadlineMs) || (query && !exchangeAbandoned())) {
        gFinishGivenUp = false;
        app().link.RxWaiting = 0;
    }
    return !exchangeAbandoned();
}

} // namespace

void setCommControl(CommPort *control)
{
    if (gReceive)
        QObject::disconnect(gReceive);
    if (gLost)
        QObject::disconnect(gLost);
    gControl = control;
    gLossReported = false;
    gFinishGivenUp = false;
    if (control) {
        gReceive = QObject::connect(control, &CommPort::OnComm, control, [](int ev) { ComOnComm(ev); });
        gLost = QObject::connect(control, &CommPort::DeviceLost, control, [] { ComDeviceLost(); });
    }
}

CommPort *commControl()
{
    return gControl.data();
}

void OpenComPort()
{
    LinkState &l = app().link;
    CommPort *c = commControl();
    bool ok = c != nullptr;
    gLossReported = false;
    if (c) {
        if (c->portOpen() && !c->setPortOpen(false))
            ok = false;
        if (!c->setSettings(l.BaudRateText.trimmed() + QStringLiteral(",n,8,1")))
            ok = false;
        if (!c->setCommPort(l.ComPortNumber))
            ok = false;
        c->setInputLen(0);
        if (!c->setPortOpen(true))
            ok = false;
    }
    if (!ok) {
        showLinkMessage(Msg::MsgBadPortNumber, Msg::MsgRs232InitTitle);
        l.LinkOpened = 0;
    }
}

int ComPacingMs(const QString &baudText, int len)
{
    const double baud = ReadNumber(baudText);
    double perChar = baud > 0 ? 30000.0 / baud : 3.0;
    if (perChar < 3)
        perChar = 3;
    const double ms = RoundHalfEven(perChar * (double(len) + 1.0));
    return ms > double(INT_MAX) ? INT_MAX : int(ms);
}

bool ComWriteLine(const QString &cmd, bool textReply)
{
    gQueryOut = false;
    if (!linkGateOpen())
        return false;
    LinkState &l = app().link;
    if (gFinishGivenUp) {
        const ExchangeScope exchange;
        if (!finishGivenUpReply(cmd.contains(QLatin1Char('?'))))
            return false;
    }
    // A reply still being finished keeps its receive state until then.
    if (!gFinishGivenUp) {
        l.RxText.clear();
        l.RxStarted = 0;
        // The text reply of a query is awaited from the moment it goes out.
        if (textReply) {
            l.BinaryReply = 0;
            l.RxWaiting = -1;
        }
    }
    CommPort *c = commControl();
    if (!c || !c->setOutput(cmd.toUtf8() + '\n')) {
        const bool lost = c && c->deviceLost();
        if (!(lost && gLossReported))
            showLinkMessage(c ? c->errorString() : QCoreApplication::translate("Kelvoscope", "No serial port control"), Msg::MsgRs232SendTitle);
        if (lost)
            gLossReported = true;
        if (l.LinkConnected)
            ComLinkLost();
        return false;
    }
    gQueryOut = cmd.contains(QLatin1Char('?'));
    appClock().pause(ComPacingMs(l.BaudRateText, int(cmd.size())));
    return true;
}

int ComRxTicks()
{
    const qint64 t = appClock().ticks() - app().link.RxTickMark;
    return t > INT_MAX ? INT_MAX : int(t);
}

void ComResetTicks()
{
    app().link.RxTickMark = appClock().ticks();
}

int ComWaitLeftMs(int tickLimit)
{
    const qint64 left = (app().link.RxTickMark + tickLimit) * 100 - appClock().nowMs();
    return int(std::clamp<qint64>(left, 1, INT_MAX));
}

bool ComReadReply(QString *reply)
{
    reply->clear();
    const bool queryOut = std::exchange(gQueryOut, false);
    if (!linkGateOpen() || exchangeAbandoned()) {
        if (queryOut && linkGateOpen() && !exchangeFailed())
            giveUpUnawaited(TextReplyTicks, false);
        noteReplyMissing();
        return false;
    }
    const ExchangeScope exchange;
    LinkState &l = app().link;
    ComResetTicks();
    const qint64 giveUpAt = appClock().nowMs() + qint64(WaitDeadlineFactor) * TextReplyTicks * 100;
    if (!awaitReply(TextReplyTicks, giveUpAt))
        return false;
    *reply = l.RxText;
    return true;
}

bool ComWaitBlock(int tickLimit)
{
    const LinkExchange exchange;
    const bool queryOut = std::exchange(gQueryOut, false);
    // An abandoned or failed exchange wrote no query, nor does a closed link:
    // there is nothing to wait for; a query written before a Stop has its
    // block given up.
    if (!linkGateOpen() || exchangeAbandoned() || exchangeFailed()) {
        if (queryOut && linkGateOpen() && !exchangeFailed())
            giveUpUnawaited(tickLimit, true);
        noteReplyMissing();
        return false;
    }
    LinkState &l = app().link;
    l.RxWaiting = -1;
    l.BinaryReply = -1;
    ComResetTicks();
    const qint64 giveUpAt = appClock().nowMs() + qint64(WaitDeadlineFactor) * std::max(tickLimit, 1) * 100;
    return awaitReply(tickLimit, giveUpAt);
}

void ComReceiveText(const QByteArray &data)
{
    LinkState &l = app().link;
    if (!l.RxStarted) {
        l.RxCount = 0;
        l.RxReceived = 0;
        l.RxWritePos = 0;
        l.RxHeaderBytes = 0;
        l.RxStarted = -1;
    }
    for (char ch : data) {
        const quint8 b = quint8(ch);
        storeByte(l, b);
        appendText(l, b);
    }
    l.RxReceived = addCount(l.RxReceived, data.size());
    ComResetTicks();
    const qsizetype lf = l.RxText.indexOf(QLatin1Char('\n'));
    if (lf >= 0) {
        l.RxWaiting = 0;
        l.RxText.truncate(lf);
        l.RxReceived -= 1;
    } else if (data.contains('\n')) {
        // The line feed came after the text filled its room: the reply ends
        // there all the same, kept at its bounded length.
        l.RxWaiting = 0;
        l.RxReceived -= 1;
    }
    // The line is complete at its LF, but its text ends at the first CR or
    // LF: an instrument (or adapter) that ends lines with CR LF leaves no CR
    // in the reply, so an empty reply stays empty.
    if (!l.RxWaiting) {
        const qsizetype cr = l.RxText.indexOf(QLatin1Char('\r'));
        if (cr >= 0)
            l.RxText.truncate(cr);
    }
}

void ComReceiveBinary(const QByteArray &data)
{
    LinkState &l = app().link;
    if (!l.RxStarted) {
        l.RxReceived = 0;
        l.RxWritePos = 0;
        l.RxHeaderBytes = 0;
        l.RxCount = 0;
        l.RxStarted = -1;
    }
    qsizetype i = 0;
    if (l.RxHeaderBytes < 4) {
        while (l.RxHeaderBytes < 4 && i < data.size())
            l.RxHeader[size_t(l.RxHeaderBytes++)] = quint8(data[i++]);
        if (l.RxHeaderBytes == 4)
            l.RxCount = double(l.RxHeader[0]) + double(l.RxHeader[1]) * 256.0 + double(l.RxHeader[2]) * 65536.0
                        + double(l.RxHeader[3]) * 16777216.0;
    }
    for (; i < data.size(); ++i) {
        const quint8 b = quint8(data[i]);
        storeByte(l, b);
        appendText(l, b);
    }
    ComResetTicks();
    l.RxReceived = addCount(l.RxReceived, data.size());
    if (l.RxHeaderBytes == 4 && l.RxCount <= double(RxBufferSize) && l.RxCount + 4.0 == double(l.RxReceived))
        l.RxWaiting = 0;
}

void ComOnComm(int commEvent)
{
    if (commEvent != CommPort::ReceiveEvent)
        return;
    CommPort *c = commControl();
    if (!c)
        return;
    const QByteArray data = c->input();
    if (data.isEmpty())
        return;
    if (app().link.BinaryReply)
        ComReceiveBinary(data);
    else
        ComReceiveText(data);
}

void ComLinkLost()
{
    setLinkLamps(false);
    app().link.LinkConnected = 0;
}

void ComDeviceLost()
{
    LinkState &l = app().link;
    CommPort *c = commControl();
    if (!c || gLossReported || (!l.LinkConnected && !l.LinkConnecting))
        return; // a port nobody talks to, or reported already
    gLossReported = true;
    // The link is lost before the message shows, so that the lamp tells it
    // while the user reads.
    if (l.LinkConnected)
        ComLinkLost();
    showLinkMessage(c->errorString(), Msg::MsgRs232SendTitle);
}
