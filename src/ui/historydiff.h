#pragma once

#include "history/fieldview.h"
#include "history/historyentry.h"

#include <optional>

class QTableWidget;

namespace kelvra {

// The selected entry of the history window, field by field and in words.

// One row per field of the radio's block: its caption, its value before and
// after the operation; a field that changed is bold and says so to a screen
// reader. A last row counts bytes outside the fields that changed.
void ShowDifferences(QTableWidget *table, const HistoryEntry &entry, qint16 languageId);

// The entry's outcome and circumstances, a line each, as plain text. source:
// the entry whose values were put into the form for it, when at hand.
QString EntryDetailsText(const HistoryEntry &entry, const HistoryEntry *source = nullptr);

// Whose values a write took from the history: that entry's time, bench and
// radio, and its uuid; the uuid alone when the entry is not at hand.
QString RestoredFromText(const QString &uuid, const HistoryEntry *source);

} // namespace kelvra
