#include "sim/demoinstrument.h"

#include "platform/visa/visabackend.h"
#include "sim/qm4100sim.h"
#include "sim/simvisabackend.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>

namespace {

// Nobody reads the trial instrument's log: keep it from growing through a
// long session.
constexpr int kLogLimit = 10000;

} // namespace

Qm4100Sim &installDemoInstrument()
{
    static Qm4100Sim sim;
    auto backend = std::make_shared<SimVisaBackend>();
    backend->addResource(QString::fromLatin1(DemoResource), &sim);
    registerVisaBackend(backend);
    // The trial instrument alone: with the machine's serial ports and USB
    // devices in the search too, Connect would open the chooser first.
    unregisterVisaBackend(QStringLiteral("usbtmc"));
    unregisterVisaBackend(QStringLiteral("asrl"));
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (!app->findChild<QTimer *>(QStringLiteral("demoLogTrim"))) {
            auto *trim = new QTimer(app);
            trim->setObjectName(QStringLiteral("demoLogTrim"));
            QObject::connect(trim, &QTimer::timeout, app, [] {
                if (sim.log().size() > kLogLimit)
                    sim.clearLog();
            });
            trim->start(5000);
        }
    }
    return sim;
}
