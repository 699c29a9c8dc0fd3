#pragma once
// The virtual keyboard: the instrument's 42 front-panel keys without the
// screen, for links that cannot mirror it. Each key sends its key command
// line; the knob arrows repeat while held. Esc closes it from any control.

#include "panel/keytable.h"
#include "panel/panelkeys.h"

#include <QDialog>

class frmV_Key final : public QDialog {
    Q_OBJECT
public:
    explicit frmV_Key(QWidget *parent = nullptr);
    ~frmV_Key() override;

    // Shows or hides the LA key (the link's logic-channel availability).
    void setLaAvailable(bool present);

    KnobRepeater &knob() { return knob_; }
    QPushButton *key(const QString &control) const;

protected:
    void done(int r) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Form_Unload();

    KnobRepeater knob_;
    PanelKeys keys_;
    bool unloaded_ = false;
};
