#include "platform/clock.h"

#include "platform/pump.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {

qint64 monotonicNs()
{
    static QElapsedTimer origin = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return origin.nsecsElapsed();
}

class RealTimer final : public ClockTimer {
public:
    RealTimer()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout)
                onTimeout();
        });
    }
    void start(int ms) override
    {
        timer_.setSingleShot(singleShot_);
        timer_.start(std::max(0, ms));
    }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

} // namespace

RealClock::RealClock() : startNs_(monotonicNs()) {}

RealClock::RealClock(std::function<qint64()> nowNs) : nowNs_(std::move(nowNs)), startNs_(nowNs_ ? nowNs_() : monotonicNs())
{
}

void RealClock::pause(int ms)
{
    pauseInEventLoop(ms, *this);
}

qint64 RealClock::nowMs() const
{
    return ((nowNs_ ? nowNs_() : monotonicNs()) - startNs_) / 1000000;
}

std::unique_ptr<ClockTimer> RealClock::makeTimer()
{
    return std::make_unique<RealTimer>();
}

class VirtualTimer final : public ClockTimer {
public:
    explicit VirtualTimer(VirtualClock *owner) : owner_(owner) { owner_->timers_.push_back(this); }
    ~VirtualTimer() override
    {
        if (owner_) {
            auto &v = owner_->timers_;
            v.erase(std::remove(v.begin(), v.end(), this), v.end());
        }
    }
    void start(int ms) override
    {
        interval_ = std::max(0, ms);
        active_ = true;
        due_ = (owner_ ? owner_->now_ : 0) + std::max(1, interval_);
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }
    int interval() const override { return interval_; }

    VirtualClock *owner_;
    int interval_ = 0;
    bool active_ = false;
    qint64 due_ = 0;
};

VirtualClock::VirtualClock() = default;

VirtualClock::~VirtualClock()
{
    for (VirtualTimer *t : timers_)
        t->owner_ = nullptr;
}

void VirtualClock::pause(int ms)
{
    if (ms <= 0)
        return;
    paused_ += ms;
    advance(ms);
}

std::unique_ptr<ClockTimer> VirtualClock::makeTimer()
{
    return std::make_unique<VirtualTimer>(this);
}

int VirtualClock::activeTimers() const
{
    return static_cast<int>(std::count_if(timers_.begin(), timers_.end(),
                                          [](const VirtualTimer *t) { return t->active_; }));
}

void VirtualClock::advance(qint64 ms)
{
    const qint64 end = now_ + std::max<qint64>(0, ms);
    if (firing_) {
        // A timer handler that pauses: time moves, the outer loop fires the rest.
        now_ = end;
        return;
    }
    firing_ = true;
    for (;;) {
        VirtualTimer *next = nullptr;
        for (VirtualTimer *t : timers_)
            if (t->active_ && t->due_ <= end && (!next || t->due_ < next->due_))
                next = t;
        if (!next)
            break;
        now_ = std::max(now_, next->due_);
        if (next->isSingleShot())
            next->active_ = false;
        else
            next->due_ = now_ + std::max(1, next->interval_);
        auto handler = next->onTimeout; // the handler may delete the timer
        if (handler)
            handler();
        if (now_ > end)
            break;
    }
    now_ = std::max(now_, end);
    firing_ = false;
}

namespace {
Clock *g_clock = nullptr;
}

Clock &appClock()
{
    if (!g_clock) {
        static RealClock real;
        return real;
    }
    return *g_clock;
}

void setAppClock(Clock *c)
{
    g_clock = c;
}
