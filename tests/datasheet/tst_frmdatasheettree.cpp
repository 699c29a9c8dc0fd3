#include "app/appstate.h"
#include "datasheet/frmdatasheettree.h"
#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "shell/shellfixture.h"
#include "support/nativeinput.h"
#include "texts/stringres.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>

// The Data Browser pane offscreen: its tree, popup menu, label edits, double
// clicks and sorting; and the main window's close prompt going through the
// sheet's own save.
class TestFrmDataSheetTree : public QObject {
    Q_OBJECT

    QStringList log_;

    QStringList children() const
    {
        QStringList names;
        QTreeWidgetItem *s = app().Sheet.SheetNode;
        for (int i = 0; s && i < s->childCount(); ++i)
            names << s->child(i)->text(0);
        return names;
    }

    void fakeWindows()
    {
        ItemWindowHooks &w = app().sheetui.windows;
        w.open = [this](SheetItemKind k, int slot) {
            log_ << QStringLiteral("open %1 %2").arg(int(k)).arg(slot);
            itemWindowOpen(app().Sheet, k, slot) = true;
        };
        w.close = [this](SheetItemKind k, int slot) {
            log_ << QStringLiteral("close %1 %2").arg(int(k)).arg(slot);
            itemWindowOpen(app().Sheet, k, slot) = false;
        };
        w.setCaption = [this](SheetItemKind, int, const QString &c) { log_ << QStringLiteral("caption ") + c; };
    }

private slots:
    void init() { log_.clear(); }

    void paneMenusAndTree()
    {
        LinkFixture f;
        fakeWindows();
        app().sheetui.addRecentSheetFile = [](const QString &) {};
        frmDataSheetTree pane;
        pane.show();
        QTreeWidget *tree = pane.DataSheetTree();
        QCOMPARE(app().sheetui.DataSheetTreeCtl, tree);
        QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Data Sheet"));
        QCOMPARE(app().Sheet.SheetNode->text(0), QStringLiteral("Untitle"));

        // Add New entries add their items.
        pane.entry("mnuAddNewWaveform")->trigger();
        pane.entry("mnuAddNewData")->trigger();
        pane.entry("mnuAddNewPlayBack")->trigger();
        QCOMPARE(children(), QStringList({"Wave0", "Data0", "Record0"}));

        // Root selected: no Remove or Rename.
        tree->setCurrentItem(app().Sheet.RootNode);
        pane.PrepareTreePopup();
        QVERIFY(!pane.entry("mnuRemove")->isVisible());
        QVERIFY(!pane.entry("mnuRename")->isVisible());
        QVERIFY(pane.entry("mnuSaveDataSheet")->isEnabled());
        QVERIFY(pane.entry("mnuAddNew")->isEnabled());

        // An item selected: the entries name it; Remove removes it.
        tree->setCurrentItem(app().Sheet.DataDocs[0].Node);
        pane.PrepareTreePopup();
        QVERIFY(pane.entry("mnuRemove")->isVisible());
        QCOMPARE(pane.entry("mnuRemove")->text(), QStringLiteral("&Remove(Data0)"));
        QCOMPARE(pane.entry("mnuRename")->text(), QStringLiteral("Re&name(Data0)"));
        pane.entry("mnuRemove")->trigger();
        QCOMPARE(children(), QStringList({"Wave0", "Record0"}));
        QCOMPARE(app().Sheet.DataDocCount, qint16(0));

        // Double click opens the item's window with the node's text.
        log_.clear();
        app().Sheet.WaveDocs[0].WindowOpen = false;
        tree->setCurrentItem(app().Sheet.WaveDocs[0].Node);
        pane.DataSheetTree_DblClick();
        QCOMPARE(log_, QStringList({"open 0 0", "caption Wave0"}));

        // A label edit ended in the tree renames the item.
        tree->editItem(app().Sheet.WaveDocs[0].Node, 0);
        auto *editor = tree->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Scope A"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits through a queued call
        QCOMPARE(app().Sheet.WaveDocs[0].Name, QStringLiteral("Scope A"));
        QCOMPARE(app().Sheet.WaveDocs[0].Node->text(0), QStringLiteral("Scope A"));
        QVERIFY(log_.contains(QStringLiteral("caption Scope A")));
        // The root's label comes back.
        tree->setCurrentItem(app().Sheet.RootNode);
        QString text = QStringLiteral("X");
        pane.DataSheetTree_AfterLabelEdit(text);
        QCOMPARE(text, QStringLiteral("Data Sheet"));

        // Sorted keeps later items in order; off keeps the present order.
        pane.entry("mnuSorted")->trigger();
        QVERIFY(pane.entry("mnuSorted")->isChecked());
        QCOMPARE(children(), QStringList({"Record0", "Scope A"}));
        pane.entry("mnuAddNewMeasure")->trigger();
        QCOMPARE(children(), QStringList({"Measure0", "Record0", "Scope A"}));
        // Alphabetical whatever the letters' case: a small letter does not
        // go behind every capital.
        tree->setCurrentItem(app().Sheet.MeasDocs[0].Node);
        QString lower = QStringLiteral("pulse");
        pane.DataSheetTree_AfterLabelEdit(lower);
        app().Sheet.MeasDocs[0].Node->setText(0, lower); // as the tree keeps the typed label
        QCOMPARE(children(), QStringList({"pulse", "Record0", "Scope A"}));
        pane.entry("mnuSorted")->trigger();
        pane.entry("mnuAddNewData")->trigger();
        QCOMPARE(children(), QStringList({"pulse", "Record0", "Scope A", "Data0"}));

        // Closing the sheet from the popup.
        app().Sheet.Modified = false;
        tree->setCurrentItem(app().Sheet.SheetNode);
        pane.PrepareTreePopup();
        QCOMPARE(pane.entry("mnuRemove")->text(), QStringLiteral("&Remove(Untitle)"));
        pane.entry("mnuRemove")->trigger();
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
        pane.PrepareTreePopup();
        QVERIFY(!pane.entry("mnuSaveDataSheet")->isEnabled());
        QVERIFY(!pane.entry("mnuSaveDataSheetAs")->isEnabled());
        QVERIFY(!pane.entry("mnuAddNew")->isEnabled());
        QVERIFY(!pane.entry("mnuSorted")->isEnabled());
        QVERIFY(!pane.entry("mnuRemove")->isVisible());
        pane.entry("mnuNewDataSheet")->trigger();
        QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    }

