#include "platform/serialport/serialportcontrol.h"

#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace {

// Our own texts come in the program's language: the toolkit language layer
// answers them in Chinese under the context "Kelvoscope".
QString own(const char *english)
{
    return QCoreApplication::translate("Kelvoscope", english);
}

} // namespace

QString serialErrorReason(QSerialPort::SerialPortError e)
{
    switch (e) {
    case QSerialPort::DeviceNotFoundError: return own("the device does not exist");
    case QSerialPort::PermissionError: return own("access is denied or the device is in use");
    case QSerialPort::OpenError: return own("the device is open already");
    case QSerialPort::WriteError: return own("the device did not take the data");
    case QSerialPort::ReadError: return own("reading from the device failed");
    case QSerialPort::ResourceError: return own("the device is no longer available");
    case QSerialPort::UnsupportedOperationError: return own("the device does not support the operation");
    case QSerialPort::TimeoutError: return own("the device did not answer in time");
    case QSerialPort::NotOpenError: return own("the device is not open");
    case QSerialPort::NoError: // a failure the port did not describe
    case QSerialPort::UnknownError: break;
    }
    return own("unknown error");
}

SerialPortControl::SerialPortControl(QObject *parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPortControl::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialPortControl::onPortError);
}

SerialPortControl::~SerialPortControl()
{
    port_.disconnect(this);
    if (port_.isOpen())
        port_.close();
}

void SerialPortControl::fail(Error e, const QString &text)
{
    error_ = e;
    errorString_ = text;
}

void SerialPortControl::failLost()
{
    fail(Error::DeviceLost, own("The device %1 was removed or hung up.").arg(lostPath_));
}

void SerialPortControl::noteLoss(const QString &why)
{
    if (port_.isOpen())
        port_.close();
    if (lost_)
        return;
    lost_ = true;
    lostPath_ = openPath_;
    lostReason_ = why;
    failLost();
    emit DeviceLost();
}

bool SerialPortControl::apply(const SerialSettings &s)
{
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (s.parity) {
    case SerialSettings::Parity::None: parity = QSerialPort::NoParity; break;
    case SerialSettings::Parity::Even: parity = QSerialPort::EvenParity; break;
    case SerialSettings::Parity::Odd: parity = QSerialPort::OddParity; break;
    case SerialSettings::Parity::Mark: parity = QSerialPort::MarkParity; break;
    case SerialSettings::Parity::Space: parity = QSerialPort::SpaceParity; break;
    }
    QSerialPort::StopBits stop = QSerialPort::OneStop;
    switch (s.stopBits) {
    case SerialSettings::StopBits::One: stop = QSerialPort::OneStop; break;
    case SerialSettings::StopBits::OneAndHalf: stop = QSerialPort::OneAndHalfStop; break;
    case SerialSettings::StopBits::Two: stop = QSerialPort::TwoStop; break;
    }
    return port_.setBaudRate(s.baud) && port_.setParity(parity)
           && port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) && port_.setStopBits(stop)
           && port_.setFlowControl(QSerialPort::NoFlowControl);
}

bool SerialPortControl::setSettings(const QString &settings)
{
    error_ = Error::None;
    errorString_.clear();
    const auto parsed = parseSerialSettings(settings);
    if (!parsed) {
        fail(Error::InvalidSettings, own("Invalid settings \"%1\"").arg(settings));
        return false;
    }
    if (port_.isOpen() && !apply(*parsed)) {
        const QString why = serialErrorReason(port_.error());
        apply(settings_); // back to what was in force
        fail(Error::InvalidSettings, own("The port refused the settings \"%1\": %2").arg(settings, why));
        return false;
    }
    settings_ = *parsed;
    settingsText_ = settings;
    return true;
}

bool SerialPortControl::setCommPort(int port)
{
    error_ = Error::None;
    errorString_.clear();
    if (port_.isOpen()) {
        fail(Error::PortOpen, own("Operation not valid while the port is open"));
        return false;
    }
    if (port < 1) {
        fail(Error::InvalidPortNumber, own("Invalid port number"));
        return false;
    }
    commPort_ = port;
    return true;
}

