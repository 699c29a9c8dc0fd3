// The data table window offscreen against the simulator through the real
// transfer engine: a new item's table, the channel options following the
// instrument, single and continuous refresh of CH1, CH2 and the logic
// channels on the virtual clock with their exports byte for byte against
// hand-made files, refusals, F5, closing during a refresh, the export dialog
// and its failures, and the captions in both languages.
//
// The simulator is set up so that every table has twelve rows whose values
// can be worked out by hand (tests/wave/data/table_*.txt):
//   time base 50 s/div (the instrument's slowest), delay 300 s: tstep = 1 s
//   and row k (point k - 1) lies at t = (k - 1) s (0.00E00, 1.00E+00 ...
//   1.10E+01);
//   roll display stopped after 11 s, one column per 2 s: columns 0..5 hold
//   data, two rows per column, twelve rows;
//   CH1 a 0.025 Hz triangle of 2 Vpp at 0.5 V/div: 0.1 V/s up to its crest
//   of 1 V at t = 10 s, so row k shows 0.1 (k - 1) V up to row 11 and 0.9 V
//   in row 12 (five levels of 0.02 V per row);
//   CH2 a 1/13 Hz square of 1 Vpp at 0.5 V/div: +0.5 V up to t = 6.5 s
//   (rows 1-7), -0.5 V after (rows 8-12);
//   the logic table has times only;
//   sample rate 4000 / (12 x 50 s) = 6.667 Sa/s; trigger status STOP.
// The date and time in the info line are the transfer's own; the files hold
// @DATE@ in their place.

#include "link/linkfixture.h"

#include "support/filesizelimit.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/transferstate.h"
#include "wave/dataexport.h"
#include "wave/datatablemodel.h"
#include "wave/frmdata.h"
#include "wave/wavecaptions.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

namespace {

int countLines(const QList<QByteArray> &lines, const QByteArray &line)
{
    return int(std::count(lines.begin(), lines.end(), line));
}

QByteArray golden(const QString &name)
{
    QFile f(QStringLiteral(KELVO_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return "missing golden file " + name.toUtf8();
    return f.readAll();
}

// The golden file with the transfer's date (taken from info) in place of
// @DATE@; an info line without a date leaves the marker, so the comparison
// fails.
QByteArray goldenWithDate(const QString &name, const QString &info)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\[Date:(\\d[^\\]]*\\d)\\]$")).match(info);
    QByteArray g = golden(name);
    if (m.hasMatch())
        g.replace("@DATE@", m.captured(1).toUtf8());
    return g;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QString on(bool shown)
{
    return word(shown ? Word::WordOn : Word::WordOff);
}

} // namespace

class TestFrmData : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;

    frmData *openItem(int slot = 0, const QString &name = QStringLiteral("Data0"))
    {
        DataSheet &s = app().Sheet;
        s.DataDocCount = qint16(qMax(int(s.DataDocCount), slot + 1));
        s.DataDocs[size_t(slot)].Name = name;
        s.DataDocs[size_t(slot)].setNewItemDefaults();
        frmData *w = ShowDataWindow(slot);
        fx->clock.advance(1); // the first tick of the state timer
        return w;
    }

    // The instrument's display states as the program last knew them; the
    // options follow at the next tick.
    void display(bool ch1, bool ch2, bool la)
    {
        app().Settings.CH1Display = on(ch1);
        app().Settings.CH2Display = on(ch2);
        app().Settings.LADisplay = on(la);
    }

    void connectVisa()
    {
        fx->useVisa();
        QVERIFY(fx->connect());
    }

    // The twelve-row scene described at the top.
    void rowScene()
    {
        Qm4100Sim &sim = fx->sim;
        for (const char *line : {":TIMEBASE:SCALE 50", ":TIMEBASE:OFFSET 300", ":CHANNEL1:SCALE 0.5",
                                 ":CHANNEL2:SCALE 0.5", ":CHANNEL2:DISPLAY ON", ":TIMEBASE:FORMAT SCANNING"})
            sim.handle(line, Qm4100Sim::Framing::VisaUsb);
        sim.setSignal(1, {Qm4100Sim::Shape::Triangle, 0.025, 2.0, 0.0});
        sim.setSignal(2, {Qm4100Sim::Shape::Square, 1.0 / 13.0, 1.0, 0.0});
        fx->clock.advance(11000);
        sim.setRunning(false);
        sim.clearLog();
    }

    static QStringList column(frmData *w, int c, int rows)
    {
        QStringList out;
        for (int r = 0; r < rows; ++r)
            out << w->model()->cell(r, c);
        return out;
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        display(true, false, false);
        app().shell.RefreshType = QStringLiteral("Single");
        app().shell.RefreshInterval = 1000;
    }
    void cleanup()
    {
        for (int i = 0; i < DataSheet::DataSlots; ++i)
            if (QWidget *w = app().Sheet.DataForms[size_t(i)])
                delete static_cast<frmData *>(w)->frame();
        flushDeletes();
        fx.reset();
    }

