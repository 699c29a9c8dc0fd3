#pragma once
// The program's own icon: a small oscilloscope screen with a graticule and two
// traces, painted at each size a window system asks for. The main window, the
// item windows, the dialogs and the About box carry it.

#include <QIcon>
#include <QPixmap>

// The icon, painted at each size when that size is first asked for; every
// call returns the same icon.
QIcon programIcon();
// The icon painted at size x size pixels.
QPixmap programIconPixmap(int size);
