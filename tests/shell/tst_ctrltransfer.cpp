// The controller pane's Upload and Download, run from the loaded main window:
// they go through the transfer dialog to the settings transfers and reach the
// instrument.

#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "editors/ctrldialog.h"
#include "texts/stringres.h"
#include "shell/shellfixture.h"
#include "texts/messagetable.h"
#include "transfer/frmprgress.h"

#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidgetItemIterator>
#include <QtTest>

namespace {

// The lines the instrument got that name a setting and give it nothing: a
// header, its blank, and no value after it.
QStringList linesWithoutArgument(const Qm4100Sim &sim)
{
    QStringList out;
    for (const QByteArray &l : sim.lines()) {
        const qsizetype blank = l.indexOf(' ');
        if (blank >= 0 && l.mid(blank + 1).trimmed().isEmpty())
            out << QString::fromLatin1(l);
    }
    return out;
}

// The texts of the tree that hold a number no display can mean: more than
// twelve digits in a row.
QStringList absurdNodeTexts(const CtrlTreeView *tree)
{
    static const QRegularExpression longNumber(QStringLiteral("[0-9]{13}"));
    QStringList out;
    for (QTreeWidgetItemIterator it(const_cast<CtrlTreeView *>(tree)); *it; ++it)
        if ((*it)->text(0).contains(longNumber))
            out << (*it)->text(0).left(60);
    return out;
}

QStringList absurdMembers()
{
    QStringList out;
    for (const CtrlSettingsField &f : ctrlSettingsFields())
        if (f.text && (app().Settings.*(f.text)).size() > 40)
            out << QString::fromLatin1(f.name);
    return out;
}

// Clicks and double-clicks the node with the mouse.
void doubleClickNode(CtrlTreeView *tree, int group, int item)
{
    QTreeWidgetItem *node = tree->node(group, item);
    QVERIFY(node);
    for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree->scrollToItem(node);
    const QPoint at = tree->visualItemRect(node).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// Double-clicks the node and picks text in its setting dialog, then OK.
void editNode(ShellFixture &f, CtrlTreeView *tree, int group, int item, const QString &text)
{
    bool picked = false;
    f.script = [&](QDialog &d) {
        auto *c = qobject_cast<CtrlDialog *>(&d);
        QVERIFY(c);
        const int index = c->Combo()->findText(text, Qt::MatchExactly);
        QVERIFY(index >= 0);
        c->Combo()->setCurrentIndex(index);
        QTest::mouseClick(c->cmdOK(), Qt::LeftButton);
        picked = true;
    };
    doubleClickNode(tree, group, item);
    f.script = {};
    QVERIFY(picked);
}

} // namespace

class TestCtrlTransfer : public QObject {
    Q_OBJECT
private slots:
    void uploadAndDownloadRunThroughTheTransferDialog()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        auto *pane = w->findChild<frmCtrlList *>();
        QVERIFY(pane);
        w->mnuToolsConnect_Click();
        QVERIFY(app().link.LinkConnected);

        // Upload: the record's settings reach the instrument.
        app().Settings.CH1VoltDiv = QStringLiteral("200mV");
        f.sim.clearLog();
        pane->cmdUpload_Click();
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(!app().transfer.TransferBusy);
        QCOMPARE(f.sim.count(":CHANNEL1:SCALE 200MV"), 1);
        QCOMPARE(f.sim.setting(":CHANNEL1:SCALE"), QByteArray("2.000e-01"));
        QVERIFY(app().updown.ProgressSteps > 0);
        QVERIFY(app().updown.ProgressValue > 0 && app().updown.ProgressValue <= 100);
        // The dialog closed itself and let go of the bar.
        QTRY_VERIFY(w->findChildren<frmPrgress *>().isEmpty() && !app().updown.ShowProgress);

        // Download: the instrument's settings come back into the record.
        f.sim.handle(":CHANNEL2:SCALE 5V", Qm4100Sim::Framing::VisaUsb);
        f.sim.clearLog();
        pane->cmdDownload_Click();
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(f.sim.count(":CHANNEL2:SCALE?") >= 1);
        QCOMPARE(app().Settings.CH2VoltDiv, QStringLiteral("5.00V"));
    }

