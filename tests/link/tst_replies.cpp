// Which replies the link takes for the one it awaits; and a radio that falls
// silent, asks for repeats or answers out of turn, a port that fails: every
// such run ends in one box, and the next press works.

#include "linkworld.h"

using namespace kelvra;

class TestReplies : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void disturbed_data();
    void disturbed();
};

void TestReplies::replies_data()
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
    QTest::newRow("block fixed byte 1") << read0 << patched(block, 1, 0x09) << false;
    QTest::newRow("block fixed byte 2") << read0 << patched(block, 2, 0x01) << false;
    QTest::newRow("block fixed byte 3") << read0 << patched(block, 3, 0x21) << false;
    QTest::newRow("block checksum off") << read0 << patched(block, 37, char(block.at(37) + 1), false) << false;
    QTest::newRow("block last data byte off") << read0 << patched(block, 36, 0x55, false) << false;
    // Past the image's eight blocks, whether the number is read signed or not.
    QTest::newRow("block 8") << read0 << patched(block, 4, 8) << false;
    QTest::newRow("block 255") << read0 << patched(block, 4, char(0xFF)) << false;
}

void TestReplies::replies()
{
    QFETCH(QByteArray, awaiting);
    QFETCH(QByteArray, reply);
    QFETCH(bool, taken);

    LinkWorld w;
    w.silentTo = awaiting;
    w.Press(false);
    w.Pump();
    QVERIFY(w.control.writes.constLast().startsWith(awaiting));
    const Step step = w.link.SeqState();
    w.control.Deliver(reply);
    QCOMPARE(w.link.SeqState() != step, taken);
}

void TestReplies::disturbed_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("silentTo");
    // What befalls the unanswered request, in turn: T the timer expires, R a
    // repeat reply, B a block reply, P the cable is pulled, X the port refuses
    // writes from now on, O it refuses to open, A the radio answers after all,
    // N the operator presses again.
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("sends");
    QTest::addColumn<QString>("ending");

    QTest::newRow("read, PROGRAM unanswered") << false << QByteArray("PROGRAM") << "TTT" << 3 << "Read Failure!";
    QTest::newRow("read, block 6 unanswered") << false << BlockHeader('R', 6) << "TTT" << 3 << "Read Failure!";
    QTest::newRow("read, END unanswered") << false << QByteArray("END") << "TTT" << 3 << "Read Complete!";
    QTest::newRow("write, block 4 re-read unanswered") << true << BlockHeader('R', 4) << "TTT" << 3 << "Write Failure!";
    QTest::newRow("write, block 2 unanswered") << true << BlockHeader('W', 2) << "TTT" << 3 << "Write Failure!";
    // A repeat reply is an expiry come early: it counts towards the three sends.
    QTest::newRow("write, PROGRAM repeats") << true << QByteArray("PROGRAM") << "RTR" << 3 << "Write Failure!";
    QTest::newRow("read, END repeated thrice") << false << QByteArray("END") << "RRR" << 3 << "Read Complete!";
    QTest::newRow("write, block in place of ack") << true << BlockHeader('W', 1) << "BTTT" << 3 << "Write Failure!";
    // Pulled once while a reply is awaited, and once more when nothing runs.
    QTest::newRow("read, cable pulled at block 5") << false << BlockHeader('R', 5) << "PP" << 1 << "Read Failure!";
    QTest::newRow("read, identify resend refused") << false << QByteArray("\x02") << "XT" << 1 << "Read Failure!";
    QTest::newRow("write, block 3 refused") << true << BlockHeader('W', 2) << "XA" << 1 << "Write Failure!";
    QTest::newRow("read, press refused") << false << QByteArray("PROGRAM") << "XN" << 1 << "Read Failure!";
    QTest::newRow("read, open fails") << false << BlockHeader('R', 1) << "ON" << 1 << "Cannot Open Communication Port.";
}

void TestReplies::disturbed()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, silentTo);
    QFETCH(QString, events);
    QFETCH(int, sends);
    QFETCH(QString, ending);

    LinkWorld w;
    w.silentTo = silentTo;
    w.Press(write);
    w.Pump();
    const QByteArray request = w.control.writes.constLast();
    QVERIFY(request.startsWith(silentTo));
    const qsizetype sent = w.control.writes.size();
    const qsizetype armed = w.timer.armed.size();
    // The radio needs time to enter programming mode; every later reply is quick.
    const int interval = silentTo == "PROGRAM" ? 1500 : 300;

    for (const QChar event : events) {
        switch (event.toLatin1()) {
        case 'T': QVERIFY(w.timer.Fire()); break;
        case 'R': w.control.Deliver("\x0A"); break;
        case 'B': w.control.Deliver(w.radio.Answer(BlockHeader('R', 1))); break;
        case 'P': w.control.Pull(); break;
        case 'X': w.control.refuseWrites = true; break;
        case 'A': w.control.Deliver(w.radio.Answer(request)); break;
        case 'O': w.control.openFailure = QStringLiteral("in use"); break;
        case 'N': w.Press(write); break;
        }
    }
    // Whatever still arrives once it is over is read and dropped.
    w.control.Deliver("\x06");
    w.control.Deliver("\x0A");

    QCOMPARE(w.control.writes.mid(sent - 1), QList<QByteArray>(sends, request));
    QCOMPARE(w.timer.armed.mid(armed - 1, sends), QList<int>(sends, interval));
    QCOMPARE(w.op.texts, QStringList{ending});
    QVERIFY(!w.timer.Fire());
    // A failure leaves the port open, unless the port itself failed.
    const bool portFailed = events.contains(u'P') || events.contains(u'X');
    QCOMPARE(w.control.PortOpen(), ending.endsWith(QLatin1String("Failure!")) && !portFailed);
    QVERIFY(w.PressAgainCompletes(write));
}

QTEST_GUILESS_MAIN(TestReplies)
#include "tst_replies.moc"
