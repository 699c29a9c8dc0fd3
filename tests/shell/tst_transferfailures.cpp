// Transfers that do not get every reply, through the loaded main window over
// the serial link and the simulator: a Stop, an instrument that falls silent,
// a reply later than its time-out, and replies that hold no value. A transfer
// keeps what it had unless every reply came; a silent instrument costs one
// time-out and one message, and the link, its lamp and the next Refresh then
// agree that it is lost; a late reply never becomes another query's reply.
#include "shell/exchangefixture.h"

#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "link/rs232func.h"
#include "texts/busytexts.h"
#include "texts/messagetable.h"
#include "workspace/itemrefresh.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

namespace {

// The item under test, whatever its kind, and its record as a comparable
// snapshot (the Refreshing flag is the window's, not the record's content).
struct Item {
    QWidget *window = nullptr;
    QToolButton *refresh = nullptr;
    RefreshKind kind = RefreshKind::Measure;

    struct Snapshot {
        MeasDoc measure;
        WaveDoc wave;
        DataDoc data;
        friend bool operator==(const Snapshot &, const Snapshot &) = default;
    };
    Snapshot snapshot() const
    {
        Snapshot s;
        s.measure = app().Sheet.MeasDocs[0];
        s.wave = app().Sheet.WaveDocs[0];
        s.data = app().Sheet.DataDocs[0];
        s.measure.Refreshing = s.wave.Refreshing = s.data.Refreshing = false;
        return s;
    }
    bool hasData() const
    {
        switch (kind) {
        case RefreshKind::Wave: return app().Sheet.WaveDocs[0].HasData;
        case RefreshKind::Data: return app().Sheet.DataDocs[0].HasData;
        case RefreshKind::Measure: break;
        }
        return app().Sheet.MeasDocs[0].HasData;
    }
};

Item addItem(ExchangeFixture &f, RefreshKind kind)
{
    Item it;
    it.kind = kind;
    if (kind == RefreshKind::Wave) {
        if (frmWave *w = f.addWaveWindow()) {
            it.window = w;
            it.refresh = w->cmdRefresh;
        }
    } else {
        AddNewItem(kind == RefreshKind::Data ? SheetItemKind::Data : SheetItemKind::Measure);
        f.clock.advance(600);
        QCoreApplication::processEvents();
        if (kind == RefreshKind::Data) {
            if (frmData *w = dataWindow(0)) {
                it.window = w;
                it.refresh = w->cmdRefresh;
            }
        } else if (frmMeasure *w = measureWindow(0)) {
            it.window = w;
            it.refresh = w->cmdRefresh;
        }
    }
    f.sim.clearLog();
    return it;
}

// The faults of the fixture (every reply late) with more.
Qm4100Sim::Faults lateAnd(const std::function<void(Qm4100Sim::Faults &)> &more)
{
    Qm4100Sim::Faults faults;
    faults.delayMs = ReplyDelayMs;
    more(faults);
    return faults;
}

QStringList readings(frmMeasure *w)
{
    QStringList out;
    for (int r = 0; r < w->MeasureView->topLevelItemCount(); ++r)
        out << w->MeasureView->topLevelItem(r)->text(1);
    return out;
}

QStringList treeTexts(CtrlTreeView *tree)
{
    QStringList out;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        out << (*it)->text(0);
    return out;
}

qsizetype queriesIn(const Qm4100Sim &sim)
{
    qsizetype n = 0;
    for (const Qm4100Sim::LogEntry &e : sim.log())
        n += e.query ? 1 : 0;
    return n;
}

QString statusMessage(const ExchangeFixture &f)
{
    return f.main->statusBar()->currentMessage();
}

// The link as the user sees it: the flag, both lamps of the status bar.
bool shownLost(const ExchangeFixture &f)
{
    return !app().link.LinkConnected && !f.main->lamp(false)->isHidden() && f.main->lamp(true)->isHidden();
}

} // namespace

