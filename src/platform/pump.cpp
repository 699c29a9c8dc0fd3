#include "platform/pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace {
std::function<void()> &hook()
{
    static std::function<void()> h;
    return h;
}

int gExchangeDepth = 0;
// A turn of the running exchange held input back (it may have).
bool gTurnHeldInput = false;

QEventLoop::ProcessEventsFlags turnFlags()
{
    QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
    if (gExchangeDepth > 0) {
        flags |= QEventLoop::ExcludeUserInputEvents;
        gTurnHeldInput = true;
    }
    return flags;
}
} // namespace

ExchangeScope::ExchangeScope()
{
    ++gExchangeDepth;
}

ExchangeScope::~ExchangeScope()
{
    if (--gExchangeDepth > 0 || !gTurnHeldInput)
        return;
    gTurnHeldInput = false;
    // Input held back during the exchange is handled by the next turn of any
    // loop; a loop asleep at this moment wakes for it.
    if (QCoreApplication::instance())
        if (QAbstractEventDispatcher *d = QAbstractEventDispatcher::instance())
            d->wakeUp();
}

bool exchangeRunning()
{
    return gExchangeDepth > 0;
}

void handlePendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(turnFlags());
}

void pumpEvents()
{
    if (hook()) {
        hook()();
        return;
    }
    QCoreApplication::processEvents(turnFlags(), 10);
}

void waitEvents(int maxMs)
{
    if (hook()) {
        hook()();
        return;
    }
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        if (maxMs > 0)
            QThread::msleep(static_cast<unsigned long>(maxMs));
        return;
    }
    if (maxMs <= 0) {
        QCoreApplication::processEvents(turnFlags());
        return;
    }
    // The deadline is an event of its own: the wait below ends at the first
    // event that comes, this one at the latest.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(maxMs);
    QCoreApplication::processEvents(turnFlags() | QEventLoop::WaitForMoreEvents);
}

void setPump(std::function<void()> pump)
{
    hook() = std::move(pump);
}
