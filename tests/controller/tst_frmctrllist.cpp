#include "app/appstate.h"
#include "common/defaultwords.h"
#include "controller/ctrlcommands.h"
#include "controller/ctrlfile.h"
#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "platform/pump.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "workspace/mousecontrol.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QtTest>

// The controller pane, offscreen: loading, its buttons and menu, and the
// control file commands with scripted dialogs.
class TestFrmCtrlList : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ScriptedUi fake_;
    QStringList recent_;
    int connects_ = 0;
    int disconnects_ = 0;
    bool connected_ = false;
    QStringList transfers_; // "<kind> <caption>"
    QStringList edits_;

    static QString u(const char *s) { return QString::fromUtf8(s); }
    static CtrlSettings &S() { return app().Settings; }
    static CtrlState &C() { return app().ctrl; }

    static void useLanguage(int lang)
    {
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
    }

    static QByteArray golden(const char *name)
    {
        QFile f(QStringLiteral(KELVO_TEST_DATA "/") + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString file(const char *name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(QLatin1String(name));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
        return path;
    }
    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A control file of the defaults with other texts in a few members.
    QString editedFile(const char *name)
    {
        CtrlSettings s;
        s.reset();
        s.CH1VoltDiv = QStringLiteral("5.00V");
        s.TrigMethod = QStringLiteral("PULSE");
        s.PulseSource = QStringLiteral("D12");
        return file(name, ControlFileBytes(s));
    }

    // The same settings with the words of lang: a word in every word member,
    // each other than the last of its list (the word a guessing switch puts
    // there), with method as the trigger method; numbers, names and codes in
    // the other members.
    static CtrlSettings settingsIn(int lang, Word method)
    {
        const auto w = [lang](Word x) { return wordLiteral(x, lang); };
        CtrlSettings s;
        s.reset();
        s.RunStop = w(Word::WordRun);
        s.CH1Display = w(Word::WordOn);
        s.CH1VoltDiv = QStringLiteral("2.00V");
        s.CH1Coupling = w(Word::WordAC);
        s.CH1BWLimit = w(Word::WordOn);
        s.CH1Invert = w(Word::WordOn);
        s.CH2Display = w(Word::WordOn);
        s.CH2Offset = QStringLiteral("-1.20V");
        s.CH2Coupling = w(Word::WordDC);
        s.CH2BWLimit = w(Word::WordOn);
        s.CH2Invert = w(Word::WordOff);
        s.LADisplay = w(Word::WordOn);
        const QString codes[5] = {QStringLiteral("H"), QStringLiteral("L"), QStringLiteral("X"), w(Word::ItemRising),
                                  w(Word::ItemFalling)};
        for (int k = 1; k <= 16; ++k) {
            s.LAChanOn[k] = w(k % 3 ? Word::WordOn : Word::WordOff);
            s.LAChanPos[k] = QString::number(k);
            s.PatCode[k] = codes[k % 5];
            s.DurCode[k] = codes[(k + 2) % 5];
        }
        s.LAThreshold = w(Word::WordUser);
        s.LAGroupHi = w(Word::WordOn);
        s.LAGroupLo = w(Word::WordOn);
        s.MathDisplay = w(Word::WordOn);
        s.FFTDisplay = w(Word::WordOn);
        s.Spare1 = w(Word::WordOff);
        s.Spare5 = w(Word::WordOff);
        s.TrigMethod = w(method);
        s.EdgeSlope = w(Word::WordFalling);
        s.EdgeSource = w(Word::WordACLine);
        s.EdgeSweep = w(Word::WordNormal);
        s.EdgeCoupling = w(Word::WordAC);
        s.PulseSource = QStringLiteral("CH2");
        s.PulseMode = w(Word::WordPulseNegGreater);
        s.PulseCoupling = w(Word::WordLF);
        s.PulseSweep = w(Word::WordSingle);
        s.VideoPolarity = w(Word::WordPositive);
        s.VideoSync = w(Word::WordOddField);
        s.SlopeMode = w(Word::WordSlopeFallGreater);
        s.SlopeCoupling = w(Word::WordAC);
        s.SlopeSweep = w(Word::WordNormal);
        s.AltCH1Type = w(Word::WordPulse);
        s.AltCH2Type = w(Word::WordSlope);
        s.AltCH1EdgeSlope = w(Word::WordRising);
        s.AltCH2EdgeSlope = w(Word::WordFalling);
        s.AltCH1EdgeCoupling = w(Word::WordAC);
        s.AltCH2EdgeCoupling = w(Word::WordLF);
        s.AltCH1PulseMode = w(Word::WordPulsePosEqual);
        s.AltCH2PulseMode = w(Word::WordPulseNegLess);
        s.AltCH1PulseCoupling = w(Word::WordDC);
        s.AltCH2PulseCoupling = w(Word::WordAC);
        s.AltCH1VideoPolarity = w(Word::WordPositive);
        s.AltCH2VideoPolarity = w(Word::WordPositive);
        s.AltCH1VideoSync = w(Word::WordAllLines);
        s.AltCH2VideoSync = w(Word::WordLine);
        s.AltCH1SlopeMode = w(Word::WordSlopeRiseLess);
        s.AltCH2SlopeMode = w(Word::WordSlopeRiseGreater);
        s.AltCH1SlopeCoupling = w(Word::WordLF);
        s.AltCH2SlopeCoupling = w(Word::WordDC);
        s.PatSweep = w(Word::WordNormal);
        s.DurQualifier = w(Word::WordGreaterThan);
        s.DurSweep = w(Word::WordAuto);
        s.AcqSamplingMode = w(Word::WordRealTime);
        s.AcqType = w(Word::WordPeakDetect);
        s.DispType = w(Word::WordVectors);
        s.DispPersist = w(Word::WordOn);
        s.DispGrid = w(Word::WordHalf);
        return s;
    }

    // Every node text of a tree, depth first, indented by level.
    static QStringList treeTexts(QTreeWidget *tree)
    {
        QStringList out;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem *p = (*it)->parent(); p; p = p->parent())
                ++depth;
            out << QString(depth * 2, u' ') + (*it)->text(0);
        }
        return out;
    }
    // The tree the pane shows for settings in the language in force.
    static QStringList expectedTree(const CtrlSettings &settings)
    {
        CtrlTreeView tree;
        tree.build(CtrlTreeLayout(settings, true));
        return treeTexts(&tree);
    }

    // An unsaved change, as an accepted edit leaves it.
    static void modify()
    {
        S().CH2VoltDiv = QStringLiteral("200mV");
        SetCtrlNodeSetting(3, 3, QStringLiteral("Volt/Div"), S().CH2VoltDiv);
        C().CtrlFileModified = true;
    }

    static QAction *action(frmCtrlList &pane, const char *name)
    {
        return pane.popmenu1()->findChild<QAction *>(QLatin1String(name));
    }

    const RecordedMessage *lastMessage() const
    {
        return fake_.messages().isEmpty() ? nullptr : &fake_.messages().last();
    }

