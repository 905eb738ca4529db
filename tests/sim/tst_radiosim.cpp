// The simulated radio checked against bytes worked out by hand, so that the
// program's link layer is measured against an independent party.

#include "demoimage.h"
#include "radiofaults.h"
#include "radioframes.h"
#include "simulatedradio.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace radiosim;

Q_DECLARE_METATYPE(QList<radiosim::FaultRule>)

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// Image byte i holds i, so every block's data is recognisable.
QByteArray CountingImage()
{
    QByteArray image(kImageSize, '\0');
    for (int i = 0; i < kImageSize; ++i)
        image[i] = char(i);
    return image;
}

QByteArray WriteFrame(int block, char fill, quint8 checksum)
{
    return QByteArrayLiteral("W\x08\x00\x20") + char(block) + QByteArray(32, fill) + char(checksum);
}

// The program's end of the line: the slave side opened as a plain descriptor.
class Line
{
public:
    explicit Line(const QString &path) : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool IsOpen() const { return m_fd >= 0; }
    void Send(const QByteArray &bytes) { QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size())); }
    // Everything the radio has sent so far; the result of the last read() in *last.
    QByteArray Drain(ssize_t *last = nullptr)
    {
        QByteArray got;
        char buffer[512];
        ssize_t n = 0;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            got.append(buffer, int(n));
        if (last)
            *last = n < 0 && errno == EAGAIN ? -EAGAIN : n;
        return got;
    }

private:
    int m_fd;
};

} // namespace

class TestRadioSim : public QObject
{
    Q_OBJECT

private slots:
    void checksumMatchesWorkedValues_data();
    void checksumMatchesWorkedValues();
    void parserSplitsTheStream_data();
    void parserSplitsTheStream();
    void faultRulesParse_data();
    void faultRulesParse();
    void dialogue_data();
    void dialogue();
    void writeBlockStoresOnlyWithRightChecksum();
    void pacedReplyTakesItsWireTime();
    void delayedReplyWaits();
    void hangsUpAfterFrames();
    void aliasPointsAtTheRadio();
    void demoImageHoldsGbkDealerCode();
};

void TestRadioSim::checksumMatchesWorkedValues_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("expected");
    QTest::newRow("block 0 of 00") << WriteFrame(0, '\0', 0) << 0x7F;
    QTest::newRow("block 1 of FF, sum 8288") << WriteFrame(1, '\xFF', 0) << 0x60;
    QTest::newRow("byte 37 itself not summed") << WriteFrame(0, '\0', char(0xFF)) << 0x7F;
}

void TestRadioSim::checksumMatchesWorkedValues()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, expected);
    QCOMPARE(int(Checksum(frame, 0, 36)), expected);
}

void TestRadioSim::parserSplitsTheStream_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QByteArray>("pending");

    const QByteArray write0 = WriteFrame(0, '\0', 0x7F);
    QTest::newRow("whole") << QList<QByteArray>{"PROGRAM"} << QList<QByteArray>{"PROGRAM"} << QByteArray();
    QTest::newRow("split text") << QList<QByteArray>{"PRO", "GR", "AM"} << QList<QByteArray>{"PROGRAM"} << QByteArray();
    QTest::newRow("merged") << QList<QByteArray>{QByteArrayLiteral("PROGRAM\x02R\x08\x00\x20\x07" "END")}
                            << QList<QByteArray>{"PROGRAM", Hex("02"), Hex("5208002007"), "END"} << QByteArray();
    QTest::newRow("block write in three")
        << QList<QByteArray>{write0.left(3), write0.mid(3, 20), write0.mid(23)} << QList<QByteArray>{write0}
        << QByteArray();
    QTest::newRow("merged across a split")
        << QList<QByteArray>{QByteArrayLiteral("END\x02R\x08"), QByteArrayLiteral("\x00\x20\x01")}
        << QList<QByteArray>{"END", Hex("02"), Hex("5208002001")} << QByteArray();
    QTest::newRow("stray byte before") << QList<QByteArray>{QByteArrayLiteral("\x55PROGRAM")}
                                       << QList<QByteArray>{Hex("55"), "PROGRAM"} << QByteArray();
    QTest::newRow("false lead resyncs") << QList<QByteArray>{"PXEND"} << QList<QByteArray>{"P", "X", "END"}
                                        << QByteArray();
    QTest::newRow("read with wrong fixed byte") << QList<QByteArray>{Hex("5209002001")}
                                                << QList<QByteArray>{Hex("52"), Hex("09"), Hex("00"), Hex("20"), Hex("01")}
                                                << QByteArray();
    QTest::newRow("incomplete stays pending") << QList<QByteArray>{QByteArrayLiteral("\x02R\x08")}
                                              << QList<QByteArray>{Hex("02")} << Hex("5208");
}

