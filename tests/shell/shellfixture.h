#pragma once
// Common set-up of the shell tests: the link fixture (fresh state, virtual
// clock, scripted dialogs, the simulator as VISA backend and serial port), a
// settings store in a temporary folder, and a modal runner that shows each
// dialog, hands it to the test's script and returns without a nested loop.

#include "link/linkfixture.h"
#include "platform/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"
#include "workspace/modalrunner.h"
#include "workspace/recentfiles.h"
#include "shell/softwaresettings.h"

#include <QDialog>
#include <QTemporaryDir>

#include <functional>

struct ShellFixture : LinkFixture {
    QTemporaryDir dir;
    // Runs for every dialog shown modally; the default closes it by its frame.
    std::function<void(QDialog &)> script;
    QStringList dialogsShown;

    explicit ShellFixture(int lang = 1) : LinkFixture(lang)
    {
        setSettingsFile(dir.filePath(QStringLiteral("Kelvoscope.ini")));
        setModalRunner([this](QDialog &d) {
            dialogsShown << d.objectName();
            d.show();
            if (script)
                script(d);
            else
                d.close();
            if (d.isVisible())
                d.close();
        });
    }
    ~ShellFixture()
    {
        setModalRunner({});
        setSettingsFile(QString());
    }

    void store(const char *section, const char *key, const QString &value)
    {
        QVERIFY(SaveSetting(QLatin1String(section), QLatin1String(key), value));
    }
    QString stored(const char *section, const char *key) const
    {
        return GetSetting(QLatin1String(section), QLatin1String(key), QStringLiteral("<missing>"));
    }

    // A main window loaded as the program loads it (not shown).
    std::unique_ptr<frmMain> loadMain()
    {
        auto w = std::make_unique<frmMain>();
        w->MDIForm_Load();
        return w;
    }
};
