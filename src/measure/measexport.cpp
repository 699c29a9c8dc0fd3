#include "measure/measexport.h"

#include "platform/safesave.h"

#include "app/appstate.h"
#include "common/constants.h"
#include "measure/meastable.h"
#include "values/valuereply.h"

#include <QCoreApplication>

namespace {

const char *const kHeader = "  类型\t   值\t  下限\t  上限\t通过&失败";

void line(QByteArray &out, const QString &text)
{
    out += text.toUtf8();
    out += "\r\n";
}

} // namespace

QByteArray MeasureExportText(const MeasDoc &doc)
{
    QByteArray out;
    line(out, CompanyName + QStringLiteral(" -[Measure]"));
    for (int i = 0; i < 4; ++i)
        line(out, QString());
    line(out, CutAtLF(doc.Info));
    line(out, QString());
    line(out, QString::fromUtf8(kHeader));
    for (int r = 0; r < MeasCount; ++r) {
        const int index = measIndexOfRow(r);
        const MeasItem &item = doc.Items[index];
        const MeasKind kind = measKindOfIndex(index);
        QString under, over;
        if (item.Enabled) {
            under = ShowLimit(kind, item.Under).result;
            over = ShowLimit(kind, item.Over).result;
        }
        const QChar tab = u'\t';
        line(out, measNameOfIndex(index) + tab + CutAtLF(item.Value) + tab + under + tab + over + tab
                      + CutAtLF(item.Result));
    }
    return out;
}

bool WriteMeasureExport(const QString &path, int slot, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (slot < 0 || slot >= DataSheet::MeasSlots)
        return fail(QCoreApplication::translate("Kelvoscope", "No such measure item."));
    const QByteArray bytes = MeasureExportText(app().Sheet.MeasDocs[size_t(slot)]);
    return SaveWholeFile(path, bytes, error);
}
