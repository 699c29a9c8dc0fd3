#pragma once
#include "platform/ui/ui.h"

class QtUi final : public Ui {
public:
    MsgAnswer message(MsgIcon icon, const QString &title, const QString &text,
                      MsgButtons buttons) override;
    FileDialogResult openFile(const FileDialogRequest &req) override;
    FileDialogResult saveFile(const FileDialogRequest &req) override;
    InputResult input(const QString &title, const QString &prompt, const QString &initial) override;
};
