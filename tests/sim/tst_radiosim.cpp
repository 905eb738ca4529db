// What the suites that talk to the simulated radio cannot show: its checksum
// against values worked out by hand, its request parser on awkward input,
// the fault rules its command line takes, and two simulators on one alias.

#include "radiofaults.h"
#include "radioframes.h"

#include <QtTest>

using namespace radiosim;

namespace {

QByteArray WriteFrame(int block, char fill, char checksum)
{
    return QByteArrayLiteral("W\x08\x00\x20") + char(block) + QByteArray(32, fill) + checksum;
}

// Starts the simulator: its pseudo-terminal once it has printed its pid, empty if it ends first.
QString StartRadio(QProcess &process, const QStringList &args)
{
    process.start(KELVRA_RADIO_SIM, args);
    QString device;
    while (process.waitForReadyRead(10000) || process.canReadLine()) {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            device = line.startsWith("radio on ") ? line.mid(9) : device;
            if (line == QString("radio pid %1: kill -USR1 %1 makes the next radio").arg(process.processId()))
                return device;
        }
    }
    return QString();
}

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
    void aliasInUseIsKept_data();
    void aliasInUseIsKept();
};

void TestRadioSim::checksumMatchesWorkedValues_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("expected");
    QTest::newRow("block 0 of 00") << WriteFrame(0, '\0', 0) << 0x7F;
    QTest::newRow("block 1 of FF, sum 8288") << WriteFrame(1, '\xFF', 0) << 0x60;
    QTest::newRow("byte 37 itself not summed") << WriteFrame(0, '\0', '\xFF') << 0x7F;
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
    QTest::addColumn<QByteArray>("frames"); // the frames found, hex, '|' between them
    QTest::addColumn<QByteArray>("pending");

    const QByteArray write0 = WriteFrame(0, '\0', 0x7F);
    QTest::newRow("split text") << QList<QByteArray>{"PRO", "GR", "AM"} << QByteArray("50524f4752414d") << QByteArray();
    QTest::newRow("merged") << QList<QByteArray>{QByteArrayLiteral("PROGRAM\x02R\x08\x00\x20\x07" "END")}
                            << QByteArray("50524f4752414d|02|5208002007|454e44") << QByteArray();
    QTest::newRow("block write in three") << QList<QByteArray>{write0.left(3), write0.mid(3, 20), write0.mid(23)}
                                          << write0.toHex() << QByteArray();
    QTest::newRow("merged across a split, tail pending")
        << QList<QByteArray>{QByteArrayLiteral("END\x02R\x08"), QByteArrayLiteral("\x00\x20\x01\x02R")}
        << QByteArray("454e44|02|5208002001|02") << QByteArray("R");
    QTest::newRow("stray byte, false lead") << QList<QByteArray>{QByteArrayLiteral("\x55PXEND")}
                                            << QByteArray("55|50|58|454e44") << QByteArray();
    QTest::newRow("read with a wrong fixed byte") << QList<QByteArray>{QByteArray::fromHex("5209002001")}
                                                  << QByteArray("52|09|00|20|01") << QByteArray();
}

void TestRadioSim::parserSplitsTheStream()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QByteArray, frames);
    QFETCH(QByteArray, pending);
    FrameParser parser;
    QByteArrayList got;
    for (const QByteArray &chunk : chunks) {
        for (const QByteArray &frame : parser.Feed(chunk))
            got << frame.toHex();
    }
    QCOMPARE(got.join('|'), frames);
    QCOMPARE(parser.Pending(), pending);
}

void TestRadioSim::faultRulesParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalised"); // empty: refused
    QTest::newRow("fault only") << "repeat" << "repeat:any:1";
    QTest::newRow("full") << "wrongblock:readblock:2:9" << "wrongblock:readblock:2:9";
    QTest::newRow("always, hex value") << "wronglead:identify:always:0x15" << "wronglead:identify:always:21";
    QTest::newRow("unknown fault") << "explode" << "";
    QTest::newRow("unknown request") << "ignore:status" << "";
    QTest::newRow("zero times") << "ignore:end:0" << "";
    QTest::newRow("value beyond a byte") << "stray:any:1:300" << "";
    QTest::newRow("one block, delay past a byte") << "delay:writeblock@1:always:1000" << "delay:writeblock@1:always:1000";
    QTest::newRow("block of a request without one") << "ignore:identify@1" << "";
    QTest::newRow("delay past a minute") << "delay:end:1:60001" << "";
    QTest::newRow("misstore, twice on one block") << "misstore:writeblock@3:2" << "misstore:writeblock@3:2";
    QTest::newRow("split, halves a second apart") << "split:readblock:always:1000" << "split:readblock:always:1000";
}

void TestRadioSim::faultRulesParse()
{
    QFETCH(QString, text);
    QFETCH(QString, normalised);
    FaultRule rule;
    QString error;
    QCOMPARE(FaultRule::Parse(text, &rule, &error), !normalised.isEmpty());
    if (normalised.isEmpty())
        QVERIFY2(error.contains(text), qPrintable(error));
    else
        QCOMPARE(rule.ToString(), normalised);
}

void TestRadioSim::aliasInUseIsKept_data()
{
    QTest::addColumn<QString>("before");    // where COM9 leads when the second simulator starts
    QTest::addColumn<QStringList>("extra"); // the second's own options
    QTest::addColumn<QString>("refusal");   // its complaint, %1 the first's pid; empty: it runs
    QTest::addColumn<QString>("afterward"); // where COM9 leads once it has ended
    QTest::newRow("a running one's") << "first" << QStringList() << "of kelvraset-radio-sim pid %1" << "first";
    QTest::newRow("a running one's, replaced a while") << "first" << QStringList{"--replace"} << "" << "first";
    QTest::newRow("an ended radio's") << "/dev/pts/99999" << QStringList() << "" << "";
    QTest::newRow("a pinned cable") << "/dev/ttyUSB77" << QStringList() << "did not make" << "/dev/ttyUSB77";
}

void TestRadioSim::aliasInUseIsKept()
{
    QFETCH(QString, before);
    QFETCH(QStringList, extra);
    QFETCH(QString, refusal);
    QFETCH(QString, afterward);
    QTemporaryDir dir;
    const QString alias = dir.filePath("COM9");
    const QStringList args{"--alias-dir", dir.path(), "--com", "9"};
    QProcess first, second;
    if (before == "first") {
        afterward.replace("first", before = StartRadio(first, args));
        QVERIFY2(!before.isEmpty(), first.readAllStandardError().constData());
    } else {
        QVERIFY(QFile::link(before, alias));
    }

    const QString device = StartRadio(second, args + extra);
    QCOMPARE(QFile::symLinkTarget(alias), refusal.isEmpty() ? device : before);
    second.terminate();
    second.waitForFinished(10000); // false when it had ended already
    const QString complaint = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(complaint.contains(refusal.replace("%1", QString::number(first.processId()))), qPrintable(complaint));
    QCOMPARE(second.exitCode(), refusal.isEmpty() ? 0 : 1);
    QCOMPARE(QFile::symLinkTarget(alias), afterward);
    first.terminate();
    first.waitForFinished(10000);
}

QTEST_GUILESS_MAIN(TestRadioSim)
#include "tst_radiosim.moc"
