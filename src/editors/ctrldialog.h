#pragma once
// CtrlDialog, the setting dialog: one frame captioned with the edited item's
// label, holding a choice list (Combo), a number entry (inputTxt) with its
// unit buttons cmdEnter(0) "m", (1) "u", (2) "n", (3) "p", (4) "mV", and OK and
// Cancel. The dispatcher prepares it from an EditPlan and shows it modally;
// OK (or Enter in the list) runs the apply routine (editors/applyframe.h).
//
// The controls stack in the order of their places ("tops"): normally the
// entry above the list and the unit buttons below; for the LA threshold the
// list first, then the entry, then the buttons.
//
// While the apply routine runs, the dialog takes no input: OK, the unit
// buttons, the list, Cancel, Esc and the close box do nothing (a serial reply
// wait processes events).

#include "editors/applyframe.h"
#include "platform/ui/focusreturn.h"

#include <QDialog>

#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;
struct EditPlan;

class CtrlDialog final : public QDialog, public ApplyDialog {
    Q_OBJECT
public:
    // Design places (twips) of the list, the entry and the unit buttons.
    static constexpr int ComboTop = 510;
    static constexpr int InputTop = 390;
    static constexpr int EnterTop = 750;
    static constexpr int ThresholdComboTop = 235;
    static constexpr int ThresholdInputTop = 595;
    static constexpr int ThresholdEnterTop = 925;

    explicit CtrlDialog(QWidget *parent = nullptr);

    // Puts a plan into the controls: the standard arrangement first, then the
    // caption, the list or the entry and the unit buttons of the plan.
    void prepare(const EditPlan &plan);

    // Handlers (also reached by the controls).
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdEnter_Click(int index);
    void Combo_Click();

    // ApplyDialog
    QString choice() const override;
    QString inputText() const override;
    void setInputText(const QString &text) override;

    QGroupBox *Frame() const { return frame_; }
    QComboBox *Combo() const { return combo_; }
    QLineEdit *inputTxt() const { return input_; }
    QPushButton *cmdEnter(int index) const { return enter_.at(size_t(index)); }
    QPushButton *cmdOK() const { return ok_; }
    QPushButton *cmdCancel() const { return cancel_; }
    int comboTop() const { return comboTop_; }
    int inputTop() const { return inputTop_; }
    int enterTop() const { return enterTop_; }
    // True while the apply routine runs.
    bool applying() const { return applying_; }

    // OK and Cancel in language lang (0 Chinese, 1 English; any other value
    // leaves the captions as they are).
    void SetDialogCaptions(int lang);

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arrange();
    void applied(ApplyEnd end);
    void setBlocked(bool blocked);

    QGroupBox *frame_ = nullptr;
    QComboBox *combo_ = nullptr;
    QLineEdit *input_ = nullptr;
    QWidget *units_ = nullptr;
    std::array<QPushButton *, 5> enter_{};
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QVBoxLayout *values_ = nullptr;
    int comboTop_ = ComboTop;
    int inputTop_ = InputTop;
    int enterTop_ = EnterTop;
    bool applying_ = false;
    FocusReturn focusReturn_;
};
