// The print layer as every test program finds it: the Qt printer's printers
// are stand-ins, never the machine's, whatever printers the machine has; a
// print that no test aimed at a stand-in fails as on a machine without any.

#include "platform/print/printpicture.h"

#include <QImage>
#include <QPrinterInfo>
#include <QtTest>

class TestPrintPicture : public QObject {
    Q_OBJECT
private slots:
    void theMachinesPrintersAreOutOfReach()
    {
        setPicturePrinter(nullptr);
        const PrinterList &list = qtPicturePrinter().printers();
        QVERIFY(&list != &systemPrinters());
        QVERIFY(qtPicturePrinter().destination().isEmpty());
        for (const QString &name : QPrinterInfo::availablePrinterNames())
            QVERIFY2(!list.exists(name), qPrintable(name));
        QImage picture(70, 50, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QString error;
        QVERIFY(!printPicture(PrintJobKind::Spare, picture, false, QStringLiteral("Guarded"), &error));
        QCOMPARE(error, QStringLiteral("No printer is available."));
        // Not even by its name.
        const QString machines = QPrinterInfo::defaultPrinterName();
        if (!machines.isEmpty()) {
            qtPicturePrinter().setPrinterName(machines);
            QVERIFY(!printPicture(PrintJobKind::Spare, picture, false, QStringLiteral("Guarded"), &error));
            qtPicturePrinter().setPrinterName(QString());
        }
    }
};

QTEST_MAIN(TestPrintPicture)
#include "tst_printpicture.moc"
