#pragma once
// The message table: the text (and for some boxes the title) of every message
// box, in the current language.

#include "texts/textstate.h"

// The entry of m in the language last loaded (empty before the first load).
const QString &message(Msg m);

// Fills every entry with its Chinese text (lang 0) or English text (lang 1).
// Any other lang leaves every entry as it was.
void LoadMessageTable(int lang);
