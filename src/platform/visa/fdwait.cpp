#include "platform/visa/fdwait.h"

#include "platform/clock.h"

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

FdWait waitForFd(int fd, short events, qint64 deadlineMs, short *revents)
{
    if (revents)
        *revents = 0;
    if (fd < 0)
        return FdWait::Failed;
    const bool realTime = dynamic_cast<RealClock *>(&appClock()) != nullptr;
    for (;;) {
        const qint64 now = appClock().nowMs();
        const bool last = deadlineMs >= 0 && now >= deadlineMs;
        int pollMs;
        if (last)
            pollMs = 0;
        else if (!realTime)
            pollMs = kFdRealSliceMs;
        else if (deadlineMs < 0)
            pollMs = -1;
        else
            pollMs = static_cast<int>(std::min<qint64>(deadlineMs - now, INT_MAX));

        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, pollMs);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return FdWait::Failed;
        }
        if (r > 0) {
            if (revents)
                *revents = p.revents;
            return (p.revents & POLLNVAL) ? FdWait::Failed : FdWait::Ready;
        }
        if (last)
            return FdWait::TimedOut;
        if (!realTime) {
            const qint64 step = deadlineMs < 0 ? kFdVirtualStepMs
                                               : std::min<qint64>(kFdVirtualStepMs, deadlineMs - now);
            appClock().pause(static_cast<int>(step));
        }
    }
}
