// What happens when the radio is silent, asks for repeats, answers wrongly
// or late, when the operator presses again, and when the port fails.

#include "linkworld.h"

#include <QTest>

using namespace kelvra;

namespace {

const QByteArray Program("PROGRAM");
const QByteArray End("END");
const QByteArray Ack(1, 0x06);
const QByteArray Repeat(1, 0x0A);

bool IsRead(const QByteArray &request, int block)
{
    return request == QByteArray("R\x08\x00\x20", 4) + char(block);
}

bool IsWrite(const QByteArray &request, int block)
{
    return request.size() == 38 && request.at(0) == 'W' && request.at(4) == block;
}

using Matcher = std::function<bool(const QByteArray &)>;

} // namespace

Q_DECLARE_METATYPE(Matcher)

class TestReplyTiming : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_world = std::make_unique<LinkWorld>(); }
    void cleanup() { QCOMPARE(m_world->boxesWhileWaiting, 0); }

    void unansweredRequest_data();
    void unansweredRequest();
    void repeatReply_data();
    void repeatReply();
    void replyOddities_data();
    void replyOddities();
    void bytesWhileNothingAwaitedAreDropped();
    void pressAfterFailureWorks();
    void pressDuringOperationRestarts();
    void openFailureStopsAbandonedTimer();
    void portLost_data();
    void portLost();
    void portLostDuringBandQuestion();
    void writeRefused_data();
    void writeRefused();

private:
    std::unique_ptr<LinkWorld> m_world;
};

void TestReplyTiming::unansweredRequest_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<Matcher>("silentTo");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("ending");

    const Matcher program = [](const QByteArray &r) { return r == Program; };
    const Matcher end = [](const QByteArray &r) { return r == End; };
    QTest::newRow("read, PROGRAM") << false << program << 1500 << "Read Failure!";
    QTest::newRow("read, identify") << false << Matcher([](const QByteArray &r) { return r == "\x02"; }) << 300
                                    << "Read Failure!";
    QTest::newRow("read, block 6") << false << Matcher([](const QByteArray &r) { return IsRead(r, 6); }) << 300
                                   << "Read Failure!";
    QTest::newRow("read, END still succeeds") << false << end << 300 << "Read Complete!";
    QTest::newRow("write, PROGRAM") << true << program << 1500 << "Write Failure!";
    QTest::newRow("write, re-read of block 4")
        << true << Matcher([](const QByteArray &r) { return IsRead(r, 4); }) << 300 << "Write Failure!";
    QTest::newRow("write, block 2") << true << Matcher([](const QByteArray &r) { return IsWrite(r, 2); }) << 300
                                    << "Write Failure!";
    QTest::newRow("write, END still succeeds") << true << end << 300 << "Write Complete!";
}

void TestReplyTiming::unansweredRequest()
{
    QFETCH(bool, write);
    QFETCH(Matcher, silentTo);
    QFETCH(int, interval);
    QFETCH(QString, ending);

    LinkWorld &w = *m_world;
    w.radio.script = [&](const QByteArray &r) -> std::optional<QByteArray> {
        return silentTo(r) ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    };
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    w.Pump();
    const int before = int(w.control.writes.size());
    const int armedBefore = int(w.timer.armed.size());
    QVERIFY(silentTo(w.control.LastWrite()));

    QVERIFY(w.op.messages.isEmpty());
    QVERIFY(w.timer.Fire());
    QVERIFY(w.timer.Fire());
    QVERIFY(w.op.messages.isEmpty());
    QVERIFY(w.timer.Fire());

    // Three transmissions, each waiting the full interval afresh.
    QCOMPARE(w.control.writes.size(), before + 2);
    QCOMPARE(w.control.writes.mid(before - 1), QList<QByteArray>(3, w.control.writes.at(before - 1)));
    QCOMPARE(w.timer.armed.mid(armedBefore - 1), QList<int>(3, interval));
    QCOMPARE(w.op.texts(), QStringList{ending});
    QVERIFY(!w.timer.Enabled());
    const bool failed = ending.contains(QLatin1String("Failure"));
    // A failure keeps the port open and the operation's marks; success clears them.
    QCOMPARE(w.control.PortOpen(), failed);
    QCOMPARE(w.link.OpKind(), failed ? (write ? Operation::Write : Operation::Read) : Operation::None);
}

