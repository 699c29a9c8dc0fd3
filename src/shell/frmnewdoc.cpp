#include "shell/frmnewdoc.h"

#include "app/appstate.h"
#include "workspace/captionapply.h"
#include "texts/loadlanguage.h"

#include <QStyle>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmNewDoc::frmNewDoc(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmNewDoc"));
    // The frame of a dialog: a title and a close box, at a fixed size.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("New Document"));

    auto *frame = new QGroupBox(QStringLiteral("File Type"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(frame);
    static const char *const design[OptionCount] = {"Data Sheet", "Controller", "Waveform", "Measure",
                                                    "Wave Data", "Record ", "Memory Wave"};
    const QStyle::StandardPixmap pictures[OptionCount] = {
        QStyle::SP_FileDialogDetailedView, QStyle::SP_ComputerIcon, QStyle::SP_MediaPlay,
        QStyle::SP_FileDialogInfoView, QStyle::SP_FileDialogListView, QStyle::SP_MediaSeekForward,
        QStyle::SP_DriveHDIcon};
    for (int i = 0; i < OptionCount; ++i) {
        NewOption[i] = new QRadioButton(QString::fromLatin1(design[i]), frame);
        NewOption[i]->setObjectName(QStringLiteral("NewOption_%1").arg(i));
        NewOption[i]->setIcon(style()->standardIcon(pictures[i]));
        grid->addWidget(NewOption[i], i / 2, i % 2); // two columns; the last one alone
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
    LoadNewDocTexts(this, languageIndex());
}

void frmNewDoc::cmdOK_Click()
{
    for (int i = 0; i < OptionCount; ++i) {
        if (NewOption[i]->isChecked()) {
            app().shell.DocType = qint16(1 + i);
            break;
        }
    }
    app().shell.DialogOK = true;
    accept();
}
