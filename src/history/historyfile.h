#pragma once

#include "history/historyproblem.h"

#include <QDateTime>
#include <QString>

namespace kelvra {

// The history file on disk: where it lives, how it comes into being, and
// what happens to one that is damaged.

// history.sqlite beside the executable for a portable copy (the same choice
// as for mysetup.ini), otherwise in the user's data folder.
QString HistoryFilePath(bool portable, const QString &appDir);

// Creates an empty file readable by its owner only (it will hold programming
// passwords), and its folder when missing. An existing file is left as it is.
bool CreatePrivateFile(const QString &path, HistoryProblem *problem);

// Renames the file and its -wal and -shm companions to a name that carries
// the UTC time; nothing is deleted. Returns the file's new path, or an empty
// text when it could not be moved (the original names are then kept).
QString SetAsideDamaged(const QString &path, const QDateTime &utc = QDateTime::currentDateTimeUtc());

// What the operator is told, once, about a file set aside as aside.
QString SetAsideNotice(const QString &aside);

// Sorts an SQLite failure on path by its result code and by what the file
// system says now: read-only file or folder, no room, held by another program.
HistoryProblem ExplainFailure(const QString &path, int sqliteCode, const QString &sqliteText);

// SQLite's primary result codes that the history tells apart.
enum SqliteCode {
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
