#include "panel/screenmirror.h"

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "link/connectfunc.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/pixcolor/pixcolor.h"
#include "platform/pump.h"
#include "platform/visa/visa.h"

#include <cstring>

namespace {

// Delay of the first frame after the load, and between frames (ms).
constexpr int FirstFrameMs = 10;
constexpr int NextFrameMs = 1;
// The next try of a frame due while another exchange runs.
constexpr int BusyRetryMs = 20;

QRgb rgbOf(qint32 c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

} // namespace

ScreenRead ReadScreenFrame(QByteArray &bytes)
{
    LinkState &l = app().link;
    if (!linkGateOpen() || l.IoType != 0)
        return ScreenRead::NotRead;
    SendCommand(QStringLiteral(":LCD:DATA?"));
    if (!linkGateOpen()) {
        // The write failed: the link has shown its message and is lost.
        pumpEvents();
        return ScreenRead::Failed;
    }
    QByteArray scratch(ScreenBufferSize, '\0');
    ViUInt32 n = 0;
    VisaReplyReadDirectly();
    const ViStatus st =
        viRead(l.VisaSession, reinterpret_cast<ViBuf>(scratch.data()), ViUInt32(ScreenBufferSize), &n);
    ScreenRead result = ScreenRead::Complete;
    if (st == VI_ERROR_ABORT) {
        result = ScreenRead::NotRead; // given up by the user: nothing failed
    } else if (st != VI_SUCCESS) {
        showLinkMessage(Msg::MsgReadFailed, Msg::MsgDeviceReadTitle);
        VisaLinkLost();
        result = ScreenRead::Failed;
    } else if (n < ViUInt32(ScreenPixels)) {
        result = ScreenRead::Short;
    } else {
        if (bytes.size() < ScreenBufferSize)
            bytes.resize(ScreenBufferSize);
        std::memcpy(bytes.data(), scratch.constData(), std::min<size_t>(n, ScreenBufferSize));
    }
    pumpEvents();
    return result;
}

QImage composeScreen(const std::vector<qint32> &colours, int zoom)
{
    const int f = zoom == 1 ? 2 : 1;
    QImage img(ScreenWidth * f, ScreenHeight * f, QImage::Format_RGB32);
    img.fill(Qt::black);
    if (colours.size() < size_t(ScreenPixels))
        return img;
    for (int y = 0; y < ScreenHeight; ++y) {
        for (int x = 0; x < ScreenWidth; ++x) {
            const QRgb c = rgbOf(colours[size_t(x + ScreenWidth * y)]);
            for (int dy = 0; dy < f; ++dy) {
                auto *line = reinterpret_cast<QRgb *>(img.scanLine(y * f + dy));
                for (int dx = 0; dx < f; ++dx)
                    line[x * f + dx] = c;
            }
        }
    }
    return img;
}

ScreenMirror::ScreenMirror() : frameTimer_(appClock().makeTimer())
{
    frameTimer_->setSingleShot(true);
    frameTimer_->onTimeout = [this] { loopStep(); };
}

ScreenMirror::~ScreenMirror()
{
    frameTimer_->stop();
}

bool ScreenMirror::running() const
{
    return app().panel.PanelRunning != 0;
}

void ScreenMirror::start()
{
    PanelZoom = 0;
    PanelState &p = app().panel;
    p.PanelRefreshActive = -1;
    p.PanelRunning = -1;
    // The picture starts empty at its 1x size.
    picture_ = QImage(ScreenWidth, ScreenHeight, QImage::Format_RGB32);
    picture_.fill(Qt::black);
    frameTimer_->start(FirstFrameMs);
}

void ScreenMirror::finish()
{
    PanelState &p = app().panel;
    p.PanelRunning = 0;
    p.PanelRefreshActive = 0;
    frameTimer_->stop();
}

void ScreenMirror::run()
{
    PanelState &p = app().panel;
    if (!p.PanelRefreshActive)
        return;
    p.PanelRunning = -1;
    if (onRunState)
        onRunState();
    if (!frameTimer_->isActive())
        frameTimer_->start(NextFrameMs);
}

void ScreenMirror::halt()
{
    app().panel.PanelRunning = 0;
    if (onRunState)
        onRunState();
}

void ScreenMirror::toggleZoom()
{
    PanelZoom = PanelZoom == 0 ? 1 : 0;
    picture_.fill(Qt::black);
    if (onPicture)
        onPicture();
}

bool ScreenMirror::DrawBulkWave()
{
    PanelState &p = app().panel;
    const ScreenRead r = ReadScreenFrame(p.ScreenBytes);
    // The events pumped during the read may have stopped the mirror or closed
    // the panel: then this frame draws nothing.
    if (!p.PanelRunning || !p.PanelRefreshActive)
        return false;
    if (r == ScreenRead::Short) {
        ++p.ShortScreenReads;
        return false;
    }
    if (r == ScreenRead::Failed || r == ScreenRead::NotRead)
        return false; // the link is lost, or the read was given up: the last good picture stays
    const auto *bytes = reinterpret_cast<const quint8 *>(p.ScreenBytes.constData());
    const bool colour = IsColorDisplay();
    if (!app().link.LinkConnected)
        return false; // the identification failed: no colour coding to trust
    if (p.ScreenColours.size() < size_t(ScreenBufferSize))
        p.ScreenColours.resize(size_t(ScreenBufferSize));
    if (colour)
        TransClr(bytes, ScreenPixels, p.ScreenColours.data());
    else
        TransMono(bytes, ScreenPixels, p.ScreenColours.data());
    if (!p.PanelRunning || !p.PanelRefreshActive)
        return false;
    picture_ = composeScreen(p.ScreenColours, PanelZoom);
    if (onPicture)
        onPicture();
    return true;
}

void ScreenMirror::loopStep()
{
    PanelState &p = app().panel;
    if (!p.PanelRefreshActive || !p.PanelRunning)
        return;
    if (exchangeRunning()) {
        // A key's command is being sent (its pause turns the event loop): the
        // frame follows it, never between another line and its reply.
        frameTimer_->start(BusyRetryMs);
        return;
    }
    DrawBulkWave();
    pumpEvents();
    if (!p.PanelRefreshActive)
        return; // closed while pumping
    if (!app().link.LinkConnected) {
        finish();
        if (onLinkLost)
            onLinkLost();
        return;
    }
    if (p.PanelRunning)
        frameTimer_->start(NextFrameMs);
}
