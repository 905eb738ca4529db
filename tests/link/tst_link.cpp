// The link against a radio whose side is written from the byte tables: what
// a whole write sends and when it takes the window's fields, the model check,
// which replies are taken for the one awaited, and a radio that falls silent,
// asks for repeats or answers out of turn, a port that fails: every such run
// ends in one box that says what the radio did, the port is let go, and the
// next press works. Whole reads run over a real pseudo-terminal in the
// integration suite.

#include "linkworld.h"

#include <QSignalSpy>
#include <QTest>

using namespace kelvra;
using namespace kelvra::testing;
using Failure = OperationResult::Failure;

Q_DECLARE_METATYPE(kelvra::OperationResult::Failure)

// Every block a result claims to know holds what the radio holds.
static bool KnownIsTrue(const OperationResult &result, const RadioImage &radio)
{
    bool holds = true;
    for (int i = 0; i < RadioImage::Size; ++i)
        holds &= !result.knownBlocks.test(std::size_t(i / 32)) || result.radioBytes[i] == radio[i];
    return holds;
}

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void fullWrite();
    void modelError_data();
    void modelError();
    void replies_data();
    void replies();
    void disturbed_data();
    void disturbed();
};

void TestLink::fullWrite()
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
    QSignalSpy finished(&w.link, &RadioLink::Finished);
    w.Press(true);
    w.Pump();

    // Only the encoder's bytes change; 144-159 go back as the radio holds them.
    expected[7] = 9;
    expected[13] = 0x7F; // was 7B: the band-setting bit
    std::copy_n("1234", 4, expected.data() + 60);
    // Dealer code, empty stock and sell dates, seller.
    const QByteArray text = QByteArray("NEWDEALER").leftJustified(48, '\0') + QByteArray("Ann").leftJustified(16, '\0');
    std::copy_n(text.constData(), 64, expected.data() + 80);
    // Every block it sends is read before anything is written.
    QList<QByteArray> requests{"PROGRAM", "\x02"};
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockHeader('R', block));
    QCOMPARE(sentBeforeFields, requests.size());
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockFrame('W', block, expected));
    // Every block written is read back before "END".
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockHeader('R', block));
    QCOMPARE(w.control.writes, requests << "END");
    QCOMPARE(w.timer.armed, QList<int>{1500} + QList<int>(17, 300));
    QCOMPARE(bandAsked, qint16(200));
    QCOMPARE(w.op.texts, QStringList{"Write Complete!"});
    QVERIFY(!w.control.PortOpen());

    QCOMPARE(finished.size(), 1);
    const auto result = finished.at(0).at(0).value<OperationResult>();
    QVERIFY(result.success && result.Verified() && result.kind == Operation::Write);
    QVERIFY(result.knownBlocks == ImageBlocks(0x1F) && KnownIsTrue(result, w.radio.image));
}

void TestLink::modelError_data()
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

void TestLink::modelError()
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
    QCOMPARE(w.control.writes.size(), texts.size() == 2 ? 2 : 18);
}

void TestLink::replies_data()
{
    QTest::addColumn<QByteArray>("awaiting");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("taken");

    TestRadio radio;
    const QByteArray program("PROGRAM"), identify = radio.Answer("\x02"), read0 = BlockHeader('R', 0);
    const QByteArray block = radio.Answer(read0);
    // One byte changed, the checksum made right again unless told otherwise.
    auto patched = [](QByteArray bytes, int at, char value, bool resum = true) {
        bytes[at] = value;
        if (resum && bytes.size() == 38)
            bytes[37] = Sum(bytes.left(37));
        return bytes;
    };

    QTest::newRow("ack") << program << QByteArray("\x06") << true;
    QTest::newRow("other single byte") << program << QByteArray("\x15") << false;
    QTest::newRow("ack doubled") << program << QByteArray("\x06\x06") << false;
    QTest::newRow("identify") << QByteArray("\x02") << identify << true;
    QTest::newRow("identify one short") << QByteArray("\x02") << identify.left(15) << false;
    QTest::newRow("identify one long") << QByteArray("\x02") << identify + '\x06' << false;
    QTest::newRow("identify wrong lead") << QByteArray("\x02") << patched(identify, 0, 'i') << false;
    QTest::newRow("identify not ended by 06") << QByteArray("\x02") << patched(identify, 15, 0x15) << false;
    QTest::newRow("block") << read0 << block << true;
    QTest::newRow("block one long") << read0 << block + '\0' << false;
    QTest::newRow("block one short") << read0 << block.left(37) << false;
    QTest::newRow("stray byte ahead of block") << read0 << '\x06' + block.left(37) << false;
    QTest::newRow("block lead R") << read0 << patched(block, 0, 'R') << false;
    for (int at : {1, 2, 3})
        QTest::addRow("block fixed byte %d", at) << read0 << patched(block, at, char(block.at(at) + 1)) << false;
    QTest::newRow("block checksum off") << read0 << patched(block, 37, char(block.at(37) + 1), false) << false;
    QTest::newRow("block last data byte off") << read0 << patched(block, 36, 0x55, false) << false;
    // A late answer to an earlier read names its own block; none past the image is ever asked for.
    QTest::newRow("block 1 for block 0") << read0 << patched(block, 4, 1) << false;
    QTest::newRow("block 255") << read0 << patched(block, 4, char(0xFF)) << false;
}

