#include "history/historystore.h"

#include "history/fieldview.h"
#include "history/historyfile.h"
#include "history/historyschema.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>


namespace kelvra {

namespace {

// The write-ahead log is folded back now and then, after an operation has
// ended, so that its cost never falls between a backup and a write.
constexpr int CommitsPerCheckpoint = 100;

void Report(HistoryProblem *to, const HistoryProblem &problem)
{
    if (to)
        *to = problem;
}

HistoryProblem Explained(const QString &path, const QSqlQuery &query)
{
    return ExplainFailure(path, query.lastError().nativeErrorCode().toInt(), query.lastError().text());
}

bool HasOutcome(const HistoryEntry &entry, HistoryProblem *problem)
{
    if (entry.result != HistoryResult::Unfinished)
        return true;
    Report(problem,
           {HistoryFailure::Other,
            QCoreApplication::translate("HistoryStore", "An entry without its outcome cannot be stored.")});
    return false;
}

void FillNew(HistoryEntry &entry)
{
    const HistoryEntry fresh = NewHistoryEntry(entry.operation);
    if (entry.uuid.isEmpty())
        entry.uuid = fresh.uuid;
    if (!entry.time.isValid())
        entry.time = fresh.time;
    if (entry.bench.isEmpty())
        entry.bench = fresh.bench;
}

} // namespace

HistoryStore::HistoryStore(const QString &path, Check check, Access access)
    : m_path(path), m_check(check), m_access(access),
      m_connection(QStringLiteral("kelvra-history-%1").arg(quintptr(this), 0, 16))
{
}

HistoryStore::~HistoryStore()
{
    Close();
}

void HistoryStore::Close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        // Closing folds the log back only when no other program has the file
        // open; while a window or a station holds it, every command would
        // otherwise leave the log longer.
        if (std::exchange(m_commitsSinceCheckpoint, 0) > 0 && db.isOpen())
            QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
    m_blank = false;
}

bool HistoryStore::Open(HistoryProblem *problem)
{
    if (m_open && !m_reopen)
        return true;
    if (m_reopen) {
        Close();
        m_reopen = false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        HistoryProblem found;
        if (TryOpen(found)) {
            m_open = true;
            return true;
        }
        if (found.kind != HistoryFailure::Damaged || attempt > 0) {
            Close();
            Report(problem, found);
            return false;
        }
        if (!SetAside()) {
            Report(problem,
                   {HistoryFailure::Damaged,
                    QCoreApplication::translate("HistoryStore",
                                                "The history file %1 is damaged and cannot be moved aside.")
                        .arg(QDir::toNativeSeparators(m_path))});
            return false;
        }
        // A listing starts no file: the next read or write does.
        if (m_access == Access::ReadOnly) {
            Report(problem, found);
            return false;
        }
    }
    return false;
}

bool HistoryStore::SetAside()
{
    // Moved while still open: closing would otherwise tidy the log and index
    // away. Kept as found: nothing is folded back into it.
    const QString aside = SetAsideDamaged(m_path);
    m_commitsSinceCheckpoint = 0;
    Close();
    if (!aside.isEmpty())
        m_setAside = aside;
    return !aside.isEmpty();
}

QString HistoryStore::TakeSetAside()
{
    return std::exchange(m_setAside, QString());
}

bool HistoryStore::Insert(HistoryEntry &entry, HistoryProblem *problem)
{
    HistoryProblem found;
    if (TryInsert(entry, found))
        return true;
    if (found.kind == HistoryFailure::Damaged && m_check == Check::AsRead) {
        // Checked whole at the next open, the file is set aside and a new one takes the entry.
        m_check = Check::WholeFile;
        m_reopen = true;
        if (TryInsert(entry, found))
            return true;
    }
    return Failed(found, problem);
}

bool HistoryStore::TryInsert(HistoryEntry &entry, HistoryProblem &problem)
{
    if (!Open(&problem))
        return false;
    FillNew(entry);
    entry.changedFields = ChangedFieldIds(entry.before, entry.after);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO entry (%1) VALUES (?%2)")
                      .arg(EntryColumns(), QStringLiteral(", ?").repeated(EntryValues(entry).size() - 1)));
    for (const QVariant &value : EntryValues(entry))
        query.addBindValue(value);
    if (!query.exec()) {
        problem = Explained(m_path, query);
        return false;
    }
    entry.seq = query.lastInsertId().toLongLong();
    ++m_commitsSinceCheckpoint;
    return true;
}

bool HistoryStore::BeginWrite(HistoryEntry &entry, HistoryProblem *problem)
{
    entry.operation = HistoryOperation::Write;
    entry.result = HistoryResult::Unfinished;
    return Insert(entry, problem);
}

