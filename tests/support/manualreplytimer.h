#pragma once

#include "link/replytimer.h"

#include <QList>

namespace kelvra {

// A reply timer that expires only when the test says so, on a clock that
// moves only when the test moves it, recording the interval of every
// countdown it was asked to start.
class ManualReplyTimer : public ReplyTimer
{
    Q_OBJECT
public:
    void SetInterval(int milliseconds) override { m_interval = milliseconds; }
    int Interval() const override { return m_interval; }
    void Enable() override
    {
        m_enabled = true;
        m_armedAt = now;
        armed.append(m_interval);
    }
    void Disable() override { m_enabled = false; }
    bool Enabled() const override { return m_enabled; }
    qint64 Now() const override { return now; }

    // When an armed countdown runs out on the clock.
    qint64 Deadline() const { return m_armedAt + m_interval; }
    // Expires like a single-shot timer, the clock moved on to its deadline;
    // false (and nothing happens) when not armed.
    bool Fire()
    {
        if (!m_enabled)
            return false;
        m_enabled = false;
        now = qMax(now, Deadline());
        emit Timer();
        return true;
    }

    QList<int> armed;
    qint64 now = 0; // milliseconds

private:
    int m_interval = 0;
    qint64 m_armedAt = 0;
    bool m_enabled = false;
};

} // namespace kelvra
