#include "link/cmdfunc.h"

#include "app/appstate.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/ui.h"
#include "texts/messagetable.h"

namespace {
// A reply or block of the exchange running (or of the last one) did not come.
bool gExchangeFailed = false;
} // namespace

LinkExchange::LinkExchange(const void *owner) : outermost_(!exchangeRunning()), scope_(owner)
{
    if (outermost_)
        gExchangeFailed = false;
}

bool exchangeFailed()
{
    return gExchangeFailed;
}

void noteReplyMissing()
{
    gExchangeFailed = true;
}

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
    const LinkExchange exchange;
    // An abandoned or failed exchange sends nothing more.
    if (exchangeAbandoned() || exchangeFailed())
        return;
    const bool serial = app().link.IoType == IoTypeSerial;
    if (!unsendable(cmd)) {
        if (serial) {
            // A Stop given while an earlier reply was being finished: the
            // line never went out, and no pause is owed for it. A line that
            // could not be written fails the exchange (during a connect too,
            // where the gate stays open): nothing more of it goes out.
            if (!ComWriteLine(cmd)) {
                if (exchangeAbandoned())
                    return;
                noteReplyMissing();
            }
        } else {
            VisaWriteLine(cmd);
        }
    }
    // A link lost by this line or before it: nothing more of the exchange
    // can go out, and the lines after it take no pause.
    if (!linkGateOpen())
        noteReplyMissing();
    appClock().pause(serial ? SerialCommandPauseMs : VisaCommandPauseMs);
}

QString QueryString(const QString &cmd)
{
    if (unsendable(cmd))
        return QString();
    const LinkExchange exchange;
    if (exchangeAbandoned() || exchangeFailed())
        return QString();
    if (!linkGateOpen()) {
        noteReplyMissing();
        return QString();
    }
    LinkState &l = app().link;
    QString reply;
    bool came = false;
    if (l.IoType == IoTypeSerial) {
        if (ComWriteLine(cmd, true))
            came = ComReadReply(&reply);
    } else {
        VisaWriteLine(cmd);
        came = VisaReadLine(&reply);
    }
    if (!came)
        noteReplyMissing();
    return reply;
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
