// Feeds arbitrary instrument bytes to the two VISA backends' reads behind
// viRead and the formatted block read viScanfBlock ("%t"), and checks each
// read against a model of what it must return:
//
//   usbtmc: each message is one packet on a socket pair (the backend's
//           injectable opener); a read ends at the message's end or at its
//           count, and the rest stays for the next read;
//   asrl:   the bytes arrive on a pseudo-terminal; a read ends at an LF (kept),
//           at its count, or at the time-out with what came.
//
// Input: byte 0 picks the backend (bit 0: asrl). Then operations, each one
// byte (its value modulo 4) and a 2-byte little-endian argument:
//   0  send: the next argument-many bytes (at most what is left) arrive;
//   1  viRead of argument bytes;
//   2  viScanfBlock into a buffer of argument bytes;
//   3  viClear (everything unread is dropped).
// Every read must return exactly the bytes and the status the model gives,
// never write past its count, and the session must stay usable throughout.

#include "platform/clock.h"
#include "platform/visa/usbtmc.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr const char *UsbResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";
constexpr size_t MaxOps = 48;
// What the terminal's input queue holds at most before the line discipline
// stops taking bytes; the model keeps below it.
constexpr size_t PtyLimit = 2048;
// The asrl reads' time-out (virtual ms): a read that must time out costs one
// short real poll.
constexpr ViUInt32 AsrlTimeoutMs = 20;

VirtualClock *gClock = nullptr;
QTemporaryDir *gSys = nullptr;
int gPeer = -1; // the fuzzer's end of the current socket pair

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(bytes);
}

// A sysfs tree with one USB-TMC device, the one UsbResource names.
void makeSysfs(const QString &root)
{
    const QString usbDev = root + QStringLiteral("/devices/usb1/1-1");
    const QString iface = usbDev + QStringLiteral("/1-1:1.0");
    QDir().mkpath(iface);
    QDir().mkpath(root + QStringLiteral("/class/usbmisc/usbtmc0"));
    writeFile(usbDev + QStringLiteral("/idVendor"), "ffff\n");
    writeFile(usbDev + QStringLiteral("/idProduct"), "4100\n");
    writeFile(usbDev + QStringLiteral("/serial"), "SN000001\n");
    writeFile(iface + QStringLiteral("/bInterfaceNumber"), "00\n");
    if (::symlink(QFile::encodeName(iface).constData(),
                  QFile::encodeName(root + QStringLiteral("/class/usbmisc/usbtmc0/device")).constData())
        != 0)
        std::abort();
}

struct Reader {
    const uint8_t *p;
    size_t left;
    uint8_t byte()
    {
        if (!left)
            return 0;
        --left;
        return *p++;
    }
    uint16_t u16() { return uint16_t(byte() | (byte() << 8)); }
    QByteArray bytes(size_t n)
    {
        n = std::min(n, left);
        QByteArray b(reinterpret_cast<const char *>(p), qsizetype(n));
        p += n;
        left -= n;
        return b;
    }
};

// What the instrument has sent and the session has not yet handed out.
struct Model {
    bool asrl = false;
    std::deque<QByteArray> messages; // usbtmc: whole messages, the first perhaps partly read
    QByteArray stream;               // asrl: the bytes in order

    bool empty() const { return asrl ? stream.isEmpty() : messages.empty(); }

    // The outcome of a read of count bytes.
    ViStatus read(ViUInt32 count, QByteArray *out)
    {
        out->clear();
        if (!asrl) {
            if (count == 0)
                return VI_SUCCESS_MAX_CNT;
            if (messages.empty())
                return VI_ERROR_TMO;
            QByteArray &m = messages.front();
            if (quint64(m.size()) <= count) {
                *out = m;
                messages.pop_front();
                return VI_SUCCESS;
            }
            *out = m.left(qsizetype(count));
            m.remove(0, qsizetype(count));
            return VI_SUCCESS_MAX_CNT;
        }
        const qsizetype lf = stream.indexOf('\n');
        if (lf >= 0 && quint64(lf) < count) {
            *out = stream.left(lf + 1);
            stream.remove(0, lf + 1);
            return VI_SUCCESS;
        }
        if (quint64(stream.size()) >= count) {
            *out = stream.left(qsizetype(count));
            stream.remove(0, qsizetype(count));
            return VI_SUCCESS_MAX_CNT;
        }
        *out = stream;
        stream.clear();
        return VI_ERROR_TMO;
    }

    // The outcome of viScanfBlock into bufSize bytes.
    ViStatus scan(ViUInt32 bufSize, QByteArray *out)
    {
        out->clear();
        ViStatus st = VI_SUCCESS_MAX_CNT;
        while (quint64(out->size()) < bufSize) {
            QByteArray part;
            st = read(bufSize - ViUInt32(out->size()), &part);
            out->append(part);
            if (st != VI_SUCCESS_MAX_CNT)
                return st;
        }
        // Full without the end: the rest of the message is dropped.
        for (;;) {
            QByteArray dropped;
            const ViStatus d = read(4096, &dropped);
            if (d == VI_SUCCESS)
                return VI_SUCCESS_MAX_CNT;
            if (d != VI_SUCCESS_MAX_CNT)
                return d;
        }
    }
};

