#include "link/cmdfunc.h"

#include "app/appstate.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/ui.h"
#include "texts/messagetable.h"

bool linkGateOpen()
{
    const LinkState &l = app().link;
    return l.LinkConnected != 0 || l.LinkConnecting != 0;
}

bool holdsLineBreak(const QString &cmd)
{
    return cmd.contains(QLatin1Char('\r')) || cmd.contains(QLatin1Char('\n'));
}

bool lacksArgument(const QString &cmd)
{
    const qsizetype blank = cmd.indexOf(QLatin1Char(' '));
    return blank >= 0 && QStringView(cmd).mid(blank + 1).trimmed().isEmpty();
}

namespace {

bool unsendable(const QString &cmd)
{
    return holdsLineBreak(cmd) || lacksArgument(cmd);
}

} // namespace

void SendCommand(const QString &cmd)
{
    const ExchangeScope exchange;
    // An abandoned exchange sends nothing more.
    if (exchangeAbandoned())
        return;
    const bool serial = app().link.IoType == IoTypeSerial;
    if (!unsendable(cmd)) {
        if (serial)
            ComWriteLine(cmd);
        else
            VisaWriteLine(cmd);
    }
    appClock().pause(serial ? SerialCommandPauseMs : VisaCommandPauseMs);
}

QString QueryString(const QString &cmd)
{
    if (unsendable(cmd) || exchangeAbandoned())
        return QString();
    const ExchangeScope exchange;
    LinkState &l = app().link;
    if (l.IoType == IoTypeSerial) {
        l.BinaryReply = 0;
        ComWriteLine(cmd);
        l.RxWaiting = -1;
        return ComReadReply();
    }
    VisaWriteLine(cmd);
    return VisaReadLine();
}

QString CmdText(const QString &text)
{
    return text;
}

void showLinkMessage(Msg text, Msg title)
{
    showLinkMessage(message(text), title);
}

void showLinkMessage(const QString &text, Msg title)
{
    ui().message(MsgIcon::Exclamation, message(title), text, MsgButtons::Ok);
}
