// The link against a radio whose side is written from the byte tables: what
// a whole write sends and when it takes the window's fields, the model check,
// which replies are taken for the one awaited, and a radio that falls silent,
// asks for repeats or answers out of turn, a port that fails: every such run
// ends in one box that says what the radio did, the port is let go, and the
// next press works. Whole reads run over a real pseudo-terminal in the
// integration suite.

#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "support/fakeserialcontrol.h"
#include "support/manualreplytimer.h"
#include "support/scriptedoperator.h"

#include <QSignalSpy>
#include <QTest>

using namespace kelvra;
using Failure = OperationResult::Failure;

Q_DECLARE_METATYPE(kelvra::OperationResult::Failure)

namespace {

// Summed here on its own, so that a fault shared with the link's frame code cannot hide.
inline char Sum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    return char(sum);
}

// Block frames both ways: lead, 08 00 20, block number, then in a 38-byte
// frame the block's 32 bytes and the checksum.
inline QByteArray BlockHeader(char lead, int block)
{
    return lead + QByteArray("\x08\x00\x20", 3) + char(block);
}

inline QByteArray BlockFrame(char lead, int block, const RadioImage &image)
{
    QByteArray frame = BlockHeader(lead, block);
    frame.append(reinterpret_cast<const char *>(image.data()) + 32 * block, 32);
    return frame + Sum(frame);
}

// The radio's side of the dialogue, written from the byte tables.
struct TestRadio
{
    RadioImage image;
    QByteArray model = "KR350UV";
    quint8 band = 3;

    // Printable bytes that vary: nothing ends a text early, and a misplaced block shows.
    TestRadio()
    {
        for (int i = 0; i < RadioImage::Size; ++i)
            image[i] = quint8(0x20 + (i * 7) % 0x5F);
    }

    QByteArray Answer(const QByteArray &request)
    {
        if (request == "PROGRAM" || request == "END")
            return "\x06";
        if (request == "\x02")
            return 'I' + model.leftJustified(7, '\0', true) + char(band) + QByteArray(6, '\0') + '\x06';
        const int block = quint8(request.at(4));
        if (request.at(0) == 'R')
            return BlockFrame('W', block, image);
        // A block is written only when its frame is whole and its checksum right.
        RadioImage written = image;
        std::copy_n(request.constData() + 5, 32, written.data() + 32 * block);
        if (request != BlockFrame('W', block, written))
            return {};
        image = written;
        return "\x06";
    }
};

// A fresh program state with every seam faked and the radio at the far end.
struct LinkWorld
{
    FakeSerialControl control;
    ManualReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    // Just ahead of the radio: a block stored past the image's end spoils test
    // data, not the link, so the test reports it instead of crashing.
    RadioImage image;
    TestRadio radio;
    qint16 comPortNo = 3;
    RadioLink link{control, timer, op, info, image, comPortNo};
    QByteArray silentTo; // the radio ignores requests that start with these bytes
    qsizetype answered = 0;
    QStringList details; // of every box, in turn

    LinkWorld()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        // An expiry or a reply would be handled under a box's nested event loop.
        op.onMessage = [this](const ScriptedOperator::Message &m) {
            details.append(m.detail);
            QVERIFY2(!timer.Enabled() && link.transport().ReplyHandled(), qPrintable(m.text));
        };
    }

    void Press(bool write) { write ? link.Command2_Click() : link.Command1_Click(); }

    // The radio answers every request written since the last call, one at a time.
    void Pump()
    {
        while (answered < control.writes.size()) {
            const QByteArray request = control.writes.at(answered++);
            if (silentTo.isEmpty() || !request.startsWith(silentTo))
                control.Deliver(radio.Answer(request));
        }
    }

    // A press that runs until the radio leaves a request starting with silent
    // unanswered; returns that request.
    QByteArray RunUntilSilent(bool write, const QByteArray &silent)
    {
        silentTo = silent;
        Press(write);
        Pump();
        return control.writes.isEmpty() ? QByteArray() : control.writes.constLast();
    }
};

