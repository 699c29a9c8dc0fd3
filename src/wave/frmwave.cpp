#include "wave/frmwave.h"

#include "platform/pump.h"
#include "app/appstate.h"
#include "common/constants.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/ui/ui.h"
#include "workspace/itemplacement.h"
#include "workspace/itemrefresh.h"
#include "workspace/itemshow.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "values/rounding.h"
#include "values/scalesteps.h"
#include "wave/wavecanvas.h"
#include "wave/wavecaptions.h"
#include "wave/wavegrid.h"
#include "wave/waveprint.h"
#include "wave/wavetraces.h"
#include "wave/waveoverlay.h"
#include "wave/wavezoom.h"
#include "wave/zoombox.h"
#include "workspace/mousecontrol.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

const QString kAppTitle = QStringLiteral("Kelvoscope");
constexpr int kStateIntervalMs = 500;
const QSize kDesignClient{9240, 8895};     // twips
const QSize kDesignPicture{381, 333};      // pixels, until the first layout
constexpr int kBoxTop = 180;               // twips: the first source box in its frame
constexpr int kBoxStepWithLogic = 240;
constexpr int kBoxStepWithout = 360;

// The control column is laid out as designed, half as wide again and a third
// taller: its captions in today's fonts (and in Chinese) need the room.
constexpr double kColumnScaleX = 3.0 / 2.0;
constexpr double kColumnScaleY = 4.0 / 3.0;
constexpr int kColumnTwips = int(1100 * kColumnScaleX);

int px(int twips)
{
    return int(RoundHalfEven(twips / double(TwipsPerPx)));
}

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

int colX(int twips)
{
    return px(int(RoundHalfEven(twips * kColumnScaleX)));
}

int colY(int twips)
{
    return px(int(RoundHalfEven(twips * kColumnScaleY)));
}

// A control of the column: its designed place, scaled.
QRect colRect(int left, int top, int width, int height)
{
    return QRect(colX(left), colY(top), colX(width), colY(height));
}

// The column's controls end with the output frame (5130 + 1305 twips down).
const QSize kColumnPanel{colX(1080), colY(5130 + 1305) + 4};

WaveDoc *docOf(int slot)
{
    if (slot < 0 || slot >= DataSheet::WaveSlots)
        return nullptr;
    return &app().Sheet.WaveDocs[size_t(slot)];
}

bool *showFlag(WaveDoc &d, int i)
{
    switch (i) {
    case 0: return &d.ShowCH1;
    case 1: return &d.ShowCH2;
    case 2: return &d.ShowMath;
    case 3: return &d.ShowLA;
    default: return nullptr;
    }
}

} // namespace

// Counts a handler of the window on the stack; a window closed meanwhile is
// deleted only once the last one has returned.
struct WaveHandlerScope {
    frmWave *w;
    explicit WaveHandlerScope(frmWave *win) : w(win) { ++w->handlerDepth_; }
    ~WaveHandlerScope() { w->leaveHandler(); }
};

// --- the picture box ---------------------------------------------------------

