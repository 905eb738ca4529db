#include "link/frames.h"

#include "lang/messages.h"
#include "link/operatorseam.h"
#include "link/replytimer.h"
#include "link/transport.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"

namespace kelvra {

namespace {

// Block frames, both directions: lead byte, 08 00 20, block number, 32 data bytes, checksum.
constexpr char ReadLead = 'R';
constexpr char WriteLead = 'W';
constexpr char BlockFixed[] = {0x08, 0x00, 0x20};
constexpr int BlockNumberAt = 4;
constexpr int DataAt = 5;
constexpr int ChecksumAt = 37;

constexpr char Ack = 0x06;
constexpr char Repeat = 0x0A;
constexpr char IdentifyLead = 'I';

// The last block a read fetches (7) and the last a write sends (4), as image addresses.
constexpr qint32 LastReadAddress = 224;
constexpr qint32 LastWriteAddress = 128;

QByteArray BlockHeader(char lead, int block)
{
    QByteArray frame;
    frame.reserve(Frames::BlockReplyLen);
    frame.append(lead);
    frame.append(BlockFixed, sizeof BlockFixed);
    frame.append(char(block));
    return frame;
}

} // namespace

QByteArray Frames::ProgramRequest()
{
    return QByteArrayLiteral("PROGRAM");
}

QByteArray Frames::IdentifyRequest()
{
    return QByteArray(1, 0x02);
}

QByteArray Frames::EndRequest()
{
    return QByteArrayLiteral("END");
}

QByteArray Frames::ReadBlockRequest(int block)
{
    return BlockHeader(ReadLead, block);
}

QByteArray Frames::WriteBlockRequest(int block, const RadioImage &image)
{
    QByteArray frame = BlockHeader(WriteLead, block);
    frame.append(reinterpret_cast<const char *>(image.data()) + block * RadioImage::BlockSize,
                 RadioImage::BlockSize);
    frame.append('\0');
    SetChecksum(frame, 0, ChecksumAt - 1, ChecksumAt);
    return frame;
}

// Checksum: the low 8 bits of the unsigned sum of the bytes first..last.
static quint8 Checksum(const QByteArray &frame, int first, int last)
{
    quint32 sum = 0;
    for (int i = first; i <= last; ++i)
        sum += quint8(frame.at(i));
    return quint8(sum);
}

void Frames::SetChecksum(QByteArray &frame, int first, int last, int at)
{
    frame[at] = char(Checksum(frame, first, last));
}

bool Frames::ChecksumMatches(const QByteArray &frame, int first, int last, int at)
{
    return Checksum(frame, first, last) == quint8(frame.at(at));
}

bool Frames::IsAckReply(const QByteArray &bytes)
{
    return bytes.size() == AckReplyLen && bytes.at(0) == Ack;
}

bool Frames::IsRepeatReply(const QByteArray &bytes)
{
    return bytes.size() == AckReplyLen && bytes.at(0) == Repeat;
}

Frames::Frames(Transport &transport, ReplyTimer &timer, Operator &op, RadioInfo &info,
               RadioImage &image, const Operation &opKind, Step &seqState)
    : m_transport(transport), m_timer(timer), m_operator(op), m_info(info), m_image(image),
      m_opKind(opKind), m_seqState(seqState)
{
}

bool Frames::SendProgramRequest()
{
    m_seqState = Step::Program;
    // Whichever radio answered before, this one has yet to say what it is.
    m_radioModel.clear();
    return m_transport.SendFrame(AckReplyLen, ProgramRequest(), true);
}

bool Frames::SendIdentifyRequest()
{
    return m_transport.SendFrame(IdentifyReplyLen, IdentifyRequest(), false);
}

qint32 Frames::Address(qint32 address, qint32 last)
{
    if (address != -1)
        return address;
    m_blockAddress += RadioImageBlock;
    return m_blockAddress > last ? -1 : m_blockAddress;
}

bool Frames::SendReadBlock(qint32 address)
{
    address = Address(address, LastReadAddress);
    if (address < 0)
        return SendEndRequest();
    m_askedBlock = address / RadioImageBlock;
    return m_transport.SendFrame(BlockReplyLen, ReadBlockRequest(m_askedBlock), false);
}

bool Frames::SendWriteBlock(qint32 address)
{
    address = Address(address, LastWriteAddress);
    if (address < 0)
        return SendEndRequest();
    return m_transport.SendFrame(AckReplyLen, WriteBlockRequest(address / RadioImageBlock, m_image), false);
}

bool Frames::SendEndRequest()
{
    m_seqState = Step::End;
    return m_transport.SendFrame(AckReplyLen, EndRequest(), false);
}

bool Frames::IsIdentifyReply(const QByteArray &bytes)
{
    // "I", seven model characters (00 or FF ends them early), band code, six unexamined bytes, 06.
    if (bytes.size() != IdentifyReplyLen || bytes.at(0) != IdentifyLead
        || bytes.at(IdentifyReplyLen - 1) != Ack)
        return false;

    QString model;
    for (int i = 1; i <= 7; ++i) {
        const quint8 byte = quint8(bytes.at(i));
        if (byte == 0x00 || byte == 0xFF)
            break;
        model.append(QLatin1Char(char(byte)));
    }
    m_radioModel = NormalizeModel(model);
    m_info.BandCode = quint8(bytes.at(8));
    return true;
}

int Frames::WellFormedBlock(const QByteArray &bytes)
{
    if (bytes.size() != BlockReplyLen || bytes.at(0) != WriteLead
        || bytes.mid(1, sizeof BlockFixed) != QByteArray(BlockFixed, sizeof BlockFixed)
        || !ChecksumMatches(bytes, 0, ChecksumAt - 1, ChecksumAt))
        return -1;
    return quint8(bytes.at(BlockNumberAt));
}

bool Frames::IsBlockReply(const QByteArray &bytes) const
{
    // The block asked for is always inside the image, so nothing is stored outside it.
    return m_askedBlock >= 0 && WellFormedBlock(bytes) == m_askedBlock;
}

Frames::Written Frames::CompareWritten(const QByteArray &bytes) const
{
    if (OtherBytes(bytes).first >= 0)
        return Written::OtherBytes;
    // A block reply is laid out as a write request.
    return bytes == WriteBlockRequest(quint8(bytes.at(BlockNumberAt)), m_image) ? Written::Holds : Written::Differs;
}

std::pair<int, int> Frames::OtherBytes(const QByteArray &bytes) const
{
    std::pair<int, int> found{-1, -1};
    const int first = quint8(bytes.at(BlockNumberAt)) * RadioImage::BlockSize;
    for (int at = first; at < first + RadioImage::BlockSize; ++at) {
        if ((quint8(bytes.at(DataAt + at - first)) ^ m_image[at]) & ~WriteOwnedBits(at)) {
            if (found.first < 0)
                found.first = at;
            found.second = at;
        }
    }
    return found;
}

void Frames::StoreBlock(const QByteArray &bytes) const
{
    CopyBlock(bytes, m_image);
}

int Frames::CopyBlock(const QByteArray &bytes, RadioImage &image)
{
    const int block = quint8(bytes.at(BlockNumberAt));
    std::copy_n(bytes.constData() + DataAt, RadioImage::BlockSize,
                reinterpret_cast<char *>(image.data()) + block * RadioImage::BlockSize);
    return block;
}

bool Frames::CheckModel()
{
    m_timer.Disable();
    bool passed = false;
    if (m_opKind == Operation::Read) {
        m_info.Model = m_radioModel;
        passed = IsKnownModel(m_info.Model, m_radioModel);
    } else {
        passed = IsSameModel(m_info.Model, m_radioModel);
    }
    if (passed)
        return true;

    m_operator.ShowMessage(ModelErrorText(DisplayModel(m_info.Model), DisplayModel(m_radioModel)),
                           Operator::Icon::None);
    return false;
}

} // namespace kelvra
