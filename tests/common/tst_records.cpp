#include "app/appstate.h"
#include "common/datasheet.h"
#include "common/defaultwords.h"

#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

// Records with every member group away from its fresh value.
WaveDoc usedWaveDoc()
{
    WaveDoc d;
    d.Name = QStringLiteral("Wave3");
    d.HasData = d.WindowOpen = d.Refreshing = true;
    d.TrigMode = QStringLiteral("ALTERNATION");
    d.CH1Rows = QList<qint32>(WaveDoc::RowsSize, 7);
    d.LAWords = QList<qint32>(WaveDoc::RowsSize, 0x55);
    d.PointCount = 600;
    d.SpareWord2 = -3;
    d.CH1VoltDiv = QStringLiteral("1.00V");
    d.Channels = 2;
    d.ColorMode = d.GridShown = d.BestFit = true;
    d.TrigMode = QStringLiteral("EDGE");
    d.ShowLA = d.DrawLA = true;
    d.Setup.LAShownMask = -1;
    d.FFTDisplay = QStringLiteral("ON");
    return d;
}

MeasDoc usedMeasDoc()
{
    MeasDoc d;
    d.Name = QStringLiteral("Measure0");
    d.HasData = d.Refreshing = d.WindowOpen = true;
    d.Items.setNewItemLimits();
    d.Items[MeasVrms].Value = QStringLiteral("1.23V");
    d.Items[MeasVrms].Enabled = true;
    d.Items[MeasVrms].Result = QStringLiteral("Pass");
    d.Info = QStringLiteral("CH1 1.00V");
    return d;
}

ReplayInfo usedReplay()
{
    ReplayInfo r;
    r.Name = QStringLiteral("Record1");
    r.Samples = QList<qint16>(2 * ReplayInfo::FrameSize, 100);
    r.FrameCount = 2;
    r.Status = ReplayInfo::Stopped;
    r.Interval = 0.5;
    r.StatusText = QStringLiteral("Stop");
    return r;
}

