#include "workspace/doccommands.h"

#include "app/appstate.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QCoreApplication>

namespace {

QString appTitle()
{
    return QCoreApplication::applicationName();
}

bool busy(const DocumentFile &doc)
{
    return app().transfer.TransferBusy || (doc.busy && doc.busy());
}

SaveOutcome saveTo(const DocumentFile &doc, const QString &path)
{
    QString error;
    if (!doc.write(path, &error)) {
        ui().message(MsgIcon::Critical, appTitle(), error);
        return SaveOutcome::Failed;
    }
    DocumentIsFile(doc, path);
    return SaveOutcome::Saved;
}

// The open dialog's filter: the document's own first, then all files.
QString openFilter(const DocumentFile &doc)
{
    // "*" and not "*.*": a name without a dot is a file too.
    return DocumentFilter(doc) + QStringLiteral(";;") + languageText("所有文件 (*)", "All Files (*)");
}

SaveOutcome saveWithDialog(const DocumentFile &doc, const QString &title, const QString &filter)
{
    FileDialogRequest req;
    req.title = title;
    req.filter = filter;
    req.defaultSuffix = QLatin1String(doc.suffix);
    const FileDialogResult r = ui().saveFile(req);
    if (!r.accepted || r.path.isEmpty())
        return SaveOutcome::Cancelled;
    // A name typed without a suffix gets the document's ("a" becomes "a.kvd").
    return saveTo(doc, PathWithSuffix(r.path, QLatin1String(doc.suffix)));
}

} // namespace

QString languageText(const char *chinese, const char *english)
{
    switch (languageIndex()) {
    case LanguageChinese: return QString::fromUtf8(chinese);
    case LanguageEnglish: return QString::fromUtf8(english);
    default: return {};
    }
}

void DocumentIsFile(const DocumentFile &doc, const QString &path)
{
    *doc.path = path;
    *doc.modified = false;
    doc.addRecent(path);
}

QString DocumentFilter(const DocumentFile &doc)
{
    return languageText(doc.filterChinese, doc.filterEnglish) + QStringLiteral("(*.") + QLatin1String(doc.suffix)
        + QLatin1Char(')');
}

bool AskSaveChanges(const DocumentFile &doc)
{
    if (!*doc.modified)
        return true;
    const QString text = message(doc.savePrompt) + *doc.path;
    switch (ui().message(MsgIcon::None, appTitle(), text, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        // A save that was cancelled or failed must not count as saved.
        return DocumentSave(doc) == SaveOutcome::Saved;
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void DocumentNew(const DocumentFile &doc)
{
    if (busy(doc) || !AskSaveChanges(doc))
        return;
    doc.clear();
}

void DocumentOpenWithDialog(const DocumentFile &doc)
{
    if (busy(doc) || !AskSaveChanges(doc))
        return;
    FileDialogRequest req;
    req.title = languageText("打开", "Open");
    req.filter = openFilter(doc);
    const FileDialogResult r = ui().openFile(req);
    if (r.accepted && !r.path.isEmpty())
        doc.read(r.path);
}

void DocumentOpen(const DocumentFile &doc, const QString &path)
{
    if (busy(doc) || !AskSaveChanges(doc))
        return;
    doc.read(path);
}

SaveOutcome DocumentSave(const DocumentFile &doc)
{
    if (doc.saveable && !doc.saveable())
        return SaveOutcome::Cancelled;
    if (!doc.path->isEmpty())
        return saveTo(doc, *doc.path);
    return saveWithDialog(doc, languageText("保存", "Save"), DocumentFilter(doc));
}

SaveOutcome DocumentSaveAs(const DocumentFile &doc)
{
    if (doc.saveable && !doc.saveable())
        return SaveOutcome::Cancelled;
    return saveWithDialog(doc, languageText("另存为", "Save As"),
                          DocumentFilter(doc) + QLatin1String(doc.saveAsFilters));
}
