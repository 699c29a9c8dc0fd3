#include "shell/frmoptions.h"

#include "app/appstate.h"
#include "platform/serialport/serialdevices.h"
#include "workspace/captionapply.h"
#include "shell/optionslists.h"
#include "texts/loadlanguage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QGroupBox *frame(const char *name, const QString &title, QWidget *parent)
{
    return named(new QGroupBox(title, parent), name);
}

void fill(QComboBox *c, const QStringList &entries)
{
    c->clear();
    c->addItems(entries);
}

} // namespace

frmOptions::frmOptions(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmOptions"));
    // The frame of a dialog: a title and a close box, at a fixed size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
    Form_Load();
    // The dialog sees key presses before its controls do.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void frmOptions::buildControls()
{
    tbsOptions = named(new QTabWidget(this), "tbsOptions");
    // Every tab's caption whole: the dialog grows to show them all rather
    // than hiding some behind scroll arrows.
    tbsOptions->tabBar()->setUsesScrollButtons(false);
    tbsOptions->tabBar()->setElideMode(Qt::ElideNone);

    // General page.
    auto *page0 = named(new QWidget, "picOptions_0");
    auto *io = frame("fraSample2", QStringLiteral("IO Selection"), page0);
    PortSelectOption0 = named(new QRadioButton(QStringLiteral("USB"), io), "PortSelectOption_0");
    PortSelectOption2 = named(new QRadioButton(QStringLiteral("RS232"), io), "PortSelectOption_2");
    auto *ioLayout = new QHBoxLayout(io);
    ioLayout->addWidget(PortSelectOption0);
    ioLayout->addWidget(PortSelectOption2);
    auto *startup = frame("fraSample1", QStringLiteral("Startup Option"), page0);
    HardwareCheck = named(new QCheckBox(QStringLiteral("Startup Hardware Check"), startup), "HardwareCheck");
    SheetStartLoadChk = named(new QCheckBox(QStringLiteral("Recent Data Sheet File Load"), startup), "SheetStartLoadChk");
    CtrlStartLoadChk = named(new QCheckBox(QStringLiteral("Recent Control File Load"), startup), "CtrlStartLoadChk");
    auto *startupLayout = new QVBoxLayout(startup);
    startupLayout->addWidget(HardwareCheck);
    startupLayout->addWidget(SheetStartLoadChk);
    startupLayout->addWidget(CtrlStartLoadChk);
    labCurDevice = named(new QLabel(QStringLiteral("Current Device:"), page0), "labCurDevice");
    auto *p0 = new QVBoxLayout(page0);
    p0->addWidget(io);
    p0->addWidget(startup);
    p0->addWidget(labCurDevice);
    p0->addStretch();

    // Refresh page.
    auto *page1 = named(new QWidget, "picOptions_1");
    auto *refresh = frame("Frame3", QStringLiteral("Refresh"), page1);
    OptRefreshType1 = named(new QRadioButton(QStringLiteral("Auto"), refresh), "OptRefreshType_1");
    OptRefreshType0 = named(new QRadioButton(QStringLiteral("Single"), refresh), "OptRefreshType_0");
    auto *refreshLayout = new QHBoxLayout(refresh);
    refreshLayout->addWidget(OptRefreshType1);
    refreshLayout->addWidget(OptRefreshType0);
    auto *time = frame("Frame4", QStringLiteral("Time Setting"), page1);
    IntervalCombo = named(new QComboBox(time), "IntervalCombo");
    auto *timeLayout = new QHBoxLayout(time);
    timeLayout->addWidget(named(new QLabel(QStringLiteral("Interval"), time), "Label4"));
    timeLayout->addWidget(IntervalCombo);
    timeLayout->addWidget(named(new QLabel(QStringLiteral("s"), time), "Label5"));
    auto *p1 = new QVBoxLayout(page1);
    p1->addWidget(refresh);
    p1->addWidget(time);
    p1->addStretch();

    // Communication page.
    auto *page2 = named(new QWidget, "picOptions_2");
    auto *rs232 = frame("Frame2", QStringLiteral("RS232 Setting"), page2);
    PortCombo = named(new QComboBox(rs232), "PortCombo");
    BaudCombo = named(new QComboBox(rs232), "BaudCombo");
    auto *rsLayout = new QGridLayout(rs232);
    rsLayout->addWidget(named(new QLabel(QStringLiteral("RS232 Port"), rs232), "Label2"), 0, 0);
    rsLayout->addWidget(PortCombo, 0, 1);
    rsLayout->addWidget(named(new QLabel(QStringLiteral("Baud Rate"), rs232), "Label3"), 1, 0);
    rsLayout->addWidget(BaudCombo, 1, 1);
    auto *usb = frame("fraUSB", QStringLiteral("USB"), page2);
    DeviceCombo = named(new QComboBox(usb), "DeviceCombo");
    auto *usbLayout = new QHBoxLayout(usb);
    usbLayout->addWidget(named(new QLabel(QStringLiteral("Device"), usb), "Label6"));
    usbLayout->addWidget(DeviceCombo);
    auto *gpib = frame("fraGPIB", QStringLiteral("GPIB Setting"), page2);
    GPIB_AddrCombo = named(new QComboBox(gpib), "GPIB_AddrCombo");
    auto *gpibLayout = new QHBoxLayout(gpib);
    gpibLayout->addWidget(named(new QLabel(QStringLiteral("Address"), gpib), "Label1"));
    gpibLayout->addWidget(GPIB_AddrCombo);
    auto *p2 = new QVBoxLayout(page2);
    p2->addWidget(rs232);
    p2->addWidget(usb);
    p2->addWidget(gpib);
    p2->addStretch();

    tbsOptions->addTab(page0, QStringLiteral("General"));
    tbsOptions->addTab(page1, QStringLiteral("Refresh"));
    tbsOptions->addTab(page2, QStringLiteral("Communication Setting"));

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    // No default button; Esc cancels.
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tbsOptions);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(OptRefreshType0, &QRadioButton::clicked, this, [this] { OptRefreshType_Click(); });
    connect(OptRefreshType1, &QRadioButton::clicked, this, [this] { OptRefreshType_Click(); });
}

