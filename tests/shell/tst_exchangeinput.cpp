// Working while the instrument answers, through the loaded main window over
// the serial link: input is queued as the window system queues it, at the
// moment of a wait. Stop, Disconnect and closing act at once, even while a
// reply is still awaited; other input that could start a second exchange
// waits for the first and counts once; menus, text boxes and scrolling work
// throughout.
#include "shell/exchangefixture.h"

#include "controller/ctrltree.h"
#include "link/rs232func.h"
#include "panel/panelopen.h"
#include "texts/busytexts.h"
#include "workspace/itemrefresh.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// The item window under test, whatever its kind.
struct Item {
    QWidget *window = nullptr;
    QToolButton *refresh = nullptr;
    RefreshKind kind = RefreshKind::Wave;
    bool refreshing() const
    {
        switch (kind) {
        case RefreshKind::Wave: return app().Sheet.WaveDocs[0].Refreshing;
        case RefreshKind::Data: return app().Sheet.DataDocs[0].Refreshing;
        case RefreshKind::Measure: break;
        }
        return app().Sheet.MeasDocs[0].Refreshing;
    }
};

template <typename Window>
void takeWindow(Item &it, Window *w)
{
    if (w) {
        it.window = w;
        it.refresh = w->cmdRefresh;
    }
}

Item addItem(ExchangeFixture &f, RefreshKind kind)
{
    Item it;
    it.kind = kind;
    if (kind == RefreshKind::Wave) {
        takeWindow(it, f.addWaveWindow());
    } else {
        AddNewItem(kind == RefreshKind::Data ? SheetItemKind::Data : SheetItemKind::Measure);
        f.clock.advance(600);
        QCoreApplication::processEvents();
        if (kind == RefreshKind::Data)
            takeWindow(it, dataWindow(0));
        else
            takeWindow(it, measureWindow(0));
    }
    f.sim.clearLog();
    return it;
}

// Transfers begun: the waveform and data table transfers read the setup
// block once each, and every transfer asks the trigger state first (the
// measure transfer asks it once).
qsizetype transfers(const Qm4100Sim &sim, RefreshKind kind = RefreshKind::Wave)
{
    return kind == RefreshKind::Measure ? sim.count(":TRIGGER:STATUS?") : sim.count(":SYSTEM:DATA?");
}

bool fetching(const Qm4100Sim &sim)
{
    return app().transfer.TransferBusy && sim.count(":TRIGGER:STATUS?") > 0;
}

QString statusMessage(const ExchangeFixture &f)
{
    return f.main->statusBar()->currentMessage();
}

void addKindRows()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("waveform") << int(RefreshKind::Wave);
    QTest::newRow("data table") << int(RefreshKind::Data);
    QTest::newRow("measure") << int(RefreshKind::Measure);
}

} // namespace