// What befalls an unanswered request: T the timer expires, R a repeat reply
// (too short to be noticed while a block is awaited), B a block reply for
// block 1, P the cable is pulled, X the port refuses writes from now on, O it
// refuses to open, A the radio answers one copy after all, N the operator
// presses again, Q the radio answers one copy while the band question is
// open, D the clock moves on 500 ms, K a late acknowledgement comes for the
// frame just sent, which the radio lost.
void Befall(LinkWorld &w, char event, const QByteArray &request, bool write)
{
    switch (event) {
    case 'T': QVERIFY(w.timer.Fire()); break;
    case 'R': w.control.Deliver("\x0A"); break;
    case 'B': w.control.Deliver(w.radio.Answer(BlockHeader('R', 1))); break;
    case 'P': w.control.Pull(); break;
    case 'X': w.control.refuseWrites = true; break;
    case 'A': w.control.Deliver(w.radio.Answer(request)); break;
    case 'O': w.control.openFailure = QStringLiteral("in use"); break;
    case 'N': w.Press(write); break;
    case 'D': w.timer.now += 500; break;
    case 'K': w.control.Deliver("\x06"); break;
    case 'Q': w.op.onGetDataByShow = [&w, request] { w.control.Deliver(w.radio.Answer(request)); }; break;
    }
}

} // namespace

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
    void owedAnswers_data();
    void owedAnswers();
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
    QSignalSpy activity(&w.link, &RadioLink::Activity);
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
    // Block 4 is read back before anything is written.
    QList<QByteArray> requests{"PROGRAM", "\x02", BlockHeader('R', 0), BlockHeader('R', 1), BlockHeader('R', 2),
                               BlockHeader('R', 4)};
    QCOMPARE(sentBeforeFields, requests.size());
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockFrame('W', block, expected));
    // Every block written is read back before "END".
    for (int block = 0; block <= 4; ++block)
        requests.append(BlockHeader('R', block));
    QCOMPARE(w.control.writes, requests << "END");
    QCOMPARE(w.timer.armed, QList<int>{1500} + QList<int>(16, 300));
    QCOMPARE(bandAsked, qint16(200));
    QCOMPARE(w.op.texts, QStringList{"Write Complete!"});
    QVERIFY(!w.control.PortOpen());

    QStringList shown; // kind letter, then block: place of count
    for (const QList<QVariant> &args : activity) {
        const auto a = args.at(0).value<LinkActivity>();
        shown << QString("PIRWCE").at(int(a.kind)) + (a.block < 0 ? QString() : QString("%1:%2/%3").arg(a.block).arg(a.ordinal).arg(a.count));
    }
    QCOMPARE(shown.join(' '), "P I R0:1/4 R1:2/4 R2:3/4 R4:4/4 W0:1/5 W1:2/5 W2:3/5 W3:4/5 W4:5/5 "
                              "C0:1/5 C1:2/5 C2:3/5 C3:4/5 C4:5/5 E");
    QCOMPARE(finished.size(), 1);
    const auto result = finished.at(0).at(0).value<OperationResult>();
    QVERIFY(result.success && result.Verified() && result.kind == Operation::Write);
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
    QCOMPARE(w.control.writes.size(), texts.size() == 2 ? 2 : 17);
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
    w.control.Deliver(reply);
    QCOMPARE(w.link.SeqState() != step, taken);
}

