#pragma once

#include "link/replytimer.h"

#include <QTimer>

namespace kelvra {

// The product's reply timer: single shot and precise, because the 300 ms
// waits are short enough for a coarse timer's slack to matter.
class QtReplyTimer : public ReplyTimer
{
    Q_OBJECT
public:
    explicit QtReplyTimer(QObject *parent = nullptr);

    void SetInterval(int milliseconds) override;
    int Interval() const override;
    void Enable() override;
    void Disable() override;
    bool Enabled() const override;

private:
    QTimer m_timer;
};

} // namespace kelvra
