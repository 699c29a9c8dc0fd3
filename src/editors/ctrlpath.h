#pragma once
// A controller tree node's full path taken apart: the node texts from the
// root down, joined by "\", as "QM4100D\CH1\Coupling [DC]" or
// "QM4100D\LA\Channel\D15-D8 [ON]". Pure text work: the parts are cut by
// position and compared with nothing.

#include <QString>

struct CtrlPathParts {
    // The second level (the group node's text).
    QString group;
    // The third level up to " [": the node's own label directly below a group,
    // the sub-group's label below a sub-group.
    QString first;
    // The fourth level up to " ["; a single blank when the path has no fourth
    // level.
    QString second = QStringLiteral(" ");
    // The text after the first "[" of the last level, less its last character.
    QString value;
};

// Splits path. A path without "\" is taken whole as the group and the first
// label (the root node: nothing matches it); the empty path gives empty parts.
CtrlPathParts SplitCtrlPath(const QString &path);
