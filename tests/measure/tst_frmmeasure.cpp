// The measurement window offscreen against the simulator through the real
// transfer engine: the state timer and the channel options, single and
// continuous refresh on the virtual clock, closing during a refresh, F5, the
// limits dialog opened from the window, the export, and the captions in both
// languages read back from the widgets.

#include "link/linkfixture.h"

#include "measure/frmmeasure.h"
#include "measure/frmpassfailed.h"
#include "measure/measexport.h"
#include "measure/measurecaptions.h"
#include "shell/frmmain.h"
#include "workspace/modalrunner.h"
#include "workspace/mousecontrol.h"
#include "texts/stringres.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The readings of CH1 at the simulator's defaults, in window row order: the
// time measurements that need a whole period on screen are invalid ("*****",
// the percent ones as the instrument sent them).
const QStringList kCh1Rows{"735mV", "367mV", "-368mV", "-614uV", "641mV",   "320mV",
                           "-320mV", "215mV", "7.28%",  "7.46%",  "*****",   "82.49us",
                           "*****", "*****", "*****",  "*****",  "****",    "****"};

int countLines(const QList<QByteArray> &lines, const QByteArray &line)
{
    return int(std::count(lines.begin(), lines.end(), line));
}

} // namespace

class TestFrmMeasure : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;

    frmMeasure *openItem(int slot = 0, const QString &name = QStringLiteral("Measure0"))
    {
        DataSheet &s = app().Sheet;
        s.MeasDocCount = qint16(qMax(int(s.MeasDocCount), slot + 1));
        s.MeasDocs[size_t(slot)].Name = name;
        s.MeasDocs[size_t(slot)].setNewItemDefaults();
        frmMeasure *w = ShowMeasureWindow(slot);
        fx->clock.advance(1); // the first tick of the state timer
        return w;
    }

    static QStringList column(frmMeasure *w, int c)
    {
        QStringList out;
        for (int r = 0; r < w->MeasureView->topLevelItemCount(); ++r)
            out << w->MeasureView->topLevelItem(r)->text(c);
        return out;
    }

    void connectVisa()
    {
        fx->useVisa();
        QVERIFY(fx->connect());
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        app().Settings.CH1Display = word(Word::WordOn);
        app().Settings.CH2Display = word(Word::WordOff);
        app().shell.RefreshType = QStringLiteral("Single");
        app().shell.RefreshInterval = 1000;
    }
    void cleanup()
    {
        setModalRunner({});
        for (int i = 0; i < DataSheet::MeasSlots; ++i)
            if (QWidget *w = app().Sheet.MeasureForms[size_t(i)])
                delete static_cast<frmMeasure *>(w)->frame();
        flushDeletes();
        fx.reset();
    }

    void firstTickShowsNames()
    {
        frmMeasure *w = ShowMeasureWindow(0);
        app().Sheet.MeasDocCount = 1;
        QVERIFY(w);
        QCOMPARE(w->MeasureView->topLevelItemCount(), 0); // empty until the first tick
        QVERIFY(!app().Sheet.MeasDocs[0].WindowOpen);
        fx->clock.advance(1);
        QVERIFY(app().Sheet.MeasDocs[0].WindowOpen);
        QCOMPARE(column(w, 0).first(), QStringLiteral("Vpp"));
        QCOMPARE(column(w, 0)[13], QStringLiteral("Period"));
        QCOMPARE(column(w, 1), QStringList(18, QString()));
        QVERIFY(w->OptionCH[0]->isChecked() && w->OptionCH[0]->isEnabled());
        QVERIFY(!w->OptionCH[1]->isEnabled());
        QCOMPARE(w->timer1().interval(), 500);
        QCOMPARE(ShowMeasureWindow(0), w); // raised, not made again
    }

    void channelOptionsFollowDisplay_data()
    {
        QTest::addColumn<bool>("ch1");
        QTest::addColumn<bool>("ch2");
        QTest::addColumn<bool>("en1");
        QTest::addColumn<bool>("sel1");
        QTest::addColumn<bool>("en2");
        QTest::addColumn<bool>("sel2");
        QTest::newRow("both") << true << true << true << true << true << false;
        QTest::newRow("ch1 only") << true << false << true << true << false << false;
        QTest::newRow("ch2 only") << false << true << false << false << true << true;
        QTest::newRow("none") << false << false << false << false << false << false;
    }
    void channelOptionsFollowDisplay()
    {
        QFETCH(bool, ch1);
        QFETCH(bool, ch2);
        QFETCH(bool, en1);
        QFETCH(bool, sel1);
        QFETCH(bool, en2);
        QFETCH(bool, sel2);
        frmMeasure *w = openItem();
        app().Settings.CH1Display = word(ch1 ? Word::WordOn : Word::WordOff);
        app().Settings.CH2Display = word(ch2 ? Word::WordOn : Word::WordOff);
        fx->clock.advance(500);
        QCOMPARE(w->OptionCH[0]->isEnabled(), en1);
        QCOMPARE(w->OptionCH[0]->isChecked(), sel1);
        QCOMPARE(w->OptionCH[1]->isEnabled(), en2);
        QCOMPARE(w->OptionCH[1]->isChecked(), sel2);
    }

    void singleRefreshOfCh1()
    {
        connectVisa();
        frmMeasure *w = openItem();
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.Items[MeasVpp].Enabled = true;
        doc.Items[MeasVpp].Under = 0.5;
        doc.Items[MeasVpp].Over = 1.0;
        doc.Items[MeasFrequency].Enabled = true;
        doc.Items[MeasVrms].Enabled = true;
        bool disabledDuringLoad = false;
        setPump([&] {
            if (app().transfer.TransferBusy && !w->cmdRefresh->isEnabled())
                disabledDuringLoad = true;
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();

        QVERIFY(disabledDuringLoad);
        QVERIFY(w->cmdRefresh->isEnabled());
        QVERIFY(!app().measure.MeasBusy);
        QVERIFY(doc.HasData);
        QVERIFY(app().Sheet.Modified);
        QCOMPARE(countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL1"), 1);
        QCOMPARE(column(w, 1), kCh1Rows);
        QVERIFY2(doc.Info.startsWith(QStringLiteral("CH1 1.00V  10.00us 33.33MSa  [Date:")), qPrintable(doc.Info));
        QVERIFY(doc.Info.contains(QStringLiteral("  [Date:")) && doc.Info.endsWith(QLatin1Char(']')));
        QCOMPARE(w->SettingLabel->text(), doc.Info);
        // The judged rows show limits and verdicts, and the record keeps them.
        QCOMPARE(w->MeasureView->topLevelItem(0)->text(2), QStringLiteral("500.000mV"));
        QCOMPARE(w->MeasureView->topLevelItem(0)->text(3), QStringLiteral("1.000V"));
        QCOMPARE(w->MeasureView->topLevelItem(0)->text(4), QStringLiteral("Pass"));
        QCOMPARE(w->MeasureView->topLevelItem(7)->text(4), QStringLiteral("Fail [Over Limit]"));
        QCOMPARE(w->MeasureView->topLevelItem(10)->text(4), QStringLiteral("Fail"));
        QCOMPARE(doc.Items[MeasFrequency].Result, QStringLiteral("Fail"));
        QCOMPARE(doc.Items[MeasVrms].Result, QStringLiteral("Fail [Over Limit]"));
        QCOMPARE(w->MeasureView->topLevelItem(1)->text(4), QString());
        QVERIFY(fx->fakeUi.messages().isEmpty());
    }

    void ch2OnlyRequestsKind2()
    {
        connectVisa();
        fx->sim.handle(":CHANNEL1:DISPLAY OFF", Qm4100Sim::Framing::VisaUsb);
        fx->sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        app().Settings.CH1Display = word(Word::WordOff);
        app().Settings.CH2Display = word(Word::WordOn);
        frmMeasure *w = openItem();
        fx->sim.clearLog();
        w->cmdRefresh->click();
        QCOMPARE(countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL2"), 1);
        QVERIFY(app().Sheet.MeasDocs[0].Info.startsWith(QStringLiteral("CH2 ")));
    }

    void refreshesKeepTheRowPictures()
    {
        // Every refresh fills the table anew; the rows show the pictures the
        // table showed before, not fresh copies of them (each copy would stay
        // behind in the toolkit's pixmap cache).
        connectVisa();
        frmMeasure *w = openItem();
        auto iconKeys = [w] {
            QList<qint64> keys;
            for (int r = 0; r < w->MeasureView->topLevelItemCount(); ++r)
                keys << w->MeasureView->topLevelItem(r)->icon(0).cacheKey();
            return keys;
        };
        w->cmdRefresh->click();
        const QList<qint64> first = iconKeys();
        QCOMPARE(first.size(), 18);
        QCOMPARE(QSet<qint64>(first.begin(), first.end()).size(), 18); // a picture of its own per row
        QVERIFY(!w->MeasureView->topLevelItem(0)->icon(0).isNull());
        w->cmdRefresh->click();
        QCOMPARE(countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL1"), 2);
        QCOMPARE(iconKeys(), first);
    }

    // An instrument that stops answering after a good refresh: the next
    // refresh ends at the first reply that does not come (one time-out,
    // nothing asked after it), the item keeps its readings, verdicts, info
    // line and flags, the sheet is not modified, the user is told once and
    // the link is lost (its lamp red), over either link.
    void silentInstrumentKeepsTheReadings_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("serial") << true;
        QTest::newRow("visa") << false;
    }
    void silentInstrumentKeepsTheReadings()
    {
        QFETCH(bool, serial);
        if (serial)
            fx->useSerial();
        else
            fx->useVisa();
        QVERIFY(fx->connect());
        frmMeasure *w = openItem();
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.Items[MeasVpp].Enabled = true;
        doc.Items[MeasVpp].Under = 0.5;
        doc.Items[MeasVpp].Over = 1.0;
        w->cmdRefresh->click();
        QCOMPARE(column(w, 1), kCh1Rows);
        const MeasDoc before = doc;
        const QStringList verdicts = column(w, 4);
        const QString info = w->SettingLabel->text();
        app().Sheet.Modified = false;
        fx->sim.clearLog();
        Qm4100Sim::Faults silent;
        silent.silentFromQuery = 3; // the trigger state and mode come, the scale does not
        fx->sim.setFaults(silent);
        const qint64 t0 = fx->clock.nowMs();
        w->cmdRefresh->click();

        QCOMPARE(fx->lines(), (QList<QByteArray>{":TRIGGER:STATUS?", ":TRIGGER:MODE?", ":CHANNEL1:SCALE?"}));
        const qint64 took = fx->clock.nowMs() - t0;
        QVERIFY2(took < (serial ? 5000 : 11000), qPrintable(QString::number(took)));
        for (int i = 0; i < MeasCount; ++i) {
            QCOMPARE(doc.Items[i].Value, before.Items[i].Value);
            QCOMPARE(doc.Items[i].Result, before.Items[i].Result);
        }
        QCOMPARE(doc.Info, before.Info);
        QVERIFY(doc.HasData);
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(column(w, 1), kCh1Rows);
        QCOMPARE(column(w, 4), verdicts);
        QCOMPARE(w->SettingLabel->text(), info);
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages().at(0).text, QStringLiteral("Can't Read data from Device!"));
        QVERIFY(!app().link.LinkConnected);
        QVERIFY(app().link.LampOffVisible && !app().link.LampOnVisible);
        QVERIFY(w->cmdRefresh->isEnabled());
    }

    void refusedRefreshes()
    {
        frmMeasure *w = openItem();
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        // Not connected: the message, nothing loaded, the button restored.
        w->cmdRefresh->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].text, QStringLiteral("Please Connect Oscilloscope First!"));
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Exclamation);
        QVERIFY(!doc.HasData && !app().Sheet.Modified);
        QVERIFY(w->cmdRefresh->isEnabled() && !w->showsStopPictures());
        // A waveform window refreshing continuously: the click does nothing at all.
        fx->fakeUi.clear();
        app().measure.MeasRefreshActive = false;
        app().measure.AutoRefresh.WaveAutoRefreshOn = true;
        w->cmdRefresh->click();
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QVERIFY(!app().measure.MeasRefreshActive);
        app().measure.AutoRefresh.WaveAutoRefreshOn = false;
        // Neither channel displayed: a connected refresh loads nothing.
        connectVisa();
        app().Settings.CH1Display = word(Word::WordOff);
        fx->clock.advance(500);
        w->cmdRefresh->click();
        QVERIFY(!doc.HasData);
        QCOMPARE(countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL1"), 0);
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
        frmMeasure *w = openItem();
        QTest::keyClick(w, Qt::Key_F5, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fx->fakeUi.messages().size(), messages); // not connected: the refresh's message
    }

    void continuousRefreshOnVirtualClock()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        app().shell.RefreshInterval = 1000;
        frmMeasure *w = openItem();
        QList<qint64> loadStarts;
        bool stopShown = false;
        int seen = 0;
        setPump([&] {
            const int n = countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL1");
            if (n > seen) {
                seen = n;
                loadStarts << fx->clock.nowMs();
                stopShown = stopShown || w->showsStopPictures();
            }
            if (seen == 3 && !app().transfer.TransferBusy && app().Sheet.MeasDocs[0].Refreshing)
                w->cmdRefresh->click(); // Stop
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QCOMPARE(loadStarts.size(), 3);
        QVERIFY(stopShown);
        // A load starts one interval after the previous load ended: never sooner.
        for (int i = 1; i < loadStarts.size(); ++i)
            QVERIFY2(loadStarts[i] - loadStarts[i - 1] > 1000, qPrintable(QString::number(loadStarts[i] - loadStarts[i - 1])));
        QVERIFY(!w->showsStopPictures());
        QVERIFY(!app().Sheet.MeasDocs[0].Refreshing);
        QVERIFY(!app().measure.AutoRefresh.MeasAutoRefreshOn);
        QVERIFY(!w->timer2().isActive());
        QVERIFY(app().Sheet.MeasDocs[0].HasData);
    }

    void secondWindowTakesOverContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmMeasure *a = openItem(0);
        frmMeasure *b = openItem(1, QStringLiteral("Measure1"));
        MeasDoc &da = app().Sheet.MeasDocs[0];
        MeasDoc &db = app().Sheet.MeasDocs[1];
        bool clickedB = false, clickedA = false, aWaitedUnderneath = false;
        int pumps = 0;
        setPump([&] {
            const bool idle = !app().transfer.TransferBusy && !app().measure.MeasBusy;
            if (!clickedB && idle && da.HasData) {
                clickedB = true;
                b->cmdRefresh->click(); // stops A's loads, starts B's
            } else if (clickedB && !clickedA && idle && db.HasData) {
                aWaitedUnderneath = a->showsStopPictures() && da.Refreshing && db.Refreshing;
                clickedA = true;
                a->cmdRefresh->click(); // a Stop: ends both
            }
            if (++pumps > 50000)
                app().measure.AutoRefresh.MeasAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        a->cmdRefresh->click();
        QVERIFY(pumps <= 50000);
        QVERIFY(clickedA && clickedB);
        QVERIFY(aWaitedUnderneath);
        QVERIFY(countLines(fx->lines(), ":MEASURE:SOURCE CHANNEL1") >= 2); // A's, then B's
        for (frmMeasure *w : {a, b})
            QVERIFY(!w->showsStopPictures() && w->cmdRefresh->isEnabled());
        QVERIFY(!da.Refreshing && !db.Refreshing);
        QVERIFY(!app().measure.AutoRefresh.MeasAutoRefreshOn);
    }

    void continuousRefreshEndsWhenLinkLost()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmMeasure *w = openItem();
        int pumps = 0;
        setPump([&] {
            if (++pumps == 50 && !app().transfer.TransferBusy)
                app().link.LinkConnected = 0;
            if (pumps > 5000)
                app().measure.AutoRefresh.MeasAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click();
        QVERIFY(pumps < 5000);
        QVERIFY(!w->showsStopPictures());
        QVERIFY(!app().Sheet.MeasDocs[0].Refreshing);
    }

    void closeDuringContinuousRefresh()
    {
        connectVisa();
        app().shell.RefreshType = QStringLiteral("Auto");
        frmMeasure *w = openItem();
        QPointer<QWidget> frame = w->frame();
        bool closed = false;
        int pumps = 0;
        setPump([&] {
            if (!closed && app().Sheet.MeasDocs[0].HasData && !app().transfer.TransferBusy && !app().measure.MeasBusy)
                closed = CloseMeasureWindow(0);
            if (++pumps > 20000)
                app().measure.AutoRefresh.MeasAutoRefreshOn = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        w->cmdRefresh->click(); // returns once the close has ended the refresh
        QVERIFY(closed);
        QVERIFY(!app().Sheet.MeasDocs[0].WindowOpen);
        QVERIFY(!app().Sheet.MeasDocs[0].Refreshing);
        QVERIFY(!app().measure.AutoRefresh.MeasAutoRefreshOn);
        QVERIFY(!app().measure.MeasRefreshActive);
        QVERIFY(!measureWindow(0));
        QVERIFY(frame); // still there while its handler ran
        flushDeletes();
        QVERIFY(!frame);
    }

    void refreshButtonTakesTheScreenPointer()
    {
        frmMeasure *w = openItem();
        const auto moveOver = [w] {
            QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->cmdRefresh->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w->cmdRefresh, &move);
        };
        MouseControl::setCursor(11); // the hourglass
        moveOver();
        QCOMPARE(w->cmdRefresh->cursor().shape(), Qt::WaitCursor);
        MouseControl::setCursor(0);
        moveOver();
        QVERIFY(!w->cmdRefresh->testAttribute(Qt::WA_SetCursor)); // the default pointer again
    }

    void closeRefusedWhileBusy()
    {
        frmMeasure *w = openItem();
        app().measure.MeasBusy = true;
        QVERIFY(!CloseMeasureWindow(0));
        app().measure.MeasBusy = false;
        app().transfer.TransferBusy = true;
        QVERIFY(!CloseMeasureWindow(0));
        QCOMPARE(measureWindow(0), w);
        app().transfer.TransferBusy = false;
        QVERIFY(CloseMeasureWindow(0));
        QVERIFY(!app().Sheet.MeasDocs[0].WindowOpen);
    }

    void insideMainWindow()
    {
        frmMain main;
        app().shell.MainForm = &main;
        frmMeasure *w = openItem(2, QStringLiteral("Measure2"));
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(main.mdiArea()->subWindowList()[0]->widget(), w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Measure2"));
        QVERIFY(CloseMeasureWindow(2));
        flushDeletes();
        QVERIFY(main.mdiArea()->subWindowList().isEmpty());
    }

    // --- limits dialog from the window --------------------------------------

    void limitsDialogOkRedraws()
    {
        frmMeasure *w = openItem();
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.HasData = true;
        doc.Items[MeasVpp].Value = QStringLiteral("3.28V");
        QString caption;
        setModalRunner([&](QDialog &d) {
            auto &dlg = static_cast<frmPassFailed &>(d);
            caption = dlg.windowTitle();
            fx->clock.advance(1);
            QCOMPARE(dlg.MTypeCombo->currentText(), QStringLiteral("Vpp"));
            QVERIFY(!dlg.EnabledChk->isChecked());
            dlg.EnabledChk->click();
            dlg.OverUnit->setCurrentIndex(2); // "V"
            emit dlg.OverUnit->activated(2);
            dlg.OverNum->setText(QStringLiteral("3"));
            dlg.OKButton->click();
        });
        w->cmdPassFailed->click();
        QCOMPARE(caption, QStringLiteral("Pass & Fail Setting [Measure0]"));
        QVERIFY(app().shell.DialogOK);
        QVERIFY(doc.Items[MeasVpp].Enabled);
        QCOMPARE(doc.Items[MeasVpp].Over, 3.0);
        QCOMPARE(w->MeasureView->topLevelItem(0)->text(3), QStringLiteral("3.000V"));
        QCOMPARE(w->MeasureView->topLevelItem(0)->text(4), QStringLiteral("Fail [Over Limit]"));
        QVERIFY(app().Sheet.Modified);
    }

    void limitsDialogCancelKeepsTable()
    {
        frmMeasure *w = openItem();
        app().texts.LanguageIndex = 0;
        QString caption;
        setModalRunner([&](QDialog &d) {
            auto &dlg = static_cast<frmPassFailed &>(d);
            caption = dlg.windowTitle();
            fx->clock.advance(1);
            dlg.EnabledChk->click();
            dlg.CancelButton->click();
        });
        w->MeasureView->clear(); // a redraw would fill it again
        w->cmdPassFailed->click();
        QCOMPARE(caption, QStringLiteral("通过&失败设置 [Measure0]"));
        QVERIFY(!app().shell.DialogOK);
        QCOMPARE(w->MeasureView->topLevelItemCount(), 0);
        QVERIFY(!app().Sheet.MeasDocs[0].Items[MeasVpp].Enabled);
    }

    // --- export ---------------------------------------------------------------

    void exportThroughSaveDialog()
    {
        frmMeasure *w = openItem();
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.Info = QStringLiteral("CH1 info");
        doc.Items[MeasVpp].Value = QStringLiteral("1.00V");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        fx->fakeUi.answerFile(path);
        w->cmdExport->click();
        QCOMPARE(fx->fakeUi.fileDialogs().size(), 1);
        const FileDialogRequest &req = fx->fakeUi.fileDialogs()[0].request;
        QCOMPARE(req.title, QStringLiteral("Export File"));
        QVERIFY(req.filter.startsWith(QStringLiteral("Microsoft Excel Files (*.xls)")));
        QVERIFY(req.defaultSuffix.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), MeasureExportText(doc));
        QVERIFY(!app().Sheet.Modified);

        // Cancelled: nothing written, no message.
        fx->fakeUi.cancelFile();
        w->cmdExport->click();
        QVERIFY(fx->fakeUi.messages().isEmpty());
        // Not writable: the system's error with the critical icon.
        fx->fakeUi.answerFile(dir.filePath(QStringLiteral("missing/out.xls")));
        w->cmdExport->click();
        QCOMPARE(fx->fakeUi.messages().size(), 1);
        QCOMPARE(fx->fakeUi.messages()[0].icon, MsgIcon::Critical);
        QVERIFY(!fx->fakeUi.messages()[0].text.isEmpty());
    }

    // The file written: a name typed without a suffix gets the chosen
    // filter's (none for all files); a suffix typed stays.
    void exportNames_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter"); // index in the dialog's list
        QTest::addColumn<QString>("written");
        QTest::newRow("english, Excel") << 1 << "m" << 0 << "m.xls";
        QTest::newRow("chinese, Excel") << 0 << "测量" << 0 << "测量.xls";
        QTest::newRow("chinese, text") << 0 << "m" << 1 << "m.txt";
        QTest::newRow("all files") << 1 << "m" << 2 << "m";
        QTest::newRow("suffix typed") << 1 << "m.dat" << 1 << "m.dat";
    }
    void exportNames()
    {
        QFETCH(int, lang);
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        frmMeasure *w = openItem();
        app().texts.LanguageIndex = lang;
        MeasDoc &doc = app().Sheet.MeasDocs[0];
        doc.Info = QStringLiteral("CH1 info");
        doc.Items[MeasVpp].Value = QStringLiteral("1.00V");
        QTemporaryDir dir;
        fx->fakeUi.answerFile(dir.filePath(typed), filter);
        w->cmdExport->click();
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
        QFile f(dir.filePath(written));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), MeasureExportText(doc));
    }

    // --- captions -------------------------------------------------------------

    void captions_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QStringList>("texts"); // refresh, export, pass/fail, then the tips
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("firstName");
        QTest::newRow("english") << 1
                                 << QStringList{" Refresh", "Export", "Pass | Fail  ", "Refresh Data(F5)", "Output", "Pass&Fail"}
                                 << QStringList{"Type", "Value", "Under Limit", "Over Limit", "Pass&Fail"} << "Vpp";
        QTest::newRow("chinese") << 0
                                 << QStringList{" 更新 .", "导出 .", "通过 | 失败 .  ", "更新数据(F5)", "输出", "通过&失败"}
                                 << QStringList{"类型", "值", "下限", "上限", "通过&失败"} << "峰峰值";
    }
    void captions()
    {
        QFETCH(int, lang);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, headers);
        QFETCH(QString, firstName);
        ApplyLanguage(1 - lang);
        frmMeasure *w1 = openItem(0);
        frmMeasure *w2 = openItem(1, QStringLiteral("Measure1"));
        app().Sheet.MeasDocs[1].HasData = true;
        app().Sheet.MeasDocs[1].Items[MeasVpp].Value = QStringLiteral("1.00V");
        app().Sheet.MeasDocs[1].Items[MeasVpp].Enabled = true;
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang); // captions of every open window, rows drawn again
        for (frmMeasure *w : {w1, w2}) {
            QCOMPARE(w->cmdRefresh->text(), texts[0]);
            QCOMPARE(w->cmdExport->text(), texts[1]);
            QCOMPARE(w->cmdPassFailed->text(), texts[2]);
            QCOMPARE(w->cmdRefresh->toolTip(), texts[3]);
            QCOMPARE(w->cmdExport->toolTip(), texts[4]);
            QCOMPARE(w->cmdPassFailed->toolTip(), texts[5]);
            for (int c = 0; c < 5; ++c)
                QCOMPARE(w->MeasureView->headerItem()->text(c), headers[c]);
            QCOMPARE(w->MeasureView->topLevelItem(0)->text(0), firstName);
            QCOMPARE(w->OptionCH[0]->text(), QStringLiteral("CH1"));
        }
        QCOMPARE(w2->MeasureView->topLevelItem(0)->text(4), verdictTexts(lang).overLimit);
        // Language 2 changes nothing and draws nothing.
        w1->MeasureView->clear();
        LoadAllMeasureWindowTexts(2);
        LoadMeasureWindowTexts(0, 2);
        QCOMPARE(w1->cmdRefresh->text(), texts[0]);
        QCOMPARE(w1->MeasureView->topLevelItemCount(), 0);
        // The one-window loader leaves the rows alone.
        LoadMeasureWindowTexts(0, 1 - lang);
        QCOMPARE(w1->MeasureView->topLevelItemCount(), 0);
        QVERIFY(w1->cmdRefresh->text() != texts[0]);
    }
};

QTEST_MAIN(TestFrmMeasure)
#include "tst_frmmeasure.moc"
