#include "measure/frmmeasure.h"

#include "app/appstate.h"
#include "measure/frmpassfailed.h"
#include "measure/measexport.h"
#include "measure/measurecaptions.h"
#include "measure/measurepictures.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"
#include "workspace/itemplacement.h"
#include "workspace/itemrefresh.h"
#include "workspace/itemshow.h"
#include "workspace/modalrunner.h"
#include "workspace/mousecontrol.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

namespace {

const QString kAppTitle = QStringLiteral("Kelvoscope");
constexpr int kStateIntervalMs = 500;

// The measurement pictures, each made once: every refresh fills the table
// anew, and a fresh icon per row and refresh would leave the toolkit's pixmap
// cache a scaled copy of each.
QIcon picture(int image)
{
    static std::array<QIcon, MeasCount + 1> icons;
    if (image < 1 || image > MeasCount)
        return QIcon();
    QIcon &icon = icons[size_t(image)];
    if (icon.isNull())
        icon = QIcon(QPixmap::fromImage(measurePictureImage(image)));
    return icon;
}

MeasDoc *docOf(int slot)
{
    if (slot < 0 || slot >= DataSheet::MeasSlots)
        return nullptr;
    return &app().Sheet.MeasDocs[size_t(slot)];
}

} // namespace

// Counts a handler of the window on the stack; a window closed meanwhile is
// deleted only once the last one has returned.
struct MeasureHandlerScope {
    frmMeasure *w;
    explicit MeasureHandlerScope(frmMeasure *win) : w(win) { ++w->handlerDepth_; }
    ~MeasureHandlerScope() { w->leaveHandler(); }
};

frmMeasure::frmMeasure(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMeasure"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);

    auto makeButton = [this](const char *name, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        return b;
    };
    cmdRefresh = makeButton("cmdRefresh", QStyle::SP_BrowserReload);
    cmdPassFailed = makeButton("cmdPassFailed", QStyle::SP_DialogApplyButton);
    cmdExport = makeButton("cmdExport", QStyle::SP_DialogSaveButton);

    auto *Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *frame1Layout = new QHBoxLayout(Frame1);
    frame1Layout->setContentsMargins(4, 2, 4, 2);
    for (int i = 0; i < 2; ++i) {
        OptionCH[i] = new QRadioButton(i == 0 ? QStringLiteral("CH1") : QStringLiteral("CH2"), Frame1);
        OptionCH[i]->setObjectName(QStringLiteral("OptionCH_%1").arg(i));
        OptionCH[i]->setAutoExclusive(false);
        frame1Layout->addWidget(OptionCH[i]);
        connect(OptionCH[i], &QRadioButton::clicked, this, [this, i] { selectChannel(i); });
    }
    auto *Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *frame2Layout = new QHBoxLayout(Frame2);
    frame2Layout->setContentsMargins(4, 2, 4, 2);
    frame2Layout->addWidget(cmdPassFailed);
    frame2Layout->addWidget(cmdExport);

    SettingLabel = new QLabel(this);
    SettingLabel->setObjectName(QStringLiteral("SettingLabel"));

    MeasureView = new QTreeWidget(this);
    MeasureView->setObjectName(QStringLiteral("MeasureView"));
    MeasureView->setColumnCount(5);
    MeasureView->setRootIsDecorated(false);
    MeasureView->setIconSize(QSize(56, 20));
    MeasureView->setSelectionMode(QAbstractItemView::SingleSelection);
    MeasureView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The columns follow the list's inside on every change of its size,
    // whatever caused it (opening, maximising, tiling, activation).
    MeasureView->viewport()->installEventFilter(this);

    auto *top = new QHBoxLayout;
    top->addWidget(cmdRefresh);
    top->addWidget(Frame1);
    top->addWidget(Frame2);
    top->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SettingLabel);
    layout->addWidget(MeasureView, 1);

    connect(cmdRefresh, &QToolButton::clicked, this, [this] { cmdRefresh_Click(); });
    // Refresh/Stop and F5 act at once, even during a load: they stop a
    // continuous refresh there and then.
    letActDuringExchange(cmdRefresh);
    letKeyActDuringExchange(this, Qt::Key_F5);
    cmdRefresh->setMouseTracking(true);
    cmdRefresh->installEventFilter(this);
    connect(cmdPassFailed, &QToolButton::clicked, this, [this] { cmdPassFailed_Click(); });
    connect(cmdExport, &QToolButton::clicked, this, [this] { cmdExport_Click(); });

    timer1_ = appClock().makeTimer();
    timer1_->onTimeout = [this] { Timer1_Timer(); };
    timer2_ = appClock().makeTimer();
    timer2_->onTimeout = [this] { Timer2_Timer(); };

    resize(376, 346);
    setRefreshPictures(false);
    Form_Load();
}

