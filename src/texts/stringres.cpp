#include "texts/stringres.h"

#include "texts/textstate.h"

#include <cstring>
#include <iterator>

namespace {

struct NeutralRow {
    Word id;
    const char *text;
};

struct WordRow {
    Word id;
    const char *english;
    const char *chinese;
};

const NeutralRow neutralRows[] = {
    {Word::ItemCH1, "CH1"},
    {Word::ItemCH2, "CH2"},
    {Word::ItemLA, "LA"},
    {Word::ItemH, "H"},
    {Word::ItemL, "L"},
    {Word::ItemX, "X"},
    {Word::ItemD15, "D15"},
    {Word::ItemD14, "D14"},
    {Word::ItemD13, "D13"},
    {Word::ItemD12, "D12"},
    {Word::ItemD11, "D11"},
    {Word::ItemD10, "D10"},
    {Word::ItemD9, "D9"},
    {Word::ItemD8, "D8"},
    {Word::ItemD7, "D7"},
    {Word::ItemD6, "D6"},
    {Word::ItemD5, "D5"},
    {Word::ItemD4, "D4"},
    {Word::ItemD3, "D3"},
    {Word::ItemD2, "D2"},
    {Word::ItemD1, "D1"},
    {Word::ItemD0, "D0"},
    {Word::ItemD15D8, "D15-D8"},
    {Word::ItemD7D0, "D7-D0"},
};

const WordRow labelRows[] = {
    {Word::ItemRunStop, "Run|Stop", "运行|停止"},
    {Word::ItemUntitled, "Untitle", "未标题"},
    {Word::ItemDataSheet, "Data Sheet", "数据浏览器"},
    {Word::ItemRunningControl, "Running Control", "运行控制"},
    {Word::ItemAutoSet, "Auto Set", "自动设置"},
    {Word::ItemTrig50, "Set Trig to 50%", "触发电平至50%"},
    {Word::ItemForceTrigger, "Force Trigger", "强制触发"},
    {Word::ItemDisplay, "Display", "显示"},
    {Word::ItemVoltDiv, "Volt/Div", "档位"},
    {Word::ItemOffset, "Offset", "偏移"},
    {Word::ItemCoupling, "Coupling", "耦合"},
    {Word::ItemBWLimit, "BW Limit", "带宽限制"},
    {Word::ItemProbe, "Probe", "探头"},
    {Word::ItemInvert, "Invert", "反相"},
    {Word::ItemChannel, "Channel", "通道设置"},
    {Word::ItemPosition, "Position", "位置"},
    {Word::ItemReset, "Reset", "复位"},
    {Word::ItemThreshold, "Threshold", "门限类型"},
    {Word::ItemSize, "Size", "波形大小"},
    {Word::ItemTimeBase, "Time Base", "水平系统"},
    {Word::ItemTimeDiv, "Time/Div", "时基"},
    {Word::ItemDelay, "Delay", "位移"},
    {Word::ItemHoldoff, "Holdoff", "触发释抑"},
    {Word::ItemMemorySize, "Memory Size", "内存大小"},
    {Word::ItemFormat, "Format", "模式"},
    {Word::ItemTrigger, "Trigger", "触发系统"},
    {Word::ItemMethod, "Method", "触发模式"},
    {Word::ItemSource, "Source", "信源选择"},
    {Word::ItemSlope, "Slope", "边沿类型"},
    {Word::ItemMode, "Mode", "触发方式"},
    {Word::ItemPolarity, "Polarity", "视频极性"},
    {Word::ItemSync, "Sync", "同步"},
    {Word::ItemLineNumber, "Line number", "指定行"},
    {Word::ItemVideoStandard, "Video Standard", "视频标准"},
    {Word::ItemPulseMode, "Pulse mode", "脉宽模式"},
    {Word::ItemPulseWidth, "Pulse width", "脉冲宽度"},
    {Word::ItemSlopeMode, "Slope mode", "斜率条件"},
    {Word::ItemSlopeTime, "Slope time", "斜率时间"},
    {Word::ItemSlopeWindow, "Slope Window", "垂直窗"},
    {Word::ItemTrigType, "Trig type", "触发类型"},
    {Word::ItemCode, "Code", "码型"},
    {Word::ItemRising, "Rising", "上升沿"},
    {Word::ItemFalling, "Falling", "下降沿"},
    {Word::ItemQualifier, "Qualifier", "限定符"},
    {Word::ItemDurationTime, "Duration time", "持续时间"},
    {Word::ItemLevel, "Level", "触发电平"},
    {Word::ItemLevelA, "LevelA", "触发电平A"},
    {Word::ItemLevelB, "LevelB", "触发电平B"},
    {Word::ItemSensitivity, "Sensitivity", "触发灵敏度"},
    {Word::ItemAcquire, "Acquire", "采样系统"},
    {Word::ItemSamplingMode, "Sampling Mode", "采样方式"},
    {Word::ItemAcquisition, "Acquisition", "获取方式"},
    {Word::ItemAverages, "Averages", "平均次数"},
    {Word::ItemIntensity, "Intensity", "亮度"},
    {Word::ItemAntiAliasing, "Anti-aliasing", "Anti-aliasing"},
    {Word::ItemDisplaySystem, "Display", "显示系统"},
    {Word::ItemType, "Type", "显示类型"},
    {Word::ItemPersist, "Persist", "波形保持"},
    {Word::ItemGrid, "Grid", "网格"},
    {Word::ItemClear, "Clear", "清除显示"},
    {Word::ItemVirtualKeyboard, "Virtual Keyboard", "虚拟系统"},
    {Word::ItemVirtualPanel, "Virtual Panel", "虚拟面板"},
};

// Some English texts occur twice ("AC", "NORMAL", the condition words): a word
// is always looked up by its name, so they do not collide.
const WordRow valueWordRows[] = {
    {Word::WordRun, "RUN", "运行"},
    {Word::WordStop, "STOP", "停止"},
    {Word::WordOn, "ON", "打开"},
    {Word::WordOff, "OFF", "关闭"},
    {Word::WordUser, "USER", "用户定义"},
    {Word::WordBig, "BIG", "大"},
    {Word::WordSmall, "SMALL", "小"},
    {Word::WordEdge, "EDGE", "边沿触发"},
    {Word::WordPulse, "PULSE", "脉宽触发"},
    {Word::WordVideo, "VIDEO", "视频触发"},
    {Word::WordSlope, "SLOPE", "斜率触发"},
    {Word::WordAlternative, "ALTERNATIVE", "交替触发"},
    {Word::WordPattern, "PATTERN", "码型触发"},
    {Word::WordDuration, "DURATION", "持续时间触发"},
    {Word::WordACLine, "AC", "市电"},
    {Word::WordAC, "AC", "交流"},
    {Word::WordDC, "DC", "直流"},
    {Word::WordLF, "LF", "低频抑制"},
    {Word::WordHF, "HF", "高频抑制"},
    {Word::WordGND, "GND", "接地"},
    {Word::WordAuto, "AUTO", "自动"},
    {Word::WordNormal, "NORMAL", "普通"},
    {Word::WordSingle, "SINGLE", "单次"},
    {Word::WordRising, "RISING", "上升沿"},
    {Word::WordFalling, "FALLING", "下降沿"},
    {Word::WordAlternation, "ALTERNATION", "上升&下降沿"},
    {Word::WordPulsePosLess, "+Less Than", "正脉宽小于"},
    {Word::WordPulseNegLess, "-Less Than", "负脉宽小于"},
    {Word::WordPulsePosGreater, "+Greater Than", "正脉宽大于"},
    {Word::WordPulseNegGreater, "-Greater Than", "负脉宽大于"},
    {Word::WordPulsePosEqual, "+Equal", "正脉宽等于"},
    {Word::WordPulseNegEqual, "-Equal", "负脉宽等于"},
    {Word::WordPositive, "POSITIVE", "正极性"},
    {Word::WordNegative, "NEGATIVE", "负极性"},
    {Word::WordAllLines, "ALLlines", "所有行"},
    {Word::WordLine, "LINE", "指定行"},
    {Word::WordOddField, "ODDfield", "奇数场"},
    {Word::WordEvenField, "EVENfield", "偶数场"},
    {Word::WordSlopeRiseLess, "+Less Than", "上升沿小于"},
    {Word::WordSlopeFallLess, "-Less Than", "下降沿小于"},
    {Word::WordSlopeRiseGreater, "+Greater Than", "上升沿大于"},
    {Word::WordSlopeFallGreater, "-Greater Than", "下降沿大于"},
    {Word::WordSlopeRiseEqual, "+Equal", "上升沿等于"},
    {Word::WordSlopeFallEqual, "-Equal", "下降沿等于"},
    {Word::WordLessThan, "Less Than", "小于"},
    {Word::WordGreaterThan, "Greater Than", "大于"},
    {Word::WordEqual, "Equal", "等于"},
    {Word::WordRealTime, "REAL_TIME", "实时采样"},
    {Word::WordEqualTime, "EQUAL_TIME", "等效采样"},
    {Word::WordAcqNormal, "NORMAL", "普通"},
    {Word::WordPeakDetect, "PEAKDETECT", "峰值检测"},
    {Word::WordAverage, "AVERAGE", "平均"},
    {Word::WordVectors, "VECTORS", "矢量"},
    {Word::WordDots, "DOTS", "点"},
    {Word::WordFull, "FULL", "完全"},
    {Word::WordHalf, "HALF", "半网格"},
    {Word::WordNone, "NONE", "无"},
};

const WordRow measureRows[] = {
    {Word::MeasNameVpp, "Vpp", "峰峰值"},
    {Word::MeasNameVmax, "Vmax", "最大值"},
    {Word::MeasNameVmin, "Vmin", "最小值"},
    {Word::MeasNameVavg, "Vavg", "平均值"},
    {Word::MeasNameVamp, "Vamp", "幅度"},
    {Word::MeasNameVrms, "Vrms", "均方根值"},
    {Word::MeasNameVtop, "Vtop", "顶端值"},
    {Word::MeasNameVbase, "Vbase", "底端值"},
    {Word::MeasNameVpre, "Vpre", "预冲"},
    {Word::MeasNameVover, "Vover", "过冲"},
    {Word::MeasNameFrequency, "Frequency", "频率"},
    {Word::MeasNamePeriod, "Period", "周期"},
    {Word::MeasNameRiseTime, "Rise Time", "上升时间"},
    {Word::MeasNameFallTime, "Fall Time", "下降时间"},
    {Word::MeasNamePWidthPos, "Pulse Width+", "正脉宽"},
    {Word::MeasNamePWidthNeg, "Pulse Width-", "负脉宽"},
    {Word::MeasNameDutyPos, "Duty+", "正占空比"},
    {Word::MeasNameDutyNeg, "Duty-", "负占空比"},
};

// Names of the words, in Word order.
const char *const wordNames[] = {
    "ItemCH1",
    "ItemCH2",
    "ItemLA",
    "ItemH",
    "ItemL",
    "ItemX",
    "ItemD15",
    "ItemD14",
    "ItemD13",
    "ItemD12",
    "ItemD11",
    "ItemD10",
    "ItemD9",
    "ItemD8",
    "ItemD7",
    "ItemD6",
    "ItemD5",
    "ItemD4",
    "ItemD3",
    "ItemD2",
    "ItemD1",
    "ItemD0",
    "ItemD15D8",
    "ItemD7D0",
    "ItemRunStop",
    "ItemUntitled",
    "ItemDataSheet",
    "ItemRunningControl",
    "ItemAutoSet",
    "ItemTrig50",
    "ItemForceTrigger",
    "ItemDisplay",
    "ItemVoltDiv",
    "ItemOffset",
    "ItemCoupling",
    "ItemBWLimit",
    "ItemProbe",
    "ItemInvert",
    "ItemChannel",
    "ItemPosition",
    "ItemReset",
    "ItemThreshold",
    "ItemSize",
    "ItemTimeBase",
    "ItemTimeDiv",
    "ItemDelay",
    "ItemHoldoff",
    "ItemMemorySize",
    "ItemFormat",
    "ItemTrigger",
    "ItemMethod",
    "ItemSource",
    "ItemSlope",
    "ItemMode",
    "ItemPolarity",
    "ItemSync",
    "ItemLineNumber",
    "ItemVideoStandard",
    "ItemPulseMode",
    "ItemPulseWidth",
    "ItemSlopeMode",
    "ItemSlopeTime",
    "ItemSlopeWindow",
    "ItemTrigType",
    "ItemCode",
    "ItemRising",
    "ItemFalling",
    "ItemQualifier",
    "ItemDurationTime",
    "ItemLevel",
    "ItemLevelA",
    "ItemLevelB",
    "ItemSensitivity",
    "ItemAcquire",
    "ItemSamplingMode",
    "ItemAcquisition",
    "ItemAverages",
    "ItemIntensity",
    "ItemAntiAliasing",
    "ItemDisplaySystem",
    "ItemType",
    "ItemPersist",
    "ItemGrid",
    "ItemClear",
    "ItemVirtualKeyboard",
    "ItemVirtualPanel",
    "WordRun",
    "WordStop",
    "WordOn",
    "WordOff",
    "WordUser",
    "WordBig",
    "WordSmall",
    "WordEdge",
    "WordPulse",
    "WordVideo",
    "WordSlope",
    "WordAlternative",
    "WordPattern",
    "WordDuration",
    "WordACLine",
    "WordAC",
    "WordDC",
    "WordLF",
    "WordHF",
    "WordGND",
    "WordAuto",
    "WordNormal",
    "WordSingle",
    "WordRising",
    "WordFalling",
    "WordAlternation",
    "WordPulsePosLess",
    "WordPulseNegLess",
    "WordPulsePosGreater",
    "WordPulseNegGreater",
    "WordPulsePosEqual",
    "WordPulseNegEqual",
    "WordPositive",
    "WordNegative",
    "WordAllLines",
    "WordLine",
    "WordOddField",
    "WordEvenField",
    "WordSlopeRiseLess",
    "WordSlopeFallLess",
    "WordSlopeRiseGreater",
    "WordSlopeFallGreater",
    "WordSlopeRiseEqual",
    "WordSlopeFallEqual",
    "WordLessThan",
    "WordGreaterThan",
    "WordEqual",
    "WordRealTime",
    "WordEqualTime",
    "WordAcqNormal",
    "WordPeakDetect",
    "WordAverage",
    "WordVectors",
    "WordDots",
    "WordFull",
    "WordHalf",
    "WordNone",
    "MeasNameVpp",
    "MeasNameVmax",
    "MeasNameVmin",
    "MeasNameVavg",
    "MeasNameVamp",
    "MeasNameVrms",
    "MeasNameVtop",
    "MeasNameVbase",
    "MeasNameVpre",
    "MeasNameVover",
    "MeasNameFrequency",
    "MeasNamePeriod",
    "MeasNameRiseTime",
    "MeasNameFallTime",
    "MeasNamePWidthPos",
    "MeasNamePWidthNeg",
    "MeasNameDutyPos",
    "MeasNameDutyNeg",
};
static_assert(std::size(wordNames) == std::size_t(WordTableSize), "one name per word");

constexpr Word firstMeasureName = Word::MeasNameVpp;
constexpr int measureNameCount = 18;
static_assert(static_cast<int>(Word::MeasNameDutyNeg) == static_cast<int>(firstMeasureName) + measureNameCount - 1,
              "measurement names must stay contiguous in number order");

template <std::size_t N>
void fill(const WordRow (&rows)[N], int lang)
{
    if (lang != 0 && lang != 1)
        return;
    auto &words = textState().Words;
    for (const WordRow &row : rows)
        words[static_cast<int>(row.id)] = QString::fromUtf8(lang == 0 ? row.chinese : row.english);
}

template <std::size_t N>
const WordRow *findRow(const WordRow (&rows)[N], Word w)
{
    for (const WordRow &row : rows)
        if (row.id == w)
            return &row;
    return nullptr;
}

} // namespace

