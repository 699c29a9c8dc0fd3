#include "app/appstate.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <QtTest>

// Every display word of every group in both languages, and what each filler
// writes for a language other than Chinese and English.
class TestStringRes : public QObject {
    Q_OBJECT

    static void addColumns()
    {
        QTest::addColumn<Word>("w");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
    }

private slots:
    void init() { resetApp(); }

    void neutralLabels_data()
    {
        addColumns();
        QTest::newRow("ItemCH1") << Word::ItemCH1 << QStringLiteral("CH1") << QStringLiteral("CH1");
        QTest::newRow("ItemCH2") << Word::ItemCH2 << QStringLiteral("CH2") << QStringLiteral("CH2");
        QTest::newRow("ItemLA") << Word::ItemLA << QStringLiteral("LA") << QStringLiteral("LA");
        QTest::newRow("ItemH") << Word::ItemH << QStringLiteral("H") << QStringLiteral("H");
        QTest::newRow("ItemL") << Word::ItemL << QStringLiteral("L") << QStringLiteral("L");
        QTest::newRow("ItemX") << Word::ItemX << QStringLiteral("X") << QStringLiteral("X");
        QTest::newRow("ItemD15") << Word::ItemD15 << QStringLiteral("D15") << QStringLiteral("D15");
        QTest::newRow("ItemD14") << Word::ItemD14 << QStringLiteral("D14") << QStringLiteral("D14");
        QTest::newRow("ItemD13") << Word::ItemD13 << QStringLiteral("D13") << QStringLiteral("D13");
        QTest::newRow("ItemD12") << Word::ItemD12 << QStringLiteral("D12") << QStringLiteral("D12");
        QTest::newRow("ItemD11") << Word::ItemD11 << QStringLiteral("D11") << QStringLiteral("D11");
        QTest::newRow("ItemD10") << Word::ItemD10 << QStringLiteral("D10") << QStringLiteral("D10");
        QTest::newRow("ItemD9") << Word::ItemD9 << QStringLiteral("D9") << QStringLiteral("D9");
        QTest::newRow("ItemD8") << Word::ItemD8 << QStringLiteral("D8") << QStringLiteral("D8");
        QTest::newRow("ItemD7") << Word::ItemD7 << QStringLiteral("D7") << QStringLiteral("D7");
        QTest::newRow("ItemD6") << Word::ItemD6 << QStringLiteral("D6") << QStringLiteral("D6");
        QTest::newRow("ItemD5") << Word::ItemD5 << QStringLiteral("D5") << QStringLiteral("D5");
        QTest::newRow("ItemD4") << Word::ItemD4 << QStringLiteral("D4") << QStringLiteral("D4");
        QTest::newRow("ItemD3") << Word::ItemD3 << QStringLiteral("D3") << QStringLiteral("D3");
        QTest::newRow("ItemD2") << Word::ItemD2 << QStringLiteral("D2") << QStringLiteral("D2");
        QTest::newRow("ItemD1") << Word::ItemD1 << QStringLiteral("D1") << QStringLiteral("D1");
        QTest::newRow("ItemD0") << Word::ItemD0 << QStringLiteral("D0") << QStringLiteral("D0");
        QTest::newRow("ItemD15D8") << Word::ItemD15D8 << QStringLiteral("D15-D8") << QStringLiteral("D15-D8");
        QTest::newRow("ItemD7D0") << Word::ItemD7D0 << QStringLiteral("D7-D0") << QStringLiteral("D7-D0");
    }
    // The same in every language, written whatever the language index.
    void neutralLabels()
    {
        QFETCH(Word, w);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(english, chinese);
        QVERIFY(word(w).isEmpty());
        FillTreeLabels(5);
        QCOMPARE(word(w), english);
        resetApp();
        FillTreeLabels(0);
        QCOMPARE(word(w), english);
        resetApp();
        FillTreeLabels(1);
        QCOMPARE(word(w), english);
        QCOMPARE(wordLiteral(w, -3), english);
    }

