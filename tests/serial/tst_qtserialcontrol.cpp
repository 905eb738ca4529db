// The serial control over a real pseudo-terminal, with the simulated radio
// at the other end reached through a port alias.

#include "link/portdirectory.h"
#include "link/qtserialcontrol.h"
#include "simulatedradio.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

using kelvra::PortDirectory;
using kelvra::QtSerialControl;
using kelvra::SerialControl;
using radiosim::Fault;
using radiosim::FaultRule;
using radiosim::Request;
using radiosim::SimulatedRadio;

Q_DECLARE_METATYPE(QList<radiosim::FaultRule>)

namespace {

constexpr int kRadioPort = 7;

int Count(const QSignalSpy &spy, SerialControl::CommEvent event)
{
    int n = 0;
    for (const QList<QVariant> &args : spy)
        n += args.at(0).value<SerialControl::CommEvent>() == event;
    return n;
}

qint64 CpuMicroseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
        + usage.ru_stime.tv_usec;
}

// A radio on COM7 of a directory that sees no real serial device.
struct Bench {
    QTemporaryDir dir;
    SimulatedRadio radio;
    PortDirectory directory{dir.filePath(QStringLiteral("ports")), dir.filePath(QStringLiteral("sys")),
                            QStringLiteral("/dev")};
    QtSerialControl control{directory};
    QSignalSpy events{&control, &SerialControl::OnComm};

    bool Start()
    {
        QString error;
        if (!radio.Start(&error) || !radio.MakeAlias(dir.filePath(QStringLiteral("ports")), kRadioPort, &error)) {
            qWarning() << error;
            return false;
        }
        return true;
    }
    // Opens, enters program mode and takes the acknowledgement.
    bool Program()
    {
        QString reason;
        if (!control.Open(kRadioPort, &reason)) {
            qWarning() << reason;
            return false;
        }
        control.Write("PROGRAM");
        return events.wait(2000) && control.Input() == QByteArray(1, '\x06');
    }
};

} // namespace

class TestQtSerialControl : public QObject
{
    Q_OBJECT

private slots:
    void opensTheAliasedDevice();
    void receiveWaitsForTheThreshold_data();
    void receiveWaitsForTheThreshold();
    void clearingDropsReceivedBytes();
    void bytesReachTheRadioUnchanged();
    void hangUpLosesThePortOnce_data();
    void hangUpLosesThePortOnce();
    void openFailsWithAReason_data();
    void openFailsWithAReason();
    void secondOpenOfTheSameDeviceNamesTheHolder();
};

void TestQtSerialControl::opensTheAliasedDevice()
{
    Bench bench;
    QVERIFY(bench.Start());
    QVERIFY(bench.Program());
    QVERIFY(bench.control.PortOpen());
    QCOMPARE(bench.control.DevicePath(), bench.radio.DevicePath());

    // Opening again closes first and starts clean.
    QString reason;
    QVERIFY(bench.control.Open(kRadioPort, &reason));
    QVERIFY(bench.control.Write(QByteArray(1, '\x02')));
    QTRY_COMPARE(bench.events.size(), 2);
    QCOMPARE(bench.control.Input().size(), 16);

    bench.control.Close();
    QVERIFY(!bench.control.PortOpen());
    QVERIFY(!bench.control.Write("END"));
}

void TestQtSerialControl::receiveWaitsForTheThreshold_data()
{
    QTest::addColumn<QList<FaultRule>>("faults");
    QTest::addColumn<bool>("raised");
    QTest::addColumn<int>("bytes");
    QTest::newRow("exact length") << QList<FaultRule>{} << true << 16;
    QTest::newRow("one byte short") << QList<FaultRule>{{Fault::TooShort, Request::Identify, 1, -1}} << false << 15;
    QTest::newRow("one byte long, one read") << QList<FaultRule>{{Fault::TooLong, Request::Identify, 1, -1}} << true
                                             << 17;
}

void TestQtSerialControl::receiveWaitsForTheThreshold()
{
    QFETCH(QList<FaultRule>, faults);
    QFETCH(bool, raised);
    QFETCH(int, bytes);

    Bench bench;
    bench.radio.SetFaults(faults);
    QVERIFY(bench.Start());
    QVERIFY(bench.Program());
    bench.events.clear();
    QSignalSpy replied(&bench.radio, &SimulatedRadio::ReplySent);

    bench.control.SetReceiveThreshold(16);
    QVERIFY(bench.control.Write(QByteArray(1, '\x02')));
    QVERIFY(replied.wait());
    QCOMPARE(bench.events.wait(raised ? 2000 : 150), raised);
    QCOMPARE(bench.control.Input().size(), bytes);
    QCOMPARE(bench.control.Input(), QByteArray());
    QCOMPARE(Count(bench.events, SerialControl::CommEvent::Lost), 0);
}

