// kelvoscope-demo's start-up, offscreen: the application's set-up, the trial
// instrument put into the VISA search, the ordinary start-up; then Tools >
// Connect with the default settings (an empty settings store) and the
// controller's Download.

#include "app/appstate.h"
#include "controller/frmctrllist.h"
#include "link/link.h"
#include "link/resourcechooser.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "shell/frmmain.h"
#include "shell/frmoptions.h"
#include "shell/mainmodule.h"
#include "workspace/modalrunner.h"
#include "sim/demoinstrument.h"
#include "sim/qm4100sim.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestDemo : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetApp();
        resetVisa(); // the program's own table: USB-TMC devices and serial ports
        setAppClock(&clock_);
        setUi(&fakeUi_);
        setSettingsFile(dir_.filePath(QStringLiteral("Kelvoscope.ini")));
        setPump([this] { clock_.advance(100); });
        // The trial instrument is the search's only resource, whatever the
        // machine has: Connect must not open the chooser.
        chooserNames_.clear();
        setResourceChooser([this](const QStringList &names) {
            chooserNames_ = names;
            chooserCancelled();
        });
    }
    void cleanup()
    {
        setModalRunner({});
        setResourceChooser({});
        setPump({});
        resetVisa();
        setSettingsFile(QString());
        setUi(nullptr);
        setAppClock(nullptr);
        resetApp();
    }

    void connectsWithDefaultSettingsAndDownloads()
    {
        prepareApplication();
        Qm4100Sim &sim = installDemoInstrument();
        sim.reset();
        std::unique_ptr<frmMain> w(StartProgram());
        QVERIFY(w->isVisible());
        clock_.advance(10); // the deferred start-up step shows the panes

        // The options dialog offers the trial instrument as its one USB
        // device; it is closed by its frame (which selects its first entry
        // all the same).
        QStringList devices;
        setModalRunner([&devices](QDialog &d) {
            if (auto *o = qobject_cast<frmOptions *>(&d))
                for (int i = 0; i < o->DeviceCombo->count(); ++i)
                    devices << o->DeviceCombo->itemText(i);
            d.close();
        });
        w->action(QStringLiteral("mnuToolsOptions"))->trigger();
        QCOMPARE(devices, QStringList{QStringLiteral("SN000001")});

        // Tools > Connect with what an empty store gives.
        QCOMPARE(app().link.IoType, 0);
        w->action(QStringLiteral("mnuToolsConnect"))->trigger();
        QVERIFY2(fakeUi_.messages().isEmpty(), qPrintable(fakeUi_.messages().value(0).text));
        QVERIFY(app().link.LinkConnected);
        QVERIFY(w->lamp(true)->isVisibleTo(w.get()));
        QCOMPARE(app().link.ResourceName, QString::fromLatin1(DemoResource));
        QVERIFY2(chooserNames_.isEmpty(), qPrintable(chooserNames_.join(QLatin1Char(','))));
        QVERIFY(sim.count("*IDN?") >= 1);

        // After the connect the options dialog names it as the current device.
        QString current;
        setModalRunner([&current](QDialog &d) {
            if (auto *label = d.findChild<QLabel *>(QStringLiteral("labCurDevice")))
                current = label->text();
            d.close();
        });
        w->action(QStringLiteral("mnuToolsOptions"))->trigger();
        QVERIFY2(current.endsWith(QString::fromLatin1(DemoResource)), qPrintable(current));
        QVERIFY(app().link.LinkConnected); // closing the dialog by its frame changes nothing

        // Download: the instrument's settings come into the record.
        sim.handle(":CHANNEL2:SCALE 5V", Qm4100Sim::Framing::VisaUsb);
        auto *pane = w->findChild<frmCtrlList *>();
        QVERIFY(pane);
        QVERIFY(pane->isVisibleTo(w.get()));
        pane->cmdDownload()->click();
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(!app().transfer.TransferBusy);
        QVERIFY(fakeUi_.messages().isEmpty());
        QVERIFY(sim.count(":CHANNEL2:SCALE?") >= 1);
        QCOMPARE(app().Settings.CH2VoltDiv, QStringLiteral("5.00V"));
        QVERIFY(app().link.LinkConnected);

        w->close();
    }

private:
    VirtualClock clock_;
    ScriptedUi fakeUi_;
    QTemporaryDir dir_;
    QStringList chooserNames_;
};

QTEST_MAIN(TestDemo)
#include "tst_demo.moc"
