// The main window: start-up order, slot flags, the optional connect, the
// deferred start-up step, the close prompts and the key release at close,
// menu and toolbar dispatch, the View toggles, serial-port status texts and
// timers, refusals while a transfer runs, the lamps and help, the suffix a
// saved document gets and the Open dialog's filters.
#include "shellfixture.h"

#include "platform/ui/qtui.h"
#include "texts/stringres.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

#include <functional>

namespace {

// Hooks that record their calls (in log) and otherwise do nothing.
void recordDocumentHooks(QStringList *log)
{
    ShellHooks &h = app().shell.hooks;
    h.mnuNewDataSheet_Click = [log] { *log << "NewSheet"; };
    h.mnuNewCtrl_Click = [log] { *log << "NewCtrl"; };
    h.AddNewWaveform = [log] { *log << "AddWave"; };
    h.AddNewMeasure = [log] { *log << "AddMeasure"; };
    h.AddNewData = [log] { *log << "AddData"; };
    h.AddNewRecord = [log] { *log << "AddRecord"; };
    h.AddNewMemoryWave = [log] { *log << "AddMemoryWave"; };
    h.mnuOpenDataSheet_Click = [log] { *log << "OpenSheetDialog"; };
    h.mnuOpenCtrl_Click = [log] { *log << "OpenCtrlDialog"; };
    h.OpenCtrl = [log](const QString &p) { *log << "OpenCtrl " + p; };
    h.OpenDataSheet = [log](const QString &p) { *log << "OpenSheet " + p; };
    h.mnuSaveCtrl_Click = [log] { *log << "SaveCtrl"; return SaveOutcome::Saved; };
    h.mnuSaveDataSheet_Click = [log] { *log << "SaveSheet"; return SaveOutcome::Saved; };
}

bool paneShown(frmMain &w, const char *key)
{
    QDockWidget *d = w.pane(QLatin1String(key));
    return d && !d->isHidden();
}

} // namespace

Q_DECLARE_METATYPE(SaveOutcome)