    void xyWaveformRequestTurnsTheTreeChannelsOn()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        w->mnuToolsConnect_Click();
        QVERIFY(app().link.LinkConnected);
        const QString off = word(Word::WordOff);
        app().Settings.CH1Display = off;
        app().Settings.CH2Display = off;
        BuildCtrlTree();
        QVERIFY(CtrlNodeText(2, 2).endsWith(QLatin1String("[") + off + QLatin1String("]")));
        f.sim.handle(":TIMEBASE:FORMAT XY", Qm4100Sim::Framing::VisaUsb);
        app().Sheet.WaveDocs[0].ShowCH1 = true;
        QVERIFY(RequestWaveformLoad(0));
        const QString on = word(Word::WordOn);
        QCOMPARE(CtrlNodeText(2, 2), word(Word::ItemDisplay) + QLatin1String(" [") + on + QLatin1String("]"));
        QCOMPARE(CtrlNodeText(3, 2), word(Word::ItemDisplay) + QLatin1String(" [") + on + QLatin1String("]"));
    }

    // The instrument answers the trigger level, or the scale of its source,
    // with a number it cannot mean ("1e600" reads as the largest double). No
    // text of hundreds of digits reaches the settings or the tree, and no
    // command goes out without its argument: a download keeps the level, an
    // upload sends none it cannot form, an edit whose level cannot be formed
    // is refused with the read failure.
    void absurdLevelReplies_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QByteArray>("query");
        QTest::addColumn<QByteArray>("reply");
        for (bool serial : {false, true}) {
            const char *link = serial ? "serial" : "VISA";
            for (const char *reply : {"1e308", "1e600", "-1e308", "3e200"}) {
                QTest::addRow("%s, level %s", link, reply) << serial << QByteArray(":TRIGGER:EDGE:LEVEL?")
                                                           << QByteArray(reply);
                QTest::addRow("%s, scale %s", link, reply) << serial << QByteArray(":CHANNEL1:SCALE?")
                                                           << QByteArray(reply);
            }
        }
    }
    void absurdLevelReplies()
    {
        QFETCH(bool, serial);
        QFETCH(QByteArray, query);
        QFETCH(QByteArray, reply);
        ShellFixture f;
        auto w = f.loadMain();
        w->show();
        // The load starts every session on VISA.
        if (serial)
            f.useSerial();
        else
            f.useVisa();
        auto *pane = w->findChild<frmCtrlList *>();
        QVERIFY(pane);
        QVERIFY(f.connect());
        // CH1 at 2 V/div: a level of 1e308 V is 5e307 div, which a plain
        // double times 2 V/div no longer holds.
        f.sim.handle(":CHANNEL1:SCALE 2V", Qm4100Sim::Framing::VisaUsb);
        f.sim.handle(":TRIGGER:EDGE:LEVEL 1V", Qm4100Sim::Framing::VisaUsb);
        const QString shownLevel = QStringLiteral("0.50div");
        pane->cmdDownload_Click();
        QCOMPARE(app().Settings.EdgeLevel, shownLevel);

        Qm4100Sim::Faults faults;
        faults.textReplyTo.insert(query, reply);
        f.sim.setFaults(faults);
        const bool levelReply = query.contains("LEVEL");

        // Download: the level stays as it was; nothing absurd anywhere.
        f.sim.clearLog();
        pane->cmdDownload_Click();
        QVERIFY(f.sim.count(query) >= 1);
        if (levelReply)
            QCOMPARE(app().Settings.EdgeLevel, shownLevel);
        QCOMPARE(absurdMembers(), QStringList());
        QCOMPARE(absurdNodeTexts(pane->CtrlTree()), QStringList());

        // Upload: every command carries its argument; a level the scale gives
        // none for is not sent, and the instrument keeps its own.
        app().Settings.EdgeLevel = QStringLiteral("2.00div");
        f.sim.clearLog();
        pane->cmdUpload_Click();
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(f.sim.count(":TRIGGER:EDGE:SOURCE?") >= 1);
        QCOMPARE(linesWithoutArgument(f.sim), QStringList());
        if (levelReply)
            QCOMPARE(f.sim.count(":TRIGGER:EDGE:LEVEL 4"), 1); // 2.00div at 2 V/div
        else
            QCOMPARE(f.sim.setting(":TRIGGER:EDGE:LEVEL"), QByteArray("1.000e+00"));
        f.fakeUi.clear();

        // Set Trig to 50%: the level read back is no absurd text either.
        f.sim.clearLog();
        doubleClickNode(pane->CtrlTree(), 1, 4);
        QCOMPARE(f.sim.count(":TRIG%50"), 1);
        QCOMPARE(absurdMembers(), QStringList());
        QCOMPARE(absurdNodeTexts(pane->CtrlTree()), QStringList());

        // The level edits of the main and the alternate trigger.
        if (levelReply)
            return; // the edits read no level
        for (const bool alternate : {false, true}) {
            if (alternate) {
                app().Settings.TrigMethod = word(Word::WordAlternative);
                f.sim.handle(":TRIGGER:MODE ALTERNATION", Qm4100Sim::Framing::VisaUsb);
            }
            BuildCtrlTree();
            SetCtrlTreeRootExpanded(true);
            QString &member = alternate ? app().Settings.AltCH1EdgeLevel : app().Settings.EdgeLevel;
            member = QStringLiteral("1.00div");
            app().ctrl.CtrlFileModified = false;
            f.fakeUi.clear();
            f.sim.clearLog();
            editNode(f, pane->CtrlTree(), alternate ? 19 : 6, alternate ? 17 : 7, QStringLiteral("3.00div"));
            QVERIFY(f.sim.count(query) >= 1);
            QCOMPARE(linesWithoutArgument(f.sim), QStringList());
            QCOMPARE(member, QStringLiteral("1.00div"));
            QVERIFY(!app().ctrl.CtrlFileModified);
            QCOMPARE(f.fakeUi.messages().size(), 1);
            QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgReadFailed));
            QVERIFY(app().link.LinkConnected);
        }
    }

    void uploadRefusedWhileDisconnected()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        auto *pane = w->findChild<frmCtrlList *>();
        QVERIFY(pane);
        pane->cmdUpload_Click();
        QVERIFY(f.sim.lines().isEmpty());
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgConnectFirst));
    }
};

QTEST_MAIN(TestCtrlTransfer)
#include "tst_ctrltransfer.moc"
