#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"

#include <QJsonObject>
#include <QStringList>

namespace kelvra {

class HistoryStore;

// KelvraSet history: the history's entries newest first, as lines for
// people, or as JSON or CSV for programs; or a radio's record as PDF.
// Returns the exit code.
int HistoryCommand(const QStringList &arguments);

// The history file the commands share with the window.
QString CommandHistoryPath();

// Says on standard error why the history cannot be listed: the reason, or
// where a file found damaged was set aside. Returns the exit code, 1.
int HistoryUnreadable(HistoryStore &store, const HistoryProblem &problem);

// An entry as history --json prints it, and as a line for people; a
// workshop's entries name their bench in the line too.
QJsonObject EntryJson(const HistoryEntry &entry, bool showPasswords);
QString EntryLine(const HistoryEntry &entry, bool withBench = false);

} // namespace kelvra
