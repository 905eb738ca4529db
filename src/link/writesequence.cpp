// A write's own steps, from the model check to "END": the re-reads that
// bring back the bytes the window does not own, the step before the first
// write block, the five write blocks, and the read-back that proves them.
#include "link/radiolink.h"

#include "link/operatorseam.h"
#include "record/imagecodec.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"

#include <array>

namespace kelvra {

namespace {

// Every block a write sends is read afresh first: the bytes the window does
// not own (block 4 the start of the maintenance note) go back as the radio
// holds them, and whoever keeps a copy before the write (block 3, the stock
// and sell dates, included) gets every byte the write overwrites.
constexpr std::array<int, 5> Rereads{0, 1, 2, 3, 4};

constexpr int WriteBlocks = std::tuple_size_v<WriteFates>;

} // namespace

int RadioLink::RereadCount()
{
    return int(Rereads.size());
}

bool RadioLink::StepWrite()
{
    switch (m_seqState) {
    case Step::Identify:
        m_reread = 0;
        m_seqState = Step::Reread;
        return m_frames.SendReadBlock(Rereads[0] * RadioImage::BlockSize);
    case Step::Reread:
        if (++m_reread < RereadCount())
            return m_frames.SendReadBlock(Rereads[m_reread] * RadioImage::BlockSize);
        return BeginWrites();
    case Step::Blocks: {
        // Not proof that the block is in: a late answer to an earlier copy looks the same.
        const int block = m_frames.BlockAddress() / RadioImage::BlockSize;
        m_fates[block] = BlockFate::Acknowledged;
        return block + 1 < WriteBlocks ? m_frames.SendWriteBlock() : CheckBlock(0);
    }
    case Step::Check:
        if (!m_otherBytes.isEmpty()) {
            // Written again, the block would put this write's copy of the
            // radio's own bytes into whatever radio answered: another one, maybe.
            FinishOperation(false, OperationResult::Failure::ReadBackDiffers,
                            Detail(OtherBytesFound(), failuredetail::WriteEnd::OtherBytes));
            return true;
        }
        if (m_fates[m_checked] == BlockFate::Differs && !m_rewritten) {
            // Sent again, the block may well arrive: what the radio holds is open once more.
            m_rewritten = true;
            m_fates[m_checked] = BlockFate::Unconfirmed;
            m_seqState = Step::Rewrite;
            return m_frames.SendWriteBlock(m_checked * RadioImage::BlockSize);
        }
        // A block that differs twice is left for the detail; the others are
        // still checked, so that the detail says what the radio holds.
        if (m_checked + 1 < WriteBlocks)
            return CheckBlock(m_checked + 1);
        if (std::find(m_fates.begin(), m_fates.end(), BlockFate::Differs) != m_fates.end()) {
            FinishOperation(false, OperationResult::Failure::ReadBackDiffers,
                            Detail(QString(), failuredetail::WriteEnd::Differed));
            return true;
        }
        return m_frames.SendEndRequest();
    case Step::Rewrite:
        m_fates[m_checked] = BlockFate::Acknowledged;
        m_seqState = Step::Check;
        // An answer to an earlier read of the block, later than every hold,
        // would show what the block held before it was written again, maybe
        // what was meant: the read-back waits until no such answer can come.
        m_transport.NotBefore(m_readSentAt[m_checked] + Transport::LatestAnswer.count());
        return m_frames.SendReadBlock(m_checked * RadioImage::BlockSize);
    default:
        return true;
    }
}

bool RadioLink::BeginWrites()
{
    if (m_gate) {
        WriteGate::Answer answer = m_gate->MayWrite(m_learned, m_learnedBlocks);
        if (answer.refusal != OperationResult::Failure::None) {
            // Nothing was written: the radio leaves programming mode before
            // the operator hears why.
            m_refused = std::move(answer);
            return m_frames.SendEndRequest();
        }
    }
    // Taken only now, so that changes made while the blocks came in are sent.
    m_operator.GetDataByShow();
    EncodeRadioInfo(m_info, m_image);
    m_seqState = Step::Blocks;
    return m_frames.SendWriteBlock();
}

bool RadioLink::CheckBlock(int block)
{
    m_checked = block;
    m_rewritten = false;
    m_seqState = Step::Check;
    // A re-read sent more than once may still have an answer on its way: the
    // block as it was, which a block the write leaves unchanged would pass
    // for its read-back however the radio stored it.
    if (m_rereadResent.test(std::size_t(block)))
        m_transport.NotBefore(m_readSentAt[block] + Transport::LatestAnswer.count());
    return m_frames.SendReadBlock(block * RadioImage::BlockSize);
}

void RadioLink::Forget(const QByteArray &frame)
{
    if (frame.startsWith('W') && frame.size() > 4 && quint8(frame.at(4)) < m_learnedBlocks.size())
        m_learnedBlocks.reset(quint8(frame.at(4)));
}

QString RadioLink::OtherBytesFound() const
{
    RadioImage shown = m_image;
    Frames::CopyBlock(m_otherBytes, shown);
    RadioInfo written;
    RadioInfo read;
    DecodeRadioInfo(m_image, written);
    DecodeRadioInfo(shown, read);
    if (FieldText(written.SerialNumber) != FieldText(read.SerialNumber))
        return failuredetail::OtherSerialNumber(m_checked, FieldText(written.SerialNumber),
                                                FieldText(read.SerialNumber));
    const auto [first, last] = m_frames.OtherBytes(m_otherBytes);
    return failuredetail::OtherBytes(m_checked, first, last);
}

bool RadioLink::WriteBlocksSent() const
{
    // A refused write only sends "END".
    return m_opKind == Operation::Write && !m_refused
        && (m_seqState == Step::Blocks || m_seqState == Step::Check || m_seqState == Step::Rewrite
            || m_seqState == Step::End);
}

} // namespace kelvra
