#pragma once

#include "history/historyentry.h"

#include <QJsonObject>
#include <QStringList>

namespace kelvra {

// KelvraSet history: the history's entries newest first, as lines for
// people, or as JSON or CSV for programs; or a radio's record as PDF.
// Returns the exit code.
int HistoryCommand(const QStringList &arguments);

// The history file the commands share with the window.
QString CommandHistoryPath();

// An entry as history --json prints it, and as a line for people; a
// workshop's entries name their bench in the line too.
QJsonObject EntryJson(const HistoryEntry &entry, bool showPasswords);
QString EntryLine(const HistoryEntry &entry, bool withBench = false);

} // namespace kelvra
