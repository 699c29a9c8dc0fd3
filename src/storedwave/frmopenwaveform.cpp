#include "storedwave/frmopenwaveform.h"

#include "app/appstate.h"
#include "platform/print/pictureoutput.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/pump.h"
#include "platform/safesave.h"
#include "platform/ui/holdbutton.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"
#include "workspace/itemplacement.h"
#include "workspace/itemshow.h"
#include "storedwave/csvexport.h"
#include "storedwave/infopanel.h"
#include "storedwave/scalestep.h"
#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedpicture.h"
#include "storedwave/storedwavecaptions.h"
#include "storedwave/wavefile.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "transfer/frmprgresssave.h"
#include "values/numbertext.h"
#include "wave/wavezoom.h"
#include "wave/zoombox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <cmath>

namespace {

const QString Title = QStringLiteral("Kelvoscope");

constexpr int TwipsPerPx = 15;
int px(int twips) { return int(std::lround(double(twips) / TwipsPerPx)); }
int nint(double v) { return int(std::nearbyint(v)); }

// Design places, in pixels.
constexpr int LeftColumn = 87;      // the frames' column (1300 twips)
constexpr int PanelTop = 2;
constexpr int PanelHeight = 42;
constexpr int RowTop = 14;          // top of the rows inside the volts/div and time/div frames
constexpr int RowHeight = 20;
constexpr int Margin = 4;           // between the viewport and the window's edges
constexpr int ScrollThickness = 17;
constexpr int ScaleRepeatMs = 200;
constexpr int LeftColumnBottom = 410; // the output frame's bottom edge

const InfoPanelDesign &design()
{
    static const InfoPanelDesign d;
    return d;
}

QGroupBox *makeFrame(QWidget *parent, const QString &name, const QRect &r)
{
    auto *g = new QGroupBox(parent);
    g->setObjectName(name);
    g->setGeometry(r);
    return g;
}

QLineEdit *makeBox(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignCenter);
    return e;
}

} // namespace

StoredWaveSurface::StoredWaveSurface(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void StoredWaveSurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!image.isNull())
        p.drawImage(0, 0, image);
}

// Every button picks and drags; the picture keeps the mouse while one is held.
void StoredWaveSurface::mousePressEvent(QMouseEvent *e)
{
    held_ = true;
    emit mouseDown(float(e->position().x()), float(e->position().y()));
}

void StoredWaveSurface::mouseMoveEvent(QMouseEvent *e)
{
    // A release that never came (a message box opened over the window took
    // it, or it was given during an exchange that outlasted held input)
    // ends the drag before the pointer moves on: no cursor or trace keeps
    // following a mouse whose buttons are all up.
    if (held_ && e->buttons() == Qt::NoButton && QGuiApplication::mouseButtons() == Qt::NoButton) {
        held_ = false;
        emit mouseUp(float(e->position().x()), float(e->position().y()));
    }
    emit mouseMove(float(e->position().x()), float(e->position().y()));
}

void StoredWaveSurface::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->buttons() == Qt::NoButton)
        held_ = false;
    emit mouseUp(float(e->position().x()), float(e->position().y()));
}

