// Working while the instrument answers, through the loaded main window over
// the serial link: input is queued as the window system queues it, at the
// moment of a wait. Stop, Disconnect and closing act at once, even while a
// reply is still awaited, and a Stop ends only its own window's load; other
// input that could start a second exchange waits for the first, counts once,
// and acts soon or not at all, never behind a window nor moving the focus;
// menus, open lists, text boxes, Tab and scrolling work throughout.
#include "shell/exchangefixture.h"

#include "controller/ctrltree.h"
#include "controller/frmctrllist.h"
#include "datasheet/frmdatasheettree.h"
#include "link/rs232func.h"
#include "panel/panelopen.h"
#include "texts/busytexts.h"
#include "texts/messagetable.h"
#include "workspace/itemrefresh.h"

#include <QAction>
#include <QComboBox>
#include <QStyleOptionComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

namespace {

// The item window under test, whatever its kind.
struct Item {
    QWidget *window = nullptr;
    QToolButton *refresh = nullptr;
    QToolButton *exportButton = nullptr;
    RefreshKind kind = RefreshKind::Wave;
    bool showsStop() const
    {
        if (auto *w = qobject_cast<frmWave *>(window))
            return w->showsStopPictures();
        if (auto *w = qobject_cast<frmData *>(window))
            return w->showsStopPictures();
        if (auto *w = qobject_cast<frmMeasure *>(window))
            return w->showsStopPictures();
        return false;
    }
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
        it.exportButton = w->cmdExport;
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

// Runs fn whenever target gets an event of type t.
class EventSpy : public QObject {
public:
    EventSpy(QObject *target, QEvent::Type t, std::function<void()> fn) : type_(t), fn_(std::move(fn))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == type_)
            fn_();
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> fn_;
};

// Queues, as the user gives it, what opens a dialog over item's window: a
// click on its Export, or (a waveform window) a zoom factor out of range typed
// into the zoom box and Return, which a message box refuses.
bool queueOpening(const Item &item, const QString &opens)
{
    if (opens == QLatin1String("export"))
        return nativeinput::queueClick(item.exportButton);
    auto *wave = qobject_cast<frmWave *>(item.window);
    if (!wave || !wave->ZoomCombo->isEnabled())
        return false;
    QLineEdit *edit = wave->ZoomCombo->lineEdit();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    for (int i = 0; i < 6; ++i)
        nativeinput::queueKey(edit, Qt::Key_9, QStringLiteral("9"));
    return nativeinput::queueKey(edit, Qt::Key_Return);
}

// The refreshing window shows that its refresh waits: the button shows
// Refresh, disabled, and the status bar says why.
bool showsPaused(const ExchangeFixture &f, const Item &item)
{
    return !item.refresh->isEnabled() && !item.showsStop() && refreshPaused()
           && f.main->statusBar()->currentMessage() == busyText(BusyText::RefreshPaused, 1);
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
                QVERIFY(nativeinput::queueDoubleClick(item.refresh));
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
    // menu at once and runs when the transfer has ended (chosen as its last
    // block is read: soon before its end).
    void menusAndTextBoxesWorkDuringATransfer()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        Qm4100Sim::Faults late;
        late.delayMs = 600;
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
                if (tools->isVisible() && f.sim.count(":WAVEFORM:DATA? CHANNEL2") > 0) {
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

    // Input held during a long waveform fetch: given early (seconds before
    // the fetch ends) it gets nothing, and the status bar says once, in the
    // language in force, that it was not used; given in the fetch's last
    // second (as its last block is read) it acts when the fetch has ended.
    void heldInputActsSoonOrNotAtAll_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("early");
        QTest::newRow("English, early") << 1 << true;
        QTest::newRow("Chinese, early") << 0 << true;
        QTest::newRow("English, in the last second") << 1 << false;
    }
    void heldInputActsSoonOrNotAtAll()
    {
        QFETCH(int, lang);
        QFETCH(bool, early);
        ExchangeFixture f(lang);
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        QWidget *controller = f.toolButton("Controller");
        QWidget *browser = f.toolButton("DataBrowser");
        auto *controllerPane = f.main->findChild<QDockWidget *>(QStringLiteral("Controller"));
        auto *browserPane = f.main->findChild<QDockWidget *>(QStringLiteral("DataSheet"));
        QVERIFY(controller && browser && controllerPane && browserPane);
        QVERIFY(controllerPane->isVisible() && browserPane->isVisible());
        QStringList shown;
        const QMetaObject::Connection watching = QObject::connect(
            f.main->statusBar(), &QStatusBar::messageChanged, f.main.get(), [&](const QString &m) { shown << m; });
        bool queued = false;
        bool heldShown = false;
        qint64 queuedAt = -1;
        f.atTurn = [&] {
            if (queued && exchangeRunning())
                heldShown = heldShown || statusMessage(f) == busyText(BusyText::InputHeld, lang);
            const bool now = early ? fetching(f.sim) : f.sim.count(":WAVEFORM:DATA? CHANNEL2") > 0;
            if (!queued && app().transfer.TransferBusy && now) {
                queued = true;
                queuedAt = f.clock.nowMs();
                QVERIFY(nativeinput::queueClick(controller));
                QVERIFY(nativeinput::queueClick(browser));
            }
        };
        wave->cmdRefresh->click();
        const qint64 endedAt = f.clock.nowMs();
        f.atTurn = {};
        handlePendingEvents();
        QObject::disconnect(watching);
        QVERIFY(queued);
        QVERIFY(heldShown);
        QVERIFY(app().Sheet.WaveDocs[0].HasData);
        // The set-up: early is seconds before the end, the last block within
        // the last second.
        QVERIFY2(early ? endedAt - queuedAt > 2 * HeldInputMaxAgeMs : endedAt - queuedAt < HeldInputMaxAgeMs,
                 qPrintable(QString::number(endedAt - queuedAt)));
        const QString notUsed = busyText(BusyText::InputDropped, lang);
        QVERIFY(!notUsed.isEmpty() && notUsed != busyText(BusyText::InputDropped, 1 - lang));
        if (early) {
            QVERIFY(controllerPane->isVisible());
            QVERIFY(browserPane->isVisible());
            QCOMPARE(shown.count(notUsed), 1);
            QCOMPARE(statusMessage(f), notUsed);
        } else {
            QVERIFY(!controllerPane->isVisible());
            QVERIFY(!browserPane->isVisible());
            QCOMPARE(shown.count(notUsed), 0);
        }
        QVERIFY(statusMessage(f) != busyText(BusyText::InputHeld, lang));
    }

    // Held input, handed on when a fetch ends, that opens a window (a dialog,
    // a context menu): the rest of the held input gets nothing (it would act
    // behind that window, or after it), and the status bar says so. By the
    // time the window shows, nothing says that input waits for the
    // instrument any more.
    void neverBehindAWindow_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("then");
        QTest::newRow("dialog, then a click") << QStringLiteral("dialog") << QStringLiteral("click");
        QTest::newRow("dialog, then a context menu") << QStringLiteral("dialog") << QStringLiteral("menu");
        QTest::newRow("context menu, then a click") << QStringLiteral("menu") << QStringLiteral("click");
    }
    void neverBehindAWindow()
    {
        QFETCH(QString, first);
        QFETCH(QString, then);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        QWidget *options = f.toolButton("Options");
        QWidget *controller = f.toolButton("Controller");
        auto *controllerPane = f.main->findChild<QDockWidget *>(QStringLiteral("Controller"));
        auto *browser = f.main->findChild<frmDataSheetTree *>();
        QVERIFY(options && controller && controllerPane && browser);
        QTreeWidget *sheetTree = browser->DataSheetTree();
        QMenu *context = browser->pop_mnu1();
        QVERIFY(sheetTree && context && sheetTree->topLevelItemCount() > 0);
        const QPoint onSheet = sheetTree->visualItemRect(sheetTree->topLevelItem(0)).center();
        bool menuShown = false;
        const QMetaObject::Connection watching =
            QObject::connect(context, &QMenu::aboutToShow, context, [&] { menuShown = true; });
        QStringList statusAtDialog;
        f.script = [&](QDialog &d) {
            statusAtDialog << statusMessage(f);
            d.close();
        };
        const auto give = [&](const QString &what) {
            if (what == QLatin1String("dialog"))
                return nativeinput::queueClick(options);
            if (what == QLatin1String("menu"))
                return nativeinput::queueClick(sheetTree->viewport(), onSheet, Qt::RightButton);
            return nativeinput::queueClick(controller);
        };
        bool queued = false;
        f.atTurn = [&] {
            // Given as the last block is read: soon enough to be handled.
            if (!queued && app().transfer.TransferBusy && f.sim.count(":WAVEFORM:DATA? CHANNEL2") > 0) {
                queued = true;
                QVERIFY(give(first));
                QVERIFY(give(then));
            }
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        const bool menuOpenAfter = context->isVisible();
        context->close();
        QObject::disconnect(watching);
        QVERIFY(queued);
        // The first was handed on.
        if (first == QLatin1String("dialog")) {
            QCOMPARE(f.dialogsShown.size(), 1);
            QCOMPARE(statusAtDialog.size(), 1);
            QVERIFY(statusAtDialog[0] != busyText(BusyText::InputHeld, 1));
            QVERIFY(!menuShown); // not after the dialog
        } else {
            QVERIFY(menuShown && menuOpenAfter);
            QVERIFY(f.dialogsShown.isEmpty());
        }
        // The rest was not.
        QVERIFY(controllerPane->isVisible());
        QCOMPARE(statusMessage(f), busyText(BusyText::InputDropped, 1));
    }

    // A click on the Zoom box held during fetch 1 of a continuous refresh:
    // handed on when fetch 1 ends, it opens the list there and then, never
    // once a later fetch has begun. A list open when a fetch begins works as
    // a menu does: Down moves through it at once, Return closes it at once,
    // and the zoom chosen applies when the fetch has ended.
    void aListOpenDuringAFetchWorks()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        if (wave->BestFitChk->isChecked())
            wave->BestFitChk->click();
        QComboBox *zoom = wave->ZoomCombo;
        QVERIFY(zoom->isEnabled() && zoom->isVisible());
        const int chosenAtStart = zoom->currentIndex();
        QVERIFY(chosenAtStart >= 0 && chosenAtStart + 1 < zoom->count());
        const double factorAtStart = wave->zoomFactor();
        QAbstractItemView *rows = zoom->view();
        QWidget *list = rows->window();
        QVERIFY(list && list != wave->window());
        // When the list shows: during a fetch or not.
        QList<bool> shownInAFetch;
        EventSpy shows(list, QEvent::Show, [&] { shownInAFetch << app().transfer.TransferBusy; });
        QStyleOptionComboBox opt;
        opt.initFrom(zoom);
        opt.editable = true;
        const QPoint arrow =
            zoom->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, zoom).center();

