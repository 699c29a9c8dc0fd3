#include "platform/print/pictureoutput.h"
#include "platform/ui/savepath.h"
#include "platform/ui/qtui.h"
#include "platform/ui/scriptedui.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMessageBox>
#include <QFileDialog>
#include <QTemporaryDir>

#include <QtTest>

class TestUi : public QObject {
    Q_OBJECT
private slots:
    // Qt's own dialog settings go to the test folders, not the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
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
        // A dot anywhere in the name keeps it as typed: the dialog asked about that name.
        QTest::newRow("trailing dot") << "/d/shot." << "BitMap Files (*.bmp)" << "/d/shot.";
        QTest::newRow("leading dot") << "/d/.shot" << "CSV Files (*.csv)" << "/d/.shot";
        QTest::newRow("two dots at the end") << "/d/a.b." << "CSV Files (*.csv)" << "/d/a.b.";
        QTest::newRow("dotted folder, trailing dot") << "/d/x.y/shot." << "(*.csv)" << "/d/x.y/shot.";
    }

    // The file an export writes is the one the real save dialog confirmed:
    // for every name typed, the path the dialog hands back (with its default
    // suffix added, and checked for a file to replace) is the path saved.
    void savedPathIsTheDialogs_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("plain") << "shot";
        QTest::newRow("suffix") << "shot.png";
        QTest::newRow("trailing dot") << "shot.";
        QTest::newRow("two trailing dots") << "shot..";
        QTest::newRow("leading dot") << ".shot";
        QTest::newRow("dot only inside") << "a.b.c";
        QTest::newRow("Chinese") << "图.";
    }
    void savedPathIsTheDialogs()
    {
        QFETCH(QString, typed);
        QTemporaryDir dir;
        for (const QString &filter : {QStringLiteral("BitMap Files (*.bmp)"), QStringLiteral("CSV Files (*.csv)")}) {
            FileDialogRequest req{"Export", filter, dir.path(), {}, {}};
            auto dlg = QtUi::makeFileDialog(nullptr, req, true);
            dlg->setOption(QFileDialog::DontUseNativeDialog);
            dlg->selectFile(dir.filePath(typed));
            const QStringList chosen = dlg->selectedFiles();
            QCOMPARE(chosen.size(), 1);
            FileDialogResult r{true, chosen.first(), dlg->selectedNameFilter()};
            QCOMPARE(ChosenSavePath(r), chosen.first());
            // And the name as typed (the scripted dialog's answer) is saved under the same path.
            r.path = dir.filePath(typed);
            QCOMPARE(ChosenSavePath(r), chosen.first());
        }
    }

    // A bitmap export to "shot." writes "shot.", the file the dialog asked
    // about, and leaves a file "shot..bmp" as it was.
    void exportWritesTheConfirmedFile()
    {
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("shot..bmp"));
        {
            QFile f(other);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep");
        }
        QImage picture(8, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        fake_.answerFile(dir.filePath(QStringLiteral("shot.")));
        QVERIFY(ExportPanelPicture(picture, 1));
        QVERIFY(fake_.messages().isEmpty());
        QFile kept(other);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep"));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("shot.")), "BMP").pixel(0, 0), QColor(Qt::red).rgb());
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

    // Every open and save shows the one dialog, kept from its first use:
    // an answer destroys nothing (nor writes Qt's dialog settings) before the
    // window that shows it repaints. Each request sets it up as a new dialog
    // would be: nothing of an earlier one stays, the chosen file least of all.
    void oneFileDialogServesEveryRequest()
    {
        QTemporaryDir dir;
        const QString picked = dir.filePath(QStringLiteral("capture.wfm"));
        {
            QFile f(picked);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QtUi real;
        const FileDialogRequest open{"Open Waveform Files", "Waveform Files (*.wfm)", dir.path(), {}, {}};
        QFileDialog &first = real.fileDialog(open, false);
        QCOMPARE(first.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(first.fileMode(), QFileDialog::ExistingFile);
        first.selectFile(picked);
        QCOMPARE(first.selectedFiles(), QStringList{picked});

        const FileDialogRequest save{"Save To CSV file", "CSV Files (*.csv);;All Files (*.*)", {}, {}, {}};
        QFileDialog &second = real.fileDialog(save, true);
        QCOMPARE(&second, &first);
        QCOMPARE(second.windowTitle(), QStringLiteral("Save To CSV file"));
        QCOMPARE(second.nameFilters(), (QStringList{"CSV Files (*.csv)", "All Files (*.*)"}));
        QCOMPARE(second.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(second.fileMode(), QFileDialog::AnyFile);
        QCOMPARE(second.defaultSuffix(), QStringLiteral("csv"));
        QVERIFY(!second.selectedFiles().contains(picked)); // the waveform file is not offered to be overwritten
        QCOMPARE(QDir(second.directory()).absolutePath(), QDir(dir.path()).absolutePath()); // the folder stays

        // Open again: no suffix, whatever filter is picked.
        QFileDialog &third = real.fileDialog({"Open", "Excel (*.xls);;Text Files (*.txt)", {}, {}, {}}, false);
        QCOMPARE(&third, &first);
        QVERIFY(third.defaultSuffix().isEmpty());
        auto *types = third.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(third.selectedNameFilter(), QStringLiteral("Text Files (*.txt)"));
        QVERIFY(third.defaultSuffix().isEmpty());
        // A proposed name is selected.
        const FileDialogRequest named{"Save", "Waveform Files (*.wfm)", dir.path(), QStringLiteral("capture.wfm"), {}};
        QCOMPARE(real.fileDialog(named, true).selectedFiles(), QStringList{picked});

        // Answered while its name box offered a list of names: the list goes
        // with the answer (the dialog is only hidden; a new one took its list
        // along when it was destroyed).
        auto *name = first.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name && name->completer() && name->completer()->popup());
        QWidget *names = name->completer()->popup();
        names->show();
        QVERIFY(names->isVisible());
        QtUi::closeFileDialogPopups(first);
        QVERIFY(!names->isVisible());
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
