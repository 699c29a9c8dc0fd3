#pragma once
// The options dialog: link kind, start-up options, refresh mode and interval,
// serial port and baud rate, GPIB address and the USB instrument. It edits the
// options of app().shell only; they reach the store when the main window
// unloads. OK while the instrument is connected tells it a changed baud rate
// and then disconnects. While a transfer runs OK does nothing.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmOptions final : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget *owner = nullptr);

    QTabWidget *tbsOptions = nullptr;
    QCheckBox *HardwareCheck = nullptr;
    QCheckBox *SheetStartLoadChk = nullptr;
    QCheckBox *CtrlStartLoadChk = nullptr;
    QRadioButton *PortSelectOption0 = nullptr; // USB
    QRadioButton *PortSelectOption2 = nullptr; // RS232
    QRadioButton *OptRefreshType0 = nullptr;   // Single
    QRadioButton *OptRefreshType1 = nullptr;   // Auto
    QComboBox *IntervalCombo = nullptr;
    QComboBox *PortCombo = nullptr;
    QComboBox *BaudCombo = nullptr;
    QComboBox *GPIB_AddrCombo = nullptr;
    QComboBox *DeviceCombo = nullptr;
    QLabel *labCurDevice = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Selects the next (+1) or previous (-1) tab, wrapping at either end.
    void stepTab(int direction);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    void OptRefreshType_Click();
};
