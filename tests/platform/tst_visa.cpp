#include "platform/clock.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"

#include <QtTest>
#include <cstring>
#include <deque>

namespace {

// A tiny in-process backend: each instrument replies with queued messages
// (one message per transfer) and logs what it was written and the time-out it
// was given.
struct FakeLog {
    QList<QByteArray> written;
    QList<ViUInt32> readTimeouts;
    std::deque<QByteArray> replies;
    QList<ViAttrState> bauds;
    int clears = 0;
    int alive = 0;
};

class FakeInstrument : public VisaInstrument {
public:
    explicit FakeInstrument(FakeLog *log) : log_(log) { ++log_->alive; }
    ~FakeInstrument() override { --log_->alive; }
    ViStatus write(ViConstBuf buf, ViUInt32 count, ViUInt32 *ret, ViUInt32) override
    {
        log_->written << QByteArray(reinterpret_cast<const char *>(buf), count);
        *ret = count;
        return VI_SUCCESS;
    }
    ViStatus read(ViBuf buf, ViUInt32 count, ViUInt32 *ret, ViUInt32 timeoutMs) override
    {
        log_->readTimeouts << timeoutMs;
        *ret = 0;
        if (log_->replies.empty()) {
            appClock().pause(static_cast<int>(timeoutMs));
            return VI_ERROR_TMO;
        }
        QByteArray &m = log_->replies.front();
        const ViUInt32 n = std::min<ViUInt32>(count, static_cast<ViUInt32>(m.size()));
        std::memcpy(buf, m.constData(), n);
        *ret = n;
        m.remove(0, n);
        if (m.isEmpty()) {
            log_->replies.pop_front();
            return VI_SUCCESS;
        }
        return VI_SUCCESS_MAX_CNT;
    }
    ViStatus clear() override
    {
        ++log_->clears;
        log_->replies.clear();
        return VI_SUCCESS;
    }
    ViStatus setAttribute(ViAttr attr, ViAttrState v) override
    {
        if (attr != VI_ATTR_ASRL_BAUD)
            return VI_ERROR_NSUP_ATTR;
        log_->bauds << v;
        return VI_SUCCESS;
    }

private:
    FakeLog *log_;
};

class FakeBackend : public VisaBackend {
public:
    FakeBackend(QString name, QStringList names) : name_(std::move(name)), names_(std::move(names)) {}
    QString name() const override { return name_; }
    QStringList resources() override { return names_; }
    ViStatus open(const QString &rsrc, std::unique_ptr<VisaInstrument> *out) override
    {
        for (const QString &n : names_) {
            if (n.compare(rsrc, Qt::CaseInsensitive) == 0) {
                opened << n;
                *out = std::make_unique<FakeInstrument>(&log);
                return VI_SUCCESS;
            }
        }
        return VI_ERROR_RSRC_NFOUND;
    }
    FakeLog log;
    QStringList opened;

private:
    QString name_;
    QStringList names_;
};

const char *kSimUsb1 = "USB0::0xFFFF::0x4100::SN000001::INSTR";
const char *kSimUsb2 = "USB0::0xFFFF::0x4100::SN000002::INSTR";

} // namespace

