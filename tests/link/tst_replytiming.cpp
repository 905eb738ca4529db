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

using Matcher = std::function<bool(const QByteArray &)>;

Matcher Is(const QByteArray &request)
{
    return [request](const QByteArray &r) { return r == request; };
}

Matcher IsRead(int block)
{
    return Is(QByteArray("R\x08\x00\x20", 4) + char(block));
}

Matcher IsWrite(int block)
{
    return [block](const QByteArray &r) { return r.size() == 38 && r.at(0) == 'W' && r.at(4) == block; };
}

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
    void pressDuringOperationRestarts();
    void openFailureStopsAbandonedTimer();
    void serialFailure_data();
    void serialFailure();

private:
    std::unique_ptr<LinkWorld> m_world;
};

void TestReplyTiming::unansweredRequest_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<Matcher>("silentTo");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("ending");

    QTest::newRow("read, PROGRAM") << false << Is(Program) << 1500 << "Read Failure!";
    QTest::newRow("read, identify") << false << Is("\x02") << 300 << "Read Failure!";
    QTest::newRow("read, block 6") << false << IsRead(6) << 300 << "Read Failure!";
    QTest::newRow("read, END still succeeds") << false << Is(End) << 300 << "Read Complete!";
    QTest::newRow("write, PROGRAM") << true << Is(Program) << 1500 << "Write Failure!";
    QTest::newRow("write, re-read of block 4") << true << IsRead(4) << 300 << "Write Failure!";
    QTest::newRow("write, block 2") << true << IsWrite(2) << 300 << "Write Failure!";
    QTest::newRow("write, END still succeeds") << true << Is(End) << 300 << "Write Complete!";
}

void TestReplyTiming::unansweredRequest()
{
    QFETCH(bool, write);
    QFETCH(Matcher, silentTo);
    QFETCH(int, interval);
    QFETCH(QString, ending);

    LinkWorld &w = *m_world;
    w.SilenceTo(silentTo);
    w.Press(write);
    w.Pump();
    const qsizetype sent = w.control.writes.size();
    const qsizetype armed = w.timer.armed.size();
    QVERIFY(silentTo(w.control.LastWrite()));

    QVERIFY(w.timer.Fire());
    QVERIFY(w.timer.Fire());
    QVERIFY(w.op.messages.isEmpty());
    QVERIFY(w.timer.Fire());

    // Three transmissions, each waiting the full interval afresh.
    QCOMPARE(w.control.writes.mid(sent - 1), QList<QByteArray>(3, w.control.writes.at(sent - 1)));
    QCOMPARE(w.timer.armed.mid(armed - 1), QList<int>(3, interval));
    QCOMPARE(w.op.texts(), QStringList{ending});
    QVERIFY(!w.timer.Enabled());
    // A failure keeps the port open and the operation's marks; success clears them.
    const bool failed = ending.contains(QLatin1String("Failure"));
    QCOMPARE(w.control.PortOpen(), failed);
    QCOMPARE(w.link.OpKind(), failed ? (write ? Operation::Write : Operation::Read) : Operation::None);
    QVERIFY(w.PressAgainCompletes(write));
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
        if (r != request || ++seen > repeats + expiries)
            return std::nullopt;
        return seen <= repeats ? Repeat : QByteArray();
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

    const QByteArray block = TestRadio().BlockReply(0);
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
    w.SilenceTo(IsRead(0));
    w.link.Command1_Click();
    w.Pump();
    QCOMPARE(w.link.SeqState(), Step::Block0);
    const qsizetype sent = w.control.writes.size();

    for (const QByteArray &piece : pieces)
        w.control.Deliver(piece);

    QCOMPARE(w.link.SeqState(), stepped ? Step::Block1 : Step::Block0);
    QCOMPARE(w.control.writes.size(), sent + (stepped ? 1 : 0));
    if (!stepped) {
        // The expiry resends into an emptied buffer, and a good reply then moves on.
        QVERIFY(w.timer.Fire());
        QVERIFY(IsRead(0)(w.control.LastWrite()));
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
        return IsWrite(1)(r) ? std::optional<QByteArray>(w.radio.BlockReply(1)) : std::nullopt;
    };
    w.link.Command2_Click();
    w.Pump();
    QVERIFY(IsWrite(1)(w.control.LastWrite()));
    QCOMPARE(w.link.SeqState(), Step::Blocks);
    w.SilenceTo([](const QByteArray &) { return true; });
    while (w.timer.Fire())
        w.Pump();
    QCOMPARE(w.op.texts(), QStringList{"Write Failure!"});

    // After the failure the port stays open; what still arrives is read and dropped.
    const qsizetype sent = w.control.writes.size();
    w.control.Deliver(Ack);
    w.control.Deliver(Repeat);
    QCOMPARE(w.control.writes.size(), sent);
    QCOMPARE(w.op.messages.size(), 1);
    QVERIFY(w.control.Input().isEmpty());

    // Nor does anything arriving while a box is open move the sequence on.
    w.op.onMessage = [&](const ScriptedOperator::Message &) {
        w.control.Deliver(Ack);
        w.control.Deliver(Repeat);
    };
    QVERIFY(w.PressAgainCompletes(false));
    QCOMPARE(w.control.writes.size(), sent + 11);
}

