#include "workspace/itemplacement.h"

#include "app/appstate.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

#include <algorithm>

namespace {

constexpr int kCascadeStep = 24;  // pixels between cascaded windows
constexpr int kCascadeSteps = 8;  // then the cascade starts again at the top left

// The frame's minimum follows its window's: captions set after the window
// opened (a language applied, a file's texts) may need more room than the
// window's first minimum gave.
class FrameMinimum final : public QObject {
public:
    FrameMinimum(QMdiSubWindow *sub, QWidget *window) : QObject(sub), sub_(sub), window_(window)
    {
        setObjectName(QStringLiteral("frameMinimum"));
        // A window with a layout hears of its own changes; a window without
        // one tells its frame when its minimum changes.
        window->installEventFilter(this);
        sub->installEventFilter(this);
    }
    static QSize frameOf(QMdiSubWindow *sub)
    {
        QMargins m = sub->contentsMargins();
        if (QLayout *l = sub->layout())
            m += l->contentsMargins();
        return QSize(m.left() + m.right(), m.top() + m.bottom());
    }
    static QSize minimumOf(QWidget *window)
    {
        return window->minimumSize().expandedTo(window->minimumSizeHint()).expandedTo(QSize(1, 1));
    }
    void apply()
    {
        if (!window_ || window_->parentWidget() != sub_)
            return; // the window has gone, or moved to another frame
        if (sub_->isMinimized())
            return; // its title bar alone; the minimum returns with the window
        const QSize wanted = minimumOf(window_) + frameOf(sub_);
        if (sub_->minimumSize() == wanted)
            return;
        sub_->setMinimumSize(wanted);
        if (sub_->width() < wanted.width() || sub_->height() < wanted.height())
            sub_->resize(sub_->size().expandedTo(wanted));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((watched == window_ || watched == sub_) && event->type() == QEvent::LayoutRequest)
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    QMdiSubWindow *sub_;
    QPointer<QWidget> window_;
};

// The frame of an item window. Qt writes the texts of a frame's system menu
// (Restore, Move, Size, ...) once, when the frame is made; on a language
// switch the frame takes them again from a frame made under the new
// translations.
class ItemFrame final : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void changeEvent(QEvent *event) override
    {
        // Minimised, the frame shrinks to its title bar, which the window's
        // minimum would otherwise hold open below it; restored, the minimum
        // comes back.
        const bool stateChange = event->type() == QEvent::WindowStateChange;
        if (stateChange && isMinimized())
            setMinimumSize(0, 0);
        QMdiSubWindow::changeEvent(event);
        if (stateChange && !isMinimized())
            if (auto *m = findChild<FrameMinimum *>(QStringLiteral("frameMinimum"), Qt::FindDirectChildrenOnly))
                m->apply();
        if (event->type() == QEvent::LanguageChange)
            retitleSystemMenu();
    }

private:
    void retitleSystemMenu()
    {
        QMenu *menu = systemMenu();
        if (!menu)
            return;
        QMdiSubWindow fresh;
        const QList<QAction *> now = fresh.systemMenu() ? fresh.systemMenu()->actions() : QList<QAction *>();
        const QList<QAction *> mine = menu->actions();
        if (now.size() != mine.size())
            return;
        for (qsizetype i = 0; i < mine.size(); ++i)
            mine[i]->setText(now[i]->text());
    }
};

// Shares total among windows of the given minimums: each gets its minimum,
// and those whose minimum is below an equal share get that share of what the
// larger ones leave. When the minimums add up to more than total, each gets
// its minimum.
QList<int> shareLength(const QList<int> &minimums, int total)
{
    const qsizetype n = minimums.size();
    QList<int> out(minimums);
    QList<qsizetype> order(n);
    for (qsizetype i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return minimums[a] > minimums[b]; });
    int left = total;
    qsizetype count = n;
    qsizetype k = 0;
    // The largest minimums above an equal share of what remains keep them.
    for (; k < n && count > 0; ++k) {
        const int m = minimums[order[k]];
        if (qint64(m) * count <= left)
            break;
        left -= m;
        --count;
    }
    if (count == 0 || left <= 0)
        return out;
    // The rest share what remains; the odd pixels go to the first of them.
    QList<qsizetype> rest(order.begin() + k, order.end());
    std::sort(rest.begin(), rest.end());
    const int each = left / int(count);
    int odd = left % int(count);
    for (qsizetype i : rest) {
        out[i] = each + (odd > 0 ? 1 : 0);
        if (odd > 0)
            --odd;
    }
    return out;
}

} // namespace

