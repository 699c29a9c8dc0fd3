// New item windows in the main window's item area: at least their design
// size, wholly inside the area, cascaded, never smaller than the size at which
// their controls stand apart.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "replay/frmrecordplay.h"
#include "workspace/itemplacement.h"
#include "shell/shellfixture.h"
#include "storedwave/frmopenwaveform.h"

#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

namespace {

// Pairs of visible controls that overlap, among the direct children of w and
// of every frame inside it (the insides of lists and scroll areas excluded).
QStringList overlaps(QWidget *w)
{
    QStringList found;
    QList<QWidget *> parents{w};
    for (QWidget *d : w->findChildren<QWidget *>())
        if ((qobject_cast<QFrame *>(d) || qobject_cast<QGroupBox *>(d)) && !qobject_cast<QAbstractScrollArea *>(d)
            && !qobject_cast<QAbstractScrollArea *>(d->parentWidget()))
            parents << d;
    for (QWidget *p : parents) {
        QList<QWidget *> kids;
        for (QWidget *k : p->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (k->isVisibleTo(w) && !k->geometry().isEmpty())
                kids << k;
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                if (kids[i]->geometry().intersects(kids[j]->geometry()))
                    found << kids[i]->objectName() + QLatin1Char('/') + kids[j]->objectName();
    }
    return found;
}

} // namespace

class TestItemPlacement : public QObject {
    Q_OBJECT

    static void checkInside(QMdiSubWindow *sub, const char *what)
    {
        const QRect area = sub->mdiArea()->viewport()->rect();
        QVERIFY2(area.contains(sub->geometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                .arg(QLatin1String(what))
                                .arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())
                                .arg(area.width()).arg(area.height())));
    }

private slots:
    void rectInTheArea_data()
    {
        QTest::addColumn<QSize>("want");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("others");
        QTest::addColumn<QRect>("expected");
        const QRect area(0, 0, 1000, 700);
        QTest::newRow("first") << QSize(400, 380) << QSize(200, 150) << area << 0 << QRect(0, 0, 400, 380);
        QTest::newRow("cascaded") << QSize(400, 380) << QSize(200, 150) << area << 2 << QRect(48, 48, 400, 380);
        QTest::newRow("cascade starts again") << QSize(400, 380) << QSize(200, 150) << area << 9
                                              << QRect(24, 24, 400, 380);
        QTest::newRow("moved back in") << QSize(900, 650) << QSize(200, 150) << area << 5 << QRect(100, 50, 900, 650);
        QTest::newRow("area smaller") << QSize(700, 560) << QSize(460, 280) << QRect(0, 0, 600, 400) << 3
                                      << QRect(0, 0, 600, 400);
        QTest::newRow("area below the minimum") << QSize(700, 560) << QSize(460, 280) << QRect(0, 0, 300, 200) << 1
                                                << QRect(0, 0, 460, 280);
    }
    void rectInTheArea()
    {
        QFETCH(QSize, want);
        QFETCH(QSize, minimum);
        QFETCH(QRect, area);
        QFETCH(int, others);
        QFETCH(QRect, expected);
        QCOMPARE(itemWindowRect(want, minimum, area, others), expected);
    }

