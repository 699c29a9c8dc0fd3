#include "workspace/captiontables.h"

#include <array>

namespace {

using T = CaptionTarget;

constexpr CaptionRow MainMenu[] = {
    {"mnuFile", -1, T::Caption, "File", "文件"},
    {"mnuFileNew", -1, T::Caption, "New", "新建"},
    {"mnuFileOpen", -1, T::Caption, "Open...", "打开..."},
    {"mnuFileSaveDataSheet", -1, T::Caption, "Save Data Sheet", "保存数据文件"},
    {"mnuFileSaveCtrlFile", -1, T::Caption, "Save Controller", "保存控制器文件"},
    {"mnuFileSaveAll", -1, T::Caption, "Save All", "保存全部"},
    {"mnuFilePageSetup", -1, T::Caption, "Page Setup...", "打印设置..."},
    {"mnuRecentCtrlRoot", -1, T::Caption, "Recent Control File", "最近控制文件"},
    {"mnuRecentSheetRoot", -1, T::Caption, "Recent Data Sheet File", "最近数据文件"},
    {"mnuFileExit", -1, T::Caption, "Exit", "退出"},
    {"mnuView", -1, T::Caption, "View", "视图"},
    {"mnuViewToolbar", -1, T::Caption, "Toolbar", "工具栏"},
    {"mnuViewStatusBar", -1, T::Caption, "Status Bar", "状态栏"},
    {"mnuViewController", -1, T::Caption, "Show Controller", "显示控制器"},
    {"mnuViewDataBrowser", -1, T::Caption, "Show Data Browser", "显示浏览器"},
    {"mnuTools", -1, T::Caption, "Tools", "工具"},
    {"mnuToolsConnect", -1, T::Caption, "Connect to Oscilloscope", "连接示波器"},
    {"mnuToolsDisconnect", -1, T::Caption, "Disconnect", "断开连接"},
    {"mnuToolsOptions", -1, T::Caption, "Options...", "选项..."},
    {"mnuWindow", -1, T::Caption, "Window", "窗口"},
    {"mnuWindowCascade", -1, T::Caption, "Cascade", "叠放"},
    {"mnuWindowTileHorizontal", -1, T::Caption, "Tile Horizontal", "水平排列"},
    {"mnuWindowTileVertical", -1, T::Caption, "Tile Vertical", "垂直排列"},
    {"mnuWindowArrangeIcons", -1, T::Caption, "Arrange Icons", "排列图标"},
    {"mnuHelp", -1, T::Caption, "Help", "帮助"},
    {"mnuHelpContents", -1, T::Caption, "Contents", "内容"},
    {"mnuHelpAbout", -1, T::Caption, "About...", "关于..."},
    {"mnuHelpLanguage", -1, T::Caption, "Language", "语言"},
};

constexpr CaptionRow MainToolbar[] = {
    {"tbToolBar", 1, T::ToolbarTip, "New", "新建"},
    {"tbToolBar", 2, T::ToolbarTip, "Open", "打开"},
    {"tbToolBar", 3, T::ToolbarTip, "Save All", "保存全部"},
    {"tbToolBar", 5, T::ToolbarTip, "Connect to Oscilloscope", "连接示波器"},
    {"tbToolBar", 6, T::ToolbarTip, "Disconnect", "断开连接"},
    {"tbToolBar", 8, T::ToolbarTip, "DSO Controller", "DSO控制器"},
    {"tbToolBar", 9, T::ToolbarTip, "Data Browser ", "数据浏览器"},
    {"tbToolBar", 11, T::ToolbarTip, "Add New Waveform ", "添加波形窗口"},
    {"tbToolBar", 12, T::ToolbarTip, "Add New Measure ", "添加测量窗口"},
    {"tbToolBar", 13, T::ToolbarTip, "Add New Data ", "添加数据窗口"},
    {"tbToolBar", 15, T::ToolbarTip, "Add New Record ", "添加录制文件回放窗口"},
    {"tbToolBar", 16, T::ToolbarTip, "Add New Memory Waveform ", "添加波形文件读取窗口"},
    {"tbToolBar", 18, T::ToolbarTip, "Options", "选项"},
    {"picLED_OFF", -1, T::ToolTip, "Connection Status-[Disconnected]", "连接状态-[未连接]"},
    {"picLED_ON", -1, T::ToolTip, "Connection Status-[Connected]", "连接状态-[已连接]"},
};

constexpr CaptionRow DataSheetTreeMenu[] = {
    {"mnuNewDataSheet", -1, T::Caption, "&New Data Sheet", "新建数据浏览器"},
    {"mnuOpenDataSheet", -1, T::Caption, "&Open Data Sheet", "打开数据浏览器"},
    {"mnuSaveDataSheet", -1, T::Caption, "&Save Data Sheet", "保存数据浏览器"},
    {"mnuSaveDataSheetAs", -1, T::Caption, "Sa&ve Data Sheet As", "另存数据浏览器为"},
    {"mnuAddNew", -1, T::Caption, "&Add New", "添加新建"},
    {"mnuSorted", -1, T::Caption, "So&rted", "排序"},
    {"mnuAddNewWaveform", -1, T::Caption, "&Waveform", "波形窗口"},
    {"mnuAddNewMeasure", -1, T::Caption, "&Measure", "测量窗口"},
    {"mnuAddNewData", -1, T::Caption, "&Data", "数据窗口"},
    {"mnuAddNewPlayBack", -1, T::Caption, "&Record", "波形录制回放窗口"},
    {"mnuAddNewMemoryWave", -1, T::Caption, "M&emory waveform", "波形文件读取窗口"},
};

constexpr CaptionRow CtrlListMenu[] = {
    {"mnuNewCtrl", -1, T::Caption, "&New Control File", "新建控制文件"},
    {"mnuOpenCtrl", -1, T::Caption, "&Open Control File", "打开控制文件"},
    {"mnuSaveCtrl", -1, T::Caption, "&Save Control File", "保存控制文件"},
    {"mnuSaveAsCtrl", -1, T::Caption, "Save Control File &As", "另存控制文件为"},
    {"mnuConnect", -1, T::Caption, "&Connect To DSO", "连接示波器"},
    {"mnuDisconnect", -1, T::Caption, "D&isconnect", "断开连接"},
    {"mnuUpload", -1, T::Caption, "&Upload", "上传"},
    {"mnuDownLoad", -1, T::Caption, "&Download", "下载"},
    {"mnuExpand", -1, T::Caption, "&Expand All", "展开全部节点"},
};

constexpr CaptionRow DataSheetTree[] = {
    {"", -1, T::WindowTitle, "Data Sheet", "数据浏览器"},
    {"DataSheetTree", 1, T::TreeNode, "Data Sheet", "数据浏览器"},
};

constexpr CaptionRow Controller[] = {
    {"", -1, T::WindowTitle, "DSO Controller", "DSO控制器"},
    {"cmdUpload", -1, T::Caption, "     Upload", "      上传 ."},
    {"cmdDownload", -1, T::Caption, "     Download", "      下载 ."},
    {"cmdUpload", -1, T::ToolTip, "Upload To Scope", "上传到仪器"},
    {"cmdDownload", -1, T::ToolTip, "Download To Software", "下载到软件"},
};

constexpr CaptionRow NewDoc[] = {
    {"", -1, T::WindowTitle, "New Document", "新建文档"},
    {"Frame1", -1, T::Caption, "File Type", "文件类型"},
    {"NewOption", 0, T::Caption, "Data Sheet", "数据浏览器"},
    {"NewOption", 1, T::Caption, "Controller", "控制器"},
    {"NewOption", 2, T::Caption, "Wave", "波形窗口"},
    {"NewOption", 3, T::Caption, "Measure", "测量窗口"},
    {"NewOption", 4, T::Caption, "Wave Data", "数据窗口"},
    {"NewOption", 5, T::Caption, "Record", "录制窗口"},
    {"NewOption", 6, T::Caption, "Memory Wave", "波形文件窗口"},
    {"cmdOK", -1, T::Caption, "OK", "确定"},
    {"cmdCancel", -1, T::Caption, "Cancel", "取消"},
};

constexpr CaptionRow OpenDoc[] = {
    {"", -1, T::WindowTitle, "Open Document", "打开文档"},
    {"Frame1", -1, T::Caption, "File Type", "文件类型"},
    {"NewOption", 0, T::Caption, "Data Sheet", "数据浏览器"},
    {"NewOption", 1, T::Caption, "Controller", "控制器"},
    {"cmdOK", -1, T::Caption, "OK", "确定"},
    {"cmdCancel", -1, T::Caption, "Cancel", "取消"},
};

constexpr CaptionRow Options[] = {
    {"", -1, T::WindowTitle, "Options", "选项"},
    {"tbsOptions", 1, T::TabText, "General", "常规"},
    {"tbsOptions", 2, T::TabText, "Refresh", "更新"},
    {"tbsOptions", 3, T::TabText, "Communication Setting", "通信设置"},
    {"cmdOK", -1, T::Caption, "OK", "确定"},
    {"cmdCancel", -1, T::Caption, "Cancel", "取消"},
    {"fraSample2", -1, T::Caption, "IO Selection", "IO选择"},
    {"fraSample1", -1, T::Caption, "Startup Option", "启动选项"},
    {"HardwareCheck", -1, T::Caption, "Startup Hardware Check", "设置硬件检查"},
    {"SheetStartLoadChk", -1, T::Caption, "Recent Data Sheet File Load", "最近的数据表装载"},
    {"CtrlStartLoadChk", -1, T::Caption, "Recent Control File Load", "最近的控制文件装载"},
    {"Frame3", -1, T::Caption, "Refresh", "更新"},
    {"Frame4", -1, T::Caption, "Time Setting", "时间设置"},
    {"OptRefreshType", 0, T::Caption, "Single", "单次"},
    {"OptRefreshType", 1, T::Caption, "Auto", "自动"},
    {"Label4", -1, T::Caption, "Interval", "时间间隔"},
    {"Frame2", -1, T::Caption, "RS232 Setting", "RS232 设置"},
    {"Label2", -1, T::Caption, "RS232 Port", "RS232 端口"},
    {"Label3", -1, T::Caption, "Baud Rate", "波特率"},
    {"Label6", -1, T::Caption, "Device", "设备号"},
    {"labCurDevice", -1, T::Caption, "Current Device:", "当前设备："},
};

constexpr CaptionRow VirtualPanel[] = {
    {"", -1, T::WindowTitle, "Virtual Panel", "虚拟面板"},
    {"Frame3", -1, T::Caption, "Control", "控制"},
    {"cmdRun", -1, T::Caption, "Run", "运行  "},
    {"cmdStop", -1, T::Caption, "Stop", "停止  "},
    {"Frame2", -1, T::Caption, "Output", "输出"},
    {"cmdExport", -1, T::Caption, "Export  ", "导出     "},
    {"cmdPrint", -1, T::Caption, "Print    ", "  打印    "},
    {"cmdPreview", -1, T::Caption, "      Preview", "      预览  "},
    {"cmdRun", -1, T::ToolTip, "Run", "运行"},
    {"cmdStop", -1, T::ToolTip, "Stop", "停止"},
    {"cmdExport", -1, T::ToolTip, "Export", "导出"},
    {"cmdPrint", -1, T::ToolTip, "Print", "打印"},
    {"cmdPreview", -1, T::ToolTip, "Print Preview", "预览"},
    {"Display", -1, T::Caption, "Display", "显示"},
    {"cmdZoom", -1, T::Caption, "Zoom", " 缩放  "},
};

constexpr CaptionRow VirtualKey[] = {
    {"", -1, T::WindowTitle, "Virtual Keyboard", "虚拟键盘"},
};

constexpr CaptionRow Adjust[] = {
    {"OptVoltDiv", 0, T::Caption, "Coarse", "粗调"},
    {"OptVoltDiv", 1, T::Caption, "Fine", "微调"},
    {"cmdAdjustOK", -1, T::Caption, "OK", "确定"},
    {"cmdCancelAdjust", -1, T::Caption, "Cancel", "取消"},
};

constexpr CaptionRow PassFail[] = {
    {"Frame1", -1, T::Caption, "Pass | Fail Settings", "通过 | 失败设置"},
    {"Frame2", -1, T::Caption, "Select Measure Type", "选择测量参数"},
    {"EnabledChk", -1, T::Caption, "Enabled", "使能"},
    {"Frame3", -1, T::Caption, "Pass Range Settings", "通过参数范围设置"},
    {"Frame4", -1, T::Caption, "Under Limit Setting", "下限设置     "},
    {"Frame5", -1, T::Caption, "Over Limit Setting", "上限设置"},
    {"OKButton", -1, T::Caption, "OK", "确定"},
    {"CancelButton", -1, T::Caption, "Cancel", "取消"},
};

constexpr CaptionRow Splash[] = {
    {"lblVersion", -1, T::Caption, "Version 00.01.04", "版本 00.01.04"},
    {"lblWarning", -1, T::Caption,
     "Copyright (C) Karvo Technologies,Inc. All rights reserved.",
     "版权所有 (C) Karvo Technologies,Inc. 保留一切权利。"},
};

constexpr CaptionRow About[] = {
    {"", -1, T::WindowTitle, "About Kelvoscope", "关于 Kelvoscope"},
    {"lblVersion", -1, T::Caption, "Version 00.01.04", "版本 00.01.04"},
    {"lblDescription", -1, T::Caption,
     "Copyright (C) Karvo Technologies,Inc. All rights reserved. "
     "Updates and support: see the Karvo Technologies web site.",
     "版权所有 (C) Karvo Technologies,Inc. 保留一切权利。"
     "软件更新与技术支持请访问 Karvo Technologies 网站。"},
    {"lblDisclaimer", -1, T::Caption,
     "Warning: this program is protected by copyright law. Copying or distributing it without "
     "permission is not allowed.",
     "警告：本程序受版权法保护，未经许可不得复制或分发。"},
    {"cmdOK", -1, T::Caption, "OK", "确定"},
    {"cmdSysInfo", -1, T::Caption, "System Info...", "系统信息..."},
};

} // namespace

