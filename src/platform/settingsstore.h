#pragma once
// The per-user settings store: text values addressed by a section and a key,
// kept in an INI file ("Kelvoscope.ini" in the user's configuration folder,
// one INI group per section). Every value is text; a read names the default
// returned when the key is missing. Nothing is ever deleted.
//
// Tests point the store at a file of their own with setSettingsFile().

#include <QList>
#include <QPair>
#include <QString>

// Application name under which the store lives.
inline constexpr const char *SettingsAppName = "Kelvoscope";

// The value of key in section, or defaultValue when the key is missing or its
// stored value cannot be read as text.
QString GetSetting(const QString &section, const QString &key, const QString &defaultValue = QString());

// Writes value to key in section and flushes the file. Returns false when the
// store could not be written (the caller decides whether that matters).
bool SaveSetting(const QString &section, const QString &key, const QString &value);

// The whole section as key/value pairs. The INI file keeps its keys sorted, not
// in the order they were first written, so the pairs come in natural key order
// (runs of digits compared as numbers: "RecentFile2" before "RecentFile10"),
// which is the order the program writes its numbered keys in.
QList<QPair<QString, QString>> GetAllSettings(const QString &section);

// A stored text read as a 32-bit integer: blanks around it allowed, "." as
// decimal point, halves rounded to even ("1.5" gives 2, "2.5" gives 2). False
// for a text that is not a number or lies outside the 32-bit range.
bool StoredLong(const QString &text, qint32 *out);

// True when key exists in section.
bool HasSetting(const QString &section, const QString &key);

// The INI file in use: the user's store unless a test set another.
QString settingsFilePath();
// Uses path as the store from now on; an empty path goes back to the user's
// store ("<config folder>/Kelvoscope/Kelvoscope.ini").
void setSettingsFile(const QString &path);
