#include "platform/visa/visa.h"

#include "platform/clock.h"
#include "platform/visa/asrl.h"
#include "platform/visa/rsrcexpr.h"
#include "platform/visa/usbtmc.h"
#include "platform/visa/visabackend.h"

#include <QSet>
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {

constexpr ViUInt32 kDefaultTimeoutMs = 2000;

struct RmObject {};

struct InstrObject {
    ViSession rm = VI_NULL;
    std::shared_ptr<VisaBackend> backend; // keeps the backend alive while its session is open
    std::unique_ptr<VisaInstrument> io;
    ViUInt32 timeoutMs = kDefaultTimeoutMs;
};

struct FindObject {
    ViSession rm = VI_NULL;
    QStringList names;
    qsizetype next = 0;
};

struct Registry {
    std::vector<std::shared_ptr<VisaBackend>> backends;
    std::map<ViObject, RmObject> rms;
    std::map<ViObject, InstrObject> instrs;
    std::map<ViObject, FindObject> finds;
    ViObject lastHandle = 0x1000;

    Registry() { builtIns(); }

    void builtIns()
    {
        backends.clear();
        backends.push_back(std::make_shared<UsbtmcBackend>());
        backends.push_back(std::make_shared<AsrlBackend>());
    }

    bool inUse(ViObject h) const { return rms.count(h) || instrs.count(h) || finds.count(h); }

    ViObject newHandle()
    {
        do {
            ++lastHandle;
        } while (lastHandle == VI_NULL || inUse(lastHandle));
        return lastHandle;
    }
};

Registry &reg()
{
    static Registry r;
    return r;
}

// Copies a description into a VI_FIND_BUFLEN buffer, cut to fit, NUL-terminated.
void putDesc(ViChar *desc, const QString &name)
{
    if (!desc)
        return;
    const QByteArray bytes = name.toLatin1();
    const size_t n = std::min<size_t>(static_cast<size_t>(bytes.size()), VI_FIND_BUFLEN - 1);
    std::memcpy(desc, bytes.constData(), n);
    desc[n] = '\0';
}

// Status for a handle that is not an instrument session.
ViStatus notInstrument(ViObject vi)
{
    const Registry &r = reg();
    if (r.rms.count(vi) || r.finds.count(vi))
        return VI_ERROR_NSUP_OPER;
    return VI_ERROR_INV_OBJECT;
}

InstrObject *instrument(ViSession vi)
{
    auto it = reg().instrs.find(vi);
    return it == reg().instrs.end() ? nullptr : &it->second;
}

// Remaining time of a deadline taken at the start of a call.
struct Deadline {
    explicit Deadline(ViUInt32 tmo) : infinite(tmo == VI_TMO_INFINITE), end(appClock().nowMs() + tmo) {}
    ViUInt32 remaining() const
    {
        if (infinite)
            return VI_TMO_INFINITE;
        const qint64 left = end - appClock().nowMs();
        return left <= 0 ? 0 : static_cast<ViUInt32>(std::min<qint64>(left, VI_TMO_INFINITE - 1));
    }
    bool infinite;
    qint64 end;
};

} // namespace

void registerVisaBackend(std::shared_ptr<VisaBackend> backend)
{
    if (!backend)
        return;
    auto &list = reg().backends;
    for (auto &b : list) {
        if (b->name() == backend->name()) {
            b = std::move(backend);
            return;
        }
    }
    list.insert(list.begin(), std::move(backend));
}

bool unregisterVisaBackend(const QString &name)
{
    auto &list = reg().backends;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto &b) { return b->name() == name; });
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

std::shared_ptr<VisaBackend> visaBackend(const QString &name)
{
    for (const auto &b : reg().backends)
        if (b->name() == name)
            return b;
    return nullptr;
}

QString visaResourceIdentity(const QString &resource)
{
    const auto backends = reg().backends;
    for (const auto &b : backends) {
        const QString text = b->identity(resource);
        if (!text.isEmpty())
            return text;
    }
    return QString();
}

QStringList visaBackendNames()
{
    QStringList names;
    for (const auto &b : reg().backends)
        names << b->name();
    return names;
}