void TestLink::disturbed_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("silentTo");
    QTest::addColumn<QString>("events"); // what befalls the unanswered request, in turn
    QTest::addColumn<int>("sends");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<Failure>("why");
    QTest::addColumn<QString>("detail"); // a part of the last box's detailed text

    QTest::newRow("read, PROGRAM unanswered")
        << false << QByteArray("PROGRAM") << "TTT" << 3 << "Read Failure!" << Failure::NoAnswer
        << "did not answer the request to enter programming mode (PROGRAM) on COM3.";
    QTest::newRow("read, END unanswered") << false << QByteArray("END") << "TTT" << 3 << "Read Complete!"
                                          << Failure::None << QString();
    QTest::newRow("write, block 4 re-read unanswered") << true << BlockHeader('R', 4) << "TTT" << 3 << "Write Failure!"
                                                       << Failure::NoAnswer << "the read of block 4";
    QTest::newRow("write, block 2 unanswered")
        << true << BlockHeader('W', 2) << "TTT" << 3 << "Write Failure!" << Failure::NoAnswer
        << "the write of block 2 on COM3. Check that the radio is switched on and within reach of the cable, that the "
           "cable is seated firmly at both ends, and that COM3 is the port the cable is on.\nThe radio acknowledged "
           "the new band and password (not read back to check). The radio did not confirm the new dealer code, stock "
           "date, sell date and seller. Write again once the radio answers.";
    QTest::newRow("write, read-back of block 3 unanswered")
        << true << BlockHeader('R', 3) << "TTT" << 3 << "Write Failure!" << Failure::NoAnswer
        << "the read-back of block 3 on COM3. Check that the radio is switched on and within reach of the cable, that "
           "the cable is seated firmly at both ends, and that COM3 is the port the cable is on.\nReading back showed "
           "the new band, password and dealer code in the radio. The radio acknowledged the new stock date, sell date "
           "and seller (not read back to check). Write again";
    // A repeat reply is an expiry come early: it counts towards the three sends.
    QTest::newRow("write, PROGRAM repeats") << true << QByteArray("PROGRAM") << "RTR" << 3 << "Write Failure!"
                                            << Failure::RepeatAsked << "answered the request to enter programming "
                                                                       "mode (PROGRAM) on COM3 only by asking for it again";
    // Too short to be noticed while a block is awaited, a repeat reply is found at the resend.
    QTest::newRow("read, block 6 repeats") << false << BlockHeader('R', 6) << "RTRTRT" << 3 << "Read Failure!"
                                           << Failure::RepeatAsked << "answered the read of block 6 on COM3 only by";
    QTest::newRow("read, block 3 answered with block 1") << false << BlockHeader('R', 3) << "BTBTBT" << 3
                                                         << "Read Failure!" << Failure::WrongBlock
                                                         << "answered the read of block 3 on COM3 with block 1.";
    QTest::newRow("write, block in place of ack") << true << BlockHeader('W', 1) << "BTTT" << 3 << "Write Failure!"
                                                  << Failure::BadReply << "answers to the write of block 1 on COM3 "
                                                                          "did not check out";
    // Pulled once while a reply is awaited, and once more when nothing runs.
    QTest::newRow("read, cable pulled at block 5") << false << BlockHeader('R', 5) << "PP" << 1 << "Read Failure!"
                                                   << Failure::PortLost << "The serial port was lost";
    QTest::newRow("read, identify resend refused") << false << QByteArray("\x02") << "XT" << 1 << "Read Failure!"
                                                   << Failure::PortRefused << QString();
    QTest::newRow("write, block 3 refused") << true << BlockHeader('W', 2) << "XA" << 1 << "Write Failure!"
                                            << Failure::PortRefused
                                            << "did not accept the data.\nThe radio acknowledged the new band, "
                                               "password and dealer code (not read back to check). The radio did not "
                                               "confirm the new stock date";
    QTest::newRow("read, press refused") << false << QByteArray("PROGRAM") << "XN" << 1 << "Read Failure!"
                                         << Failure::PortRefused << QString();
    QTest::newRow("read, open fails") << false << BlockHeader('R', 1) << "ON" << 1 << "Cannot Open Communication Port."
                                      << Failure::PortNotOpened << QString();
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

    LinkWorld w;
    QSignalSpy finished(&w.link, &RadioLink::Finished);
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
    QCOMPARE(w.timer.armed.mid(armed - 1, sends), QList<int>(sends, interval));
    QCOMPARE(w.op.texts, QStringList{ending});
    QVERIFY2(w.details.constLast().contains(detail), qPrintable(w.details.constLast()));
    QVERIFY(!w.timer.Fire());
    // Ended whichever way, the port and its lock are let go.
    QVERIFY(!w.control.PortOpen());
    // One result per press that started an operation; a read that a press abandoned shows no box.
    const auto result = finished.constLast().at(0).value<OperationResult>();
    QCOMPARE(result.failure, why);
    QCOMPARE(result.message + '|' + result.detail, ending + '|' + w.details.constLast());
    QCOMPARE(result.portNo, 3);
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

