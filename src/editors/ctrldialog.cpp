#include "editors/ctrldialog.h"

#include "app/appstate.h"
#include "editors/editplan.h"
#include "link/cmdfunc.h"
#include "platform/pump.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *button(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    // No button is pressed by Enter: OK applies by Enter only from the list.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

bool isThresholdKey(const QString &key)
{
    return key == word(Word::ItemLA) + word(Word::ItemThreshold);
}

} // namespace

CtrlDialog::CtrlDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CtrlDialog"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());

    frame_ = new QGroupBox(this);
    frame_->setObjectName(QStringLiteral("Frame"));
    combo_ = new QComboBox(frame_);
    combo_->setObjectName(QStringLiteral("Combo"));
    combo_->setEditable(false);
    combo_->installEventFilter(this);
    input_ = new QLineEdit(QStringLiteral("Text1"), frame_);
    input_->setObjectName(QStringLiteral("inputTxt"));

    units_ = new QWidget(frame_);
    auto *unitRow = new QHBoxLayout(units_);
    unitRow->setContentsMargins(0, 0, 0, 0);
    const char *captions[] = {"m", "u", "n", "p", "mV"};
    for (int i = 0; i < 5; ++i) {
        QPushButton *b = button(units_, QStringLiteral("cmdEnter_%1").arg(i), QString::fromLatin1(captions[i]));
        b->setMinimumWidth(i == UnitMilliVolt ? 36 : 28);
        b->setMaximumWidth(i == UnitMilliVolt ? 48 : 36);
        unitRow->addWidget(b);
        enter_[size_t(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { cmdEnter_Click(i); });
    }
    unitRow->addStretch(1);

    ok_ = button(frame_, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    cancel_ = button(frame_, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));

    values_ = new QVBoxLayout;
    auto *grid = new QGridLayout(frame_);
    grid->addLayout(values_, 0, 0);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 1);
    grid->setColumnStretch(0, 1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 0, 4, 4);
    // A fixed tool window the size of what it shows.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->addWidget(frame_);
    combo_->setMinimumWidth(120);
    input_->setMinimumWidth(120);

    connect(ok_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(combo_, &QComboBox::currentIndexChanged, this, [this] { Combo_Click(); });

    // The standard arrangement until a plan says otherwise.
    input_->hide();
    for (QPushButton *b : enter_)
        b->hide();
    arrange();
    SetDialogCaptions(languageIndex());
}

void CtrlDialog::SetDialogCaptions(int lang)
{
    if (lang == LanguageChinese) {
        ok_->setText(QStringLiteral("确定"));
        cancel_->setText(QStringLiteral("取消"));
    } else if (lang == LanguageEnglish) {
        ok_->setText(QStringLiteral("OK"));
        cancel_->setText(QStringLiteral("Cancel"));
    }
}

void CtrlDialog::arrange()
{
    // The list, the entry and the unit buttons stack by their places.
    struct Placed {
        int top;
        QWidget *widget;
    };
    std::array<Placed, 3> placed{{{comboTop_, combo_}, {inputTop_, input_}, {enterTop_, units_}}};
    std::stable_sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) { return a.top < b.top; });
    for (const Placed &p : placed)
        values_->removeWidget(p.widget);
    for (const Placed &p : placed)
        values_->addWidget(p.widget);
    bool anyUnit = false;
    for (QPushButton *b : enter_)
        anyUnit = anyUnit || !b->isHidden();
    units_->setVisible(anyUnit);
}

void CtrlDialog::prepare(const EditPlan &plan)
{
    // The standard arrangement.
    comboTop_ = ComboTop;
    inputTop_ = InputTop;
    enterTop_ = EnterTop;
    combo_->show();
    input_->hide();
    for (QPushButton *b : enter_)
        b->hide();

    frame_->setTitle(plan.caption);
    switch (plan.dialog) {
    case EditDialogKind::List:
        combo_->clear();
        combo_->addItems(plan.choices);
        combo_->setCurrentIndex(int(plan.choices.indexOf(plan.listText)));
        break;
    case EditDialogKind::Entry:
        combo_->hide();
        input_->show();
        input_->setText(plan.inputText);
        break;
    case EditDialogKind::Threshold:
        comboTop_ = ThresholdComboTop;
        inputTop_ = ThresholdInputTop;
        enterTop_ = ThresholdEnterTop;
        combo_->clear();
        combo_->addItems(plan.choices);
        combo_->setCurrentIndex(int(plan.choices.indexOf(plan.listText)));
        input_->show();
        input_->setText(plan.inputText);
        input_->setEnabled(plan.inputEnabled);
        for (int i = UnitMilli; i <= UnitPico; ++i)
            enter_[size_t(i)]->setEnabled(plan.inputEnabled);
        break;
    default:
        break;
    }
    for (int i = 0; i < UnitButtonCount; ++i)
        enter_[size_t(i)]->setVisible(plan.units[size_t(i)]);
    arrange();
    adjustSize();
}

QString CtrlDialog::choice() const
{
    return combo_->currentIndex() >= 0 ? combo_->currentText() : QString();
}

QString CtrlDialog::inputText() const
{
    return input_->text();
}

void CtrlDialog::setInputText(const QString &text)
{
    input_->setText(text);
}

void CtrlDialog::setBlocked(bool blocked)
{
    applying_ = blocked;
    // A value refused (or an apply that keeps the dialog open) leaves the
    // keyboard where the user had it: typing goes on there.
    if (blocked)
        disableKeepingFocus(frame_, focusReturn_);
    else
        enableGivingFocusBack(frame_, focusReturn_);
}

void CtrlDialog::applied(ApplyEnd end)
{
    setBlocked(false);
    if (end == ApplyEnd::Close)
        done(QDialog::Accepted);
}

void CtrlDialog::cmdOK_Click()
{
    // A press held back during the apply finds the dialog done (hidden).
    if (applying_ || !isVisible())
        return;
    setBlocked(true);
    applied([&] {
        const LinkExchange exchange;
        return ApplySetting(*this);
    }());
}

void CtrlDialog::cmdEnter_Click(int index)
{
    if (applying_ || !isVisible())
        return;
    setBlocked(true);
    applied([&] {
        const LinkExchange exchange;
        return ApplyUnitButton(*this, index);
    }());
}

void CtrlDialog::cmdCancel_Click()
{
    if (applying_)
        return;
    done(QDialog::Rejected);
}

void CtrlDialog::Combo_Click()
{
    if (applying_ || !isThresholdKey(app().ctrl.CtrlSettingKey))
        return;
    const QString c = choice();
    const bool user = !IsThresholdPreset(c);
    input_->setText(ThresholdPreset(c));
    input_->setEnabled(user);
    for (int i = UnitMilli; i <= UnitPico; ++i)
        enter_[size_t(i)]->setEnabled(user);
}

void CtrlDialog::reject()
{
    // Esc anywhere and the close box are Cancel.
    cmdCancel_Click();
}

void CtrlDialog::closeEvent(QCloseEvent *event)
{
    if (applying_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool CtrlDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == combo_ && event->type() == QEvent::KeyPress) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const int key = press->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Only a fresh press applies: the repeats of an Enter still held
            // (the one that opened the dialog from the tree) do not.
            if (!press->isAutoRepeat())
                cmdOK_Click();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cmdCancel_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
