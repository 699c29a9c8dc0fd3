#include "controller/ctrlcommands.h"

#include "app/appstate.h"
#include "controller/ctrlfile.h"
#include "controller/ctrltreenodefunc.h"
#include "controller/ctrltreenodes.h"
#include "link/cmdfunc.h"
#include "platform/pump.h"
#include "platform/ui/ui.h"
#include "workspace/doccommands.h"
#include "texts/busytexts.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/retranslate.h"
#include "texts/stringres.h"
#include "transfer/transferrunner.h"

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

const DocumentFile &ctrlDocument();

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
    // A file keeps the words of the language it was saved in, but the tree,
    // the editors and the upload know only the words of the language in
    // force: the words come in translated, their meaning unchanged.
    TranslateSettingWords(read, languageIndex());
    app().Settings = read;
    DocumentIsFile(ctrlDocument(), path);
    showFreshTree();
}

void setInvertsOff()
{
    CtrlSettings &s = app().Settings;
    const QString &off = word(Word::WordOff);
    s.CH1Invert = off;
    s.CH2Invert = off;
    s.Spare1 = off;
}

// Runs the transfer; false when there was none to wait for.
bool runTransfer(int kind, bool upload)
{
    TransferRequest &t = app().transfer;
    t.RequestKind = kind;
    t.TransferDone = false;
    app().xfer.RequestComplete = false; // until the request says otherwise
    const auto show = C().hooks.showTransfer;
    if (!show) {
        t.TransferDone = true; // no transfer dialog: nothing to wait for
        return false;
    }
    show(CtrlTransferCaption(upload, languageIndex()));
    const LinkExchange exchange;
    while (!app().transfer.TransferDone)
        waitEvents(TransferWaitMs);
    if (exchangeAbandoned() || exchangeFailed())
        app().xfer.RequestComplete = false;
    return true;
}

// The control file as a document of the shared file commands.
const DocumentFile &ctrlDocument()
{
    static const DocumentFile doc{
        .savePrompt = Msg::MsgSaveCtrlPrompt,
        .path = &C().CtrlFilePath,
        .modified = &C().CtrlFileModified,
        .filterChinese = "控制器文件 ",
        .filterEnglish = "Control Files ",
        .suffix = "rmt",
        .saveAsFilters = ";;Text Files (*.txt);;All Files (*.*)",
        .saveable = {},
        .write = [](const QString &path, QString *error) { return WriteControlFile(path, app().Settings, error); },
        .addRecent = addRecent,
        .clear = newFile,
        .read = openPath,
    };
    return doc;
}

} // namespace

void ResetCtrlSettings()
{
    app().Settings.reset();
    C().CtrlFilePath.clear();
}

void CtrlNewFile()
{
    DocumentNew(ctrlDocument());
}

void CtrlOpenWithDialog()
{
    DocumentOpenWithDialog(ctrlDocument());
}

void CtrlOpenFile(const QString &path)
{
    DocumentOpen(ctrlDocument(), path);
}

CtrlSaveResult CtrlSave()
{
    return DocumentSave(ctrlDocument());
}

CtrlSaveResult CtrlSaveAs()
{
    return DocumentSaveAs(ctrlDocument());
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
    // Cut short by closing the link or the program: the lines that went out
    // are all the instrument took.
    if (runTransfer(22, true) && !exchangeRunning() && lastExchangeAbandoned())
        ui().message(MsgIcon::Exclamation, appTitle(), uploadCutText(languageIndex()));
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
    // A download stopped or cut short by a reply that did not come has left
    // the settings, the tree and the file's state as they were.
    if (!app().xfer.RequestComplete) {
        reportMissingBlock();
        return;
    }
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
    // The setting editors' dispatcher (the main window installs it; without
    // one, as in a bare controller pane, a double-clicked setting opens nothing).
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