StoredWave usedStoredWave()
{
    StoredWave w;
    w.Name = QStringLiteral("Memory Wave0");
    w.Ch1Samples = QList<qint16>(600, 30);
    w.Ch1Screen.fill(12);
    w.Ch2AcqOffset = -25;
    w.Ch1Position = 1e-3;
    w.Setup.LARow[3] = 186;
    w.SavedLaRow[3] = 186;
    w.LaZoomLastCol = 299;
    w.FftDisplay = QStringLiteral("OFF");
    return w;
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }
    void cleanup() { setDefaultWordSource({}); }

    void resetGivesAFreshRecord()
    {
        WaveDoc w = usedWaveDoc();
        QVERIFY(!(w == WaveDoc{}));
        w.reset();
        QVERIFY(w == WaveDoc{});
        QVERIFY(w.CH1Rows.isEmpty());
        QVERIFY(!w.HasData && !w.ColorMode && !w.ShowLA);
        QCOMPARE(w.Setup.encode(), QByteArray(116, '\0'));

        DataDoc d;
        d.Name = QStringLiteral("Data0");
        d.ValueTexts = QStringList{QString(), QStringLiteral("1.00E+00")};
        d.RowCount = 1;
        d.Channel = QStringLiteral("CH2");
        d.reset();
        QVERIFY(d == DataDoc{});
        QVERIFY(d.ValueTexts.isEmpty() && d.Channel.isEmpty() && d.RowCount == 0);

        MeasDoc m = usedMeasDoc();
        m.reset();
        QVERIFY(m == MeasDoc{});
        for (const MeasItem &item : m.Items) {
            QVERIFY(item.Value.isEmpty() && item.Result.isEmpty() && !item.Enabled);
            QCOMPARE(item.Over, 0.0);
            QCOMPARE(item.Under, 0.0);
        }

        ReplayInfo r = usedReplay();
        r.reset();
        QVERIFY(r == ReplayInfo{});
        QVERIFY(r.Samples.isEmpty());
        QCOMPARE(r.Status, ReplayInfo::Replaying);
        QCOMPARE(r.Interval, 0.0);

        StoredWave s = usedStoredWave();
        s.reset();
        QVERIFY(s == StoredWave{});
        QCOMPARE(s.Ch1Screen[600], qint16(0));
        QCOMPARE(s.Setup.LARow[3], qint16(0));
    }

    void newItemDefaultsTouchOnlyWhatAnAddSets()
    {
        // A reused slot keeps its stale contents apart from what the add sets.
        WaveDoc w = usedWaveDoc();
        w.ColorMode = w.GridShown = w.BestFit = false;
        w.SplitScreen = true;
        w.setNewItemDefaults();
        QVERIFY(w.ColorMode && w.GridShown && w.BestFit);
        QVERIFY(!w.SplitScreen && !w.HasData);
        QCOMPARE(w.TrigMode, QStringLiteral("EDGE"));
        QCOMPARE(w.CH1Rows.size(), WaveDoc::RowsSize);

        DataDoc d;
        d.HasData = true;
        d.RowCount = 5;
        d.setNewItemDefaults();
        QVERIFY(!d.HasData);
        QCOMPARE(d.RowCount, 5);

        ReplayInfo r = usedReplay();
        r.FilePath = QStringLiteral("/tmp/a.rcd");
        r.FileLoaded = r.ReplayStarted = true;
        r.setNewItemDefaults();
        QVERIFY(r.FilePath.isEmpty());
        QCOMPARE(r.Interval, 0.05);
        QVERIFY(r.LoopReplay && r.ColorMode && !r.FileLoaded && !r.ReplayStarted);
        QCOMPARE(r.StatusText, QStringLiteral("Please open the waveform record file."));
        QCOMPARE(r.Samples.size(), 2 * ReplayInfo::FrameSize);
        setDefaultWordSource([](const char *name, const QString &english) {
            return qstrcmp(name, "StatusNoRecord") == 0 ? QStringLiteral("请打开波形录制文件。") : english;
        });
        r.setNewItemDefaults();
        QCOMPARE(r.StatusText, QStringLiteral("请打开波形录制文件。"));

        StoredWave s = usedStoredWave();
        s.ShowCH1 = s.ShowLA = s.TransferCH2 = s.HasData = s.SplitScreen = s.BestFit = true;
        s.FilePath = QStringLiteral("/tmp/a.wfm");
        s.setNewItemDefaults();
        QVERIFY(!s.ShowCH1 && !s.ShowLA && !s.TransferCH2 && !s.HasData && !s.SplitScreen && !s.BestFit);
        QVERIFY(s.ColorMode && s.GridShown && s.FilePath.isEmpty());
        QCOMPARE(s.Ch1Samples.size(), 600);
    }

    void newMeasureItemLimits_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("word");
        QTest::addColumn<double>("under");
        QTest::addColumn<double>("over");
        QTest::addColumn<int>("row");
        QTest::newRow("VPP") << int(MeasVpp) << "VPP" << 0.1 << 0.2 << 1;
        QTest::newRow("VRMS") << int(MeasVrms) << "VRMS" << 0.1 << 0.2 << 8;
        QTest::newRow("VAMPLITUDE") << int(MeasVamp) << "VAMPLITUDE" << 0.1 << 0.2 << 5;
        QTest::newRow("FREQUENCY") << int(MeasFrequency) << "FREQUENCY" << 1e6 << 2e6 << 11;
        QTest::newRow("RISETIME") << int(MeasRiseTime) << "RISETIME" << 1e-6 << 2e-6 << 12;
        QTest::newRow("PERIOD") << int(MeasPeriod) << "PERIOD" << 1e-6 << 2e-6 << 14;
        QTest::newRow("PWIDTH") << int(MeasPWidthPos) << "PWIDTH" << 1e-4 << 2e-4 << 15;
        QTest::newRow("NWIDTH") << int(MeasPWidthNeg) << "NWIDTH" << 1e-4 << 2e-4 << 16;
        QTest::newRow("OVERSHOOT") << int(MeasVover) << "OVERSHOOT" << 0.05 << 0.1 << 9;
        QTest::newRow("PRESHOOT") << int(MeasVpre) << "PRESHOOT" << 0.05 << 0.1 << 10;
        QTest::newRow("NDUTYCYCLE") << int(MeasDutyNeg) << "NDUTYCYCLE" << 0.4 << 0.6 << 18;
    }
    void newMeasureItemLimits()
    {
        QFETCH(int, index);
        QFETCH(QString, word);
        QFETCH(double, under);
        QFETCH(double, over);
        QFETCH(int, row);
        MeasDoc m = usedMeasDoc();
        m.Items[index].Enabled = true;
        m.Items[index].Under = -5;
        m.Items[index].Value = QStringLiteral("2.00V");
        m.HasData = true;
        m.setNewItemDefaults();
        QVERIFY(!m.HasData);
        QVERIFY(!m.Items[index].Enabled);
        QCOMPARE(m.Items[index].Under, under);
        QCOMPARE(m.Items[index].Over, over);
        QCOMPARE(m.Items[index].Value, QStringLiteral("2.00V")); // readings are not touched
        const MeasDefinition *def = measDefinition(index);
        QVERIFY(def);
        QCOMPARE(QString::fromLatin1(def->instrumentWord), word);
        QCOMPARE(def->row, row);
    }

    void measDefinitionsCoverEveryRowOnce()
    {
        QCOMPARE(int(MeasCount), 18);
        QCOMPARE(MeasTable::size(), 18);
        QList<int> rows, images;
        for (int i = 0; i < MeasCount; ++i) {
            rows << measDefinition(i)->row;
            images << measDefinition(i)->image;
        }
        std::sort(rows.begin(), rows.end());
        std::sort(images.begin(), images.end());
        QList<int> oneTo18;
        for (int i = 1; i <= 18; ++i)
            oneTo18 << i;
        QCOMPARE(rows, oneTo18);
        QCOMPARE(images, oneTo18);
        QVERIFY(!measDefinition(-1));
        QVERIFY(!measDefinition(18));
    }

    void measTableCopiesAreIndependent()
    {
        MeasDoc m = usedMeasDoc();
        MeasTable copy = m.Items;
        copy[MeasVrms].Over = 9.0;
        copy[MeasVrms].Value = QStringLiteral("edited");
        QCOMPARE(m.Items[MeasVrms].Over, 0.2);
        QCOMPARE(m.Items[MeasVrms].Value, QStringLiteral("1.23V"));
        m.Items = copy;
        QCOMPARE(m.Items[MeasVrms].Over, 9.0);
    }

    void sheetSlotsAndLimits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("items");
        QTest::newRow("waveform") << int(SheetItemKind::Wave) << 18 << 16;
        QTest::newRow("measure") << int(SheetItemKind::Measure) << 18 << 16;
        QTest::newRow("data table") << int(SheetItemKind::Data) << 18 << 16;
        QTest::newRow("record") << int(SheetItemKind::Replay) << 5 << 4;
        QTest::newRow("memory waveform") << int(SheetItemKind::StoredWave) << 4 << 3;
    }
    void sheetSlotsAndLimits()
    {
        QFETCH(int, kind);
        QFETCH(int, slotCount);
        QFETCH(int, items);
        const auto k = SheetItemKind(kind);
        DataSheet &sheet = app().Sheet;
        QCOMPARE(DataSheet::slotCount(k), slotCount);
        QCOMPARE(DataSheet::maxItems(k), items);

        // The arrays themselves have the slot count.
        const int arraySizes[] = {int(sheet.WaveDocs.size()), int(sheet.MeasDocs.size()),
                                  int(sheet.DataDocs.size()), int(sheet.Replays.size()),
                                  int(sheet.StoredWaves.size())};
        const int windowSizes[] = {int(sheet.WaveForms.size()), int(sheet.MeasureForms.size()),
                                   int(sheet.DataForms.size()), int(sheet.ReplayForms.size()),
                                   int(sheet.StoredWaveForms.size())};
        QCOMPARE(arraySizes[kind], slotCount);
        QCOMPARE(windowSizes[kind], slotCount);

        qint16 *counts[] = {&sheet.WaveDocCount, &sheet.MeasDocCount, &sheet.DataDocCount,
                            &sheet.ReplayCount, &sheet.StoredWaveCount};
        *counts[kind] = qint16(items - 1);
        QVERIFY(sheet.hasRoom(k));
        *counts[kind] = qint16(items);
        QVERIFY(!sheet.hasRoom(k));
        QCOMPARE(sheet.count(k), items);
        *counts[kind] = -1; // a damaged count never offers a slot
        QVERIFY(!sheet.hasRoom(k));
    }

    void sheetResetsToTheStartState()
    {
        DataSheet &sheet = app().Sheet;
        sheet.Path = QStringLiteral("/tmp/a.kvd");
        sheet.Name = QStringLiteral("a");
        sheet.Modified = true;
        sheet.WaveDocs[17] = usedWaveDoc();
        sheet.WaveDocCount = 16;
        sheet.MeasDocs[2] = usedMeasDoc();
        sheet.Replays[4] = usedReplay();
        sheet.StoredWaves[3] = usedStoredWave();
        sheet.ReplayCount = 4;
        auto window = std::make_unique<QWidget>();
        sheet.DataForms[5] = window.get();

        resetApp();
        const DataSheet &fresh = app().Sheet;
        QVERIFY(fresh.Path.isEmpty() && fresh.Name.isEmpty() && !fresh.Modified);
        for (auto k : {SheetItemKind::Wave, SheetItemKind::Measure, SheetItemKind::Data,
                       SheetItemKind::Replay, SheetItemKind::StoredWave})
            QCOMPARE(fresh.count(k), 0);
        QVERIFY(fresh.WaveDocs[17] == WaveDoc{});
        QVERIFY(fresh.MeasDocs[2] == MeasDoc{});
        QVERIFY(fresh.Replays[4] == ReplayInfo{});
        QVERIFY(fresh.StoredWaves[3] == StoredWave{});
        QVERIFY(fresh.DataForms[5].isNull());
        QVERIFY(fresh.SheetNode == nullptr && fresh.RootNode == nullptr);

        // reset() on the record itself does the same.
        app().Sheet.WaveDocCount = 3;
        app().Sheet.Modified = true;
        app().Sheet.reset();
        QCOMPARE(app().Sheet.WaveDocCount, qint16(0));
        QVERIFY(!app().Sheet.Modified);
    }

    void windowReferenceEmptiesWhenItsWindowGoes()
    {
        auto window = std::make_unique<QWidget>();
        app().Sheet.WaveForms[0] = window.get();
        QVERIFY(!app().Sheet.WaveForms[0].isNull());
        window.reset();
        QVERIFY(app().Sheet.WaveForms[0].isNull());
    }

    void removalShiftCopiesWholeRecords()
    {
        // Moving a record down a slot is one assignment; the vacated slot
        // keeps a copy until something overwrites it.
        DataSheet &sheet = app().Sheet;
        sheet.MeasDocs[1] = usedMeasDoc();
        sheet.MeasDocs[0] = sheet.MeasDocs[1];
        sheet.MeasDocs[1].HasData = false;
        QCOMPARE(sheet.MeasDocs[0].Items[MeasVrms].Value, QStringLiteral("1.23V"));
        QVERIFY(sheet.MeasDocs[0].HasData);
        QCOMPARE(sheet.MeasDocs[1].Items[MeasVrms].Value, QStringLiteral("1.23V"));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
