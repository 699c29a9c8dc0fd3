// Qt's own texts follow the program's language: the buttons of the message
// boxes and the file dialogs are Chinese in the Chinese interface, at start-up
// and after a switch from the Help menu, and English again after switching back.

#include "platform/ui/qtui.h"
#include "shell/shellfixture.h"
#include "texts/loadlanguage.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

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