void frmOptions::Form_Load()
{
    ShellState &s = app().shell;
    LinkState &l = app().link;
    HardwareCheck->setChecked(s.StartupCheckHardware);
    SheetStartLoadChk->setChecked(s.StartupLoadSheet);
    CtrlStartLoadChk->setChecked(s.StartupLoadCtrl);

    (l.IoType == IoTypeSerial ? PortSelectOption2 : PortSelectOption0)->setChecked(true);

    // Each COM number with the device it stands for, so that the right one
    // can be told at a glance; only its position is stored.
    QStringList devices;
    for (const SerialDevice &d : serialDevices())
        devices << serialDeviceText(d);
    fill(PortCombo, portEntries(devices, languageIndex()));
    if (l.ComPortNumber < 1 || l.ComPortNumber > 16)
        l.ComPortNumber = 1;
    PortCombo->setCurrentIndex(l.ComPortNumber - 1);

    fill(BaudCombo, baudRates());
    BaudCombo->setCurrentIndex(BaudCombo->findText(l.BaudRateText)); // not listed: none selected

    fill(GPIB_AddrCombo, gpibAddresses());
    GPIB_AddrCombo->setCurrentIndex(GPIB_AddrCombo->findText(QString::number(s.GpibAddress)));

    // USB instruments attached now, in search order.
    const QStringList found = s.hooks.FindResources ? s.hooks.FindResources(QStringLiteral("USB?*INSTR"))
                                                     : QStringList();
    const int count = std::min<int>(int(found.size()), ResourceListSize);
    for (int i = 0; i < count; ++i)
        l.ResourceList[size_t(i)] = found[i].left(ResourceNameMax);
    QStringList serials;
    for (int i = 0; i < count && serials.size() < MaxListedDevices; ++i)
        serials << serialFromResource(l.ResourceList[size_t(i)]);

    DeviceCombo->clear();
    if (serials.isEmpty()) {
        l.ResourceIndex = 0;
        DeviceCombo->addItem(languageIndex() != LanguageChinese ? QString::fromUtf8(NoDeviceEnglish)
                                                                : QString::fromUtf8(NoDeviceChinese));
        DeviceCombo->setCurrentIndex(0);
    } else {
        if (l.ResourceIndex <= 0 || l.ResourceIndex > serials.size())
            l.ResourceIndex = 1;
        DeviceCombo->addItems(serials);
        DeviceCombo->setCurrentIndex(l.ResourceIndex - 1);
    }

    const bool autoRefresh = s.RefreshType == QLatin1String("Auto");
    (autoRefresh ? OptRefreshType1 : OptRefreshType0)->setChecked(true);
    IntervalCombo->setEnabled(autoRefresh);

    fill(IntervalCombo, refreshIntervals());
    IntervalCombo->setCurrentIndex(IntervalCombo->findText(intervalText(s.RefreshInterval)));

    LoadOptionsTexts(this, languageIndex());
    tbsOptions->setCurrentIndex(0);
}

