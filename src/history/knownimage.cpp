#include "history/knownimage.h"

namespace kelvra {

namespace {
constexpr int MaskSize = RadioImage::Size / 8;
}

KnownImage::KnownImage(const RadioImage &all) : m_bytes(all)
{
    m_known.set();
}

void KnownImage::Set(int offset, const quint8 *bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        m_bytes[offset + i] = bytes[i];
        m_known.set(std::size_t(offset + i));
    }
}

void KnownImage::SetBlock(int block, const RadioImage &from)
{
    const int offset = block * RadioImage::BlockSize;
    Set(offset, from.data() + offset, RadioImage::BlockSize);
}

void KnownImage::Forget(int offset, int count)
{
    for (int i = offset; i < offset + count; ++i) {
        m_bytes[i] = 0;
        m_known.reset(std::size_t(i));
    }
}

bool KnownImage::AllKnown(int offset, int count) const
{
    for (int i = offset; i < offset + count; ++i) {
        if (!Known(i))
            return false;
    }
    return true;
}

quint8 KnownImage::Byte(int index, quint8 fill) const
{
    return Known(index) ? m_bytes[index] : fill;
}

RadioImage KnownImage::Filled(quint8 fill) const
{
    RadioImage image;
    for (int i = 0; i < RadioImage::Size; ++i)
        image[i] = Byte(i, fill);
    return image;
}

QByteArray KnownImage::StoredBytes() const
{
    QByteArray bytes;
    for (int i = 0; i < RadioImage::Size; ++i) {
        if (Known(i))
            bytes.append(char(m_bytes[i]));
    }
    return bytes;
}

QByteArray KnownImage::StoredMask() const
{
    if (m_known.all() || m_known.none())
        return QByteArray();
    QByteArray mask(MaskSize, '\0');
    for (int i = 0; i < RadioImage::Size; ++i) {
        if (Known(i))
            mask[i / 8] = char(quint8(mask[i / 8]) | (1u << (i % 8)));
    }
    return mask;
}

bool KnownImage::FromStored(const QByteArray &bytes, const QByteArray &mask, KnownImage &out)
{
    out = KnownImage();
    if (mask.isEmpty()) {
        if (bytes.isEmpty())
            return true;
        if (bytes.size() != RadioImage::Size)
            return false;
        out.Set(0, reinterpret_cast<const quint8 *>(bytes.constData()), RadioImage::Size);
        return true;
    }
    if (mask.size() != MaskSize)
        return false;
    int next = 0;
    for (int i = 0; i < RadioImage::Size; ++i) {
        if (!(quint8(mask[i / 8]) & (1u << (i % 8))))
            continue;
        if (next >= bytes.size())
            return false;
        const quint8 byte = quint8(bytes[next++]);
        out.Set(i, &byte, 1);
    }
    return next == bytes.size();
}

bool operator==(const KnownImage &a, const KnownImage &b)
{
    return a.m_known == b.m_known && a.Filled(0) == b.Filled(0);
}

} // namespace kelvra
