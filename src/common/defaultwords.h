#pragma once
// The word source for language-dependent defaults.
//
// Some record defaults are display words of the current language (the on/off
// word, "EDGE", "RISING"...). The records never hold a language table of their
// own: wherever a reset needs such a word it calls
//
//     defaultWord("WordOn", "ON")
//
// with the word's name and its English text. The answer comes from the
// installed source; with none installed (the start-up state) it is the English
// text unchanged. The texts module switches every default to the current
// language, without touching any record, by installing its own source once:
//
//     setDefaultWordSource([](const char *name, const QString &english) {
//         return currentLanguageWord(name, english);
//     });
//
// A source gets the name (e.g. "WordPulsePosLess") so it can tell apart words
// whose English texts are equal ("AC" is both WordAC and WordACLine;
// "+Less Than" is both WordPulsePosLess and WordSlopeRiseLess). It should
// return english for a name it does not know. setDefaultWordSource({})
// restores the English source.
//
// The source is program-wide and is not part of AppState: resetApp() leaves it
// alone. A test that installs one removes it again in its cleanup.

#include <QString>

#include <functional>

using DefaultWordSource = std::function<QString(const char *name, const QString &english)>;

void setDefaultWordSource(DefaultWordSource source);
QString defaultWord(const char *name, const char *english);
