#pragma once
// A VISA backend for the benchmarks whose one USB resource asks the simulator
// once per distinct line and replays that reply afterwards: the simulator's
// own waveform synthesis is then paid once, and what is measured is the
// program's own cost.

#include "../tests/transfer/simlinks.h"

#include <QHash>
#include <cstring>

// A USB resource that asks the simulator once per distinct line and replays
// its reply afterwards.
class ReplayInstrument final : public VisaInstrument {
public:
    explicit ReplayInstrument(Qm4100Sim *sim) : sim_(sim) {}
    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = count;
        QByteArray line(reinterpret_cast<const char *>(buf), qsizetype(count));
        if (line.endsWith('\n'))
            line.chop(1);
        auto it = cache_.find(line);
        if (it == cache_.end())
            it = cache_.insert(line, sim_->handle(line, Qm4100Sim::Framing::VisaUsb).bytes());
        if (!it->isEmpty())
            pending_ = *it;
        return VI_SUCCESS;
    }
    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        const qsizetype n = std::min<qsizetype>(pending_.size(), qsizetype(count));
        std::memcpy(buf, pending_.constData(), size_t(n));
        *retCount = ViUInt32(n);
        const bool whole = n == pending_.size();
        pending_.clear();
        return n == 0 ? VI_ERROR_TMO : (whole ? VI_SUCCESS : VI_SUCCESS_MAX_CNT);
    }
    ViStatus clear() override { return VI_SUCCESS; }
    ViStatus setAttribute(ViAttr, ViAttrState) override { return VI_SUCCESS; }

private:
    Qm4100Sim *sim_;
    QHash<QByteArray, QByteArray> cache_;
    QByteArray pending_;
};

class ReplayBackend final : public VisaBackend {
public:
    explicit ReplayBackend(Qm4100Sim *sim) : sim_(sim) {}
    QString name() const override { return QStringLiteral("sim"); }
    QStringList resources() override { return {QString::fromLatin1(SimUsbResource)}; }
    ViStatus open(const QString &, std::unique_ptr<VisaInstrument> *out) override
    {
        *out = std::make_unique<ReplayInstrument>(sim_);
        return VI_SUCCESS;
    }

private:
    Qm4100Sim *sim_;
};
