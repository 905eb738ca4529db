#include "record/imagecodec.h"

#include <QtTest>

using namespace kelvra;

namespace {

struct TextField
{
    const char *name;
    int offset;
    int width;
    QString (*stored)(const RadioInfo &);
};

const TextField TextFields[] = {
    {"SerialNumber", 16, 16, [](const RadioInfo &i) { return i.SerialNumber.text(); }},
    {"ProductionDate", 32, 16, [](const RadioInfo &i) { return i.ProductionDate.text(); }},
    {"ManufactureCode", 48, 8, [](const RadioInfo &i) { return i.ManufactureCode.text(); }},
    {"UserCode", 56, 4, [](const RadioInfo &i) { return i.UserCode.text(); }},
    {"ProgramPassword", 60, 4, [](const RadioInfo &i) { return i.ProgramPassword.text(); }},
    {"MaintenanceDate", 64, 16, [](const RadioInfo &i) { return i.MaintenanceDate.text(); }},
    {"DealerCode", 80, 16, [](const RadioInfo &i) { return i.DealerCode.text(); }},
    {"StockDate", 96, 16, [](const RadioInfo &i) { return i.StockDate.text(); }},
    {"SellDate", 112, 16, [](const RadioInfo &i) { return i.SellDate.text(); }},
    {"Seller", 128, 16, [](const RadioInfo &i) { return i.Seller.text(); }},
    {"MaintenanceNote", 144, 64, [](const RadioInfo &i) { return i.MaintenanceNote.text(); }},
};

void put(RadioImage &image, int offset, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        image[offset + i] = quint8(bytes.at(i));
}

QByteArray bytesAt(const RadioImage &image, int offset, int len)
{
    return QByteArray(reinterpret_cast<const char *>(image.data() + offset), len);
}

// Every byte different and none of them a text end, so a stray write shows.
RadioImage patterned()
{
    RadioImage image;
    for (int i = 0; i < RadioImage::Size; ++i)
        image[i] = quint8(0x30 + i % 0x40);
    return image;
}

QList<qint16> flags(const RadioInfo &i)
{
    return {i.FiveTone, i.TwoTone, i.Dtmf, i.Scramble, i.FactoryMode, i.FreqSet, i.Kill, i.Faint};
}

// GBK bytes as an independent converter gives them.
const QByteArray DealerGbk = QByteArray::fromHex("BEADCFFAC9CCB4FAC2EB"); // 经销商代码

} // namespace

class TestImageCodec : public QObject
{
    Q_OBJECT

private slots:
    void textFieldsDecodeFromTheirOffsets_data()
    {
        QTest::addColumn<int>("field");
        for (int f = 0; f < int(std::size(TextFields)); ++f)
            QTest::newRow(TextFields[f].name) << f;
    }

    void textFieldsDecodeFromTheirOffsets()
    {
        QFETCH(int, field);
        const TextField &t = TextFields[field];
        auto decoded = [&t](const RadioImage &image) {
            RadioInfo info;
            DecodeRadioInfo(image, info);
            return t.stored(info);
        };

        // Filling the whole width: exactly these characters, no NUL. The
        // neighbours hold other letters, so a wrong offset or width shows.
        RadioImage image = patterned();
        QByteArray full(t.width, 'Q');
        full[0] = 'A';
        full[t.width - 1] = 'Z';
        put(image, t.offset, full);
        QCOMPARE(decoded(image), QString::fromLatin1(full));
    }

    void textStopsAtTheFirstEndByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("visible");
        QTest::newRow("NUL ends, rubbish after") << QByteArray("AB\0" "CD", 5) << QStringLiteral("AB");
        QTest::newRow("erased reads empty") << QByteArray(16, char(0xFF)) << QString();
        QTest::newRow("0xFF ends") << QByteArray("AB\xFF" "CD", 5) << QStringLiteral("AB");
        QTest::newRow("trailing blanks go") << QByteArray("AB  \0", 5) << QStringLiteral("AB");
        QTest::newRow("leading blanks stay") << QByteArray("  AB\0", 5) << QStringLiteral("  AB");
        QTest::newRow("GBK text") << DealerGbk + QByteArray(6, '\0')
                                  << QString::fromUtf8("经销商代码");
        QTest::newRow("eight Chinese characters fill 16 bytes")
            << DealerGbk + QByteArray::fromHex("CEF7B0B2C6BD")
            << QString::fromUtf8("经销商代码西安平");
    }

    void textStopsAtTheFirstEndByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, visible);
        RadioImage image = patterned();
        put(image, 80, bytes.leftJustified(16, '\0'));
        RadioInfo info;
        DecodeRadioInfo(image, info);
        QCOMPARE(FieldText(info.DealerCode), visible);
    }

    void bytesAndBitsDecode()
    {
        RadioImage image = patterned();
        put(image, 7, QByteArray("\xC8x0595", 6));
        image[13] = 0xA4;
        image[14] = 0xFE;
        RadioInfo info;
        DecodeRadioInfo(image, info);
        QCOMPARE(info.BandCode, qint16(200));
        QCOMPARE(info.AreaCode, QStringLiteral("0595"));
        QCOMPARE(flags(info), (QList<qint16>{1, 0, 1, 0, 0, 1, 0, 1}));

        put(image, 9, QByteArray("05\xFF" "5", 4));
        image[13] = 0x18;
        image[14] = 0x01;
        DecodeRadioInfo(image, info);
        QCOMPARE(info.AreaCode, QStringLiteral("05"));
        QCOMPARE(flags(info), (QList<qint16>{0, 0, 0, 1, 1, 0, 1, 0}));
    }

    void encodeTouchesOnlyTheDealerPart_data()
    {
        QTest::addColumn<int>("flagsBefore");
        QTest::addColumn<int>("freqSet");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("flagsAfter");
        QTest::addColumn<int>("bandAfter"); // 0x37: the radio's own
        QTest::newRow("flag set, other bits stay") << 0xFB << 1 << 3 << 0xFF << 3;
        QTest::newRow("flag cleared, other bits stay") << 0xA4 << 0 << 255 << 0xA0 << 255;
        // A code the byte cannot hold means no band was chosen: the radio keeps its own.
        QTest::newRow("band beyond a byte") << 0xA4 << 0 << 256 << 0xA0 << 0x37;
        QTest::newRow("no band") << 0xFB << 1 << -1 << 0xFF << 0x37;
    }

    void encodeTouchesOnlyTheDealerPart()
    {
        QFETCH(int, flagsBefore);
        QFETCH(int, freqSet);
        QFETCH(int, band);
        QFETCH(int, flagsAfter);
        QFETCH(int, bandAfter);
        RadioImage before = patterned();
        before[13] = quint8(flagsBefore);
        RadioImage image = before;
        RadioInfo info;
        DecodeRadioInfo(image, info);
        info.BandCode = qint16(band);
        info.FreqSet = qint16(freqSet);
        info.ProgramPassword = QStringLiteral("12");
        info.DealerCode = QString::fromUtf8("经销商代码");
        info.StockDate = QStringLiteral("2026-12-01");
        info.SellDate = QString();
        info.Seller = QStringLiteral("Li  ");
        // Fields the radio never receives from a write:
        info.SerialNumber = QStringLiteral("X");
        info.MaintenanceNote = QStringLiteral("changed");
        info.AreaCode = QStringLiteral("9999");
        EncodeRadioInfo(info, image);

        QCOMPARE(int(image[7]), bandAfter);
        QCOMPARE(int(image[13]), flagsAfter);
        QCOMPARE(bytesAt(image, 60, 4), QByteArray("12\0\0", 4));
        QCOMPARE(bytesAt(image, 80, 16), DealerGbk + QByteArray(6, '\0'));
        QCOMPARE(bytesAt(image, 96, 16), QByteArray("2026-12-01").leftJustified(16, '\0'));
        QCOMPARE(bytesAt(image, 112, 16), QByteArray(16, '\0'));
        QCOMPARE(bytesAt(image, 128, 16), QByteArray("Li").leftJustified(16, '\0'));
        for (int i = 0; i < RadioImage::Size; ++i) {
            if (i != 7 && i != 13 && (i < 60 || i >= 64) && (i < 80 || i >= 144))
                QVERIFY2(image[i] == before[i], qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
    }

    void textsAreCutWithoutSplittingACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nine Chinese characters: the ninth is cut")
            << QString::fromUtf8("经销商代码西安平台") << DealerGbk + QByteArray::fromHex("CEF7B0B2C6BD");
        QTest::newRow("odd ASCII lead: the eighth character would be split")
            << QStringLiteral("A") + QString::fromUtf8("经销商代码西安平")
            << QByteArray("A") + DealerGbk + QByteArray::fromHex("CEF7B0B200");
        QTest::newRow("ASCII over the width") << QStringLiteral("0123456789ABCDEFGH")
                                               << QByteArray("0123456789ABCDEF");
        QTest::newRow("mixed, zero-filled") << QString::fromUtf8("A1维修") << QByteArray::fromHex("4131CEACD0DE").leftJustified(16, '\0');
    }

    void textsAreCutWithoutSplittingACharacter()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        RadioImage image = patterned();
        PutImageText(image, 80, text, 16);
        QCOMPARE(bytesAt(image, 80, 16), bytes);
        QCOMPARE(int(image[96]), int(patterned()[96]));
    }
};

QTEST_GUILESS_MAIN(TestImageCodec)
#include "tst_imagecodec.moc"
