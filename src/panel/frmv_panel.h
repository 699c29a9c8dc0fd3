#pragma once
// The screen-mirror panel: the instrument's front-panel keys beside a live
// copy of its screen at 1x or 2x, with Run and Stop, Zoom, and the picture's
// export, print and preview. The mirror logic is ScreenMirror; the output is
// panelprint.h; this window holds the controls and the layout per zoom.

#include "panel/keytable.h"
#include "panel/panelkeys.h"
#include "panel/screenmirror.h"

#include <QDialog>

class QGroupBox;
class QLabel;

class frmV_Panel final : public QDialog {
    Q_OBJECT
public:
    explicit frmV_Panel(QWidget *parent = nullptr);
    ~frmV_Panel() override;

    void setLaAvailable(bool present);

    ScreenMirror &mirror() { return mirror_; }
    KnobRepeater &knob() { return knob_; }
    QPushButton *key(const QString &control) const;
    QPushButton *button(const QString &name) const; // cmdRun, cmdStop, cmdExport...
    QLabel *picture() const { return PanelWavePic; }
    // The image the picture shows now.
    QImage pictureImage() const { return mirror_.picture(); }

    // Places the keys and sizes the window for a zoom of the picture (0: 1x,
    // 1: 2x), spread out as far as their captions need.
    void applyLayout(int zoom);

    void cmdRun_Click();
    void cmdStop_Click();
    void cmdZoom_Click();
    void cmdExport_Click();
    void cmdPrint_Click();
    void cmdPreview_Click();

protected:
    void done(int r) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void Form_Unload();
    void showRunState();
    void showPicture();
    // Sizes the buttons of the bar above the picture for their captions;
    // returns the bar's size.
    QSize layOutBar();

    KnobRepeater knob_;
    ScreenMirror mirror_;
    PanelKeys keys_;
    QLabel *PanelWavePic = nullptr;
    std::map<QString, QPushButton *> buttons_;
    bool unloaded_ = false;
    int zoom_ = 0;
};
