#pragma once
// The test stand-in for the dialogs: records every message box and dialog it
// is asked for and answers from a script, first in, first out. When the script
// for a kind runs dry it gives that kind's fallback answer.

#include "platform/ui/ui.h"

#include <QList>
#include <QPageLayout>
#include <deque>
#include <functional>

struct RecordedMessage {
    MsgIcon icon = MsgIcon::None;
    QString title;
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer answer = MsgAnswer::Ok;
};

struct RecordedFileDialog {
    bool save = false;
    FileDialogRequest request;
};

struct RecordedPageSetup {
    QPageLayout shown; // the printer's page when the dialog was asked for
    bool accepted = false;
};

struct RecordedInput {
    QString title;
    QString prompt;
    QString initial;
};

class ScriptedUi final : public Ui {
public:
    // Scripts: the answers, in order, of the next dialogs of each kind.
    void answerMessage(MsgAnswer a) { msgAnswers_.push_back(a); }
    // A file dialog answered with path, with the filter at filterIndex of the
    // request's list chosen (a dialog starts on the first).
    void answerFile(const QString &path, int filterIndex = 0) { fileAnswers_.push_back({{true, path, {}}, filterIndex}); }
    void cancelFile() { fileAnswers_.push_back({}); }
    void answerInput(const QString &text) { inputAnswers_.push_back({true, text}); }
    void cancelInput() { inputAnswers_.push_back({}); }
    // A page setup answered with OK, page chosen; or cancelled. Nothing
    // scripted: cancelled.
    void answerPageSetup(const QPageLayout &page) { pageAnswers_.push_back(page); }
    void cancelPageSetup() { pageAnswers_.push_back(QPageLayout()); }

    // Fallback for a message with no scripted answer: the first button's answer
    // (Ok or Yes or Retry) unless set here.
    void setFallbackAnswer(MsgAnswer a) { fallback_ = a; hasFallback_ = true; }
    // Runs for every message as it is asked (the state the program shows
    // while the box would be open), before it is answered.
    std::function<void(const RecordedMessage &)> onMessage;

    MsgAnswer message(MsgIcon icon, const QString &title, const QString &text,
                      MsgButtons buttons) override;
    FileDialogResult openFile(const FileDialogRequest &req) override;
    FileDialogResult saveFile(const FileDialogRequest &req) override;
    InputResult input(const QString &title, const QString &prompt, const QString &initial) override;
    bool pageSetup(QPrinter &printer) override;

    const QList<RecordedMessage> &messages() const { return messages_; }
    const QList<RecordedFileDialog> &fileDialogs() const { return files_; }
    const QList<RecordedInput> &inputs() const { return inputs_; }
    const QList<RecordedPageSetup> &pageSetups() const { return pageSetups_; }
    // Unused scripted answers (a test can check that every answer was asked for).
    int pendingAnswers() const
    {
        return int(msgAnswers_.size() + fileAnswers_.size() + inputAnswers_.size() + pageAnswers_.size());
    }
    void clear();

private:
    FileDialogResult nextFile(bool save, const FileDialogRequest &req);

    std::deque<MsgAnswer> msgAnswers_;
    struct FileAnswer {
        FileDialogResult result;
        int filterIndex = 0;
    };
    std::deque<FileAnswer> fileAnswers_;
    std::deque<InputResult> inputAnswers_;
    std::deque<QPageLayout> pageAnswers_; // invalid: cancel
    MsgAnswer fallback_ = MsgAnswer::Ok;
    bool hasFallback_ = false;
    QList<RecordedMessage> messages_;
    QList<RecordedFileDialog> files_;
    QList<RecordedInput> inputs_;
    QList<RecordedPageSetup> pageSetups_;
};
