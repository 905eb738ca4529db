#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>

namespace kelvra {

class Operator;
class ReplyTimer;
class SerialControl;

// One frame at a time over the serial port: keeps the last frame, times its
// reply and sends it again on request, at most twice.
class Transport
{
public:
    // The radio needs time to enter programming mode; every later reply is quick.
    static constexpr std::chrono::milliseconds LongReplyWait{1500};
    static constexpr std::chrono::milliseconds ReplyWait{300};
    static constexpr int MaxResends = 2;

    enum class Resend { Sent, GivenUp, Failed };

    Transport(SerialControl &control, ReplyTimer &timer, Operator &op, const qint16 &comPortNo);

    // Closes the port first if it is open. Shows the open failure itself.
    bool OpenCommPort();
    void CloseCommPort();

    // False when the serial layer refused the bytes; no reply is awaited then.
    bool SendFrame(qint16 expectedReplyLen, const QByteArray &frame, bool longWait);
    Resend ResendFrame();

    // No reply is awaited from now on: received bytes are dropped and the
    // timer is stopped. Called before anything that may show a message box.
    void EndWait();

    bool ReplyHandled() const { return m_replyHandled; }
    const QByteArray &LastFrame() const { return m_lastFrame; }
    qint16 ExpectedReplyLen() const { return m_expectedReplyLen; }
    qint16 ResendCount() const { return m_resendCount; }

private:
    bool Transmit();

    SerialControl &m_control;
    ReplyTimer &m_timer;
    Operator &m_operator;
    const qint16 &m_comPortNo;

    QByteArray m_lastFrame;
    qint16 m_expectedReplyLen = 0;
    qint16 m_resendCount = 0;
    bool m_replyHandled = true;
};

} // namespace kelvra
