#include "platform/ui/savepath.h"

#include <QFileInfo>
#include <QRegularExpression>

QString FilterSuffix(const QString &filter)
{
    // The patterns are in the last parentheses, or the whole filter when it
    // has none.
    QString patterns = filter;
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open >= 0 && close > open)
        patterns = filter.mid(open + 1, close - open - 1);
    const QString first = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    static const QRegularExpression plain(QStringLiteral("^\\*\\.([^*?\\[\\]./\\\\]+)$"));
    const QRegularExpressionMatch m = plain.match(first);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString PathWithSuffix(const QString &path, const QString &suffix)
{
    // The save dialog adds its default suffix by this same rule, and asks
    // before replacing the file it names: a name with a dot anywhere ("a.",
    // ".a", "a.b.") is kept as typed, so the file written is the one the
    // dialog confirmed.
    if (suffix.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

QString ChosenSavePath(const FileDialogResult &answer)
{
    return PathWithSuffix(answer.path, FilterSuffix(answer.selectedFilter));
}
