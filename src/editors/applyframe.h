#pragma once
// The apply routine of the setting dialog, free of any window: what OK, the
// unit buttons and Enter in the list do once the dispatcher has prepared the
// dialog for the edit key app().ctrl.CtrlSettingKey.
//
// OK asks "*IDN?" first; an empty reply ends the edit (the dialog closes,
// nothing is sent, stored or marked). Otherwise the key is looked up in the
// key chain (editors/applykeys.h) and its branch runs; then the control file
// is marked modified and the dialog closes. A key that matches no row of the
// chain sends nothing but still marks the file modified. A typed number that
// is not a number shows MsgNumberOnly and leaves the dialog open with nothing
// more sent or stored.
//
// A branch is a list of steps (editors/applybranches.h). A step that cannot do
// its part (a node the tree does not show, a reply that converts to nothing)
// is passed over and the next step runs. A command that would go out without
// its argument (no entry chosen, a word with no token) is not sent, and the
// edit then changes nothing: nothing more is sent or asked, the settings and
// the nodes the branch rewrote are put back, and the control file is not
// marked modified. A command whose write fails (a cable pulled: the link
// shows its message and is lost) undoes the edit the same way. Read-backs
// never store what an empty reply or a failed conversion would give: the
// member keeps its text, so a lost link or a zero scale never writes
// "0.00uV", "inf" or "nan" into the settings.

#include "texts/textstate.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct CtrlSettings;

// What the apply routine reads from the dialog and writes into it.
class ApplyDialog {
public:
    virtual ~ApplyDialog() = default;
    // The list's text at this moment: the selected entry, or the empty text
    // when none is selected.
    virtual QString choice() const = 0;
    virtual QString inputText() const = 0;
    virtual void setInputText(const QString &text) = 0;
};

enum class ApplyEnd {
    Close,    // the dialog closes
    StayOpen, // a refused number: the dialog stays open as it is
    Refused,  // a setting the instrument cannot take now: the dialog closes,
              // nothing was sent and the control file is not marked
};

// The steps a branch is made of. Lines go through instrumentLines(), pauses
// through appClock() (a pause processes no events).
class ApplyStep {
public:
    explicit ApplyStep(ApplyDialog &dialog);

    CtrlSettings &settings() const;
    // The list's text now (each step that needs it reads it again).
    QString choice() const;
    // The typed number, or nothing after MsgNumberOnly has been shown (the
    // branch then returns ApplyEnd::StayOpen).
    std::optional<double> number();
    // One command line; one query, its reply cut at its line feed (or not).
    void send(const QString &line);
    QString query(const QString &line);
    QString queryUncut(const QString &line);
    // A pause on top of the one every command line takes.
    void pause(int ms);
    // Rewrites node (group, item) as label, " [", value, "]"; nothing when the
    // tree does not hold it.
    void node(int group, int item, Word label, const QString &value);
    // The same with a label that is no word of the table ("D3").
    void node(int group, int item, const QString &label, const QString &value);
    // Builds the tree again from the settings, keeping its open branches, and
    // selects node (group, item) of the new tree.
    void rebuild(int group, int item);
    // Asks query and stores convert(reply cut at its line feed) in member; an
    // empty reply, or a conversion giving the empty text, leaves member as it
    // was. True when member was written.
    bool readBack(const QString &query, QString &member, const std::function<QString(const QString &)> &convert);

    // A command of the branch lacked its argument: the edit is undone.
    bool lineRefused() const { return refused_; }
    // A command's write failed (the link has told the user and is lost), or
    // a reply before it did not come: the setting never reached the
    // instrument, and the edit is undone.
    bool lineNotWritten() const { return notWritten_; }
    // Sends by a helper of its own (the whole pattern code), watched as send()
    // watches its line.
    void sendBy(const std::function<void()> &sendLine);
    // Puts back the node texts the branch rewrote (or the tree, when the
    // branch built it again), after the settings have been put back.
    void restoreNodes();

private:
    ApplyDialog &dialog_;
    bool refused_ = false;
    bool notWritten_ = false;
    bool rebuilt_ = false;
    struct NodeText {
        int group, item;
        QString text;
    };
    QList<NodeText> nodesBefore_;
};

// OK (and Enter in the list).
ApplyEnd ApplySetting(ApplyDialog &dialog);
// A unit button: a typed number is multiplied by the button's factor (0 "m"
// and 4 "mV" 0.001, 1 "u" 1e-6, 2 "n" 1e-9, 3 "p" 1e-12), written back into
// the entry and applied as by OK; anything else shows MsgNumberOnly.
ApplyEnd ApplyUnitButton(ApplyDialog &dialog, int index);

// Shows MsgNumberOnly: exclamation icon, OK, the application's title.
void ShowNumberOnly();