void TestLink::replies()
{
    QFETCH(QByteArray, awaiting);
    QFETCH(QByteArray, reply);
    QFETCH(bool, taken);

    LinkWorld w;
    QVERIFY(w.RunUntilSilent(false, awaiting).startsWith(awaiting));
    const Step step = w.link.SeqState();
    const qsizetype sent = w.control.writes.size();
    // Raised however few bytes came, so that a reply cut short reaches the link too.
    w.control.threshold = 1;
    w.control.Deliver(reply);
    QCOMPARE(w.link.SeqState() != step, taken);
    // Then nothing: a reply not taken is asked for again.
    if (!taken) {
        QVERIFY(w.timer.Fire());
        QCOMPARE(w.control.writes.mid(sent - 1), QList<QByteArray>(2, w.control.writes.at(sent - 1)));
    }
}

void TestLink::disturbed_data()
{
    QTest::addColumn<bool>("write");
    // The radio leaves requests that start with it unanswered; each '+' after it spares one.
    QTest::addColumn<QByteArray>("silentTo");
    QTest::addColumn<QString>("events"); // what befalls the unanswered request, in turn
    QTest::addColumn<int>("sends");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<Failure>("why");
    QTest::addColumn<QString>("detail"); // a part of the last box's detailed text; empty: none
    // The blocks the result knows, bit n for block n: read, re-read or read back, and not written since.
    QTest::addColumn<int>("known");

    QTest::newRow("read, PROGRAM unanswered")
        << false << QByteArray("PROGRAM") << "TTT" << 3 << "Read Failure!" << Failure::NoAnswer
        << "did not answer the request to enter programming mode (PROGRAM) on COM3." << 0x00;
    QTest::newRow("read, END unanswered") << false << QByteArray("END") << "TTT" << 3 << "Read Complete!"
                                          << Failure::None << QString() << 0xFF;
    QTest::newRow("write, block 4 re-read unanswered") << true << BlockHeader('R', 4) << "TTT" << 3 << "Write Failure!"
                                                       << Failure::NoAnswer << "the read of block 4" << 0x0F;
    QTest::newRow("write, block 2 unanswered")
        << true << BlockHeader('W', 2) << "TTT" << 3 << "Write Failure!" << Failure::NoAnswer
        << "the write of block 2 on COM3. Check that the radio is switched on and within reach of the cable, that the "
           "cable is seated firmly at both ends, and that COM3 is the port the cable is on.\nThe radio acknowledged "
           "the new band and password (not read back to check). The radio did not confirm the new dealer code, stock "
           "date, sell date and seller. Write again once the radio answers." << 0x18;
    // Its re-read answered, block 3 is read back.
    QTest::newRow("write, read-back of block 3 unanswered")
        << true << BlockHeader('R', 3) + "+" << "TTT" << 3 << "Write Failure!" << Failure::NoAnswer
        << "the read-back of block 3 on COM3. Check that the radio is switched on and within reach of the cable, that "
           "the cable is seated firmly at both ends, and that COM3 is the port the cable is on.\nReading back showed "
           "the new band, password and dealer code in the radio. The radio acknowledged the new stock date, sell date "
           "and seller (not read back to check). Write again" << 0x07;
    // A repeat reply is an expiry come early: it counts towards the three sends.
    QTest::newRow("write, PROGRAM repeats")
        << true << QByteArray("PROGRAM") << "RTR" << 3 << "Write Failure!" << Failure::RepeatAsked
        << "answered the request to enter programming mode (PROGRAM) on COM3 only by asking for it again" << 0x00;
    // Too short to be noticed while a block is awaited, a repeat reply is
    // found at the resend, once the rest of a reply could have come.
    QTest::newRow("read, block 6 repeats") << false << BlockHeader('R', 6) << "RTTRTTRTT" << 3 << "Read Failure!"
        << Failure::RepeatAsked << "answered the read of block 6 on COM3 only by" << 0x3F;
    QTest::newRow("read, block 3 answered with block 1") << false << BlockHeader('R', 3) << "BTBTBT" << 3
        << "Read Failure!" << Failure::WrongBlock << "answered the read of block 3 on COM3 with block 1." << 0x07;
    QTest::newRow("write, block in place of ack") << true << BlockHeader('W', 1) << "BTTT" << 3 << "Write Failure!"
                                                  << Failure::BadReply << "answers to the write of block 1 on COM3 "
                                                                          "did not check out" << 0x1C;
    // Pulled once while a reply is awaited, and once more when nothing runs.
    QTest::newRow("read, cable pulled at block 5") << false << BlockHeader('R', 5) << "PP" << 1 << "Read Failure!"
                                                   << Failure::PortLost << "The serial port was lost" << 0x1F;
    QTest::newRow("read, identify resend refused") << false << QByteArray("\x02") << "XT" << 1 << "Read Failure!"
                                                   << Failure::PortRefused
                                                   << "The serial port did not accept the data." << 0x00;
    QTest::newRow("write, block 3 refused") << true << BlockHeader('W', 2) << "XA" << 1 << "Write Failure!"
                                            << Failure::PortRefused
                                            << "did not accept the data.\nThe radio acknowledged the new band, "
                                               "password and dealer code (not read back to check). The radio did not "
                                               "confirm the new stock date" << 0x10;
    QTest::newRow("read, press refused") << false << QByteArray("PROGRAM") << "XN" << 1 << "Read Failure!"
                                         << Failure::PortRefused << "The serial port did not accept the data." << 0x00;
    QTest::newRow("read, open fails") << false << BlockHeader('R', 1) << "ON" << 1 << "Cannot Open Communication Port."
                                      << Failure::PortNotOpened << "in use" << 0x00;
}

