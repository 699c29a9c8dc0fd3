#include "shell/frmabout.h"

#include "platform/ui/ui.h"
#include "workspace/captionapply.h"
#include "shell/frmsplash.h"
#include "shell/programicon.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace {

std::function<QString(const QString &)> &lookupSlot()
{
    static std::function<QString(const QString &)> fn;
    return fn;
}

QString lookupProgram(const QString &program)
{
    if (lookupSlot())
        return lookupSlot()(program);
    return QStandardPaths::findExecutable(program);
}

QFrame *etchedLine(QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

QStringList systemInfoPrograms()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard")};
}

void setProgramLookup(std::function<QString(const QString &)> lookup)
{
    lookupSlot() = std::move(lookup);
}

frmAbout::frmAbout(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Kelvoscope"));
    setWindowIcon(programIcon());

    auto *background = new QLabel(this);
    background->setObjectName(QStringLiteral("picBackground"));
    background->setPixmap(productPicture());
    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(programIconPixmap(32));
    auto *title = new QLabel(QStringLiteral("Kelvoscope"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    title->setFont(big);
    auto *version = new QLabel(this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *description = new QLabel(this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto *disclaimer = new QLabel(this);
    disclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    disclaimer->setWordWrap(true);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(QStringLiteral("System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0);
    grid->addWidget(title, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(background, 2, 0, 1, 3);
    grid->addWidget(etchedLine(this), 3, 0, 1, 3);
    grid->addWidget(description, 4, 0, 1, 3);
    grid->addWidget(etchedLine(this), 5, 0, 1, 3);
    grid->addWidget(disclaimer, 6, 0, 1, 2);
    grid->addWidget(ok, 6, 2);
    grid->addWidget(sysInfo, 7, 2);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    LoadAboutTexts(this, languageIndex());
    grid->setSizeConstraint(QLayout::SetFixedSize); // a fixed-size box, fitted to its texts
}

void frmAbout::StartSysInfo()
{
    for (const QString &program : systemInfoPrograms()) {
        const QString path = lookupProgram(program);
        if (path.isEmpty())
            continue;
        if (QProcess::startDetached(path, {}))
            return;
        break; // found but would not start
    }
    ui().message(MsgIcon::None, QStringLiteral("Kelvoscope"), message(Msg::MsgSysInfoUnavailable), MsgButtons::Ok);
}

void frmAbout::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_F2) {
        ui().message(MsgIcon::None, QStringLiteral("Kelvoscope"), engineeringVersionMessage(), MsgButtons::Ok);
        e->accept();
        return;
    }
    // Esc and Enter close the box through OK.
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        accept();
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
