#pragma once
// Connecting, identifying and disconnecting the instrument.
//
// ConnectInstrument opens the port (IoType 2) or a VISA session, sends the
// key lock and the point mode (before identification, to whatever answers),
// asks "*IDN?" and accepts only the maker "KARVO TECHNOLOGIES" (the reply is
// upper-cased first) with a model ending in "D" or "D-EDU"; on success it
// turns the lamps on, sets LinkConnected and reads the MATH display state
// into Settings.MathDisplay. A refused identity shows message 3 with title 4.
// None of the procedures returns an error: look at app().link.LinkConnected.

#include <QString>

struct LinkState;

// The maker every accepted identity names.
inline constexpr const char *InstrumentMaker = "KARVO TECHNOLOGIES";

void ConnectInstrument();

// Sends ":KEY:LOCK DISABLE" when connected; then in every case lamps off and
// LinkConnected false. Closes nothing.
void DisconnectInstrument();

// Whether the instrument has a colour screen: asks "*IDN?" (when LinkOpened)
// and looks at the 26th character of the reply as received ("C").
bool IsColorDisplay();

// The bandwidth class of the number read from model characters 4 and 5:
// 2 -> 0, 4 -> 1, 6 -> 2, 10 and 15 -> 3, 20 -> 4, anything else 5.
int bandwidthClassOf(double number);

// Applies the identification rules to an upper-cased "*IDN?" reply. When the
// maker matches, sets LaPresent, LaModel and BandwidthClass (and ScreenTop
// for an accepted model) in link and returns true for an accepted model;
// returns false otherwise (the facts stay as they were when the maker does not
// match).
bool identifyInstrument(const QString &upperReply, LinkState &link);
