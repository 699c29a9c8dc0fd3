// Items added, removed and restored through the Data Browser reach their
// windows in the loaded main window.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "replay/frmrecordplay.h"
#include "shell/shellfixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

class TestItemWindows : public QObject {
    Q_OBJECT
private slots:
    void measureAndRecordItemsGetTheirWindows()
    {
        ShellFixture f;
        auto w = f.loadMain();
        QVERIFY(DataSheetIsOpen());

        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Replay);
        f.clock.advance(600); // the windows' first state tick marks them open
        QCOMPARE(app().Sheet.MeasDocCount, qint16(2));
        QVERIFY(measureWindow(0) && measureWindow(1));
        QVERIFY(ReplayWindow(0));
        QVERIFY(app().Sheet.MeasDocs[0].WindowOpen && app().Sheet.MeasDocs[1].WindowOpen);
        // They live in the main window's item area.
        QCOMPARE(w->mdiArea()->subWindowList().size(), 3);

        // Renaming reaches the window's caption.
        const QString second = app().Sheet.MeasDocs[1].Name;
        QVERIFY(measureWindow(1)->windowTitle().contains(second));

        // Removing the first measure item closes one window; the second item
        // moves into slot 0 with its window.
        QVERIFY(RemoveMeasureItem(0));
        QCOMPARE(app().Sheet.MeasDocCount, qint16(1));
        QCOMPARE(app().Sheet.MeasDocs[0].Name, second);
        QVERIFY(measureWindow(0));
        QVERIFY(measureWindow(0)->windowTitle().contains(second));
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 2);
    }

    void savedSheetReopensItsWindows()
    {
        ShellFixture f;
        auto w = f.loadMain();
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        QVERIFY(app().Sheet.MeasDocs[0].WindowOpen);
        const QString path = f.dir.filePath(QStringLiteral("items.kvd"));
        f.fakeUi.answerFile(path);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        CloseAllItems();
        QTRY_VERIFY(!measureWindow(0));
        OpenDataSheet(path);
        QCOMPARE(app().Sheet.MeasDocCount, qint16(1));
        QVERIFY(measureWindow(0));
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);
    }
};

QTEST_MAIN(TestItemWindows)
#include "tst_itemwindows.moc"
