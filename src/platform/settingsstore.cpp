#include "platform/settingsstore.h"

#include "platform/safesave.h"

#include <cmath>
#include <limits>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include <algorithm>

namespace {

QString &overridePath()
{
    static QString path;
    return path;
}

QString userStorePath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + QLatin1String(SettingsAppName) + QLatin1Char('/')
        + QLatin1String(SettingsAppName) + QStringLiteral(".ini");
}

// A stored value as text. A hand-edited INI line can hold forms that QSettings
// reads as other types: an unquoted list "a, b" comes back as a string list and
// is joined again; anything that has no text form counts as missing.
bool valueText(const QVariant &v, QString *out)
{
    if (!v.isValid())
        return false;
    if (v.metaType().id() == QMetaType::QStringList) {
        *out = v.toStringList().join(QLatin1Char(','));
        return true;
    }
    if (v.metaType().id() == QMetaType::QString) {
        *out = v.toString();
        return true;
    }
    if (v.metaType().id() == QMetaType::QByteArray) {
        *out = QString::fromUtf8(v.toByteArray());
        return true;
    }
    if (v.canConvert<QString>()) {
        *out = v.toString();
        return true;
    }
    return false;
}

// Natural order of keys: digit runs compare by their numeric value.
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a[i].isDigit() && a[i].unicode() < 128;
        const bool db = b[j].isDigit() && b[j].unicode() < 128;
        if (da && db) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit() && a[ei].unicode() < 128)
                ++ei;
            while (ej < b.size() && b[ej].isDigit() && b[ej].unicode() < 128)
                ++ej;
            qsizetype si = i, sj = j;
            while (si < ei - 1 && a[si] == QLatin1Char('0'))
                ++si;
            while (sj < ej - 1 && b[sj] == QLatin1Char('0'))
                ++sj;
            const QStringView na = QStringView(a).mid(si, ei - si);
            const QStringView nb = QStringView(b).mid(sj, ej - sj);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            const int c = na.compare(nb);
            if (c != 0)
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j))
        return (a.size() - i) < (b.size() - j);
    return a < b;
}

} // namespace

QString settingsFilePath()
{
    return overridePath().isEmpty() ? userStorePath() : overridePath();
}

void setSettingsFile(const QString &path)
{
    overridePath() = path;
}

QString GetSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(settingsFilePath(), QSettings::IniFormat);
    s.beginGroup(section);
    QString text;
    if (!s.contains(key) || !valueText(s.value(key), &text))
        return defaultValue;
    return text;
}

bool HasSetting(const QString &section, const QString &key)
{
    QSettings s(settingsFilePath(), QSettings::IniFormat);
    s.beginGroup(section);
    return s.contains(key);
}

bool SaveSetting(const QString &section, const QString &key, const QString &value)
{
    if (section.isEmpty() || key.isEmpty())
        return false;
    // QSettings writes its file through a buffered save file, which takes a
    // short write (a full disk) for a whole one and leaves the store cut off
    // in the middle. So the value goes into a copy of the store, the copy is
    // checked key by key, and it replaces the store only when it is whole.
    const QString path = settingsFilePath();
    if (!MakeFolderOf(path))
        return false;
    QByteArray old;
    const QFileInfo oldInfo(path);
    const qint64 oldSize = oldInfo.exists() ? oldInfo.size() : -1;
    const QDateTime oldTime = oldInfo.exists() ? oldInfo.lastModified() : QDateTime();
    QFile store(path);
    if (store.exists()) {
        if (!store.open(QIODevice::ReadOnly))
            return false;
        old = store.readAll();
        if (store.error() != QFileDevice::NoError)
            return false;
        store.close();
    }
    QTemporaryFile copy(path + QStringLiteral(".XXXXXX"));
    if (!copy.open() || copy.write(old) != old.size() || !copy.flush())
        return false;
    copy.close();
    const QString full = section + QLatin1Char('/') + key;
    {
        QSettings s(copy.fileName(), QSettings::IniFormat);
        if (!s.isWritable())
            return false;
        s.setValue(full, value);
        s.sync();
        // A format error is the reader's word on the file as it was (a line it
        // could not understand); the write itself went through. Only an access
        // error means the value was not stored.
        if (s.status() == QSettings::AccessError)
            return false;
    }
    const QSettings before(path, QSettings::IniFormat);
    const QSettings after(copy.fileName(), QSettings::IniFormat);
    if (after.value(full) != QVariant(value))
        return false;
    for (const QString &k : before.allKeys()) {
        if (k != full && after.value(k) != before.value(k))
            return false;
    }
    QFile written(copy.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = written.readAll();
    if (written.error() != QFileDevice::NoError)
        return false;
    if (!SaveWholeFile(path, bytes))
        return false;
    // Readers keep the parsed store while the file's size and time (to the
    // millisecond) stay as they were: a store replaced within the same
    // millisecond by one of the same size gets a later time.
    const QFileInfo newInfo(path);
    if (oldTime.isValid() && newInfo.size() == oldSize && newInfo.lastModified() <= oldTime) {
        QFile touch(path);
        if (touch.open(QIODevice::ReadWrite))
            touch.setFileTime(oldTime.addMSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

QList<QPair<QString, QString>> GetAllSettings(const QString &section)
{
    QSettings s(settingsFilePath(), QSettings::IniFormat);
    s.beginGroup(section);
    QStringList keys = s.childKeys();
    std::sort(keys.begin(), keys.end(), naturalLess);
    QList<QPair<QString, QString>> pairs;
    for (const QString &k : keys) {
        QString text;
        if (valueText(s.value(k), &text))
            pairs.append({k, text});
    }
    return pairs;
}

bool StoredLong(const QString &text, qint32 *out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    const double r = std::nearbyint(v);
    if (r < double(std::numeric_limits<qint32>::min()) || r > double(std::numeric_limits<qint32>::max()))
        return false;
    *out = qint32(r);
    return true;
}