    void itemLabels_data()
    {
        addColumns();
        QTest::newRow("ItemRunStop") << Word::ItemRunStop << QStringLiteral("Run|Stop") << QStringLiteral("运行|停止");
        QTest::newRow("ItemUntitled") << Word::ItemUntitled << QStringLiteral("Untitle") << QStringLiteral("未标题");
        QTest::newRow("ItemDataSheet") << Word::ItemDataSheet << QStringLiteral("Data Sheet") << QStringLiteral("数据浏览器");
        QTest::newRow("ItemRunningControl") << Word::ItemRunningControl << QStringLiteral("Running Control") << QStringLiteral("运行控制");
        QTest::newRow("ItemAutoSet") << Word::ItemAutoSet << QStringLiteral("Auto Set") << QStringLiteral("自动设置");
        QTest::newRow("ItemTrig50") << Word::ItemTrig50 << QStringLiteral("Set Trig to 50%") << QStringLiteral("触发电平至50%");
        QTest::newRow("ItemForceTrigger") << Word::ItemForceTrigger << QStringLiteral("Force Trigger") << QStringLiteral("强制触发");
        QTest::newRow("ItemDisplay") << Word::ItemDisplay << QStringLiteral("Display") << QStringLiteral("显示");
        QTest::newRow("ItemVoltDiv") << Word::ItemVoltDiv << QStringLiteral("Volt/Div") << QStringLiteral("档位");
        QTest::newRow("ItemOffset") << Word::ItemOffset << QStringLiteral("Offset") << QStringLiteral("偏移");
        QTest::newRow("ItemCoupling") << Word::ItemCoupling << QStringLiteral("Coupling") << QStringLiteral("耦合");
        QTest::newRow("ItemBWLimit") << Word::ItemBWLimit << QStringLiteral("BW Limit") << QStringLiteral("带宽限制");
        QTest::newRow("ItemProbe") << Word::ItemProbe << QStringLiteral("Probe") << QStringLiteral("探头");
        QTest::newRow("ItemInvert") << Word::ItemInvert << QStringLiteral("Invert") << QStringLiteral("反相");
        QTest::newRow("ItemChannel") << Word::ItemChannel << QStringLiteral("Channel") << QStringLiteral("通道设置");
        QTest::newRow("ItemPosition") << Word::ItemPosition << QStringLiteral("Position") << QStringLiteral("位置");
        QTest::newRow("ItemReset") << Word::ItemReset << QStringLiteral("Reset") << QStringLiteral("复位");
        QTest::newRow("ItemThreshold") << Word::ItemThreshold << QStringLiteral("Threshold") << QStringLiteral("门限类型");
        QTest::newRow("ItemSize") << Word::ItemSize << QStringLiteral("Size") << QStringLiteral("波形大小");
        QTest::newRow("ItemTimeBase") << Word::ItemTimeBase << QStringLiteral("Time Base") << QStringLiteral("水平系统");
        QTest::newRow("ItemTimeDiv") << Word::ItemTimeDiv << QStringLiteral("Time/Div") << QStringLiteral("时基");
        QTest::newRow("ItemDelay") << Word::ItemDelay << QStringLiteral("Delay") << QStringLiteral("位移");
        QTest::newRow("ItemHoldoff") << Word::ItemHoldoff << QStringLiteral("Holdoff") << QStringLiteral("触发释抑");
        QTest::newRow("ItemMemorySize") << Word::ItemMemorySize << QStringLiteral("Memory Size") << QStringLiteral("内存大小");
        QTest::newRow("ItemFormat") << Word::ItemFormat << QStringLiteral("Format") << QStringLiteral("模式");
        QTest::newRow("ItemTrigger") << Word::ItemTrigger << QStringLiteral("Trigger") << QStringLiteral("触发系统");
        QTest::newRow("ItemMethod") << Word::ItemMethod << QStringLiteral("Method") << QStringLiteral("触发模式");
        QTest::newRow("ItemSource") << Word::ItemSource << QStringLiteral("Source") << QStringLiteral("信源选择");
        QTest::newRow("ItemSlope") << Word::ItemSlope << QStringLiteral("Slope") << QStringLiteral("边沿类型");
        QTest::newRow("ItemMode") << Word::ItemMode << QStringLiteral("Mode") << QStringLiteral("触发方式");
        QTest::newRow("ItemPolarity") << Word::ItemPolarity << QStringLiteral("Polarity") << QStringLiteral("视频极性");
        QTest::newRow("ItemSync") << Word::ItemSync << QStringLiteral("Sync") << QStringLiteral("同步");
        QTest::newRow("ItemLineNumber") << Word::ItemLineNumber << QStringLiteral("Line number") << QStringLiteral("指定行");
        QTest::newRow("ItemVideoStandard") << Word::ItemVideoStandard << QStringLiteral("Video Standard") << QStringLiteral("视频标准");
        QTest::newRow("ItemPulseMode") << Word::ItemPulseMode << QStringLiteral("Pulse mode") << QStringLiteral("脉宽模式");
        QTest::newRow("ItemPulseWidth") << Word::ItemPulseWidth << QStringLiteral("Pulse width") << QStringLiteral("脉冲宽度");
        QTest::newRow("ItemSlopeMode") << Word::ItemSlopeMode << QStringLiteral("Slope mode") << QStringLiteral("斜率条件");
        QTest::newRow("ItemSlopeTime") << Word::ItemSlopeTime << QStringLiteral("Slope time") << QStringLiteral("斜率时间");
        QTest::newRow("ItemSlopeWindow") << Word::ItemSlopeWindow << QStringLiteral("Slope Window") << QStringLiteral("垂直窗");
        QTest::newRow("ItemTrigType") << Word::ItemTrigType << QStringLiteral("Trig type") << QStringLiteral("触发类型");
        QTest::newRow("ItemCode") << Word::ItemCode << QStringLiteral("Code") << QStringLiteral("码型");
        QTest::newRow("ItemRising") << Word::ItemRising << QStringLiteral("Rising") << QStringLiteral("上升沿");
        QTest::newRow("ItemFalling") << Word::ItemFalling << QStringLiteral("Falling") << QStringLiteral("下降沿");
        QTest::newRow("ItemQualifier") << Word::ItemQualifier << QStringLiteral("Qualifier") << QStringLiteral("限定符");
        QTest::newRow("ItemDurationTime") << Word::ItemDurationTime << QStringLiteral("Duration time") << QStringLiteral("持续时间");
        QTest::newRow("ItemLevel") << Word::ItemLevel << QStringLiteral("Level") << QStringLiteral("触发电平");
        QTest::newRow("ItemLevelA") << Word::ItemLevelA << QStringLiteral("LevelA") << QStringLiteral("触发电平A");
        QTest::newRow("ItemLevelB") << Word::ItemLevelB << QStringLiteral("LevelB") << QStringLiteral("触发电平B");
        QTest::newRow("ItemSensitivity") << Word::ItemSensitivity << QStringLiteral("Sensitivity") << QStringLiteral("触发灵敏度");
        QTest::newRow("ItemAcquire") << Word::ItemAcquire << QStringLiteral("Acquire") << QStringLiteral("采样系统");
        QTest::newRow("ItemSamplingMode") << Word::ItemSamplingMode << QStringLiteral("Sampling Mode") << QStringLiteral("采样方式");
        QTest::newRow("ItemAcquisition") << Word::ItemAcquisition << QStringLiteral("Acquisition") << QStringLiteral("获取方式");
        QTest::newRow("ItemAverages") << Word::ItemAverages << QStringLiteral("Averages") << QStringLiteral("平均次数");
        QTest::newRow("ItemIntensity") << Word::ItemIntensity << QStringLiteral("Intensity") << QStringLiteral("亮度");
        QTest::newRow("ItemAntiAliasing") << Word::ItemAntiAliasing << QStringLiteral("Anti-aliasing") << QStringLiteral("Anti-aliasing");
        QTest::newRow("ItemDisplaySystem") << Word::ItemDisplaySystem << QStringLiteral("Display") << QStringLiteral("显示系统");
        QTest::newRow("ItemType") << Word::ItemType << QStringLiteral("Type") << QStringLiteral("显示类型");
        QTest::newRow("ItemPersist") << Word::ItemPersist << QStringLiteral("Persist") << QStringLiteral("波形保持");
        QTest::newRow("ItemGrid") << Word::ItemGrid << QStringLiteral("Grid") << QStringLiteral("网格");
        QTest::newRow("ItemClear") << Word::ItemClear << QStringLiteral("Clear") << QStringLiteral("清除显示");
        QTest::newRow("ItemVirtualKeyboard") << Word::ItemVirtualKeyboard << QStringLiteral("Virtual Keyboard") << QStringLiteral("虚拟系统");
        QTest::newRow("ItemVirtualPanel") << Word::ItemVirtualPanel << QStringLiteral("Virtual Panel") << QStringLiteral("虚拟面板");
    }
    void itemLabels()
    {
        QFETCH(Word, w);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        FillTreeLabels(2);
        QVERIFY(word(w).isEmpty());
        FillTreeLabels(1);
        QCOMPARE(word(w), english);
        FillTreeLabels(0);
        QCOMPARE(word(w), chinese);
        FillTreeLabels(-1); // keeps the previous texts
        QCOMPARE(word(w), chinese);
        QCOMPARE(wordLiteral(w, 1), english);
        QCOMPARE(wordLiteral(w, 0), chinese);
        QVERIFY(wordLiteral(w, 2).isEmpty());
    }

