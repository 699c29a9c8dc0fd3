#include "measure/frmpassfailed.h"

#include "app/appstate.h"
#include "measure/limitentry.h"
#include "measure/meastable.h"
#include "platform/clock.h"
#include "platform/ui/ui.h"
#include "workspace/captionapply.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kAppTitle = QStringLiteral("Kelvoscope");

// A yellow sign on a dark blue disc, 20 x 20 pixels.
QPixmap signPicture(const QString &sign)
{
    QPixmap pix(20, 20);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    p.drawEllipse(0, 0, 20, 20);
    p.setPen(Qt::yellow);
    p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, sign);
    return pix;
}

} // namespace

frmPassFailed::frmPassFailed(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPassFailed"));
    auto group = [this](const char *name, const QString &title) {
        auto *g = new QGroupBox(title, this);
        g->setObjectName(QLatin1String(name));
        return g;
    };
    auto *Frame1 = group("Frame1", QStringLiteral("Pass | Fail Settings"));
    auto *Frame2 = group("Frame2", QStringLiteral("Select Measure Type"));
    auto *Frame3 = group("Frame3", QStringLiteral("Pass Range Settings"));
    auto *Frame4 = group("Frame4", QStringLiteral("Under Limit Setting"));
    auto *Frame5 = group("Frame5", QStringLiteral("Over Limit Setting"));

    MTypeCombo = new QComboBox(Frame2);
    MTypeCombo->setObjectName(QStringLiteral("MTypeCombo"));
    EnabledChk = new QCheckBox(QStringLiteral("Enabled"), Frame2);
    EnabledChk->setObjectName(QStringLiteral("EnabledChk"));
    auto *l2 = new QHBoxLayout(Frame2);
    l2->addWidget(MTypeCombo, 1);
    l2->addWidget(EnabledChk);

    auto limitRow = [](QGroupBox *frame, const char *pic, const char *num, const char *unit, const QString &sign,
                       QLabel **picOut, QLineEdit **numOut, QComboBox **unitOut) {
        *picOut = new QLabel(frame);
        (*picOut)->setObjectName(QLatin1String(pic));
        (*picOut)->setPixmap(signPicture(sign));
        *numOut = new QLineEdit(frame);
        (*numOut)->setObjectName(QLatin1String(num));
        *unitOut = new QComboBox(frame);
        (*unitOut)->setObjectName(QLatin1String(unit));
        auto *l = new QHBoxLayout(frame);
        l->addWidget(*picOut);
        l->addWidget(*numOut, 1);
        l->addWidget(*unitOut);
    };
    limitRow(Frame4, "UnderPic", "UnderNum", "UnderUnit", QStringLiteral("≥"), &UnderPic, &UnderNum, &UnderUnit);
    limitRow(Frame5, "OverPic", "OverNum", "OverUnit", QStringLiteral("≤"), &OverPic, &OverNum, &OverUnit);

    auto *l3 = new QVBoxLayout(Frame3);
    l3->addWidget(Frame4);
    l3->addWidget(Frame5);
    auto *l1 = new QVBoxLayout(Frame1);
    l1->addWidget(Frame2);
    l1->addWidget(Frame3);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAutoDefault(false);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    // A click on OK or Cancel leaves the keyboard focus in a limit box: OK
    // judges the box's text itself (and keeps the dialog open when it is no
    // number), Cancel discards it without a word. Tab still reaches both.
    OKButton->setFocusPolicy(Qt::TabFocus);
    CancelButton->setFocusPolicy(Qt::TabFocus);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(MTypeCombo, &QComboBox::currentIndexChanged, this, [this] {
        ShowMeasEnabled();
        ShowLimits();
    });
    connect(EnabledChk, &QCheckBox::clicked, this, [this](bool ticked) {
        const int index = selectedIndex();
        if (index >= 0)
            EditTable[index].Enabled = ticked;
        ShowLimits();
    });
    // Every keystroke stores a number; a text on its way to one waits. The
    // whole text is judged where a number must stand: a unit picked, the box
    // left for another control or ended with Return, OK.
    connect(UnderNum, &QLineEdit::textChanged, this, [this] { limitInput(false, true); });
    connect(UnderUnit, &QComboBox::activated, this, [this] { limitInput(false, false); });
    connect(OverNum, &QLineEdit::textChanged, this, [this] { limitInput(true, true); });
    connect(OverUnit, &QComboBox::activated, this, [this] {
        limitInput(true, false);
        SetOverNumLimit();
    });
    connect(UnderNum, &QLineEdit::returnPressed, this, [this] { limitFinished(false); });
    connect(OverNum, &QLineEdit::returnPressed, this, [this] { limitFinished(true); });
    UnderNum->installEventFilter(this);
    OverNum->installEventFilter(this);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });

    timer1_ = appClock().makeTimer();
    timer1_->setSingleShot(true);
    timer1_->onTimeout = [this] { Timer1_Timer(); };
    Form_Load();
}

frmPassFailed::~frmPassFailed()
{
    timer1_->stop();
}

void frmPassFailed::Form_Load()
{
    app().shell.DialogOK = false;
    timer1_->start(1);
    LimitsShown = false;
    LimitsStored = true;
    LoadPassFailTexts(this, app().texts.LanguageIndex);
}

void frmPassFailed::Timer1_Timer()
{
    timer1_->stop();
    bool ok = false;
    const int slot = tag.toInt(&ok);
    if (!ok || slot < 0 || slot >= DataSheet::MeasSlots)
        return;
    EditTable = app().Sheet.MeasDocs[size_t(slot)].Items;
    for (int p = 0; p < MeasCount; ++p)
        MTypeCombo->addItem(measureName(p));
    MTypeCombo->setCurrentIndex(0); // runs the selection steps
    ShowMeasEnabled();
    ShowLimits();
}

