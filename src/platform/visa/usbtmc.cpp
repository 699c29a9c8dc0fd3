#include "platform/visa/usbtmc.h"

#include "platform/clock.h"
#include "platform/visa/fdwait.h"
#include "platform/visa/usbtmcsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString readSysfsText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    // Attribute files are short; bound the read all the same.
    return QString::fromLatin1(f.read(256)).trimmed();
}

bool parseHexId(const QString &text, quint16 *out)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok || v > 0xFFFF)
        return false;
    *out = static_cast<quint16>(v);
    return true;
}

// The serial number as the device gives it: the kernel writes the string
// descriptor in UTF-8 (at most 126 UTF-16 units, so at most 378 bytes) and a
// line end. Padding at either end is not part of it.
QString readSysfsSerial(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.read(512)).trimmed();
}

// "0x1AB1" (hex) or "6833" (decimal).
bool parseIdField(const QString &text, quint16 *out)
{
    bool ok = false;
    uint v;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toUInt(&ok, 16);
    else
        v = text.toUInt(&ok, 10);
    if (!ok || v > 0xFFFF)
        return false;
    *out = static_cast<quint16>(v);
    return true;
}

// The most one kernel read asks for; longer messages take several reads.
constexpr quint64 kMaxTransfer = 1 << 20;

ViStatus statusFromErrno(int err)
{
    switch (err) {
    case ETIMEDOUT:
        return VI_ERROR_TMO;
    case ENODEV:
    case ESHUTDOWN:
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
        return VI_ERROR_CONN_LOST;
    default:
        return VI_ERROR_IO;
    }
}

class UsbtmcInstrument final : public VisaInstrument {
public:
    explicit UsbtmcInstrument(int fd) : session_(fd) {}

    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        UsbtmcSession::Result r;
        const QByteArray bytes(reinterpret_cast<const char *>(buf), qsizetype(count));
        const ViStatus st = status(session_.write(bytes, fdDeadline(timeoutMs), &r), r);
        *retCount = static_cast<ViUInt32>(std::clamp<qint64>(r.written, 0, count));
        return st;
    }

    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *retCount, ViUInt32 timeoutMs) override
    {
        *retCount = 0;
        if (count == 0)
            return VI_SUCCESS_MAX_CNT;
        const qint64 deadline = fdDeadline(timeoutMs);
        ViStatus st = VI_SUCCESS;
        // Gather the message until it ends or holds more than count bytes (one
        // byte more tells that the count, not the end, stopped the read).
        while (!pendingEnd_ && static_cast<quint64>(pending_.size()) <= count) {
            const quint64 want = quint64(count) - quint64(pending_.size()) + 1;
            UsbtmcSession::Result r;
            st = status(session_.read(static_cast<quint32>(std::min<quint64>(want, kMaxTransfer)), deadline, &r), r);
            if (st == VI_ERROR_ABORT) {
                // The message is given up whole: none of it is the next reply.
                pending_.clear();
                pendingEnd_ = false;
                return st;
            }
            if (st != VI_SUCCESS)
                break;
            pending_.append(r.data);
            pendingEnd_ = r.end;
        }
        const ViUInt32 n = std::min<ViUInt32>(count, static_cast<ViUInt32>(pending_.size()));
        std::memcpy(buf, pending_.constData(), n);
        pending_.remove(0, n);
        *retCount = n;
        if (st != VI_SUCCESS)
            return st;
        if (pending_.isEmpty() && pendingEnd_) {
            pendingEnd_ = false;
            return VI_SUCCESS;
        }
        return VI_SUCCESS_MAX_CNT;
    }

    ViStatus clear() override
    {
        pending_.clear();
        pendingEnd_ = false;
        UsbtmcSession::Result r;
        return status(session_.clear(&r), r);
    }

private:
    static ViStatus status(UsbtmcSession::Outcome o, const UsbtmcSession::Result &r)
    {
        switch (o) {
        case UsbtmcSession::Outcome::Abandoned: return VI_ERROR_ABORT;
        case UsbtmcSession::Outcome::TimedOut: return VI_ERROR_TMO;
        case UsbtmcSession::Outcome::Done: break;
        }
        return r.err ? statusFromErrno(r.err) : VI_SUCCESS;
    }

    UsbtmcSession session_;
    QByteArray pending_;     // received and not yet handed out
    bool pendingEnd_ = false; // pending_ runs to the end of its message
};

} // namespace

