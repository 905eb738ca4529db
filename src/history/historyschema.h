#pragma once

#include "history/historyentry.h"

#include <QStringList>
#include <QVariantList>

class QSqlQuery;

namespace kelvra {

// The tables of the local file and of a shared server, and the one mapping
// between an entry and a row that both use.

constexpr int HistorySchemaVersion = 2;

// The statements that take a local file from version - 1 to version.
QStringList LocalSchemaStep(int version);

// Creates the shared server's table when it is missing; safe to repeat.
QStringList SharedSchema();

// The entry columns, in the order EntryValues binds and EntryFromRow reads them.
QString EntryColumns();
QVariantList EntryValues(const HistoryEntry &entry);
// Reads the entry columns starting at column first; false when a stored
// value is one this program cannot have written.
bool EntryFromRow(const QSqlQuery &query, int first, HistoryEntry &entry);

// The shared server's insert: an entry it already holds is left alone.
QString SharedInsert();

} // namespace kelvra