frmOpenWaveform::frmOpenWaveform(int slot, QWidget *parent)
    : QWidget(parent), slot_(slot), scroll_(this), Timer1(appClock().makeTimer()), Timer2(appClock().makeTimer())
{
    setObjectName(QStringLiteral("frmOpenWaveform"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(sizeHint());
    Timer1->setSingleShot(true);
    Timer1->onTimeout = [this] { Timer1_Timer(); };
    Timer2->onTimeout = [this] { Timer2_Timer(); };
    buildControls();
}

frmOpenWaveform::~frmOpenWaveform()
{
    Form_Unload();
}

QSize frmOpenWaveform::sizeHint() const
{
    // The picture at zoom 2, and room for the widest info panel (two
    // channels under the alternate trigger).
    const InfoPanelDesign &d = design();
    const int widestPanel = px(d.altFrameWidth + (d.labelWidth + 420 + d.boxWidth + d.buttonWidth) * 2 + 600 + d.resetWidth);
    return QSize(std::max(LeftColumn + 2 * Margin + 700 + ScrollThickness, LeftColumn + widestPanel + Margin),
                 PanelTop + PanelHeight + 2 * Margin + 500 + ScrollThickness);
}

QSize frmOpenWaveform::minimumSizeHint() const
{
    return QSize(LeftColumn + 2 * Margin + 300 + ScrollThickness, LeftColumnBottom + Margin);
}

QToolButton *frmOpenWaveform::scaleButton(QWidget *parent, const char *name, ScaleTarget target, int direction)
{
    auto *b = new HoldButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(direction < 0 ? QStringLiteral("<") : QStringLiteral(">"));
    b->setAutoRaise(false);
    connect(b, &QToolButton::pressed, this, [this, target, direction] { ScaleButton_MouseDown(target, direction); });
    connect(b, &QToolButton::released, this, [this, target] { ScaleButton_MouseUp(target); });
    return b;
}

QSize frmOpenWaveform::leastContentSize() const
{
    const QSize least = minimumSizeHint();
    if (!framRefresh || !framRefresh->isVisibleTo(this))
        return least;
    return QSize(std::max(least.width(), framRefresh->geometry().right() + 1 + Margin), least.height());
}

void frmOpenWaveform::buildControls()
{
    // The column of frames on the left, on the window's contents (they
    // scroll when the window is smaller than they need).
    QWidget *const inside = scroll_.contents();
    QGroupBox *frame1 = makeFrame(inside, QStringLiteral("Frame1"), QRect(4, 2, 80, 52));
    FlatBttn1 = new QToolButton(frame1);
    FlatBttn1->setObjectName(QStringLiteral("FlatBttn1"));
    FlatBttn1->setGeometry(6, 18, 68, 28);
    connect(FlatBttn1, &QToolButton::clicked, this, [this] { OpenWaveformFile(); });

    QGroupBox *display = makeFrame(inside, QStringLiteral("Frame2_0"), QRect(4, 58, 80, 86));
    for (int i = 0; i < 2; ++i) {
        auto *o = new QRadioButton(display);
        o->setObjectName(QStringLiteral("OptionColor_%1").arg(i));
        o->setGeometry(6, 18 + 20 * i, 72, 20);
        connect(o, &QRadioButton::clicked, this, [this, i] { OptionColor_Click(i); });
        OptionColor[size_t(i)] = o;
    }
    GridCheck = new QCheckBox(display);
    GridCheck->setObjectName(QStringLiteral("GridCheck"));
    GridCheck->setGeometry(6, 60, 72, 20);
    connect(GridCheck, &QCheckBox::clicked, this, [this] { GridCheck_Click(); });

    QGroupBox *cursorFrame = makeFrame(inside, QStringLiteral("Frame2_2"), QRect(4, 204, 80, 66));
    ChkCursorX = new QCheckBox(cursorFrame);
    ChkCursorX->setObjectName(QStringLiteral("ChkCursorX"));
    ChkCursorX->setGeometry(4, 18, 74, 20);
    connect(ChkCursorX, &QCheckBox::clicked, this, [this] { ChkCursorX_Click(); });
    ChkCursorY = new QCheckBox(cursorFrame);
    ChkCursorY->setObjectName(QStringLiteral("ChkCursorY"));
    ChkCursorY->setGeometry(4, 40, 74, 20);
    connect(ChkCursorY, &QCheckBox::clicked, this, [this] { ChkCursorY_Click(); });

    QGroupBox *output = makeFrame(inside, QStringLiteral("Frame2_1"), QRect(4, 274, 80, LeftColumnBottom - 274));
    const auto outputButton = [&](const char *name, int y, const QString &text, void (frmOpenWaveform::*click)()) {
        auto *b = new QToolButton(output);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setGeometry(4, y, 72, 26);
        connect(b, &QToolButton::clicked, this, click);
        return b;
    };
    FlatBttn3 = outputButton("FlatBttn3", 18, QStringLiteral("CSV"), &frmOpenWaveform::ExportCsv);
    FlatBttn4 = outputButton("FlatBttn4", 46, QString(), &frmOpenWaveform::ExportStoredBitmap);
    cmdPrint = outputButton("cmdPrint", 74, QString(), &frmOpenWaveform::PrintStoredPicture);
    cmdPreview = outputButton("cmdPreview", 102, QString(), &frmOpenWaveform::PreviewStoredPicture);

    QGroupBox *zoom = makeFrame(inside, QStringLiteral("Frame6"), QRect(4, 148, 80, 52));
    ZoomCombo = new QComboBox(zoom);
    ZoomCombo->setObjectName(QStringLiteral("ZoomCombo"));
    ZoomCombo->setEditable(true);
    ZoomCombo->setInsertPolicy(QComboBox::NoInsert);
    ZoomCombo->setGeometry(6, 20, 68, 24);
    connectZoomBox(ZoomCombo, this, [this] { ZoomCombo_Click(); });

    // The info panel above the picture.
    const InfoPanelDesign &d = design();
    framRefresh = makeFrame(inside, QStringLiteral("framRefresh"), QRect(LeftColumn, PanelTop, px(3000), PanelHeight));
    framVoltDiv = makeFrame(framRefresh, QStringLiteral("framVoltDiv"), QRect(px(d.voltFrameLeft), 0, px(2635), PanelHeight - 2));
    lblCH1 = new QLabel(QStringLiteral("CH1"), framVoltDiv);
    lblCH1->setObjectName(QStringLiteral("lblCH1"));
    lblCH2 = new QLabel(QStringLiteral("CH2"), framVoltDiv);
    lblCH2->setObjectName(QStringLiteral("lblCH2"));
    txtCH1Div = makeBox(framVoltDiv, "txtCH1Div");
    txtCH2Div = makeBox(framVoltDiv, "txtCH2Div");
    abtnCH1DivDec = scaleButton(framVoltDiv, "abtnCH1DivDec", ScaleTarget::Ch1VoltDiv, -1);
    abtnCH1DivInc = scaleButton(framVoltDiv, "abtnCH1DivInc", ScaleTarget::Ch1VoltDiv, 1);
    abtnCH2DivDec = scaleButton(framVoltDiv, "abtnCH2DivDec", ScaleTarget::Ch2VoltDiv, -1);
    abtnCH2DivInc = scaleButton(framVoltDiv, "abtnCH2DivInc", ScaleTarget::Ch2VoltDiv, 1);
    const auto placeRow = [&d](const InfoRowPlace &r, QLabel *label, QLineEdit *box, QToolButton *dec,
                               QToolButton *inc) {
        // The label ends where its box begins (the designed label reaches
        // under the box).
        label->setGeometry(px(r.label), RowTop, std::min(px(d.labelWidth), px(r.box) - px(r.label) - 2), RowHeight);
        box->setGeometry(px(r.box), RowTop, px(d.boxWidth), RowHeight);
        dec->setGeometry(px(r.dec), RowTop, px(d.buttonWidth), RowHeight);
        inc->setGeometry(px(r.inc), RowTop, px(d.buttonWidth), RowHeight);
    };
    placeRow(infoRowAt(50, d), lblCH1, txtCH1Div, abtnCH1DivDec, abtnCH1DivInc);
    placeRow(infoRowAt(2535, d), lblCH2, txtCH2Div, abtnCH2DivDec, abtnCH2DivInc);

    framTimeDiv = makeFrame(framRefresh, QStringLiteral("framTimeDiv"),
                            QRect(px(2835), 0, px(d.timeFrameWidth), PanelHeight - 2));
    Label4 = new QLabel(framTimeDiv);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(4, RowTop, 48, RowHeight);
    // A text box with its Dec and Inc buttons, from x.
    const auto group = [&](QWidget *frame, int x, int boxWidth, const char *box, const char *dec, const char *inc,
                           ScaleTarget target, QLineEdit *&boxOut, QToolButton *&decOut, QToolButton *&incOut) {
        boxOut = makeBox(frame, box);
        boxOut->setGeometry(x, RowTop, boxWidth, RowHeight);
        decOut = scaleButton(frame, dec, target, -1);
        decOut->setGeometry(x + boxWidth + 3, RowTop, px(d.buttonWidth), RowHeight);
        incOut = scaleButton(frame, inc, target, 1);
        incOut->setGeometry(x + boxWidth + 3 + px(d.buttonWidth) + 2, RowTop, px(d.buttonWidth), RowHeight);
    };
    group(framTimeDiv, 54, 72, "txtTimeDiv", "abtnTimeDivDec", "abtnTimeDivInc", ScaleTarget::TimeDiv, txtTimeDiv,
          abtnTimeDivDec, abtnTimeDivInc);

    framAltTimeDiv = makeFrame(framRefresh, QStringLiteral("framAltTimeDiv"),
                               QRect(px(2835), 0, px(d.altFrameWidth), PanelHeight - 2));
    group(framAltTimeDiv, 4, 62, "txtCH1TimeDiv", "abtnCH1TimeDivDec", "abtnCH1TimeDivInc", ScaleTarget::Ch1TimeDiv,
          txtCH1TimeDiv, abtnCH1TimeDivDec, abtnCH1TimeDivInc);
    group(framAltTimeDiv, 118, 62, "txtCH2TimeDiv", "abtnCH2TimeDivDec", "abtnCH2TimeDivInc", ScaleTarget::Ch2TimeDiv,
          txtCH2TimeDiv, abtnCH2TimeDivDec, abtnCH2TimeDivInc);

    Reset = new QToolButton(framRefresh);
    Reset->setObjectName(QStringLiteral("Reset"));
    Reset->setGeometry(px(5655), RowTop, px(d.resetWidth), RowHeight + 2);
    connect(Reset, &QToolButton::clicked, this, [this] { Reset_Click(); });

    // A new window shows no scale until a file is loaded.
    for (QWidget *w : std::initializer_list<QWidget *>{lblCH1, txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, lblCH2, txtCH2Div,
                                                       abtnCH2DivDec, abtnCH2DivInc, Label4, txtTimeDiv, abtnTimeDivDec,
                                                       abtnTimeDivInc, framAltTimeDiv})
        w->hide();

    // The viewport, its picture and the scroll bars.
    BackPic = new QWidget(inside);
    BackPic->setObjectName(QStringLiteral("BackPic"));
    BackPic->setAutoFillBackground(true);
    BackPic->setGeometry(LeftColumn, PanelTop + PanelHeight + 3, 700, 500);
    MemoryWavePic = new StoredWaveSurface(BackPic);
    MemoryWavePic->setObjectName(QStringLiteral("MemoryWavePic"));
    MemoryWavePic->setGeometry(0, 0, 350, 250);
    connect(MemoryWavePic, &StoredWaveSurface::mouseDown, this,
            [this](float x, float y) { MemoryWavePic_MouseDown(x, y); });
    connect(MemoryWavePic, &StoredWaveSurface::mouseMove, this,
            [this](float x, float y) { MemoryWavePic_MouseMove(x, y); });
    connect(MemoryWavePic, &StoredWaveSurface::mouseUp, this, [this] { MemoryWavePic_MouseUp(); });
    picRefreshProgress = new QFrame(BackPic);
    picRefreshProgress->setObjectName(QStringLiteral("picRefreshProgress"));
    picRefreshProgress->setAutoFillBackground(true);
    picRefreshProgress->setGeometry(0, 0, 90, 18);
    LblRefreshText = new QLabel(picRefreshProgress);
    LblRefreshText->setObjectName(QStringLiteral("LblRefreshText"));
    LblRefreshText->setGeometry(2, 1, 50, 16);
    LblRefreshValue = new QLabel(picRefreshProgress);
    LblRefreshValue->setObjectName(QStringLiteral("LblRefreshValue"));
    LblRefreshValue->setGeometry(54, 1, 34, 16);
    picRefreshProgress->hide();
    HScroll = new QScrollBar(Qt::Horizontal, inside);
    HScroll->setObjectName(QStringLiteral("HScroll"));
    VScroll = new QScrollBar(Qt::Vertical, inside);
    VScroll->setObjectName(QStringLiteral("VScroll"));
    for (QScrollBar *s : {HScroll, VScroll}) {
        s->setRange(0, 100);
        s->setSingleStep(1);
        s->hide();
    }
    connect(HScroll, &QScrollBar::valueChanged, this, [this] { HScroll_Change(); });
    connect(VScroll, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });
}

StoredWave &frmOpenWaveform::rec() const
{
    return app().Sheet.StoredWaves[size_t(std::clamp(slot_, 0, DataSheet::StoredWaveSlots - 1))];
}

const QImage &frmOpenWaveform::picture() const { return MemoryWavePic->image; }
QWidget *frmOpenWaveform::pictureWidget() const { return MemoryWavePic; }

void frmOpenWaveform::markModified() { app().Sheet.Modified = true; }

void frmOpenWaveform::Form_Load()
{
    initPending_ = true;
    Timer1->start(1);
    zoomFactor_ = 1.0;
    {
        const QSignalBlocker block(ZoomCombo);
        ZoomCombo->clear();
        ZoomCombo->addItems({QStringLiteral("100%"), QStringLiteral("200%"), QStringLiteral("300%")});
        ZoomCombo->setCurrentIndex(1);
    }
    ZoomCombo->setEnabled(false);
    ZoomCombo_Click(); // a new window starts at 200 %
    // The start positions; which cursors are shown stays as the check boxes
    // say (a window moved to another slot keeps them).
    const bool showX = cursors_.ShowCursorX;
    const bool showY = cursors_.ShowCursorY;
    cursors_ = StoredCursors{};
    cursors_.ShowCursorX = showX;
    cursors_.ShowCursorY = showY;
    picRefreshProgress->hide();
    mouse_ = StoredMouse{};
    unloaded_ = false;
}

void frmOpenWaveform::Timer1_Timer()
{
    Timer1->stop();
    if (!initPending_)
        return;
    initPending_ = false;
    const bool modified = app().Sheet.Modified;
    StoredWave &r = rec();
    r.SlotUsed = true;
    if (r.HasData) {
        LayoutMemoryWaveInfo();
        RefreshScreenData(ScreenSelector::All);
    } else {
        fitTimeGroup();
    }
    ZoomCombo->setEnabled(true);
    colorProgressBox();
    // Controls set from the record run their click handling where the value changes.
    if (GridCheck->isChecked() != r.GridShown) {
        GridCheck->setChecked(r.GridShown);
        GridCheck_Click();
    }
    const int colour = r.ColorMode ? 0 : 1;
    if (!OptionColor[size_t(colour)]->isChecked()) {
        OptionColor[size_t(colour)]->setChecked(true);
        OptionColor_Click(colour);
    }
    if (ChkCursorX->isChecked() != cursors_.ShowCursorX) {
        ChkCursorX->setChecked(cursors_.ShowCursorX);
        ChkCursorX_Click();
    }
    if (ChkCursorY->isChecked() != cursors_.ShowCursorY) {
        ChkCursorY->setChecked(cursors_.ShowCursorY);
        ChkCursorY_Click();
    }
    Form_Resize();
    // Opening a window never marks the data sheet modified.
    app().Sheet.Modified = modified;
}

void frmOpenWaveform::drawLayers()
{
    if (initPending_)
        return;
    DrawScrGrid();
    DrawOSC();
    DrawCursors();
    MemoryWavePic->update();
}

void frmOpenWaveform::DrawScrGrid()
{
    if (MemoryWavePic->image.isNull())
        return;
    ::DrawScrGrid(MemoryWavePic->image, rec(), zoomFactor_, slot_);
    QPalette pal = BackPic->palette();
    pal.setColor(QPalette::Window, StoredPicture::background(rec().ColorMode));
    BackPic->setPalette(pal);
}

void frmOpenWaveform::DrawOSC()
{
    if (MemoryWavePic->image.isNull())
        return;
    ::DrawOSC(MemoryWavePic->image, rec(), zoomFactor_);
}

void frmOpenWaveform::RedrawWave()
{
    if (initPending_ || MemoryWavePic->image.isNull())
        return;
    DrawGraticuleCached(MemoryWavePic->image, rec(), zoomFactor_, slot_);
    DrawOSC();
    DrawCursors();
    MemoryWavePic->update();
}

void frmOpenWaveform::DrawCursors()
{
    ::DrawCursors(MemoryWavePic->image, cursors_, rec(), zoomFactor_);
}

void frmOpenWaveform::RefreshScreenData(int selector) { ::RefreshScreenData(rec(), selector); }

void frmOpenWaveform::fitTimeGroup() { fitTimeGroup(framRefresh->width(), Reset->x()); }

void frmOpenWaveform::fitTimeGroup(int refreshWidth, int resetLeft)
{
    // The "Time/Div" label as wide as its text in the language in force; the
    // box and its buttons after it, the frame, Reset and the panel widened
    // to match.
    const InfoPanelDesign &d = design();
    const int labelWidth = std::max(48, QFontMetrics(Label4->font()).horizontalAdvance(Label4->text()) + 4);
    Label4->resize(labelWidth, Label4->height());
    const int x = Label4->x() + labelWidth + 2;
    txtTimeDiv->move(x, txtTimeDiv->y());
    abtnTimeDivDec->move(x + txtTimeDiv->width() + 3, abtnTimeDivDec->y());
    abtnTimeDivInc->move(abtnTimeDivDec->x() + abtnTimeDivDec->width() + 2, abtnTimeDivInc->y());
    const int extra = std::max(0, abtnTimeDivInc->geometry().right() + 1 + 11 - px(d.timeFrameWidth));
    framTimeDiv->resize(px(d.timeFrameWidth) + extra, framTimeDiv->height());
    // Its own flag: the panel itself may still be hidden (before the first
    // opening lays the window out), and the panel fits it all the same.
    if (!framTimeDiv->isHidden()) {
        resetLeft = framTimeDiv->geometry().right() + 1 + px(120);
        refreshWidth = std::max(refreshWidth, resetLeft + Reset->width() + 12);
    }
    // Placed once: a panel or button moved and moved back repaints the whole
    // panel at every opening.
    Reset->move(resetLeft, Reset->y());
    framRefresh->resize(refreshWidth, framRefresh->height());
    // A panel grown (a longer label in another language) may need the
    // contents to grow with it: they scroll to it at once, the viewport
    // follows at the next layout.
    if (!initPending_ && leastContentSize() != fittedLeast_) {
        fittedLeast_ = leastContentSize();
        scroll_.fit(fittedLeast_);
    }
}

void frmOpenWaveform::LayoutMemoryWaveInfo()
{
    const StoredWave &r = rec();
    const InfoPanelDesign &d = design();
    const InfoPanelPlace p = ::LayoutMemoryWaveInfo(r, d);
    framAltTimeDiv->setVisible(p.altFrameShown);
    framTimeDiv->setVisible(p.timeFrameShown);
    framVoltDiv->setVisible(p.voltFrameShown);
    // The panel's width and Reset's place, as the layout gives them, then as
    // the time group fits its texts.
    int refreshWidth = framRefresh->width();
    int resetLeft = Reset->x();
    if (p.moved) {
        if (p.voltFrameShown)
            framVoltDiv->resize(px(p.voltFrameWidth), framVoltDiv->height());
        const auto move = [](const InfoRowPlace &row, QLabel *label, QLineEdit *box, QToolButton *dec, QToolButton *inc) {
            label->move(px(row.label), label->y());
            box->move(px(row.box), box->y());
            dec->move(px(row.dec), dec->y());
            inc->move(px(row.inc), inc->y());
        };
        if (p.ch1Moved)
            move(p.ch1, lblCH1, txtCH1Div, abtnCH1DivDec, abtnCH1DivInc);
        if (p.ch2Moved)
            move(p.ch2, lblCH2, txtCH2Div, abtnCH2DivDec, abtnCH2DivInc);
        refreshWidth = px(p.refreshWidth);
        if (p.altFrameShown)
            framAltTimeDiv->move(px(p.altFrameLeft), framAltTimeDiv->y());
        else
            framTimeDiv->move(px(p.timeFrameLeft), framTimeDiv->y());
        resetLeft = px(p.resetLeft);
    }
    // The alternate frame's free right part, kept for Reset, ends before it.
    framAltTimeDiv->resize(std::min(px(d.altFrameWidth), resetLeft - framAltTimeDiv->x() - 4), framAltTimeDiv->height());
    fitTimeGroup(refreshWidth, resetLeft);
    const InfoPanelTexts t = FillMemoryWaveInfo(r);
    txtCH1Div->setText(t.ch1VoltDiv);
    for (QWidget *w : std::initializer_list<QWidget *>{txtCH1Div, abtnCH1DivDec, abtnCH1DivInc, lblCH1})
        w->setVisible(t.ch1Shown);
    txtCH2Div->setText(t.ch2VoltDiv);
    for (QWidget *w : std::initializer_list<QWidget *>{txtCH2Div, abtnCH2DivDec, abtnCH2DivInc, lblCH2})
        w->setVisible(t.ch2Shown);
    if (!t.alternate) {
        txtTimeDiv->setText(t.timeDiv);
        for (QWidget *w : std::initializer_list<QWidget *>{txtTimeDiv, abtnTimeDivDec, abtnTimeDivInc, Label4})
            w->setVisible(t.timeShown);
    } else {
        txtCH1TimeDiv->setText(t.ch1TimeDiv);
        txtCH2TimeDiv->setText(t.ch2TimeDiv);
    }
}

void frmOpenWaveform::OpenWaveformFile()
{
    if (loading())
        return; // not during another load or a CSV export
    loading_ = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{loading_};

    FileDialogRequest req;
    switch (languageIndex()) {
    case LanguageChinese:
        req.title = QStringLiteral("打开波形文件");
        req.filter = QStringLiteral("波形文件 (*.wfm)");
        break;
    case LanguageEnglish:
        req.title = QStringLiteral("Open Waveform Files");
        req.filter = QStringLiteral("Waveform Files (*.wfm)");
        break;
    default: req.filter = QStringLiteral("(*.wfm)"); break;
    }
    const FileDialogResult res = ui().openFile(req);
    if (!res.accepted || res.path.isEmpty() || unloaded_)
        return;
    StoredWave &r = rec();
    const bool oldSplit = r.SplitScreen;
    switch (loadWaveFile(res.path, r)) {
    case WaveFileError::None: break;
    case WaveFileError::BadFormat:
        ui().message(MsgIcon::None, Title, message(Msg::MsgBadFileFormat), MsgButtons::Ok);
        return;
    case WaveFileError::Unreadable: return;
    }
    RescaleCursorY(cursors_, r.SplitScreen, oldSplit);
    if (r.HasData)
        setWindowTitle(r.Name + QStringLiteral("  (") + res.path + QLatin1Char(')'));
    markModified();
    LayoutMemoryWaveInfo();
    RefreshScreenData(ScreenSelector::All);
    Form_Resize();
}

void frmOpenWaveform::GridCheck_Click()
{
    rec().GridShown = GridCheck->isChecked();
    markModified();
    drawLayers();
}

void frmOpenWaveform::colorProgressBox()
{
    const bool colour = rec().ColorMode;
    QPalette box = picRefreshProgress->palette();
    box.setColor(QPalette::Window, colour ? QColor(0, 0, 0) : QColor(255, 255, 255));
    picRefreshProgress->setPalette(box);
    QPalette text = LblRefreshText->palette();
    text.setColor(QPalette::WindowText, colour ? QColor(255, 255, 192) : QColor(0, 0, 0));
    LblRefreshText->setPalette(text);
    QPalette value = LblRefreshValue->palette();
    value.setColor(QPalette::WindowText, colour ? QColor(0, 255, 255) : QColor(0, 0, 0));
    LblRefreshValue->setPalette(value);
    picRefreshProgress->update();
}

void frmOpenWaveform::OptionColor_Click(int)
{
    StoredWave &r = rec();
    const bool old = r.ColorMode;
    r.ColorMode = OptionColor[0]->isChecked();
    if (r.ColorMode != old)
        colorProgressBox();
    markModified();
    drawLayers();
}

void frmOpenWaveform::Reset_Click()
{
    markModified();
    RestoreDisplaySettings(rec());
    LayoutMemoryWaveInfo();
    RefreshScreenData(ScreenSelector::All);
    RedrawWave();
}

void frmOpenWaveform::movePicture()
{
    MemoryWavePic->move(nint(-HScroll->value() * hScrollRange_ / 100.0),
                        nint(-double(qint64(VScroll->value()) * qint64(nint(vScrollRange_))) / 100.0));
}

void frmOpenWaveform::HScroll_Change()
{
    movePicture();
    picRefreshProgress->move(MemoryWavePic->x() + 25 + nint(zoomFactor_ * 300) - picRefreshProgress->width() + 7,
                             MemoryWavePic->y() + 25 - picRefreshProgress->height() - 1);
}

void frmOpenWaveform::VScroll_Change() { HScroll_Change(); }

void frmOpenWaveform::ZoomCombo_Click()
{
    if (const std::optional<double> percent = ParseZoomPercent(ZoomCombo->currentText()))
        zoomFactor_ = *percent / 100.0;
    else
        ui().message(MsgIcon::Exclamation, Title, message(Msg::MsgInvalidZoom), MsgButtons::Ok);
    // 1 % at the least; at most 1000 %, so that the picture stays drawable.
    zoomFactor_ = std::clamp(zoomFactor_, MinZoom, MaxZoom);
    ZoomCombo->setEditText(ApplyNumberPattern(zoomFactor_, u"0%"));
    Form_Resize();
}

void frmOpenWaveform::setScaleText(ScaleTarget target)
{
    QLineEdit *box = nullptr;
    switch (target) {
    case ScaleTarget::Ch1VoltDiv: box = txtCH1Div; break;
    case ScaleTarget::Ch2VoltDiv: box = txtCH2Div; break;
    case ScaleTarget::TimeDiv: box = txtTimeDiv; break;
    case ScaleTarget::Ch1TimeDiv: box = txtCH1TimeDiv; break;
    case ScaleTarget::Ch2TimeDiv: box = txtCH2TimeDiv; break;
    }
    box->setText(scaleText(rec(), target));
}

void frmOpenWaveform::ScaleButton_MouseDown(ScaleTarget target, int direction)
{
    markModified();
    scaleStepTarget_ = quint8(target);
    scaleStepDirection_ = direction < 0 ? -1 : 1;
    StepScale(rec(), target, scaleStepDirection_, true);
    setScaleText(target);
    Timer2->start(ScaleRepeatMs);
}

void frmOpenWaveform::Timer2_Timer()
{
    if (scaleStepTarget_ > quint8(ScaleTarget::Ch2TimeDiv))
        return;
    const auto target = ScaleTarget(scaleStepTarget_);
    StepScale(rec(), target, scaleStepDirection_, false);
    setScaleText(target);
    RefreshScreenData(scaleSelector(target));
    drawLayers();
}

void frmOpenWaveform::ScaleButton_MouseUp(ScaleTarget target)
{
    Timer2->stop();
    RefreshScreenData(scaleSelector(target));
    drawLayers();
}

void frmOpenWaveform::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}