namespace {

// A serial byte that stands as itself in a resource name: printable ASCII
// other than ':' (which would run into the "::" separators) and '%' (which
// starts an escape).
bool plainSerialByte(uchar b)
{
    return b > 0x20 && b < 0x7F && b != ':' && b != '%';
}

bool hexDigit(QChar c, int *value)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        *value = u - '0';
    else if (u >= 'A' && u <= 'F')
        *value = u - 'A' + 10;
    else if (u >= 'a' && u <= 'f')
        *value = u - 'a' + 10;
    else
        return false;
    return true;
}

} // namespace

QString escapeUsbSerial(const QString &serial)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    for (const char c : serial.toUtf8()) {
        const uchar b = uchar(c);
        if (plainSerialByte(b)) {
            out += QLatin1Char(char(b));
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(digits[b >> 4]);
            out += QLatin1Char(digits[b & 15]);
        }
    }
    return out;
}

QString unescapeUsbSerial(const QString &field)
{
    QByteArray bytes;
    qsizetype plainFrom = 0; // start of the run of characters standing as themselves
    for (qsizetype i = 0; i + 2 < field.size(); ++i) {
        int hi = 0;
        int lo = 0;
        if (field.at(i) != QLatin1Char('%') || !hexDigit(field.at(i + 1), &hi) || !hexDigit(field.at(i + 2), &lo))
            continue;
        bytes += QStringView(field).mid(plainFrom, i - plainFrom).toUtf8();
        bytes += char(hi * 16 + lo);
        i += 2;
        plainFrom = i + 1;
    }
    bytes += QStringView(field).mid(plainFrom).toUtf8();
    return QString::fromUtf8(bytes);
}

bool parseUsbResourceName(const QString &text, UsbResourceName *out)
{
    QStringList f = text.split(QStringLiteral("::"));
    if (f.size() < 4)
        return false;
    static const QRegularExpression head(QStringLiteral("\\AUSB(\\d*)\\z"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = head.match(f.at(0));
    if (!m.hasMatch())
        return false;
    UsbResourceName r;
    if (!m.captured(1).isEmpty()) {
        bool ok = false;
        r.board = m.captured(1).toInt(&ok);
        if (!ok)
            return false;
    }
    if (!parseIdField(f.at(1), &r.vendorId) || !parseIdField(f.at(2), &r.productId))
        return false;
    r.serial = unescapeUsbSerial(f.at(3));
    qsizetype i = 4;
    if (i < f.size() && !f.at(i).isEmpty() && f.at(i).at(0).isDigit()) {
        bool ok = false;
        r.interfaceNumber = f.at(i).toInt(&ok);
        if (!ok || r.interfaceNumber > 255)
            return false;
        ++i;
    }
    if (i < f.size()) {
        if (f.at(i).compare(QLatin1String("INSTR"), Qt::CaseInsensitive) != 0)
            return false;
        ++i;
    }
    if (i != f.size())
        return false;
    *out = r;
    return true;
}

namespace {

QString usbResourceText(int board, quint16 vendorId, quint16 productId, const QString &serial, int interfaceNumber)
{
    QString s = QStringLiteral("USB%1::0x%2::0x%3::")
                    .arg(board)
                    .arg(QString::number(vendorId, 16).rightJustified(4, QLatin1Char('0')).toUpper())
                    .arg(QString::number(productId, 16).rightJustified(4, QLatin1Char('0')).toUpper());
    s += escapeUsbSerial(serial);
    if (interfaceNumber >= 0)
        s += QStringLiteral("::%1").arg(interfaceNumber);
    return s + QStringLiteral("::INSTR");
}

} // namespace

QString usbResourceName(quint16 vendorId, quint16 productId, const QString &serial, int interfaceNumber)
{
    return usbResourceText(0, vendorId, productId, serial, interfaceNumber > 0 ? interfaceNumber : -1);
}

QString usbResourceName(const UsbResourceName &parts)
{
    return usbResourceText(parts.board, parts.vendorId, parts.productId, parts.serial, parts.interfaceNumber);
}

UsbtmcBackend::UsbtmcBackend(QString sysfsRoot, QString devRoot, Opener opener)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)), opener_(std::move(opener))
{
}

