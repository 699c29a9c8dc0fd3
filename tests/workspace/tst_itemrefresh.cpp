// The Refresh command shared by the waveform, data table and measure windows,
// driven through the three real windows against the simulator: only one
// continuous refresh runs at a time across the three kinds. While one kind
// refreshes continuously, a Refresh press in a window of each other kind does
// nothing at all (no line sent, no message, its item not refreshing), the
// running refresh goes on, and once it has been stopped the other kinds load
// again.
#include "link/linkfixture.h"

#include "measure/frmmeasure.h"
#include "texts/stringres.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"
#include "workspace/itemrefresh.h"

#include <QToolButton>

#include <array>

namespace {

constexpr int KindCount = 3;

const char *kindName(int k)
{
    static const char *const names[KindCount] = {"wave", "data", "measure"};
    return names[k];
}

RefreshKind refreshKind(int k)
{
    static const RefreshKind kinds[KindCount] = {RefreshKind::Wave, RefreshKind::Data, RefreshKind::Measure};
    return kinds[k];
}

} // namespace

class TestItemRefresh : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;
    std::array<QToolButton *, KindCount> refresh{};

    bool &hasData(int k)
    {
        DataSheet &s = app().Sheet;
        return k == 0 ? s.WaveDocs[0].HasData : k == 1 ? s.DataDocs[0].HasData : s.MeasDocs[0].HasData;
    }
    bool &refreshing(int k)
    {
        DataSheet &s = app().Sheet;
        return k == 0 ? s.WaveDocs[0].Refreshing : k == 1 ? s.DataDocs[0].Refreshing : s.MeasDocs[0].Refreshing;
    }
    static bool idle()
    {
        return !app().transfer.TransferBusy && !app().wave.WaveBusy && !app().wave.data.DataBusy
               && !app().measure.MeasBusy;
    }
    static bool anyAutoRefresh()
    {
        const AutoRefreshFlags &f = app().measure.AutoRefresh;
        return f.WaveAutoRefreshOn || f.DataAutoRefreshOn || f.MeasAutoRefreshOn;
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        app().Settings.CH1Display = word(Word::WordOn);
        app().Settings.CH2Display = word(Word::WordOff);
        app().Settings.MathDisplay = word(Word::WordOff);
        app().Settings.LADisplay = word(Word::WordOff);
        app().shell.RefreshInterval = 1000;
        DataSheet &s = app().Sheet;
        s.WaveDocCount = s.DataDocCount = s.MeasDocCount = 1;
        s.WaveDocs[0].Name = QStringLiteral("Wave0");
        s.WaveDocs[0].setNewItemDefaults();
        s.DataDocs[0].Name = QStringLiteral("Data0");
        s.DataDocs[0].setNewItemDefaults();
        s.MeasDocs[0].Name = QStringLiteral("Measure0");
        s.MeasDocs[0].setNewItemDefaults();
        refresh = {ShowWaveWindow(0, false)->cmdRefresh, ShowDataWindow(0)->cmdRefresh,
                   ShowMeasureWindow(0)->cmdRefresh};
        fx->clock.advance(1);   // the windows' first state tick
        fx->clock.advance(500); // the channel options follow the instrument
        fx->useVisa();
        QVERIFY(fx->connect());
    }
    void cleanup()
    {
        DataSheet &s = app().Sheet;
        if (frmWave *w = waveWindow(0))
            delete w->frame();
        if (frmData *w = dataWindow(0))
            delete w->frame();
        if (frmMeasure *w = measureWindow(0))
            delete w->frame();
        s.WaveForms[0] = s.DataForms[0] = s.MeasureForms[0] = nullptr;
        flushDeletes();
        fx.reset();
    }

    void oneContinuousRefreshAcrossTheKinds_data()
    {
        QTest::addColumn<int>("running");
        for (int k = 0; k < KindCount; ++k)
            QTest::newRow(kindName(k)) << k;
    }
    void oneContinuousRefreshAcrossTheKinds()
    {
        QFETCH(int, running);
        app().shell.RefreshType = QStringLiteral("Auto");
        bool pressed = false, othersSentNothing = false, othersRefreshing = true, runningGoesOn = false;
        bool pressing = false, othersWaited = false;
        int loadsBefore = 0, pumps = 0;
        setPump([&] {
            if (pressing) {
                // A refused press returns at once; one that waits has started
                // a load: end every refresh so that the test fails quickly.
                othersWaited = true;
                for (int k = 0; k < KindCount; ++k)
                    autoRefreshOn(refreshKind(k)) = false;
                fx->serial->pumpOnce(fx->clock);
                return;
            }
            if (!pressed && idle() && hasData(running) && refreshing(running)) {
                pressed = true;
                const qsizetype sent = fx->lines().size();
                pressing = true;
                for (int k = 0; k < KindCount; ++k)
                    if (k != running)
                        refresh[size_t(k)]->click();
                pressing = false;
                othersSentNothing = fx->lines().size() == sent;
                othersRefreshing = false;
                for (int k = 0; k < KindCount; ++k)
                    if (k != running)
                        othersRefreshing = othersRefreshing || refreshing(k) || hasData(k);
                runningGoesOn = autoRefreshOn(refreshKind(running)) && refreshing(running);
                loadsBefore = int(fx->lines().size());
            } else if (pressed && idle() && int(fx->lines().size()) > loadsBefore && refreshing(running)) {
                // The running refresh loaded again after the refused presses:
                // its own press ends it.
                refresh[size_t(running)]->click();
            }
            if (++pumps > 20000)
                autoRefreshOn(refreshKind(running)) = false; // guard against a hang
            fx->serial->pumpOnce(fx->clock);
        });
        refresh[size_t(running)]->click();
        QVERIFY(pumps <= 20000);
        QVERIFY(pressed);
        QVERIFY(!othersWaited);
        QVERIFY(othersSentNothing);
        QVERIFY(!othersRefreshing);
        QVERIFY(runningGoesOn);
        QVERIFY(fx->fakeUi.messages().isEmpty());
        QVERIFY(int(fx->lines().size()) > loadsBefore);
        QVERIFY(!refreshing(running));
        QVERIFY(!anyAutoRefresh());
        for (int k = 0; k < KindCount; ++k)
            QVERIFY(refresh[size_t(k)]->isEnabled());

        // With the continuous refresh over, the other kinds load again.
        setPump([this] { fx->serial->pumpOnce(fx->clock); });
        app().shell.RefreshType = QStringLiteral("Single");
        for (int k = 0; k < KindCount; ++k) {
            if (k == running)
                continue;
            const qsizetype sent = fx->lines().size();
            refresh[size_t(k)]->click();
            QVERIFY2(fx->lines().size() > sent, kindName(k));
            QVERIFY2(hasData(k), kindName(k));
        }
    }
};

QTEST_MAIN(TestItemRefresh)
#include "tst_itemrefresh.moc"
