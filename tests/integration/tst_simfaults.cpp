// A misbehaving radio through the real serial control: each fault ends the
// way the operator should see it, within the real reply timer's bounds.

#include "simworld.h"

using namespace kelvra;
using radiosim::Fault;
using radiosim::FaultRule;
using radiosim::Request;

Q_DECLARE_METATYPE(QList<radiosim::FaultRule>)

class TestSimFaults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<SimWorld>();
        QVERIFY(m_world->Start());
    }
    void cleanup() { m_world.reset(); }

    void faults_data();
    void faults();
    void modelMismatchOnWrite();
    void hangUpMidOperation_data();
    void hangUpMidOperation();

private:
    std::unique_ptr<SimWorld> m_world;
};

void TestSimFaults::faults_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QList<FaultRule>>("rules");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QStringList>("texts");
    // Requests beyond the fault-free dialogue: the resends.
    QTest::addColumn<int>("extraRequests");

    const QByteArray uv("KR350UV");
    const QStringList readOk{"Read Complete!"};
    const QStringList writeOk{"Write Complete!"};
    auto rule = [](Fault fault, Request request, int times = 1, int value = -1) {
        return QList<FaultRule>{FaultRule{fault, request, times, value}};
    };

    QTest::newRow("identify one byte long") << false << rule(Fault::TooLong, Request::Identify) << uv << readOk << 1;
    QTest::newRow("block one byte short") << false << rule(Fault::TooShort, Request::ReadBlock) << uv << readOk << 1;
    QTest::newRow("block bad checksum") << false << rule(Fault::BadChecksum, Request::ReadBlock) << uv << readOk
                                        << 1;
    QTest::newRow("stray bytes before block") << false << rule(Fault::StrayBytes, Request::ReadBlock) << uv
                                              << readOk << 1;
    QTest::newRow("identify wrong lead") << false << rule(Fault::WrongLead, Request::Identify) << uv << readOk << 1;
    QTest::newRow("block names block 8") << false << rule(Fault::WrongBlock, Request::ReadBlock) << uv << readOk
                                         << 1;
    QTest::newRow("write ack asks for repeat") << true << rule(Fault::Repeat, Request::WriteBlock) << uv
                                               << writeOk << 1;
    QTest::newRow("END never acknowledged") << true << rule(Fault::Ignore, Request::End, -1) << uv << writeOk
                                            << 2;
    QTest::newRow("block never answered") << false << rule(Fault::Ignore, Request::ReadBlock, -1) << uv
                                          << QStringList{"Read Failure!"} << -6;
    QTest::newRow("unknown model")
        << false << QList<FaultRule>{} << QByteArray("KR999XX")
        << QStringList{"Model Error\r\nPC is KR999XX\r\nRadio is KR999XX", "Read Failure!"} << -9;
}

void TestSimFaults::faults()
{
    QFETCH(bool, write);
    QFETCH(QList<FaultRule>, rules);
    QFETCH(QByteArray, model);
    QFETCH(QStringList, texts);
    QFETCH(int, extraRequests);

    SimWorld &w = *m_world;
    const QByteArray before = w.radio.Image();
    w.radio.SetFaults(rules);
    w.radio.SetModelBytes(model);
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts(), texts, 5000);

    const QStringList &clean = write ? FullWriteRequests() : FullReadRequests();
    QCOMPARE(w.Requests().size(), clean.size() + extraRequests);
    if (texts == QStringList{"Read Complete!"})
        QCOMPARE(w.Image(), before);
    if (texts.last().contains(QLatin1String("Failure"))) {
        // A failure leaves the port open but nothing armed: no resend follows.
        QTest::qWait(350);
        QCOMPARE(w.Requests().size(), clean.size() + extraRequests);
        QCOMPARE(w.op.texts(), texts);
    }
}

void TestSimFaults::modelMismatchOnWrite()
{
    SimWorld &w = *m_world;
    const QByteArray before = w.radio.Image();
    w.op.modelBoxText = QStringLiteral("KR350SV");
    w.link.Command2_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts().size(), 2, 5000);

    QCOMPARE(w.op.texts(), QStringList({"Model Error\r\nPC is KR350SV\r\nRadio is KR350UV", "Write Failure!"}));
    QCOMPARE(w.Requests(), FullWriteRequests().mid(0, 2));
    QCOMPARE(w.radio.Image(), before);
}

void TestSimFaults::hangUpMidOperation_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("frame");

    QTest::newRow("read, at block 2") << false << 5;
    QTest::newRow("write, at block 1 written") << true << 8;
}

void TestSimFaults::hangUpMidOperation()
{
    QFETCH(bool, write);
    QFETCH(int, frame);

    SimWorld &w = *m_world;
    w.radio.SetHangUpAfterFrames(frame);
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    const QString failure = write ? QStringLiteral("Write Failure!") : QStringLiteral("Read Failure!");
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts(), QStringList{failure}, 5000);

    // Told as a lost port, not as a silent radio, and with the port let go.
    QVERIFY(!w.op.messages.first().detail.isEmpty());
    QVERIFY(!w.control.PortOpen());
    QVERIFY(!w.timer.Enabled());
    QTest::qWait(350);
    QCOMPARE(w.op.messages.size(), 1);
}

QTEST_GUILESS_MAIN(TestSimFaults)
#include "tst_simfaults.moc"
