// A process that starts up and ends as soon as its main window has been shown
// and painted once: the program's own start-up (settings from the file given
// as the first argument), or with --bare a Qt main window with a dock and an
// item area. bench_startup times whole runs of it.
#include "platform/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
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
        if (argc < 2) {
            std::fprintf(stderr, "usage: startup-probe SETTINGS-FILE | --bare\n");
            return 2;
        }
        setSettingsFile(QString::fromLocal8Bit(argv[1]));
        prepareApplication();
        main = StartProgram();
    }
    // Shown, with its panes (the program shows them in a step just after the
    // window), then painted.
    auto shown = [main] {
        if (!main->isVisible())
            return false;
        const auto docks = main->findChildren<QDockWidget *>();
        return std::any_of(docks.begin(), docks.end(), [](QDockWidget *d) { return d->isVisible(); });
    };
    while (!shown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents(); // the first paint of the shown window
    // The time of interest ends here; tearing down is not part of it.
    std::fflush(nullptr);
    std::_Exit(0);
}
