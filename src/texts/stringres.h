#pragma once
// The display words: labels of the controller tree and its editors, the data
// sheet words, the value words of instrument settings and the measurement
// names, each in the current language.

#include "texts/textstate.h"

// The word w as last filled (empty before its filler first ran).
const QString &word(Word w);

// The name of measurement number 0 to 17 in the current language; empty for a
// number outside that range.
QString measureName(int number);

// The fixed text of w in language lang (0 Chinese, 1 English), whatever the
// tables hold now. Language-neutral labels have their text in every language;
// every other word is empty for a lang other than 0 or 1.
QString wordLiteral(Word w, int lang);

// True when text is the on-word of either language ("ON" or "打开"). Display
// words kept in records that outlive a language switch (a waveform item's
// FFT display word, stored in the language of its transfer) are read with it.
bool IsOnWordOfAnyLanguage(const QString &text);

// The name of w as code spells it ("WordOn"); empty for a value out of range.
const char *wordName(Word w);
// The word named name ("WordOn"); false for a name that is no word.
bool wordByName(const char *name, Word *out);

// Setting value words (lang 0 or 1; any other value writes nothing).
void FillTokenTexts(int lang);
// The language-neutral labels for every lang, then the item labels and the data
// sheet words for lang 0 or 1.
void FillTreeLabels(int lang);
// The eighteen measurement names (lang 0 or 1; any other value writes nothing).
void FillMeasureNames(int lang);
