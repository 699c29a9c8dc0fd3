#include "shell/frmmain.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvoscope"));
    QApplication::setOrganizationName(QStringLiteral("Kelvoscope"));
    // Chinese captions need a CJK font; name it rather than trust the fallback chain.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK SC")});
    QApplication::setFont(font);

    frmMain main;
    main.show();
    return app.exec();
}
