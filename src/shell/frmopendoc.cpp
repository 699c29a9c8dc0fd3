#include "shell/frmopendoc.h"

#include "app/appstate.h"
#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

#include <QStyle>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmOpenDoc::frmOpenDoc(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmOpenDoc"));
    // The frame of a dialog: a title and a close box, at a fixed size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Open Document"));
    app().shell.DialogOK = false;

    auto *frame = new QGroupBox(QStringLiteral("File Type"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *row = new QHBoxLayout(frame);
    static const char *const design[2] = {"Data Sheet", "Controller"};
    const QStyle::StandardPixmap pictures[2] = {QStyle::SP_FileDialogDetailedView, QStyle::SP_ComputerIcon};
    for (int i = 0; i < 2; ++i) {
        NewOption[i] = new QRadioButton(QString::fromLatin1(design[i]), frame);
        NewOption[i]->setObjectName(QStringLiteral("NewOption_%1").arg(i));
        NewOption[i]->setIcon(style()->standardIcon(pictures[i]));
        row->addWidget(NewOption[i]);
    }
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    NewOption[0]->setChecked(true);
    LoadOpenDocTexts(this, languageIndex());
}

void frmOpenDoc::cmdOK_Click()
{
    if (NewOption[0]->isChecked())
        app().shell.DocType = 1;
    else if (NewOption[1]->isChecked())
        app().shell.DocType = 2;
    app().shell.DialogOK = true;
    accept();
}
