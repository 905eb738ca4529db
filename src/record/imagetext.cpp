#include "record/imagetext.h"

#include <QStringDecoder>
#include <QStringEncoder>

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
    QByteArray out;
    return EncodeFitting(text, maxBytes, out);
}

} // namespace kelvra
