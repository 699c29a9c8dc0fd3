// The controller pane's Upload and Download, run from the loaded main window:
// they go through the transfer dialog to the settings transfers and reach the
// instrument.

#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "texts/stringres.h"
#include "shell/shellfixture.h"
#include "texts/messagetable.h"
#include "transfer/frmprgress.h"

#include <QtTest>

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
