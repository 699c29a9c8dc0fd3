#pragma once
// Printers for the tests: print-to-file stand-ins, each writing its pages
// into a PDF file of its own, with the paper its queue is given by default.
// Installed in the Qt printer (the whole test program starts with an empty
// list, see testguard.cpp), they are the only printers a print of the test
// can reach: a real QPrinter writes a real PDF file, and no page ever goes to
// a printer of the machine.

#include "platform/print/printpicture.h"

#include <QList>
#include <QPageSize>
#include <QPrinter>
#include <QString>

class StandInPrinters final : public PrinterList {
public:
    struct Printer {
        QString name;
        QPageSize paper; // invalid: a queue that tells no default paper
        QString pdf;     // where its pages land; in a missing folder, a printer that fails
    };
    QList<Printer> printers;
    QString defaultName; // the default printer; empty: none is the default

    const Printer *find(const QString &name) const
    {
        for (const Printer &p : printers)
            if (p.name == name)
                return &p;
        return nullptr;
    }
    QString defaultPrinter() const override { return find(defaultName) ? defaultName : QString(); }
    bool exists(const QString &name) const override { return find(name) != nullptr; }
    QPageSize defaultPaper(const QString &name) const override
    {
        const Printer *p = find(name);
        return p ? p->paper : QPageSize();
    }
    void aim(QPrinter &printer, const QString &name, bool preview) const override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        if (const Printer *p = find(name); p && !preview)
            printer.setOutputFileName(p->pdf);
    }
};

// Installs printers in the Qt printer for the life of the object; the list
// that was there before comes back after it.
class UseStandInPrinters {
public:
    explicit UseStandInPrinters(const StandInPrinters &printers) : before_(&qtPicturePrinter().printers())
    {
        qtPicturePrinter().setPrinters(&printers);
    }
    ~UseStandInPrinters()
    {
        qtPicturePrinter().setPrinters(before_);
        qtPicturePrinter().setPrinterName(QString());
        qtPicturePrinter().forgetPageSetup();
    }
    UseStandInPrinters(const UseStandInPrinters &) = delete;
    UseStandInPrinters &operator=(const UseStandInPrinters &) = delete;

private:
    const PrinterList *before_;
};
