// A whole write against a radio that answers at once: what goes over the
// wire and when the window's fields are taken; the model check. Whole reads
// run over a real pseudo-terminal in the integration suite.

#include "linkworld.h"

#include "link/frames.h"

using namespace kelvra;

class TestReadWrite : public QObject
{
    Q_OBJECT

private slots:
    void workedChecksums();
    void fullWrite();
    void modelError_data();
    void modelError();
};

void TestReadWrite::workedChecksums()
{
    RadioImage image;
    std::fill_n(image.data() + 32, 32, quint8(0xFF));
    QCOMPARE(Frames::WriteBlockRequest(0, image).toHex(), "5708002000" + QByteArray(64, '0') + "7f");
    QCOMPARE(Frames::WriteBlockRequest(1, image).toHex(), "5708002001" + QByteArray(64, 'f') + "60");
}

void TestReadWrite::fullWrite()
{
    LinkWorld w;
    w.radio.band = 200;
    // Stale bytes from an earlier radio must not reach this one.
    std::fill_n(w.image.data(), RadioImage::Size, quint8(0xEE));
    qint16 bandAsked = -1;
    qsizetype sentBeforeFields = -1;
    w.op.onGetDataByShow = [&] {
        // The band question compares with the radio's band, and nothing is awaited meanwhile.
        bandAsked = w.timer.Enabled() ? -2 : w.info.BandCode;
        sentBeforeFields = w.control.writes.size();
        w.info.ProgramPassword = QStringLiteral("1234");
        w.info.DealerCode = QStringLiteral("NEWDEALER");
        w.info.Seller = QStringLiteral("Ann");
        w.info.FreqSet = 1;
        w.info.BandCode = 9;
        w.info.MaintenanceNote = QStringLiteral("must not travel");
    };
    RadioImage expected = w.radio.image;
    w.Press(true);
    w.Pump();

    // Only the encoder's bytes change; 144-159 go back as the radio holds them.
    expected[7] = 9;
    expected[13] = 0x7F; // was 7B: the band-setting bit
    std::copy_n("1234", 4, expected.data() + 60);
    // Dealer code, empty stock and sell dates, seller.
    const QByteArray text = QByteArray("NEWDEALER").leftJustified(48, '\0') + QByteArray("Ann").leftJustified(16, '\0');
    std::copy_n(text.constData(), 64, expected.data() + 80);
    // Block 4 is read back before anything is written.
    QList<QByteArray> requests{"PROGRAM", "\x02", BlockHeader('R', 0), BlockHeader('R', 1), BlockHeader('R', 2),
                               BlockHeader('R', 4)};
    QCOMPARE(sentBeforeFields, requests.size());
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockFrame('W', block, expected));
    QCOMPARE(w.control.writes, requests << "END");
    QCOMPARE(w.timer.armed, QList<int>{1500} + QList<int>(11, 300));
    QCOMPARE(bandAsked, qint16(200));
    QCOMPARE(w.op.texts, QStringList{"Write Complete!"});
    QVERIFY(!w.control.PortOpen());
}

void TestReadWrite::modelError_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("radioModel");
    QTest::addColumn<QStringList>("texts");

    // The window's model box says KR350SU throughout.
    QTest::newRow("read, unknown model ended by 00")
        << false << QByteArray("KR9\0XYZ", 7)
        << QStringList{"Model Error\r\nPC is KR9\r\nRadio is KR9", "Read Failure!"};
    QTest::newRow("read, no model")
        << false << QByteArray("\xFFKR350U") << QStringList{"Model Error\r\nPC is \r\nRadio is ", "Read Failure!"};
    QTest::newRow("write, another model")
        << true << QByteArray("KR350UV")
        << QStringList{"Model Error\r\nPC is KR350SU\r\nRadio is KR350UV", "Write Failure!"};
    QTest::newRow("write, same model spelled otherwise")
        << true << QByteArray("KR350U_") << QStringList{"Write Complete!"};
}

void TestReadWrite::modelError()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, radioModel);
    QFETCH(QStringList, texts);

    LinkWorld w;
    w.op.modelBoxText = QStringLiteral("KR350SU");
    w.radio.model = radioModel;
    w.Press(write);
    w.Pump();

    QCOMPARE(w.op.texts, texts);
    // A model error ends it right after the identification: no block read, none written.
    QCOMPARE(w.control.writes.size(), texts.size() == 2 ? 2 : 12);
}

QTEST_GUILESS_MAIN(TestReadWrite)
#include "tst_readwrite.moc"
