#include "texts/toolkitlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// The catalogues of the Qt modules the program shows texts of.
constexpr const char *kCatalogues[] = {"qtbase", "qtserialport"};

QList<QPointer<QTranslator>> &installed()
{
    static QList<QPointer<QTranslator>> list;
    return list;
}

void removeAll()
{
    for (const QPointer<QTranslator> &t : installed()) {
        if (t) {
            QCoreApplication::removeTranslator(t);
            delete t.data();
        }
    }
    installed().clear();
}

} // namespace

void applyToolkitLanguage(int lang)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    const bool chinese = lang == 0;
    if (chinese && !installed().isEmpty())
        return; // in force already
    removeAll();
    if (!chinese)
        return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale locale(QLocale::Chinese, QLocale::China);
    for (const char *catalogue : kCatalogues) {
        auto *t = new QTranslator(app);
        if (t->load(locale, QLatin1String(catalogue), QStringLiteral("_"), folder)
            && QCoreApplication::installTranslator(t))
            installed() << t;
        else
            delete t;
    }
}
