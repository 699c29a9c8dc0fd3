#pragma once
// CtrlDialogAdjust, the volts/div dialog of CH1 and CH2: the frame captioned
// with the item's label, the coarse and fine options, the read-out of the
// volts/div being edited, the plus and minus step buttons, OK and Cancel.
// The dispatcher prepares it (caption, remembered option, read-out) and shows
// it modally; choosing an option remembers it for the channel of
// app().editors.AdjustMode, also when the dialog is then cancelled.
//
// Plus and minus step the read-out one rung (coarse: 2 mV, 5 mV, 10 mV ...
// 10 V; fine: a hundredth of the range's upper end) at the channel's probe
// ratio, once at the press and again every 200 ms while held. OK sends the
// probe ratio and the scale, then reads the offset back, which the instrument
// rescales with the scale.

#include <QDialog>

#include <memory>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class ClockTimer;
struct EditPlan;

// The factor of a probe ratio text: "1X", "2X", "5X", "10X", "50X", "100X",
// "500X", "1000X" give 1 .. 1000; any other text 0.
qint16 GetCHProbeNum(const QString &probe);

class CtrlDialogAdjust final : public QDialog {
    Q_OBJECT
public:
    explicit CtrlDialogAdjust(QWidget *parent = nullptr);
    ~CtrlDialogAdjust() override;

    void prepare(const EditPlan &plan);

    // Stores index (0 coarse, 1 fine) as the remembered choice of the channel
    // being edited.
    void OptVoltDiv_Click(int index);
    void cmdCancelAdjust_Click();
    // A press of plus (+1) or minus (-1): one step now, then one every 200 ms
    // until the release.
    void stepPressed(qint16 direction);
    void stepReleased();
    // One step of the read-out by the step count in force.
    void stepOnce();
    // Applies the read-out to the channel and closes.
    void cmdAdjustOK_Click();

    QGroupBox *FrameAdjust() const { return frame_; }
    QRadioButton *OptVoltDiv(int index) const { return index == 0 ? coarse_ : fine_; }
    QLineEdit *txtDispValue() const { return value_; }
    QToolButton *DotAddRainBtn() const { return add_; }
    QToolButton *DotSubRainBtn() const { return sub_; }
    QPushButton *cmdAdjustOK() const { return ok_; }
    QPushButton *cmdCancelAdjust() const { return cancel_; }

protected:
    void reject() override;

private:
    QGroupBox *frame_ = nullptr;
    QRadioButton *coarse_ = nullptr;
    QRadioButton *fine_ = nullptr;
    QLineEdit *value_ = nullptr;
    QToolButton *add_ = nullptr;
    QToolButton *sub_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    std::unique_ptr<ClockTimer> Timer1;
    qint16 stepCount_ = 0;
};