WavePictureBox::WavePictureBox(frmWave *owner, QWidget *parent) : QWidget(parent), owner_(owner)
{
    setObjectName(QStringLiteral("WavePic"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WavePictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void WavePictureBox::mousePressEvent(QMouseEvent *event)
{
    held_ = true;
    owner_->WavePic_MouseDown(event->position().x(), event->position().y());
}

void WavePictureBox::mouseMoveEvent(QMouseEvent *event)
{
    // A release that never came (a message box opened over the window took
    // it, or it was given during an exchange that outlasted held input)
    // ends the drag before the pointer moves on: no cursor keeps following
    // a mouse whose buttons are all up.
    if (held_ && event->buttons() == Qt::NoButton && QGuiApplication::mouseButtons() == Qt::NoButton) {
        held_ = false;
        owner_->WavePic_MouseUp(event->position().x(), event->position().y());
    }
    owner_->WavePic_MouseMove(event->position().x(), event->position().y());
}

void WavePictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        held_ = false;
    owner_->WavePic_MouseUp(event->position().x(), event->position().y());
}

void WavePictureBox::wheelEvent(QWheelEvent *event)
{
    owner_->WavePic_Wheel(event->angleDelta(), event->modifiers().testFlag(Qt::ShiftModifier));
    event->accept();
}

// --- the window ----------------------------------------------------------------

frmWave::frmWave(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmWave"));
    setFocusPolicy(Qt::StrongFocus);

    auto button = [this](QWidget *in, const char *name, QStyle::StandardPixmap icon, QRect at) {
        auto *b = new QToolButton(in);
        b->setObjectName(QLatin1String(name));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        b->setGeometry(at);
        return b;
    };
    auto group = [](QWidget *in, const QString &name, QRect at) {
        auto *g = new QGroupBox(in);
        g->setObjectName(name);
        g->setGeometry(at);
        return g;
    };
    auto check = [](QWidget *in, const QString &name, const QString &text, QRect at) {
        auto *c = new QCheckBox(text, in);
        c->setObjectName(name);
        c->setGeometry(at);
        return c;
    };

    // The control column in a frameless scroll area, which scrolls it when
    // the window is lower than the column.
    ColumnScroll = new QScrollArea(this);
    ColumnScroll->setObjectName(QStringLiteral("ColumnScroll"));
    ColumnScroll->setFrameShape(QFrame::NoFrame);
    ColumnScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColumnScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ColumnScroll->setWidgetResizable(false);
    ColumnPanel = new QWidget;
    ColumnPanel->setObjectName(QStringLiteral("ColumnPanel"));
    ColumnPanel->setFixedSize(kColumnPanel);
    ColumnScroll->setWidget(ColumnPanel);
    QWidget *column = ColumnPanel;

    cmdRefresh = button(column, "cmdRefresh", QStyle::SP_BrowserReload, colRect(0, 30, 1080, 390));
    Frame1 = group(column, QStringLiteral("Frame1"), colRect(0, 470, 1065, 1455));
    Frame4 = new QFrame(Frame1);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Frame4->setGeometry(colRect(60, 200, 945, 1185));
    const char *sources[] = {"CH1", "CH2", "Math", "LA"};
    for (int i = 0; i < 4; ++i) {
        ChkCH[i] = check(Frame4, QStringLiteral("ChkCH_%1").arg(i), QLatin1String(sources[i]),
                         colRect(60, kBoxTop + kBoxStepWithLogic * i, 825, kBoxStepWithLogic));
        connect(ChkCH[i], &QCheckBox::clicked, this, [this, i] { ChkCH_Click(i); });
    }

    Frame2[0] = group(column, QStringLiteral("Frame2_0"), colRect(0, 1980, 1065, 2175));
    Frame6 = group(Frame2[0], QStringLiteral("Frame6"), colRect(60, 240, 945, 915));
    ZoomCombo = new QComboBox(Frame6);
    ZoomCombo->setObjectName(QStringLiteral("ZoomCombo"));
    ZoomCombo->setEditable(true);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setGeometry(colRect(0, 240, 945, 315));
    connectZoomBox(ZoomCombo, this, [this] { ZoomCombo_Change(ZoomCombo->currentText()); });
    BestFitChk = check(Frame6, QStringLiteral("BestFitChk"), QStringLiteral("Best Fit"), colRect(60, 540, 825, 345));
    connect(BestFitChk, &QCheckBox::clicked, this, [this] { BestFitChk_Click(); });
    Frame3 = new QFrame(Frame2[0]);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(colRect(60, 1080, 945, 765));
    OptionColor[0] = new QRadioButton(QStringLiteral("Color"), Frame3);
    OptionColor[0]->setObjectName(QStringLiteral("OptionColor_0"));
    OptionColor[0]->setGeometry(colRect(60, 180, 855, 285));
    OptionColor[1] = new QRadioButton(QStringLiteral("B&&W"), Frame3);
    OptionColor[1]->setObjectName(QStringLiteral("OptionColor_1"));
    OptionColor[1]->setGeometry(colRect(60, 450, 855, 285));
    for (QRadioButton *o : OptionColor)
        connect(o, &QRadioButton::clicked, this, [this] { OptionColor_Click(); });
    GridCheck = check(Frame2[0], QStringLiteral("GridCheck"), QStringLiteral("  Grid"), colRect(120, 1770, 825, 375));
    // Rounded from the design, the zoom box, the colour frame and their
    // neighbours would overlap by a few pixels: each starts below the one
    // above it.
    const auto below = [](QWidget *w, const QWidget *above, int height) {
        w->setGeometry(w->x(), above->geometry().bottom() + 2, w->width(), height);
    };
    ZoomCombo->resize(ZoomCombo->width(), BestFitChk->y() - ZoomCombo->y() - 2);
    below(Frame3, Frame6, GridCheck->y() - Frame6->geometry().bottom() - 3);
    OptionColor[0]->move(OptionColor[0]->x(), 2);
    below(OptionColor[1], OptionColor[0], OptionColor[0]->height());
    connect(GridCheck, &QCheckBox::clicked, this, [this] { GridCheck_Click(); });

    Frame2[2] = group(column, QStringLiteral("Frame2_2"), colRect(0, 4170, 1065, 945));
    ChkCursorX = check(Frame2[2], QStringLiteral("ChkCursorX"), QStringLiteral("CursorX"), colRect(45, 210, 975, 315));
    ChkCursorY = check(Frame2[2], QStringLiteral("ChkCursorY"), QStringLiteral("CursorY"), colRect(45, 570, 975, 315));
    connect(ChkCursorX, &QCheckBox::clicked, this, [this] { ChkCursorX_Click(); });
    connect(ChkCursorY, &QCheckBox::clicked, this, [this] { ChkCursorY_Click(); });

    Frame2[1] = group(column, QStringLiteral("Frame2_1"), colRect(0, 5130, 1065, 1305));
    // The output buttons as wide as their frame allows.
    cmdExport = button(Frame2[1], "cmdExport", QStyle::SP_DialogSaveButton, colRect(30, 240, 1005, 300));
    cmdPrint = button(Frame2[1], "cmdPrint", QStyle::SP_FileDialogDetailedView, colRect(30, 570, 1005, 300));
    cmdPreview = button(Frame2[1], "cmdPreview", QStyle::SP_FileDialogContentsView, colRect(30, 900, 1005, 300));

    BackPic = new QWidget(this);
    BackPic->setObjectName(QStringLiteral("BackPic"));
    BackPic->setAutoFillBackground(true);
    WavePic = new WavePictureBox(this, BackPic);
    WavePic->image = QImage(kDesignPicture, QImage::Format_RGB32);
    WavePic->image.fill(Qt::black);
    WavePic->setGeometry(QRect(QPoint(0, 0), kDesignPicture));

    picRefreshProgress = new QFrame(BackPic);
    picRefreshProgress->setObjectName(QStringLiteral("picRefreshProgress"));
    picRefreshProgress->setAutoFillBackground(true);
    picRefreshProgress->resize(ProgressBoxSize);
    LblRefreshText = new QLabel(QStringLiteral("Refreshing :"), picRefreshProgress);
    LblRefreshText->setObjectName(QStringLiteral("LblRefreshText"));
    LblRefreshText->setGeometry(px(30), 0, px(1305), ProgressBoxSize.height());
    LblRefreshValue = new QLabel(QStringLiteral("%20"), picRefreshProgress);
    LblRefreshValue->setObjectName(QStringLiteral("LblRefreshValue"));
    LblRefreshValue->setGeometry(px(1200) - 20, 0, px(795), ProgressBoxSize.height());
    for (QLabel *l : {LblRefreshText, LblRefreshValue}) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(12);
        l->setFont(f);
    }
    LblRefreshValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setProgressColors(true);

    HScroll = new QScrollBar(Qt::Horizontal, this);
    HScroll->setObjectName(QStringLiteral("HScroll"));
    VScroll = new QScrollBar(Qt::Vertical, this);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    for (QScrollBar *bar : {HScroll, VScroll}) {
        bar->setRange(0, 100);
        bar->setSingleStep(1);
        bar->hide();
    }
    ScrollCorner = new QWidget(this);
    ScrollCorner->setObjectName(QStringLiteral("ScrollCorner"));
    ScrollCorner->setAutoFillBackground(true);
    ScrollCorner->hide();
    connect(HScroll, &QScrollBar::valueChanged, this, [this] { HScroll_Change(); });
    connect(VScroll, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });

    connect(cmdRefresh, &QToolButton::clicked, this, [this] { cmdRefresh_Click(); });
    // Refresh/Stop and F5 act at once, even during a load: they stop a
    // continuous refresh there and then.
    letActDuringExchange(cmdRefresh);
    letKeyActDuringExchange(this, Qt::Key_F5);
    connect(cmdExport, &QToolButton::clicked, this, [this] { cmdExport_Click(); });
    connect(cmdPrint, &QToolButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdPreview, &QToolButton::clicked, this, [this] { cmdPreview_Click(); });

    // F5 refreshes whichever control has the focus: the window sees key
    // presses before its controls.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    timer1_ = appClock().makeTimer();
    timer1_->onTimeout = [this] { Timer1_Timer(); };
    timer2_ = appClock().makeTimer();
    timer2_->onTimeout = [this] { Timer2_Timer(); };

    // Small enough to tile; the column scrolls and the picture keeps a
    // corner in view.
    setMinimumSize(px(kColumnTwips) + ColumnScroll->verticalScrollBar()->sizeHint().width() + 120, 180);
    resize(sizeHint());
    setRefreshPictures(false);
    Form_Load();
}