void TestReplyTiming::repeatReply_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<int>("expiries");
    QTest::addColumn<int>("transmissions");
    QTest::addColumn<QString>("ending");

    // A repeat counts as one expiry: two of them and one silence use up the
    // frame. (Only one-byte replies are awaited with a threshold a lone repeat meets.)
    QTest::newRow("PROGRAM, one repeat") << Program << 1 << 0 << 2 << "Read Complete!";
    QTest::newRow("PROGRAM, two repeats") << Program << 2 << 0 << 3 << "Read Complete!";
    QTest::newRow("PROGRAM, repeat then silence twice") << Program << 1 << 2 << 3 << "Read Failure!";
    QTest::newRow("PROGRAM, repeat on third transmission") << Program << 3 << 0 << 3 << "Read Failure!";
    QTest::newRow("END, repeat on third transmission") << End << 3 << 0 << 3 << "Read Complete!";
}

void TestReplyTiming::repeatReply()
{
    QFETCH(QByteArray, request);
    QFETCH(int, repeats);
    QFETCH(int, expiries);
    QFETCH(int, transmissions);
    QFETCH(QString, ending);

    LinkWorld &w = *m_world;
    int seen = 0;
    w.radio.script = [&](const QByteArray &r) -> std::optional<QByteArray> {
        if (r != request)
            return std::nullopt;
        ++seen;
        if (seen <= repeats)
            return Repeat;
        if (seen <= repeats + expiries)
            return QByteArray();
        return std::nullopt;
    };
    w.link.Command1_Click();
    w.Pump();
    for (int i = 0; i < expiries; ++i) {
        QVERIFY(w.timer.Fire());
        w.Pump();
    }

    QCOMPARE(seen, transmissions);
    QCOMPARE(w.op.texts(), QStringList{ending});
    QVERIFY(!w.timer.Enabled());
}

void TestReplyTiming::replyOddities_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<bool>("stepped");

    TestRadio radio;
    const QByteArray block = radio.BlockReply(0);
    QTest::newRow("block in one piece") << QList<QByteArray>{block} << true;
    QTest::newRow("block split in two reads") << QList<QByteArray>{block.left(20), block.mid(20)} << true;
    QTest::newRow("block one byte long") << QList<QByteArray>{block + '\x06'} << false;
    QTest::newRow("block one byte short") << QList<QByteArray>{block.left(37)} << false;
    QTest::newRow("stray byte ahead of block") << QList<QByteArray>{"\x06" + block.left(37), block.mid(37)}
                                               << false;
    QTest::newRow("ack in place of block") << QList<QByteArray>{Ack} << false;
}

void TestReplyTiming::replyOddities()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(bool, stepped);

    LinkWorld &w = *m_world;
    w.radio.script = [](const QByteArray &r) -> std::optional<QByteArray> {
        return IsRead(r, 0) ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    };
    w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.link.SeqState(), Step::Block0);
    const int before = int(w.control.writes.size());

    for (const QByteArray &piece : pieces)
        w.control.Deliver(piece);

    QCOMPARE(w.link.SeqState(), stepped ? Step::Block1 : Step::Block0);
    QCOMPARE(w.control.writes.size(), before + (stepped ? 1 : 0));
    if (!stepped) {
        // The expiry resends the request into an emptied buffer, and a good
        // reply then moves on.
        QVERIFY(w.timer.Fire());
        QCOMPARE(w.control.LastWrite(), w.control.writes.at(before - 1));
        w.radio.script = nullptr;
        w.answered = int(w.control.writes.size()) - 1;
        w.Pump();
        QCOMPARE(w.op.texts(), QStringList{"Read Complete!"});
    }
}