void TestRadioSim::parserSplitsTheStream()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QByteArray, pending);
    FrameParser parser;
    QList<QByteArray> got;
    for (const QByteArray &chunk : chunks)
        got += parser.Feed(chunk);
    QCOMPARE(got, frames);
    QCOMPARE(parser.Pending(), pending);
}

void TestRadioSim::faultRulesParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("normalised");
    QTest::newRow("fault only") << "repeat" << true << "repeat:any:1";
    QTest::newRow("full") << "wrongblock:readblock:2:9" << true << "wrongblock:readblock:2:9";
    QTest::newRow("always, hex value") << "wronglead:identify:always:0x15" << true << "wronglead:identify:always:21";
    QTest::newRow("unknown fault") << "explode" << false << "";
    QTest::newRow("unknown request") << "ignore:status" << false << "";
    QTest::newRow("zero times") << "ignore:end:0" << false << "";
    QTest::newRow("value beyond a byte") << "stray:any:1:300" << false << "";
}

void TestRadioSim::faultRulesParse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, normalised);
    FaultRule rule;
    QString error;
    QCOMPARE(FaultRule::Parse(text, &rule, &error), valid);
    if (valid)
        QCOMPARE(rule.ToString(), normalised);
    else
        QVERIFY(error.contains(text));
}

void TestRadioSim::dialogue_data()
{
    QTest::addColumn<QList<FaultRule>>("faults");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::addColumn<QByteArray>("replies");

    const QByteArray program = "PROGRAM";
    const QByteArray identify = Hex("02");
    const QByteArray read1 = Hex("5208002001");
    const QByteArray end = "END";
    const QByteArray id = Hex("494B523335305556") + Hex("00") + Hex("00000000000006"); // KR350UV, band 0
    // 57+08+00+20+01 = 128, plus 32+33+...+63 = 1520: 1648 mod 256 = 70.
    const QByteArray block1Data = CountingImage().mid(32, 32);
    const QByteArray block1 = Hex("5708002001") + block1Data + Hex("70");
    // Block number 8 instead of 1: checksum 77.
    const QByteArray block1As8 = Hex("5708002008") + block1Data + Hex("77");
    using Rules = QList<FaultRule>;
    using Frames = QList<QByteArray>;

    QTest::newRow("sound read") << Rules{} << Frames{program, identify, read1, end}
                                << Hex("06") + id + block1 + Hex("06");
    QTest::newRow("deaf outside program mode") << Rules{} << Frames{identify, read1, program, identify}
                                               << Hex("06") + id;
    QTest::newRow("ignored after END") << Rules{} << Frames{program, end, identify} << Hex("0606");
    QTest::newRow("silent") << Rules{{Fault::Ignore, Request::Any, -1, -1}} << Frames{program, program}
                            << QByteArray();
    QTest::newRow("ignore first two identifications")
        << Rules{{Fault::Ignore, Request::Identify, 2, -1}} << Frames{program, identify, identify, identify}
        << Hex("06") + id;
    QTest::newRow("repeat once, then answer")
        << Rules{{Fault::Repeat, Request::ReadBlock, 1, -1}} << Frames{program, read1, read1} << Hex("060A") + block1;
    QTest::newRow("no END acknowledgement")
        << Rules{{Fault::Ignore, Request::End, -1, -1}} << Frames{program, end, end} << Hex("06");
    QTest::newRow("bad checksum once")
        << Rules{{Fault::BadChecksum, Request::Any, 1, -1}} << Frames{program, read1, read1}
        << Hex("06") + block1.left(37) + Hex("71") + block1;
    QTest::newRow("wrong block keeps a right checksum")
        << Rules{{Fault::WrongBlock, Request::ReadBlock, 1, -1}} << Frames{program, read1} << Hex("06") + block1As8;
    QTest::newRow("one byte short") << Rules{{Fault::TooShort, Request::Identify, 1, -1}}
                                    << Frames{program, identify} << Hex("06") + id.left(15);
    QTest::newRow("one byte long") << Rules{{Fault::TooLong, Request::Program, 1, -1}} << Frames{program}
                                   << Hex("0600");
    QTest::newRow("stray bytes before") << Rules{{Fault::StrayBytes, Request::Any, 1, 2}} << Frames{program}
                                        << Hex("555506");
    QTest::newRow("wrong lead on a block reseals")
        << Rules{{Fault::WrongLead, Request::ReadBlock, 1, 0x52}} << Frames{program, read1}
        << Hex("06") + Hex("5208002001") + block1Data + Hex("6B");
    QTest::newRow("block fault waits for a block")
        << Rules{{Fault::WrongBlock, Request::Any, 1, -1}} << Frames{program, identify, read1}
        << Hex("06") + id + block1As8;
    QTest::newRow("read beyond block 7 unanswered") << Rules{} << Frames{program, Hex("5208002008"), end}
                                                    << Hex("0606");
}

