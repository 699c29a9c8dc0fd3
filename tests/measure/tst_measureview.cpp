// The measurement table as a first session meets it in the main window: the
// eighteen pictures can be told apart, each row names its measurement in a
// tooltip, and the columns follow the list's width on opening, maximising,
// re-activation from the Data Browser and a language switch, with the names
// readable at the window's design size.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "measure/measurepictures.h"
#include "measure/meastable.h"
#include "shell/shellfixture.h"
#include "support/fitcheck.h"
#include "texts/loadlanguage.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>

namespace {

int differingPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// The design size of the window's inside: 5640 x 5190 twips.
const QSize kDesign(376, 346);

} // namespace

class TestMeasureView : public QObject {
    Q_OBJECT

    // Every name shows whole beside its picture, and the five columns fill
    // the list's inside.
    static void checkColumns(frmMeasure *m, const char *when)
    {
        QTreeWidget *v = m->MeasureView;
        const QFontMetrics fm(v->font());
        QCOMPARE(v->topLevelItemCount(), MeasCount);
        for (int r = 0; r < v->topLevelItemCount(); ++r) {
            const QString name = v->topLevelItem(r)->text(0);
            const int need = v->iconSize().width() + fm.horizontalAdvance(name) + 6;
            QVERIFY2(v->columnWidth(0) >= need,
                     qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, the column is %4")
                                    .arg(QLatin1String(when), name).arg(need).arg(v->columnWidth(0))));
        }
        QVERIFY2(v->iconSize().width() >= 28, when);
        int sum = 0;
        for (int c = 0; c < 5; ++c) {
            QVERIFY2(v->columnWidth(c) > 0, when);
            sum += v->columnWidth(c);
        }
        const int inside = v->viewport()->width();
        QVERIFY2(sum >= inside - 13 - 5,
                 qPrintable(QStringLiteral("%1: columns %2 of %3 px").arg(QLatin1String(when)).arg(sum).arg(inside)));
        // Wider than the list: it scrolls sideways to all of them.
        if (sum > inside)
            QVERIFY2(v->horizontalScrollBar()->maximum() >= sum - inside, when);
    }

