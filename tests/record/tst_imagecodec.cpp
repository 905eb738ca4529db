#include "record/imagecodec.h"
#include "record/imagetext.h"

#include <QtTest>

using namespace kelvra;

namespace {

enum Field {
    SerialNumber, ProductionDate, ManufactureCode, UserCode, ProgramPassword, MaintenanceDate,
    DealerCode, StockDate, SellDate, Seller, MaintenanceNote
};

QString stored(const RadioInfo &info, int field)
{
    switch (Field(field)) {
    case SerialNumber: return info.SerialNumber;
    case ProductionDate: return info.ProductionDate;
    case ManufactureCode: return info.ManufactureCode;
    case UserCode: return info.UserCode;
    case ProgramPassword: return info.ProgramPassword;
    case MaintenanceDate: return info.MaintenanceDate;
    case DealerCode: return info.DealerCode;
    case StockDate: return info.StockDate;
    case SellDate: return info.SellDate;
    case Seller: return info.Seller;
    case MaintenanceNote: return info.MaintenanceNote;
    }
    return {};
}

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
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::newRow("SerialNumber") << int(SerialNumber) << 16 << 16;
        QTest::newRow("ProductionDate") << int(ProductionDate) << 32 << 16;
        QTest::newRow("ManufactureCode") << int(ManufactureCode) << 48 << 8;
        QTest::newRow("UserCode") << int(UserCode) << 56 << 4;
        QTest::newRow("ProgramPassword") << int(ProgramPassword) << 60 << 4;
        QTest::newRow("MaintenanceDate") << int(MaintenanceDate) << 64 << 16;
        QTest::newRow("DealerCode") << int(DealerCode) << 80 << 16;
        QTest::newRow("StockDate") << int(StockDate) << 96 << 16;
        QTest::newRow("SellDate") << int(SellDate) << 112 << 16;
        QTest::newRow("Seller") << int(Seller) << 128 << 16;
        QTest::newRow("MaintenanceNote") << int(MaintenanceNote) << 144 << 64;
    }

    void textFieldsDecodeFromTheirOffsets()
    {
        QFETCH(int, field);
        QFETCH(int, offset);
        QFETCH(int, width);

        // Filling the whole width: exactly these characters, no NUL. The
        // neighbours hold other letters, so a wrong offset or width shows.
        RadioImage image = patterned();
        QByteArray full(width, 'Q');
        full[0] = 'A';
        full[width - 1] = 'Z';
        put(image, offset, full);
        RadioInfo info;
        DecodeRadioInfo(image, info);
        QCOMPARE(stored(info, field), QString::fromLatin1(full));

        // Two letters, a 0x00, then rubbish: the rubbish is not part of the text.
        put(image, offset, QByteArray("AB\0", 3));
        DecodeRadioInfo(image, info);
        QCOMPARE(FieldText(stored(info, field)), QStringLiteral("AB"));
        QCOMPARE(stored(info, field).size(), width);

        // An erased field reads as empty.
        put(image, offset, QByteArray(width, char(0xFF)));
        DecodeRadioInfo(image, info);
        QCOMPARE(FieldText(stored(info, field)), QString());
    }

    void textStopsAtTheFirstEndByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("visible");
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

    void areaCodeIsFourBytesAtNine()
    {
        RadioImage image = patterned();
        RadioInfo info;
        put(image, 8, QByteArray("x0595y", 6));
        DecodeRadioInfo(image, info);
        QCOMPARE(info.AreaCode, QStringLiteral("0595"));

        put(image, 9, QByteArray("05\xFF" "5", 4));
        DecodeRadioInfo(image, info);
        QCOMPARE(info.AreaCode, QStringLiteral("05"));

        image[9] = 0x00;
        DecodeRadioInfo(image, info);
        QCOMPARE(info.AreaCode, QString());
    }

    void flagsAndBandDecode()
    {
        RadioImage image;
        image[7] = 200;
        image[13] = 0xA4;
        image[14] = 0x02;
        RadioInfo info;
        DecodeRadioInfo(image, info);
        QCOMPARE(info.BandCode, qint16(200));
        QCOMPARE((QList<qint16>{info.FiveTone, info.TwoTone, info.Dtmf, info.Scramble,
                                info.FactoryMode, info.FreqSet, info.Kill, info.Faint}),
                 (QList<qint16>{1, 0, 1, 0, 0, 1, 0, 1}));

        image[13] = 0x18;
        image[14] = 0xFD;
        DecodeRadioInfo(image, info);
        QCOMPARE((QList<qint16>{info.FiveTone, info.TwoTone, info.Dtmf, info.Scramble,
                                info.FactoryMode, info.FreqSet, info.Kill, info.Faint}),
                 (QList<qint16>{0, 0, 0, 1, 1, 0, 1, 0}));
    }

    void encodeTouchesOnlyTheDealerPart()
    {
        const RadioImage before = patterned();
        RadioImage image = before;
        RadioInfo info;
        DecodeRadioInfo(image, info);
        info.BandCode = 3;
        info.FreqSet = 1;
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

        QCOMPARE(int(image[7]), 3);
        QCOMPARE(int(image[13]), int(before[13] | 0x04));
        QCOMPARE(bytesAt(image, 60, 4), QByteArray("12\0\0", 4));
        QCOMPARE(bytesAt(image, 80, 16), DealerGbk + QByteArray(6, '\0'));
        QCOMPARE(bytesAt(image, 96, 16), QByteArray("2026-12-01").leftJustified(16, '\0'));
        QCOMPARE(bytesAt(image, 112, 16), QByteArray(16, '\0'));
        QCOMPARE(bytesAt(image, 128, 16), QByteArray("Li").leftJustified(16, '\0'));

        const QList<QPair<int, int>> owned{{7, 1}, {13, 1}, {60, 4}, {80, 64}};
        for (int i = 0; i < RadioImage::Size; ++i) {
            const bool isOwned = std::any_of(owned.begin(), owned.end(), [i](const auto &r) {
                return i >= r.first && i < r.first + r.second;
            });
            if (!isOwned)
                QVERIFY2(image[i] == before[i], qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
    }

    void byte13KeepsAllButBitTwo()
    {
        RadioImage image;
        image[13] = 0xA4;
        RadioInfo info;
        DecodeRadioInfo(image, info);
        info.FreqSet = 0;
        EncodeRadioInfo(info, image);
        QCOMPARE(int(image[13]), 0xA0);

        image[13] = 0xFB;
        info.FreqSet = 1;
        EncodeRadioInfo(info, image);
        QCOMPARE(int(image[13]), 0xFF);
    }

    void erasedDealerFieldGoesBackAsZeros()
    {
        RadioImage image;
        put(image, 80, QByteArray(16, char(0xFF)));
        RadioInfo info;
        DecodeRadioInfo(image, info);
        EncodeRadioInfo(info, image);
        QCOMPARE(bytesAt(image, 80, 16), QByteArray(16, '\0'));
        QCOMPARE(bytesAt(image, 60, 4), QByteArray(4, '\0'));
    }

    void bandCodeOutsideAByteKeepsTheRadiosBand()
    {
        for (qint16 code : {qint16(-1), qint16(256), qint16(-32768)}) {
            RadioImage image;
            image[7] = 9;
            RadioInfo info;
            info.BandCode = code;
            EncodeRadioInfo(info, image);
            QCOMPARE(int(image[7]), 9);
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

    void gbkRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("gbk");
        QTest::newRow("dealer code") << QString::fromUtf8("经销商代码") << DealerGbk;
        QTest::newRow("mixed") << QString::fromUtf8("A1维修") << QByteArray::fromHex("4131CEACD0DE");
        QTest::newRow("ASCII") << QStringLiteral("Li Wei") << QByteArray("Li Wei");
    }

    void gbkRoundTrips()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, gbk);
        QCOMPARE(ImageBytesFromText(text), gbk);
        QCOMPARE(ImageTextFromBytes(gbk), text);

        RadioImage image;
        RadioInfo info;
        info.Seller = text;
        EncodeRadioInfo(info, image);
        RadioInfo back;
        DecodeRadioInfo(image, back);
        QCOMPARE(FieldText(back.Seller), text);
    }
};

QTEST_GUILESS_MAIN(TestImageCodec)
#include "tst_imagecodec.moc"
