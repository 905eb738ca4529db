// Opening the local history file: to record, created and brought up to date;
// to list, read as it is.
#include "history/historystore.h"

#include "history/historyfile.h"
#include "history/historyschema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>

namespace kelvra {

namespace {

bool Fail(HistoryProblem &problem, const QString &path, const QSqlError &error)
{
    problem = ExplainFailure(path, error.nativeErrorCode().toInt(), error.text());
    return false;
}

HistoryProblem NewerFile(const QString &path)
{
    return {HistoryFailure::NewerFile,
            QCoreApplication::translate("HistoryStore",
                                        "The history file %1 was written by a newer version of KelvraSet.")
                .arg(QDir::toNativeSeparators(path))};
}

bool CheckWhole(const QSqlDatabase &db, const QString &path, HistoryProblem &problem)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return Fail(problem, path, query.lastError());
    if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
        problem = ExplainFailure(path, SqliteCorrupt, QString());
        return false;
    }
    return true;
}

bool HasIndex(const QSqlDatabase &db, const QString &name)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    query.addBindValue(name);
    return query.exec() && query.next();
}

} // namespace

bool HistoryStore::TryOpen(HistoryProblem &problem)
{
    if (m_access == Access::ReadOnly)
        return OpenForReading(problem);
    // A log or index left without its file would be replayed into a new one.
    if (!QFileInfo::exists(m_path) && QFileInfo::exists(m_path + QStringLiteral("-wal"))
        && SetAsideDamaged(m_path).isEmpty()) {
        problem = ExplainFailure(m_path, SqliteCantOpen,
                                 QCoreApplication::translate("HistoryStore", "a log is left without its file"));
        return false;
    }
    if (!CreatePrivateFile(m_path, &problem))
        return false;
    MatchCompanionModes(m_path);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryBusyTimeoutMs));
    if (!db.open())
        return Fail(problem, m_path, db.lastError());
    int version = 0;
    // Before anything is written: another program's database is left as it is.
    if (!Identify(version, problem))
        return false;

    QSqlQuery query(db);
    // Every commit is on disk before it returns: a backup must survive a power cut.
    // A cache that holds the serial-number index keeps filtering quick. With
    // recursive triggers the delete a REPLACE makes meets the delete trigger.
    for (const char *pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA wal_autocheckpoint=0",
                               "PRAGMA cache_size=-8192", "PRAGMA recursive_triggers=ON"}) {
        if (!query.exec(QLatin1String(pragma)))
            return Fail(problem, m_path, query.lastError());
    }
    if (m_check == Check::WholeFile && !CheckWhole(db, m_path, problem))
        return false;
    if (!Migrate(version, problem))
        return false;
    if (m_check == Check::WholeFile)
        AddListIndexes();
    m_dealerIndex = HasIndex(db, QStringLiteral("entry_dealer"));
    return true;
}

void HistoryStore::AddListIndexes()
{
    // Once per file, in the window or a station: about a second for 100,000
    // entries, which a command must not spend between a backup and a write.
    // A file that cannot take them is still listed, only slower.
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    for (const auto &[name, statement] : ListIndexes(*db.driver())) {
        if (!HasIndex(db, name))
            query.exec(statement);
    }
}

bool HistoryStore::OpenForReading(HistoryProblem &problem)
{
    if (!QFileInfo::exists(m_path)) {
        problem = ExplainFailure(m_path, SqliteCantOpen, QString::fromLocal8Bit(strerror(ENOENT)));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READONLY").arg(HistoryBusyTimeoutMs);
    if (ReadAsItLies(m_path)) {
        // Immutable: no lock, log or index is looked for or made beside it.
        db.setDatabaseName(ImmutableUri(m_path));
        options += QStringLiteral(";QSQLITE_OPEN_URI");
    } else {
        db.setDatabaseName(m_path);
    }
    db.setConnectOptions(options);
    if (!db.open())
        return Fail(problem, m_path, db.lastError());
    int version = 0;
    if (!Identify(version, problem))
        return false;
    m_blank = version == 0;
    m_dealerIndex = HasIndex(db, QStringLiteral("entry_dealer"));
    return m_check != Check::WholeFile || CheckWhole(db, m_path, problem);
}

bool HistoryStore::Identify(int &version, HistoryProblem &problem)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT count(*), count(CASE WHEN type = 'table' AND name = 'schema_version'"
                                   " THEN 1 END) FROM sqlite_master"))
        || !query.next())
        return Fail(problem, m_path, query.lastError());
    version = 0;
    if (query.value(0).toInt() == 0)
        return true;
    if (query.value(1).toInt() == 1 && query.exec(QStringLiteral("SELECT version FROM schema_version"))
        && query.next())
        version = query.value(0).toInt();
    if (query.lastError().isValid())
        return Fail(problem, m_path, query.lastError());
    if (version < 1) {
        problem = {HistoryFailure::Foreign,
                   QCoreApplication::translate("HistoryStore",
                                               "The file %1 is another program's database, not a history of "
                                               "KelvraSet's. It is left as it is; move it away to keep the history "
                                               "there.")
                       .arg(QDir::toNativeSeparators(m_path))};
        return false;
    }
    if (version > HistorySchemaVersion) {
        problem = NewerFile(m_path);
        return false;
    }
    return true;
}

bool HistoryStore::Migrate(int identified, HistoryProblem &problem)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    auto failed = [&] {
        problem = ExplainFailure(m_path, query.lastError().nativeErrorCode().toInt(), query.lastError().text());
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    auto version = [&]() -> int {
        if (!db.tables().contains(QLatin1String("schema_version")))
            return 0;
        return query.exec(QStringLiteral("SELECT version FROM schema_version")) && query.next() ? query.value(0).toInt()
                                                                                                : -1;
    };

    if (identified == HistorySchemaVersion)
        return true;
    // Another program may be bringing the same file up to date: take the
    // write lock before looking again.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed();
    const int current = version();
    if (current < 0)
        return failed();
    if (current > HistorySchemaVersion) {
        query.exec(QStringLiteral("ROLLBACK"));
        problem = NewerFile(m_path);
        return false;
    }
    for (int step = current + 1; step <= HistorySchemaVersion; ++step) {
        for (const QString &statement : LocalSchemaStep(step)) {
            if (!query.exec(statement))
                return failed();
        }
        if (!query.exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(step)))
            return failed();
    }
    return query.exec(QStringLiteral("COMMIT")) || failed();
}

} // namespace kelvra
