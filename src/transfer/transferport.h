#pragma once
// TransferPort: what the transfer engine needs of the instrument link. The
// requests talk to the instrument only through the port in force, so tests
// can run them against the simulator through either the real link or a
// stand-in.
//
// The one port in force is the link's own (LinkTransferPort) unless a test
// installs another with setTransferPort().

#include "common/setupblock.h"

#include <QByteArray>
#include <QString>

class TransferPort {
public:
    virtual ~TransferPort() = default;

    // The link kind: 2 = serial-port control, 0 = VISA; the transfer reads
    // blocks only over these two.
    virtual int ioType() const = 0;
    // One command line, with the link's pause after it.
    virtual void sendCommand(const QString &line) = 0;
    // One query line and its reply (an empty text when none came).
    virtual QString queryString(const QString &line) = 0;

    // Serial-port control, after a binary query has been sent: waits for its
    // length-prefixed block, pumping events, until the block is complete or
    // 100 ticks of 100 ms pass without a received byte. True and the payload
    // when the block came in whole; false on the time-out.
    virtual bool waitSerialBlock(QByteArray *payload) = 0;

    // VISA, after ":SYSTEM:DATA?" has been sent: reads the setup block into
    // last (a failed read leaves it as it was and reports itself).
    virtual void visaReadSetup(SetupBlock *last) = 0;
    // VISA, after a waveform query has been sent: reads a block of expected
    // bytes. True and the points (the bytes that count as points on this
    // resource) when the read succeeded; false after a failure, which the
    // link has reported.
    virtual bool visaReadWaveBlock(int expected, QByteArray *points) = 0;
};

// The port in force.
TransferPort &transferPort();
// Installs p (not owned); nullptr goes back to the link's port.
void setTransferPort(TransferPort *p);
