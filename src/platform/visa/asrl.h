#pragma once
// The "asrl" backend: serial ports through termios.
//
// "ASRLn::INSTR" is port n of serialDeviceList() (1-based, the same numbering
// as COM n of the serial-port control); "ASRL/dev/ttyUSB0::INSTR" names a device
// path. The search lists ASRL1::INSTR .. ASRLn::INSTR.
//
// A session runs raw, 8 data bits, no parity, 1 stop bit, no flow control, at
// 9600 baud until VI_ATTR_ASRL_BAUD says otherwise. A read ends at an LF (stored,
// VI_SUCCESS), at the count (VI_SUCCESS_MAX_CNT), at the time-out
// (VI_ERROR_TMO) or when its exchange is abandoned (VI_ERROR_ABORT: Stop,
// Disconnect, closing); bytes after the LF stay for the next read. An
// exact-count block is read by reading again for the bytes still missing.
// viClear drops what the port and the session hold unread.
//
// Every wait is in the event loop (FdWaiter, fdwait.h): the windows repaint
// and Stop acts while the instrument is awaited.
//
// A late reply is never the next one: a write first drops whatever has come
// unread, and after a read that was given up it first awaits, and drops, the
// end of that reply (an LF), in any session on the device (a connect after the
// failure opens a new one): after a time-out for as long again as that read
// waited, after an abandon for as long as that read would have waited. A line
// that asks nothing (no "?") waits for it 500 ms at the most and the reply is
// then finished before the next line that asks; an abandon ends that wait,
// and the line is not written.

#include "platform/visa/visabackend.h"

// The device path of an ASRL resource name, or an empty text when the name is
// not one (or names a port number the system does not have).
QString asrlDevicePath(const QString &resource);

// Forgets the replies given up on every device (resetVisa()).
void forgetAsrlGivenUpReplies();

class AsrlBackend final : public VisaBackend {
public:
    QString name() const override { return QStringLiteral("asrl"); }
    QStringList resources() override;
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override;
    // The device path, and what the system tells of the device.
    QString identity(const QString &resource) override;
};