QString captionText(const CaptionRow &row, int lang)
{
    if (lang == 0)
        return QString::fromUtf8(row.chinese);
    if (lang == 1)
        return QString::fromUtf8(row.english);
    return QString();
}

QString captionObjectName(const CaptionRow &row)
{
    const QString base = QString::fromLatin1(row.control);
    if (row.index >= 0 && (row.target == CaptionTarget::Caption || row.target == CaptionTarget::ToolTip))
        return base + QLatin1Char('_') + QString::number(row.index);
    return base;
}

QString engineeringVersionMessage()
{
    return QStringLiteral("当前工程模式版本号为：") + QLatin1String(ProgramVersion) + QStringLiteral(".00")
        + QStringLiteral(".02");
}

std::span<const CaptionRow> mainMenuCaptions() { return MainMenu; }
std::span<const CaptionRow> mainToolbarCaptions() { return MainToolbar; }
std::span<const CaptionRow> dataSheetTreeMenuCaptions() { return DataSheetTreeMenu; }
std::span<const CaptionRow> ctrlListMenuCaptions() { return CtrlListMenu; }
std::span<const CaptionRow> dataSheetTreeCaptions() { return DataSheetTree; }
std::span<const CaptionRow> controllerCaptions() { return Controller; }
std::span<const CaptionRow> newDocCaptions() { return NewDoc; }
std::span<const CaptionRow> openDocCaptions() { return OpenDoc; }
std::span<const CaptionRow> optionsCaptions() { return Options; }
std::span<const CaptionRow> virtualPanelCaptions() { return VirtualPanel; }
std::span<const CaptionRow> virtualKeyCaptions() { return VirtualKey; }
std::span<const CaptionRow> adjustCaptions() { return Adjust; }
std::span<const CaptionRow> passFailCaptions() { return PassFail; }
std::span<const CaptionRow> splashCaptions() { return Splash; }
std::span<const CaptionRow> aboutCaptions() { return About; }
