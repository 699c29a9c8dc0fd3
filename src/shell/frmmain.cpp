#include "shell/frmmain.h"

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvoscope"));
    resize(1024, 720);
}
