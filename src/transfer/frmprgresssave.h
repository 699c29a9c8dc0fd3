#pragma once
// frmPrgressSave: the passive progress dialog of the CSV export. It centres
// itself, starts its bar at 0 and refuses to close while the exporter writes
// (app().xfer.SaveBusy); the exporter moves the bar and closes it.

#include <QDialog>

class QProgressBar;

class frmPrgressSave : public QDialog {
    Q_OBJECT
public:
    explicit frmPrgressSave(QWidget *parent = nullptr);
    QProgressBar *ProgressBar = nullptr;
    // Esc: refused while the export writes, as the close box is.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
};
