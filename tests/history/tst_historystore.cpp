// The history file on a real disk: what refuses a write's backup and says
// why, what is set aside, and what the database itself refuses.
#include "history/historystore.h"
#include "support/historyscene.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QtTest>

using namespace kelvra;
using kelvra::testing::HistoryScene;

namespace {

RadioImage Counting()
{
    RadioImage image;
    for (int i = 0; i < RadioImage::Size; ++i)
        image[i] = quint8(i * 7 + 3);
    return image;
}

// A write about to send its blocks: the backup knows blocks 0 to 4 only.
HistoryEntry Backup()
{
    HistoryEntry entry = NewHistoryEntry(HistoryOperation::Write);
    for (int block = 0; block < 5; ++block)
        entry.before.SetBlock(block, Counting());
    entry.serialNumber = QStringLiteral("2026120500000042");
    entry.model = QStringLiteral("KR350UV");
    return entry;
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

void Put(const QString &path, const QByteArray &bytes, qint64 at = 0)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(at);
    file.write(bytes);
}

} // namespace

class TestHistoryStore : public QObject
{
    Q_OBJECT

private slots:
    void entryRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data/history.sqlite"));
        const mode_t oldMask = umask(0);
        HistoryStore store(path);
        HistoryEntry write = Backup();
        HistoryProblem p;
        QVERIFY2(store.BeginWrite(write, &p), qPrintable(p.reason));
        umask(oldMask);
        // It holds passwords, and so do its log and index.
        for (const char *suffix : {"", "-wal", "-shm"}) {
            struct stat info
            {
            };
            QCOMPARE(stat(QFile::encodeName(path + QLatin1String(suffix)).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0600));
        }

        write.result = HistoryResult::Complete;
        QVERIFY(store.Finish(write));
        QVERIFY(!store.Finish(write)); // once only

        HistoryEntry read = NewHistoryEntry(HistoryOperation::Read);
        read.result = HistoryResult::Failure;
        read.serialNumber = QStringLiteral("2026120500000077");
        QVERIFY(store.Record(read));

        const auto fetched = store.Fetch(write.uuid);
        QVERIFY(fetched);
        QCOMPARE(fetched->time, write.time);

        const auto all = store.List({});
        QCOMPARE(all.size(), 2);
        QCOMPARE(all.first().uuid, read.uuid); // newest first
        const auto one = store.List({QStringLiteral("0042")});
        QCOMPARE(one.size(), 1);
        QCOMPARE(one.first().uuid, write.uuid);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("kind"); // what BeginWrite reports
        const auto none = int(HistoryFailure::None);
        QTest::newRow("read-only file") << "read-only file" << int(HistoryFailure::ReadOnly);
        QTest::newRow("read-only folder") << "read-only folder" << int(HistoryFailure::ReadOnly);
        QTest::newRow("file size limit") << "disk full" << int(HistoryFailure::DiskFull);
        QTest::newRow("locked by another process") << "locked" << int(HistoryFailure::Locked);
        QTest::newRow("not a database: set aside") << "garbage" << none;
        QTest::newRow("damaged page: set aside") << "damaged page" << none;
        QTest::newRow("damaged page met in use: set aside") << "damaged last page, checked as read" << none;
        QTest::newRow("finished entry updated") << "update" << none;
        QTest::newRow("finished entry deleted") << "delete" << none;
    }

    void failures()
    {
        QFETCH(QString, scene);
        QFETCH(int, kind);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("h"));
        const QString path = dir + QStringLiteral("/history.sqlite");
        QVERIFY(QDir().mkpath(dir));
        HistoryEntry seed = NewHistoryEntry(HistoryOperation::Read);
        seed.result = HistoryResult::Complete;
        seed.after = KnownImage(Counting());
        {
            HistoryStore first(path);
            for (int i = 0; i < 20; ++i) { // enough pages that one can be damaged alone
                seed.uuid.clear();
                QVERIFY(first.Record(seed));
            }
        }

        HistoryScene blocked(scene, path);
        QByteArray garbage(5000, 'x');
        qint64 at = 0;
        if (scene == "garbage") {
            for (const char *suffix : {"", "-wal", "-shm"})
                Put(path + QLatin1String(suffix), garbage);
        } else if (scene == "damaged page") {
            Put(path, garbage, at = 4096);
        } else if (scene.startsWith("damaged last page")) { // the newest entries, which opening does not read
            garbage.truncate(4096);
            Put(path, garbage, at = QFileInfo(path).size() - 4096);
        }

        HistoryStore store(path, scene.endsWith("as read") ? HistoryStore::Check::AsRead
                                                           : HistoryStore::Check::WholeFile);
        if (scene == "update" || scene == "delete") {
            QVERIFY(store.Open());
            QSqlQuery query(QSqlDatabase::database(store.ConnectionName()));
            QVERIFY(!query.exec(scene == "update" ? "UPDATE entry SET result = 'failure'" : "DELETE FROM entry"));
            QVERIFY2(query.lastError().text().contains(scene == "update" ? "cannot be changed" : "cannot be deleted"),
                     qPrintable(query.lastError().text()));
        }
        HistoryEntry write = Backup();
        HistoryProblem problem;
        const bool stored = store.BeginWrite(write, &problem);
        QCOMPARE(int(problem.kind), kind);
        QCOMPARE(stored, kind == int(HistoryFailure::None));
        QVERIFY(stored || problem.reason.contains(QStringLiteral("history")));

        // The cause removed, the same store takes the entry: the refused attempt stored nothing.
        blocked.Lift();
        QVERIFY(stored || store.BeginWrite(write));

        const QString aside = store.TakeSetAside();
        const bool damaged = scene == "garbage" || scene.startsWith("damaged");
        QCOMPARE(aside.isEmpty(), !damaged);
        if (damaged) {
            QVERIFY2(QRegularExpression("/history\\.damaged-\\d{8}T\\d{6}\\.\\d{3}Z\\.sqlite$").match(aside).hasMatch(),
                     qPrintable(aside));
            QVERIFY(store.TakeSetAside().isEmpty()); // said once
            QCOMPARE(Contents(aside).mid(at, garbage.size()), garbage);
            // The log kept as it was; the index beside it is rebuilt from the log whenever opened.
            if (scene == "garbage")
                QVERIFY(Contents(aside + "-wal") == garbage && QFileInfo::exists(aside + "-shm"));
        }
        QCOMPARE(store.List({QString(), 0, 100}).size(), damaged ? 1 : 21);
    }
};

KELVRA_HISTORY_SCENE_MAIN(TestHistoryStore)

#include "tst_historystore.moc"
