// The transfer dialog and the CSV progress dialog: captions, placing, the
// close refusals, the dispatch of every request kind and the progress values.

#include "simlinks.h"

#include "app/appstate.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "transfer/dialogplace.h"
#include "transfer/frmprgress.h"
#include "transfer/frmprgresssave.h"
#include "workspace/mousecontrol.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmPrgress : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<VirtualClock> clock_;
    std::unique_ptr<Qm4100Sim> sim_;
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<SimVisaLink> link_;

    void connectSim() { link_ = std::make_unique<SimVisaLink>(*sim_, *clock_); }

private slots:
    void init()
    {
        resetApp();
        dir_ = std::make_unique<QTemporaryDir>();
        setSettingsFile(dir_->filePath(QStringLiteral("k.ini")));
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        ui_ = std::make_unique<ScriptedUi>();
        setUi(ui_.get());
        ApplyLanguage(1);
        sim_ = std::make_unique<Qm4100Sim>();
        setPump([this] {
            clock_->advance(10);
            QCoreApplication::processEvents();
        });
    }
    void cleanup()
    {
        link_.reset();
        setPump({});
        deliverDeferredDeletes();
        sim_.reset();
        setUi(nullptr);
        setAppClock(nullptr);
        clock_.reset();
        setSettingsFile(QString());
    }

    void captionPerLanguage_data()
    {
        QTest::addColumn<int>("caption");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("measure") << int(TransferCaption::Measure) << "Measure Data Loading..." << "测量数据下载中...";
        QTest::newRow("data") << int(TransferCaption::DataTable) << "Wave Data Data Loading..." << "波形数据的数据下载中...";
        QTest::newRow("wave") << int(TransferCaption::Waveform) << "Waveform Data Loading..." << "波形数据数据下载中...";
        QTest::newRow("upload") << int(TransferCaption::Upload) << "Data Uploading..." << "数据上传中...";
        QTest::newRow("download") << int(TransferCaption::Download) << "Data Downloading..." << "数据下载中...";
    }
    void captionPerLanguage()
    {
        QFETCH(int, caption);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QPointer<frmPrgress> dlg = new frmPrgress;
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Progress"));
        dlg->setCaption(TransferCaption(caption), 1);
        QCOMPARE(dlg->windowTitle(), english);
        dlg->setCaption(TransferCaption(caption), 0);
        QCOMPARE(dlg->windowTitle(), chinese);
        dlg->setCaption(TransferCaption(caption), 2); // no such language: the caption stays
        QCOMPARE(dlg->windowTitle(), chinese);
        app().transfer.TransferBusy = false;
        delete dlg;
    }

    void loadingArmsTheDispatcherAndRefusesToClose()
    {
        QPointer<frmPrgress> dlg = new frmPrgress;
        QVERIFY(app().transfer.TransferBusy);
        QVERIFY(dlg->runner().dispatcherArmed());
        QVERIFY(!dlg->runner().tickerActive());
        QCOMPARE(dlg->ProgressBar1->value(), 0);
        dlg->show();
        QVERIFY(!dlg->close()); // the close box and Alt+F4 do nothing while busy
        QVERIFY(dlg->isVisible());
        QTest::keyClick(dlg, Qt::Key_Escape); // nor does Esc
        deliverDeferredDeletes();
        QVERIFY(dlg && dlg->isVisible());
        app().transfer.TransferBusy = false;
        QVERIFY(dlg->close());
        deliverDeferredDeletes();
        QVERIFY(dlg.isNull());
    }

    void kindWithoutATransferStillAsksTheStatus()
    {
        connectSim();
        const qint64 before = clock_->pausedMs();
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 0));
        QCOMPARE(sim_->lines(), QList<QByteArray>{":TRIGGER:STATUS?"});
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(!app().transfer.TransferBusy);
        QCOMPARE(clock_->pausedMs() - before, 200);
    }

    // A transfer ends with the default pointer over every window, and the
    // pointer code the windows read and hand on to their buttons says so too
    // (an hourglass or a hover shape set before does not linger in it).
    void theEndOfATransferRestoresTheDefaultPointer_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("hourglass") << BusyPointer;
        QTest::newRow("sizing pointer") << 9;
    }
    void theEndOfATransferRestoresTheDefaultPointer()
    {
        QFETCH(int, code);
        connectSim();
        MouseControl::setCursor(code);
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 0));
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(MouseControl::Cursor(), 0);
    }

    void settingsKindsGoToTheirHook_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("upload") << 22;
        QTest::newRow("download") << 23;
    }
    void settingsKindsGoToTheirHook()
    {
        QFETCH(int, kind);
        connectSim();
        // Without a hook installed nothing is transferred.
        QVERIFY(RunTransferRequest(TransferCaption::Upload, kind));
        QCOMPARE(sim_->lines(), QList<QByteArray>{":TRIGGER:STATUS?"});
        int ran = 0;
        app().xfer.SettingsTransfer = [&](int k) {
            ran = k;
            QVERIFY(app().transfer.TransferBusy);
        };
        QVERIFY(RunTransferRequest(TransferCaption::Upload, kind));
        QCOMPARE(ran, kind);
    }

    void aSecondRequestIsRefusedWhileBusy()
    {
        connectSim();
        bool secondRan = true;
        app().xfer.SettingsTransfer = [&](int) {
            sim_->clearLog();
            secondRan = RunTransferRequest(TransferCaption::Measure, 1);
            // The dialog of the running transfer refuses to close.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<frmPrgress *>(w))
                    QVERIFY(!d->close());
        };
        QVERIFY(RunTransferRequest(TransferCaption::Upload, 22));
        QVERIFY(!secondRan);
        QCOMPARE(app().transfer.RequestKind, 22);
        QVERIFY(sim_->lines().isEmpty()); // the refused request sent nothing
    }

    void theDialogOpensWhereItWasClosed()
    {
        connectSim();
        SaveSetting(QStringLiteral("Settings_QM4100D"), QStringLiteral("ProgressLeft"), QStringLiteral("1500"));
        SaveSetting(QStringLiteral("Settings_QM4100D"), QStringLiteral("ProgressTop"), QStringLiteral("3000"));
        QPointer<frmPrgress> dlg = new frmPrgress;
        QCOMPARE(dlg->pos(), QPoint(100, 200));
        dlg->move(40, 60);
        dlg->show();
        app().transfer.RequestKind = 0;
        app().transfer.TransferDone = false;
        while (!app().transfer.TransferDone)
            pumpEvents();
        deliverDeferredDeletes();
        QVERIFY(dlg.isNull()); // it unloads itself
        QCOMPARE(GetSetting(QStringLiteral("Settings_QM4100D"), QStringLiteral("ProgressLeft")), QStringLiteral("600"));
        QCOMPARE(GetSetting(QStringLiteral("Settings_QM4100D"), QStringLiteral("ProgressTop")), QStringLiteral("900"));
    }

    void storedPosition_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("place");
        // Screen 15360 x 11520 twips (1024 x 768 pixels), dialog 4515 x 690.
        QTest::newRow("missing: defaults") << QString() << QString() << QPoint(500, 800);
        QTest::newRow("stored") << "1200" << "2400" << QPoint(1200, 2400);
        QTest::newRow("right of the screen") << "15361" << "800" << QPoint(400, 800);
        QTest::newRow("on the right edge") << "15360" << "800" << QPoint(15360, 800);
        QTest::newRow("top at minus the height") << "500" << "-690" << QPoint(500, -690);
        QTest::newRow("one twip more above") << "500" << "-691" << QPoint(500, 600);
        QTest::newRow("left of the screen") << "-4516" << "800" << QPoint(400, 800);
        QTest::newRow("below the screen") << "500" << "11521" << QPoint(500, 600);
        QTest::newRow("not a number") << "abc" << "12x" << QPoint(500, 800);
        QTest::newRow("beyond 16 bits") << "40000" << "-40000" << QPoint(500, 800);
        QTest::newRow("a fraction") << "700.5" << " 900 " << QPoint(700, 900);
    }
    void storedPosition()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, place);
        if (!left.isNull()) {
            SaveSetting(QString::fromLatin1(ProgressSection), QString::fromLatin1(ProgressLeftKey), left);
            SaveSetting(QString::fromLatin1(ProgressSection), QString::fromLatin1(ProgressTopKey), top);
        }
        QCOMPARE(TransferDialogPlace(15360, 11520, 4515, 690), place);
    }

    void progressTicker_data()
    {
        QTest::addColumn<double>("ceiling");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("after");
        QTest::newRow("held at the first source's ceiling") << 33.33 << 31 << 3 << 33;
        QTest::newRow("up to 100") << 100.0 << 99 << 3 << 100;
        QTest::newRow("under the ceiling") << 50.0 << 10 << 3 << 13;
        QTest::newRow("a doubled ceiling still ends at 100") << 200.0 << 99 << 3 << 100;
        QTest::newRow("ceiling rounds half to even") << 32.5 << 31 << 3 << 32;
    }
    void progressTicker()
    {
        QFETCH(double, ceiling);
        QFETCH(int, percent);
        QFETCH(int, step);
        QFETCH(int, after);
        TransferRunner runner;
        runner.load();
        app().transfer.RequestKind = 6;
        app().transfer.CurrentDoc = 4;
        app().xfer.ProgressCeiling = ceiling;
        app().xfer.WavePercent = qint16(percent);
        app().xfer.ProgressStep = qint16(step);
        int shownFor = -1;
        app().xfer.ShowWaveLoadPercent = [&](int slot) { shownFor = slot; };
        runner.progressTick();
        QCOMPARE(int(app().xfer.WavePercent), after);
        QCOMPARE(shownFor, 4);
        QCOMPARE(runner.bar(), float(step));
    }

    void theBarNeverPassesItsMaximum()
    {
        TransferRunner runner;
        runner.load();
        runner.setBar(98);
        app().xfer.ProgressStep = 3;
        app().transfer.RequestKind = 1; // not a waveform request: the percentage stays
        app().xfer.WavePercent = 5;
        runner.progressTick();
        QCOMPARE(runner.bar(), 98.0f);
        QCOMPARE(int(app().xfer.WavePercent), 5);
        app().xfer.ProgressStep = 2;
        runner.progressTick();
        QCOMPARE(runner.bar(), 100.0f);
    }

    void measurementsEndTheBarAt95()
    {
        connectSim();
        TransferRunner runner;
        QList<float> bars;
        runner.onRepaint = [&] { bars.append(runner.bar()); };
        runner.load();
        app().transfer.RequestKind = 1;
        runner.dispatch();
        QVERIFY(bars.size() >= 18);
        QCOMPARE(bars[0], 5.6f);
        QVERIFY(qAbs(bars[16] - 95.2f) < 1e-3f);
        QCOMPARE(bars[17], bars[16]); // 100.8 refused
        QCOMPARE(runner.bar(), bars[16]);
        QVERIFY(app().transfer.TransferDone);
    }

    void saveDialogIsCentredAndGuarded()
    {
        QPointer<frmPrgressSave> dlg = new frmPrgressSave;
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Progress"));
        QCOMPARE(dlg->ProgressBar->value(), 0);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(dlg->pos(), QPoint((screen.width() - dlg->width()) / 2, (screen.height() - dlg->height()) / 2));
        dlg->show();
        app().xfer.SaveBusy = true;
        QVERIFY(!dlg->close());
        QVERIFY(dlg->isVisible());
        QTest::keyClick(dlg, Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        app().xfer.SaveBusy = false;
        QVERIFY(dlg->close());
        delete dlg;
    }

    void centredPlace()
    {
        // 1024 x 768 pixels at 15 twips per pixel, the dialog 4485 x 615 twips.
        QCOMPARE(CentredDialogPlace(15360, 11520, 4485, 615), QPoint(5438, 5452));
        // A dialog larger than the screen stays centred: its edges never pass
        // minus its own size.
        QCOMPARE(CentredDialogPlace(1000, 1000, 5000, 5000), QPoint(-2000, -2000));
    }

    // The dialog (300 x 50 pixels) on a 1024 x 768 screen next to a window
    // whose picture spans 100..699 x 100..499, its Refresh/Stop button at
    // 100,70 and a pane header at 0,60.
    void placeClearOfTheWaitingWindow_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRect>("picture");
        QTest::addColumn<QList<QRect>>("keepClear");
        QTest::addColumn<QPoint>("expected");
        const QRect picture(100, 100, 600, 400);
        const QList<QRect> controls{QRect(100, 70, 30, 25), QRect(0, 60, 90, 20)};
        QTest::newRow("a clear place is kept") << QPoint(700, 600) << picture << controls << QPoint(700, 600);
        QTest::newRow("over the button: the foot of the picture")
            << QPoint(90, 60) << picture << controls << QPoint(250, 442);
        QTest::newRow("over a pane header") << QPoint(-200, 65) << picture << controls << QPoint(250, 442);
        QTest::newRow("the foot below the screen: moved inside")
            << QPoint(90, 60) << QRect(100, 700, 600, 200) << controls << QPoint(250, 718);
        QTest::newRow("the foot taken: the middle")
            << QPoint(90, 60) << picture << (controls + QList<QRect>{QRect(0, 440, 1024, 60)}) << QPoint(250, 275);
        QTest::newRow("the foot and the middle taken: the top")
            << QPoint(90, 60) << picture << (controls + QList<QRect>{QRect(0, 250, 1024, 250)}) << QPoint(250, 108);
        QTest::newRow("nothing clear: where it was")
            << QPoint(90, 60) << picture << (controls + QList<QRect>{QRect(0, 0, 1024, 768)}) << QPoint(90, 60);
        QTest::newRow("no picture: where it was") << QPoint(90, 60) << QRect() << controls << QPoint(90, 60);
    }
    void placeClearOfTheWaitingWindow()
    {
        QFETCH(QPoint, at);
        QFETCH(QRect, picture);
        QFETCH(QList<QRect>, keepClear);
        QFETCH(QPoint, expected);
        const QSize dialog(300, 50);
        const QPoint placed = PlaceClearOf(at, dialog, picture, keepClear, QRect(0, 0, 1024, 768));
        QCOMPARE(placed, expected);
        if (placed != at) {
            for (const QRect &k : keepClear)
                QVERIFY(!QRect(placed, dialog).intersects(k));
            QVERIFY(picture.intersects(QRect(placed, dialog)));
        }
    }
};

QTEST_MAIN(TestFrmPrgress)
#include "tst_frmprgress.moc"
