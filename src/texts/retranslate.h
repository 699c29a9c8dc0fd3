#pragma once
// Rewrites the setting words kept in the settings record from one language
// into the other. The settings hold each enumerated setting as the value word
// shown when it was written, and the token converters only know the words of
// the language in force, so the language switch runs this once, right after the
// display words have been refilled with the new language.

// newLang, oldLang: 0 Chinese, 1 English. Does nothing when they are equal or
// either is not a language. Precondition: the display words hold newLang.
void RetranslateSettings(int newLang, int oldLang);
