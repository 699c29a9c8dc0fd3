#include "app/appstate.h"
#include "datasheet/datasheetfile.h"
#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <map>

// The data sheet commands on a bare tree, with stand-in item windows: adding
// up to each kind's limit, removal and slot shifting, activation, renaming,
// New, Open, Save and Save As with their questions, dialogs and failures.
class TestSheetCommands : public QObject {
    Q_OBJECT

    ScriptedUi fakeUi_;
    QTemporaryDir dir_;
    std::unique_ptr<QTreeWidget> tree_;
    QStringList log_;    // window hook calls
    QStringList recent_; // paths given to the recent list
    std::map<std::pair<int, int>, QString> captions_;
    bool buttons_ = false;

    static QString kindName(SheetItemKind k) { return QString::number(int(k)); }

    void installFakeWindows()
    {
        ItemWindowHooks &w = app().sheetui.windows;
        w.open = [this](SheetItemKind k, int slot) {
            log_ << QStringLiteral("open %1 %2").arg(kindName(k)).arg(slot);
            itemWindowOpen(app().Sheet, k, slot) = true; // the window's start-up
        };
        w.close = [this](SheetItemKind k, int slot) {
            log_ << QStringLiteral("close %1 %2").arg(kindName(k)).arg(slot);
            itemWindowOpen(app().Sheet, k, slot) = false; // the window's unload
            captions_.erase({int(k), slot});
        };
        w.setCaption = [this](SheetItemKind k, int slot, const QString &c) { captions_[{int(k), slot}] = c; };
        w.raise = [this](SheetItemKind k, int slot) { log_ << QStringLiteral("raise %1 %2").arg(kindName(k)).arg(slot); };
        w.pauseReplay = [this](int slot) { log_ << QStringLiteral("pause %1").arg(slot); };
    }

    QString caption(SheetItemKind k, int slot) const
    {
        const auto it = captions_.find({int(k), slot});
        return it == captions_.end() ? QString() : it->second;
    }

    QStringList sheetChildren() const
    {
        QStringList names;
        QTreeWidgetItem *s = app().Sheet.SheetNode;
        for (int i = 0; s && i < s->childCount(); ++i)
            names << s->child(i)->text(0);
        return names;
    }

    void select(QTreeWidgetItem *node) { tree_->setCurrentItem(node); }

    QString path(const char *name) const { return dir_.filePath(QLatin1String(name)); }

    void addWaves(int n)
    {
        for (int i = 0; i < n; ++i)
            AddNewWaveform();
    }

private slots:
    void init()
    {
        resetApp();
        setUi(&fakeUi_);
        fakeUi_.clear();
        app().texts.LanguageIndex = 1;
        ApplyLanguage(1);
        log_.clear();
        recent_.clear();
        captions_.clear();
        installFakeWindows();
        app().sheetui.addRecentSheetFile = [this](const QString &p) { recent_ << p; };
        app().sheetui.setAddItemButtonsEnabled = [this](bool on) { buttons_ = on; };
        tree_ = std::make_unique<QTreeWidget>();
        setDataSheetTree(tree_.get());
        DataSheetPaneLoaded();
    }

    void cleanup()
    {
        setDataSheetTree(nullptr);
        tree_.reset();
        setUi(nullptr);
    }

    void firstLoadOpensAnUntitledSheet()
    {
        QCOMPARE(tree_->topLevelItemCount(), 1);
        QCOMPARE(app().Sheet.RootNode->text(0), QStringLiteral("Data Sheet"));
        QCOMPARE(app().Sheet.SheetNode->parent(), app().Sheet.RootNode);
        QCOMPARE(app().Sheet.SheetNode->text(0), QStringLiteral("Untitle"));
        QCOMPARE(app().Sheet.SheetNode->data(0, Qt::UserRole).toInt(), 2);
        QVERIFY(DataSheetIsOpen());
        QVERIFY(buttons_);
        QVERIFY(!app().Sheet.Modified);
        QVERIFY(fakeUi_.messages().isEmpty());
    }

