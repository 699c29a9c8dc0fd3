#include "panel/frmv_panel.h"

#include "app/appstate.h"
#include "panel/panelprint.h"
#include "shell/captionapply.h"

#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

namespace {

// Twips to pixels at 96 dpi.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

struct FramePlace {
    const char *name;
    int left1, top1, left2, top2;
    int width, height;
};

// Key frames per zoom (twips): 1x and 2x places, fixed sizes.
constexpr FramePlace FramePlaces[] = {
    {"Frame4", 5880, 960, 10080, 240, 735, 735},
    {"MENU", 6720, 0, 10920, 120, 3015, 1695},
    {"RUN", 9840, 480, 8040, 120, 1575, 735},
    {"Vertical", 5880, 1680, 11160, 2040, 2295, 2895},
    {"Horizontal", 8280, 1680, 10920, 5040, 1455, 2895},
    {"Trigger", 9840, 1680, 12480, 5040, 1575, 2895},
    {"ONOFF", 5160, 840, 10080, 960, 615, 735},
};

constexpr int SoftTop1[] = {1590, 2160, 2790, 3420, 4080};
constexpr int SoftTop2[] = {2280, 3450, 4620, 5790, 6960};

// Client size per zoom: the window's outer size less its frame.
constexpr int ClientW[] = {11530 - 85, 14175 - 85};
constexpr int ClientH[] = {5230 - 475, 8745 - 475};
constexpr int PicW[] = {4855, 9660};
constexpr int PicH[] = {3563, 7100};

} // namespace

