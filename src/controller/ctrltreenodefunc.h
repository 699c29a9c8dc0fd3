#pragma once
// The controller tree's shape: which nodes the settings give, in which order,
// with which texts, pictures and ids. Pure logic: CtrlTreeLayout() lists the
// nodes and the tree control (controller/ctrltree.h) makes them.
//
// Node id (group, item), both 0..31. Groups 1..8 are the top-level groups, item
// 0 of each the group node itself. A sub-group node stored at (g, s) keeps its
// children at (s, item). Inside the Trigger group every trigger method numbers
// its own items.
//
// Text rule: a setting node reads label + " [" + value + "]"; the root, group,
// sub-group and action nodes and "Virtual Panel" carry the bare label. Labels
// and the words the settings are compared with are those of the language in
// force (texts/stringres.h); values are shown exactly as the record holds them.
//
// Ids (14,15) and (14,16) are both LA Channel's D5 and D4 and, under the
// alternate trigger, Time Base CH2's Time/Div and Delay. The id table keeps the
// later of the two (the Time Base items); the LA channel nodes are also listed
// by channel (laChannel), so each can be reached on its own.

#include "common/ctrlsettings.h"

#include <QString>

#include <array>
#include <vector>

inline constexpr int CtrlTreeIdRange = 32;

// Node pictures of the tree's image list.
enum CtrlPicture : int {
    PicRoot = 1,     // hammer and screwdriver
    PicGroup = 2,    // cyan diamond
    PicItem = 3,     // green square: items, sub-groups, Clear, trigger code bits
    PicAction = 4,   // blue star: Auto Set, Set Trig to 50%, Force Trigger, LA Reset
    PicKeyboard = 6, // Virtual Panel
    PicSubItem = 8,  // blue ball: children of a sub-group
};

struct CtrlNodeId {
    int group = -1;
    int item = -1;
    bool valid() const { return group >= 0 && item >= 0; }
    friend bool operator==(const CtrlNodeId &, const CtrlNodeId &) = default;
};

struct CtrlNodeSpec {
    int parent = -1;   // index of the parent in the list; -1 for the root
    QString text;
    int picture = 0;
    CtrlNodeId id;     // invalid for the root and Virtual Panel
    int laChannel = -1; // 0..15: the LA Channel node of D<n>
};

// Every node of the tree for settings, parents before children, siblings in
// screen order. laPresent: the instrument has the digital channels.
std::vector<CtrlNodeSpec> CtrlTreeLayout(const CtrlSettings &settings, bool laPresent);

// The nodes whose open or closed state a rebuild keeps, by CtrlTreeExpanded
// index; the root is index 0 and has no id (invalid id).
const std::array<CtrlNodeId, 17> &CtrlTreeExpandedNodes();

// The nodes Expand All opens, in order; the root first (invalid id).
const std::vector<CtrlNodeId> &CtrlTreeExpandAllNodes();

// A setting node's text: label, " [", value, "]".
QString CtrlSettingText(const QString &label, const QString &value);

// True when the trigger source of the current method is a digital channel: the
// method is EDGE with an EDGE source beginning with "D", or PULSE with a PULSE
// source beginning with "D". Such a trigger has no Coupling, Level or
// Sensitivity node.
bool CtrlTriggerSourceIsDigital(const CtrlSettings &settings);