class TestExchangeInput : public QObject {
    Q_OBJECT
private slots:
    // Two presses of Stop during one fetch of a continuous refresh (a double
    // click): the first ends the refresh at once, the second does nothing;
    // no further fetch starts.
    void twoStopsDuringOneFetch_data() { addKindRows(); }
    void twoStopsDuringOneFetch()
    {
        QFETCH(int, kind);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window);
        bool queued = false;
        bool shownAtOnce = false;
        // Right after the first press, while the fetch has not ended yet, the
        // Stop shows.
        qsizetype linesAtStop = -1;
        QObject::connect(item.refresh, &QToolButton::clicked, item.window, [&] {
            if (queued && app().transfer.TransferBusy && !shownAtOnce) {
                shownAtOnce = !item.refresh->isEnabled() && statusMessage(f) == busyText(BusyText::Stopping, 1);
                linesAtStop = f.sim.lines().size();
            }
        });
        f.atTurn = [&] {
            if (!queued && fetching(f.sim)) {
                queued = true;
                QVERIFY(nativeinput::queueClick(item.refresh));
                QVERIFY(nativeinput::queueClick(item.refresh));
            }
            if (transfers(f.sim, RefreshKind(kind)) >= 4)
                autoRefreshOn(RefreshKind(kind)) = false; // a Stop that never came
        };
        item.refresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QVERIFY(shownAtOnce);
        // The fetch stopped where it was: not a line more, no second fetch.
        QCOMPARE(f.sim.lines().size(), linesAtStop);
        QVERIFY(transfers(f.sim, RefreshKind(kind)) <= 1);
        QVERIFY(!autoRefreshOn(RefreshKind(kind)));
        QVERIFY(!item.refreshing());
        QVERIFY(item.refresh->isEnabled());
        // Nothing was started after the refresh ended either.
        const qsizetype lines = f.sim.lines().size();
        for (int i = 0; i < 10; ++i)
            waitEvents(100);
        QCOMPARE(f.sim.lines().size(), lines);
    }

    // "Single" refresh: a second click on Refresh, or F5, given while the load
    // runs, does nothing: the button is disabled while it fetches.
    void secondPressDuringASingleLoad_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("key");
        QTest::newRow("waveform, click") << int(RefreshKind::Wave) << false;
        QTest::newRow("waveform, F5") << int(RefreshKind::Wave) << true;
        QTest::newRow("data table, F5") << int(RefreshKind::Data) << true;
        QTest::newRow("measure, F5") << int(RefreshKind::Measure) << true;
    }
    void secondPressDuringASingleLoad()
    {
        QFETCH(int, kind);
        QFETCH(bool, key);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window);
        bool queued = false;
        f.atTurn = [&] {
            if (!queued && fetching(f.sim)) {
                queued = true;
                if (key)
                    QVERIFY(nativeinput::queueKeyClick(item.refresh, Qt::Key_F5));
                else
                    QVERIFY(nativeinput::queueClick(item.refresh));
            }
        };
        item.refresh->click();
        f.atTurn = {};
        for (int i = 0; i < 10; ++i)
            waitEvents(100);
        QVERIFY(queued);
        QCOMPARE(transfers(f.sim, RefreshKind(kind)), 1);
        QVERIFY(item.refresh->isEnabled());
    }

    // The instrument stops answering in the middle of a fetch: Stop, closing
    // the item window and Disconnect each end the transfer within about a
    // second of (virtual) time, and no command goes out after them (but
    // Disconnect's own).
    void actsAtOnceWhileNoReplyComes_data()
    {
        QTest::addColumn<QString>("act");
        QTest::newRow("Stop") << QStringLiteral("stop");
        QTest::newRow("close the window") << QStringLiteral("close");
        QTest::newRow("Disconnect") << QStringLiteral("disconnect");
    }
    void actsAtOnceWhileNoReplyComes()
    {
        QFETCH(QString, act);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind::Wave);
        QVERIFY(item.window);
        Qm4100Sim::Faults silent;
        silent.silentFromQuery = 3; // the trigger state and the run state come; then nothing
        f.sim.setFaults(silent);
        auto *frame = qobject_cast<QMdiSubWindow *>(item.window->parentWidget());
        QVERIFY(frame);
        const QPointer<QMdiSubWindow> frameRef(frame);
        auto *bar = f.main->findChild<QToolBar *>();
        QWidget *disconnect = bar->widgetForAction(f.main->findChild<QAction *>(QStringLiteral("tbButton_Disconnect")));
        QVERIFY(disconnect);

        qint64 actedAt = -1;
        qsizetype linesAtAct = -1;
        bool hiddenAtOnce = false;
        f.atTurn = [&] {
            // The third query, which gets no reply, has gone out.
            if (actedAt < 0 && app().transfer.TransferBusy && f.sim.lines().size() >= 3) {
                actedAt = f.clock.nowMs();
                linesAtAct = f.sim.lines().size();
                if (act == QLatin1String("stop"))
                    QVERIFY(nativeinput::queueClick(item.refresh));
                else if (act == QLatin1String("disconnect"))
                    QVERIFY(nativeinput::queueClick(disconnect));
                else
                    QMetaObject::invokeMethod(frame, "close", Qt::QueuedConnection);
            } else if (actedAt >= 0 && act == QLatin1String("close") && !hiddenAtOnce) {
                // The turn after the close: the window is gone from view
                // before it has unloaded.
                hiddenAtOnce = frameRef && !frameRef->isVisible() && waveWindow(0);
            }
            if (actedAt >= 0 && f.clock.nowMs() - actedAt > 60000)
                autoRefreshOn(RefreshKind::Wave) = false; // it never acted
        };
        item.refresh->click();
        // The close and Disconnect run when the transfer has let go.
        qint64 endedAt = f.clock.nowMs();
        for (int i = 0; i < 20 && (waveWindow(0) || act != QLatin1String("close")); ++i) {
            waitEvents(100);
            if (act == QLatin1String("close") && !waveWindow(0))
                endedAt = f.clock.nowMs();
        }
        f.atTurn = {};
        QVERIFY(actedAt >= 0);
        QVERIFY2(endedAt - actedAt <= 1500, qPrintable(QString::number(endedAt - actedAt)));
        QVERIFY(!autoRefreshOn(RefreshKind::Wave));
        QVERIFY(!app().transfer.TransferBusy);
        QStringList after;
        for (qsizetype i = linesAtAct; i < f.sim.lines().size(); ++i)
            after << QString::fromLatin1(f.sim.lines()[i]);
        if (act == QLatin1String("disconnect")) {
            QCOMPARE(after, QStringList{QStringLiteral(":KEY:LOCK DISABLE")});
            QVERIFY(!app().link.LinkConnected);
        } else {
            QCOMPARE(after, QStringList());
            QVERIFY(app().link.LinkConnected);
        }
        if (act == QLatin1String("close")) {
            QVERIFY(hiddenAtOnce);
            QVERIFY(!waveWindow(0));
            QVERIFY(!app().Sheet.WaveDocs[0].WindowOpen);
        } else {
            QVERIFY(!item.refreshing());
            QVERIFY(item.refresh->isEnabled());
        }
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // A Stop while a late reply is on its way: the next query gets its own
    // reply, never the late one.
    void theReplyGivenUpIsNotTheNextReply()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind::Wave);
        QVERIFY(item.window);
        Qm4100Sim::Faults late;
        late.delayMs = 2000;
        f.sim.setFaults(late);
        bool queued = false;
        qsizetype linesAtStop = -1;
        f.atTurn = [&] {
            if (!queued && fetching(f.sim) && f.sim.count(":SYSTEM:DATA?") > 0) {
                queued = true;
                linesAtStop = f.sim.lines().size();
                QVERIFY(nativeinput::queueClick(item.refresh));
            }
            if (transfers(f.sim) >= 3)
                autoRefreshOn(RefreshKind::Wave) = false;
        };
        item.refresh->click();
        f.atTurn = {};
        QVERIFY(queued);
        QCOMPARE(transfers(f.sim), 1);
        // The Stop gave up the block on its way: the fetch went no further.
        QCOMPARE(f.sim.lines().size(), linesAtStop);
        f.sim.clearFaults();
        QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("RUN"));
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString::fromLatin1(f.sim.setting(":CHANNEL1:SCALE")));
    }

    // During a transfer the menus open, and a menu command chosen closes the
    // menu at once and runs when the transfer has ended.
    void menusAndTextBoxesWorkDuringATransfer()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        Qm4100Sim::Faults late;
        late.delayMs = 1500;
        f.sim.setFaults(late);
        QMenuBar *bar = f.main->menuBar();
        QMenu *tools = f.main->findChild<QMenu *>(QStringLiteral("mnuTools"));
        QAction *options = f.main->findChild<QAction *>(QStringLiteral("mnuToolsOptions"));
        QVERIFY(bar && tools && options);

        int step = 0;
        bool menuOpenDuringTransfer = false;
        bool optionsDuringTransfer = false;
        f.script = [&](QDialog &d) {
            optionsDuringTransfer = optionsDuringTransfer || app().transfer.TransferBusy;
            d.close();
        };
        f.atTurn = [&] {
            if (!fetching(f.sim))
                return;
            switch (step) {
            case 0:
                QVERIFY(nativeinput::queueClick(bar, bar->actionGeometry(tools->menuAction()).center()));
                ++step;
                break;
            case 1:
                if (tools->isVisible()) {
                    menuOpenDuringTransfer = true;
                    QVERIFY(nativeinput::queueClick(tools, tools->actionGeometry(options).center()));
                    ++step;
                }
                break;
            case 2:
                QVERIFY(!tools->isVisible()); // the choice was taken
                ++step;
                break;
            default: break;
            }
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        QVERIFY(step >= 3);
        QVERIFY(menuOpenDuringTransfer);
        QVERIFY(f.dialogsShown.isEmpty());
        handlePendingEvents();
        QCOMPARE(f.dialogsShown.size(), 1); // Options, once the transfer had ended
        QVERIFY(!optionsDuringTransfer);
    }

    // A continuous refresh while the virtual panel is open (its own modal
    // loop runs on top of the refresh's): the refresh pauses and shows it,
    // and goes on when the panel closes.
    void refreshPausesWhileThePanelIsOpen()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind::Wave);
        QVERIFY(item.window);
        bool opened = false;
        bool pausedShown = false;
        qsizetype framesWhileOpen = -1;
        f.script = [&](QDialog &d) {
            pausedShown = !item.refresh->isEnabled() && refreshPaused()
                          && statusMessage(f) == busyText(BusyText::RefreshPaused, 1);
            const qsizetype before = transfers(f.sim);
            for (int i = 0; i < 30; ++i)
                waitEvents(100);
            framesWhileOpen = transfers(f.sim) - before;
            d.close();
        };
        f.atTurn = [&] {
            if (!opened && !app().transfer.TransferBusy && transfers(f.sim) == 1 && !exchangeRunning()) {
                opened = true;
                OpenVirtualPanel();
            }
            if (transfers(f.sim) >= 3)
                autoRefreshOn(RefreshKind::Wave) = false;
        };
        item.refresh->click();
        f.atTurn = {};
        QVERIFY(opened);
        QVERIFY(pausedShown);
        QCOMPARE(framesWhileOpen, 0);
        QCOMPARE(transfers(f.sim), 3); // it went on after the panel closed
        QVERIFY(statusMessage(f) != busyText(BusyText::RefreshPaused, 1));
    }

    // A double click on a controller node held during Auto Set, which ends in
    // a settings download that rebuilds the tree: it acts on the node it was
    // aimed at, or not at all, never on what stands at its place afterwards.
    void heldDoubleClickAfterTheTreeIsRebuilt()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        CtrlTreeView *tree = f.tree();
        QVERIFY(tree);
        // The time base group open; the rebuild leaves only the root open, so
        // that its last node then stands at the row that holds another node
        // now: aim at that row.
        QTreeWidgetItem *timeDiv = tree->node(5, 15);
        QVERIFY(timeDiv);
        for (QTreeWidgetItem *p = timeDiv->parent(); p; p = p->parent())
            p->setExpanded(true);
        QCoreApplication::processEvents();
        QTreeWidgetItem *lastTop = tree->root()->child(tree->root()->childCount() - 1);
        QTreeWidgetItem *target = tree->root();
        for (int i = 0; i < tree->root()->childCount() && target; ++i)
            target = tree->itemBelow(target);
        QVERIFY(target && target != lastTop);
        tree->scrollToItem(target, QAbstractItemView::PositionAtTop);
        QCoreApplication::processEvents();
        const QRect row = tree->visualItemRect(target);
        QVERIFY(!row.isEmpty());
        const QPoint at(row.left() + 8, row.center().y());
        const QString aimedText = target->text(0);
        QString textAtPressAfterwards;
        QStringList opened;
        f.script = [&](QDialog &d) {
            opened << d.objectName();
            d.close();
        };
        bool queued = false;
        f.atTurn = [&] {
            if (!queued && app().transfer.TransferBusy && app().transfer.RequestKind == 23) {
                queued = true;
                QWidget *vp = tree->viewport();
                QVERIFY(nativeinput::queueClick(vp, at));
                QVERIFY(nativeinput::queueClick(vp, at)); // the second press makes the double click
            }
        };
        f.pressNode(1, 3); // Auto Set
        f.atTurn = {};
        QVERIFY(queued);
        const int scrollAfter = tree->verticalScrollBar()->value();
        const QModelIndex under = tree->indexAt(at);
        textAtPressAfterwards = under.isValid() ? under.data().toString() : QString();
        const qsizetype linesBefore = f.sim.lines().size();
        handlePendingEvents();
        // Either nothing was opened, or the node aimed at was.
        if (!opened.isEmpty())
            QCOMPARE(textAtPressAfterwards, aimedText);
        // The click reached no other node: no group opened or closed, no
        // line went out for another node.
        if (textAtPressAfterwards != aimedText) {
            QCOMPARE(f.sim.lines().size(), linesBefore);
            QCOMPARE(tree->verticalScrollBar()->value(), scrollAfter);
        }
    }
};

QTEST_MAIN(TestExchangeInput)
#include "tst_exchangeinput.moc"
