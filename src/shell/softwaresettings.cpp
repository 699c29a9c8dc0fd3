#include "shell/softwaresettings.h"

#include "app/appstate.h"
#include "platform/settingsstore.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString get(const char *section, const char *key, const QString &def)
{
    return GetSetting(QLatin1String(section), QLatin1String(key), def);
}

bool put(const char *section, const char *key, const QString &value)
{
    return SaveSetting(QLatin1String(section), QLatin1String(key), value);
}

QString flagText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

void loadFlag(const char *key, bool *target)
{
    bool v = false;
    if (readFlag(get(StoreKeys::General, key, QStringLiteral("False")), &v))
        *target = v;
}

void loadLong(const char *section, const char *key, const QString &def, qint32 *target)
{
    qint32 v = 0;
    if (StoredLong(get(section, key, def), &v))
        *target = v;
}

// Twips written as a plain decimal number.
QString twipsText(double v)
{
    return QString::number(std::round(v), 'f', 0);
}

} // namespace

double twipsPerPixel()
{
    double dpi = 96.0;
    if (QGuiApplication::instance()) {
        if (const QScreen *s = QGuiApplication::primaryScreen()) {
            const double d = s->logicalDotsPerInchX();
            if (d > 1.0 && std::isfinite(d))
                dpi = d;
        }
    }
    return 1440.0 / dpi;
}

TwipsRect pixelsToTwips(const QRect &px, double perPixel)
{
    return {px.x() * perPixel, px.y() * perPixel, px.width() * perPixel, px.height() * perPixel};
}

QRect twipsToPixels(const TwipsRect &tw, double perPixel)
{
    // Bounded so that a hand-edited store cannot ask for an absurd window.
    auto px = [perPixel](double v, double lo, double hi) {
        double p = perPixel > 0 ? v / perPixel : v;
        if (!std::isfinite(p))
            p = 0;
        return int(std::lround(std::clamp(p, lo, hi)));
    };
    return QRect(px(tw.Left, -100000, 100000), px(tw.Top, -100000, 100000), px(tw.Width, 100, 20000),
                 px(tw.Height, 100, 20000));
}

bool readFlag(const QString &text, bool *out)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        *out = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        *out = false;
        return true;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v != 0.0;
    return true;
}


bool readSingle(const QString &text, double *out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > double(std::numeric_limits<float>::max()))
        return false;
    *out = double(float(v));
    return true;
}

void LoadSoftwareSetting(TwipsRect *rect)
{
    ShellState &s = app().shell;
    loadFlag(StoreKeys::StartupCheckHardware, &s.StartupCheckHardware);
    loadFlag(StoreKeys::StartupLoadSheet, &s.StartupLoadSheet);
    loadFlag(StoreKeys::StartupLoadCtrl, &s.StartupLoadCtrl);

    LinkState &l = app().link;
    qint32 v32 = 0;
    if (StoredLong(get(StoreKeys::IoSettings, StoreKeys::ScopeIOType, QStringLiteral("0")), &v32))
        l.IoType = v32;
    if (l.IoType == IoTypeSerial)
        l.IoType = 0; // every run starts on VISA
    if (StoredLong(get(StoreKeys::IoSettings, StoreKeys::ComPort, QStringLiteral("1")), &v32))
        l.ComPortNumber = v32;
    l.BaudRateText = get(StoreKeys::IoSettings, StoreKeys::BaudRate, QStringLiteral("9600"));
    loadLong(StoreKeys::IoSettings, StoreKeys::GpibAddr, QStringLiteral("7"), &s.GpibAddress);
    l.ResourceIndex = 0;

    s.RefreshType = get(StoreKeys::Refresh, StoreKeys::RefreshType, QStringLiteral("Single"));
    loadLong(StoreKeys::Refresh, StoreKeys::RefreshInterval, QStringLiteral("1000"), &s.RefreshInterval);

    if (!rect)
        return;
    double v = 0;
    if (readSingle(get(StoreKeys::WindowSettings, StoreKeys::MainLeft, QStringLiteral("1000")), &v))
        rect->Left = v;
    if (readSingle(get(StoreKeys::WindowSettings, StoreKeys::MainTop, QStringLiteral("1000")), &v))
        rect->Top = v;
    if (readSingle(get(StoreKeys::WindowSettings, StoreKeys::MainWidth, QStringLiteral("6500")), &v))
        rect->Width = v;
    if (readSingle(get(StoreKeys::WindowSettings, StoreKeys::MainHeight, QStringLiteral("6500")), &v))
        rect->Height = v;
}

bool HasStoredWindowRect()
{
    using namespace StoreKeys;
    for (const char *key : {MainLeft, MainTop, MainWidth, MainHeight})
        if (HasSetting(QLatin1String(WindowSettings), QLatin1String(key)))
            return true;
    return false;
}

QRect firstStartWindowRect(const QRect &available)
{
    QRect r(QPoint(0, 0), QSize(available.width() * 3 / 4, available.height() * 3 / 4));
    r.moveCenter(available.center());
    return r;
}

bool SaveSoftwareSetting(const TwipsRect *rect)
{
    const ShellState &s = app().shell;
    const LinkState &l = app().link;
    using namespace StoreKeys;
    const bool ok = put(General, StartupCheckHardware, flagText(s.StartupCheckHardware))
        && put(General, StartupLoadSheet, flagText(s.StartupLoadSheet))
        && put(General, StartupLoadCtrl, flagText(s.StartupLoadCtrl))
        && put(IoSettings, ScopeIOType, QString::number(l.IoType))
        && put(IoSettings, ComPort, QString::number(l.ComPortNumber))
        && put(IoSettings, BaudRate, l.BaudRateText)
        && put(IoSettings, GpibAddr, QString::number(s.GpibAddress))
        && put(Refresh, StoreKeys::RefreshType, s.RefreshType)
        && put(Refresh, StoreKeys::RefreshInterval, QString::number(s.RefreshInterval));
    if (!ok || !rect)
        return ok;
    return put(WindowSettings, MainLeft, twipsText(rect->Left)) && put(WindowSettings, MainTop, twipsText(rect->Top))
        && put(WindowSettings, MainWidth, twipsText(rect->Width))
        && put(WindowSettings, MainHeight, twipsText(rect->Height));
}

QRect placeOnScreens(const QRect &r, const QList<QRect> &screens)
{
    if (screens.isEmpty())
        return r;
    constexpr int MinVisible = 32;
    for (const QRect &s : screens) {
        const QRect in = r.intersected(s);
        if (in.width() >= MinVisible && in.height() >= MinVisible)
            return r;
    }
    const QRect &primary = screens.first();
    QRect moved(primary.topLeft(), r.size().boundedTo(primary.size()));
    return moved;
}
