#include "platform/pump.h"

#include <QCoreApplication>
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
    if (maxMs <= 0 || !QCoreApplication::instance()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return;
    }
    // The timer's event ends the sleep when nothing else comes first.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void setPump(std::function<void()> pump)
{
    hook() = std::move(pump);
}
