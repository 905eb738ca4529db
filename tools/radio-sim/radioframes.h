#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The radio's side of the wire format: what a request looks like, how the
// byte stream splits into requests, and the replies the radio builds.
// Written on its own so that a fault in the program's frame code cannot
// hide behind the same fault here.
namespace radiosim {

enum class Request {
    Any,        // only in fault rules: matches every request
    Program,    // "PROGRAM"
    Identify,   // 02
    ReadBlock,  // 'R' 08 00 20 n
    WriteBlock, // 'W' 08 00 20 n, 32 data bytes, checksum
    End,        // "END"
    Unknown,    // a byte that starts no request
};

QString RequestName(Request request);
// Accepts the lower-case names used on the command line: any, program,
// identify, readblock, writeblock, end.
bool ParseRequest(const QString &text, Request *request);

Request KindOf(const QByteArray &frame);

// Low 8 bits of the sum of bytes first..last (inclusive) taken as 0..255.
quint8 Checksum(const QByteArray &bytes, int first, int last);

constexpr int kImageSize = 256;
constexpr int kBlockSize = 32;
constexpr int kBlockFrameSize = 38;
constexpr int kModelSize = 7;
constexpr char kAck = 0x06;
constexpr char kRepeat = 0x0A;

// Splits a received byte stream into requests by lead byte and length. A
// byte that cannot start a request, or a lead whose fixed bytes do not
// follow, comes out as a one-byte Unknown frame so that the stream
// resynchronises at the next byte.
class FrameParser
{
public:
    QList<QByteArray> Feed(const QByteArray &bytes);
    // Bytes of a request begun but not yet complete.
    QByteArray Pending() const { return m_pending; }
    void Reset() { m_pending.clear(); }

private:
    QByteArray m_pending;
};

QByteArray IdentifyReply(const QByteArray &modelBytes, quint8 bandCode);
// 57 08 00 20, block, the 32 bytes of that block of the image, checksum.
QByteArray BlockReply(const QByteArray &image, int block);
// Recomputes byte 37 of a 38-byte block frame.
void SealBlockFrame(QByteArray *frame);

} // namespace radiosim