    void valueWords_data()
    {
        addColumns();
        QTest::newRow("WordRun") << Word::WordRun << QStringLiteral("RUN") << QStringLiteral("运行");
        QTest::newRow("WordStop") << Word::WordStop << QStringLiteral("STOP") << QStringLiteral("停止");
        QTest::newRow("WordOn") << Word::WordOn << QStringLiteral("ON") << QStringLiteral("打开");
        QTest::newRow("WordOff") << Word::WordOff << QStringLiteral("OFF") << QStringLiteral("关闭");
        QTest::newRow("WordUser") << Word::WordUser << QStringLiteral("USER") << QStringLiteral("用户定义");
        QTest::newRow("WordBig") << Word::WordBig << QStringLiteral("BIG") << QStringLiteral("大");
        QTest::newRow("WordSmall") << Word::WordSmall << QStringLiteral("SMALL") << QStringLiteral("小");
        QTest::newRow("WordEdge") << Word::WordEdge << QStringLiteral("EDGE") << QStringLiteral("边沿触发");
        QTest::newRow("WordPulse") << Word::WordPulse << QStringLiteral("PULSE") << QStringLiteral("脉宽触发");
        QTest::newRow("WordVideo") << Word::WordVideo << QStringLiteral("VIDEO") << QStringLiteral("视频触发");
        QTest::newRow("WordSlope") << Word::WordSlope << QStringLiteral("SLOPE") << QStringLiteral("斜率触发");
        QTest::newRow("WordAlternative") << Word::WordAlternative << QStringLiteral("ALTERNATIVE") << QStringLiteral("交替触发");
        QTest::newRow("WordPattern") << Word::WordPattern << QStringLiteral("PATTERN") << QStringLiteral("码型触发");
        QTest::newRow("WordDuration") << Word::WordDuration << QStringLiteral("DURATION") << QStringLiteral("持续时间触发");
        QTest::newRow("WordACLine") << Word::WordACLine << QStringLiteral("AC") << QStringLiteral("市电");
        QTest::newRow("WordAC") << Word::WordAC << QStringLiteral("AC") << QStringLiteral("交流");
        QTest::newRow("WordDC") << Word::WordDC << QStringLiteral("DC") << QStringLiteral("直流");
        QTest::newRow("WordLF") << Word::WordLF << QStringLiteral("LF") << QStringLiteral("低频抑制");
        QTest::newRow("WordHF") << Word::WordHF << QStringLiteral("HF") << QStringLiteral("高频抑制");
        QTest::newRow("WordGND") << Word::WordGND << QStringLiteral("GND") << QStringLiteral("接地");
        QTest::newRow("WordAuto") << Word::WordAuto << QStringLiteral("AUTO") << QStringLiteral("自动");
        QTest::newRow("WordNormal") << Word::WordNormal << QStringLiteral("NORMAL") << QStringLiteral("普通");
        QTest::newRow("WordSingle") << Word::WordSingle << QStringLiteral("SINGLE") << QStringLiteral("单次");
        QTest::newRow("WordRising") << Word::WordRising << QStringLiteral("RISING") << QStringLiteral("上升沿");
        QTest::newRow("WordFalling") << Word::WordFalling << QStringLiteral("FALLING") << QStringLiteral("下降沿");
        QTest::newRow("WordAlternation") << Word::WordAlternation << QStringLiteral("ALTERNATION") << QStringLiteral("上升&下降沿");
        QTest::newRow("WordPulsePosLess") << Word::WordPulsePosLess << QStringLiteral("+Less Than") << QStringLiteral("正脉宽小于");
        QTest::newRow("WordPulseNegLess") << Word::WordPulseNegLess << QStringLiteral("-Less Than") << QStringLiteral("负脉宽小于");
        QTest::newRow("WordPulsePosGreater") << Word::WordPulsePosGreater << QStringLiteral("+Greater Than") << QStringLiteral("正脉宽大于");
        QTest::newRow("WordPulseNegGreater") << Word::WordPulseNegGreater << QStringLiteral("-Greater Than") << QStringLiteral("负脉宽大于");
        QTest::newRow("WordPulsePosEqual") << Word::WordPulsePosEqual << QStringLiteral("+Equal") << QStringLiteral("正脉宽等于");
        QTest::newRow("WordPulseNegEqual") << Word::WordPulseNegEqual << QStringLiteral("-Equal") << QStringLiteral("负脉宽等于");
        QTest::newRow("WordPositive") << Word::WordPositive << QStringLiteral("POSITIVE") << QStringLiteral("正极性");
        QTest::newRow("WordNegative") << Word::WordNegative << QStringLiteral("NEGATIVE") << QStringLiteral("负极性");
        QTest::newRow("WordAllLines") << Word::WordAllLines << QStringLiteral("ALLlines") << QStringLiteral("所有行");
        QTest::newRow("WordLine") << Word::WordLine << QStringLiteral("LINE") << QStringLiteral("指定行");
        QTest::newRow("WordOddField") << Word::WordOddField << QStringLiteral("ODDfield") << QStringLiteral("奇数场");
        QTest::newRow("WordEvenField") << Word::WordEvenField << QStringLiteral("EVENfield") << QStringLiteral("偶数场");
        QTest::newRow("WordSlopeRiseLess") << Word::WordSlopeRiseLess << QStringLiteral("+Less Than") << QStringLiteral("上升沿小于");
        QTest::newRow("WordSlopeFallLess") << Word::WordSlopeFallLess << QStringLiteral("-Less Than") << QStringLiteral("下降沿小于");
        QTest::newRow("WordSlopeRiseGreater") << Word::WordSlopeRiseGreater << QStringLiteral("+Greater Than") << QStringLiteral("上升沿大于");
        QTest::newRow("WordSlopeFallGreater") << Word::WordSlopeFallGreater << QStringLiteral("-Greater Than") << QStringLiteral("下降沿大于");
        QTest::newRow("WordSlopeRiseEqual") << Word::WordSlopeRiseEqual << QStringLiteral("+Equal") << QStringLiteral("上升沿等于");
        QTest::newRow("WordSlopeFallEqual") << Word::WordSlopeFallEqual << QStringLiteral("-Equal") << QStringLiteral("下降沿等于");
        QTest::newRow("WordLessThan") << Word::WordLessThan << QStringLiteral("Less Than") << QStringLiteral("小于");
        QTest::newRow("WordGreaterThan") << Word::WordGreaterThan << QStringLiteral("Greater Than") << QStringLiteral("大于");
        QTest::newRow("WordEqual") << Word::WordEqual << QStringLiteral("Equal") << QStringLiteral("等于");
        QTest::newRow("WordRealTime") << Word::WordRealTime << QStringLiteral("REAL_TIME") << QStringLiteral("实时采样");
        QTest::newRow("WordEqualTime") << Word::WordEqualTime << QStringLiteral("EQUAL_TIME") << QStringLiteral("等效采样");
        QTest::newRow("WordAcqNormal") << Word::WordAcqNormal << QStringLiteral("NORMAL") << QStringLiteral("普通");
        QTest::newRow("WordPeakDetect") << Word::WordPeakDetect << QStringLiteral("PEAKDETECT") << QStringLiteral("峰值检测");
        QTest::newRow("WordAverage") << Word::WordAverage << QStringLiteral("AVERAGE") << QStringLiteral("平均");
        QTest::newRow("WordVectors") << Word::WordVectors << QStringLiteral("VECTORS") << QStringLiteral("矢量");
        QTest::newRow("WordDots") << Word::WordDots << QStringLiteral("DOTS") << QStringLiteral("点");
        QTest::newRow("WordFull") << Word::WordFull << QStringLiteral("FULL") << QStringLiteral("完全");
        QTest::newRow("WordHalf") << Word::WordHalf << QStringLiteral("HALF") << QStringLiteral("半网格");
        QTest::newRow("WordNone") << Word::WordNone << QStringLiteral("NONE") << QStringLiteral("无");
    }
    void valueWords()
    {
        QFETCH(Word, w);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        FillTokenTexts(3);
        QVERIFY(word(w).isEmpty());
        FillTokenTexts(1);
        QCOMPARE(word(w), english);
        FillTokenTexts(0);
        QCOMPARE(word(w), chinese);
        FillTokenTexts(3);
        QCOMPARE(word(w), chinese);
        QCOMPARE(wordLiteral(w, 1), english);
        QCOMPARE(wordLiteral(w, 0), chinese);
    }

