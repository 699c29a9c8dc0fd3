#pragma once
// The backends under the VISA functions. Each backend offers some resources
// (USB-TMC devices, serial ports, the in-process simulator) and opens them.
// Backends sit in one table: a search lists the resources of every backend in
// table order, and viOpen hands a resource name to each backend in table order
// until one of them knows it. The built-in table is "usbtmc", then "asrl";
// backends registered at run time (the simulator) go in front, so that their
// resources come first and take precedence over a built-in one of the same name.
//
// Time-outs: every wait is measured on appClock() (platform/clock.h), so that
// a virtual clock lets a test run a 10 s time-out without waiting 10 s.

#include "platform/visa/visatypes.h"

#include <QString>
#include <QStringList>
#include <memory>

// One open resource (the session's I/O). The dispatcher keeps the session's
// time-out (VI_ATTR_TMO_VALUE) and passes it to every call; VI_TMO_INFINITE
// means no limit.
class VisaInstrument {
public:
    virtual ~VisaInstrument() = default;

    // Writes count bytes as one message. *retCount: the bytes taken (always set).
    // VI_SUCCESS, VI_ERROR_TMO, VI_ERROR_IO, VI_ERROR_CONN_LOST.
    virtual ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) = 0;

    // Reads at most count bytes into buf; *retCount: the bytes stored (always set).
    // A read ends
    //  - at the end of a message (one USB transfer, one simulator reply) or at an
    //    LF on a serial resource (the LF is stored): VI_SUCCESS;
    //  - at count bytes without either: VI_SUCCESS_MAX_CNT; the rest of the
    //    message stays for the next read;
    //  - when the time-out passes: VI_ERROR_TMO (bytes received so far are stored);
    //  - on a failure: VI_ERROR_IO or VI_ERROR_CONN_LOST.
    virtual ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) = 0;

    // Device clear: discards what the device and this session hold unread.
    virtual ViStatus clear() = 0;

    // Attributes other than VI_ATTR_TMO_VALUE, which the dispatcher keeps.
    virtual ViStatus setAttribute(ViAttr attr, ViAttrState value)
    {
        (void)attr;
        (void)value;
        return VI_ERROR_NSUP_ATTR;
    }
    virtual ViStatus getAttribute(ViAttr attr, ViAttrState *value)
    {
        (void)attr;
        (void)value;
        return VI_ERROR_NSUP_ATTR;
    }
};

class VisaBackend {
public:
    virtual ~VisaBackend() = default;
    // The backend's name in the table ("usbtmc", "asrl", "sim").
    virtual QString name() const = 0;
    // The resource names it offers now, in the order a search lists them
    // ("USB0::0xFFFF::0x4100::SN000001::INSTR", "ASRL1::INSTR").
    virtual QStringList resources() = 0;
    // Opens a resource. Returns VI_ERROR_RSRC_NFOUND (leaving *out empty) when
    // the backend does not know the name, so that the next backend is asked;
    // any other status ends the open with that status.
    virtual ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) = 0;
    // What the backend knows of the device behind one of its resources,
    // in words for a user choosing among them (the maker and model of a USB
    // device, the device path of a serial port); empty when it knows nothing
    // or the name is not one of its resources.
    virtual QString identity(const QString &resource)
    {
        (void)resource;
        return QString();
    }
};

// Puts a backend into the table: in place of a backend of the same name, else
// in front of all others. Open sessions of a replaced backend stay usable.
void registerVisaBackend(std::shared_ptr<VisaBackend> backend);
// Takes the named backend out of the table; false when there was none.
bool unregisterVisaBackend(const QString &name);
// The named backend of the table, or null.
std::shared_ptr<VisaBackend> visaBackend(const QString &name);
// The names in table order.
QStringList visaBackendNames();
// The identity the first backend that knows resource gives of it (see
// VisaBackend::identity); empty when none does.
QString visaResourceIdentity(const QString &resource);
// Closes every resource manager, session and find list, forgets the replies
// given up on serial devices, and puts the built-in table back ("usbtmc" over
// /sys and /dev, then "asrl"). For tests.
void resetVisa();
