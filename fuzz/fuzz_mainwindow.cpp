// The main window's start and close on an arbitrary settings store, as a
// hand-edited or damaged store would come: the options, the window rectangle,
// the recent lists and the panes' layout (a base64 window state) are read by
// the load and its start-up step, and written by the close.
//
// Invariants: after the start-up step both panes are shown and docked, the
// window has a bounded size; the window started from what the close wrote
// writes the same options, rectangle and layout again.

#include "app/appstate.h"
#include "link/link.h"
#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "shell/frmmain.h"
#include "shell/softwaresettings.h"
#include "workspace/modalrunner.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;
QTemporaryDir *gDir = nullptr;

// Everything the close writes.
QStringList written()
{
    QStringList out;
    for (const char *section : {StoreKeys::General, StoreKeys::IoSettings, StoreKeys::Refresh, StoreKeys::WindowSettings})
        for (const auto &p : GetAllSettings(QLatin1String(section)))
            out << p.first + QLatin1Char('=') + p.second;
    return out;
}

// Starts a main window on the store, runs its start-up step, checks it and
// closes it.
void startAndClose()
{
    resetApp();
    setAppClock(gClock);
    gUi->clear();
    setUi(gUi);
    resetVisa();
    unregisterVisaBackend(QStringLiteral("usbtmc"));
    unregisterVisaBackend(QStringLiteral("asrl"));
    frmMain w;
    w.MDIForm_Load();
    gClock->advance(50); // the start-up step
    for (const QString &key : {QStringLiteral("DataSheet"), QStringLiteral("Controller")}) {
        QDockWidget *d = w.pane(key);
        if (!d || d->isHidden() || d->isFloating() || w.dockWidgetArea(d) == Qt::NoDockWidgetArea)
            std::abort();
    }
    if (w.width() > 20000 || w.height() > 20000)
        std::abort();
    w.close(); // the close asks nothing (no file changed) and unloads
    setUi(nullptr);
    setAppClock(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    gDir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gDir->isValid())
        std::abort();
    std::atexit([] { delete gDir; });
    setModalRunner([](QDialog &d) { d.close(); });
    return 0;
}

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = gDir->path() + QStringLiteral("/store.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    setSettingsFile(path);
    startAndClose();
    const QStringList once = written();
    startAndClose();
    const QStringList twice = written();
    if (twice != once) {
        for (const QString &line : once)
            if (!twice.contains(line))
                std::fprintf(stderr, "first close: %s\n", qPrintable(line));
        for (const QString &line : twice)
            if (!once.contains(line))
                std::fprintf(stderr, "second close: %s\n", qPrintable(line));
        std::abort();
    }
    setSettingsFile(QString());
    return 0;
}