class TestFrmMain : public QObject {
    Q_OBJECT
private slots:
    void startUpRunsInOrder()
    {
        ShellFixture f;
        f.useVisa();
        f.store(StoreKeys::General, StoreKeys::StartupCheckHardware, QStringLiteral("True"));
        f.store(LanguageSection, LanguageKey, QStringLiteral("0"));
        AddRecentSheetFile(QStringLiteral("/data/a.kvd"));
        // Slot 17 and slot 0 hold flags an earlier run left.
        for (int slot : {0, 17}) {
            WaveDoc &w = app().Sheet.WaveDocs[size_t(slot)];
            w.Refreshing = w.ShowCH1 = w.ShowCH2 = w.ShowMath = w.ShowLA = true;
            w.DrawCH1 = w.DrawCH2 = w.DrawMath = w.DrawLA = true;
            w.HasData = true;
            app().Sheet.DataDocs[size_t(slot)].Refreshing = true;
            app().Sheet.DataDocs[size_t(slot)].Channel = QStringLiteral("CH2");
            app().Sheet.MeasDocs[size_t(slot)].Refreshing = true;
        }
        app().Sheet.Replays[4].WindowOpen = true;
        app().Sheet.Modified = true;

        QStringList log;
        frmMain *main = nullptr;
        ShellHooks &h = app().shell.hooks;
        h.OpenVisaRM = [&] {
            // Options read, recent menus filled, language not yet applied; the
            // splash is up and the main window hidden.
            QVERIFY(app().shell.StartupCheckHardware);
            QVERIFY(app().shell.RecentSheet.RootEnabled);
            main = qobject_cast<frmMain *>(app().shell.MainForm.data());
            QVERIFY(main);
            QCOMPARE(main->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
            QVERIFY(!main->isVisible());
            bool splashUp = false;
            for (QWidget *t : QApplication::topLevelWidgets())
                splashUp = splashUp || (t->objectName() == QLatin1String("frmSplash") && t->isVisible());
            QVERIFY(splashUp);
            log << "OpenVisaRM";
            OpenVisaRM();
        };
        h.ConnectInstrument = [&] {
            // Language applied; slots not yet cleared; panes not yet docked.
            QCOMPARE(main->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("文件"));
            QVERIFY(app().Sheet.WaveDocs[17].ShowCH1);
            QCOMPARE(main->dockWidgetArea(main->pane(QStringLiteral("DataSheet"))), Qt::NoDockWidgetArea);
            log << "ConnectInstrument";
            ConnectInstrument();
        };

        std::unique_ptr<frmMain> owner(StartProgram());
        QCOMPARE(log, QStringList({"OpenVisaRM", "ConnectInstrument"}));
        QVERIFY(owner->isVisible());
        for (QWidget *t : QApplication::topLevelWidgets())
            QVERIFY(t->objectName() != QLatin1String("frmSplash"));
        QVERIFY(app().link.LinkConnected);
        QVERIFY(!owner->lamp(false)->isVisibleTo(owner.get()));
        QVERIFY(owner->lamp(true)->isVisibleTo(owner.get()));

        // Slot flags cleared in all eighteen slots; other members and other kinds kept.
        for (int slot = 0; slot < 18; ++slot) {
            const WaveDoc &w = app().Sheet.WaveDocs[size_t(slot)];
            QVERIFY(!w.Refreshing && !w.ShowCH1 && !w.ShowCH2 && !w.ShowMath && !w.ShowLA);
            QVERIFY(!w.DrawCH1 && !w.DrawCH2 && !w.DrawMath && !w.DrawLA);
            QVERIFY(!app().Sheet.DataDocs[size_t(slot)].Refreshing);
            QVERIFY(app().Sheet.DataDocs[size_t(slot)].Channel.isEmpty());
            QVERIFY(!app().Sheet.MeasDocs[size_t(slot)].Refreshing);
        }
        QVERIFY(app().Sheet.WaveDocs[17].HasData);
        QVERIFY(app().Sheet.Replays[4].WindowOpen);
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(app().link.ScreenTop, quint8(25));
        QVERIFY(app().link.LaPresent);

        // Each pane made once, and docked, hidden until the deferred step.
        QCOMPARE(owner->findChildren<QWidget *>(QStringLiteral("frmCtrlList")).size(), 1);
        QCOMPARE(owner->findChildren<QWidget *>(QStringLiteral("frmDataSheetTree")).size(), 1);
        QCOMPARE(owner->dockWidgetArea(owner->pane(QStringLiteral("DataSheet"))), Qt::LeftDockWidgetArea);
        QCOMPARE(owner->dockWidgetArea(owner->pane(QStringLiteral("Controller"))), Qt::LeftDockWidgetArea);
        QVERIFY(!paneShown(*owner, "DataSheet"));
        f.clock.advance(1);
        QVERIFY(paneShown(*owner, "DataSheet"));
        QVERIFY(paneShown(*owner, "Controller"));
        QVERIFY(owner->action(QStringLiteral("mnuViewController"))->isChecked());
        QVERIFY(owner->action(QStringLiteral("mnuViewDataBrowser"))->isChecked());
        f.fakeUi.setFallbackAnswer(MsgAnswer::No);
        QVERIFY(owner->close());
    }

    void controllerDefaultsFollowTheStartLanguage_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void controllerDefaultsFollowTheStartLanguage()
    {
        QFETCH(int, lang);
        ShellFixture f(1 - lang); // tables of the other language filled before
        f.store(LanguageSection, LanguageKey, QString::number(lang));
        std::unique_ptr<frmMain> w(StartProgram());
        QCOMPARE(app().Settings.CH1Display, wordLiteral(Word::WordOn, lang));
        QCOMPARE(app().Settings.RunStop, wordLiteral(Word::WordRun, lang));
    }

    void connectsOnlyWithTheStartupOption()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(f.sim.lines().isEmpty());
        QVERIFY(w->lamp(false)->isVisibleTo(w.get()));
        QVERIFY(!w->lamp(true)->isVisibleTo(w.get()));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    void failedStartupConnectStartsDisconnected()
    {
        ShellFixture f; // no instrument resource at all
        f.store(StoreKeys::General, StoreKeys::StartupCheckHardware, QStringLiteral("True"));
        auto w = f.loadMain();
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(!f.fakeUi.messages().isEmpty()); // the link reported it
        f.clock.advance(1);
        QVERIFY(paneShown(*w, "Controller"));
    }

    void deferredStepReopensTheNewestFiles_data()
    {
        QTest::addColumn<bool>("loadCtrl");
        QTest::addColumn<bool>("loadSheet");
        QTest::addColumn<bool>("haveRecent");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("both") << true << true << true << QStringList{"OpenCtrl /c/b.rmt", "OpenSheet /s/b.kvd"};
        QTest::newRow("ctrl only") << true << false << true << QStringList{"OpenCtrl /c/b.rmt"};
        QTest::newRow("options off") << false << false << true << QStringList{};
        QTest::newRow("no recent file") << true << true << false << QStringList{};
    }
    void deferredStepReopensTheNewestFiles()
    {
        QFETCH(bool, loadCtrl);
        QFETCH(bool, loadSheet);
        QFETCH(bool, haveRecent);
        QFETCH(QStringList, expected);
        ShellFixture f;
        f.store(StoreKeys::General, StoreKeys::StartupLoadCtrl, loadCtrl ? QStringLiteral("True") : QStringLiteral("False"));
        f.store(StoreKeys::General, StoreKeys::StartupLoadSheet, loadSheet ? QStringLiteral("True") : QStringLiteral("False"));
        if (haveRecent) {
            AddRecentCtrlFile(QStringLiteral("/c/a.rmt"));
            AddRecentCtrlFile(QStringLiteral("/c/b.rmt"));
            AddRecentSheetFile(QStringLiteral("/s/a.kvd"));
            AddRecentSheetFile(QStringLiteral("/s/b.kvd"));
        }
        QStringList log;
        recordDocumentHooks(&log);
        auto w = f.loadMain();
        QVERIFY(log.isEmpty());
        f.clock.advance(1);
        QCOMPARE(log, expected);
        f.clock.advance(1000);
        QCOMPARE(log, expected); // it runs once
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    void closePrompts_data()
    {
        QTest::addColumn<bool>("sheetModified");
        QTest::addColumn<bool>("ctrlModified");
        QTest::addColumn<QList<MsgAnswer>>("answers");
        QTest::addColumn<SaveOutcome>("saveOutcome");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<QStringList>("saves");
        QTest::addColumn<bool>("closes");
        using A = MsgAnswer;
        QTest::newRow("nothing modified") << false << false << QList<A>{} << SaveOutcome::Saved << 0 << QStringList{} << true;
        QTest::newRow("sheet yes") << true << false << QList<A>{A::Yes} << SaveOutcome::Saved << 1 << QStringList{"SaveSheet"} << true;
        QTest::newRow("sheet no") << true << false << QList<A>{A::No} << SaveOutcome::Saved << 1 << QStringList{} << true;
        QTest::newRow("sheet cancel") << true << false << QList<A>{A::Cancel} << SaveOutcome::Saved << 1 << QStringList{} << false;
        QTest::newRow("sheet yes, save abandoned") << true << false << QList<A>{A::Yes} << SaveOutcome::Cancelled << 1 << QStringList{"SaveSheet"} << false;
        QTest::newRow("sheet yes, save failed") << true << false << QList<A>{A::Yes} << SaveOutcome::Failed << 1 << QStringList{"SaveSheet"} << false;
        QTest::newRow("ctrl yes") << false << true << QList<A>{A::Yes} << SaveOutcome::Saved << 1 << QStringList{"SaveCtrl"} << true;
        QTest::newRow("ctrl yes, save abandoned") << false << true << QList<A>{A::Yes} << SaveOutcome::Cancelled << 1 << QStringList{"SaveCtrl"} << false;
        QTest::newRow("ctrl cancel") << false << true << QList<A>{A::Cancel} << SaveOutcome::Saved << 1 << QStringList{} << false;
        QTest::newRow("both yes") << true << true << QList<A>{A::Yes, A::Yes} << SaveOutcome::Saved << 2 << QStringList{"SaveSheet", "SaveCtrl"} << true;
        QTest::newRow("cancel still asks the second") << true << true << QList<A>{A::Cancel, A::No} << SaveOutcome::Saved << 2 << QStringList{} << false;
        QTest::newRow("no then cancel") << true << true << QList<A>{A::No, A::Cancel} << SaveOutcome::Saved << 2 << QStringList{} << false;
    }
    void closePrompts()
    {
        QFETCH(bool, sheetModified);
        QFETCH(bool, ctrlModified);
        QFETCH(QList<MsgAnswer>, answers);
        QFETCH(SaveOutcome, saveOutcome);
        QFETCH(int, prompts);
        QFETCH(QStringList, saves);
        QFETCH(bool, closes);
        ShellFixture f;
        QStringList log;
        ShellHooks &h = app().shell.hooks;
        h.mnuSaveDataSheet_Click = [&] { log << "SaveSheet"; return saveOutcome; };
        h.mnuSaveCtrl_Click = [&] { log << "SaveCtrl"; return saveOutcome; };
        h.CtrlFileModified = [&] { return ctrlModified; };
        h.CtrlFilePath = [] { return QStringLiteral("/home/u/scope.rmt"); };
        auto w = f.loadMain();
        w->show();
        app().Sheet.Modified = sheetModified;
        for (MsgAnswer a : answers)
            f.fakeUi.answerMessage(a);
        const bool closed = w->close();
        QCOMPARE(closed, closes);
        QCOMPARE(w->unloaded(), closes);
        QCOMPARE(int(f.fakeUi.messages().size()), prompts);
        QCOMPARE(log, saves);
        for (const RecordedMessage &m : f.fakeUi.messages()) {
            QCOMPARE(m.icon, MsgIcon::None);
            QCOMPARE(m.title, QStringLiteral("Kelvoscope"));
            QCOMPARE(m.buttons, MsgButtons::YesNoCancel);
        }
        if (sheetModified)
            QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("Save the changes to the Data Sheet File? "));
        if (ctrlModified)
            QCOMPARE(f.fakeUi.messages().last().text,
                     QStringLiteral("Save the changes to the Control File? /home/u/scope.rmt"));
        // Nothing was stored while the program stays open.
        QCOMPARE(HasSetting(QLatin1String(StoreKeys::General), QLatin1String(StoreKeys::StartupLoadCtrl)), closes);
    }

    void closePromptWithTheControllerPane()
    {
        // The real controller pane: Yes, then its save dialog cancelled, keeps
        // the program open; No then lets it close.
        ShellFixture f;
        auto w = f.loadMain();
        w->show();
        QVERIFY(w->pane(QStringLiteral("Controller"))->widget()->inherits("frmCtrlList"));
        app().ctrl.CtrlFileModified = true;
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.cancelFile();
        QVERIFY(!w->close());
        QCOMPARE(f.fakeUi.fileDialogs().size(), 1);
        QVERIFY(f.fakeUi.fileDialogs()[0].save);
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(!w->unloaded());

        // Yes and a save that fails (no such folder): the error is shown and
        // the program stays open with the changes still unsaved.
        f.fakeUi.clear();
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.answerFile(f.dir.filePath(QStringLiteral("missing/scope.rmt")));
        QVERIFY(!w->close());
        QVERIFY(!w->unloaded());
        QVERIFY(app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 2);
        QCOMPARE(f.fakeUi.messages().last().icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("missing/scope.rmt"))));

