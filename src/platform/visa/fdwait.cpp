#include "platform/visa/fdwait.h"

#include "platform/clock.h"
#include "platform/pump.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>

qint64 fdDeadline(quint32 timeoutMs)
{
    if (timeoutMs == 0xFFFFFFFFu)
        return -1;
    return appClock().nowMs() + timeoutMs;
}

FdWaiter::FdWaiter(int fd) : fd_(fd) {}

FdWaiter::~FdWaiter() = default;

void FdWaiter::sleepInEventLoop(short events, int ms)
{
    auto &slot = (events & POLLOUT) ? writable_ : readable_;
    if (!slot) {
        slot = std::make_unique<QSocketNotifier>(fd_, (events & POLLOUT) ? QSocketNotifier::Write
                                                                          : QSocketNotifier::Read);
        // It only wakes the wait: switched off at once, so that a loop
        // nested in this turn (a dialog) does not spin on a descriptor that
        // stays ready until the wait takes its bytes.
        QSocketNotifier *n = slot.get();
        QObject::connect(n, &QSocketNotifier::activated, n, [n] { n->setEnabled(false); });
    }
    slot->setEnabled(true);
    waitEvents(ms);
    slot->setEnabled(false);
}

FdWait FdWaiter::wait(short events, qint64 deadlineMs, OnAbandon abandon, short *revents)
{
    if (revents)
        *revents = 0;
    if (fd_ < 0)
        return FdWait::Failed;
    const ExchangeScope exchange;
    const bool realTime = dynamic_cast<RealClock *>(&appClock()) != nullptr;
    QCoreApplication *app = QCoreApplication::instance();
    const bool eventLoop = app && QThread::currentThread() == app->thread();
    for (;;) {
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, 0);
        if (r < 0 && errno != EINTR)
            return FdWait::Failed;
        if (r > 0) {
            if (revents)
                *revents = p.revents;
            return (p.revents & POLLNVAL) ? FdWait::Failed : FdWait::Ready;
        }
        if (abandon == OnAbandon::Ends && exchangeAbandoned())
            return FdWait::Abandoned;
        const qint64 now = appClock().nowMs();
        if (deadlineMs >= 0 && now >= deadlineMs)
            return FdWait::TimedOut;
        const qint64 left = deadlineMs < 0 ? qint64(INT_MAX) : std::min<qint64>(deadlineMs - now, INT_MAX);
        if (realTime) {
            if (eventLoop) {
                sleepInEventLoop(events, int(left));
            } else {
                pollfd q{fd_, events, 0};
                ::poll(&q, 1, deadlineMs < 0 ? -1 : int(left));
            }
            continue;
        }
        // A virtual clock: the events go on (a test's pump delivers what it
        // delivers), the peer is given a moment of real time, and the clock
        // moves on when nothing came.
        pumpEvents();
        pollfd q{fd_, events, 0};
        if (::poll(&q, 1, kFdRealSliceMs) > 0)
            continue;
        if (abandon == OnAbandon::Ends && exchangeAbandoned())
            continue;
        appClock().pause(int(std::min<qint64>(kFdVirtualStepMs, left)));
    }
}
