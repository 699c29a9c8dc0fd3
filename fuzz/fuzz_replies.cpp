// Feeds arbitrary instrument replies to the program's reply readers, through a
// VISA USB resource that answers every query with the next reply of the input:
//
//   byte 0: the reader (its value modulo 4)
//     0  the connect's identification ("*IDN?" and the MATH display query)
//     1  the measurement request of CH1 or CH2 (bit 2 of byte 0)
//     2  the settings download
//     3  the pattern reply parser, on each reply
//   then the replies, separated by NUL bytes, each given as it stands (no
//   line feed is added); an empty reply is a time-out, and so is every query
//   after the last reply. Readers 1 and 2 connect to an instrument that
//   identifies itself properly first.
//
// Invariants: no settings member, measurement text, info line or pattern
// code holds a line break, or the text "inf" or "nan" when no reply held it;
// the sanitizers watch every read and write.

#include "app/appstate.h"
#include "common/ctrlsettings.h"
#include "transfer/transferrunner.h"
#include "transfer/uploaddownload.h"
#include "values/triggerhelpers.h"

#include "scriptedlink.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

namespace {

using fuzzlink::Script;

void check(const QString &t, bool infNanAllowed)
{
    if (fuzzlink::badText(t, infNanAllowed))
        std::abort();
}

void checkSettings(bool infNanAllowed)
{
    const CtrlSettings &s = app().Settings;
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text) {
            check(s.*(f.text), infNanAllowed);
        } else {
            for (const QString &t : s.*(f.array))
                check(t, infNanAllowed);
        }
    }
}

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication qapp(*argc, *argv);
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int reader = data[0] % 4;
    const bool ch2 = (data[0] & 4) != 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const bool infNanAllowed = fuzzlink::mentionsInfNan(body);

    Script script;
    fuzzlink::takeReplies(body, &script);

    if (reader == 3) {
        for (const QByteArray &r : script.replies) {
            CtrlSettings::LAArray codes{};
            const QString rest = ParsePatternReply(QString::fromLatin1(r), codes);
            for (const QString &c : codes)
                check(c, infNanAllowed);
            (void)rest;
        }
        return 0;
    }

    resetApp();
    setAppClock(gClock);
    gUi->clear();
    setUi(gUi);
    ApplyLanguage(1);
    app().Settings.reset();
    setPump([] { gClock->advance(10); });
    resetVisa();
    unregisterVisaBackend(QStringLiteral("usbtmc"));
    unregisterVisaBackend(QStringLiteral("asrl"));
    registerVisaBackend(std::make_shared<fuzzlink::ScriptedBackend>(&script));
    app().link.IoType = 0;
    OpenVisaRM();

    script.ownIdentity = reader == 0;
    ConnectInstrument();
    if (reader == 0) {
        checkSettings(infNanAllowed);
    } else if (app().link.LinkConnected) {
        InstallSettingsTransfer();
        app().transfer.RequestKind = reader == 1 ? (ch2 ? 2 : 1) : 23;
        TransferRunner runner;
        runner.load();
        runner.dispatch();
        if (reader == 1) {
            for (const MeasItem &m : app().xfer.MeasSlot)
                check(m.Value, infNanAllowed);
            check(app().xfer.MeasInfo, infNanAllowed);
        } else {
            checkSettings(infNanAllowed);
        }
    }
    fuzzlink::disconnect();
    return 0;
}
