#include "texts/messagetable.h"

#include "texts/textstate.h"

namespace {

struct MessageRow {
    Msg id;
    const char *english;
    const char *chinese;
};

// Texts letter for letter, blanks before "!" and trailing blanks included.
const MessageRow messageRows[] = {
    {Msg::MsgDeviceNotFound, "Device not found!", "设备未找到!"},
    {Msg::MsgConnectTitle, "Connect to Oscilloscope", "连接示波器"},
    {Msg::MsgSysInfoUnavailable, "System Information Is Unavailable At This Time!", "该时刻系统信息不可得到！"},
    {Msg::MsgConnectFirst, "Please Connect Oscilloscope First!", "请首先连接示波器！"},
    {Msg::MsgQueryOnly, "This Item Query Only!", "该项仅可被查询！"},
    {Msg::MsgNumberOnly, "Enter number only!", "只可输入数字！"},
    {Msg::MsgRootNameFixed, "Name of Root Can't Change!", "根目录名称不可被修改！"},
    {Msg::MsgInvalidZoom, "Invalid Zoom Factor!", "无效缩放因子！"},
    {Msg::MsgBadSheetFile, "Data Sheet File Format is Invaild !", "数据文件格式无效！"},
    {Msg::MsgItemLimit, "Exceed maximum file numbers limit!", "超过最大可创建文件数目上限！"},
    {Msg::MsgOpenSheetFirst, "Please Open or Creat a Data Sheet First!", "请首先打开或创建一个数据浏览器"},
    {Msg::MsgBadCtrlFile, "File Format is Invaild !", "文件格式无效！"},
    {Msg::MsgCannotConnect, "Can't Connect to Device!", "不能连接设备！"},
    {Msg::MsgDeviceInitTitle, "Device Init", "设备初始化"},
    {Msg::MsgDeviceSendTitle, "Device Send Message", "设备传送信息"},
    {Msg::MsgDeviceReadTitle, "Device Read Message", "设备读取信息"},
    {Msg::MsgReadFailed, "Can't Read data from Device!", "不能读取设备数据！"},
    {Msg::MsgInvalidNumber, "Invalid Numeric!", "无效数值！"},
    {Msg::MsgFileOpFailed, "File utility fail!", "文件操作失败！"},
    {Msg::MsgBadChannelData, "The channel's data is invalid!", "通道数据无效！"},
    {Msg::MsgBadFileFormat, "The file format is error!", "文件格式错误！"},
    {Msg::MsgBadWaveData, "Invalid waveform data!", "无效波形数据！"},
    {Msg::MsgRs232InitTitle, "RS232 Init", "RS232初始化"},
    {Msg::MsgBadPortNumber, "Invalid port number!", "无效端口数!"},
    {Msg::MsgRs232SendTitle, "RS232 Send Message", "RS232发送信息"},
    {Msg::MsgSaveSheetPrompt, "Save the changes to the Data Sheet File? ", "是否保存对数据浏览器文件的更改？"},
    {Msg::MsgSaveCtrlPrompt, "Save the changes to the Control File? ", "是否保存对控制器文件的更改？"},
};

} // namespace

const QString &message(Msg m)
{
    static const QString empty;
    const int id = static_cast<int>(m);
    if (id < 0 || id >= MessageTableSize)
        return empty;
    return textState().MessageTable[id];
}

void LoadMessageTable(int lang)
{
    if (lang != 0 && lang != 1)
        return;
    auto &table = textState().MessageTable;
    for (const MessageRow &row : messageRows)
        table[static_cast<int>(row.id)] = QString::fromUtf8(lang == 0 ? row.chinese : row.english);
}
