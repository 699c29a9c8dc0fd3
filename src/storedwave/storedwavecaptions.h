#pragma once
// The texts of the viewer windows: the caption and tool tip table of one
// window and the two loaders the data sheet and the language switch call. No
// window code: the windows are reached through app().Sheet.StoredWaveForms.

#include "workspace/captiontables.h"

#include <span>

// Captions and tool tips of a viewer window, in the order they are set.
std::span<const CaptionRow> storedWaveWindowCaptions();

// The texts of the window of slot in lang (0 Chinese, 1 English; another
// lang, or a slot without a window, sets nothing).
void LoadStoredWaveWindowTexts(int slot, int lang);
// The same for every memory waveform item whose window is open.
void LoadAllStoredWaveWindowTexts(int lang);
// Installs LoadAllStoredWaveWindowTexts in the language table (idempotent).
void installStoredWaveLanguageLoader();
