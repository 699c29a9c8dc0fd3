#pragma once
// The "usbtmc" backend: instruments on the Linux kernel USB-TMC driver.
//
// Devices are <devRoot>/usbtmcN. Each one is found in sysfs as
// <sysfsRoot>/class/usbmisc/usbtmcN (older kernels: class/usb/usbtmcN), whose
// "device" link leads to the USB interface (bInterfaceNumber) inside the USB
// device (idVendor, idProduct, serial). The resource name is
// "USB0::0xVVVV::0xPPPP::SERIAL::INSTR" (upper-case hex; "::n" before "::INSTR"
// for an interface other than 0). SERIAL is the serial number with every byte
// of its UTF-8 form other than printable ASCII, ':' and '%' written as "%XX"
// (upper-case hex), so that any serial makes a name that parses back to it:
// "SN0002:" gives "SN0002%3A", "A B" gives "A%20B".
//
// One viWrite is one message; one viRead returns at most one transfer: it
// ends at the end of the message (VI_SUCCESS) or at the count
// (VI_SUCCESS_MAX_CNT, the rest of the message stays for the next read).
// A time-out gives VI_ERROR_TMO.
//
// The opening of the device is injectable: a test hands out one end of a
// socketpair(AF_UNIX, SOCK_SEQPACKET), where one packet stands for one
// transfer. Waits are measured on appClock(). The device is read and written
// by a thread of its session while the caller waits in the event loop (see
// usbtmcsession.h): a Stop, Disconnect or close ends the wait at once
// (VI_ERROR_ABORT), and the read given up still takes its reply, so that it is
// never the next one. On the kernel device the driver's own time-out is set
// to the time left and the driver ends the read.

#include "platform/visa/visabackend.h"

#include <QList>
#include <functional>

struct UsbtmcDevice {
    QString node;       // "usbtmc0"
    QString devicePath; // "<devRoot>/usbtmc0"
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serial;     // empty when the device has none
    QString manufacturer; // the device's own words (sysfs), empty when it gives none
    QString product;
    int interfaceNumber = 0;
    QString resource;   // "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR"
};

// The parts of a USB resource name "USB[board]::vid::pid::serial[::iface][::INSTR]".
struct UsbResourceName {
    int board = 0;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serial;
    int interfaceNumber = -1; // -1: not given
};
// Parses a USB INSTR resource name (case-insensitive; ids in hex with 0x or in
// decimal). False for anything else (RAW resources included). The serial
// comes back unescaped; a '%' not followed by two hex digits, and any other
// character, stands for itself.
bool parseUsbResourceName(const QString &text, UsbResourceName *out);
// The name of a device as the search lists it: board 0, no interface part
// for interface 0 (or a negative one).
QString usbResourceName(quint16 vendorId, quint16 productId, const QString &serial, int interfaceNumber = 0);
// The name made from its parts: the board as given, the interface part when
// one is given (0 included). Parsing it gives the same parts back.
QString usbResourceName(const UsbResourceName &parts);
// The serial as the resource name holds it, and back.
QString escapeUsbSerial(const QString &serial);
QString unescapeUsbSerial(const QString &field);

class UsbtmcBackend final : public VisaBackend {
public:
    // Opens a device path for reading and writing; returns a descriptor or -1
    // with errno set. The default opens the path itself.
    using Opener = std::function<int(const QString &devicePath)>;

    explicit UsbtmcBackend(QString sysfsRoot = QStringLiteral("/sys"), QString devRoot = QStringLiteral("/dev"),
                           Opener opener = {});

    QString name() const override { return QStringLiteral("usbtmc"); }
    QStringList resources() override;
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override;
    // "manufacturer product" as the device names itself.
    QString identity(const QString &resource) override;

    // The devices present, ordered by their number N.
    QList<UsbtmcDevice> devices() const;

private:
    QString sysfsRoot_;
    QString devRoot_;
    Opener opener_;
};
