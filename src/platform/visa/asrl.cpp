#include "platform/visa/asrl.h"

#include "platform/clock.h"
#include "platform/serialport/serialdevices.h"
#include "platform/visa/fdwait.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct BaudEntry {
    ViUInt32 rate;
    speed_t code;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

bool speedOf(ViAttrState rate, speed_t *code)
{
    for (const BaudEntry &e : kBauds) {
        if (e.rate == rate) {
            *code = e.code;
            return true;
        }
    }
    return false;
}

ViStatus statusFromErrno(int err)
{
    switch (err) {
    case EIO:
    case ENODEV:
    case ENXIO:
        return VI_ERROR_CONN_LOST; // the device went away (or a pty lost its master)
    default:
        return VI_ERROR_IO;
    }
}

// Devices whose last read timed out with its reply still to come, and until
// when (appClock() ms) that reply is awaited before the next write. Kept per
// device, not per session: a session opened again on the device (a connect
// after the failure) still finishes it.
QHash<QString, qint64> &givenUpReplies()
{
    static QHash<QString, qint64> h;
    return h;
}

class AsrlInstrument final : public VisaInstrument {
public:
    AsrlInstrument(int fd, QString path) : fd_(fd), path_(std::move(path)) {}
    ~AsrlInstrument() override { ::close(fd_); }

    bool configure(ViUInt32 baud)
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0)
            return false;
        speed_t code;
        if (!speedOf(baud, &code))
            return false;
        ::cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
        if (::tcsetattr(fd_, TCSANOW, &t) != 0)
            return false;
        baud_ = baud;
        return true;
    }

    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        // A line starts a new exchange: what is left of an earlier reply is
        // never read as its reply.
        finishGivenUpReply();
        dropUnread();
        const qint64 deadline = fdDeadline(timeoutMs);
        ViUInt32 done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_, buf + done, count - done);
            if (n > 0) {
                done += static_cast<ViUInt32>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                *retCount = done;
                return statusFromErrno(errno);
            }
            const FdWait w = waitForFd(fd_, POLLOUT, deadline);
            if (w != FdWait::Ready) {
                *retCount = done;
                return w == FdWait::TimedOut ? VI_ERROR_TMO : VI_ERROR_IO;
            }
        }
        *retCount = done;
        return VI_SUCCESS;
    }

    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        const qint64 deadline = fdDeadline(timeoutMs);
        ViUInt32 out = 0;
        for (;;) {
            // Hand out held bytes up to an LF or the count.
            while (out < count && head_ < held_.size()) {
                const ViByte b = static_cast<ViByte>(held_.at(head_++));
                buf[out++] = b;
                if (b == '\n') {
                    compact();
                    *retCount = out;
                    return VI_SUCCESS;
                }
            }
            compact();
            if (out == count) {
                *retCount = out;
                return VI_SUCCESS_MAX_CNT;
            }
            const FdWait w = waitForFd(fd_, POLLIN, deadline);
            if (w != FdWait::Ready) {
                *retCount = out;
                if (w == FdWait::TimedOut && deadline >= 0) {
                    // The reply may still come: it is awaited once more as
                    // long before the next line goes out.
                    givenUpReplies().insert(path_, appClock().nowMs() + qint64(timeoutMs));
                }
                return w == FdWait::TimedOut ? VI_ERROR_TMO : VI_ERROR_IO;
            }
            char chunk[4096];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n > 0) {
                held_.append(chunk, n);
            } else if (n == 0) {
                *retCount = out;
                return VI_ERROR_CONN_LOST;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                *retCount = out;
                return statusFromErrno(errno);
            }
        }
    }

    ViStatus clear() override
    {
        held_.clear();
        head_ = 0;
        ::tcflush(fd_, TCIOFLUSH);
        return VI_SUCCESS;
    }

    ViStatus setAttribute(ViAttr attr, ViAttrState value) override
    {
        if (attr != VI_ATTR_ASRL_BAUD)
            return VI_ERROR_NSUP_ATTR;
        speed_t code;
        if (!speedOf(value, &code))
            return VI_ERROR_NSUP_ATTR_STATE;
        return configure(static_cast<ViUInt32>(value)) ? VI_SUCCESS : VI_ERROR_NSUP_ATTR_STATE;
    }

    ViStatus getAttribute(ViAttr attr, ViAttrState *value) override
    {
        if (attr != VI_ATTR_ASRL_BAUD)
            return VI_ERROR_NSUP_ATTR;
        *value = baud_;
        return VI_SUCCESS;
    }

