#include "wave/frmdata.h"

#include "app/appstate.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"
#include "workspace/itemplacement.h"
#include "workspace/itemrefresh.h"
#include "workspace/itemshow.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "wave/dataexport.h"
#include "wave/datatablemodel.h"
#include "wave/wavecaptions.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

namespace {

const QString kAppTitle = QStringLiteral("Kelvoscope");
constexpr int kStateIntervalMs = 500;

// The window's layout is given in twips, 15 to the pixel.
int px(int twips)
{
    return qRound(twips / 15.0);
}
QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

DataDoc *docOf(int slot)
{
    if (slot < 0 || slot >= DataSheet::DataSlots)
        return nullptr;
    return &app().Sheet.DataDocs[size_t(slot)];
}

} // namespace

// Counts a handler of the window on the stack; a window closed meanwhile is
// deleted only once the last one has returned.
struct DataHandlerScope {
    frmData *w;
    explicit DataHandlerScope(frmData *win) : w(win) { ++w->handlerDepth_; }
    ~DataHandlerScope() { w->leaveHandler(); }
};

// One load started by Refresh: DataBusy and the window's own loading state
// hold from its start until it has returned.
struct DataLoadScope {
    frmData *w;
    bool wasBusy;
    explicit DataLoadScope(frmData *win) : w(win), wasBusy(app().wave.data.DataBusy)
    {
        app().wave.data.DataBusy = true;
        ++w->loadDepth_;
    }
    ~DataLoadScope()
    {
        --w->loadDepth_;
        app().wave.data.DataBusy = wasBusy;
    }
};

frmData::frmData(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmData"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);

    auto makeButton = [this](QWidget *owner, const char *name, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(owner);
        b->setObjectName(QLatin1String(name));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        return b;
    };
    cmdRefresh = makeButton(this, "cmdRefresh", QStyle::SP_BrowserReload);
    cmdRefresh->setGeometry(twipsRect(90, 30, 1065, 390));

    // Two frames without captions: the channel options, and the export.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(1290, -60, 2115, 465));
    const int optionLeft[DataChannelCount] = {120, 810, 1500};
    const int optionWidth[DataChannelCount] = {645, 645, 555};
    for (int i = 0; i < DataChannelCount; ++i) {
        OptionCH[i] = new QRadioButton(dataChannelWord(i), Frame1);
        OptionCH[i]->setObjectName(QStringLiteral("OptionCH_%1").arg(i));
        OptionCH[i]->setAutoExclusive(false);
        OptionCH[i]->setGeometry(twipsRect(optionLeft[i], 150, optionWidth[i], 285));
        connect(OptionCH[i], &QRadioButton::clicked, this, [this, i] { optionClicked(i); });
    }
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twipsRect(3540, -60, 1125, 465));
    cmdExport = makeButton(Frame2, "cmdExport", QStyle::SP_DialogSaveButton);
    cmdExport->setGeometry(twipsRect(120, 120, 870, 300));

    SettingLabel = new QLabel(this);
    SettingLabel->setObjectName(QStringLiteral("SettingLabel"));
    SettingLabel->setGeometry(twipsRect(120, 510, 5325, 300));

    model_ = new DataTableModel(this);
    MeasureView = new QTreeView(this);
    MeasureView->setObjectName(QStringLiteral("MeasureView"));
    MeasureView->setRootIsDecorated(false);
    MeasureView->setItemsExpandable(false);
    MeasureView->setUniformRowHeights(true);
    MeasureView->setSelectionMode(QAbstractItemView::SingleSelection);
    MeasureView->setSelectionBehavior(QAbstractItemView::SelectRows);
    MeasureView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MeasureView->header()->setStretchLastSection(false);
    MeasureView->setModel(model_);

    connect(cmdRefresh, &QToolButton::clicked, this, [this] { cmdRefresh_Click(); });
    // Refresh/Stop and F5 act at once, even during a load: they stop a
    // continuous refresh there and then.
    letActDuringExchange(cmdRefresh);
    letKeyActDuringExchange(this, Qt::Key_F5);
    connect(cmdExport, &QToolButton::clicked, this, [this] { cmdExport_Click(); });

    timer1_ = appClock().makeTimer();
    timer1_->onTimeout = [this] { Timer1_Timer(); };
    timer2_ = appClock().makeTimer();
    timer2_->onTimeout = [this] { Timer2_Timer(); };

    resize(sizeHint());
    setRefreshPictures(false);
    Form_Load();
}

