#pragma once
// The splash window shown while the main window loads: product name, picture,
// notice of rights and version, centred on the screen.

#include <QWidget>

class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
};

// The product picture of the splash window and the About box (400 x 250).
QPixmap productPicture();
