#pragma once
// Qt's own texts (the buttons of message boxes, the file and print dialogs,
// the standard context menus) in the language in force: Qt's translations of
// that language are installed, and taken out again for English. Where the
// system has no translation files the toolkit stays English.

// Installs the toolkit's texts of lang (0 Chinese, any other value English).
// Does nothing without an application object.
void applyToolkitLanguage(int lang);
