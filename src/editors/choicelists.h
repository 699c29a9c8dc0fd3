#pragma once
// The choice-list fillers of the setting dialog: the entries of the lists that
// depend on the instrument's state or are too many to write out. Each appends
// to entries and never clears it.
//
// The level and sensitivity entries are built from whole hundredths of a
// division, so every entry is exact: "6.00div" .. "0.00div" .. "-6.00div"
// (never "-0.00div"), which the stored default "0.00div" selects.

#include <QString>
#include <QStringList>

// The time/div steps the instrument offers in the time-base format reply
// formatReply (cut at its line feed, not trimmed): for "Y-T" and "SCANNING"
// the fast steps of the bandwidth class (0 none, 1 "10.00ns", 2 from
// "5.000ns", 3 from "2.000ns", any other from "1.000ns"), then "20.00ns" to
// "50.00s" in 1-2-5 steps; for "X-Y" "1.000us" to "10.00ms"; for any other
// reply none.
QStringList TimeDivChoices(const QString &formatReply, int bandwidthClass);

// Asks the instrument ":TIMEBASE:FORMAT?" and appends TimeDivChoices of the
// reply and app().link.BandwidthClass.
void SetCtrlDialogTimeDivNum(QStringList &entries);
// Appends the trigger levels "6.00div" down to "-6.00div" in steps of
// 0.04 div (301 entries).
void SetCtrlDialogTrigLevelNum(QStringList &entries);
// Appends the trigger sensitivities "1.00div" down to "0.10div" in steps of
// 0.01 div (91 entries).
void SetCtrlDialogTrigSensitivityNum(QStringList &entries);
// Appends the logic trigger sources "D0" .. "D15".
void AddLaSource(QStringList &entries);
