#pragma once
// Rewrites the setting words kept in a settings record into one language. The
// settings hold each enumerated setting as the value word shown when it was
// written, and the token converters only know the words of the language in
// force, so the language switch rewrites them once, right after the display
// words have been refilled with the new language, and opening a control file
// rewrites the words it brought (a file keeps the words of the language it was
// saved in).
//
// A member's text that is one of its words in either language becomes that
// word in the target language; any other text (a number, a name, an empty or
// unknown text) stays exactly as it is. No rewrite changes what a setting
// means, and rewriting twice changes nothing more.

#include "common/ctrlsettings.h"

// Every word member of settings into lang (0 Chinese, 1 English); nothing for
// another lang. Every enumerated member is rewritten, whatever the trigger
// method, the display words that the instrument last reported (MathDisplay,
// FFTDisplay) and the on/off words of the inverts and the spares included.
void TranslateSettingWords(CtrlSettings &settings, int lang);

// The language switch's rewrite of the program's settings record into newLang.
// newLang, oldLang: 0 Chinese, 1 English. Does nothing when they are equal or
// either is not a language.
void RetranslateSettings(int newLang, int oldLang);