void TestRadioSim::dialogue()
{
    QFETCH(QList<FaultRule>, faults);
    QFETCH(QList<QByteArray>, requests);
    QFETCH(QByteArray, replies);

    SimulatedRadio radio;
    radio.SetImage(CountingImage());
    radio.SetBandCode(0);
    radio.SetFaults(faults);
    QString error;
    QVERIFY2(radio.Start(&error), qPrintable(error));
    Line line(radio.DevicePath());
    QVERIFY(line.IsOpen());

    // One request at a time, as the program sends them.
    QByteArray got;
    for (int i = 0; i < requests.size(); ++i) {
        line.Send(requests.at(i));
        QTRY_COMPARE(radio.Frames().size(), i + 1);
        got += line.Drain();
    }
    QCOMPARE(got.toHex(' '), replies.toHex(' '));
}

void TestRadioSim::writeBlockStoresOnlyWithRightChecksum()
{
    SimulatedRadio radio;
    radio.SetImage(CountingImage());
    QString error;
    QVERIFY(radio.Start(&error));
    Line line(radio.DevicePath());
    line.Send("PROGRAM");
    line.Send(WriteFrame(1, '\xFF', 0x61)); // one off: refused, no reply
    line.Send(WriteFrame(1, '\xFF', 0x60));
    QTRY_COMPARE(radio.Frames().size(), 3);
    QCOMPARE(line.Drain(), Hex("0606"));
    QCOMPARE(radio.Image().mid(32, 32), QByteArray(32, '\xFF'));
    QCOMPARE(radio.Image().mid(0, 32), CountingImage().mid(0, 32));
    QCOMPARE(radio.Image().mid(64), CountingImage().mid(64));
}