void frmOpenWaveform::Form_Resize()
{
    fittedLeast_ = leastContentSize();
    QSize inside = scroll_.fit(fittedLeast_);
    MemoryWavePic->move(0, 0);
    {
        const QSignalBlocker h(HScroll);
        const QSignalBlocker v(VScroll);
        HScroll->setValue(0);
        VScroll->setValue(0);
    }
    if (!initPending_) {
        const StoredWave &r = rec();
        const bool channels = r.ShowCH1 || r.ShowCH2 || r.ShowLA;
        const int top = channels ? framRefresh->geometry().bottom() + 1 + 3 : 7;
        // Without a channel the viewport takes the panel's place: the panel,
        // which has nothing to show then, goes out of the way.
        framRefresh->setVisible(channels);
        const QSize pic = StoredPicture::pictureSize(zoomFactor_);
        MemoryWavePic->resize(pic);
        if (MemoryWavePic->image.size() != pic) {
            MemoryWavePic->image = QImage(pic, QImage::Format_RGB32);
            MemoryWavePic->image.fill(StoredPicture::background(r.ColorMode));
        }
        // The viewport fills the window right of the frames and below the
        // panel; a scroll bar takes room from it where the picture is larger.
        // A window smaller than the frames and the panel scrolls them.
        fittedLeast_ = leastContentSize();
        inside = scroll_.fit(fittedLeast_);
        const int areaW = inside.width() - LeftColumn - Margin;
        const int areaH = inside.height() - top - Margin;
        if (areaW > 0 && areaH > 0) {
            bool needH = pic.width() > areaW;
            bool needV = pic.height() > areaH;
            needH = needH || (needV && pic.width() > areaW - ScrollThickness);
            needV = needV || (needH && pic.height() > areaH - ScrollThickness);
            const int w = areaW - (needV ? ScrollThickness : 0);
            const int h = areaH - (needH ? ScrollThickness : 0);
            if (w > 0 && h > 0) {
                BackPic->setGeometry(LeftColumn, top, w, h);
                hScrollRange_ = pic.width() - w;
                vScrollRange_ = nint(pic.height() - h);
                HScroll->setGeometry(LeftColumn, top + h, w, ScrollThickness);
                VScroll->setGeometry(LeftColumn + w, top, ScrollThickness, h);
                HScroll->setPageStep(nint(double(w) / pic.width() * 100));
                VScroll->setPageStep(nint(double(h) / pic.height() * 100));
                HScroll->setVisible(needH);
                VScroll->setVisible(needV);
            }
        }
    }
    picRefreshProgress->move(MemoryWavePic->x() + 25 + nint(300 * zoomFactor_) - picRefreshProgress->width() + 7,
                             MemoryWavePic->y() + 25 - picRefreshProgress->height() - 1);
    // The cursors keep their divisions: nothing to move.
    drawLayers();
}

