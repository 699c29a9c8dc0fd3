// Items added, removed and restored through the Data Browser reach their
// windows in the loaded main window: removals that move a replaying window,
// commands refused while a window's load is on the stack, windows that refuse
// to close, and activation and renaming bringing a window to the front.

#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "replay/frmrecordplay.h"
#include "replay/recordmaker.h"
#include "shell/shellfixture.h"
#include "texts/stringres.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

void select(QTreeWidgetItem *node)
{
    app().sheetui.DataSheetTreeCtl->setCurrentItem(node);
}

// The item windows of the main window's item area, the front one last.
QList<QWidget *> stacking(frmMain &main)
{
    QList<QWidget *> out;
    for (QMdiSubWindow *sub : main.mdiArea()->subWindowList(QMdiArea::StackingOrder))
        out << sub->widget();
    return out;
}

} // namespace

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

    void removingAnEarlierRecordKeepsTheLaterOneReplaying()
    {
        ShellFixture f;
        auto w = f.loadMain();
        AddNewItem(SheetItemKind::Replay);
        AddNewItem(SheetItemKind::Replay);
        f.clock.advance(1);
        frmRecordPlay *later = ReplayWindow(1);
        QVERIFY(later);
        const QString path = f.dir.filePath(QStringLiteral("five.rcd"));
        QVERIFY(writeFile(path, recordFile(basicHeader(5), rawFrames(5, [](int fr, int) { return 20 * fr; }))));
        f.fakeUi.answerFile(path);
        later->findChild<QToolButton *>(QStringLiteral("cmdRun"))->click();
        const ReplayInfo &r = app().Sheet.Replays[0];
        QCOMPARE(app().Sheet.Replays[1].Status, ReplayInfo::Replaying);

        select(app().Sheet.Replays[0].Node);
        RemoveSelected();
        QCOMPARE(app().Sheet.ReplayCount, qint16(1));
        // The same window, bound to the item's new slot, still replaying.
        QCOMPARE(ReplayWindow(0), later);
        QVERIFY(!ReplayWindow(1));
        QCOMPARE(later->slot(), 0);
        QCOMPARE(later->windowTitle(), QStringLiteral("Record1  (") + path + u')');
        f.clock.advance(1); // its start-up tick
        QVERIFY(r.WindowOpen);
        QCOMPARE(r.Status, ReplayInfo::Replaying);
        // Its frame clock kept running: the frames go on.
        QList<int> frames;
        for (int i = 0; i < 3; ++i) {
            f.clock.advance(int(r.Interval * 1000));
            frames << r.CurrentFrame;
        }
        QVERIFY2(frames[0] != frames[1] && frames[1] != frames[2], qPrintable(QString::number(frames[0])));
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);
    }

    void sheetWaitsForAnItemWindowsLoad()
    {
        ShellFixture f;
        auto w = f.loadMain();
        f.useVisa();
        QVERIFY(f.connect());
        app().Settings.CH1Display = word(Word::WordOn);
        app().shell.RefreshType = QStringLiteral("Single");
        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *first = measureWindow(0);
        frmMeasure *second = measureWindow(1);
        QVERIFY(first && second);
        DataSheet &s = app().Sheet;
        const QString missing = f.dir.filePath(QStringLiteral("missing.kvd"));
        bool tried = false;
        setPump([&] {
            // The transfer has ended; the rest of the window's load runs.
            if (!tried && app().measure.MeasBusy && !app().transfer.TransferBusy) {
                tried = true;
                s.Modified = false; // no save question in the way
                select(s.MeasDocs[0].Node);
                RemoveSelected();
                select(s.SheetNode);
                RemoveSelected();
                NewDataSheet();
                OpenDataSheet(missing);
                OpenDataSheetWithDialog();
            }
            f.serial->pumpOnce(f.clock);
        });
        second->cmdRefresh->click();
        QVERIFY(tried);
        // Nothing was removed, closed, replaced or asked.
        QCOMPARE(s.MeasDocCount, qint16(2));
        QVERIFY(DataSheetIsOpen());
        QCOMPARE(s.SheetNode->childCount(), 2);
        QCOMPARE(measureWindow(0), first);
        QCOMPARE(measureWindow(1), second);
        QVERIFY(s.MeasDocs[0].WindowOpen && s.MeasDocs[1].WindowOpen);
        QVERIFY(s.MeasDocs[1].HasData);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(f.fakeUi.fileDialogs().isEmpty());
        // Once the load has returned the same commands work.
        select(s.MeasDocs[0].Node);
        RemoveSelected();
        QCOMPARE(s.MeasDocCount, qint16(1));
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);
    }

    void aWindowThatRefusesToCloseStaysOpen()
    {
        ShellFixture f;
        auto w = f.loadMain();
        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        frmMeasure *m = measureWindow(0);
        app().transfer.TransferBusy = true; // the window refuses to close
        CloseAllItems();
        QCOMPARE(measureWindow(0), m);
        QVERIFY(app().Sheet.MeasDocs[0].WindowOpen);
        app().transfer.TransferBusy = false;
        app().Sheet.MeasDocCount = 1;
        CloseAllItems();
        QVERIFY(!measureWindow(0));
        QVERIFY(!app().Sheet.MeasDocs[0].WindowOpen);
        QTRY_VERIFY(w->mdiArea()->subWindowList().isEmpty());
    }

    void activationAndRenamingBringTheWindowToTheFront()
    {
        ShellFixture f;
        auto w = f.loadMain();
        AddNewItem(SheetItemKind::Replay);
        AddNewItem(SheetItemKind::Replay);
        f.clock.advance(1);
        QWidget *first = ReplayWindow(0);
        QWidget *second = ReplayWindow(1);
        QCOMPARE(stacking(*w).last(), second);
        select(app().Sheet.Replays[0].Node);
        SetActiveForm();
        QCOMPARE(stacking(*w).last(), first);
        QCOMPARE(w->mdiArea()->activeSubWindow()->widget(), first);
        select(app().Sheet.Replays[1].Node);
        QString name = QStringLiteral("Bench");
        ChangeFormName(name);
        QCOMPARE(stacking(*w).last(), second);
        QCOMPARE(second->windowTitle(), QStringLiteral("Bench"));
        // While a transfer runs a rename is refused: the node keeps its name.
        app().transfer.TransferBusy = true;
        select(app().Sheet.Replays[0].Node);
        name = QStringLiteral("Other");
        ChangeFormName(name);
        QCOMPARE(name, QStringLiteral("Record0"));
        QCOMPARE(app().Sheet.Replays[0].Name, QStringLiteral("Record0"));
        QCOMPARE(first->windowTitle(), QStringLiteral("Record0"));
        QCOMPARE(stacking(*w).last(), second);
        app().transfer.TransferBusy = false;
    }
};

QTEST_MAIN(TestItemWindows)
#include "tst_itemwindows.moc"