frmMeasure::~frmMeasure()
{
    timer1_->stop();
    timer2_->stop();
}

QSize frmMeasure::sizeHint() const
{
    // At least the design size, and wide enough for every column whole in
    // either language: a language switch while the window keeps this size
    // leaves every column in view.
    const int lang = app().texts.LanguageIndex;
    const std::array<int, 5> here = columnNeeds(lang);
    const std::array<int, 5> there = columnNeeds(lang == LanguageChinese ? LanguageEnglish : LanguageChinese);
    int columns = 13;
    for (size_t c = 0; c < here.size(); ++c)
        columns += qMax(here[c], there[c]);
    const QMargins m = layout()->contentsMargins();
    const int list = columns + 2 * MeasureView->frameWidth() + MeasureView->verticalScrollBar()->sizeHint().width();
    return QSize(qMax(376, list + m.left() + m.right()), 346).expandedTo(minimumSizeHint());
}

int frmMeasure::slot() const
{
    bool ok = false;
    const int s = tag.toInt(&ok);
    return ok && s >= 0 && s < DataSheet::MeasSlots ? s : -1;
}

QWidget *frmMeasure::frame()
{
    return itemFrame(this);
}

void frmMeasure::Form_Load()
{
    app().measure.MeasBusy = false;
    Form_Resize();
    FirstTick = true;
    timer1_->stop();
    timer1_->start(1);
}

std::array<int, 5> frmMeasure::columnNeeds() const
{
    return columnNeeds(app().texts.LanguageIndex);
}

std::array<int, 5> frmMeasure::columnNeeds(int lang) const
{
    // Each column's caption and texts as the list draws them: the names of
    // lang beside their pictures, the values and limits shown now or as wide
    // as a reading gets, and the verdicts.
    const QFontMetrics fm(MeasureView->font());
    const bool inForce = lang == app().texts.LanguageIndex;
    const VerdictTexts v = verdictTexts(lang);
    int names = 0;
    for (int p = 0; p < MeasCount; ++p)
        names = qMax(names, fm.horizontalAdvance(wordLiteral(Word(int(Word::MeasNameVpp) + p), lang)));
    int reading = 0;
    for (const char *sample : {"-888.8mV", "-888.8kHz", "-888.8us", "-888.8%"})
        reading = qMax(reading, fm.horizontalAdvance(QLatin1String(sample)));
    int verdicts = 0;
    for (const QString &t : {v.underLimit, v.overLimit, v.pass, v.invalid})
        verdicts = qMax(verdicts, fm.horizontalAdvance(t));
    constexpr int pad = 12; // the cell's margins
    std::array<int, 5> need{56 + 10 + names + pad, reading + pad, reading + pad, reading + pad, verdicts + pad};
    if (inForce) {
        for (int c = 0; c < 5; ++c)
            need[size_t(c)] = qMax(need[size_t(c)], qMax(MeasureView->header()->sectionSizeHint(c),
                                                         static_cast<const QAbstractItemView *>(MeasureView)->sizeHintForColumn(c)));
        return need;
    }
    // The other language's captions, as wide as the header draws them.
    const QHeaderView *header = MeasureView->header();
    for (const MeasureCaptionRow &row : measureWindowCaptions()) {
        if (row.target != MeasureCaptionTarget::Header || row.column < 0 || row.column >= 5)
            continue;
        QStyleOptionHeader opt;
        opt.initFrom(header);
        QFont font = header->font();
        font.setBold(true); // the header sizes its sections for a bold caption
        opt.fontMetrics = QFontMetrics(font);
        opt.section = row.column;
        opt.text = QString::fromUtf8(lang == LanguageChinese ? row.chinese : row.english);
        const QSize size = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), header);
        need[size_t(row.column)] = qMax(need[size_t(row.column)], size.width());
    }
    return need;
}

void frmMeasure::Form_Resize()
{
    const MeasColumnLayout l = measColumnLayout(MeasureView->viewport()->width(), columnNeeds());
    MeasureView->setIconSize(QSize(l.pictureWidth, l.pictureHeight));
    for (int c = 0; c < 5; ++c)
        MeasureView->setColumnWidth(c, l.widths[size_t(c)]);
}

void frmMeasure::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmMeasure::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MeasureView->viewport() && event->type() == QEvent::Resize)
        Form_Resize();
    if (watched == cmdRefresh && event->type() == QEvent::MouseMove)
        cmdRefresh_MouseMove();
    return QWidget::eventFilter(watched, event);
}

