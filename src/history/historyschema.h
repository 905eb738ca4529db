#pragma once

#include "history/historyentry.h"

#include <QStringList>
#include <QVariantList>

#include <utility>

class QSqlDriver;
class QSqlQuery;

namespace kelvra {

// The tables of the local file, and the one mapping between an entry and a
// row that the local file and a shared server both use.

constexpr int HistorySchemaVersion = 2;

// The statements that take a local file from version - 1 to version.
QStringList LocalSchemaStep(int version);

// The indexes that keep every filter and order of the history window quick
// on a long history, by name. No version of the file depends on them, so an
// older program keeps using a file that has them; the window and a station
// add the missing ones when they open the file, a command never does.
QList<std::pair<QString, QString>> ListIndexes(const QSqlDriver &driver); // name, CREATE INDEX statement

// The entry columns, in the order EntryValues binds and EntryFromRow reads them.
QString EntryColumns();
QVariantList EntryValues(const HistoryEntry &entry);
// Reads the entry columns starting at column first; false when a stored
// value is one this program cannot have written.
bool EntryFromRow(const QSqlQuery &query, int first, HistoryEntry &entry);

} // namespace kelvra
