#pragma once
// The VISA link: the transport of the command channel while IoType is not 2.
// It finds the instrument among the VISA resources ("(USB0|ASRL)?*INSTR"),
// lets the user choose when there are several (resourcechooser.h), opens the
// session with a 10000 ms time-out, writes lines, reads text replies and the
// three binary blocks, and closes the session and the resource manager.
//
// Line and block routines act only while the gate is open (cmdfunc.h). A
// failed write shows message 18 with title 20, a failed read message 23 with
// title 21; both then mark the link lost (VisaLinkLost). A read that brings
// nothing (failed, the gate shut, the exchange abandoned or already failed)
// marks the exchange failed (noteReplyMissing()).

#include "platform/visa/visatypes.h"

#include <QByteArray>
#include <QString>

struct SetupBlock;

// The search expression of the connect.
inline constexpr const char *VisaSearchExpr = "(USB0|ASRL)?*INSTR";
// Session time-out (ms), the largest text reply, the screen image read.
inline constexpr ViUInt32 VisaTimeoutMs = 10000;
inline constexpr int VisaLineMax = 256;
inline constexpr int ScreenImageBytes = 74880;
inline constexpr int ScreenReadBytes = 74881;
// The setup block form a VISA serial resource sends, and the waveform read's
// work buffer (indexes 0 to 10240).
inline constexpr int SetupFormBytes = 113;
inline constexpr int WaveWorkBytes = 10241;

// Opens the default resource manager into DefaultRM (at start-up; the status
// is not looked at).
void OpenVisaRM();

// Finds and chooses the resource, opens VisaSession and sets its time-out,
// baud rate and a device clear. Clears LinkOpened when nothing is found or the
// open fails (message 18, title 19) or the user cancels the chooser (silent).
// At most 65 resources are kept (ResourceList).
void OpenVisaDevice();

// Sets VisaInterfaceType from a resource text: 1 "USB...", 0 "ASRL..." (either
// case), 5 otherwise.
void SetVisaInterfaceKind(const QString &resource);

// Writes text and an LF with one viWrite.
void VisaWriteLine(const QString &text);
// One read of at most 256 bytes into *reply: the bytes as text (LF kept), or
// the empty text on any status other than success. True when the read
// succeeded (a reply came, however short).
bool VisaReadLine(QString *reply);

// Reads a waveform block of count bytes into WorkPts(1..n): over USB one read
// (n = bytes read), over other resources an exact-count read (n = count - 1:
// the last byte is the LF). On failure n and WorkPts are left as they were.
// count is bounded by the work buffer, n by WorkPts. Returns the empty text.
QString VisaReadWaveBlock(int &n, int count);

// Reads the setup block into LastSetup: over USB the formatted read "%t"
// (success or count reached both pass), over other resources the 113-byte
// form read as an exact count, then converted by ParaConv. A USB message
// shorter than the block leaves LastSetup as it was and counts as not come
// (no message; the exchange fails). Returns the empty text. received, when
// given, tells whether the block came.
QString VisaReadSystemData(bool *received = nullptr);

// Sends ":LCD:DATA?" (SendCommand) and reads one screen image into buffer
// (grown to 74881 bytes when smaller; bytes a short read does not deliver keep
// their values), then pumps events once. Only when the gate is open and IoType
// is 0.
void ReadScreenImage(QByteArray &buffer);
// The one read of ReadScreenImage.
void VisaReadScreenBlock(QByteArray &buffer);
// A caller that reads the reply to its query with viRead itself says so
// before the read: the reply is then no longer owed to a later read.
void VisaReplyReadDirectly();

// Reads exactly count bytes into buf, reading on after short reads. Returns
// VI_SUCCESS once all count bytes are in (whatever the last read returned),
// else the failing status.
ViStatus VisaReadExact(ViSession vi, ViBuf buf, int count);

// The conversion of the 113-byte setup form: setup bytes 0..111 from the form,
// bytes 112..115 zero. Returns 0.
int ParaConv(const quint8 *raw, SetupBlock &setup);

// viClose of VisaSession. CloseVisaAll: viClear and viClose of VisaSession,
// then viClose of DefaultRM. Statuses ignored.
void CloseVisaDevice();
void CloseVisaAll();

// Marks the link lost: picLED_ON hidden, picLED_OFF shown, LinkConnected false.
void VisaLinkLost();
