#pragma once
// Common set-up of the settings transfer tests: the link fixture (virtual
// clock, scripted dialogs, the in-process simulator as VISA resource and as
// serial stand-in), connected over the link kind asked for, a fresh settings
// record in the language asked for, and a recorder of the lines the
// transfers hand to the link with the virtual time each went out.

#include "controller/ctrltreenodefunc.h"
#include "controller/ctrltreenodes.h"
#include "controller/frmctrllist.h"
#include "link/linkfixture.h"
#include "transfer/downloadfromdso.h"
#include "transfer/triggerlines.h"
#include "transfer/uploaddownload.h"
#include "transfer/uploadtodso.h"
#include "values/triggerhelpers.h"

#include <QApplication>
#include <QList>
#include <QString>

#include <memory>

enum class Link { Visa, Serial };

struct StampedLine {
    qint64 atMs;
    QString line;
};

class StampedLines final : public InstrumentLines {
public:
    explicit StampedLines(VirtualClock &clock) : clock_(clock) {}
    void sendCommand(const QString &line) override
    {
        lines.append({clock_.nowMs(), line});
        SendCommand(line);
    }
    QString queryString(const QString &line) override
    {
        lines.append({clock_.nowMs(), line});
        return QueryString(line);
    }
    // Virtual time from the first line that equals a to the first later line equal to b.
    qint64 gap(const QString &a, const QString &b) const
    {
        qint64 t = -1;
        for (const StampedLine &l : lines) {
            if (t < 0 && l.line == a)
                t = l.atMs;
            else if (t >= 0 && l.line == b)
                return l.atMs - t;
        }
        return -1;
    }
    QList<StampedLine> lines;

private:
    VirtualClock &clock_;
};

struct UpDownFixture : LinkFixture {
    StampedLines stamped{clock};
    int repaints = 0;
    // The controller pane, in tests that run with a window system.
    std::unique_ptr<frmCtrlList> pane;

    explicit UpDownFixture(Link link = Link::Visa, int lang = 1) : LinkFixture(lang)
    {
        if (link == Link::Serial)
            useSerial();
        else
            useVisa();
        connected = connect();
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            pane = std::make_unique<frmCtrlList>();
        app().Settings.reset();
        setInstrumentLines(&stamped);
        // The progress steps pump events too: time moves on only while the
        // serial link awaits a reply, so that the pauses show as they are.
        setPump([this] {
            if (!serial->deliverNext() && app().link.RxWaiting)
                clock.advance(100);
        });
        app().updown.ShowProgress = [this](double) { ++repaints; };
    }
    ~UpDownFixture()
    {
        setInstrumentLines(nullptr);
        pane.reset();
    }

    // Setting nodes of the tree whose text differs from what the settings
    // give (the ids shared by two nodes left aside); empty when the tree shows
    // the record.
    QStringList treeMismatches() const
    {
        QStringList out;
        for (const CtrlNodeSpec &n : CtrlTreeLayout(app().Settings, true)) {
            if (!n.id.valid() || n.laChannel >= 0 || (n.id.group == 14 && (n.id.item == 15 || n.id.item == 16)))
                continue;
            const QString shown = CtrlNodeText(n.id.group, n.id.item);
            if (shown != n.text)
                out << n.text + " shown as " + shown;
        }
        return out;
    }

    // Sets the simulator directly (the line goes into its log: clear it after).
    void simSet(const QByteArray &line) { sim.handle(line, Qm4100Sim::Framing::VisaUsb); }

    QStringList simLines() const
    {
        QStringList out;
        for (const QByteArray &l : sim.lines())
            out << QString::fromLatin1(l);
        return out;
    }

    bool connected = false;
};
