#include "link/transport.h"

#include "link/frames.h"
#include "link/replytimer.h"
#include "link/serialcontrol.h"

#include <utility>

namespace kelvra {

Transport::Transport(SerialControl &control, ReplyTimer &timer, const qint16 &comPortNo)
    : m_control(control), m_timer(timer), m_comPortNo(comPortNo)
{
}

bool Transport::OpenCommPort(QString *reason)
{
    // Whatever an abandoned operation was waiting for, its expiry must not
    // resend into the port being reopened, nor into a port that stays shut.
    EndWait();
    // Answers owed to the abandoned operation die with the port.
    m_sentAt.clear();
    m_answers = 0;
    m_held.reset();
    m_notBefore = 0;
    if (m_control.PortOpen())
        m_control.Close();

    m_portNo = m_comPortNo;
    m_devicePath.clear();
    if (!m_control.Open(m_portNo, reason))
        return false;
    m_devicePath = m_control.DevicePath();
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
    if (Owed() == 0 && m_timer.Now() >= m_notBefore)
        return Start(next);
    m_held = next;
    m_replyHandled = false;
    // Never longer than the last frame's whole wait, the bound before the
    // radio had shown how long it takes.
    m_holdBound = m_timer.Now() + qint64(m_wait) * (MaxResends + 1);
    ArmHold();
    return true;
}

void Transport::ArmHold()
{
    // A copy lost on the line is never answered. The radio has had its time
    // once the last copy has waited as long as the slowest answer so far,
    // counted from the copy it may have answered earliest; an answer later
    // still would pass for the held frame's, which a write's read-back catches.
    qint64 until = 0;
    if (Owed() > 0) {
        until = m_holdBound;
        if (m_longestAnswer >= 0 && !m_sentAt.isEmpty())
            until = qMin(until, m_sentAt.constLast() + m_longestAnswer + HoldMargin.count());
    }
    until = qMax(until, m_notBefore);
    m_tailWait = false;
    m_timer.SetInterval(int(qMax<qint64>(0, until - m_timer.Now())));
    m_timer.Enable();
}

bool Transport::LetReplyFinish()
{
    if (m_replyHandled || m_tailWait || m_control.InBufferCount() <= 0)
        return false;
    m_tailWait = true;
    const qint64 lineMs = (qint64(m_expectedReplyLen) * BitsPerByte * 1000 + LineBaud - 1) / LineBaud;
    m_timer.SetInterval(int(lineMs + ReplyTailMargin.count()));
    m_timer.Enable();
    return true;
}

Transport::Resend Transport::ResendFrame()
{
    if (m_held)
        return Start(*std::exchange(m_held, std::nullopt)) ? Resend::Sent : Resend::Failed;
    ++m_resendCount;
    if (m_resendCount > MaxResends) {
        TakeLeftover();
        return Resend::GivenUp;
    }
    return Transmit() ? Resend::Sent : Resend::Failed;
}

Transport::Received Transport::Receive(const QByteArray &bytes)
{
    // Answers that came close together arrive in one read.
    const int answers = qMax(1, int(bytes.size() / qMax<qint16>(1, m_expectedReplyLen)));
    for (int i = 0; i < answers; ++i)
        NoteAnswer();
    if (!m_held)
        return Received::Reply;
    if (Owed() > 0 || m_timer.Now() < m_notBefore) {
        ArmHold();
        return Received::Owed;
    }
    return Start(*std::exchange(m_held, std::nullopt)) ? Received::Owed : Received::Refused;
}

void Transport::NoteAnswer()
{
    // Answers come in the order of the copies, but a lost copy is never
    // answered: taking the n-th answer for the n-th copy's can only make the
    // radio look slower than it is.
    if (!m_sentAt.isEmpty()) {
        const qint64 sent = m_sentAt.at(qMin(m_answers, int(m_sentAt.size()) - 1));
        m_longestAnswer = qMax(m_longestAnswer, m_timer.Now() - sent);
    }
    ++m_answers;
}

void Transport::EndWait()
{
    m_replyHandled = true;
    m_tailWait = false;
    m_timer.Disable();
}

void Transport::NoteHeard(Heard what, int block)
{
    if (what == Heard::OtherBlock)
        m_otherBlock = block;
    m_heard = qMax(m_heard, what);
}

bool Transport::Start(const Frame &frame)
{
    m_notBefore = 0;
    m_expectedReplyLen = frame.expectedReplyLen;
    m_lastFrame = frame.bytes;
    m_resendCount = 0;
    m_sentAt.clear();
    m_answers = 0;
    m_longestAnswer = -1;
    m_heard = Heard::Nothing;
    m_otherBlock = -1;
    m_wait = int((frame.longWait ? LongReplyWait : ReplyWait).count());
    return Transmit();
}

bool Transport::Transmit()
{
    // Arming before writing is safe: no expiry is handled before we return.
    m_replyHandled = false;
    m_tailWait = false;
    m_timer.SetInterval(m_wait);
    m_timer.Enable();
    m_control.SetReceiveThreshold(m_expectedReplyLen);
    // Leftovers of an earlier attempt must not be taken for this one's reply.
    m_control.ClearTransmitBuffer();
    if (!m_sentAt.isEmpty())
        TakeLeftover();
    m_control.ClearReceiveBuffer();
    m_sentAt.append(m_timer.Now());
    if (!m_control.Write(m_lastFrame)) {
        EndWait();
        return false;
    }
    if (m_transmitted)
        m_transmitted(int(m_sentAt.size()) - 1);
    return true;
}

void Transport::TakeLeftover()
{
    const QByteArray leftover = m_control.Input();
    if (leftover.isEmpty())
        return;
    NoteAnswer();
    NoteHeard(Frames::IsRepeatReply(leftover) ? Heard::Repeat : Heard::BadReply);
}

} // namespace kelvra
