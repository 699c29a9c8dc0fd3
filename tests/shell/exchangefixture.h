#pragma once
// The loaded main window over the serial link with every reply late (the
// simulator's reply delay), and a pump whose every turn first runs atTurn,
// where a test queues the user's input as the window system queues it, at the
// moment of a wait. What the instrument received shows whether two
// conversations ran into each other.

#include "controller/ctrltree.h"
#include "datasheet/sheetcommands.h"
#include "measure/frmmeasure.h"
#include "shell/shellfixture.h"
#include "support/nativeinput.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QAction>
#include <QCheckBox>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

inline constexpr int ReplyDelayMs = 300;

// The first line sent while the reply to an earlier query was still on its
// way (every reply is due ReplyDelayMs after its query), or "".
inline QString lineInsideAnExchange(const Qm4100Sim &sim)
{
    const auto &log = sim.log();
    for (qsizetype i = 0; i + 1 < log.size(); ++i)
        if (log[i].answered && log[i + 1].atMs < log[i].atMs + ReplyDelayMs)
            return QStringLiteral("%1 came before the reply to %2")
                .arg(QString::fromLatin1(log[i + 1].line), QString::fromLatin1(log[i].line));
    return QString();
}

inline qsizetype lastIndexStarting(const QStringList &lines, const QString &head)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (lines[i].startsWith(head))
            return i;
    return -1;
}

inline qsizetype firstIndexStarting(const QStringList &lines, const QString &head)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(head))
            return i;
    return -1;
}

// The main window loaded and shown with its panes, connected over the serial
// link, and a pump whose every turn first runs atTurn (where a test queues
// the user's input), then handles the windows' events as a real turn does,
// then delivers the simulator's bytes or moves the clock on.
struct ExchangeFixture : ShellFixture {
    std::unique_ptr<frmMain> main;
    std::function<void()> atTurn;
    int x = 8; // every queued click lands elsewhere in the row

    // lang: the language the program starts in (0 Chinese, 1 English).
    explicit ExchangeFixture(int lang = 1) : ShellFixture(lang)
    {
        main = loadMain();
        main->resize(1000, 700);
        main->show();
        if (!QTest::qWaitForWindowExposed(main.get()))
            return;
        clock.advance(10); // the panes come up
        QCoreApplication::processEvents();
        useSerial();
        connect();
        Qm4100Sim::Faults late;
        late.delayMs = ReplyDelayMs;
        sim.setFaults(late);
        setPump([this] {
            if (atTurn)
                atTurn();
            handlePendingEvents();
            serial->pumpOnce(clock);
        });
    }
    ~ExchangeFixture()
    {
        // The close still runs on the fixture's pump: a reply given up is
        // finished on the virtual clock before the closing line goes out.
        atTurn = {};
        if (main)
            main->close();
        setPump({});
    }

    CtrlTreeView *tree() const { return CtrlTreeView::current(); }

    QStringList simLines() const
    {
        QStringList out;
        for (const QByteArray &l : sim.lines())
            out << QString::fromLatin1(l);
        return out;
    }

    // Queues a click on the controller node (group, item) and a Return, as
    // the user gives them.
    bool queueNodeReturn(int group, int item)
    {
        QTreeWidgetItem *node = tree()->node(group, item);
        if (!node)
            return false;
        for (QTreeWidgetItem *p = node->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree()->scrollToItem(node);
        const QRect row = tree()->visualItemRect(node);
        const QPoint at(row.left() + x, row.center().y());
        x += 40;
        return !row.isEmpty() && nativeinput::queueClick(tree()->viewport(), at)
               && nativeinput::queueKeyClick(tree(), Qt::Key_Return);
    }

    // The node pressed now, outside any exchange: its action runs to its end.
    void pressNode(int group, int item)
    {
        QVERIFY(queueNodeReturn(group, item));
        handlePendingEvents();
    }

    frmWave *addWaveWindow()
    {
        sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::LengthPrefix);
        app().Settings.CH1Display = word(Word::WordOn);
        app().Settings.CH2Display = word(Word::WordOn);
        AddNewItem(SheetItemKind::Wave);
        clock.advance(600);
        QCoreApplication::processEvents();
        frmWave *w = waveWindow(0);
        if (w && !w->ChkCH[1]->isChecked())
            w->ChkCH[1]->click();
        if (w && !(app().Sheet.WaveDocs[0].ShowCH1 && app().Sheet.WaveDocs[0].ShowCH2))
            return nullptr;
        sim.clearLog();
        return w;
    }

    // The tool bar's button of key ("Controller", "Disconnect"...).
    QWidget *toolButton(const char *key) const
    {
        auto *bar = main->findChild<QToolBar *>();
        auto *a = main->findChild<QAction *>(QStringLiteral("tbButton_") + QLatin1String(key));
        return bar && a ? bar->widgetForAction(a) : nullptr;
    }

    static frmPrgress *transferDialog()
    {
        for (QWidget *t : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<frmPrgress *>(t); d && d->isVisible())
                return d;
        return nullptr;
    }
};