bool SerialPortControl::setPortOpen(bool open)
{
    error_ = Error::None;
    errorString_.clear();
    lost_ = false;
    if (!open) {
        if (port_.isOpen())
            port_.close();
        return true;
    }
    if (port_.isOpen()) {
        fail(Error::AlreadyOpen, own("Port already open"));
        return false;
    }
    const QStringList ports = serialDeviceList();
    if (commPort_ < 1 || commPort_ > ports.size()) {
        fail(Error::InvalidPortNumber, own("Invalid port number"));
        return false;
    }
    const QString path = ports.at(commPort_ - 1);
    port_.setPortName(path);
    openPath_ = path;
    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError e = port_.error();
        const QString why = serialErrorReason(e);
        port_.clearError();
        if (e == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(path))
            fail(Error::InvalidPortNumber, own("Invalid port number"));
        else
            fail(Error::OpenFailed, own("Cannot open %1: %2").arg(path, why));
        return false;
    }
    if (!apply(settings_)) {
        const QString why = serialErrorReason(port_.error());
        port_.close();
        port_.clearError();
        fail(Error::InvalidSettings, own("The port refused the settings \"%1\": %2").arg(settingsText_, why));
        return false;
    }
    port_.clear();
    return true;
}

bool SerialPortControl::portOpen() const
{
    return port_.isOpen();
}

QString SerialPortControl::devicePath() const
{
    return port_.isOpen() ? openPath_ : QString();
}

bool SerialPortControl::setOutput(const QByteArray &bytes)
{
    error_ = Error::None;
    errorString_.clear();
    if (lost_) {
        failLost();
        return false;
    }
    if (!port_.isOpen()) {
        fail(Error::NotOpen, own("Operation valid only when the port is open"));
        return false;
    }
    if (port_.write(bytes) != bytes.size()) {
        if (lost_) {
            failLost();
        } else {
            fail(Error::WriteFailed, own("Write failed: %1").arg(serialErrorReason(port_.error())));
            port_.clearError();
        }
        return false;
    }
    // Hand the bytes to the device now: the caller pauses without processing events.
    port_.flush();
    if (lost_) { // the device went away under the write
        failLost();
        return false;
    }
    if (port_.error() == QSerialPort::WriteError || port_.error() == QSerialPort::ResourceError) {
        fail(Error::WriteFailed, own("Write failed: %1").arg(serialErrorReason(port_.error())));
        port_.clearError();
        return false;
    }
    return true;
}

QByteArray SerialPortControl::input()
{
    if (!port_.isOpen())
        return QByteArray();
    return inputLen_ == 0 ? port_.readAll() : port_.read(inputLen_);
}

int SerialPortControl::inBufferCount() const
{
    return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0;
}

bool SerialPortControl::waitForInput(int ms)
{
    if (!port_.isOpen())
        return false;
    return port_.waitForReadyRead(ms);
}

void SerialPortControl::onReadyRead()
{
    if (pauseRunning()) {
        // The bytes stay in the port; the event follows the pause.
        if (!receiveHeld_) {
            receiveHeld_ = true;
            runAfterPause([self = QPointer<SerialPortControl>(this)] {
                if (!self)
                    return;
                self->receiveHeld_ = false;
                if (self->port_.isOpen() && self->port_.bytesAvailable() > 0)
                    self->onReadyRead();
            });
        }
        return;
    }
    if (rThreshold_ == 0 || port_.bytesAvailable() < rThreshold_)
        return;
    commEvent_ = comEvReceive;
    emit OnComm(comEvReceive);
}

void SerialPortControl::onPortError(QSerialPort::SerialPortError e)
{
    // A read that fails, or a resource error, means the device went away
    // (unplugged, or a pseudo-terminal lost its other end); left open, the port
    // would report the same failure on every turn of the event loop.
    if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError)
        return;
    const QString why = port_.errorString();
    port_.clearError();
    noteLoss(why);
}
