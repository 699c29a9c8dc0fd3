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
#include "link/link.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "texts/loadlanguage.h"
#include "transfer/transferrunner.h"
#include "transfer/uploaddownload.h"
#include "values/triggerhelpers.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>

namespace {

constexpr const char *Resource = "USB0::0xFFFF::0x4100::SN000001::INSTR";
const QByteArray GoodIdentity = "Karvo Technologies,QM4100D,SN000001,V1.02.003\n";

struct Script {
    std::deque<QByteArray> replies;
    bool ownIdentity = false;
};

class ScriptedInstrument final : public VisaInstrument {
public:
    explicit ScriptedInstrument(Script *s) : script_(s) {}
    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = count;
        const QByteArray line(reinterpret_cast<const char *>(buf), qsizetype(count));
        pending_.clear();
        if (!line.contains('?'))
            return VI_SUCCESS;
        if (!script_->ownIdentity && line.startsWith("*IDN?")) {
            pending_ = GoodIdentity;
        } else if (!script_->replies.empty()) {
            pending_ = script_->replies.front();
            script_->replies.pop_front();
        }
        return VI_SUCCESS;
    }
    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        const qsizetype n = std::min<qsizetype>(pending_.size(), qsizetype(count));
        if (n > 0)
            std::memcpy(buf, pending_.constData(), size_t(n));
        *retCount = ViUInt32(n);
        if (n == 0)
            return VI_ERROR_TMO;
        const bool whole = n == pending_.size();
        pending_.remove(0, n);
        return whole ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
    }
    ViStatus clear() override
    {
        pending_.clear();
        return VI_SUCCESS;
    }
    ViStatus setAttribute(ViAttr, ViAttrState) override { return VI_SUCCESS; }

private:
    Script *script_;
    QByteArray pending_;
};

class ScriptedBackend final : public VisaBackend {
public:
    explicit ScriptedBackend(Script *s) : script_(s) {}
    QString name() const override { return QStringLiteral("sim"); }
    QStringList resources() override { return {QString::fromLatin1(Resource)}; }
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override
    {
        if (resource != QLatin1String(Resource))
            return VI_ERROR_RSRC_NFOUND;
        *out = std::make_unique<ScriptedInstrument>(script_);
        return VI_SUCCESS;
    }

private:
    Script *script_;
};

bool badText(const QString &t, bool infNanAllowed)
{
    if (t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')))
        return true;
    return !infNanAllowed
        && (t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
            || t.contains(QLatin1String("nan"), Qt::CaseInsensitive));
}

void check(const QString &t, bool infNanAllowed)
{
    if (badText(t, infNanAllowed))
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
    const bool infNanAllowed = body.toLower().contains("inf") || body.toLower().contains("nan");

    Script script;
    for (const QByteArray &r : body.split('\0'))
        script.replies.push_back(r);
    if (body.isEmpty())
        script.replies.clear();

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
    registerVisaBackend(std::make_shared<ScriptedBackend>(&script));
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
    setPump({});
    resetVisa();
    setUi(nullptr);
    setAppClock(nullptr);
    return 0;
}
