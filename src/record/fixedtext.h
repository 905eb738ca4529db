#pragma once

#include <QString>

namespace kelvra {

// A text of exactly Width characters, as the radio's block stores it: an
// assigned text keeps its first Width characters and is padded with blanks.
// A NUL inside it ends the visible text (see FieldText).
template <int Width>
class FixedText
{
public:
    static constexpr int width = Width;

    FixedText() : m_text(Width, QLatin1Char(' ')) {}
    FixedText(const QString &text) { *this = text; } // NOLINT: assignment from text is the point

    FixedText &operator=(const QString &text)
    {
        int keep = qMin(int(text.size()), Width);
        // Never keep half of a surrogate pair: the character would be corrupt.
        if (keep > 0 && keep < text.size() && text.at(keep - 1).isHighSurrogate())
            --keep;
        m_text = text.left(keep).leftJustified(Width, QLatin1Char(' '));
        return *this;
    }

    const QString &text() const { return m_text; }
    operator const QString &() const { return m_text; }

    friend bool operator==(const FixedText &a, const FixedText &b) { return a.m_text == b.m_text; }
    friend bool operator!=(const FixedText &a, const FixedText &b) { return !(a == b); }

private:
    QString m_text;
};

} // namespace kelvra
