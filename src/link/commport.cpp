#include "link/commport.h"

#include "platform/serialport/serialportcontrol.h"

SerialCommPort::SerialCommPort(QObject *parent) : CommPort(parent), control_(new SerialPortControl(this))
{
    connect(control_, &SerialPortControl::OnComm, this, &CommPort::OnComm);
    connect(control_, &SerialPortControl::DeviceLost, this, &CommPort::DeviceLost);
}

SerialCommPort::~SerialCommPort() = default;

bool SerialCommPort::setSettings(const QString &settings)
{
    return control_->setSettings(settings);
}

bool SerialCommPort::setCommPort(int port)
{
    return control_->setCommPort(port);
}

bool SerialCommPort::setPortOpen(bool open)
{
    return control_->setPortOpen(open);
}

bool SerialCommPort::portOpen() const
{
    return control_->portOpen();
}

void SerialCommPort::setInputLen(int n)
{
    control_->setInputLen(n);
}

bool SerialCommPort::setOutput(const QByteArray &bytes)
{
    return control_->setOutput(bytes);
}

QByteArray SerialCommPort::input()
{
    return control_->input();
}

QString SerialCommPort::errorString() const
{
    return control_->errorString();
}

bool SerialCommPort::deviceLost() const
{
    return control_->deviceLost();
}
