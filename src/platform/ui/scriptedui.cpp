#include "platform/ui/scriptedui.h"

#include <QPrinter>

namespace {
MsgAnswer firstButton(MsgButtons b)
{
    switch (b) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
    case MsgButtons::RetryCancel: return MsgAnswer::Retry;
    }
    return MsgAnswer::Ok;
}
} // namespace

MsgAnswer ScriptedUi::message(MsgIcon icon, const QString &title, const QString &text,
                              MsgButtons buttons)
{
    MsgAnswer a = hasFallback_ ? fallback_ : firstButton(buttons);
    if (!msgAnswers_.empty()) {
        a = msgAnswers_.front();
        msgAnswers_.pop_front();
    }
    messages_.append({icon, title, text, buttons, a});
    if (onMessage)
        onMessage(messages_.last());
    return a;
}

FileDialogResult ScriptedUi::nextFile(bool save, const FileDialogRequest &req)
{
    files_.append({save, req});
    FileDialogResult r; // nothing scripted: cancelled
    if (!fileAnswers_.empty()) {
        const FileAnswer a = fileAnswers_.front();
        fileAnswers_.pop_front();
        r = a.result;
        const QStringList filters = req.filter.split(QStringLiteral(";;"));
        if (r.accepted && a.filterIndex >= 0 && a.filterIndex < filters.size())
            r.selectedFilter = filters[a.filterIndex];
    }
    return r;
}

FileDialogResult ScriptedUi::openFile(const FileDialogRequest &req)
{
    return nextFile(false, req);
}

FileDialogResult ScriptedUi::saveFile(const FileDialogRequest &req)
{
    return nextFile(true, req);
}

InputResult ScriptedUi::input(const QString &title, const QString &prompt, const QString &initial)
{
    inputs_.append({title, prompt, initial});
    InputResult r;
    if (!inputAnswers_.empty()) {
        r = inputAnswers_.front();
        inputAnswers_.pop_front();
    }
    return r;
}

bool ScriptedUi::pageSetup(QPrinter &printer)
{
    RecordedPageSetup r{printer.pageLayout(), false};
    if (!pageAnswers_.empty()) {
        const QPageLayout page = pageAnswers_.front();
        pageAnswers_.pop_front();
        // As the dialog's OK does: the chosen page is set on the printer.
        if (page.isValid()) {
            printer.setPageLayout(page);
            printer.setPageOrientation(page.orientation());
            r.accepted = true;
        }
    }
    pageSetups_.append(r);
    return r.accepted;
}

void ScriptedUi::clear()
{
    msgAnswers_.clear();
    fileAnswers_.clear();
    inputAnswers_.clear();
    pageAnswers_.clear();
    messages_.clear();
    files_.clear();
    inputs_.clear();
    pageSetups_.clear();
    hasFallback_ = false;
}
