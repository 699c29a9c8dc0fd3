#pragma once
// The serial-port link: the transport of the command channel while IoType is
// 2. It drives the serial-port control (a CommPort, installed by the main
// window with setCommControl), writes paced command lines, assembles replies
// from the control's receive events and waits for them.
//
// Receive state lives in app().link (RxWaiting, BinaryReply, RxStarted,
// RxText, RxBuffer, RxWritePos, RxReceived, RxCount). The tick counter RxTicks
// counts 100 ms ticks of appClock() since the wait began or the last chunk
// came (ComRxTicks); the waits sleep in the event loop (waitEvents()) until
// bytes come or the time-out falls due.
//
// A text reply ends at its first LF; its text stops at the first CR or LF
// (a CR LF line end leaves no CR in it). A binary reply (BinaryReply true) is a
// length-prefixed block: 4 bytes of little-endian length N, then N bytes; its
// header may come split over several receive events. The block is complete
// when exactly N + 4 bytes have come and N fits RxBuffer; bytes beyond
// RxBuffer are dropped (such a block never completes: its wait times out).

#include <QByteArray>
#include <QString>

class CommPort;

// Ticks a text reply is awaited, and a block (the transfer engine's wait).
inline constexpr int TextReplyTicks = 40;
inline constexpr int BlockReplyTicks = 100;
// Whatever the bytes that keep coming, a wait ends at the latest this many
// times its time-out after it began, as its time-out does.
inline constexpr int WaitDeadlineFactor = 3;

// Installs the serial-port control the link drives (not owned; nullptr: none)
// and routes its receive events to ComOnComm and the loss of its device to
// ComDeviceLost.
void setCommControl(CommPort *control);
CommPort *commControl();

// Opens the port with BaudRateText (blanks trimmed) + ",n,8,1" and
// ComPortNumber, closing it first when open. On any failure: message 30 with
// title 29 and LinkOpened false.
void OpenComPort();

// Writes cmd and an LF in one output, then sleeps the pacing delay. A line
// first finishes, silently, the wait of a reply that was given up, so that its
// late bytes are never taken for a later reply; until then the receive state
// is kept. A query (a line holding "?") waits for the reply's end, or for as
// long as that reply would still have been awaited: its time-out since its
// last byte (a reply of which bytes had come), or its overall deadline (a
// reply of which nothing had come when it was stopped or its time-out passed:
// the whole of it may still be on its way). Any other line waits half a second at the most. A Stop
// given meanwhile ends that wait at once, and the line is not written.
// (max(3, 30000 / baud) ms per character, times length + 1, halves to even).
// Only while the gate is open. Empties RxText and clears RxStarted first. A
// refused output: the control's error text with title 31 (once for a lost
// device, see ComDeviceLost), the link lost when it was connected, no pacing.
// textReply: the line is a query whose text reply is read next (BinaryReply
// false and RxWaiting true from the moment it goes out). True when the line
// went out.
bool ComWriteLine(const QString &cmd, bool textReply = false);

// The pacing delay of a line of len characters at the baud text given (ms).
int ComPacingMs(const QString &baudText, int len);

// Waits, handling events, until the text reply is complete or 40 ticks pass
// without a byte (12 s at the most, or until the exchange is abandoned). True
// when the reply came: *reply is RxText (empty for a reply that was its line
// end alone). Otherwise *reply is empty and the exchange has failed; a reply
// that did not come in time, while the link was connected, is a failed
// exchange with the instrument: message 23 with title 21, and the link lost
// (as a failed VISA read). A reply the user stopped shows nothing and keeps
// the link. Only while the gate is open; otherwise false at once.
bool ComReadReply(QString *reply);

// The block wait of the transfer engine, after the block query was written
// with SendCommand: sets RxWaiting and BinaryReply, starts the ticks, waits
// until the block is complete or tickLimit ticks pass without a byte (three
// times tickLimit at the most, or until the exchange is abandoned). A block
// that does not come in time fails as a text reply does (ComReadReply). A
// block given up is finished before the next query is written. True when the
// block came (its payload in RxBuffer from index 0, its length in RxCount).
// After a Stop that came once the query had gone out (in its pacing or the
// pause after it), this wait and ComReadReply's give the reply up at once,
// as a wait stopped at its start: it is finished before the next query.
bool ComWaitBlock(int tickLimit = BlockReplyTicks);

// The receive handlers: assemble one receive event's bytes into the current
// reply.
void ComReceiveText(const QByteArray &data);
void ComReceiveBinary(const QByteArray &data);

// The receive-event handler: on a receive event takes all pending input from
// the control and passes it to ComReceiveBinary (BinaryReply) or
// ComReceiveText.
void ComOnComm(int commEvent);

// RxTicks: ticks since the last reset; ComResetTicks sets it to 0.
int ComRxTicks();
void ComResetTicks();
// Milliseconds (at least 1) until RxTicks reaches tickLimit.
int ComWaitLeftMs(int tickLimit);

// Marks the link lost: picLED_ON hidden, picLED_OFF shown, LinkConnected false.
void ComLinkLost();

// The serial device went away while the port was open. While the link is in
// use (connected or connecting): the loss's description with title 31, shown
// once for the loss (a write that then fails shows nothing more), and the
// link marked lost at once. A reply awaited then is given up at once.
void ComDeviceLost();
