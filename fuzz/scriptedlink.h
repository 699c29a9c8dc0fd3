#pragma once
// A VISA USB resource for the fuzz targets that answers every query with the
// next reply of a script: an instrument that says whatever the input says.
// Every line written is kept, so that a target can check what the program
// sent. The identification query gets a proper identity unless the script
// answers it itself. An empty reply, and every query after the last reply,
// is a time-out.

#include "app/appstate.h"
#include "link/commport.h"
#include "link/link.h"
#include "link/rs232func.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "texts/loadlanguage.h"

#include "sim/qm4100sim.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>

namespace fuzzlink {

inline constexpr const char *Resource = "USB0::0xFFFF::0x4100::SN000001::INSTR";
// The 26th character tells a colour screen ('C') from a monochrome one.
inline const QByteArray MonoIdentity = "Karvo Technologies,QM4100D,SN000001,V1.02.003\n";
inline const QByteArray ColourIdentity = "Karvo Technologies,QM4102CD,SN000001,V1.02.003\n";

// How the serial-port control hands over a reply: in pieces of chunk bytes
// (0: whole), the first firstMs after the line, each further one gapMs after
// the one before.
struct Delivery {
    int chunk = 0;
    int firstMs = 0;
    int gapMs = 0;
};

struct Script {
    QString resource = QString::fromLatin1(Resource); // a USB or a serial (ASRL) resource
    std::deque<QByteArray> replies;
    std::deque<Delivery> deliveries; // the serial control's, reply by reply (default: whole, at once)
    bool ownIdentity = false;
    QByteArray identity = MonoIdentity;
    QList<QByteArray> written; // every line the program wrote
    // Answers a query before the script does (true: *reply is the answer).
    std::function<bool(const QByteArray &line, QByteArray *reply)> answer;
    // Making seeds: a simulator answers every line, and its replies are kept.
    Qm4100Sim *sim = nullptr;
    QList<QByteArray> recorded;
};

class ScriptedInstrument final : public VisaInstrument {
public:
    explicit ScriptedInstrument(Script *s) : script_(s) {}
    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = count;
        const QByteArray line(reinterpret_cast<const char *>(buf), qsizetype(count));
        script_->written << line;
        pending_.clear();
        if (script_->sim) {
            // Making seeds: the simulator answers, and its replies are kept.
            QByteArray text = line;
            while (text.endsWith('\n'))
                text.chop(1);
            const bool usb = script_->resource.startsWith(QLatin1String("USB"));
            const QByteArray reply =
                script_->sim->handleLine(text, usb ? Qm4100Sim::Framing::VisaUsb : Qm4100Sim::Framing::VisaSerial);
            if (line.contains('?')) {
                pending_ = reply;
                script_->recorded.push_back(reply);
            }
            return VI_SUCCESS;
        }
        if (!line.contains('?'))
            return VI_SUCCESS;
        if (script_->answer && script_->answer(line, &pending_))
            return VI_SUCCESS;
        if (!script_->ownIdentity && line.startsWith("*IDN?")) {
            pending_ = script_->identity;
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
    QStringList resources() override { return {script_->resource}; }
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override
    {
        if (resource != script_->resource)
            return VI_ERROR_RSRC_NFOUND;
        *out = std::make_unique<ScriptedInstrument>(script_);
        return VI_SUCCESS;
    }

private:
    Script *script_;
};

// The serial-port control of the link (IoType 2) as the scripted instrument:
// every line written that holds a "?" gets the next reply of the script, a
// line without one gets none; the reply arrives as receive events, in the
// pieces and at the times of its delivery. Nothing arrives by itself: the
// pump (pumpOnce) hands over the next piece that is due, or else moves the
// clock on towards it.
class ScriptedPort final : public CommPort {
public:
    explicit ScriptedPort(Script *s) : script_(s) {}
    bool setSettings(const QString &) override { return true; }
    bool setCommPort(int port) override { return port >= 1; }
    bool setPortOpen(bool open) override
    {
        open_ = open;
        pieces_.clear();
        input_.clear();
        partial_.clear();
        return true;
    }
    bool portOpen() const override { return open_; }
    void setInputLen(int) override {}
    bool setOutput(const QByteArray &bytes) override
    {
        if (!open_)
            return false;
        partial_.append(bytes);
        qsizetype lf;
        while ((lf = partial_.indexOf('\n')) >= 0) {
            const QByteArray line = partial_.left(lf);
            partial_.remove(0, lf + 1);
            script_->written << line;
            take(line);
        }
        return true;
    }
    QByteArray input() override
    {
        QByteArray all;
        all.swap(input_);
        return all;
    }
    QString errorString() const override { return QStringLiteral("scripted port"); }

