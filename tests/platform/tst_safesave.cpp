#include "platform/safesave.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "support/filesizelimit.h"

class TestSafeSave : public QObject {
    Q_OBJECT
private slots:
    void writesEveryByte()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        QByteArray bytes(100000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        QString error;
        QVERIFY(SaveWholeFile(path, bytes, &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    // The disk fills up in the middle of the new file: the old one stays whole.
    void fullDiskLeavesThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.txt"));
        QVERIFY(SaveWholeFile(path, QByteArray("previous contents\r\n")));
        QString error;
        bool ok = true;
        {
            FileSizeLimit limit(64);
            QVERIFY(limit.active());
            ok = SaveWholeFile(path, QByteArray(4000, 'x'), &error);
        }
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("previous contents\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.txt")});
    }

    void missingFolderFails()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!SaveWholeFile(dir.filePath(QStringLiteral("no/such/a.txt")), "x", &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSafeSave)
#include "tst_safesave.moc"
