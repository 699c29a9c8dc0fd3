#include "link/connectfunc.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "link/linkindicator.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "texts/stringres.h"
#include "values/numbertext.h"
#include "values/tokenpairs.h"
#include "values/valuereply.h"

#include <QScopeGuard>

#include <optional>

namespace {
constexpr int KeyLockPauseMs = 50;
}

int bandwidthClassOf(double number)
{
    if (number == 2)
        return 0;
    if (number == 4)
        return 1;
    if (number == 6)
        return 2;
    if (number == 10 || number == 15)
        return 3;
    if (number == 20)
        return 4;
    return 5;
}

bool identifyInstrument(const QString &r, LinkState &l)
{
    // A reply without a comma has no maker field: it cannot match.
    const qsizetype first = r.indexOf(QLatin1Char(','));
    const QString maker = first >= 0 ? r.left(first) : QString();
    if (maker != QLatin1String(InstrumentMaker))
        return false;
    // Without a second comma there is no model field.
    const qsizetype second = r.indexOf(QLatin1Char(','), first + 1);
    const QString model = second >= 0 ? r.mid(first + 1, second - first - 1) : QString();
    l.LaPresent = -1;
    l.LaModel = model.endsWith(QLatin1String("D")) || model.endsWith(QLatin1String("D-EDU")) ? 1 : 0;
    l.BandwidthClass = quint8(bandwidthClassOf(ReadNumber(QStringView(model).mid(3, 2))));
    if (l.LaModel != 1)
        return false;
    l.ScreenTop = 25;
    return true;
}

void ConnectInstrument()
{
    // The user sees that something happens meanwhile: an instrument that
    // does not answer is waited for up to a reply's time-out.
    noteConnecting(true);
    const auto said = qScopeGuard([] { noteConnecting(false); });
    LinkState &l = app().link;
    l.LinkConnecting = -1;
    l.LinkOpened = -1;
    if (l.IoType == IoTypeSerial)
        OpenComPort();
    else
        OpenVisaDevice();

    // The sequence is one exchange: once a line fails (a pulled cable), the
    // rest goes nowhere, and the transport's message shows once.
    std::optional<LinkExchange> exchange;
    bool ok = false;
    if (l.LinkOpened) {
        exchange.emplace();
        SendCommand(QStringLiteral(":KEY:LOCK ENABLE"));
        appClock().pause(KeyLockPauseMs);
        SendCommand(QStringLiteral(":WAVeform:POINts:MODE NORmal"));
        const QString r = QueryString(QStringLiteral("*IDN?")).toUpper();
        ok = identifyInstrument(r, l);
        if (!ok)
            showLinkMessage(Msg::MsgDeviceNotFound, Msg::MsgConnectTitle);
    }

    if (ok) {
        setLinkLamps(true);
        l.LinkConnected = -1;
        app().Settings.MathDisplay = OnOffDisplay(CutAtLF(QueryString(QStringLiteral(":MATH:DISPLAY?"))));
        exchange.reset();
    } else {
        exchange.reset();
        setLinkLamps(false);
        l.LinkConnected = 0;
        app().Settings.MathDisplay = word(Word::WordOff);
    }
    l.LinkConnecting = 0;
}

void DisconnectInstrument()
{
    LinkState &l = app().link;
    if (l.LinkConnected)
        SendCommand(QStringLiteral(":KEY:LOCK DISABLE"));
    setLinkLamps(false);
    l.LinkConnected = 0;
}

bool IsColorDisplay()
{
    if (!app().link.LinkOpened)
        return false;
    const QString r = QueryString(QStringLiteral("*IDN?"));
    return r.size() >= 26 && r.at(25) == QLatin1Char('C');
}
