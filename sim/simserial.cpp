#include "sim/simserial.h"

#include "platform/clock.h"
#include "platform/serialport/serialsettings.h"
#include "sim/qm4100sim.h"

SimSerial::SimSerial(Qm4100Sim *sim, QObject *parent) : CommPort(parent), sim_(sim) {}

bool SimSerial::setSettings(const QString &settings)
{
    error_.clear();
    if (!parseSerialSettings(settings)) {
        error_ = QStringLiteral("Invalid settings \"%1\"").arg(settings);
        return false;
    }
    settings_ = settings;
    return true;
}

bool SimSerial::setCommPort(int port)
{
    error_.clear();
    if (open_) {
        error_ = QStringLiteral("Operation not valid while the port is open");
        return false;
    }
    if (port < 1) {
        error_ = QStringLiteral("Invalid port number");
        return false;
    }
    port_ = port;
    return true;
}

bool SimSerial::setPortOpen(bool open)
{
    error_.clear();
    if (!open) {
        open_ = false;
        return true;
    }
    if (open_) {
        error_ = QStringLiteral("Port already open");
        return false;
    }
    if (port_ > portCount_) {
        error_ = QStringLiteral("Invalid port number");
        return false;
    }
    open_ = true;
    partial_.clear();
    input_.clear();
    // What had come while the port was closed is gone; a reply still on its
    // way (a late one) reaches the port opened again, as an instrument sends
    // it whoever listens.
    const qint64 now = appClock().nowMs();
    std::erase_if(pieces_, [now](const Piece &p) { return p.dueMs <= now; });
    return true;
}

bool SimSerial::setOutput(const QByteArray &bytes)
{
    error_.clear();
    if (!open_) {
        error_ = QStringLiteral("Port not open");
        return false;
    }
    if (failOutput_) {
        error_ = QStringLiteral("The device refused the bytes");
        return false;
    }
    outputs_.append(bytes);
    partial_.append(bytes);
    qsizetype lf;
    while ((lf = partial_.indexOf('\n')) >= 0) {
        const QByteArray line = partial_.left(lf);
        partial_.remove(0, lf + 1);
        const Qm4100Sim::Reply reply = sim_->handle(line, Qm4100Sim::Framing::LengthPrefix);
        const qint64 due = appClock().nowMs() + reply.delayMs;
        for (const QByteArray &chunk : reply.chunks)
            pieces_.push_back({chunk, due});
    }
    return true;
}

QByteArray SimSerial::input()
{
    if (inputLen_ == 0 || inputLen_ >= input_.size()) {
        QByteArray all;
        all.swap(input_);
        return all;
    }
    const QByteArray part = input_.left(inputLen_);
    input_.remove(0, inputLen_);
    return part;
}

void SimSerial::queue(const QByteArray &bytes, int delayMs)
{
    pieces_.push_back({bytes, appClock().nowMs() + delayMs});
}

bool SimSerial::deliverNext()
{
    if (!open_ || pieces_.empty() || pieces_.front().dueMs > appClock().nowMs())
        return false;
    input_.append(pieces_.front().bytes);
    pieces_.pop_front();
    emit OnComm(ReceiveEvent);
    return true;
}

void SimSerial::pumpOnce(VirtualClock &clock, int stepMs)
{
    if (!deliverNext())
        clock.advance(stepMs);
}