class TestTransferFailures : public QObject {
    Q_OBJECT
private slots:
    // Stop during a load of a measure window's continuous refresh, after a
    // load or during the first one: the item keeps its readings, info line
    // and flags, the sheet is not modified, nothing is said.
    void stopKeepsTheReadings_data()
    {
        QTest::addColumn<int>("stopInLoad");
        QTest::newRow("after a load") << 2;
        QTest::newRow("during the first load") << 1;
    }
    void stopKeepsTheReadings()
    {
        QFETCH(int, stopInLoad);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind::Measure);
        auto *w = static_cast<frmMeasure *>(item.window);
        QVERIFY(w);
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.Items[MeasVpp].Enabled = true;
        doc.Items[MeasVpp].Under = 0.5;
        doc.Items[MeasVpp].Over = 1.0;
        bool queued = false;
        Item::Snapshot before;
        QStringList shown;
        QString info;
        f.atTurn = [&] {
            const qsizetype load = f.sim.count(":MEASURE:SOURCE CHANNEL1");
            // Half-way through the load: its readings are coming in.
            if (!queued && load == stopInLoad && f.sim.count(":MEASURE:VRMS? CHANNEL1") == stopInLoad) {
                queued = true;
                app().Sheet.Modified = false;
                before = item.snapshot();
                shown = readings(w);
                info = w->SettingLabel->text();
                QVERIFY(nativeinput::queueClick(item.refresh));
            }
            if (f.sim.count(":TRIGGER:STATUS?") >= 5)
                autoRefreshOn(RefreshKind::Measure) = false; // a Stop that never came
        };
        item.refresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(queued);
        QCOMPARE(before.measure.HasData, stopInLoad > 1);
        QVERIFY(item.snapshot() == before);
        QCOMPARE(readings(w), shown);
        QCOMPARE(w->SettingLabel->text(), info);
        QVERIFY(!app().Sheet.Modified);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);
        QVERIFY(!autoRefreshOn(RefreshKind::Measure));
        QVERIFY(item.refresh->isEnabled());
    }

    // The instrument stops answering between two loads of a continuous
    // refresh: the next load ends at the first reply that does not come
    // (nothing is asked after it) after one time-out, the user is told once,
    // the item is kept, and the link, its lamps, the status bar and the next
    // Refresh agree that the link is lost.
    void silentInstrumentCostsOneTimeOut_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("measure") << int(RefreshKind::Measure);
        QTest::newRow("waveform") << int(RefreshKind::Wave);
        QTest::newRow("data table") << int(RefreshKind::Data);
    }
    void silentInstrumentCostsOneTimeOut()
    {
        QFETCH(int, kind);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind(kind));
        QVERIFY(item.window);
        // What the status bar says while the user reads the message.
        QStringList statusWhileTold;
        f.fakeUi.onMessage = [&](const RecordedMessage &) { statusWhileTold << statusMessage(f); };
        bool silenced = false;
        Item::Snapshot before;
        qint64 silencedAt = 0;
        qsizetype linesBefore = 0;
        f.atTurn = [&] {
            if (!silenced && item.hasData() && !app().transfer.TransferBusy) {
                silenced = true;
                app().Sheet.Modified = false;
                before = item.snapshot();
                silencedAt = f.clock.nowMs();
                linesBefore = f.sim.lines().size();
                // The next load's first query is answered, the second is not.
                f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &x) { x.silentFromQuery = 2; }));
            }
            if (silenced && f.clock.nowMs() - silencedAt > 300000)
                autoRefreshOn(RefreshKind(kind)) = false; // it never ended
        };
        item.refresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(silenced);
        // One time-out (4 s), with the refresh interval, the dispatch and the
        // end pause around it.
        const qint64 took = f.clock.nowMs() - silencedAt;
        QVERIFY2(took < 6000, qPrintable(QString::number(took)));
        // Two queries went out: the answered one, and the one that ended it.
        QCOMPARE(f.sim.lines().size() - linesBefore, 2);
        QVERIFY(!f.sim.log().last().answered);
        QVERIFY(item.snapshot() == before);
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, message(Msg::MsgReadFailed));
        // The refresh ends there: nothing says it is only paused.
        QCOMPARE(statusWhileTold.size(), 1);
        QVERIFY2(statusWhileTold.first() != busyText(BusyText::RefreshPaused, 1), qPrintable(statusWhileTold.first()));
        QVERIFY(shownLost(f));
        QVERIFY(statusMessage(f).isEmpty());
        QVERIFY(!autoRefreshOn(RefreshKind(kind)));
        QVERIFY(item.refresh->isEnabled());
        // The next Refresh asks for a connect, and sends nothing.
        const qsizetype lines = f.sim.lines().size();
        item.refresh->click();
        QCOMPARE(f.fakeUi.messages().size(), 2);
        QCOMPARE(f.fakeUi.messages().last().text, message(Msg::MsgConnectFirst));
        QCOMPARE(f.sim.lines().size(), lines);
    }

    // A settings download from an instrument silent from the first query or
    // from the twentieth: one time-out, the settings, the tree and the control
    // file's state as they were, one message, the link lost.
    void downloadFromASilentInstrument_data()
    {
        QTest::addColumn<int>("silentFrom");
        QTest::newRow("silent from the first query") << 1;
        QTest::newRow("silent from the twentieth") << 20;
    }
    void downloadFromASilentInstrument()
    {
        QFETCH(int, silentFrom);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        auto *pane = f.main->findChild<frmCtrlList *>();
        QVERIFY(pane);
        // The instrument holds other settings than the record: a download cut
        // short half-way would change some of them.
        for (const char *line : {":TIMEBASE:SCALE 5e-4", ":TIMEBASE:OFFSET 2e-4", ":CHANNEL1:SCALE 2",
                                 ":CHANNEL1:PROBE 10", ":CHANNEL2:OFFSET 0.5", ":TRIGGER:HOLDOFF 1e-3"})
            f.sim.handle(line, Qm4100Sim::Framing::LengthPrefix);
        f.sim.clearLog();
        f.sim.setFaults(lateAnd([&](Qm4100Sim::Faults &x) { x.silentFromQuery = silentFrom; }));
        const CtrlSettings before = app().Settings;
        const QStringList tree = treeTexts(f.tree());
        app().ctrl.CtrlFileModified = false;
        const qint64 t0 = f.clock.nowMs();
        pane->cmdDownload()->click();
        handlePendingEvents();

        const qint64 took = f.clock.nowMs() - t0;
        QVERIFY2(took < (silentFrom == 1 ? 5000 : 15000), qPrintable(QString::number(took)));
        QCOMPARE(queriesIn(f.sim), qsizetype(silentFrom));
        QVERIFY(!f.sim.log().last().answered);
        QVERIFY(app().Settings == before);
        QCOMPARE(treeTexts(f.tree()), tree);
        QVERIFY(!app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, message(Msg::MsgReadFailed));
        QVERIFY(shownLost(f));
    }

    // One reply, ":TIMEBASE:SCALE?", comes 5 s late (past its 4 s time-out)
    // during a download: no setting takes another's reply. The download ends
    // there; a connect made at once, while the late reply is still on its
    // way, identifies the instrument by its own reply; the next download
    // brings every setting the instrument has.
    void aLateReplyIsNeverAnotherQuerysReply()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        auto *pane = f.main->findChild<frmCtrlList *>();
        QVERIFY(pane);
        for (const char *line : {":TIMEBASE:SCALE 5e-4", ":TIMEBASE:OFFSET 2e-4", ":CHANNEL1:PROBE 10",
                                 ":CHANNEL1:SCALE 2", ":CHANNEL1:OFFSET 0.5", ":TRIGGER:HOLDOFF 1e-3"})
            f.sim.handle(line, Qm4100Sim::Framing::LengthPrefix);
        f.sim.clearLog();
        f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &x) {
            x.delayMs = 5000;
            x.lateReplyTo = ":TIMEBASE:SCALE?";
        }));
        const CtrlSettings before = app().Settings;
        pane->cmdDownload()->click();
        handlePendingEvents();
        QVERIFY(app().Settings == before);
        QCOMPARE(f.sim.lines().last(), QByteArray(":TIMEBASE:SCALE?"));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY(shownLost(f));

        // Connect again at once: the late reply is still on its way.
        f.sim.clearLog();
        f.main->findChild<QAction *>(QStringLiteral("mnuToolsConnect"))->trigger();
        handlePendingEvents();
        QVERIFY(app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1); // no "Device not found!"
        QVERIFY(!f.main->lamp(true)->isHidden());
        QCOMPARE(f.sim.count("*IDN?"), 1);

        f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &) {}));
        pane->cmdDownload()->click();
        handlePendingEvents();
        const CtrlSettings &s = app().Settings;
        QCOMPARE(s.TimeDiv, QStringLiteral("500.0us"));
        QCOMPARE(s.Delay, QStringLiteral("200.0us"));
        QCOMPARE(s.CH1Probe, QStringLiteral("10X"));
        QCOMPARE(s.CH1VoltDiv, QStringLiteral("2.00V"));
        QCOMPARE(s.CH1Offset, QStringLiteral("500mV"));
        QCOMPARE(s.Holdoff, QStringLiteral("1.00ms"));
        QVERIFY(app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    // A load fails on a silent instrument (its reply, never to come, is given
    // up) and the user connects again at once: the connect waits for the rest
    // of that reply's deadline before its "*IDN?", and the status bar says
    // what it waits for all along, not a word once it is connected.
    void aConnectWaitingForAGivenUpReplySaysSo()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        const Item item = addItem(f, RefreshKind::Measure);
        QVERIFY(item.window);
        f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &x) { x.silentFromQuery = 1; }));
        item.refresh->click();
        handlePendingEvents();
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY(shownLost(f));

        f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &) {}));
        f.sim.clearLog();
        const QString waiting = busyText(BusyText::LateReply, 1);
        qint64 firstSaid = -1;
        qint64 lastSilent = -1; // the last turn, before "*IDN?", it said nothing
        const qint64 asked = f.clock.nowMs();
        f.atTurn = [&] {
            if (f.sim.count("*IDN?") > 0)
                return;
            if (statusMessage(f) == waiting) {
                if (firstSaid < 0)
                    firstSaid = f.clock.nowMs();
            } else if (firstSaid >= 0) {
                lastSilent = f.clock.nowMs();
            }
        };
        f.main->findChild<QAction *>(QStringLiteral("mnuToolsConnect"))->trigger();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.sim.count("*IDN?"), 1);
        // It did wait, and said so from its first moments to its end.
        qint64 identified = -1;
        for (const Qm4100Sim::LogEntry &e : f.sim.log())
            if (e.line == "*IDN?")
                identified = e.atMs;
        QVERIFY2(identified - asked >= 2000, qPrintable(QString::number(identified - asked)));
        QVERIFY2(firstSaid >= 0 && firstSaid - asked < 500, qPrintable(QString::number(firstSaid - asked)));
        QVERIFY2(lastSilent < 0, qPrintable(QString::number(lastSilent - asked)));
        QVERIFY(statusMessage(f) != waiting);
    }

    // Connecting says so in the status bar from its first moment to its end,
    // in the language in force, also while it waits for an instrument that
    // does not answer and while it tells the user so; then the text goes.
    void connectingSaysSo_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("answers");
        QTest::newRow("English, answers") << 1 << true;
        QTest::newRow("English, silent") << 1 << false;
        QTest::newRow("Chinese, silent") << 0 << false;
    }
    void connectingSaysSo()
    {
        QFETCH(int, lang);
        QFETCH(bool, answers);
        ExchangeFixture f(lang);
        QVERIFY(app().link.LinkConnected);
        f.main->findChild<QAction *>(QStringLiteral("mnuToolsDisconnect"))->trigger();
        handlePendingEvents();
        QVERIFY(!app().link.LinkConnected);
        f.sim.setFaults(lateAnd([answers](Qm4100Sim::Faults &x) { x.noReply = !answers; }));
        const QString connecting = busyText(BusyText::Connecting, lang);
        QVERIFY(!connecting.isEmpty());
        int turns = 0;
        int turnsSaid = 0;
        f.atTurn = [&] {
            ++turns;
            turnsSaid += statusMessage(f) == connecting ? 1 : 0;
        };
        QStringList statusWhileTold;
        f.fakeUi.onMessage = [&](const RecordedMessage &) { statusWhileTold << statusMessage(f); };
        f.main->findChild<QAction *>(QStringLiteral("mnuToolsConnect"))->trigger();
        f.atTurn = {};
        handlePendingEvents();
        QCOMPARE(bool(app().link.LinkConnected), answers);
        QVERIFY(turns > 0);
        QCOMPARE(turnsSaid, turns);
        for (const QString &s : statusWhileTold)
            QCOMPARE(s, connecting);
        QCOMPARE(statusWhileTold.isEmpty(), answers);
        QVERIFY(statusMessage(f) != connecting);
    }

    // The instrument falls silent, Stop, Refresh, and Stop again while the
    // reply the first Stop gave up is still being finished: the second Stop
    // acts within about a second, and nothing more goes out.
    void secondStopWhileAGivenUpReplyIsFinished()
    {
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 500;
        const Item item = addItem(f, RefreshKind::Measure);
        QVERIFY(item.window);
        int step = 0;
        qint64 at = 0;
        f.atTurn = [&] {
            if (step == 0 && item.hasData() && !app().transfer.TransferBusy) {
                step = 1;
                f.sim.setFaults(lateAnd([](Qm4100Sim::Faults &x) { x.silentFromQuery = 2; }));
                at = f.clock.nowMs();
            } else if (step == 1 && f.sim.log().size() > 0 && f.sim.log().last().query && !f.sim.log().last().answered
                       && f.clock.nowMs() - f.sim.log().last().atMs >= 1000) {
                step = 2; // a second into the wait of a reply that does not come
                QVERIFY(nativeinput::queueClick(item.refresh));
            }
            if (f.clock.nowMs() - at > 120000 && step > 0)
                autoRefreshOn(RefreshKind::Measure) = false;
        };
        item.refresh->click();
        QCOMPARE(step, 2);
        QVERIFY(!autoRefreshOn(RefreshKind::Measure));
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);

        // Refresh again: its first query waits for the reply given up.
        const Item::Snapshot before = item.snapshot();
        const qint64 clicked = f.clock.nowMs();
        qsizetype linesAtStop = -1;
        qint64 stoppedAt = -1;
        f.atTurn = [&] {
            if (stoppedAt < 0 && app().transfer.TransferBusy && f.clock.nowMs() - clicked >= 400) {
                stoppedAt = f.clock.nowMs();
                linesAtStop = f.sim.lines().size();
                QVERIFY(nativeinput::queueClick(item.refresh));
            }
            if (f.clock.nowMs() - clicked > 120000)
                autoRefreshOn(RefreshKind::Measure) = false;
        };
        item.refresh->click();
        f.atTurn = {};
        handlePendingEvents();
        QVERIFY(stoppedAt >= 0);
        const qint64 took = f.clock.nowMs() - stoppedAt;
        QVERIFY2(took <= 1000, qPrintable(QString::number(took)));
        QCOMPARE(f.sim.lines().size(), linesAtStop);
        QVERIFY(item.snapshot() == before);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);
        QVERIFY(item.refresh->isEnabled());
        QVERIFY(statusMessage(f) != busyText(BusyText::Stopping, 1));
    }

    // Measurement replies the instrument marks ">" or "<", or a number it
    // cannot mean: their rows show the invalid mark, judged "Fail"; the other
    // rows show their readings.
    void invalidMeasurementReplies_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<int>("item");
        QTest::newRow("< to Vpp") << QByteArray(":MEASURE:VPP? CHANNEL1") << QByteArray("<") << QByteArray() << int(MeasVpp);
        QTest::newRow("> to the overshoot") << QByteArray(":MEASURE:OVERSHOOT? CHANNEL1") << QByteArray(">")
                                            << QByteArray("9.000e-01") << int(MeasVover);
        QTest::newRow("1e308 to Vmin") << QByteArray(":MEASURE:VMIN? CHANNEL1") << QByteArray()
                                       << QByteArray("1e308") << int(MeasVmin);
        QTest::newRow("1e600 to the rms") << QByteArray(":MEASURE:VRMS? CHANNEL1") << QByteArray()
                                          << QByteArray("1e600") << int(MeasVrms);
    }
    void invalidMeasurementReplies()
    {
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, number);
        QFETCH(int, item);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        app().shell.RefreshType = QStringLiteral("Single");
        const Item it = addItem(f, RefreshKind::Measure);
        QVERIFY(it.window);
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        for (int i : {item, int(MeasVmax)}) {
            doc.Items[i].Enabled = true;
            doc.Items[i].Under = 0.0; // a zero reading would pass
            doc.Items[i].Over = 1e9;
        }
        f.sim.setFaults(lateAnd([&](Qm4100Sim::Faults &x) {
            x.valueMark = mark;
            x.absurdValue = number;
            x.valueFaultTo = query;
        }));
        it.refresh->click();
        handlePendingEvents();
        QVERIFY(doc.HasData);
        QCOMPARE(doc.Items[item].Value, QStringLiteral("*****"));
        QCOMPARE(doc.Items[item].Result, QStringLiteral("Fail"));
        QCOMPARE(doc.Items[MeasVmax].Value, QStringLiteral("367mV"));
        QCOMPARE(doc.Items[MeasVmax].Result, QStringLiteral("Pass"));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // Download replies that hold no value (marked ">" or "<", a number the
    // instrument cannot mean): their settings and nodes stay as they were;
    // every other setting is downloaded.
    void invalidDownloadReplies_data()
    {
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("group"); // its node
        QTest::addColumn<int>("node");
        QTest::newRow("< to a channel offset") << QByteArray(":CHANNEL2:OFFSET?") << QByteArray("<")
                                               << QByteArray("-1.000e+02") << QStringLiteral("CH2Offset") << 3 << 4;
        QTest::newRow("> to the holdoff") << QByteArray(":TRIGGER:HOLDOFF?") << QByteArray(">")
                                          << QByteArray("1.000e+01") << QStringLiteral("Holdoff") << 6 << 9;
        QTest::newRow("1e308 to the trigger level") << QByteArray(":TRIGGER:EDGE:LEVEL?") << QByteArray()
                                                    << QByteArray("1e308") << QStringLiteral("EdgeLevel") << 6 << 7;
        QTest::newRow("1e600 to the trigger level") << QByteArray(":TRIGGER:EDGE:LEVEL?") << QByteArray()
                                                    << QByteArray("1e600") << QStringLiteral("EdgeLevel") << 6 << 7;
    }
    void invalidDownloadReplies()
    {
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, number);
        QFETCH(QString, member);
        QFETCH(int, group);
        QFETCH(int, node);
        ExchangeFixture f;
        QVERIFY(app().link.LinkConnected);
        auto *pane = f.main->findChild<frmCtrlList *>();
        QVERIFY(pane);
        CtrlSettings &s = app().Settings;
        s.CH2Offset = QStringLiteral("10.0mV");
        s.Holdoff = QStringLiteral("5.00us");
        s.EdgeLevel = QStringLiteral("1.50div");
        BuildCtrlTree();
        QString *kept = member == QLatin1String("CH2Offset") ? &s.CH2Offset
                        : member == QLatin1String("Holdoff") ? &s.Holdoff
                                                              : &s.EdgeLevel;
        const QString before = *kept;
        const QString nodeBefore = CtrlNodeText(group, node);
        QVERIFY2(nodeBefore.endsWith(u'[' + before + u']'), qPrintable(nodeBefore));
        f.sim.handle(":TIMEBASE:SCALE 5e-4", Qm4100Sim::Framing::LengthPrefix);
        f.sim.clearLog();
        f.sim.setFaults(lateAnd([&](Qm4100Sim::Faults &x) {
            x.valueMark = mark;
            x.absurdValue = number;
            x.valueFaultTo = query;
        }));
        pane->cmdDownload()->click();
        handlePendingEvents();
        QCOMPARE(f.sim.count(query), 1);
        QCOMPARE(*kept, before);
        QCOMPARE(s.TimeDiv, QStringLiteral("500.0us")); // the rest came in
        QCOMPARE(CtrlNodeText(group, node), nodeBefore);
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);
    }
};

QTEST_MAIN(TestTransferFailures)
#include "tst_transferfailures.moc"
