// The info panel's arithmetic: which rows and groups show for the channels
// present, the frame widths and places in twips, and the texts.

#include "app/appstate.h"
#include "storedwave/infopanel.h"

#include <QtTest>

namespace {

StoredWave channels(bool ch1, bool ch2, bool la, bool alternate)
{
    StoredWave w;
    w.TrigMode = alternate ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
    w.ShowCH1 = ch1;
    w.ShowCH2 = ch2;
    w.ShowLA = la;
    w.Ch1VoltDiv = 0.5f;
    w.Ch2VoltDiv = 2.0f;
    w.TimeDiv = 1e-3;
    w.Ch1TimeDiv = 2e-6;
    w.Ch2TimeDiv = 5e-9;
    return w;
}

} // namespace

class TestInfoPanel : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void layout_data();
    void layout();
    void rowPlaces();
    void texts_data();
    void texts();
};

void TestInfoPanel::layout_data()
{
    QTest::addColumn<bool>("ch1");
    QTest::addColumn<bool>("ch2");
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<int>("voltWidth");
    QTest::addColumn<int>("ch1Label");
    QTest::addColumn<int>("ch2Label");
    QTest::addColumn<int>("refreshWidth");
    QTest::addColumn<int>("frameLeft"); // time/div frame, or the alternate one
    QTest::addColumn<int>("resetLeft");
    // L = 105; one row 2635, two 5070, alternate 4890 wide.
    QTest::newRow("CH1 only") << true << false << false << true << 2635 << 155 << -1 << 6610 << 2940 << 5760;
    QTest::newRow("CH2 only") << false << true << false << true << 2635 << -1 << 155 << 6610 << 2940 << 5760;
    QTest::newRow("both") << true << true << false << true << 5070 << 155 << 2640 << 9045 << 5375 << 8195;
    // The logic channels alone: the time/div group and Reset where the
    // volts/div frame would be, inside the panel.
    QTest::newRow("logic only") << false << false << false << true << 0 << -1 << -1 << 3975 << 105 << 2925;
    QTest::newRow("alternate, CH1 only") << true << false << true << true << 4890 << 155 << 2500 << 10965 << 6495
                                         << 10095;
}

void TestInfoPanel::layout()
{
    QFETCH(bool, ch1);
    QFETCH(bool, ch2);
    QFETCH(bool, alternate);
    QFETCH(bool, moved);
    QFETCH(int, voltWidth);
    QFETCH(int, ch1Label);
    QFETCH(int, ch2Label);
    QFETCH(int, refreshWidth);
    QFETCH(int, frameLeft);
    QFETCH(int, resetLeft);
    const InfoPanelPlace p = LayoutMemoryWaveInfo(channels(ch1, ch2, true, alternate));
    QCOMPARE(p.moved, moved);
    QCOMPARE(p.altFrameShown, alternate);
    QCOMPARE(p.timeFrameShown, !alternate);
    QCOMPARE(p.voltFrameShown, ch1 || ch2);
    if (!moved)
        return;
    if (!alternate)
        QVERIFY(p.resetLeft + InfoPanelDesign{}.resetWidth <= p.refreshWidth);
    QCOMPARE(p.voltFrameWidth, voltWidth);
    QCOMPARE(p.ch1Moved, ch1Label >= 0);
    QCOMPARE(p.ch2Moved, ch2Label >= 0);
    if (ch1Label >= 0)
        QCOMPARE(p.ch1.label, ch1Label);
    if (ch2Label >= 0)
        QCOMPARE(p.ch2.label, ch2Label);
    QCOMPARE(p.refreshWidth, refreshWidth);
    QCOMPARE(alternate ? p.altFrameLeft : p.timeFrameLeft, frameLeft);
    QCOMPARE(p.resetLeft, resetLeft);
}

void TestInfoPanel::rowPlaces()
{
    const InfoRowPlace r = infoRowAt(155, InfoPanelDesign{});
    QCOMPARE(r.box, 605);
    QCOMPARE(r.dec, 605 + 1035 + 60);
    QCOMPARE(r.inc, r.dec + 285 + 40);
}

void TestInfoPanel::texts_data()
{
    QTest::addColumn<bool>("ch1");
    QTest::addColumn<bool>("ch2");
    QTest::addColumn<bool>("la");
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<QStringList>("expected"); // CH1, CH2, time/div, CH1 time/div, CH2 time/div
    QTest::addColumn<bool>("timeShown");
    QTest::newRow("CH1 only") << true << false << false << false
                              << QStringList{"500mV", "", "1.000ms", "", ""} << true;
    QTest::newRow("both") << true << true << false << false << QStringList{"500mV", "2.00V", "1.000ms", "", ""} << true;
    QTest::newRow("digital only") << false << false << true << false << QStringList{"", "", "1.000ms", "", ""} << true;
    QTest::newRow("no data") << false << false << false << false << QStringList{"", "", "", "", ""} << false;
    QTest::newRow("alternate") << true << true << false << true
                               << QStringList{"500mV", "2.00V", "", "2.000us", "5.000ns"} << false;
}

void TestInfoPanel::texts()
{
    QFETCH(bool, ch1);
    QFETCH(bool, ch2);
    QFETCH(bool, la);
    QFETCH(bool, alternate);
    QFETCH(QStringList, expected);
    QFETCH(bool, timeShown);
    const InfoPanelTexts t = FillMemoryWaveInfo(channels(ch1, ch2, la, alternate));
    QCOMPARE(t.ch1Shown, ch1);
    QCOMPARE(t.ch2Shown, ch2);
    QCOMPARE(t.timeShown, timeShown);
    QCOMPARE(t.alternate, alternate);
    QCOMPARE((QStringList{t.ch1VoltDiv, t.ch2VoltDiv, t.timeDiv, t.ch1TimeDiv, t.ch2TimeDiv}), expected);
}

QTEST_GUILESS_MAIN(TestInfoPanel)
#include "tst_infopanel.moc"
