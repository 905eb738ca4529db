#pragma once

#include <QtGlobal>

#include <array>
#include <cstddef>

namespace kelvra {

// The tool's copy of the radio's 256-byte information block: eight blocks of
// 32 bytes, all zero until a radio has been read.
class RadioImage
{
public:
    static constexpr int Size = 256;
    static constexpr int BlockSize = 32;
    static constexpr int BlockCount = Size / BlockSize;

    quint8 &operator[](int index) { return m_bytes.at(std::size_t(index)); }
    quint8 operator[](int index) const { return m_bytes.at(std::size_t(index)); }

    quint8 *data() { return m_bytes.data(); }
    const quint8 *data() const { return m_bytes.data(); }

    friend bool operator==(const RadioImage &a, const RadioImage &b) { return a.m_bytes == b.m_bytes; }
    friend bool operator!=(const RadioImage &a, const RadioImage &b) { return !(a == b); }

private:
    std::array<quint8, Size> m_bytes{};
};

} // namespace kelvra
