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
#include "texts/loadlanguage.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
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
        QVERIFY2(sum <= inside && sum >= inside - 13 - 5,
                 qPrintable(QStringLiteral("%1: columns %2 of %3 px").arg(QLatin1String(when)).arg(sum).arg(inside)));
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
        QTest::addColumn<int>("nameWidth");
        QTest::newRow("wide: equal columns") << 1200 << 80;
        QTest::newRow("design size, English") << 340 << 78;
        QTest::newRow("design size, Chinese") << 340 << 40;
        QTest::newRow("narrow") << 200 << 78;
        QTest::newRow("nothing") << 0 << 78;
    }
    void columnLayout()
    {
        QFETCH(int, width);
        QFETCH(int, nameWidth);
        const MeasColumnLayout l = measColumnLayout(width, nameWidth);
        const int room = std::max(0, width - 13);
        int sum = 0;
        for (int w : l.widths) {
            QVERIFY(w >= 0);
            sum += w;
        }
        QVERIFY(sum <= room);
        QVERIFY(sum >= room - 4);
        QVERIFY(l.pictureWidth >= 28 && l.pictureWidth <= 56);
        QCOMPARE(l.pictureHeight, (20 * l.pictureWidth + 28) / 56);
        // The other four are equal; the name fits beside the picture whenever
        // two fifths of the room hold it.
        for (int c = 2; c < 5; ++c)
            QCOMPARE(l.widths[size_t(c)], l.widths[1]);
        if (28 + 10 + nameWidth <= room * 2 / 5)
            QVERIFY(l.widths[0] >= l.pictureWidth + 10 + nameWidth);
        if (room / 5 >= 56 + 10 + nameWidth) {
            QCOMPARE(l.widths[0], room / 5);
            QCOMPARE(l.pictureWidth, 56);
        }
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
};

QTEST_MAIN(TestMeasureView)
#include "tst_measureview.moc"
