#pragma once
// Looks over a window as the user sees it: every shown control must show its
// caption and its value whole (not cut by its own frame, not elided, no tab
// behind scroll arrows), lie inside the window or inside a scroll area that
// reaches it, and stand apart from its neighbours. Each finding is a line of
// text naming the control, so that a failing test says what is wrong.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <functional>

namespace fitcheck {

inline QString nameOf(const QWidget *w)
{
    QString n = w->objectName();
    if (n.isEmpty())
        n = QString::fromLatin1(w->metaObject()->className());
    return n;
}

// The caption as drawn: access-key marks taken out.
inline QString plain(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QChar(1), QLatin1Char('&'));
    return text;
}

inline int widestLine(const QFontMetrics &fm, const QString &text)
{
    int w = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        w = qMax(w, fm.horizontalAdvance(line));
    return w;
}

// Whether w and every frame up to top show it (a hidden child of a shown
// frame does not count).
inline bool shown(const QWidget *w, const QWidget *top)
{
    return w->isVisibleTo(top) && !w->size().isEmpty();
}

// The inside of a scroll area that w lies in, below top; null when none.
inline const QAbstractScrollArea *scrollAreaOf(const QWidget *w, const QWidget *top)
{
    for (const QWidget *p = w->parentWidget(); p && p != top; p = p->parentWidget())
        if (auto *a = qobject_cast<const QAbstractScrollArea *>(p))
            return a;
    return nullptr;
}

// Captions and values cut or elided by the control's own size.
inline QStringList clippedTexts(QWidget *top)
{
    QStringList found;
    const auto report = [&found](const QWidget *w, const QString &what, int need, int have) {
        found << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(nameOf(w), what).arg(need).arg(have);
    };
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (!shown(w, top))
            continue;
        const QFontMetrics fm(w->font());
        if (auto *l = qobject_cast<QLabel *>(w)) {
            if (l->text().isEmpty() || l->wordWrap() || l->textFormat() == Qt::RichText)
                continue;
            const QString t = l->hasSelectedText() ? l->text() : plain(l->text());
            const QRect inside = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            const int need = widestLine(fm, t);
            if (need > inside.width())
                report(l, t, need, inside.width());
            const int lines = int(t.count(QLatin1Char('\n'))) + 1;
            // The glyphs, not the line's leading, must fit.
            const int tall = fm.ascent() + fm.descent() - 2 + (lines - 1) * fm.lineSpacing();
            if (tall > inside.height())
                report(l, t + QStringLiteral(" (height)"), tall, inside.height());
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            if (g->title().isEmpty())
                continue;
            const int need = fm.horizontalAdvance(plain(g->title())) + 8;
            if (need > g->width())
                report(g, plain(g->title()), need, g->width());
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox opt;
            opt.initFrom(c);
            opt.editable = c->isEditable();
            opt.frame = c->hasFrame();
            const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
            const QString t = c->currentText();
            const int need = fm.horizontalAdvance(t) + (c->isEditable() ? 4 : 0);
            if (!t.isEmpty() && need > field.width())
                report(c, t, need, field.width());
        } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
            if (e->text().isEmpty() || (!e->isReadOnly() && e->hasFocus()))
                continue;
            const int need = fm.horizontalAdvance(e->text()) + 6;
            if (need > e->width())
                report(e, e->text(), need, e->width());
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            if (b->text().isEmpty() || qobject_cast<QTabBar *>(b->parentWidget()))
                continue;
            const QString t = plain(b->text());
            int need = 0;
            if (qobject_cast<QCheckBox *>(b) || qobject_cast<QRadioButton *>(b)) {
                need = b->sizeHint().width();
            } else if (auto *tb = qobject_cast<QToolButton *>(b)) {
                if (tb->toolButtonStyle() == Qt::ToolButtonIconOnly)
                    continue;
                need = fm.horizontalAdvance(t) + 4;
                if (tb->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !tb->icon().isNull())
                    need += tb->iconSize().width() + 4;
            } else {
                need = fm.horizontalAdvance(t) + 8;
                if (!b->icon().isNull())
                    need += b->iconSize().width() + 4;
            }
            if (need > b->width())
                report(b, t, need, b->width());
            const int tall = fm.ascent() + fm.descent() - 2;
            if (tall > b->height())
                report(b, t + QStringLiteral(" (height)"), tall, b->height());
        } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (QToolButton *arrow : tabs->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly))
                if (arrow->isVisibleTo(top))
                    found << QStringLiteral("%1: tabs behind scroll arrows").arg(nameOf(tabs));
            for (int i = 0; i < tabs->count(); ++i) {
                const int need = fm.horizontalAdvance(plain(tabs->tabText(i)));
                if (need > tabs->tabRect(i).width())
                    report(tabs, plain(tabs->tabText(i)), need, tabs->tabRect(i).width());
            }
        } else if (auto *view = qobject_cast<QAbstractItemView *>(w)) {
            QHeaderView *header = nullptr;
            if (auto *tree = qobject_cast<QTreeView *>(view))
                header = tree->header();
            else if (auto *table = qobject_cast<QTableView *>(view))
                header = table->horizontalHeader();
            if (!header || !view->model())
                continue;
            for (int col = 0; col < header->count(); ++col) {
                if (header->isSectionHidden(col))
                    continue;
                const int have = header->sectionSize(col);
                const QString caption = view->model()->headerData(col, Qt::Horizontal).toString();
                if (header->isVisible() && !caption.isEmpty()) {
                    const int need = QFontMetrics(header->font()).horizontalAdvance(caption) + 8;
                    if (need > have)
                        report(view, caption, need, have);
                }
                const int need = view->sizeHintForColumn(col);
                if (need > have)
                    report(view, QStringLiteral("column %1").arg(col), need, have);
            }
        }
    }
    return found;
}

