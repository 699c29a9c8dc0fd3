#include "platform/ui/savepath.h"
#include "platform/ui/qtui.h"
#include "platform/ui/scriptedui.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QFileDialog>

#include <QtTest>

class TestUi : public QObject {
    Q_OBJECT
private slots:
    void init() { setUi(&fake_); }
    void cleanup()
    {
        setUi(nullptr);
        fake_.clear();
    }

    void recordsMessageAndAnswersAsScripted()
    {
        fake_.answerMessage(MsgAnswer::No);
        fake_.answerMessage(MsgAnswer::Cancel);
        QCOMPARE(ui().message(MsgIcon::Question, "Save", "Save changes?", MsgButtons::YesNoCancel),
                 MsgAnswer::No);
        QCOMPARE(ui().message(MsgIcon::Exclamation, "Link", "Read failed", MsgButtons::OkCancel),
                 MsgAnswer::Cancel);
        QCOMPARE(fake_.messages().size(), 2);
        const RecordedMessage &m = fake_.messages().at(1);
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.title, QStringLiteral("Link"));
        QCOMPARE(m.text, QStringLiteral("Read failed"));
        QCOMPARE(m.buttons, MsgButtons::OkCancel);
        QCOMPARE(m.answer, MsgAnswer::Cancel);
        QCOMPARE(fake_.pendingAnswers(), 0);
    }

    void unscriptedMessageTakesFirstButtonOrFallback_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("expected");
        QTest::newRow("ok") << int(MsgButtons::Ok) << int(MsgAnswer::Ok);
        QTest::newRow("okcancel") << int(MsgButtons::OkCancel) << int(MsgAnswer::Ok);
        QTest::newRow("yesno") << int(MsgButtons::YesNo) << int(MsgAnswer::Yes);
        QTest::newRow("yesnocancel") << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Yes);
        QTest::newRow("retry") << int(MsgButtons::RetryCancel) << int(MsgAnswer::Retry);
    }
    void unscriptedMessageTakesFirstButtonOrFallback()
    {
        QFETCH(int, buttons);
        QFETCH(int, expected);
        QCOMPARE(ui().message(MsgIcon::None, "t", "x", MsgButtons(buttons)), MsgAnswer(expected));
        fake_.setFallbackAnswer(MsgAnswer::Cancel);
        QCOMPARE(ui().message(MsgIcon::None, "t", "x", MsgButtons(buttons)), MsgAnswer::Cancel);
    }

    void fileDialogsAnswerOrCancel()
    {
        fake_.answerFile("/tmp/a.kvd");
        FileDialogRequest req{"Open", "Data Sheet (*.kvd)", "/tmp", {}, "kvd"};
        FileDialogResult r = ui().openFile(req);
        QVERIFY(r.accepted);
        QCOMPARE(r.path, QStringLiteral("/tmp/a.kvd"));
        r = ui().saveFile(req); // nothing scripted: cancelled
        QVERIFY(!r.accepted);
        QVERIFY(r.path.isEmpty());
        QCOMPARE(fake_.fileDialogs().size(), 2);
        QVERIFY(!fake_.fileDialogs().at(0).save);
        QVERIFY(fake_.fileDialogs().at(1).save);
        QCOMPARE(fake_.fileDialogs().at(1).request.filter, QStringLiteral("Data Sheet (*.kvd)"));
    }

    // The names a save dialog's answer stands for: the chosen filter's suffix
    // is added to a name typed without one.
    void savePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no suffix") << "/d/shot" << "BitMap Files (*.bmp)" << "/d/shot.bmp";
        QTest::newRow("Chinese label") << "/d/图" << "位图文件 (*.bmp)" << "/d/图.bmp";
        QTest::newRow("no label") << "/d/a" << "(*.csv)" << "/d/a.csv";
        QTest::newRow("first of two patterns") << "/d/a" << "Tables (*.xls *.txt)" << "/d/a.xls";
        QTest::newRow("suffix typed stays") << "/d/a.png" << "BitMap Files (*.bmp)" << "/d/a.png";
        QTest::newRow("other suffix of the list stays") << "/d/a.txt" << "Excel (*.xls)" << "/d/a.txt";
        QTest::newRow("dotted folder") << "/d.x/a" << "CSV Files (*.csv)" << "/d.x/a.csv";
        QTest::newRow("all files *.*") << "/d/a" << "All Files (*.*)" << "/d/a";
        QTest::newRow("all files *") << "/d/a" << "All Files (*)" << "/d/a";
        QTest::newRow("no filter") << "/d/a" << "" << "/d/a";
        QTest::newRow("pattern, not a suffix") << "/d/a" << "Logs (log*)" << "/d/a";
    }
    void savePaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        FileDialogResult r{true, path, filter};
        QCOMPARE(ChosenSavePath(r), saved);
    }

    // The scripted dialog answers with the filter it is told to choose, the
    // first when told none, as a real dialog starts on it.
    void scriptedFilterChoice()
    {
        FileDialogRequest req{"Export", "Excel (*.xls);;Text Files (*.txt);;All Files (*.*)", {}, {}, {}};
        fake_.answerFile("/tmp/a");
        fake_.answerFile("/tmp/b", 1);
        QCOMPARE(ui().saveFile(req).selectedFilter, QStringLiteral("Excel (*.xls)"));
        QCOMPARE(ui().saveFile(req).selectedFilter, QStringLiteral("Text Files (*.txt)"));
    }

    // The real save dialog of an export adds the suffix of the filter the
    // user picks (and so asks before replacing that file); a document's
    // save keeps its own suffix whatever the filter.
    void saveDialogSuffixFollowsTheFilter()
    {
        FileDialogRequest req{"Export", "Excel (*.xls);;Text Files (*.txt);;All Files (*.*)", {}, {}, {}};
        auto dlg = QtUi::makeFileDialog(nullptr, req, true);
        QCOMPARE(dlg->defaultSuffix(), QStringLiteral("xls"));
        auto *types = dlg->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(dlg->selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
        QCOMPARE(dlg->defaultSuffix(), QStringLiteral("txt"));
        QTest::keyClick(types, Qt::Key_Down);
        QVERIFY(dlg->defaultSuffix().isEmpty());
        // Opening a file adds nothing.
        QVERIFY(QtUi::makeFileDialog(nullptr, req, false)->defaultSuffix().isEmpty());

        req.defaultSuffix = QStringLiteral("kvd");
        dlg = QtUi::makeFileDialog(nullptr, req, true);
        QCOMPARE(dlg->defaultSuffix(), QStringLiteral("kvd"));
        QTest::keyClick(dlg->findChild<QComboBox *>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
        QCOMPARE(dlg->defaultSuffix(), QStringLiteral("kvd"));
    }

    void inputAnswersOrCancels()
    {
        fake_.answerInput("Wave 3");
        fake_.cancelInput();
        InputResult r = ui().input("Rename", "Name:", "Wave 1");
        QVERIFY(r.accepted);
        QCOMPARE(r.text, QStringLiteral("Wave 3"));
        r = ui().input("Rename", "Name:", "Wave 1");
        QVERIFY(!r.accepted);
        QCOMPARE(fake_.inputs().at(1).initial, QStringLiteral("Wave 1"));
    }

    // Every box is wide enough for its whole title in a window manager's
    // title bar (the title in bold beside the frame's icon and its buttons,
    // each about a line high), and every box shows an icon: a plain box the
    // program's own.
    void messageBoxesHoldTheirTitleAndAnIcon_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain, short") << int(MsgIcon::None) << "Kelvoscope" << "No printer is available.";
        QTest::newRow("plain, Chinese") << int(MsgIcon::None) << "Kelvoscope" << QStringLiteral("没有可用的打印机。");
        QTest::newRow("plain, one word") << int(MsgIcon::None) << "Kelvoscope" << "OK";
        QTest::newRow("exclamation") << int(MsgIcon::Exclamation) << "Kelvoscope" << "Please Connect Oscilloscope First!";
        QTest::newRow("critical, Chinese") << int(MsgIcon::Critical) << "Kelvoscope" << QStringLiteral("写入失败");
        QTest::newRow("long title") << int(MsgIcon::Question) << "Kelvoscope - Data Sheet Untitle" << "Save?";
    }
    void messageBoxesHoldTheirTitleAndAnIcon()
    {
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QPixmap program(32, 32);
        program.fill(Qt::cyan);
        QApplication::setWindowIcon(QIcon(program));
        const auto box = QtUi::makeMessageBox(nullptr, MsgIcon(icon), title, text, MsgButtons::Ok);
        box->setWindowModality(Qt::NonModal); // shown to size itself, not run
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const int needed = fm.horizontalAdvance(title) + 5 * fm.height();
        QVERIFY2(box->width() >= needed, qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
        QVERIFY(!box->iconPixmap().isNull());
        if (MsgIcon(icon) == MsgIcon::None)
            QCOMPARE(box->iconPixmap().toImage().pixelColor(box->iconPixmap().width() / 2, box->iconPixmap().height() / 2),
                     QColor(Qt::cyan));
        box->close();
        QApplication::setWindowIcon(QIcon());
    }

private:
    ScriptedUi fake_;
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
