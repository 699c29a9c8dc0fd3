#pragma once
// frmPassFailed: the modal pass/fail limits dialog of one measure item. It
// edits a copy (EditTable) of the item's measurement table: which
// measurements are judged and the lower and upper limit of each, typed as a
// number with a unit. OK writes the whole copy back into the item (and marks
// the data sheet modified); Cancel and the frame's close box discard it.
// app().shell.DialogOK tells the opener which it was.
//
// The opener sets tag (the item's slot) and the caption and runs the dialog
// through runModal (shell/modalrunner.h). The copy is taken at the first tick
// of Timer1, 1 ms after the dialog opened.

#include "common/measdoc.h"

#include <QDialog>

#include <memory>

class ClockTimer;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmPassFailed final : public QDialog {
    Q_OBJECT
public:
    explicit frmPassFailed(QWidget *parent = nullptr);
    ~frmPassFailed() override;

    QString tag;         // the measure item's slot as text
    MeasTable EditTable; // the copy being edited

    // Store the typed limits of the selected measurement; raise its upper
    // limit to the lower one when it lies below it.
    void SetUnderNum();
    void SetOverNum();
    void SetOverNumLimit();

    void Timer1_Timer();
    void OKButton_Click();
    void CancelButton_Click();

    // The selected measurement's index; -1 when the list text names none.
    int selectedIndex() const;
    ClockTimer &timer1() { return *timer1_; }

    QComboBox *MTypeCombo = nullptr;
    QCheckBox *EnabledChk = nullptr;
    QLabel *UnderPic = nullptr;
    QLineEdit *UnderNum = nullptr;
    QComboBox *UnderUnit = nullptr;
    QLabel *OverPic = nullptr;
    QLineEdit *OverNum = nullptr;
    QComboBox *OverUnit = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void ShowMeasEnabled();
    void ShowLimits();
    void fillUnits(MeasKind kind);
    // The input steps of a limit box (over: the upper one) for its text
    // while typed or as a whole; false when the text was refused (the
    // message shown, the box emptied).
    bool limitInput(bool over, bool typing);
    // The whole text of a box the user typed in since it was shown (or last
    // judged), judged; true when there was nothing to refuse.
    bool limitFinished(bool over);

    std::unique_ptr<ClockTimer> timer1_;
    bool LimitsShown = false;
    bool LimitsStored = true;
};
