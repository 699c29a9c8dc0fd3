// The controller's Virtual Panel node, through the main window as the program
// loads it: the panel over USB with its live mirror, owned by the main window;
// and the logic-channel key following the link's availability.
#include "shell/shellfixture.h"

#include "controller/ctrlcommands.h"
#include "controller/ctrltreenodes.h"
#include "panel/frmv_key.h"
#include "panel/frmv_panel.h"
#include "panel/panelopen.h"
#include "texts/stringres.h"

#include <QtTest>

class TestPanelOpen : public QObject {
    Q_OBJECT
private slots:
    void virtualPanelNodeOpensMirror();
    void secondOpeningMirrorsAgain();
    void mirrorOnlyOverVisaUsb_data();
    void mirrorOnlyOverVisaUsb();
    void otherNodesReachTheEditors();
    void laAvailability();
    void laAvailabilityRebuildsTheTree();
};

void TestPanelOpen::virtualPanelNodeOpensMirror()
{
    ShellFixture fx;
    auto main = fx.loadMain();
    fx.useVisa();
    QVERIFY(fx.connect());
    QImage seen;
    QWidget *owner = nullptr;
    fx.script = [&](QDialog &d) {
        auto *p = qobject_cast<frmV_Panel *>(&d);
        QVERIFY(p);
        owner = p->parentWidget();
        fx.clock.advance(10); // the first frame
        seen = p->pictureImage();
        d.reject();
    };
    app().ctrl.CtrlSelectedPath = QStringLiteral("QM4100D\\") + word(Word::ItemVirtualPanel);
    CtrlEditSelected();
    QCOMPARE(fx.dialogsShown, QStringList{QStringLiteral("frmV_Panel")});
    QCOMPARE(owner, main.get());
    QCOMPARE(seen.size(), QSize(320, 234));
    QVERIFY(fx.sim.count(":LCD:DATA?") >= 1);
    QVERIFY(!app().shell.PanelLoaded);

    // Not connected: the controller asks to connect first; nothing opens.
    DisconnectInstrument();
    fx.fakeUi.clear();
    CtrlEditSelected();
    QCOMPARE(fx.dialogsShown.size(), 1);
    QCOMPARE(fx.fakeUi.messages().size(), 1);
}

// Opened, closed and opened again: the second panel loads afresh, mirrors
// the screen again and closes cleanly.
void TestPanelOpen::secondOpeningMirrorsAgain()
{
    ShellFixture fx;
    auto main = fx.loadMain();
    fx.useVisa();
    QVERIFY(fx.connect());
    QList<QImage> seen;
    QList<bool> loaded;
    fx.script = [&](QDialog &d) {
        auto *p = qobject_cast<frmV_Panel *>(&d);
        QVERIFY(p);
        loaded << app().shell.PanelLoaded;
        const int before = fx.sim.count(":LCD:DATA?");
        fx.clock.advance(10);
        QVERIFY(fx.sim.count(":LCD:DATA?") > before);
        seen << p->pictureImage();
        d.close();
    };
    OpenVirtualPanel();
    QVERIFY(!app().shell.PanelLoaded);
    fx.sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb); // a changed screen
    OpenVirtualPanel();
    QCOMPARE(fx.dialogsShown, (QStringList{QStringLiteral("frmV_Panel"), QStringLiteral("frmV_Panel")}));
    QCOMPARE(loaded, (QList<bool>{true, true}));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[1].size(), QSize(320, 234));
    QVERIFY(seen[0] != seen[1]);
    QVERIFY(!app().shell.PanelLoaded);
    QVERIFY(!app().panel.PanelRunning);
    // Closed, the panel reads the screen no more.
    const int reads = fx.sim.count(":LCD:DATA?");
    fx.clock.advance(1000);
    QCOMPARE(fx.sim.count(":LCD:DATA?"), reads);
}