        // Yes and a real save: written, then the program closes.
        const QString path = f.dir.filePath(QStringLiteral("scope.rmt"));
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.answerFile(path);
        QVERIFY(w->close());
        QVERIFY(QFile::exists(path));
        QCOMPARE(app().shell.RecentCtrl.Captions[0], path);
    }

    void newControllerGoesToThePane()
    {
        ShellFixture f;
        auto w = f.loadMain();
        app().ctrl.CtrlFilePath = QStringLiteral("/old.rmt");
        f.script = [](QDialog &d) {
            QTest::mouseClick(d.findChild<QWidget *>(QStringLiteral("NewOption_1")), Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseClick(d.findChild<QWidget *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        };
        w->mnuFileNew_Click();
        QCOMPARE(int(app().shell.DocType), 2);
        QVERIFY(app().ctrl.CtrlFilePath.isEmpty());
    }

    void sheetPromptCarriesThePath()
    {
        ShellFixture f(0);
        auto w = f.loadMain();
        app().Sheet.Modified = true;
        app().Sheet.Path = QStringLiteral("/home/u/测量.kvd");
        f.fakeUi.answerMessage(MsgAnswer::No);
        QVERIFY(w->close());
        QCOMPARE(f.fakeUi.messages().value(0).text, QStringLiteral("是否保存对数据浏览器文件的更改？/home/u/测量.kvd"));
    }

    void closeReleasesTheFrontPanelOnce_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::newRow("connected") << true;
        QTest::newRow("disconnected") << false;
    }
    void closeReleasesTheFrontPanelOnce()
    {
        QFETCH(bool, connected);
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        if (connected) {
            w->mnuToolsConnect_Click();
            QVERIFY(app().link.LinkConnected);
        }
        f.sim.clearLog();
        QVERIFY(w->close());
        QCOMPARE(f.sim.count(":KEY:LOCK DISABLE"), connected ? 1 : 0);
        QCOMPARE(f.sim.lines().size(), connected ? 1 : 0);
        // The link flag stays as it was; the sessions are closed.
        QCOMPARE(app().link.LinkConnected != 0, connected);
        QVERIFY(w->close()); // a second close does not unload again
        QCOMPARE(f.sim.count(":KEY:LOCK DISABLE"), connected ? 1 : 0);
    }

    void transferBusyRefusesCloseConnectDisconnect()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        app().transfer.TransferBusy = true;
        w->mnuToolsConnect_Click();
        w->tbToolBar_ButtonClick(QStringLiteral("Connect"));
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(f.sim.lines().isEmpty());
        QVERIFY(!w->close());
        QVERIFY(!w->unloaded());
        app().transfer.TransferBusy = false;
        w->mnuToolsConnect_Click();
        QVERIFY(app().link.LinkConnected);
        f.sim.clearLog();
        app().transfer.TransferBusy = true;
        w->mnuToolsDisconnect_Click();
        QVERIFY(app().link.LinkConnected);
        QVERIFY(f.sim.lines().isEmpty());
        app().transfer.TransferBusy = false;
        w->tbToolBar_ButtonClick(QStringLiteral("Disconnect"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.sim.count(":KEY:LOCK DISABLE"), 1);
        QVERIFY(w->lamp(false)->isVisibleTo(w.get()));
        QVERIFY(!w->lamp(true)->isVisibleTo(w.get()));
        QVERIFY(w->close());
    }

    void toolbarDispatchesByKey_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Save") << QStringLiteral("Save") << QStringList{"SaveCtrl", "SaveSheet"};
        QTest::newRow("AddNewWaveform") << QStringLiteral("AddNewWaveform") << QStringList{"AddWave"};
        QTest::newRow("AddNewMeasure") << QStringLiteral("AddNewMeasure") << QStringList{"AddMeasure"};
        QTest::newRow("AddNewData") << QStringLiteral("AddNewData") << QStringList{"AddData"};
        QTest::newRow("AddNewRecord") << QStringLiteral("AddNewRecord") << QStringList{"AddRecord"};
        QTest::newRow("AddNewMemoryWaveform") << QStringLiteral("AddNewMemoryWaveform") << QStringList{"AddMemoryWave"};
        QTest::newRow("unknown") << QStringLiteral("Nothing") << QStringList{};
    }
    void toolbarDispatchesByKey()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        ShellFixture f;
        QStringList log;
        recordDocumentHooks(&log);
        auto w = f.loadMain();
        w->tbToolBar_ButtonClick(key);
        QCOMPARE(log, expected);
    }

    void toolbarButtonsSitAtTheirPositions()
    {
        ShellFixture f;
        auto w = f.loadMain();
        const QStringList keys{"New", "Open", "Save", "", "Connect", "Disconnect", "", "Controller", "DataBrowser", "",
                               "AddNewWaveform", "AddNewMeasure", "AddNewData", "", "AddNewRecord",
                               "AddNewMemoryWaveform", "", "Options"};
        const auto actions = w->toolBar()->actions();
        QVERIFY(actions.size() >= 18);
        for (int i = 0; i < 18; ++i) {
            QCOMPARE(actions[i]->isSeparator(), keys[i].isEmpty());
            if (!keys[i].isEmpty())
                QCOMPARE(actions[i]->data().toString(), keys[i]);
        }
        // Each button shows a picture of its own, built into the program.
        QList<QImage> pictures;
        for (int i = 0; i < 18; ++i) {
            if (keys[i].isEmpty())
                continue;
            const QImage img = actions[i]->icon().pixmap(QSize(24, 24)).toImage();
            QVERIFY2(img.size() == QSize(24, 24), qPrintable(keys[i]));
            int inked = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    inked += qAlpha(img.pixel(x, y)) > 0;
            QVERIFY2(inked > 100, qPrintable(keys[i]));
            QVERIFY2(!pictures.contains(img), qPrintable(keys[i]));
            pictures << img;
        }
        // Triggering a button runs its command.
        QStringList log;
        recordDocumentHooks(&log);
        actions[2]->trigger();
        QCOMPARE(log, QStringList({"SaveCtrl", "SaveSheet"}));
        // The add-item buttons follow the data sheet: the Data Browser's first
        // load opens an untitled sheet.
        QVERIFY(actions[10]->isEnabled() && actions[11]->isEnabled() && actions[12]->isEnabled());
        w->setAddItemButtonsEnabled(false);
        QVERIFY(!actions[10]->isEnabled() && !actions[11]->isEnabled() && !actions[12]->isEnabled());
    }

    void fileMenuCommands()
    {
        ShellFixture f;
        QStringList log;
        recordDocumentHooks(&log);
        auto w = f.loadMain();
        w->action(QStringLiteral("mnuFileSaveDataSheet"))->trigger();
        w->action(QStringLiteral("mnuFileSaveCtrlFile"))->trigger();
        w->action(QStringLiteral("mnuFileSaveAll"))->trigger();
        QCOMPARE(log, QStringList({"SaveSheet", "SaveCtrl", "SaveCtrl", "SaveSheet"}));
        w->action(QStringLiteral("mnuFilePageSetup"))->trigger();
        QCOMPARE(f.fakeUi.pageSetups().size(), 1); // the page setup dialog, answered Cancel
        QVERIFY(f.fakeUi.messages().isEmpty()); // a cancelled page setup is no error
        w->show();
        w->action(QStringLiteral("mnuFileExit"))->trigger();
        QVERIFY(w->unloaded());
        QVERIFY(!w->isVisible());
    }

    // A document saved under a name typed without its suffix gets it, so that
    // its Open dialog lists it; the Open dialog offers all files as well.
    void documentSuffixes_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("option"); // File > Open's choice: 0 data sheet, 1 controller
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("openFilter");
        const QString sheet = QStringLiteral("Data Sheet Files (*.kvd);;All Files (*)");
        const QString ctrl = QStringLiteral("Control Files (*.rmt);;All Files (*)");
        QTest::newRow("data sheet") << 1 << 0 << "plain" << "plain.kvd" << sheet;
        QTest::newRow("controller") << 1 << 1 << "plain" << "plain.rmt" << ctrl;
        QTest::newRow("controller, Chinese") << 0 << 1 << "plain" << "plain.rmt"
                                             << QStringLiteral("控制器文件 (*.rmt);;所有文件 (*)");
        QTest::newRow("data sheet, Chinese") << 0 << 0 << "plain" << "plain.kvd"
                                             << QStringLiteral("数据浏览器文件 (*.kvd);;所有文件 (*)");
        QTest::newRow("a suffix typed is kept") << 1 << 1 << "plain.txt" << "plain.txt" << ctrl;
        QTest::newRow("a dot in the folder only") << 1 << 0 << "v1.2/plain" << "v1.2/plain.kvd" << sheet;
    }
    void documentSuffixes()
    {
        QFETCH(int, lang);
        QFETCH(int, option);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(QString, openFilter);
        ShellFixture f(lang);
        auto w = f.loadMain();
        const QDir dir(f.dir.path());
        QVERIFY(dir.mkpath(QStringLiteral("v1.2")) && dir.mkpath(QStringLiteral("dialog")));

        // Saved while untitled: the save dialog's answer as typed.
        f.fakeUi.answerFile(dir.filePath(typed));
        w->action(QLatin1String(option == 0 ? "mnuFileSaveDataSheet" : "mnuFileSaveCtrlFile"))->trigger();
        QVERIFY2(f.fakeUi.messages().isEmpty(), qPrintable(f.fakeUi.messages().value(0).text));
        QVERIFY2(QFileInfo::exists(dir.filePath(saved)), qPrintable(saved));
        if (saved != typed)
            QVERIFY(!QFileInfo::exists(dir.filePath(typed)));
        QCOMPARE(option == 0 ? app().Sheet.Path : app().ctrl.CtrlFilePath, dir.filePath(saved));

        // The real save dialog completes a name typed into it the same way.
        const FileDialogRequest saveRequest = f.fakeUi.fileDialogs().last().request;
        const auto saveDialog = QtUi::makeFileDialog(w.get(), saveRequest, true);
        saveDialog->setOption(QFileDialog::DontUseNativeDialog);
        saveDialog->setDirectory(dir.filePath(QStringLiteral("dialog")));
        saveDialog->show();
        auto *name = saveDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        QTest::keyClicks(name, QFileInfo(typed).fileName());
        QCOMPARE(saveDialog->selectedFiles(),
                 QStringList{QDir(dir.filePath(QStringLiteral("dialog"))).filePath(QFileInfo(saved).fileName())});
        saveDialog->close();

        // File > Open of the same kind: its own filter first, then all files.
        f.script = [option](QDialog &d) {
            QTest::mouseClick(d.findChild<QRadioButton *>(QStringLiteral("NewOption_%1").arg(option)), Qt::LeftButton,
                              {}, QPoint(5, 5));
            QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        };
        f.fakeUi.cancelFile();
        w->action(QStringLiteral("mnuFileOpen"))->trigger();
        QVERIFY(!f.fakeUi.fileDialogs().last().save);
        const FileDialogRequest openRequest = f.fakeUi.fileDialogs().last().request;
        QCOMPARE(openRequest.filter, openFilter);
        const auto openDialog = QtUi::makeFileDialog(w.get(), openRequest, false);
        QCOMPARE(openDialog->nameFilters(), openFilter.split(QStringLiteral(";;")));
    }

    void viewToggles()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->show();
        f.clock.advance(1);
        QAction *tb = w->action(QStringLiteral("mnuViewToolbar"));
        QAction *sb = w->action(QStringLiteral("mnuViewStatusBar"));
        QAction *ctrl = w->action(QStringLiteral("mnuViewController"));
        QAction *browser = w->action(QStringLiteral("mnuViewDataBrowser"));
        tb->trigger();
        QVERIFY(!tb->isChecked());
        QVERIFY(!w->toolBar()->isVisible());
        tb->trigger();
        QVERIFY(tb->isChecked());
        QVERIFY(w->toolBar()->isVisible());
        sb->trigger();
        QVERIFY(!sb->isChecked());
        QVERIFY(!w->statusBar()->isVisible());
        sb->trigger();
        QVERIFY(w->statusBar()->isVisible());

        // The toolbar's Controller button hides the shown pane and unticks the entry.
        w->tbToolBar_ButtonClick(QStringLiteral("Controller"));
        QVERIFY(!ctrl->isChecked());
        QVERIFY(!paneShown(*w, "Controller"));
        ctrl->trigger();
        QVERIFY(ctrl->isChecked());
        QVERIFY(paneShown(*w, "Controller"));
        browser->trigger();
        QVERIFY(!browser->isChecked());
        QVERIFY(!paneShown(*w, "DataSheet"));
        w->tbToolBar_ButtonClick(QStringLiteral("DataBrowser"));
        QVERIFY(browser->isChecked());
        QVERIFY(paneShown(*w, "DataSheet"));
    }

    void serialEventStatusTexts()
    {
        ShellFixture f;
        auto w = f.loadMain();
        QCOMPARE(w->statusText(), QStringLiteral("Status"));
        w->MSComm1_OnComm(1); // send buffer low before anything else: nothing
        QCOMPARE(w->statusText(), QStringLiteral("Status"));
        w->MSComm1_OnComm(1004);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Framing Error"));
        f.clock.advance(1500);
        w->MSComm1_OnComm(2, QByteArray("x")); // data: the error text again, timer re-armed
        QCOMPARE(w->statusText(), QStringLiteral("Status: Framing Error"));
        f.clock.advance(1999);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Framing Error"));
        f.clock.advance(1);
        QCOMPARE(w->statusText(), QStringLiteral("Status: "));
        f.clock.advance(10000);
        QCOMPARE(w->statusText(), QStringLiteral("Status: "));
        // An event text wins over the error text, and is never cleared.
        w->MSComm1_OnComm(3);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Change in CTS Detected"));
        w->MSComm1_OnComm(1009);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Change in CTS Detected"));
        QCOMPARE(app().shell.CommErrorText, QStringLiteral("Parity Error"));
        w->MSComm1_OnComm(4242);
        QCOMPARE(app().shell.CommErrorText, QStringLiteral("Unknown error or event"));
        f.clock.advance(2000);
        QCOMPARE(w->statusText(), QStringLiteral("Status: "));
    }

    // The status panel follows a language switch made from the menu, for the
    // design text, the bare prefix and a serial-port event alike.
    void statusTextsFollowTheLanguage()
    {
        ShellFixture f;
        auto w = f.loadMain();
        const auto to = [&w](bool chinese) {
            w->action(QString::fromLatin1(chinese ? "mnuLanguageChinese" : "mnuLanguageEnglish"))->trigger();
        };
        QCOMPARE(w->statusText(), QStringLiteral("Status"));
        to(true);
        QCOMPARE(w->statusText(), QStringLiteral("状态"));
        w->MSComm1_OnComm(1004);
        QCOMPARE(w->statusText(), QStringLiteral("状态：帧错误"));
        to(false);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Framing Error"));
        f.clock.advance(2000);
        QCOMPARE(w->statusText(), QStringLiteral("Status: "));
        to(true);
        QCOMPARE(w->statusText(), QStringLiteral("状态："));
        w->MSComm1_OnComm(3);
        QCOMPARE(w->statusText(), QStringLiteral("状态：检测到 CTS 变化"));
        QCOMPARE(app().shell.CommEventText, QStringLiteral("Change in CTS Detected")); // kept in English
        to(false);
        QCOMPARE(w->statusText(), QStringLiteral("Status: Change in CTS Detected"));
    }

    void serialEventTable_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("3") << 3 << "Change in CTS Detected";
        QTest::newRow("4") << 4 << "Change in DSR Detected";
        QTest::newRow("5") << 5 << "Change in CD Detected";
        QTest::newRow("6") << 6 << "The Phone is Ringing";
        QTest::newRow("7") << 7 << "End of File Detected";
        QTest::newRow("1001") << 1001 << "Break Received";
        QTest::newRow("1002") << 1002 << "CTS Timeout";
        QTest::newRow("1003") << 1003 << "DSR Timeout";
        QTest::newRow("1004") << 1004 << "Framing Error";
        QTest::newRow("1006") << 1006 << "Overrun Error";
        QTest::newRow("1007") << 1007 << "Carrier Detect Timeout";
        QTest::newRow("1008") << 1008 << "Receive Buffer Overflow";
        QTest::newRow("1009") << 1009 << "Parity Error";
        QTest::newRow("1010") << 1010 << "Transmit Buffer Full";
        QTest::newRow("1011") << 1011 << "Error retrieving DCB";
        QTest::newRow("1005") << 1005 << "Unknown error or event";
    }
    void serialEventTable()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        ShellFixture f;
        auto w = f.loadMain();
        w->MSComm1_OnComm(code);
        QCOMPARE(w->statusText(), QStringLiteral("Status: ") + text);
    }

    void serialControlEventsReachTheStatusBar()
    {
        ShellFixture f;
        auto w = f.loadMain();
        emit commControl()->OnComm(1002);
        QCOMPARE(w->statusText(), QStringLiteral("Status: CTS Timeout"));
    }

    void tickCounterAdvancesEvery100ms()
    {
        ShellFixture f;
        auto w = f.loadMain();
        const qint64 start = app().shell.RxTicks;
        f.clock.advance(99);
        QCOMPARE(app().shell.RxTicks, start);
        f.clock.advance(1);
        QCOMPARE(app().shell.RxTicks, start + 1);
        f.clock.advance(1000);
        QCOMPARE(app().shell.RxTicks, start + 11);
    }

    void lampsStayInViewWhenNarrow()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int width : {900, 420, 260}) {
            w->resize(width, 300);
            QCoreApplication::processEvents();
            QLabel *lamp = w->lamp(false);
            QVERIFY(lamp->isVisible());
            const QRect inWindow(lamp->mapTo(w.get(), QPoint(0, 0)), lamp->size());
            QVERIFY2(w->rect().contains(inWindow), qPrintable(QStringLiteral("width %1").arg(width)));
        }
    }

    void helpOpensTheLanguageFileOrSaysItIsMissing()
    {
        ShellFixture f;
        QStringList opened;
        setHelpOpener([&](const QString &p) { opened << p; return true; });
        auto w = f.loadMain();
        const QString english = QCoreApplication::applicationDirPath() + QStringLiteral("/QM4100help.chm");
        QFile::remove(english);
        w->mnuHelpContents_Click();
        QVERIFY(opened.isEmpty());
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY(f.fakeUi.messages()[0].text.endsWith(english));
        QCOMPARE(f.fakeUi.messages()[0].icon, MsgIcon::None); // a plain box with OK
        QCOMPARE(f.fakeUi.messages()[0].buttons, MsgButtons::Ok);
        {
            QFile help(english);
            QVERIFY(help.open(QIODevice::WriteOnly));
        }
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(opened, QStringList{english});
        w->mnuLanguage_Click(0);
        w->mnuHelpContents_Click();
        QCOMPARE(f.fakeUi.messages().size(), 2); // the Chinese file is missing
        QVERIFY(f.fakeUi.messages()[1].text.endsWith(QStringLiteral("/QM4100help_Chinese.chm")));
        QFile::remove(english);
        setHelpOpener({});
    }

    void windowMenuArranges()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(800, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int i = 0; i < 2; ++i) {
            auto *child = new QWidget;
            child->setWindowTitle(QStringLiteral("item %1").arg(i));
            w->mdiArea()->addSubWindow(child)->show();
        }
        w->mnuWindowTileVertical_Click();
        const auto subs = w->mdiArea()->subWindowList();
        QCOMPARE(subs[0]->y(), subs[1]->y());
        QVERIFY(subs[0]->x() != subs[1]->x());
        w->mnuWindowTileHorizontal_Click();
        QCOMPARE(subs[0]->x(), subs[1]->x());
        QVERIFY(subs[0]->y() != subs[1]->y());
        // A window that cannot be as low as its share keeps its minimum and
        // the other one takes what is left of the area: both fit, the area
        // needs no scroll bar.
        const int areaHeight = w->mdiArea()->viewport()->height();
        subs[0]->setMinimumHeight(areaHeight * 3 / 4);
        w->mnuWindowTileHorizontal_Click();
        QCOMPARE(subs[0]->height(), areaHeight * 3 / 4);
        QCOMPARE(subs[1]->y(), subs[0]->geometry().bottom() + 1);
        QCOMPARE(subs[1]->geometry().bottom(), areaHeight - 1);
        QCoreApplication::processEvents();
        QVERIFY(!w->mdiArea()->verticalScrollBar()->isVisible());
        // Only when the minimums cannot fit does the next window follow
        // beyond the area, not covering the first; the area scrolls to it.
        subs[0]->setMinimumHeight(areaHeight + 100);
        w->mnuWindowTileHorizontal_Click();
        QCOMPARE(subs[1]->y(), subs[0]->geometry().bottom() + 1);
        QCoreApplication::processEvents();
        QVERIFY(w->mdiArea()->verticalScrollBar()->isVisible());
        subs[0]->setMinimumHeight(0);
        // Two windows too wide to stand side by side wrap into two lines,
        // each the area's width and half its height.
        const QSize size = w->mdiArea()->contentsRect().size(); // the area without scroll bars
        subs[0]->setMinimumWidth(size.width() - subs[1]->minimumSizeHint().width() + 1);
        w->mnuWindowTileVertical_Click();
        QCoreApplication::processEvents();
        QCOMPARE(subs[0]->geometry(), QRect(0, 0, size.width(), size.height() / 2));
        QCOMPARE(subs[1]->geometry(), QRect(0, size.height() / 2, size.width(), size.height() / 2));
        emit w->menu(QStringLiteral("mnuWindow"))->aboutToShow();
        QStringList texts;
        for (QAction *a : w->menu(QStringLiteral("mnuWindow"))->actions())
            texts << a->text();
        QCOMPARE(texts.mid(0, 2), QStringList({"item 0", "item 1"}));
    }
    // The panes open with the settings tree taking most of the height, and
    // the user's split comes back at the next start.
    void panesKeepTheirSplitBetweenRuns()
    {
        ShellFixture f;
        QSize sheetSize, ctrlSize;
        {
            auto w = f.loadMain();
            w->resize(1200, 800);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            f.clock.advance(10);
            QCoreApplication::processEvents();
            QDockWidget *sheet = w->pane(QStringLiteral("DataSheet"));
            QDockWidget *ctrl = w->pane(QStringLiteral("Controller"));
            QVERIFY(sheet->isVisible() && ctrl->isVisible());
            QVERIFY2(ctrl->height() >= 2 * sheet->height() && sheet->height() >= 150,
                     qPrintable(QStringLiteral("%1 over %2").arg(sheet->height()).arg(ctrl->height())));
            w->resizeDocks({sheet, ctrl}, {450, 250}, Qt::Vertical);
            w->resizeDocks({sheet}, {380}, Qt::Horizontal);
            QCoreApplication::processEvents();
            sheetSize = sheet->size();
            ctrlSize = ctrl->size();
            QVERIFY(sheet->height() > ctrl->height());
            QVERIFY(w->close());
        }
        QVERIFY(!f.stored(StoreKeys::WindowSettings, StoreKeys::MainLayout).startsWith(QLatin1Char('<')));
        auto w = f.loadMain();
        w->resize(1200, 800);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        QCoreApplication::processEvents();
        QCOMPARE(w->pane(QStringLiteral("DataSheet"))->size(), sheetSize);
        QCOMPARE(w->pane(QStringLiteral("Controller"))->size(), ctrlSize);
        // A pane or the toolbar hidden when the program closed is shown
        // again at the start.
        w->mnuViewController_Click();
        w->mnuViewToolbar_Click();
        QVERIFY(w->close());
        auto again = f.loadMain();
        again->show();
        f.clock.advance(10);
        QVERIFY(again->pane(QStringLiteral("Controller"))->isVisible());
        QVERIFY(again->action(QStringLiteral("mnuViewController"))->isChecked());
        QVERIFY(again->toolBar()->isVisible());
    }

    // A stored pane layout that the window takes but that leaves a pane out
    // of the dock areas counts as none: after the start-up step both panes
    // are docked, shown and split as at a first start, and the toolbar is at
    // the top; the close then stores a whole layout that the next start
    // takes. The 43-byte store holding only the layout's state header shows
    // it; a pane left floating by the last run is docked again; so is a
    // damaged layout the window cannot take safely.
    void cutShortLayoutCountsAsNone_data()
    {
        QTest::addColumn<QByteArray>("store"); // empty: the last run floats the controller
        const QByteArray header = "[Settings_QM4100D]\nMainLayout=AAAA/wAAAAE=\n";
        QCOMPARE(header.size(), 43);
        QTest::newRow("state header only, 43 bytes") << header;
        QTest::newRow("dock section cut") << QByteArray("[Settings_QM4100D]\nMainLayout=AAAA/wAAAAH9AAAAAQ==\n");
        QTest::newRow("a pane floating") << QByteArray();
        // Damaged layouts whose counts or dock areas the window's reader would
        // trust: the start would crash (a dock area beyond the four, nesting
        // deep enough to exhaust the stack) or hang for minutes (a count of
        // billions of entries the bytes do not hold).
        const auto layout = [](const std::function<void(QDataStream &)> &body) {
            QByteArray state;
            QDataStream out(&state, QIODevice::WriteOnly);
            out << qint32(0xff) << qint32(1); // the window's state header and layout version
            body(out);
            return "[Settings_QM4100D]\nMainLayout=" + state.toBase64() + '\n';
        };
        QTest::newRow("dock area beyond the four") << layout([](QDataStream &out) {
            out << quint8(0xfd) << qint32(1) << qint32(0x1000000) << qint32(10) << qint32(10);
            out << quint8(0xfc) << quint8(1) << qint32(0);
        });
        QTest::newRow("nesting beyond the stack") << layout([](QDataStream &out) {
            out << quint8(0xfd) << qint32(1) << qint32(0) << qint32(10) << qint32(10);
            for (int i = 0; i < 200000; ++i)
                out << quint8(0xfc) << quint8(1) << qint32(1) << quint8(0xfc) << qint32(0) << qint32(0) << qint32(0)
                    << qint32(0);
        });
        QTest::newRow("toolbar lines beyond the bytes") << layout([](QDataStream &out) {
            out << quint8(0xfc) << qint32(0x7fffffff);
        });
        QTest::newRow("toolbars beyond the bytes") << layout([](QDataStream &out) {
            out << quint8(0xfe) << qint32(1) << qint32(0) << qint32(0x7fffffff);
        });
    }
    void cutShortLayoutCountsAsNone()
    {
        QFETCH(QByteArray, store);
        ShellFixture f;
        const QString path = f.dir.filePath(QStringLiteral("Kelvoscope.ini"));
        if (store.isEmpty()) {
            auto w = f.loadMain();
            w->resize(1200, 800);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            f.clock.advance(10);
            w->pane(QStringLiteral("Controller"))->setFloating(true);
            QVERIFY(w->close());
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(store), store.size());
        }
        const auto check = [&f](frmMain *w) {
            f.clock.advance(10);
            QCoreApplication::processEvents();
            QDockWidget *sheet = w->pane(QStringLiteral("DataSheet"));
            QDockWidget *ctrl = w->pane(QStringLiteral("Controller"));
            for (QDockWidget *d : {sheet, ctrl}) {
                QVERIFY2(!d->isFloating() && d->isVisible(), qPrintable(d->objectName()));
                QCOMPARE(w->dockWidgetArea(d), Qt::LeftDockWidgetArea);
                QCOMPARE(d->parentWidget(), w);
                QVERIFY2(w->rect().contains(d->geometry()) && d->width() > 50,
                         qPrintable(QStringLiteral("%1 %2,%3 %4x%5").arg(d->objectName()).arg(d->x()).arg(d->y())
                                        .arg(d->width()).arg(d->height())));
            }
            QVERIFY(sheet->geometry().bottom() < ctrl->geometry().top()); // one above the other
            QVERIFY(w->action(QStringLiteral("mnuViewController"))->isChecked());
            QVERIFY(w->action(QStringLiteral("mnuViewDataBrowser"))->isChecked());
            QCOMPARE(w->toolBarArea(w->toolBar()), Qt::TopToolBarArea);
            QVERIFY(w->toolBar()->isVisible());
            QVERIFY(!w->mdiArea()->geometry().intersects(sheet->geometry()));
        };
        {
            auto w = f.loadMain();
            w->resize(1200, 800);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            check(w.get());
            if (QTest::currentTestFailed())
                return;
            QVERIFY(w->close());
        }
        QVERIFY(f.stored(StoreKeys::WindowSettings, StoreKeys::MainLayout).size() > 40);
        auto again = f.loadMain();
        again->resize(1200, 800);
        again->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.get()));
        check(again.get());
    }

    // Item windows moved beyond the item area, or left there when the main
    // window shrinks, are reached through the area's scroll bars.
    void itemAreaScrollsToWindowsOutsideIt()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto *child = new QWidget;
        QMdiSubWindow *sub = w->mdiArea()->addSubWindow(child);
        sub->setGeometry(100, 100, 300, 200);
        sub->show();
        QCoreApplication::processEvents();
        QVERIFY(!w->mdiArea()->horizontalScrollBar()->isVisible());
        w->resize(500, 400);
        sub->move(700, 600);
        QCoreApplication::processEvents();
        QScrollBar *h = w->mdiArea()->horizontalScrollBar();
        QScrollBar *v = w->mdiArea()->verticalScrollBar();
        QVERIFY(h->isVisible() && v->isVisible());
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        QCoreApplication::processEvents();
        QVERIFY2(w->mdiArea()->viewport()->rect().contains(sub->geometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(sub->x()).arg(sub->y())));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
