#pragma once
#include <QMainWindow>

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
};
