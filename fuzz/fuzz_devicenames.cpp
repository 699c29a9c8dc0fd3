// Resource and device names as the system and its backends give them: the
// VISA search at connect time and the resource chooser, and the serial device
// list with the paths of KELVOSCOPE_EXTRA_PORTS behind COM n and ASRLn::INSTR.
//
// Byte 0 picks what the rest is:
//   even: the resources a VISA backend offers, as pairs of fields (the name,
//         then the identity it tells of it), fields separated by NUL bytes;
//         byte 1 is the user's answer in the chooser: an entry (modulo the
//         entries, two more: OK with none selected, Cancel), taken by OK or
//         (bit 7) by a double click. The connect searches, shows the chooser
//         when more than one resource matches, and opens what was chosen.
//   odd:  the paths of KELVOSCOPE_EXTRA_PORTS (each field a file name in a
//         scratch folder, the fields joined with ":"); bit k of byte 1 says
//         whether the k-th file exists (k modulo 8).
//
// Invariants. VISA: the search lists the names the expression
// "(USB0|ASRL)?*INSTR" takes (a name beginning with USB0 or ASRL and ending in
// INSTR, letters in any case), each once whatever its case, in the backend's
// order, at most as many as the list holds, each cut to the longest name kept;
// the chooser shows exactly those, each with its identity; the resource opened
// is the one chosen, and nothing is opened after Cancel or with nothing found.
// Serial: the device list is the system's ports, then every extra path that
// exists, is no folder and is not listed already, in the order given; COM n and ASRLn::INSTR
// name its n-th entry, "ASRL<path>::INSTR" the path; the options dialog's
// port list shows each device after its COM n; the name order is a strict
// order.

#include "app/appstate.h"
#include "link/dlgresource.h"
#include "link/link.h"
#include "link/resourcechooser.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/serialport/serialdevices.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/asrl.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "shell/optionslists.h"
#include "texts/loadlanguage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QTemporaryDir *gDir = nullptr;
ScriptedUi *gUi = nullptr;
VirtualClock *gClock = nullptr;

void check(bool bad, const char *what)
{
    if (bad) {
        std::fprintf(stderr, "invariant: %s\n", what);
        std::abort();
    }
}

class NoInstrument final : public VisaInstrument {
public:
    ViStatus write(ViConstBuf, ViUInt32 count, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = count;
        return VI_SUCCESS;
    }
    ViStatus read(ViBuf, ViUInt32, ViUInt32 *retCount, ViUInt32) override
    {
        *retCount = 0;
        return VI_ERROR_TMO;
    }
    ViStatus clear() override { return VI_SUCCESS; }
    ViStatus setAttribute(ViAttr, ViAttrState) override { return VI_SUCCESS; }
};

// A backend offering the input's names; it records what is opened.
class NamesBackend final : public VisaBackend {
public:
    QList<std::pair<QString, QString>> offered; // name, identity
    QStringList opened;
    QString name() const override { return QStringLiteral("sim"); }
    QStringList resources() override
    {
        QStringList out;
        for (const auto &o : offered)
            out << o.first;
        return out;
    }
    ViStatus open(const QString &resource, std::unique_ptr<VisaInstrument> *out) override
    {
        for (const auto &o : offered)
            if (o.first == resource) {
                opened << resource;
                *out = std::make_unique<NoInstrument>();
                return VI_SUCCESS;
            }
        return VI_ERROR_RSRC_NFOUND;
    }
    QString identity(const QString &resource) override
    {
        for (const auto &o : offered)
            if (o.first == resource)
                return o.second;
        return QString();
    }
};

bool searchTakes(const QString &name)
{
    const QString up = name.toUpper();
    return up.size() >= 9 && (up.startsWith(QLatin1String("USB0")) || up.startsWith(QLatin1String("ASRL")))
        && up.endsWith(QLatin1String("INSTR"));
}

