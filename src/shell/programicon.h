#pragma once
// The program's own icon: a small oscilloscope screen with a graticule and two
// traces (shell/programiconpicture.h), taken from the program's pictures at
// the sizes windows hand the window system and painted at any other. The main
// window, the item windows, the dialogs and the About box carry it.

#include <QIcon>
#include <QPixmap>

// The icon, made at each size when that size is first asked for; every call
// returns the same icon.
QIcon programIcon();
// The icon at size x size pixels.
QPixmap programIconPixmap(int size);
