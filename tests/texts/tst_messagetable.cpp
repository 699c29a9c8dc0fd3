#include "app/appstate.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QtTest>

// Every entry of the message table in both languages, letter for letter.
class TestMessageTable : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void everyMessageInBothLanguages_data()
    {
        QTest::addColumn<Msg>("id");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("MsgDeviceNotFound") << Msg::MsgDeviceNotFound << QStringLiteral("Device not found!") << QStringLiteral("设备未找到!");
        QTest::newRow("MsgConnectTitle") << Msg::MsgConnectTitle << QStringLiteral("Connect to Oscilloscope") << QStringLiteral("连接示波器");
        QTest::newRow("MsgSysInfoUnavailable") << Msg::MsgSysInfoUnavailable << QStringLiteral("System Information Is Unavailable At This Time!") << QStringLiteral("该时刻系统信息不可得到！");
        QTest::newRow("MsgConnectFirst") << Msg::MsgConnectFirst << QStringLiteral("Please Connect Oscilloscope First!") << QStringLiteral("请首先连接示波器！");
        QTest::newRow("MsgQueryOnly") << Msg::MsgQueryOnly << QStringLiteral("This Item Query Only!") << QStringLiteral("该项仅可被查询！");
        QTest::newRow("MsgNumberOnly") << Msg::MsgNumberOnly << QStringLiteral("Enter number only!") << QStringLiteral("只可输入数字！");
        QTest::newRow("MsgRootNameFixed") << Msg::MsgRootNameFixed << QStringLiteral("Name of Root Can't Change!") << QStringLiteral("根目录名称不可被修改！");
        QTest::newRow("MsgInvalidZoom") << Msg::MsgInvalidZoom << QStringLiteral("Invalid Zoom Factor!") << QStringLiteral("无效缩放因子！");
        QTest::newRow("MsgBadSheetFile") << Msg::MsgBadSheetFile << QStringLiteral("Data Sheet File Format is Invaild !") << QStringLiteral("数据文件格式无效！");
        QTest::newRow("MsgItemLimit") << Msg::MsgItemLimit << QStringLiteral("Exceed maximum file numbers limit!") << QStringLiteral("超过最大可创建文件数目上限！");
        QTest::newRow("MsgOpenSheetFirst") << Msg::MsgOpenSheetFirst << QStringLiteral("Please Open or Creat a Data Sheet First!") << QStringLiteral("请首先打开或创建一个数据浏览器");
        QTest::newRow("MsgBadCtrlFile") << Msg::MsgBadCtrlFile << QStringLiteral("File Format is Invaild !") << QStringLiteral("文件格式无效！");
        QTest::newRow("MsgCannotConnect") << Msg::MsgCannotConnect << QStringLiteral("Can't Connect to Device!") << QStringLiteral("不能连接设备！");
        QTest::newRow("MsgDeviceInitTitle") << Msg::MsgDeviceInitTitle << QStringLiteral("Device Init") << QStringLiteral("设备初始化");
        QTest::newRow("MsgDeviceSendTitle") << Msg::MsgDeviceSendTitle << QStringLiteral("Device Send Message") << QStringLiteral("设备传送信息");
        QTest::newRow("MsgDeviceReadTitle") << Msg::MsgDeviceReadTitle << QStringLiteral("Device Read Message") << QStringLiteral("设备读取信息");
        QTest::newRow("MsgReadFailed") << Msg::MsgReadFailed << QStringLiteral("Can't Read data from Device!") << QStringLiteral("不能读取设备数据！");
        QTest::newRow("MsgInvalidNumber") << Msg::MsgInvalidNumber << QStringLiteral("Invalid Numeric!") << QStringLiteral("无效数值！");
        QTest::newRow("MsgFileOpFailed") << Msg::MsgFileOpFailed << QStringLiteral("File utility fail!") << QStringLiteral("文件操作失败！");
        QTest::newRow("MsgBadChannelData") << Msg::MsgBadChannelData << QStringLiteral("The channel's data is invalid!") << QStringLiteral("通道数据无效！");
        QTest::newRow("MsgBadFileFormat") << Msg::MsgBadFileFormat << QStringLiteral("The file format is error!") << QStringLiteral("文件格式错误！");
        QTest::newRow("MsgBadWaveData") << Msg::MsgBadWaveData << QStringLiteral("Invalid waveform data!") << QStringLiteral("无效波形数据！");
        QTest::newRow("MsgRs232InitTitle") << Msg::MsgRs232InitTitle << QStringLiteral("RS232 Init") << QStringLiteral("RS232初始化");
        QTest::newRow("MsgBadPortNumber") << Msg::MsgBadPortNumber << QStringLiteral("Invalid port number!") << QStringLiteral("无效端口数!");
        QTest::newRow("MsgRs232SendTitle") << Msg::MsgRs232SendTitle << QStringLiteral("RS232 Send Message") << QStringLiteral("RS232发送信息");
        QTest::newRow("MsgSaveSheetPrompt") << Msg::MsgSaveSheetPrompt << QStringLiteral("Save the changes to the Data Sheet File? ") << QStringLiteral("是否保存对数据浏览器文件的更改？");
        QTest::newRow("MsgSaveCtrlPrompt") << Msg::MsgSaveCtrlPrompt << QStringLiteral("Save the changes to the Control File? ") << QStringLiteral("是否保存对控制器文件的更改？");
    }
    void everyMessageInBothLanguages()
    {
        QFETCH(Msg, id);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QVERIFY(message(id).isEmpty()); // empty until the first load
        LoadMessageTable(1);
        QCOMPARE(message(id), english);
        LoadMessageTable(0);
        QCOMPARE(message(id), chinese);
        LoadMessageTable(1);
        QCOMPARE(message(id), english);
    }

    void idsAreTheTableIds()
    {
        QCOMPARE(int(Msg::MsgDeviceNotFound), 3);
        QCOMPARE(int(Msg::MsgConnectFirst), 7);
        QCOMPARE(int(Msg::MsgReadFailed), 23);
        QCOMPARE(int(Msg::MsgSaveCtrlPrompt), 33);
    }

    // Blanks and punctuation are part of the texts.
    void blanksAndPunctuationKept()
    {
        LoadMessageTable(1);
        QVERIFY(message(Msg::MsgSaveSheetPrompt).endsWith(QLatin1String("? ")));
        QVERIFY(message(Msg::MsgSaveCtrlPrompt).endsWith(QLatin1String("? ")));
        QVERIFY(message(Msg::MsgBadSheetFile).endsWith(QLatin1String(" !")));
        LoadMessageTable(0);
        QVERIFY(message(Msg::MsgDeviceNotFound).endsWith(QLatin1Char('!')));
        QVERIFY(message(Msg::MsgBadPortNumber).endsWith(QLatin1Char('!')));
        QVERIFY(message(Msg::MsgConnectFirst).endsWith(QChar(0xFF01)));
        QVERIFY(message(Msg::MsgSaveSheetPrompt).endsWith(QChar(0xFF1F)));
        QVERIFY(message(Msg::MsgOpenSheetFirst).endsWith(QString::fromUtf8("浏览器")));
    }

    void otherLanguageKeepsEntries()
    {
        LoadMessageTable(7);
        QVERIFY(message(Msg::MsgConnectFirst).isEmpty());
        LoadMessageTable(1);
        LoadMessageTable(-1);
        QCOMPARE(message(Msg::MsgConnectFirst), QStringLiteral("Please Connect Oscilloscope First!"));
        LoadMessageTable(2);
        QCOMPARE(message(Msg::MsgDeviceNotFound), QStringLiteral("Device not found!"));
    }

    void applyingALanguageLoadsTheTable()
    {
        ApplyLanguage(1);
        QCOMPARE(message(Msg::MsgDeviceNotFound), QStringLiteral("Device not found!"));
        QCOMPARE(message(Msg::MsgConnectTitle), QStringLiteral("Connect to Oscilloscope"));
        ApplyLanguage(0);
        QCOMPARE(message(Msg::MsgDeviceNotFound), QStringLiteral("设备未找到!"));
        QCOMPARE(message(Msg::MsgConnectTitle), QStringLiteral("连接示波器"));
    }
};

QTEST_GUILESS_MAIN(TestMessageTable)
#include "tst_messagetable.moc"