QSize frmWave::sizeHint() const
{
    return QSize(px(kDesignClient.width() - 1100 + kColumnTwips), px(kDesignClient.height()));
}

frmWave::~frmWave()
{
    timer1_->stop();
    timer2_->stop();
}

int frmWave::slot() const
{
    bool ok = false;
    const int s = tag.toInt(&ok);
    return ok && s >= 0 && s < DataSheet::WaveSlots ? s : -1;
}

WaveDoc *frmWave::doc() const
{
    return docOf(slot());
}

QWidget *frmWave::frame()
{
    return itemFrame(this);
}

void frmWave::layoutChannelBoxes(bool logicChannels)
{
    const int step = logicChannels ? kBoxStepWithLogic : kBoxStepWithout;
    const int top = kBoxTop;
    for (int i = 1; i <= 2; ++i)
        ChkCH[i]->move(ChkCH[i]->x(), colY(top + i * step));
    if (logicChannels) {
        ChkCH[3]->show();
    } else {
        ChkCH[3]->hide();
        ChkCH[3]->setEnabled(false);
    }
}

void frmWave::setProgressColors(bool colorScheme)
{
    QPalette box = picRefreshProgress->palette();
    box.setColor(QPalette::Window, colorScheme ? QColor(0, 0, 0) : QColor(255, 255, 255));
    picRefreshProgress->setPalette(box);
    QPalette text = LblRefreshText->palette();
    text.setColor(QPalette::WindowText, colorScheme ? QColor(255, 255, 192) : QColor(0, 0, 0));
    LblRefreshText->setPalette(text);
    QPalette value = LblRefreshValue->palette();
    value.setColor(QPalette::WindowText, colorScheme ? QColor(0, 255, 255) : QColor(0, 0, 0));
    LblRefreshValue->setPalette(value);
    picRefreshProgress->update();
}

