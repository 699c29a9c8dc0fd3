// The New and Open document choosers: DocType from the chosen option, the
// command started for it, and Cancel or closing by the frame leaving DocType.
#include "shellfixture.h"

#include "shell/frmnewdoc.h"
#include "shell/frmopendoc.h"

#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList *g_log = nullptr;

void recordHooks(QStringList *log)
{
    g_log = log;
    ShellHooks &h = app().shell.hooks;
    h.mnuNewDataSheet_Click = [] { *g_log << "mnuNewDataSheet_Click"; };
    h.mnuNewCtrl_Click = [] { *g_log << "mnuNewCtrl_Click"; };
    h.AddNewWaveform = [] { *g_log << "AddNewWaveform"; };
    h.AddNewMeasure = [] { *g_log << "AddNewMeasure"; };
    h.AddNewData = [] { *g_log << "AddNewData"; };
    h.AddNewRecord = [] { *g_log << "AddNewRecord"; };
    h.AddNewMemoryWave = [] { *g_log << "AddNewMemoryWave"; };
    h.mnuOpenDataSheet_Click = [] { *g_log << "mnuOpenDataSheet_Click"; };
    h.mnuOpenCtrl_Click = [] { *g_log << "mnuOpenCtrl_Click"; };
}

void click(QDialog &d, const char *name)
{
    auto *b = d.findChild<QAbstractButton *>(QLatin1String(name));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestChoosers : public QObject {
    Q_OBJECT
private slots:
    void newChooser_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("docType");
        QTest::addColumn<QString>("command");
        QTest::newRow("untouched") << -1 << 1 << "mnuNewDataSheet_Click";
        QTest::newRow("data sheet") << 0 << 1 << "mnuNewDataSheet_Click";
        QTest::newRow("controller") << 1 << 2 << "mnuNewCtrl_Click";
        QTest::newRow("waveform") << 2 << 3 << "AddNewWaveform";
        QTest::newRow("measure") << 3 << 4 << "AddNewMeasure";
        QTest::newRow("wave data") << 4 << 5 << "AddNewData";
        QTest::newRow("record") << 5 << 6 << "AddNewRecord";
        QTest::newRow("memory wave") << 6 << 7 << "AddNewMemoryWave";
    }
    void newChooser()
    {
        QFETCH(int, option);
        QFETCH(int, docType);
        QFETCH(QString, command);
        ShellFixture f;
        QStringList log;
        recordHooks(&log);
        auto w = f.loadMain();
        f.script = [option](QDialog &d) {
            if (option >= 0)
                QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("NewOption_%1").arg(option)),
                                  Qt::LeftButton, {}, QPoint(5, 5));
            click(d, "cmdOK");
        };
        w->action(QStringLiteral("mnuFileNew"))->trigger();
        QCOMPARE(f.dialogsShown, QStringList{"frmNewDoc"});
        QCOMPARE(int(app().shell.DocType), docType);
        QVERIFY(app().shell.DialogOK);
        QCOMPARE(log, QStringList{command});
    }

    void openChooser_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("docType");
        QTest::addColumn<QString>("command");
        QTest::newRow("untouched") << -1 << 1 << "mnuOpenDataSheet_Click";
        QTest::newRow("data sheet") << 0 << 1 << "mnuOpenDataSheet_Click";
        QTest::newRow("controller") << 1 << 2 << "mnuOpenCtrl_Click";
    }
    void openChooser()
    {
        QFETCH(int, option);
        QFETCH(int, docType);
        QFETCH(QString, command);
        ShellFixture f;
        QStringList log;
        recordHooks(&log);
        auto w = f.loadMain();
        f.script = [option](QDialog &d) {
            if (option >= 0)
                QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("NewOption_%1").arg(option)),
                                  Qt::LeftButton, {}, QPoint(5, 5));
            click(d, "cmdOK");
        };
        w->tbToolBar_ButtonClick(QStringLiteral("Open"));
        QCOMPARE(f.dialogsShown, QStringList{"frmOpenDoc"});
        QCOMPARE(int(app().shell.DocType), docType);
        QCOMPARE(log, QStringList{command});
    }

    void cancelAndFrameCloseLeaveDocType_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("new cancel") << false << false;
        QTest::newRow("new frame") << false << true;
        QTest::newRow("open cancel") << true << false;
        QTest::newRow("open frame") << true << true;
    }
    void cancelAndFrameCloseLeaveDocType()
    {
        QFETCH(bool, open);
        QFETCH(bool, byFrame);
        ShellFixture f;
        QStringList log;
        recordHooks(&log);
        auto w = f.loadMain();
        app().shell.DocType = 5;
        app().shell.DialogOK = true;
        f.script = [byFrame](QDialog &d) {
            QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("NewOption_1")), Qt::LeftButton, {}, QPoint(5, 5));
            if (byFrame)
                d.close();
            else
                click(d, "cmdCancel");
        };
        if (open)
            w->mnuFileOpen_Click();
        else
            w->tbToolBar_ButtonClick(QStringLiteral("New"));
        QCOMPARE(f.dialogsShown.size(), 1);
        QCOMPARE(int(app().shell.DocType), 5);
        QVERIFY(!app().shell.DialogOK);
        QVERIFY(log.isEmpty());
    }

    void everyShowingStartsWithTheFirstOption()
    {
        ShellFixture f;
        QStringList log;
        recordHooks(&log);
        auto w = f.loadMain();
        QList<bool> firstChecked;
        f.script = [&](QDialog &d) {
            firstChecked << d.findChild<QRadioButton *>(QStringLiteral("NewOption_0"))->isChecked();
            QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("NewOption_6")), Qt::LeftButton, {}, QPoint(5, 5));
            click(d, "cmdOK");
        };
        w->mnuFileNew_Click();
        w->mnuFileNew_Click();
        QCOMPARE(firstChecked, QList<bool>({true, true}));
        QCOMPARE(log, QStringList({"AddNewMemoryWave", "AddNewMemoryWave"}));
    }

    void refusedWhileATransferRuns()
    {
        ShellFixture f;
        QStringList log;
        recordHooks(&log);
        auto w = f.loadMain();
        app().transfer.TransferBusy = true;
        w->mnuFileNew_Click();
        w->mnuFileOpen_Click();
        QVERIFY(f.dialogsShown.isEmpty());
        QVERIFY(log.isEmpty());
    }
};

QTEST_MAIN(TestChoosers)
#include "tst_choosers.moc"