void TestReplyTiming::bytesWhileNothingAwaitedAreDropped()
{
    LinkWorld &w = *m_world;
    // A block sent back where a write expects its acknowledgement is not one.
    w.radio.script = [&](const QByteArray &r) -> std::optional<QByteArray> {
        return IsWrite(r, 1) ? std::optional<QByteArray>(w.radio.BlockReply(1)) : std::nullopt;
    };
    w.link.Command2_Click();
    w.Pump();
    QVERIFY(IsWrite(w.control.LastWrite(), 1));
    QCOMPARE(w.link.SeqState(), Step::Blocks);

    w.radio.script = [](const QByteArray &) { return std::optional<QByteArray>(QByteArray()); };
    w.FireUntilIdle();
    QCOMPARE(w.op.texts(), QStringList{"Write Failure!"});

    // After the failure the port stays open; what still arrives is read and dropped.
    const qsizetype writes = w.control.writes.size();
    w.control.Deliver(Ack);
    w.control.Deliver(Repeat);
    QCOMPARE(w.control.writes.size(), writes);
    QCOMPARE(w.op.messages.size(), 1);
    QVERIFY(w.control.Input().isEmpty());

    // Nor does anything arriving while a box is open move the sequence on.
    w.op.messages.clear();
    w.radio.script = nullptr;
    w.op.onMessage = [&](const ScriptedOperator::Message &) {
        w.control.Deliver(Ack);
        w.control.Deliver(Repeat);
    };
    w.answered = int(w.control.writes.size());
    w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.op.texts(), QStringList{"Read Complete!"});
    QCOMPARE(w.control.writes.size(), writes + 11);
}

void TestReplyTiming::pressAfterFailureWorks()
{
    LinkWorld &w = *m_world;
    w.radio.script = [](const QByteArray &) { return std::optional<QByteArray>(QByteArray()); };
    w.link.Command1_Click();
    QCOMPARE(w.FireUntilIdle(), 3);
    QCOMPARE(w.op.texts(), QStringList{"Read Failure!"});

    w.radio.script = nullptr;
    w.answered = int(w.control.writes.size());
    w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.op.texts(), QStringList({"Read Failure!", "Read Complete!"}));
    QCOMPARE(w.control.openedPorts.size(), 2);
}

void TestReplyTiming::pressDuringOperationRestarts()
{
    LinkWorld &w = *m_world;
    w.radio.script = [](const QByteArray &r) -> std::optional<QByteArray> {
        return IsRead(r, 1) ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    };
    w.link.Command1_Click();
    w.Pump();
    QVERIFY(w.timer.Fire());
    QCOMPARE(w.link.transport().ResendCount(), qint16(1));

    const qsizetype writes = w.control.writes.size();
    w.radio.script = nullptr;
    w.answered = int(writes) + 1;
    w.link.Command2_Click();
    QCOMPARE(w.control.openedPorts.size(), 2);
    QCOMPARE(w.control.LastWrite(), Program);
    QCOMPARE(w.timer.armed.last(), 1500);
    QCOMPARE(w.link.transport().ResendCount(), qint16(0));
    QCOMPARE(w.link.BlockAddress(), -32);
    w.answered = int(writes);
    w.Pump();
    // No END for the abandoned read: the write's dialogue follows directly.
    QCOMPARE(w.control.writes.size(), writes + 12);
    QCOMPARE(w.op.texts(), QStringList{"Write Complete!"});
}

void TestReplyTiming::openFailureStopsAbandonedTimer()
{
    LinkWorld &w = *m_world;
    w.radio.script = [](const QByteArray &) { return std::optional<QByteArray>(QByteArray()); };
    w.link.Command1_Click();
    QVERIFY(w.timer.Enabled());

    w.control.Close();
    w.control.openFailure = QStringLiteral("COM3 is held by another program.");
    const qsizetype writes = w.control.writes.size();
    w.link.Command1_Click();

    QCOMPARE(w.op.messages.size(), 1);
    QCOMPARE(w.op.messages.first().text, QStringLiteral("Cannot Open Communication Port."));
    QCOMPARE(w.op.messages.first().icon, Operator::Icon::Critical);
    QCOMPARE(w.op.messages.first().detail, w.control.openFailure);
    QCOMPARE(w.link.OpKind(), Operation::None);
    QVERIFY(!w.timer.Fire());
    QCOMPARE(w.control.writes.size(), writes);
}

