#pragma once
// Waiting for a file descriptor with a time-out measured on appClock().
//
// With the real clock this is one poll() for the time left. With any other
// clock (the tests' virtual clock) each turn polls briefly in real time
// (kFdRealSliceMs) for bytes that a peer (a socket pair, a pseudo-terminal, a
// simulator process) may be about to deliver, and when none came moves the
// clock on by up to kFdVirtualStepMs. A 10000 ms time-out thus costs about
// 200 ms of real time under a virtual clock, and bytes already waiting are
// seen at once.

#include <QtGlobal>

constexpr int kFdRealSliceMs = 5;
constexpr int kFdVirtualStepMs = 250;

enum class FdWait {
    Ready,    // the descriptor is ready (or reports hang-up or an error: the next call tells which)
    TimedOut, // the deadline passed
    Failed,   // poll failed or the descriptor is not open
};

// Waits for events (POLLIN or POLLOUT) on fd until deadlineMs on appClock();
// a negative deadline waits without limit. *revents (may be null) receives
// what poll reported.
FdWait waitForFd(int fd, short events, qint64 deadlineMs, short *revents = nullptr);

// The deadline on appClock() of a wait of timeoutMs (VI_TMO_INFINITE: -1).
qint64 fdDeadline(quint32 timeoutMs);
