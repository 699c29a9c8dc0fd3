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
} // namespace

void pumpEvents()
{
    if (hook()) {
        hook()();
        return;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
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
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The deadline is an event of its own: the wait below ends at the first
    // event that comes, this one at the latest.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void setPump(std::function<void()> pump)
{
    hook() = std::move(pump);
}
