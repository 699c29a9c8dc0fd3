#include "wave/dataexport.h"

#include "app/appstate.h"
#include "common/constants.h"
#include "platform/safesave.h"
#include "values/valuereply.h"

#include <QCoreApplication>

namespace {

void endLine(QByteArray &out)
{
    out += "\r\n";
}

void line(QByteArray &out, const QString &text)
{
    out += text.toUtf8();
    endLine(out);
}

// The text of row k up to its first CR or LF.
QString at(const QStringList &texts, int k)
{
    return k < texts.size() ? CutAtLF(texts[k]) : QString();
}

} // namespace

QByteArray DataTableExportText(const DataDoc &doc)
{
    const int rows = qMax(0, int(doc.RowCount));
    QByteArray out;
    // Row lines are short: numbers and two "0.00E+00" texts.
    out.reserve(256 + qsizetype(rows) * 32);
    line(out, CompanyName + QStringLiteral(" -[Data]"));
    for (int i = 0; i < 3; ++i)
        endLine(out);
    line(out, CutAtLF(doc.InfoLine));
    endLine(out);
    endLine(out);
    out += "NO.\tTime\tVoltage";
    endLine(out);
    endLine(out);
    for (int k = 1; k <= rows; ++k) {
        out += ' ';
        out += QByteArray::number(k);
        out += " \t";
        out += at(doc.TimeTexts, k).toUtf8();
        out += '\t';
        out += at(doc.ValueTexts, k).toUtf8();
        endLine(out);
    }
    return out;
}

bool ExportDataTable(const QString &path, int slot, QString *error)
{
    if (slot < 0 || slot >= DataSheet::DataSlots) {
        if (error)
            *error = QCoreApplication::translate("Kelvoscope", "No such data table item.");
        return false;
    }
    return SaveWholeFile(path, DataTableExportText(app().Sheet.DataDocs[size_t(slot)]), error);
}
