#include "controller/ctrlcommands.h"

#include "common/appstate.h"
#include "controller/ctrlfile.h"
#include "controller/ctrltreenodefunc.h"
#include "controller/ctrltreenodes.h"
#include "platform/pump.h"
#include "platform/ui/ui.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"

#include <QCoreApplication>

namespace {

CtrlState &C()
{
    return app().ctrl;
}

QString appTitle()
{
    return QCoreApplication::applicationName();
}

bool transferBusy()
{
    return app().transfer.TransferBusy;
}

bool linkConnected()
{
    const auto &hook = C().hooks.linkConnected;
    return hook && hook();
}

void addRecent(const QString &path)
{
    if (C().hooks.addRecentCtrlFile)
        C().hooks.addRecentCtrlFile(path);
}

QString filterLabel()
{
    switch (languageIndex()) {
    case LanguageChinese: return QStringLiteral("控制器文件 ");
    case LanguageEnglish: return QStringLiteral("Control Files ");
    default: return {};
    }
}

QString byLanguage(const char *chinese, const char *english)
{
    switch (languageIndex()) {
    case LanguageChinese: return QString::fromUtf8(chinese);
    case LanguageEnglish: return QString::fromUtf8(english);
    default: return {};
    }
}

// After New and Open: open Running Control and take the root as clicked.
void showFreshTree()
{
    BuildCtrlTree();
    SetCtrlNodeExpanded(1, 0, true);
    C().CtrlSelectedPath = CtrlTreeRootText();
}

void newFile()
{
    ResetCtrlSettings();
    showFreshTree();
    C().CtrlFileModified = false;
}

// The question before New and Open. True: go on.
bool askSaveChanges()
{
    if (!C().CtrlFileModified)
        return true;
    QString text = message(Msg::MsgSaveCtrlPrompt);
    if (!C().CtrlFilePath.isEmpty())
        text += C().CtrlFilePath;
    switch (ui().message(MsgIcon::None, appTitle(), text, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        // A save that was cancelled or failed must not count as saved.
        return CtrlSave() == CtrlSaveResult::Saved;
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void openPath(const QString &path)
{
    CtrlSettings read = app().Settings;
    QString error;
    switch (ReadControlFile(path, read, &error)) {
    case ControlFileRead::OpenFailed:
        ui().message(MsgIcon::Critical, appTitle(), error);
        return;
    case ControlFileRead::BadHeader:
        ui().message(MsgIcon::Critical, appTitle(), message(Msg::MsgBadCtrlFile));
        return;
    case ControlFileRead::Ok:
        break;
    }
    app().Settings = read;
    C().CtrlFilePath = path;
    C().CtrlFileModified = false;
    addRecent(path);
    showFreshTree();
}

CtrlSaveResult writeTo(const QString &path)
{
    QString error;
    if (!WriteControlFile(path, app().Settings, &error)) {
        ui().message(MsgIcon::Critical, appTitle(), error);
        return CtrlSaveResult::Failed;
    }
    C().CtrlFilePath = path;
    C().CtrlFileModified = false;
    addRecent(path);
    return CtrlSaveResult::Saved;
}

void setInvertsOff()
{
    CtrlSettings &s = app().Settings;
    const QString &off = word(Word::WordOff);
    s.CH1Invert = off;
    s.CH2Invert = off;
    s.Spare1 = off;
}

void runTransfer(int kind, bool upload)
{
    TransferRequest &t = app().transfer;
    t.RequestKind = kind;
    t.TransferDone = false;
    const auto show = C().hooks.showTransfer;
    if (!show) {
        t.TransferDone = true; // no transfer dialog: nothing to wait for
        return;
    }
    show(CtrlTransferCaption(upload, languageIndex()));
    while (!app().transfer.TransferDone)
        waitEvents(TransferWaitMs);
}

} // namespace

void ResetCtrlSettings()
{
    app().Settings.reset();
    C().CtrlFilePath.clear();
}

void CtrlNewFile()
{
    if (transferBusy())
        return;
    if (!askSaveChanges())
        return;
    newFile();
}

void CtrlOpenWithDialog()
{
    if (transferBusy())
        return;
    if (!askSaveChanges())
        return;
    FileDialogRequest req;
    req.title = byLanguage("打开", "Open");
    req.filter = filterLabel() + QStringLiteral("(*.rmt)");
    const FileDialogResult r = ui().openFile(req);
    if (!r.accepted || r.path.isEmpty())
        return;
    openPath(r.path);
}

void CtrlOpenFile(const QString &path)
{
    if (transferBusy())
        return;
    if (!askSaveChanges())
        return;
    openPath(path);
}

CtrlSaveResult CtrlSave()
{
    if (!C().CtrlFilePath.isEmpty())
        return writeTo(C().CtrlFilePath);
    FileDialogRequest req;
    req.title = byLanguage("保存", "Save");
    req.filter = filterLabel() + QStringLiteral("(*.rmt)");
    const FileDialogResult r = ui().saveFile(req);
    if (!r.accepted || r.path.isEmpty())
        return CtrlSaveResult::Cancelled;
    return writeTo(r.path);
}

CtrlSaveResult CtrlSaveAs()
{
    FileDialogRequest req;
    req.title = byLanguage("另存为", "Save As");
    req.filter = filterLabel() + QStringLiteral("(*.rmt);;Text Files (*.txt);;All Files (*.*)");
    const FileDialogResult r = ui().saveFile(req);
    if (!r.accepted || r.path.isEmpty())
        return CtrlSaveResult::Cancelled;
    return writeTo(r.path);
}

QString CtrlTransferCaption(bool upload, int lang)
{
    if (lang == LanguageChinese)
        return upload ? QStringLiteral("数据上传中...") : QStringLiteral("数据下载中...");
    if (lang == LanguageEnglish)
        return upload ? QStringLiteral("Data Uploading...") : QStringLiteral("Data Downloading...");
    return {};
}

void UploadToDSO()
{
    runTransfer(22, true);
}

void DownloadfromDSO()
{
    runTransfer(23, false);
}

void CtrlUploadCommand()
{
    if (!linkConnected()) {
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgConnectFirst));
        return;
    }
    if (transferBusy())
        return;
    setInvertsOff();
    UploadToDSO();
}

void CtrlDownloadCommand()
{
    if (!linkConnected()) {
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgConnectFirst));
        return;
    }
    if (transferBusy())
        return;
    DownloadfromDSO();
    setInvertsOff();
    C().CtrlFileModified = true;
}

void CtrlConnectCommand()
{
    if (transferBusy())
        return;
    if (C().hooks.connectInstrument)
        C().hooks.connectInstrument();
}

void CtrlDisconnectCommand()
{
    if (transferBusy())
        return;
    if (C().hooks.disconnectInstrument)
        C().hooks.disconnectInstrument();
}

void CtrlExpandAll()
{
    for (const CtrlNodeId &id : CtrlTreeExpandAllNodes()) {
        if (id.valid())
            SetCtrlNodeExpanded(id.group, id.item, true);
        else
            SetCtrlTreeRootExpanded(true);
    }
}

void CtrlEditSelected()
{
    if (!linkConnected()) {
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgConnectFirst));
        return;
    }
    PraseCtrlList(C().CtrlSelectedPath);
}

void PraseCtrlList(const QString &path)
{
    // The setting editors come in later; until they install their dispatcher a
    // double-clicked setting opens nothing.
    const auto edit = C().hooks.editSetting;
    if (edit)
        edit(path);
}

void CtrlPaneLoaded()
{
    if (!C().CtrlInitialised) {
        newFile();
        C().CtrlInitialised = true;
        return;
    }
    BuildCtrlTree();
    SetCtrlNodeExpanded(1, 0, true);
}