    // A right click on a node that is not selected selects it first, then
    // opens the popup for it, with Remove and Rename naming it, as in every
    // tree of the desktop; the click arrives as the window system queues it.
    void rightClickSelectsTheNodeFirst_data()
    {
        QTest::addColumn<int>("before"); // 0 another item, 1 the root, 2 the sheet, 3 none
        QTest::newRow("another item selected") << 0;
        QTest::newRow("the root selected") << 1;
        QTest::newRow("the sheet selected") << 2;
        QTest::newRow("nothing selected") << 3;
    }
    void rightClickSelectsTheNodeFirst()
    {
        QFETCH(int, before);
        LinkFixture f;
        fakeWindows();
        frmDataSheetTree pane;
        pane.resize(300, 400);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QTreeWidget *tree = pane.DataSheetTree();
        AddNewWaveform();
        AddNewData();
        QTreeWidgetItem *wave = app().Sheet.WaveDocs[0].Node;
        QTreeWidgetItem *data = app().Sheet.DataDocs[0].Node;
        QTreeWidgetItem *selected[] = {wave, app().Sheet.RootNode, app().Sheet.SheetNode, nullptr};
        tree->setCurrentItem(selected[before]);
        QCOMPARE(tree->currentItem(), selected[before]);
        log_.clear();
        // Every row clicks elsewhere on the node: no click makes a double click
        // with the last row's.
        const QRect dataRect = tree->visualItemRect(data);
        const QPoint onData(dataRect.left() + 10 + 30 * before, dataRect.center().y());
        QVERIFY(nativeinput::queueClick(tree->viewport(), onData, Qt::RightButton));
        QCOMPARE(tree->currentItem(), selected[before]); // nothing delivered yet
        QCoreApplication::processEvents();
        QCOMPARE(tree->currentItem(), data);
        QVERIFY(data->isSelected());
        QVERIFY(pane.pop_mnu1()->isVisible());
        QVERIFY(pane.entry("mnuRemove")->isVisible());
        QVERIFY(pane.entry("mnuRename")->isVisible());
        QCOMPARE(pane.entry("mnuRemove")->text(), QStringLiteral("&Remove(Data0)"));
        QCOMPARE(pane.entry("mnuRename")->text(), QStringLiteral("Re&name(Data0)"));
        QVERIFY(tree->findChildren<QLineEdit *>().isEmpty()); // no label edit began
        pane.pop_mnu1()->close();
        QVERIFY2(log_.isEmpty(), qPrintable(log_.join(QLatin1Char('|')))); // no window opened
        pane.entry("mnuRemove")->trigger();
        QCOMPARE(children(), QStringList({"Wave0"}));
        log_.clear();
        // A right double click opens no window; a right click below the last
        // node keeps the selection and the popup names it.
        tree->setCurrentItem(wave);
        QTest::mouseDClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(wave).center());
        QVERIFY(log_.isEmpty());
        const QPoint below(onData.x(), tree->visualItemRect(wave).bottom() + 40);
        QVERIFY(!tree->itemAt(below));
        QVERIFY(nativeinput::queueClick(tree->viewport(), below, Qt::RightButton));
        QCoreApplication::processEvents();
        QCOMPARE(tree->currentItem(), wave);
        QVERIFY(pane.pop_mnu1()->isVisible());
        QCOMPARE(pane.entry("mnuRemove")->text(), QStringLiteral("&Remove(Wave0)"));
        pane.pop_mnu1()->close();
        // The left button still selects.
        AddNewData();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(app().Sheet.DataDocs[0].Node).center());
        QCOMPARE(tree->currentItem(), app().Sheet.DataDocs[0].Node);
    }

    void aLaterPaneRebuildsTheTree()
    {
        LinkFixture f;
        {
            frmDataSheetTree pane;
            AddNewWaveform();
            AddNewMemoryWave();
        }
        QCOMPARE(app().sheetui.DataSheetTreeCtl, nullptr);
        QVERIFY(!app().Sheet.SheetNode && !app().Sheet.WaveDocs[0].Node);
        frmDataSheetTree again;
        QCOMPARE(children(), QStringList({"Wave0", "Memory Wave0"}));
        QCOMPARE(app().Sheet.WaveDocCount, qint16(1));
    }

    // The sheet node of an untitled sheet follows a language switch made from
    // the menu, in the tree and in the popup's entries; a sheet the user named
    // keeps its name. Neither counts as a change to the sheet.
    void untitledSheetFollowsTheLanguage_data()
    {
        QTest::addColumn<int>("startLang");
        QTest::addColumn<QString>("name"); // empty: left untitled
        QTest::newRow("English start, untitled") << 1 << QString();
        QTest::newRow("Chinese start, untitled") << 0 << QString();
        QTest::newRow("English start, named") << 1 << QStringLiteral("Bench A");
        QTest::newRow("Chinese start, named") << 0 << QStringLiteral("Bench A");
    }
    void untitledSheetFollowsTheLanguage()
    {
        QFETCH(int, startLang);
        QFETCH(QString, name);
        ShellFixture f(startLang);
        auto w = f.loadMain();
        w->show();
        QTreeWidget *tree = app().sheetui.DataSheetTreeCtl;
        QVERIFY(tree);
        QTreeWidgetItem *sheetNode = tree->topLevelItem(0)->child(0);
        QCOMPARE(sheetNode, app().Sheet.SheetNode);
        const QString untitled[2] = {QStringLiteral("未标题"), QStringLiteral("Untitle")};
        QCOMPARE(sheetNode->text(0), untitled[startLang]);
        if (!name.isEmpty()) {
            tree->setCurrentItem(sheetNode);
            QString typed = name;
            ChangeFormName(typed);
            sheetNode->setText(0, typed); // as the tree keeps the typed label
        }
        app().Sheet.Modified = false;
        auto *pane = qobject_cast<frmDataSheetTree *>(w->pane(QStringLiteral("DataSheet"))->widget());
        QVERIFY(pane);
        for (int lang : {1 - startLang, startLang}) {
            w->action(QString::fromLatin1(lang == 0 ? "mnuLanguageChinese" : "mnuLanguageEnglish"))->trigger();
            const QString shown = name.isEmpty() ? untitled[lang] : name;
            QCOMPARE(sheetNode->text(0), shown);
            QCOMPARE(app().Sheet.Name, shown);
            tree->setCurrentItem(sheetNode);
            pane->PrepareTreePopup();
            QCOMPARE(pane->entry("mnuRemove")->text(),
                     (lang == 0 ? QStringLiteral("移除(") : QStringLiteral("&Remove(")) + shown + u')');
            QVERIFY(!app().Sheet.Modified);
        }
        // A new sheet made after the switches is named in the language in force.
        QCOMPARE(word(Word::ItemUntitled), untitled[startLang]);
    }

    void mainWindowClosePromptSavesTheSheet()
    {
        ShellFixture f;
        auto w = f.loadMain();
        w->show();
        QVERIFY(w->pane(QStringLiteral("DataSheet"))->widget()->inherits("frmDataSheetTree"));
        QCOMPARE(app().Sheet.SheetNode->text(0), QStringLiteral("Untitle"));
        AddNewWaveform();
        QVERIFY(app().Sheet.Modified);
        // Yes, then the save dialog cancelled: the program stays open.
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.cancelFile();
        QVERIFY(!w->close());
        QVERIFY(app().Sheet.Modified);
        // Yes and a failing save: still open.
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.answerFile(f.dir.filePath(QStringLiteral("missing/s.kvd")));
        QVERIFY(!w->close());
        QVERIFY(app().Sheet.Modified);
        // Yes and a real save: written, then closed.
        const QString path = f.dir.filePath(QStringLiteral("s.kvd"));
        f.fakeUi.answerMessage(MsgAnswer::Yes);
        f.fakeUi.answerFile(path);
        QVERIFY(w->close());
        QVERIFY(QFile::exists(path));
        QVERIFY(!app().Sheet.Modified);
        QCOMPARE(app().shell.RecentSheet.Captions[0], path);
    }
};

QTEST_MAIN(TestFrmDataSheetTree)
#include "tst_frmdatasheettree.moc"
