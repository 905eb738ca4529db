#include "radioframes.h"

namespace radiosim {

namespace {

struct RequestShape {
    Request request;
    QByteArray fixed; // the bytes every frame of this kind starts with
    int length;
};

const QList<RequestShape> &Shapes()
{
    static const QList<RequestShape> shapes = {
        {Request::Program, QByteArrayLiteral("PROGRAM"), 7},
        {Request::Identify, QByteArrayLiteral("\x02"), 1},
        {Request::ReadBlock, QByteArrayLiteral("R\x08\x00\x20"), 5},
        {Request::WriteBlock, QByteArrayLiteral("W\x08\x00\x20"), kBlockFrameSize},
        {Request::End, QByteArrayLiteral("END"), 3},
    };
    return shapes;
}

const RequestShape *ShapeForLead(char lead)
{
    for (const RequestShape &shape : Shapes()) {
        if (shape.fixed.at(0) == lead)
            return &shape;
    }
    return nullptr;
}

struct RequestText {
    Request request;
    const char *name;
};

constexpr RequestText kRequestNames[] = {
    {Request::Any, "any"},           {Request::Program, "program"},       {Request::Identify, "identify"},
    {Request::ReadBlock, "readblock"}, {Request::WriteBlock, "writeblock"}, {Request::End, "end"},
    {Request::Unknown, "unknown"},
};

} // namespace

QString RequestName(Request request)
{
    for (const RequestText &entry : kRequestNames) {
        if (entry.request == request)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool ParseRequest(const QString &text, Request *request)
{
    for (const RequestText &entry : kRequestNames) {
        if (entry.request != Request::Unknown && text == QLatin1String(entry.name)) {
            *request = entry.request;
            return true;
        }
    }
    return false;
}

Request KindOf(const QByteArray &frame)
{
    if (frame.isEmpty())
        return Request::Unknown;
    const RequestShape *shape = ShapeForLead(frame.at(0));
    if (!shape || frame.size() != shape->length || !frame.startsWith(shape->fixed))
        return Request::Unknown;
    return shape->request;
}

quint8 Checksum(const QByteArray &bytes, int first, int last)
{
    quint32 sum = 0;
    for (int i = first; i <= last; ++i)
        sum += static_cast<quint8>(bytes.at(i));
    return static_cast<quint8>(sum & 0xFF);
}

QList<QByteArray> FrameParser::Feed(const QByteArray &bytes)
{
    m_pending += bytes;
    QList<QByteArray> frames;
    while (!m_pending.isEmpty()) {
        const RequestShape *shape = ShapeForLead(m_pending.at(0));
        const int known = shape ? int(std::min(m_pending.size(), shape->fixed.size())) : 0;
        if (!shape || m_pending.left(known) != shape->fixed.left(known)) {
            frames.append(m_pending.left(1));
            m_pending.remove(0, 1);
            continue;
        }
        if (m_pending.size() < shape->length)
            break;
        frames.append(m_pending.left(shape->length));
        m_pending.remove(0, shape->length);
    }
    return frames;
}

QByteArray IdentifyReply(const QByteArray &modelBytes, quint8 bandCode)
{
    QByteArray reply;
    reply.reserve(16);
    reply.append('I');
    reply.append(modelBytes.left(kModelSize).leftJustified(kModelSize, '\0'));
    reply.append(char(bandCode));
    reply.append(QByteArray(6, '\0'));
    reply.append(kAck);
    return reply;
}

void SealBlockFrame(QByteArray *frame)
{
    (*frame)[37] = char(Checksum(*frame, 0, 36));
}

QByteArray BlockReply(const QByteArray &image, int block)
{
    QByteArray reply = QByteArrayLiteral("W\x08\x00\x20");
    reply.append(char(block));
    reply.append(image.mid(block * kBlockSize, kBlockSize));
    reply.append('\0');
    SealBlockFrame(&reply);
    return reply;
}

} // namespace radiosim
