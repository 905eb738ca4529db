#include "record/imagetext.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <limits>

namespace kelvra {

namespace {
const char *const ImageCodePage = "GBK";
}

QString ImageTextFromBytes(QByteArrayView bytes)
{
    QStringDecoder decoder(ImageCodePage);
    return decoder.decode(bytes);
}

namespace {

// ASCII takes one byte a character. Counting it without the GBK converter
// keeps the converter's tables, a megabyte, out of memory until a field
// really holds something else.
bool IsAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; });
}

// Encodes the longest leading part of text that fits; returns its length in UTF-16 units.
qsizetype EncodeFitting(QStringView text, int maxBytes, QByteArray &out)
{
    QStringEncoder encoder(ImageCodePage);
    qsizetype i = 0;
    while (i < text.size()) {
        // A surrogate pair is one character and is encoded as one.
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray piece = encoder.encode(text.mid(i, len));
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        i += len;
    }
    return i;
}

} // namespace

QByteArray ImageBytesFitting(const QString &text, int maxBytes)
{
    QByteArray out;
    EncodeFitting(text, maxBytes, out);
    return out;
}

qsizetype ImageTextFittingLength(QStringView text, int maxBytes)
{
    if (IsAscii(text))
        return qBound(qsizetype(0), qsizetype(maxBytes), text.size());
    QByteArray out;
    return EncodeFitting(text, maxBytes, out);
}

int ImageTextBytes(QStringView text)
{
    if (IsAscii(text))
        return int(text.size());
    QByteArray out;
    EncodeFitting(text, std::numeric_limits<int>::max(), out);
    return int(out.size());
}

bool ImageTextEncodable(QStringView text)
{
    if (IsAscii(text))
        return true;
    QStringEncoder encoder(ImageCodePage);
    const QByteArray bytes = encoder.encode(text);
    // The converter puts a question mark where a character has no bytes.
    return !encoder.hasError() && bytes.count('?') == text.count(QLatin1Char('?'));
}

} // namespace kelvra
