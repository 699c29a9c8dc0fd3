#include "shell/mainmodule.h"

#include "common/appstate.h"
#include "shell/frmmain.h"
#include "shell/frmsplash.h"
#include "texts/loadlanguage.h"

#include <QApplication>
#include <QFont>

#include <memory>

void applyProgramFont()
{
    QFont font = QApplication::font();
    QStringList families{QStringLiteral("Noto Sans CJK SC")};
    const QString system = font.family();
    if (!system.isEmpty() && system != families.first())
        families.prepend(system);
    font.setFamilies(families);
    QApplication::setFont(font);
}

frmMain *StartProgram()
{
    // 1: the language, before any window is captioned.
    LoadLanguageSetting();
    // 2: the splash, painted at once.
    auto splash = std::make_unique<frmSplash>();
    splash->show();
    splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // 3: the main window loads while the splash stays up.
    auto *main = new frmMain;
    app().shell.MainForm = main;
    main->MDIForm_Load();
    // 4-5: the splash goes, the main window shows.
    splash.reset();
    main->show();
    return main;
}
