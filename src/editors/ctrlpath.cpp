#include "editors/ctrlpath.h"

namespace {

// The characters of text before the "[" at index bracket, less the last one
// (the blank of " ["). Empty when nothing is left.
QString beforeBracket(const QString &text, qsizetype bracket)
{
    return bracket >= 1 ? text.left(bracket - 1) : QString();
}

} // namespace

CtrlPathParts SplitCtrlPath(const QString &path)
{
    CtrlPathParts parts;
    QString rest = path;

    // The root level goes.
    qsizetype p = rest.indexOf(u'\\');
    if (p >= 0)
        rest.remove(0, p + 1);

    // The group.
    p = rest.indexOf(u'\\');
    parts.group = p >= 0 ? rest.left(p) : rest;
    if (p >= 0)
        rest.remove(0, p + 1);

    // The first and the second label.
    qsizetype bracket = -1;
    p = rest.indexOf(u'\\');
    if (p >= 0) {
        parts.first = rest.left(p);
        rest.remove(0, p + 1);
        bracket = rest.indexOf(u'[');
        parts.second = bracket >= 0 ? beforeBracket(rest, bracket) : rest;
    } else {
        bracket = rest.indexOf(u'[');
        parts.first = bracket >= 0 ? beforeBracket(rest, bracket) : rest;
    }

    // The value: after the first "[", without the last character (the "]").
    if (bracket >= 0)
        rest.remove(0, bracket + 1);
    if (!rest.isEmpty())
        parts.value = rest.left(rest.size() - 1);
    return parts;
}
