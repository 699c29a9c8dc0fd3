#include "editors/ctrldialogadjust.h"

#include "app/appstate.h"
#include "controller/ctrltreenodes.h"
#include "editors/editplan.h"
#include "editors/numberentry.h"
#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/holdbutton.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/normvalue.h"
#include "values/scalesteps.h"
#include "values/valuereply.h"
#include "workspace/captionapply.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int RepeatMs = 200;

// The factor the read-out is divided by: an unknown ratio counts as 1, so a
// step or the apply never divides by 0.
qint16 probeFactor(const QString &probe)
{
    const qint16 p = GetCHProbeNum(probe);
    return p ? p : 1;
}

const QString &channelProbe(int mode)
{
    const CtrlSettings &s = app().Settings;
    return mode == 0 ? s.CH1Probe : s.CH2Probe;
}

bool fineStepping(int mode)
{
    const EditorsState &e = app().editors;
    return (mode == 0 ? int(e.AdjustCoarseFineCH1) : int(e.AdjustCoarseFineCH2)) != 0;
}

} // namespace

qint16 GetCHProbeNum(const QString &probe)
{
    static const struct {
        const char *text;
        qint16 factor;
    } ratios[] = {{"1X", 1}, {"2X", 2}, {"5X", 5}, {"10X", 10}, {"50X", 50}, {"100X", 100}, {"500X", 500}, {"1000X", 1000}};
    for (const auto &r : ratios)
        if (probe == QLatin1String(r.text))
            return r.factor;
    return 0;
}

CtrlDialogAdjust::~CtrlDialogAdjust() = default;

