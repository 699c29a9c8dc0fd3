#pragma once
// Links to an in-process simulator for the transfer tests, on the virtual
// clock:
//  - SimVisaLink: the VISA functions over the "sim" backend, on its USB
//    resource (binary replies as whole messages) or its serial resource
//    (exact-count blocks, the 113-byte setup form).
//  - PtySerialLink: the serial-port control on a pseudo-terminal whose other
//    end the test pump serves from the simulator, length-prefixed.
// Both connect the instrument through ConnectInstrument and then clear the
// simulator's log, so that the log holds exactly what a transfer sent.

#include "app/appstate.h"
#include "link/link.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "sim/qm4100sim.h"
#include "sim/simvisabackend.h"

#include <QCoreApplication>
#include <deque>
#include <functional>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

inline constexpr const char *SimUsbResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";
inline constexpr const char *SimAsrlResource = "ASRL1::INSTR";

// The transfer dialog closes itself with deleteLater: let that happen.
inline void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct SimVisaLink {
    Qm4100Sim &sim;
    VirtualClock &clock;
    std::shared_ptr<SimVisaBackend> backend;

    SimVisaLink(Qm4100Sim &s, VirtualClock &c, bool usb = true) : sim(s), clock(c)
    {
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        backend = std::make_shared<SimVisaBackend>();
        backend->addResource(QString::fromLatin1(usb ? SimUsbResource : SimAsrlResource), &sim);
        registerVisaBackend(backend);
        setPump([this] {
            clock.advance(10);
            QCoreApplication::processEvents();
        });
        app().link.IoType = 0;
        OpenVisaRM();
        ConnectInstrument();
        sim.clearLog();
    }
    ~SimVisaLink()
    {
        setPump({});
        resetVisa();
    }
    bool connected() const { return app().link.LinkConnected != 0; }
};

// The master side of a pseudo-terminal, served by the simulator.
struct PtySerialLink {
    Qm4100Sim &sim;
    VirtualClock &clock;
    int master = -1;
    QString slave;
    QByteArray pending; // bytes of an unfinished line
    std::unique_ptr<SerialCommPort> port;
    QByteArray savedExtra;
    // When set and it returns a non-null reply, that reply goes out in place
    // of the simulator's (the simulator still sees and logs the line).
    std::function<QByteArray(const QByteArray &line)> replyFor;

    PtySerialLink(Qm4100Sim &s, VirtualClock &c) : sim(s), clock(c)
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        char name[128];
        if (::ptsname_r(master, name, sizeof name) != 0)
            return;
        slave = QString::fromLocal8Bit(name);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        savedExtra = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        qputenv("KELVOSCOPE_EXTRA_PORTS", slave.toLocal8Bit());
        app().link.ComPortNumber = int(serialDeviceList().indexOf(slave)) + 1;
        app().link.IoType = IoTypeSerial;
        port = std::make_unique<SerialCommPort>();
        setCommControl(port.get());
        setPump([this] { pumpOnce(); });
        ConnectInstrument();
        sim.clearLog();
    }
    ~PtySerialLink()
    {
        setPump({});
        if (port)
            port->setPortOpen(false);
        setCommControl(nullptr);
        port.reset();
        if (master >= 0)
            ::close(master);
        if (savedExtra.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra);
    }
    bool connected() const { return app().link.LinkConnected != 0; }

    // Hands every complete line the program wrote to the simulator and
    // writes the replies back.
    void serve()
    {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0)
                break;
            pending.append(buf, n);
        }
        qsizetype lf;
        while ((lf = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(lf);
            pending.remove(0, lf + 1);
            QByteArray reply = sim.handle(line, Qm4100Sim::Framing::LengthPrefix).bytes();
            if (replyFor) {
                const QByteArray own = replyFor(line);
                if (!own.isNull())
                    reply = own;
            }
            qsizetype done = 0;
            while (done < reply.size()) {
                const ssize_t w = ::write(master, reply.constData() + done, size_t(reply.size() - done));
                if (w < 0) {
                    pollfd p{master, POLLOUT, 0};
                    ::poll(&p, 1, 100);
                    continue;
                }
                done += w;
            }
        }
    }
    // One turn of the pump: serve the simulator, let the control take what
    // came (waiting a few ms of real time), or move the virtual clock on.
    void pumpOnce()
    {
        serve();
        if (port && port->control().waitForInput(5)) {
            QCoreApplication::processEvents();
            return;
        }
        QCoreApplication::processEvents();
        clock.advance(100);
    }
};
