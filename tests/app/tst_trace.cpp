// The support trace: a read against the simulated radio, traced to a file,
// shows every request the radio received and every reply it sent, in order.
#include "app/commandline.h"
#include "appworld.h"
#include "demoimage.h"
#include "simulatedradio.h"

#include <QSignalSpy>

using namespace kelvra;
using kelvra::testing::AppWorld;

class TestTrace : public QObject
{
    Q_OBJECT

private slots:
    void readIsTracedFrameByFrame()
    {
        AppWorld world;
        const QString traceFile = world.Path("trace.log");
        QString error;
        QVERIFY2(StartTraceFile(traceFile, &error), qPrintable(error));
        radiosim::SimulatedRadio radio;
        radio.SetImage(radiosim::DemoImage());
        QVERIFY2(radio.Start(&error) && radio.MakeAlias(world.PortsDir(), 7, &error), qPrintable(error));
        QSignalSpy replies(&radio, &radiosim::SimulatedRadio::ReplySent);
        Program &program = world.Start();
        QCOMPARE(program.ComPortNo(), 7);

        program.Link().Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(world.boxes.texts(), QStringList{"Read Complete!"}, 5000);

        // Lines are "date time what bytes"; the exchange is what matters here.
        QFile file(traceFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList exchange;
        QString ending;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QString what = QString::fromUtf8(line).section(' ', 2);
            if (what.startsWith("tx") || what.startsWith("rx"))
                exchange << what.simplified();
            if (what.startsWith("end"))
                ending = what.simplified();
        }
        QStringList expected;
        const QList<radiosim::ReceivedFrame> &frames = radio.Frames();
        QCOMPARE(frames.size(), 11);
        QCOMPARE(replies.size(), 11);
        for (int i = 0; i < frames.size(); ++i) {
            expected << "tx " + frames.at(i).bytes.toHex(' ').toUpper();
            expected << "rx " + replies.at(i).at(0).toByteArray().toHex(' ').toUpper();
        }
        QCOMPARE(exchange, expected);
        QCOMPARE(ending, "end Read Complete!");
    }
};

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