void resetVisa()
{
    Registry &r = reg();
    r.instrs.clear();
    r.finds.clear();
    r.rms.clear();
    r.builtIns();
    forgetAsrlGivenUpReplies();
}

ViStatus viOpenDefaultRM(ViSession *sesn)
{
    if (!sesn)
        return VI_ERROR_INV_PARAMETER;
    const ViObject h = reg().newHandle();
    reg().rms.emplace(h, RmObject{});
    *sesn = h;
    return VI_SUCCESS;
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViFindList *findList, ViUInt32 *retCnt,
                    ViChar instrDesc[])
{
    if (findList)
        *findList = VI_NULL;
    if (retCnt)
        *retCnt = 0;
    putDesc(instrDesc, QString());
    Registry &r = reg();
    if (!r.rms.count(sesn))
        return r.inUse(sesn) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    if (!expr)
        return VI_ERROR_INV_EXPR;
    const VisaExpression e(QString::fromLatin1(expr));
    if (!e.isValid())
        return VI_ERROR_INV_EXPR;

    QStringList found;
    QSet<QString> seen;
    // Copy the table: a backend's resources() must not see it change under it.
    const auto backends = r.backends;
    for (const auto &b : backends) {
        for (const QString &name : b->resources()) {
            const QString key = name.toUpper();
            if (seen.contains(key) || !e.matches(name))
                continue;
            seen.insert(key);
            found << name;
        }
    }
    if (found.isEmpty())
        return VI_ERROR_RSRC_NFOUND;

    putDesc(instrDesc, found.first());
    if (retCnt)
        *retCnt = static_cast<ViUInt32>(found.size());
    if (findList) {
        const ViObject h = r.newHandle();
        r.finds.emplace(h, FindObject{sesn, found, 1});
        *findList = h;
    }
    return VI_SUCCESS;
}

