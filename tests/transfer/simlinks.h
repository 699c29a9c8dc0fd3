#pragma once
// Links to an in-process simulator for the transfer tests, on the virtual
// clock:
//  - SimVisaLink: the VISA functions over a backend whose resource is served
//    by the simulator (USB kind: binary replies as whole messages).
//  - PtySerialLink: the serial-port control on a pseudo-terminal whose other
//    end the test pump serves from the simulator, length-prefixed.
// Both connect the instrument through ConnectInstrument and then clear the
// simulator's log, so that the log holds exactly what a transfer sent.

#include "common/appstate.h"
#include "link/link.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "sim/qm4100sim.h"

#include <QCoreApplication>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

inline constexpr const char *SimUsbResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";

// A USB-kind VISA resource served by a Qm4100Sim.
class SimUsbInstrument final : public VisaInstrument {
public:
    explicit SimUsbInstrument(Qm4100Sim *sim) : sim_(sim) {}
    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = count;
        QByteArray data(reinterpret_cast<const char *>(buf), qsizetype(count));
        if (data.endsWith('\n'))
            data.chop(1);
        const Qm4100Sim::Reply r = sim_->handle(data, Qm4100Sim::Framing::VisaUsb);
        for (const QByteArray &c : r.chunks)
            messages_.push_back(c);
        return VI_SUCCESS;
    }
    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        if (messages_.empty()) {
            appClock().pause(int(timeoutMs));
            return VI_ERROR_TMO;
        }
        QByteArray &m = messages_.front();
        const qsizetype n = std::min<qsizetype>(m.size(), qsizetype(count));
        std::memcpy(buf, m.constData(), size_t(n));
        *retCount = ViUInt32(n);
        if (n < m.size()) {
            m.remove(0, n);
            return VI_SUCCESS_MAX_CNT;
        }
        messages_.pop_front();
        return VI_SUCCESS;
    }
    ViStatus clear() override
    {
        messages_.clear();
        sim_->deviceClear();
        return VI_SUCCESS;
    }
    ViStatus setAttribute(ViAttr, ViAttrState) override { return VI_SUCCESS; }

private:
    Qm4100Sim *sim_;
    std::deque<QByteArray> messages_;
};

class SimUsbBackend final : public VisaBackend {
public:
    explicit SimUsbBackend(Qm4100Sim *sim) : sim_(sim) {}
    QString name() const override { return QStringLiteral("sim"); }
    QStringList resources() override { return {QString::fromLatin1(SimUsbResource)}; }
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override
    {
        if (resource.compare(QLatin1String(SimUsbResource), Qt::CaseInsensitive) != 0)
            return VI_ERROR_RSRC_NFOUND;
        *out = std::make_unique<SimUsbInstrument>(sim_);
        return VI_SUCCESS;
    }

private:
    Qm4100Sim *sim_;
};

// The transfer dialog closes itself with deleteLater: let that happen.
inline void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct SimVisaLink {
    Qm4100Sim &sim;
    VirtualClock &clock;
    std::shared_ptr<SimUsbBackend> backend;

    SimVisaLink(Qm4100Sim &s, VirtualClock &c) : sim(s), clock(c)
    {
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        backend = std::make_shared<SimUsbBackend>(&sim);
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
            const QByteArray reply = sim.handle(line, Qm4100Sim::Framing::LengthPrefix).bytes();
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