void checkVisaNames(uint8_t answer, const QList<QByteArray> &fields)
{
    auto backend = std::make_shared<NamesBackend>();
    for (qsizetype i = 0; i < fields.size(); i += 2)
        backend->offered.append({QString::fromLatin1(fields[i]),
                                 i + 1 < fields.size() ? QString::fromLatin1(fields[i + 1]) : QString()});
    // What the search must find.
    QStringList found;
    QSet<QString> seen;
    for (const auto &o : backend->offered) {
        if (!searchTakes(o.first) || seen.contains(o.first.toUpper()))
            continue;
        seen.insert(o.first.toUpper());
        found << o.first;
    }
    const QStringList listed = [&] {
        QStringList l;
        for (qsizetype i = 0; i < found.size() && i < ResourceListSize; ++i)
            l << found[i].left(std::min(ResourceNameMax, 255));
        return l;
    }();

    resetApp();
    setAppClock(gClock);
    gUi->clear();
    setUi(gUi);
    resetVisa();
    unregisterVisaBackend(QStringLiteral("usbtmc"));
    unregisterVisaBackend(QStringLiteral("asrl"));
    registerVisaBackend(backend);
    app().link.IoType = 0;
    OpenVisaRM();

    int shown = 0;
    QString chosen;
    bool cancelled = false;
    setResourceChooser([&](const QStringList &names) {
        ++shown;
        check(names != listed, "the chooser shows other names than the search found");
        DlgResource d;
        d.setResources(names);
        QListWidget *list = d.cmbResource();
        check(list->count() != names.size(), "the chooser lists another count");
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem *item = list->item(i);
            const QString identity = backend->identity(names[i]);
            check(item->data(Qt::UserRole).toString() != names[i], "an entry stands for another resource");
            check(item->text() != (identity.isEmpty() ? names[i] : names[i] + u'\n' + identity),
                  "an entry shows other words");
        }
        check(list->currentRow() != -1 || !list->selectedItems().isEmpty(), "an entry is chosen at the start");
        const int pick = answer % 0x80 % (list->count() + 2);
        if (pick < list->count()) {
            chosen = names[pick];
            if (answer & 0x80) {
                emit list->itemDoubleClicked(list->item(pick));
            } else {
                list->setCurrentRow(pick);
                d.OKButton()->click();
            }
        } else if (pick == list->count()) {
            d.OKButton()->click(); // nothing selected
        } else {
            cancelled = true;
            d.CancelButton()->click();
        }
    });
    app().link.LinkOpened = -1;
    OpenVisaDevice();
    setResourceChooser({});
    const LinkState &l = app().link;

    check(l.ResourceCount != (found.isEmpty() ? 0 : std::min<int>(found.size(), ResourceListSize)), "the count");
    for (int i = 0; i < ResourceListSize; ++i)
        check(l.ResourceList[size_t(i)] != listed.value(i), "the resource list");
    check(shown != (found.size() > 1 ? 1 : 0), "the chooser shown or not");
    QString expect;
    if (found.size() == 1)
        expect = listed[0];
    else if (found.size() > 1 && !cancelled)
        expect = chosen;
    bool known = false;
    for (const auto &o : backend->offered)
        known = known || (!expect.isEmpty() && o.first == expect);
    if (known) {
        check(backend->opened != QStringList{expect}, "another resource was opened");
        check(!l.LinkOpened || l.ResourceName != expect, "the chosen resource is not the link's");
        check(!gUi->messages().isEmpty(), "a message for a resource that opened");
    } else {
        // Nothing found, nothing chosen, Cancel, or a name cut to the longest
        // kept that no backend knows.
        check(!backend->opened.isEmpty(), "opened what was not chosen");
        check(l.LinkOpened, "the link opened with nothing to open");
        check(cancelled != gUi->messages().isEmpty(), cancelled ? "a Cancel that speaks" : "a failed open without a message");
    }
    resetVisa();
    setUi(nullptr);
    setAppClock(nullptr);
}

