#pragma once

#include "link/sequencestate.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <utility>

namespace kelvra {

class Operator;
class RadioImage;
class ReplyTimer;
class Transport;
struct RadioInfo;

// The radio's protocol at the level of frames: the five requests, the four
// replies, the block checksum, the model check after identification, and how
// block frames map onto the 256-byte image.
class Frames
{
public:
    // Replies carry no length field; each is known by the length its request expects.
    static constexpr qint16 AckReplyLen = 1;
    static constexpr qint16 IdentifyReplyLen = 16;
    static constexpr qint16 BlockReplyLen = 38;

    static QByteArray ProgramRequest();
    static QByteArray IdentifyRequest();
    static QByteArray EndRequest();
    static QByteArray ReadBlockRequest(int block);
    static QByteArray WriteBlockRequest(int block, const RadioImage &image);

    static void SetChecksum(QByteArray &frame, int first, int last, int at);
    static bool ChecksumMatches(const QByteArray &frame, int first, int last, int at);

    static bool IsAckReply(const QByteArray &bytes);
    static bool IsRepeatReply(const QByteArray &bytes);

    Frames(Transport &transport, ReplyTimer &timer, Operator &op, RadioInfo &info, RadioImage &image,
           const Operation &opKind, Step &seqState);

    // The senders return false when the serial layer refused the frame.
    bool SendProgramRequest();
    bool SendIdentifyRequest();
    // address: a multiple of 32, or -1 for the block after BlockAddress
    // (which becomes the end request after block 7).
    bool SendReadBlock(qint32 address);
    // address: a multiple of 32, written again without moving BlockAddress;
    // or -1 for the block after BlockAddress (the end request after block 4).
    bool SendWriteBlock(qint32 address = -1);
    bool SendEndRequest();

    // Keeps the radio's model and band code when it accepts.
    bool IsIdentifyReply(const QByteArray &bytes);
    // The block number of a block reply whose form and checksum are right,
    // whichever block it names; -1 for anything else.
    static int WellFormedBlock(const QByteArray &bytes);
    // Only the block last asked for: replies carry no sequence number, and
    // a late answer to an earlier read names the block it was read from.
    bool IsBlockReply(const QByteArray &bytes) const;
    // How an accepted block reply compares with what a write sends for its
    // block from the image: the same, other only in bytes the write owns
    // (the encoder's), or other in bytes it sends back as the radio held them.
    enum class Written { Holds, Differs, OtherBytes };
    Written CompareWritten(const QByteArray &bytes) const;
    // Image addresses of the first and last byte in which an accepted block
    // reply differs from the image outside the bits a write owns; -1 for none.
    std::pair<int, int> OtherBytes(const QByteArray &bytes) const;
    // bytes must be an accepted block reply.
    void StoreBlock(const QByteArray &bytes) const;
    // The block a well-formed block reply carries, into its place in image;
    // returns the block's number.
    static int CopyBlock(const QByteArray &bytes, RadioImage &image);

    // A read accepts any served model (and takes it into the record); a write
    // only the one chosen in the window. Shows "Model Error" when it fails.
    bool CheckModel();

    qint32 BlockAddress() const { return m_blockAddress; }
    void ResetBlockAddress()
    {
        m_blockAddress = -RadioImageBlock;
        m_askedBlock = -1;
    }
    const QString &RadioModel() const { return m_radioModel; }

private:
    static constexpr int RadioImageBlock = 32;

    // address itself; for -1 the block after BlockAddress, which moves on,
    // or -1 once that is past last.
    qint32 Address(qint32 address, qint32 last);

    Transport &m_transport;
    ReplyTimer &m_timer;
    Operator &m_operator;
    RadioInfo &m_info;
    RadioImage &m_image;
    const Operation &m_opKind;
    Step &m_seqState;

    qint32 m_blockAddress = -RadioImageBlock;
    int m_askedBlock = -1;
    QString m_radioModel;
};

} // namespace kelvra