ViStatus viFindNext(ViFindList findList, ViChar instrDesc[])
{
    putDesc(instrDesc, QString());
    auto it = reg().finds.find(findList);
    if (it == reg().finds.end())
        return reg().inUse(findList) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    FindObject &f = it->second;
    if (f.next >= f.names.size()) {
        f.names.clear(); // the handle stays valid; its list is spent
        f.next = 0;
        return VI_ERROR_RSRC_NFOUND;
    }
    putDesc(instrDesc, f.names.at(f.next++));
    return VI_SUCCESS;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc rsrcName, ViAccessMode accessMode, ViUInt32 openTimeout,
                ViSession *vi)
{
    (void)openTimeout;
    if (vi)
        *vi = VI_NULL;
    Registry &r = reg();
    if (!r.rms.count(sesn))
        return r.inUse(sesn) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    if (!vi)
        return VI_ERROR_INV_PARAMETER;
    if (!rsrcName || !*rsrcName)
        return VI_ERROR_INV_RSRC_NAME;
    constexpr ViAccessMode known = VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK | VI_LOAD_CONFIG;
    if ((accessMode & ~known) != 0
        || ((accessMode & VI_EXCLUSIVE_LOCK) && (accessMode & VI_SHARED_LOCK)))
        return VI_ERROR_INV_ACC_MODE;

    const QString name = QString::fromLatin1(rsrcName);
    const auto backends = r.backends;
    for (const auto &b : backends) {
        std::unique_ptr<VisaInstrument> io;
        const ViStatus st = b->open(name, &io);
        if (st == VI_ERROR_RSRC_NFOUND)
            continue;
        if (!viSucceeded(st))
            return st;
        if (!io)
            return VI_ERROR_SYSTEM_ERROR;
        const ViObject h = r.newHandle();
        InstrObject obj;
        obj.rm = sesn;
        obj.backend = b;
        obj.io = std::move(io);
        r.instrs.emplace(h, std::move(obj));
        *vi = h;
        return st;
    }
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus viSetAttribute(ViObject vi, ViAttr attr, ViAttrState value)
{
    InstrObject *o = instrument(vi);
    if (!o)
        return reg().inUse(vi) ? VI_ERROR_NSUP_ATTR : VI_ERROR_INV_OBJECT;
    if (attr == VI_ATTR_TMO_VALUE) {
        if (value > VI_TMO_INFINITE)
            return VI_ERROR_NSUP_ATTR_STATE;
        o->timeoutMs = static_cast<ViUInt32>(value);
        return VI_SUCCESS;
    }
    return o->io->setAttribute(attr, value);
}

ViStatus viGetAttribute(ViObject vi, ViAttr attr, ViAttrState *value)
{
    InstrObject *o = instrument(vi);
    if (!o)
        return reg().inUse(vi) ? VI_ERROR_NSUP_ATTR : VI_ERROR_INV_OBJECT;
    if (!value)
        return VI_ERROR_INV_PARAMETER;
    if (attr == VI_ATTR_TMO_VALUE) {
        *value = o->timeoutMs;
        return VI_SUCCESS;
    }
    return o->io->getAttribute(attr, value);
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount)
{
    if (retCount)
        *retCount = 0;
    InstrObject *o = instrument(vi);
    if (!o)
        return notInstrument(vi);
    if (!buf && count > 0)
        return VI_ERROR_USER_BUF;
    ViUInt32 done = 0;
    const ViStatus st = o->io->write(buf, count, &done, o->timeoutMs);
    if (retCount)
        *retCount = std::min(done, count);
    return st;
}

ViStatus viRead(ViSession vi, ViBuf buf, ViUInt32 count, ViUInt32 *retCount)
{
    if (retCount)
        *retCount = 0;
    InstrObject *o = instrument(vi);
    if (!o)
        return notInstrument(vi);
    if (!buf && count > 0)
        return VI_ERROR_USER_BUF;
    ViUInt32 got = 0;
    const ViStatus st = o->io->read(buf, count, &got, o->timeoutMs);
    if (retCount)
        *retCount = std::min(got, count);
    return st;
}

ViStatus viScanfBlock(ViSession vi, ViConstString format, ViBuf buf, ViUInt32 bufSize, ViUInt32 *retCount)
{
    if (retCount)
        *retCount = 0;
    InstrObject *o = instrument(vi);
    if (!o)
        return notInstrument(vi);
    if (!format)
        return VI_ERROR_INV_FMT;
    if (std::strcmp(format, "%t") != 0)
        return VI_ERROR_NSUP_FMT;
    if (!buf && bufSize > 0)
        return VI_ERROR_USER_BUF;

    const Deadline deadline(o->timeoutMs);
    ViUInt32 stored = 0;
    ViStatus st = VI_SUCCESS_MAX_CNT;
    // Fill the caller's buffer up to END.
    while (stored < bufSize) {
        ViUInt32 got = 0;
        st = o->io->read(buf + stored, bufSize - stored, &got, deadline.remaining());
        stored += std::min(got, bufSize - stored);
        if (st != VI_SUCCESS_MAX_CNT)
            break;
    }
    if (retCount)
        *retCount = stored;
    if (st != VI_SUCCESS_MAX_CNT)
        return st; // END reached (VI_SUCCESS) or a failure
    // The buffer is full and END has not come: drop the rest of the message.
    ViByte scratch[4096];
    for (;;) {
        ViUInt32 got = 0;
        const ViStatus d = o->io->read(scratch, sizeof scratch, &got, deadline.remaining());
        if (d == VI_SUCCESS)
            return VI_SUCCESS_MAX_CNT;
        if (d != VI_SUCCESS_MAX_CNT)
            return d;
    }
}

ViStatus viClear(ViSession vi)
{
    InstrObject *o = instrument(vi);
    if (!o)
        return notInstrument(vi);
    return o->io->clear();
}

ViStatus viClose(ViObject vi)
{
    if (vi == VI_NULL)
        return VI_WARN_NULL_OBJECT;
    Registry &r = reg();
    if (r.instrs.erase(vi))
        return VI_SUCCESS;
    if (r.finds.erase(vi))
        return VI_SUCCESS;
    if (r.rms.erase(vi)) {
        std::erase_if(r.instrs, [vi](const auto &p) { return p.second.rm == vi; });
        std::erase_if(r.finds, [vi](const auto &p) { return p.second.rm == vi; });
        return VI_SUCCESS;
    }
    return VI_ERROR_INV_OBJECT;
}
