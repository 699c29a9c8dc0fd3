#include "panel/frmv_key.h"

#include "app/appstate.h"
#include "workspace/captionapply.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>

frmV_Key::frmV_Key(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmV_Key"));
    setWindowTitle(QStringLiteral("Virtual Keyboard"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    keys_ = buildPanelKeys(this, knob_, true);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    auto frame = [this](const char *n) { return keys_.frames.at(QLatin1String(n)); };
    grid->addWidget(frame("ONOFF"), 0, 1);
    grid->addWidget(frame("Frame4"), 0, 2);
    grid->addWidget(frame("MENU"), 0, 3, 1, 2);
    grid->addWidget(frame("RUN"), 0, 5);
    auto *soft = new QVBoxLayout;
    for (int i = 1; i <= 5; ++i)
        soft->addWidget(key(QStringLiteral("VK_F%1").arg(i)));
    grid->addLayout(soft, 0, 0, 2, 1);
    grid->addWidget(frame("Vertical"), 1, 1, 1, 2);
    grid->addWidget(frame("Horizontal"), 1, 3, 1, 2);
    grid->addWidget(frame("Trigger"), 1, 5);
    setFixedSize(sizeHint().expandedTo(QSize(442, 298)));
    centreOnScreen(this);

    // Load.
    setLaKey(keys_, app().link.LaPresent != 0);
    app().shell.KeyboardLoaded = true;
    LoadVirtualKeyTexts(this, app().texts.LanguageIndex);
}

frmV_Key::~frmV_Key()
{
    Form_Unload();
}

QPushButton *frmV_Key::key(const QString &control) const
{
    auto it = keys_.keys.find(control);
    return it == keys_.keys.end() ? nullptr : it->second;
}

void frmV_Key::setLaAvailable(bool present)
{
    setLaKey(keys_, present);
}

void frmV_Key::keyPressEvent(QKeyEvent *e)
{
    // Esc closes whichever control has the focus; other keys go on.
    if (e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(e);
}

void frmV_Key::done(int r)
{
    Form_Unload();
    QDialog::done(r);
}

void frmV_Key::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    knob_.release();
    app().shell.KeyboardLoaded = false;
}
