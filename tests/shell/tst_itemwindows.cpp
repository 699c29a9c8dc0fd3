// Items added, removed and restored through the Data Browser reach their
// windows in the loaded main window.

#include "common/constants.h"
#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "panel/panelopen.h"
#include "replay/frmrecordplay.h"
#include "replay/recordmaker.h"
#include "shell/itemkinds.h"
#include "shell/shellfixture.h"
#include "texts/stringres.h"
#include "storedwave/frmopenwaveform.h"
#include "storedwave/wavemaker.h"
#include "wave/datatablemodel.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"
#include "wave/wavecanvas.h"
#include "wave/wavetraces.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

namespace {

// The item windows of the main window's item area, the front one last.
QList<QWidget *> stacking(frmMain &main)
{
    QList<QWidget *> out;
    for (QMdiSubWindow *sub : main.mdiArea()->subWindowList(QMdiArea::StackingOrder))
        out << sub->widget();
    return out;
}

// A dialog seam whose file dialog runs a check while it is "open".
class PeekingUi final : public Ui {
public:
    std::function<void()> whileOpen;
    QString path;
    MsgAnswer message(MsgIcon, const QString &, const QString &, MsgButtons) override { return MsgAnswer::Ok; }
    FileDialogResult openFile(const FileDialogRequest &) override
    {
        if (whileOpen)
            whileOpen();
        return {true, path, {}};
    }
    FileDialogResult saveFile(const FileDialogRequest &) override { return {}; }
    InputResult input(const QString &, const QString &, const QString &) override { return {}; }
};

void selectNode(QTreeWidgetItem *node)
{
    app().sheetui.DataSheetTreeCtl->setCurrentItem(node);
}

QTreeWidgetItem *storedNode(int slot)
{
    return app().Sheet.StoredWaves[size_t(slot)].Node;
}

} // namespace

class TestItemWindows : public QObject {
    Q_OBJECT

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static void select(QTreeWidgetItem *node) { app().sheetui.DataSheetTreeCtl->setCurrentItem(node); }

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

    // New memory waveform items, a file opened into one, the item before it
    // removed, a rename, the sheet saved, closed and opened again: the
    // loaded item keeps its window, caption and picture all the way.
    void memoryWaveItemsThroughTheSheetCommands()
    {
        ShellFixture f;
        auto w = f.loadMain();
        DataSheet &s = app().Sheet;
        const QString wfm = f.dir.filePath(QStringLiteral("capture.wfm"));
        WaveSpec spec;
        spec.ch1 = levels(spec.points, [](qint64 i) { return 60 + int(i % 80); });
        QVERIFY(writeWaveFile(wfm, waveFile(spec)));

        AddNewMemoryWave();
        AddNewMemoryWave();
        f.clock.advance(1); // the windows' start-up
        QCOMPARE(s.StoredWaveCount, qint16(2));
        QVERIFY(s.Modified);
        frmOpenWaveform *first = StoredWaveWindow(0);
        frmOpenWaveform *second = StoredWaveWindow(1);
        QVERIFY(first && second);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(first->windowTitle(), QStringLiteral("Memory Wave0"));
        QCOMPARE(storedNode(1)->text(0), QStringLiteral("Memory Wave1"));
        QCOMPARE(storedNode(1)->data(0, Qt::UserRole).toInt(), 7);
        QVERIFY(s.StoredWaves[0].SlotUsed && s.StoredWaves[1].SlotUsed);
        // A new item shows no scales and no alternate time base; its refresh
        // indicator has the colour scheme's colours.
        for (QWidget *c : std::initializer_list<QWidget *>{first->txtCH1Div, first->abtnCH1DivDec, first->lblCH1,
                                                          first->txtCH2Div, first->abtnCH2DivInc, first->lblCH2,
                                                          first->txtTimeDiv, first->abtnTimeDivDec, first->Label4,
                                                          first->framAltTimeDiv})
            QVERIFY2(!c->isVisibleTo(first), qPrintable(c->objectName()));
        QCOMPARE(first->picRefreshProgress->palette().color(QPalette::Window), QColor(0, 0, 0));
        QCOMPARE(first->LblRefreshText->palette().color(QPalette::WindowText), QColor(255, 255, 192));
        QCOMPARE(first->LblRefreshValue->palette().color(QPalette::WindowText), QColor(0, 255, 255));

        // The second item's open button reads the file into it.
        f.fakeUi.answerFile(wfm);
        second->FlatBttn1->click();
        QVERIFY(s.StoredWaves[1].HasData);
        const QString loadedCaption = QStringLiteral("Memory Wave1  (") + wfm + QLatin1Char(')');
        QCOMPARE(second->windowTitle(), loadedCaption);
        QVERIFY(second->txtCH1Div->isVisibleTo(second));
        const QImage loaded = second->picture();
        QVERIFY(!loaded.isNull());
        QVERIFY(loaded != first->picture()); // the trace is drawn

        // Removing the first item: the loaded one moves into slot 0 with its
        // window, caption and picture.
        selectNode(storedNode(0));
        RemoveSelected();
        f.clock.advance(1);
        QCOMPARE(s.StoredWaveCount, qint16(1));
        QVERIFY(StoredWaveWindow(0));
        QVERIFY(!StoredWaveWindow(1));
        QCOMPARE(StoredWaveWindow(0)->windowTitle(), loadedCaption);
        QCOMPARE(StoredWaveWindow(0)->picture(), loaded);
        QVERIFY(s.StoredWaves[0].SlotUsed);
        QVERIFY(!s.StoredWaves[1].HasData);
        QCOMPARE(storedNode(0)->text(0), QStringLiteral("Memory Wave1"));
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 1);

