#include "link/radiolink.h"

#include "lang/messages.h"
#include "link/failuredetail.h"
#include "link/replytimer.h"
#include "record/imagecodec.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"

namespace kelvra {

RadioLink::RadioLink(SerialControl &control, ReplyTimer &timer, Operator &op, RadioInfo &info,
                     RadioImage &image, const qint16 &comPortNo, QObject *parent)
    : QObject(parent), m_control(control), m_timer(timer), m_operator(op), m_info(info), m_image(image),
      m_transport(control, timer, comPortNo),
      m_frames(m_transport, timer, op, info, image, m_opKind, m_seqState)
{
    qRegisterMetaType<kelvra::LinkActivity>();
    qRegisterMetaType<kelvra::OperationResult>();
    connect(&m_control, &SerialControl::OnComm, this, &RadioLink::MSComm1_OnComm);
    connect(&m_timer, &ReplyTimer::Timer, this, &RadioLink::WaitTimer_Timer);
    m_transport.OnTransmit([this](int resends) {
        const QByteArray &frame = m_transport.LastFrame();
        if (frame.startsWith('R') && frame.size() > 4 && quint8(frame.at(4)) < m_readSentAt.size()) {
            m_readSentAt[quint8(frame.at(4))] = m_timer.Now();
            if (resends > 0 && m_seqState == Step::Reread)
                m_rereadResent.set(quint8(frame.at(4)));
        }
        Forget(frame);
        emit Activity(ActivityOf(resends));
    });
}

void RadioLink::Command1_Click()
{
    // Abandoned, a write would leave the radio half-written.
    if (m_opKind == Operation::Write)
        return;
    StartOperation(Operation::Read);
}

void RadioLink::Command2_Click()
{
    if (m_opKind == Operation::Write)
        return;
    // Only the model is taken now; the other fields once the radio's blocks are in.
    m_info.Model = m_operator.ModelBoxText();
    StartOperation(Operation::Write);
}

void RadioLink::StartOperation(Operation kind)
{
    Abandon();
    m_opKind = kind;
    m_seqState = Step::Idle;
    m_fates.fill(BlockFate::Unconfirmed);
    m_learnedBlocks.reset();
    m_rereadResent.reset();
    m_otherBytes.clear();
    m_refused.reset();
    QString reason;
    if (!m_transport.OpenCommPort(&reason)) {
        OperationResult result = ResultSoFar();
        result.failure = OperationResult::Failure::PortNotOpened;
        m_opKind = Operation::None;
        Report(result, CannotOpenPortText(), Operator::Icon::Critical, reason);
        return;
    }
    emit Busy(true);
    m_frames.ResetBlockAddress();
    if (!m_frames.SendProgramRequest())
        WriteRefused();
}

void RadioLink::Abandon()
{
    if (m_opKind == Operation::None)
        return;
    OperationResult result = ResultSoFar();
    result.failure = OperationResult::Failure::Abandoned;
    result.detail = Detail(QString());
    m_opKind = Operation::None;
    m_transport.EndWait();
    CloseCommPort();
    emit Busy(false);
    emit Finished(result);
}

QString RadioLink::LeaveSituation() const
{
    if (m_opKind != Operation::Write)
        return QString();
    return failuredetail::LeaveDuringWrite(m_fates, WriteBlocksSent());
}

QString RadioLink::LeaveQuestion() const
{
    const QString situation = LeaveSituation();
    return situation.isEmpty() ? QString() : situation + QStringLiteral("\n\n") + failuredetail::CloseAnyway();
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
        // Every block is in or written and checked: that ends as an unanswered "END" does.
        if (m_seqState == Step::End)
            FinishOperation(true);
        else
            FinishOperation(false, OperationResult::Failure::PortLost, Detail(failuredetail::PortLost()));
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
        m_transport.NoteHeard(Transport::Heard::Repeat);
        ResendOrGiveUp();
    } else if (awaitedLength && m_frames.IsIdentifyReply(bytes)) {
        m_transport.EndWait();
        StepSequence();
    } else if (awaitedLength && m_frames.IsBlockReply(bytes)) {
        m_transport.EndWait();
        // A read-back is compared with what was written and never stored:
        // stored, it would always match.
        if (m_seqState == Step::Check) {
            const Frames::Written found = m_frames.CompareWritten(bytes);
            m_fates[m_checked] = found == Frames::Written::Holds ? BlockFate::Verified : BlockFate::Differs;
            if (found == Frames::Written::OtherBytes)
                m_otherBytes = bytes;
        } else {
            m_frames.StoreBlock(bytes);
        }
        // Read back or not, these are the radio's bytes now.
        m_learnedBlocks.set(std::size_t(Frames::CopyBlock(bytes, m_learned)));
        StepSequence();
    } else {
        // Dropped; the pending expiry resends the request.
        const int block = awaitedLength ? Frames::WellFormedBlock(bytes) : -1;
        m_transport.NoteHeard(block >= 0 ? Transport::Heard::OtherBlock : Transport::Heard::BadReply, block);
    }
}