void TestReplyTiming::pressDuringOperationRestarts()
{
    LinkWorld &w = *m_world;
    w.SilenceTo(IsRead(1));
    w.link.Command1_Click();
    w.Pump();
    QVERIFY(w.timer.Fire());
    QCOMPARE(w.link.transport().ResendCount(), qint16(1));

    // No END for the abandoned read: the write's dialogue follows directly.
    const qsizetype sent = w.control.writes.size();
    QVERIFY(w.PressAgainCompletes(true));
    QCOMPARE(w.control.openedPorts.size(), 2);
    QCOMPARE(w.control.writes.at(sent), Program);
    QCOMPARE(w.timer.armed.at(sent), 1500);
    QCOMPARE(w.control.writes.size(), sent + 12);
}

void TestReplyTiming::openFailureStopsAbandonedTimer()
{
    LinkWorld &w = *m_world;
    w.SilenceTo([](const QByteArray &) { return true; });
    w.link.Command1_Click();
    QVERIFY(w.timer.Enabled());

    w.control.Close();
    w.control.openFailure = QStringLiteral("COM3 is held by another program.");
    const qsizetype sent = w.control.writes.size();
    w.link.Command1_Click();

    QCOMPARE(w.op.texts(), QStringList{"Cannot Open Communication Port."});
    QCOMPARE(w.op.messages.first().icon, Operator::Icon::Critical);
    QCOMPARE(w.op.messages.first().detail, w.control.openFailure);
    QCOMPARE(w.link.OpKind(), Operation::None);
    QVERIFY(!w.timer.Fire());
    QCOMPARE(w.control.writes.size(), sent);
}

void TestReplyTiming::serialFailure_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("answered");
    QTest::addColumn<QString>("failure");

    // The cable pulled while a request waits for its reply.
    QTest::newRow("pulled, awaiting PROGRAM ack") << false << 0 << "pull";
    QTest::newRow("pulled, awaiting block 5") << false << 7 << "pull";
    QTest::newRow("pulled, awaiting re-read of block 4") << true << 5 << "pull";
    QTest::newRow("pulled, awaiting END ack") << true << 11 << "pull";
    // Nothing is awaited while the operator answers the band question; the
    // loss shows when the first block cannot be sent.
    QTest::newRow("pulled during the band question") << true << 6 << "pull in band question";
    // The serial layer refusing to send a request, or to send it again.
    QTest::newRow("refused, PROGRAM") << false << -1 << "refuse";
    QTest::newRow("refused, block 3 read") << false << 5 << "refuse";
    QTest::newRow("refused, block 3 write") << true << 9 << "refuse";
    QTest::newRow("refused, resend of identify") << false << 1 << "refuse resend";
}

void TestReplyTiming::serialFailure()
{
    QFETCH(bool, write);
    QFETCH(int, answered);
    QFETCH(QString, failure);

    LinkWorld &w = *m_world;
    // The radio answers the first `answered` requests, then falls silent.
    w.radio.script = [&](const QByteArray &) -> std::optional<QByteArray> {
        const qsizetype request = w.control.writes.size();
        if (request == answered && failure == QLatin1String("refuse"))
            w.control.refuseWrites = true;
        return request <= answered ? std::nullopt : std::optional<QByteArray>(QByteArray());
    };
    w.control.refuseWrites = answered < 0;
    if (failure == QLatin1String("pull in band question")) {
        w.radio.script = nullptr;
        w.op.onGetDataByShow = [&] { w.control.Pull(); };
    }
    w.Press(write);
    w.Pump();
    if (failure == QLatin1String("pull")) {
        QCOMPARE(w.control.writes.size(), answered + 1);
        w.control.Pull();
    } else if (failure == QLatin1String("refuse resend")) {
        w.control.refuseWrites = true;
        QVERIFY(w.timer.Fire());
    }

    QCOMPARE(w.op.texts(), QStringList{write ? "Write Failure!" : "Read Failure!"});
    QVERIFY(!w.op.messages.first().detail.isEmpty());
    QVERIFY(!w.timer.Fire());
    QVERIFY(w.link.transport().ReplyHandled());
    QVERIFY(!w.control.PortOpen());

    // Pulled again while nothing runs: not a word.
    w.control.Pull();
    QCOMPARE(w.op.messages.size(), 1);
    w.op.onGetDataByShow = nullptr;
    QVERIFY(w.PressAgainCompletes(write));
}

QTEST_GUILESS_MAIN(TestReplyTiming)
#include "tst_replytiming.moc"
