#include "link/qtreplytimer.h"

namespace kelvra {

QtReplyTimer::QtReplyTimer(QObject *parent) : ReplyTimer(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplyTimer::Timer);
}

void QtReplyTimer::SetInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

int QtReplyTimer::Interval() const
{
    return m_timer.interval();
}

void QtReplyTimer::Enable()
{
    m_timer.start();
}

void QtReplyTimer::Disable()
{
    m_timer.stop();
}

bool QtReplyTimer::Enabled() const
{
    return m_timer.isActive();
}

} // namespace kelvra