void frmWave::showLoadPercent(const QString &text)
{
    LblRefreshValue->setText(text);
    LblRefreshValue->repaint();
}

void frmWave::hideLoadProgress()
{
    picRefreshProgress->hide();
}

// --- load, state timer, layout ---------------------------------------------

void frmWave::Form_Load()
{
    app().wave.WaveBusy = false;
    InitPending = true;
    timer1_->stop();
    timer1_->start(1);
    ZoomFactor = 1.0;
    {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->clear();
        for (const char *choice : ZoomChoices)
            ZoomCombo->addItem(QLatin1String(choice));
        ZoomCombo->setCurrentIndex(ZoomChoiceAtLoad);
    }
    // Choosing the list's entry runs its handler: 150 %, laid out but not drawn.
    ZoomCombo_Change(ZoomCombo->currentText());
    cursors.load();
    picRefreshProgress->hide();
}

void frmWave::setControlsFromRecord()
{
    WaveDoc *d = doc();
    if (!d)
        return;
    for (int i = 0; i < 4; ++i) {
        if (*showFlag(*d, i)) {
            ChkCH[i]->setEnabled(true);
            ChkCH[i]->setChecked(true);
        }
    }
    BestFitChk->setChecked(d->BestFit);
    ZoomCombo->setEnabled(!d->BestFit);
    GridCheck->setChecked(d->GridShown);
    OptionColor[d->ColorMode ? 0 : 1]->setChecked(true);
    setProgressColors(d->ColorMode);
    ChkCursorX->setChecked(cursors.CursorXOn);
    ChkCursorY->setChecked(cursors.CursorYOn);
}