void TestReplyTiming::portLost_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("answeredBeforePull");

    QTest::newRow("read, awaiting PROGRAM ack") << false << 0;
    QTest::newRow("read, awaiting block 5") << false << 7;
    QTest::newRow("write, awaiting re-read of block 4") << true << 5;
    QTest::newRow("write, awaiting ack of block 3") << true << 9;
    QTest::newRow("write, awaiting END ack") << true << 11;
}

void TestReplyTiming::portLost()
{
    QFETCH(bool, write);
    QFETCH(int, answeredBeforePull);

    LinkWorld &w = *m_world;
    int answers = 0;
    w.radio.script = [&](const QByteArray &) -> std::optional<QByteArray> {
        return answers++ < answeredBeforePull ? std::nullopt : std::optional<QByteArray>(QByteArray());
    };
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.control.writes.size(), answeredBeforePull + 1);

    w.control.Pull();
    const QString failure = write ? QStringLiteral("Write Failure!") : QStringLiteral("Read Failure!");
    QCOMPARE(w.op.texts(), QStringList{failure});
    QVERIFY(!w.op.messages.first().detail.isEmpty());
    QVERIFY(!w.timer.Fire());
    QVERIFY(w.link.transport().ReplyHandled());

    // Pulled again while nothing runs: not a word.
    w.control.Pull();
    QCOMPARE(w.op.messages.size(), 1);

    w.radio.script = nullptr;
    w.answered = int(w.control.writes.size());
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.op.texts().last(), write ? QStringLiteral("Write Complete!") : QStringLiteral("Read Complete!"));
}

void TestReplyTiming::portLostDuringBandQuestion()
{
    LinkWorld &w = *m_world;
    w.op.onGetDataByShow = [&] { w.control.Pull(); };
    w.link.Command2_Click();
    w.Pump();

    QCOMPARE(w.op.texts(), QStringList{"Write Failure!"});
    QVERIFY(w.radio.blocksWritten.isEmpty());
    QVERIFY(!w.timer.Enabled());
}

void TestReplyTiming::writeRefused_data()
{
    QTest::addColumn<int>("refuseAfter");
    QTest::addColumn<bool>("onResend");

    QTest::newRow("PROGRAM") << 0 << false;
    QTest::newRow("block 3 read") << 5 << false;
    QTest::newRow("resend of block 3 read") << 5 << true;
    QTest::newRow("END") << 10 << false;
}

void TestReplyTiming::writeRefused()
{
    QFETCH(int, refuseAfter);
    QFETCH(bool, onResend);

    LinkWorld &w = *m_world;
    // The serial layer fails right after the radio's answer to write number
    // refuseAfter, or while the next request is awaiting its resend.
    w.radio.script = [&](const QByteArray &) -> std::optional<QByteArray> {
        const qsizetype sent = w.control.writes.size();
        if (onResend && sent == refuseAfter + 1)
            return QByteArray();
        if (!onResend && sent == refuseAfter)
            w.control.refuseWrites = true;
        return std::nullopt;
    };
    if (refuseAfter == 0)
        w.control.refuseWrites = true;
    w.link.Command1_Click();
    w.Pump();
    if (onResend) {
        w.control.refuseWrites = true;
        QVERIFY(w.timer.Fire());
    }

    QCOMPARE(w.op.texts(), QStringList{"Read Failure!"});
    QVERIFY(!w.op.messages.first().detail.isEmpty());
    QVERIFY(!w.timer.Enabled());
    QVERIFY(w.link.transport().ReplyHandled());
    QVERIFY(!w.control.PortOpen());

    w.control.refuseWrites = false;
    w.radio.script = nullptr;
    w.answered = int(w.control.writes.size());
    w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.op.texts().last(), QStringLiteral("Read Complete!"));
}

QTEST_GUILESS_MAIN(TestReplyTiming)
#include "tst_replytiming.moc"
