#include "demoimage.h"

#include "radioframes.h"

#include <QString>
#include <QStringEncoder>

namespace radiosim {

namespace {

// Text of a field: the encoded bytes, cut to the width, the rest 00.
void Put(QByteArray *image, int offset, int width, const QByteArray &bytes)
{
    image->replace(offset, width, bytes.left(width).leftJustified(width, '\0'));
}

QByteArray Gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

} // namespace

QByteArray DemoImage()
{
    QByteArray image(kImageSize, '\xFF'); // erased areas read FF
    Put(&image, 0, 7, QByteArrayLiteral("KR350UV"));
    image[7] = 0;      // band code: UHF 400-490, VHF 136-174
    image[8] = 0;
    Put(&image, 9, 4, QByteArrayLiteral("0595"));
    image[13] = char(0xE4); // five-tone, two-tone, DTMF, band setting on
    image[14] = 0;
    image[15] = 0;
    Put(&image, 16, 16, QByteArrayLiteral("2026120500000042"));
    Put(&image, 32, 16, QByteArrayLiteral("2026-11-20"));
    Put(&image, 48, 8, QByteArrayLiteral("11-1-E-1"));
    Put(&image, 56, 4, QByteArrayLiteral("001A"));
    Put(&image, 60, 4, QByteArrayLiteral("1234"));
    // 64-79 maintenance date: never serviced, left erased.
    Put(&image, 80, 16, Gbk(QStringLiteral("经销商代码")));
    Put(&image, 96, 16, QByteArrayLiteral("2026-11-28"));
    Put(&image, 112, 16, QByteArrayLiteral("2026-12-03"));
    Put(&image, 128, 16, QByteArrayLiteral("Li Wei"));
    Put(&image, 144, 64, Gbk(QStringLiteral("2026-12-01 更换天线, battery checked")));
    return image;
}

QByteArray NextUnitImage(const QByteArray &image)
{
    constexpr int Serial = 16;
    constexpr int Width = 16;
    QByteArray next = image;
    int end = Serial;
    while (end < Serial + Width && quint8(next.at(end)) != 0x00 && quint8(next.at(end)) != 0xFF)
        ++end;
    int i = end - 1;
    for (; i >= Serial && next.at(i) >= '0' && next.at(i) <= '9'; --i) {
        if (next.at(i) != '9') {
            next[i] = char(next.at(i) + 1);
            return next;
        }
        next[i] = '0';
    }
    // No digits, or all nines: one more digit where there is room.
    next[end < Serial + Width ? end : Serial + Width - 1] = '1';
    return next;
}

} // namespace radiosim
