// What the link tells others of an operation: its result, each frame as it
// goes out, and the detail under a failure.
#include "link/radiolink.h"

#include "link/failuredetail.h"
#include "record/radioimage.h"

namespace kelvra {

void RadioLink::Report(OperationResult result, const QString &message, Operator::Icon icon, const QString &detail)
{
    result.message = message;
    result.detail = detail;
    emit Finished(result);
    m_operator.ShowMessage(message, icon, detail);
}

OperationResult RadioLink::ResultSoFar() const
{
    OperationResult result;
    result.kind = m_opKind;
    if (m_opKind == Operation::Write)
        result.blocks = m_fates;
    result.portNo = m_transport.PortNo();
    result.devicePath = m_transport.DevicePath();
    result.radioModel = m_frames.RadioModel();
    result.radioBytes = m_learned;
    result.knownBlocks = m_learnedBlocks;
    return result;
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
        return m_opKind == Operation::Write ? failuredetail::WriteBlock(block) : failuredetail::ReadBlock(block);
    case Step::Check:
        return failuredetail::ReadBack(block);
    case Step::Rewrite:
        return failuredetail::WriteAgain(block);
    default:
        return failuredetail::ReadBlock(block);
    }
}

LinkActivity RadioLink::ActivityOf(int resends) const
{
    using Kind = LinkActivity::Kind;
    const QByteArray &frame = m_transport.LastFrame();
    const bool blockFrame = frame.size() > 4 && (frame.startsWith('R') || frame.startsWith('W'));
    LinkActivity activity;
    activity.block = blockFrame ? quint8(frame.at(4)) : -1;
    activity.resends = resends;
    const int writeBlocks = int(std::tuple_size_v<WriteFates>);
    switch (m_seqState) {
    case Step::Idle:
    case Step::Program:
        activity.kind = Kind::Program;
        return activity;
    case Step::Identify:
        activity.kind = Kind::Identify;
        return activity;
    case Step::End:
        activity.kind = Kind::End;
        return activity;
    case Step::Reread:
        activity.kind = Kind::ReadBlock;
        activity.ordinal = m_reread + 1;
        activity.count = RereadCount();
        return activity;
    case Step::Blocks:
    case Step::Rewrite:
        if (m_opKind == Operation::Write) {
            activity.kind = Kind::WriteBlock;
            activity.count = writeBlocks;
        } else {
            activity.kind = Kind::ReadBlock;
            activity.count = RadioImage::BlockCount;
        }
        break;
    case Step::Check:
        activity.kind = Kind::CheckBlock;
        activity.count = writeBlocks;
        break;
    case Step::Block0:
    case Step::Block1:
    case Step::Block2:
        activity.kind = Kind::ReadBlock;
        activity.count = RadioImage::BlockCount;
        break;
    }
    activity.ordinal = activity.block + 1;
    return activity;
}

QString RadioLink::Detail(const QString &why, failuredetail::WriteEnd end) const
{
    // Once write blocks go out, the radio may hold some of the new values and not others.
    if (!WriteBlocksSent())
        return why;
    const QString left = failuredetail::HalfWritten(m_fates, end);
    return why.isEmpty() ? left : why + QLatin1Char('\n') + left;
}

} // namespace kelvra