void frmOpenWaveform::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1->stop();
    Timer2->stop();
    releasePrintJob(PrintJobKind::StoredWave);
    if (slot_ >= 0 && slot_ < DataSheet::StoredWaveSlots)
        rec().SlotUsed = false;
    ReleaseGridDC();
}

void frmOpenWaveform::ChkCursorX_Click()
{
    cursors_.ShowCursorX = ChkCursorX->isChecked();
    RedrawWave();
}

void frmOpenWaveform::ChkCursorY_Click()
{
    cursors_.ShowCursorY = ChkCursorY->isChecked();
    RedrawWave();
}

void frmOpenWaveform::setPointer(StoredPointer pointer)
{
    switch (pointer) {
    case StoredPointer::Arrow: MemoryWavePic->setCursor(Qt::ArrowCursor); break;
    case StoredPointer::SizeNS: MemoryWavePic->setCursor(Qt::SizeVerCursor); break;
    case StoredPointer::SizeWE: MemoryWavePic->setCursor(Qt::SizeHorCursor); break;
    case StoredPointer::OpenHand: MemoryWavePic->setCursor(Qt::OpenHandCursor); break;
    case StoredPointer::ClosedHand: MemoryWavePic->setCursor(Qt::ClosedHandCursor); break;
    }
}

