// The data table window's rules that need no window: the channel options
// following the instrument, the request a load makes, the column widths, and
// the rows the table model shows.

#include "wave/datatable.h"
#include "wave/datatablemodel.h"

#include <QtTest>

using Flags = std::array<bool, DataChannelCount>;
Q_DECLARE_METATYPE(Flags)

namespace {
DataChannelOptions options(Flags enabled, Flags selected)
{
    DataChannelOptions o;
    o.enabled = enabled;
    o.selected = selected;
    return o;
}
} // namespace

class TestDataTable : public QObject {
    Q_OBJECT

private slots:
    void channelWords()
    {
        for (int i = 0; i < DataChannelCount; ++i)
            QCOMPARE(dataChannelOfWord(dataChannelWord(i)), i);
        QCOMPARE(dataChannelWord(DataLA), QStringLiteral("LA"));
        QCOMPARE(dataChannelOfWord(QString()), -1);
        QCOMPARE(dataChannelOfWord(QStringLiteral("ch1")), -1); // stored words are exact
        QCOMPARE(dataChannelWord(3), QString());
    }

    void followDisplayStates_data()
    {
        QTest::addColumn<Flags>("on");
        QTest::addColumn<Flags>("enabledBefore");
        QTest::addColumn<Flags>("selectedBefore");
        QTest::addColumn<Flags>("enabled");
        QTest::addColumn<Flags>("selected");
        const Flags all{true, true, true}, none{false, false, false};
        QTest::newRow("all on, nothing chosen: CH1") << all << none << none << all << Flags{true, false, false};
        QTest::newRow("all on keeps LA") << all << all << Flags{false, false, true} << all << Flags{false, false, true};
        QTest::newRow("all off") << none << all << Flags{false, true, false} << none << none;
        QTest::newRow("CH2 switched on") << Flags{false, true, false} << none << none << Flags{false, true, false}
                                         << Flags{false, true, false};
        QTest::newRow("CH1 off moves to CH2") << Flags{false, true, true} << all << Flags{true, false, false}
                                              << Flags{false, true, true} << Flags{false, true, false};
        // Only the logic channels shown: the (hidden) LA option is chosen.
        QTest::newRow("LA only") << Flags{false, false, true} << all << Flags{true, false, false}
                                 << Flags{false, false, true} << Flags{false, false, true};
        // The options are taken in order: CH1 and CH2 see LA still chosen and
        // stay unchosen; LA then goes off. The next tick chooses CH1.
        QTest::newRow("LA off leaves a tick without choice")
            << Flags{true, true, false} << all << Flags{false, false, true} << Flags{true, true, false} << none;
    }
    void followDisplayStates()
    {
        QFETCH(Flags, on);
        QFETCH(Flags, enabledBefore);
        QFETCH(Flags, selectedBefore);
        QFETCH(Flags, enabled);
        QFETCH(Flags, selected);
        const DataChannelOptions after = ::followDisplayStates(options(enabledBefore, selectedBefore), on);
        QCOMPARE(after.enabled, enabled);
        QCOMPARE(after.selected, selected);
    }

    void secondTickChoosesAfterAGap()
    {
        DataChannelOptions o = options({true, true, true}, {false, false, true});
        o = ::followDisplayStates(o, {true, true, false});
        QCOMPARE(o.firstSelected(), -1);
        o = ::followDisplayStates(o, {true, true, false});
        QCOMPARE(o.firstSelected(), int(DataCH1));
    }

    void selectingIsExclusive()
    {
        DataChannelOptions o;
        o.select(DataCH2);
        o.select(DataLA);
        QCOMPARE(o.selected, (Flags{false, false, true}));
        QCOMPARE(o.firstSelected(), int(DataLA));
    }

    void requestKind_data()
    {
        QTest::addColumn<Flags>("enabled");
        QTest::addColumn<Flags>("selected");
        QTest::addColumn<int>("kind");
        const Flags all{true, true, true};
        QTest::newRow("CH1") << all << Flags{true, false, false} << 3;
        QTest::newRow("CH2") << all << Flags{false, true, false} << 4;
        QTest::newRow("LA with both analog channels off") << Flags{false, false, true} << Flags{false, false, true} << 5;
        QTest::newRow("chosen but disabled") << Flags{true, false, false} << Flags{false, true, false} << 0;
        QTest::newRow("nothing chosen") << all << Flags{false, false, false} << 0;
    }
    void requestKind()
    {
        QFETCH(Flags, enabled);
        QFETCH(Flags, selected);
        QFETCH(int, kind);
        QCOMPARE(dataRequestKind(options(enabled, selected)), kind);
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("voltage");
        QTest::newRow("540") << 540 << 100 << 200 << 200;
        QTest::newRow("353") << 353 << 63 << 125 << 125; // 313 / 5 = 62.6
        QTest::newRow("margin only") << 40 << 0 << 0 << 0;
        QTest::newRow("narrower than the margin") << 12 << 0 << 0 << 0;
    }
    void columnWidths()
    {
        QFETCH(int, table);
        QFETCH(int, number);
        QFETCH(int, time);
        QFETCH(int, voltage);
        const std::array<int, 3> w = dataColumnWidths(table);
        QCOMPARE(w[0], number);
        QCOMPARE(w[1], time);
        QCOMPARE(w[2], voltage);
    }

    // --- the model -----------------------------------------------------------

    void emptyTableHasNumberedRows()
    {
        DataTableModel m;
        m.showEmpty();
        QCOMPARE(m.rowCount(), 1000);
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(m.cell(0, 0), QStringLiteral("1"));
        QCOMPARE(m.cell(999, 0), QStringLiteral("1000"));
        QCOMPARE(m.cell(999, 1), QString());
        QCOMPARE(m.cell(0, 2), QString());
        QCOMPARE(m.cell(1000, 0), QString());
        QVERIFY(!m.index(0, 0).parent().isValid());
        QCOMPARE(m.rowCount(m.index(0, 0)), 0); // a table, not a tree
    }

    void rowsComeFromElementOneOn()
    {
        DataTableModel m;
        QStringList time{"stale", "t1", "t2", "t3", "beyond"};
        const QStringList value{"stale", "v1", "v2"};
        m.showRows(3, time, value);
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("t1"));
        QCOMPARE(m.data(m.index(1, 2)).toString(), QStringLiteral("v2"));
        QCOMPARE(m.cell(2, 0), QStringLiteral("3"));
        QCOMPARE(m.cell(2, 2), QString()); // the array ends before row 3
        QVERIFY(!m.data(m.index(0, 1), Qt::EditRole).isValid());
        // The table keeps what it was filled with.
        time[1] = QStringLiteral("changed");
        QCOMPARE(m.cell(0, 1), QStringLiteral("t1"));
        m.showRows(-4, time, value);
        QCOMPARE(m.rowCount(), 0);
    }

    void headers()
    {
        DataTableModel m;
        QSignalSpy spy(&m, &QAbstractItemModel::headerDataChanged);
        m.setHeaderText(1, QStringLiteral("Time[S]"));
        m.setHeaderText(3, QStringLiteral("none"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Time[S]"));
        QVERIFY(!m.headerData(1, Qt::Vertical).isValid());
        QCOMPARE(m.headerText(3), QString());
    }
};

QTEST_GUILESS_MAIN(TestDataTable)
#include "tst_datatable.moc"