void frmWave::Timer1_Timer()
{
    WaveHandlerScope scope(this);
    if (InitPending) {
        timer1_->stop();
        timer1_->start(kStateIntervalMs);
        InitPending = false;
        const bool modified = app().Sheet.Modified;
        if (WaveDoc *d = doc())
            d->WindowOpen = true;
        setControlsFromRecord();
        Form_Resize();
        app().Sheet.Modified = modified;
    }

    // The source boxes follow the instrument's display words.
    WaveDoc *d = doc();
    if (!d)
        return;
    const CtrlSettings &s = app().Settings;
    const QString &on = word(Word::WordOn);
    const bool shown[4] = {s.CH1Display == on, s.CH2Display == on, s.MathDisplay == on, s.LADisplay == on};
    const bool all = shown[0] && shown[1] && shown[2] && shown[3];
    for (int i = 0; i < 4; ++i) {
        if (all || shown[i]) {
            ChkCH[i]->setEnabled(true);
        } else {
            ChkCH[i]->setEnabled(false);
            ChkCH[i]->setChecked(false);
            *showFlag(*d, i) = false;
        }
    }
    bool anyTicked = false;
    for (QCheckBox *box : ChkCH)
        anyTicked = anyTicked || box->isChecked();
    if (!anyTicked) {
        for (int i = 0; i < 4; ++i) {
            if (ChkCH[i]->isEnabled()) {
                ChkCH[i]->setChecked(true);
                *showFlag(*d, i) = true;
                break;
            }
        }
    }
    // Sources the transfer switched on behind the window's back (X-Y).
    if (d->ShowCH2 && ChkCH[1]->isEnabled() && !ChkCH[1]->isChecked())
        ChkCH[1]->setChecked(true);
    if (d->ShowCH1 && ChkCH[0]->isEnabled() && !ChkCH[0]->isChecked())
        ChkCH[0]->setChecked(true);
}

void frmWave::Timer2_Timer()
{
    app().measure.AutoRefresh.RefreshElapsed = timer2_->interval();
}

