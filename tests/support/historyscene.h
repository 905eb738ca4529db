#pragma once

// What keeps a history file from taking a write, on a real disk: the file or
// its folder read-only, a limit on file size, another process holding the
// database's write lock, a log and index a reader left read-only, another
// program's database in its place. A scene lasts as long as its object, and
// is lifted whatever becomes of the test.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra::testing {

// File modes do not bind root: while this lives, the process, and every
// process it starts, acts as nobody. Files named in keep stay root's.
struct AsNobody
{
    explicit AsNobody(const QString &dir, const QStringList &keep = {}) : root(geteuid() == 0)
    {
        if (!root)
            return;
        for (const QFileInfo &file : QDir(dir).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            QVERIFY(keep.contains(file.filePath())
                    || chown(QFile::encodeName(file.filePath()).constData(), 65534, 65534) == 0);
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

// A test executable started with "--hold PATH" holds the write lock of the
// database at PATH until it is killed.
inline int HoldHistoryLock(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")))
        return 2;
    std::printf("held\n");
    std::fflush(stdout);
    pause();
    return 0;
}

// main() for a suite whose scenes hold a history's lock from a second copy of itself.
#define KELVRA_HISTORY_SCENE_MAIN(TestObject)                                                                  \
    int main(int argc, char *argv[])                                                                           \
    {                                                                                                          \
        QCoreApplication app(argc, argv);                                                                      \
        if (argc == 3 && QByteArray(argv[1]) == "--hold")                                                      \
            return kelvra::testing::HoldHistoryLock(QString::fromLocal8Bit(argv[2]));                         \
        TestObject test;                                                                                       \
        return QTest::qExec(&test, argc, argv);                                                                \
    }

inline QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

inline mode_t Mode(const QString &path)
{
    struct stat info = {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

// Runs sqlite3 on a history, as any other client would: empty when it
// succeeded, else what went wrong.
inline QByteArray Sqlite3(const QStringList &arguments)
{
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), arguments);
    if (!sqlite.waitForFinished())
        return "sqlite3 did not run (scripts/test.sh installs it)";
    return sqlite.exitCode() == 0 ? QByteArray() : sqlite.readAllStandardError();
}

// One of "read-only file", "read-only folder", "disk full", "locked", the
// log and index "companions left read-only" or "companions of another owner",
// and "foreign" (another program's database), or none, for an empty scene,
// on the existing history file at path.
class HistoryScene
{
public:
    HistoryScene(const QString &scene, const QString &path) : m_path(path), m_dir(QFileInfo(path).absolutePath())
    {
        getrlimit(RLIMIT_FSIZE, &m_unlimited);
        if (scene.startsWith("companions")) {
            // A reader met the file read-only and made them so; the file's mode was given back since.
            const bool ours = scene == "companions left read-only";
            QVERIFY(chmod(QFile::encodeName(path).constData(), 0400) == 0);
            if (ours)
                m_identity = std::make_unique<AsNobody>(m_dir);
            QCOMPARE(Sqlite3({"-readonly", path, "SELECT count(*) FROM entry"}), QByteArray());
            QVERIFY(chmod(QFile::encodeName(path).constData(), 0600) == 0);
            if (!ours)
                m_identity = std::make_unique<AsNobody>(m_dir, QStringList{path + "-wal", path + "-shm"});
        } else if (scene == "foreign") {
            QVERIFY(QFile::remove(path));
            QCOMPARE(Sqlite3({path, "CREATE TABLE note (text TEXT)"}), QByteArray());
        } else if (scene == "read-only file") {
            QVERIFY(chmod(QFile::encodeName(path).constData(), 0400) == 0);
            m_identity = std::make_unique<AsNobody>(m_dir);
        } else if (scene == "read-only folder") {
            QVERIFY(chmod(QFile::encodeName(m_dir).constData(), 0500) == 0);
            m_identity = std::make_unique<AsNobody>(m_dir);
        } else if (scene == "disk full") {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{1024, m_unlimited.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        } else if (scene == "locked") {
            m_holder.start(QCoreApplication::applicationFilePath(), {"--hold", path});
            QVERIFY(m_holder.waitForReadyRead(10000));
        }
    }
    ~HistoryScene() { Lift(); }

    void Lift()
    {
        m_identity.reset();
        setrlimit(RLIMIT_FSIZE, &m_unlimited);
        chmod(QFile::encodeName(m_path).constData(), 0600);
        chmod(QFile::encodeName(m_dir).constData(), 0700);
        if (m_holder.state() != QProcess::NotRunning) {
            m_holder.kill();
            m_holder.waitForFinished();
        }
    }

private:
    QString m_path;
    QString m_dir;
    rlimit m_unlimited{};
    std::unique_ptr<AsNobody> m_identity;
    QProcess m_holder;
};

} // namespace kelvra::testing
