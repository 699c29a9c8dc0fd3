#include "platform/visa/usbtmcsession.h"

#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/visa/fdwait.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include <linux/usb/tmc.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Kind { KindWrite, KindRead, KindClear, KindClose };

// The longest a turn of a wait under a virtual clock waits in real time for
// the thread once the deadline has passed (the stand-in ends its operation
// at once when told; the virtual clock then stands still).
constexpr int PastDeadlineRealMs = 1000;

void drain(int eventFd)
{
    std::uint64_t v = 0;
    while (::read(eventFd, &v, sizeof v) == ssize_t(sizeof v)) {
    }
}

void signal(int eventFd)
{
    const std::uint64_t one = 1;
    while (::write(eventFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

} // namespace

struct UsbtmcSession::Op {
    // Set before the operation is queued, read by the thread.
    quint64 id = 0;
    int kind = KindWrite;
    QByteArray out;
    quint32 max = 0;
    quint32 driverMs = 0;
    // The user-interface thread's own.
    qint64 deadline = -1;
    bool endAsked = false;
    // Under the mutex.
    bool started = false;
    bool done = false;
    Result result;
};

struct UsbtmcSession::Shared {
    ~Shared()
    {
        if (doneFd >= 0)
            ::close(doneFd);
        if (cancelFd >= 0)
            ::close(cancelFd);
    }

    int fd = -1;
    bool socket = false;
    int doneFd = -1;   // the thread ended an operation
    int cancelFd = -1; // the stand-in: an operation's deadline has passed
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::shared_ptr<Op>> queue; // not started yet
    std::set<quint64> ended;                // operations whose deadline has passed
    quint64 nextId = 1;
    // The user-interface thread's own: operations given up, still running or queued.
    std::vector<std::shared_ptr<Op>> givenUp;

    bool endedNow(quint64 id)
    {
        const std::lock_guard<std::mutex> lock(m);
        return ended.count(id) != 0;
    }
};

struct UsbtmcSession::Notifier {
    explicit Notifier(int fd) : notifier(fd, QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, [fd] { drain(fd); });
    }
    QSocketNotifier notifier;
};

namespace {

// The stand-in: waits for the socket to be ready for events, or for the
// session to end the operation at its deadline; once ended, only what is
// ready at once is taken. -1 with errno set, 0 ended, 1 ready.
int waitSocket(UsbtmcSession::Shared &s, quint64 id, short events, short *revents)
{
    for (;;) {
        const bool ended = s.endedNow(id);
        pollfd p[2] = {{s.fd, events, 0}, {s.cancelFd, POLLIN, 0}};
        const int r = ::poll(p, ended ? 1 : 2, ended ? 0 : -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (p[0].revents) {
            if (p[0].revents & POLLNVAL) {
                errno = EBADF;
                return -1;
            }
            *revents = p[0].revents;
            return 1;
        }
        if (ended)
            return 0;
        if (p[1].revents & POLLIN)
            drain(s.cancelFd);
    }
}

// Waits for the socket as waitSocket does; when it is not ready, the
// operation's error (the wait's, or ETIMEDOUT once ended) goes into r.
bool socketReady(UsbtmcSession::Shared &s, quint64 id, short events, short *revents,
                 UsbtmcSession::Result &r)
{
    const int w = waitSocket(s, id, events, revents);
    if (w > 0)
        return true;
    r.err = w < 0 ? errno : ETIMEDOUT;
    return false;
}

UsbtmcSession::Result socketWrite(UsbtmcSession::Shared &s, const UsbtmcSession::Op &op);
UsbtmcSession::Result socketRead(UsbtmcSession::Shared &s, const UsbtmcSession::Op &op);

} // namespace

namespace {

void setDriverTimeout(int fd, quint32 ms)
{
    __u32 v = ms;
    ::ioctl(fd, USBTMC_IOCTL_SET_TIMEOUT, &v);
}

UsbtmcSession::Result kernelWrite(int fd, const UsbtmcSession::Op &op)
{
    UsbtmcSession::Result r;
    setDriverTimeout(fd, op.driverMs);
    qint64 done = 0;
    while (done < op.out.size()) {
        const ssize_t n = ::write(fd, op.out.constData() + done, size_t(op.out.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.err = errno;
            break;
        }
        done += n;
    }
    r.written = done;
    return r;
}

UsbtmcSession::Result kernelRead(int fd, const UsbtmcSession::Op &op)
{
    UsbtmcSession::Result r;
    setDriverTimeout(fd, op.driverMs);
    QByteArray chunk(qsizetype(op.max), '\0');
    ssize_t n;
    do {
        n = ::read(fd, chunk.data(), op.max);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        r.err = errno;
        return r;
    }
    chunk.truncate(n);
    r.data = chunk;
    if (quint32(n) < op.max) {
        r.end = true;
    } else {
        __u8 attr = 0;
        r.end = ::ioctl(fd, USBTMC_IOCTL_MSG_IN_ATTR, &attr) == 0 && (attr & 1);
    }
    return r;
}

UsbtmcSession::Result socketClear(int fd)
{
    // Every packet waiting, empty ones included: an empty packet reads as 0
    // bytes, as the end of a closed peer does; poll tells them apart.
    char scratch[4096];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            break;
        const ssize_t n = ::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT);
        if (n < 0 || (n == 0 && (p.revents & POLLHUP)))
            break;
    }
    return {};
}

} // namespace

namespace {

UsbtmcSession::Result perform(UsbtmcSession::Shared &s, const UsbtmcSession::Op &op)
{
    UsbtmcSession::Result r;
    switch (op.kind) {
    case KindWrite: return s.socket ? socketWrite(s, op) : kernelWrite(s.fd, op);
    case KindRead: return s.socket ? socketRead(s, op) : kernelRead(s.fd, op);
    case KindClear:
        if (s.socket)
            return socketClear(s.fd);
        if (::ioctl(s.fd, USBTMC_IOCTL_CLEAR) < 0)
            r.err = errno;
        return r;
    case KindClose:
        ::close(s.fd);
        s.fd = -1;
        return r;
    }
    return r;
}

UsbtmcSession::Result socketWrite(UsbtmcSession::Shared &s, const UsbtmcSession::Op &op)
{
    UsbtmcSession::Result r;
    for (;;) {
        short ev = 0;
        if (!socketReady(s, op.id, POLLOUT, &ev, r))
            return r;
        const ssize_t n = ::send(s.fd, op.out.constData(), size_t(op.out.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            r.written = n;
            return r;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            r.err = errno;
            return r;
        }
    }
}

UsbtmcSession::Result socketRead(UsbtmcSession::Shared &s, const UsbtmcSession::Op &op)
{
    UsbtmcSession::Result r;
    for (;;) {
        short ev = 0;
        if (!socketReady(s, op.id, POLLIN, &ev, r))
            return r;
        const ssize_t size = ::recv(s.fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            r.err = errno;
            return r;
        }
        if (size == 0 && (ev & POLLHUP)) {
            r.err = ENOTCONN;
            return r;
        }
        QByteArray packet(std::max<qsizetype>(size, 1), '\0');
        const ssize_t n = ::recv(s.fd, packet.data(), size_t(packet.size()), MSG_DONTWAIT);
        if (n < 0) {
            r.err = errno;
            return r;
        }
        packet.truncate(n);
        r.data = packet;
        r.end = true;
        return r;
    }
}

std::mutex gHoldMutex;
std::condition_variable gHoldCv;
bool gReadsHeld = false;

bool readsHeld()
{
    const std::lock_guard<std::mutex> lock(gHoldMutex);
    return gReadsHeld;
}

void waitReadsReleased()
{
    std::unique_lock<std::mutex> lock(gHoldMutex);
    gHoldCv.wait(lock, [] { return !gReadsHeld; });
}

void runSession(std::shared_ptr<UsbtmcSession::Shared> s)
{
    for (;;) {
        std::shared_ptr<UsbtmcSession::Op> op;
        {
            std::unique_lock<std::mutex> lock(s->m);
            s->cv.wait(lock, [&] { return !s->queue.empty(); });
            if (s->queue.front()->kind == KindRead && readsHeld()) {
                lock.unlock();
                waitReadsReleased();
                continue;
            }
            op = s->queue.front();
            s->queue.pop_front();
            op->started = true;
        }
        UsbtmcSession::Result r = perform(*s, *op);
        {
            const std::lock_guard<std::mutex> lock(s->m);
            op->result = std::move(r);
            op->done = true;
            s->ended.erase(op->id);
        }
        signal(s->doneFd);
        if (op->kind == KindClose)
            return;
    }
}

bool onRealClock()
{
    return dynamic_cast<RealClock *>(&appClock()) != nullptr;
}

} // namespace

UsbtmcSession::UsbtmcSession(int fd) : shared_(std::make_shared<Shared>())
{
    Shared &s = *shared_;
    s.fd = fd;
    struct stat st{};
    s.socket = ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
    s.doneFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    s.cancelFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::thread(runSession, shared_).detach();
}

UsbtmcSession::~UsbtmcSession()
{
    notifier_.reset();
    Shared &s = *shared_;
    {
        const std::lock_guard<std::mutex> lock(s.m);
        // The stand-in has no driver to end a read given up at its deadline,
        // and nobody is left to: it ends now. Writes and clears queued behind
        // it still go out, as they do on the kernel device.
        if (s.socket) {
            for (const auto &op : s.givenUp)
                if (op->kind == KindRead)
                    s.ended.insert(op->id);
            signal(s.cancelFd);
        }
        s.givenUp.clear();
        auto close = std::make_shared<Op>();
        close->id = s.nextId++;
        close->kind = KindClose;
        s.queue.push_back(close);
    }
    s.cv.notify_one();
}

void UsbtmcSession::holdReadsForTest(bool hold)
{
    {
        const std::lock_guard<std::mutex> lock(gHoldMutex);
        gReadsHeld = hold;
    }
    gHoldCv.notify_all();
}

bool UsbtmcSession::isSocket() const
{
    return shared_->socket;
}

std::shared_ptr<UsbtmcSession::Op> UsbtmcSession::submit(int kind, const QByteArray &bytes, quint32 max,
                                                          qint64 deadline)
{
    auto op = std::make_shared<Op>();
    op->kind = kind;
    op->out = bytes;
    op->max = max;
    op->deadline = deadline;
    // The driver takes at least 100 ms; no deadline becomes a very long one.
    op->driverMs = 0x7FFFFFFF;
    if (deadline >= 0)
        op->driverMs = quint32(std::clamp<qint64>(deadline - appClock().nowMs(), 100, 0x7FFFFFFF));
    Shared &s = *shared_;
    {
        const std::lock_guard<std::mutex> lock(s.m);
        op->id = s.nextId++;
        s.queue.push_back(op);
    }
    s.cv.notify_one();
    return op;
}

bool UsbtmcSession::givenUpPending()
{
    Shared &s = *shared_;
    const std::lock_guard<std::mutex> lock(s.m);
    s.givenUp.erase(std::remove_if(s.givenUp.begin(), s.givenUp.end(), [](const auto &op) { return op->done; }),
                    s.givenUp.end());
    return !s.givenUp.empty();
}

void UsbtmcSession::endOverdue()
{
    Shared &s = *shared_;
    if (!s.socket)
        return; // the driver's own time-out ends them
    const qint64 now = appClock().nowMs();
    bool any = false;
    const std::lock_guard<std::mutex> lock(s.m);
    for (const auto &op : s.givenUp) {
        if (!op->done && !op->endAsked && op->deadline >= 0 && now >= op->deadline) {
            op->endAsked = true;
            s.ended.insert(op->id);
            any = true;
        }
    }
    if (any)
        signal(s.cancelFd);
}

void UsbtmcSession::turn(qint64 until, bool pastDeadline)
{
    Shared &s = *shared_;
    // A stand-in's operation given up ends at its own deadline: wake for it.
    if (s.socket) {
        const std::lock_guard<std::mutex> lock(s.m);
        for (const auto &op : s.givenUp)
            if (!op->done && !op->endAsked && op->deadline >= 0 && (until < 0 || op->deadline < until))
                until = op->deadline;
    }
    const qint64 now = appClock().nowMs();
    if (onRealClock()) {
        const int ms = until < 0 ? INT_MAX : int(std::clamp<qint64>(until - now, 1, INT_MAX));
        if (!QCoreApplication::instance()) {
            pollfd p{s.doneFd, POLLIN, 0};
            ::poll(&p, 1, ms);
            drain(s.doneFd);
            return;
        }
        if (!notifier_)
            notifier_ = std::make_unique<Notifier>(s.doneFd);
        waitEvents(ms);
        return;
    }
    // A virtual clock: the events go on, the thread is given a moment of real
    // time, and the clock moves on when it brought nothing.
    pumpEvents();
    pollfd p{s.doneFd, POLLIN, 0};
    const int r = ::poll(&p, 1, pastDeadline ? PastDeadlineRealMs : kFdRealSliceMs);
    drain(s.doneFd);
    if (r > 0)
        return;
    const qint64 step = until < 0 ? kFdVirtualStepMs : std::min<qint64>(kFdVirtualStepMs, until - now);
    if (pastDeadline)
        appClock().pause(kFdVirtualStepMs);
    else if (step > 0)
        appClock().pause(int(step));
}

UsbtmcSession::Outcome UsbtmcSession::await(const std::shared_ptr<Op> &op, qint64 deadline, Result *out)
{
    const ExchangeScope exchange;
    Shared &s = *shared_;
    qint64 graceEnd = -1;
    for (;;) {
        endOverdue();
        {
            const std::lock_guard<std::mutex> lock(s.m);
            if (op->done) {
                *out = op->result;
                return Outcome::Done;
            }
        }
        if (exchangeAbandoned()) {
            const std::lock_guard<std::mutex> lock(s.m);
            const auto queued = std::find(s.queue.begin(), s.queue.end(), op);
            // A read not started yet whose query has gone out (no write waits
            // before it) is given up like a started one: the reply will come,
            // and it must not be the next query's.
            const bool keep =
                queued == s.queue.end() ||
                (op->kind == KindRead && std::none_of(s.queue.begin(), queued, [](const auto &q) {
                     return q->kind == KindWrite;
                 }));
            if (keep) {
                s.givenUp.push_back(op);
                // A write given up once started goes out whole: its reply, if
                // it asks for one, is still to be taken.
                if (op->kind == KindWrite)
                    out->written = op->out.size();
            }
            // What else the abandoned exchange queued and never started (a
            // write queued behind one given up, its read) goes nowhere.
            s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                                         [&](const auto &q) {
                                             return !(keep && q == op) &&
                                                    (q->kind == KindWrite || q->kind == KindRead);
                                         }),
                          s.queue.end());
            return Outcome::Abandoned;
        }
        const qint64 now = appClock().nowMs();
        if (deadline >= 0 && now >= deadline) {
            const std::lock_guard<std::mutex> lock(s.m);
            if (graceEnd < 0) {
                // Only what is ready now is taken; on the kernel device the
                // driver's time-out ends the operation by itself.
                graceEnd = now + DriverGraceMs;
                op->endAsked = true;
                s.ended.insert(op->id);
                signal(s.cancelFd);
            } else if (now >= graceEnd) {
                const auto queued = std::find(s.queue.begin(), s.queue.end(), op);
                if (queued != s.queue.end())
                    s.queue.erase(queued);
                else
                    s.givenUp.push_back(op);
                out->err = ETIMEDOUT;
                return Outcome::TimedOut;
            }
        }
        turn(graceEnd >= 0 ? graceEnd : deadline, graceEnd >= 0);
    }
}

