#pragma once
// The controller tree as other code reaches it: rebuilding it from the
// settings, keeping its open branches across a rebuild, and reading or
// rewriting one node through its id (group, item) (controller/ctrltreenodefunc.h).
//
// All of these act on the tree of the controller pane; while no pane exists
// they do nothing (the pane builds its tree when it loads), reads give empty
// texts and false. An id whose node the last build did not make holds no node:
// writes through it do nothing.
//
// Ids (14,15) and (14,16) are Time Base CH2's Time/Div and Delay under the
// alternate trigger and LA Channel's D5 and D4 otherwise. LA channel nodes are
// always reachable through LaChannelNodeText / SetLaChannelNodeText, so an LA
// edit never rewrites a time-base node.

#include <QString>

// Empties the tree and fills it again from app().Settings in the current
// language; afterwards only the root is open.
void BuildCtrlTree();
// Stores the open or closed state of the nodes that can have children in
// app().ctrl.CtrlTreeExpanded; a node the tree does not hold keeps its flag.
void SaveCtrlTreeExpanded();
// Gives those nodes their stored states again; missing nodes are skipped.
void RestoreCtrlTreeExpanded();
// Save, build, restore: the rebuild that keeps the user's open branches (the
// language switch and an accepted edit use it).
void RebuildCtrlTreeKeepingExpanded();

bool HasCtrlNode(int group, int item);
QString CtrlNodeText(int group, int item);
void SetCtrlNodeText(int group, int item, const QString &text);
// Rewrites a setting node by the text rule: label, " [", value, "]".
void SetCtrlNodeSetting(int group, int item, const QString &label, const QString &value);
bool CtrlNodeExpanded(int group, int item);
void SetCtrlNodeExpanded(int group, int item, bool expanded);

// The root node (the model name).
QString CtrlTreeRootText();
bool CtrlTreeRootExpanded();
void SetCtrlTreeRootExpanded(bool expanded);

// LA Channel's node of channel D<n>, n 0..15.
bool HasLaChannelNode(int n);
QString LaChannelNodeText(int n);
void SetLaChannelNodeText(int n, const QString &text);

