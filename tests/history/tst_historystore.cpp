// The history file on a real disk: what refuses a write's backup and says
// why, what is set aside, what the database itself refuses, and what a
// program killed in the middle of a write leaves behind.
#include "history/historystore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvra;

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

// File modes do not bind root: while this lives, the process acts as nobody.
struct AsNobody
{
    explicit AsNobody(const QString &dir) : root(geteuid() == 0)
    {
        if (!root)
            return;
        for (const QFileInfo &file : QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            QVERIFY(chown(QFile::encodeName(file.filePath()).constData(), 65534, 65534) == 0);
        for (const QString &folder : {dir, QFileInfo(dir).absolutePath()})
            QVERIFY(chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        QVERIFY(setegid(65534) == 0 && seteuid(65534) == 0);
    }
    ~AsNobody()
    {
        if (root && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot become root again");
    }
    bool root;
};

// What the child processes do: begin a write and wait to be killed, or hold
// the file's write lock until killed.
int Child(const QByteArray &what, const QString &path)
{
    if (what == "--begin") {
        HistoryStore store(path);
        HistoryEntry entry = Backup();
        if (!store.BeginWrite(entry))
            return 2;
        std::printf("%s\n", qPrintable(entry.uuid));
    } else {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(path);
        if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")))
            return 2;
        std::printf("held\n");
    }
    std::fflush(stdout);
    pause();
    return 0;
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

        RadioImage written = Counting();
        std::fill(written.data() + 80, written.data() + 96, quint8(0));
        written[80] = 'D';
        write.after = KnownImage(written);
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
        QVERIFY(fetched->before == write.before && fetched->after == write.after);
        QVERIFY(fetched->before.Known(159) && !fetched->before.Known(160)); // unknown, not zero
        QCOMPARE(fetched->changedFields, QStringList{"DealerCode"});
        QCOMPARE(int(fetched->result), int(HistoryResult::Complete));

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
        QTest::newRow("finished entry updated") << "update" << none;
        QTest::newRow("finished entry deleted") << "delete" << none;
        QTest::newRow("killed between begin and finish") << "killed" << none;
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

        std::unique_ptr<AsNobody> identity;
        QProcess other;
        struct SizeLimit // whatever happens below, the rows after this one may write again
        {
            SizeLimit() { getrlimit(RLIMIT_FSIZE, &unlimited); }
            ~SizeLimit() { Lift(); }
            void Lift() { setrlimit(RLIMIT_FSIZE, &unlimited); }
            rlimit unlimited{};
        } sizeLimit;
        const QByteArray garbage(5000, 'x');
        QString killedUuid;
        if (scene == "read-only file") {
            QVERIFY(chmod(QFile::encodeName(path).constData(), 0400) == 0);
            identity = std::make_unique<AsNobody>(dir);
        } else if (scene == "read-only folder") {
            QVERIFY(chmod(QFile::encodeName(dir).constData(), 0500) == 0);
            identity = std::make_unique<AsNobody>(dir);
        } else if (scene == "disk full") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small{1024, sizeLimit.unlimited.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        } else if (scene == "locked" || scene == "killed") {
            other.start(QCoreApplication::applicationFilePath(), {scene == "locked" ? "--hold" : "--begin", path});
            QVERIFY(other.waitForReadyRead(10000));
            killedUuid = QString::fromLatin1(other.readAllStandardOutput().trimmed());
            if (scene == "killed") {
                QVERIFY(::kill(pid_t(other.processId()), SIGKILL) == 0);
                QVERIFY(other.waitForFinished());
            }
        } else if (scene == "garbage") {
            for (const char *suffix : {"", "-wal", "-shm"})
                Put(path + QLatin1String(suffix), garbage);
        } else if (scene == "damaged page") {
            Put(path, garbage, 4096);
        }

        HistoryStore store(path);
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
        identity.reset();
        sizeLimit.Lift();
        chmod(QFile::encodeName(path).constData(), 0600);
        chmod(QFile::encodeName(dir).constData(), 0700);
        if (other.state() != QProcess::NotRunning) {
            other.kill();
            other.waitForFinished();
        }
        QVERIFY(stored || store.BeginWrite(write));

        const QString aside = store.TakeSetAside();
        const bool damaged = scene == "garbage" || scene == "damaged page";
        QCOMPARE(aside.isEmpty(), !damaged);
        int expected = damaged ? 1 : 21;
        if (damaged) {
            QVERIFY2(QRegularExpression("/history\\.damaged-\\d{8}T\\d{6}\\.\\d{3}Z\\.sqlite$").match(aside).hasMatch(),
                     qPrintable(aside));
            QVERIFY(store.TakeSetAside().isEmpty()); // said once
            QCOMPARE(Contents(aside).mid(scene == "garbage" ? 0 : 4096, garbage.size()), garbage);
            // The log kept as it was; the index beside it is rebuilt from the log whenever opened.
            if (scene == "garbage")
                QVERIFY(Contents(aside + "-wal") == garbage && QFileInfo::exists(aside + "-shm"));
        }
        if (scene == "killed") {
            const auto backup = store.Fetch(killedUuid);
            QVERIFY(backup);
            QCOMPARE(int(backup->result), int(HistoryResult::Unfinished));
            QVERIFY(backup->before == Backup().before);
            ++expected;
        }
        QCOMPARE(store.List({QString(), 0, 100}).size(), expected);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]).startsWith("--"))
        return Child(argv[1], QString::fromLocal8Bit(argv[2]));
    TestHistoryStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historystore.moc"
