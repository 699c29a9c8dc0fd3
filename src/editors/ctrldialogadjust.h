#pragma once
// CtrlDialogAdjust, the volts/div dialog of CH1 and CH2: the frame captioned
// with the item's label, the coarse and fine options, the read-out of the
// volts/div being edited, the plus and minus step buttons, OK and Cancel.
// The dispatcher prepares it (caption, remembered option, read-out) and shows
// it modally; choosing an option remembers it for the channel of
// app().editors.AdjustMode, also when the dialog is then cancelled.
//
// Stepping and applying the value are not built yet: the step buttons and OK
// stay off, so nothing is sent from here.

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
struct EditPlan;

class CtrlDialogAdjust final : public QDialog {
    Q_OBJECT
public:
    explicit CtrlDialogAdjust(QWidget *parent = nullptr);

    void prepare(const EditPlan &plan);

    // Stores index (0 coarse, 1 fine) as the remembered choice of the channel
    // being edited.
    void OptVoltDiv_Click(int index);
    void cmdCancelAdjust_Click();

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
};
