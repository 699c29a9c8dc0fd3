#pragma once
// The simulator served over the USB-TMC road: the program's own usbtmc VISA
// backend, on a fake sysfs that lists one instrument, whose device node is
// one end of a SOCK_SEQPACKET socket pair (one packet, one transfer). The
// test's pump reads the program's packets from the other end, hands each line
// to the simulator (VisaUsb framing) and sends its replies back as packets,
// each chunk a transfer of its own, no earlier than the simulator's reply
// delay on the virtual clock. The session's own thread does the reads and
// writes, in real time.
//
// So that a test does not hang on how quickly that thread is scheduled, a
// turn of the pump that has just sent a reply waits (in real time, boundedly)
// until the program's thread has taken it from the socket before the virtual
// clock moves on.
//
// A Stop in a test may land while the program still waits on a query's
// write, not only once its reply is awaited: with lineAwaited set to the
// number of lines the simulator has taken, a turn of the pump with nothing
// else on its way waits briefly (in real time) for the program's next line.
//
// pull() stands for a pulled cable: the device end goes away, so the
// program's next read or write fails as a lost connection. onLine runs after
// every line the simulator received (a test stops or pulls there).

#include "app/appstate.h"
#include "link/link.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/visa/usbtmc.h"
#include "platform/visa/visa.h"
#include "sim/qm4100sim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>

#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

inline constexpr const char *UsbtmcSimResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";

struct UsbtmcSimLink {
    Qm4100Sim &sim;
    VirtualClock &clock;
    QTemporaryDir dir;
    std::shared_ptr<UsbtmcBackend> backend;
    int peer = -1;
    int opens = 0;
    QByteArray pending; // bytes of an unfinished line
    struct Due {
        qint64 atMs = 0;
        QList<QByteArray> chunks;
    };
    std::deque<Due> due;
    bool sentUntaken = false; // a reply sent that the program has not taken yet
    std::function<void(const QByteArray &line)> onLine;
    qsizetype lineAwaited = -1;

    // connect: open and identify the instrument (then the log is cleared).
    UsbtmcSimLink(Qm4100Sim &s, VirtualClock &c, bool connect = true) : sim(s), clock(c)
    {
        makeSysfs();
        resetVisa();
        unregisterVisaBackend(QStringLiteral("sim"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        backend = std::make_shared<UsbtmcBackend>(dir.filePath(QStringLiteral("sys")), dir.filePath(QStringLiteral("dev")),
                                                  [this](const QString &) { return openDevice(); });
        registerVisaBackend(backend);
        setPump([this] { pumpOnce(); });
        app().link.IoType = 0;
        OpenVisaRM();
        if (connect) {
            ConnectInstrument();
            sim.clearLog();
        }
    }
    ~UsbtmcSimLink()
    {
        onLine = {};
        setPump({});
        resetVisa();
        if (peer >= 0)
            ::close(peer);
    }
    bool connected() const { return app().link.LinkConnected != 0; }

    // The cable is pulled: the device is gone, and so is every reply on its way.
    void pull()
    {
        if (peer >= 0)
            ::close(peer);
        peer = -1;
        due.clear();
        sentUntaken = false;
    }

    void serve()
    {
        if (peer < 0 || serving)
            return;
        serving = true;
        serveNow();
        serving = false;
    }
    bool serving = false;

    void serveNow()
    {
        if (lineAwaited >= 0 && sim.lines().size() == lineAwaited && due.empty() && untakenBytes() == 0) {
            pollfd p{peer, POLLIN, 0};
            ::poll(&p, 1, 50);
        }
        char buf[8192];
        for (;;) {
            const ssize_t n = ::recv(peer, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0)
                break;
            pending.append(buf, n);
            qsizetype lf;
            while ((lf = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(lf);
                pending.remove(0, lf + 1);
                const Qm4100Sim::Reply r = sim.handle(line, Qm4100Sim::Framing::VisaUsb);
                if (!r.isEmpty())
                    due.push_back({clock.nowMs() + r.delayMs, r.chunks});
                if (onLine)
                    onLine(line);
                if (peer < 0)
                    return;
            }
        }
        while (!due.empty() && due.front().atMs <= clock.nowMs()) {
            for (const QByteArray &chunk : due.front().chunks)
                ::send(peer, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
            due.pop_front();
            sentUntaken = true;
        }
        if (sentUntaken) {
            // Bounded: a reply nobody reads any more stays where it is.
            for (int i = 0; i < 40 && untakenBytes() > 0; ++i) {
                pollfd p{peer, POLLIN, 0};
                ::poll(&p, 1, 5);
            }
            sentUntaken = false;
        }
    }

    // Bytes sent to the program that it has not read yet.
    int untakenBytes() const
    {
        int n = 0;
        return peer >= 0 && ::ioctl(peer, SIOCOUTQ, &n) == 0 ? n : 0;
    }

    void pumpOnce()
    {
        serve();
        handlePendingEvents();
        clock.advance(10);
    }

private:
    int openDevice()
    {
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
            return -1;
        if (peer >= 0)
            ::close(peer);
        peer = sv[1];
        pending.clear();
        due.clear();
        ++opens;
        return sv[0];
    }

    static void writeText(const QString &path, const QByteArray &text)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }

    // sys/devices/.../1-1/{idVendor,idProduct,serial}, its interface 0 with
    // usbmisc/usbtmc0, and class/usbmisc/usbtmc0 leading there.
    void makeSysfs()
    {
        const QString sys = dir.filePath(QStringLiteral("sys"));
        const QString usbDir = sys + QStringLiteral("/devices/pci0000:00/usb1/1-1");
        const QString ifDir = usbDir + QStringLiteral("/1-1:1.0");
        const QString nodeDir = ifDir + QStringLiteral("/usbmisc/usbtmc0");
        QDir().mkpath(nodeDir);
        QDir().mkpath(sys + QStringLiteral("/class/usbmisc"));
        QDir().mkpath(dir.filePath(QStringLiteral("dev")));
        writeText(usbDir + QStringLiteral("/idVendor"), "ffff\n");
        writeText(usbDir + QStringLiteral("/idProduct"), "4100\n");
        writeText(usbDir + QStringLiteral("/serial"), "SN000001\n");
        writeText(ifDir + QStringLiteral("/bInterfaceNumber"), "00\n");
        QFile::link(QStringLiteral("../.."), nodeDir + QStringLiteral("/device"));
        QFile::link(nodeDir, sys + QStringLiteral("/class/usbmisc/usbtmc0"));
    }
};