        int step = 0;
        qsizetype fetchOfDown = -1;
        int rowAfterDown = -1;
        bool closedAtOnce = false;
        double factorAtReturn = -1;
        f.atTurn = [&] {
            const qsizetype fetch = transfers(f.sim);
            switch (step) {
            case 0:
                // As fetch 1 reads its last block: soon before it ends.
                if (fetch == 1 && app().transfer.TransferBusy && f.sim.count(":WAVEFORM:DATA? CHANNEL2") == 1) {
                    QVERIFY(nativeinput::queueClick(zoom, arrow));
                    ++step;
                }
                break;
            case 1:
                // The next fetch has begun, its last block is being read
                // (so that the choice is still recent when it ends).
                if (fetch >= 2 && app().transfer.TransferBusy && list->isVisible()
                    && f.sim.count(":WAVEFORM:DATA? CHANNEL2") >= fetch) {
                    fetchOfDown = fetch;
                    QVERIFY(nativeinput::queueKey(wave, Qt::Key_Down));
                    ++step;
                }
                break;
            case 2:
                if (app().transfer.TransferBusy && transfers(f.sim) == fetchOfDown) {
                    rowAfterDown = rows->currentIndex().row();
                    QVERIFY(nativeinput::queueKey(wave, Qt::Key_Return));
                    ++step;
                }
                break;
            case 3:
                if (app().transfer.TransferBusy && transfers(f.sim) == fetchOfDown) {
                    closedAtOnce = !list->isVisible();
                    factorAtReturn = wave->zoomFactor();
                    ++step;
                }
                break;
            default:
                if (!app().transfer.TransferBusy && step == 4 && transfers(f.sim) == fetchOfDown) {
                    autoRefreshOn(RefreshKind::Wave) = false;
                    ++step;
                }
                break;
            }
            if (transfers(f.sim) >= 6)
                autoRefreshOn(RefreshKind::Wave) = false; // it never got there
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        list->hide();
        QVERIFY2(step >= 4, qPrintable(QString::number(step)));
        QCOMPARE(shownInAFetch, QList<bool>{false});
        QCOMPARE(rowAfterDown, chosenAtStart + 1);
        QVERIFY(closedAtOnce);
        QCOMPARE(factorAtReturn, factorAtStart);
        QCOMPARE(zoom->currentIndex(), chosenAtStart + 1);
        QVERIFY(wave->zoomFactor() != factorAtStart);
    }

