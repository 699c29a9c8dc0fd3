// The controller's Virtual Panel node, through the main window as the program
// loads it: the panel over USB with its live mirror, owned by the main window;
// and the logic-channel key following the link's availability.
#include "shell/shellfixture.h"

#include "controller/ctrlcommands.h"
#include "panel/frmv_key.h"
#include "panel/frmv_panel.h"
#include "panel/panelopen.h"
#include "texts/stringres.h"

#include <QtTest>

class TestPanelOpen : public QObject {
    Q_OBJECT
private slots:
    void virtualPanelNodeOpensMirror();
    void otherNodesReachTheEditors();
    void laAvailability();
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

QTEST_MAIN(TestPanelOpen)
#include "tst_panelopen.moc"
