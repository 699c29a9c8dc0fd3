#include "platform/pump.h"

#include <QCoreApplication>

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

void setPump(std::function<void()> pump)
{
    hook() = std::move(pump);
}