void frmMeasure::selectChannel(int which)
{
    OptionCH[which]->setChecked(true);
    OptionCH[1 - which]->setChecked(false);
}

void frmMeasure::Timer1_Timer()
{
    const CtrlSettings &s = app().Settings;
    const QString &on = word(Word::WordOn);
    const bool ch1 = s.CH1Display == on;
    const bool ch2 = s.CH2Display == on;
    if (ch1 && ch2) {
        OptionCH[0]->setEnabled(true);
        OptionCH[1]->setEnabled(true);
        if (!OptionCH[0]->isChecked() && !OptionCH[1]->isChecked())
            OptionCH[0]->setChecked(true);
    } else {
        OptionCH[0]->setEnabled(ch1);
        OptionCH[0]->setChecked(ch1);
        OptionCH[1]->setEnabled(ch2);
        if (ch2) {
            if (!OptionCH[0]->isChecked())
                OptionCH[1]->setChecked(true);
        } else {
            OptionCH[1]->setChecked(false);
        }
    }
    if (FirstTick) {
        timer1_->stop();
        timer1_->start(kStateIntervalMs);
        FirstTick = false;
        if (MeasDoc *doc = docOf(slot()))
            doc->WindowOpen = true;
        ShowMeasureTable();
    }
}

void frmMeasure::Timer2_Timer()
{
    app().measure.AutoRefresh.RefreshElapsed = timer2_->interval();
}

void frmMeasure::ShowMeasureTable()
{
    const int s = slot();
    const MeasDoc *doc = docOf(s);
    if (doc && doc->HasData)
        DispMeasure(s);
    else
        StartDispMeasure();
    Form_Resize();
}

void frmMeasure::showRows(const MeasRows &rows)
{
    Form_Resize();
    MeasureView->clear();
    for (const MeasRowText &row : rows) {
        auto *item = new QTreeWidgetItem(MeasureView);
        item->setText(0, row.name);
        item->setIcon(0, picture(row.image));
        item->setText(1, row.value);
        item->setText(2, row.under);
        item->setText(3, row.over);
        item->setText(4, row.verdict);
        for (int c = 0; c < 5; ++c)
            item->setToolTip(c, row.name);
    }
}

void frmMeasure::DispMeasure(int s)
{
    MeasDoc *doc = docOf(s);
    if (!doc)
        return;
    const int lang = app().texts.LanguageIndex;
    SettingLabel->setText(doc->Info);
    showRows(DispMeasureRows(*doc, lang));
}

void frmMeasure::StartDispMeasure()
{
    showRows(StartDispMeasureRows());
}

void frmMeasure::LoadMeasure()
{
    int kind = 0;
    if (OptionCH[0]->isChecked())
        kind = 1;
    else if (OptionCH[1]->isChecked())
        kind = 2;
    if (!OptionCH[0]->isEnabled() && !OptionCH[1]->isEnabled())
        return;
    // No channel chosen: no request, and no readings of an earlier transfer
    // taken as this item's.
    if (kind == 0)
        return;
    if (!RunTransferRequest(TransferCaption::Measure, kind, 0, false, this))
        return;
    const int s = slot();
    MeasDoc *doc = docOf(s);
    if (!doc)
        return;
    if (!app().xfer.RequestComplete) {
        // Stopped, or a reply did not come: the item keeps its readings, its
        // info line and its flags, and the sheet is not changed by it.
        cmdRefresh->setCursor(Qt::ArrowCursor);
        reportMissingBlock();
        return;
    }
    doc->HasData = true;
    app().Sheet.Modified = true;
    const TransferData &x = app().xfer;
    for (int i = 0; i < MeasCount; ++i)
        doc->Items[i].Value = x.MeasSlot[i].Value;
    doc->Info = x.MeasInfo;
    DispMeasure(s);
    cmdRefresh->setCursor(Qt::ArrowCursor);
    pumpEvents();
    Form_Resize();
}

void frmMeasure::setRefreshPictures(bool stop)
{
    stopPictures_ = stop;
    cmdRefresh->setIcon(style()->standardIcon(stop ? QStyle::SP_MediaStop : QStyle::SP_BrowserReload));
}

void frmMeasure::cmdRefresh_Click()
{
    MeasureHandlerScope scope(this);
    MeasureState &m = app().measure;
    RefreshWindow r;
    r.kind = RefreshKind::Measure;
    r.slot = slot();
    r.refreshDoc = &m.MeasRefreshDoc;
    r.refreshActive = &m.MeasRefreshActive;
    r.refreshing = [this]() -> bool * {
        MeasDoc *doc = docOf(slot());
        return doc ? &doc->Refreshing : nullptr;
    };
    r.load = [this] { busyLoad(); };
    r.unloaded = [this] { return unloaded_; };
    r.setRefreshPictures = [this](bool stop) { setRefreshPictures(stop); };
    r.button = cmdRefresh;
    r.window = this;
    r.clock = timer2_.get();
    RunItemRefresh(r);
}