    void measureNames_data()
    {
        addColumns();
        QTest::addColumn<int>("number");
        QTest::newRow("MeasNameVpp") << Word::MeasNameVpp << QStringLiteral("Vpp") << QStringLiteral("峰峰值") << 0;
        QTest::newRow("MeasNameVmax") << Word::MeasNameVmax << QStringLiteral("Vmax") << QStringLiteral("最大值") << 1;
        QTest::newRow("MeasNameVmin") << Word::MeasNameVmin << QStringLiteral("Vmin") << QStringLiteral("最小值") << 2;
        QTest::newRow("MeasNameVavg") << Word::MeasNameVavg << QStringLiteral("Vavg") << QStringLiteral("平均值") << 3;
        QTest::newRow("MeasNameVamp") << Word::MeasNameVamp << QStringLiteral("Vamp") << QStringLiteral("幅度") << 4;
        QTest::newRow("MeasNameVrms") << Word::MeasNameVrms << QStringLiteral("Vrms") << QStringLiteral("均方根值") << 5;
        QTest::newRow("MeasNameVtop") << Word::MeasNameVtop << QStringLiteral("Vtop") << QStringLiteral("顶端值") << 6;
        QTest::newRow("MeasNameVbase") << Word::MeasNameVbase << QStringLiteral("Vbase") << QStringLiteral("底端值") << 7;
        QTest::newRow("MeasNameVpre") << Word::MeasNameVpre << QStringLiteral("Vpre") << QStringLiteral("预冲") << 8;
        QTest::newRow("MeasNameVover") << Word::MeasNameVover << QStringLiteral("Vover") << QStringLiteral("过冲") << 9;
        QTest::newRow("MeasNameFrequency") << Word::MeasNameFrequency << QStringLiteral("Frequency") << QStringLiteral("频率") << 10;
        QTest::newRow("MeasNamePeriod") << Word::MeasNamePeriod << QStringLiteral("Period") << QStringLiteral("周期") << 11;
        QTest::newRow("MeasNameRiseTime") << Word::MeasNameRiseTime << QStringLiteral("Rise Time") << QStringLiteral("上升时间") << 12;
        QTest::newRow("MeasNameFallTime") << Word::MeasNameFallTime << QStringLiteral("Fall Time") << QStringLiteral("下降时间") << 13;
        QTest::newRow("MeasNamePWidthPos") << Word::MeasNamePWidthPos << QStringLiteral("Pulse Width+") << QStringLiteral("正脉宽") << 14;
        QTest::newRow("MeasNamePWidthNeg") << Word::MeasNamePWidthNeg << QStringLiteral("Pulse Width-") << QStringLiteral("负脉宽") << 15;
        QTest::newRow("MeasNameDutyPos") << Word::MeasNameDutyPos << QStringLiteral("Duty+") << QStringLiteral("正占空比") << 16;
        QTest::newRow("MeasNameDutyNeg") << Word::MeasNameDutyNeg << QStringLiteral("Duty-") << QStringLiteral("负占空比") << 17;
    }
    void measureNames()
    {
        QFETCH(Word, w);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QFETCH(int, number);
        FillMeasureNames(1);
        QCOMPARE(word(w), english);
        QCOMPARE(measureName(number), english);
        FillMeasureNames(0);
        QCOMPARE(word(w), chinese);
        QCOMPARE(measureName(number), chinese);
    }

