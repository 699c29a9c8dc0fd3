#include "texts/toolkitlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// The catalogues of the Qt modules the program shows texts of.
constexpr const char *kCatalogues[] = {"qtbase", "qtserialport"};

// Our own texts of the layers below the windows (printing, saving pictures),
// which ask for them in the context "Kelvoscope" the way Qt asks for its own.
struct OwnText {
    const char *english;
    const char *chinese;
};
constexpr OwnText kOwnTexts[] = {
    {"No printer is available.", "没有可用的打印机。"},
    {"The printer could not print the page.", "打印机无法打印此页。"},
    {"The printer \"%1\" could not print the page.", "打印机“%1”无法打印此页。"},
    {"The page was sent to the printer \"%1\".", "此页已发送到打印机“%1”。"},
    {"The page was sent to the printer.", "此页已发送到打印机。"},
    {"There is no picture to save.", "没有可保存的图片。"},
    {"Cannot create the folder %1.", "无法创建文件夹 %1。"},
};

class OwnTextsTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "Kelvoscope") != 0 || !source)
            return {};
        for (const OwnText &t : kOwnTexts)
            if (qstrcmp(source, t.english) == 0)
                return QString::fromUtf8(t.chinese);
        return {};
    }
    bool isEmpty() const override { return false; }
};

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
    auto *own = new OwnTextsTranslator(app);
    QCoreApplication::installTranslator(own);
    installed() << own;
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
