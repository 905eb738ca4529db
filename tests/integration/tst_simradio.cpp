// Whole reads and writes through the real serial control over a
// pseudo-terminal against the simulated radio: the bytes it received, what
// changed inside it, and how each of its faults ends for the operator.

#include "demoimage.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "simulatedradio.h"
#include "support/scriptedoperator.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kelvra;
using radiosim::Fault;
using radiosim::FaultRule;
using radiosim::Request;

Q_DECLARE_METATYPE(QList<radiosim::FaultRule>)

namespace {

// Block frames cut after the block number.
const QStringList ReadRequests{"50524f4752414d", "02", "5208002000", "5208002001", "5208002002", "5208002003",
                               "5208002004", "5208002005", "5208002006", "5208002007", "454e44"};
const QStringList WriteRequests{"50524f4752414d", "02", "5208002000", "5208002001", "5208002002", "5208002004",
                                "5708002000", "5708002001", "5708002002", "5708002003", "5708002004", "454e44"};

// The product's serial control and reply timer over a pseudo-terminal, with
// the simulated radio at the far end under a port alias of its own.
struct SimWorld
{
    QTemporaryDir dir;
    radiosim::SimulatedRadio radio;
    PortDirectory directory{dir.filePath(QStringLiteral("ports"))};
    QtSerialControl control{directory};
    QtReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    RadioImage image;
    qint16 comPortNo = 907;
    RadioLink link{control, timer, op, info, image, comPortNo};

    // Starts the radio with the demo image; false if the pseudo-terminal is refused.
    bool Start()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        QString error;
        if (!dir.isValid() || !radio.Start(&error) || !radio.MakeAlias(directory.AliasDir(), comPortNo, &error)) {
            qWarning("simulated radio: %s", qPrintable(error));
            return false;
        }
        radio.SetImage(radiosim::DemoImage());
        radio.SetModelBytes("KR350UV");
        return true;
    }

    QStringList Requests() const
    {
        QStringList list;
        for (const radiosim::ReceivedFrame &frame : radio.Frames()) {
            const QByteArray &b = frame.bytes;
            list.append(QString::fromLatin1((b.size() == radiosim::kBlockFrameSize ? b.left(5) : b).toHex()));
        }
        return list;
    }

    QByteArray Image() const { return QByteArray(reinterpret_cast<const char *>(image.data()), RadioImage::Size); }
};

} // namespace

class TestSimRadio : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_world = std::make_unique<SimWorld>();
        QVERIFY(m_world->Start());
    }
    void cleanup() { m_world.reset(); }

    void fullRead();
    void fullWrite();
    void faults_data();
    void faults();

private:
    std::unique_ptr<SimWorld> m_world;
};

void TestSimRadio::fullRead()
{
    SimWorld &w = *m_world;
    w.link.Command1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts, QStringList{"Read Complete!"}, 5000);

    QCOMPARE(w.Requests(), ReadRequests);
    QCOMPARE(w.Image(), w.radio.Image());
    QVERIFY(!w.control.PortOpen());
    QVERIFY(!w.radio.InProgramMode());
}

void TestSimRadio::fullWrite()
{
    SimWorld &w = *m_world;
    const QByteArray before = w.radio.Image();
    w.op.onGetDataByShow = [&] {
        w.info.DealerCode = QStringLiteral("D-0042");
        w.info.StockDate = QStringLiteral("2026-11-02");
        w.info.SellDate = QStringLiteral("2026-12-05");
        w.info.Seller = QStringLiteral("Lin");
        w.info.ProgramPassword = QStringLiteral("9876");
        w.info.BandCode = 2;
        w.info.FreqSet = (before.at(13) & 0x04) ? 0 : 1;
        // Taken into the record but not the radio's business.
        w.info.MaintenanceNote = QStringLiteral("never sent");
        w.info.AreaCode = QStringLiteral("9999");
    };
    w.link.Command2_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts, QStringList{"Write Complete!"}, 5000);
    QCOMPARE(w.Requests(), WriteRequests);

    // Only the band, the band-setting bit, the password and the dealer's fields change.
    auto field = [](const char *text) { return QByteArray(text).leftJustified(16, '\0'); };
    QByteArray expected = before;
    expected[7] = 2;
    expected[13] = char(before.at(13) ^ 0x04);
    expected.replace(60, 4, "9876");
    expected.replace(80, 64, field("D-0042") + field("2026-11-02") + field("2026-12-05") + field("Lin"));
    QCOMPARE(w.radio.Image().toHex(), expected.toHex());
    QVERIFY(!w.control.PortOpen());
}

void TestSimRadio::faults_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QList<FaultRule>>("rules");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<int>("hangUpAt"); // the frame on which the radio hangs up; 0 never
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("requests");

    const QByteArray uv("KR350UV");
    const QStringList readOk{"Read Complete!"};
    auto rule = [](Fault fault, Request request) { return QList<FaultRule>{FaultRule{fault, request, 1, -1}}; };

    // Each answered by sending the request once more.
    QTest::newRow("identify one byte long")
        << false << rule(Fault::TooLong, Request::Identify) << uv << 0 << readOk << 12;
    QTest::newRow("block one byte short")
        << false << rule(Fault::TooShort, Request::ReadBlock) << uv << 0 << readOk << 12;
    QTest::newRow("block bad checksum")
        << false << rule(Fault::BadChecksum, Request::ReadBlock) << uv << 0 << readOk << 12;
    QTest::newRow("stray bytes before block")
        << false << rule(Fault::StrayBytes, Request::ReadBlock) << uv << 0 << readOk << 12;
    QTest::newRow("identify wrong lead")
        << false << rule(Fault::WrongLead, Request::Identify) << uv << 0 << readOk << 12;
    QTest::newRow("unknown model")
        << false << QList<FaultRule>{} << QByteArray("KR999XX") << 0
        << QStringList{"Model Error\r\nPC is KR999XX\r\nRadio is KR999XX", "Read Failure!"} << 2;
    QTest::newRow("model mismatch on write")
        << true << QList<FaultRule>{} << QByteArray("KR350SV") << 0
        << QStringList{"Model Error\r\nPC is KR350UV\r\nRadio is KR350SV", "Write Failure!"} << 2;
    QTest::newRow("hang-up on reading block 2")
        << false << QList<FaultRule>{} << uv << 5 << QStringList{"Read Failure!"} << 5;
    QTest::newRow("hang-up on writing block 1")
        << true << QList<FaultRule>{} << uv << 8 << QStringList{"Write Failure!"} << 8;
}

void TestSimRadio::faults()
{
    QFETCH(bool, write);
    QFETCH(QList<FaultRule>, rules);
    QFETCH(QByteArray, model);
    QFETCH(int, hangUpAt);
    QFETCH(QStringList, texts);
    QFETCH(int, requests);

    SimWorld &w = *m_world;
    w.radio.SetFaults(rules);
    w.radio.SetModelBytes(model);
    w.radio.SetHangUpAfterFrames(hangUpAt);
    write ? w.link.Command2_Click() : w.link.Command1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts, texts, 5000);

    QCOMPARE(w.radio.Frames().size(), requests);
    if (texts == QStringList{"Read Complete!"})
        QCOMPARE(w.Image(), w.radio.Image());
    // A failure leaves the port open for late bytes; a lost port is let go.
    QCOMPARE(w.control.PortOpen(), texts.constLast().endsWith(QLatin1String("Failure!")) && hangUpAt == 0);
}

QTEST_GUILESS_MAIN(TestSimRadio)
#include "tst_simradio.moc"
