#include "link/radiolink.h"

#include "lang/messages.h"
#include "link/failuredetail.h"
#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "record/imagecodec.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"

namespace kelvra {

RadioLink::RadioLink(SerialControl &control, ReplyTimer &timer, Operator &op, RadioInfo &info,
                     RadioImage &image, const qint16 &comPortNo, QObject *parent)
    : QObject(parent), m_control(control), m_timer(timer), m_operator(op), m_info(info), m_image(image),
      m_transport(control, timer, op, comPortNo),
      m_frames(m_transport, timer, op, info, image, m_opKind, m_seqState)
{
    connect(&m_control, &SerialControl::OnComm, this, &RadioLink::MSComm1_OnComm);
    connect(&m_timer, &ReplyTimer::Timer, this, &RadioLink::WaitTimer_Timer);
}

void RadioLink::Command1_Click()
{
    StartOperation(Operation::Read);
}

void RadioLink::Command2_Click()
{
    // Only the model is taken now; the other fields once the radio's blocks are in.
    m_info.Model = m_operator.ModelBoxText();
    StartOperation(Operation::Write);
}

void RadioLink::StartOperation(Operation kind)
{
    m_opKind = kind;
    m_seqState = Step::Idle;
    if (!m_transport.OpenCommPort()) {
        m_opKind = Operation::None;
        emit Busy(false); // a press that abandoned an operation ends it here
        return;
    }
    emit Busy(true);
    m_frames.ResetBlockAddress();
    if (!m_frames.SendProgramRequest())
        WriteRefused();
}

void RadioLink::MSComm1_OnComm(SerialControl::CommEvent event)
{
    if (event == SerialControl::CommEvent::Lost) {
        // Losing the port while nothing is awaited needs no word: the next
        // press reopens it, and a write in the middle of its band question
        // finds out when it sends.
        if (m_transport.ReplyHandled())
            return;
        m_transport.EndWait();
        // Every block is in or written: that ends as an unanswered "END" does.
        if (m_seqState == Step::End) {
            FinishOperation(true);
            return;
        }
        FinishOperation(false, Detail(failuredetail::PortLost()));
        return;
    }
    if (event != SerialControl::CommEvent::Receive)
        return;

    const QByteArray bytes = m_control.Input();
    const bool awaited = !m_transport.ReplyHandled();
    // Counted even while no reply is awaited: an answer owed to an earlier
    // copy may well come while the band question is open.
    switch (m_transport.Receive(bytes)) {
    case Transport::Received::Reply:
        if (!awaited)
            return;
        break;
    case Transport::Received::Owed:
        return;
    case Transport::Received::Refused:
        WriteRefused();
        return;
    }

    // A reply counts only if it is the kind the outstanding request asked
    // for: a block sent back in place of a write's acknowledgement must not
    // pass for one. Replies of another length are not the awaited reply.
    const bool awaitedLength = bytes.size() == m_transport.ExpectedReplyLen();
    if (awaitedLength && Frames::IsAckReply(bytes)) {
        m_transport.EndWait();
        StepSequence();
    } else if (Frames::IsRepeatReply(bytes)) {
        // The radio asks for the frame again: that is an expiry, come early.
        WaitTimer_Timer();
    } else if (awaitedLength && m_frames.IsIdentifyReply(bytes)) {
        m_transport.EndWait();
        StepSequence();
    } else if (awaitedLength && m_frames.IsBlockReply(bytes)) {
        m_transport.EndWait();
        m_frames.StoreBlock(bytes);
        StepSequence();
    }
    // Anything else is dropped; the pending expiry resends the request.
}

void RadioLink::WaitTimer_Timer()
{
    m_transport.EndWait();
    switch (m_transport.ResendFrame()) {
    case Transport::Resend::Sent:
        break;
    case Transport::Resend::GivenUp:
        // The radio may leave programming mode without acknowledging "END".
        if (m_seqState == Step::End)
            FinishOperation(true);
        else
            FinishOperation(false, Detail(failuredetail::Unanswered(UnansweredRequest(), m_transport.PortNo(),
                                                                    m_control.DevicePath())));
        break;
    case Transport::Resend::Failed:
        WriteRefused();
        break;
    }
}

void RadioLink::StepSequence()
{
    m_timer.Disable();
    const bool write = m_opKind == Operation::Write;
    bool sent = true;
    switch (m_seqState) {
    case Step::Idle:
        return;
    case Step::Program:
        m_seqState = Step::Identify;
        sent = m_frames.SendIdentifyRequest();
        break;
    case Step::Identify:
        if (!m_frames.CheckModel()) {
            FinishOperation(false);
            return;
        }
        m_seqState = Step::Block0;
        // A write names its re-reads so that BlockAddress stays put for the writes.
        sent = m_frames.SendReadBlock(write ? 0 : -1);
        break;
    case Step::Block0:
        m_seqState = Step::Block1;
        sent = m_frames.SendReadBlock(write ? 32 : -1);
        break;
    case Step::Block1:
        m_seqState = Step::Block2;
        sent = m_frames.SendReadBlock(write ? 64 : -1);
        break;
    case Step::Block2:
        if (write) {
            // Block 4 goes back whole, and bytes 144-159 belong to the
            // maintenance note, which the window never sets: send the radio's own.
            m_seqState = Step::Block4;
            sent = m_frames.SendReadBlock(128);
        } else {
            m_seqState = Step::Blocks;
            sent = m_frames.SendReadBlock(-1);
        }
        break;
    case Step::Block4:
        m_seqState = Step::Blocks;
        // Taken only now, so that changes made while the blocks came in are sent.
        m_operator.GetDataByShow();
        EncodeRadioInfo(m_info, m_image);
        sent = m_frames.SendWriteBlock();
        break;
    case Step::Blocks:
        sent = write ? m_frames.SendWriteBlock() : m_frames.SendReadBlock(-1);
        break;
    case Step::End:
        FinishOperation(true);
        return;
    }
    if (!sent)
        WriteRefused();
}

void RadioLink::FinishOperation(bool success, const QString &detail)
{
    if (m_opKind == Operation::None)
        return;
    emit Busy(false);
    if (success) {
        if (m_opKind == Operation::Read)
            ReadComplete();
        else
            WriteComplete();
        return;
    }
    // A failure leaves the port open, so late bytes are read and dropped and
    // the next press reopens it; the record keeps what had arrived.
    m_operator.ShowMessage(m_opKind == Operation::Read ? ReadFailureText() : WriteFailureText(),
                           Operator::Icon::None, detail);
}

void RadioLink::ReadComplete()
{
    m_opKind = Operation::None;
    m_timer.Disable();
    m_frames.ResetBlockAddress();
    CloseCommPort();
    DecodeRadioInfo(m_image, m_info);
    m_operator.ShowByData();
    m_operator.ShowMessage(ReadCompleteText(), Operator::Icon::None);
}

void RadioLink::WriteComplete()
{
    m_frames.ResetBlockAddress();
    m_opKind = Operation::None;
    m_timer.Disable();
    CloseCommPort();
    m_operator.ShowMessage(WriteCompleteText(), Operator::Icon::None);
}

void RadioLink::CloseCommPort()
{
    m_transport.CloseCommPort();
}

void RadioLink::WriteRefused()
{
    // A port that refused a write is in no state to be trusted: closing it
    // lets the next press start from a clean open.
    CloseCommPort();
    FinishOperation(false, Detail(failuredetail::PortRefused()));
}

QString RadioLink::UnansweredRequest() const
{
    // Block requests, read and write, name their block in byte 4.
    const QByteArray &frame = m_transport.LastFrame();
    const int block = frame.size() > 4 ? quint8(frame.at(4)) : 0;
    switch (m_seqState) {
    case Step::Program:
        return failuredetail::ProgramRequest();
    case Step::Identify:
        return failuredetail::IdentifyRequest();
    case Step::Blocks:
        if (m_opKind == Operation::Write)
            return failuredetail::WriteBlock(block);
        break;
    default:
        break;
    }
    return failuredetail::ReadBlock(block);
}

QString RadioLink::Detail(const QString &why) const
{
    // Once write blocks go out, the radio may hold some of the new values and not others.
    if (m_opKind != Operation::Write || m_seqState != Step::Blocks)
        return why;
    return why + QLatin1Char('\n') + failuredetail::HalfWritten(m_frames.BlockAddress() / RadioImage::BlockSize);
}

} // namespace kelvra
