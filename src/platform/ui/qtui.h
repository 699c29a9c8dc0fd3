#pragma once
#include "platform/ui/ui.h"

#include <QPointer>

#include <memory>

class QFileDialog;
class QMessageBox;
class QPageSetupDialog;

class QtUi final : public Ui {
public:
    ~QtUi() override;
    MsgAnswer message(MsgIcon icon, const QString &title, const QString &text,
                      MsgButtons buttons) override;
    FileDialogResult openFile(const FileDialogRequest &req) override;
    FileDialogResult saveFile(const FileDialogRequest &req) override;
    InputResult input(const QString &title, const QString &prompt, const QString &initial) override;
    bool pageSetup(QPrinter &printer) override;

    // The boxes and dialogs these show, made but not shown (tests look at
    // their texts without opening a modal window).
    static std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, MsgIcon icon, const QString &title,
                                                       const QString &text, MsgButtons buttons);
    // The width a window needs for its whole title in a window manager's
    // title bar.
    static int titleBarWidth(const QString &title);
    static std::unique_ptr<QFileDialog> makeFileDialog(QWidget *parent, const FileDialogRequest &req, bool save);
    // Sets dlg up for req as a new dialog would be: title, filters, open or
    // save, default suffix, folder (the one it is in when req names none) and
    // proposed name (none when req names none: nothing chosen in an earlier
    // use carries over).
    static void prepareFileDialog(QFileDialog &dlg, const FileDialogRequest &req, bool save);
    // The one file dialog of every open and save, set up for req (not shown).
    // It is made at its first use and kept until the application quits, so
    // that answering it destroys nothing: Qt writes a dialog's settings to
    // disk and stops its file watcher when the dialog is destroyed, which
    // would stand between the answer and the window that shows it. While it
    // is open a further request gets a dialog of its own.
    QFileDialog &fileDialog(const FileDialogRequest &req, bool save);
    // What a dialog that has been answered leaves open goes with it: the list
    // of names its name box offered (it stays on screen otherwise, the kept
    // dialog being only hidden).
    static void closeFileDialogPopups(QFileDialog &dlg);
    // The page setup dialog of printer, showing the printer's page (Qt's own
    // dialog starts a system printer on its default paper instead).
    static std::unique_ptr<QPageSetupDialog> makePageSetupDialog(QWidget *parent, QPrinter *printer);

private:
    FileDialogResult runFileDialog(const FileDialogRequest &req, bool save);
    QPointer<QFileDialog> kept_;
};
