#pragma once
// Waiting for a file descriptor with a deadline measured on appClock(), in
// the event loop.
//
// A wait is an exchange with the instrument (an ExchangeScope, platform/pump.h):
// the windows repaint, menus and typing go on, the input gate holds what
// could start a second exchange, and an abandon (Stop, Disconnect, closing)
// ends the wait at once when the caller lets it.
// - With the real clock the wait sleeps in the event loop (waitEvents) until
//   the descriptor is ready (a socket notifier wakes it), the deadline passes
//   or the exchange is abandoned; it never keeps a core busy. Without an
//   application object there is no event loop: one poll() for the time left.
// - With any other clock (the tests' virtual clock) each turn handles the
//   events (pumpEvents: a test's replacement pump), polls briefly in real time
//   (kFdRealSliceMs) for bytes that a peer (a pseudo-terminal, a simulator
//   process) may be about to deliver, and when none came moves the clock on
//   by up to kFdVirtualStepMs. A 10000 ms time-out thus costs about 200 ms of
//   real time under a virtual clock, and bytes already waiting are seen at
//   once.

#include <QtGlobal>

#include <memory>

class QSocketNotifier;

constexpr int kFdRealSliceMs = 5;
constexpr int kFdVirtualStepMs = 250;

enum class FdWait {
    Ready,     // the descriptor is ready (or reports hang-up or an error: the next call tells which)
    TimedOut,  // the deadline passed
    Abandoned, // the exchange was abandoned
    Failed,    // poll failed or the descriptor is not open
};

// The waits of one descriptor (which it does not own). Destroy it before the
// descriptor is closed.
class FdWaiter {
public:
    explicit FdWaiter(int fd);
    ~FdWaiter();
    FdWaiter(const FdWaiter &) = delete;
    FdWaiter &operator=(const FdWaiter &) = delete;

    enum class OnAbandon { Ends, GoesOn };
    // Waits for events (POLLIN or POLLOUT) until deadlineMs on appClock(); a
    // negative deadline waits without limit. With OnAbandon::Ends an abandon
    // ends the wait (Abandoned); with GoesOn it waits on (a line already
    // begun goes out whole). *revents (may be null) receives what poll
    // reported.
    FdWait wait(short events, qint64 deadlineMs, OnAbandon abandon, short *revents = nullptr);

private:
    // Sleeps in the event loop for at most ms, woken when the descriptor is
    // ready for events.
    void sleepInEventLoop(short events, int ms);

    int fd_;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
};

// The deadline on appClock() of a wait of timeoutMs (VI_TMO_INFINITE: -1).
qint64 fdDeadline(quint32 timeoutMs);