private slots:
    void picturesCanBeToldApart()
    {
        ShellFixture f;
        QList<QImage> pictures;
        for (int i = 1; i <= MeasCount; ++i) {
            const QImage img = measurePictureImage(i);
            QCOMPARE(img.size(), QSize(56, 20));
            pictures << img;
        }
        QVERIFY(measurePictureImage(0).isNull());
        QVERIFY(measurePictureImage(19).isNull());
        for (int i = 0; i < MeasCount; ++i)
            for (int j = i + 1; j < MeasCount; ++j) {
                const int d = differingPixels(pictures[i], pictures[j]);
                QVERIFY2(d >= 30, qPrintable(QStringLiteral("pictures %1 and %2 differ in %3 pixels only")
                                                 .arg(i + 1).arg(j + 1).arg(d)));
            }
    }

    void columnLayout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("needs");
        QTest::newRow("wide: equal columns") << 1200 << QList<int>{150, 70, 70, 70, 90};
        QTest::newRow("one column needs more") << 600 << QList<int>{200, 70, 70, 70, 90};
        QTest::newRow("just room") << 513 << QList<int>{200, 70, 70, 70, 90};
        QTest::newRow("too narrow: the list scrolls") << 340 << QList<int>{200, 70, 70, 70, 90};
        QTest::newRow("nothing") << 0 << QList<int>{130, 60, 60, 60, 60};
    }
    // Every column at least what it needs; room left over raises the
    // narrowest to one width; the columns fill the room when they fit in it.
    void columnLayout()
    {
        QFETCH(int, width);
        QFETCH(QList<int>, needs);
        std::array<int, 5> n{};
        for (size_t c = 0; c < 5; ++c)
            n[c] = needs[qsizetype(c)];
        const MeasColumnLayout l = measColumnLayout(width, n);
        const int room = std::max(0, width - 13);
        int sum = 0, needed = 0, raised = -1;
        for (size_t c = 0; c < 5; ++c) {
            QVERIFY(l.widths[c] >= n[c]);
            sum += l.widths[c];
            needed += n[c];
            if (l.widths[c] > n[c]) {
                if (raised >= 0)
                    QCOMPARE(l.widths[c], raised);
                raised = l.widths[c];
            }
        }
        for (size_t c = 0; c < 5; ++c)
            if (raised >= 0 && l.widths[c] > raised)
                QCOMPARE(l.widths[c], n[c]); // only columns that need more stand out
        if (needed <= room) {
            QVERIFY(sum <= room);
            QVERIFY(sum >= room - 4);
        } else {
            QCOMPARE(sum, needed);
        }
        QCOMPARE(QSize(l.pictureWidth, l.pictureHeight), QSize(56, 20));
        if (width == 1200)
            QCOMPARE(l.widths[0], room / 5);
    }

    void columnsFollowTheListInTheMainWindow()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(1600, 1000);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *m = measureWindow(0);
        QVERIFY(m);
        QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(m->frame());
        QVERIFY(sub);

        // At the design size of its inside.
        sub->showNormal();
        sub->resize(sub->size() - m->size() + kDesign);
        QCoreApplication::processEvents();
        checkColumns(m, "design size");

        sub->showMaximized();
        QCoreApplication::processEvents();
        checkColumns(m, "maximised");
        QVERIFY(m->MeasureView->columnWidth(1) > 150);

        sub->showNormal();
        QCoreApplication::processEvents();
        checkColumns(m, "restored");

        // Re-activated from the Data Browser (double-click on its node).
        QTreeWidget *tree = app().sheetui.DataSheetTreeCtl;
        QVERIFY(tree);
        tree->setCurrentItem(app().Sheet.MeasDocs[0].Node);
        SetActiveForm();
        QCoreApplication::processEvents();
        checkColumns(m, "activated");

        // The language switch: Chinese names, still whole.
        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(m->MeasureView->topLevelItem(0)->text(0), measNameOfIndex(measIndexOfRow(0)));
        checkColumns(m, "Chinese");
        w->close();
    }

    void rowsNameTheirMeasurementInATooltip_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("English") << 1;
        QTest::newRow("Chinese") << 0;
    }
    void rowsNameTheirMeasurementInATooltip()
    {
        QFETCH(int, lang);
        ShellFixture f(lang);
        auto w = f.loadMain();
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *m = measureWindow(0);
        QVERIFY(m);
        QTreeWidget *v = m->MeasureView;
        QCOMPARE(v->topLevelItemCount(), MeasCount);
        QStringList names;
        for (int r = 0; r < MeasCount; ++r) {
            const QString name = measNameOfIndex(measIndexOfRow(r));
            QVERIFY(!name.isEmpty());
            names << name;
            for (int c = 0; c < 5; ++c)
                QCOMPARE(v->topLevelItem(r)->toolTip(c), name);
        }
        QCOMPARE(names.removeDuplicates(), 0);
        // After a switch the tooltips speak the other language.
        w->action(QLatin1String(lang == 0 ? "mnuLanguageEnglish" : "mnuLanguageChinese"))->trigger();
        for (int r = 0; r < MeasCount; ++r) {
            QCOMPARE(v->topLevelItem(r)->toolTip(0), measNameOfIndex(measIndexOfRow(r)));
            QVERIFY(v->topLevelItem(r)->toolTip(0) != names.at(r));
        }
    }

    // At the size it opens at, in either language, with readings, limits and
    // verdicts shown: no caption or value cut or elided, headers included, and
    // no sideways scrolling. Switched to the other language while the window
    // keeps its opening size, every column still shows whole inside the list
    // (the longer English verdicts included).
    void openingSizeShowsEveryTextWhole_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("switched");
        QTest::newRow("English") << 1 << false;
        QTest::newRow("Chinese") << 0 << false;
        QTest::newRow("Chinese, then English") << 0 << true;
        QTest::newRow("English, then Chinese") << 1 << true;
    }
    void openingSizeShowsEveryTextWhole()
    {
        QFETCH(int, lang);
        QFETCH(bool, switched);
        ShellFixture f(lang);
        auto w = f.loadMain();
        w->resize(1600, 1000);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *m = measureWindow(0);
        QVERIFY(m);
        MeasDoc &d = app().Sheet.MeasDocs[0];
        const char *readings[] = {"1.000kHz", "-2.340V", "100.0us", "12.34%", "-888.8mV", "*"};
        for (int i = 0; i < MeasCount; ++i) {
            d.Items[i].Value = QLatin1String(readings[i % 6]);
            d.Items[i].Enabled = true;
            d.Items[i].Under = i % 3 == 0 ? 100 : -100; // every verdict turns up
            d.Items[i].Over = i % 3 == 1 ? -100 : 100;
        }
        d.HasData = true;
        d.Info = QStringLiteral("CH1");
        m->DispMeasure(0);
        QCoreApplication::processEvents();
        if (switched) {
            const QSize opened = m->size();
            w->action(QLatin1String(lang == 0 ? "mnuLanguageEnglish" : "mnuLanguageChinese"))->trigger();
            QCoreApplication::processEvents();
            QCOMPARE(m->size(), opened);
            QCOMPARE(m->MeasureView->topLevelItem(0)->text(0), measNameOfIndex(measIndexOfRow(0)));
        }
        const QStringList found = fitcheck::clippedTexts(m);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        QString widths;
        for (int c = 0; c < 5; ++c)
            widths += QString::number(m->MeasureView->columnWidth(c)) + QLatin1Char(' ');
        QVERIFY2(m->MeasureView->horizontalScrollBar()->maximum() == 0,
                 qPrintable(QStringLiteral("columns %1in a list %2 px wide").arg(widths).arg(m->MeasureView->viewport()->width())));
        if (switched)
            checkColumns(m, "switched");
        w->close();
    }
};

QTEST_MAIN(TestMeasureView)
#include "tst_measureview.moc"