void frmWave::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmWave::Form_Resize()
{
    // Scroll home.
    WavePic->move(0, 0);
    {
        const QSignalBlocker h(HScroll), v(VScroll);
        HScroll->setValue(0);
        VScroll->setValue(0);
    }
    // The column, with a scroll bar of its own when the window is lower.
    const bool columnScrolls = height() < kColumnPanel.height();
    const int columnWidth = px(kColumnTwips) + (columnScrolls ? ColumnScroll->verticalScrollBar()->sizeHint().width() : 0);
    ColumnScroll->setGeometry(0, 0, columnWidth, height());
    WaveLayoutInput in;
    in.client = size() * TwipsPerPx;
    in.columnTwips = columnScrolls ? columnWidth * TwipsPerPx : kColumnTwips;
    in.previousBackPic = QRect(BackPic->x() * TwipsPerPx, BackPic->y() * TwipsPerPx,
                               BackPic->width() * TwipsPerPx, BackPic->height() * TwipsPerPx);
    in.sizePicture = !InitPending;
    const WaveDoc *d = doc();
    in.bestFit = d && d->BestFit;
    in.zoom = ZoomFactor;
    in.previousPicture = WavePic->size();
    const WaveLayout out = layoutWaveWindow(in);

    BackPic->setGeometry(pxRect(out.backPic.x(), out.backPic.y(), out.backPic.width(), out.backPic.height()));
    if (!InitPending) {
        if (out.zoomFromBestFit) {
            ZoomFactor = out.zoom;
            ZoomCombo->setEnabled(false);
            setZoomText(ZoomText(ZoomFactor));
        }
        WavePic->resize(out.picture);
        if (WavePic->image.size() != out.picture) {
            WavePic->image = QImage(out.picture.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
            WavePic->image.fill(Qt::black);
        }
        auto placeBar = [](QScrollBar *bar, const ScrollBarPlace &place) {
            if (!place.shown) {
                bar->hide();
                return;
            }
            bar->setGeometry(pxRect(place.rect.x(), place.rect.y(), place.rect.width(), place.rect.height()));
            bar->setPageStep(place.largeChange);
            bar->setSingleStep(1);
            bar->show();
            bar->raise();
        };
        placeBar(HScroll, out.hBar);
        placeBar(VScroll, out.vBar);
        if (out.hBar.shown && out.vBar.shown) {
            ScrollCorner->setGeometry(VScroll->x(), HScroll->y(), VScroll->width(), HScroll->height());
            ScrollCorner->show();
            ScrollCorner->raise();
        } else {
            ScrollCorner->hide();
        }
        if (out.hBar.shown)
            HScrollRange = out.hScrollRange;
        if (out.vBar.shown)
            VScrollRange = out.vScrollRange;
    }
    placeProgressBox();
    // The cursors keep their divisions: nothing to move.
    if (!InitPending)
        redrawPicture();
}

void frmWave::placeProgressBox()
{
    picRefreshProgress->move(progressBoxPlace(WavePic->pos(), ZoomFactor));
    picRefreshProgress->raise();
}

void frmWave::drawPictureAt(QImage &image, double zoom, WaveCursors &overlay)
{
    const WaveDoc *d = doc();
    if (!d)
        return;
    WaveCanvas canvas(&image);
    GraticuleInput grid;
    grid.zoom = zoom;
    grid.colorScheme = d->ColorMode;
    grid.grid = d->GridShown;
    grid.split = d->SplitScreen;
    DrawScrGrid(canvas, grid);
    WaveDrawEnv env;
    env.zoom = zoom;
    env.laModel = app().link.LaModel;
    DrawOSC(canvas, *d, env);
    DrawCursors(canvas.painter(), overlay, *d, zoom);
}

void frmWave::redrawPicture()
{
    if (InitPending)
        return;
    drawPictureAt(WavePic->image, ZoomFactor, cursors);
    BackPic->setPalette(QPalette(WavePic->image.pixelColor(0, 0)));
    WavePic->update();
}

// --- zoom, display boxes, scroll bars ----------------------------------------

void frmWave::setZoomText(const QString &text)
{
    const QSignalBlocker block(ZoomCombo);
    ZoomCombo->setEditText(text);
}

void frmWave::ZoomCombo_Change(const QString &text)
{
    WaveHandlerScope scope(this);
    applyZoomText(text);
}

void frmWave::applyZoomText(const QString &text)
{
    const std::optional<double> zoom = ParseZoomText(text);
    if (!zoom) {
        ui().message(MsgIcon::Exclamation, kAppTitle, message(Msg::MsgInvalidZoom));
        setZoomText(ZoomText(ZoomFactor));
        return;
    }
    ZoomFactor = *zoom;
    setZoomText(ZoomText(ZoomFactor));
    Form_Resize();
}

void frmWave::BestFitChk_Click()
{
    WaveHandlerScope scope(this);
    WaveDoc *d = doc();
    if (!d)
        return;
    if (BestFitChk->isChecked()) {
        d->BestFit = true;
        ZoomCombo->setEnabled(false);
        Form_Resize();
    } else {
        // The zoom keeps the last best-fit value, which the box already shows.
        d->BestFit = false;
        ZoomCombo->setEnabled(true);
    }
    app().Sheet.Modified = true;
}

void frmWave::ChkCH_Click(int i)
{
    WaveDoc *d = doc();
    if (!d || i < 0 || i > 3)
        return;
    if (app().transfer.TransferBusy) {
        ChkCH[i]->setChecked(*showFlag(*d, i)); // springs back
        return;
    }
    *showFlag(*d, i) = ChkCH[i]->isEnabled() && ChkCH[i]->isChecked();
}

void frmWave::GridCheck_Click()
{
    WaveHandlerScope scope(this);
    if (WaveDoc *d = doc())
        d->GridShown = GridCheck->isChecked();
    app().Sheet.Modified = true;
    Form_Resize();
}

void frmWave::OptionColor_Click()
{
    WaveHandlerScope scope(this);
    WaveDoc *d = doc();
    if (!d)
        return;
    const bool old = d->ColorMode;
    d->ColorMode = OptionColor[0]->isChecked();
    if (d->ColorMode != old)
        setProgressColors(d->ColorMode);
    app().Sheet.Modified = true;
    Form_Resize();
}

void frmWave::ChkCursorX_Click()
{
    WaveHandlerScope scope(this);
    cursors.CursorXOn = ChkCursorX->isChecked();
    Form_Resize();
}

void frmWave::ChkCursorY_Click()
{
    WaveHandlerScope scope(this);
    cursors.CursorYOn = ChkCursorY->isChecked();
    Form_Resize();
}

void frmWave::HScroll_Change()
{
    WavePic->move(int(RoundHalfEven(hScrollOffset(HScroll->value(), HScrollRange))), WavePic->y());
    placeProgressBox();
}

void frmWave::WavePic_Wheel(QPoint angleDelta, bool across)
{
    int delta = angleDelta.y();
    bool horizontal = across || !VScroll->isVisibleTo(this);
    if (angleDelta.y() == 0) {
        delta = angleDelta.x();
        horizontal = true;
    }
    QScrollBar *bar = horizontal ? HScroll : VScroll;
    const double range = horizontal ? HScrollRange : double(VScrollRange);
    if (delta == 0 || !bar->isVisibleTo(this) || range <= 0)
        return;
    // About three lines of 20 pixels a notch (120), at least one step.
    const double perNotch = std::max(1.0, std::round(60.0 * 100.0 / range));
    bar->setValue(bar->value() - int(std::lround(delta / 120.0 * perNotch)));
}

void frmWave::VScroll_Change()
{
    WavePic->move(WavePic->x(), vScrollOffset(VScroll->value(), VScrollRange));
    placeProgressBox();
}

// --- mouse on the picture --------------------------------------------------------

void frmWave::WavePic_MouseDown(double x, double y)
{
    const WaveDoc *d = doc();
    cursors.press(x, y, ZoomFactor, d && d->SplitScreen);
}

void frmWave::WavePic_MouseMove(double x, double y)
{
    WaveHandlerScope scope(this);
    const WaveDoc *d = doc();
    bool redraw = false;
    const int pointer = cursors.move(x, y, ZoomFactor, d && d->SplitScreen, &redraw);
    if (redraw)
        redrawPicture();
    // The hourglass of a long action (Auto Set's wait for the instrument)
    // stays until the action ends: a hover does not take it away.
    if (MouseControl::Cursor() != pointer && MouseControl::Cursor() != BusyPointer)
        MouseControl::setCursor(pointer);
}

void frmWave::WavePic_MouseUp(double, double)
{
    cursors.release();
}

// --- refresh -------------------------------------------------------------------

void frmWave::setRefreshPictures(bool stop)
{
    stopPictures_ = stop;
    cmdRefresh->setIcon(style()->standardIcon(stop ? QStyle::SP_MediaStop : QStyle::SP_BrowserReload));
}

void frmWave::LoadData()
{
    const int k = slot();
    WaveDoc *d = docOf(k);
    if (!d || !(d->ShowCH1 || d->ShowCH2 || d->ShowMath || d->ShowLA))
        return;
    picRefreshProgress->show();
    placeProgressBox();
    loading_ = true;
    const bool ran = RequestWaveformLoad(k);
    loading_ = false;
    if (!ran)
        return;
    if (!app().xfer.BlocksReceived) {
        // The request left the item as it was: its own trace stays, and the
        // sheet is not changed by the refresh.
        cmdRefresh->setCursor(Qt::ArrowCursor);
        reportMissingBlock();
        return;
    }
    d->HasData = true;
    app().Sheet.Modified = true;
    cmdRefresh->setCursor(Qt::ArrowCursor);
    Form_Resize();
}

void frmWave::cmdRefresh_Click()
{
    WaveHandlerScope scope(this);
    WaveState &w = app().wave;
    RefreshWindow r;
    r.kind = RefreshKind::Wave;
    r.slot = slot();
    r.refreshDoc = &w.WaveRefreshDoc;
    r.refreshActive = &w.WaveRefreshActive;
    r.refreshing = [this]() -> bool * {
        WaveDoc *d = docOf(slot());
        return d ? &d->Refreshing : nullptr;
    };
    r.load = [this, &w] {
        w.WaveBusy = true;
        LoadData();
        w.WaveBusy = false;
    };
    r.unloaded = [this] { return unloaded_; };
    r.setRefreshPictures = [this](bool stop) { setRefreshPictures(stop); };
    r.button = cmdRefresh;
    r.window = this;
    r.clock = timer2_.get();
    RunItemRefresh(r);
}

// --- export and printing -----------------------------------------------------------

void frmWave::cmdExport_Click()
{
    WaveHandlerScope scope(this);
    ExportWavePicture(WavePic->image, app().texts.LanguageIndex);
}

void frmWave::cmdPrint_Click()
{
    WaveHandlerScope scope(this);
    printOrPreview(false);
}

void frmWave::cmdPreview_Click()
{
    WaveHandlerScope scope(this);
    printOrPreview(true);
}

void frmWave::printOrPreview(bool preview)
{
    // The print picture is the window's picture drawn anew at zoom 2
    // (700 x 500); the window's zoom and picture come back afterwards.
    const double remembered = ZoomFactor;
    ZoomFactor = Screen::PrintZoom;
    const QSize printSize(Screen::PictureWidth * Screen::PrintZoom, Screen::PictureHeight * Screen::PrintZoom);
    WavePic->resize(printSize);
    WavePic->image = QImage(printSize, QImage::Format_RGB32);
    WavePic->image.fill(Qt::black);
    if (!InitPending) {
        // The cursors as they stand on the window's picture, at the same
        // divisions of the print picture; the window's own stay as they are.
        WaveCursors printCursors = cursors;
        drawPictureAt(WavePic->image, ZoomFactor, printCursors);
    }
    const QImage printed = WavePic->image;
    PrintWavePicture(printed, preview, windowTitle());
    if (unloaded_)
        return;
    ZoomFactor = remembered;
    Form_Resize();
}

// --- keys, closing ------------------------------------------------------------------

bool frmWave::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F5) {
            if (!(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
                cmdRefresh_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool frmWave::Form_QueryUnload() const
{
    return !(app().transfer.TransferBusy || app().wave.WaveBusy);
}

void frmWave::closeEvent(QCloseEvent *event)
{
    closeItemWindow(this, event, unloaded_, handlerDepth_, [this] { return Form_QueryUnload(); },
                    [this] { Form_Unload(); });
}

void frmWave::Form_Unload()
{
    WaveState &w = app().wave;
    releasePrintJob(PrintJobKind::Wave);
    const int s = slot();
    if (WaveDoc *d = docOf(s))
        d->WindowOpen = false;
    unloaded_ = true;
    EndItemRefreshOnUnload(RefreshKind::Wave, [&w] {
        // The refreshing window (never made anew for this) shows Refresh again.
        if (frmWave *running = waveWindow(w.WaveRefreshDoc)) {
            running->setRefreshPictures(false);
            running->timer2_->stop();
        }
        if (WaveDoc *d = docOf(w.WaveRefreshDoc))
            d->Refreshing = false;
    });
    timer1_->stop();
    timer2_->stop();
    w.WaveRefreshActive = false;
    releaseItemSlotRef(SheetItemKind::Wave, s, this);
}

void frmWave::leaveHandler()
{
    leaveItemHandler(this, handlerDepth_, unloaded_);
}

// --- functions for the data sheet -------------------------------------------------

frmWave *waveWindow(int slot)
{
    return itemSlotWindow<frmWave>(SheetItemKind::Wave, slot);
}

void installWaveWindowHooks()
{
    installWaveWindowLoader();
    TransferData &x = app().xfer;
    if (!x.ShowWaveLoadPercent)
        x.ShowWaveLoadPercent = [](int slot) { ShowWaveLoadPercent(slot, app().xfer.WavePercent); };
    if (!x.HideWaveProgress)
        x.HideWaveProgress = [](int slot) {
            if (frmWave *w = waveWindow(slot))
                w->hideLoadProgress();
        };
    SetWaveLoadPercentSink([](int slot, const QString &text) {
        if (frmWave *w = waveWindow(slot))
            w->showLoadPercent(text);
    });
}

frmWave *ShowWaveWindow(int slot, bool logicChannels)
{
    ItemWindowShow show;
    show.install = installWaveWindowHooks;
    show.prepare = [slot, logicChannels](QWidget *made) {
        auto *w = static_cast<frmWave *>(made);
        w->layoutChannelBoxes(logicChannels);
        w->setProgressColors(app().Sheet.WaveDocs[size_t(slot)].ColorMode);
    };
    // Every activation applies the language's texts again.
    show.activate = [slot](QWidget *, bool) { LoadWaveWindowTexts(slot, app().texts.LanguageIndex); };
    return showItemSlotWindow<frmWave>(SheetItemKind::Wave, slot, show);
}

frmWave *OpenWaveItemWindow(int slot)
{
    if (slot < 0 || slot >= DataSheet::WaveSlots)
        return nullptr;
    WaveDoc &d = app().Sheet.WaveDocs[size_t(slot)];
    if (frmWave *open = waveWindow(slot)) {
        d.DigitalLayout = app().link.LaPresent != 0;
        open->layoutChannelBoxes(d.DigitalLayout);
    }
    frmWave *w = ShowWaveWindow(slot, d.DigitalLayout);
    w->setProgressColors(d.ColorMode);
    return w;
}

bool WaveWindowLoading(int slot)
{
    const frmWave *w = waveWindow(slot);
    return w && w->loading();
}

bool CloseWaveWindow(int slot)
{
    return closeItemSlotWindow<frmWave>(SheetItemKind::Wave, slot);
}
