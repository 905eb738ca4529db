#pragma once

#include "history/historyentry.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace kelvra {

// This bench's entries that a shared server does not hold yet, as the local
// file's table of deliveries tells, read through a connection of the
// caller's own (delivery and the workshop view run on threads of their own).
//
// Every entry the file records as delivered is one of its own entries, so
// the difference of two counts says how many are not, and those are looked
// for from the newest back: they are the newest nearly always (delivery goes
// in order), and finding them costs two counts and a short walk, not a scan
// of a long history.

// A connection to the local file at path that never creates it.
QSqlDatabase AddLocalConnection(const QString &name, const QString &path);

struct Backlog
{
    QList<qint64> finished;   // not on the server yet, oldest first
    QList<qint64> unfinished; // writes whose outcome is not known: never delivered until it is
    QDateTime since;          // when the oldest finished one was made; invalid when none wait

    int Waiting() const { return int(finished.size()); }
};

// False, with why, when the file cannot be read.
bool ReadBacklog(QSqlDatabase &local, const QString &key, Backlog &backlog, QString &why);
// The entries of these seqs, in the order given.
bool ReadEntries(QSqlDatabase &local, const QList<qint64> &seqs, QList<HistoryEntry> &entries, QString &why);
// The finished entries of these uuids not yet delivered to key, oldest first.
bool ReadUndelivered(QSqlDatabase &local, const QString &key, const QStringList &uuids, QList<qint64> &seqs,
                     QString &why);
bool MarkDelivered(QSqlDatabase &local, const QString &key, const QList<HistoryEntry> &entries, QString &why);

// An older KelvraSet recorded deliveries under the URL's text without its
// password. Deliveries recorded under a text that names the same server as
// key (host, port and database) are moved to key, so that nothing is sent again.
bool AdoptOlderKeys(QSqlDatabase &local, const QString &key, QString &why);

} // namespace kelvra
