#include "replay/frmrecordplay.h"

#include "platform/safesave.h"

#include "app/appstate.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/ui/holdbutton.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"
#include "replay/recordfile.h"
#include "replay/replaycaptions.h"
#include "replay/replaypicture.h"
#include "workspace/itemplacement.h"
#include "workspace/itemshow.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

const QString Title = QStringLiteral("Kelvoscope");

// The frame slider: tells of every press and release on it, on its handle or
// on its track (QSlider's own signals tell only of the handle).
class FrameSlider final : public QSlider {
public:
    using QSlider::QSlider;
    std::function<void()> onPress;
    std::function<void()> onRelease;

protected:
    void mousePressEvent(QMouseEvent *e) override
    {
        if (onPress)
            onPress();
        QSlider::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QSlider::mouseReleaseEvent(e);
        if (onRelease)
            onRelease();
    }
};

// Design sizes, in pixels (twips / 15).
constexpr int ToolHeight = 39;     // FrameTool, 585 twips
constexpr int SliderHeight = 27;   // SliderFrame, 405
constexpr int BarHeight = 33;      // OptratePic, 495
constexpr int MsgHeight = 33;      // PicMsg, 495
constexpr int TimeWidth = 185;     // PicTime, 2775
constexpr int TimeHeight = 29;     // PicTime, 435
constexpr int MinHeight = 240;     // 3600 twips
// The narrowest window whose rows still stand apart: the replay buttons and
// the interval panel on one bar, the six tool buttons on the other.
constexpr int MinWidth = 446;
constexpr int DesignWidth = 640;
constexpr int DesignHeight = 520;
constexpr int LeftGap = 1;         // 20 twips
constexpr int RightGap = 10;       // 145 twips
constexpr int PlotGap = 25;        // 370 twips: room the plot leaves to the rows under it
constexpr int SliderGap = 3;       // 40 twips
constexpr int PlotBottomGap = 25;  // pixels under the plot surface
// The least plot: a graticule of 8 divisions 12.5 pixels high each, and room
// for the grid's banner across.
constexpr int LeastPlotWidth = 350;
constexpr int LeastPlotHeight = 150;

template <class Button = QToolButton>
Button *makeButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new Button(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    return b;
}

} // namespace

QPixmap replayButtonImage(int item)
{
    if (item < 1 || item > ReplayImage::Count)
        return {};
    const bool loop = item == 1 || item == 2 || item == 9 || item == 10;
    QPixmap pm(loop ? 25 : 23, 23);
    const bool latched = item == 2 || item == 3 || item == 5 || item == 7 || item == 10;
    const bool grey = item == 4 || item == 6 || item == 8;
    pm.fill(latched ? QColor(200, 200, 200) : QColor(236, 236, 236));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor ink = grey ? QColor(150, 150, 150) : (latched ? QColor(0, 90, 0) : QColor(20, 20, 20));
    p.setPen(QPen(ink, 2));
    p.setBrush(ink);
    if (latched) {
        p.setPen(QPen(QColor(110, 110, 110), 1));
        p.drawLine(0, 0, pm.width() - 1, 0);
        p.drawLine(0, 0, 0, 22);
        p.setPen(QPen(ink, 2));
    }
    switch (item) {
    case 3:
    case 4: {
        const QPointF tri[] = {{7, 5}, {17, 11.5}, {7, 18}};
        p.drawPolygon(tri, 3);
        break;
    }
    case 5:
    case 6:
        p.drawRect(6, 5, 3, 13);
        p.drawRect(14, 5, 3, 13);
        break;
    case 7:
    case 8:
        p.drawRect(6, 6, 11, 11);
        break;
    default: // the loop symbol
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 5, 15, 13), 30 * 16, 300 * 16);
        p.setBrush(ink);
        {
            const QPointF head[] = {{17, 3}, {21, 8}, {15, 9}};
            p.drawPolygon(head, 3);
        }
        if (item == 9)
            p.setPen(QPen(Qt::white, 1)), p.drawLine(0, 0, 24, 0);
        break;
    }
    return pm;
}

void ReplaySurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!image.isNull())
        p.drawImage(0, 0, image);
}

