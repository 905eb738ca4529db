// The history around whole reads and writes through the real serial control
// over a pseudo-terminal against the simulated radio: each operation leaves
// one entry that holds the radio's bytes before and after it; a write's
// backup is on disk before its first block reaches the radio, a write whose
// backup the disk refuses sends nothing, and a program killed in the middle
// of a write leaves a sound file whose entry holds the backup.
#include "history/historystore.h"
#include "record/imagecodec.h"
#include "services/historyrecorder.h"
#include "support/historyscene.h"
#include "support/ptylink.h"

using namespace kelvra;
using kelvra::testing::HistoryScene;

namespace {

// The first count blocks of image known, the others not.
KnownImage Blocks(const QByteArray &image, int count)
{
    KnownImage known;
    known.Set(0, reinterpret_cast<const quint8 *>(image.constData()), 32 * count);
    return known;
}

// The link over a pseudo-terminal with the history kept in folder.
struct World : kelvra::testing::PtyLink
{
    explicit World(const QString &folder) : PtyLink(folder, 908)
    {
        QVERIFY(Start());
        // The form as a read of this radio left it, with one field changed.
        op.onGetDataByShow = [this] {
            ++fieldsTaken;
            DecodeRadioInfo(image, info);
            info.DealerCode = QStringLiteral("D-0042");
        };
        op.onMessage = [this](const ScriptedOperator::Message &) { programModeAtBox = radio.InProgramMode(); };
        QObject::connect(&link, &RadioLink::Finished, [this](const OperationResult &r) { result = r; });
    }

    const QString path = folder + "/h/history.sqlite";
    HistoryStore store{path};
    HistoryRecorder recorder{store, link, &directory};
    OperationResult result;
    int fieldsTaken = 0; // the band question is asked as the fields are taken
    bool programModeAtBox = true;
};

// Run as a child: a write that SIGKILL ends as block 2 reaches the radio.
int DieWriting(const QString &folder)
{
    World w(folder);
    QObject::connect(&w.radio, &radiosim::SimulatedRadio::FrameReceived, [](const radiosim::ReceivedFrame &f) {
        if (f.bytes.startsWith(QByteArray::fromHex("5708002002")))
            raise(SIGKILL);
    });
    w.link.Command2_Click();
    QTest::qWait(10000);
    return 1;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void writes_data()
    {
        QTest::addColumn<QString>("scene");   // what keeps the file from taking a write; empty: nothing
        QTest::addColumn<QString>("refusal"); // a part of the refused write's detail
        // A read's entry, and a file read-only or held, the command-line suite shows.
        QTest::newRow("complete") << "" << "";
        // The store's table shows each reason found; here, that nothing is sent.
        QTest::newRow("folder read-only") << "read-only folder" << "The folder";
        QTest::newRow("file size limit") << "disk full" << "cannot grow";
    }

    void writes()
    {
        QFETCH(QString, scene);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        World w(dir.path());
        QVERIFY(HistoryStore(w.path).Open()); // as after the program's first run
        // Made the radio's user's for the rows that run as nobody.
        QVERIFY(geteuid() != 0 || chown(QFile::encodeName(w.radio.DevicePath()).constData(), 65534, -1) == 0);
        HistoryScene blocked(scene, w.path);
        // What the file holds as the first write block reaches the radio, read by another connection.
        std::optional<QList<HistoryEntry>> atFirstBlock;
        connect(&w.radio, &radiosim::SimulatedRadio::FrameReceived, this, [&](const radiosim::ReceivedFrame &f) {
            if (f.bytes.startsWith('W') && !atFirstBlock)
                atFirstBlock = HistoryStore(w.path).List({});
        });
        const QByteArray before = w.radio.Image();
        w.link.Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.op.texts.isEmpty(), 5000);
        blocked.Lift();

        if (!refusal.isEmpty()) {
            QCOMPARE(w.op.texts, QStringList{"Write Failure!"});
            QCOMPARE(w.result.failure, OperationResult::Failure::BackupFailed);
            QVERIFY2(w.result.detail.contains(refusal) && w.result.detail.endsWith("the radio was not changed."),
                     qPrintable(w.result.detail));
            QVERIFY(!atFirstBlock); // no write block sent
            // Refused before the band question, and let out of programming mode before the box.
            QCOMPARE(w.fieldsTaken, 0);
            QCOMPARE(w.radio.Frames().constLast().bytes, QByteArray("END"));
            QVERIFY(!w.programModeAtBox);
            return;
        }
        QCOMPARE(w.op.texts, QStringList{"Write Complete!"});
        const QList<HistoryEntry> entries = w.store.List({});
        QCOMPARE(entries.size(), 1);
        const HistoryEntry &entry = entries.first();
        QCOMPARE(entry.uuid, w.recorder.LastEntryUuid());
        // The five blocks it read and wrote.
        QVERIFY(entry.before == Blocks(before, 5));
        QVERIFY(entry.after == Blocks(w.radio.Image(), 5));
        QCOMPARE(ResultWord(entry.result) + ' ' + entry.serialNumber + ' ' + entry.portName + ' '
                     + entry.changedFields.join(','),
                 QString("complete 2026120500000042 COM908 DealerCode"));
        QVERIFY(atFirstBlock && atFirstBlock->size() == 1 && atFirstBlock->first().uuid == entry.uuid);
        QVERIFY(atFirstBlock->first().result == HistoryResult::Unfinished && atFirstBlock->first().before == entry.before);
    }

    void killedMidWrite()
    {
        QTemporaryDir dir;
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--die-writing", dir.path()});
        QVERIFY(child.waitForFinished(15000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        HistoryStore store(dir.filePath("h/history.sqlite"));
        QVERIFY(store.Open());
        QVERIFY(store.TakeSetAside().isEmpty()); // not damaged
        const QList<HistoryEntry> entries = store.List({});
        QCOMPARE(entries.size(), 1);
        QCOMPARE(int(entries.first().result), int(HistoryResult::Unfinished));
        QVERIFY(entries.first().before == Blocks(radiosim::DemoImage(), 5));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--die-writing")
        return DieWriting(QString::fromLocal8Bit(argv[2]));
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backup.moc"