void TestLink::disturbed()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, silentTo);
    QFETCH(QString, events);
    QFETCH(int, sends);
    QFETCH(QString, ending);
    QFETCH(Failure, why);
    QFETCH(QString, detail);
    QFETCH(int, known);

    LinkWorld w;
    QSignalSpy finished(&w.link, &RadioLink::Finished);
    w.spared = int(silentTo.count('+'));
    silentTo.chop(w.spared);
    const QByteArray request = w.RunUntilSilent(write, silentTo);
    QVERIFY(request.startsWith(silentTo));
    const qsizetype sent = w.control.writes.size();
    const qsizetype armed = w.timer.armed.size();
    // The radio needs time to enter programming mode; every later reply is quick.
    const int interval = silentTo == "PROGRAM" ? 1500 : 300;

    for (const QChar event : events)
        Befall(w, event.toLatin1(), request, write);
    // Whatever still arrives once it is over is read and dropped.
    w.control.Deliver("\x06");
    w.control.Deliver("\x0A");

    QCOMPARE(w.control.writes.mid(sent - 1), QList<QByteArray>(sends, request));
    // A wait stretched for the rest of a block reply (its 38 bytes on the line and the margin) is not a copy's.
    QList<int> waits = w.timer.armed.mid(armed - 1);
    waits.removeAll(24);
    QCOMPARE(waits.mid(0, sends), QList<int>(sends, interval));
    QCOMPARE(w.op.texts, QStringList{ending});
    if (detail.isEmpty())
        QCOMPARE(w.details.constLast(), QString());
    else
        QVERIFY2(w.details.constLast().contains(detail), qPrintable(w.details.constLast()));
    QVERIFY(!w.timer.Fire());
    // Ended whichever way, the port and its lock are let go.
    QVERIFY(!w.control.PortOpen());
    // One result per press that started an operation; a read that a press abandoned shows no box.
    const auto result = finished.constLast().at(0).value<OperationResult>();
    QCOMPARE(result.failure, why);
    QCOMPARE(result.message + '|' + result.detail, ending + '|' + w.details.constLast());
    QCOMPARE(result.portNo, 3);
    QCOMPARE(result.knownBlocks, ImageBlocks(known));
    QVERIFY(KnownIsTrue(result, w.radio.image));
    for (qsizetype i = 0; i + 1 < finished.size(); ++i)
        QCOMPARE(finished.at(i).at(0).value<OperationResult>().failure, Failure::Abandoned);
    // With the radio and the port behaving again, a new press runs to completion.
    w.silentTo.clear();
    w.control.refuseWrites = false;
    w.control.openFailure.clear();
    w.answered = w.control.writes.size();
    w.Press(write);
    w.Pump();
    QCOMPARE(w.op.texts.constLast(), write ? "Write Complete!" : "Read Complete!");
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