QList<UsbtmcDevice> UsbtmcBackend::devices() const
{
    static const QRegularExpression nodeName(QStringLiteral("\\Ausbtmc(\\d+)\\z"));
    QList<std::pair<int, UsbtmcDevice>> found;
    QSet<QString> seen;
    for (const char *cls : {"class/usbmisc", "class/usb"}) {
        const QDir dir(sysfsRoot_ + QLatin1Char('/') + QLatin1String(cls));
        for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
            const auto m = nodeName.match(entry);
            if (!m.hasMatch() || seen.contains(entry))
                continue;
            // <entry>/device is the USB interface; its parent is the USB device.
            const QString iface = QFileInfo(dir.filePath(entry) + QStringLiteral("/device")).canonicalFilePath();
            if (iface.isEmpty())
                continue;
            const QString usbDev = QFileInfo(iface).path();
            UsbtmcDevice d;
            if (!parseHexId(readSysfsText(usbDev + QStringLiteral("/idVendor")), &d.vendorId)
                || !parseHexId(readSysfsText(usbDev + QStringLiteral("/idProduct")), &d.productId))
                continue;
            d.serial = readSysfsSerial(usbDev + QStringLiteral("/serial"));
            d.manufacturer = readSysfsText(usbDev + QStringLiteral("/manufacturer"));
            d.product = readSysfsText(usbDev + QStringLiteral("/product"));
            bool ok = false;
            const int ifnum = readSysfsText(iface + QStringLiteral("/bInterfaceNumber")).toInt(&ok, 16);
            d.interfaceNumber = ok ? ifnum : 0;
            d.node = entry;
            d.devicePath = devRoot_ + QLatin1Char('/') + entry;
            d.resource = usbResourceName(d.vendorId, d.productId, d.serial, d.interfaceNumber);
            seen.insert(entry);
            found.append({m.captured(1).toInt(), d});
        }
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<UsbtmcDevice> out;
    for (const auto &p : found)
        out << p.second;
    return out;
}

QStringList UsbtmcBackend::resources()
{
    QStringList names;
    for (const UsbtmcDevice &d : devices())
        names << d.resource;
    return names;
}

namespace {

// The device a resource name stands for: the same ids and serial (VISA names
// are compared without regard to case) and the interface named, or the
// lowest one when none is.
const UsbtmcDevice *deviceFor(const QList<UsbtmcDevice> &list, const QString &resource)
{
    UsbResourceName want;
    if (!parseUsbResourceName(resource, &want) || want.board != 0)
        return nullptr;
    const UsbtmcDevice *match = nullptr;
    for (const UsbtmcDevice &d : list) {
        if (d.vendorId != want.vendorId || d.productId != want.productId
            || d.serial.compare(want.serial, Qt::CaseInsensitive) != 0)
            continue;
        if (want.interfaceNumber >= 0 && d.interfaceNumber != want.interfaceNumber)
            continue;
        if (!match || d.interfaceNumber < match->interfaceNumber)
            match = &d;
    }
    return match;
}

} // namespace

ViStatus UsbtmcBackend::open(const QString &resource, std::unique_ptr<VisaInstrument> *out)
{
    const QList<UsbtmcDevice> list = devices();
    const UsbtmcDevice *match = deviceFor(list, resource);
    if (!match)
        return VI_ERROR_RSRC_NFOUND;
    const int fd = opener_ ? opener_(match->devicePath)
                           : ::open(QFile::encodeName(match->devicePath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        qWarning("Cannot open %s: %s", qPrintable(match->devicePath), std::strerror(err));
        if (err == ENOENT || err == ENODEV || err == ENXIO)
            return VI_ERROR_RSRC_NFOUND;
        if (err == EBUSY)
            return VI_ERROR_RSRC_BUSY;
        return VI_ERROR_SYSTEM_ERROR;
    }
    *out = std::make_unique<UsbtmcInstrument>(fd);
    return VI_SUCCESS;
}

QString UsbtmcBackend::identity(const QString &resource)
{
    const QList<UsbtmcDevice> list = devices();
    const UsbtmcDevice *d = deviceFor(list, resource);
    if (!d)
        return QString();
    QStringList words;
    if (!d->manufacturer.isEmpty())
        words << d->manufacturer;
    if (!d->product.isEmpty())
        words << d->product;
    return words.join(QLatin1Char(' '));
}
