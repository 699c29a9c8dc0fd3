#pragma once
// The "sim" VISA backend: resources served by Qm4100Sim cores in this process,
// registered by tests.
//
//   Qm4100Sim sim;
//   auto backend = std::make_shared<SimVisaBackend>();
//   backend->addResource("USB0::0xFFFF::0x4100::SN000001::INSTR", &sim);
//   backend->addResource("ASRL1::INSTR", &sim);
//   registerVisaBackend(backend);
//
// A resource whose name begins with "USB" is message-based and gets the
// simulator's VisaUsb framing: a read ends at the end of a reply (VI_SUCCESS;
// each piece of a split reply is a message of its own) or at the count
// (VI_SUCCESS_MAX_CNT, the rest stays). Any other name is serial-kind and gets
// the VisaSerial framing: a byte stream whose reads end at an LF (stored,
// VI_SUCCESS) or at the count (VI_SUCCESS_MAX_CNT). In both, a read with no
// reply to give waits out the session time-out on appClock() and returns
// VI_ERROR_TMO; a late reply (the delay fault) waits on appClock() too.
// viClear drops what is held and counts a device clear in the simulator.
//
// Faults of the transport itself, per resource: a refused open, failing
// writes, failing reads.

#include "platform/visa/visabackend.h"

#include <QList>
#include <QString>
#include <memory>

class Qm4100Sim;

class SimVisaBackend final : public VisaBackend {
public:
    struct Resource {
        QString name;
        Qm4100Sim *sim = nullptr;   // not owned
        bool usb = true;
        ViStatus openStatus = VI_SUCCESS;   // anything else: viOpen fails with it
        ViStatus writeStatus = VI_SUCCESS;  // anything else: writes fail with it, nothing reaches the simulator
        ViStatus readStatus = VI_SUCCESS;   // anything else: reads fail with it, nothing is taken
        ViAttrState baud = 9600;            // serial-kind: the last VI_ATTR_ASRL_BAUD set
        int opens = 0;                      // successful opens
    };

    QString name() const override { return QStringLiteral("sim"); }
    QStringList resources() override;
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override;
    // The simulator's answer to "*IDN?".
    QString identity(const QString &resource) override;

    // Adds a resource served by sim (not owned; it must outlive the sessions).
    // Returns it for fault settings.
    Resource &addResource(const QString &name, Qm4100Sim *sim);
    // The resource of that name (matched without regard to case), or null.
    Resource *resource(const QString &name);
    void removeResource(const QString &name);

private:
    QList<std::shared_ptr<Resource>> resources_;
};
