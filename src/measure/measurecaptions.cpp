#include "measure/measurecaptions.h"

#include "app/appstate.h"
#include "measure/frmmeasure.h"
#include "texts/loadlanguage.h"

#include <QToolButton>
#include <QTreeWidget>

namespace {

using T = MeasureCaptionTarget;

constexpr MeasureCaptionRow kRows[] = {
    {"cmdRefresh", -1, T::Caption, " Refresh", " 更新 ."},
    {"cmdExport", -1, T::Caption, "Export", "导出 ."},
    {"cmdPassFailed", -1, T::Caption, "Pass | Fail  ", "通过 | 失败 .  "},
    {"MeasureView", 0, T::Header, "Type", "类型"},
    {"MeasureView", 1, T::Header, "Value", "值"},
    {"MeasureView", 2, T::Header, "Under Limit", "下限"},
    {"MeasureView", 3, T::Header, "Over Limit", "上限"},
    {"MeasureView", 4, T::Header, "Pass&Fail", "通过&失败"},
    {"cmdRefresh", -1, T::ToolTip, "Refresh Data(F5)", "更新数据(F5)"},
    {"cmdExport", -1, T::ToolTip, "Output", "输出"},
    {"cmdPassFailed", -1, T::ToolTip, "Pass&Fail", "通过&失败"},
};

void applyTo(frmMeasure *w, int lang)
{
    for (const MeasureCaptionRow &row : kRows) {
        const QString text = QString::fromUtf8(lang == 0 ? row.chinese : row.english);
        QWidget *control = w->findChild<QWidget *>(QLatin1String(row.control));
        if (!control)
            continue;
        switch (row.target) {
        case T::Caption:
            if (auto *b = qobject_cast<QToolButton *>(control))
                b->setText(text);
            break;
        case T::ToolTip:
            control->setToolTip(text);
            break;
        case T::Header:
            if (auto *view = qobject_cast<QTreeWidget *>(control))
                if (row.column < view->columnCount())
                    view->headerItem()->setText(row.column, text);
            break;
        }
    }
}

} // namespace

std::span<const MeasureCaptionRow> measureWindowCaptions()
{
    return kRows;
}

void LoadMeasureWindowTexts(int slot, int lang)
{
    if (lang != 0 && lang != 1)
        return;
    if (frmMeasure *w = measureWindow(slot))
        applyTo(w, lang);
}

void LoadAllMeasureWindowTexts(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    DataSheet &sheet = app().Sheet;
    const int count = qBound(0, int(sheet.MeasDocCount), DataSheet::MeasSlots);
    for (int i = 0; i < count; ++i) {
        if (!sheet.MeasDocs[size_t(i)].WindowOpen)
            continue;
        if (frmMeasure *w = measureWindow(i)) {
            applyTo(w, lang);
            w->DispMeasure(i);
        }
    }
}

void installMeasureWindowLoader()
{
    setLanguageLoader(LanguageLoader::LoadAllMeasureWindowTexts, [](int lang) { LoadAllMeasureWindowTexts(lang); });
}
