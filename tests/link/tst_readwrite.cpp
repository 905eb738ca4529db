// Whole reads and writes against a radio that answers at once: what goes
// over the wire, what ends up in the record, the image and the radio.

#include "linkworld.h"

#include "record/imagecodec.h"

#include <QTest>

using namespace kelvra;

namespace {

QStringList HexList(const QList<QByteArray> &frames)
{
    QStringList list;
    for (const QByteArray &frame : frames)
        list.append(QString::fromLatin1(frame.size() == 38 ? frame.left(5).toHex() + "..." : frame.toHex()));
    return list;
}

// A radio whose image is all distinct bytes, with a maintenance note.
void FillRadio(TestRadio &radio)
{
    for (int i = 0; i < RadioImage::Size; ++i)
        radio.image[i] = quint8(0x20 + (i * 7) % 0x5F);
    const QByteArray dealer("SHOP-17");
    std::copy(dealer.begin(), dealer.end(), radio.image.data() + 80);
    radio.image[80 + dealer.size()] = 0;
}

} // namespace

class TestReadWrite : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<LinkWorld>(); }
    void cleanup() { QCOMPARE(m_world->boxesWhileWaiting, 0); }

    void fullRead();
    void fullWrite();
    void modelError_data();
    void modelError();
    void bandQuestionSeesRadioBand();

private:
    std::unique_ptr<LinkWorld> m_world;
};

void TestReadWrite::fullRead()
{
    LinkWorld &w = *m_world;
    FillRadio(w.radio);
    w.radio.band = 7;

    w.link.Command1_Click();
    w.Pump();

    QCOMPARE(HexList(w.control.writes),
             QStringList({"50524f4752414d", "02", "5208002000", "5208002001", "5208002002", "5208002003",
                          "5208002004", "5208002005", "5208002006", "5208002007", "454e44"}));
    QCOMPARE(w.timer.armed, QList<int>({1500, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300}));
    QCOMPARE(w.op.texts(), QStringList{"Read Complete!"});
    QCOMPARE(w.op.messages.first().icon, Operator::Icon::None);
    QCOMPARE(w.op.showByDataCalls, 1);
    QCOMPARE(w.image, w.radio.image);
    QCOMPARE(FieldText(w.info.DealerCode), QStringLiteral("SHOP-17"));
    QCOMPARE(w.info.Model, QStringLiteral("KR350UV"));
    QCOMPARE(w.control.openedPorts, QList<int>{3});
    QVERIFY(!w.control.PortOpen());
    QVERIFY(!w.timer.Enabled());
    QCOMPARE(w.link.OpKind(), Operation::None);
    QCOMPARE(w.link.BlockAddress(), -32);
}

