#pragma once
// Names and program-wide state of the user interface texts: the language in
// force, the message table, the display words, and the ordered table of the
// loaders that re-caption the program when the language is applied.
//
// Code names a message (Msg) or a word (Word), never its text: the text depends
// on the language and is read from the tables at the moment it is needed
// (message(), word() and measureName()).

#include <QString>

#include <array>
#include <functional>

// Message ids of the message table; the values are the table's fixed ids.
enum class Msg : int {
    MsgDeviceNotFound = 3,
    MsgConnectTitle = 4,
    MsgSysInfoUnavailable = 6,
    MsgConnectFirst = 7,
    MsgQueryOnly = 8,
    MsgNumberOnly = 9,
    MsgRootNameFixed = 10,
    MsgInvalidZoom = 11,
    MsgBadSheetFile = 12,
    MsgItemLimit = 13,
    MsgOpenSheetFirst = 14,
    MsgBadCtrlFile = 15,
    MsgCannotConnect = 18,
    MsgDeviceInitTitle = 19,
    MsgDeviceSendTitle = 20,
    MsgDeviceReadTitle = 21,
    MsgReadFailed = 23,
    MsgInvalidNumber = 24,
    MsgFileOpFailed = 25,
    MsgBadChannelData = 26,
    MsgBadFileFormat = 27,
    MsgBadWaveData = 28,
    MsgRs232InitTitle = 29,
    MsgBadPortNumber = 30,
    MsgRs232SendTitle = 31,
    MsgSaveSheetPrompt = 32,
    MsgSaveCtrlPrompt = 33,
};

// Size of the message table (ids run from 1 to 33; unused ids stay empty).
inline constexpr int MessageTableSize = 34;

// The display words: language-neutral labels, item labels and data sheet
// words, setting value words, and the eighteen measurement names.
enum class Word : int {
    // Language-neutral labels (the same in every language).
    ItemCH1,
    ItemCH2,
    ItemLA,
    ItemH,
    ItemL,
    ItemX,
    ItemD15,
    ItemD14,
    ItemD13,
    ItemD12,
    ItemD11,
    ItemD10,
    ItemD9,
    ItemD8,
    ItemD7,
    ItemD6,
    ItemD5,
    ItemD4,
    ItemD3,
    ItemD2,
    ItemD1,
    ItemD0,
    ItemD15D8,
    ItemD7D0,
    // Item labels and data sheet words.
    ItemRunStop,
    ItemUntitled,
    ItemDataSheet,
    ItemRunningControl,
    ItemAutoSet,
    ItemTrig50,
    ItemForceTrigger,
    ItemDisplay,
    ItemVoltDiv,
    ItemOffset,
    ItemCoupling,
    ItemBWLimit,
    ItemProbe,
    ItemInvert,
    ItemChannel,
    ItemPosition,
    ItemReset,
    ItemThreshold,
    ItemSize,
    ItemTimeBase,
    ItemTimeDiv,
    ItemDelay,
    ItemHoldoff,
    ItemMemorySize,
    ItemFormat,
    ItemTrigger,
    ItemMethod,
    ItemSource,
    ItemSlope,
    ItemMode,
    ItemPolarity,
    ItemSync,
    ItemLineNumber,
    ItemVideoStandard,
    ItemPulseMode,
    ItemPulseWidth,
    ItemSlopeMode,
    ItemSlopeTime,
    ItemSlopeWindow,
    ItemTrigType,
    ItemCode,
    ItemRising,
    ItemFalling,
    ItemQualifier,
    ItemDurationTime,
    ItemLevel,
    ItemLevelA,
    ItemLevelB,
    ItemSensitivity,
    ItemAcquire,
    ItemSamplingMode,
    ItemAcquisition,
    ItemAverages,
    ItemIntensity,
    ItemAntiAliasing,
    ItemDisplaySystem,
    ItemType,
    ItemPersist,
    ItemGrid,
    ItemClear,
    ItemVirtualKeyboard,
    ItemVirtualPanel,
    // Setting value words.
    WordRun,
    WordStop,
    WordOn,
    WordOff,
    WordUser,
    WordBig,
    WordSmall,
    WordEdge,
    WordPulse,
    WordVideo,
    WordSlope,
    WordAlternative,
    WordPattern,
    WordDuration,
    WordACLine,
    WordAC,
    WordDC,
    WordLF,
    WordHF,
    WordGND,
    WordAuto,
    WordNormal,
    WordSingle,
    WordRising,
    WordFalling,
    WordAlternation,
    WordPulsePosLess,
    WordPulseNegLess,
    WordPulsePosGreater,
    WordPulseNegGreater,
    WordPulsePosEqual,
    WordPulseNegEqual,
    WordPositive,
    WordNegative,
    WordAllLines,
    WordLine,
    WordOddField,
    WordEvenField,
    WordSlopeRiseLess,
    WordSlopeFallLess,
    WordSlopeRiseGreater,
    WordSlopeFallGreater,
    WordSlopeRiseEqual,
    WordSlopeFallEqual,
    WordLessThan,
    WordGreaterThan,
    WordEqual,
    WordRealTime,
    WordEqualTime,
    WordAcqNormal,
    WordPeakDetect,
    WordAverage,
    WordVectors,
    WordDots,
    WordFull,
    WordHalf,
    WordNone,
    // Measurement names, in measurement number order 0 to 17.
    MeasNameVpp,
    MeasNameVmax,
    MeasNameVmin,
    MeasNameVavg,
    MeasNameVamp,
    MeasNameVrms,
    MeasNameVtop,
    MeasNameVbase,
    MeasNameVpre,
    MeasNameVover,
    MeasNameFrequency,
    MeasNamePeriod,
    MeasNameRiseTime,
    MeasNameFallTime,
    MeasNamePWidthPos,
    MeasNamePWidthNeg,
    MeasNameDutyPos,
    MeasNameDutyNeg,
    WordCount
};

