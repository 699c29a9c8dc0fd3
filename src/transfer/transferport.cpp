#include "transfer/transferport.h"

namespace {
// Stands in while no link is built in: transfers nothing.
class NoLinkPort final : public TransferPort {
public:
    int ioType() const override { return -1; }
    void sendCommand(const QString &) override {}
    QString queryString(const QString &) override { return QString(); }
    bool waitSerialBlock(QByteArray *) override { return false; }
    void visaReadSetup(SetupBlock *) override {}
    bool visaReadWaveBlock(int, QByteArray *) override { return false; }
};

TransferPort *g_port = nullptr;
} // namespace

TransferPort &transferPort()
{
    static NoLinkPort none;
    return g_port ? *g_port : none;
}

void setTransferPort(TransferPort *p)
{
    g_port = p;
}
