#include "record/imagecodec.h"

#include "record/imagetext.h"

namespace kelvra {

namespace {

constexpr quint8 TextEnd = 0x00;
constexpr quint8 Erased = 0xFF;

bool endsText(quint8 byte)
{
    return byte == TextEnd || byte == Erased;
}

QByteArray textBytes(const RadioImage &image, int offset, int width)
{
    int len = 0;
    while (len < width && !endsText(image[offset + len]))
        ++len;
    return QByteArray(reinterpret_cast<const char *>(image.data() + offset), len);
}

template <int Width>
void decodeText(const RadioImage &image, int offset, FixedText<Width> &field)
{
    // The NUL marks the end when the text is shorter than its field.
    field = FieldText(ImageTextFromBytes(textBytes(image, offset, Width))) + QChar(u'\0');
}

qint16 bit(quint8 byte, int n)
{
    return qint16((byte >> n) & 1);
}

} // namespace

QString TrimTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString FieldText(const QString &text)
{
    const QString trimmed = TrimTrailingBlanks(text);
    const qsizetype nul = trimmed.indexOf(QChar(u'\0'));
    return nul >= 0 ? trimmed.left(nul) : trimmed;
}

void DecodeRadioInfo(const RadioImage &image, RadioInfo &info)
{
    info.BandCode = image[7];

    // One character per byte: the area code is never double-byte.
    info.AreaCode.clear();
    for (int i = 9; i <= 12 && !endsText(image[i]); ++i) {
        const char byte = char(image[i]);
        info.AreaCode += ImageTextFromBytes(QByteArrayView(&byte, 1));
    }

    decodeText(image, 16, info.SerialNumber);
    decodeText(image, 32, info.ProductionDate);
    decodeText(image, 48, info.ManufactureCode);
    decodeText(image, 56, info.UserCode);
    decodeText(image, 60, info.ProgramPassword);
    decodeText(image, 64, info.MaintenanceDate);
    decodeText(image, 80, info.DealerCode);
    decodeText(image, 96, info.StockDate);
    decodeText(image, 112, info.SellDate);
    decodeText(image, 128, info.Seller);
    decodeText(image, 144, info.MaintenanceNote);

    info.FiveTone = bit(image[13], 7);
    info.TwoTone = bit(image[13], 6);
    info.Dtmf = bit(image[13], 5);
    info.Scramble = bit(image[13], 4);
    info.FactoryMode = bit(image[13], 3);
    info.FreqSet = bit(image[13], 2);
    info.Kill = bit(image[14], 0);
    info.Faint = bit(image[14], 1);
}

void PutImageText(RadioImage &image, int offset, const QString &text, int width)
{
    const QByteArray bytes = ImageBytesFitting(text, width);
    for (int i = 0; i < width; ++i)
        image[offset + i] = i < bytes.size() ? quint8(bytes.at(i)) : TextEnd;
}

quint8 WriteOwnedBits(int index)
{
    // Band code, password, the four dealer fields; of byte 13 FreqSet alone.
    if (index == 7 || (index >= 60 && index < 64) || (index >= 80 && index < 144))
        return 0xFF;
    return index == 13 ? 0x04 : 0x00;
}

void EncodeRadioInfo(const RadioInfo &info, RadioImage &image)
{
    // A code the byte cannot hold means no band was chosen: the radio keeps its own.
    if (info.BandCode >= 0 && info.BandCode <= 255)
        image[7] = quint8(info.BandCode);
    PutImageText(image, 60, FieldText(info.ProgramPassword), 4);
    PutImageText(image, 80, FieldText(info.DealerCode), 16);
    PutImageText(image, 96, FieldText(info.StockDate), 16);
    PutImageText(image, 112, FieldText(info.SellDate), 16);
    PutImageText(image, 128, FieldText(info.Seller), 16);
    image[13] = quint8((image[13] & 0xFB) | ((info.FreqSet & 1) << 2));
}

} // namespace kelvra