// Controls that lie outside the window, or outside a frame of theirs, where
// no scroll bar can bring them into view. scrolled(child, frame) names
// pictures that their window scrolls inside a frame by scroll bars of its own.
inline QStringList outOfReach(QWidget *top, const std::function<bool(QWidget *, QWidget *)> &scrolled = {})
{
    QStringList found;
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (!shown(w, top) || w->isWindow())
            continue;
        QWidget *p = w->parentWidget();
        if (!p || qobject_cast<QAbstractScrollArea *>(p))
            continue;
        // The inside of a scroll area: it may be larger than its view when
        // the scroll bars reach all of it.
        if (auto *area = qobject_cast<QAbstractScrollArea *>(p->parentWidget()); area && p == area->viewport()) {
            if (auto *sa = qobject_cast<QScrollArea *>(area); sa && sa->widget() == w) {
                const QSize view = p->size();
                const int hMax = sa->horizontalScrollBar()->isVisibleTo(top) ? sa->horizontalScrollBar()->maximum() : 0;
                const int vMax = sa->verticalScrollBar()->isVisibleTo(top) ? sa->verticalScrollBar()->maximum() : 0;
                if (w->width() > view.width() + hMax || w->height() > view.height() + vMax)
                    found << QStringLiteral("%1: %2x%3 in a view of %4x%5 scrolling %6,%7")
                                 .arg(nameOf(w)).arg(w->width()).arg(w->height())
                                 .arg(view.width()).arg(view.height()).arg(hMax).arg(vMax);
            }
            continue;
        }
        if (scrollAreaOf(w, top) && qobject_cast<QAbstractScrollArea *>(p->parentWidget()))
            continue;
        if (!p->rect().contains(w->geometry()) && !(scrolled && scrolled(w, p)))
            found << QStringLiteral("%1 at %2,%3 %4x%5 outside %6 %7x%8")
                         .arg(nameOf(w)).arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())
                         .arg(nameOf(p)).arg(p->width()).arg(p->height());
    }
    return found;
}

// Pairs of shown controls that overlap, among the children of the window and
// of every frame inside it (the insides of lists excluded). Rectangles that
// share no more than a 2-pixel strip (frames whose borders adjoin) stand
// apart. allowed(a, b) names pairs drawn one over the other on purpose.
inline QStringList overlaps(QWidget *top, const std::function<bool(QWidget *, QWidget *)> &allowed = {})
{
    QStringList found;
    QList<QWidget *> parents{top};
    for (QWidget *d : top->findChildren<QWidget *>())
        if (shown(d, top) && !qobject_cast<QAbstractScrollArea *>(d)
            && !qobject_cast<QAbstractScrollArea *>(d->parentWidget())
            && !qobject_cast<QAbstractButton *>(d) && !qobject_cast<QComboBox *>(d) && !qobject_cast<QTabBar *>(d))
            parents << d;
    for (QWidget *p : parents) {
        QList<QWidget *> kids;
        for (QWidget *k : p->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (shown(k, top) && !k->isWindow())
                kids << k;
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                if (const QRect in = kids[i]->geometry().intersected(kids[j]->geometry());
                    in.width() > 2 && in.height() > 2 && !(allowed && allowed(kids[i], kids[j]))
                    && !(allowed && allowed(kids[j], kids[i])))
                    found << nameOf(kids[i]) + QLatin1Char('/') + nameOf(kids[j]);
    }
    return found;
}

// Everything above, each finding prefixed with where; allowed serves both
// the overlaps and the scrolled pictures.
inline QStringList findings(QWidget *top, const QString &where,
                            const std::function<bool(QWidget *, QWidget *)> &allowed = {})
{
    QStringList all = clippedTexts(top) + outOfReach(top, allowed) + overlaps(top, allowed);
    for (QString &s : all)
        s.prepend(where + QStringLiteral(": "));
    return all;
}

} // namespace fitcheck
