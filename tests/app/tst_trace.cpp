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
        QString error;
        QVERIFY2(StartTraceFile(world.Path("trace.log"), &error), qPrintable(error));
        radiosim::SimulatedRadio radio;
        radio.SetImage(radiosim::DemoImage());
        QVERIFY2(radio.Start(&error) && radio.MakeAlias(world.PortsDir(), 7, &error), qPrintable(error));
        QSignalSpy replies(&radio, &radiosim::SimulatedRadio::ReplySent);

        world.Start().Link().Command1_Click();
        QTRY_COMPARE_WITH_TIMEOUT(world.boxes.texts(), QStringList{"Read Complete!"}, 5000);

        QCOMPARE(replies.size(), radio.Frames().size());
        QStringList expected;
        for (int i = 0; i < replies.size(); ++i)
            expected << "tx " + radio.Frames().at(i).bytes.toHex(' ').toUpper()
                     << "rx " + replies.at(i).at(0).toByteArray().toHex(' ').toUpper();
        expected << "end Read Complete!";
        // Lines are "date time what details"; the exchange and how it ended are what matter here.
        QFile file(world.Path("trace.log"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList traced;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QString what = QString::fromUtf8(line).section(' ', 2).simplified();
            if (what.startsWith("tx") || what.startsWith("rx") || what.startsWith("end"))
                traced << what;
        }
        QCOMPARE(traced, expected);
    }
};

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
