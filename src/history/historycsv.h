#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class QIODevice;

namespace kelvra {

class HistoryStore;
struct HistoryQuery;

// Entries as CSV, in one of two forms. For people (the window's export):
// UTF-8 with a byte-order mark, so that spreadsheets read the Chinese texts,
// a header row of the window's captions in the interface's language, local
// times with their zone, each field's value before and after. For programs
// (history --csv): a header row of the names history --json has, times in
// UTC, the stored words, no byte-order mark. Both end lines with CR LF, mask
// passwords unless asked, and put a leading apostrophe before a text that a
// spreadsheet would take for a formula.
struct CsvForm
{
    bool forPeople = true;
    qint16 languageId = 0; // for people: the language of the captions
    bool showPasswords = false;
};

// Every entry the query finds, a page of query.limit at a time.
bool WriteHistoryCsv(HistoryStore &store, const HistoryQuery &query, const CsvForm &form, QIODevice &out,
                     HistoryProblem *problem = nullptr);

// The same, a part at a time, for entries that come from elsewhere (a
// workshop's server): the header row, then one row per entry.
void WriteHistoryCsvHeader(const CsvForm &form, QIODevice &out);
void WriteHistoryCsvRow(const HistoryEntry &entry, const CsvForm &form, QIODevice &out);

// value as one CSV field: quoted when it holds a comma, a quote or a line
// break, and with a leading apostrophe when a spreadsheet would take it for a formula.
QString CsvCell(QString value);
// cells as one CSV record in UTF-8, each a CsvCell, ended by CR LF.
QByteArray CsvLine(const QStringList &cells);

// How the history shows a field that is not known.
QString UnknownValueText();

// The time of an entry as the history shows it to people: local time, to the
// second, with its offset from UTC ("2026-12-05 16:30:01 UTC+8").
QString LocalTimeText(const QDateTime &utc);
// The offset alone: "UTC+8", "UTC+5:30", "UTC-3", "UTC".
QString ZoneText(const QDateTime &utc);

} // namespace kelvra
