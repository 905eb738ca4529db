#pragma once

#include <QByteArray>

#include <optional>

namespace kelvra::profiletext {

// The text of an INI file as the classic private-profile functions see it:
// section and key names match without regard to case, values are read with
// surrounding blanks (and one pair of quotes) removed. The text is handled as
// bytes so that lines this code does not own come back byte for byte.

// How a file's bytes are text. Without a byte-order mark a file is UTF-16
// when most of the odd (little-endian) or most of the even (big-endian)
// positions of its first lines hold zero and few of the others do, as ASCII
// text in UTF-16 does; one that looks so but has an odd number of bytes is of
// no encoding this code writes. Any other file is 8-bit text, whatever bytes
// a value holds, unless it is no text at all: most of its lines hold control
// characters (NUL and the like) where a section or a key would stand.
struct Encoding
{
    enum Kind { Plain, Utf8, Utf16Le, Utf16Be, Unknown, Binary } kind = Plain;
    QByteArray mark; // the byte-order mark the file starts with, kept on rewrite
};

Encoding EncodingOf(const QByteArray &raw);

// The lines of a file: 8-bit text as it is, UTF-8 and UTF-16 as UTF-8.
QByteArray Decode(const QByteArray &raw, const Encoding &encoding);
QByteArray Encode(const QByteArray &text, const Encoding &encoding);

// The value of key in the first section named section; nullopt when either is missing.
std::optional<QByteArray> Value(const QByteArray &text, const QByteArray &section, const QByteArray &key);

// text with the key's value replaced, or the key (and the section) added.
// Only the value's bytes change: the key keeps its spelling and every line
// its own ending (CR LF, LF or a lone CR); a new line takes the ending of
// the line before it.
QByteArray Updated(const QByteArray &text, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value);

} // namespace kelvra::profiletext
