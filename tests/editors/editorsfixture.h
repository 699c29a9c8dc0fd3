#pragma once
// Common set-up of the setting editors' tests: the link fixture (fresh state,
// virtual clock, scripted message boxes, the simulator as VISA resource and
// as serial stand-in) connected over the link asked for, the controller pane
// shown offscreen with its tree, the editors installed as its dispatcher, and
// a modal runner that hands every dialog to the test's script and returns
// without a nested loop.

#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "editors/ctrldialog.h"
#include "editors/ctrldialogadjust.h"
#include "editors/prasectrllist.h"
#include "link/cmdfunc.h"
#include "link/linkfixture.h"
#include "workspace/modalrunner.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <memory>

enum class LinkKind { Visa, Serial };

struct EditorsFixture : LinkFixture {
    std::unique_ptr<frmCtrlList> pane;
    // Runs for every dialog shown modally; without one the dialog is closed
    // by its frame.
    std::function<void(QDialog &)> script;
    QStringList dialogsShown;
    bool connected = false;

    explicit EditorsFixture(int lang = LanguageEnglish, LinkKind link = LinkKind::Visa) : LinkFixture(lang)
    {
        if (link == LinkKind::Serial)
            useSerial();
        else
            useVisa();
        CtrlHooks &h = app().ctrl.hooks;
        h.linkConnected = [] { return app().link.LinkConnected != 0; };
        h.laPresent = [] { return app().link.LaPresent != 0; };
        InstallSettingEditors();
        pane = std::make_unique<frmCtrlList>();
        pane->resize(360, 900);
        pane->show();
        setModalRunner([this](QDialog &d) {
            dialogsShown << d.objectName();
            d.show();
            if (script)
                script(d);
            else
                d.close();
            if (d.isVisible())
                d.close();
        });
        connected = connect();
    }
    ~EditorsFixture()
    {
        setModalRunner({});
        pane.reset();
    }

    CtrlTreeView *tree() const { return pane->CtrlTree(); }

    // The tree built again from the settings (after a test changed them).
    void rebuild()
    {
        BuildCtrlTree();
        SetCtrlTreeRootExpanded(true);
    }

    // Clicks and double-clicks the node at (group, item) with the mouse.
    void doubleClick(int group, int item) { doubleClick(tree()->node(group, item)); }
    void doubleClick(QTreeWidgetItem *node)
    {
        QVERIFY(node);
        for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree()->scrollToItem(node);
        const QPoint at = tree()->visualItemRect(node).center();
        QVERIFY(!at.isNull());
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, at);
    }

    // Double-clicks (group, item) and runs act on the setting dialog shown.
    void edit(int group, int item, const std::function<void(CtrlDialog &)> &act)
    {
        edit(tree()->node(group, item), act);
    }
    void edit(QTreeWidgetItem *node, const std::function<void(CtrlDialog &)> &act)
    {
        script = [&act](QDialog &d) {
            auto *c = qobject_cast<CtrlDialog *>(&d);
            QVERIFY(c);
            act(*c);
        };
        doubleClick(node);
        script = {};
    }

    // Sets the simulator directly, leaving the log empty.
    void simSet(const QByteArray &line)
    {
        sim.handle(line, Qm4100Sim::Framing::VisaUsb);
        sim.clearLog();
    }

    QStringList simLines() const
    {
        QStringList out;
        for (const QByteArray &l : sim.lines())
            out << QString::fromLatin1(l);
        return out;
    }
    // Virtual milliseconds from the arrival of log line a to that of line b.
    qint64 gap(int a, int b) const { return sim.gapMs(a, b); }
};

// The controls of a setting dialog as the dispatcher left them.
struct SeenDialog {
    QString name; // object name of the dialog shown
    QString caption;
    QStringList choices;
    QString selected; // the list's text ("" with no selection)
    bool listShown = false;
    QString input;
    bool inputShown = false;
    bool inputEnabled = false;
    QList<int> units; // the unit buttons shown, by index
    bool unitsEnabled = false; // the first one shown is not switched off itself
    bool unitsUsable = false;  // ... and can be pressed (also not switched off with OK)
    bool okEnabled = false;
    QString key;
    int adjustOption = -1; // CtrlDialogAdjust: the option chosen
};

inline SeenDialog seeDialog(QDialog &d)
{
    SeenDialog s;
    s.name = d.objectName();
    s.key = app().ctrl.CtrlSettingKey;
    if (auto *c = qobject_cast<CtrlDialog *>(&d)) {
        s.caption = c->Frame()->title();
        for (int i = 0; i < c->Combo()->count(); ++i)
            s.choices << c->Combo()->itemText(i);
        s.selected = c->choice();
        s.listShown = c->Combo()->isVisible();
        s.input = c->inputTxt()->text();
        s.inputShown = c->inputTxt()->isVisible();
        s.inputEnabled = c->inputTxt()->isEnabled();
        for (int i = 0; i < 5; ++i)
            if (c->cmdEnter(i)->isVisible())
                s.units << i;
        if (!s.units.isEmpty()) {
            const QPushButton *b = c->cmdEnter(s.units.first());
            s.unitsEnabled = !b->testAttribute(Qt::WA_ForceDisabled);
            s.unitsUsable = b->isEnabled();
        }
        s.okEnabled = c->cmdOK()->isEnabled();
    } else if (auto *a = qobject_cast<CtrlDialogAdjust *>(&d)) {
        s.caption = a->FrameAdjust()->title();
        s.input = a->txtDispValue()->text();
        s.adjustOption = a->OptVoltDiv(0)->isChecked() ? 0 : (a->OptVoltDiv(1)->isChecked() ? 1 : -1);
    }
    return s;
}

// The link's lines with the replies of chosen queries replaced: the line still
// goes through the link to the simulator (which logs it), and the test's
// reply comes back instead of the simulator's.
class ReplacedReplies final : public InstrumentLines {
public:
    ReplacedReplies() { setInstrumentLines(this); }
    ~ReplacedReplies() override { setInstrumentLines(nullptr); }
    QHash<QString, QString> replies;

    void sendCommand(const QString &line) override { SendCommand(line); }
    QString queryString(const QString &line) override
    {
        const QString reply = QueryString(line);
        const auto it = replies.constFind(line);
        return it == replies.constEnd() ? reply : *it;
    }
};
