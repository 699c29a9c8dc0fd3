#pragma once
// The drawing of the program's icon: a small oscilloscope screen with a
// graticule and two traces. The program takes the sizes its windows hand the
// window system from pictures this drawing made (tools/drawpictures.cpp keeps
// them in src/workspace/pictures) and paints any other size with it. Needs
// only a GUI application.

#include <QImage>

#include <array>

// The sizes every window hands the window system (its _NET_WM_ICON under X):
// those title bars, taskbars and window lists show; the window system scales
// from them where it wants another. They are the ones kept as pictures.
inline constexpr std::array<int, 5> ProgramIconWindowSizes{16, 24, 32, 48, 64};

// The icon painted at size x size pixels, premultiplied ARGB32.
QImage paintProgramIcon(int size);
