#pragma once

#include "record/radioimage.h"

#include <QByteArray>

#include <array>
#include <bitset>

namespace kelvra {

// The radio's 256 bytes as far as the tool knows them: each byte is known or
// unknown, and an unknown byte is never mistaken for a zero.
class KnownImage
{
public:
    KnownImage() = default; // nothing known
    explicit KnownImage(const RadioImage &all);

    void Set(int offset, const quint8 *bytes, int count);
    void SetBlock(int block, const RadioImage &from);
    void Forget(int offset, int count);

    bool Known(int index) const { return m_known.test(std::size_t(index)); }
    bool AllKnown(int offset, int count) const;
    bool AnyKnown() const { return m_known.any(); }
    int KnownCount() const { return int(m_known.count()); }
    // The value of a known byte; fill for an unknown one.
    quint8 Byte(int index, quint8 fill = 0) const;
    // All 256 bytes, unknown ones replaced by fill.
    RadioImage Filled(quint8 fill) const;

    // Stored form: bytes is empty when nothing is known, all 256 bytes with an
    // empty mask when all are known, and otherwise only the known bytes in
    // address order with a 32-byte mask (bit i%8 of byte i/8 set for a known
    // byte i). FromStored returns false on a form it cannot have written.
    QByteArray StoredBytes() const;
    QByteArray StoredMask() const;
    static bool FromStored(const QByteArray &bytes, const QByteArray &mask, KnownImage &out);

    friend bool operator==(const KnownImage &a, const KnownImage &b);
    friend bool operator!=(const KnownImage &a, const KnownImage &b) { return !(a == b); }

private:
    RadioImage m_bytes;
    std::bitset<RadioImage::Size> m_known;
};

} // namespace kelvra
