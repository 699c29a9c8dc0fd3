#pragma once
// The "asrl" backend: serial ports through termios.
//
// "ASRLn::INSTR" is port n of serialDeviceList() (1-based, the same numbering
// as COM n of the serial-port control); "ASRL/dev/ttyUSB0::INSTR" names a device
// path. The search lists ASRL1::INSTR .. ASRLn::INSTR.
//
// A session runs raw, 8 data bits, no parity, 1 stop bit, no flow control, at
// 9600 baud until VI_ATTR_ASRL_BAUD says otherwise. A read ends at an LF (stored,
// VI_SUCCESS), at the count (VI_SUCCESS_MAX_CNT) or at the time-out
// (VI_ERROR_TMO); bytes after the LF stay for the next read. An exact-count
// block is read by reading again for the bytes still missing. viClear drops
// what the port and the session hold unread.
//
// A late reply is never the next one: a write first drops whatever has come
// unread, and after a read that timed out it first awaits, and drops, the end
// of that reply (an LF) for as long again as that read waited, in any session
// on the device (a connect after the failure opens a new one).

#include "platform/visa/visabackend.h"

// The device path of an ASRL resource name, or an empty text when the name is
// not one (or names a port number the system does not have).
QString asrlDevicePath(const QString &resource);

class AsrlBackend final : public VisaBackend {
public:
    QString name() const override { return QStringLiteral("asrl"); }
    QStringList resources() override;
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override;
    // The device path, and what the system tells of the device.
    QString identity(const QString &resource) override;
};