    // Names as code spells them, both ways, for every word of the tables.
    void namesMatchWords()
    {
        QCOMPARE(QString::fromLatin1(wordName(Word::WordOn)), QStringLiteral("WordOn"));
        QCOMPARE(QString::fromLatin1(wordName(Word::ItemD15D8)), QStringLiteral("ItemD15D8"));
        QCOMPARE(QString::fromLatin1(wordName(Word::MeasNameDutyNeg)), QStringLiteral("MeasNameDutyNeg"));
        Word w = Word::WordOff;
        QVERIFY(wordByName("WordPulsePosLess", &w));
        QCOMPARE(w, Word::WordPulsePosLess);
        QVERIFY(wordByName("WordSlopeRiseLess", &w));
        QCOMPARE(w, Word::WordSlopeRiseLess);
        QVERIFY(!wordByName("WordMaybe", &w));
        QVERIFY(!wordByName("", &w));
        QVERIFY(!wordByName(nullptr, &w));
        for (int i = 0; i < WordTableSize; ++i) {
            QVERIFY(wordByName(wordName(Word(i)), &w));
            QCOMPARE(int(w), i);
        }
    }

    void measureNumbers()
    {
        FillMeasureNames(1);
        QCOMPARE(measureName(0), QStringLiteral("Vpp"));
        QCOMPARE(measureName(10), QStringLiteral("Frequency"));
        QCOMPARE(measureName(17), QStringLiteral("Duty-"));
        QVERIFY(measureName(-1).isEmpty());
        QVERIFY(measureName(18).isEmpty());
    }

