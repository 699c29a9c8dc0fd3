#include "shell/frmmain.h"
#include "shell/mainmodule.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvoscope"));
    QApplication::setOrganizationName(QStringLiteral("Kelvoscope"));
    applyProgramFont();

    frmMain *main = StartProgram();
    main->setAttribute(Qt::WA_DeleteOnClose);
    return app.exec();
}
