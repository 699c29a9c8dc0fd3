#pragma once
// The editable zoom box of the picture windows: a choice from its list takes
// effect at once; a typed text only when the user commits it (Enter, or the
// focus leaving the box), never keystroke by keystroke, so that a factor can
// be typed digit by digit. The box shows what is typed, completing nothing
// from its list.

#include <functional>

class QComboBox;
class QObject;

// Calls commit, which reads the box's text, for every choice from the list
// and for every committed edit. A commit with no edit since the box's text
// was last set (by the program or by commit itself) calls nothing: a check
// that fails and puts the old text back reports once, not again when its
// message box takes the focus. box must be editable.
void connectZoomBox(QComboBox *box, QObject *context, std::function<void()> commit);
