// The protocol's bytes: requests against hand-written vectors, and every
// reply the recognisers must refuse.

#include "linkworld.h"

#include "link/frames.h"

#include <QTest>

using namespace kelvra;

namespace {

// Frames on their own, over the faked seams.
struct FrameWorld : LinkWorld
{
    Operation opKind = Operation::Read;
    Step step = Step::Idle;
    Transport transport{control, timer, op, comPortNo};
    Frames frames{transport, timer, op, info, image, opKind, step};
};

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void requestBytes_data();
    void requestBytes();
    void recognisers_data();
    void recognisers();
    void identifyReplyModel_data();
    void identifyReplyModel();
    void blockLandsWhereItSays();
};

void TestFrames::requestBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("program") << Frames::ProgramRequest() << Hex("50524f4752414d");
    QTest::newRow("identify") << Frames::IdentifyRequest() << Hex("02");
    QTest::newRow("end") << Frames::EndRequest() << Hex("454e44");
    QTest::newRow("read block 0") << Frames::ReadBlockRequest(0) << Hex("5208002000");
    QTest::newRow("read block 7") << Frames::ReadBlockRequest(7) << Hex("5208002007");

    RadioImage zeros;
    QTest::newRow("write block 0, zeros, checksum 7F")
        << Frames::WriteBlockRequest(0, zeros) << Hex("5708002000" + QByteArray(64, '0') + "7f");
    RadioImage ones;
    std::fill_n(ones.data() + 32, 32, quint8(0xFF));
    QTest::newRow("write block 1, FF, checksum 60")
        << Frames::WriteBlockRequest(1, ones) << Hex("5708002001" + QByteArray(64, 'f') + "60");
    RadioImage counting;
    for (int i = 0; i < RadioImage::Size; ++i)
        counting[i] = quint8(i);
    // 57+08+00+20+04 = 0x83, plus 128..159 = 0x11F0: 0x1273, so 73.
    QTest::newRow("write block 4 carries bytes 128-159")
        << Frames::WriteBlockRequest(4, counting)
        << Hex("5708002004808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f73");
}

void TestFrames::requestBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TestFrames::recognisers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("kind");

    TestRadio radio;
    for (int i = 0; i < RadioImage::Size; ++i)
        radio.image[i] = quint8(3 * i);
    const QByteArray block = radio.BlockReply(2);
    const QByteArray identify = radio.IdentifyReply();
    auto patched = [](QByteArray bytes, int at, char value) {
        bytes[at] = value;
        return bytes;
    };
    auto resummed = [](QByteArray bytes) {
        bytes[37] = char(TestRadio::Sum(bytes.left(37)));
        return bytes;
    };

    QTest::newRow("ack") << Hex("06") << "ack";
    QTest::newRow("repeat") << Hex("0a") << "repeat";
    QTest::newRow("identify") << identify << "identify";
    QTest::newRow("block") << block << "block";
    QTest::newRow("block 7") << resummed(patched(block, 4, 7)) << "block";

    QTest::newRow("nothing") << QByteArray() << "";
    QTest::newRow("other single byte") << Hex("15") << "";
    QTest::newRow("ack doubled") << Hex("0606") << "";
    QTest::newRow("repeat then ack") << Hex("0a06") << "";
    QTest::newRow("identify one short") << identify.left(15) << "";
    QTest::newRow("identify one long") << identify + '\x06' << "";
    QTest::newRow("identify wrong lead") << patched(identify, 0, 'i') << "";
    QTest::newRow("identify final not 06") << patched(identify, 15, 0x15) << "";
    QTest::newRow("block one short") << block.left(37) << "";
    QTest::newRow("block one long") << block + '\0' << "";
    QTest::newRow("block with stray byte ahead") << '\x06' + block.left(37) << "";
    QTest::newRow("block wrong lead R") << resummed(patched(block, 0, 'R')) << "";
    QTest::newRow("block fixed byte 1") << resummed(patched(block, 1, 0x09)) << "";
    QTest::newRow("block fixed byte 2") << resummed(patched(block, 2, 0x01)) << "";
    QTest::newRow("block fixed byte 3") << resummed(patched(block, 3, 0x21)) << "";
    QTest::newRow("block bad checksum") << patched(block, 37, char(block.at(37) + 1)) << "";
    QTest::newRow("block data changed") << patched(block, 20, char(block.at(20) ^ 0x40)) << "";
    QTest::newRow("block 8") << resummed(patched(block, 4, 8)) << "";
    QTest::newRow("block 255") << resummed(patched(block, 4, char(0xFF))) << "";
}

void TestFrames::recognisers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);

    FrameWorld world;
    QStringList accepted;
    if (Frames::IsAckReply(bytes))
        accepted << QStringLiteral("ack");
    if (Frames::IsRepeatReply(bytes))
        accepted << QStringLiteral("repeat");
    if (world.frames.IsIdentifyReply(bytes))
        accepted << QStringLiteral("identify");
    if (Frames::IsBlockReply(bytes))
        accepted << QStringLiteral("block");
    QCOMPARE(accepted.join(u','), kind);
}

void TestFrames::identifyReplyModel_data()
{
    QTest::addColumn<QByteArray>("modelBytes");
    QTest::addColumn<QString>("radioModel");

    QTest::newRow("all seven") << QByteArray("KR350UV") << "KR350UV";
    QTest::newRow("ended by 00") << QByteArray("KR3\0XYZ", 7) << "KR3";
    QTest::newRow("ended by FF") << QByteArray("KR35\xFFXY", 7) << "KR35";
    QTest::newRow("FF first") << QByteArray("\xFFKR350U", 7) << "";
    QTest::newRow("other spelling normalised") << QByteArray("KR350U_") << "KR350SU";
}

void TestFrames::identifyReplyModel()
{
    QFETCH(QByteArray, modelBytes);
    QFETCH(QString, radioModel);

    FrameWorld world;
    world.radio.model = modelBytes;
    world.radio.band = 0xC8;
    QVERIFY(world.frames.IsIdentifyReply(world.radio.IdentifyReply()));
    QCOMPARE(world.frames.RadioModel(), radioModel);
    // The band byte is unsigned: 200, not -56.
    QCOMPARE(world.info.BandCode, qint16(200));
}

void TestFrames::blockLandsWhereItSays()
{
    FrameWorld world;
    for (int i = 0; i < RadioImage::Size; ++i)
        world.radio.image[i] = quint8(i + 1);
    world.frames.StoreBlock(world.radio.BlockReply(7));
    world.frames.StoreBlock(world.radio.BlockReply(0));

    for (int i = 0; i < RadioImage::Size; ++i) {
        const bool stored = i < 32 || i >= 224;
        QCOMPARE(world.image[i], stored ? quint8(i + 1) : quint8(0));
    }
}

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