        // A rename keeps the path part of the caption.
        selectNode(storedNode(0));
        QString typed = QStringLiteral("Scope A");
        ChangeFormName(typed);
        QCOMPARE(StoredWaveWindow(0)->windowTitle(), QStringLiteral("Scope A  (") + wfm + QLatin1Char(')'));

        // Saved, the sheet closed and opened again: the same record, caption
        // and picture.
        const StoredWave saved = s.StoredWaves[0];
        const QString kvd = f.dir.filePath(QStringLiteral("memory.kvd"));
        f.fakeUi.answerFile(kvd);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        selectNode(s.SheetNode);
        RemoveSelected();
        QVERIFY(!StoredWaveWindow(0));
        QVERIFY(!s.StoredWaves[0].SlotUsed);
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 0);
        s.StoredWaves[0] = StoredWave{};

        OpenDataSheet(kvd);
        f.clock.advance(1);
        QCOMPARE(s.StoredWaveCount, qint16(1));
        const StoredWave &back = s.StoredWaves[0];
        QCOMPARE(back.Name, QStringLiteral("Scope A"));
        QCOMPARE(back.FilePath, wfm);
        QVERIFY(back.HasData && back.ShowCH1 && !back.ShowCH2);
        QCOMPARE(back.SampleCount, saved.SampleCount);
        QCOMPARE(back.Ch1VoltDiv, saved.Ch1VoltDiv);
        QCOMPARE(back.TimeDiv, saved.TimeDiv);
        QVERIFY(back.Ch1Samples.mid(0, saved.SampleCount) == saved.Ch1Samples.mid(0, saved.SampleCount));
        QVERIFY(StoredWaveWindow(0));
        QCOMPARE(StoredWaveWindow(0)->windowTitle(), QStringLiteral("Scope A  (") + wfm + QLatin1Char(')'));
        QCOMPARE(storedNode(0)->text(0), QStringLiteral("Scope A"));
        QCOMPARE(StoredWaveWindow(0)->picture(), loaded);
        QVERIFY(back.SlotUsed);
        QVERIFY(!s.Modified); // opening windows never marks the sheet
    }

    // While its file dialog is open a memory waveform window tells the sheet
    // it is loading and refuses the sheet's close.
    void memoryWaveWindowRefusesToCloseWhileLoading()
    {
        ShellFixture f;
        auto w = f.loadMain();
        const QString wfm = f.dir.filePath(QStringLiteral("capture.wfm"));
        WaveSpec spec;
        spec.ch1 = levels(spec.points, [](qint64 i) { return 40 + int(i % 100); });
        QVERIFY(writeWaveFile(wfm, waveFile(spec)));
        AddNewMemoryWave();
        f.clock.advance(1);
        frmOpenWaveform *win = StoredWaveWindow(0);
        QVERIFY(win);

        const ItemWindowHooks &hooks = app().sheetui.windows;
        PeekingUi peek;
        peek.path = wfm;
        bool loading = false;
        bool stayed = false;
        peek.whileOpen = [&] {
            loading = hooks.loading(SheetItemKind::StoredWave, 0);
            hooks.close(SheetItemKind::StoredWave, 0);
            stayed = StoredWaveWindow(0) == win;
        };
        setUi(&peek);
        win->OpenWaveformFile();
        setUi(&f.fakeUi);
        QVERIFY(loading);
        QVERIFY(stayed);
        QVERIFY(app().Sheet.StoredWaves[0].HasData); // the load went on into its own item
        QVERIFY(!hooks.loading(SheetItemKind::StoredWave, 0));
        hooks.close(SheetItemKind::StoredWave, 0);
        QVERIFY(!StoredWaveWindow(0));
    }

    // Waveform and data table items through the data sheet's commands: add,
    // rename, close and reopen by a double click, remove, close the sheet.
    void waveAndDataItemWindows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("waveform") << int(SheetItemKind::Wave);
        QTest::newRow("data table") << int(SheetItemKind::Data);
    }
    void waveAndDataItemWindows()
    {
        QFETCH(int, kind);
        const auto k = SheetItemKind(kind);
        ShellFixture f;
        auto main = f.loadMain();
        const ItemKindRow *row = itemKindRow(k);
        QVERIFY(row);
        DataSheet &s = app().Sheet;
        for (int i = 0; i < 3; ++i)
            AddNewItem(k);
        f.clock.advance(600);
        const QString second = itemName(s, k, 1), third = itemName(s, k, 2);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(row->window(i));
            QCOMPARE(row->window(i)->windowTitle(), itemName(s, k, i));
            QVERIFY(itemWindowOpen(s, k, i));
        }
        QCOMPARE(main->mdiArea()->subWindowList().size(), 3);

        // Renaming the first item renames its window.
        select(itemNode(s, k, 0));
        QString name = QStringLiteral("Renamed");
        ChangeFormName(name);
        QCOMPARE(row->window(0)->windowTitle(), name);

        // The second window closed by its frame; a double click opens it again.
        row->window(1)->parentWidget()->close();
        flushDeletes();
        QVERIFY(!row->window(1) && !itemWindowOpen(s, k, 1));
        select(itemNode(s, k, 1));
        SetActiveForm();
        f.clock.advance(600);
        QVERIFY(row->window(1) && itemWindowOpen(s, k, 1));
        QCOMPARE(row->window(1)->windowTitle(), second);

        // Removing the first item: the later ones move down with their windows.
        select(itemNode(s, k, 0));
        RemoveSelected();
        f.clock.advance(600);
        flushDeletes();
        QCOMPARE(s.count(k), 2);
        QCOMPARE(row->window(0)->windowTitle(), second);
        QCOMPARE(row->window(1)->windowTitle(), third);
        QVERIFY(!row->window(2));
        QCOMPARE(main->mdiArea()->subWindowList().size(), 2);

        // Closing the sheet closes every window.
        s.Modified = false;
        select(s.SheetNode);
        RemoveSelected();
        flushDeletes();
        QVERIFY(!row->window(0) && !row->window(1));
        QVERIFY(main->mdiArea()->subWindowList().isEmpty());
    }

    // A double click on an item whose window is open but behind another
    // brings that window to the front and makes it the active one.
    void doubleClickRaisesAnOpenWindow_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("waveform") << int(SheetItemKind::Wave);
        QTest::newRow("measure") << int(SheetItemKind::Measure);
        QTest::newRow("data table") << int(SheetItemKind::Data);
        QTest::newRow("record") << int(SheetItemKind::Replay);
        QTest::newRow("memory waveform") << int(SheetItemKind::StoredWave);
    }
    void doubleClickRaisesAnOpenWindow()
    {
        QFETCH(int, kind);
        const auto k = SheetItemKind(kind);
        ShellFixture f;
        auto main = f.loadMain();
        main->show();
        const ItemKindRow *row = itemKindRow(k);
        QVERIFY(row);
        DataSheet &s = app().Sheet;
        AddNewItem(k);
        AddNewItem(k);
        f.clock.advance(600);
        QVERIFY(row->window(0) && row->window(1));
        QMdiArea *area = main->mdiArea();
        QCOMPARE(area->activeSubWindow(), row->window(1)->parentWidget());
        select(itemNode(s, k, 0));
        SetActiveForm();
        f.clock.advance(600);
        QCOMPARE(area->activeSubWindow(), row->window(0)->parentWidget());
        QCOMPARE(area->subWindowList(QMdiArea::StackingOrder).last(), row->window(0)->parentWidget());
        QCOMPARE(area->subWindowList().size(), 2);
    }

    // A double click applies the window's own texts again: after a switch to
    // Chinese (which gives the open waveform windows the short progress
    // word) the activated window shows its own.
    void doubleClickAppliesTheWindowsTexts()
    {
        ShellFixture f;
        auto main = f.loadMain();
        AddNewItem(SheetItemKind::Wave);
        f.clock.advance(600);
        frmWave *w = waveWindow(0);
        QVERIFY(w);
        main->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        QCOMPARE(w->LblRefreshText->text(), QString::fromUtf8("更新"));
        select(app().Sheet.WaveDocs[0].Node);
        SetActiveForm();
        QCOMPARE(waveWindow(0), w);
        QCOMPARE(w->LblRefreshText->text(), QString::fromUtf8("     更新"));
    }

    // An instrument without the logic channels: every open waveform window
    // hides its LA box (and spaces the other three wider); with them again it
    // shows it.
    void logicChannelsComeAndGo()
    {
        ShellFixture f;
        auto main = f.loadMain();
        app().link.LaPresent = -1;
        AddNewItem(SheetItemKind::Wave);
        AddNewItem(SheetItemKind::Wave);
        f.clock.advance(600);
        auto logicBox = [](int slot) { return waveWindow(slot)->ChkCH[3]->isVisibleTo(waveWindow(slot)); };
        auto step = [](int slot) { return waveWindow(slot)->ChkCH[1]->y() - waveWindow(slot)->ChkCH[0]->y(); };
        const int narrow = step(0);
        QVERIFY(logicBox(0) && logicBox(1));
        SetLAAvailable(false);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!logicBox(i) && !waveWindow(i)->ChkCH[3]->isEnabled());
            QVERIFY(step(i) > narrow);
            QVERIFY(!app().Sheet.WaveDocs[size_t(i)].DigitalLayout);
        }
        SetLAAvailable(true);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(logicBox(i));
            QCOMPARE(step(i), narrow);
            QVERIFY(app().Sheet.WaveDocs[size_t(i)].DigitalLayout);
        }
    }

    // Removing an earlier memory waveform item moves the later window down a
    // slot; the cursors it showed stay shown.
    void movedMemoryWaveWindowKeepsItsCursors()
    {
        ShellFixture f;
        auto main = f.loadMain();
        AddNewMemoryWave();
        AddNewMemoryWave();
        f.clock.advance(1);
        frmOpenWaveform *second = StoredWaveWindow(1);
        QVERIFY(second);
        second->ChkCursorX->click();
        QVERIFY(second->cursors().ShowCursorX);
        selectNode(storedNode(0));
        RemoveSelected();
        f.clock.advance(1);
        flushDeletes();
        frmOpenWaveform *moved = StoredWaveWindow(0);
        QVERIFY(moved);
        QVERIFY(moved->ChkCursorX->isChecked());
        QVERIFY(moved->cursors().ShowCursorX);
        QVERIFY(!moved->ChkCursorY->isChecked() && !moved->cursors().ShowCursorY);
    }

    // A sheet opened over one whose item windows are open (here: the same
    // file): every item comes back with one live window of its own, not a
    // window of the sheet that was closed.
    void openOverOpenWindows_data() { doubleClickRaisesAnOpenWindow_data(); }
    void openOverOpenWindows()
    {
        QFETCH(int, kind);
        const auto k = SheetItemKind(kind);
        ShellFixture f;
        auto main = f.loadMain();
        const ItemKindRow *row = itemKindRow(k);
        QVERIFY(row);
        AddNewItem(k);
        f.clock.advance(600);
        QPointer<QWidget> before = row->window(0);
        QVERIFY(before);
        const QString kvd = f.dir.filePath(QStringLiteral("again.kvd"));
        f.fakeUi.answerFile(kvd);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        OpenDataSheet(kvd);
        f.clock.advance(600);
        flushDeletes();
        f.clock.advance(600);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(app().Sheet.count(k), 1);
        QVERIFY(!before); // the closed sheet's window is gone
        QWidget *now = row->window(0);
        QVERIFY(now);
        QVERIFY(now->isVisibleTo(main.get()));
        QVERIFY(itemWindowOpen(app().Sheet, k, 0));
        QCOMPARE(main->mdiArea()->subWindowList().size(), 1);
    }

    // The source boxes of a waveform window: an add and a double click follow
    // the instrument's logic channels, a reopened sheet what it was saved with.
    // A data table always shows CH1 and CH2 900 twips apart and no LA.
    void channelBoxLayouts()
    {
        ShellFixture f;
        auto main = f.loadMain();
        DataSheet &s = app().Sheet;
        app().link.LaPresent = 0;
        AddNewItem(SheetItemKind::Wave);
        app().link.LaPresent = -1;
        AddNewItem(SheetItemKind::Wave);
        AddNewItem(SheetItemKind::Data);
        f.clock.advance(600);
        auto logicBox = [](int slot) { return waveWindow(slot)->ChkCH[3]->isVisibleTo(waveWindow(slot)); };
        auto step = [](int slot) { return waveWindow(slot)->ChkCH[1]->y() - waveWindow(slot)->ChkCH[0]->y(); };
        QVERIFY(!logicBox(0) && !waveWindow(0)->ChkCH[3]->isEnabled());
        QVERIFY(logicBox(1));
        QVERIFY(step(0) > step(1));
        const frmData *d = dataWindow(0);
        QCOMPARE(d->OptionCH[1]->x() - d->OptionCH[0]->x(), 60);
        QVERIFY(!d->OptionCH[2]->isVisibleTo(d) && !d->OptionCH[2]->isEnabled());

        // Saved while the instrument has logic channels, reopened without.
        const QString path = f.dir.filePath(QStringLiteral("layout.kvd"));
        f.fakeUi.answerFile(path);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        NewDataSheet();
        flushDeletes();
        app().link.LaPresent = 0;
        OpenDataSheet(path);
        f.clock.advance(600);
        QVERIFY(logicBox(0) && logicBox(1));
        QVERIFY(!dataWindow(0)->OptionCH[2]->isVisibleTo(dataWindow(0)));
        // A double click lays the window out for the instrument again.
        select(s.WaveDocs[0].Node);
        SetActiveForm();
        QVERIFY(!logicBox(0));
        QVERIFY(logicBox(1));
        // So does a double click on an item whose window was closed: the new
        // window follows the instrument, not the layout the item had.
        waveWindow(1)->parentWidget()->close();
        flushDeletes();
        QVERIFY(!waveWindow(1));
        select(s.WaveDocs[1].Node);
        SetActiveForm();
        f.clock.advance(600);
        QVERIFY(waveWindow(1));
        QVERIFY(!logicBox(1) && !waveWindow(1)->ChkCH[3]->isEnabled());
        QCOMPARE(step(1), step(0));
    }

    // Refreshed against the simulator, saved, reopened: the windows show the
    // same picture and rows without asking the instrument again.
    void refreshedItemsReopenWithoutARefresh()
    {
        ShellFixture f;
        auto main = f.loadMain();
        f.useVisa();
        f.sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        QVERIFY(f.connect());
        setPump([&] { f.serial->pumpOnce(f.clock); });
        app().shell.RefreshType = QStringLiteral("Single");
        DataSheet &s = app().Sheet;
        AddNewItem(SheetItemKind::Wave);
        AddNewItem(SheetItemKind::Data);
        f.clock.advance(600);
        waveWindow(0)->ChkCH[1]->click();
        waveWindow(0)->cmdRefresh->click();
        dataWindow(0)->cmdRefresh->click();
        QVERIFY(s.WaveDocs[0].HasData && s.DataDocs[0].HasData);
        const QImage picture = waveWindow(0)->picture();
        const int rows = dataWindow(0)->model()->rowCount();
        QCOMPARE(rows, int(s.DataDocs[0].RowCount));
        QStringList cells;
        for (int r = 0; r < rows; ++r)
            cells << dataWindow(0)->model()->cell(r, 1) + u' ' + dataWindow(0)->model()->cell(r, 2);

        const QString path = f.dir.filePath(QStringLiteral("refreshed.kvd"));
        f.fakeUi.answerFile(path);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        NewDataSheet();
        flushDeletes();
        QVERIFY(!waveWindow(0) && !dataWindow(0));
        const qsizetype sent = f.lines().size();
        OpenDataSheet(path);
        f.clock.advance(600);
        QVERIFY(waveWindow(0) && dataWindow(0));
        QCOMPARE(f.lines().size(), sent);
        QCOMPARE(waveWindow(0)->picture(), picture);
        QCOMPARE(dataWindow(0)->model()->rowCount(), rows);
        QStringList reopened;
        for (int r = 0; r < rows; ++r)
            reopened << dataWindow(0)->model()->cell(r, 1) + u' ' + dataWindow(0)->model()->cell(r, 2);
        QCOMPARE(reopened, cells);
        QVERIFY(!s.Modified);
        setPump({});
    }

    // An FFT item keeps its FFT through a language switch, a save in the new
    // language and a reopen in the first one: the trace stays drawn, the FFT
    // block is written and read back as the FFT's (never zeros, never MATH).
    void fftItemSurvivesALanguageSwitch_data()
    {
        QTest::addColumn<int>("refreshLang");
        QTest::addColumn<int>("otherLang");
        QTest::newRow("refreshed in English") << int(LanguageEnglish) << int(LanguageChinese);
        QTest::newRow("refreshed in Chinese") << int(LanguageChinese) << int(LanguageEnglish);
    }
    void fftItemSurvivesALanguageSwitch()
    {
        QFETCH(int, refreshLang);
        QFETCH(int, otherLang);
        ShellFixture f(refreshLang);
        auto main = f.loadMain();
        main->mnuLanguage_Click(refreshLang);
        f.useVisa();
        f.sim.setMathDisplay(true);
        f.sim.setFftDisplay(true);
        f.sim.setFftFullScreen(true);
        QVERIFY(f.connect());
        setPump([&] { f.serial->pumpOnce(f.clock); });
        app().shell.RefreshType = QStringLiteral("Single");
        DataSheet &s = app().Sheet;
        AddNewItem(SheetItemKind::Wave);
        f.clock.advance(600);
        waveWindow(0)->ChkCH[2]->click(); // MATH, which the FFT replaces
        waveWindow(0)->cmdRefresh->click();
        const WaveDoc &d = s.WaveDocs[0];
        QVERIFY(d.HasData && d.DrawMath);
        QCOMPARE(d.FFTDisplay, word(Word::WordOn));
        const QList<qint32> fft = d.FFTRows.mid(1, 512);
        QVERIFY(std::any_of(fft.begin(), fft.end(), [](qint32 r) { return r != 0; }));

        const auto fftDrawn = [&] {
            frmWave *w = waveWindow(0);
            const QList<QPointF> v = fftTraceVertices(s.WaveDocs[0], WaveDrawEnv{w->zoomFactor(), 1});
            int hits = 0;
            for (const QPointF &p : v)
                hits += w->picture().pixelColor(WaveCanvas::pixel(p.x(), p.y())) == MathColor ? 1 : 0;
            return v.size() > 100 && hits > 0.9 * v.size();
        };
        QVERIFY(fftDrawn());

        main->mnuLanguage_Click(otherLang);
        waveWindow(0)->redrawPicture();
        QVERIFY(fftDrawn());

        const QString path = f.dir.filePath(QStringLiteral("fft.kvd"));
        f.fakeUi.answerFile(path);
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        NewDataSheet();
        flushDeletes();
        main->mnuLanguage_Click(refreshLang);
        OpenDataSheet(path);
        f.clock.advance(600);
        QVERIFY(waveWindow(0));
        QCOMPARE(s.WaveDocs[0].FFTRows.mid(1, 512), fft);
        QVERIFY(s.WaveDocs[0].MathRows.mid(1, 512) != fft);
        QVERIFY(fftDrawn());
        QVERIFY(f.fakeUi.messages().isEmpty());
        setPump({});
    }

    // While a window's load waits inside the transfer the data sheet refuses
    // to remove its item, close the sheet, start a new one or open one.
    // (Closing the window itself abandons the load: see the exchange tests.)
    void commandsRefusedWhileAWindowLoads_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("waveform") << int(SheetItemKind::Wave);
        QTest::newRow("data table") << int(SheetItemKind::Data);
    }
    void commandsRefusedWhileAWindowLoads()
    {
        QFETCH(int, kind);
        const auto k = SheetItemKind(kind);
        ShellFixture f;
        auto main = f.loadMain();
        f.useVisa();
        QVERIFY(f.connect());
        app().shell.RefreshType = QStringLiteral("Single");
        DataSheet &s = app().Sheet;
        AddNewItem(k);
        f.clock.advance(600);
        const ItemKindRow *row = itemKindRow(k);
        QWidget *w = row->window(0);
        bool loadingSeen = false, tried = false;
        setPump([&] {
            if (!tried && row->loading(0)) {
                loadingSeen = app().sheetui.windows.loading(k, 0);
                tried = true;
                select(itemNode(s, k, 0));
                RemoveSelected();
                select(s.SheetNode);
                RemoveSelected();
                NewDataSheet();
                OpenDataSheet(f.dir.filePath(QStringLiteral("missing.kvd")));
            }
            f.serial->pumpOnce(f.clock);
        });
        if (k == SheetItemKind::Wave)
            waveWindow(0)->cmdRefresh->click();
        else
            dataWindow(0)->cmdRefresh->click();
        setPump({});
        QVERIFY(tried && loadingSeen);
        QVERIFY(!row->loading(0));
        flushDeletes();
        QCOMPARE(row->window(0), w);
        QCOMPARE(s.count(k), 1);
        QVERIFY(DataSheetIsOpen());
        QVERIFY(itemWindowOpen(s, k, 0));
        QVERIFY(f.fakeUi.messages().isEmpty()); // refused silently
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

    // While a memory waveform window writes its CSV export, the sheet's
    // Remove, New and Open change nothing; afterwards Remove works.
    void sheetWaitsForAStoredViewersExport()
    {
        ShellFixture f;
        auto w = f.loadMain();
        DataSheet &s = app().Sheet;
        const QString wfm = f.dir.filePath(QStringLiteral("capture.wfm"));
        WaveSpec spec;
        spec.points = 2000;
        spec.ch1 = levels(spec.points, [](qint64 i) { return 60 + int(i % 80); });
        QVERIFY(writeWaveFile(wfm, waveFile(spec)));
        AddNewMemoryWave();
        AddNewMemoryWave();
        f.clock.advance(1);
        frmOpenWaveform *first = StoredWaveWindow(0);
        frmOpenWaveform *second = StoredWaveWindow(1);
        QVERIFY(first && second);
        f.fakeUi.answerFile(wfm);
        second->FlatBttn1->click();
        QVERIFY(s.StoredWaves[1].HasData);

        const QString csv = f.dir.filePath(QStringLiteral("export.csv"));
        const QString missing = f.dir.filePath(QStringLiteral("missing.kvd"));
        f.fakeUi.answerFile(csv);
        bool tried = false;
        setPump([&] {
            if (!tried && app().xfer.SaveBusy) {
                tried = true;
                s.Modified = false; // no save question in the way
                selectNode(storedNode(1));
                RemoveSelected();
                selectNode(s.SheetNode);
                RemoveSelected();
                NewDataSheet();
                OpenDataSheet(missing);
                OpenDataSheetWithDialog();
            }
        });
        second->FlatBttn3->click();
        setPump({});
        QVERIFY(tried);
        QVERIFY(QFileInfo(csv).size() > 0);
        QCOMPARE(s.StoredWaveCount, qint16(2));
        QVERIFY(DataSheetIsOpen());
        QCOMPARE(StoredWaveWindow(0), first);
        QCOMPARE(StoredWaveWindow(1), second);
        QVERIFY(s.StoredWaves[1].HasData);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(f.fakeUi.fileDialogs().size(), 2); // the file's Open and the export's Save only
        // The export over, Remove works.
        selectNode(storedNode(1));
        RemoveSelected();
        QCOMPARE(s.StoredWaveCount, qint16(1));
    }

    // Each kind's windows live in its own slots: none outside them, the last
    // slot's window found there and in no other kind, closed through the
    // table.
    void everyKindKeepsToItsOwnSlots_data()
    {
        QTest::addColumn<int>("kindNumber");
        QTest::newRow("wave") << int(SheetItemKind::Wave);
        QTest::newRow("measure") << int(SheetItemKind::Measure);
        QTest::newRow("data") << int(SheetItemKind::Data);
        QTest::newRow("record") << int(SheetItemKind::Replay);
        QTest::newRow("memory wave") << int(SheetItemKind::StoredWave);
    }
    void everyKindKeepsToItsOwnSlots()
    {
        QFETCH(int, kindNumber);
        const auto kind = SheetItemKind(kindNumber);
        ShellFixture f;
        auto w = f.loadMain();
        const ItemKindRow *row = itemKindRow(kind);
        QVERIFY(row);
        const int slotCount = DataSheet::slotCount(kind);
        for (int outside : {-1, slotCount}) {
            row->open(outside);
            QVERIFY(!row->window(outside));
        }
        QVERIFY(w->mdiArea()->subWindowList().isEmpty());

        const int last = slotCount - 1;
        row->open(last);
        f.clock.advance(1);
        QWidget *opened = row->window(last);
        QVERIFY(opened);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        for (const ItemKindRow &other : itemKindRows())
            if (other.kind != kind)
                for (int slot = 0; slot < DataSheet::slotCount(other.kind); ++slot)
                    QVERIFY(other.window(slot) != opened);
        row->open(last); // raised again, not made again
        QCOMPARE(row->window(last), opened);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);

        row->close(last);
        QVERIFY(!row->window(last));
        QTRY_VERIFY(w->mdiArea()->subWindowList().isEmpty());
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

    // Tiled either way, the waveform, measurement and data table windows of a
    // main window of 1200 x 750 share the item area without leaving it: no
    // window reaches past its edge, none covers another and the area needs
    // no scroll bar.
    void tilesFitTheArea_data()
    {
        QTest::addColumn<bool>("sideBySide");
        QTest::newRow("tile vertical") << true;
        QTest::newRow("tile horizontal") << false;
    }
    void tilesFitTheArea()
    {
        QFETCH(bool, sideBySide);
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(1200, 750);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind::Wave);
        AddNewItem(SheetItemKind::Measure);
        AddNewItem(SheetItemKind::Data);
        f.clock.advance(600);
        if (sideBySide)
            w->mnuWindowTileVertical_Click();
        else
            w->mnuWindowTileHorizontal_Click();
        f.clock.advance(600);
        QCoreApplication::processEvents();
        QMdiArea *area = w->mdiArea();
        const QRect inside = area->viewport()->rect();
        const auto subs = area->subWindowList();
        QCOMPARE(subs.size(), 3);
        for (QMdiSubWindow *sub : subs) {
            const QString where = QStringLiteral("%1 at %2,%3 %4x%5 in %6x%7")
                                      .arg(sub->widget()->objectName())
                                      .arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())
                                      .arg(inside.width()).arg(inside.height());
            QVERIFY2(inside.contains(sub->geometry()), qPrintable(where));
            QVERIFY2(sub->width() >= sub->minimumWidth() && sub->height() >= sub->minimumHeight(), qPrintable(where));
            for (QMdiSubWindow *other : subs)
                QVERIFY2(other == sub || !other->geometry().intersects(sub->geometry()), qPrintable(where));
        }
        QVERIFY(!area->horizontalScrollBar()->isVisible());
        QVERIFY(!area->verticalScrollBar()->isVisible());
    }

    // A minimised item window is its title bar alone, at the foot of the
    // area; restored, it gets its place, its size and its smallest size back.
    void minimisedWindowIsItsTitleBarAtTheFoot_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("waveform") << int(SheetItemKind::Wave);
        QTest::newRow("measurement") << int(SheetItemKind::Measure);
        QTest::newRow("data table") << int(SheetItemKind::Data);
        QTest::newRow("record") << int(SheetItemKind::Replay);
        QTest::newRow("stored waveform") << int(SheetItemKind::StoredWave);
    }
    void minimisedWindowIsItsTitleBarAtTheFoot()
    {
        QFETCH(int, kind);
        ShellFixture f;
        auto w = f.loadMain();
        w->resize(1200, 750);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        f.clock.advance(10);
        AddNewItem(SheetItemKind(kind));
        f.clock.advance(600);
        QMdiArea *area = w->mdiArea();
        QCOMPARE(area->subWindowList().size(), 1);
        QMdiSubWindow *sub = area->subWindowList().first();
        QCoreApplication::processEvents();
        const QRect normal = sub->geometry();
        const QSize smallest = sub->minimumSize();
        QVERIFY(smallest.height() > 100); // an item window's frame keeps its controls apart

        sub->showMinimized();
        f.clock.advance(600);
        QCoreApplication::processEvents();
        const int titleBar = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
        const QString where = QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                  .arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())
                                  .arg(area->viewport()->width()).arg(area->viewport()->height());
        QVERIFY(sub->isMinimized());
        QVERIFY2(sub->height() <= titleBar + 2 * sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub),
                 qPrintable(where));
        QVERIFY2(sub->geometry().bottom() == area->viewport()->height() - 1, qPrintable(where));

        sub->showNormal();
        f.clock.advance(600);
        QCoreApplication::processEvents();
        QCOMPARE(sub->geometry(), normal);
        QCOMPARE(sub->minimumSize(), smallest);
        sub->resize(1, 1); // still no smaller than its controls allow
        QCOMPARE(sub->size(), smallest);
    }
};

QTEST_MAIN(TestItemWindows)
#include "tst_itemwindows.moc"