int inputQueued(int fd)
{
    int n = 0;
    if (::ioctl(fd, FIONREAD, &n) != 0)
        std::abort();
    return n;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    gClock = new VirtualClock;
    gSys = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gSys->isValid())
        std::abort();
    makeSysfs(gSys->path() + QStringLiteral("/sys"));
    std::atexit([] { delete gSys; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Reader in{data + 1, size - 1};
    Model model;
    model.asrl = data[0] & 1;

    setAppClock(gClock);
    resetVisa();
    int master = -1, slave = -1;
    QByteArray resource;
    if (model.asrl) {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            std::abort();
        const char *name = ::ptsname(master);
        slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave < 0)
            std::abort();
        resource = QByteArray("ASRL") + name + "::INSTR";
    } else {
        gPeer = -1;
        registerVisaBackend(std::make_shared<UsbtmcBackend>(
            gSys->path() + QStringLiteral("/sys"), QStringLiteral("/nonexistent"), [](const QString &) {
                int sv[2];
                if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
                    return -1;
                gPeer = sv[1];
                return sv[0];
            }));
        resource = UsbResource;
    }
    ViSession rm = VI_NULL, vi = VI_NULL;
    if (viOpenDefaultRM(&rm) != VI_SUCCESS || viOpen(rm, resource.constData(), VI_NULL, VI_NULL, &vi) != VI_SUCCESS)
        std::abort();
    if (viSetAttribute(vi, VI_ATTR_TMO_VALUE, model.asrl ? AsrlTimeoutMs : VI_TMO_IMMEDIATE) != VI_SUCCESS)
        std::abort();

    for (size_t op = 0; op < MaxOps && in.left > 0; ++op) {
        const int kind = in.byte() % 4;
        const uint16_t arg = in.u16();
        if (kind == 0) {
            const QByteArray bytes = in.bytes(arg);
            if (model.asrl) {
                // Only as much as the terminal queues whole; then wait until
                // every byte has crossed, so that a read sees what the model does.
                const int before = inputQueued(slave);
                if (size_t(before) + size_t(bytes.size()) > PtyLimit)
                    continue;
                if (::write(master, bytes.constData(), size_t(bytes.size())) != bytes.size())
                    std::abort();
                for (int spin = 0; inputQueued(slave) < before + bytes.size(); ++spin) {
                    if (spin > 20000)
                        std::abort(); // the terminal lost bytes
                    ::usleep(50);
                }
                model.stream.append(bytes);
            } else {
                const ssize_t n = ::send(gPeer, bytes.constData(), size_t(bytes.size()), MSG_DONTWAIT);
                if (n == bytes.size())
                    model.messages.push_back(bytes);
                else if (n >= 0)
                    std::abort(); // a packet goes whole or not at all
            }
            continue;
        }
        if (kind == 3) {
            if (viClear(vi) != VI_SUCCESS)
                std::abort();
            model.messages.clear();
            model.stream.clear();
            continue;
        }
        // A buffer one guard byte longer than the count, to see a write past it.
        QByteArray buf(qsizetype(arg) + 1, '\xA5');
        ViUInt32 got = 0xDEADBEEF;
        QByteArray want;
        ViStatus st, expected;
        if (kind == 1) {
            st = viRead(vi, reinterpret_cast<ViBuf>(buf.data()), arg, &got);
            expected = model.read(arg, &want);
        } else {
            st = viScanfBlock(vi, "%t", reinterpret_cast<ViBuf>(buf.data()), arg, &got);
            expected = model.scan(arg, &want);
        }
        if (st != expected || got != ViUInt32(want.size()) || got > arg) {
            std::fprintf(stderr, "%s of %u: status %08x, %u bytes; expected %08x, %u bytes\n",
                         kind == 1 ? "viRead" : "viScanfBlock", unsigned(arg), unsigned(st), unsigned(got),
                         unsigned(expected), unsigned(want.size()));
            std::abort();
        }
        if (std::memcmp(buf.constData(), want.constData(), size_t(want.size())) != 0 || buf.back() != '\xA5')
            std::abort();
    }
    // Nothing more comes than was sent.
    if (model.empty() && !model.asrl) {
        char b[4];
        ViUInt32 got = 0;
        if (viRead(vi, reinterpret_cast<ViBuf>(b), sizeof b, &got) != VI_ERROR_TMO || got != 0)
            std::abort();
    }
    viClose(rm);
    resetVisa();
    if (gPeer >= 0)
        ::close(gPeer);
    gPeer = -1;
    if (master >= 0)
        ::close(master);
    if (slave >= 0)
        ::close(slave);
    setAppClock(nullptr);
    return 0;
}
