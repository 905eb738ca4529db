#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"

#include <QDateTime>
#include <QString>

class QIODevice;

namespace kelvra {

class HistoryStore;

// Writes the entries whose serial number contains serialContains (all when
// empty), newest first, as CSV that spreadsheet programs open as they are:
// UTF-8 with a byte-order mark, CR LF line ends, a header row in the
// interface's language, each field's value before and after. Passwords are
// masked unless showPasswords. A text that a spreadsheet would take for a
// formula is written with a leading apostrophe.
bool WriteHistoryCsv(HistoryStore &store, const QString &serialContains, bool showPasswords, qint16 languageId,
                     QIODevice &out, HistoryProblem *problem = nullptr);

// The same, a part at a time, for entries that come from elsewhere (a
// workshop's server): the byte-order mark and header row, then one row per entry.
void WriteHistoryCsvHeader(qint16 languageId, QIODevice &out);
void WriteHistoryCsvRow(const HistoryEntry &entry, bool showPasswords, qint16 languageId, QIODevice &out);

// value as one CSV field: quoted when it holds a comma, a quote or a line
// break, and with a leading apostrophe when a spreadsheet would take it for a formula.
QString CsvCell(QString value);

// How the history shows a field that is not known.
QString UnknownValueText();

// The time of an entry as the history shows it: local time, to the second.
QString LocalTimeText(const QDateTime &utc);

} // namespace kelvra