    // Each filler writes only its own group.
    void fillersWriteOnlyTheirGroups()
    {
        FillTokenTexts(1);
        QCOMPARE(word(Word::WordOn), QStringLiteral("ON"));
        QVERIFY(word(Word::ItemCH1).isEmpty());
        QVERIFY(word(Word::ItemDisplay).isEmpty());
        QVERIFY(word(Word::MeasNameVpp).isEmpty());
        FillMeasureNames(1);
        QVERIFY(word(Word::ItemDisplay).isEmpty());
        FillTreeLabels(1);
        QCOMPARE(word(Word::ItemDisplay), QStringLiteral("Display"));
        FillTreeLabels(0);
        QCOMPARE(word(Word::WordOn), QStringLiteral("ON")); // value words untouched
        QCOMPARE(word(Word::MeasNameVpp), QStringLiteral("Vpp"));
    }

    void namedEdgeCases()
    {
        ApplyLanguage(1);
        QCOMPARE(word(Word::WordAlternative), QStringLiteral("ALTERNATIVE"));
        QCOMPARE(word(Word::WordAlternation), QStringLiteral("ALTERNATION"));
        QCOMPARE(word(Word::ItemAntiAliasing), QStringLiteral("Anti-aliasing"));
        QCOMPARE(word(Word::ItemDisplay), word(Word::ItemDisplaySystem));
        QCOMPARE(word(Word::WordACLine), word(Word::WordAC));
        ApplyLanguage(0);
        QCOMPARE(word(Word::ItemAntiAliasing), QStringLiteral("Anti-aliasing"));
        QCOMPARE(word(Word::ItemDisplay), QStringLiteral("显示"));
        QCOMPARE(word(Word::ItemDisplaySystem), QStringLiteral("显示系统"));
        QCOMPARE(word(Word::ItemLineNumber), QStringLiteral("指定行"));
        QCOMPARE(word(Word::WordLine), QStringLiteral("指定行"));
        QCOMPARE(word(Word::WordNormal), word(Word::WordAcqNormal));
        QVERIFY(word(Word::WordACLine) != word(Word::WordAC));
    }

    // With a language index other than 0 or 1 only the neutral labels have
    // texts; the rest stay empty.
    void otherLanguageOnlyNeutralLabels()
    {
        ApplyLanguage(4);
        QCOMPARE(word(Word::ItemCH1), QStringLiteral("CH1"));
        QCOMPARE(word(Word::ItemD7D0), QStringLiteral("D7-D0"));
        for (Word w : {Word::ItemRunStop, Word::ItemUntitled, Word::ItemDataSheet, Word::ItemGrid,
                       Word::WordRun, Word::WordNone, Word::MeasNameVpp, Word::MeasNameDutyNeg})
            QVERIFY2(word(w).isEmpty(), qPrintable(QString::number(int(w))));
    }
};

QTEST_GUILESS_MAIN(TestStringRes)
#include "tst_stringres.moc"
