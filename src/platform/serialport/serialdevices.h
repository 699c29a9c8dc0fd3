#pragma once
// The serial device list of the system, shared by the serial-port control
// (COM n) and the VISA serial resources (ASRLn::INSTR): entry n - 1 is port n.
//
// The ports Qt finds on the system, sorted by device name (numbers in names
// compare as numbers: ttyS2 before ttyS10), followed by the device paths listed
// in the environment variable KELVOSCOPE_EXTRA_PORTS (colon-separated, in that
// order; paths that do not exist, folders and paths listed already are left
// out), so that a pseudo-terminal can stand in for a port. The list is read
// afresh at each call.

#include <QList>
#include <QString>
#include <QStringList>

struct SerialDevice {
    QString path;        // "/dev/ttyUSB0"
    QString description; // what the system tells of it ("FT232R USB UART (FTDI)"); may be empty
};

// The list with what the system tells of each device.
QList<SerialDevice> serialDevices();
// The paths of serialDevices().
QStringList serialDeviceList();
// A device in words for a user: its path, then its description when known
// ("/dev/ttyUSB0  FT232R USB UART (FTDI)").
QString serialDeviceText(const SerialDevice &device);

// Orders device names the way the list does (natural order).
bool serialDeviceNameLess(const QString &a, const QString &b);
