#pragma once
// The status bar's texts while the program talks to the instrument: input
// held for the end of an exchange, an exchange being stopped, a press refused
// because the instrument is busy, a continuous refresh paused by a dialog.

#include <QString>

enum class BusyText { InputHeld, Stopping, Refused, RefreshPaused };

// The text of t in lang (0 Chinese, otherwise English).
QString busyText(BusyText t, int lang);
