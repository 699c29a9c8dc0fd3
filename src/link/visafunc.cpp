#include "link/visafunc.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "link/linkindicator.h"
#include "link/resourcechooser.h"
#include "platform/pump.h"
#include "platform/visa/visa.h"
#include "values/numbertext.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

QString descText(const ViChar *desc)
{
    return QString::fromLatin1(desc, qsizetype(::strnlen(desc, VI_FIND_BUFLEN))).left(ResourceNameMax);
}

// A read the user gave up (VI_ERROR_ABORT) failed nothing: no message, and
// the link stays as it was.
void readFailed(ViStatus st)
{
    // Nothing came, whatever the cause: the exchange has failed.
    noteReplyMissing();
    if (st == VI_ERROR_ABORT)
        return;
    showLinkMessage(Msg::MsgReadFailed, Msg::MsgDeviceReadTitle);
    VisaLinkLost();
}

// The last line written was a query whose reply no read has taken yet.
bool gQueryOut = false;

// A read may go to the instrument: the gate is open and the exchange was
// neither abandoned nor failed. Otherwise nothing can come: the exchange has
// failed. A query that went out before a Stop still has its reply taken, as a
// read given up (of count bytes at most): it is never a later query's.
bool mayRead(ViUInt32 count)
{
    const bool queryOut = std::exchange(gQueryOut, false);
    if (linkGateOpen() && !exchangeAbandoned() && !exchangeFailed())
        return true;
    if (queryOut && linkGateOpen() && exchangeAbandoned() && !exchangeFailed()) {
        std::vector<ViByte> scratch(count);
        ViUInt32 n = 0;
        viRead(app().link.VisaSession, scratch.data(), count, &n);
    }
    noteReplyMissing();
    return false;
}

} // namespace

void OpenVisaRM()
{
    viOpenDefaultRM(&app().link.DefaultRM);
}

void SetVisaInterfaceKind(const QString &resource)
{
    LinkState &l = app().link;
    if (resource.left(3).toUpper() == QLatin1String("USB"))
        l.VisaInterfaceType = 1;
    else if (resource.left(4).toUpper() == QLatin1String("ASRL"))
        l.VisaInterfaceType = 0;
    else
        l.VisaInterfaceType = 5;
}

void OpenVisaDevice()
{
    LinkState &l = app().link;

    // Search.
    ViFindList list = VI_NULL;
    ViUInt32 m = 0;
    ViChar desc[VI_FIND_BUFLEN] = {};
    viFindRsrc(l.DefaultRM, VisaSearchExpr, &list, &m, desc);
    l.ResourceList.fill(QString());
    l.ResourceList[0] = descText(desc);

    // Collect, within the list's slots.
    int k = 1;
    for (ViUInt32 i = 0; i < m && k < ResourceListSize; ++i) {
        if (viFindNext(list, desc) == VI_SUCCESS)
            l.ResourceList[size_t(k++)] = descText(desc);
    }
    if (list != VI_NULL)
        viClose(list);
    l.ResourceCount = m == 0 ? 0 : k;

    if (m > 1) {
        QStringList names;
        for (int i = 0; i < k; ++i)
            names << l.ResourceList[size_t(i)];
        showResourceChooser(names);
        if (!GetOkCancel()) {
            l.LinkOpened = 0;
            return;
        }
    } else if (m == 1) {
        // An earlier choice is kept; with none made (the options dialog
        // selects its first entry on opening, even when then cancelled, and
        // leaves the name empty) the one resource found is taken.
        if (l.ResourceIndex == 0 || l.ResourceName.isEmpty()) {
            l.ResourceIndex = 1;
            l.ResourceName = l.ResourceList[0];
        }
    } else {
        showLinkMessage(Msg::MsgCannotConnect, Msg::MsgDeviceInitTitle);
        l.LinkOpened = 0;
        return;
    }

    // Open. A session left from an earlier connect is closed first, so that
    // its handle is not lost.
    SetVisaInterfaceKind(l.ResourceName);
    if (l.VisaSession != VI_NULL) {
        viClose(l.VisaSession);
        l.VisaSession = VI_NULL;
    }
    const QByteArray name = l.ResourceName.toLatin1();
    const ViStatus st = viOpen(l.DefaultRM, name.constData(), VI_NULL, 0, &l.VisaSession);
    if (st != VI_SUCCESS) {
        showLinkMessage(Msg::MsgCannotConnect, Msg::MsgDeviceInitTitle);
        l.LinkOpened = 0;
    }
    const double baud = ReadNumber(l.BaudRateText);
    viSetAttribute(l.VisaSession, VI_ATTR_TMO_VALUE, VisaTimeoutMs);
    viSetAttribute(l.VisaSession, VI_ATTR_ASRL_BAUD,
                   baud > 0 && baud < 4294967295.0 ? ViAttrState(std::llround(baud)) : 0);
    viClear(l.VisaSession);
}

void VisaQueryAnswered()
{
    gQueryOut = false;
}

void VisaWriteLine(const QString &text)
{
    gQueryOut = false;
    if (!linkGateOpen())
        return;
    const QByteArray line = text.toUtf8() + '\n';
    ViUInt32 written = 0;
    const ViStatus st = viWrite(app().link.VisaSession, reinterpret_cast<ViConstBuf>(line.constData()),
                                ViUInt32(line.size()), &written);
    // A write the user gave up may still go out (the driver has it).
    gQueryOut = (st == VI_SUCCESS || st == VI_ERROR_ABORT) && text.contains(QLatin1Char('?'));
    if (st != VI_SUCCESS && st != VI_ERROR_ABORT) {
        // The line did not go out: no reply is owed to it, and the exchange
        // has failed (during a connect too, where the gate stays open).
        noteReplyMissing();
        showLinkMessage(Msg::MsgCannotConnect, Msg::MsgDeviceSendTitle);
        VisaLinkLost();
    }
}

