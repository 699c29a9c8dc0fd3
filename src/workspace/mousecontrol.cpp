#include "workspace/mousecontrol.h"

#include <QGuiApplication>

namespace {

int g_code = 0;

QCursor &customCursor()
{
    static QCursor c(Qt::ArrowCursor);
    return c;
}

Qt::CursorShape shapeOf(int code)
{
    switch (code) {
    case 1: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 4: return Qt::ArrowCursor;
    case 5: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    case 15: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

void clearOverrides()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

int MouseControl::Cursor()
{
    // The pointer the program shows now: a window that put the default
    // pointer back without this control (the transfer dialog as it closes)
    // leaves no code of an earlier pointer behind.
    if (QGuiApplication::instance() && !QGuiApplication::overrideCursor())
        g_code = 0;
    return g_code;
}

void MouseControl::setCursor(int code)
{
    const qint16 narrowed = qint16(code); // the pointer code is 16 bits wide
    g_code = narrowed;
    if (!QGuiApplication::instance())
        return;
    clearOverrides();
    if (narrowed == 0)
        return;
    QGuiApplication::setOverrideCursor(cursorOf(narrowed));
}

QCursor MouseControl::cursorOf(int code)
{
    return code == 99 ? customCursor() : QCursor(shapeOf(code));
}

void MouseControl::SetCustomCursor(const QCursor &cursor)
{
    customCursor() = cursor;
}
