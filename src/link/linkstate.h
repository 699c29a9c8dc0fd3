#pragma once
// The program-wide state of the instrument link: link kind and flags, the
// lamps, the model facts of the connected instrument, the serial receive state,
// the VISA session and resource list, and the transfer buffers the block reads
// fill. One instance lives in AppState (app().link).
//
// Flags are 16-bit integers, -1 true and 0 false, as the rest of the program
// keeps them.

#include "common/setupblock.h"
#include "platform/visa/visatypes.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

// Bytes of the serial receive buffer (indexes 0 to 65536).
inline constexpr int RxBufferSize = 65537;
// Slots of the VISA resource list (indexes 0 to 64).
inline constexpr int ResourceListSize = 65;
// Characters kept of one resource description.
inline constexpr int ResourceNameMax = 128;
// Entries of WorkPts (indexes 0 to 8192; a block is stored from index 1).
inline constexpr int WorkPtsSize = 8193;
// The link kind value of the serial-port control; any other value is VISA.
inline constexpr int IoTypeSerial = 2;

struct LinkState {
    // --- link kind and flags ------------------------------------------------
    int IoType = 0;                 // 2 = serial-port control, anything else = VISA
    qint16 LinkOpened = 0;          // the port or session of the current connect was opened
    qint16 LinkConnecting = 0;      // a connect is running
    qint16 LinkConnected = 0;       // connected and identified

    // The two lamps of the main window (picLED_ON, picLED_OFF); exactly one is
    // shown. Changed through setLinkLamps() (linkindicator.h), which signals.
    bool LampOnVisible = false;
    bool LampOffVisible = true;

    // --- link settings (settings store and options dialog) ------------------
    int ComPortNumber = 1;          // COM port 1 to 16
    QString BaudRateText = QStringLiteral("9600");

    // --- model facts of the last identification past the maker check -------
    quint8 LaModel = 0;             // 1: a mixed-signal model (ends in "D" or "D-EDU")
    quint8 BandwidthClass = 0;      // 0 to 5
    quint8 ScreenTop = 25;          // raw level of the top graticule line
    qint16 LaPresent = -1;          // true from start-up; nothing sets it false

    // --- serial receive state -----------------------------------------------
    qint16 RxWaiting = 0;           // a reply is awaited and not yet complete
    qint16 BinaryReply = 0;         // the awaited reply is a length-prefixed block
    qint16 RxStarted = 0;           // the first chunk of the current reply arrived
    QString RxText;                 // the reply as text (a block: its payload)
    std::vector<quint8> RxBuffer = std::vector<quint8>(RxBufferSize, 0);
    int RxWritePos = 0;             // next index of RxBuffer to write
    int RxReceived = 0;             // bytes of the current reply, header included
    double RxCount = 0;             // payload length a block header announced
    // The length header of a block as far as it has come (RxHeaderBytes of 4).
    std::array<quint8, 4> RxHeader{};
    int RxHeaderBytes = 0;
    // Clock tick (appClock().ticks()) at which RxTicks last went to 0.
    qint64 RxTickMark = 0;

    // --- VISA -----------------------------------------------------------------
    ViSession DefaultRM = VI_NULL;
    ViSession VisaSession = VI_NULL;
    std::array<QString, ResourceListSize> ResourceList{};
    int ResourceCount = 0;          // slots of ResourceList the last search filled
    QString ResourceName;           // the resource OpenVisaDevice opens
    qint16 ResourceIndex = 0;       // 1-based choice of the options dialog; 0 none
    qint16 VisaInterfaceType = 5;   // 1 USB, 0 serial, 5 other

    // --- resource chooser -----------------------------------------------------
    qint16 OkCancel = 0;            // the chooser was last closed with OK

    // --- transfer buffers -----------------------------------------------------
    SetupBlock LastSetup;           // the setup block of the last setup read
    std::vector<qint32> WorkPts = std::vector<qint32>(WorkPtsSize, 0);
};
