#pragma once

#include <QObject>

#include <chrono>

namespace kelvra {

// The one-shot timer that bounds the wait for a reply. Tests drive a manual
// one so that the timing rules are checked without sleeping.
class ReplyTimer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ReplyTimer() override = default;

    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
    // Starts the countdown afresh with the full interval.
    virtual void Enable() = 0;
    virtual void Disable() = 0;
    virtual bool Enabled() const = 0;
    // Milliseconds on a steady clock: how long the radio takes to answer is
    // measured on it. Tests drive a manual clock along with the manual timer.
    virtual qint64 Now() const
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

signals:
    void Timer();
};

} // namespace kelvra