int frmPassFailed::selectedIndex() const
{
    return measIndexOfName(MTypeCombo->currentText());
}

void frmPassFailed::ShowMeasEnabled()
{
    const int index = selectedIndex();
    if (index >= 0)
        EnabledChk->setChecked(EditTable[index].Enabled);
}

void frmPassFailed::fillUnits(MeasKind kind)
{
    const QStringList units = limitUnits(kind);
    OverUnit->clear();
    OverUnit->addItems(units);
    UnderUnit->clear();
    UnderUnit->addItems(units);
}

void frmPassFailed::ShowLimits()
{
    LimitsShown = false;
    const int index = selectedIndex();
    if (index >= 0) {
        const MeasKind kind = measKindOfIndex(index);
        const MeasItem &item = EditTable[index];
        fillUnits(kind);
        const EditorText under = ShowLimit(kind, item.Under);
        UnderNum->setText(under.text);
        UnderUnit->setCurrentIndex(under.position);
        const EditorText over = ShowLimit(kind, item.Over);
        OverNum->setText(over.text);
        OverUnit->setCurrentIndex(over.position);
        for (QWidget *w : {static_cast<QWidget *>(UnderNum), static_cast<QWidget *>(UnderUnit),
                           static_cast<QWidget *>(UnderPic), static_cast<QWidget *>(OverNum),
                           static_cast<QWidget *>(OverUnit), static_cast<QWidget *>(OverPic)})
            w->setEnabled(item.Enabled);
    }
    LimitsShown = true;
}

bool frmPassFailed::limitInput(bool over, bool typing)
{
    if (!LimitsShown || !LimitsStored)
        return true;
    QLineEdit *box = over ? OverNum : UnderNum;
    const LimitInput input = typing ? ClassifyLimitTyping(box->text()) : ClassifyLimitInput(box->text());
    switch (input) {
    case LimitInput::Ignore:
        return true;
    case LimitInput::Store:
        if (over)
            SetOverNum();
        else
            SetUnderNum();
        return true;
    case LimitInput::Invalid:
        ui().message(MsgIcon::Critical, kAppTitle, message(Msg::MsgInvalidNumber), MsgButtons::Ok);
        box->clear();
        box->setModified(false);
        return false;
    }
    return true;
}

bool frmPassFailed::limitFinished(bool over)
{
    QLineEdit *box = over ? OverNum : UnderNum;
    if (!box->isModified())
        return true; // nothing typed since the dialog showed the limit
    box->setModified(false);
    return limitInput(over, false);
}

bool frmPassFailed::eventFilter(QObject *watched, QEvent *event)
{
    // The box left for another control of the dialog (not the dialog left
    // for another window, nor a popup opening over it).
    if (event->type() == QEvent::FocusOut && (watched == UnderNum || watched == OverNum)) {
        switch (static_cast<QFocusEvent *>(event)->reason()) {
        case Qt::MouseFocusReason:
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason: limitFinished(watched == OverNum); break;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPassFailed::SetUnderNum()
{
    LimitsStored = false;
    const int index = selectedIndex();
    if (index >= 0)
        EditTable[index].Under = ConvertLimitText(measKindOfIndex(index), UnderNum->text(), UnderUnit->currentIndex());
    LimitsStored = true;
}

void frmPassFailed::SetOverNum()
{
    LimitsStored = false;
    const int index = selectedIndex();
    if (index >= 0)
        EditTable[index].Over = ConvertLimitText(measKindOfIndex(index), OverNum->text(), OverUnit->currentIndex());
    LimitsStored = true;
}

void frmPassFailed::SetOverNumLimit()
{
    LimitsStored = false;
    const int index = selectedIndex();
    if (index >= 0) {
        MeasItem &item = EditTable[index];
        if (!(item.Over >= item.Under)) {
            item.Over = item.Under;
            OverNum->setText(UnderNum->text());
            OverUnit->setCurrentIndex(UnderUnit->currentIndex());
        }
    }
    LimitsStored = true;
}

void frmPassFailed::OKButton_Click()
{
    // Before the first tick there is no copy to commit.
    if (MTypeCombo->count() != MeasCount)
        return;
    // A typed text that is no number is refused here as anywhere: the
    // dialog stays open with nothing committed.
    if (!limitFinished(false) || !limitFinished(true))
        return;
    // Every measurement is checked; the first with its upper limit below its
    // lower one (in the list's order) is selected and repaired, and the
    // dialog stays open with nothing committed.
    for (int p = 0; p < MeasCount; ++p) {
        const int index = measIndexOfListPosition(p);
        const MeasItem &item = EditTable[index];
        if (item.Over >= item.Under)
            continue;
        if (MTypeCombo->currentIndex() != p)
            MTypeCombo->setCurrentIndex(p);
        SetOverNumLimit();
        ShowLimits();
        return;
    }
    bool ok = false;
    const int slot = tag.toInt(&ok);
    if (!ok || slot < 0 || slot >= DataSheet::MeasSlots)
        return;
    app().Sheet.MeasDocs[size_t(slot)].Items = EditTable;
    app().Sheet.Modified = true;
    app().shell.DialogOK = true;
    accept();
}

void frmPassFailed::CancelButton_Click()
{
    reject();
}

void frmPassFailed::closeEvent(QCloseEvent *event)
{
    // The close box counts as Cancel: nothing is committed.
    QDialog::closeEvent(event);
}
