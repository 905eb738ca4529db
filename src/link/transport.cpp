#include "link/transport.h"

#include "lang/messages.h"
#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "link/serialcontrol.h"

#include <utility>

namespace kelvra {

Transport::Transport(SerialControl &control, ReplyTimer &timer, Operator &op, const qint16 &comPortNo)
    : m_control(control), m_timer(timer), m_operator(op), m_comPortNo(comPortNo)
{
}

bool Transport::OpenCommPort()
{
    // Whatever an abandoned operation was waiting for, its expiry must not
    // resend into the port being reopened, nor into a port that stays shut.
    EndWait();
    // Answers owed to the abandoned operation die with the port.
    m_copies = m_answers = 0;
    m_held.reset();
    if (m_control.PortOpen())
        m_control.Close();

    QString reason;
    if (!m_control.Open(m_comPortNo, &reason)) {
        m_operator.ShowMessage(CannotOpenPortText(), Operator::Icon::Critical, reason);
        return false;
    }
    return true;
}

void Transport::CloseCommPort()
{
    if (m_control.PortOpen())
        m_control.Close();
}

bool Transport::SendFrame(qint16 expectedReplyLen, const QByteArray &frame, bool longWait)
{
    const Frame next{expectedReplyLen, frame, longWait};
    if (Owed() == 0)
        return Start(next);
    // A copy that was lost on the line is never answered: the wait is bounded
    // by the time the radio had to answer the last copy, the frame's whole wait.
    m_held = next;
    m_replyHandled = false;
    m_timer.SetInterval(m_timer.Interval() * (MaxResends + 1));
    m_timer.Enable();
    return true;
}

Transport::Resend Transport::ResendFrame()
{
    if (m_held)
        return Start(*std::exchange(m_held, std::nullopt)) ? Resend::Sent : Resend::Failed;
    ++m_resendCount;
    if (m_resendCount > MaxResends)
        return Resend::GivenUp;
    return Transmit() ? Resend::Sent : Resend::Failed;
}

Transport::Received Transport::Receive(const QByteArray &bytes)
{
    // Answers that came close together arrive in one read.
    m_answers += qMax(1, int(bytes.size() / qMax<qint16>(1, m_expectedReplyLen)));
    if (!m_held)
        return Received::Reply;
    if (Owed() > 0)
        return Received::Owed;
    return Start(*std::exchange(m_held, std::nullopt)) ? Received::Owed : Received::Refused;
}

void Transport::EndWait()
{
    m_replyHandled = true;
    m_timer.Disable();
}

bool Transport::Start(const Frame &frame)
{
    m_expectedReplyLen = frame.expectedReplyLen;
    m_lastFrame = frame.bytes;
    m_resendCount = 0;
    m_copies = m_answers = 0;
    m_timer.SetInterval(int((frame.longWait ? LongReplyWait : ReplyWait).count()));
    return Transmit();
}

bool Transport::Transmit()
{
    // Arming before writing is safe: no expiry is handled before we return.
    m_replyHandled = false;
    m_timer.Enable();
    m_control.SetReceiveThreshold(m_expectedReplyLen);
    // Leftovers of an earlier attempt must not be taken for this one's reply.
    m_control.ClearTransmitBuffer();
    // Too short to raise the receive event (a repeat request or a cut reply
    // to a block read), it still was the answer to a copy.
    if (m_copies > 0 && !m_control.Input().isEmpty())
        ++m_answers;
    m_control.ClearReceiveBuffer();
    ++m_copies;
    if (m_control.Write(m_lastFrame))
        return true;
    EndWait();
    return false;
}

} // namespace kelvra
