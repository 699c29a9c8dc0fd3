// The measurement table: the three orders of the measurements, and the
// pass/fail evaluation against limits in base units (invalid readings,
// disabled and empty rows, both languages).

#include "app/appstate.h"
#include "measure/meastable.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <QtTest>

class TestMeasTable : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetApp();
        ApplyLanguage(1);
    }
    void cleanup() { resetApp(); }

    void orders()
    {
        // Window rows: Vpp, Vmax, Vmin, Vavg, Vamp, Vtop, Vbase, Vrms, Vover,
        // Vpre, Frequency, Rise Time, Fall Time, Period, Pulse Width+/-, Duty+/-.
        const QStringList rows{"Vpp", "Vmax", "Vmin", "Vavg", "Vamp", "Vtop", "Vbase", "Vrms", "Vover", "Vpre",
                               "Frequency", "Rise Time", "Fall Time", "Period", "Pulse Width+", "Pulse Width-",
                               "Duty+", "Duty-"};
        const int images[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 12, 15, 16, 17, 18};
        const MeasRows shown = StartDispMeasureRows();
        for (int r = 0; r < MeasCount; ++r) {
            QCOMPARE(shown[size_t(r)].name, rows[r]);
            QCOMPARE(measNameOfIndex(measIndexOfRow(r)), rows[r]);
            QCOMPARE(shown[size_t(r)].image, images[r]);
            QVERIFY(shown[size_t(r)].value.isEmpty() && shown[size_t(r)].verdict.isEmpty());
        }
        QCOMPARE(measIndexOfRow(13), int(MeasPeriod));
        QCOMPARE(measIndexOfRow(18), -1);
        // The dialog's list is the order of the names.
        QCOMPARE(measIndexOfListPosition(4), int(MeasVamp));
        QCOMPARE(measIndexOfListPosition(8), int(MeasVpre));
        QCOMPARE(measIndexOfListPosition(11), int(MeasPeriod));
        for (int p = 0; p < MeasCount; ++p) {
            QCOMPARE(measListPositionOfIndex(measIndexOfListPosition(p)), p);
            QCOMPARE(measIndexOfName(measureName(p)), measIndexOfListPosition(p));
        }
        QCOMPARE(measIndexOfName(QStringLiteral("vpp")), -1); // exact, case-sensitive
        ApplyLanguage(0);
        QCOMPARE(measNameOfIndex(MeasFrequency), QStringLiteral("频率"));
        QCOMPARE(measIndexOfName(QStringLiteral("Vpp")), -1); // a name of the other language
    }

    void evaluation_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<double>("under");
        QTest::addColumn<double>("over");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("underText");
        QTest::addColumn<QString>("overText");
        QTest::addColumn<QString>("verdict");

        QTest::newRow("volt pass") << int(MeasVpp) << "150mV" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Pass";
        QTest::newRow("volt equal lower passes") << int(MeasVpp) << "100mV" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Pass";
        QTest::newRow("volt equal upper passes") << int(MeasVmax) << "200mV" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Pass";
        QTest::newRow("volt under") << int(MeasVmin) << "-1.20V" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Fail [Under Limit]";
        QTest::newRow("volt over") << int(MeasVamp) << "3.28V" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Fail [Over Limit]";
        QTest::newRow("volt kV") << int(MeasVrms) << "1.50kV" << true << 1000.0 << 2000.0 << 1 << "1.000kV" << "2.000kV" << "Pass";
        QTest::newRow("inverted limits below") << int(MeasVpp) << "1.00V" << true << 2.0 << 0.5 << 1 << "2.000V" << "500.000mV" << "Fail [Under Limit]";
        QTest::newRow("inverted limits above") << int(MeasVpp) << "3.00V" << true << 2.0 << 0.5 << 1 << "2.000V" << "500.000mV" << "Fail [Over Limit]";
        QTest::newRow("invalid reading") << int(MeasVpp) << "*****" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Fail";
        QTest::newRow("reading without unit") << int(MeasVpp) << "1.5" << true << 0.1 << 0.2 << 1 << "100.000mV" << "200.000mV" << "Fail";
        QTest::newRow("disabled") << int(MeasVpp) << "150mV" << false << 0.1 << 0.2 << 1 << "" << "" << "";
        QTest::newRow("disabled invalid") << int(MeasVpp) << "*****" << false << 0.1 << 0.2 << 1 << "" << "" << "";
        QTest::newRow("enabled without reading") << int(MeasVpp) << "" << true << 0.1 << 0.2 << 1 << "" << "" << "";
        QTest::newRow("freq pass") << int(MeasFrequency) << "1.500MHz" << true << 1e6 << 2e6 << 1 << "1.000MHz" << "2.000MHz" << "Pass";
        QTest::newRow("freq kHz under") << int(MeasFrequency) << "1.000kHz" << true << 1e6 << 2e6 << 1 << "1.000MHz" << "2.000MHz" << "Fail [Under Limit]";
        QTest::newRow("freq limit KHz") << int(MeasFrequency) << "1.000kHz" << true << 999.0 << 1500.0 << 1 << "999.000Hz" << "1.500KHz" << "Pass";
        QTest::newRow("time us pass") << int(MeasRiseTime) << "1.500us" << true << 1e-6 << 2e-6 << 1 << "1.000us" << "2.000us" << "Pass";
        QTest::newRow("time ms over") << int(MeasPeriod) << "1.000ms" << true << 1e-6 << 2e-6 << 1 << "1.000us" << "2.000us" << "Fail [Over Limit]";
        QTest::newRow("time ns under") << int(MeasPWidthPos) << "500.0ns" << true << 0.0001 << 0.0002 << 1 << "100.000us" << "200.000us" << "Fail [Under Limit]";
        QTest::newRow("percent pass") << int(MeasDutyPos) << "50.0%" << true << 0.4 << 0.6 << 1 << "40.00%" << "60.00%" << "Pass";
        QTest::newRow("percent over") << int(MeasVover) << "12.0%" << true << 0.05 << 0.1 << 1 << "5.00%" << "10.00%" << "Fail [Over Limit]";
        QTest::newRow("percent invalid as received") << int(MeasDutyNeg) << "****" << true << 0.4 << 0.6 << 1 << "40.00%" << "60.00%" << "Fail";
        QTest::newRow("percent without sign") << int(MeasVpre) << "5.0" << true << 0.05 << 0.1 << 1 << "5.00%" << "10.00%" << "Fail";
        QTest::newRow("chinese pass") << int(MeasVpp) << "150mV" << true << 0.1 << 0.2 << 0 << "100.000mV" << "200.000mV" << "通过";
        QTest::newRow("chinese under") << int(MeasVpp) << "50.0mV" << true << 0.1 << 0.2 << 0 << "100.000mV" << "200.000mV" << "失败 [低于下限]";
        QTest::newRow("chinese over") << int(MeasVpp) << "1.00V" << true << 0.1 << 0.2 << 0 << "100.000mV" << "200.000mV" << "失败 [高于上限]";
        QTest::newRow("chinese invalid") << int(MeasVpp) << "*****" << true << 0.1 << 0.2 << 0 << "100.000mV" << "200.000mV" << "失败";
        QTest::newRow("other language") << int(MeasVpp) << "150mV" << true << 0.1 << 0.2 << 2 << "100.000mV" << "200.000mV" << "";
        QTest::newRow("limit out of ladder") << int(MeasVpp) << "150mV" << true << 0.1 << 2e9 << 1 << "100.000mV" << "???.?V" << "Pass";
    }
    void evaluation()
    {
        QFETCH(int, index);
        QFETCH(QString, value);
        QFETCH(bool, enabled);
        QFETCH(double, under);
        QFETCH(double, over);
        QFETCH(int, lang);
        QFETCH(QString, underText);
        QFETCH(QString, overText);
        QFETCH(QString, verdict);

        MeasDoc doc;
        doc.Items.setNewItemLimits();
        for (MeasItem &item : doc.Items)
            item.Result = QStringLiteral("stale");
        MeasItem &item = doc.Items[index];
        item.Value = value;
        item.Enabled = enabled;
        item.Under = under;
        item.Over = over;
        const MeasTable before = doc.Items;

        const MeasRows rows = DispMeasureRows(doc, lang);
        const int row = measDefinition(index)->row - 1;
        const MeasRowText &shown = rows[size_t(row)];
        QCOMPARE(shown.index, index);
        QCOMPARE(shown.value, value);
        QCOMPARE(shown.under, underText);
        QCOMPARE(shown.over, overText);
        QCOMPARE(shown.verdict, verdict);
        QCOMPARE(item.Result, verdict);
        // Every other row is neither judged nor left with an old result, and
        // nothing but the results changed.
        for (int i = 0; i < MeasCount; ++i) {
            if (i != index)
                QVERIFY(doc.Items[i].Result.isEmpty());
            QCOMPARE(doc.Items[i].Value, before[i].Value);
            QCOMPARE(doc.Items[i].Enabled, before[i].Enabled);
            QCOMPARE(doc.Items[i].Under, before[i].Under);
            QCOMPARE(doc.Items[i].Over, before[i].Over);
        }
    }

    void namesFollowLanguage()
    {
        MeasDoc doc;
        ApplyLanguage(0);
        const MeasRows rows = DispMeasureRows(doc, 0);
        QCOMPARE(rows[0].name, QStringLiteral("峰峰值"));
        QCOMPARE(rows[10].name, QStringLiteral("频率"));
        QCOMPARE(rows[17].name, QStringLiteral("负占空比"));
    }
};

QTEST_MAIN(TestMeasTable)
#include "tst_meastable.moc"