void RadioLink::WaitTimer_Timer()
{
    // Bytes of a reply are in: the rest may arrive before a resend clears them.
    if (m_transport.LetReplyFinish())
        return;
    ResendOrGiveUp();
}

void RadioLink::ResendOrGiveUp()
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
            GiveUp();
        break;
    case Transport::Resend::Failed:
        WriteRefused();
        break;
    }
}

void RadioLink::GiveUp()
{
    using Failure = OperationResult::Failure;
    Failure why = Failure::NoAnswer;
    switch (m_transport.HeardSoFar()) {
    case Transport::Heard::Nothing: break;
    case Transport::Heard::Repeat: why = Failure::RepeatAsked; break;
    case Transport::Heard::BadReply: why = Failure::BadReply; break;
    case Transport::Heard::OtherBlock: why = Failure::WrongBlock; break;
    }
    FinishOperation(false, why,
                    Detail(failuredetail::GivenUp(why, UnansweredRequest(), m_transport.OtherBlock(),
                                                  m_transport.PortNo(), m_transport.DevicePath())));
}

void RadioLink::StepSequence()
{
    m_timer.Disable();
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
            FinishOperation(false, OperationResult::Failure::ModelMismatch);
            return;
        }
        if (m_opKind == Operation::Write) {
            sent = StepWrite();
            break;
        }
        m_seqState = Step::Block0;
        sent = m_frames.SendReadBlock(-1);
        break;
    case Step::Block0:
        m_seqState = Step::Block1;
        sent = m_frames.SendReadBlock(-1);
        break;
    case Step::Block1:
        m_seqState = Step::Block2;
        sent = m_frames.SendReadBlock(-1);
        break;
    case Step::Block2:
        m_seqState = Step::Blocks;
        sent = m_frames.SendReadBlock(-1);
        break;
    case Step::Blocks:
        sent = m_opKind == Operation::Write ? StepWrite() : m_frames.SendReadBlock(-1);
        break;
    case Step::Reread:
    case Step::Check:
    case Step::Rewrite:
        sent = StepWrite();
        break;
    case Step::End:
        FinishOperation(true);
        return;
    }
    if (!sent)
        WriteRefused();
}

void RadioLink::FinishOperation(bool success, OperationResult::Failure why, const QString &detail)
{
    if (m_opKind == Operation::None)
        return;
    // "END" after a refusal only let the radio out of programming mode.
    if (success && m_refused) {
        const WriteGate::Answer refused = *std::exchange(m_refused, std::nullopt);
        FinishOperation(false, refused.refusal, refused.detail);
        return;
    }
    if (success) {
        m_opKind == Operation::Read ? ReadComplete() : WriteComplete();
        return;
    }
    OperationResult result = ResultSoFar();
    result.failure = why;
    const QString message = m_opKind == Operation::Read ? ReadFailureText() : WriteFailureText();
    // Ended for good: nothing more is awaited, and the port and its lock are
    // let go, so that another program may open it. The record keeps what had arrived.
    m_opKind = Operation::None;
    m_transport.EndWait();
    CloseCommPort();
    emit Busy(false);
    Report(result, message, Operator::Icon::None, detail);
}

void RadioLink::ReadComplete()
{
    OperationResult result = ResultSoFar();
    result.success = true;
    m_opKind = Operation::None;
    m_transport.EndWait();
    m_frames.ResetBlockAddress();
    CloseCommPort();
    emit Busy(false);
    DecodeRadioInfo(m_image, m_info);
    m_operator.ShowByData();
    Report(result, ReadCompleteText(), Operator::Icon::None, QString());
}

void RadioLink::WriteComplete()
{
    OperationResult result = ResultSoFar();
    result.success = true;
    m_frames.ResetBlockAddress();
    m_opKind = Operation::None;
    m_transport.EndWait();
    CloseCommPort();
    emit Busy(false);
    Report(result, WriteCompleteText(), Operator::Icon::None, QString());
}

void RadioLink::CloseCommPort()
{
    m_transport.CloseCommPort();
}

void RadioLink::WriteRefused()
{
    // Refused half-way, a frame may still have reached the radio whole.
    Forget(m_transport.LastFrame());
    // Every block is in or written and checked: that ends as an unanswered "END" does.
    if (m_seqState == Step::End) {
        FinishOperation(true);
        return;
    }
    FinishOperation(false, OperationResult::Failure::PortRefused, Detail(failuredetail::PortRefused()));
}

} // namespace kelvra
