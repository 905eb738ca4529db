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

QByteArray ImageBytesFitting(const QString &text, int maxBytes)
{
    QStringEncoder encoder(ImageCodePage);
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character and is encoded as one.
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QByteArray piece = encoder.encode(QStringView(text).mid(i, len));
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        i += len;
    }
    return out;
}

} // namespace kelvra
