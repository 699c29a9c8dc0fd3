#pragma once
// The captions of the data table windows in both languages: the two buttons,
// their tool tips and the three column headers. The channel options ("CH1",
// "CH2", "LA"), the rows and the settings line are not captions. The window's
// own title is the item's name and is never set here.

#include "shell/captiontables.h"

#include <span>

// The button captions and tool tips, in the order they are set.
std::span<const CaptionRow> dataWindowCaptions();
// The column headers, "NO.", time and voltage, in lang (0 Chinese,
// 1 English); empty texts for any other lang.
std::array<QString, 3> dataWindowHeaders(int lang);

// Captions the window of slot (0..17) for lang (1 English, 0 Chinese; any
// other lang, or a slot without a window, sets nothing).
void LoadDataWindowTexts(int slot, int lang);
// The same for every data item (slots 0..count-1) whose window is open.
void LoadAllDataWindowTexts(int lang);
// Installs LoadAllDataWindowTexts as the data windows' row of the language
// loader table (done whenever a data window is made; idempotent).
void installDataWindowLoader();
