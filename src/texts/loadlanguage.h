#pragma once
// The user interface language: the stored setting, applying a language to every
// text of the program, and the switch between Chinese and English.

#include "texts/textstate.h"

#include <functional>

inline constexpr int LanguageChinese = 0;
inline constexpr int LanguageEnglish = 1;

// Store section and key of the language.
inline constexpr const char *LanguageSection = "Kelvoscope_Language";
inline constexpr const char *LanguageKey = "Language";

// The language in force: 0 Chinese, 1 English.
int languageIndex();

// Reads the stored language (English when the key is missing). A stored number
// other than 0 or 1 is read as English; a text that is not a number leaves the
// language as it was (Chinese at start). Never fails.
void LoadLanguageSetting();
// Writes the language in force to the store.
void SaveLanguageSetting();

// Installs Qt's own texts of the language (toolkitlanguage.h), picks the help
// file, ticks the language menu entry, then runs the loader
// table in order with lang. lang 0 is Chinese; any other value picks the
// English help file and menu entry (the text fillers then write only the
// language-neutral labels).
void ApplyLanguage(int lang);

// The switch the language menu entries start: applies newLang, rewrites the
// stored setting words from the previous language, stores the language and
// rebuilds the controller tree. Runs in full even when newLang is in force.
void SwitchLanguage(int newLang);

// Makes the defaults of the settings record follow the display words of the
// language in force. ApplyLanguage does it; it stays installed.
void installDefaultWordSource();

// The help file of a language: the program folder joined with its file name.
QString helpFileFor(int lang);

// Installs fn as the loader of row id (an empty fn makes the row do nothing).
void setLanguageLoader(LanguageLoader id, std::function<void(int)> fn);
// The loader of row id as installed now.
std::function<void(int)> languageLoader(LanguageLoader id);

// Installs the main window's language menu tick (empty = none).
void setLanguageMenuTick(std::function<void(bool chineseTicked)> fn);

// Installs the controller tree rebuild (empty = none).
void setCtrlTreeRebuild(std::function<void()> fn);
// Rebuilds the controller tree with the same branches open; does nothing until
// the controller pane has installed its rebuild.
void RebuildCtrlTreeKeepExpanded();
