#include "shell/mainmodule.h"

#include "app/appstate.h"
#include "platform/heappolicy.h"
#include "shell/frmmain.h"
#include "shell/frmsplash.h"
#include "shell/programicon.h"
#include "shell/programstyle.h"
#include "texts/loadlanguage.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

#include <memory>

void applyProgramFont()
{
    QFont font = QApplication::font();
    QStringList families{QStringLiteral("Noto Sans CJK SC")};
    // The face the system font stands for: its name can be an alias the font
    // database does not hold as a family ("Sans Serif"), and a list that
    // begins with one would draw every text, Latin too, in the CJK face.
    const QString system = QFontInfo(font).family();
    if (!system.isEmpty() && system != families.first())
        families.prepend(system);
    font.setFamilies(families);
    QApplication::setFont(font);
}

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Kelvoscope"));
    QApplication::setOrganizationName(QStringLiteral("Kelvoscope"));
    applyProgramFont();
    applyProgramStyle();
    // Every window without an icon of its own (item windows, dialogs, message
    // boxes) shows the program's.
    QApplication::setWindowIcon(programIcon());
}

frmMain *StartProgram()
{
    // The language, before any window is captioned.
    LoadLanguageSetting();
    // The splash, painted at once. Showing a splash window before the event
    // loop runs processes the window system's events, and the first expose
    // has then painted it already: a second painting would only repeat it.
    auto splash = std::make_unique<frmSplash>();
    splash->show();
    if (!splash->painted())
        splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The main window loads while the splash stays up.
    auto *main = new frmMain;
    app().shell.MainForm = main;
    main->MDIForm_Load();
    // The splash goes, the main window shows.
    splash.reset();
    main->show();
    return main;
}

int RunProgram(int &argc, char **argv, const std::function<void()> &beforeStart)
{
    KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    prepareApplication();
    if (beforeStart)
        beforeStart();
    frmMain *main = StartProgram();
    main->setAttribute(Qt::WA_DeleteOnClose);
    return application.exec();
}