    void newItemShowsThousandEmptyRows()
    {
        frmData *w = ShowDataWindow(0);
        app().Sheet.DataDocCount = 1;
        QVERIFY(w);
        QVERIFY(!app().Sheet.DataDocs[0].WindowOpen); // not before the first tick
        fx->clock.advance(1);
        QVERIFY(app().Sheet.DataDocs[0].WindowOpen);
        QCOMPARE(w->timer1().interval(), 500);
        QCOMPARE(w->model()->rowCount(), 1000);
        QCOMPARE(w->model()->cell(0, 0), QStringLiteral("1"));
        QCOMPARE(w->model()->cell(999, 0), QStringLiteral("1000"));
        QCOMPARE(column(w, 1, 1000), QStringList(1000, QString()));
        QCOMPARE(column(w, 2, 1000), QStringList(1000, QString()));
        QVERIFY(w->SettingLabel->text().isEmpty());
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(ShowDataWindow(0), w); // raised, not made again
    }

    void channelOptionsLayout()
    {
        frmData *w = openItem();
        // The logic channels' option stays hidden and disabled; CH2 sits
        // 900 twips (60 pixels) right of CH1.
        QVERIFY(w->OptionCH[DataLA]->isHidden());
        QCOMPARE(w->OptionCH[DataCH2]->x() - w->OptionCH[DataCH1]->x(), 60);
        // The state timer may enable it (the instrument shows the logic
        // channels); activating the window hides and disables it again.
        display(false, false, true);
        fx->clock.advance(500);
        QVERIFY(w->OptionCH[DataLA]->isEnabled() && w->OptionCH[DataLA]->isChecked());
        QVERIFY(w->OptionCH[DataLA]->isHidden());
        ShowDataWindow(0);
        QVERIFY(!w->OptionCH[DataLA]->isEnabled() && w->OptionCH[DataLA]->isHidden());
        QCOMPARE(w->OptionCH[DataCH2]->x() - w->OptionCH[DataCH1]->x(), 60);
    }

    void columnWidthsFollowTheTable()
    {
        frmData *w = openItem();
        for (const QSize size : {QSize(380, 400), QSize(640, 300), QSize(30, 30)}) {
            w->resize(size);
            QCoreApplication::processEvents();
            const std::array<int, 3> expected = dataColumnWidths(w->MeasureView->width());
            for (int c = 0; c < 3; ++c)
                QCOMPARE(w->MeasureView->columnWidth(c), expected[size_t(c)]);
            if (expected[0] > 0)
                QVERIFY(qAbs(expected[1] - 2 * expected[0]) <= 1 && expected[1] == expected[2]);
        }
        // The table fills the window below the settings line.
        w->resize(640, 300);
        QCoreApplication::processEvents();
        QCOMPARE(w->MeasureView->geometry(), QRect(7, 60, 640 - 13, 300 - 67));
    }

    void optionsFollowTheInstrument()
    {
        frmData *w = openItem();
        DataDoc &doc = app().Sheet.DataDocs[0];
        QVERIFY(w->OptionCH[DataCH1]->isChecked());
        QCOMPARE(doc.Channel, QStringLiteral("CH1"));
        // Everything off: nothing enabled or chosen; the item keeps its channel.
        display(false, false, false);
        fx->clock.advance(500);
        for (int i = 0; i < DataChannelCount; ++i)
            QVERIFY(!w->OptionCH[i]->isEnabled() && !w->OptionCH[i]->isChecked());
        QCOMPARE(doc.Channel, QStringLiteral("CH1"));
        // CH2 switched on: chosen at the next tick.
        display(false, true, false);
        fx->clock.advance(500);
        QVERIFY(w->OptionCH[DataCH2]->isChecked() && w->OptionCH[DataCH2]->isEnabled());
        QCOMPARE(doc.Channel, QStringLiteral("CH2"));
        // The user's choice is the item's channel; the sheet is not modified.
        display(true, true, false);
        fx->clock.advance(500);
        w->OptionCH[DataCH1]->click();
        QVERIFY(w->OptionCH[DataCH1]->isChecked() && !w->OptionCH[DataCH2]->isChecked());
        QCOMPARE(doc.Channel, QStringLiteral("CH1"));
        fx->clock.advance(500);
        QVERIFY(w->OptionCH[DataCH1]->isChecked());
        QVERIFY(!app().Sheet.Modified);
    }

