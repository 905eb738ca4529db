// The history file on a real disk: what refuses a write's backup and says
// why, what is set aside, what the database itself refuses, even to another
// client, and where and how a new file comes into being.
#include "history/historyfile.h"
#include "history/historystore.h"
#include "support/historyscene.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QtTest>

using namespace kelvra;
using namespace kelvra::testing;

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

void Put(const QString &path, const QByteArray &bytes, qint64 at = 0)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(at);
    file.write(bytes);
}

// Rewrites the oldest entry, its before-image dropped.
QString Replace(const QString &verb)
{
    return verb + " INTO entry SELECT seq, uuid, time_utc, operation, 'failure', 'rewritten', '', '', '', '', '', '',"
                  " '', '', '', NULL, NULL, NULL, NULL FROM entry WHERE seq = 1";
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
        for (const char *suffix : {"", "-wal", "-shm"})
            QCOMPARE(Mode(path + QLatin1String(suffix)), mode_t(0600));

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
        HistoryQuery query;
        query.filter.serial = QStringLiteral("0042");
        const auto one = store.List(query);
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
        QTest::newRow("finished entry replaced, REPLACE INTO from sqlite3") << "REPLACE" << none;
        QTest::newRow("finished entry replaced, INSERT OR REPLACE from sqlite3") << "INSERT OR REPLACE" << none;
        QTest::newRow("finished entry replaced, through the store's own connection") << "own REPLACE" << none;
        QTest::newRow("finished entry replaced in a file from before the guard, once opened")
            << "REPLACE, first version" << none;
        QTest::newRow("log and index a reader left read-only: given the file's mode")
            << "companions left read-only" << none;
        QTest::newRow("log and index of another owner: named") << "companions of another owner"
                                                                << int(HistoryFailure::ReadOnly);
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

        if (scene == "companions of another owner" && geteuid() != 0)
            QSKIP("only root can leave files of another owner");
        if (scene.endsWith("first version"))
            QCOMPARE(Sqlite3({path, "DROP TRIGGER entry_is_new; UPDATE schema_version SET version = 1"}), QByteArray());
        HistoryScene blocked(scene, path);
        // Whatever keeps the file from taking a write, a listing only reads it.
        if (scene.startsWith("read-only") || scene == "locked" || scene == "companions left read-only")
            QCOMPARE(HistoryStore(path, HistoryStore::Check::AsRead, HistoryStore::Access::ReadOnly).List({}).size(), 20);
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
        } else if (scene == "own REPLACE") {
            QVERIFY(store.Open());
            QVERIFY(!QSqlQuery(QSqlDatabase::database(store.ConnectionName())).exec(Replace("REPLACE")));
        } else if (scene.contains("REPLACE")) {
            QVERIFY(store.Open());
            const QByteArray said = Sqlite3({path, Replace(scene.section(',', 0, 0))});
            QVERIFY2(said.contains("exists already"), said.isEmpty() ? "the entry was rewritten" : said.constData());
        }
        HistoryEntry write = Backup();
        HistoryProblem problem;
        const bool stored = store.BeginWrite(write, &problem);
        QCOMPARE(int(problem.kind), kind);
        QCOMPARE(stored, kind == int(HistoryFailure::None));
        QVERIFY(stored || problem.reason.contains(QStringLiteral("history")));
        if (scene == "companions of another owner")
            QVERIFY2(problem.reason.contains(path + "-shm"), qPrintable(problem.reason));
        if (scene == "companions left read-only")
            QCOMPARE(Mode(path + "-shm"), mode_t(0600));

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
        HistoryQuery query;
        query.limit = 100;
        const QList<HistoryEntry> all = store.List(query);
        QCOMPARE(all.size(), damaged ? 1 : 21);
        QVERIFY(all.constLast().result != HistoryResult::Failure); // the oldest, as it was stored
    }

    // Where a new history file comes into being, readable by its owner only.
    void created_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::newRow("link to a file not there yet: its target created 0600") << "link";
        QTest::newRow("relative XDG_DATA_HOME: ignored") << "relative";
    }
    void created()
    {
        QFETCH(QString, scene);
        QTemporaryDir dir;
        QString expected = dir.filePath("elsewhere/kept.sqlite");
        QString path = dir.filePath("history.sqlite");
        if (scene == "link") {
            QVERIFY(QDir().mkpath(dir.filePath("elsewhere")) && QFile::link("elsewhere/kept.sqlite", path));
        } else {
            const QByteArray home = qgetenv("HOME");
            qputenv("HOME", QFile::encodeName(dir.path()));
            qputenv("XDG_DATA_HOME", "share");
            path = HistoryFilePath(false, dir.path());
            qputenv("HOME", home);
            qunsetenv("XDG_DATA_HOME");
            QCOMPARE(path, expected = dir.filePath(".local/share/KelvraSet/history.sqlite"));
        }
        const mode_t oldMask = umask(022);
        HistoryEntry write = Backup();
        QVERIFY(HistoryStore(path).BeginWrite(write));
        umask(oldMask);
        QCOMPARE(Mode(expected), mode_t(0600));
    }
};

KELVRA_HISTORY_SCENE_MAIN(TestHistoryStore)

#include "tst_historystore.moc"