    // During a fetch the user clicks into the Zoom box (which takes it at
    // once), types, then clicks something the gate holds: the keyboard focus
    // stays in the box, before and after the held click is handed on, and
    // the half-typed factor is not applied.
    void focusStaysWhereTheUserPutIt_data()
    {
        QTest::addColumn<QString>("held");
        QTest::newRow("a check box") << QStringLiteral("check");
        QTest::newRow("the picture") << QStringLiteral("picture");
    }
    void focusStaysWhereTheUserPutIt()
    {
        QFETCH(QString, held);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        if (wave->BestFitChk->isChecked())
            wave->BestFitChk->click();
        QLineEdit *zoomText = wave->ZoomCombo->lineEdit();
        QVERIFY(zoomText && wave->ZoomCombo->isEnabled());
        QCheckBox *grid = wave->GridCheck;
        QVERIFY(grid && grid->isEnabled() && (grid->focusPolicy() & Qt::ClickFocus));
        const bool gridAtStart = grid->isChecked();
        QWidget *target = held == QLatin1String("check") ? static_cast<QWidget *>(grid) : wave->WavePic;
        const double factorAtStart = wave->zoomFactor();
        const QString textAtStart = zoomText->text();
        int step = 0;
        QWidget *focusWhileHeld = nullptr;
        f.atTurn = [&] {
            if (!app().transfer.TransferBusy || f.sim.count(":WAVEFORM:DATA? CHANNEL1") == 0)
                return;
            if (step == 0) {
                // The transfer dialog is shown without being activated (the
                // offscreen platform activates it all the same), and the focus
                // is where the user had put it before.
                QApplication::setActiveWindow(f.main.get());
                wave->BestFitChk->setFocus(Qt::OtherFocusReason);
                QCOMPARE(QApplication::focusWidget(), wave->BestFitChk);
                QVERIFY(nativeinput::queueClick(zoomText, QPoint(zoomText->width() - 4, zoomText->height() / 2)));
                ++step;
            } else if (step == 1) {
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Backspace));
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Backspace));
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Backspace));
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Backspace));
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_3, QStringLiteral("3")));
                ++step;
            } else if (step == 2) {
                QVERIFY(nativeinput::queueClick(target));
                ++step;
            } else if (step == 3) {
                focusWhileHeld = QApplication::focusWidget();
                ++step;
            }
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY2(step == 4, qPrintable(QString::number(step)));
        const auto inTheBox = [&](const QWidget *w) { return w && (w == zoomText || w == wave->ZoomCombo); };
        QVERIFY2(inTheBox(focusWhileHeld), focusWhileHeld ? focusWhileHeld->metaObject()->className() : "none");
        QVERIFY(inTheBox(QApplication::focusWidget()));
        QVERIFY(zoomText->text() != textAtStart);
        QCOMPARE(zoomText->text(), QStringLiteral("3"));
        QCOMPARE(wave->zoomFactor(), factorAtStart);
        // The held click was handed on (soon enough).
        if (held == QLatin1String("check"))
            QCOMPARE(grid->isChecked(), !gridAtStart);
    }

    // Between two loads of a continuous refresh, a double click on Stop (its
    // second click comes a moment after the first) or F5 held down (the
    // keyboard repeating it, then its release): the first press stops the
    // refresh, the rest of the same press does not start it again.
    void onePressIsOnePress_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("key");
        QTest::newRow("waveform, double click") << int(RefreshKind::Wave) << false;
        QTest::newRow("waveform, F5 held") << int(RefreshKind::Wave) << true;
        QTest::newRow("data table, double click") << int(RefreshKind::Data) << false;
        QTest::newRow("measure, F5 held") << int(RefreshKind::Measure) << true;
    }
    void onePressIsOnePress()
    {
        QFETCH(int, kind);
        QFETCH(bool, key);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 1000;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window);
        const RefreshKind k = RefreshKind(kind);
        int step = 0;
        qsizetype transfersAtStop = -1;
        bool stoppedAtOnce = false;
        // One turn after another: the first press, then the rest of the
        // same press, each in a turn of its own.
        bool startedAgain = false;
        f.atTurn = [&] {
            if (step >= 2)
                startedAgain = startedAgain || autoRefreshOn(k) || exchangeRunning();
            if (step == 0) {
                if (exchangeRunning() || transfers(f.sim, k) != 1 || !autoRefreshOn(k))
                    return;
                transfersAtStop = transfers(f.sim, k);
                item.refresh->setFocus(Qt::OtherFocusReason);
                QVERIFY(key ? nativeinput::queueKeyEvent(item.refresh, QEvent::KeyPress, Qt::Key_F5)
                            : nativeinput::queueClick(item.refresh));
            } else if (step == 1) {
                stoppedAtOnce = !autoRefreshOn(k);
                if (key) {
                    QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyRelease, Qt::Key_F5, true));
                    QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyPress, Qt::Key_F5, true));
                } else {
                    QVERIFY(nativeinput::queueClick(item.refresh, QPoint(-1, -1), Qt::LeftButton, true));
                }
            } else if (step >= 2 && step < 5 && key) {
                QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyRelease, Qt::Key_F5, true));
                QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyPress, Qt::Key_F5, true));
            } else if (step == 5 && key) {
                QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyRelease, Qt::Key_F5));
            }
            ++step;
            if (transfers(f.sim, k) >= 4)
                autoRefreshOn(k) = false; // a Stop that never came
        };
        item.refresh->click();
        for (int i = 0; i < 30; ++i)
            waitEvents(100);
        f.atTurn = {};
        QVERIFY(step > 6);
        QVERIFY(stoppedAtOnce);
        QVERIFY(!startedAgain);
        QCOMPARE(transfers(f.sim, k), transfersAtStop);
        QVERIFY(!autoRefreshOn(k));
        QVERIFY(!item.refreshing());
        QVERIFY(item.refresh->isEnabled());
    }

    // A double click on the tool bar's Connect: the second click comes
    // while the connect sequence its first click began runs, and is the same
    // press again: the instrument is connected once.
    void aDoubleClickOnConnectConnectsOnce()
    {
        ExchangeFixture f;
        QVERIFY(nativeinput::queueClick(f.toolButton("Disconnect")));
        handlePendingEvents();
        QVERIFY(!app().link.LinkConnected);
        f.sim.clearLog();
        bool secondDuringTheFirst = false;
        f.atTurn = [&] { secondDuringTheFirst = secondDuringTheFirst || exchangeRunning(); };
        QWidget *connect = f.toolButton("Connect");
        QVERIFY(nativeinput::queueClick(connect));
        QVERIFY(nativeinput::queueClick(connect, QPoint(-1, -1), Qt::LeftButton, true));
        handlePendingEvents();
        for (int i = 0; i < 20; ++i)
            waitEvents(100);
        f.atTurn = {};
        QVERIFY(secondDuringTheFirst);
        QVERIFY(app().link.LinkConnected);
        QCOMPARE(f.simLines().count(QStringLiteral("*IDN?")), 1);
        QCOMPARE(f.simLines().count(QStringLiteral(":KEY:LOCK ENABLE")), 1);
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // Enter held on a setting node: its press opens the node's dialog, and
    // the key's repeats that reach the dialog's choice list (Enter there
    // applies) do not apply the value the list was opened with; the dialog
    // waits for the user.
    void enterHeldOnANodeOpensItsDialogOnce()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        int shown = 0;
        bool openAfterRepeats = false;
        qsizetype setsAfterRepeats = -1;
        f.script = [&](QDialog &d) {
            ++shown;
            if (shown > 1) {
                d.close();
                return;
            }
            for (int i = 0; i < 3; ++i)
                QVERIFY(nativeinput::queueKeyEvent(&d, QEvent::KeyPress, Qt::Key_Return, true));
            handlePendingEvents();
            openAfterRepeats = d.isVisible();
            setsAfterRepeats = f.simLines().filter(QStringLiteral(":TIMEBASE:SCALE ")).size();
            QVERIFY(nativeinput::queueKeyEvent(&d, QEvent::KeyRelease, Qt::Key_Return));
            handlePendingEvents();
            d.close();
        };
        QTreeWidgetItem *node = f.tree()->node(5, 15);
        QVERIFY(node);
        for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
            p->setExpanded(true);
        f.tree()->setCurrentItem(node);
        f.tree()->setFocus(Qt::OtherFocusReason);
        QVERIFY(nativeinput::queueKeyEvent(f.tree(), QEvent::KeyPress, Qt::Key_Return));
        handlePendingEvents();
        handlePendingEvents();
        QCOMPARE(shown, 1);
        QVERIFY2(openAfterRepeats, "the repeats of the Enter that opened the dialog confirmed it");
        QCOMPARE(setsAfterRepeats, 0);
        QCOMPARE(f.simLines().filter(QStringLiteral(":TIMEBASE:SCALE ")).size(), 0);
    }

    // Enter held on a setting node while no instrument is connected: its
    // press says "connect first" once; the key's repeats are the same press
    // and do not say it again.
    void enterHeldOnANodeWhileNotConnectedSaysItOnce()
    {
        ExchangeFixture f;
        QVERIFY(nativeinput::queueClick(f.toolButton("Disconnect")));
        handlePendingEvents();
        QVERIFY(!app().link.LinkConnected);
        f.fakeUi.clear();
        QTreeWidgetItem *node = f.tree()->node(1, 5);
        QVERIFY(node);
        for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
            p->setExpanded(true);
        f.tree()->setCurrentItem(node);
        f.tree()->setFocus(Qt::OtherFocusReason);
        QVERIFY(nativeinput::queueKeyEvent(f.tree(), QEvent::KeyPress, Qt::Key_Return));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(nativeinput::queueKeyEvent(f.tree(), QEvent::KeyRelease, Qt::Key_Return, true));
            QVERIFY(nativeinput::queueKeyEvent(f.tree(), QEvent::KeyPress, Qt::Key_Return, true));
        }
        QVERIFY(nativeinput::queueKeyEvent(f.tree(), QEvent::KeyRelease, Qt::Key_Return));
        handlePendingEvents();
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, message(Msg::MsgConnectFirst));
        // A fresh press says it again.
        QVERIFY(nativeinput::queueKeyClick(f.tree(), Qt::Key_Return));
        handlePendingEvents();
        QCOMPARE(f.fakeUi.messages().size(), 2);
    }

    // Refresh pressed with the space bar, in each kind of item window, for
    // one load, or for a continuous refresh and then to stop it: the button
    // is off while it works, and then has the keyboard again, so that the
    // next press of the space bar refreshes again (and does not go to
    // another control of the window, or nowhere).
    void spaceOnRefreshKeepsTheKeyboard_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("type");
        for (const QString &type : {QStringLiteral("Single"), QStringLiteral("Auto")}) {
            QTest::addRow("waveform window, %s", qPrintable(type)) << int(RefreshKind::Wave) << type;
            QTest::addRow("data table window, %s", qPrintable(type)) << int(RefreshKind::Data) << type;
            QTest::addRow("measure window, %s", qPrintable(type)) << int(RefreshKind::Measure) << type;
        }
    }
    void spaceOnRefreshKeepsTheKeyboard()
    {
        QFETCH(int, kind);
        QFETCH(QString, type);
        const bool single = type == QLatin1String("Single");
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = type;
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window && item.refresh);
        // The control that has the keyboard in the item's window (the
        // window's own once it is active again after the transfer dialog).
        QWidget *top = item.refresh->window();
        item.refresh->setFocus(Qt::TabFocusReason);
        QCOMPARE(top->focusWidget(), item.refresh);
        const auto press = [&] {
            QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyPress, Qt::Key_Space));
            QVERIFY(nativeinput::queueKeyEvent(item.refresh, QEvent::KeyRelease, Qt::Key_Space));
        };
        const RefreshKind k = RefreshKind(kind);
        bool stopped = false;
        if (!single) {
            // Stopped with the space bar during its first load.
            f.atTurn = [&] {
                if (!stopped && transfers(f.sim, k) == 1 && exchangeRunning()) {
                    stopped = true;
                    press();
                }
            };
        }
        press();
        handlePendingEvents();
        for (int i = 0; i < 20; ++i)
            waitEvents(100);
        f.atTurn = {};
        QCOMPARE(stopped, !single);
        QCOMPARE(transfers(f.sim, k), 1);
        QVERIFY(!item.showsStop());
        QVERIFY(item.refresh->isEnabled());
        QVERIFY2(top->focusWidget() == item.refresh, "the keyboard focus left the Refresh button");
        // The next press refreshes again.
        f.atTurn = [&] {
            if (transfers(f.sim, k) > 1)
                autoRefreshOn(k) = false;
        };
        press();
        handlePendingEvents();
        for (int i = 0; i < 20; ++i)
            waitEvents(100);
        f.atTurn = {};
        QCOMPARE(transfers(f.sim, k), 2);
        QCOMPARE(top->focusWidget(), item.refresh);
    }

    // Closing the main window during a continuous refresh with unsaved
    // changes: while the save question is open the refresh waits, and shows
    // it (the button shows Refresh, disabled; the status bar says so); the
    // close cancelled, it goes on.
    void closePromptPausesTheRefresh()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        f.fakeUi.answerMessage(MsgAnswer::Cancel);
        bool asked = false;
        bool pausedShown = false;
        bool goneOnAfterTheQuestion = false;
        f.fakeUi.onMessage = [&](const RecordedMessage &m) {
            asked = m.buttons == MsgButtons::YesNoCancel;
            pausedShown = !wave->cmdRefresh->isEnabled() && !wave->showsStopPictures() && refreshPaused()
                          && statusMessage(f) == busyText(BusyText::RefreshPaused, 1);
        };
        bool closed = false;
        f.atTurn = [&] {
            // Once answered, the refresh shows Stop again.
            if (asked && !goneOnAfterTheQuestion)
                goneOnAfterTheQuestion = wave->cmdRefresh->isEnabled() && wave->showsStopPictures();
            if (!closed && !exchangeRunning() && transfers(f.sim) == 1 && app().Sheet.Modified) {
                closed = true;
                QMetaObject::invokeMethod(f.main.get(), "close", Qt::QueuedConnection);
            }
            if (transfers(f.sim) >= 3)
                autoRefreshOn(RefreshKind::Wave) = false;
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        f.fakeUi.onMessage = {};
        QVERIFY(closed);
        QVERIFY(asked);
        QVERIFY(pausedShown);
        QVERIFY(goneOnAfterTheQuestion);
        QVERIFY(f.main->isVisible());
        QCOMPARE(transfers(f.sim), 3); // it went on after the question
        QVERIFY(statusMessage(f) != busyText(BusyText::RefreshPaused, 1));
    }

    // A dialog opened over a continuous refresh between two loads (any
    // window's Export, a message box), through the dialog seam: while it is
    // open the refresh waits and shows it (the button shows Refresh, disabled;
    // the status bar says so); closed, the refresh goes on and shows Stop.
    void aDialogPausesTheRefreshVisibly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("opens");
        QTest::newRow("waveform window, its Export") << int(RefreshKind::Wave) << QStringLiteral("export");
        QTest::newRow("data table window, its Export") << int(RefreshKind::Data) << QStringLiteral("export");
        QTest::newRow("measure window, its Export") << int(RefreshKind::Measure) << QStringLiteral("export");
        QTest::newRow("waveform window, a message box") << int(RefreshKind::Wave) << QStringLiteral("message");
    }
    void aDialogPausesTheRefreshVisibly()
    {
        QFETCH(int, kind);
        QFETCH(QString, opens);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window && item.exportButton);
        if (auto *wave = qobject_cast<frmWave *>(item.window); wave && wave->BestFitChk->isChecked())
            wave->BestFitChk->click(); // the zoom box takes typing
        bool opened = false;
        int asked = 0;
        bool pausedShown = false;
        bool goneOnAfterIt = false;
        const auto ask = [&] {
            ++asked;
            pausedShown = showsPaused(f, item);
        };
        f.fakeUi.onDialog = ask;
        f.fakeUi.onMessage = [&](const RecordedMessage &) { ask(); };
        f.atTurn = [&] {
            if (asked && !goneOnAfterIt)
                goneOnAfterIt = item.refresh->isEnabled() && item.showsStop();
            if (!opened && !exchangeRunning() && !app().transfer.TransferBusy
                && transfers(f.sim, RefreshKind(kind)) == 1) {
                opened = true;
                QApplication::setActiveWindow(f.main.get());
                QVERIFY(queueOpening(item, opens));
            }
            if (transfers(f.sim, RefreshKind(kind)) >= 3)
                autoRefreshOn(RefreshKind(kind)) = false;
        };
        item.refresh->click();
        f.atTurn = {};
        f.fakeUi.onDialog = {};
        f.fakeUi.onMessage = {};
        QVERIFY(opened);
        QCOMPARE(asked, 1);
        QVERIFY2(pausedShown, "the refresh showed nothing of its pause");
        QVERIFY(goneOnAfterIt);
        QCOMPARE(transfers(f.sim, RefreshKind(kind)), 3); // it went on after the dialog
        QVERIFY(statusMessage(f) != busyText(BusyText::RefreshPaused, 1));
        QVERIFY(!refreshPaused());
    }

    // The same with real modal windows (the program's own dialogs, and a
    // dialog of any kind shown modally), closed by the test as soon as they
    // are open: whatever opens a modal window over a continuous refresh, the
    // refresh shows that it waits, and goes on once the window has closed.
    void aModalWindowPausesTheRefreshVisibly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("opens");
        QTest::newRow("the waveform window's Export file dialog") << int(RefreshKind::Wave) << QStringLiteral("export");
        QTest::newRow("the measure window's Export file dialog") << int(RefreshKind::Measure)
                                                                 << QStringLiteral("export");
        QTest::newRow("a message box") << int(RefreshKind::Wave) << QStringLiteral("message");
        QTest::newRow("a dialog of any kind") << int(RefreshKind::Data) << QStringLiteral("dialog");
    }
    void aModalWindowPausesTheRefreshVisibly()
    {
        QFETCH(int, kind);
        QFETCH(QString, opens);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window && item.exportButton);
        if (auto *wave = qobject_cast<frmWave *>(item.window); wave && wave->BestFitChk->isChecked())
            wave->BestFitChk->click();
        // The program's own dialogs, for this test; any modal window is
        // closed at the first turn of its own loop.
        setUi(nullptr);
        struct BackToTheFake {
            ScriptedUi *fake;
            ~BackToTheFake() { setUi(fake); }
        } back{&f.fakeUi};
        QString shown;
        bool pausedShown = false;
        bool goneOnAfterIt = false;
        QTimer closer;
        closer.setInterval(0);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (shown.isEmpty()) {
                shown = QString::fromLatin1(modal->metaObject()->className());
                pausedShown = showsPaused(f, item);
            }
            modal->close();
        });
        closer.start();
        bool opened = false;
        f.atTurn = [&] {
            if (!shown.isEmpty() && !goneOnAfterIt)
                goneOnAfterIt = item.refresh->isEnabled() && item.showsStop();
            if (!opened && !exchangeRunning() && !app().transfer.TransferBusy
                && transfers(f.sim, RefreshKind(kind)) == 1) {
                opened = true;
                QApplication::setActiveWindow(f.main.get());
                if (opens == QLatin1String("dialog")) {
                    QMetaObject::invokeMethod(
                        f.main.get(),
                        [&f] {
                            QDialog dialog(f.main.get());
                            dialog.exec();
                        },
                        Qt::QueuedConnection);
                } else {
                    QVERIFY(queueOpening(item, opens));
                }
            }
            if (transfers(f.sim, RefreshKind(kind)) >= 3)
                autoRefreshOn(RefreshKind(kind)) = false;
        };
        item.refresh->click();
        f.atTurn = {};
        closer.stop();
        QVERIFY(opened);
        QVERIFY2(!shown.isEmpty(), "no modal window opened");
        QVERIFY2(pausedShown, qPrintable(shown + QStringLiteral(" was open, and the refresh showed nothing of its pause")));
        QVERIFY(goneOnAfterIt);
        QCOMPARE(transfers(f.sim, RefreshKind(kind)), 3);
        QVERIFY(statusMessage(f) != busyText(BusyText::RefreshPaused, 1));
        QVERIFY(!refreshPaused());
    }

    // Tab then Space during a fetch, the focus on a check box: Tab moves the
    // focus at once, and the Space (held) goes to where Tab moved it, never
    // to the box the focus left (nor is it dropped as the same press again).
    void tabThenSpaceGoesWhereTabMoved()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        QCheckBox *from = wave->GridCheck;
        QVERIFY(from && from->isVisible() && from->isEnabled());
        // Where Tab goes from there.
        QWidget *to = from->nextInFocusChain();
        while (to && to != from && !(to->isVisible() && to->isEnabled() && (to->focusPolicy() & Qt::TabFocus)))
            to = to->nextInFocusChain();
        auto *next = qobject_cast<QCheckBox *>(to);
        QVERIFY2(next && next != from, to ? to->metaObject()->className() : "none");
        const bool fromAtStart = from->isChecked();
        const bool nextAtStart = next->isChecked();
        int step = 0;
        QWidget *focusDuringFetch = nullptr;
        f.atTurn = [&] {
            if (!app().transfer.TransferBusy || f.sim.count(":WAVEFORM:DATA? CHANNEL1") == 0)
                return;
            if (step == 0) {
                QApplication::setActiveWindow(f.main.get()); // as the transfer dialog is shown
                from->setFocus(Qt::OtherFocusReason);
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Tab));
                QVERIFY(nativeinput::queueKey(wave, Qt::Key_Space, QStringLiteral(" ")));
            } else if (step == 1) {
                focusDuringFetch = QApplication::focusWidget();
            }
            ++step;
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(step >= 2);
        QCOMPARE(focusDuringFetch, static_cast<QWidget *>(next));
        QCOMPARE(from->isChecked(), fromAtStart);
        QCOMPARE(next->isChecked(), !nextAtStart);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(next));
    }

    // The wheel over a control inside a scroll area (the waveform window's
    // column, in a window lower than it) scrolls at once during a fetch, as
    // over the scroll area itself, and not again afterwards.
    void wheelOverAScrollAreasContentScrolls()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        frmWave *wave = f.addWaveWindow();
        QVERIFY(wave);
        wave->parentWidget()->resize(520, 260);
        QCoreApplication::processEvents();
        QScrollBar *column = wave->ColumnScroll->verticalScrollBar();
        QVERIFY(column->maximum() > 0);
        column->setValue(0);
        // A control inside the column, in view: under the middle of the
        // viewport.
        QWidget *viewport = wave->ColumnScroll->viewport();
        const QPoint middle(viewport->width() / 2, viewport->height() / 2);
        QWidget *over = viewport->childAt(middle);
        QVERIFY(over && over != wave->ColumnPanel && viewport->isAncestorOf(over));
        const QPoint at = over->mapFrom(viewport, middle);
        int step = 0;
        int duringFetch = -1;
        f.atTurn = [&] {
            if (!fetching(f.sim))
                return;
            if (step == 0)
                QVERIFY(nativeinput::queueWheel(over, at, -1));
            else if (step == 1)
                duringFetch = column->value();
            ++step;
        };
        wave->cmdRefresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(step >= 2);
        QVERIFY2(duringFetch > 0, qPrintable(QString::number(duringFetch)));
        QCOMPARE(column->value(), duringFetch);
    }

    // An upload or download started from the controller pane between two
    // loads of an item window's continuous refresh, then that window's Stop
    // (its button, or F5): the transfer was not the window's own, so it runs
    // to its end (every line goes out) and the refresh ends after it; the
    // Stop shows at once. Disconnect instead cuts the upload short, and the
    // user is told that the instrument holds only part of the settings.
    void stopActsOnItsOwnRefresh_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("upload");
        QTest::addColumn<QString>("act");
        QTest::newRow("waveform, upload, Stop") << int(RefreshKind::Wave) << true << QStringLiteral("stop");
        QTest::newRow("waveform, download, Stop") << int(RefreshKind::Wave) << false << QStringLiteral("stop");
        QTest::newRow("data table, upload, F5") << int(RefreshKind::Data) << true << QStringLiteral("F5");
        QTest::newRow("measure, download, F5") << int(RefreshKind::Measure) << false << QStringLiteral("F5");
        QTest::newRow("waveform, upload, Disconnect") << int(RefreshKind::Wave) << true
                                                       << QStringLiteral("disconnect");
        QTest::newRow("waveform, upload, closing the program") << int(RefreshKind::Wave) << true
                                                                << QStringLiteral("close");
        QTest::newRow("waveform, upload, closing the window") << int(RefreshKind::Wave) << true
                                                               << QStringLiteral("close window");
    }
    void stopActsOnItsOwnRefresh()
    {
        QFETCH(int, kind);
        QFETCH(bool, upload);
        QFETCH(QString, act);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        const RefreshKind k = RefreshKind(kind);
        auto *pane = f.main->findChild<frmCtrlList *>();
        QVERIFY(pane);
        QWidget *start =
            pane->findChild<QWidget *>(upload ? QStringLiteral("cmdUpload") : QStringLiteral("cmdDownload"));
        QVERIFY(start && start->isVisible());
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, k);
        QVERIFY(item.window);
        const QPointer<QWidget> frame(item.window->parentWidget());
        // The transfer alone: its lines.
        upload ? pane->cmdUpload_Click() : pane->cmdDownload_Click();
        const QStringList alone = f.simLines();
        QVERIFY(alone.size() > 40);
        f.sim.clearLog();
        f.fakeUi.clear();
        // The window's loads begun.
        const auto loads = [&] {
            static const QRegularExpression source(QStringLiteral("^:MEASURE:SOURCE "));
            return k == RefreshKind::Measure ? f.simLines().filter(source).size() : transfers(f.sim, k);
        };
        const int request = upload ? 22 : 23;
        const bool cuts = act == QLatin1String("disconnect") || act == QLatin1String("close");
        f.fakeUi.setFallbackAnswer(MsgAnswer::No); // closing: no save
        int step = 0;
        qsizetype linesAtStart = -1;
        qsizetype linesAtAct = -1;
        qsizetype loadsAtStart = -1;
        bool shownAtOnce = false;
        f.atTurn = [&] {
            const bool inTransfer = app().transfer.TransferBusy && app().transfer.RequestKind == request;
            if (step == 0 && !exchangeRunning() && loads() == 1 && autoRefreshOn(k)) {
                loadsAtStart = loads();
                linesAtStart = f.sim.lines().size();
                QVERIFY(nativeinput::queueClick(start));
                ++step;
            } else if (step == 1 && inTransfer && f.sim.lines().size() >= linesAtStart + 8) {
                linesAtAct = f.sim.lines().size();
                if (act == QLatin1String("stop"))
                    QVERIFY(nativeinput::queueClick(item.refresh));
                else if (act == QLatin1String("F5"))
                    QVERIFY(nativeinput::queueKeyClick(item.refresh, Qt::Key_F5));
                else if (act == QLatin1String("disconnect"))
                    QVERIFY(nativeinput::queueClick(f.toolButton("Disconnect")));
                else if (act == QLatin1String("close"))
                    QMetaObject::invokeMethod(f.main.get(), "close", Qt::QueuedConnection);
                else
                    QMetaObject::invokeMethod(item.window->parentWidget(), "close", Qt::QueuedConnection);
                ++step;
            } else if (step == 2) {
                if (act == QLatin1String("close window"))
                    shownAtOnce = !frame->isVisible() && app().transfer.TransferBusy; // gone from view
                else
                    shownAtOnce = cuts || (!item.refresh->isEnabled() && app().transfer.TransferBusy);
                ++step;
            }
            if (loads() >= 4)
                autoRefreshOn(k) = false; // it never ended
        };
        item.refresh->click();
        for (int i = 0; i < 20; ++i)
            waitEvents(100);
        f.atTurn = {};
        QVERIFY2(step == 3, qPrintable(QString::number(step)));
        QVERIFY(shownAtOnce);
        const QStringList during = f.simLines().mid(linesAtStart);
        QVERIFY(!autoRefreshOn(k));
        if (act == QLatin1String("close window")) {
            // The upload was not the window's: every line went out, then
            // the window closed.
            QCOMPARE(during, alone);
            QVERIFY(!waveWindow(0));
            QVERIFY(!app().Sheet.WaveDocs[0].WindowOpen);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!frame);
            QVERIFY(f.fakeUi.messages().isEmpty());
            return;
        }
        QVERIFY(!app().transfer.TransferBusy);
        if (act != QLatin1String("close")) {
            QVERIFY(!item.refreshing());
            QVERIFY(item.refresh->isEnabled());
        }
        if (!cuts) {
            // Every line of the transfer, and no load after it.
            QCOMPARE(during, alone);
            QCOMPARE(loads(), loadsAtStart);
            QVERIFY(app().link.LinkConnected);
            QVERIFY(f.fakeUi.messages().isEmpty());
            return;
        }
        // Cut short where Disconnect (or the close) came, and said first.
        if (act == QLatin1String("disconnect"))
            QVERIFY(!app().link.LinkConnected);
        QVERIFY2(during.size() < alone.size(), qPrintable(QString::number(during.size())));
        QVERIFY(during.size() <= linesAtAct - linesAtStart + 2);
        QCOMPARE(during.last(), QStringLiteral(":KEY:LOCK DISABLE"));
        QVERIFY(!f.fakeUi.messages().isEmpty());
        QCOMPARE(f.fakeUi.messages().size(), act == QLatin1String("close") ? 2 : 1); // then the save question
        QCOMPARE(f.fakeUi.messages()[0].text, uploadCutText(1));
        if (act == QLatin1String("close"))
            QVERIFY(!f.main->isVisible());
        QCOMPARE(f.fakeUi.messages()[0].icon, MsgIcon::Exclamation);
        QVERIFY(uploadCutText(0) != uploadCutText(1) && !uploadCutText(0).isEmpty());
    }

    // A double click on a controller node held during Auto Set, which ends in
    // a settings download that rebuilds the tree, given as its last reply is
    // awaited (soon enough to be handled): it acts on the node it was aimed
    // at, or not at all, never on what stands at its place afterwards. The
    // rebuild leaves only the root open, so that the root's last node then
    // stands at the row that holds another node now: the click is aimed there.
    void heldDoubleClickAfterTheTreeIsRebuilt()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        CtrlTreeView *tree = f.tree();
        QVERIFY(tree);
        // Auto Set alone, to learn its lines: the double click is given
        // while the reply to the download's last query is on its way.
        f.pressNode(1, 3);
        handlePendingEvents();
        const qsizetype autoSetLines = f.sim.lines().size();
        QVERIFY(autoSetLines > 100);
        f.sim.clearLog();
        tree = f.tree();
        QVERIFY(tree);

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
        const QPersistentModelIndex aimedRow(tree->indexAt(at));
        QVERIFY(aimedRow.isValid() && aimedRow.data().toString() == aimedText);
        QStringList opened;
        f.script = [&](QDialog &d) {
            opened << d.objectName();
            d.close();
        };
        bool queued = false;
        bool heldWhileBusy = false;
        qint64 queuedAt = -1;
        qint64 handledAt = -1;
        int scrollAtEnd = -1;
        qsizetype linesAtEnd = -1;
        f.atTurn = [&] {
            if (queued && exchangeRunning() && inputHeld())
                heldWhileBusy = true;
            if (!queued && app().transfer.TransferBusy && app().transfer.RequestKind == 23
                && f.sim.lines().size() >= autoSetLines - 1) {
                queued = true;
                queuedAt = f.clock.nowMs();
                // Runs when the exchange has ended, just before the held
                // double click is handled.
                runAfterExchange([&] {
                    handledAt = f.clock.nowMs();
                    scrollAtEnd = tree->verticalScrollBar()->value();
                    linesAtEnd = f.sim.lines().size();
                });
                QVERIFY(nativeinput::queueDoubleClick(tree->viewport(), at));
            }
        };
        f.pressNode(1, 3); // Auto Set
        f.atTurn = {};
        handlePendingEvents();
        // The set-up: the double click was held during the download, and was
        // still recent when it ended; the tree was rebuilt under it and
        // another node stands where it was aimed.
        QVERIFY(queued);
        QVERIFY(heldWhileBusy);
        QVERIFY2(handledAt >= 0 && handledAt - queuedAt <= HeldInputMaxAgeMs,
                 qPrintable(QString::number(handledAt - queuedAt)));
        QCOMPARE(linesAtEnd, autoSetLines);
        QVERIFY(!aimedRow.isValid());
        const QModelIndex under = tree->indexAt(at);
        QVERIFY(under.isValid());
        QVERIFY(under.data().toString() != aimedText);
        // The click reached no other node: no dialog, no group opened or
        // closed, no line went out; and it was not given up as too old.
        handlePendingEvents();
        QCOMPARE(opened, QStringList());
        QCOMPARE(f.sim.lines().size(), linesAtEnd);
        QCOMPARE(tree->verticalScrollBar()->value(), scrollAtEnd);
        QVERIFY(statusMessage(f) != busyText(BusyText::InputDropped, 1));
    }
};

QTEST_MAIN(TestExchangeInput)
#include "tst_exchangeinput.moc"
