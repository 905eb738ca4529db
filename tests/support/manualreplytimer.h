#pragma once

#include "link/replytimer.h"

#include <QList>

namespace kelvra {

// A reply timer that expires only when the test says so, recording the
// interval of every countdown it was asked to start.
class ManualReplyTimer : public ReplyTimer
{
    Q_OBJECT
public:
    void SetInterval(int milliseconds) override { m_interval = milliseconds; }
    int Interval() const override { return m_interval; }
    void Enable() override { m_enabled = true; armed.append(m_interval); }
    void Disable() override { m_enabled = false; }
    bool Enabled() const override { return m_enabled; }

    // Expires like a single-shot timer; false (and nothing happens) when not armed.
    bool Fire()
    {
        if (!m_enabled)
            return false;
        m_enabled = false;
        emit Timer();
        return true;
    }

    QList<int> armed;

private:
    int m_interval = 0;
    bool m_enabled = false;
};

} // namespace kelvra