bool IsOnWordOfAnyLanguage(const QString &text)
{
    return !text.isEmpty() && (text == wordLiteral(Word::WordOn, 0) || text == wordLiteral(Word::WordOn, 1));
}

const QString &word(Word w)
{
    static const QString empty;
    const int i = static_cast<int>(w);
    if (i < 0 || i >= WordTableSize)
        return empty;
    return textState().Words[i];
}

QString measureName(int number)
{
    if (number < 0 || number >= measureNameCount)
        return QString();
    return word(static_cast<Word>(static_cast<int>(firstMeasureName) + number));
}

QString wordLiteral(Word w, int lang)
{
    for (const NeutralRow &row : neutralRows)
        if (row.id == w)
            return QString::fromUtf8(row.text);
    if (lang != 0 && lang != 1)
        return QString();
    const WordRow *row = findRow(labelRows, w);
    if (!row)
        row = findRow(valueWordRows, w);
    if (!row)
        row = findRow(measureRows, w);
    if (!row)
        return QString();
    return QString::fromUtf8(lang == 0 ? row->chinese : row->english);
}

void FillTokenTexts(int lang)
{
    fill(valueWordRows, lang);
}

void FillTreeLabels(int lang)
{
    auto &words = textState().Words;
    for (const NeutralRow &row : neutralRows)
        words[static_cast<int>(row.id)] = QString::fromUtf8(row.text);
    fill(labelRows, lang);
}

void FillMeasureNames(int lang)
{
    fill(measureRows, lang);
}

const char *wordName(Word w)
{
    const int i = static_cast<int>(w);
    if (i < 0 || i >= WordTableSize)
        return "";
    return wordNames[i];
}

bool wordByName(const char *name, Word *out)
{
    if (!name)
        return false;
    for (int i = 0; i < WordTableSize; ++i) {
        if (std::strcmp(wordNames[i], name) == 0) {
            *out = static_cast<Word>(i);
            return true;
        }
    }
    return false;
}
