#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"
#include "history/historyquery.h"

#include <QList>
#include <QString>

#include <optional>

namespace kelvra {

// Which entries List returns, a page at a time.
struct HistoryQuery
{
    HistoryFilter filter; // its serial number: any part of it
    int limit = 200;
    HistoryOrder order;   // the time is the order of recording
    // The last entry of the page before; none: from the first.
    std::optional<HistoryEntry> after;
};

// The local history file: every read and write, append-only, in an SQLite
// file in write-ahead-log mode. Nothing is opened until the first call that
// needs the file, so constructing a store costs nothing. Used from one thread;
// delivery to a shared server reads the same file through its own connection.
class HistoryStore
{
public:
    // How much of the file Open checks. A command runs for a moment many
    // times a day and must not read a long history whole each time; SQLite
    // checks every page it reads, and a page found damaged in use has the
    // file checked whole, set aside and started anew before the entry is
    // stored.
    enum class Check {
        WholeFile, // every page, once per run: the window, a station
        AsRead,    // the pages each use reads: a single command
    };

    // What the store may do to the file. A listing opens it read-only: it
    // never creates it, brings it up to date or changes its journal, and
    // reads a file in a folder that takes no log beside it as it lies. A
    // damaged file is still set aside, for the next write to start anew.
    enum class Access { ReadWrite, ReadOnly };

    explicit HistoryStore(const QString &path, Check check = Check::WholeFile, Access access = Access::ReadWrite);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    const QString &Path() const { return m_path; }
    // The Qt SQL connection of an open store, for benchmarks that batch and tests that probe.
    const QString &ConnectionName() const { return m_connection; }

    // Opens, checks and brings the file up to date; free once open. A
    // damaged file is set aside and a new one started. A file that is not a
    // history (another program's database) is refused and left as it is.
    bool Open(HistoryProblem *problem = nullptr);
    // Where a damaged file was set aside, once: empty on every later call.
    QString TakeSetAside();

    // Stores a write's entry as Unfinished, its backup in entry.before, and
    // returns only once it is on disk. Fills uuid, time and bench when empty,
    // and seq. False, with the reason, when the entry could not be stored.
    bool BeginWrite(HistoryEntry &entry, HistoryProblem *problem = nullptr);
    // Adds the outcome to an entry begun by BeginWrite: result, message,
    // detail and after. Fills changedFields.
    bool Finish(HistoryEntry &entry, HistoryProblem *problem = nullptr);
    // Stores a finished entry in one step (a read, or a write that ended
    // before its backup was due). Fills uuid, time, bench, seq and changedFields.
    bool Record(HistoryEntry &entry, HistoryProblem *problem = nullptr);

    QList<HistoryEntry> List(const HistoryQuery &query, HistoryProblem *problem = nullptr);
    std::optional<HistoryEntry> Fetch(const QString &uuid, HistoryProblem *problem = nullptr);

private:
    bool TryOpen(HistoryProblem &problem);
    bool OpenForReading(HistoryProblem &problem);
    // The file's schema version, 0 for an empty file; false for a file of another program's.
    bool Identify(int &version, HistoryProblem &problem);
    // identified: the version Identify found.
    bool Migrate(int identified, HistoryProblem &problem);
    void AddListIndexes();
    bool SetAside();
    void Close();
    bool Insert(HistoryEntry &entry, HistoryProblem *problem);
    bool TryInsert(HistoryEntry &entry, HistoryProblem &problem);
    void CheckpointNowAndThen();
    bool Failed(const HistoryProblem &found, HistoryProblem *problem);

    QString m_path;
    Check m_check;
    Access m_access;
    QString m_connection;
    bool m_open = false;
    bool m_blank = false; // opened for reading, the file holds no tables yet
    bool m_reopen = false; // the connection cannot recover from its last failure
    bool m_dealerIndex = false; // the file has the index on the dealer code
    QString m_setAside;
    int m_commitsSinceCheckpoint = 0; // also: something to fold back when closing
};

} // namespace kelvra