void frmOptions::OptRefreshType_Click()
{
    IntervalCombo->setEnabled(OptRefreshType1->isChecked());
}

void frmOptions::cmdOK_Click()
{
    ShellState &s = app().shell;
    LinkState &l = app().link;
    if (app().transfer.TransferBusy)
        return; // a transfer runs: the link and its settings stay as they are

    if (s.hooks.LinkConnected && s.hooks.LinkConnected()) {
        const QString chosen = BaudCombo->currentText();
        if (BaudCombo->currentIndex() >= 0 && chosen != l.BaudRateText) {
            if (s.hooks.SendCommand)
                s.hooks.SendCommand(QStringLiteral(":RS232:BAUD ") + chosen.trimmed());
            l.BaudRateText = chosen;
        }
        if (s.hooks.DisconnectInstrument)
            s.hooks.DisconnectInstrument();
    }

    s.StartupCheckHardware = HardwareCheck->isChecked();
    s.StartupLoadSheet = SheetStartLoadChk->isChecked();
    s.StartupLoadCtrl = CtrlStartLoadChk->isChecked();
    s.RefreshType = OptRefreshType1->isChecked() ? QStringLiteral("Auto") : QStringLiteral("Single");
    bool ok = false;
    const int seconds = IntervalCombo->currentText().toInt(&ok);
    if (ok)
        s.RefreshInterval = seconds * 1000;
    l.IoType = PortSelectOption2->isChecked() ? IoTypeSerial : 0;
    if (PortCombo->currentIndex() >= 0)
        l.ComPortNumber = PortCombo->currentIndex() + 1;
    if (BaudCombo->currentIndex() >= 0) // an unlisted stored rate stays as it is
        l.BaudRateText = BaudCombo->currentText();
    if (GPIB_AddrCombo->currentIndex() >= 0)
        s.GpibAddress = GPIB_AddrCombo->currentIndex();

    const QString device = DeviceCombo->currentText();
    if (device == QString::fromUtf8(NoDeviceChinese) || device == QString::fromUtf8(NoDeviceEnglish)) {
        l.ResourceIndex = 0;
        l.ResourceName.clear();
    } else if (DeviceCombo->currentIndex() >= 0) {
        l.ResourceIndex = qint16(DeviceCombo->currentIndex() + 1);
        l.ResourceName = l.ResourceList[size_t(l.ResourceIndex - 1)];
    }

    s.DialogOK = true;
    accept();
}

void frmOptions::stepTab(int direction)
{
    const int n = tbsOptions->count();
    if (n == 0)
        return;
    tbsOptions->setCurrentIndex(((tbsOptions->currentIndex() + direction) % n + n) % n);
}

bool frmOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(event);
        const bool ctrl = k->modifiers().testFlag(Qt::ControlModifier);
        const bool shift = k->modifiers().testFlag(Qt::ShiftModifier);
        if (ctrl && (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab)) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept(); // keep it from any shortcut; the key press follows
                return true;
            }
            stepTab((shift || k->key() == Qt::Key_Backtab) ? -1 : +1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