bool VisaReadLine(QString *reply)
{
    reply->clear();
    if (!mayRead(VisaLineMax))
        return false;
    ViByte buf[VisaLineMax];
    ViUInt32 n = 0;
    const ViStatus st = viRead(app().link.VisaSession, buf, VisaLineMax, &n);
    if (st != VI_SUCCESS) {
        readFailed(st);
        return false;
    }
    *reply = QString::fromLatin1(reinterpret_cast<const char *>(buf), qsizetype(std::min<ViUInt32>(n, VisaLineMax)));
    return true;
}

ViStatus VisaReadExact(ViSession vi, ViBuf buf, int count)
{
    if (count <= 0)
        return VI_SUCCESS;
    int have = 0;
    for (;;) {
        ViUInt32 got = 0;
        const ViStatus st = viRead(vi, buf + have, ViUInt32(count - have), &got);
        have += int(std::min<ViUInt32>(got, ViUInt32(count - have)));
        if (have >= count)
            return VI_SUCCESS;
        if (st < 0)
            return st;
        if (got == 0) // a read that brings nothing and reports no failure would never end
            return VI_ERROR_IO;
    }
}

QString VisaReadWaveBlock(int &n, int count)
{
    // An abandoned or failed exchange wrote no query, or has its reply given
    // up: there is nothing to read.
    count = std::clamp(count, 0, WaveWorkBytes);
    if (!mayRead(ViUInt32(count)))
        return QString();
    LinkState &l = app().link;
    std::vector<ViByte> work(WaveWorkBytes, 0);
    ViStatus st;
    int got;
    if (l.VisaInterfaceType == 1) {
        ViUInt32 r = 0;
        st = viRead(l.VisaSession, work.data(), ViUInt32(count), &r);
        got = int(std::min<ViUInt32>(r, ViUInt32(count)));
    } else {
        st = VisaReadExact(l.VisaSession, work.data(), count);
        got = count - 1;
    }
    if (st != VI_SUCCESS) {
        readFailed(st);
        return QString();
    }
    n = std::clamp(got, 0, WorkPtsSize - 1);
    for (int i = 1; i <= n; ++i)
        l.WorkPts[size_t(i)] = work[size_t(i - 1)];
    return QString();
}

int ParaConv(const quint8 *raw, SetupBlock &setup)
{
    // Bytes 0..111 of the form are bytes 0..111 of the block; 112..115 are zero.
    setup = SetupBlock::decode(QByteArrayView(reinterpret_cast<const char *>(raw), SetupFormBytes - 1));
    return 0;
}

QString VisaReadSystemData(bool *received)
{
    if (received)
        *received = false;
    if (!mayRead(app().link.VisaInterfaceType == 1 ? SetupBlock::Size : SetupFormBytes))
        return QString();
    LinkState &l = app().link;
    ViStatus st;
    if (l.VisaInterfaceType == 1) {
        ViByte buf[SetupBlock::Size] = {};
        ViUInt32 n = 0;
        st = viVScanf(l.VisaSession, "%t", buf, SetupBlock::Size, &n);
        if ((st == VI_SUCCESS || st == VI_SUCCESS_MAX_CNT) && n < SetupBlock::Size) {
            // A message that ended before the block's bytes were all in is
            // not laid over the last block: that stays whole, and the block
            // has not come (the link is sound).
            noteReplyMissing();
            return QString();
        }
        if (st == VI_SUCCESS || st == VI_SUCCESS_MAX_CNT)
            l.LastSetup.overwrite(QByteArrayView(reinterpret_cast<const char *>(buf), SetupBlock::Size));
    } else {
        ViByte raw[SetupFormBytes] = {};
        st = VisaReadExact(l.VisaSession, raw, SetupFormBytes);
        if (st == VI_SUCCESS)
            ParaConv(raw, l.LastSetup);
    }
    if (st != VI_SUCCESS && st != VI_SUCCESS_MAX_CNT)
        readFailed(st);
    else if (received)
        *received = true;
    return QString();
}

void VisaReadScreenBlock(QByteArray &buffer)
{
    if (!mayRead(ScreenReadBytes))
        return;
    if (buffer.size() < ScreenReadBytes)
        buffer.resize(ScreenReadBytes);
    ViUInt32 n = 0;
    const ViStatus st =
        viRead(app().link.VisaSession, reinterpret_cast<ViBuf>(buffer.data()), ScreenReadBytes, &n);
    if (st != VI_SUCCESS)
        readFailed(st);
}

void ReadScreenImage(QByteArray &buffer)
{
    if (!linkGateOpen() || app().link.IoType != 0)
        return;
    SendCommand(QStringLiteral(":LCD:DATA?"));
    VisaReadScreenBlock(buffer);
    pumpEvents();
}

void CloseVisaDevice()
{
    viClose(app().link.VisaSession);
    app().link.VisaSession = VI_NULL;
}

void CloseVisaAll()
{
    LinkState &l = app().link;
    viClear(l.VisaSession);
    viClose(l.VisaSession);
    viClose(l.DefaultRM);
    l.VisaSession = VI_NULL;
    l.DefaultRM = VI_NULL;
}

void VisaLinkLost()
{
    setLinkLamps(false);
    app().link.LinkConnected = 0;
}