bool HistoryStore::Record(HistoryEntry &entry, HistoryProblem *problem)
{
    if (!HasOutcome(entry, problem))
        return false;
    const bool stored = Insert(entry, problem);
    if (stored)
        CheckpointNowAndThen();
    return stored;
}

bool HistoryStore::Finish(HistoryEntry &entry, HistoryProblem *problem)
{
    if (!HasOutcome(entry, problem) || !Open(problem))
        return false;
    entry.changedFields = ChangedFieldIds(entry.before, entry.after);
    const QVariantList values = EntryValues(entry);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("UPDATE entry SET result = ?, message = ?, detail = ?, changed_fields = ?,"
                                 " after_bytes = ?, after_mask = ? WHERE uuid = ? AND result = 'unfinished'"));
    for (int column : {3, 4, 5, 11, 16, 17, 0})
        query.addBindValue(values.at(column));
    if (!query.exec())
        return Failed(Explained(m_path, query), problem);
    if (query.numRowsAffected() != 1) {
        Report(
            problem,
            {HistoryFailure::Other,
             QCoreApplication::translate("HistoryStore", "The history holds no unfinished entry %1.").arg(entry.uuid)});
        return false;
    }
    ++m_commitsSinceCheckpoint;
    CheckpointNowAndThen();
    return true;
}

bool HistoryStore::Failed(const HistoryProblem &found, HistoryProblem *problem)
{
    Report(problem, found);
    // A file opened read-only stays so for its connection, and a damaged one
    // is set aside at the next open: either way the next use opens anew.
    if (found.kind == HistoryFailure::ReadOnly || found.kind == HistoryFailure::Damaged)
        m_reopen = true;
    if (found.kind == HistoryFailure::Damaged)
        m_check = Check::WholeFile;
    // A listing opens the file no more, so it is set aside now.
    if (found.kind == HistoryFailure::Damaged && m_access == Access::ReadOnly)
        SetAside();
    return false;
}

void HistoryStore::CheckpointNowAndThen()
{
    if (m_commitsSinceCheckpoint < CommitsPerCheckpoint)
        return;
    m_commitsSinceCheckpoint = 0;
    QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

QList<HistoryEntry> HistoryStore::List(const HistoryQuery &request, HistoryProblem *problem)
{
    QList<HistoryEntry> entries;
    if (!Open(problem) || m_blank)
        return entries;
    HistoryProblem found;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        const QSqlDriver &driver = *db.driver();
        QStringList where = FilterConditions(request.filter, SqlDialect::Local, driver, m_dealerIndex);
        // The serial-number index holds every number: scanning it is cheaper than
        // scanning the entries, whose images make them large.
        if (!request.filter.serial.isEmpty())
            where << QStringLiteral("seq IN (SELECT seq FROM entry INDEXED BY entry_serial"
                                    " WHERE instr(serial_number, %1) > 0)")
                         .arg(SqlLiteral(driver, request.filter.serial));
        if (request.after)
            where << AfterCondition(*request.after, request.order, SqlDialect::Local, driver);
        const QString conditions
            = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT seq, %1 FROM entry%2%3 LIMIT %4")
                          .arg(EntryColumns(), conditions, OrderBy(request.order, SqlDialect::Local, driver))
                          .arg(request.limit));
        if (query.exec()) {
            while (query.next()) {
                HistoryEntry entry;
                entry.seq = query.value(0).toLongLong();
                if (EntryFromRow(query, 1, entry))
                    entries.append(entry);
            }
        }
        // A page met damaged ends the list early.
        if (query.lastError().isValid())
            found = Explained(m_path, query);
    }
    if (found.kind != HistoryFailure::None)
        Failed(found, problem);
    return entries;
}

std::optional<HistoryEntry> HistoryStore::Fetch(const QString &uuid, HistoryProblem *problem)
{
    if (!Open(problem) || m_blank)
        return std::nullopt;
    HistoryEntry entry;
    bool fetched = false;
    HistoryProblem found;
    {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.prepare(QStringLiteral("SELECT seq, %1 FROM entry WHERE uuid = ?").arg(EntryColumns()));
        query.addBindValue(uuid);
        fetched = query.exec() && query.next() && EntryFromRow(query, 1, entry);
        if (fetched)
            entry.seq = query.value(0).toLongLong();
        if (query.lastError().isValid())
            found = Explained(m_path, query);
    }
    if (found.kind != HistoryFailure::None)
        Failed(found, problem);
    return fetched ? std::optional<HistoryEntry>(entry) : std::nullopt;
}

} // namespace kelvra