class TestVisa : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        resetVisa();
        // Only fakes: whatever the machine has attached must not show up.
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        sim_ = std::make_shared<FakeBackend>(QStringLiteral("sim"),
                                             QStringList{kSimUsb1, QStringLiteral("ASRL1::INSTR"), kSimUsb2,
                                                         QStringLiteral("ASRL2::INSTR")});
        registerVisaBackend(sim_);
        QCOMPARE(viOpenDefaultRM(&rm_), VI_SUCCESS);
    }
    void cleanup()
    {
        resetVisa();
        sim_.reset();
        setAppClock(nullptr);
        clock_.reset();
    }

    void statusValuesAreThePublishedOnes_data()
    {
        QTest::addColumn<ViStatus>("status");
        QTest::addColumn<quint32>("published");
        QTest::newRow("VI_SUCCESS") << VI_SUCCESS << 0x00000000u;
        QTest::newRow("VI_SUCCESS_TERM_CHAR") << VI_SUCCESS_TERM_CHAR << 0x3FFF0005u;
        QTest::newRow("VI_SUCCESS_MAX_CNT") << VI_SUCCESS_MAX_CNT << 0x3FFF0006u;
        QTest::newRow("VI_WARN_NULL_OBJECT") << VI_WARN_NULL_OBJECT << 0x3FFF0082u;
        QTest::newRow("VI_ERROR_SYSTEM_ERROR") << VI_ERROR_SYSTEM_ERROR << 0xBFFF0000u;
        QTest::newRow("VI_ERROR_INV_OBJECT") << VI_ERROR_INV_OBJECT << 0xBFFF000Eu;
        QTest::newRow("VI_ERROR_INV_EXPR") << VI_ERROR_INV_EXPR << 0xBFFF0010u;
        QTest::newRow("VI_ERROR_RSRC_NFOUND") << VI_ERROR_RSRC_NFOUND << 0xBFFF0011u;
        QTest::newRow("VI_ERROR_INV_RSRC_NAME") << VI_ERROR_INV_RSRC_NAME << 0xBFFF0012u;
        QTest::newRow("VI_ERROR_INV_ACC_MODE") << VI_ERROR_INV_ACC_MODE << 0xBFFF0013u;
        QTest::newRow("VI_ERROR_TMO") << VI_ERROR_TMO << 0xBFFF0015u;
        QTest::newRow("VI_ERROR_NSUP_ATTR") << VI_ERROR_NSUP_ATTR << 0xBFFF001Du;
        QTest::newRow("VI_ERROR_NSUP_ATTR_STATE") << VI_ERROR_NSUP_ATTR_STATE << 0xBFFF001Eu;
        QTest::newRow("VI_ERROR_IO") << VI_ERROR_IO << 0xBFFF003Eu;
        QTest::newRow("VI_ERROR_NSUP_FMT") << VI_ERROR_NSUP_FMT << 0xBFFF0041u;
        QTest::newRow("VI_ERROR_NSUP_OPER") << VI_ERROR_NSUP_OPER << 0xBFFF0067u;
        QTest::newRow("VI_ERROR_CONN_LOST") << VI_ERROR_CONN_LOST << 0xBFFF00A6u;
    }
    void statusValuesAreThePublishedOnes()
    {
        QFETCH(ViStatus, status);
        QFETCH(quint32, published);
        QCOMPARE(static_cast<quint32>(status), published);
        // Errors are negative 32-bit values, completion codes and warnings positive.
        QCOMPARE(viSucceeded(status), (published & 0x80000000u) == 0);
        static_assert(sizeof(ViStatus) == 4 && ViStatus(-1) < 0, "ViStatus is a signed 32-bit integer");
        static_assert(VI_ATTR_TMO_VALUE == 0x3FFF001Au && VI_ATTR_ASRL_BAUD == 0x3FFF0021u);
    }

    void searchListsEveryBackendInTableOrder()
    {
        auto extra = std::make_shared<FakeBackend>(
            QStringLiteral("extra"), QStringList{QStringLiteral("USB0::0x0001::0x0002::X9::INSTR"),
                                                 QStringLiteral("asrl1::INSTR"), // the same as sim's ASRL1
                                                 QStringLiteral("GPIB0::7::INSTR")});
        registerVisaBackend(extra); // goes in front of sim
        QCOMPARE(visaBackendNames(), QStringList({"extra", "sim"}));

        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "(USB0|ASRL)?*INSTR", &list, &count, desc), VI_SUCCESS);
        QStringList found{QString::fromLatin1(desc)};
        for (ViUInt32 i = 1; i < count; ++i) {
            QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
            found << QString::fromLatin1(desc);
        }
        QCOMPARE(found, QStringList({"USB0::0x0001::0x0002::X9::INSTR", "asrl1::INSTR", kSimUsb1, kSimUsb2,
                                     "ASRL2::INSTR"}));
        // Past the end: not found and an empty description, as often as asked.
        QCOMPARE(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(desc[0], '\0');
        QCOMPARE(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(viClose(list), VI_SUCCESS);
        QCOMPARE(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
    }

    void searchForUsbOnly()
    {
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "USB?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(count, 2u);
        QCOMPARE(QString::fromLatin1(desc), QString::fromLatin1(kSimUsb1));
        QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
        QCOMPARE(QString::fromLatin1(desc), QString::fromLatin1(kSimUsb2));
    }

    void searchFindingNothingOrMalformed()
    {
        ViFindList list = 1234;
        ViUInt32 count = 99;
        ViChar desc[VI_FIND_BUFLEN] = "stale";
        QCOMPARE(viFindRsrc(rm_, "GPIB?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(count, 0u);
        QCOMPARE(list, VI_NULL);
        QCOMPARE(desc[0], '\0');

        count = 99;
        QCOMPARE(viFindRsrc(rm_, "(USB0|ASRL?*INSTR", &list, &count, desc), VI_ERROR_INV_EXPR);
        QCOMPARE(count, 0u);
        QCOMPARE(viFindRsrc(rm_, nullptr, &list, &count, desc), VI_ERROR_INV_EXPR);

        // Without any backend nothing is found.
        QVERIFY(unregisterVisaBackend(QStringLiteral("sim")));
        QVERIFY(!unregisterVisaBackend(QStringLiteral("sim")));
        QCOMPARE(viFindRsrc(rm_, "?*INSTR", &list, &count, desc), VI_ERROR_RSRC_NFOUND);
        // Only a resource manager searches.
        QCOMPARE(viFindRsrc(0x7777, "?*INSTR", &list, &count, desc), VI_ERROR_INV_OBJECT);
    }

    void longDescriptionIsCutToTheBuffer()
    {
        const QString longName = QStringLiteral("USB0::0x0001::0x0002::") + QString(400, QLatin1Char('S'))
                                 + QStringLiteral("::INSTR");
        registerVisaBackend(std::make_shared<FakeBackend>(QStringLiteral("long"), QStringList{longName}));
        QByteArray guard(VI_FIND_BUFLEN + 16, '#');
        ViUInt32 count = 0;
        ViFindList list = VI_NULL;
        QCOMPARE(viFindRsrc(rm_, "USB0::0x0001?*", &list, &count, guard.data()), VI_SUCCESS);
        QCOMPARE(count, 1u);
        QCOMPARE(std::strlen(guard.constData()), size_t(VI_FIND_BUFLEN - 1));
        QCOMPARE(guard.at(VI_FIND_BUFLEN), '#'); // nothing written past the buffer
    }

    void openGoesToTheBackendThatKnowsTheName()
    {
        auto shadow = std::make_shared<FakeBackend>(QStringLiteral("other"),
                                                    QStringList{QStringLiteral("ASRL7::INSTR")});
        registerVisaBackend(shadow);
        ViSession a = VI_NULL;
        ViSession b = VI_NULL;
        QCOMPARE(viOpen(rm_, "asrl2::instr", VI_NULL, 0, &a), VI_SUCCESS); // any case
        QCOMPARE(viOpen(rm_, "ASRL7::INSTR", VI_NULL, 0, &b), VI_SUCCESS);
        QVERIFY(a != VI_NULL && b != VI_NULL && a != b && a != rm_);
        QCOMPARE(sim_->opened, QStringList({"ASRL2::INSTR"}));
        QCOMPARE(shadow->opened, QStringList({"ASRL7::INSTR"}));

        const ViByte line[] = ":KEY:LOCK ENABLE\n";
        ViUInt32 n = 0;
        QCOMPARE(viWrite(a, line, sizeof line - 1, &n), VI_SUCCESS);
        QCOMPARE(n, ViUInt32(sizeof line - 1));
        QCOMPARE(sim_->log.written, QList<QByteArray>({":KEY:LOCK ENABLE\n"}));
        QVERIFY(shadow->log.written.isEmpty());
    }

    void runTimeBackendTakesPrecedenceOverBuiltIn()
    {
        resetVisa();
        QCOMPARE(visaBackendNames(), QStringList({"usbtmc", "asrl"}));
        registerVisaBackend(sim_);
        QCOMPARE(visaBackendNames(), QStringList({"sim", "usbtmc", "asrl"}));
        ViSession rm = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm, "ASRL1::INSTR", VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(sim_->opened, QStringList({"ASRL1::INSTR"}));
        // Registering under a taken name replaces that backend in place.
        auto replacement = std::make_shared<FakeBackend>(QStringLiteral("usbtmc"), QStringList{});
        registerVisaBackend(replacement);
        QCOMPARE(visaBackendNames(), QStringList({"sim", "usbtmc", "asrl"}));
        QCOMPARE(visaBackend(QStringLiteral("usbtmc")), std::shared_ptr<VisaBackend>(replacement));
    }

    void openFailures()
    {
        ViSession vi = 55;
        QCOMPARE(viOpen(rm_, "USB0::0xFFFF::0x4100::SN999999::INSTR", VI_NULL, 0, &vi), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(vi, VI_NULL);
        QCOMPARE(viOpen(rm_, "", VI_NULL, 0, &vi), VI_ERROR_INV_RSRC_NAME);
        QCOMPARE(viOpen(rm_, nullptr, VI_NULL, 0, &vi), VI_ERROR_INV_RSRC_NAME);
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK, 0, &vi), VI_ERROR_INV_ACC_MODE);
        QCOMPARE(viOpen(rm_, kSimUsb1, 0x100, 0, &vi), VI_ERROR_INV_ACC_MODE);
        QCOMPARE(viOpen(0x7777, kSimUsb1, VI_NULL, 0, &vi), VI_ERROR_INV_OBJECT);
        QVERIFY(sim_->opened.isEmpty());
    }

    void timeoutAttributeReachesEveryRead()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        ViAttrState tmo = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        QCOMPARE(tmo, ViAttrState(2000)); // VISA's default
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        ViByte buf[256];
        ViUInt32 n = 77;
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(n, 0u);
        QCOMPARE(sim_->log.readTimeouts, QList<ViUInt32>({10000}));
        QCOMPARE(appClock().nowMs(), qint64(10000));
        // A time-out beyond 32 bits is refused and the old one stays.
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, ViAttrState(1) << 33), VI_ERROR_NSUP_ATTR_STATE);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        QCOMPARE(tmo, ViAttrState(10000));
        // Other attributes go to the instrument; the manager has none.
        QCOMPARE(viSetAttribute(vi, VI_ATTR_ASRL_BAUD, 19200), VI_SUCCESS);
        QCOMPARE(sim_->log.bauds, QList<ViAttrState>({19200}));
        QCOMPARE(viSetAttribute(vi, 0x3FFF0018, 10), VI_ERROR_NSUP_ATTR);
        QCOMPARE(viSetAttribute(rm_, VI_ATTR_TMO_VALUE, 10), VI_ERROR_NSUP_ATTR);
    }

    void readEndsAtMessageOrCount()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        sim_->log.replies = {QByteArray("1.00V\n"), QByteArray(300, 'x')};
        ViByte buf[256];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), n), QByteArray("1.00V\n"));
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(n, 256u);
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(n, 44u);
        // A read with no count pointer still works.
        sim_->log.replies = {QByteArray("OK\n")};
        QCOMPARE(viRead(vi, buf, sizeof buf, nullptr), VI_SUCCESS);
        QCOMPARE(viRead(vi, nullptr, 10, &n), VI_ERROR_USER_BUF);
    }

    void scanfBlockStoresUpToEndAndDropsTheRest()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        QByteArray setup(116, '\0');
        for (int i = 0; i < setup.size(); ++i)
            setup[i] = static_cast<char>(i == 40 ? '\n' : i + 1); // an LF inside does not end it

        // Exactly the record: success, every byte stored.
        sim_->log.replies = {setup};
        ViByte rec[116];
        std::memset(rec, 0xEE, sizeof rec);
        ViUInt32 n = 0;
        QCOMPARE(viVScanf(vi, "%t", rec, sizeof rec, &n), VI_SUCCESS);
        QCOMPARE(n, 116u);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(rec), 116), setup);

        // Longer than the record, in several transfers: the first 116 bytes are
        // stored, the rest of the message is dropped, the count was reached.
        sim_->log.replies = {setup + QByteArray(5000, 'z'), QByteArray("NEXT\n")};
        std::memset(rec, 0, sizeof rec);
        QCOMPARE(viScanfBlock(vi, "%t", rec, sizeof rec, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(n, 116u);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(rec), 116), setup);
        ViByte buf[16];
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), n), QByteArray("NEXT\n"));

        // Shorter: stored from the first byte, the rest of the record untouched.
        sim_->log.replies = {QByteArray("abc")};
        std::memset(rec, 0xEE, sizeof rec);
        QCOMPARE(viScanfBlock(vi, "%t", rec, sizeof rec, &n), VI_SUCCESS);
        QCOMPARE(n, 3u);
        QCOMPARE(rec[2], ViByte('c'));
        QCOMPARE(rec[3], ViByte(0xEE));

        // No reply: the session time-out, once for the whole read.
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        const qint64 before = appClock().nowMs();
        QCOMPARE(viScanfBlock(vi, "%t", rec, sizeof rec, &n), VI_ERROR_TMO);
        QCOMPARE(appClock().nowMs() - before, qint64(10000));

        QCOMPARE(viScanfBlock(vi, "%d", rec, sizeof rec, &n), VI_ERROR_NSUP_FMT);
        QCOMPARE(viScanfBlock(vi, "%256t", rec, sizeof rec, &n), VI_ERROR_NSUP_FMT);
    }

    void clearReachesTheInstrument()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        sim_->log.replies = {QByteArray("stale\n")};
        QCOMPARE(viClear(vi), VI_SUCCESS);
        QCOMPARE(sim_->log.clears, 1);
        QVERIFY(sim_->log.replies.empty());
        QCOMPARE(viClear(rm_), VI_ERROR_NSUP_OPER);
    }

    void closingHandles()
    {
        ViSession a = VI_NULL;
        ViSession b = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &a), VI_SUCCESS);
        QCOMPARE(viOpen(rm_, kSimUsb2, VI_NULL, 0, &b), VI_SUCCESS);
        QCOMPARE(sim_->log.alive, 2);
        QCOMPARE(viClose(a), VI_SUCCESS);
        QCOMPARE(sim_->log.alive, 1);
        QCOMPARE(viClose(a), VI_ERROR_INV_OBJECT);
        ViByte buf[4];
        QCOMPARE(viRead(a, buf, sizeof buf, nullptr), VI_ERROR_INV_OBJECT);
        QCOMPARE(viWrite(a, buf, sizeof buf, nullptr), VI_ERROR_INV_OBJECT);
        QCOMPARE(viClose(VI_NULL), VI_WARN_NULL_OBJECT);

        // Closing the manager closes what was opened from it, not what another opened.
        ViSession rm2 = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm2), VI_SUCCESS);
        ViSession c = VI_NULL;
        QCOMPARE(viOpen(rm2, "ASRL1::INSTR", VI_NULL, 0, &c), VI_SUCCESS);
        ViFindList list = VI_NULL;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "?*INSTR", &list, nullptr, desc), VI_SUCCESS);
        QCOMPARE(viClose(rm_), VI_SUCCESS);
        QCOMPARE(sim_->log.alive, 1);
        QCOMPARE(viRead(b, buf, sizeof buf, nullptr), VI_ERROR_INV_OBJECT);
        QCOMPARE(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &a), VI_ERROR_INV_OBJECT);
        sim_->log.replies = {QByteArray("x\n")};
        QCOMPARE(viRead(c, buf, sizeof buf, nullptr), VI_SUCCESS);
        // A session's operations are not the manager's.
        QCOMPARE(viRead(rm2, buf, sizeof buf, nullptr), VI_ERROR_NSUP_OPER);
    }

    void sessionOutlivesItsBackendLeavingTheTable()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, kSimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        std::weak_ptr<FakeBackend> weak = sim_;
        FakeLog *log = &sim_->log;
        QVERIFY(unregisterVisaBackend(QStringLiteral("sim")));
        sim_.reset();
        QVERIFY(!weak.expired()); // held by the open session
        log->replies = {QByteArray("still here\n")};
        ViByte buf[32];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(n, 11u);
        QCOMPARE(viClose(vi), VI_SUCCESS);
        QVERIFY(weak.expired());
    }

private:
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<FakeBackend> sim_;
    ViSession rm_ = VI_NULL;
};

QTEST_GUILESS_MAIN(TestVisa)
#include "tst_visa.moc"
