// A process that starts up and ends as soon as its main window has been shown,
// mapped and painted once (with --mapped: as soon as it has been mapped): the
// program's own start-up (settings from the file given as the first
// argument), or with --bare a Qt main window with a dock and an item area.
// At that moment it writes the steady clock's reading (nanoseconds, the
// clock bench_startup reads before launching it) to its standard output, so
// that the time of interest ends there and not when the process has been
// torn down.
#include "platform/heappolicy.h"
#include "platform/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    // startup-probe [--mapped] (--bare | SETTINGS-FILE)
    const bool mappedOnly = argc > 1 && std::strcmp(argv[1], "--mapped") == 0;
    const int what = mappedOnly ? 2 : 1;
    const bool bare = argc > what && std::strcmp(argv[what], "--bare") == 0;
    if (!bare)
        KeepFreedMemoryForReuse(); // as the program does before anything else
    QApplication application(argc, argv);
    QMainWindow *main = nullptr;
    if (bare) {
        main = new QMainWindow;
        main->setCentralWidget(new QMdiArea);
        auto *dock = new QDockWidget(QStringLiteral("Dock"), main);
        dock->setWidget(new QTreeWidget);
        main->addDockWidget(Qt::LeftDockWidgetArea, dock);
        main->resize(1024, 720);
        main->show();
    } else {
        if (argc <= what) {
            std::fprintf(stderr, "usage: startup-probe [--mapped] SETTINGS-FILE | --bare\n");
            return 2;
        }
        setSettingsFile(QString::fromLocal8Bit(argv[what]));
        prepareApplication();
        main = StartProgram();
    }
    const auto exposed = [main] { return main->isVisible() && main->windowHandle() && main->windowHandle()->isExposed(); };
    // Shown, with its panes (the program shows them in a step just after the
    // window), mapped by the window system (exposed), then painted; under a
    // window system the painting has reached the server. With --mapped, only
    // until the window system has mapped the window.
    auto shown = [main, exposed, mappedOnly] {
        if (!exposed())
            return false;
        if (mappedOnly)
            return true;
        const auto docks = main->findChildren<QDockWidget *>();
        return std::any_of(docks.begin(), docks.end(), [](QDockWidget *d) { return d->isVisible(); });
    };
    while (!shown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!mappedOnly) {
        QCoreApplication::processEvents(); // the first paint of the shown window
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QGuiApplication::sync();
    }
    // The time of interest ends here; tearing down is not part of it.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    std::fflush(nullptr);
    std::_Exit(0);
}