    void addsUpToEachKindsLimit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("image");
        QTest::newRow("waveform") << int(SheetItemKind::Wave) << 16 << "Wave" << 3;
        QTest::newRow("measure") << int(SheetItemKind::Measure) << 16 << "Measure" << 4;
        QTest::newRow("data") << int(SheetItemKind::Data) << 16 << "Data" << 5;
        QTest::newRow("record") << int(SheetItemKind::Replay) << 4 << "Record" << 6;
        QTest::newRow("memory waveform") << int(SheetItemKind::StoredWave) << 3 << "Memory Wave" << 7;
    }

    void addsUpToEachKindsLimit()
    {
        QFETCH(int, kind);
        QFETCH(int, limit);
        QFETCH(QString, word);
        QFETCH(int, image);
        const auto k = SheetItemKind(kind);
        DataSheet &s = app().Sheet;
        const int spare = DataSheet::slotCount(k) - 1;
        itemName(s, k, spare) = QStringLiteral("untouched");
        for (int i = 0; i < limit; ++i)
            AddNewItem(k);
        QCOMPARE(s.count(k), limit);
        QVERIFY(s.Modified);
        QVERIFY(fakeUi_.messages().isEmpty());
        for (int i = 0; i < limit; ++i) {
            QCOMPARE(itemName(s, k, i), word + QString::number(i));
            QCOMPARE(itemNode(s, k, i)->text(0), word + QString::number(i));
            QCOMPARE(itemNode(s, k, i)->parent(), s.SheetNode);
            QCOMPARE(itemNode(s, k, i)->data(0, Qt::UserRole).toInt(), image);
            QCOMPARE(caption(k, i), word + QString::number(i));
            QVERIFY(itemWindowOpen(s, k, i));
        }
        // One more is refused and changes nothing.
        s.Modified = false;
        AddNewItem(k);
        QCOMPARE(s.count(k), limit);
        QVERIFY(!s.Modified);
        QCOMPARE(fakeUi_.messages().size(), 1);
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Exceed maximum file numbers limit!"));
        QCOMPARE(fakeUi_.messages()[0].icon, MsgIcon::Exclamation);
        QCOMPARE(itemName(s, k, spare), QStringLiteral("untouched"));
        QCOMPARE(s.SheetNode->childCount(), limit);
    }

    void newItemsTakeTheirDefaults()
    {
        DataSheet &s = app().Sheet;
        for (MeasItem &item : s.MeasDocs[0].Items.Entries)
            item.Enabled = true; // a stale slot
        s.MeasDocs[0].Items[0].Value = QStringLiteral("kept");
        s.Replays[0].FilePath = QStringLiteral("/old.rcd");
        AddNewMeasure();
        AddNewRecord();
        QCOMPARE(s.MeasDocs[0].Items[0].Over, 0.2);
        // All eighteen measurements start disabled, the last three too.
        for (int i = 0; i < MeasCount; ++i)
            QVERIFY2(!s.MeasDocs[0].Items[i].Enabled, qPrintable(QString::number(i)));
        QCOMPARE(s.MeasDocs[0].Items[0].Value, QStringLiteral("kept"));
        QVERIFY(s.Replays[0].FilePath.isEmpty());
        QCOMPARE(s.Replays[0].Interval, 0.05);
        QVERIFY(s.Replays[0].LoopReplay);
        QCOMPARE(s.Replays[0].StatusText, QStringLiteral("Please open the waveform record file."));
        // Chinese names.
        app().texts.LanguageIndex = 0;
        ApplyLanguage(0);
        AddNewWaveform();
        QCOMPARE(s.WaveDocs[0].Name, QString::fromUtf8("波形0"));
    }

    void removingShiftsTheLaterSlots()
    {
        DataSheet &s = app().Sheet;
        addWaves(3);
        s.WaveDocs[1].HasData = true;
        s.WaveDocs[2].HasData = true;
        s.Modified = false;
        log_.clear();
        select(s.WaveDocs[0].Node);
        RemoveSelected();
        QCOMPARE(s.WaveDocCount, qint16(2));
        QVERIFY(s.Modified);
        QCOMPARE(s.WaveDocs[0].Name, QStringLiteral("Wave1"));
        QCOMPARE(s.WaveDocs[1].Name, QStringLiteral("Wave2"));
        QCOMPARE(s.WaveDocs[0].Node->text(0), QStringLiteral("Wave1"));
        QCOMPARE(sheetChildren(), QStringList({"Wave1", "Wave2"}));
        QCOMPARE(log_, QStringList({"close 0 0", "open 0 0", "close 0 1", "open 0 1", "close 0 2"}));
        QCOMPARE(caption(SheetItemKind::Wave, 0), QStringLiteral("Wave1"));
        QCOMPARE(caption(SheetItemKind::Wave, 1), QStringLiteral("Wave2"));
        QVERIFY(s.WaveDocs[0].WindowOpen && s.WaveDocs[1].WindowOpen && !s.WaveDocs[2].WindowOpen);
        // The vacated slot keeps the copy of the last item, its data flag cleared.
        QCOMPARE(s.WaveDocs[2].Name, QStringLiteral("Wave2"));
        QVERIFY(!s.WaveDocs[2].HasData);
        QVERIFY(s.WaveDocs[1].HasData);
        // A later add repeats a name in use.
        AddNewWaveform();
        QCOMPARE(sheetChildren(), QStringList({"Wave1", "Wave2", "Wave2"}));
    }

    void removingKeepsClosedWindowsClosed()
    {
        DataSheet &s = app().Sheet;
        AddNewRecord();
        AddNewRecord();
        AddNewRecord();
        s.Replays[1].FilePath = QStringLiteral("/r/one.rcd");
        s.Replays[2].WindowOpen = false; // closed by the user
        log_.clear();
        select(s.Replays[0].Node);
        RemoveSelected();
        QCOMPARE(s.ReplayCount, qint16(2));
        QCOMPARE(log_, QStringList({"close 3 0", "open 3 0", "close 3 1"}));
        QCOMPARE(caption(SheetItemKind::Replay, 0), QStringLiteral("Record1  (/r/one.rcd)"));
        QVERIFY(!s.Replays[1].WindowOpen);
        // The last item: only its window closes.
        log_.clear();
        select(s.Replays[0].Node);
        s.Replays[1].WindowOpen = true;
        select(s.Replays[1].Node);
        RemoveSelected();
        QCOMPARE(log_, QStringList({"close 3 1"}));
        QCOMPARE(s.ReplayCount, qint16(1));
        QCOMPARE(sheetChildren(), QStringList({"Record1"}));
    }

    void closingTheSheet()
    {
        DataSheet &s = app().Sheet;
        addWaves(2);
        AddNewData();
        s.Path = path("kept.kvd");
        // Modified: the question; Cancel keeps everything.
        fakeUi_.answerMessage(MsgAnswer::Cancel);
        select(s.SheetNode);
        RemoveSelected();
        QCOMPARE(fakeUi_.messages().size(), 1);
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Save the changes to the Data Sheet File? ") + s.Path);
        QCOMPARE(s.WaveDocCount, qint16(2));
        QVERIFY(DataSheetIsOpen());
        // No: the sheet closes.
        fakeUi_.answerMessage(MsgAnswer::No);
        RemoveSelected();
        QVERIFY(!DataSheetIsOpen());
        QVERIFY(!buttons_);
        QCOMPARE(tree_->topLevelItem(0)->childCount(), 0);
        QCOMPARE(s.WaveDocCount, qint16(0));
        QCOMPARE(s.DataDocCount, qint16(0));
        QVERIFY(!s.WaveDocs[0].WindowOpen && !s.DataDocs[0].WindowOpen);
        QVERIFY(!s.WaveDocs[0].Node);
        QCOMPARE(s.Path, path("kept.kvd"));
        // Nothing to save any more; adding is refused.
        QVERIFY(!s.Modified);
        QCOMPARE(SaveDataSheet(), SaveOutcome::Cancelled);
        QVERIFY(!QFile::exists(s.Path));
        fakeUi_.clear();
        AddNewWaveform();
        QCOMPARE(fakeUi_.messages().size(), 1);
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Please Open or Creat a Data Sheet First!"));
        QCOMPARE(s.WaveDocCount, qint16(0));
        // New makes a sheet again.
        NewDataSheet();
        QVERIFY(DataSheetIsOpen());
        QVERIFY(buttons_);
        QCOMPARE(s.SheetNode->text(0), QStringLiteral("Untitle"));
        QVERIFY(s.Path.isEmpty());
    }

    void activationOpensAndCaptions()
    {
        DataSheet &s = app().Sheet;
        AddNewMemoryWave();
        s.StoredWaves[0].SlotUsed = false;
        s.StoredWaves[0].FilePath = QStringLiteral("/w/a.wfm");
        log_.clear();
        select(s.RootNode);
        SetActiveForm();
        select(s.SheetNode);
        SetActiveForm();
        QVERIFY(log_.isEmpty());
        select(s.StoredWaves[0].Node);
        SetActiveForm();
        QCOMPARE(log_, QStringList({"open 4 0", "raise 4 0"}));
        QCOMPARE(caption(SheetItemKind::StoredWave, 0), QStringLiteral("Memory Wave0")); // no data: name alone
        s.StoredWaves[0].HasData = true;
        SetActiveForm();
        QCOMPARE(caption(SheetItemKind::StoredWave, 0), QStringLiteral("Memory Wave0  (/w/a.wfm)"));
    }

    void renaming()
    {
        DataSheet &s = app().Sheet;
        AddNewRecord();
        s.Replays[0].FilePath = QStringLiteral("/r/x.rcd");
        s.Modified = false;
        // The root keeps its word.
        select(s.RootNode);
        QString text = QStringLiteral("Mine");
        s.RootNode->setText(0, text);
        ChangeFormName(text);
        QCOMPARE(text, QStringLiteral("Data Sheet"));
        QCOMPARE(s.RootNode->text(0), QStringLiteral("Data Sheet"));
        QCOMPARE(fakeUi_.messages().size(), 1);
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Name of Root Can't Change!"));
        QVERIFY(!s.Modified);
        // The sheet.
        select(s.SheetNode);
        text = QStringLiteral("Bench");
        ChangeFormName(text);
        QCOMPARE(s.Name, QStringLiteral("Bench"));
        QVERIFY(s.Modified);
        // An item, its window closed: opened, captioned with its path, raised.
        s.Modified = false;
        s.Replays[0].WindowOpen = false;
        log_.clear();
        select(s.Replays[0].Node);
        text = QString();
        ChangeFormName(text); // an empty name is taken as it is
        QCOMPARE(s.Replays[0].Name, QString());
        QCOMPARE(caption(SheetItemKind::Replay, 0), QStringLiteral("  (/r/x.rcd)"));
        QCOMPARE(log_, QStringList({"open 3 0", "raise 3 0"}));
        QVERIFY(s.Modified);
    }

    void busyTransferRefusesSilently()
    {
        DataSheet &s = app().Sheet;
        addWaves(2);
        s.Modified = true;
        const QString before = s.Name;
        app().transfer.TransferBusy = true;
        log_.clear();
        select(s.WaveDocs[0].Node);
        RemoveSelected();
        SetActiveForm();
        NewDataSheet();
        OpenDataSheet(path("none.kvd"));
        OpenDataSheetWithDialog();
        select(s.SheetNode);
        RemoveSelected();
        // Renames are refused too: the nodes keep their names.
        QString text = QStringLiteral("Bench");
        ChangeFormName(text);
        QCOMPARE(text, before);
        select(s.WaveDocs[1].Node);
        text = QStringLiteral("Probe");
        ChangeFormName(text);
        QCOMPARE(text, QStringLiteral("Wave1"));
        select(s.RootNode);
        ChangeFormName(text);
        QCOMPARE(text, QStringLiteral("Data Sheet"));
        QCOMPARE(s.Name, before);
        QCOMPARE(s.WaveDocs[1].Name, QStringLiteral("Wave1"));
        QCOMPARE(s.WaveDocCount, qint16(2));
        QVERIFY(fakeUi_.messages().isEmpty());
        QVERIFY(fakeUi_.fileDialogs().isEmpty());
        QVERIFY(log_.isEmpty());
        QVERIFY(DataSheetIsOpen());
    }

    void saveAndSaveAs()
    {
        DataSheet &s = app().Sheet;
        addWaves(1);
        // Untitled: the dialog; cancelled, nothing counts as saved.
        fakeUi_.cancelFile();
        QCOMPARE(SaveDataSheet(), SaveOutcome::Cancelled);
        QCOMPARE(fakeUi_.fileDialogs().size(), 1);
        QVERIFY(fakeUi_.fileDialogs()[0].save);
        QCOMPARE(fakeUi_.fileDialogs()[0].request.title, QStringLiteral("Save"));
        QCOMPARE(fakeUi_.fileDialogs()[0].request.filter, QStringLiteral("Data Sheet Files (*.kvd)"));
        QVERIFY(s.Modified);
        QVERIFY(recent_.isEmpty());
        // A failed write: reported, still modified, path and recent list untouched.
        fakeUi_.answerFile(path("no/such/folder/a.kvd"));
        QCOMPARE(SaveDataSheet(), SaveOutcome::Failed);
        QCOMPARE(fakeUi_.messages().size(), 1);
        QCOMPARE(fakeUi_.messages()[0].icon, MsgIcon::Critical);
        QVERIFY(s.Modified);
        QVERIFY(s.Path.isEmpty());
        QVERIFY(recent_.isEmpty());
        // Written.
        fakeUi_.answerFile(path("a.kvd"));
        QCOMPARE(SaveDataSheet(), SaveOutcome::Saved);
        QVERIFY(!s.Modified);
        QCOMPARE(s.Path, path("a.kvd"));
        QCOMPARE(recent_, QStringList({path("a.kvd")}));
        QVERIFY(QFile::exists(path("a.kvd")));
        // With a path: no dialog. Save As: always the dialog.
        const int dialogs = int(fakeUi_.fileDialogs().size());
        s.Modified = true;
        QCOMPARE(SaveDataSheet(), SaveOutcome::Saved);
        QCOMPARE(int(fakeUi_.fileDialogs().size()), dialogs);
        fakeUi_.answerFile(path("b.kvd"));
        QCOMPARE(SaveDataSheetAs(), SaveOutcome::Saved);
        QCOMPARE(fakeUi_.fileDialogs().last().request.title, QStringLiteral("Save As"));
        QCOMPARE(s.Path, path("b.kvd"));
        QCOMPARE(s.Name, QStringLiteral("Untitle")); // never taken from the file name
    }

    void saveWhileReplayingPausesFirst()
    {
        DataSheet &s = app().Sheet;
        AddNewRecord();
        s.Replays[0].ReplayStarted = true;
        s.Replays[0].Status = ReplayInfo::Replaying;
        s.Replays[0].FirstFrame = 1;
        s.Replays[0].FrameCount = 1;
        s.Path = path("r.kvd");
        log_.clear();
        QCOMPARE(SaveDataSheet(), SaveOutcome::Saved);
        QCOMPARE(log_, QStringList({"pause 0"}));
        DataSheet read;
        QCOMPARE(ReadDataSheetFile(s.Path, read, {}), DataSheetRead::Ok);
        QCOMPARE(read.Replays[0].Status, ReplayInfo::Paused);
        QCOMPARE(read.Replays[0].Samples.size(), 1025);
    }

    void newAsksFirst()
    {
        DataSheet &s = app().Sheet;
        addWaves(2);
        s.Path = path("n.kvd");
        // Cancel: nothing changes.
        fakeUi_.answerMessage(MsgAnswer::Cancel);
        NewDataSheet();
        QCOMPARE(s.WaveDocCount, qint16(2));
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Save the changes to the Data Sheet File? ") + path("n.kvd"));
        QCOMPARE(fakeUi_.messages()[0].buttons, MsgButtons::YesNoCancel);
        // Yes with a save that fails: the command stops as on Cancel.
        s.Path = path("missing/n.kvd");
        fakeUi_.answerMessage(MsgAnswer::Yes);
        NewDataSheet();
        QCOMPARE(s.WaveDocCount, qint16(2));
        QVERIFY(s.Modified);
        // No: a new untitled sheet that still counts as modified.
        fakeUi_.answerMessage(MsgAnswer::No);
        log_.clear();
        NewDataSheet();
        QCOMPARE(s.WaveDocCount, qint16(0));
        QCOMPARE(log_, QStringList({"close 0 0", "close 0 1"}));
        QVERIFY(s.Path.isEmpty());
        QCOMPARE(s.SheetNode->text(0), QStringLiteral("Untitle"));
        QCOMPARE(s.SheetNode->childCount(), 0);
        QVERIFY(s.Modified);
        // Never saved: the question is the message alone; Yes opens the save dialog.
        fakeUi_.clear();
        fakeUi_.answerMessage(MsgAnswer::Yes);
        fakeUi_.cancelFile();
        NewDataSheet();
        QCOMPARE(fakeUi_.messages()[0].text, QStringLiteral("Save the changes to the Data Sheet File? "));
        QCOMPARE(fakeUi_.fileDialogs().size(), 1);
        QVERIFY(s.Modified);
    }

    void openRestoresItemsAndWindows()
    {
        DataSheet &s = app().Sheet;
        addWaves(2);
        AddNewMeasure();
        AddNewData();
        AddNewRecord();
        AddNewMemoryWave();
        s.Replays[0].FilePath = QStringLiteral("/r/a.rcd");
        s.WaveDocs[1].Name = QStringLiteral("Wave0"); // duplicate names survive
        select(s.SheetNode);
        QString sheetName = QStringLiteral("Saved sheet");
        ChangeFormName(sheetName);
        fakeUi_.answerFile(path("full.kvd"));
        QCOMPARE(SaveDataSheet(), SaveOutcome::Saved);
        NewDataSheet();
        recent_.clear();
        log_.clear();
        s.Modified = true;
        fakeUi_.answerMessage(MsgAnswer::No);
        fakeUi_.answerFile(path("full.kvd"));
        OpenDataSheetWithDialog();
        QCOMPARE(fakeUi_.fileDialogs().last().request.title, QStringLiteral("Open"));
        QVERIFY(!s.Modified);
        QCOMPARE(s.Path, path("full.kvd"));
        QCOMPARE(recent_, QStringList({path("full.kvd")}));
        QCOMPARE(s.SheetNode->text(0), QStringLiteral("Saved sheet"));
        QCOMPARE(sheetChildren(), QStringList({"Wave0", "Wave0", "Measure0", "Data0", "Record0", "Memory Wave0"}));
        QCOMPARE(log_, QStringList({"open 0 0", "open 0 1", "open 1 0", "open 2 0", "open 3 0", "open 4 0"}));
        QCOMPARE(caption(SheetItemKind::Replay, 0), QStringLiteral("Record0  (/r/a.rcd)"));
        QCOMPARE(s.WaveDocs[1].Node, s.SheetNode->child(1));
        QVERIFY(s.WaveDocs[0].DigitalLayout);
        QVERIFY(DataSheetIsOpen());
    }

    void itemsWithoutWindowsLiveInRecordTreeAndFile()
    {
        app().sheetui.windows = ItemWindowHooks{}; // no item window exists yet
        DataSheet &s = app().Sheet;
        addWaves(3);
        AddNewMeasure();
        QCOMPARE(sheetChildren(), QStringList({"Wave0", "Wave1", "Wave2", "Measure0"}));
        QVERIFY(!s.WaveDocs[0].WindowOpen);
        select(s.WaveDocs[1].Node);
        RemoveSelected();
        QCOMPARE(sheetChildren(), QStringList({"Wave0", "Wave2", "Measure0"}));
        select(s.WaveDocs[1].Node);
        SetActiveForm(); // nothing to open: no harm
        fakeUi_.answerFile(path("nowin.kvd"));
        QCOMPARE(SaveDataSheet(), SaveOutcome::Saved);
        NewDataSheet();
        OpenDataSheet(path("nowin.kvd"));
        QCOMPARE(sheetChildren(), QStringList({"Wave0", "Wave2", "Measure0"}));
        QCOMPARE(s.WaveDocCount, qint16(2));
    }

    void aFileThatFailsToLoadChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("systemMessages"); // the system's description first
        QTest::newRow("wrong header") << QByteArray("\"Other Data Sheet\"\r\n") << 0;
        QTest::newRow("cut short") << QByteArray("\"Karvo Technologies,Inc. QM4100D Data Sheet\"\r\n\"X\"\r\n1\r\n")
                                   << 0;
        QTest::newRow("missing") << QByteArray() << 1;
    }

    void aFileThatFailsToLoadChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, systemMessages);
        DataSheet &s = app().Sheet;
        addWaves(2);
        s.Path = path("current.kvd");
        s.Modified = false;
        const QString file = path("bad.kvd");
        QFile::remove(file); // an earlier row's file
        if (!bytes.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        log_.clear();
        OpenDataSheet(file);
        // A file that cannot be read: the system's description, then that it
        // is no data sheet.
        QCOMPARE(fakeUi_.messages().size(), systemMessages + 1);
        for (const auto &m : fakeUi_.messages())
            QCOMPARE(m.icon, MsgIcon::Critical);
        if (systemMessages)
            QVERIFY(!fakeUi_.messages()[0].text.isEmpty()
                    && fakeUi_.messages()[0].text != QStringLiteral("Data Sheet File Format is Invaild !"));
        QCOMPARE(fakeUi_.messages().last().text, QStringLiteral("Data Sheet File Format is Invaild !"));
        QCOMPARE(s.Path, path("current.kvd"));
        QCOMPARE(s.WaveDocCount, qint16(2));
        QCOMPARE(sheetChildren(), QStringList({"Wave0", "Wave1"}));
        QVERIFY(s.WaveDocs[0].WindowOpen && s.WaveDocs[1].WindowOpen);
        QVERIFY(log_.isEmpty());
        QVERIFY(recent_.isEmpty());
        QVERIFY(!s.Modified);
        // Cancelling the open dialog changes nothing either.
        fakeUi_.cancelFile();
        OpenDataSheetWithDialog();
        QCOMPARE(s.WaveDocCount, qint16(2));
    }
};

QTEST_MAIN(TestSheetCommands)
#include "tst_sheetcommands.moc"
