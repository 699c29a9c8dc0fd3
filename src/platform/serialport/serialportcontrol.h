#pragma once
// The serial-port control of the main window, over QSerialPort: a settings
// string ("9600,n,8,1"), a port number (CommPort n is entry n - 1 of
// serialDeviceList()), PortOpen to open and close, Output to send bytes,
// Input to take what has arrived, and the OnComm signal for receive events.
//
// Receive events are delivered while events are processed (pumpEvents()) or
// inside waitForInput(); Output writes at once without processing events, so
// no receive event runs inside it. During the instrument's pause (pauseRunning())
// they wait in the port until the first turn of the event loop after it, as
// they would after a sleep: the link takes a reply only in the wait for it.
//
// Failures never raise: the operation returns false, error() tells the kind
// and errorString() gives a description fit for a message box, in the
// program's language as it was when the failure happened.

#include "platform/serialport/serialsettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// What befell the port, in a few words of the program's language (the
// toolkit's own descriptions come from the system and stay English).
QString serialErrorReason(QSerialPort::SerialPortError e);

class SerialPortControl : public QObject {
    Q_OBJECT
public:
    // Event codes of OnComm (the serial control's numbering). Only comEvReceive
    // is raised: QSerialPort reports no line-state changes or line errors.
    enum CommEvent {
        comEvSend = 1,
        comEvReceive = 2,
        comEvCTS = 3,
        comEvDSR = 4,
        comEvCD = 5,
        comEvRing = 6,
        comEvEOF = 7,
        comEventBreak = 1001,
        comEventCTSTO = 1002,
        comEventDSRTO = 1003,
        comEventFrame = 1004,
        comEventOverrun = 1006,
        comEventCDTO = 1007,
        comEventRxOver = 1008,
        comEventRxParity = 1009,
        comEventTxFull = 1010,
        comEventDCB = 1011,
    };

    enum class Error {
        None,
        InvalidSettings,   // a malformed settings string, or settings the port refuses
        InvalidPortNumber, // no such port in the list, or the device is missing
        PortOpen,          // the port number cannot change while the port is open
        AlreadyOpen,       // PortOpen(true) while open
        OpenFailed,        // the device exists but cannot be opened (permission, busy)
        NotOpen,           // Output while the port is closed
        WriteFailed,       // the device refused the bytes
        DeviceLost,        // the device went away while open; the port was closed
    };

    explicit SerialPortControl(QObject *parent = nullptr);
    ~SerialPortControl() override;

    // Settings string. A malformed string is refused (InvalidSettings) and the
    // previous settings stay; while open, new settings apply at once.
    bool setSettings(const QString &settings);
    QString settings() const { return settingsText_; }

    // Port number, 1-based. Refused while open (PortOpen) and below 1 (InvalidPortNumber).
    bool setCommPort(int port);
    int commPort() const { return commPort_; }

    // Opens (true) or closes (false) the port. Opening a number beyond the list
    // or a missing device: InvalidPortNumber; an open port: AlreadyOpen.
    // Closing a closed port succeeds.
    bool setPortOpen(bool open);
    bool portOpen() const;
    // Device path of the open port (empty while closed).
    QString devicePath() const;

    // Bytes Input takes at a time; 0 (the default) takes everything pending.
    void setInputLen(int n) { inputLen_ = n < 0 ? 0 : n; }
    int inputLen() const { return inputLen_; }
    // Bytes that must be pending to raise comEvReceive (default 1; 0: no receive events).
    void setRThreshold(int n) { rThreshold_ = n < 0 ? 0 : n; }
    int rThreshold() const { return rThreshold_; }

    // Sends bytes (a command line and its LF, for example). NotOpen, WriteFailed.
    bool setOutput(const QByteArray &bytes);
    // Takes pending input (InputLen bytes, or all when InputLen is 0).
    QByteArray input();
    int inBufferCount() const;
    // The code of the last OnComm event.
    int commEvent() const { return commEvent_; }

    // Waits up to ms milliseconds of real time for received bytes and raises
    // their receive event before returning. True when bytes came. For event
    // pumps that serve a pseudo-terminal in tests.
    bool waitForInput(int ms);

    Error error() const { return error_; }
    QString errorString() const { return errorString_; }

    // True from the moment the open device went away (unplugged, or a
    // pseudo-terminal whose other end closed) until the port is opened or
    // closed again. Meanwhile Output fails with DeviceLost and the loss's
    // description rather than as a port never opened.
    bool deviceLost() const { return lost_; }
    // The device that went away, and the system's description of the failure.
    QString lostDevice() const { return lostPath_; }
    QString lostReason() const { return lostReason_; }

signals:
    void OnComm(int commEvent);
    // The open device went away; the port is closed. Raised once per loss.
    void DeviceLost();

private:
    void fail(Error e, const QString &text);
    void failLost();
    void noteLoss(const QString &why);
    bool apply(const SerialSettings &s);
    void onReadyRead();
    void onPortError(QSerialPort::SerialPortError e);

    QSerialPort port_;
    SerialSettings settings_;
    QString openPath_;
    QString settingsText_ = QStringLiteral("9600,n,8,1");
    int commPort_ = 1;
    int inputLen_ = 0;
    int rThreshold_ = 1;
    int commEvent_ = 0;
    bool lost_ = false;
    // A receive event waits for the end of the instrument's pause.
    bool receiveHeld_ = false;
    QString lostPath_;
    QString lostReason_;
    Error error_ = Error::None;
    QString errorString_;
};