void frmMeasure::busyLoad()
{
    MeasureState &m = app().measure;
    m.MeasBusy = true;
    loading_ = true;
    LoadMeasure();
    loading_ = false;
    m.MeasBusy = false;
}

void frmMeasure::cmdRefresh_MouseMove()
{
    const int code = MouseControl::Cursor();
    if (code == 0)
        cmdRefresh->unsetCursor();
    else
        cmdRefresh->setCursor(MouseControl::cursorOf(code));
}

void frmMeasure::cmdPassFailed_Click()
{
    MeasureHandlerScope scope(this);
    const int s = slot();
    if (s < 0)
        return;
    QWidget *owner = app().shell.MainForm;
    frmPassFailed dialog(owner);
    dialog.tag = tag;
    const QString caption = windowTitle();
    dialog.setWindowTitle(app().texts.LanguageIndex == 0
                              ? QStringLiteral("通过&失败设置 [") + caption + QLatin1Char(']')
                              : QStringLiteral("Pass & Fail Setting [") + caption + QLatin1Char(']'));
    runModal(dialog);
    if (unloaded_ || !app().shell.DialogOK)
        return;
    const MeasDoc *doc = docOf(slot());
    if (doc && doc->HasData)
        DispMeasure(slot());
    else
        StartDispMeasure();
}

void frmMeasure::cmdExport_Click()
{
    MeasureHandlerScope scope(this);
    const int lang = app().texts.LanguageIndex;
    FileDialogRequest req;
    QString label;
    if (lang == 0) {
        req.title = QStringLiteral("导出文件");
        label = QStringLiteral("微软Excel表格文件 ");
    } else if (lang == 1) {
        req.title = QStringLiteral("Export File");
        label = QStringLiteral("Microsoft Excel Files ");
    }
    req.filter = label + QStringLiteral("(*.xls);;Text Files (*.txt);;All Files (*.*)");
    const FileDialogResult chosen = ui().saveFile(req);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    ExportMeasureFileProc(ChosenSavePath(chosen), slot());
}

void frmMeasure::ExportMeasureFileProc(const QString &path, int s)
{
    QString error;
    if (!WriteMeasureExport(path, s, &error))
        ui().message(MsgIcon::Critical, kAppTitle, error, MsgButtons::Ok);
}

void frmMeasure::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F5
        && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        cmdRefresh_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmMeasure::Form_QueryUnload() const
{
    return !(app().transfer.TransferBusy || app().measure.MeasBusy);
}

void frmMeasure::closeEvent(QCloseEvent *event)
{
    closeItemWindow(this, event, unloaded_, handlerDepth_, [this] { return Form_QueryUnload(); },
                    [this] { Form_Unload(); });
}

void frmMeasure::Form_Unload()
{
    MeasureState &m = app().measure;
    const int s = slot();
    if (MeasDoc *doc = docOf(s))
        doc->WindowOpen = false;
    EndItemRefreshOnUnload(RefreshKind::Measure, [&m] {
        if (frmMeasure *running = measureWindow(m.MeasRefreshDoc))
            running->setRefreshPictures(false);
        if (MeasDoc *doc = docOf(m.MeasRefreshDoc))
            doc->Refreshing = false;
    });
    m.MeasRefreshActive = false;
    unloaded_ = true;
    timer1_->stop();
    timer2_->stop();
    releaseItemSlotRef(SheetItemKind::Measure, s, this);
}

void frmMeasure::leaveHandler()
{
    leaveItemHandler(this, handlerDepth_, unloaded_);
}

// --- functions for the data sheet -------------------------------------------

frmMeasure *measureWindow(int slot)
{
    return itemSlotWindow<frmMeasure>(SheetItemKind::Measure, slot);
}

frmMeasure *ShowMeasureWindow(int slot)
{
    ItemWindowShow show;
    show.install = installMeasureWindowLoader;
    // Every activation applies the language's texts again.
    show.activate = [slot](QWidget *, bool) { LoadMeasureWindowTexts(slot, app().texts.LanguageIndex); };
    return showItemSlotWindow<frmMeasure>(SheetItemKind::Measure, slot, show);
}

bool CloseMeasureWindow(int slot)
{
    return closeItemSlotWindow<frmMeasure>(SheetItemKind::Measure, slot);
}