private:
    // Reads and drops what comes until the reply given up has ended (an LF)
    // or has been awaited as long as its read was.
    void finishGivenUpReply()
    {
        const auto it = givenUpReplies().constFind(path_);
        if (it == givenUpReplies().constEnd())
            return;
        const qint64 until = it.value();
        givenUpReplies().remove(path_);
        if (held_.indexOf('\n', head_) >= 0)
            return;
        while (appClock().nowMs() < until) {
            if (waitForFd(fd_, POLLIN, until) != FdWait::Ready)
                return;
            char chunk[4096];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n > 0) {
                held_.append(chunk, n);
                if (QByteArrayView(chunk, n).contains('\n'))
                    return;
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                return;
            }
        }
    }

    // Drops what the session holds and the device has delivered unread.
    void dropUnread()
    {
        held_.clear();
        head_ = 0;
        char chunk[4096];
        while (::read(fd_, chunk, sizeof chunk) > 0) {
        }
    }

    void compact()
    {
        if (head_ >= held_.size()) {
            held_.clear();
            head_ = 0;
        } else if (head_ > 65536 && head_ > held_.size() / 2) {
            held_.remove(0, head_);
            head_ = 0;
        }
    }

    int fd_;
    QString path_;
    ViUInt32 baud_ = 9600;
    QByteArray held_; // received and not yet handed out, from head_ on
    qsizetype head_ = 0;
};

} // namespace

QString asrlDevicePath(const QString &resource)
{
    static const QRegularExpression form(QStringLiteral("\\AASRL(\\d+|/.+?)(?:::INSTR)?\\z"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = form.match(resource);
    if (!m.hasMatch())
        return QString();
    const QString what = m.captured(1);
    if (what.startsWith(QLatin1Char('/')))
        return what.contains(QStringLiteral("::")) ? QString() : what;
    bool ok = false;
    const int n = what.toInt(&ok);
    const QStringList ports = serialDeviceList();
    if (!ok || n < 1 || n > ports.size())
        return QString();
    return ports.at(n - 1);
}

QStringList AsrlBackend::resources()
{
    QStringList names;
    const qsizetype n = serialDeviceList().size();
    for (qsizetype i = 1; i <= n; ++i)
        names << QStringLiteral("ASRL%1::INSTR").arg(i);
    return names;
}

ViStatus AsrlBackend::open(const QString &resource, std::unique_ptr<VisaInstrument> *out)
{
    const QString path = asrlDevicePath(resource);
    if (path.isEmpty())
        return VI_ERROR_RSRC_NFOUND;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        qWarning("Cannot open %s: %s", qPrintable(path), std::strerror(err));
        if (err == ENOENT || err == ENODEV || err == ENXIO)
            return VI_ERROR_RSRC_NFOUND;
        if (err == EBUSY)
            return VI_ERROR_RSRC_BUSY;
        return VI_ERROR_SYSTEM_ERROR;
    }
    auto io = std::make_unique<AsrlInstrument>(fd, path);
    if (!io->configure(9600)) // not a terminal: not a serial port
        return VI_ERROR_RSRC_NFOUND;
    *out = std::move(io);
    return VI_SUCCESS;
}

QString AsrlBackend::identity(const QString &resource)
{
    const QString path = asrlDevicePath(resource);
    if (path.isEmpty())
        return QString();
    for (const SerialDevice &d : serialDevices())
        if (d.path == path)
            return serialDeviceText(d);
    return path;
}
