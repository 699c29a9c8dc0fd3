#pragma once
// The texts of the replay windows: the tool tip table of one window and the
// two loaders the data sheet and the language switch call. No window code:
// the windows are reached through app().Sheet.ReplayForms.

#include "workspace/captiontables.h"

#include <QString>

// Tool tips of a replay window, in the order they are set.
std::span<const CaptionRow> replayWindowCaptions();

// The tool tips of the window of slot in lang (0 Chinese, 1 English; another
// lang or slot sets nothing). The status line is left alone.
void LoadReplayWindowTexts(int slot, int lang);
// For every record item whose window is open: the tool tips, the stored
// status word translated into lang and the status line drawn again.
void LoadAllReplayWindowTexts(int lang);
// The stored status word in lang: a word of the other language of one of the
// four pairs becomes its partner, any other text stays.
QString translateReplayStatusText(const QString &text, int lang);
// Installs LoadAllReplayWindowTexts in the language table (idempotent).
void installReplayLanguageLoader();
