#include "link/dlgresource.h"

#include "app/appstate.h"
#include "link/resourcechooser.h"
#include "platform/visa/visabackend.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {
// Twips of the layout at 15 twips per pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
} // namespace

DlgResource::DlgResource(QWidget *parent)
    : QDialog(parent), prompt_(new QLabel(this)), list_(new QListWidget(this)), ok_(new QPushButton(this)),
      cancel_(new QPushButton(this))
{
    setObjectName(QStringLiteral("DlgResource"));
    prompt_->setObjectName(QStringLiteral("lstRsource"));
    list_->setObjectName(QStringLiteral("cmbResource"));
    ok_->setObjectName(QStringLiteral("OKButton"));
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    setFixedSize(5580 / 15, 3195 / 15);
    prompt_->setGeometry(twips(240, 240, 3615, 255));
    list_->setGeometry(twips(240, 600, 5175, 1815));
    ok_->setGeometry(twips(1080, 2640, 1215, 375));
    cancel_->setGeometry(twips(2880, 2640, 1215, 375));
    ok_->setDefault(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ok_, &QPushButton::clicked, this, &DlgResource::onOk);
    connect(cancel_, &QPushButton::clicked, this, &DlgResource::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &DlgResource::onDoubleClick);
    LoadDlgResource(app().texts.LanguageIndex);
}

namespace {
// The resource an entry stands for (its first line).
QString resourceOf(const QListWidgetItem *item)
{
    return item->data(Qt::UserRole).toString();
}
} // namespace

void DlgResource::setResources(const QStringList &names)
{
    list_->clear();
    for (const QString &name : names) {
        // The identity the search knows, on a second line, so that the
        // instrument can be told from the other devices.
        const QString identity = visaResourceIdentity(name);
        auto *item = new QListWidgetItem(identity.isEmpty() ? name : name + QLatin1Char('\n') + identity, list_);
        item->setData(Qt::UserRole, name);
        item->setToolTip(item->text());
    }
    list_->setCurrentRow(-1);
    list_->clearSelection();
}

void DlgResource::LoadDlgResource(int lang)
{
    if (lang == 0) {
        setWindowTitle(QStringLiteral("当前系统中的资源"));
        prompt_->setText(QStringLiteral("选择设备资源"));
        ok_->setText(QStringLiteral("确定"));
        cancel_->setText(QStringLiteral("取消"));
    } else if (lang == 1) {
        setWindowTitle(QStringLiteral("Resource "));
        prompt_->setText(QStringLiteral("Choose a resource"));
        ok_->setText(QStringLiteral("OK"));
        cancel_->setText(QStringLiteral("Cancel"));
    }
}

void DlgResource::onOk()
{
    const QList<QListWidgetItem *> selected = list_->selectedItems();
    chooserAccepted(selected.isEmpty() ? QString() : resourceOf(selected.first()));
    done(QDialog::Accepted);
}

void DlgResource::onDoubleClick(QListWidgetItem *item)
{
    // The entry double-clicked is the one chosen.
    if (!item) {
        onOk();
        return;
    }
    list_->setCurrentItem(item);
    chooserAccepted(resourceOf(item));
    done(QDialog::Accepted);
}

void DlgResource::reject()
{
    chooserCancelled();
    QDialog::reject();
}

void DlgResource::showModal(const QStringList &names)
{
    DlgResource dlg;
    dlg.setResources(names);
    dlg.exec();
}