CtrlDialogAdjust::CtrlDialogAdjust(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CtrlDialogAdjust"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());

    frame_ = new QGroupBox(this);
    frame_->setObjectName(QStringLiteral("FrameAdjust"));
    coarse_ = new QRadioButton(QStringLiteral("Coarse"), frame_);
    coarse_->setObjectName(QStringLiteral("OptVoltDiv_0"));
    fine_ = new QRadioButton(QStringLiteral("Fine"), frame_);
    fine_->setObjectName(QStringLiteral("OptVoltDiv_1"));
    // Neither option is chosen until the dispatcher picks the remembered one.
    auto *options = new QButtonGroup(this);
    options->addButton(coarse_, 0);
    options->addButton(fine_, 1);
    value_ = new QLineEdit(frame_);
    value_->setObjectName(QStringLiteral("txtDispValue"));
    value_->setReadOnly(true);
    // A hold lasts from the press to the release of that mouse button, wherever
    // the pointer goes meanwhile.
    add_ = new HoldButton(frame_);
    add_->setObjectName(QStringLiteral("DotAddRainBtn"));
    add_->setText(QStringLiteral("+"));
    sub_ = new HoldButton(frame_);
    sub_->setObjectName(QStringLiteral("DotSubRainBtn"));
    sub_->setText(QStringLiteral("-"));
    ok_ = new QPushButton(QStringLiteral("OK"), frame_);
    ok_->setObjectName(QStringLiteral("cmdAdjustOK"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"), frame_);
    cancel_->setObjectName(QStringLiteral("cmdCancelAdjust"));
    for (QPushButton *b : {ok_, cancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    Timer1 = appClock().makeTimer();
    Timer1->onTimeout = [this] { stepOnce(); };

    auto *grid = new QGridLayout(frame_);
    grid->addWidget(coarse_, 0, 0);
    grid->addWidget(fine_, 0, 1);
    grid->addWidget(value_, 1, 0);
    auto *steps = new QVBoxLayout;
    steps->setSpacing(0);
    steps->addWidget(add_);
    steps->addWidget(sub_);
    grid->addLayout(steps, 1, 1, Qt::AlignLeft);
    grid->addWidget(ok_, 0, 2);
    grid->addWidget(cancel_, 1, 2, Qt::AlignTop);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 0, 4, 4);
    // A fixed tool window the size of what it shows.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->addWidget(frame_);

    connect(coarse_, &QRadioButton::clicked, this, [this] { OptVoltDiv_Click(0); });
    connect(fine_, &QRadioButton::clicked, this, [this] { OptVoltDiv_Click(1); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cmdCancelAdjust_Click(); });
    connect(ok_, &QPushButton::clicked, this, [this] { cmdAdjustOK_Click(); });
    connect(add_, &QToolButton::pressed, this, [this] { stepPressed(1); });
    connect(sub_, &QToolButton::pressed, this, [this] { stepPressed(-1); });
    connect(add_, &QToolButton::released, this, [this] { stepReleased(); });
    connect(sub_, &QToolButton::released, this, [this] { stepReleased(); });

    LoadAdjustTexts(this, languageIndex());
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CtrlDialogAdjust::prepare(const EditPlan &plan)
{
    frame_->setTitle(plan.caption);
    (plan.adjustFine ? fine_ : coarse_)->setChecked(true);
    value_->setText(plan.inputText);
}

void CtrlDialogAdjust::OptVoltDiv_Click(int index)
{
    EditorsState &e = app().editors;
    if (e.AdjustMode == 0)
        e.AdjustCoarseFineCH1 = qint16(index);
    else if (e.AdjustMode == 1)
        e.AdjustCoarseFineCH2 = quint8(index);
}

void CtrlDialogAdjust::stepPressed(qint16 direction)
{
    stepCount_ = direction;
    stepOnce();
    Timer1->start(RepeatMs);
}

void CtrlDialogAdjust::stepReleased()
{
    stepCount_ = 0;
    Timer1->stop();
}

void CtrlDialogAdjust::stepOnce()
{
    const int mode = app().editors.AdjustMode;
    const qint16 p = probeFactor(channelProbe(mode));
    // Stepped at probe 1X, in single precision as the ladder is.
    float v = float(ParseVolt(value_->text()) / p);
    v = fineStepping(mode) ? StepVoltsFine(v, stepCount_) : StepVolts(v, stepCount_);
    const float shown = float(p) * v;
    // The product's own digits (a float's seven), not its binary tail.
    value_->setText(FormatVolt(GeneralNumberText(QString::number(double(shown), 'g', 7).toDouble())));
}

void CtrlDialogAdjust::cmdAdjustOK_Click()
{
    // The apply is one exchange: a second OK is held back until it ends, and
    // then finds the dialog done.
    if (!isVisible())
        return;
    const LinkExchange exchange;
    stepReleased();
    const int m = app().editors.AdjustMode == 0 ? 1 : 2;
    CtrlSettings &s = app().Settings;
    const QString probe = channelProbe(m - 1);
    const double v = ParseVolt(value_->text()) / probeFactor(probe);
    const QString header = QStringLiteral(":CHANNEL") + QString::number(m);

    QString &voltDiv = m == 1 ? s.CH1VoltDiv : s.CH2VoltDiv;
    const QString voltDivBefore = voltDiv;
    voltDiv = value_->text();
    SetCtrlNodeSetting(m + 1, 3, word(Word::ItemVoltDiv), voltDiv);
    const bool open = linkGateOpen();
    // A ratio the instrument does not know is not sent.
    if (GetCHProbeNum(probe))
        instrumentLines().sendCommand(header + QStringLiteral(":PROBE ") + probe.chopped(1));
    instrumentLines().sendCommand(header + QStringLiteral(":SCALE ") + GeneralNumberText(probeFactor(probe) * v));
    if (open && !linkGateOpen()) {
        // A write failed (the link has told the user and is lost): the scale
        // never reached the instrument, so the channel keeps its volts/div.
        voltDiv = voltDivBefore;
        SetCtrlNodeSetting(m + 1, 3, word(Word::ItemVoltDiv), voltDiv);
        done(QDialog::Rejected);
        return;
    }
    appClock().pause(200);
    // The instrument rescales the offset with the scale; no reply keeps it.
    QString &offset = m == 1 ? s.CH1Offset : s.CH2Offset;
    const QString reply = CutAtLF(instrumentLines().queryString(header + QStringLiteral(":OFFSET?")));
    const QString shownOffset = reply.isEmpty() || InvalidValueReply(reply) ? QString() : FormatVolt(reply);
    if (!shownOffset.isEmpty()) {
        offset = shownOffset;
        SetCtrlNodeSetting(m + 1, 4, word(Word::ItemOffset), offset);
    }
    app().ctrl.CtrlFileModified = true;
    done(QDialog::Accepted);
}

void CtrlDialogAdjust::cmdCancelAdjust_Click()
{
    stepReleased();
    done(QDialog::Rejected);
}

void CtrlDialogAdjust::reject()
{
    cmdCancelAdjust_Click();
}