QList<QRect> tiledRects(const QList<QSize> &minimums, const QRect &area, bool sideBySide)
{
    const int n = int(minimums.size());
    QList<QRect> out;
    if (n == 0)
        return out;
    // "along" runs across a line of windows, "across" from line to line.
    auto along = [sideBySide](QSize s) { return sideBySide ? s.width() : s.height(); };
    auto across = [sideBySide](QSize s) { return sideBySide ? s.height() : s.width(); };
    const int areaAlong = along(area.size());
    const int areaAcross = across(area.size());

    // The fewest lines that hold the windows whole; failing that, one line.
    int perLine = n;
    for (int lines = 1; lines <= n; ++lines) {
        const int per = (n + lines - 1) / lines;
        const int used = (n + per - 1) / per;
        bool fits = true;
        for (int line = 0; line < used && fits; ++line) {
            const int extent = areaAcross / used + (line < areaAcross % used ? 1 : 0);
            qint64 sum = 0;
            for (int i = line * per; i < std::min(n, (line + 1) * per); ++i) {
                sum += along(minimums[i]);
                fits = fits && across(minimums[i]) <= extent;
            }
            fits = fits && sum <= areaAlong;
        }
        if (fits) {
            perLine = per;
            break;
        }
    }

    const int used = (n + perLine - 1) / perLine;
    int acrossAt = 0;
    for (int line = 0; line < used; ++line) {
        const int extent = areaAcross / used + (line < areaAcross % used ? 1 : 0);
        const int first = line * perLine;
        const int last = std::min(n, first + perLine);
        QList<int> mins;
        for (int i = first; i < last; ++i)
            mins << along(minimums[i]);
        const QList<int> lengths = shareLength(mins, areaAlong);
        int alongAt = 0;
        int lineExtent = extent;
        for (int i = first; i < last; ++i) {
            const int length = lengths[i - first];
            const int height = std::max(extent, across(minimums[i]));
            lineExtent = std::max(lineExtent, height);
            out << (sideBySide ? QRect(area.left() + alongAt, area.top() + acrossAt, length, height)
                               : QRect(area.left() + acrossAt, area.top() + alongAt, height, length));
            alongAt += length;
        }
        acrossAt += lineExtent;
    }
    return out;
}

QRect itemWindowRect(QSize want, QSize minimum, const QRect &area, int others)
{
    const QSize size(std::max(minimum.width(), std::min(want.width(), area.width())),
                     std::max(minimum.height(), std::min(want.height(), area.height())));
    const int step = (std::max(others, 0) % kCascadeSteps) * kCascadeStep;
    // Moved back in where it would stick out; the top left stays inside when
    // even the minimum is larger than the area.
    const int x = std::max(area.left(), std::min(area.left() + step, area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(area.top() + step, area.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

void placeNewItemWindow(QWidget *window)
{
    auto *sub = window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
    QMdiArea *area = sub ? sub->mdiArea() : nullptr;
    if (!area)
        return;
    // The frame around the window: title bar and borders (the sub-window's
    // margins), and what its layout adds.
    const QSize frame = FrameMinimum::frameOf(sub);
    const QSize minimum = FrameMinimum::minimumOf(window);
    const QSize design = window->sizeHint().expandedTo(minimum);
    sub->setMinimumSize(minimum + frame);
    if (!sub->findChild<QObject *>(QStringLiteral("frameMinimum"), Qt::FindDirectChildrenOnly))
        new FrameMinimum(sub, window);
    int others = 0;
    for (QMdiSubWindow *w : area->subWindowList())
        others += w != sub && w->isVisible() && !w->isMinimized();
    if (sub->isMaximized() || sub->isMinimized())
        sub->showNormal();
    sub->setGeometry(itemWindowRect(design + frame, minimum + frame, area->viewport()->rect(), others));
}

QWidget *itemFrame(QWidget *window)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        return sub;
    return window;
}

void addToItemArea(QWidget *window, bool deleteFrameOnClose)
{
    // The item area is the main window's central widget.
    auto *main = qobject_cast<QMainWindow *>(app().shell.MainForm.data());
    auto *area = main ? qobject_cast<QMdiArea *>(main->centralWidget()) : nullptr;
    if (!area)
        return;
    auto *sub = new ItemFrame;
    sub->setAttribute(Qt::WA_DeleteOnClose, deleteFrameOnClose);
    sub->setWidget(window);
    area->addSubWindow(sub);
}

void showItemWindow(QWidget *window)
{
    QWidget *frame = itemFrame(window);
    frame->show();
    window->show();
    frame->raise();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame))
        if (sub->mdiArea())
            sub->mdiArea()->setActiveSubWindow(sub);
}
