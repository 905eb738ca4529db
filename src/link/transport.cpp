#include "link/transport.h"

#include "lang/messages.h"
#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "link/serialcontrol.h"

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
    m_expectedReplyLen = expectedReplyLen;
    m_lastFrame = frame;
    m_resendCount = 0;
    m_timer.SetInterval(int((longWait ? LongReplyWait : ReplyWait).count()));
    return Transmit();
}

Transport::Resend Transport::ResendFrame()
{
    ++m_resendCount;
    if (m_resendCount > MaxResends)
        return Resend::GivenUp;
    return Transmit() ? Resend::Sent : Resend::Failed;
}

void Transport::EndWait()
{
    m_replyHandled = true;
    m_timer.Disable();
}

bool Transport::Transmit()
{
    // Arming before writing is safe: no expiry is handled before we return.
    m_replyHandled = false;
    m_timer.Enable();
    m_control.SetReceiveThreshold(m_expectedReplyLen);
    // Leftovers of an earlier attempt must not be taken for this one's reply.
    m_control.ClearTransmitBuffer();
    m_control.ClearReceiveBuffer();
    if (m_control.Write(m_lastFrame))
        return true;
    EndWait();
    return false;
}

} // namespace kelvra
