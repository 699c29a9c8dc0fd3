#pragma once
// The New Document chooser: seven kinds of document. OK sets DocType (1..7)
// and DialogOK; Cancel or closing the window leaves both.

#include <QDialog>

class QRadioButton;

class frmNewDoc final : public QDialog {
    Q_OBJECT
public:
    explicit frmNewDoc(QWidget *owner = nullptr);
    static constexpr int OptionCount = 7;
    QRadioButton *NewOption[OptionCount] = {};

private:
    void cmdOK_Click();
};