inline constexpr int WordTableSize = static_cast<int>(Word::WordCount);

// The loaders that applying a language runs, in the order they run: first the
// text tables, then the captions of the main window, its panes and the open
// item windows. The first four are filled in by this module; the windows
// install theirs with setLanguageLoader().
enum class LanguageLoader : int {
    LoadMessageTable,
    FillTokenTexts,
    FillTreeLabels,
    FillMeasureNames,
    LoadMainMenuTexts,
    LoadTreeMenuTexts,
    LoadMainToolbarTexts,
    LoadDataSheetTreeTexts,
    LoadControllerTexts,
    LoadAllWaveWindowTexts,
    LoadAllDataWindowTexts,
    LoadAllMeasureWindowTexts,
    LoadAllReplayWindowTexts,
    LoadAllStoredWaveWindowTexts,
    Count
};

inline constexpr int LanguageLoaderCount = static_cast<int>(LanguageLoader::Count);

struct LanguageLoaderRow {
    LanguageLoader id;
    const char *name;                // the loader's name, for diagnostics and tests
    std::function<void(int)> run;    // called with the language; empty = does nothing
};

using LanguageLoaderTable = std::array<LanguageLoaderRow, LanguageLoaderCount>;

// The table at start-up: the four text fillers set, every caption loader empty.
LanguageLoaderTable defaultLanguageLoaders();

struct TextState {
    // 0 = Chinese, 1 = English. 0 until the stored setting is read.
    int LanguageIndex = 0;
    // Help file of the language last applied (empty before the first apply).
    QString HelpFile;
    // Message texts by id, in the language last loaded (empty before).
    std::array<QString, MessageTableSize> MessageTable;
    // Display words by Word, in the language last filled (empty before).
    std::array<QString, WordTableSize> Words;
    LanguageLoaderTable Loaders = defaultLanguageLoaders();
    // Ticks the language menu entry: called with true when Chinese carries the
    // tick, false when English does. Set by the main window.
    std::function<void(bool chineseTicked)> LanguageMenuTick;
    // Rebuilds the controller tree from the settings, keeping open the branches
    // that were open. Set by the controller pane.
    std::function<void()> CtrlTreeRebuild;
};

// The program's one instance (a member of the application object).
TextState &textState();
