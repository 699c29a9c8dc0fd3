#pragma once
// Fixed lists and text rules of the options dialog.

#include <QString>
#include <QStringList>

// "COM1" .. "COM16".
QStringList portNames();
// The port list's entries: "COMn" followed by the device that COM n stands
// for (devices: entry n - 1 in words, as serialDeviceText() gives it), or by
// the no-device word of lang where the system has no port n.
QStringList portEntries(const QStringList &devices, int lang);
// "300", "2400", "4800", "9600", "19200", "38400".
QStringList baudRates();
// "0" .. "30".
QStringList gpibAddresses();
// Refresh intervals in seconds: "1", "2", "5", "10", "20".
QStringList refreshIntervals();

// The serial number of a USB resource text: its fourth "::"-separated field
// ("USB0::0xFFFF::0x4100::SN1::INSTR" gives "SN1"). A text with fewer than
// four "::" has none: it is shown whole.
QString serialFromResource(const QString &resource);

// The most USB instruments the device list shows.
inline constexpr int MaxListedDevices = 11;

// The interval list entry of a refresh interval in ms (1000 -> "1").
QString intervalText(qint32 ms);

// The words of the empty device list.
inline constexpr const char *NoDeviceEnglish = "No Device";
inline constexpr const char *NoDeviceChinese = "无设备";
