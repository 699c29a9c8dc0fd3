#pragma once
#include "platform/ui/ui.h"

#include <memory>

class QFileDialog;
class QMessageBox;
class QPageSetupDialog;

class QtUi final : public Ui {
public:
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
    // A file dialog that has been answered goes once the events then waiting
    // have been handled, the window's repaints among them: its destruction
    // (Qt saves the dialog's settings to disk and stops its file watcher)
    // comes after the caller has opened the answer and the window shows it.
    static void retireFileDialog(std::unique_ptr<QFileDialog> dlg);
    // The page setup dialog of printer, showing the printer's page (Qt's own
    // dialog starts a system printer on its default paper instead).
    static std::unique_ptr<QPageSetupDialog> makePageSetupDialog(QWidget *parent, QPrinter *printer);
};
