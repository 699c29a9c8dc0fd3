// The options dialog: what loading shows and corrects, the USB instrument list
// from the simulator's resources, what OK sets and sends (in order) while
// connected or not, the interval list following the refresh mode, tab
// switching with Ctrl+Tab, and OK refused while a transfer runs.
#include "shellfixture.h"

#include "platform/serialport/serialdevices.h"
#include "shell/frmoptions.h"
#include "support/pty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

QString usb(int n)
{
    return QStringLiteral("USB0::0xFFFF::0x4100::SN%1::INSTR").arg(n, 6, 10, QLatin1Char('0'));
}

QStringList items(QComboBox *c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void loadShowsTheOptions()
    {
        ShellFixture f;
        ShellState &s = app().shell;
        s.StartupCheckHardware = true;
        s.StartupLoadCtrl = true;
        app().link.IoType = 2;
        app().link.ComPortNumber = 4;
        app().link.BaudRateText = QStringLiteral("38400");
        s.GpibAddress = 30;
        s.RefreshType = QStringLiteral("Auto");
        s.RefreshInterval = 10000;
        frmOptions d;
        QVERIFY(d.HardwareCheck->isChecked());
        QVERIFY(!d.SheetStartLoadChk->isChecked());
        QVERIFY(d.CtrlStartLoadChk->isChecked());
        QVERIFY(d.PortSelectOption2->isChecked());
        QCOMPARE(items(d.PortCombo).size(), 16);
        QVERIFY(items(d.PortCombo).first().startsWith(QStringLiteral("COM1  ")));
        QVERIFY(items(d.PortCombo).last().startsWith(QStringLiteral("COM16  ")));
        QVERIFY(d.PortCombo->currentText().startsWith(QStringLiteral("COM4  ")));
        QCOMPARE(items(d.BaudCombo), QStringList({"300", "2400", "4800", "9600", "19200", "38400"}));
        QCOMPARE(d.BaudCombo->currentText(), QStringLiteral("38400"));
        QCOMPARE(items(d.GPIB_AddrCombo).size(), 31);
        QCOMPARE(d.GPIB_AddrCombo->currentText(), QStringLiteral("30"));
        QCOMPARE(items(d.IntervalCombo), QStringList({"1", "2", "5", "10", "20"}));
        QCOMPARE(d.IntervalCombo->currentText(), QStringLiteral("10"));
        QVERIFY(d.OptRefreshType1->isChecked());
        QVERIFY(d.IntervalCombo->isEnabled());
        QCOMPARE(d.tbsOptions->currentIndex(), 0);
        QVERIFY(!d.cmdOK->isDefault() && !d.cmdCancel->isDefault());
    }

    // Each COM number shows the device it stands for; a number the system has
    // no port for says so; the choice is still stored as the number.
    void portListNamesTheDevices_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("noDevice");
        QTest::newRow("english") << 1 << QStringLiteral("(No Device)");
        QTest::newRow("chinese") << 0 << QStringLiteral("(无设备)");
    }
    void portListNamesTheDevices()
    {
        QFETCH(int, lang);
        QFETCH(QString, noDevice);
        ShellFixture f(lang);
        Pty a;
        Pty b;
        QVERIFY(a.ok() && b.ok());
        qputenv("KELVOSCOPE_EXTRA_PORTS", (a.slave + QLatin1Char(':') + b.slave).toLocal8Bit());
        const int na = int(serialDeviceList().indexOf(a.slave)) + 1;
        const int nb = int(serialDeviceList().indexOf(b.slave)) + 1;
        QVERIFY(na >= 1 && nb == na + 1);
        if (nb >= 16)
            QSKIP("this machine has too many serial ports for the list of sixteen");
        app().link.ComPortNumber = nb;
        frmOptions d;
        qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        const QStringList entries = items(d.PortCombo);
        QCOMPARE(entries.size(), 16);
        QCOMPARE(entries.at(na - 1), QStringLiteral("COM%1  ").arg(na) + a.slave);
        QCOMPARE(entries.at(nb - 1), QStringLiteral("COM%1  ").arg(nb) + b.slave);
        QCOMPARE(d.PortCombo->currentIndex(), nb - 1);
        QCOMPARE(entries.at(nb), QStringLiteral("COM%1  ").arg(nb + 1) + noDevice);
        QCOMPARE(entries.last(), QStringLiteral("COM16  ") + noDevice);
        d.PortCombo->setCurrentIndex(na - 1);
        d.cmdOK->click();
        QCOMPARE(app().link.ComPortNumber, na);
    }

    void loadCorrections_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("resourceIndex");
        QTest::addColumn<int>("instruments");
        QTest::addColumn<int>("portAfter");
        QTest::addColumn<int>("indexAfter");
        QTest::newRow("port 0, index 0") << 0 << 0 << 2 << 1 << 1;
        QTest::newRow("port 17, index past the list") << 17 << 3 << 2 << 1 << 1;
        QTest::newRow("kept") << 16 << 2 << 2 << 16 << 2;
        QTest::newRow("no instrument") << 5 << 2 << 0 << 5 << 0;
    }
    void loadCorrections()
    {
        QFETCH(int, port);
        QFETCH(int, resourceIndex);
        QFETCH(int, instruments);
        QFETCH(int, portAfter);
        QFETCH(int, indexAfter);
        ShellFixture f;
        for (int i = 1; i <= instruments; ++i)
            f.backend->addResource(usb(i), &f.sim);
        app().link.ComPortNumber = port;
        app().link.ResourceIndex = qint16(resourceIndex);
        {
            frmOptions d;
            QCOMPARE(d.PortCombo->currentIndex(), portAfter - 1);
            if (instruments > 0)
                QCOMPARE(d.DeviceCombo->currentIndex(), indexAfter - 1);
            QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        }
        // The corrections stay although the dialog was cancelled.
        QCOMPARE(app().link.ComPortNumber, portAfter);
        QCOMPARE(int(app().link.ResourceIndex), indexAfter);
        QVERIFY(!app().shell.DialogOK);
    }

    void usbInstrumentList_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none, English") << 1 << 0 << QStringList{"No Device"};
        QTest::newRow("none, Chinese") << 0 << 0 << QStringList{"无设备"};
        QTest::newRow("three") << 1 << 3 << QStringList{"SN000001", "SN000002", "SN000003"};
        QStringList eleven;
        for (int i = 1; i <= 11; ++i)
            eleven << QStringLiteral("SN%1").arg(i, 6, 10, QLatin1Char('0'));
        QTest::newRow("thirteen: eleven shown") << 1 << 13 << eleven;
    }
    void usbInstrumentList()
    {
        QFETCH(int, lang);
        QFETCH(int, count);
        QFETCH(QStringList, expected);
        ShellFixture f(lang);
        for (int i = 1; i <= count; ++i)
            f.backend->addResource(usb(i), &f.sim);
        f.backend->addResource(QStringLiteral("ASRL1::INSTR"), &f.sim); // not a USB instrument
        frmOptions d;
        QCOMPARE(items(d.DeviceCombo), expected);
        QCOMPARE(d.DeviceCombo->currentIndex(), 0);
        for (int i = 0; i < std::min(count, 65); ++i)
            QCOMPARE(app().link.ResourceList[size_t(i)], usb(i + 1));
    }

    void okChoosesTheInstrument()
    {
        ShellFixture f;
        for (int i = 1; i <= 3; ++i)
            f.backend->addResource(usb(i), &f.sim);
        app().link.ResourceName = QStringLiteral("USB0::old");
        frmOptions d;
        QCOMPARE(d.labCurDevice->text(), QStringLiteral("Current Device:USB0::old"));
        d.DeviceCombo->setCurrentIndex(2);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(int(app().link.ResourceIndex), 3);
        QCOMPARE(app().link.ResourceName, usb(3));
        QVERIFY(app().shell.DialogOK);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void okWithNoDeviceClearsTheChoice()
    {
        ShellFixture f(0);
        app().link.ResourceIndex = 2;
        app().link.ResourceName = QStringLiteral("USB0::old");
        frmOptions d;
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(int(app().link.ResourceIndex), 0);
        QVERIFY(app().link.ResourceName.isEmpty());
    }

    void okSetsEveryOption()
    {
        ShellFixture f;
        app().shell.RefreshType = QStringLiteral("Single");
        app().shell.RefreshInterval = 1000;
        frmOptions d;
        d.show();
        d.tbsOptions->setCurrentIndex(1);
        QVERIFY(!d.IntervalCombo->isEnabled());
        QTest::mouseClick(d.OptRefreshType1, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(d.IntervalCombo->isEnabled());
        QTest::mouseClick(d.OptRefreshType0, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!d.IntervalCombo->isEnabled());
        d.IntervalCombo->setCurrentIndex(2); // 5 s, stored in either mode
        d.HardwareCheck->setChecked(true);
        d.SheetStartLoadChk->setChecked(true);
        d.PortSelectOption2->setChecked(true);
        d.PortCombo->setCurrentIndex(15);
        d.BaudCombo->setCurrentIndex(0);
        d.GPIB_AddrCombo->setCurrentIndex(21);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        const ShellState &s = app().shell;
        QVERIFY(s.StartupCheckHardware);
        QVERIFY(s.StartupLoadSheet);
        QVERIFY(!s.StartupLoadCtrl);
        QCOMPARE(s.RefreshType, QStringLiteral("Single"));
        QCOMPARE(s.RefreshInterval, 5000);
        QCOMPARE(app().link.IoType, 2);
        QCOMPARE(app().link.ComPortNumber, 16);
        QCOMPARE(app().link.BaudRateText, QStringLiteral("300"));
        QCOMPARE(s.GpibAddress, 21);
        QVERIFY(f.sim.lines().isEmpty()); // not connected: nothing sent
    }

    void okWhileConnected_data()
    {
        QTest::addColumn<int>("baudIndex");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("baud changed") << 4 << QList<QByteArray>{":RS232:BAUD 19200", ":KEY:LOCK DISABLE"};
        QTest::newRow("baud unchanged") << 3 << QList<QByteArray>{":KEY:LOCK DISABLE"};
    }
    void okWhileConnected()
    {
        QFETCH(int, baudIndex);
        QFETCH(QList<QByteArray>, lines);
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        QVERIFY(f.connect());
        f.script = [baudIndex](QDialog &dlg) {
            auto &d = static_cast<frmOptions &>(dlg);
            d.BaudCombo->setCurrentIndex(baudIndex);
            QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        };
        w->mnuToolsOptions_Click();
        QCOMPARE(f.sim.lines(), lines);
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(app().link.BaudRateText, baudIndex == 4 ? QStringLiteral("19200") : QStringLiteral("9600"));
        QVERIFY(w->lamp(false)->isVisibleTo(w.get()));
        QVERIFY(app().shell.DialogOK);
    }

    void okRefusedWhileATransferRuns()
    {
        ShellFixture f;
        f.useVisa();
        auto w = f.loadMain();
        QVERIFY(f.connect());
        app().transfer.TransferBusy = true;
        app().shell.GpibAddress = 7;
        frmOptions d;
        d.show();
        d.GPIB_AddrCombo->setCurrentIndex(3);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(d.isVisible());
        QVERIFY(!app().shell.DialogOK);
        QCOMPARE(app().shell.GpibAddress, 7);
        QVERIFY(app().link.LinkConnected);
        QVERIFY(f.sim.lines().isEmpty());
    }

    void ctrlTabWraps()
    {
        ShellFixture f;
        frmOptions d;
        d.show();
        QWidget *onPage3 = d.PortCombo;
        d.tbsOptions->setCurrentIndex(2);
        QTest::keyClick(onPage3, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.tbsOptions->currentIndex(), 0);
        QTest::keyClick(d.HardwareCheck, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.tbsOptions->currentIndex(), 1);
        d.tbsOptions->setCurrentIndex(0);
        QTest::keyClick(d.HardwareCheck, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(d.tbsOptions->currentIndex(), 2);
        QTest::keyClick(d.PortCombo, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(d.tbsOptions->currentIndex(), 1);
        // Tab alone does not change the tab.
        QTest::keyClick(d.IntervalCombo, Qt::Key_Tab);
        QCOMPARE(d.tbsOptions->currentIndex(), 1);
    }

    void unlistedStoredValuesStillOpen()
    {
        ShellFixture f;
        app().link.BaudRateText = QStringLiteral("115200");
        app().shell.GpibAddress = 99;
        app().shell.RefreshInterval = 1500;
        frmOptions d;
        QCOMPARE(d.BaudCombo->currentIndex(), -1);
        QCOMPARE(d.GPIB_AddrCombo->currentIndex(), -1);
        QCOMPARE(d.IntervalCombo->currentIndex(), -1);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(app().shell.GpibAddress, 99);     // nothing chosen: kept
        QCOMPARE(app().link.BaudRateText, QStringLiteral("115200"));
        QCOMPARE(app().shell.RefreshInterval, 1500);
    }

    // With no instrument attached (the device list holds only its "none"
    // entry) every tab's caption shows whole, with no scroll arrows, at the
    // dialog's opening size and at the smallest its frame allows.
    void tabCaptionsShowWholeWithNoDevice_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("English") << 1;
        QTest::newRow("Chinese") << 0;
    }
    void tabCaptionsShowWholeWithNoDevice()
    {
        QFETCH(int, lang);
        ShellFixture f(lang);
        frmOptions d;
        QCOMPARE(d.DeviceCombo->count(), 1);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTabBar *bar = d.tbsOptions->tabBar();
        for (const QSize &size : {d.size(), QSize(1, 1)}) {
            d.resize(size);
            QCoreApplication::processEvents();
            const QFontMetrics fm(bar->font());
            for (int i = 0; i < bar->count(); ++i) {
                QVERIFY2(bar->tabRect(i).width() > fm.horizontalAdvance(bar->tabText(i)), qPrintable(bar->tabText(i)));
                QVERIFY(bar->rect().contains(bar->tabRect(i)));
            }
            for (QToolButton *arrow : bar->findChildren<QToolButton *>())
                QVERIFY(!arrow->isVisible());
        }
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