    // Tiled windows fill the area in one line where their minimums let
    // them, wrap into more lines where one line is too short, and reach
    // beyond the area only when no arrangement fits.
    void tiles_data()
    {
        QTest::addColumn<QList<QSize>>("minimums");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("sideBySide");
        QTest::addColumn<QList<QRect>>("expected");
        const QSize small(100, 50);
        QTest::newRow("equal columns") << QList<QSize>{small, small, small} << QRect(0, 0, 900, 600) << true
                                       << QList<QRect>{{0, 0, 300, 600}, {300, 0, 300, 600}, {600, 0, 300, 600}};
        QTest::newRow("odd pixels to the first") << QList<QSize>{small, small} << QRect(0, 0, 901, 600) << true
                                                 << QList<QRect>{{0, 0, 451, 600}, {451, 0, 450, 600}};
        QTest::newRow("a wide one keeps its minimum")
            << QList<QSize>{small, {500, 50}, small} << QRect(0, 0, 900, 600) << true
            << QList<QRect>{{0, 0, 200, 600}, {200, 0, 500, 600}, {700, 0, 200, 600}};
        QTest::newRow("a high one keeps its minimum")
            << QList<QSize>{{100, 400}, small} << QRect(0, 0, 900, 600) << false
            << QList<QRect>{{0, 0, 900, 400}, {0, 400, 900, 200}};
        QTest::newRow("columns too wide wrap into two lines")
            << QList<QSize>{{262, 238}, {454, 208}, {389, 218}} << QRect(0, 0, 965, 640) << true
            << QList<QRect>{{0, 0, 483, 320}, {483, 0, 482, 320}, {0, 320, 965, 320}};
        QTest::newRow("rows too high wrap into two lines")
            << QList<QSize>{{100, 300}, {100, 300}, {100, 300}} << QRect(0, 0, 800, 700) << false
            << QList<QRect>{{0, 0, 400, 350}, {0, 350, 400, 350}, {400, 0, 400, 700}};
        QTest::newRow("nothing fits: one line beyond the area")
            << QList<QSize>{{600, 50}, {600, 500}} << QRect(0, 0, 700, 400) << true
            << QList<QRect>{{0, 0, 600, 400}, {600, 0, 600, 500}};
        QTest::newRow("the area's corner") << QList<QSize>{small} << QRect(10, 20, 300, 200) << true
                                           << QList<QRect>{{10, 20, 300, 200}};
    }
    void tiles()
    {
        QFETCH(QList<QSize>, minimums);
        QFETCH(QRect, area);
        QFETCH(bool, sideBySide);
        QFETCH(QList<QRect>, expected);
        QCOMPARE(tiledRects(minimums, area, sideBySide), expected);
    }

    void newWindowsOpenAtTheirDesignSizeInsideTheArea()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(1600, 1000);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);

        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Replay);
        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Replay);
        AddNewItem(SheetItemKind::StoredWave);
        f.clock.advance(600);
        QCoreApplication::processEvents();
        const QList<QWidget *> windows{measureWindow(0), ReplayWindow(0), measureWindow(1), ReplayWindow(1),
                                       StoredWaveWindow(0)};
        QList<QPoint> corners;
        for (QWidget *win : windows) {
            QVERIFY(win);
            auto *sub = qobject_cast<QMdiSubWindow *>(win->parentWidget());
            QVERIFY(sub);
            checkInside(sub, qPrintable(win->objectName()));
            QVERIFY(!corners.contains(sub->pos())); // cascaded, not on top of each other
            corners << sub->pos();
            // At least the design size, and no smaller than its minimum.
            const QSize design = qobject_cast<frmMeasure *>(win)       ? QSize(376, 346)
                                 : qobject_cast<frmOpenWaveform *>(win) ? QSize(812, 569)
                                                                        : QSize(640, 520);
            QVERIFY2(win->width() >= design.width() && win->height() >= design.height(),
                     qPrintable(QStringLiteral("%1 opened at %2x%3").arg(win->objectName()).arg(win->width()).arg(win->height())));
            QVERIFY2(overlaps(win).isEmpty(), qPrintable(overlaps(win).join(QStringLiteral(", "))));

            // Made as small as its frame allows, its controls still stand apart.
            sub->resize(1, 1);
            QCoreApplication::processEvents();
            QVERIFY(sub->width() > 1 && sub->height() > 1);
            QVERIFY2(overlaps(win).isEmpty(), qPrintable(overlaps(win).join(QStringLiteral(", "))));
        }
        w->close();
    }

    void aSmallAreaKeepsTheWindowInside()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(900, 640);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::Replay);
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        QCoreApplication::processEvents();
        for (QWidget *win : QList<QWidget *>{ReplayWindow(0), measureWindow(0)}) {
            QVERIFY(win);
            auto *sub = qobject_cast<QMdiSubWindow *>(win->parentWidget());
            QVERIFY(sub);
            checkInside(sub, qPrintable(win->objectName()));
            QVERIFY(overlaps(win).isEmpty());
        }
        w->close();
    }
};

QTEST_MAIN(TestItemPlacement)
#include "tst_itemplacement.moc"
