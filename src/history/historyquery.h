#pragma once

#include "history/historyentry.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class QSqlDriver;

namespace kelvra {

// Which entries a list shows, and in which order: the same for this bench's
// file and for the workshop's server, so that the entries of both merge.

// Every criterion given must hold.
struct HistoryFilter
{
    // Any part of the serial number; the workshop's server finds a number by its end.
    QString serial;
    QString dealerCode; // any part of the dealer code the list shows
    std::optional<HistoryOperation> operation;
    std::optional<HistoryResult> result;
    QString bench;    // any part of the bench's name
    QDateTime since;  // from this moment on; invalid: from the first entry
    QDateTime before; // before this moment; invalid: up to the newest

    bool Empty() const;
};

// The columns a list may be sorted by.
enum class HistoryKey { Time, Operation, Result, SerialNumber, Model, DealerCode, Bench, Changed };

struct HistoryOrder
{
    HistoryKey key = HistoryKey::Time;
    bool ascending = false; // newest first
};

// The dealer code the list shows: the radio's after the operation where
// blocks 0 to 2 are known, else before it, else none. As the bytes that
// filter and sort, and as text.
QByteArray DealerCodeBytes(const HistoryEntry &entry);
std::optional<QString> DealerCodeText(const HistoryEntry &entry);

// Whether the entry passes the filter; serialEnds: the workshop's reading of the serial number.
bool Matches(const HistoryEntry &entry, const HistoryFilter &filter, bool serialEnds);

// Whether a comes before b in a workshop's list: by the key, then by time and uuid.
bool Precedes(const HistoryEntry &a, const HistoryEntry &b, const HistoryOrder &order);

// The same in SQL, with the values written in by the driver: for this
// bench's file (ties go by the order of recording) or the workshop's server
// (ties go by time and uuid).
enum class SqlDialect { Local, Server };
// Conditions to join with AND, the serial number's left out (each side has an index of its own for it).
// dealerIndex: the local file has the index on the dealer code (entry_dealer).
QStringList FilterConditions(const HistoryFilter &filter, SqlDialect dialect, const QSqlDriver &driver,
                             bool dealerIndex = false);
QString OrderBy(const HistoryOrder &order, SqlDialect dialect, const QSqlDriver &driver);
// The entries after this one in order: the next page.
QString AfterCondition(const HistoryEntry &after, const HistoryOrder &order, SqlDialect dialect,
                       const QSqlDriver &driver);

// The dealer code's bytes as SQL sees them, for an index on it.
QString DealerExpression(SqlDialect dialect, const QSqlDriver &driver);

// A value as the driver writes it into a statement.
QString SqlLiteral(const QSqlDriver &driver, const QVariant &value);

} // namespace kelvra