void frmOpenWaveform::MemoryWavePic_MouseDown(float x, float y)
{
    const MouseOutcome o = storedMouseDown(mouse_, cursors_, rec(), zoomFactor_, x, y);
    if (o.pointer)
        setPointer(*o.pointer);
}

void frmOpenWaveform::MemoryWavePic_MouseMove(float x, float y)
{
    const MouseOutcome o = storedMouseMove(mouse_, cursors_, rec(), zoomFactor_, x, y);
    if (o.modified)
        markModified();
    if (o.refresh)
        RefreshScreenData(*o.refresh);
    if (o.redraw)
        RedrawWave();
    if (o.pointer)
        setPointer(*o.pointer);
}

void frmOpenWaveform::MemoryWavePic_MouseUp() { storedMouseUp(mouse_); }

void frmOpenWaveform::ExportCsv()
{
    if (loading())
        return; // one export at a time, and none during a load
    CsvExportData data;
    if (prepareCsvExport(rec(), &data) != CsvRefusal::None) {
        ui().message(MsgIcon::None, Title, message(Msg::MsgBadWaveData), MsgButtons::Ok);
        return;
    }
    FileDialogRequest req;
    switch (languageIndex()) {
    case LanguageChinese:
        req.title = QStringLiteral("保存到CSV文件");
        req.filter = QStringLiteral("CSV文件 (*.csv)");
        break;
    case LanguageEnglish:
        req.title = QStringLiteral("Save To CSV file");
        req.filter = QStringLiteral("CSV Files (*.csv)");
        break;
    default: req.filter = QStringLiteral("(*.csv)"); break;
    }
    const FileDialogResult res = ui().saveFile(req);
    if (!res.accepted || res.path.isEmpty() || unloaded_)
        return;

    exporting_ = true;
    frmPrgressSave *progress = new frmPrgressSave(app().shell.MainForm.data());
    // Whatever happens below, the dialog closes and the busy flags clear.
    // Another viewer's export may be writing underneath this one (it lets
    // the windows work between its rows): the flag stays set for it.
    struct Done {
        bool &exporting;
        frmPrgressSave *dialog;
        bool otherExportWrites;
        ~Done()
        {
            app().xfer.SaveBusy = false;
            dialog->close();
            dialog->deleteLater();
            app().xfer.SaveBusy = otherExportWrites;
            exporting = false;
        }
    } done{exporting_, progress, app().xfer.SaveBusy};
    progress->show();
    progress->ProgressBar->setValue(0);
    progress->repaint();
    app().xfer.SaveBusy = true;
    // Written to a file beside the target that replaces it only when whole.
    WholeFileWriter file(ChosenSavePath(res));
    const bool ok = file.open()
        && writeCsv(
               data, [&file](const char *bytes, qint64 size) { return file.write(bytes, size); },
               [progress](int percent, qint64) {
                   progress->ProgressBar->setValue(percent);
                   progress->repaint();
                   pumpEvents();
               },
               [] { pumpEvents(); })
        && file.commit();
    if (!ok) {
        file.cancel();
        ui().message(MsgIcon::Critical, Title, file.error(), MsgButtons::Ok);
    }
}

