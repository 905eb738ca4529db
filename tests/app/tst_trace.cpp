// The support trace: a read against the simulated radio, traced to a file,
// shows every request the radio received and every reply it sent, in order,
// with how each operation ended; a target that cannot take the trace is
// refused at start or stops it with one word, and the read goes on.
#include "app/commandline.h"
#include "services/tracefile.h"
#include "appworld.h"
#include "demoimage.h"
#include "simulatedradio.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvra;
using kelvra::testing::AppWorld;

namespace {

// COM1 is a USB adapter as sysfs shows it, its device node the radio's pseudo-terminal.
void PlugUsbAdapter(const AppWorld &world, const QString &device)
{
    const QDir root(world.Path(QString()));
    QVERIFY(root.mkpath("usb/1-1/1-1:1.0/ttyUSB0/driver") && root.mkpath("sys/ttyUSB0"));
    for (const auto &[name, value] : {std::pair{"idVendor", "0403"}, {"manufacturer", "FTDI"},
                                      {"product", "FT232R USB UART"}, {"serial", "A50285BI"}}) {
        QFile file(root.filePath(QString("usb/1-1/") + name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(value) + '\n') > 0);
    }
    QVERIFY(QFile::link(root.filePath("usb/1-1/1-1:1.0/ttyUSB0"), world.Path("sys/ttyUSB0/device")));
    QVERIFY(QFile::link(device, world.Path("dev/ttyUSB0")));
}

// Hex, then the printable ASCII between bars.
QString Shown(const QByteArray &bytes)
{
    QString ascii;
    for (const char ch : bytes)
        ascii += ch >= ' ' && ch <= '~' ? QChar(ch) : QChar('.');
    return bytes.toHex(' ').toUpper() + "  |" + ascii + '|';
}

// Each line after its date and time, without the padding of its "what" column.
QStringList TraceLines(const QString &path)
{
    QFile file(path);
    QStringList lines;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
            lines << line.section(' ', 2, 2) + ' ' + line.section(' ', 2).mid(7);
    }
    return lines;
}

} // namespace

class TestTrace : public QObject
{
    Q_OBJECT

private slots:
    void traceTargets_data()
    {
        QTest::addColumn<QString>("target"); // file, fifo (no reader), pipe (its reader goes) or a path
        QTest::addColumn<QString>("refusal"); // what the refusal says; empty: the trace starts
        QTest::addColumn<bool>("stops");      // a write fails and tracing stops with one notice
        QTest::newRow("new file") << "file" << "" << false;
        QTest::newRow("FIFO without a reader") << "fifo" << "no program is reading from it" << false;
        QTest::newRow("pipe whose reader goes") << "pipe" << "" << true;
        QTest::newRow("/dev/full") << "/dev/full" << "not a regular file, a terminal or a pipe" << false;
        QTest::newRow("empty name") << "" << "--trace needs a file name" << false;
    }

    void traceTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, refusal);
        QFETCH(bool, stops);
        AppWorld world;
        const QString path = target.isEmpty() || target.startsWith('/') ? target : world.Path("trace." + target);
        if (target == "fifo" || target == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const int reader = target == "pipe" ? open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK) : -1;
        QStringList notices;
        OnTraceStopped([&notices](const QString &why) { notices << why; });

        const CommandLine commandLine = ParseCommandLine({"KelvraSet", "--trace=" + path}, true);
        QString error = commandLine.output;
        const bool started = !commandLine.exit && StartTraceFile(commandLine.traceFile, &error);
        QVERIFY2(started == refusal.isEmpty() && error.contains(refusal), qPrintable(error));
        if (!started)
            return;
        if (reader >= 0)
            close(reader);

        radiosim::SimulatedRadio radio;
        radio.SetImage(radiosim::DemoImage());
        // The first request is lost, so the first press is still waiting when the second abandons it.
        radio.SetFaults({{radiosim::Fault::Ignore, radiosim::Request::Program}});
        QVERIFY2(radio.Start(&error), qPrintable(error));
        PlugUsbAdapter(world, radio.DevicePath());
        QSignalSpy replies(&radio, &radiosim::SimulatedRadio::ReplySent);
        Program &program = world.Start();
        program.Link().Command1_Click();
        program.Link().Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(world.boxes.texts(), QStringList{"Read Complete!"}, 5000);
        QCOMPARE(notices.size(), int(stops));
        if (stops) {
            QVERIFY2(notices.first().contains(path) && notices.first().contains(strerror(EPIPE)),
                     qPrintable(notices.first()));
            return;
        }

        struct stat status{};
        QVERIFY(stat(QFile::encodeName(path).constData(), &status) == 0 && (status.st_mode & 0777) == 0600);
        const QStringList lines = TraceLines(path);
        QVERIFY2(lines.value(0).startsWith("trace ") && lines.value(0).contains(QSysInfo::prettyProductName())
                     && lines.value(0).endsWith(QString(", Qt ") + qVersion()),
                 qPrintable(lines.value(0)));
        QStringList expected{"open COM1 " + radio.DevicePath()
                                 + " (vendor FTDI, product FT232R USB UART, serial A50285BI)",
                             "tx 50 52 4F 47 52 41 4D  |PROGRAM|", "close COM1", "entry <uuid> failure",
                             "end abandoned: a new press started another operation",
                             "open COM1 " + radio.DevicePath()};
        // From the second press on, the exchange as the radio saw it.
        QCOMPARE(replies.size() + 1, radio.Frames().size());
        for (int i = 0; i < replies.size(); ++i)
            expected << "tx " + Shown(radio.Frames().at(i + 1).bytes)
                     << "rx " + Shown(replies.at(i).at(0).toByteArray());
        expected << "close COM1" << "entry <uuid> complete" << "end Read Complete!";
        // Each operation's history entry named by its uuid.
        QCOMPARE(lines.mid(2).replaceInStrings(QRegularExpression("^entry [0-9a-f-]{36}"), "entry <uuid>"), expected);
    }
};

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
