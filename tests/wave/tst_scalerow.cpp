// A row of scale texts laid out so that none runs into another: texts keep
// their places while they fit, move right for the text before them, and give
// way by rank (shortened with "…", or left out) when the row is too narrow.
// Widths are 6 pixels a character, so that every place can be worked out.

#include "wave/scalerow.h"

#include <QtTest>

#include <algorithm>

namespace {

double sixEach(const QString &text, bool) { return 6.0 * double(text.size()); }

// "text@x" for each text, "-" for one left out.
QStringList shown(const QList<ScaleRowPlace> &row)
{
    QStringList out;
    for (const ScaleRowPlace &p : row)
        out << (p.text.isEmpty() ? QStringLiteral("-") : p.text + u'@' + QString::number(p.x));
    return out;
}

} // namespace

class TestScaleRow : public QObject {
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<QStringList>("texts"); // "text@x#rank"
        QTest::addColumn<double>("right");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all fit where they stand") << QStringList{"aaaa@0#0", "bb@40#1"} << 100.0
                                                  << QStringList{"aaaa@0", "bb@40"};
        QTest::newRow("a text moves right for the one before it")
            << QStringList{"aaaa@0#0", "bb@20#1"} << 100.0 << QStringList{"aaaa@0", "bb@30"};
        QTest::newRow("order by place, not by the order given")
            << QStringList{"bb@20#1", "aaaa@0#0"} << 100.0 << QStringList{"bb@30", "aaaa@0"};
        QTest::newRow("the lower rank is shortened where it overflows")
            << QStringList{"aaaa@0#0", "bbbbbbbb@20#1"} << 60.0 << QStringList{"aaaa@0", "bbbb…@30"};
        QTest::newRow("too little room even for four characters: left out")
            << QStringList{"aaaa@0#0", "bbbbbbbb@20#1"} << 55.0 << QStringList{"aaaa@0", "-"};
        QTest::newRow("the lower rank gives way even on the left")
            << QStringList{"bbbbbbbb@0#1", "aaaa@36#0"} << 60.0 << QStringList{"bbbb…@0", "aaaa@36"};
        QTest::newRow("the middle one gives way, the others keep their places")
            << QStringList{"aaaa@0#0", "cccccccccc@30#2", "bbbbb@70#1"} << 100.0
            << QStringList{"aaaa@0", "cccc…@30", "bbbbb@70"};
        QTest::newRow("equal ranks: the rightmost gives way")
            << QStringList{"aaaaa@0#1", "bbbbb@20#1"} << 60.0 << QStringList{"aaaaa@0", "-"};
        QTest::newRow("one text alone is shortened to the edge")
            << QStringList{"aaaaaaaaaa@10#0"} << 52.0 << QStringList{"aaaaaa…@10"};
        QTest::newRow("empty row") << QStringList{} << 10.0 << QStringList{};
    }
    void layout()
    {
        QFETCH(QStringList, texts);
        QFETCH(double, right);
        QFETCH(QStringList, expected);
        QList<ScaleRowText> row;
        for (const QString &t : texts) {
            const QStringList a = t.split(u'@');
            const QStringList b = a[1].split(u'#');
            row.append({a[0], b[0].toDouble(), b[1].toInt(), false});
        }
        const QList<ScaleRowPlace> placed = LayOutScaleRow(row, right, sixEach);
        QCOMPARE(shown(placed), expected);
        // Whatever the case: a gap between neighbours, nothing past the edge.
        QList<ScaleRowPlace> kept;
        for (const ScaleRowPlace &p : placed)
            if (!p.text.isEmpty())
                kept << p;
        std::sort(kept.begin(), kept.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
        for (qsizetype i = 0; i < kept.size(); ++i) {
            QVERIFY(kept[i].x + sixEach(kept[i].text, false) <= right);
            if (i > 0)
                QVERIFY(kept[i - 1].x + sixEach(kept[i - 1].text, false) + ScaleTextGap <= kept[i].x);
        }
    }

    void elide_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << "abcdef" << 36.0 << "abcdef";
        QTest::newRow("one short") << "abcdef" << 35.0 << "abcd…";
        QTest::newRow("four and the ellipsis") << "abcdefgh" << 30.0 << "abcd…";
        QTest::newRow("less than four") << "abcdefgh" << 29.0 << "";
    }
    void elide()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(QString, expected);
        QCOMPARE(ElideScaleText(text, width, false, sixEach), expected);
    }
};

QTEST_GUILESS_MAIN(TestScaleRow)
#include "tst_scalerow.moc"