void frmOpenWaveform::ExportStoredBitmap() { ExportPanelPicture(MemoryWavePic->image, languageIndex()); }

void frmOpenWaveform::printOrPreview(bool preview)
{
    // The print picture is drawn at 200 % whatever the window's zoom, its
    // cursors at the same divisions; the window's own stay as they are.
    constexpr double PrintZoom = 2.0;
    QImage picture(StoredPicture::pictureSize(PrintZoom), QImage::Format_RGB32);
    const StoredWave &r = rec();
    if (!initPending_) {
        if (preview) {
            ReleaseGridDC();
            CreateGridDC(picture);
        }
        ::DrawScrGrid(picture, r, PrintZoom, slot_);
        ::DrawOSC(picture, r, PrintZoom);
        StoredCursors printCursors = cursors_;
        ::DrawCursors(picture, printCursors, r, PrintZoom);
    } else {
        picture.fill(StoredPicture::background(r.ColorMode));
        QPainter p(&picture);
        p.drawImage(0, 0, MemoryWavePic->image);
    }
    printPicture_ = picture;
    QString lastError;
    QString error;
    if (!saveBitmap(picture, printPicturePath(), &error)) {
        ui().message(MsgIcon::Critical, Title, error, MsgButtons::Ok);
        lastError = error;
    }
    if (!printPicture(PrintJobKind::StoredWave, picture, preview, windowTitle(), &error))
        lastError = error;
    if (!preview && !lastError.isEmpty())
        ui().message(MsgIcon::None, Title, lastError, MsgButtons::Ok);
    Form_Resize();
}

