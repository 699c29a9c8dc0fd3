// Qt's own texts follow the program's language: the buttons of the message
// boxes and the file dialogs are Chinese in the Chinese interface, at start-up
// and after a switch from the Help menu, and English again after switching back.

#include "datasheet/sheetcommands.h"
#include "platform/ui/qtui.h"
#include "shell/shellfixture.h"
#include "texts/loadlanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

namespace {

struct ToolkitTexts {
    QString yes, no, cancel, lookIn, save;
};

ToolkitTexts toolkitTexts()
{
    ToolkitTexts t;
    const auto box = QtUi::makeMessageBox(nullptr, MsgIcon::Question, QStringLiteral("Kelvoscope"),
                                          QStringLiteral("?"), MsgButtons::YesNoCancel);
    t.yes = box->button(QMessageBox::Yes)->text();
    t.no = box->button(QMessageBox::No)->text();
    t.cancel = box->button(QMessageBox::Cancel)->text();
    FileDialogRequest req;
    req.title = QStringLiteral("Save");
    req.filter = QStringLiteral("Data Sheet (*.kvd)");
    const auto dlg = QtUi::makeFileDialog(nullptr, req, true);
    if (auto *label = dlg->findChild<QLabel *>(QStringLiteral("lookInLabel")))
        t.lookIn = label->text();
    if (auto *buttons = dlg->findChild<QDialogButtonBox *>())
        if (QPushButton *b = buttons->button(QDialogButtonBox::Save))
            t.save = b->text();
    return t;
}

// The texts of a frame's system menu (Restore, Move, Size, ...).
QStringList systemMenuTexts(QMdiSubWindow *sub)
{
    QStringList out;
    if (QMenu *menu = sub->systemMenu())
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                out << a->text();
    return out;
}

// The texts Qt gives a frame made now.
QStringList freshSystemMenuTexts()
{
    QMdiSubWindow fresh;
    return systemMenuTexts(&fresh);
}

} // namespace

class TestToolkitLanguage : public QObject {
    Q_OBJECT
private slots:
    void followsTheLanguageMenu()
    {
        ShellFixture f;
        auto w = f.loadMain();
        ToolkitTexts t = toolkitTexts();
        QCOMPARE(t.yes, QStringLiteral("&Yes"));
        QCOMPARE(t.lookIn, QStringLiteral("Look in:"));

        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        QCOMPARE(languageIndex(), LanguageChinese);
        t = toolkitTexts();
        QCOMPARE(t.yes, QStringLiteral("是(&Y)"));
        QCOMPARE(t.no, QStringLiteral("否(&N)"));
        QCOMPARE(t.cancel, QStringLiteral("取消"));
        QCOMPARE(t.lookIn, QStringLiteral("查找范围："));
        QCOMPARE(t.save, QStringLiteral("保存(&S)"));

        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
        t = toolkitTexts();
        QCOMPARE(t.yes, QStringLiteral("&Yes"));
        QCOMPARE(t.cancel, QStringLiteral("Cancel"));
        QCOMPARE(t.lookIn, QStringLiteral("Look in:"));
        QCOMPARE(t.save, QStringLiteral("&Save"));
    }

    // The system menu of an item window's frame follows a switch, in
    // whichever language the window was opened.
    void itemFrameMenuFollowsTheSwitch()
    {
        ShellFixture f;
        auto w = f.loadMain();
        const QStringList english = freshSystemMenuTexts();
        for (const char *t : {"&Restore", "&Move", "&Size", "&Close"})
            QVERIFY2(english.contains(QLatin1String(t)), t);
        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        const QStringList chinese = freshSystemMenuTexts();
        for (const char *t : {"恢复", "移动", "大小", "关闭"})
            QVERIFY2(chinese.join(QLatin1Char(' ')).contains(QString::fromUtf8(t)), t);

        AddNewItem(SheetItemKind::Measure);
        f.clock.advance(600);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QMdiSubWindow *sub = w->mdiArea()->subWindowList()[0];
        QCOMPARE(systemMenuTexts(sub), chinese);
        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(systemMenuTexts(sub), english);
        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(systemMenuTexts(sub), chinese);
        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
    }

    // Started in Chinese with every kind of item window open, then switched
    // to English: no text that the program or Qt shows (captions, tips,
    // menus, the names screen readers get) is left Chinese. Item names are
    // the user's and stay, in the windows' titles too; so does the language
    // menu's own "中文".
    void everyTextFollowsTheSwitchToEnglish()
    {
        ShellFixture f;
        f.store(LanguageSection, LanguageKey, QStringLiteral("0"));
        LoadLanguageSetting();
        auto w = f.loadMain();
        w->show();
        for (SheetItemKind kind : {SheetItemKind::Measure, SheetItemKind::Wave, SheetItemKind::Replay,
                                   SheetItemKind::StoredWave, SheetItemKind::Data})
            AddNewItem(kind);
        f.clock.advance(600);
        QCOMPARE(w->mdiArea()->subWindowList().size(), 5);
        const DataSheet &sheet = app().Sheet;
        const QStringList names{sheet.MeasDocs[0].Name, sheet.WaveDocs[0].Name, sheet.Replays[0].Name,
                                sheet.StoredWaves[0].Name, sheet.DataDocs[0].Name};
        // One of them maximized: its frame's buttons join the menu bar.
        w->mdiArea()->subWindowList()[0]->showMaximized();
        QCoreApplication::sendPostedEvents();
        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

        auto chinese = [](const QString &t) {
            return std::any_of(t.begin(), t.end(), [](QChar c) { return c.unicode() >= 0x2E80; });
        };
        QStringList left;
        auto check = [&](const QObject *o, const char *what, const QString &t) {
            QString rest = t;
            for (const QString &name : names)
                rest.remove(name);
            if (chinese(rest) && t != QStringLiteral("中文"))
                left << QStringLiteral("%1 %2 %3: %4")
                            .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName(),
                                 QLatin1String(what), t);
        };
        for (QWidget *x : QApplication::allWidgets()) {
            check(x, "title", x->windowTitle());
            check(x, "tip", x->toolTip());
            check(x, "status tip", x->statusTip());
            check(x, "accessible name", x->accessibleName());
            check(x, "accessible description", x->accessibleDescription());
            if (auto *b = qobject_cast<QAbstractButton *>(x))
                check(x, "text", b->text());
            if (auto *l = qobject_cast<QLabel *>(x))
                check(x, "text", l->text());
            if (auto *g = qobject_cast<QGroupBox *>(x))
                check(x, "title", g->title());
            if (auto *m = qobject_cast<QMenu *>(x))
                check(x, "title", m->title());
            for (const QAction *a : x->actions()) {
                check(a, "text", a->text());
                check(a, "tip", a->toolTip());
            }
        }
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }

    void chineseFromStartUp()
    {
        ShellFixture f;
        f.store(LanguageSection, LanguageKey, QStringLiteral("0"));
        LoadLanguageSetting();
        auto w = f.loadMain();
        QCOMPARE(toolkitTexts().yes, QStringLiteral("是(&Y)"));
        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
        QCOMPARE(toolkitTexts().yes, QStringLiteral("&Yes"));
    }
};

QTEST_MAIN(TestToolkitLanguage)
#include "tst_toolkitlanguage.moc"
