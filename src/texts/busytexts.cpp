#include "texts/busytexts.h"

QString busyText(BusyText t, int lang)
{
    const bool chinese = lang == 0;
    switch (t) {
    case BusyText::InputHeld:
        return chinese ? QStringLiteral("正在等待仪器应答：您的操作将在仪器应答后执行。")
                       : QStringLiteral("Waiting for the instrument: your input follows when it has answered.");
    case BusyText::InputDropped:
        return chinese ? QStringLiteral("仪器忙碌期间的操作未被执行。")
                       : QStringLiteral("Input given while the instrument was busy was not used.");
    case BusyText::Stopping:
        return chinese ? QStringLiteral("正在停止与仪器的通信……")
                       : QStringLiteral("Stopping the exchange with the instrument...");
    case BusyText::Refused:
        return chinese ? QStringLiteral("仪器正忙：请在仪器应答后重试。")
                       : QStringLiteral("The instrument is busy: try again when it has answered.");
    case BusyText::RefreshPaused:
        return chinese ? QStringLiteral("对话框打开期间，连续刷新已暂停。")
                       : QStringLiteral("Continuous refresh paused while the dialog is open.");
    case BusyText::LateReply:
        return chinese ? QStringLiteral("正在等待仪器结束上一个未完成的应答……")
                       : QStringLiteral("Waiting for the instrument to finish its last reply...");
    case BusyText::Connecting:
        return chinese ? QStringLiteral("正在连接示波器……") : QStringLiteral("Connecting to the oscilloscope...");
    }
    return QString();
}

QString uploadCutText(int lang)
{
    return lang == 0 ? QStringLiteral("上传已中断：仪器现在只保存了部分设置。")
                     : QStringLiteral("The upload was cut short: the instrument now holds only part of the settings.");
}
