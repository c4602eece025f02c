#include "platform/desktop/BusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

BusyPointer::BusyPointer()
    : m_span([this] { tick(); })
{
    m_since.start();
}

BusyPointer::~BusyPointer()
{
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

// Setting the pointer sends it to the display server at once (the X platform flushes its
// connection after changing a window's pointer), so no event processing is needed to show it.
void BusyPointer::tick()
{
    if (m_shown || m_since.elapsed() < ShowAfterMs)
        return;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_shown = true;
}

} // namespace platform