QSize frmData::sizeHint() const
{
    return QSize(px(6600), px(6000));
}

frmData::~frmData()
{
    timer1_->stop();
    timer2_->stop();
}

int frmData::slot() const
{
    bool ok = false;
    const int s = tag.toInt(&ok);
    return ok && s >= 0 && s < DataSheet::DataSlots ? s : -1;
}

QWidget *frmData::frame()
{
    return itemFrame(this);
}

void frmData::Form_Load()
{
    // A load of another data window may be waiting: its busy state stays.
    Form_Resize();
    InitPending = true;
    timer1_->stop();
    timer1_->start(1);
    Form_Resize();
}

void frmData::layOutChannelOptions()
{
    const QRect ch1 = OptionCH[DataCH1]->geometry();
    QRect ch2 = OptionCH[DataCH2]->geometry();
    ch2.moveLeft(ch1.left() + px(900));
    OptionCH[DataCH2]->setGeometry(ch2);
    OptionCH[DataLA]->setVisible(false);
    OptionCH[DataLA]->setEnabled(false);
    layOutTopRow();
}

void frmData::layOutTopRow()
{
    // The row as designed, each control at least as wide as its caption in
    // the language in force, the frames wide enough for what they hold and
    // wholly inside the window; the window no narrower than the row.
    const auto wide = [](QWidget *w, int design) { return qMax(design, w->sizeHint().width()); };
    cmdRefresh->resize(wide(cmdRefresh, px(1065)), cmdRefresh->height());
    const int top = 0;
    const int frameHeight = px(465) - px(60);
    int x = 0;
    for (int i = 0; i < DataChannelCount; ++i) {
        QRadioButton *o = OptionCH[i];
        if (o->isHidden())
            continue;
        // At its place, or right of the option before it when that is wider.
        o->setGeometry(qMax(o->x(), x), px(150) - px(60), wide(o, o->width()), px(285));
        x = o->geometry().right() + 1 + 3;
    }
    Frame1->setGeometry(qMax(px(1290), cmdRefresh->geometry().right() + 1 + px(135)), top,
                        qMax(px(2115), x), frameHeight);
    cmdExport->setGeometry(px(120), px(120) - px(60), wide(cmdExport, px(870)), px(300));
    Frame2->setGeometry(qMax(px(3540), Frame1->geometry().right() + 1 + px(135)), top,
                        qMax(px(1125), cmdExport->geometry().right() + 1 + px(135)), frameHeight);
    // The settings line (channel, scales, size and date) shows whole: the
    // window is never narrower than it with its margins.
    const int infoWidth = SettingLabel->text().isEmpty()
                              ? 0
                              : SettingLabel->fontMetrics().horizontalAdvance(SettingLabel->text()) + px(240);
    setMinimumSize(std::max({Frame2->geometry().right() + 1 + px(100), px(120) + px(5325) + px(120), infoWidth}),
                   px(900) + px(1500));
}

// --- the table ---------------------------------------------------------------

void frmData::setColumnWidths()
{
    const std::array<int, 3> widths = dataColumnWidths(MeasureView->width());
    for (int c = 0; c < 3; ++c)
        MeasureView->setColumnWidth(c, widths[size_t(c)]);
}

void frmData::Form_Resize()
{
    layOutTopRow();
    const QRect inner = contentsRect();
    MeasureView->setGeometry(px(100), px(900), qMax(0, inner.width() - px(200)),
                             qMax(0, inner.height() - px(1000)));
    // The settings line is as wide as the window lets it be.
    QRect label = SettingLabel->geometry();
    label.setWidth(qMax(px(5325), inner.width() - px(240)));
    SettingLabel->setGeometry(label);
    setColumnWidths();
}

