#include "workspace/captionapply.h"

#include "app/appstate.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

namespace {

QObject *findNamed(QWidget *window, const QString &name)
{
    if (window->objectName() == name)
        return window;
    return window->findChild<QObject *>(name);
}

void setToolTip(QObject *obj, const QString &text)
{
    if (auto *a = qobject_cast<QAction *>(obj))
        a->setToolTip(text);
    else if (auto *w = qobject_cast<QWidget *>(obj))
        w->setToolTip(text);
}

} // namespace

void setCaption(QObject *obj, const QString &text)
{
    if (auto *m = qobject_cast<QMenu *>(obj))
        m->setTitle(text);
    else if (auto *a = qobject_cast<QAction *>(obj))
        a->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(obj))
        g->setTitle(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(obj))
        b->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(obj))
        l->setText(text);
}

void applyCaptions(QWidget *window, std::span<const CaptionRow> rows, int lang)
{
    if (!window || (lang != 0 && lang != 1))
        return;
    for (const CaptionRow &row : rows) {
        const QString text = captionText(row, lang);
        switch (row.target) {
        case CaptionTarget::WindowTitle:
            window->setWindowTitle(text);
            break;
        case CaptionTarget::Caption:
            if (QObject *o = findNamed(window, captionObjectName(row)))
                setCaption(o, text);
            break;
        case CaptionTarget::ToolTip:
            if (QObject *o = findNamed(window, captionObjectName(row)))
                setToolTip(o, text);
            break;
        case CaptionTarget::TabText:
            if (auto *t = qobject_cast<QTabWidget *>(findNamed(window, captionObjectName(row))))
                if (row.index >= 1 && row.index <= t->count())
                    t->setTabText(row.index - 1, text);
            break;
        case CaptionTarget::TreeNode:
            if (auto *t = qobject_cast<QTreeWidget *>(findNamed(window, captionObjectName(row))))
                if (row.index >= 1 && row.index <= t->topLevelItemCount())
                    t->topLevelItem(row.index - 1)->setText(0, text);
            break;
        case CaptionTarget::ToolbarTip:
            if (auto *t = qobject_cast<QToolBar *>(findNamed(window, captionObjectName(row)))) {
                const auto actions = t->actions();
                if (row.index >= 1 && row.index <= actions.size() && !actions[row.index - 1]->isSeparator())
                    actions[row.index - 1]->setToolTip(text);
            }
            break;
        }
    }
}

void LoadNewDocTexts(QWidget *w, int lang) { applyCaptions(w, newDocCaptions(), lang); }
void LoadOpenDocTexts(QWidget *w, int lang) { applyCaptions(w, openDocCaptions(), lang); }

void LoadOptionsTexts(QWidget *w, int lang)
{
    if (!w || (lang != 0 && lang != 1))
        return;
    applyCaptions(w, optionsCaptions(), lang);
    for (const CaptionRow &row : optionsCaptions())
        if (QLatin1String(row.control) == QLatin1String("labCurDevice"))
            if (QObject *o = w->findChild<QObject *>(QStringLiteral("labCurDevice")))
                setCaption(o, captionText(row, lang) + app().link.ResourceName);
}

void LoadVirtualPanelTexts(QWidget *w, int lang) { applyCaptions(w, virtualPanelCaptions(), lang); }
void LoadVirtualKeyTexts(QWidget *w, int lang) { applyCaptions(w, virtualKeyCaptions(), lang); }
void LoadAdjustTexts(QWidget *w, int lang) { applyCaptions(w, adjustCaptions(), lang); }
void LoadPassFailTexts(QWidget *w, int lang) { applyCaptions(w, passFailCaptions(), lang); }
void LoadSplashTexts(QWidget *w, int lang) { applyCaptions(w, splashCaptions(), lang); }
void LoadAboutTexts(QWidget *w, int lang) { applyCaptions(w, aboutCaptions(), lang); }