bool UsbtmcSession::finishGivenUp(qint64 limit)
{
    const ExchangeScope exchange;
    for (;;) {
        endOverdue();
        if (!givenUpPending())
            return true;
        if (exchangeAbandoned() || appClock().nowMs() >= limit)
            return false;
        turn(limit, false);
    }
}

UsbtmcSession::Outcome UsbtmcSession::write(const QByteArray &bytes, qint64 deadline, Result *out)
{
    *out = Result();
    if (givenUpPending()) {
        const bool finished = finishGivenUp(appClock().nowMs() + FinishBeforeWriteMs);
        if (exchangeAbandoned())
            return Outcome::Abandoned; // nothing written
        if (!finished) {
            // Still held by the driver: the bytes go out after it.
            submit(KindWrite, bytes, 0, deadline);
            out->written = bytes.size();
            return Outcome::Done;
        }
    }
    return await(submit(KindWrite, bytes, 0, deadline), deadline, out);
}

UsbtmcSession::Outcome UsbtmcSession::read(quint32 max, qint64 deadline, Result *out)
{
    *out = Result();
    return await(submit(KindRead, QByteArray(), max, deadline), deadline, out);
}

UsbtmcSession::Outcome UsbtmcSession::clear(Result *out)
{
    *out = Result();
    if (givenUpPending()) {
        submit(KindClear, QByteArray(), 0, -1);
        return Outcome::Done;
    }
    return await(submit(KindClear, QByteArray(), 0, -1), -1, out);
}
