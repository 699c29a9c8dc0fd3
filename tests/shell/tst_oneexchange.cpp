// One exchange with the instrument at a time, through the loaded main window
// over the serial link, every reply late by ReplyDelayMs: a key or click the
// user gives while the program waits inside an exchange (a direct action, a
// dialog's apply, a transfer) is held back and handled when that exchange
// ends. The input is queued as the window system queues it, at the moment
// of the wait. What the instrument received shows whether two conversations
// ran into each other.
#include "shell/exchangefixture.h"
#include "controller/ctrltree.h"
#include "editors/ctrldialog.h"
#include "editors/ctrldialogadjust.h"
#include "datasheet/sheetcommands.h"
#include "shell/shellfixture.h"
#include "support/nativeinput.h"
#include "texts/stringres.h"
#include "transfer/dialogplace.h"
#include "transfer/frmprgress.h"
#include "wave/frmwave.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

class TestOneExchange : public QObject {
    Q_OBJECT
private slots:
    // A second press on a node while its direct action waits for a reply:
    // the second action starts when the first has ended.
    void secondPressDuringADirectAction_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::newRow("Set Trig to 50%") << 1 << 4;
        QTest::newRow("LA Reset") << 4 << 12;
        QTest::newRow("Time/Div node's query") << 5 << 15;
    }
    void secondPressDuringADirectAction()
    {
        QFETCH(int, group);
        QFETCH(int, item);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        // The action alone.
        f.pressNode(group, item);
        const QStringList one = f.simLines();
        QVERIFY(!one.isEmpty());
        const CtrlSettings after = app().Settings;
        const qsizetype dialogsOfOne = f.dialogsShown.size();
        f.sim.clearLog();
        f.dialogsShown.clear();

        // Each dialog the node opens records what the instrument had received.
        QList<qsizetype> linesAtDialog;
        f.script = [&](QDialog &d) {
            linesAtDialog << f.sim.lines().size();
            d.close();
        };
        bool queued = false;
        f.atTurn = [&] {
            if (!queued) {
                queued = true;
                QVERIFY(f.queueNodeReturn(group, item));
            }
        };
        f.pressNode(group, item);
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QCOMPARE(f.simLines(), one + one);
        QVERIFY2(lineInsideAnExchange(f.sim).isEmpty(), qPrintable(lineInsideAnExchange(f.sim)));
        QVERIFY(app().Settings == after);
        QCOMPARE(f.dialogsShown.size(), 2 * dialogsOfOne);
        if (dialogsOfOne) {
            QCOMPARE(linesAtDialog, (QList<qsizetype>{one.size(), 2 * one.size()}));
        }
    }

    // A second OK of the volts/div dialog while its apply waits for the
    // offset: the apply runs once, and the dialog is done.
    void secondOkOfTheAdjustDialog()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        QPointer<CtrlDialogAdjust> dialog;
        bool queued = false;
        f.atTurn = [&] {
            if (dialog && !queued) {
                queued = true;
                QVERIFY(nativeinput::queueClick(dialog->cmdAdjustOK()));
            }
        };
        f.script = [&](QDialog &d) {
            dialog = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(dialog);
            dialog->txtDispValue()->setText(QStringLiteral("200mV"));
            QVERIFY(nativeinput::queueClick(dialog->cmdAdjustOK()));
            handlePendingEvents();
        };
        f.pressNode(2, 3);
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QCOMPARE(f.dialogsShown.size(), 1);
        const QStringList lines = f.simLines();
        QCOMPARE(lines.count(QStringLiteral(":CHANNEL1:OFFSET?")), 1);
        QCOMPARE(lines.filter(QStringLiteral(":CHANNEL1:SCALE ")).size(), 1);
        QCOMPARE(lines.last(), QStringLiteral(":CHANNEL1:OFFSET?"));
        QVERIFY2(lineInsideAnExchange(f.sim).isEmpty(), qPrintable(lineInsideAnExchange(f.sim)));
        QCOMPARE(f.sim.setting(":CHANNEL1:SCALE"), QByteArray("2.000e-01"));
        QCOMPARE(app().Settings.CH1VoltDiv, QStringLiteral("200mV"));
    }

    // The Time/Div dialog opened and confirmed while a waveform transfer
    // reads its blocks: the edit waits for the frame, whose lines all come
    // before the edit's.
    void settingDialogDuringAWaveformTransfer()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        bool busyAtDialog = true;
        qsizetype blocksAtDialog = -1;
        f.script = [&](QDialog &d) {
            busyAtDialog = app().transfer.TransferBusy;
            blocksAtDialog = f.simLines().filter(QStringLiteral(":WAVEFORM:DATA?")).size();
            auto *c = qobject_cast<CtrlDialog *>(&d);
            QVERIFY(c);
            const int at = c->Combo()->findText(QStringLiteral("500.0us"));
            QVERIFY(at >= 0);
            c->Combo()->setCurrentIndex(at);
            c->cmdOK()->click();
        };
        bool queued = false;
        f.atTurn = [&] {
            if (!queued && app().transfer.TransferBusy && f.sim.count(":WAVEFORM:DATA? CHANNEL1") > 0) {
                queued = true;
                QVERIFY(f.queueNodeReturn(5, 15));
            }
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QVERIFY(app().Sheet.WaveDocs[0].HasData);
        QCOMPARE(f.dialogsShown.size(), 1);
        QVERIFY(!busyAtDialog);
        const QStringList lines = f.simLines();
        const qsizetype blocks = lines.filter(QStringLiteral(":WAVEFORM:DATA?")).size();
        QVERIFY2(blocks == 2, qPrintable(lines.join(u'|'))); // CH1 and CH2
        QCOMPARE(blocksAtDialog, blocks);
        const qsizetype edit = firstIndexStarting(lines, QStringLiteral(":TIMEBASE:SCALE "));
        QVERIFY2(edit > lastIndexStarting(lines, QStringLiteral(":WAVEFORM:DATA?")), qPrintable(lines.join(u'|')));
        QVERIFY2(lineInsideAnExchange(f.sim).isEmpty(), qPrintable(lineInsideAnExchange(f.sim)));
        QCOMPARE(f.sim.setting(":TIMEBASE:SCALE"), QByteArray("5.000e-04"));
    }

    // Disconnect pressed while a transfer runs acts at once: the transfer is
    // abandoned (no further query goes out) and the link closes.
    void disconnectDuringATransfer()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        auto *bar = f.main->findChild<QToolBar *>();
        auto *action = f.main->findChild<QAction *>(QStringLiteral("tbButton_Disconnect"));
        QVERIFY(bar && action);
        QWidget *button = bar->widgetForAction(action);
        QVERIFY(button && button->isVisible());
        bool queued = false;
        bool busyAtDisconnect = false;
        QObject::connect(action, &QAction::triggered, wave, [&] { busyAtDisconnect = app().transfer.TransferBusy; });
        f.atTurn = [&] {
            if (!queued && app().transfer.TransferBusy && f.sim.count(":WAVEFORM:DATA? CHANNEL1") > 0) {
                queued = true;
                QVERIFY(nativeinput::queueClick(button));
            }
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QVERIFY(busyAtDisconnect);
        QVERIFY(!app().link.LinkConnected);
        const QStringList lines = f.simLines();
        QCOMPARE(lines.filter(QStringLiteral(":WAVEFORM:DATA?")).size(), 1);
        QCOMPARE(lines.last(), QStringLiteral(":KEY:LOCK DISABLE"));
        QVERIFY2(lineInsideAnExchange(f.sim).isEmpty(), qPrintable(lineInsideAnExchange(f.sim)));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // Stop pressed during a fetch of a continuous refresh in a maximised
    // waveform window: the transfer dialog leaves the Refresh/Stop button and
    // the pane headers free, and the Stop takes effect at once: the fetch is
    // abandoned and no further command goes out.
    void stopDuringAFetchInAMaximisedWindow()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        auto *sub = qobject_cast<QMdiSubWindow *>(wave->parentWidget());
        QVERIFY(sub);
        sub->showMaximized();
        QCoreApplication::processEvents();
        QVERIFY(sub->isMaximized());

        QList<QRect> keepFree{QRect(wave->cmdRefresh->mapToGlobal(QPoint(0, 0)), wave->cmdRefresh->size())};
        for (QDockWidget *dock : f.main->findChildren<QDockWidget *>())
            if (dock->isVisible())
                keepFree << QRect(dock->mapToGlobal(QPoint(0, 0)), QSize(dock->width(), dock->widget()->y()));
        QCOMPARE(keepFree.size(), 3);
        const QRect window(wave->mapToGlobal(QPoint(0, 0)), wave->size());
        // The dialog was last closed right over the Stop button.
        const QPoint overStop = keepFree[0].topLeft() * TwipsPerPixel;
        f.store(ProgressSection, ProgressLeftKey, QString::number(overStop.x()));
        f.store(ProgressSection, ProgressTopKey, QString::number(overStop.y()));

        QRect dialogAt;
        bool busyAtStop = false;
        qsizetype linesAtStop = -1;
        QObject::connect(wave->cmdRefresh, &QToolButton::clicked, wave, [&] {
            if (app().transfer.TransferBusy) {
                busyAtStop = true;
                linesAtStop = f.sim.lines().size();
            }
        });
        bool queued = false;
        f.atTurn = [&] {
            const int frames = int(f.sim.count(":SYSTEM:DATA?"));
            if (!queued && app().transfer.TransferBusy && f.sim.count(":WAVEFORM:DATA? CHANNEL1") > 0) {
                queued = true;
                if (frmPrgress *d = ExchangeFixture::transferDialog())
                    dialogAt = d->frameGeometry();
                QVERIFY(nativeinput::queueClick(wave->cmdRefresh));
            }
            if (frames >= 4)
                app().measure.AutoRefresh.WaveAutoRefreshOn = false; // a Stop that never came
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        QVERIFY(queued);
        QVERIFY(!dialogAt.isEmpty());
        for (const QRect &r : keepFree)
            QVERIFY2(!dialogAt.intersects(r), qPrintable(QStringLiteral("dialog at %1,%2 %3x%4 covers %5,%6 %7x%8")
                                                             .arg(dialogAt.x()).arg(dialogAt.y())
                                                             .arg(dialogAt.width()).arg(dialogAt.height())
                                                             .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        QVERIFY2(window.contains(dialogAt), qPrintable(QStringLiteral("dialog at %1,%2 %3x%4 outside %5,%6 %7x%8")
                                                           .arg(dialogAt.x()).arg(dialogAt.y())
                                                           .arg(dialogAt.width()).arg(dialogAt.height())
                                                           .arg(window.x()).arg(window.y()).arg(window.width()).arg(window.height())));
        // The place it was moved to is not stored: the user's stays.
        QCOMPARE(f.stored(ProgressSection, ProgressLeftKey), QString::number(overStop.x()));
        QCOMPARE(f.stored(ProgressSection, ProgressTopKey), QString::number(overStop.y()));
        // One frame, stopped in the middle.
        QCOMPARE(f.sim.count(":SYSTEM:DATA?"), 1);
        QVERIFY(busyAtStop);
        QCOMPARE(f.sim.lines().size(), linesAtStop);
        QVERIFY(!app().measure.AutoRefresh.WaveAutoRefreshOn);
        QVERIFY(!app().Sheet.WaveDocs[0].Refreshing);
        QVERIFY(wave->cmdRefresh->isEnabled());
        QVERIFY2(lineInsideAnExchange(f.sim).isEmpty(), qPrintable(lineInsideAnExchange(f.sim)));
    }
};

QTEST_MAIN(TestOneExchange)
#include "tst_oneexchange.moc"