frmRecordPlay::frmRecordPlay(int slot, QWidget *parent)
    : QWidget(parent), slot_(slot), engine_(slot), scroll_(this), Timer1(appClock().makeTimer())
{
    setObjectName(QStringLiteral("frmRecordPlay"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(MinWidth, MinHeight);
    resize(DesignWidth, DesignHeight);
    Timer1->setSingleShot(true);
    Timer1->onTimeout = [this] { Timer1_Timer(); };
    buildControls();
    engine_.redrawFrame = [this] { RedrawFrame(); };
    engine_.dispMsg = [this] { DispMsg(); };
    engine_.controlsChanged = [this] { showControls(); };
    showControls();
}

QSize frmRecordPlay::sizeHint() const
{
    return QSize(DesignWidth, DesignHeight);
}

frmRecordPlay::~frmRecordPlay()
{
    Form_Unload();
}

QSize frmRecordPlay::leastContentSize() const
{
    const ReplayInfo &r = rec();
    const bool labels = r.ReplayStarted || r.FileLoaded;
    const int plotW = labels ? std::max(LeastPlotWidth, leastReplayPlotWidth(r)) : LeastPlotWidth;
    return QSize(std::max(MinWidth, LeftGap + plotW + RightGap),
                 ToolHeight + LeastPlotHeight + PlotBottomGap + SliderHeight + BarHeight + MsgHeight + PlotGap);
}

void frmRecordPlay::buildControls()
{
    QWidget *const inside = scroll_.contents();
    FrameTool = new QFrame(inside);
    FrameTool->setObjectName(QStringLiteral("FrameTool"));
    FrameTool->setFrameShape(QFrame::StyledPanel);
    cmdRun = makeButton(FrameTool, QStringLiteral("cmdRun"), QStringLiteral("Open"));
    FlatBttn1 = makeButton(FrameTool, QStringLiteral("FlatBttn1"), QStringLiteral("BMP"));
    FlatBttn2 = makeButton(FrameTool, QStringLiteral("FlatBttn2"), QStringLiteral("Print"));
    FlatBttn3 = makeButton(FrameTool, QStringLiteral("FlatBttn3"), QStringLiteral("Preview"));
    FlatBttn4 = makeButton(FrameTool, QStringLiteral("FlatBttn4"), QStringLiteral("Color"));
    FlatBttn5 = makeButton(FrameTool, QStringLiteral("FlatBttn5"), QStringLiteral("Mono"));
    int x = 4;
    for (QToolButton *b : {cmdRun, FlatBttn1, FlatBttn2, FlatBttn3, FlatBttn4, FlatBttn5}) {
        b->setGeometry(x, 4, 56, 31);
        x += 60;
    }
    connect(cmdRun, &QToolButton::clicked, this, [this] { OpenRecordFile(); });
    connect(FlatBttn1, &QToolButton::clicked, this, [this] { ExportReplayBitmap(); });
    connect(FlatBttn2, &QToolButton::clicked, this, [this] { PrintReplayPicture(); });
    connect(FlatBttn3, &QToolButton::clicked, this, [this] { PreviewReplayPicture(); });
    connect(FlatBttn4, &QToolButton::clicked, this, [this] { FlatBttn4_Click(); });
    connect(FlatBttn5, &QToolButton::clicked, this, [this] { FlatBttn5_Click(); });

    RecordBackPic = new QWidget(inside);
    RecordBackPic->setObjectName(QStringLiteral("RecordBackPic"));
    RecordBackPic->setAutoFillBackground(true);
    RecordWavePic = new ReplaySurface(RecordBackPic);
    RecordWavePic->setObjectName(QStringLiteral("RecordWavePic"));

    auto *slider = new FrameSlider(Qt::Horizontal, inside);
    SliderFrame = slider;
    SliderFrame->setObjectName(QStringLiteral("SliderFrame"));
    SliderFrame->setRange(1, 1000);
    SliderFrame->setValue(1);
    connect(SliderFrame, &QSlider::valueChanged, this, [this](int v) {
        if (!syncing_)
            engine_.setSliderValue(v);
    });
    // Any press pauses a running replay; the release goes on from the frame
    // the slider then shows.
    slider->onPress = [this] { engine_.sliderMouseDown(); };
    slider->onRelease = [this] {
        engine_.sliderClick();
        engine_.sliderMouseUp();
    };

    OptratePic = new QFrame(inside);
    OptratePic->setObjectName(QStringLiteral("OptratePic"));
    static const char *symbols[] = {"", "", "", "|<", ">|", ">>", "<<", ""};
    for (int i = 0; i < ReplayButton::Count; ++i) {
        QToolButton *b = makeButton(OptratePic, QStringLiteral("AresBtnPlay_%1").arg(i), QString::fromLatin1(symbols[i]));
        b->setGeometry(4 + i * 30, 3, 27, 27);
        b->setIconSize(QSize(25, 23));
        connect(b, &QToolButton::clicked, this, [this, i] { engine_.playClicked(i); });
        AresBtnPlay[size_t(i)] = b;
    }
    PicTime = new QFrame(OptratePic);
    PicTime->setObjectName(QStringLiteral("PicTime"));
    AresBtnSub = makeButton<HoldButton>(PicTime, QStringLiteral("AresBtnSub"), QStringLiteral("-"));
    AresBtnAdd = makeButton<HoldButton>(PicTime, QStringLiteral("AresBtnAdd"), QStringLiteral("+"));
    AresBtnDefaultTime = makeButton(PicTime, QStringLiteral("AresBtnDefaultTime"), QStringLiteral("D"));
    lblTimeInterval = new QLabel(PicTime);
    lblTimeInterval->setObjectName(QStringLiteral("lblTimeInterval"));
    AresBtnSub->setGeometry(2, 2, 25, 25);
    lblTimeInterval->setGeometry(30, 2, 95, 25);
    lblTimeInterval->setAlignment(Qt::AlignCenter);
    AresBtnAdd->setGeometry(128, 2, 25, 25);
    AresBtnDefaultTime->setGeometry(156, 2, 25, 25);
    connect(AresBtnAdd, &QToolButton::pressed, this, [this] { engine_.addMouseDown(); });
    connect(AresBtnSub, &QToolButton::pressed, this, [this] { engine_.subMouseDown(); });
    connect(AresBtnAdd, &QToolButton::released, this, [this] { engine_.intervalMouseUp(); });
    connect(AresBtnSub, &QToolButton::released, this, [this] { engine_.intervalMouseUp(); });
    connect(AresBtnDefaultTime, &QToolButton::clicked, this, [this] { engine_.defaultTimeClick(); });

    PicMsg = new ReplaySurface(inside);
    PicMsg->setObjectName(QStringLiteral("PicMsg"));
}

void frmRecordPlay::showControls()
{
    const ReplayControls &c = engine_.controls;
    syncing_ = true;
    for (int i = 0; i < ReplayButton::Count; ++i) {
        QToolButton *b = AresBtnPlay[size_t(i)];
        const PictureButtonState &s = c.play[size_t(i)];
        b->setEnabled(s.enabled);
        // Every frame comes through here: a button whose pictures did not
        // change keeps its icon. A new icon per frame would leave the
        // toolkit's pixmap cache a scaled copy of each of its pictures.
        PictureButtonState pictures = s;
        pictures.enabled = true;
        if (iconShown_[size_t(i)] && shownPictures_[size_t(i)] == pictures)
            continue;
        iconShown_[size_t(i)] = true;
        shownPictures_[size_t(i)] = pictures;
        b->setProperty("imageNormal", s.normal);
        b->setProperty("imageOver", s.over);
        b->setProperty("imageDown", s.down);
        b->setProperty("imageDisabled", s.disabled);
        QIcon icon;
        const int normal = s.normal ? s.normal : (i <= 2 ? s.disabled + (s.disabled % 2 ? 1 : 0) : 0);
        if (normal)
            icon.addPixmap(buttonImage(normal), QIcon::Normal);
        if (s.over)
            icon.addPixmap(buttonImage(s.over), QIcon::Active);
        if (s.down)
            icon.addPixmap(buttonImage(s.down), QIcon::Selected);
        if (s.disabled)
            icon.addPixmap(buttonImage(s.disabled), QIcon::Disabled);
        b->setIcon(icon);
    }
    AresBtnAdd->setEnabled(c.addEnabled);
    AresBtnSub->setEnabled(c.subEnabled);
    AresBtnDefaultTime->setEnabled(c.defaultTimeEnabled);
    SliderFrame->setEnabled(c.sliderEnabled);
    {
        const QSignalBlocker block(SliderFrame);
        SliderFrame->setRange(c.sliderMin, c.sliderMax);
        SliderFrame->setValue(c.sliderValue);
    }
    lblTimeInterval->setText(c.intervalLabel);
    syncing_ = false;
}

const QPixmap &frmRecordPlay::buttonImage(int item)
{
    QPixmap &image = buttonImages_[size_t(std::clamp(item, 0, ReplayImage::Count))];
    if (image.isNull())
        image = replayButtonImage(item);
    return image;
}

void frmRecordPlay::setSlot(int slot)
{
    slot_ = slot;
    engine_.setSlot(slot);
}

const QImage &frmRecordPlay::plotImage() const { return RecordWavePic->image; }
const QImage &frmRecordPlay::stripImage() const { return PicMsg->image; }

void frmRecordPlay::Form_Load()
{
    Timer1->start(1);
    initPending_ = true;
    zoomFactor_ = 1.0;
    engine_.speedTimer().stop();
    unloaded_ = false;
}

void frmRecordPlay::applyBackground()
{
    QPalette pal = RecordBackPic->palette();
    pal.setColor(QPalette::Window, ReplayPicture::background(rec().ColorMode));
    RecordBackPic->setPalette(pal);
}

void frmRecordPlay::Timer1_Timer()
{
    if (!initPending_)
        return;
    initPending_ = false;
    Timer1->stop();
    ReplayInfo &r = rec();
    r.WindowOpen = true;
    applyBackground();
    engine_.updateIntervalLabel();
    engine_.showLoopPictures();
    if (!r.ReplayStarted && !r.FileLoaded) {
        for (int i = ReplayButton::Replay; i <= ReplayButton::Previous; ++i)
            engine_.controls.play[size_t(i)].enabled = false;
        engine_.controls.sliderEnabled = false;
        engine_.setSliderValue(1);
        r.StatusText = replayPromptText(languageIndex());
        drawStatusText(r.StatusText, false);
        showControls();
    }
    if (r.ReplayStarted) {
        if (r.FrameCount > 1)
            engine_.setSliderRange(true, 1, r.FrameCount, r.CurrentFrame);
        else
            engine_.setSliderRange(false, 1, std::max<int>(engine_.controls.sliderMax, 1), 1);
        auto &b = engine_.controls.play;
        auto &c = engine_.controls;
        switch (r.Status) {
        case ReplayInfo::Replaying:
            b[ReplayButton::Replay] .disabled = ReplayImage::ReplayLatched;
            b[ReplayButton::Replay].enabled = false;
            c.addEnabled = c.subEnabled = c.defaultTimeEnabled = false;
            break;
        case ReplayInfo::Paused:
            b[ReplayButton::Pause].disabled = ReplayImage::PauseLatched;
            b[ReplayButton::Pause].enabled = false;
            c.addEnabled = c.subEnabled = c.defaultTimeEnabled = true;
            break;
        case ReplayInfo::Stopped:
            b[ReplayButton::Stop].disabled = ReplayImage::StopLatched;
            b[ReplayButton::Stop].enabled = false;
            c.addEnabled = c.subEnabled = c.defaultTimeEnabled = true;
            break;
        default: break;
        }
        showControls();
    }
    Form_Resize();
}

void frmRecordPlay::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Form_Resize();
}

void frmRecordPlay::Form_Resize()
{
    if (isMinimized() || (parentWidget() && parentWidget()->isMinimized()))
        return;
    // A window smaller than the least contents scrolls them.
    const QSize inside = scroll_.fit(leastContentSize());
    const int W = inside.width();
    const int H = inside.height();
    const int innerW = W - LeftGap - RightGap;
    FrameTool->setGeometry(LeftGap, 0, std::max(innerW, 0), ToolHeight);
    const int backH = H - ToolHeight - SliderHeight - BarHeight - MsgHeight - PlotGap;
    if (innerW > 0 && backH > 0) {
        RecordBackPic->setGeometry(LeftGap, ToolHeight, innerW, backH);
        const int plotH = backH - PlotBottomGap;
        if (plotH > 0) {
            RecordWavePic->setGeometry(0, 0, innerW, plotH);
            if (RecordWavePic->image.size() != QSize(innerW, plotH)) {
                RecordWavePic->image = QImage(innerW, plotH, QImage::Format_RGB32);
                RecordWavePic->image.fill(ReplayPicture::background(rec().ColorMode));
            }
        }
    }
    const int sliderTop = RecordBackPic->geometry().bottom() + 1 + SliderGap;
    if (innerW > 0) {
        SliderFrame->setGeometry(LeftGap, sliderTop, innerW, SliderHeight);
        OptratePic->setGeometry(LeftGap, sliderTop + SliderHeight, innerW, BarHeight);
        PicTime->setGeometry(innerW - TimeWidth, 2, TimeWidth, TimeHeight);
        PicMsg->setGeometry(LeftGap, sliderTop + SliderHeight + BarHeight, innerW, MsgHeight);
        if (PicMsg->image.size() != QSize(innerW, MsgHeight)) {
            PicMsg->image = QImage(innerW, MsgHeight, QImage::Format_RGB32);
            PicMsg->image.fill(Qt::black);
            if (!initPending_) {
                const ReplayInfo &r = rec();
                drawStatusText(r.StatusText, r.ReplayStarted || r.FileLoaded);
            }
        }
    }
    if (initPending_)
        return;
    if (rec().ReplayStarted) {
        RedrawFrame();
        DispMsg();
    } else if (!RecordWavePic->image.isNull()) {
        DrawEmptyRecordPlot(RecordWavePic->image, rec().ColorMode);
        RecordWavePic->update();
    }
}

void frmRecordPlay::RedrawFrame()
{
    if (RecordWavePic->image.isNull())
        return;
    ::RedrawFrame(RecordWavePic->image, rec());
    RecordWavePic->update();
}

void frmRecordPlay::DispMsg()
{
    if (PicMsg->image.isNull())
        return;
    ::DispMsg(PicMsg->image, rec(), languageIndex());
    PicMsg->update();
}

void frmRecordPlay::drawStatusText(const QString &text, bool counter)
{
    if (PicMsg->image.isNull())
        return;
    const ReplayInfo &r = rec();
    drawStatusStrip(PicMsg->image, text, counter, r.CurrentFrame, r.FrameCount);
    PicMsg->update();
}

void frmRecordPlay::RecordReplayPause() { engine_.RecordReplayPause(); }

void frmRecordPlay::markModified()
{
    app().Sheet.Modified = true;
}

void frmRecordPlay::FlatBttn4_Click()
{
    if (rec().ColorMode)
        return;
    rec().ColorMode = true;
    applyBackground();
    markModified();
    Form_Resize();
}

void frmRecordPlay::FlatBttn5_Click()
{
    if (!rec().ColorMode)
        return;
    rec().ColorMode = false;
    applyBackground();
    markModified();
    Form_Resize();
}

void frmRecordPlay::OpenRecordFile()
{
    const int lang = languageIndex();
    FileDialogRequest req;
    if (lang == 0) {
        req.title = QStringLiteral("打开波形录制文件");
        req.filter = QStringLiteral("录制文件 (*.rcd)");
    } else if (lang == 1) {
        req.title = QStringLiteral("Open Record Files");
        req.filter = QStringLiteral("Record Files (*.rcd)");
    } else {
        req.filter = QStringLiteral("(*.rcd)");
    }
    const FileDialogResult res = ui().openFile(req);
    if (!res.accepted || res.path.isEmpty())
        return;
    const RecordError e = loadRecordFile(res.path, rec());
    if (e != RecordError::None) {
        Msg m;
        if (recordErrorMessage(e, &m))
            ui().message(MsgIcon::None, Title, message(m), MsgButtons::Ok);
        return;
    }
    ReplayInfo &r = rec();
    if (r.FrameCount == 1)
        engine_.setSliderRange(false, 1, std::max(engine_.controls.sliderMax, 1), 1);
    else
        engine_.setSliderRange(true, 1, r.FrameCount, r.FirstFrame);
    r.FileLoaded = true;
    for (int i = ReplayButton::Replay; i <= ReplayButton::Previous; ++i)
        engine_.controls.play[size_t(i)].enabled = true;
    showControls();
    r.FilePath = res.path;
    setWindowTitle(r.Name + QStringLiteral("  (") + r.FilePath + QLatin1Char(')'));
    Form_Resize(); // the new record's labels may need a wider plot
    if (app().replay.CaptionChanged)
        app().replay.CaptionChanged(slot_);
    engine_.StartReplay();
    markModified();
}

void frmRecordPlay::ExportReplayBitmap()
{
    const int lang = languageIndex();
    FileDialogRequest req;
    if (lang == 0) {
        req.title = QStringLiteral("导出文件");
        req.filter = QStringLiteral("位图文件 (*.bmp)");
    } else if (lang == 1) {
        req.title = QStringLiteral("Export File");
        req.filter = QStringLiteral("BitMap Files (*.bmp)");
    } else {
        req.filter = QStringLiteral("(*.bmp)");
    }
    if (rec().Status == ReplayInfo::Replaying && rec().ReplayStarted)
        engine_.RecordReplayPause();
    const FileDialogResult res = ui().saveFile(req);
    if (!res.accepted || res.path.isEmpty())
        return;
    QString error;
    if (!SaveBitmapFile(RecordWavePic->image, ChosenSavePath(res), &error))
        ui().message(MsgIcon::Critical, Title, error, MsgButtons::Ok);
}

void frmRecordPlay::printOrPreview(bool preview)
{
    ReplayInfo &r = rec();
    if (!r.ReplayStarted)
        return;
    if (r.Status == ReplayInfo::Replaying)
        engine_.RecordReplayPause();
    // The print picture is always 700 x 500 pixels, drawn from the record.
    QImage picture(700, 500, QImage::Format_RGB32);
    if (!initPending_) {
        ::RedrawFrame(picture, r);
    } else {
        picture.fill(ReplayPicture::background(r.ColorMode));
        QPainter p(&picture);
        p.drawImage(0, 0, RecordWavePic->image);
    }
    printPicture_ = picture;
    PrintWindowPicture(PrintJobKind::Replay, picture, preview, windowTitle());
    Form_Resize();
}

void frmRecordPlay::PrintReplayPicture() { printOrPreview(false); }
void frmRecordPlay::PreviewReplayPicture() { printOrPreview(true); }

void frmRecordPlay::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1->stop();
    engine_.speedTimer().stop();
    releasePrintJob(PrintJobKind::Replay);
    if (slot_ < 0 || slot_ >= DataSheet::ReplaySlots)
        return;
    ReplayInfo &r = rec();
    r.WindowOpen = false;
    if (r.Status == ReplayInfo::Replaying && r.ReplayStarted)
        engine_.RecordReplayPause();
    engine_.frameClock().stop();
    engine_.redrawFrame = nullptr;
    engine_.dispMsg = nullptr;
    engine_.controlsChanged = nullptr;
}