    // One turn of the pump: the next due piece as a receive event, or else the
    // clock moved on (at most 100 ms, to the next piece when it is due sooner).
    void pumpOnce(VirtualClock &clock)
    {
        const qint64 now = clock.nowMs();
        if (open_ && !pieces_.empty() && pieces_.front().dueMs <= now) {
            input_.append(pieces_.front().bytes);
            pieces_.pop_front();
            emit OnComm(ReceiveEvent);
            return;
        }
        qint64 step = 100;
        if (!pieces_.empty())
            step = std::clamp<qint64>(pieces_.front().dueMs - now, 1, 100);
        clock.advance(step);
    }
    bool idle() const { return pieces_.empty(); }

private:
    struct Piece {
        QByteArray bytes;
        qint64 dueMs;
    };
    void take(const QByteArray &line)
    {
        if (!line.contains('?'))
            return;
        QByteArray reply;
        Delivery d;
        if (script_->sim) {
            reply = script_->sim->handleLine(line, Qm4100Sim::Framing::LengthPrefix);
            script_->recorded.push_back(reply);
        } else if (script_->answer && script_->answer(line, &reply)) {
        } else if (!script_->ownIdentity && line.startsWith("*IDN?")) {
            reply = script_->identity;
        } else if (!script_->replies.empty()) {
            reply = script_->replies.front();
            script_->replies.pop_front();
            if (!script_->deliveries.empty()) {
                d = script_->deliveries.front();
                script_->deliveries.pop_front();
            }
        }
        // Pieces follow the ones still on their way.
        qint64 due = appClock().nowMs() + d.firstMs;
        if (!pieces_.empty())
            due = std::max(due, pieces_.back().dueMs);
        const qsizetype chunk = d.chunk > 0 ? d.chunk : std::max<qsizetype>(reply.size(), 1);
        for (qsizetype at = 0; at < reply.size(); at += chunk) {
            pieces_.push_back({reply.mid(at, chunk), due});
            due += d.gapMs;
        }
    }

    Script *script_;
    bool open_ = false;
    QByteArray partial_;
    QByteArray input_;
    std::deque<Piece> pieces_;
};

// The replies of an input: its bytes split at each NUL byte.
inline void takeReplies(const QByteArray &body, Script *script)
{
    script->replies.clear();
    if (body.isEmpty())
        return;
    for (const QByteArray &r : body.split('\0'))
        script->replies.push_back(r);
}

// The replies of an input given as a 2-byte little-endian length and that
// many bytes each (a length of 0: no reply), for replies that hold NUL bytes.
inline void takeSizedReplies(QByteArrayView body, Script *script)
{
    script->replies.clear();
    while (body.size() >= 2) {
        const qsizetype n = qsizetype(quint8(body[0]) | quint8(body[1]) << 8);
        body = body.sliced(2);
        const qsizetype take = std::min(n, body.size());
        script->replies.push_back(body.first(take).toByteArray());
        body = body.sliced(take);
    }
}

inline QByteArray sizedReplies(const QList<QByteArray> &replies)
{
    QByteArray out;
    for (const QByteArray &r : replies) {
        const qsizetype n = std::min<qsizetype>(r.size(), 0xFFFF);
        out.append(char(n & 0xFF)).append(char(n >> 8)).append(r.left(n));
    }
    return out;
}

// The folder seeds are written to instead of fuzzing (KELVO_FUZZ_SEEDS), or empty.
inline QString seedFolder()
{
    return qEnvironmentVariable("KELVO_FUZZ_SEEDS");
}

// A fresh program state on a VISA link to the scripted instrument, connected
// (as far as the script lets the connect go: the connect's MATH display query
// gets "OFF" when the script holds no reply); pumping moves the clock on.
inline void connect(Script *script, VirtualClock *clock, ScriptedUi *ui, int language = 1)
{
    if (script->replies.empty())
        script->replies.push_back("OFF\n");
    resetApp();
    setAppClock(clock);
    ui->clear();
    setUi(ui);
    ApplyLanguage(language);
    app().Settings.reset();
    setPump([clock] { clock->advance(10); });
    resetVisa();
    unregisterVisaBackend(QStringLiteral("usbtmc"));
    unregisterVisaBackend(QStringLiteral("asrl"));
    registerVisaBackend(std::make_shared<ScriptedBackend>(script));
    app().link.IoType = 0;
    OpenVisaRM();
    ConnectInstrument();
}

// The same over the serial-port control: the link's IoType 2 on port, the
// pump handing over its pieces.
inline void connectSerial(Script *script, ScriptedPort *port, VirtualClock *clock, ScriptedUi *ui, int language = 1)
{
    if (script->replies.empty())
        script->replies.push_back("OFF\n");
    resetApp();
    setAppClock(clock);
    ui->clear();
    setUi(ui);
    ApplyLanguage(language);
    app().Settings.reset();
    resetVisa();
    setCommControl(port);
    setPump([port, clock] { port->pumpOnce(*clock); });
    app().link.IoType = IoTypeSerial;
    ConnectInstrument();
}

inline void disconnect()
{
    setCommControl(nullptr);
    setPump({});
    resetVisa();
    setUi(nullptr);
    setAppClock(nullptr);
}

// A text that must not hold a line break, nor "inf" or "nan" unless the
// instrument sent such words.
inline bool badText(const QString &t, bool infNanAllowed)
{
    if (t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')))
        return true;
    return !infNanAllowed
        && (t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
            || t.contains(QLatin1String("nan"), Qt::CaseInsensitive));
}

inline bool mentionsInfNan(const QByteArray &body)
{
    const QByteArray lower = body.toLower();
    return lower.contains("inf") || lower.contains("nan");
}

} // namespace fuzzlink
