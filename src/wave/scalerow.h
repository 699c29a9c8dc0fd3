#pragma once
// One row of scale texts under a graticule (volts/div, time/div, delay ...),
// laid out so that no two texts run into each other: each text stands at its
// own place, or further right when the text before it needs the room; a gap
// stays between neighbours. When the row does not fit the picture, the least
// important texts give way: a text that still finds room is shortened with an
// ellipsis, one that does not is left out.

#include <QList>
#include <QString>

#include <functional>

struct ScaleRowText {
    QString text;
    double x = 0;      // its place: the left edge
    int rank = 0;      // 0 is the most important; higher ranks give way first
    bool bold = false;
};

struct ScaleRowPlace {
    QString text; // as drawn (shortened with "…"); empty when left out
    double x = 0;
};

// The width in pixels of text in the picture's regular or bold type.
using ScaleTextWidth = std::function<double(const QString &text, bool bold)>;

// The smallest room left between two scale texts, in pixels.
inline constexpr double ScaleTextGap = 6;

// The places of texts, in the order given, within [0, right). A text keeps
// its place unless the text before it (with the gap) reaches past it.
QList<ScaleRowPlace> LayOutScaleRow(const QList<ScaleRowText> &texts, double right, const ScaleTextWidth &width,
                                    double gap = ScaleTextGap);

// text shortened with "…" to fit width pixels, keeping at least four
// characters; empty when even that does not fit. text itself when it fits.
QString ElideScaleText(const QString &text, double width, bool bold, const ScaleTextWidth &measure);
