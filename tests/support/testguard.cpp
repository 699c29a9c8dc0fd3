// Linked into every test program: whatever a test does, it reaches no printer
// of the machine (the Qt printer starts with an empty list of stand-ins, so a
// print that no test aims at a stand-in fails as on a machine without
// printers) and no folder of the user who runs it (the configuration, cache
// and data folders, the settings store among them, are folders of the test
// program's own, removed when it ends).

#include "support/standinprinters.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

namespace {

struct TestGuard {
    QTemporaryDir home{QDir::tempPath() + QStringLiteral("/kelvotest-XXXXXX")};
    StandInPrinters none;

    TestGuard()
    {
        const QByteArray base = home.path().toLocal8Bit();
        qputenv("XDG_CONFIG_HOME", base + "/config");
        qputenv("XDG_CACHE_HOME", base + "/cache");
        qputenv("XDG_DATA_HOME", base + "/data");
        qtPicturePrinter().setPrinters(&none);
    }
};

const TestGuard guard;

} // namespace
