#include "sim/simvisabackend.h"

#include "platform/clock.h"
#include "platform/pump.h"
#include "sim/qm4100sim.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

struct Piece {
    QByteArray bytes;
    qint64 dueMs = 0;
};

class SimInstrument final : public VisaInstrument {
public:
    explicit SimInstrument(std::shared_ptr<SimVisaBackend::Resource> r) : res_(std::move(r)) {}

    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = 0;
        if (res_->writeStatus != VI_SUCCESS)
            return res_->writeStatus;
        partial_.append(reinterpret_cast<const char *>(buf), qsizetype(count));
        qsizetype lf;
        while ((lf = partial_.indexOf('\n')) >= 0) {
            const QByteArray line = partial_.left(lf);
            partial_.remove(0, lf + 1);
            const Qm4100Sim::Reply reply = res_->sim->handle(
                line, res_->usb ? Qm4100Sim::Framing::VisaUsb : Qm4100Sim::Framing::VisaSerial);
            const qint64 due = appClock().nowMs() + reply.delayMs;
            for (const QByteArray &chunk : reply.chunks)
                pieces_.push_back({chunk, due});
        }
        *retCount = count;
        return VI_SUCCESS;
    }

    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        if (res_->readStatus != VI_SUCCESS)
            return res_->readStatus;
        const bool infinite = timeoutMs == VI_TMO_INFINITE;
        const qint64 deadline = appClock().nowMs() + (infinite ? 0 : qint64(timeoutMs));
        ViUInt32 stored = 0;
        for (;;) {
            if (stored == count && count > 0)
                return VI_SUCCESS_MAX_CNT;
            if (!waitForPiece(deadline, infinite)) {
                if (!exchangeAbandoned())
                    return VI_ERROR_TMO;
                // Over USB the read given up still takes its reply when it
                // comes: it is never the next read's.
                if (res_->usb)
                    pieces_.clear();
                return VI_ERROR_ABORT;
            }
            Piece &p = pieces_.front();
            if (res_->usb) {
                const ViUInt32 n = std::min<ViUInt32>(count - stored, ViUInt32(p.bytes.size()));
                std::memcpy(buf + stored, p.bytes.constData(), n);
                stored += n;
                *retCount = stored;
                if (qsizetype(n) == p.bytes.size()) {
                    pieces_.pop_front();
                    return VI_SUCCESS;
                }
                p.bytes.remove(0, n);
                return VI_SUCCESS_MAX_CNT;
            }
            // Serial kind: a byte stream, each read ending at an LF.
            while (stored < count && !p.bytes.isEmpty()) {
                const char b = p.bytes.at(0);
                p.bytes.remove(0, 1);
                buf[stored++] = ViByte(b);
                *retCount = stored;
                if (b == '\n') {
                    if (p.bytes.isEmpty())
                        pieces_.pop_front();
                    return VI_SUCCESS;
                }
            }
            if (p.bytes.isEmpty())
                pieces_.pop_front();
            if (count == 0)
                return VI_SUCCESS_MAX_CNT;
        }
    }

    ViStatus clear() override
    {
        pieces_.clear();
        partial_.clear();
        res_->sim->deviceClear();
        return VI_SUCCESS;
    }

    ViStatus setAttribute(ViAttr attr, ViAttrState value) override
    {
        if (attr != VI_ATTR_ASRL_BAUD || res_->usb)
            return VI_ERROR_NSUP_ATTR;
        if (value == 0 || value > 4000000)
            return VI_ERROR_NSUP_ATTR_STATE;
        res_->baud = value;
        return VI_SUCCESS;
    }

    ViStatus getAttribute(ViAttr attr, ViAttrState *value) override
    {
        if (attr != VI_ATTR_ASRL_BAUD || res_->usb)
            return VI_ERROR_NSUP_ATTR;
        *value = res_->baud;
        return VI_SUCCESS;
    }

private:
    // Waits on appClock() until the first piece is due. False when none comes
    // before the deadline (the time left is then spent) or when the exchange
    // is abandoned meanwhile, which ends the wait as a read on a real link
    // ends.
    bool waitForPiece(qint64 deadline, bool infinite)
    {
        const qint64 now = appClock().nowMs();
        if (pieces_.empty()) {
            // Nothing will come: this process is the instrument.
            if (!infinite && deadline > now)
                waitUntil(deadline);
            return false;
        }
        const qint64 due = pieces_.front().dueMs;
        if (due <= now)
            return true;
        if (!infinite && due > deadline) {
            if (deadline > now)
                waitUntil(deadline);
            return false;
        }
        waitUntil(due);
        return !exchangeAbandoned();
    }

    // The read's wait: on a virtual clock one pause (time moves on, timers
    // fire); on the real one in the event loop, ended at once by an abandon.
    static void waitUntil(qint64 until)
    {
        if (!dynamic_cast<RealClock *>(&appClock())) {
            appClock().pause(int(until - appClock().nowMs()));
            return;
        }
        const ExchangeScope exchange;
        for (qint64 now = appClock().nowMs(); now < until && !exchangeAbandoned(); now = appClock().nowMs())
            waitEvents(int(until - now));
    }

    std::shared_ptr<SimVisaBackend::Resource> res_;
    std::deque<Piece> pieces_;
    QByteArray partial_;
};

} // namespace

QStringList SimVisaBackend::resources()
{
    QStringList names;
    for (const auto &r : resources_)
        names << r->name;
    return names;
}

ViStatus SimVisaBackend::open(const QString &resource, std::unique_ptr<VisaInstrument> *out)
{
    out->reset();
    for (const auto &r : resources_) {
        if (r->name.compare(resource, Qt::CaseInsensitive) != 0)
            continue;
        if (r->openStatus != VI_SUCCESS)
            return r->openStatus;
        ++r->opens;
        *out = std::make_unique<SimInstrument>(r);
        return VI_SUCCESS;
    }
    return VI_ERROR_RSRC_NFOUND;
}

SimVisaBackend::Resource &SimVisaBackend::addResource(const QString &name, Qm4100Sim *sim)
{
    auto r = std::make_shared<Resource>();
    r->name = name;
    r->sim = sim;
    r->usb = name.left(3).compare(QLatin1String("USB"), Qt::CaseInsensitive) == 0;
    resources_.append(r);
    return *r;
}

SimVisaBackend::Resource *SimVisaBackend::resource(const QString &name)
{
    for (const auto &r : resources_)
        if (r->name.compare(name, Qt::CaseInsensitive) == 0)
            return r.get();
    return nullptr;
}

void SimVisaBackend::removeResource(const QString &name)
{
    resources_.removeIf([&](const auto &r) { return r->name.compare(name, Qt::CaseInsensitive) == 0; });
}

QString SimVisaBackend::identity(const QString &resource)
{
    const Resource *r = this->resource(resource);
    return r && r->sim ? QString::fromLatin1(r->sim->identity()) : QString();
}
