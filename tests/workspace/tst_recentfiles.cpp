// The recent-file lists: the store sections newest first, moving a file to the
// top, exact comparison, four entries at most, and the File menu's submenus
// (root disabled while empty, entries shown once they hold a path, a click
// opening the entry's file).
#include "shell/shellfixture.h"

#include <QMenu>

namespace {

QStringList storedList(const char *section)
{
    QStringList l;
    for (int n = 1; n <= 4; ++n)
        l << GetSetting(QLatin1String(section), QStringLiteral("RecentFile%1").arg(n));
    return l;
}

void addAll(const QStringList &paths, bool ctrl)
{
    for (const QString &p : paths) {
        if (ctrl)
            AddRecentCtrlFile(p);
        else
            AddRecentSheetFile(p);
    }
}

} // namespace

class TestRecentFiles : public QObject {
    Q_OBJECT
private slots:
    void listOrder_data()
    {
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("expected");
        for (bool ctrl : {true, false}) {
            const char *kind = ctrl ? "ctrl " : "sheet ";
            QTest::newRow(QByteArray(kind).append("one").constData()) << ctrl << QStringList{"/a"} << QStringList{"/a", "", "", ""};
            QTest::newRow(QByteArray(kind).append("five: the oldest falls off").constData())
                << ctrl << QStringList{"/A", "/B", "/C", "/D", "/E"} << QStringList{"/E", "/D", "/C", "/B"};
            QTest::newRow(QByteArray(kind).append("oldest again moves to top").constData())
                << ctrl << QStringList{"/A", "/B", "/C", "/A"} << QStringList{"/A", "/C", "/B", ""};
            QTest::newRow(QByteArray(kind).append("middle of four").constData())
                << ctrl << QStringList{"/A", "/B", "/C", "/D", "/B"} << QStringList{"/B", "/D", "/C", "/A"};
            QTest::newRow(QByteArray(kind).append("newest again: unchanged").constData())
                << ctrl << QStringList{"/A", "/B", "/B"} << QStringList{"/B", "/A", "", ""};
            QTest::newRow(QByteArray(kind).append("letter case counts").constData())
                << ctrl << QStringList{"/data/Scope.rmt", "/data/scope.rmt"}
                << QStringList{"/data/scope.rmt", "/data/Scope.rmt", "", ""};
        }
    }
    void listOrder()
    {
        QFETCH(bool, ctrl);
        QFETCH(QStringList, opened);
        QFETCH(QStringList, expected);
        ShellFixture f;
        auto w = f.loadMain();
        addAll(opened, ctrl);
        const char *section = ctrl ? StoreKeys::RecentCtrl : StoreKeys::RecentSheet;
        QCOMPARE(storedList(section), expected);
        // The menu mirrors the store: entry captions exactly the paths.
        const QString entry = ctrl ? QStringLiteral("mnuFileRecentCtrl_") : QStringLiteral("mnuFileRecentSheet_");
        for (int i = 0; i < 4; ++i) {
            QAction *a = w->action(entry + QString::number(i));
            QCOMPARE(a->text(), expected[i]);
            QCOMPARE(a->isVisible(), i == 0 || !expected[i].isEmpty());
        }
    }

    void rootDisabledWhileEmpty()
    {
        ShellFixture f;
        auto w = f.loadMain();
        QMenu *ctrlRoot = w->menu(QStringLiteral("mnuRecentCtrlRoot"));
        QMenu *sheetRoot = w->menu(QStringLiteral("mnuRecentSheetRoot"));
        QVERIFY(!ctrlRoot->menuAction()->isEnabled());
        QVERIFY(!sheetRoot->menuAction()->isEnabled());
        QVERIFY(w->action(QStringLiteral("mnuFileRecentCtrl_0"))->isVisible());
        QVERIFY(!w->action(QStringLiteral("mnuFileRecentCtrl_1"))->isVisible());
        QVERIFY(AddRecentCtrlFile(QStringLiteral("/home/u/a.rmt")));
        QVERIFY(ctrlRoot->menuAction()->isEnabled());
        QVERIFY(!sheetRoot->menuAction()->isEnabled());
        QCOMPARE(w->action(QStringLiteral("mnuFileRecentCtrl_0"))->text(), QStringLiteral("/home/u/a.rmt"));
        // An emptied first key (an edited store) disables the root again.
        QVERIFY(SaveSetting(QLatin1String(StoreKeys::RecentCtrl), QStringLiteral("RecentFile1"), QString()));
        UpdateRecentCtrlMenu();
        QVERIFY(!ctrlRoot->menuAction()->isEnabled());
    }

    void storedListsFillTheMenusAtLoad()
    {
        ShellFixture f;
        const char *s = StoreKeys::RecentSheet;
        f.store(s, "RecentFile1", QStringLiteral("/s/new.kvd"));
        f.store(s, "RecentFile2", QStringLiteral("/s/A&B.kvd"));
        f.store(s, "RecentFile3", QStringLiteral("/s/old.kvd"));
        f.store(s, "RecentFile9", QStringLiteral("/s/edited-in.kvd")); // more keys than entries
        f.store(s, "RecentFile10", QStringLiteral("/s/more.kvd"));
        auto w = f.loadMain();
        QVERIFY(w->menu(QStringLiteral("mnuRecentSheetRoot"))->menuAction()->isEnabled());
        QCOMPARE(w->action(QStringLiteral("mnuFileRecentSheet_0"))->text(), QStringLiteral("/s/new.kvd"));
        QCOMPARE(app().shell.RecentSheet.Captions[1], QStringLiteral("/s/A&B.kvd"));
        QCOMPARE(app().shell.RecentSheet.Captions[3], QStringLiteral("/s/edited-in.kvd"));
        QVERIFY(w->action(QStringLiteral("mnuFileRecentSheet_3"))->isVisible());
    }

    void clickingAnEntryOpensItsFile()
    {
        ShellFixture f;
        QStringList log;
        app().shell.hooks.OpenCtrl = [&](const QString &p) { log << "ctrl " + p; };
        app().shell.hooks.OpenDataSheet = [&](const QString &p) { log << "sheet " + p; };
        auto w = f.loadMain();
        addAll({QStringLiteral("/c/1.rmt"), QStringLiteral("/c/2.rmt")}, true);
        addAll({QStringLiteral("/s/A&B.kvd")}, false);
        w->action(QStringLiteral("mnuFileRecentCtrl_1"))->trigger();
        w->action(QStringLiteral("mnuFileRecentSheet_0"))->trigger();
        QCOMPARE(log, QStringList({"ctrl /c/1.rmt", "sheet /s/A&B.kvd"}));
        // While a transfer runs nothing opens.
        app().transfer.TransferBusy = true;
        w->action(QStringLiteral("mnuFileRecentCtrl_0"))->trigger();
        QCOMPARE(log.size(), 2);
    }

    void storeFailures()
    {
        ShellFixture f;
        auto w = f.loadMain();
        QVERIFY(AddRecentCtrlFile(QStringLiteral("/c/a.rmt")));
        // A store that cannot be written: a folder stands where the file should be.
        setSettingsFile(f.dir.path());
        QVERIFY(!AddRecentCtrlFile(QStringLiteral("/c/b.rmt"))); // the error reaches the caller
        QCOMPARE(app().shell.RecentCtrl.Captions[0], QStringLiteral("/c/a.rmt"));
        AddRecentSheetFile(QStringLiteral("/s/b.kvd")); // errors passed over, no crash
        QVERIFY(!app().shell.RecentSheet.RootEnabled);
        setSettingsFile(f.dir.filePath(QStringLiteral("Kelvoscope.ini")));
    }
};

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
