// Whole reads and writes through the real serial control against the
// simulated radio: the bytes it received, and what changed inside it.

#include "simworld.h"

#include "record/imagecodec.h"

using namespace kelvra;

class TestSimSession : public QObject
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

private:
    std::unique_ptr<SimWorld> m_world;
};

void TestSimSession::fullRead()
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

void TestSimSession::fullWrite()
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

QTEST_GUILESS_MAIN(TestSimSession)
#include "tst_simsession.moc"
