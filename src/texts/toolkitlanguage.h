#pragma once
// Qt's own texts (the buttons of message boxes, the file and print dialogs,
// the standard context menus) in the language in force: Qt's translations of
// that language are installed, and taken out again for English. Where the
// system has no translation files the toolkit stays English. Our own texts
// that the layers below the windows ask for through Qt's translation (context
// "Kelvoscope": the print and picture-saving messages, the serial port's
// failures, the status panel) follow the same way.

// Installs the toolkit's texts of lang (0 Chinese, any other value English).
// Does nothing without an application object.
void applyToolkitLanguage(int lang);