void frmData::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmData::ShowEmptyTable()
{
    SettingLabel->clear();
    setColumnWidths();
    model_->showEmpty();
}

void frmData::ShowDataTable()
{
    setColumnWidths();
    const DataDoc *doc = docOf(slot());
    if (!doc) {
        model_->showRows(0, {}, {});
        return;
    }
    SettingLabel->setText(doc->InfoLine);
    model_->showRows(doc->RowCount, doc->TimeTexts, doc->ValueTexts);
}

void frmData::RefreshTable()
{
    const DataDoc *doc = docOf(slot());
    if (doc && doc->HasData)
        ShowDataTable();
    else
        ShowEmptyTable();
    Form_Resize();
}

// --- the channel options -----------------------------------------------------

DataChannelOptions frmData::options() const
{
    DataChannelOptions o;
    for (int i = 0; i < DataChannelCount; ++i) {
        o.enabled[size_t(i)] = OptionCH[i]->isEnabled();
        o.selected[size_t(i)] = OptionCH[i]->isChecked();
    }
    return o;
}

void frmData::setOptions(const DataChannelOptions &o)
{
    const int before = options().firstSelected();
    for (int i = 0; i < DataChannelCount; ++i) {
        OptionCH[i]->setEnabled(o.enabled[size_t(i)]);
        OptionCH[i]->setChecked(o.selected[size_t(i)]);
    }
    // A newly selected option is the item's channel (deselecting keeps it).
    const int after = o.firstSelected();
    if (after >= 0 && after != before)
        storeChannel();
}

void frmData::storeChannel()
{
    const int option = options().firstSelected();
    DataDoc *doc = docOf(slot());
    if (doc && option >= 0)
        doc->Channel = dataChannelWord(option);
}

void frmData::optionClicked(int option)
{
    DataChannelOptions o = options();
    o.select(option);
    setOptions(o);
    storeChannel();
}

void frmData::Timer1_Timer()
{
    if (InitPending) {
        timer1_->stop();
        timer1_->start(kStateIntervalMs);
        if (DataDoc *doc = docOf(slot()))
            doc->WindowOpen = true;
        RefreshTable();
        InitPending = false;
        if (const DataDoc *doc = docOf(slot())) {
            const int option = dataChannelOfWord(doc->Channel);
            if (option >= 0) {
                DataChannelOptions o = options();
                o.select(option);
                setOptions(o);
            }
        }
    }
    const CtrlSettings &s = app().Settings;
    const QString &on = word(Word::WordOn);
    setOptions(followDisplayStates(options(), {s.CH1Display == on, s.CH2Display == on, s.LADisplay == on}));
}

void frmData::Timer2_Timer()
{
    app().measure.AutoRefresh.RefreshElapsed = timer2_->interval();
}

// --- loading -----------------------------------------------------------------

void frmData::LoadData()
{
    // The table of the option that is selected and enabled, whichever it is
    // (the logic channels' too while both analog channels are off). Nothing
    // selected, or the selected option disabled: no request, and no table of
    // an earlier transfer taken as this item's.
    const int kind = dataRequestKind(options());
    if (kind == 0)
        return;
    if (!RunTransferRequest(TransferCaption::DataTable, kind, 0, true, this))
        return;
    const int s = slot();
    DataDoc *doc = docOf(s);
    if (!doc)
        return;
    const TransferData &x = app().xfer;
    if (!x.BlocksReceived) {
        // The table's blocks did not come: the item keeps its own table, info
        // line and flags (an earlier block, another source's perhaps, is
        // never taken as this one), and the sheet is not changed by it.
        reportMissingBlock();
        return;
    }
    // The transfer's table, whatever it holds (an invalid trace gives no rows).
    doc->HasData = true;
    app().Sheet.Modified = true;
    doc->RowCount = x.PointCount;
    doc->InfoLine = x.MeasInfo;
    doc->TimeTexts = x.TimeText;
    // The logic channels' request writes times only: their table has no
    // voltages (never the voltages of an earlier analog table).
    doc->ValueTexts = kind == 5 ? QStringList(x.TimeText.size()) : x.ValueText;
    if (!unloaded_) {
        ShowDataTable();
        Form_Resize();
    }
}