void TestRadioSim::pacedReplyTakesItsWireTime()
{
    SimulatedRadio radio;
    radio.SetLinePacing(true);
    QString error;
    QVERIFY(radio.Start(&error));
    Line line(radio.DevicePath());
    QSignalSpy sent(&radio, &SimulatedRadio::ReplySent);
    line.Send("PROGRAM");
    QVERIFY(sent.wait());
    line.Send(Hex("5208002003"));
    QVERIFY(sent.wait());
    const qint64 repliedNs = radio.ElapsedNs();
    // 5 request bytes in, then 38 reply bytes out, 10 bits each at 115200 baud.
    const qint64 wireNs = (5 + 38) * SimulatedRadio::kByteWireNs;
    QVERIFY2(repliedNs - radio.Frames().constLast().elapsedNs >= wireNs,
             qPrintable(QString::number(repliedNs - radio.Frames().constLast().elapsedNs)));
    QCOMPARE(line.Drain().size(), 1 + 38);
}

void TestRadioSim::delayedReplyWaits()
{
    SimulatedRadio radio;
    radio.SetReplyDelay(40);
    QString error;
    QVERIFY(radio.Start(&error));
    Line line(radio.DevicePath());
    QSignalSpy sent(&radio, &SimulatedRadio::ReplySent);
    line.Send("PROGRAM");
    QTRY_COMPARE(radio.Frames().size(), 1);
    QCOMPARE(line.Drain(), QByteArray());
    QVERIFY(sent.wait());
    QVERIFY(radio.ElapsedNs() - radio.Frames().constFirst().elapsedNs >= 40 * 1000000LL);
    QCOMPARE(line.Drain(), Hex("06"));
}

void TestRadioSim::hangsUpAfterFrames()
{
    SimulatedRadio radio;
    radio.SetHangUpAfterFrames(2);
    QString error;
    QVERIFY(radio.Start(&error));
    Line line(radio.DevicePath());
    QSignalSpy hungUp(&radio, &SimulatedRadio::HungUp);
    line.Send("PROGRAM");
    QByteArray ack;
    QTRY_COMPARE(ack += line.Drain(), Hex("06"));
    line.Send(Hex("02"));
    QVERIFY(hungUp.wait());
    QVERIFY(!radio.Running());
    QCOMPARE(radio.Frames().size(), 2);
    ssize_t last = 0;
    QCOMPARE(line.Drain(&last), QByteArray()); // the second frame is not answered
    QVERIFY2(last == 0 || last == -EIO, "the line reads as hung up");
}

void TestRadioSim::aliasPointsAtTheRadio()
{
    QTemporaryDir dir;
    const QString ports = dir.filePath(QStringLiteral("ports"));
    {
        SimulatedRadio radio;
        QString error;
        QVERIFY(radio.Start(&error));
        QVERIFY2(radio.MakeAlias(ports, 7, &error), qPrintable(error));
        QCOMPARE(QFile::symLinkTarget(radio.AliasPath()), radio.DevicePath());
        // A stale link from an earlier run is replaced; a file of the user's is not.
        QVERIFY(radio.MakeAlias(ports, 7, &error));
        QFile regular(ports + QStringLiteral("/COM8"));
        QVERIFY(regular.open(QIODevice::WriteOnly));
        regular.close();
        QVERIFY(!radio.MakeAlias(ports, 8, &error));
        QVERIFY(error.contains(QLatin1String("not a symbolic link")));
        QVERIFY(QFile::exists(regular.fileName()));
        QVERIFY(radio.MakeAlias(ports, 7, &error));
    }
    QVERIFY(!QFileInfo(ports + QStringLiteral("/COM7")).isSymLink());
}

void TestRadioSim::demoImageHoldsGbkDealerCode()
{
    const QByteArray image = DemoImage();
    QCOMPARE(image.size(), kImageSize);
    // GBK of the dealer code, from an independent converter, then zero fill.
    QCOMPARE(image.mid(80, 16).toHex(), QByteArray("beadcffac9ccb4fac2eb000000000000"));
    QCOMPARE(image.mid(16, 16), QByteArray("2026120500000042"));
    QCOMPARE(image.mid(64, 16), QByteArray(16, '\xFF'));
    QVERIFY(image.mid(144, 64).contains(Hex("b8fcbbbbcceccfdf"))); // the note's Chinese words
}

QTEST_GUILESS_MAIN(TestRadioSim)
#include "tst_radiosim.moc"
