// After a request had to be sent again, the answers its copies still owe
// must not pass for the next request's: how long the next one is held back
// (as long as the radio showed it needs, on the manual clock), and what the
// read-back makes of an answer later than any hold.

#include "linkworld.h"

#include <QTest>

using namespace kelvra;
using namespace kelvra::testing;

class TestHold : public QObject
{
    Q_OBJECT

private slots:
    void owedAnswers_data();
    void owedAnswers();
};

void TestHold::owedAnswers_data()
{
    QTest::addColumn<bool>("write");
    // The request the radio answers only when told; each '+' after it spares one.
    QTest::addColumn<QByteArray>("late");
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
    // Bytes in at the expiry may begin a reply: the wait is stretched for its 38 bytes, then the read is resent.
    QTest::newRow("0A to a block read answered its copy: no wait")
        << false << BlockHeader('R', 3) << "RTTA" << QList<int>{0, 0, 1, 2} << QList<int>{300, 24, 300, 300}
        << "Read Complete!" << QString();
    // Its re-read sent twice, block 3 is read back only once the first copy's
    // answer, the block as it was and as written, can no longer pass for it.
    QTest::newRow("re-read answer 1.5 s late, block left as it was but stored wrongly")
        << true << BlockHeader('R', 3) << "MTAL" << QList<int>{0, 1, 1, 1} << QList<int>{300, 300, 350}
        << "Write Complete!" << QString();
    // Likewise the second read-back of a block written again.
    QTest::newRow("read-back answer 1.5 s late, showing the block stored wrongly")
        << true << BlockHeader('R', 3) + "+" << "FTAL" << QList<int>{0, 1, 1, 1} << QList<int>{300, 300, 350}
        << "Write Complete!" << QString();
    // Later than any hold, the first copy's acknowledgement passes for the
    // next block's, which the radio lost: the read-back finds it and writes it again.
    QTest::newRow("late acknowledgement passes for the lost block 2's")
        << true << write1 << "TATK" << QList<int>{1, 1, 2, 3} << QList<int>{300, 300, 350, 300, 300} << "Write Complete!"
        << QString();
    QTest::newRow("cable pulled while an acknowledgement is owed")
        << true << write1 << "TAP" << QList<int>{1, 1, 1} << QList<int>{300, 300, 350} << "Write Failure!"
        << "The radio acknowledged the new band and password (not read back to check).";
}

void TestHold::owedAnswers()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, late);
    QFETCH(QString, events);
    QFETCH(QList<int>, sent);
    QFETCH(QList<int>, armed);
    QFETCH(QString, ending);
    QFETCH(QString, detail);

    LinkWorld w;
    w.spared = int(late.count('+'));
    late.chop(w.spared);
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
    w.answered = w.control.writes.size() - (w.control.writes.constLast() == request ? 0 : 1);
    w.Finish();
    QCOMPARE(w.op.texts, QStringList{ending});
    if (detail.isEmpty())
        QCOMPARE(w.details.constLast(), QString());
    else
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

QTEST_GUILESS_MAIN(TestHold)
#include "tst_hold.moc"
