#pragma once
// The splash window shown while the main window loads: product name, picture,
// notice of rights and version, centred on the screen.

#include <QWidget>

class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);
    // Whether the window has been painted since it was made.
    bool painted() const { return painted_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool painted_ = false;
};

// The product picture of the splash window and the About box (400 x 250).
QPixmap productPicture();
