// The resource chooser dialog, driven offscreen while shown without a modal
// loop: listing, OK, Cancel, double click, closing by the frame, languages,
// and its use by the connect.
#include "linkfixture.h"

#include "link/dlgresource.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {
const QStringList Two{QString::fromLatin1(SimUsb1), QString::fromLatin1(SimAsrl1)};
}

class TestDlgResource : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetApp();
        app().texts.LanguageIndex = 1;
        // The entries' second lines come from the VISA search's backends:
        // not the machine's USB and serial devices.
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
    }
    void cleanup() { resetVisa(); }

    void listsInSearchOrderWithNothingSelected()
    {
        DlgResource dlg;
        dlg.setResources({QStringLiteral("old")});
        dlg.setResources(Two);
        dlg.show();
        QCOMPARE(dlg.cmbResource()->count(), 2);
        // The resource is the first line (a second one tells what the search
        // knows of it, such as a serial port's device).
        QCOMPARE(dlg.cmbResource()->item(0)->text().section(QLatin1Char('\n'), 0, 0), Two.at(0));
        QCOMPARE(dlg.cmbResource()->item(1)->text().section(QLatin1Char('\n'), 0, 0), Two.at(1));
        QVERIFY(dlg.cmbResource()->selectedItems().isEmpty());
    }

    void okTakesTheSelectedEntry()
    {
        DlgResource dlg;
        dlg.setResources(Two);
        dlg.show();
        dlg.cmbResource()->setCurrentRow(1);
        QTest::mouseClick(dlg.OKButton(), Qt::LeftButton);
        QCOMPARE(app().link.ResourceName, Two.at(1));
        QCOMPARE(GetOkCancel(), qint16(-1));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void okWithoutSelectionGivesTheEmptyName()
    {
        app().link.ResourceName = QStringLiteral("previous");
        DlgResource dlg;
        dlg.setResources(Two);
        dlg.show();
        QTest::mouseClick(dlg.OKButton(), Qt::LeftButton);
        QCOMPARE(app().link.ResourceName, QString());
        QCOMPARE(GetOkCancel(), qint16(-1));
    }

    void cancelAndFrameCloseAndEscapeAreCancel_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("close by the frame") << 1;
        QTest::newRow("Escape") << 2;
    }
    void cancelAndFrameCloseAndEscapeAreCancel()
    {
        QFETCH(int, how);
        app().link.OkCancel = -1; // the answer of an earlier use
        app().link.ResourceName = QStringLiteral("kept");
        DlgResource dlg;
        dlg.setResources(Two);
        dlg.show();
        dlg.cmbResource()->setCurrentRow(0);
        if (how == 0)
            QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
        else if (how == 1)
            QVERIFY(dlg.close());
        else
            QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(GetOkCancel(), qint16(0));
        QCOMPARE(app().link.ResourceName, QStringLiteral("kept"));
        QVERIFY(!dlg.isVisible());
    }

    void doubleClickIsOk()
    {
        DlgResource dlg;
        dlg.setResources(Two);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget *list = dlg.cmbResource();
        const QPoint at = list->visualItemRect(list->item(1)).center();
        QVERIFY(list->viewport()->rect().contains(at));
        // A double click arrives as press, release, then the double-click press.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(app().link.ResourceName, Two.at(1));
        QCOMPARE(GetOkCancel(), qint16(-1));
        QVERIFY(!dlg.isVisible());
    }

    void texts_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("Chinese") << 0 << QStringLiteral("当前系统中的资源") << QStringLiteral("选择设备资源")
                                 << QStringLiteral("确定") << QStringLiteral("取消");
        QTest::newRow("English") << 1 << QStringLiteral("Resource ") << QStringLiteral("Choose a resource")
                                 << QStringLiteral("OK") << QStringLiteral("Cancel");
    }
    void texts()
    {
        QFETCH(int, lang);
        QFETCH(QString, caption);
        QFETCH(QString, prompt);
        QFETCH(QString, ok);
        QFETCH(QString, cancel);
        app().texts.LanguageIndex = lang; // loading the dialog takes the language in force
        DlgResource dlg;
        QCOMPARE(dlg.windowTitle(), caption);
        QCOMPARE(dlg.lstRsource()->text(), prompt);
        QCOMPARE(dlg.OKButton()->text(), ok);
        QCOMPARE(dlg.CancelButton()->text(), cancel);
        dlg.LoadDlgResource(2); // no language: nothing changes
        QCOMPARE(dlg.windowTitle(), caption);
        QCOMPARE(dlg.OKButton()->text(), ok);
        dlg.LoadDlgResource(1 - lang);
        QVERIFY(dlg.windowTitle() != caption);
    }

    // Each entry tells what stands behind it where the search knows: the
    // instrument's identity, a serial port's device; OK still gives the
    // resource alone.
    void entriesShowTheIdentityTheSearchKnows()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        Qm4100Sim mono;
        mono.setMonochrome(true);
        f.backend->addResource(QString::fromLatin1(SimUsb2), &mono);
        const QString unknown = QStringLiteral("USB0::0x1234::0x0001::NONE::INSTR");
        DlgResource dlg;
        dlg.setResources({QString::fromLatin1(SimUsb1), QString::fromLatin1(SimUsb2), unknown});
        dlg.show();
        QListWidget *list = dlg.cmbResource();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QString::fromLatin1(SimUsb1) + QLatin1Char('\n')
                                            + QString::fromLatin1(f.sim.identity()));
        QVERIFY(list->item(1)->text().endsWith(QStringLiteral("\nKARVO TECHNOLOGIES,QM4102MD,SN000001,00.04.01")));
        QCOMPARE(list->item(2)->text(), unknown); // nothing known: the name alone
        list->setCurrentRow(1);
        QTest::mouseClick(dlg.OKButton(), Qt::LeftButton);
        QCOMPARE(app().link.ResourceName, QString::fromLatin1(SimUsb2));
    }

    void connectGoesOnWithTheChoice()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        Qm4100Sim second;
        f.backend->addResource(QString::fromLatin1(SimAsrl1), &second);
        setResourceChooser([](const QStringList &names) {
            DlgResource dlg;
            dlg.setResources(names);
            dlg.show();
            dlg.cmbResource()->setCurrentRow(1);
            QTest::mouseClick(dlg.OKButton(), Qt::LeftButton);
        });
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(app().link.ResourceName, QString::fromLatin1(SimAsrl1));
        QVERIFY(f.sim.lines().isEmpty());
        QCOMPARE(second.lines().size(), 4);

        // Closing it by its frame ends the next connect without a message.
        setResourceChooser([](const QStringList &names) {
            DlgResource dlg;
            dlg.setResources(names);
            dlg.show();
            dlg.close();
        });
        DisconnectInstrument();
        second.clearLog();
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(app().link.LinkOpened, qint16(0));
        QVERIFY(second.lines().isEmpty());
        QVERIFY(f.fakeUi.messages().isEmpty());
    }
};

QTEST_MAIN(TestDlgResource)
#include "tst_dlgresource.moc"
