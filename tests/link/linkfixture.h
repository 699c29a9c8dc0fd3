#pragma once
// Common set-up of the link tests: a fresh program state, the virtual clock,
// the scripted dialogs, a VISA table holding only the in-process simulator,
// the serial stand-in on the same simulator, and a pump that delivers the
// stand-in's bytes and moves the clock on.

#include "app/appstate.h"
#include "link/link.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "sim/qm4100sim.h"
#include "sim/simserial.h"
#include "sim/simvisabackend.h"
#include "texts/loadlanguage.h"
#include "values/valuereply.h"

#include <QtTest>
#include <memory>

inline const char *const SimUsb1 = "USB0::0xFFFF::0x4100::SN000001::INSTR";
inline const char *const SimUsb2 = "USB0::0xFFFF::0x4100::SN000002::INSTR";
inline const char *const SimAsrl1 = "ASRL1::INSTR";

struct LinkFixture {
    VirtualClock clock;
    ScriptedUi fakeUi;
    Qm4100Sim sim;
    std::shared_ptr<SimVisaBackend> backend = std::make_shared<SimVisaBackend>();
    std::unique_ptr<SimSerial> serial;

    // lang: the language of the message texts (0 Chinese, 1 English).
    explicit LinkFixture(int lang = 1)
    {
        resetApp();
        setAppClock(&clock);
        setUi(&fakeUi);
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        registerVisaBackend(backend);
        OpenVisaRM();
        serial = std::make_unique<SimSerial>(&sim);
        setCommControl(serial.get());
        setPump([this] { serial->pumpOnce(clock); });
        setResourceChooser({});
    }
    ~LinkFixture()
    {
        setResourceChooser({});
        setCommControl(nullptr);
        setPump({});
        resetVisa();
        setUi(nullptr);
        setAppClock(nullptr);
        resetApp();
    }

    // Link kinds.
    void useSerial() { app().link.IoType = IoTypeSerial; }
    void useVisa(const char *resource = SimUsb1)
    {
        app().link.IoType = 0;
        if (!backend->resource(QString::fromLatin1(resource)))
            backend->addResource(QString::fromLatin1(resource), &sim);
    }

    // Connects over the link kind chosen and forgets the connect's lines and
    // messages. Returns LinkConnected.
    bool connect()
    {
        ConnectInstrument();
        sim.clearLog();
        fakeUi.clear();
        return app().link.LinkConnected != 0;
    }

    QList<QByteArray> lines() const { return sim.lines(); }
};
