// Whole reads and writes through the real serial control over a
// pseudo-terminal against the simulated radio: the bytes it received, what
// changed inside it, and how each of its faults ends for the operator.

#include "demoimage.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "radioframes.h"
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

// The product's serial control and reply timer over a pseudo-terminal, with
// the simulated radio at the far end under a port alias of its own.
struct SimWorld
{
    static constexpr int PortNo = 907;

    QTemporaryDir dir;
    radiosim::SimulatedRadio radio;
    PortDirectory directory{dir.filePath(QStringLiteral("ports"))};
    QtSerialControl control{directory};
    QtReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    RadioImage image;
    qint16 comPortNo = PortNo;
    RadioLink link{control, timer, op, info, image, comPortNo};

    // Starts the radio with the demo image; false (with a test failure) if the pty is refused.
    bool Start()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        QString error;
        if (!dir.isValid() || !radio.Start(&error) || !radio.MakeAlias(directory.AliasDir(), PortNo, &error)) {
            qWarning("simulated radio: %s", qPrintable(error));
            return false;
        }
        radio.SetImage(radiosim::DemoImage());
        radio.SetModelBytes("KR350UV");
        return true;
    }

    // Requests as the radio received them, in hex, block frames cut after the block number.
    QStringList Requests() const
    {
        QStringList list;
        for (const radiosim::ReceivedFrame &frame : radio.Frames()) {
            const QByteArray &b = frame.bytes;
            list.append(QString::fromLatin1(b.size() == radiosim::kBlockFrameSize ? b.left(5).toHex() + "..."
                                                                                  : b.toHex()));
        }
        return list;
    }

    QByteArray Image() const { return QByteArray(reinterpret_cast<const char *>(image.data()), RadioImage::Size); }
};

const QStringList &FullReadRequests()
{
    static const QStringList requests{"50524f4752414d", "02", "5208002000", "5208002001",
                                      "5208002002", "5208002003", "5208002004", "5208002005",
                                      "5208002006", "5208002007", "454e44"};
    return requests;
}

const QStringList &FullWriteRequests()
{
    static const QStringList requests{"50524f4752414d", "02", "5208002000", "5208002001",
                                      "5208002002", "5208002004", "5708002000...", "5708002001...",
                                      "5708002002...", "5708002003...", "5708002004...", "454e44"};
    return requests;
}

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
    void modelMismatchOnWrite();
    void hangUpMidOperation_data();
    void hangUpMidOperation();

private:
    std::unique_ptr<SimWorld> m_world;
};

void TestSimRadio::fullRead()
{
    SimWorld &w = *m_world;
    w.link.Command1_Click();
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts(), QStringList{"Read Complete!"}, 5000);

    QCOMPARE(w.Requests(), FullReadRequests());
    QCOMPARE(w.Image(), w.radio.Image());
    QCOMPARE(w.info.BandCode, qint16(w.radio.BandCode()));
    QCOMPARE(w.op.showByDataCalls, 1);
    QVERIFY(!w.control.PortOpen());
    QVERIFY(!w.radio.InProgramMode());
}

void TestSimRadio::fullWrite()
{
    SimWorld &w = *m_world;
    const QByteArray before = w.radio.Image();
    w.op.modelBoxText = QStringLiteral("KR350UV");
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
    QTRY_COMPARE_WITH_TIMEOUT(w.op.texts(), QStringList{"Write Complete!"}, 5000);
    QCOMPARE(w.Requests(), FullWriteRequests());

    const QByteArray after = w.radio.Image();
    auto owned = [](int i) { return i == 7 || i == 13 || (i >= 60 && i < 64) || (i >= 80 && i < 144); };
    for (int i = 0; i < radiosim::kImageSize; ++i) {
        if (!owned(i))
            QVERIFY2(after.at(i) == before.at(i), qPrintable(QStringLiteral("byte %1 changed").arg(i)));
    }
    QCOMPARE(quint8(after.at(7)), quint8(2));
    QCOMPARE(after.at(13) ^ before.at(13), 0x04);
    QCOMPARE(after.mid(60, 4), QByteArray("9876"));
    QCOMPARE(after.mid(80, 16), QByteArray("D-0042").leftJustified(16, '\0'));
    QCOMPARE(after.mid(128, 16), QByteArray("Lin").leftJustified(16, '\0'));
    for (const radiosim::ReceivedFrame &frame : w.radio.Frames())
        QVERIFY(radiosim::KindOf(frame.bytes) != radiosim::Request::WriteBlock || quint8(frame.bytes.at(4)) < 5);
    QVERIFY(!w.control.PortOpen());
}

void TestSimRadio::faults_data()
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

void TestSimRadio::faults()
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

void TestSimRadio::modelMismatchOnWrite()
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

void TestSimRadio::hangUpMidOperation_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("frame");

    QTest::newRow("read, at block 2") << false << 5;
    QTest::newRow("write, at block 1 written") << true << 8;
}

void TestSimRadio::hangUpMidOperation()
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

QTEST_GUILESS_MAIN(TestSimRadio)
#include "tst_simradio.moc"
