#pragma once

#include "history/historyproblem.h"

#include <QDateTime>
#include <QString>

namespace kelvra {

// The history file on disk: where it lives, how it comes into being, and
// what happens to one that is damaged.

// history.sqlite beside the executable for a portable copy (the same choice
// as for mysetup.ini), otherwise in the user's data folder. A relative
// XDG_DATA_HOME is ignored, as the XDG rules say: the history must not
// depend on the working folder.
QString HistoryFilePath(bool portable, const QString &appDir);

// Creates an empty file readable by its owner only (it will hold programming
// passwords), and its folder when missing; a symbolic link to a file not
// there yet has its target created so. An existing file is left as it is.
bool CreatePrivateFile(const QString &path, HistoryProblem *problem);

// Gives the file's -wal and -shm the file's own mode where this program may:
// made by a reader while the file was read-only, they would keep every later
// writer out.
void MatchCompanionModes(const QString &path);

// The file's folder takes no new -wal or -shm and it has no log waiting: a
// reader can take the file only as it lies (a copy on a read-only medium).
bool ReadAsItLies(const QString &path);
// The name under which SQLite opens the file as it lies, without lock, log or
// index (QSQLITE_OPEN_URI).
QString ImmutableUri(const QString &path);

// Renames the file and its -wal and -shm companions to a name that carries
// the UTC time; nothing is deleted. Returns the file's new path, or an empty
// text when it could not be moved (the original names are then kept).
QString SetAsideDamaged(const QString &path, const QDateTime &utc = QDateTime::currentDateTimeUtc());

// What the operator is told, once, about a file set aside as aside: where it
// went, its size and how many entries can still be read from it. started:
// a new file took its place (a listing starts none).
QString SetAsideNotice(const QString &aside, bool started = true);

// The entries of a damaged file that can still be read, past the pages that
// cannot; -1 when the file cannot be opened as a history at all.
int ReadableEntries(const QString &path);

// Sorts an SQLite failure on path by its result code and by what the file
// system says now: read-only file or folder, no room, held by another program.
HistoryProblem ExplainFailure(const QString &path, int sqliteCode, const QString &sqliteText);

// SQLite's primary result codes that the history tells apart.
enum SqliteCode {
    SqliteError = 1,
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteIoErr = 10,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteCantOpen = 14,
    SqliteNotADb = 26
};

// The busy timeout after which a database held by another program is a failure.
constexpr int HistoryBusyTimeoutMs = 300;

} // namespace kelvra
