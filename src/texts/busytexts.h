#pragma once
// The status bar's texts while the program talks to the instrument: input
// held for the end of an exchange, held input that was not used, an exchange
// being stopped, a press refused because the instrument is busy, a
// continuous refresh paused by a dialog, the end of a reply given up awaited,
// a connection being made.

#include <QString>

enum class BusyText { InputHeld, InputDropped, Stopping, Refused, RefreshPaused, LateReply, Connecting };

// The text of t in lang (0 Chinese, otherwise English).
QString busyText(BusyText t, int lang);

// The message after a settings upload that was cut short (the link closed or
// the program closed meanwhile), in lang.
QString uploadCutText(int lang);