void frmOpenWaveform::PrintStoredPicture() { printOrPreview(false); }
void frmOpenWaveform::PreviewStoredPicture() { printOrPreview(true); }

void frmOpenWaveform::closeEvent(QCloseEvent *e)
{
    // Not while a file is being loaded into the item or exported.
    if (loading()) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

// ---- The data sheet's way in ----

frmOpenWaveform *StoredWaveWindow(int slot)
{
    return itemSlotWindow<frmOpenWaveform>(SheetItemKind::StoredWave, slot);
}

namespace {

QString captionOf(const StoredWave &r)
{
    return r.HasData ? r.Name + QStringLiteral("  (") + r.FilePath + QLatin1Char(')') : r.Name;
}

} // namespace

frmOpenWaveform *ShowStoredWaveWindow(int slot)
{
    ItemWindowShow show;
    show.install = installStoredWaveLanguageLoader;
    show.deleteFrameOnClose = true;
    show.activate = [slot](QWidget *made, bool fresh) {
        auto *w = static_cast<frmOpenWaveform *>(made);
        w->setSlot(slot);
        w->setWindowTitle(captionOf(app().Sheet.StoredWaves[size_t(slot)]));
        LoadStoredWaveWindowTexts(slot, languageIndex());
        if (fresh)
            w->Form_Load();
    };
    return showItemSlotWindow<frmOpenWaveform>(SheetItemKind::StoredWave, slot, show);
}

bool CloseStoredWaveWindow(int slot)
{
    if (StoredWaveWindowBusy(slot))
        return false; // as a close by the user: not while a file is loaded or exported
    unloadItemSlotWindow<frmOpenWaveform>(SheetItemKind::StoredWave, slot);
    return true;
}

void MoveStoredWaveWindow(int from, int to)
{
    frmOpenWaveform *w = moveItemSlotWindow<frmOpenWaveform>(SheetItemKind::StoredWave, from, to);
    if (!w)
        return;
    w->setSlot(to);
    w->setWindowTitle(captionOf(app().Sheet.StoredWaves[size_t(to)]));
    w->Form_Load();
}

bool StoredWaveWindowBusy(int slot)
{
    const frmOpenWaveform *w = StoredWaveWindow(slot);
    return w && w->loading();
}