frmV_Panel::frmV_Panel(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmV_Panel"));
    setWindowTitle(QStringLiteral("Virtual Panel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    PanelWavePic = new QLabel(this);
    PanelWavePic->setObjectName(QStringLiteral("PanelWavePic"));
    PanelWavePic->setFocusPolicy(Qt::StrongFocus);
    PanelWavePic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PanelWavePic->setStyleSheet(QStringLiteral("background: black"));
    PanelWavePic->move(px(240), px(960));

    auto *bar = new QGroupBox(this);
    bar->setObjectName(QStringLiteral("Frame1"));
    bar->setGeometry(px(150), px(30), px(6105), px(820));
    auto frame = [bar](const char *name, const char *caption, int left, int width) {
        auto *f = new QGroupBox(QLatin1String(caption), bar);
        f->setObjectName(QLatin1String(name));
        f->setGeometry(px(left), px(120), px(width), px(615));
        return f;
    };
    QGroupBox *control = frame("Frame3", "Control", 120, 1755);
    QGroupBox *output = frame("Frame2", "Output", 1950, 3015);
    QGroupBox *display = frame("Display", "Display", 5040, 975);
    auto button = [this](QGroupBox *f, const char *name, const char *caption, int left, int width,
                         void (frmV_Panel::*slot)()) {
        auto *b = new QPushButton(QLatin1String(caption), f);
        b->setObjectName(QLatin1String(name));
        b->setFlat(true);
        b->setAutoDefault(false);
        b->setGeometry(px(left), px(240), px(width), px(300));
        connect(b, &QPushButton::clicked, this, slot);
        buttons_[QLatin1String(name)] = b;
    };
    button(control, "cmdRun", "Run", 50, 810, &frmV_Panel::cmdRun_Click);
    button(control, "cmdStop", "Stop", 900, 810, &frmV_Panel::cmdStop_Click);
    button(output, "cmdExport", "Export  ", 120, 930, &frmV_Panel::cmdExport_Click);
    button(output, "cmdPrint", "Print    ", 1080, 915, &frmV_Panel::cmdPrint_Click);
    button(output, "cmdPreview", "      Preview", 2040, 915, &frmV_Panel::cmdPreview_Click);
    button(display, "cmdZoom", "Zoom", 60, 825, &frmV_Panel::cmdZoom_Click);

    keys_ = buildPanelKeys(this, knob_, false);
    // The key frames keep their instrument-like small sizes: small faces.
    for (auto &[name, box] : keys_.frames) {
        QFont f = box->font();
        f.setPointSizeF(f.pointSizeF() * 0.8);
        box->setFont(f);
    }
    for (const FramePlace &f : FramePlaces)
        keys_.frames.at(QLatin1String(f.name))->resize(px(f.width), px(f.height));
    for (int i = 1; i <= 5; ++i)
        key(QStringLiteral("VK_F%1").arg(i))->resize(px(465), px(315));

    mirror_.onPicture = [this] { showPicture(); };
    mirror_.onRunState = [this] { showRunState(); };
    mirror_.onLinkLost = [this] { reject(); };

    // Load.
    applyLayout(0);
    centreOnScreen(this);
    mirror_.start();
    showPicture();
    showRunState();
    setLaKey(keys_, app().link.LaPresent != 0);
    app().shell.PanelLoaded = true;
    LoadVirtualPanelTexts(this, app().texts.LanguageIndex);
}

frmV_Panel::~frmV_Panel()
{
    Form_Unload();
}

QPushButton *frmV_Panel::key(const QString &control) const
{
    auto it = keys_.keys.find(control);
    return it == keys_.keys.end() ? nullptr : it->second;
}

QPushButton *frmV_Panel::button(const QString &name) const
{
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void frmV_Panel::setLaAvailable(bool present)
{
    setLaKey(keys_, present);
}

void frmV_Panel::applyLayout(int zoom)
{
    const int z = zoom == 1 ? 1 : 0;
    setFixedSize(px(ClientW[z]), px(ClientH[z]));
    for (const FramePlace &f : FramePlaces)
        keys_.frames.at(QLatin1String(f.name))->move(px(z ? f.left2 : f.left1), px(z ? f.top2 : f.top1));
    for (int i = 0; i < 5; ++i)
        key(QStringLiteral("VK_F%1").arg(i + 1))->move(px(z ? 10200 : 5250), px(z ? SoftTop2[i] : SoftTop1[i]));
    PanelWavePic->resize(px(PicW[z]), px(PicH[z]));
}

void frmV_Panel::showPicture()
{
    const QImage &img = mirror_.picture();
    // A new frame brings the layout of its zoom; a cleared picture keeps the
    // old one until then.
    if (img.width() == 640)
        applyLayout(1);
    else
        applyLayout(0);
    PanelWavePic->setPixmap(QPixmap::fromImage(img));
}

void frmV_Panel::showRunState()
{
    const bool running = mirror_.running();
    buttons_.at(QStringLiteral("cmdRun"))->setEnabled(!running);
    buttons_.at(QStringLiteral("cmdStop"))->setEnabled(running);
}

void frmV_Panel::cmdRun_Click()
{
    mirror_.run();
}

void frmV_Panel::cmdStop_Click()
{
    mirror_.halt();
}

void frmV_Panel::cmdZoom_Click()
{
    mirror_.toggleZoom();
}

void frmV_Panel::cmdExport_Click()
{
    ExportPanelPicture(mirror_.picture(), app().texts.LanguageIndex);
}

void frmV_Panel::cmdPrint_Click()
{
    PrintPanelPicture(mirror_.picture());
}

void frmV_Panel::cmdPreview_Click()
{
    PreviewPanelPicture(mirror_.picture());
}

void frmV_Panel::keyPressEvent(QKeyEvent *e)
{
    // Esc with the panel's preview open closes the preview, not the panel,
    // wherever the window system left the keyboard.
    if (e->matches(QKeySequence::Cancel)) {
        for (QDialog *d : findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
            if (d->isWindow() && d->isVisible()) {
                d->reject();
                return;
            }
        }
    }
    QDialog::keyPressEvent(e);
}

void frmV_Panel::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void frmV_Panel::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    mirror_.finish();
    knob_.release();
    releasePrintJob(PrintJobKind::Panel);
    app().shell.PanelLoaded = false;
}
