#include "texts/toolkitlanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

// The catalogues of the Qt modules the program shows texts of.
constexpr const char *kCatalogues[] = {"qtbase", "qtserialport"};

// Our own texts of the layers below the windows (printing, saving pictures,
// the serial port), which ask for them in the context "Kelvoscope" the way Qt
// asks for its own.
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
    {"No such data table item.", "没有这个数据表项目。"},
    {"No such measure item.", "没有这个测量项目。"},
    // The serial port and what befell it.
    {"The device %1 was removed or hung up.", "设备 %1 已被移除或已挂断。"},
    {"Invalid settings \"%1\"", "无效设置“%1”"},
    {"The port refused the settings \"%1\": %2", "端口不接受设置“%1”：%2"},
    {"Operation not valid while the port is open", "端口打开时不能进行此操作"},
    {"Invalid port number", "无效端口号"},
    {"Port already open", "端口已打开"},
    {"Cannot open %1: %2", "无法打开 %1：%2"},
    {"Operation valid only when the port is open", "只有端口打开时才能进行此操作"},
    {"Write failed: %1", "写入失败：%1"},
    {"No serial port control", "没有串口控件"},
    {"the device does not exist", "设备不存在"},
    {"access is denied or the device is in use", "无访问权限或设备正被占用"},
    {"the device is open already", "设备已被打开"},
    {"the device did not take the data", "设备未接收数据"},
    {"reading from the device failed", "从设备读取失败"},
    {"the device is no longer available", "设备已不可用"},
    {"the device does not support the operation", "设备不支持此操作"},
    {"the device did not answer in time", "设备未及时响应"},
    {"the device is not open", "设备未打开"},
    {"unknown error", "未知错误"},
    // The status panel and the serial-port events it reports.
    {"Status", "状态"},
    {"Status: ", "状态："},
    {"Change in CTS Detected", "检测到 CTS 变化"},
    {"Change in DSR Detected", "检测到 DSR 变化"},
    {"Change in CD Detected", "检测到 CD 变化"},
    {"The Phone is Ringing", "电话振铃"},
    {"End of File Detected", "检测到文件结束"},
    {"Break Received", "收到中断信号"},
    {"CTS Timeout", "CTS 超时"},
    {"DSR Timeout", "DSR 超时"},
    {"Framing Error", "帧错误"},
    {"Overrun Error", "溢出错误"},
    {"Carrier Detect Timeout", "载波检测超时"},
    {"Receive Buffer Overflow", "接收缓冲区溢出"},
    {"Parity Error", "奇偶校验错误"},
    {"Transmit Buffer Full", "发送缓冲区已满"},
    {"Error retrieving DCB", "读取 DCB 出错"},
    {"Unknown error or event", "未知错误或事件"},
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