// The mirror panel opens only while the link in use is a VISA USB session;
// a serial-port connect after a USB session gets the keyboard.
void TestPanelOpen::mirrorOnlyOverVisaUsb_data()
{
    QTest::addColumn<QStringList>("links"); // connected in this order
    QTest::addColumn<QString>("shown");
    QTest::newRow("usb") << QStringList{"usb"} << "frmV_Panel";
    QTest::newRow("serial control") << QStringList{"serial"} << "frmV_Key";
    QTest::newRow("visa serial") << QStringList{"asrl"} << "frmV_Key";
    QTest::newRow("usb, then serial control") << QStringList{"usb", "serial"} << "frmV_Key";
    QTest::newRow("serial control, then usb") << QStringList{"serial", "usb"} << "frmV_Panel";
}

void TestPanelOpen::mirrorOnlyOverVisaUsb()
{
    QFETCH(QStringList, links);
    QFETCH(QString, shown);
    ShellFixture fx;
    auto main = fx.loadMain();
    for (const QString &link : links) {
        if (app().link.LinkConnected)
            DisconnectInstrument();
        if (link == QLatin1String("serial"))
            fx.useSerial();
        else
            fx.useVisa(link == QLatin1String("usb") ? SimUsb1 : SimAsrl1);
        QVERIFY(fx.connect());
    }
    OpenVirtualPanel();
    QCOMPARE(fx.dialogsShown, QStringList{shown});
}

void TestPanelOpen::otherNodesReachTheEditors()
{
    ShellFixture fx;
    QStringList edited;
    // An editors' dispatcher installed before the main window binds its hooks
    // still gets every other node.
    app().ctrl.hooks.editSetting = [&](const QString &p) { edited << p; };
    auto main = fx.loadMain();
    fx.useVisa();
    QVERIFY(fx.connect());
    app().ctrl.CtrlSelectedPath = QStringLiteral("QM4100D\\Acquire\\Averages [16]");
    CtrlEditSelected();
    QCOMPARE(edited, QStringList{QStringLiteral("QM4100D\\Acquire\\Averages [16]")});
    QVERIFY(fx.dialogsShown.isEmpty());
}

void TestPanelOpen::laAvailability()
{
    ShellFixture fx;
    auto main = fx.loadMain();
    fx.useVisa(SimAsrl1);
    QVERIFY(fx.connect());
    QCOMPARE(app().link.VisaInterfaceType, qint16(0));
    QList<bool> shown;
    fx.script = [&](QDialog &d) {
        auto *k = qobject_cast<frmV_Key *>(&d);
        QVERIFY(k);
        QPushButton *la = k->key(QStringLiteral("VK_La"));
        shown << !la->isHidden();
        SetLAAvailable(false);
        shown << (!la->isHidden() || la->isEnabled());
        SetLAAvailable(true);
        shown << (!la->isHidden() && la->isEnabled());
        d.reject();
    };
    OpenVirtualPanel();
    QCOMPARE(shown, (QList<bool>{true, false, true}));
    QCOMPARE(app().link.LaPresent, qint16(-1));
}

// The logic channels coming or going make the controller tree again with or
// without its LA group, closed down to the root as after a download: groups
// the user had opened are closed.
void TestPanelOpen::laAvailabilityRebuildsTheTree()
{
    ShellFixture fx;
    auto main = fx.loadMain();
    SetCtrlNodeExpanded(2, 0, true);
    QVERIFY(CtrlNodeExpanded(1, 0) && CtrlNodeExpanded(2, 0) && HasCtrlNode(4, 0));
    for (const bool present : {false, true}) {
        SetLAAvailable(present);
        QCOMPARE(HasCtrlNode(4, 0), present);
        QCOMPARE(HasCtrlNode(14, 5), present);
        QVERIFY(CtrlTreeRootExpanded());
        QVERIFY(!CtrlNodeExpanded(1, 0));
        QVERIFY(!CtrlNodeExpanded(2, 0));
        SetCtrlNodeExpanded(2, 0, true);
    }
}

QTEST_MAIN(TestPanelOpen)
#include "tst_panelopen.moc"
