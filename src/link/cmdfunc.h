#pragma once
// The command channel: the one road by which every part of the program talks
// to the instrument. SendCommand writes one command line and pauses;
// QueryString writes one line and returns the text reply. Each dispatches to
// the serial-port link (IoType 2, rs232func.h) or the VISA link (any other
// IoType, visafunc.h).
//
// The gate: lines pass only while app().link.LinkConnected or LinkConnecting
// is true; otherwise a write sends nothing and a read returns the empty text at
// once, silently. No failure reaches the caller: the transports show their
// message and mark the link lost themselves; nothing is retried.
//
// A line holding CR or LF is refused, and so is a line whose header is
// followed by a blank and nothing more (a command without its argument):
// nothing is written, SendCommand still takes its pause, QueryString returns
// the empty text; no message.
//
// Once the exchange in progress is abandoned (Stop, Disconnect, a window
// closed: see abandonExchange()), neither writes anything nor pauses until the
// outermost exchange has ended; QueryString returns the empty text.
//
// The first reply that does not come ends the exchange. A reply or block
// given up (its time-out or overall deadline, a failed read, a link that is
// not open, a Stop) marks the exchange failed: from then until the outermost
// exchange has ended, SendCommand and QueryString send nothing and take no
// pause, and the block reads read nothing. An instrument that falls silent
// thus costs one time-out per exchange, however many lines it was to hold.
// A command line after which the link is not open (its write failed, or the
// link was lost before it) fails the exchange the same way: it takes its own
// pause, the lines after it none.
// A reply that came empty (its line end alone) is a reply.

#include "platform/pump.h"
#include "texts/textstate.h"

#include <QString>

// Pause after a command line: over the serial-port control and over VISA (ms).
inline constexpr int SerialCommandPauseMs = 100;
inline constexpr int VisaCommandPauseMs = 200;

// Writes cmd as one line, then pauses (100 ms serial, 200 ms VISA) on
// appClock() without processing events; the pause is taken even when nothing
// was written.
void SendCommand(const QString &cmd);

// Writes cmd as one line and returns the reply: over the serial-port control
// the text before its line feed (empty after 40 ticks without completion);
// over VISA what one read of at most 256 bytes returned, line feed included.
// Empty when the link is closed or the read failed. No pause.
QString QueryString(const QString &cmd);

// Returns its argument unchanged.
QString CmdText(const QString &text);

// One exchange with the instrument, of one line or of many (a transfer, a
// dialog's apply, a direct action): an ExchangeScope under which the first
// reply that does not come ends the exchange. The outermost one starts with
// no failure; nested ones join the exchange around them.
class LinkExchange {
public:
    // owner: what began the exchange (see ExchangeScope).
    explicit LinkExchange(const void *owner = nullptr);
    LinkExchange(const LinkExchange &) = delete;
    LinkExchange &operator=(const LinkExchange &) = delete;

private:
    bool outermost_;
    ExchangeScope scope_;
};

// True when a reply or block of the exchange running (or, between exchanges,
// of the last one) did not come.
bool exchangeFailed();
// The transports and block reads call this when they give up a reply or a
// block: the running exchange sends nothing more.
void noteReplyMissing();

// True while the gate lets lines pass (LinkConnected or LinkConnecting).
bool linkGateOpen();

// True when a command text holds a CR or an LF.
bool holdsLineBreak(const QString &cmd);
// True when a command text has a blank after its header and nothing but
// blanks after that: its argument is missing.
bool lacksArgument(const QString &cmd);

// The link's message box: exclamation icon, OK button, title and text from
// the message table of the current language.
void showLinkMessage(Msg text, Msg title);
// The same with a text of its own (a serial control's error description).
void showLinkMessage(const QString &text, Msg title);
