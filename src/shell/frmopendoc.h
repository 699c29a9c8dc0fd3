#pragma once
// The Open Document chooser: a data sheet (DocType 1) or a control file
// (DocType 2). Cancel or closing the window leaves DocType as it was.

#include <QDialog>

class QRadioButton;

class frmOpenDoc final : public QDialog {
    Q_OBJECT
public:
    explicit frmOpenDoc(QWidget *owner = nullptr);
    QRadioButton *NewOption[2] = {};

private:
    void cmdOK_Click();
};