void TestLink::owedAnswers_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("late"); // the request the radio answers only when told
    QTest::addColumn<QString>("events");
    QTest::addColumn<QList<int>>("sent"); // frames sent since the late request's first copy, after each event
    QTest::addColumn<QList<int>>("armed"); // the timer's intervals since that copy: resends, holds, next frames
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("detail");

    const QByteArray write1 = BlockHeader('W', 1);
    // The second acknowledgement is the resent copy's, not block 2's.
    QTest::newRow("block 2 waits for the resent block 1's acknowledgement")
        << true << write1 << "TAA" << QList<int>{1, 1, 2} << QList<int>{300, 300, 350, 300} << "Write Complete!"
        << QString();
    // A copy lost on the line is never answered: the radio answered the
    // resent copy at once, so the hold is a window and a margin after that answer.
    QTest::newRow("block 1 lost once: block 2 350 ms after its acknowledgement")
        << true << write1 << "TAT" << QList<int>{1, 1, 2} << QList<int>{300, 300, 350, 300} << "Write Complete!"
        << QString();
    QTest::newRow("first PROGRAM lost: identification 1550 ms after the acknowledgement")
        << false << QByteArray("PROGRAM") << "TAT" << QList<int>{1, 1, 2} << QList<int>{1500, 1500, 1550, 300}
        << "Read Complete!" << QString();
    // 600 ms for the first copy; the second's answer, taken as the second
    // copy's, took 800: the hold grows to match.
    QTest::newRow("a slower answer lengthens the hold")
        << true << write1 << "TTADAT" << QList<int>{1, 2, 2, 2, 2, 3} << QList<int>{300, 300, 300, 650, 350, 300}
        << "Write Complete!" << QString();
    QTest::newRow("read-back waits for the resent block 4's acknowledgements")
        << true << BlockHeader('W', 4) << "TTAAA" << QList<int>{1, 2, 2, 2, 3} << QList<int>{300, 300, 300, 650, 650, 300}
        << "Write Complete!" << QString();
    QTest::newRow("owed re-read answer during the band question: no wait")
        << true << BlockHeader('R', 4) << "TQA" << QList<int>{1, 1, 2} << QList<int>{300, 300, 300} << "Write Complete!"
        << QString();
    QTest::newRow("0A to a block read answered its copy: no wait")
        << false << BlockHeader('R', 3) << "RTA" << QList<int>{0, 1, 2} << QList<int>{300, 300, 300} << "Read Complete!"
        << QString();
    // Later than any hold, the first copy's acknowledgement passes for the
    // next block's, which the radio lost: the read-back finds it and writes it again.
    QTest::newRow("late acknowledgement passes for the lost block 2's")
        << true << write1 << "TATK" << QList<int>{1, 1, 2, 3} << QList<int>{300, 300, 350, 300, 300} << "Write Complete!"
        << QString();
    QTest::newRow("cable pulled while an acknowledgement is owed")
        << true << write1 << "TAP" << QList<int>{1, 1, 1} << QList<int>{300, 300, 350} << "Write Failure!"
        << "The radio acknowledged the new band and password (not read back to check).";
}

void TestLink::owedAnswers()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, late);
    QFETCH(QString, events);
    QFETCH(QList<int>, sent);
    QFETCH(QList<int>, armed);
    QFETCH(QString, ending);
    QFETCH(QString, detail);

    LinkWorld w;
    const QByteArray request = w.RunUntilSilent(write, late);
    QVERIFY(request.startsWith(late));
    const qsizetype first = w.control.writes.size();
    const qsizetype firstArmed = w.timer.armed.size() - 1;
    QList<int> counts;
    for (const QChar event : events) {
        Befall(w, event.toLatin1(), request, write);
        counts.append(int(w.control.writes.size() - first));
    }
    QCOMPARE(counts, sent);
    QCOMPARE(w.timer.armed.mid(firstArmed), armed);

    // From here on the radio answers at once, the frame the events led to included.
    w.silentTo.clear();
    w.answered = w.control.writes.size() - (w.control.writes.constLast() == request ? 0 : 1);
    w.Pump();
    // A block written again is read back once no late answer to its earlier reads can come.
    while (w.op.texts.isEmpty() && w.timer.Fire())
        w.Pump();
    QCOMPARE(w.op.texts, QStringList{ending});
    QVERIFY2(w.details.constLast().contains(detail), qPrintable(w.details.constLast()));
    // Every write frame of a block carries what the write meant for it: the radio holds it.
    for (const QByteArray &frame : w.control.writes) {
        if (ending == "Write Complete!" && frame.startsWith('W'))
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(w.radio.image.data()) + 32 * frame.at(4), 32),
                     frame.mid(5, 32));
    }
    if (ending == "Read Complete!")
        QCOMPARE(w.image, w.radio.image);
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
