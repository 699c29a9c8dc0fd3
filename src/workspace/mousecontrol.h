#pragma once
// The application-wide mouse pointer behind one property, Cursor: 0 is the
// default pointer, 11 the hourglass, 99 the custom pointer; other codes of the
// classic pointer set map to the nearest Qt shape. The pointer applies to every
// window of the program until it is set again.

#include <QCursor>

// The hourglass, shown while a long action waits.
inline constexpr int BusyPointer = 11;

class MouseControl {
public:
    // The code of the pointer shown: the one set last, or 0 once the default
    // pointer is back (whoever put it back).
    static int Cursor();
    static void setCursor(int code);
    // The pointer code shows (99: the custom pointer).
    static QCursor cursorOf(int code);
    // The icon code 99 shows.
    static void SetCustomCursor(const QCursor &cursor);
};
