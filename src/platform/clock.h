#pragma once
// The one clock of the program: the instrument's pauses, the 100 ms tick
// counter, and one-shot or repeating timers. The program runs on RealClock,
// whose pauses wait in the event loop (pauseInEventLoop, platform/pump.h);
// tests install a VirtualClock so that no test waits real time.

#include <QtGlobal>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

class ClockTimer {
public:
    virtual ~ClockTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;
    void setSingleShot(bool one) { singleShot_ = one; }
    bool isSingleShot() const { return singleShot_; }
    // Called on every expiry, from the event loop (real clock) or from
    // VirtualClock::advance (test clock).
    std::function<void()> onTimeout;

protected:
    bool singleShot_ = false;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The pause of ms milliseconds the instrument is given (after a command,
    // pacing, the upload's settling time).
    virtual void pause(int ms) = 0;
    // Milliseconds since the clock started.
    virtual qint64 nowMs() const = 0;
    // The 100 ms tick counter the time-outs count in.
    qint64 ticks() const { return nowMs() / 100; }
    virtual std::unique_ptr<ClockTimer> makeTimer() = 0;
};

class RealClock final : public Clock {
public:
    RealClock();
    // A clock that reads the time from nowNs (monotonic nanoseconds) in place
    // of the system's: its pauses are measured on that time (for tests that
    // show a pause's length without waiting it). Its timers stay real.
    explicit RealClock(std::function<qint64()> nowNs);
    // Waits in the event loop under the input gate (pauseInEventLoop).
    void pause(int ms) override;
    qint64 nowMs() const override;
    std::unique_ptr<ClockTimer> makeTimer() override;

private:
    std::function<qint64()> nowNs_;
    qint64 startNs_;
};

class VirtualClock final : public Clock {
public:
    VirtualClock();
    ~VirtualClock() override;
    // A pause moves virtual time on by ms (firing any timers that fall due).
    void pause(int ms) override;
    qint64 nowMs() const override { return now_; }
    std::unique_ptr<ClockTimer> makeTimer() override;

    // Moves time on by ms, firing due timers in the order they fall due.
    void advance(qint64 ms);
    // Total of all pauses taken so far (ms).
    qint64 pausedMs() const { return paused_; }
    // Number of timers currently running.
    int activeTimers() const;

private:
    friend class VirtualTimer;
    qint64 now_ = 0;
    qint64 paused_ = 0;
    bool firing_ = false;
    std::vector<class VirtualTimer *> timers_;
};

// The clock in force. RealClock unless a test installs another.
Clock &appClock();
// Installs c (not owned) as the clock in force; nullptr restores the real clock.
void setAppClock(Clock *c);