    void channelRestoredAtFirstTick()
    {
        display(true, true, true);
        DataSheet &s = app().Sheet;
        s.DataDocCount = 1;
        s.DataDocs[0].Channel = QStringLiteral("CH2");
        frmData *w = ShowDataWindow(0);
        fx->clock.advance(1);
        QVERIFY(w->OptionCH[DataCH2]->isChecked());
        QVERIFY(!w->OptionCH[DataCH1]->isChecked());
    }

    // --- refresh against the simulator -----------------------------------------

    void refreshOnce_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("dataLine");
        QTest::addColumn<QString>("file");
        for (int lang : {1, 0}) {
            const QByteArray l = lang ? "english " : "chinese ";
            QTest::newRow(l + "CH1") << lang << int(DataCH1) << QByteArray(":WAVEFORM:DATA? CHANNEL1") << "table_ch1.txt";
            QTest::newRow(l + "CH2") << lang << int(DataCH2) << QByteArray(":WAVEFORM:DATA? CHANNEL2") << "table_ch2.txt";
            // Both analog channels off: the hidden logic option is chosen and
            // its table is fetched.
            QTest::newRow(l + "LA") << lang << int(DataLA) << QByteArray(":WAVEFORM:DATA? DIGITAL") << "table_la.txt";
        }
    }
    void refreshOnce()
    {
        QFETCH(int, lang);
        QFETCH(int, channel);
        QFETCH(QByteArray, dataLine);
        QFETCH(QString, file);
        fx.reset(); // the next fixture starts from a fresh state
        fx = std::make_unique<LinkFixture>(lang);
        app().shell.RefreshType = QStringLiteral("Single");
        connectVisa();
        rowScene();
        display(channel == DataCH1, channel == DataCH2, channel == DataLA);
        // An earlier analog table's voltages are still in the transfer's arrays.
        app().xfer.ValueText = QStringList(TransferData::TextRows);
        app().xfer.ValueText[1] = QStringLiteral("9.99E+00");
        frmData *w = openItem(0, QStringLiteral("Data0"));
        QCOMPARE(w->options().firstSelected(), channel);
        bool disabledDuringLoad = false;
        bool loadingSeen = false;
        setPump([&] {
            if (app().transfer.TransferBusy) {
                disabledDuringLoad = disabledDuringLoad || !w->cmdRefresh->isEnabled();
                loadingSeen = loadingSeen || DataWindowLoading(0);
            }
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();

        QVERIFY(disabledDuringLoad && loadingSeen);
        QVERIFY(w->cmdRefresh->isEnabled());
        QVERIFY(!DataWindowLoading(0) && !app().wave.data.DataBusy);
        QCOMPARE(countLines(fx->lines(), dataLine), 1);
        const DataDoc &doc = app().Sheet.DataDocs[0];
        QVERIFY(doc.HasData);
        QVERIFY(app().Sheet.Modified);
        QCOMPARE(doc.RowCount, 12);
        QCOMPARE(w->SettingLabel->text(), doc.InfoLine);
        QCOMPARE(w->model()->rowCount(), 12);
        QCOMPARE(w->model()->cell(11, 0), QStringLiteral("12"));
        QCOMPARE(w->model()->cell(11, 1), QStringLiteral("1.10E+01"));
        QCOMPARE(w->model()->cell(11, 2), doc.ValueTexts[12]);
        QVERIFY(fx->fakeUi.messages().isEmpty());

        // The export through the window's dialog, byte for byte.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.xls"));
        fx->fakeUi.answerFile(path);
        w->cmdExport->click();
        QCOMPARE(contents(path), goldenWithDate(file, doc.InfoLine));
        QVERIFY(fx->fakeUi.messages().isEmpty());
    }

    void continuousRefresh()
    {
        connectVisa();
        rowScene();
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 1000;
        frmData *w = openItem();
        QList<qint64> loadStarts;
        bool stopShown = false;
        int seen = 0;
        setPump([&] {
            const int n = countLines(fx->lines(), ":WAVEFORM:DATA? CHANNEL1");
            if (n > seen) {
                seen = n;
                loadStarts << fx->clock.nowMs();
                stopShown = stopShown || w->showsStopPictures();
                app().Sheet.Modified = false; // each completed load marks the sheet again
            }
            if (seen == 3 && !app().transfer.TransferBusy && !app().wave.data.DataBusy)
                w->cmdRefresh->click(); // Stop
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QCOMPARE(loadStarts.size(), 3);
        QVERIFY(stopShown);
        // A load starts one interval after the previous load ended: never sooner.
        for (int i = 1; i < loadStarts.size(); ++i)
            QVERIFY2(loadStarts[i] - loadStarts[i - 1] > 1000, qPrintable(QString::number(loadStarts[i] - loadStarts[i - 1])));
        const DataDoc &doc = app().Sheet.DataDocs[0];
        QVERIFY(app().Sheet.Modified);
        QVERIFY(doc.HasData && !doc.Refreshing);
        QVERIFY(!w->showsStopPictures() && w->cmdRefresh->isEnabled());
        QVERIFY(!app().measure.AutoRefresh.DataAutoRefreshOn);
        QVERIFY(!w->timer2().isActive());
        QCOMPARE(DataTableExportText(doc), goldenWithDate(QStringLiteral("table_ch1.txt"), doc.InfoLine));
    }

    void intervalChangedWhileWaiting()
    {
        // The refresh clock's tick releases the next load whatever the
        // interval option says by then (a comparison with the new value would
        // wait for ever).
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 1000;
        frmData *w = openItem();
        int seen = 0, pumps = 0;
        bool changed = false;
        setPump([&] {
            seen = countLines(fx->lines(), ":WAVEFORM:DATA? CHANNEL1");
            const bool idle = !app().transfer.TransferBusy && !app().wave.data.DataBusy;
            if (seen == 1 && idle && !changed && w->timer2().isActive()) {
                changed = true;
                app().shell.RefreshInterval = 3000; // the refresh now waits for the clock's tick
            }
            if (seen == 2 && !app().transfer.TransferBusy && !app().wave.data.DataBusy)
                w->cmdRefresh->click();
            if (++pumps > 20000)
                app().measure.AutoRefresh.DataAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QVERIFY(pumps <= 20000);
        QVERIFY(changed);
        QCOMPARE(seen, 2);
    }

    void secondWindowTakesOverContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmData *a = openItem(0);
        frmData *b = openItem(1, QStringLiteral("Data1"));
        DataDoc &da = app().Sheet.DataDocs[0];
        DataDoc &db = app().Sheet.DataDocs[1];
        bool clickedB = false, clickedA = false, aWaitedUnderneath = false;
        int pumps = 0;
        setPump([&] {
            const bool idle = !app().transfer.TransferBusy && !app().wave.data.DataBusy;
            if (!clickedB && idle && da.HasData) {
                clickedB = true;
                b->cmdRefresh->click(); // stops A's loads, starts B's
            } else if (clickedB && !clickedA && idle && db.HasData) {
                aWaitedUnderneath = a->showsStopPictures() && da.Refreshing && db.Refreshing;
                clickedA = true;
                a->cmdRefresh->click(); // a Stop: ends both
            }
            if (++pumps > 50000)
                app().measure.AutoRefresh.DataAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        a->cmdRefresh->click();
        QVERIFY(pumps <= 50000);
        QVERIFY(clickedA && clickedB && aWaitedUnderneath);
        for (frmData *w : {a, b})
            QVERIFY(!w->showsStopPictures() && w->cmdRefresh->isEnabled());
        QVERIFY(!da.Refreshing && !db.Refreshing);
        QVERIFY(!app().measure.AutoRefresh.DataAutoRefreshOn);
    }

    void continuousRefreshEndsWhenLinkLost()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmData *w = openItem();
        int pumps = 0;
        setPump([&] {
            if (++pumps == 50 && !app().transfer.TransferBusy)
                app().link.LinkConnected = 0;
            if (pumps > 5000)
                app().measure.AutoRefresh.DataAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QVERIFY(pumps < 5000);
        QVERIFY(!w->showsStopPictures());
        QVERIFY(!app().Sheet.DataDocs[0].Refreshing);
    }

    // 10 us/div around a delay of 1 ms: 600 rows 0.2 us apart. Every row has
    // its own time in the window and in the export (three digits gave rows
    // 1 to 3 all "9.40E-04"); the voltages keep their three digits.
    void timesTellEveryRowApart()
    {
        connectVisa();
        for (const char *line : {":TIMEBASE:SCALE 1e-5", ":TIMEBASE:OFFSET 1e-3"})
            fx->sim.handle(line, Qm4100Sim::Framing::VisaUsb);
        frmData *w = openItem();
        w->cmdRefresh->click();
        const DataDoc &doc = app().Sheet.DataDocs[0];
        QCOMPARE(doc.RowCount, 600);
        const QStringList times = column(w, 1, 600);
        QCOMPARE(times.mid(0, 3), (QStringList{"9.4000E-04", "9.4020E-04", "9.4040E-04"}));
        QCOMPARE(times.at(300), QStringLiteral("1.0000E-03"));
        QCOMPARE(QSet<QString>(times.begin(), times.end()).size(), 600);
        static const QRegularExpression volts(QStringLiteral("^-?[0-9]\\.[0-9]{2}E[-+]?[0-9]{2}$"));
        for (const QString &v : column(w, 2, 600))
            QVERIFY2(volts.match(v).hasMatch(), qPrintable(v));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.txt"));
        fx->fakeUi.answerFile(path);
        w->cmdExport->click();
        QSet<QString> exported;
        for (const QByteArray &line : contents(path).split('\n')) {
            const QList<QByteArray> fields = line.trimmed().split('\t');
            if (fields.size() == 3 && fields[0] != "NO.")
                exported.insert(QString::fromLatin1(fields[1]));
        }
        QCOMPARE(exported.size(), 600);
        QVERIFY(fx->fakeUi.messages().isEmpty());
    }

    // A CH1 table, then a CH2 table whose block does not come (no reply, or
    // a block cut short that the link cannot complete): the CH2 item holds
    // no rows and claims no data; never the CH1 voltages under "CH2". A short
    // block that does arrive gives voltages for its own points only.
    void blockThatNeverCameLeavesNoTable_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("shortBy");  // 0: no reply to the data query
        QTest::addColumn<int>("voltages"); // rows of the CH2 table with a voltage; -1: no table
        QTest::addColumn<QByteArray>("last"); // the last line asked: a block that did not come ended it
        QTest::newRow("VISA, no reply") << false << 0 << -1 << QByteArray(":WAVEFORM:DATA? CHANNEL2");
        QTest::newRow("serial, no reply") << true << 0 << -1 << QByteArray(":WAVEFORM:DATA? CHANNEL2");
        QTest::newRow("serial, short block") << true << 300 << -1 << QByteArray(":SYSTEM:DATA?");
        QTest::newRow("VISA, short block: its own points") << false << 595 << 6 << QByteArray(":WAVEFORM:DATA? CHANNEL2");
    }
    void blockThatNeverCameLeavesNoTable()
    {
        QFETCH(bool, serial);
        QFETCH(int, shortBy);
        QFETCH(int, voltages);
        QFETCH(QByteArray, last);
        if (serial)
            fx->useSerial();
        else
            fx->useVisa();
        QVERIFY(fx->connect());
        rowScene();
        display(true, true, false);
        frmData *w1 = openItem(0, QStringLiteral("Data0"));
        w1->cmdRefresh->click();
        const DataDoc &ch1 = app().Sheet.DataDocs[0];
        QVERIFY(ch1.HasData);
        QCOMPARE(ch1.RowCount, 12);
        const QStringList ch1Volts = ch1.ValueTexts.mid(1, 12);
        QVERIFY(!ch1Volts.contains(QString()));

        // The same request for CH2, its block (the last query) unanswered or cut.
        int queries = 0;
        for (const Qm4100Sim::LogEntry &e : fx->sim.log())
            queries += e.query ? 1 : 0;
        QCOMPARE(fx->sim.log().last().line, QByteArray(":WAVEFORM:DATA? CHANNEL1"));
        fx->sim.clearLog();
        Qm4100Sim::Faults faults;
        if (shortBy)
            faults.shortBlockBy = shortBy;
        else
            faults.silentFromQuery = queries;
        if (shortBy && !serial) {
            // The data block is cut, once the setup block has come whole (a
            // setup message cut short is no setup block: no table at all).
            setPump([&] {
                const auto &log = fx->sim.log();
                if (!log.isEmpty() && log.last().line == ":SYSTEM:DATA?")
                    fx->sim.setFaults(faults);
                fx->serial->pumpOnce(fx->clock);
            });
        } else {
            fx->sim.setFaults(faults);
        }
        frmData *w2 = openItem(1, QStringLiteral("Data1"));
        w2->OptionCH[DataCH2]->click();
        app().Sheet.Modified = false;
        w2->cmdRefresh->click();
        QCOMPARE(fx->sim.log().last().line, last);

        const DataDoc &ch2 = app().Sheet.DataDocs[1];
        QCOMPARE(ch2.Channel, QStringLiteral("CH2"));
        if (voltages < 0) {
            QVERIFY(!ch2.HasData);
            QCOMPARE(ch2.RowCount, 0);
            QVERIFY(w2->SettingLabel->text().isEmpty());
            for (int r = 0; r < w2->model()->rowCount(); ++r)
                QVERIFY(w2->model()->cell(r, 1).isEmpty() && w2->model()->cell(r, 2).isEmpty());
            QVERIFY(!app().Sheet.Modified); // the new item held nothing before either
        } else {
            // CH2 is a square of +-0.5 V: its own points, then nothing.
            QVERIFY(ch2.HasData);
            QCOMPARE(ch2.RowCount, 12);
            for (int k = 1; k <= 12; ++k)
                QCOMPARE(ch2.ValueTexts[k].isEmpty(), k > voltages);
            QCOMPARE(ch2.ValueTexts[1], QStringLiteral("5.00E-01"));
        }
        // The CH1 item keeps its own table.
        QCOMPARE(ch1.ValueTexts.mid(1, 12), ch1Volts);
    }

    // A table item with good rows, then a refresh of it whose blocks do not
    // all come (no reply to the data block, blocks cut short, no setup
    // block): the item keeps its rows, info line and flags, the window shows
    // them still, the sheet is not modified, and the user reads "Can't Read
    // data from Device!" once in the language in force (the read that failed,
    // or did not come in time, says it and loses the link, over VISA and the
    // serial link alike).
    void failedRefreshKeepsTheTable_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("lang");
        QTest::newRow("VISA, no reply") << false << "block" << 1;
        QTest::newRow("VISA, no setup block, chinese") << false << "setup" << 0;
        QTest::newRow("serial, no reply") << true << "block" << 1;
        QTest::newRow("serial, no reply, chinese") << true << "block" << 0;
        QTest::newRow("serial, short blocks") << true << "short" << 1;
        QTest::newRow("serial, no setup block") << true << "setup" << 1;
    }
    void failedRefreshKeepsTheTable()
    {
        QFETCH(bool, serial);
        QFETCH(QString, fault);
        QFETCH(int, lang);
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
        display(true, false, false); // in the language's words
        if (serial)
            fx->useSerial();
        else
            fx->useVisa();
        QVERIFY(fx->connect());
        rowScene();
        frmData *w = openItem();
        w->cmdRefresh->click();
        const DataDoc before = app().Sheet.DataDocs[0];
        QVERIFY(before.HasData);
        QCOMPARE(before.RowCount, 12);
        QVERIFY(!before.ValueTexts.mid(1, 12).contains(QString()));
        const QStringList times = column(w, 1, 12);
        const QStringList volts = column(w, 2, 12);
        QCOMPARE(volts, before.ValueTexts.mid(1, 12));
        const QString info = w->SettingLabel->text();
        QVERIFY(info.startsWith(QStringLiteral("CH1 ")));

        int queries = 0;
        int setupQuery = 0;
        for (const Qm4100Sim::LogEntry &e : fx->sim.log()) {
            queries += e.query ? 1 : 0;
            if (e.line == ":SYSTEM:DATA?")
                setupQuery = queries;
        }
        QCOMPARE(fx->sim.log().last().line, QByteArray(":WAVEFORM:DATA? CHANNEL1"));
        Qm4100Sim::Faults faults;
        if (fault == QLatin1String("short"))
            faults.shortBlockBy = 300; // the setup block too
        else
            faults.silentFromQuery = fault == QLatin1String("setup") ? setupQuery : queries;
        QVERIFY(faults.shortBlockBy || faults.silentFromQuery > 0);
        // Another scale on the instrument, which the failing refresh must
        // not bring in part.
        fx->sim.handle(":CHANNEL1:SCALE 1", Qm4100Sim::Framing::VisaUsb);
        fx->sim.setFaults(faults);
        fx->sim.clearLog();
        app().Sheet.Modified = false;
        fx->fakeUi.clear();
        w->cmdRefresh->click();
        QCOMPARE(fx->sim.count(":SYSTEM:DATA?"), 1);

        QVERIFY(app().Sheet.DataDocs[0] == before);
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(column(w, 1, 12), times);
        QCOMPARE(column(w, 2, 12), volts);
        QCOMPARE(w->SettingLabel->text(), info);
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        const RecordedMessage &m = fx->fakeUi.messages().first();
        QCOMPARE(m.text, lang ? QStringLiteral("Can't Read data from Device!") : QStringLiteral("不能读取设备数据！"));
        QCOMPARE(m.title, message(Msg::MsgDeviceReadTitle));
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(app().link.LampOffVisible && !app().link.LampOnVisible);
        // The first block that did not come ended the refresh.
        QCOMPARE(fx->sim.log().last().line, fault == QLatin1String("block") ? QByteArray(":WAVEFORM:DATA? CHANNEL1")
                                                                            : QByteArray(":SYSTEM:DATA?"));
        QVERIFY(w->cmdRefresh->isEnabled());
    }

    void refusedRefreshes()
    {
        frmData *w = openItem();
        DataDoc &doc = app().Sheet.DataDocs[0];
        // Not connected: the message, nothing loaded, the button restored.
        w->cmdRefresh->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Please Connect Oscilloscope First!"));
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Exclamation);
        QVERIFY(!doc.HasData && !app().Sheet.Modified);
        QVERIFY(w->cmdRefresh->isEnabled() && !w->showsStopPictures());
        // Another kind's continuous refresh: the press does nothing at all.
        fx->fakeUi.clear();
        for (bool *flag : {&app().measure.AutoRefresh.WaveAutoRefreshOn, &app().measure.AutoRefresh.MeasAutoRefreshOn}) {
            app().wave.data.DataRefreshActive = false;
            *flag = true;
            w->cmdRefresh->click();
            QVERIFY(fx->fakeUi.messages().isEmpty());
            QVERIFY(!app().wave.data.DataRefreshActive);
            *flag = false;
        }
        connectVisa();
        // A transfer already running: nothing loaded, no message.
        app().transfer.TransferBusy = true;
        w->cmdRefresh->click();
        app().transfer.TransferBusy = false;
        QVERIFY(fx->lines().isEmpty() && fx->fakeUi.messages().isEmpty());
        // No channel shown: nothing is fetched.
        display(false, false, false);
        fx->clock.advance(500);
        w->cmdRefresh->click();
        QVERIFY(fx->lines().isEmpty());
        QVERIFY(!doc.HasData);
    }

    void f5RunsRefresh_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("messages");
        QTest::newRow("F5") << int(Qt::NoModifier) << 1;
        QTest::newRow("Shift+F5") << int(Qt::ShiftModifier) << 0;
        QTest::newRow("Ctrl+F5") << int(Qt::ControlModifier) << 0;
        QTest::newRow("Alt+F5") << int(Qt::AltModifier) << 0;
    }
    void f5RunsRefresh()
    {
        QFETCH(int, modifiers);
        QFETCH(int, messages);
        frmData *w = openItem();
        QTest::keyClick(w->MeasureView, Qt::Key_F5, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fx->fakeUi.messages().size(), messages); // not connected: the refresh's message
    }

    // --- closing -------------------------------------------------------------

    void closeRefusedDuringALoad()
    {
        connectVisa();
        frmData *a = openItem(0);
        openItem(1, QStringLiteral("Data1"));
        bool refusedA = false, refusedB = false, secondCreatedBusy = false;
        setPump([&] {
            if (app().transfer.TransferBusy && !refusedA) {
                refusedA = !CloseDataWindow(0);
                refusedB = !CloseDataWindow(1); // another window's load blocks it too
                // A window made while the load waits leaves the load's busy state alone.
                ShowDataWindow(2);
                secondCreatedBusy = app().wave.data.DataBusy && !CloseDataWindow(2);
            }
            fx->serial->pumpOnce(fx->clock);
        });
        a->cmdRefresh->click();
        QVERIFY(refusedA && refusedB && secondCreatedBusy);
        QCOMPARE(dataWindow(0), a);
        QVERIFY(app().Sheet.DataDocs[0].HasData);
        QVERIFY(CloseDataWindow(0));
        QVERIFY(!app().Sheet.DataDocs[0].WindowOpen);
        QVERIFY(!dataWindow(0));
    }

    void closeDuringContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmData *w = openItem();
        QPointer<QWidget> frame = w->frame();
        bool closed = false;
        int pumps = 0;
        setPump([&] {
            if (!closed && app().Sheet.DataDocs[0].HasData && !app().transfer.TransferBusy && !app().wave.data.DataBusy)
                closed = CloseDataWindow(0);
            if (++pumps > 20000)
                app().measure.AutoRefresh.DataAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click(); // returns once the close has ended the refresh
        QVERIFY(closed);
        const DataDoc &doc = app().Sheet.DataDocs[0];
        QVERIFY(!doc.WindowOpen && !doc.Refreshing);
        QVERIFY(!app().measure.AutoRefresh.DataAutoRefreshOn);
        QVERIFY(!app().wave.data.DataRefreshActive);
        QVERIFY(!dataWindow(0));
        QVERIFY(frame); // still there while its handler ran
        flushDeletes();
        QVERIFY(!frame);
    }

    // --- export --------------------------------------------------------------

    void exportDialog_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::newRow("english") << 1 << "Export File"
                                 << "Microsoft Excel Files (*.xls);;Text Files (*.txt);;All Files (*.*)";
        QTest::newRow("chinese") << 0 << "导出文件" << "微软Excel表格文件 (*.xls);;Text Files (*.txt);;All Files (*.*)";
    }
    void exportDialog()
    {
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        frmData *w = openItem();
        app().texts.LanguageIndex = lang;
        fx->fakeUi.cancelFile();
        w->cmdExport->click();
        QCOMPARE(fx->fakeUi.fileDialogs().size(), 1);
        const FileDialogRequest &req = fx->fakeUi.fileDialogs()[0].request;
        QCOMPARE(req.title, title);
        QCOMPARE(req.filter, filter);
        QVERIFY(req.defaultSuffix.isEmpty());
        QVERIFY(fx->fakeUi.messages().isEmpty());
    }

    // The file written: a name typed without a suffix gets the chosen
    // filter's (none for all files); a suffix typed stays.
    void exportNames_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter"); // index in the dialog's list
        QTest::addColumn<QString>("written");
        QTest::newRow("english, Excel") << 1 << "t" << 0 << "t.xls";
        QTest::newRow("chinese, Excel") << 0 << "表" << 0 << "表.xls";
        QTest::newRow("english, text") << 1 << "t" << 1 << "t.txt";
        QTest::newRow("chinese, text") << 0 << "t" << 1 << "t.txt";
        QTest::newRow("all files") << 1 << "t" << 2 << "t";
        QTest::newRow("suffix typed") << 0 << "t.csv" << 0 << "t.csv";
        QTest::newRow("trailing dot") << 1 << "t." << 0 << "t.";
    }
    void exportNames()
    {
        QFETCH(int, lang);
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        frmData *w = openItem();
        app().texts.LanguageIndex = lang;
        DataDoc &doc = app().Sheet.DataDocs[0];
        doc.RowCount = 2;
        for (int k = 0; k <= 2; ++k) {
            doc.TimeTexts << QStringLiteral("1.00E-03");
            doc.ValueTexts << QStringLiteral("-2.00E-01");
        }
        QTemporaryDir dir;
        fx->fakeUi.answerFile(dir.filePath(typed), filter);
        w->cmdExport->click();
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        QVERIFY(contents(dir.filePath(written)).contains("-2.00E-01"));
    }

    void exportFailures_data()
    {
        QTest::addColumn<bool>("opened"); // the failure comes after the file was opened
        QTest::newRow("folder missing") << false;
        QTest::newRow("disk full after open") << true;
    }
    void exportFailures()
    {
        QFETCH(bool, opened);
        frmData *w = openItem();
        DataDoc &doc = app().Sheet.DataDocs[0];
        doc.RowCount = 2000;
        for (int k = 0; k <= 2000; ++k) {
            doc.TimeTexts << QStringLiteral("1.00E-03");
            doc.ValueTexts << QStringLiteral("-2.00E-01");
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(opened ? QStringLiteral("t.txt") : QStringLiteral("no/t.txt"));
        const QByteArray previous = "kept\r\n";
        if (opened) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(previous);
        }
        fx->fakeUi.answerFile(path);
        {
            FileSizeLimit limit(4096);
            if (opened && !limit.active())
                QSKIP("cannot limit the file size here");
            w->cmdExport->click();
        }
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        const RecordedMessage &m = fx->fakeUi.messages()[0];
        QCOMPARE(m.icon, MsgIcon::Critical);
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QVERIFY(!m.text.isEmpty());
        if (opened)
            QCOMPARE(contents(path), previous);
        else
            QVERIFY(!QFile::exists(path));
    }

    // --- captions ------------------------------------------------------------

    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QStringList>("texts"); // refresh, export, then their tips
        QTest::addColumn<QStringList>("headers");
        QTest::newRow("english") << 1 << QStringList{" Refresh", "Export", "Refresh Data(F5)", "Output"}
                                 << QStringList{"NO.", "Time[S]", "Voltage[V]"};
        QTest::newRow("chinese") << 0 << QStringList{" 更新 .", "导出 .", "更新数据(F5)", "输出"}
                                 << QStringList{"序号", "时间[S]", "电压[V]"};
    }
    void captions()
    {
        QFETCH(int, lang);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, headers);
        ApplyLanguage(1 - lang);
        frmData *w0 = openItem(0);
        frmData *w1 = openItem(1, QStringLiteral("Data1"));
        frmData *w2 = openItem(2, QStringLiteral("Data2"));
        QVERIFY(CloseDataWindow(1));
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang); // every open data window
        auto check = [&](frmData *w) {
            QCOMPARE(w->cmdRefresh->text(), texts[0]);
            QCOMPARE(w->cmdExport->text(), texts[1]);
            QCOMPARE(w->cmdRefresh->toolTip(), texts[2]);
            QCOMPARE(w->cmdExport->toolTip(), texts[3]);
            for (int c = 0; c < 3; ++c)
                QCOMPARE(w->MeasureView->header()->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
            QCOMPARE(w->OptionCH[DataCH1]->text(), QStringLiteral("CH1"));
            QCOMPARE(w->OptionCH[DataLA]->text(), QStringLiteral("LA"));
            QCOMPARE(w->model()->rowCount(), 1000); // the rows are not captions
        };
        check(w0);
        check(w2);
        // The closed item's window gets the texts when it is shown again.
        w1 = ShowDataWindow(1);
        fx->clock.advance(1);
        check(w1);
        QCOMPARE(w1->windowTitle(), QStringLiteral("Data1"));
        // Any other language changes nothing.
        LoadAllDataWindowTexts(2);
        LoadDataWindowTexts(0, 2);
        check(w0);
        // The one-window loader reaches only its slot.
        LoadDataWindowTexts(0, 1 - lang);
        QVERIFY(w0->cmdRefresh->text() != texts[0]);
        check(w2);
    }
};

QTEST_MAIN(TestFrmData)
#include "tst_frmdata.moc"
