#pragma once
// Message boxes and the file, input and page setup dialogs, behind one interface. The
// program runs on QtUi; tests install ScriptedUi, which records every message
// and answers from a script, so no test opens a modal window.

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

struct FileDialogRequest {
    QString title;
    QString filter;       // "Data Sheet (*.kvd);;All Files (*.*)"
    QString directory;    // initial folder
    QString fileName;     // proposed name
    QString defaultSuffix; // added to a typed name without one, e.g. "kvd"
};

struct FileDialogResult {
    bool accepted = false; // false: cancelled or closed by its frame
    QString path;
    QString selectedFilter;
};

struct InputResult {
    bool accepted = false;
    QString text;
};

class Ui {
public:
    virtual ~Ui() = default;
    virtual MsgAnswer message(MsgIcon icon, const QString &title, const QString &text,
                              MsgButtons buttons = MsgButtons::Ok) = 0;
    virtual FileDialogResult openFile(const FileDialogRequest &req) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest &req) = 0;
    virtual InputResult input(const QString &title, const QString &prompt,
                              const QString &initial) = 0;
    // The page setup dialog of printer, showing its page: true when the user
    // chose with OK, the choice then set on printer; false (printer as it
    // was) on Cancel. A seam that shows no such dialog answers Cancel.
    virtual bool pageSetup(QPrinter &printer)
    {
        (void)printer;
        return false;
    }
    // The window dialogs are centred on; may be null.
    void setParentWindow(QWidget *w) { parent_ = w; }
    QWidget *parentWindow() const { return parent_; }

protected:
    QWidget *parent_ = nullptr;
};

// The dialogs in force: QtUi unless a test installs another.
Ui &ui();
void setUi(Ui *u); // not owned; nullptr restores QtUi
