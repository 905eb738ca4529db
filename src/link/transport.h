#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <optional>

namespace kelvra {

class Operator;
class ReplyTimer;
class SerialControl;

// One frame at a time over the serial port: keeps the last frame, times its
// reply, sends it again on request (at most twice), and keeps count of the
// answers the radio still owes to the copies it was sent.
class Transport
{
public:
    // The radio needs time to enter programming mode; every later reply is quick.
    static constexpr std::chrono::milliseconds LongReplyWait{1500};
    static constexpr std::chrono::milliseconds ReplyWait{300};
    static constexpr int MaxResends = 2;

    enum class Resend { Sent, GivenUp, Failed };
    // Received bytes are the awaited reply, or answers owed to copies of the
    // frame before it (dropped); taking the last of those may send the next
    // frame, which the serial layer may refuse.
    enum class Received { Reply, Owed, Refused };

    Transport(SerialControl &control, ReplyTimer &timer, Operator &op, const qint16 &comPortNo);

    // Closes the port first if it is open. Shows the open failure itself.
    bool OpenCommPort();
    void CloseCommPort();

    // False when the serial layer refused the bytes; no reply is awaited then.
    // While the radio still owes answers to copies of the last frame, the new
    // one is held back until they are in, or until the last frame's whole
    // wait has passed: replies carry no sequence number, so an owed answer
    // would otherwise pass for the new frame's.
    bool SendFrame(qint16 expectedReplyLen, const QByteArray &frame, bool longWait);
    // For a held frame: the owed answers are given up and the frame goes out.
    Resend ResendFrame();
    // Counts bytes read as answers to the copies sent.
    Received Receive(const QByteArray &bytes);

    // No reply is awaited from now on: received bytes are dropped and the
    // timer is stopped. Called before anything that may show a message box.
    void EndWait();

    bool ReplyHandled() const { return m_replyHandled; }
    const QByteArray &LastFrame() const { return m_lastFrame; }
    qint16 ExpectedReplyLen() const { return m_expectedReplyLen; }
    int PortNo() const { return m_comPortNo; }

private:
    struct Frame {
        qint16 expectedReplyLen = 0;
        QByteArray bytes;
        bool longWait = false;
    };

    bool Start(const Frame &frame);
    bool Transmit();
    // Copies of the last frame whose answers have not come yet.
    int Owed() const { return qMax(0, m_copies - m_answers); }

    SerialControl &m_control;
    ReplyTimer &m_timer;
    Operator &m_operator;
    const qint16 &m_comPortNo;

    QByteArray m_lastFrame;
    qint16 m_expectedReplyLen = 0;
    qint16 m_resendCount = 0;
    bool m_replyHandled = true;
    // The radio answers every copy it hears, each in its own time.
    int m_copies = 0;
    int m_answers = 0;
    std::optional<Frame> m_held;
};

} // namespace kelvra