private slots:
    void init()
    {
        resetApp();
        fake_.clear();
        setUi(&fake_);
        QVERIFY(dir_.isValid());
        setSettingsFile(dir_.filePath("Kelvoscope.ini")); // the language switches store the language
        useLanguage(LanguageEnglish);
        recent_.clear();
        connects_ = disconnects_ = 0;
        connected_ = false;
        transfers_.clear();
        edits_.clear();
        CtrlHooks &h = C().hooks;
        h.addRecentCtrlFile = [this](const QString &p) { recent_ << p; };
        h.connectInstrument = [this] { ++connects_; connected_ = true; };
        h.disconnectInstrument = [this] { ++disconnects_; connected_ = false; };
        h.linkConnected = [this] { return connected_; };
        h.editSetting = [this](const QString &p) { edits_ << p; };
        h.showTransfer = [this](const QString &caption) {
            transfers_ << QString::number(app().transfer.RequestKind) + u' ' + caption;
            app().transfer.TransferBusy = true;
            app().xfer.RequestComplete = true; // a transfer that gets every reply
        };
        // The transfer finishes on the third turn of the pump.
        setPump([] {
            static int turns = 0;
            if (++turns % 3 == 0) {
                app().transfer.TransferDone = true;
                app().transfer.TransferBusy = false;
            }
        });
    }
    void cleanup()
    {
        setUi(nullptr);
        setPump({});
        setDefaultWordSource({});
        setSettingsFile(QString());
    }

    // The first load resets the settings; a later pane only rebuilds the tree.
    void loadAndReload()
    {
        S().MathDisplay = QStringLiteral("ON");
        {
            frmCtrlList pane;
            QVERIFY(C().CtrlInitialised);
            QVERIFY(!C().CtrlFileModified);
            QCOMPARE(S().CH1VoltDiv, QStringLiteral("1.00V"));
            QCOMPARE(S().MathDisplay, QStringLiteral("ON")); // kept by New
            QCOMPARE(C().CtrlSelectedPath, QStringLiteral("QM4100D"));
            QVERIFY(CtrlNodeExpanded(1, 0));
            QVERIFY(!CtrlNodeExpanded(2, 0));
            QCOMPARE(ctrlFileCommands(), static_cast<CtrlFileCommands *>(&pane));
            QCOMPARE(pane.windowTitle(), QStringLiteral("DSO Controller"));
            QCOMPARE(pane.cmdUpload()->text(), QStringLiteral("     Upload"));
            QCOMPARE(pane.cmdDownload()->toolTip(), QStringLiteral("Download To Software"));
            QCOMPARE(action(pane, "mnuExpand")->text(), QStringLiteral("&Expand All"));

            // The language switch re-captions the pane and rebuilds its tree.
            SwitchLanguage(LanguageChinese);
            QCOMPARE(pane.windowTitle(), u("DSO控制器"));
            QCOMPARE(pane.cmdUpload()->text(), u("      上传 ."));
            QCOMPARE(action(pane, "mnuSaveAsCtrl")->text(), u("另存控制文件为"));
            QCOMPARE(CtrlNodeText(1, 2), u("运行|停止 [运行]"));
            QVERIFY(CtrlNodeExpanded(1, 0));
            SwitchLanguage(LanguageEnglish);

            S().CH1VoltDiv = QStringLiteral("2.00V");
            C().CtrlFilePath = QStringLiteral("/x.rmt");
            C().CtrlFileModified = true;
        }
        QCOMPARE(ctrlFileCommands(), nullptr);
        QVERIFY(!languageLoader(LanguageLoader::LoadControllerTexts));
        QVERIFY(!app().texts.CtrlTreeRebuild);

        frmCtrlList again;
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("2.00V"));
        QCOMPARE(C().CtrlFilePath, QStringLiteral("/x.rmt"));
        QVERIFY(C().CtrlFileModified);
        QCOMPARE(CtrlNodeText(2, 3), QStringLiteral("Volt/Div [2.00V]"));
        QVERIFY(CtrlNodeExpanded(1, 0));
    }

    void connectAndDisconnect()
    {
        frmCtrlList pane;
        action(pane, "mnuConnect")->trigger();
        QCOMPARE(connects_, 1);
        action(pane, "mnuDisconnect")->trigger();
        QCOMPARE(disconnects_, 1);

        app().transfer.TransferBusy = true;
        pane.mnuConnect_Click();
        pane.mnuDisconnect_Click();
        QCOMPARE(connects_, 1);
        QCOMPARE(disconnects_, 1);
        QVERIFY(fake_.messages().isEmpty());
    }

    // A mouse event over Upload or Download gives the button the program's
    // current pointer: the hourglass while it is set, the default after.
    void buttonsTakeTheScreenPointer()
    {
        frmCtrlList pane;
        for (QToolButton *b : {pane.cmdUpload(), pane.cmdDownload()}) {
            const auto moveOver = [b] {
                QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), b->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                                 Qt::NoButton, Qt::NoModifier);
                QCoreApplication::sendEvent(b, &move);
            };
            MouseControl::setCursor(11);
            moveOver();
            QCOMPARE(b->cursor().shape(), Qt::WaitCursor);
            MouseControl::setCursor(0);
            moveOver();
            QVERIFY(!b->testAttribute(Qt::WA_SetCursor));
        }
    }

    void transfers_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("want");
        QTest::newRow("upload button") << true << false << int(LanguageEnglish) << "22 Data Uploading...";
        QTest::newRow("download button") << false << false << int(LanguageEnglish) << "23 Data Downloading...";
        QTest::newRow("upload menu") << true << true << int(LanguageEnglish) << "22 Data Uploading...";
        QTest::newRow("download menu, Chinese") << false << true << int(LanguageChinese) << u("23 数据下载中...");
    }
    // Connected and idle: the transfer dialog runs the request to its end.
    // Disconnected: MsgConnectFirst. While a transfer runs: nothing at all.
    void transfers()
    {
        QFETCH(bool, upload);
        QFETCH(bool, viaMenu);
        QFETCH(int, lang);
        QFETCH(QString, want);
        useLanguage(lang);
        frmCtrlList pane;
        auto run = [&] {
            if (viaMenu)
                action(pane, upload ? "mnuUpload" : "mnuDownLoad")->trigger();
            else
                (upload ? pane.cmdUpload() : pane.cmdDownload())->click();
        };

        run();
        QVERIFY(transfers_.isEmpty());
        QCOMPARE(fake_.messages().size(), 1);
        QCOMPARE(lastMessage()->text, message(Msg::MsgConnectFirst));
        QCOMPARE(lastMessage()->icon, MsgIcon::Exclamation);

        connected_ = true;
        app().transfer.TransferBusy = true;
        run();
        QVERIFY(transfers_.isEmpty());
        QCOMPARE(fake_.messages().size(), 1);
        app().transfer.TransferBusy = false;

        S().CH1Invert = S().CH2Invert = QStringLiteral("x");
        QVERIFY(!C().CtrlFileModified);
        run();
        QCOMPARE(transfers_, QStringList{want});
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(!app().transfer.TransferBusy);
        const QString off = lang == LanguageChinese ? u("关闭") : QStringLiteral("OFF");
        QCOMPARE(S().CH1Invert, off);
        QCOMPARE(S().CH2Invert, off);
        QCOMPARE(S().Spare1, off);
        QCOMPARE(C().CtrlFileModified, !upload); // a download marks the settings modified
    }

    // Without a transfer dialog the request is set and nothing waits.
    void transferWithoutDialog()
    {
        C().hooks.showTransfer = {};
        setPump([] { QFAIL("nothing to wait for"); });
        UploadToDSO();
        QCOMPARE(app().transfer.RequestKind, 22);
        QVERIFY(app().transfer.TransferDone);
        DownloadfromDSO();
        QCOMPARE(app().transfer.RequestKind, 23);
    }

    void expandAll_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("la");
        QTest::addColumn<QList<int>>("open");   // pairs group, item
        QTest::addColumn<QList<int>>("closed");
        QTest::newRow("EDGE with LA") << "EDGE" << true
                                      << QList<int>{1, 0, 2, 0, 3, 0, 4, 0, 4, 13, 5, 0, 6, 0, 7, 0, 8, 0}
                                      << QList<int>{4, 14, 4, 10};
        QTest::newRow("ALTERNATIVE without LA") << "ALTERNATIVE" << false
                                                << QList<int>{1, 0, 5, 0, 5, 13, 5, 14, 6, 0, 6, 19, 6, 20, 8, 0}
                                                << QList<int>{};
        QTest::newRow("PATTERN") << "PATTERN" << true << QList<int>{6, 0, 4, 0} << QList<int>{6, 21, 4, 14, 4, 10};
    }
    void expandAll()
    {
        QFETCH(QString, method);
        QFETCH(bool, la);
        QFETCH(QList<int>, open);
        QFETCH(QList<int>, closed);
        C().hooks.laPresent = [la] { return la; };
        frmCtrlList pane;
        S().TrigMethod = method;
        BuildCtrlTree();
        SetCtrlTreeRootExpanded(false);
        action(pane, "mnuExpand")->trigger();
        QVERIFY(CtrlTreeRootExpanded());
        for (int k = 0; k < open.size(); k += 2)
            QVERIFY2(CtrlNodeExpanded(open[k], open[k + 1]), qPrintable(QStringLiteral("%1,%2").arg(open[k]).arg(open[k + 1])));
        for (int k = 0; k < closed.size(); k += 2) {
            QVERIFY(HasCtrlNode(closed[k], closed[k + 1]));
            QVERIFY(!CtrlNodeExpanded(closed[k], closed[k + 1]));
        }
    }

    // A click stores the node's path; a double click or Enter hands it to the
    // editors when connected.
    void doubleClickAndEnter()
    {
        frmCtrlList pane;
        CtrlTreeView *tree = pane.CtrlTree();
        tree->setCurrentItem(tree->node(2, 5));
        QCOMPARE(C().CtrlSelectedPath, QStringLiteral("QM4100D\\CH1\\Coupling [AC]"));
        emit tree->itemDoubleClicked(tree->node(2, 5), 0);
        QVERIFY(edits_.isEmpty());
        QCOMPARE(lastMessage()->text, QStringLiteral("Please Connect Oscilloscope First!"));
        QCOMPARE(lastMessage()->icon, MsgIcon::Exclamation);

        connected_ = true;
        emit tree->itemClicked(tree->node(6, 9), 0);
        emit tree->itemDoubleClicked(tree->node(2, 5), 0); // acts on the stored path
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(edits_, (QStringList{QStringLiteral("QM4100D\\Trigger\\Holdoff [100ns]"),
                                      QStringLiteral("QM4100D\\Trigger\\Holdoff [100ns]")}));
    }

    // The right button opens the popup and selects nothing: Enter still acts on
    // the node clicked last. A double click below the last node acts on it too.
    void rightClickKeepsTheClickedNode()
    {
        frmCtrlList pane;
        pane.resize(300, 2000);
        pane.show();
        CtrlTreeView *tree = pane.CtrlTree();
        connected_ = true;
        QTreeWidgetItem *clicked = tree->node(6, 9);
        tree->scrollToItem(clicked); // its group opened
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(clicked).center());
        const QString path = C().CtrlSelectedPath;
        QCOMPARE(path, QStringLiteral("QM4100D\\Trigger\\Holdoff [100ns]"));
        QTreeWidgetItem *other = tree->node(2, 5);
        tree->scrollToItem(other);
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(other).center());
        QCOMPARE(C().CtrlSelectedPath, path);
        QCOMPARE(tree->currentItem(), clicked);
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(edits_, QStringList{path});
        // Below the last node.
        tree->collapseAll();
        const QPoint below(20, tree->viewport()->height() - 5);
        QVERIFY(!tree->itemAt(below));
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(edits_, (QStringList{path, path}));
    }

    // New asks only when modified; No goes on, Cancel stops, Yes saves first and
    // stops when that save is cancelled or fails.
    void newControlFile()
    {
        frmCtrlList pane;
        CtrlFileCommands *commands = ctrlFileCommands();

        modify();
        fake_.answerMessage(MsgAnswer::Cancel);
        commands->mnuNewCtrl_Click();
        QCOMPARE(lastMessage()->text, QStringLiteral("Save the changes to the Control File? "));
        QCOMPARE(lastMessage()->buttons, MsgButtons::YesNoCancel);
        QCOMPARE(lastMessage()->icon, MsgIcon::None);
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("200mV"));
        QVERIFY(C().CtrlFileModified);

        // Yes, then the save dialog is cancelled: nothing is reset.
        fake_.answerMessage(MsgAnswer::Yes);
        fake_.cancelFile();
        commands->mnuNewCtrl_Click();
        QCOMPARE(fake_.fileDialogs().size(), 1);
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("200mV"));
        QCOMPARE(CtrlNodeText(3, 3), QStringLiteral("Volt/Div [200mV]"));
        QVERIFY(C().CtrlFileModified);

        // Yes, then the save fails: nothing is reset either.
        const QString blocked = file("plain", "x") + QStringLiteral("/a.rmt");
        fake_.answerMessage(MsgAnswer::Yes);
        fake_.answerFile(blocked);
        commands->mnuNewCtrl_Click();
        QCOMPARE(lastMessage()->icon, MsgIcon::Critical);
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("200mV"));
        QVERIFY(C().CtrlFilePath.isEmpty());
        QVERIFY(recent_.isEmpty());

        // Yes with a good file: saved, then reset.
        const QString path = dir_.filePath("saved.rmt");
        fake_.answerMessage(MsgAnswer::Yes);
        fake_.answerFile(path);
        commands->mnuNewCtrl_Click();
        QCOMPARE(contents(path).count("\"200mV\""), 1);
        QCOMPARE(recent_, QStringList{path});
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("1.00V"));
        QCOMPARE(CtrlNodeText(3, 3), QStringLiteral("Volt/Div [1.00V]"));
        QVERIFY(C().CtrlFilePath.isEmpty());
        QVERIFY(!C().CtrlFileModified);

        // The prompt names the current file; No resets without saving.
        C().CtrlFilePath = path;
        modify();
        fake_.answerMessage(MsgAnswer::No);
        const int before = fake_.messages().size();
        commands->mnuNewCtrl_Click();
        QCOMPARE(fake_.messages().size(), before + 1);
        QCOMPARE(lastMessage()->text, QStringLiteral("Save the changes to the Control File? ") + path);
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("1.00V"));
        QCOMPARE(contents(path).count("\"200mV\""), 1); // not saved again

        // Not modified: no question.
        commands->mnuNewCtrl_Click();
        QCOMPARE(fake_.messages().size(), before + 1);

        // While a transfer runs New does nothing.
        modify();
        app().transfer.TransferBusy = true;
        commands->mnuNewCtrl_Click();
        QCOMPARE(fake_.messages().size(), before + 1);
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("200mV"));
    }

    void openWithDialog()
    {
        useLanguage(LanguageChinese);
        frmCtrlList pane;
        const QString path = editedFile("edited.rmt");
        fake_.answerFile(path);
        action(pane, "mnuOpenCtrl")->trigger();
        QCOMPARE(fake_.fileDialogs().size(), 1);
        QVERIFY(!fake_.fileDialogs()[0].save);
        QCOMPARE(fake_.fileDialogs()[0].request.title, u("打开"));
        QCOMPARE(fake_.fileDialogs()[0].request.filter, u("控制器文件 (*.rmt);;所有文件 (*)"));
        // English words read while the program runs in Chinese come in as the
        // Chinese words of the same meaning.
        QCOMPARE(S().TrigMethod, u("脉宽触发"));
        QCOMPARE(S().PulseSweep, u("自动"));
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("5.00V"));
        QCOMPARE(C().CtrlFilePath, path);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(recent_, QStringList{path});
        QCOMPARE(CtrlNodeText(2, 3), u("档位 [5.00V]"));
        QCOMPARE(CtrlNodeText(6, 2), u("触发模式 [脉宽触发]"));
        QCOMPARE(CtrlNodeText(6, 3), u("信源选择 [D12]"));
        QVERIFY(CtrlNodeExpanded(1, 0));
        QCOMPARE(C().CtrlSelectedPath, QStringLiteral("QM4100D"));

        // A cancelled dialog opens nothing.
        S().CH1VoltDiv = QStringLiteral("kept");
        fake_.cancelFile();
        pane.mnuOpenCtrl_Click();
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("kept"));
        QCOMPARE(recent_.size(), 1);
    }

    // A control file saved in one language, opened while the program runs in
    // the other and then saved after a switch back: every setting keeps its
    // meaning. The words come in translated when the file is opened, so the
    // tree shows every setting, the trigger group too, as it shows the same
    // settings saved in the language in force; the switch back translates
    // them again, and the file written then equals the one saved, line for
    // line.
    void fileOfTheOtherLanguageKeepsItsMeaning_data()
    {
        QTest::addColumn<int>("saved");
        QTest::addColumn<Word>("method");
        for (int saved : {LanguageChinese, LanguageEnglish})
            for (Word m : {Word::WordEdge, Word::WordPulse, Word::WordVideo, Word::WordSlope, Word::WordAlternative,
                           Word::WordPattern, Word::WordDuration})
                QTest::addRow("%s saved in %s", wordName(m), saved == LanguageChinese ? "Chinese" : "English")
                    << saved << m;
    }
    void fileOfTheOtherLanguageKeepsItsMeaning()
    {
        QFETCH(int, saved);
        QFETCH(Word, method);
        const int other = 1 - saved;
        useLanguage(saved);
        frmCtrlList pane;
        S() = settingsIn(saved, method);
        const QString savedPath = dir_.filePath("saved.rmt");
        fake_.answerFile(savedPath);
        QCOMPARE(pane.mnuSaveAsCtrl_Click(), CtrlSaveResult::Saved);
        const QByteArray savedBytes = contents(savedPath);
        QCOMPARE(savedBytes, ControlFileBytes(settingsIn(saved, method)));

        SwitchLanguage(other);
        ctrlFileCommands()->mnuNewCtrl_Click();
        fake_.answerFile(savedPath);
        action(pane, "mnuOpenCtrl")->trigger();
        QCOMPARE(C().CtrlFilePath, savedPath);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(treeTexts(CtrlTreeView::current()), expectedTree(settingsIn(other, method)));
        QVERIFY(HasCtrlNode(6, 2));
        QCOMPARE(CtrlNodeText(6, 2), CtrlSettingText(word(Word::ItemMethod), wordLiteral(method, other)));
        QCOMPARE(S(), settingsIn(other, method));

        SwitchLanguage(saved);
        QCOMPARE(treeTexts(CtrlTreeView::current()), expectedTree(settingsIn(saved, method)));
        const QString againPath = dir_.filePath("again.rmt");
        fake_.answerFile(againPath);
        QCOMPARE(pane.mnuSaveAsCtrl_Click(), CtrlSaveResult::Saved);
        const QList<QByteArray> before = savedBytes.split('\n');
        const QList<QByteArray> after = contents(againPath).split('\n');
        QCOMPARE(after.size(), before.size());
        QCOMPARE(before.size(), ControlFileLines + 1); // the last line ends in CR LF too
        for (int i = 0; i < before.size(); ++i)
            QVERIFY2(after[i] == before[i], qPrintable(QStringLiteral("line %1: %2, saved %3")
                                                           .arg(i + 1)
                                                           .arg(QString::fromUtf8(after[i]).trimmed(),
                                                                QString::fromUtf8(before[i]).trimmed())));
    }

    void openFailuresChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("text");
        QByteArray wrong = golden("defaults_en.rmt");
        wrong.replace("QM4100D", "QM4200D");
        QTest::newRow("wrong header") << wrong << true << "File Format is Invaild !";
        QTest::newRow("empty file") << QByteArray() << true << "File Format is Invaild !";
        QTest::newRow("missing file") << QByteArray() << false << "";
    }
    // A file that cannot be read or is no control file changes nothing: not the
    // settings, the path, the modified flag, the recent list or the tree.
    void openFailuresChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exists);
        QFETCH(QString, text);
        frmCtrlList pane;
        const QString old = dir_.filePath("old.rmt");
        C().CtrlFilePath = old;
        modify();
        SetCtrlNodeExpanded(3, 0, true);
        const CtrlSettings before = S();
        const QString path = exists ? file("bad.rmt", bytes) : dir_.filePath("none.rmt");

        fake_.answerMessage(MsgAnswer::No); // the save question
        fake_.answerFile(path);
        pane.mnuOpenCtrl_Click();
        fake_.answerMessage(MsgAnswer::No);
        ctrlFileCommands()->OpenCtrl(path);

        QCOMPARE(fake_.messages().size(), 4);
        for (int k : {1, 3}) {
            QCOMPARE(fake_.messages()[k].icon, MsgIcon::Critical);
            if (!text.isEmpty())
                QCOMPARE(fake_.messages()[k].text, text);
            else
                QVERIFY(!fake_.messages()[k].text.isEmpty()); // the system's description
        }
        QCOMPARE(S(), before);
        QCOMPARE(C().CtrlFilePath, old);
        QVERIFY(C().CtrlFileModified);
        QVERIFY(recent_.isEmpty());
        QCOMPARE(CtrlNodeText(3, 3), QStringLiteral("Volt/Div [200mV]"));
        QVERIFY(CtrlNodeExpanded(3, 0));
    }

    void openCtrlByPath()
    {
        frmCtrlList pane;
        const QString path = editedFile("recent.rmt");
        CtrlFileCommands *commands = ctrlFileCommands();

        modify();
        fake_.answerMessage(MsgAnswer::Cancel);
        commands->OpenCtrl(path);
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("1.00V"));
        QVERIFY(recent_.isEmpty());

        app().transfer.TransferBusy = true;
        commands->OpenCtrl(path);
        commands->mnuOpenCtrl_Click();
        QCOMPARE(fake_.messages().size(), 1);
        QCOMPARE(fake_.fileDialogs().size(), 0);
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("1.00V"));
        app().transfer.TransferBusy = false;

        fake_.answerMessage(MsgAnswer::No);
        commands->OpenCtrl(path);
        QCOMPARE(S().CH1VoltDiv, QStringLiteral("5.00V"));
        QCOMPARE(S().CH2VoltDiv, QStringLiteral("1.00V")); // the unsaved change is gone
        QCOMPARE(C().CtrlFilePath, path);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(recent_, QStringList{path});
        // PULSE with a digital source: no Coupling, Level or Sensitivity.
        QCOMPARE(CtrlNodeText(6, 3), QStringLiteral("Source [D12]"));
        QVERIFY(!HasCtrlNode(6, 6));
        QCOMPARE(CtrlNodeText(6, 10), QStringLiteral("Holdoff [100ns]"));
        QCOMPARE(fake_.fileDialogs().size(), 0);
    }

    void save()
    {
        frmCtrlList pane;
        CtrlFileCommands *commands = ctrlFileCommands();
        modify();

        fake_.cancelFile();
        QCOMPARE(commands->mnuSaveCtrl_Click(), CtrlSaveResult::Cancelled);
        QVERIFY(C().CtrlFileModified);
        QCOMPARE(fake_.fileDialogs().last().request.title, QStringLiteral("Save"));
        QCOMPARE(fake_.fileDialogs().last().request.filter, QStringLiteral("Control Files (*.rmt)"));
        QVERIFY(fake_.fileDialogs().last().save);

        // A failed write: the system's text, critical; nothing counts as saved.
        const QString blocked = file("plain", "x") + QStringLiteral("/a.rmt");
        fake_.answerFile(blocked);
        QCOMPARE(commands->mnuSaveCtrl_Click(), CtrlSaveResult::Failed);
        QCOMPARE(lastMessage()->icon, MsgIcon::Critical);
        QVERIFY(!lastMessage()->text.isEmpty());
        QVERIFY(C().CtrlFileModified);
        QVERIFY(C().CtrlFilePath.isEmpty());
        QVERIFY(recent_.isEmpty());

        const QString path = dir_.filePath("first.rmt");
        fake_.answerFile(path);
        QCOMPARE(commands->mnuSaveCtrl_Click(), CtrlSaveResult::Saved);
        QCOMPARE(contents(path), ControlFileBytes(S()));
        QCOMPARE(C().CtrlFilePath, path);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(recent_, QStringList{path});

        // With a path: no dialog.
        const int dialogs = fake_.fileDialogs().size();
        S().CH1Probe = QStringLiteral("10X");
        C().CtrlFileModified = true;
        QCOMPARE(action(pane, "mnuSaveCtrl") != nullptr, true);
        action(pane, "mnuSaveCtrl")->trigger();
        QCOMPARE(fake_.fileDialogs().size(), dialogs);
        QCOMPARE(contents(path).count("\"10X\""), 1);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(recent_, (QStringList{path, path}));

        // The current file can no longer be written: it stays current and modified.
        C().CtrlFilePath = blocked;
        C().CtrlFileModified = true;
        QCOMPARE(pane.mnuSaveCtrl_Click(), CtrlSaveResult::Failed);
        QCOMPARE(C().CtrlFilePath, blocked);
        QVERIFY(C().CtrlFileModified);
        QCOMPARE(recent_.size(), 2);
    }

    void saveAs()
    {
        frmCtrlList pane;
        const QString first = dir_.filePath("a.rmt");
        C().CtrlFilePath = first;
        C().CtrlFileModified = true;
        SetCtrlNodeText(2, 2, QStringLiteral("marked")); // Save As does not rebuild

        fake_.cancelFile();
        QCOMPARE(pane.mnuSaveAsCtrl_Click(), CtrlSaveResult::Cancelled);
        QCOMPARE(fake_.fileDialogs().last().request.title, QStringLiteral("Save As"));
        QCOMPARE(fake_.fileDialogs().last().request.filter,
                 QStringLiteral("Control Files (*.rmt);;Text Files (*.txt);;All Files (*.*)"));
        QCOMPARE(C().CtrlFilePath, first);
        QVERIFY(C().CtrlFileModified);

        fake_.answerFile(file("plain", "x") + QStringLiteral("/b.rmt"));
        QCOMPARE(pane.mnuSaveAsCtrl_Click(), CtrlSaveResult::Failed);
        QCOMPARE(C().CtrlFilePath, first);
        QVERIFY(C().CtrlFileModified);

        const QString text = dir_.filePath("copy.txt"); // any name, same format
        fake_.answerFile(text);
        action(pane, "mnuSaveAsCtrl")->trigger();
        QCOMPARE(contents(text), ControlFileBytes(S()));
        QCOMPARE(C().CtrlFilePath, text);
        QVERIFY(!C().CtrlFileModified);
        QCOMPARE(recent_, QStringList{text});
        QCOMPARE(CtrlNodeText(2, 2), QStringLiteral("marked"));
        QVERIFY(fake_.messages().size() == 1); // only the failure
    }
};

QTEST_MAIN(TestFrmCtrlList)
#include "tst_frmctrllist.moc"