void TestQtSerialControl::clearingDropsReceivedBytes()
{
    Bench bench;
    QVERIFY(bench.Start());
    QString reason;
    QVERIFY(bench.control.Open(kRadioPort, &reason));
    bench.control.Write("PROGRAM");
    QVERIFY(bench.events.wait());
    bench.control.ClearTransmitBuffer();
    bench.control.ClearReceiveBuffer();
    QCOMPARE(bench.control.Input(), QByteArray());
    // The control still works after clearing both ways.
    QVERIFY(bench.control.Write(QByteArray(1, '\x02')));
    QVERIFY(bench.events.wait());
    QCOMPARE(bench.control.Input().left(1), QByteArray("I"));
}

void TestQtSerialControl::bytesReachTheRadioUnchanged()
{
    Bench bench;
    QVERIFY(bench.Start());
    QString reason;
    QVERIFY(bench.control.Open(kRadioPort, &reason));
    // Every byte value, in order: no CR/LF translation, no XON/XOFF eaten.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QVERIFY(bench.control.Write(all));
    auto received = [&bench] {
        QByteArray bytes;
        for (const radiosim::ReceivedFrame &frame : bench.radio.Frames())
            bytes += frame.bytes;
        return bytes;
    };
    QTRY_COMPARE(received().size(), 256);
    QCOMPARE(received(), all);
}

void TestQtSerialControl::hangUpLosesThePortOnce_data()
{
    QTest::addColumn<int>("hangUpAfterFrames"); // 0: the radio hangs up while idle
    QTest::newRow("idle line") << 0;
    QTest::newRow("mid-operation") << 2;
}

void TestQtSerialControl::hangUpLosesThePortOnce()
{
    QFETCH(int, hangUpAfterFrames);
    Bench bench;
    bench.radio.SetHangUpAfterFrames(hangUpAfterFrames);
    QVERIFY(bench.Start());
    QVERIFY(bench.Program());
    bench.events.clear();

    if (hangUpAfterFrames > 0) {
        bench.control.SetReceiveThreshold(16);
        bench.control.Write(QByteArray(1, '\x02'));
    } else {
        bench.radio.HangUp();
    }
    QTRY_COMPARE(Count(bench.events, SerialControl::CommEvent::Lost), 1);
    QVERIFY(!bench.control.PortOpen());

    // Nothing more comes, and the process does not spin on the dead line.
    const qint64 cpuBefore = CpuMicroseconds();
    QVERIFY(!bench.events.wait(200));
    QVERIFY2(CpuMicroseconds() - cpuBefore < 100000, "busy after the line was lost");
    QCOMPARE(bench.events.size(), 1);
    QVERIFY(!bench.control.Write("END"));
    QCOMPARE(bench.control.Input(), QByteArray());
}

void TestQtSerialControl::openFailsWithAReason_data()
{
    QTest::addColumn<int>("portNo");
    QTest::addColumn<QString>("aliasTarget"); // made as ports/COM<portNo>; "file" a regular file
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing selected") << 0 << QString() << "No serial port is selected";
    QTest::newRow("absent number") << 42 << QString() << "COM42 is not present";
    QTest::newRow("alias to a regular file") << 9 << "file" << "is not a serial device";
    QTest::newRow("alias to a device that is no tty") << 9 << "/dev/null" << "/dev/null is not a serial device";
    QTest::newRow("dangling alias") << 9 << "/dev/ttyUSB-unplugged" << "the device /dev/ttyUSB-unplugged is not there";
}

void TestQtSerialControl::openFailsWithAReason()
{
    QFETCH(int, portNo);
    QFETCH(QString, aliasTarget);
    QFETCH(QString, reason);

    Bench bench;
    QVERIFY(bench.Start());
    if (aliasTarget == QLatin1String("file")) {
        aliasTarget = bench.dir.filePath(QStringLiteral("image.bin"));
        QFile file(aliasTarget);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (!aliasTarget.isEmpty())
        QVERIFY(QFile::link(aliasTarget, bench.dir.filePath(QStringLiteral("ports/COM%1").arg(portNo))));

    QString why;
    QVERIFY(!bench.control.Open(portNo, &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
    QVERIFY(!bench.control.PortOpen());
    QCOMPARE(bench.events.size(), 0);
}

void TestQtSerialControl::secondOpenOfTheSameDeviceNamesTheHolder()
{
    Bench bench;
    QVERIFY(bench.Start());
    QString reason;
    QVERIFY(bench.control.Open(kRadioPort, &reason));

    // The same device under a second alias: one device, one lock.
    QVERIFY(QFile::link(bench.radio.DevicePath(), bench.dir.filePath(QStringLiteral("ports/COM8"))));
    QtSerialControl second(bench.directory);
    QVERIFY(!second.Open(8, &reason));
    QVERIFY2(reason.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
             qPrintable(reason));
    QVERIFY(bench.control.PortOpen());
}

QTEST_GUILESS_MAIN(TestQtSerialControl)
#include "tst_qtserialcontrol.moc"
