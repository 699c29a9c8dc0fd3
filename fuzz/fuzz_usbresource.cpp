// USB resource names and the USB descriptors they are built from.
//
// Byte 0 picks what the rest is:
//   even: a resource name (Latin-1). For a name n the parser takes, with
//         x = parse(n): parse(build(x)) == x (a missing board or interface
//         read as 0), and build(parse(build(x))) == build(x): the name the
//         program builds comes back the same.
//   odd:  the descriptor texts of one device in a sysfs tree, separated by
//         NUL bytes: idVendor, idProduct, serial, manufacturer, product,
//         bInterfaceNumber. Every resource the search then lists must parse
//         back to that device's ids, serial and interface, rebuild to
//         itself, open (through the backend's opener), and be the one its
//         identity names.

#include "platform/visa/usbtmc.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QTemporaryDir *gSys = nullptr;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(bytes);
}

bool sameName(const UsbResourceName &a, const UsbResourceName &b)
{
    return a.board == b.board && a.vendorId == b.vendorId && a.productId == b.productId && a.serial == b.serial
        && a.interfaceNumber == b.interfaceNumber;
}

// The name the program builds for parsed parts (board 0; interface 0 when not given).
QString rebuild(const UsbResourceName &r)
{
    return usbResourceName(r.vendorId, r.productId, r.serial, r.interfaceNumber < 0 ? 0 : r.interfaceNumber);
}

void checkName(const QString &name)
{
    UsbResourceName parsed;
    if (!parseUsbResourceName(name, &parsed))
        return;
    if (parsed.interfaceNumber < -1 || parsed.interfaceNumber > 255)
        std::abort();
    UsbResourceName again;
    const QString built = rebuild(parsed);
    if (!parseUsbResourceName(built, &again))
        std::abort();
    // The rebuilt name names the same device: board 0 and interface 0 are
    // what a missing board and interface mean.
    parsed.board = 0;
    if (parsed.interfaceNumber < 0)
        parsed.interfaceNumber = 0;
    if (again.interfaceNumber < 0)
        again.interfaceNumber = 0;
    if (!sameName(parsed, again))
        std::abort();
    if (rebuild(again) != built)
        std::abort();
}

void checkDevice(const QList<QByteArray> &fields)
{
    auto field = [&fields](int i) { return i < fields.size() ? fields[i] : QByteArray(); };
    const QString root = gSys->path() + QStringLiteral("/sys");
    QDir(root).removeRecursively();
    const QString usbDev = root + QStringLiteral("/devices/usb1/1-1");
    const QString iface = usbDev + QStringLiteral("/1-1:1.0");
    QDir().mkpath(iface);
    QDir().mkpath(root + QStringLiteral("/class/usbmisc/usbtmc3"));
    writeFile(usbDev + QStringLiteral("/idVendor"), field(0));
    writeFile(usbDev + QStringLiteral("/idProduct"), field(1));
    writeFile(usbDev + QStringLiteral("/serial"), field(2));
    writeFile(usbDev + QStringLiteral("/manufacturer"), field(3));
    writeFile(usbDev + QStringLiteral("/product"), field(4));
    // The kernel writes the interface number as two hex digits.
    const uint8_t ifnum = fields.size() > 5 && !fields[5].isEmpty() ? uint8_t(fields[5][0]) : 0;
    writeFile(iface + QStringLiteral("/bInterfaceNumber"), QByteArray::number(ifnum, 16).rightJustified(2, '0') + '\n');
    if (::symlink(QFile::encodeName(iface).constData(),
                  QFile::encodeName(root + QStringLiteral("/class/usbmisc/usbtmc3/device")).constData())
        != 0)
        std::abort();

    int opened = 0;
    UsbtmcBackend backend(root, QStringLiteral("/nonexistent"), [&opened](const QString &path) {
        if (path != QLatin1String("/nonexistent/usbtmc3"))
            std::abort();
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
            return -1;
        ::close(sv[1]);
        ++opened;
        return sv[0];
    });
    const QList<UsbtmcDevice> devices = backend.devices();
    if (devices.size() > 1)
        std::abort();
    for (const UsbtmcDevice &d : devices) {
        if (d.interfaceNumber != ifnum || d.node != QLatin1String("usbtmc3"))
            std::abort();
        UsbResourceName r;
        if (!parseUsbResourceName(d.resource, &r))
            std::abort(); // listed, and never to be opened
        if (r.vendorId != d.vendorId || r.productId != d.productId || r.serial != d.serial
            || (d.interfaceNumber == 0 ? r.interfaceNumber > 0 : r.interfaceNumber != d.interfaceNumber))
            std::abort();
        if (rebuild(r) != d.resource)
            std::abort();
        std::unique_ptr<VisaInstrument> io;
        const int before = opened;
        if (backend.open(d.resource, &io) != VI_SUCCESS || !io || opened != before + 1)
            std::abort();
        QStringList words;
        if (!d.manufacturer.isEmpty())
            words << d.manufacturer;
        if (!d.product.isEmpty())
            words << d.product;
        if (backend.identity(d.resource) != words.join(QLatin1Char(' ')))
            std::abort();
        checkName(d.resource);
    }
    if (backend.resources().size() != devices.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // On a memory file system when there is one: the tree is written
    // again for every input.
    gSys = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gSys->isValid())
        std::abort();
    std::atexit([] { delete gSys; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1) {
        checkDevice(rest.split('\0'));
        return 0;
    }
    checkName(QString::fromLatin1(rest));
    return 0;
}
