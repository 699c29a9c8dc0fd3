// The heap policy: a stored file's samples (three blocks of 2 MB for a
// 1,000,000-point record), freed and asked for again, come back without
// fresh pages from the system; under the C library's default they went back
// to the system when freed, and the next file's samples faulted some 1,500
// zeroed pages in.
#include "platform/heappolicy.h"

#include <QtTest>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define KELVO_OWN_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define KELVO_OWN_HEAP 0
#endif
#endif
#ifndef KELVO_OWN_HEAP
#define KELVO_OWN_HEAP 1
#endif

#if KELVO_OWN_HEAP && defined(__GLIBC__)
namespace {

long minorFaults()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

// Pages faulted in while blocks of these sizes are taken and written whole;
// they are freed before it returns.
long faultsTaking(const std::vector<std::size_t> &sizes)
{
    std::vector<std::unique_ptr<char[]>> blocks;
    const long before = minorFaults();
    for (std::size_t n : sizes) {
        blocks.emplace_back(new char[n]);
        std::memset(blocks.back().get(), 1, n);
    }
    return minorFaults() - before;
}

} // namespace
#endif

class TestHeapPolicy : public QObject {
    Q_OBJECT
private slots:
    void freedSamplesAreTakenAgainWithoutFreshPages()
    {
#if !KELVO_OWN_HEAP || !defined(__GLIBC__)
        QSKIP("the process's heap is not the C library's own");
#else
        KeepFreedMemoryForReuse();
        const std::vector<std::size_t> record(3, 2000002); // three channels of a million points
        constexpr long Pages = 3 * 2000002 / 4096;
        const long first = faultsTaking(record);
        QVERIFY2(first > Pages / 2, qPrintable(QString::number(first))); // fresh the first time
        // Taken again and again: what else the heap holds can leave a block
        // to be placed anew now and then, never the whole record each time.
        std::array<long, 6> again{};
        for (long &pages : again)
            pages = faultsTaking(record);
        long total = 0;
        QStringList shown;
        for (long pages : again) {
            total += pages;
            shown << QString::number(pages);
        }
        QVERIFY2(total < Pages, qPrintable(QStringLiteral("pages faulted in per turn: ") + shown.join(QLatin1Char(' '))));
#endif
    }
};

QTEST_GUILESS_MAIN(TestHeapPolicy)
#include "tst_heappolicy.moc"
