#pragma once
// The file commands shared by the program's own documents (the control file
// and the data sheet): the question before unsaved changes are replaced, Save
// and Save As through the whole-file save, and the open dialog. Each document
// brings its own texts, filters and file format through DocumentFile.
//
// Rules they keep: only a write that succeeded counts as saved (the modified
// flag, the path and the recent list change only then); a failed write shows
// the system's text with the critical icon; Yes at the question followed by a
// cancelled or failed save stops the command as Cancel would.

#include "texts/textstate.h"

#include <QString>

#include <functional>

// What became of a save the user asked for. Only Saved counts as saved: an
// abandoned file dialog (Cancelled) or a failed write (Failed) stops the
// command that asked for the save, as its Cancel would.
enum class SaveOutcome { Saved, Cancelled, Failed };

struct DocumentFile {
    // The question asked before unsaved changes are dropped (the path is
    // added behind it).
    Msg savePrompt = Msg::MsgSaveSheetPrompt;
    // The document's file (empty while untitled) and its modified flag.
    QString *path = nullptr;
    bool *modified = nullptr;
    // The dialogs' filter: the label of the kind in Chinese and English, and
    // its suffix ("rmt" gives "Control Files (*.rmt)"); Save As adds
    // saveAsFilters behind it.
    const char *filterChinese = "";
    const char *filterEnglish = "";
    const char *suffix = "";
    const char *saveAsFilters = "";
    // Optional: false when there is nothing to save (Save and Save As then
    // give Cancelled without a dialog).
    std::function<bool()> saveable;
    // Writes the whole document to path; false with the system's text in
    // *error when the write failed (the previous file is then whole).
    std::function<bool(const QString &path, QString *error)> write;
    // Puts a path at the head of the kind's recent list.
    void (*addRecent)(const QString &path) = nullptr;
    // New's work once the question is answered.
    void (*clear)() = nullptr;
    // Open's work once the question is answered: reads path, reports a bad
    // file and then changes nothing.
    void (*read)(const QString &path) = nullptr;
    // Optional: true while the document cannot be replaced (New and Open are
    // then refused silently, as while a transfer runs).
    bool (*busy)() = nullptr;
};

// The text of the language in force (Chinese or English).
QString languageText(const char *chinese, const char *english);

// The question before New, Open and closing: true to go on (nothing to save,
// No, or Yes and the save succeeded).
bool AskSaveChanges(const DocumentFile &doc);
// Records that the document is the file at path and unmodified (after a good
// write or read), and puts path at the head of the recent list.
void DocumentIsFile(const DocumentFile &doc, const QString &path);
// The open and save dialogs' filter of the document.
QString DocumentFilter(const DocumentFile &doc);
// New, Open and OpenCtrl do nothing while a transfer runs or the document is
// busy.
// New: the question, then clear().
void DocumentNew(const DocumentFile &doc);
// Open with the open dialog, and Open of a known path (recent lists, start-up).
void DocumentOpenWithDialog(const DocumentFile &doc);
void DocumentOpen(const DocumentFile &doc, const QString &path);
// Save (to the document's path, or through the dialog while untitled) and
// Save As.
SaveOutcome DocumentSave(const DocumentFile &doc);
SaveOutcome DocumentSaveAs(const DocumentFile &doc);