void frmData::setRefreshPictures(bool stop)
{
    stopPictures_ = stop;
    cmdRefresh->setIcon(style()->standardIcon(stop ? QStyle::SP_MediaStop : QStyle::SP_BrowserReload));
}

void frmData::cmdRefresh_Click()
{
    DataHandlerScope scope(this);
    DataWindowState &d = app().wave.data;
    RefreshWindow r;
    r.kind = RefreshKind::Data;
    r.slot = slot();
    r.refreshDoc = &d.DataRefreshDoc;
    r.refreshActive = &d.DataRefreshActive;
    r.refreshing = [this]() -> bool * {
        DataDoc *doc = docOf(slot());
        return doc ? &doc->Refreshing : nullptr;
    };
    r.load = [this] {
        DataLoadScope load(this);
        LoadData();
    };
    r.unloaded = [this] { return unloaded_; };
    r.setRefreshPictures = [this](bool stop) { setRefreshPictures(stop); };
    r.button = cmdRefresh;
    r.window = this;
    r.clock = timer2_.get();
    RunItemRefresh(r);
}

// --- export ------------------------------------------------------------------

void frmData::cmdExport_Click()
{
    DataHandlerScope scope(this);
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
    QString error;
    if (!ExportDataTable(ChosenSavePath(chosen), slot(), &error))
        ui().message(MsgIcon::Critical, kAppTitle, error, MsgButtons::Ok);
}

// --- keys, closing -----------------------------------------------------------

void frmData::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F5
        && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        cmdRefresh_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmData::Form_QueryUnload() const
{
    return !(app().transfer.TransferBusy || app().wave.data.DataBusy);
}

void frmData::closeEvent(QCloseEvent *event)
{
    closeItemWindow(this, event, unloaded_, handlerDepth_, [this] { return Form_QueryUnload(); },
                    [this] { Form_Unload(); });
}

void frmData::Form_Unload()
{
    DataWindowState &d = app().wave.data;
    const int s = slot();
    if (DataDoc *doc = docOf(s))
        doc->WindowOpen = false;
    d.DataRefreshActive = false;
    EndItemRefreshOnUnload(RefreshKind::Data, [&d] {
        if (frmData *running = dataWindow(d.DataRefreshDoc))
            running->setRefreshPictures(false);
        if (DataDoc *doc = docOf(d.DataRefreshDoc))
            doc->Refreshing = false;
    });
    unloaded_ = true;
    timer1_->stop();
    timer2_->stop();
    releaseItemSlotRef(SheetItemKind::Data, s, this);
}

void frmData::leaveHandler()
{
    leaveItemHandler(this, handlerDepth_, unloaded_);
}

// --- functions for the data sheet -------------------------------------------

frmData *dataWindow(int slot)
{
    return itemSlotWindow<frmData>(SheetItemKind::Data, slot);
}

frmData *ShowDataWindow(int slot)
{
    ItemWindowShow show;
    show.install = installDataWindowLoader;
    // Every activation applies the language's texts again.
    show.activate = [slot](QWidget *w, bool) {
        LoadDataWindowTexts(slot, app().texts.LanguageIndex);
        static_cast<frmData *>(w)->layOutChannelOptions();
    };
    return showItemSlotWindow<frmData>(SheetItemKind::Data, slot, show);
}

bool CloseDataWindow(int slot)
{
    return closeItemSlotWindow<frmData>(SheetItemKind::Data, slot);
}

bool DataWindowLoading(int slot)
{
    frmData *w = dataWindow(slot);
    return w && w->loading();
}
