#pragma once

#include <QStringList>

namespace kelvra {

// KelvraSet history: the history's entries newest first, as lines, JSON or
// the window's CSV export. Returns the exit code.
int HistoryCommand(const QStringList &arguments);

// The history file the commands share with the window.
QString CommandHistoryPath();

} // namespace kelvra