void TestReadWrite::fullWrite()
{
    LinkWorld &w = *m_world;
    FillRadio(w.radio);
    w.radio.image[13] = 0xA0;
    const RadioImage before = w.radio.image;
    // Stale bytes from an earlier radio must not reach this one.
    std::fill_n(w.image.data(), RadioImage::Size, quint8(0xEE));

    int writesAtGetData = -1;
    w.op.onGetDataByShow = [&] {
        writesAtGetData = int(w.control.writes.size());
        w.info.DealerCode = QStringLiteral("NEWDEALER");
        w.info.Seller = QStringLiteral("Ann");
        w.info.ProgramPassword = QStringLiteral("1234");
        w.info.FreqSet = 1;
        w.info.BandCode = 9;
        // The window would also hand over fields a write never sends.
        w.info.MaintenanceNote = QStringLiteral("must not travel");
        w.info.SerialNumber = QStringLiteral("0000000000000000");
    };
    w.link.Command2_Click();
    w.Pump();

    QCOMPARE(HexList(w.control.writes),
             QStringList({"50524f4752414d", "02", "5208002000", "5208002001", "5208002002", "5208002004",
                          "5708002000...", "5708002001...", "5708002002...", "5708002003...",
                          "5708002004...", "454e44"}));
    QCOMPARE(w.timer.armed.first(), 1500);
    QCOMPARE(w.timer.armed.count(300), 11);
    QCOMPARE(writesAtGetData, 6);
    QCOMPARE(w.op.texts(), QStringList{"Write Complete!"});
    QCOMPARE(w.op.showByDataCalls, 0);
    QCOMPARE(w.radio.blocksWritten, QList<int>({0, 1, 2, 3, 4}));
    QVERIFY(!w.control.PortOpen());
    QCOMPARE(w.link.OpKind(), Operation::None);
    QCOMPARE(w.link.BlockAddress(), -32);

    RadioImage expected = before;
    expected[7] = 9;
    expected[13] = 0xA4;
    const QByteArray sent = QByteArray("1234") + "NEWDEALER" + QByteArray(7, '\0') + QByteArray(32, '\0')
                            + "Ann" + QByteArray(13, '\0');
    std::copy_n(sent.constData(), 4, expected.data() + 60);
    std::copy_n(sent.constData() + 4, 64, expected.data() + 80);
    for (int i = 0; i < RadioImage::Size; ++i)
        QVERIFY2(w.radio.image[i] == expected[i], qPrintable(QStringLiteral("byte %1").arg(i)));
}

void TestReadWrite::modelError_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("modelBox");
    QTest::addColumn<QByteArray>("radioModel");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("recordModel");

    QTest::newRow("read, unknown model")
        << false << "KR350SU" << QByteArray("KR999XX")
        << QStringList{"Model Error\r\nPC is KR999XX\r\nRadio is KR999XX", "Read Failure!"} << "KR999XX";
    QTest::newRow("read, empty model")
        << false << "KR350SU" << QByteArray("\xFF", 1)
        << QStringList{"Model Error\r\nPC is \r\nRadio is ", "Read Failure!"} << "";
    QTest::newRow("write, another model")
        << true << "KR350SU" << QByteArray("KR350UV")
        << QStringList{"Model Error\r\nPC is KR350SU\r\nRadio is KR350UV", "Write Failure!"} << "KR350SU";
    QTest::newRow("write, same model spelled otherwise")
        << true << "KR350SU" << QByteArray("KR350U_") << QStringList{"Write Complete!"} << "KR350SU";
}

void TestReadWrite::modelError()
{
    QFETCH(bool, write);
    QFETCH(QString, modelBox);
    QFETCH(QByteArray, radioModel);
    QFETCH(QStringList, texts);
    QFETCH(QString, recordModel);

    LinkWorld &w = *m_world;
    w.op.modelBoxText = modelBox;
    w.radio.model = radioModel;
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    w.Pump();

    QCOMPARE(w.op.texts(), texts);
    QCOMPARE(w.info.Model, recordModel);
    if (texts.size() == 2) {
        // Nothing beyond the identification: no block read, none written.
        QCOMPARE(w.control.writes.size(), 2);
        QVERIFY(w.radio.blocksWritten.isEmpty());
        QCOMPARE(w.op.getDataByShowCalls, 0);
        QVERIFY(!w.timer.Enabled());
    }
}

void TestReadWrite::bandQuestionSeesRadioBand()
{
    LinkWorld &w = *m_world;
    w.radio.band = 5;
    w.info.BandCode = 0;
    w.op.onGetDataByShow = [&] {
        // The operator is asked with the radio's band in the record and
        // keeps the window's band 2.
        QCOMPARE(w.info.BandCode, qint16(5));
        QVERIFY(!w.timer.Enabled());
        w.info.BandCode = 2;
    };
    w.link.Command2_Click();
    w.Pump();

    QCOMPARE(w.op.getDataByShowCalls, 1);
    QCOMPARE(w.radio.image[7], quint8(2));
    QCOMPARE(w.op.texts(), QStringList{"Write Complete!"});
}

QTEST_GUILESS_MAIN(TestReadWrite)
#include "tst_readwrite.moc"