void frmRecordPlay::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    e->accept();
}

// ---- The data sheet's way in ----

frmRecordPlay *ReplayWindow(int slot)
{
    return itemSlotWindow<frmRecordPlay>(SheetItemKind::Replay, slot);
}

frmRecordPlay *ShowReplayWindow(int slot)
{
    ItemWindowShow show;
    show.install = installReplayLanguageLoader;
    show.deleteFrameOnClose = true;
    show.activate = [slot](QWidget *made, bool fresh) {
        auto *w = static_cast<frmRecordPlay *>(made);
        w->setSlot(slot);
        w->setWindowTitle(app().Sheet.Replays[size_t(slot)].Name);
        LoadReplayWindowTexts(slot, languageIndex());
        if (fresh)
            w->Form_Load();
    };
    return showItemSlotWindow<frmRecordPlay>(SheetItemKind::Replay, slot, show);
}

void CloseReplayWindow(int slot)
{
    unloadItemSlotWindow<frmRecordPlay>(SheetItemKind::Replay, slot);
}

void MoveReplayWindow(int from, int to)
{
    frmRecordPlay *w = moveItemSlotWindow<frmRecordPlay>(SheetItemKind::Replay, from, to);
    if (!w)
        return;
    w->setSlot(to);
    const ReplayInfo &r = app().Sheet.Replays[size_t(to)];
    w->setWindowTitle(r.FileLoaded ? r.Name + QStringLiteral("  (") + r.FilePath + QLatin1Char(')') : r.Name);
    w->Form_Load();
}

void PauseReplayForSave(int slot)
{
    if (slot < 0 || slot >= DataSheet::ReplaySlots)
        return;
    ReplayInfo &r = app().Sheet.Replays[size_t(slot)];
    if (r.Status != ReplayInfo::Replaying || !r.ReplayStarted)
        return;
    if (frmRecordPlay *w = ReplayWindow(slot))
        w->RecordReplayPause();
    else
        r.Status = ReplayInfo::Paused;
}
