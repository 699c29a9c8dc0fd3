// Taking a controller node's path apart into group, labels and value.
#include "editors/ctrlpath.h"

#include <QtTest>

class TestCtrlPath : public QObject {
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("value");

        QTest::newRow("setting below a group")
            << "QM4100D\\CH1\\Coupling [DC]" << "CH1" << "Coupling" << " " << "DC";
        QTest::newRow("setting below a sub-group")
            << "QM4100D\\LA\\Channel\\D15-D8 [ON]" << "LA" << "Channel" << "D15-D8" << "ON";
        QTest::newRow("value holding a blank")
            << "QM4100D\\Trigger\\Pulse mode [+Less Than]" << "Trigger" << "Pulse mode" << " " << "+Less Than";
        QTest::newRow("label holding a blank")
            << "QM4100D\\Time Base\\CH2\\Delay [0.0000s]" << "Time Base" << "CH2" << "Delay" << "0.0000s";
        QTest::newRow("empty value") << "QM4100D\\LA\\Position\\D3 []" << "LA" << "Position" << "D3" << "";
        QTest::newRow("Chinese labels")
            << QString::fromUtf8("QM4100D\\触发系统\\触发电平 [0.00div]") << QString::fromUtf8("触发系统")
            << QString::fromUtf8("触发电平") << " " << "0.00div";
        QTest::newRow("sub-group node itself") << "QM4100D\\LA\\Channel" << "LA" << "Channel" << " " << "Channe";
        QTest::newRow("action node") << "QM4100D\\Display\\Clear" << "Display" << "Clear" << " " << "Clea";
        QTest::newRow("group node") << "QM4100D\\CH1" << "CH1" << "CH1" << " " << "CH";
        QTest::newRow("root node") << "QM4100D" << "QM4100D" << "QM4100D" << " " << "QM4100";
        QTest::newRow("empty path") << "" << "" << "" << " " << "";
        QTest::newRow("bracket first in the text") << "QM4100D\\CH1\\[x]" << "CH1" << "" << " " << "x";
    }
    void split()
    {
        QFETCH(QString, path);
        QFETCH(QString, group);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, value);
        const CtrlPathParts p = SplitCtrlPath(path);
        QCOMPARE(p.group, group);
        QCOMPARE(p.first, first);
        QCOMPARE(p.second, second);
        QCOMPARE(p.value, value);
    }
};

QTEST_APPLESS_MAIN(TestCtrlPath)
#include "tst_ctrlpath.moc"
