#include "editors/ctrldialogadjust.h"

#include "app/appstate.h"
#include "editors/editplan.h"
#include "shell/captionapply.h"
#include "texts/loadlanguage.h"

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
    add_ = new QToolButton(frame_);
    add_->setObjectName(QStringLiteral("DotAddRainBtn"));
    add_->setText(QStringLiteral("+"));
    sub_ = new QToolButton(frame_);
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
    // Not built yet: nothing steps or applies.
    add_->setEnabled(false);
    sub_->setEnabled(false);
    ok_->setEnabled(false);

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

void CtrlDialogAdjust::cmdCancelAdjust_Click()
{
    done(QDialog::Rejected);
}

void CtrlDialogAdjust::reject()
{
    cmdCancelAdjust_Click();
}