void checkSerialDevices(uint8_t exists, const QList<QByteArray> &fields)
{
    const QString dir = gDir->path();
    for (const QString &f : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir + u'/' + f);
    QStringList parts;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString name = QString::fromUtf8(fields[i]);
        parts << dir + u'/' + name;
        QString file = name;
        file.replace(u'/', u'_');
        file.remove(QChar(0));
        if (!file.isEmpty() && file != QLatin1String(".") && file != QLatin1String("..") && !file.contains(u':')
            && (exists >> (i % 8)) & 1) {
            QFile f(dir + u'/' + file);
            (void)f.open(QIODevice::WriteOnly);
        }
    }
    const QString env = parts.join(u':');
    qputenv("KELVOSCOPE_EXTRA_PORTS", env.toUtf8());

    // The system's ports stand first (the list without the variable, read
    // once: the system's own search is slow).
    static const QList<SerialDevice> system = [] {
        qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        return serialDevices();
    }();
    qputenv("KELVOSCOPE_EXTRA_PORTS", env.toUtf8());
    QStringList want;
    for (const SerialDevice &d : system)
        want << d.path;
    for (const QString &e : QString::fromUtf8(qgetenv("KELVOSCOPE_EXTRA_PORTS")).split(u':', Qt::SkipEmptyParts)) {
        const QString path = e.trimmed();
        if (!path.isEmpty() && !want.contains(path) && QFileInfo::exists(path) && !QFileInfo(path).isDir())
            want << path;
    }
    // (Each look-up below searches the system's ports again: a few only.)
    const QList<SerialDevice> devices = serialDevices();
    QStringList paths;
    for (const SerialDevice &d : devices)
        paths << d.path;
    check(paths != want, "the device list");
    if (!paths.isEmpty())
        check(asrlDevicePath(QStringLiteral("ASRL%1::INSTR").arg(paths.size())) != paths.last(),
              "ASRLn names another device");
    QStringList texts;
    for (int i = 0; i < devices.size(); ++i) {
        const QString text = serialDeviceText(devices[i]);
        check(!text.startsWith(devices[i].path), "a device's words");
        texts << text;
        const QString &p = paths[i];
        bool plain = p.startsWith(u'/') && !p.contains(QLatin1String("::"));
        for (QChar c : p)
            plain = plain && c.unicode() >= 0x20 && c.unicode() != 0x7F && c.unicode() < 0x80;
        if (plain)
            check(asrlDevicePath(QStringLiteral("ASRL") + p + QStringLiteral("::INSTR")) != p, "ASRL<path> names another");
    }
    check(!asrlDevicePath(QStringLiteral("ASRL%1::INSTR").arg(paths.size() + 1)).isEmpty(), "ASRL past the list");
    QStringList asrl;
    for (int i = 1; i <= paths.size(); ++i)
        asrl << QStringLiteral("ASRL%1::INSTR").arg(i);
    check(AsrlBackend().resources() != asrl, "the ASRL resources");
    for (int lang : {0, 1}) {
        const QStringList entries = portEntries(texts, lang);
        const QStringList ports = portNames();
        check(entries.size() != ports.size(), "the port list's length");
        for (int n = 0; n < entries.size(); ++n) {
            check(!entries[n].startsWith(ports[n]), "a port entry without its COM n");
            if (n < texts.size())
                check(!entries[n].contains(texts[n]), "a port entry without its device");
        }
    }
    // The order of names: strict.
    QStringList names;
    for (const QByteArray &f : fields)
        names << QString::fromUtf8(f);
    for (const QString &a : names) {
        check(serialDeviceNameLess(a, a), "a name before itself");
        for (const QString &b : names)
            check(serialDeviceNameLess(a, b) && serialDeviceNameLess(b, a), "two names each before the other");
    }
    qunsetenv("KELVOSCOPE_EXTRA_PORTS");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication qapp(*argc, *argv); // the chooser is a window
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    gDir = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? new QTemporaryDir(QStringLiteral("/dev/shm/kelvo-fuzz-XXXXXX"))
                                                              : new QTemporaryDir;
    if (!gDir->isValid())
        std::abort();
    std::atexit([] { delete gDir; });
    ApplyLanguage(1);
    return 0;
}

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    const QList<QByteArray> fields = rest.isEmpty() ? QList<QByteArray>{} : rest.split('\0');
    if (data[0] & 1)
        checkSerialDevices(data[1], fields.mid(0, 16));
    else
        checkVisaNames(data[1], fields.mid(0, 2 * 80));
    return 0;
}
