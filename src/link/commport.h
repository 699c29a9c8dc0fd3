#pragma once
// The serial-port control as the serial link drives it: settings string, port
// number, open state, input length, output, input, and receive events. The
// program runs on SerialCommPort, over the platform's SerialPortControl
// (QSerialPort); tests may put an in-process stand-in that feeds the
// simulator in its place.
//
// Failures never raise: the call returns false and errorString() describes the
// failure in words fit for a message box.

#include <QByteArray>
#include <QObject>
#include <QString>

class SerialPortControl;

class CommPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~CommPort() override = default;

    // The receive event code of OnComm.
    static constexpr int ReceiveEvent = 2;

    virtual bool setSettings(const QString &settings) = 0;   // "9600,n,8,1"
    virtual bool setCommPort(int port) = 0;                  // 1-based
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    virtual void setInputLen(int n) = 0;                     // 0: input() takes all
    virtual bool setOutput(const QByteArray &bytes) = 0;     // writes at once
    virtual QByteArray input() = 0;                          // what has arrived
    virtual QString errorString() const = 0;
    // True while the open device has gone away (removed, or hung up) and the
    // port has not been opened or closed since; errorString() then describes
    // the loss.
    virtual bool deviceLost() const { return false; }

signals:
    // A serial event; ReceiveEvent when bytes have arrived.
    void OnComm(int commEvent);
    // The open device went away (raised once per loss).
    void DeviceLost();
};

// The program's serial-port control: a CommPort over SerialPortControl.
class SerialCommPort final : public CommPort {
    Q_OBJECT
public:
    explicit SerialCommPort(QObject *parent = nullptr);
    ~SerialCommPort() override;

    bool setSettings(const QString &settings) override;
    bool setCommPort(int port) override;
    bool setPortOpen(bool open) override;
    bool portOpen() const override;
    void setInputLen(int n) override;
    bool setOutput(const QByteArray &bytes) override;
    QByteArray input() override;
    QString errorString() const override;
    bool deviceLost() const override;

    // The control underneath (for waitForInput in pumps and the status bar).
    SerialPortControl &control() { return *control_; }

private:
    SerialPortControl *control_;
};
