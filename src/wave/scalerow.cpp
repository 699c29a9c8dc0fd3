#include "wave/scalerow.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

namespace {

constexpr qsizetype MinimumKept = 4; // characters an elided text keeps

} // namespace

QString ElideScaleText(const QString &text, double width, bool bold, const ScaleTextWidth &measure)
{
    if (measure(text, bold) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    for (qsizetype n = text.size() - 1; n >= MinimumKept; --n) {
        const QString t = text.left(n) + ellipsis;
        if (measure(t, bold) <= width)
            return t;
    }
    return QString();
}

QList<ScaleRowPlace> LayOutScaleRow(const QList<ScaleRowText> &texts, double right, const ScaleTextWidth &width,
                                    double gap)
{
    const qsizetype n = texts.size();
    std::vector<qsizetype> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&texts](qsizetype a, qsizetype b) { return texts[a].x < texts[b].x; });
    std::vector<bool> kept(static_cast<size_t>(n), true);
    std::vector<double> pos(static_cast<size_t>(n), 0.0);
    QStringList shown;
    for (const ScaleRowText &t : texts)
        shown << t.text;

    // Places the kept texts left to right; the right end of the last one.
    const auto place = [&]() {
        double end = -std::numeric_limits<double>::infinity();
        for (qsizetype i : order) {
            if (!kept[size_t(i)])
                continue;
            pos[size_t(i)] = std::max(texts[i].x, end + gap);
            end = pos[size_t(i)] + width(shown[i], texts[i].bold);
        }
        return end;
    };
    const auto keptCount = [&] { return std::count(kept.begin(), kept.end(), true); };

    // The least important texts give way until the row fits.
    while (keptCount() > 0 && place() > right) {
        qsizetype weakest = -1;
        for (qsizetype i : order) // among equal ranks the rightmost gives way
            if (kept[size_t(i)] && (weakest < 0 || texts[i].rank >= texts[weakest].rank))
                weakest = i;
        if (keptCount() == 1) {
            shown[weakest] = ElideScaleText(texts[weakest].text, right - pos[size_t(weakest)],
                                            texts[weakest].bold, width);
            kept[size_t(weakest)] = !shown[weakest].isEmpty();
            break;
        }
        kept[size_t(weakest)] = false;
    }
    place();

    // A text that gave way comes back shortened where the room allows it,
    // the most important first; the kept texts do not move for it.
    std::vector<qsizetype> dropped;
    for (qsizetype i = 0; i < n; ++i)
        if (!kept[size_t(i)])
            dropped.push_back(i);
    std::stable_sort(dropped.begin(), dropped.end(),
                     [&texts](qsizetype a, qsizetype b) { return texts[a].rank < texts[b].rank; });
    for (qsizetype j : dropped) {
        const auto at = std::find(order.begin(), order.end(), j);
        double left = texts[j].x;
        for (auto it = at; it != order.begin();) {
            --it;
            if (kept[size_t(*it)]) {
                left = std::max(left, pos[size_t(*it)] + width(shown[*it], texts[*it].bold) + gap);
                break;
            }
        }
        double limit = right;
        for (auto it = at + 1; it != order.end(); ++it) {
            if (kept[size_t(*it)]) {
                limit = pos[size_t(*it)] - gap;
                break;
            }
        }
        const QString t = ElideScaleText(texts[j].text, limit - left, texts[j].bold, width);
        if (t.isEmpty())
            continue;
        shown[j] = t;
        kept[size_t(j)] = true;
        pos[size_t(j)] = left;
    }

    QList<ScaleRowPlace> out;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        out.append(kept[size_t(i)] ? ScaleRowPlace{shown[i], pos[size_t(i)]} : ScaleRowPlace{QString(), texts[i].x});
    return out;
}
