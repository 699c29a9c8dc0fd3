#include "panel/frmv_panel.h"

#include "app/appstate.h"
#include "platform/print/pictureoutput.h"
#include "workspace/captionapply.h"

#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

#include <algorithm>
#include <vector>

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
// The bar of buttons above the picture: its frames and their buttons, as
// designed (twips).
struct BarButton {
    const char *name;
    int left, width;
};
struct BarFrame {
    const char *name;
    int left, width;
    BarButton buttons[3];
    int count;
};
constexpr int BarWidth = 6105;
constexpr BarFrame BarFrames[] = {
    {"Frame3", 120, 1755, {{"cmdRun", 50, 810}, {"cmdStop", 900, 810}, {}}, 2},
    {"Frame2", 1950, 3015, {{"cmdExport", 120, 930}, {"cmdPrint", 1080, 915}, {"cmdPreview", 2040, 915}}, 3},
    {"Display", 5040, 975, {{"cmdZoom", 60, 825}, {}, {}}, 1},
};

// The soft keys' size.
constexpr int SoftKeyW = 465;
constexpr int SoftKeyH = 315;

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
    applyLayout(zoom_); // for the captions of the language
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
    zoom_ = z;
    // The keys keep their designed places; a frame (or soft key) whose keys
    // and captions need more room than designed grows, and pushes what lies
    // beside it to the right and what lies below it down, keeping the
    // designed gaps. The window grows with them; the picture keeps its place
    // and size.
    struct Box {
        QWidget *w;
        QRect design;
        QRect placed;
    };
    // Every key at least as large as its face.
    for (auto &[name, b] : keys_.keys) {
        const QFontMetrics fm = b->fontMetrics();
        b->setMinimumSize(std::max(20, fm.horizontalAdvance(b->text()) + 10), std::max(18, fm.height() + 2));
    }
    std::vector<Box> boxes;
    // The bar first: its buttons as wide as their captions need.
    auto *bar = findChild<QGroupBox *>(QStringLiteral("Frame1"), Qt::FindDirectChildrenOnly);
    const QRect barDesign(px(150), px(30), px(BarWidth), px(820));
    boxes.push_back({bar, barDesign, QRect(barDesign.topLeft(), layOutBar())});
    for (const FramePlace &f : FramePlaces) {
        QWidget *w = keys_.frames.at(QLatin1String(f.name));
        boxes.push_back({w, QRect(px(z ? f.left2 : f.left1), px(z ? f.top2 : f.top1), px(f.width), px(f.height)), {}});
    }
    for (int i = 0; i < 5; ++i)
        boxes.push_back({key(QStringLiteral("VK_F%1").arg(i + 1)),
                         QRect(px(z ? 10200 : 5250), px(z ? SoftTop2[i] : SoftTop1[i]), px(SoftKeyW), px(SoftKeyH)), {}});
    for (Box &b : boxes)
        if (b.w != bar)
            b.placed = QRect(b.design.topLeft(), b.design.size().expandedTo(b.w->minimumSizeHint()));
    // Designed neighbours share at most a border: a strip of 2 pixels does
    // not make two boxes lie in one row or column.
    const auto rows = [](const QRect &a, const QRect &b) { return a.top() + 2 < b.bottom() && b.top() + 2 < a.bottom(); };
    const auto cols = [](const QRect &a, const QRect &b) { return a.left() + 2 < b.right() && b.left() + 2 < a.right(); };
    std::vector<Box *> order;
    for (Box &b : boxes)
        order.push_back(&b);
    std::sort(order.begin(), order.end(), [](const Box *a, const Box *b) { return a->design.left() < b->design.left(); });
    for (Box *b : order)
        for (const Box *a : order) {
            if (a == b || a->design.left() >= b->design.left() || !rows(a->design, b->design))
                continue;
            const int gap = std::max(1, b->design.left() - a->design.right());
            b->placed.moveLeft(std::max(b->placed.left(), a->placed.right() + gap));
        }
    std::sort(order.begin(), order.end(), [](const Box *a, const Box *b) { return a->design.top() < b->design.top(); });
    for (Box *b : order)
        for (const Box *a : order) {
            if (a == b || a->design.top() >= b->design.top() || !cols(a->placed, b->placed))
                continue;
            const int gap = std::max(1, b->design.top() - a->design.bottom());
            b->placed.moveTop(std::max(b->placed.top(), a->placed.bottom() + gap));
        }
    int right = px(ClientW[z]), bottom = px(ClientH[z]);
    for (const Box &b : boxes) {
        right = std::max(right, px(ClientW[z]) + b.placed.right() - b.design.right());
        bottom = std::max(bottom, px(ClientH[z]) + b.placed.bottom() - b.design.bottom());
    }
    setFixedSize(right, bottom);
    for (const Box &b : boxes)
        b.w->setGeometry(b.placed);
    PanelWavePic->resize(px(PicW[z]), px(PicH[z]));
}

QSize frmV_Panel::layOutBar()
{
    // Each button at least as wide as its caption, the buttons of a frame
    // and the frames one after another with their designed gaps.
    auto *bar = findChild<QGroupBox *>(QStringLiteral("Frame1"), Qt::FindDirectChildrenOnly);
    int frameRight = 0;       // placed right edge of the previous frame
    int frameDesignRight = 0; // its designed right edge
    for (const BarFrame &f : BarFrames) {
        auto *box = bar->findChild<QGroupBox *>(QLatin1String(f.name), Qt::FindDirectChildrenOnly);
        const int left = frameRight ? std::max(px(f.left), frameRight + px(f.left) - frameDesignRight) : px(f.left);
        int right = 0, designRight = 0;
        for (int i = 0; i < f.count; ++i) {
            const BarButton &d = f.buttons[i];
            QPushButton *b = buttons_.at(QLatin1String(d.name));
            const int width = std::max(px(d.width), b->fontMetrics().horizontalAdvance(b->text()) + 10);
            const int x = right ? std::max(px(d.left), right + px(d.left) - designRight) : px(d.left);
            b->setGeometry(x, b->y(), width, b->height());
            right = x + width;
            designRight = px(d.left + d.width);
        }
        const int width = std::max(px(f.width), right + px(f.width) - designRight);
        box->setGeometry(left, box->y(), width, box->height());
        frameRight = left + width;
        frameDesignRight = px(f.left + f.width);
    }
    bar->resize(std::max(px(BarWidth), frameRight + px(BarWidth) - frameDesignRight), bar->height());
    return bar->size();
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
    PrintPanelPicture(mirror_.picture(), windowTitle());
}

void frmV_Panel::cmdPreview_Click()
{
    PreviewPanelPicture(mirror_.picture(), windowTitle());
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
