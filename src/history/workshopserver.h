#pragma once

#include "history/historyentry.h"
#include "history/historyquery.h"
#include "history/sharedserver.h"

#include <QList>

#include <QString>

class QSqlDatabase;
class QSqlDriver;
class QSqlError;

namespace kelvra {

// What a bench says to the workshop's server and how it tells a person what
// went wrong. A bench only adds entries and reads them: the table, its
// indexes and its roles are the administrator's, made once with
// workshop-server.sql.

// The limits every connection to the server keeps, so that a server that
// stops answering holds up no thread for long.
struct ServerLimits
{
    int connectTimeoutSeconds = 5;
    int statementTimeoutMs = 15000;
};

// Adds a QPSQL connection named name for server; it is opened by the caller.
QSqlDatabase AddServerConnection(const QString &name, const SharedServer &server, const ServerLimits &limits);

// One INSERT of the entries, their values written into the statement by the
// driver: an entry the server holds already is left alone. Statements to the
// server are never prepared: a prepared one that outlives its connection
// makes Qt complain on standard error as it goes.
QString SharedInsert(const QSqlDriver &driver, const QList<HistoryEntry> &entries);

// The entry columns as a select on the server gives them to EntryFromRow:
// the same texts as the local file holds.
QString SharedColumns();

// Why the server could not take or give entries, in words a person acts on
// ("wrong password", "server not reachable", which script to run); never
// with the password.
QString ServerFailure(const QSqlError &error, const SharedServer &server);

// Where the administrator's script is installed.
QString WorkshopScriptPath();

} // namespace kelvra
