#pragma once

#include <QString>

namespace kelvra {

class Terminal;

// The commands' side of a workshop's shared history server.

// KelvraSet history --workshop [--serial S] [--limit N] [--json | --csv]:
// every bench's entries from the server, with this bench's undelivered ones.
// Exit 0, or 3 when the server cannot be reached.
int WorkshopHistory(const QString &serialEnding, int limit, bool json, bool csv, bool showPasswords);

// KelvraSet history --deliver: sends every queued entry. Exit 0 when none is
// left, 3 when the server cannot be reached, 1 when the file cannot be read.
int DeliverQueued();

// A read or write command delivers its own entry before it ends, waiting at
// most 2 s; when that fails, standard error says that the entry stays
// queued. Nothing when no server is named.
void DeliverOwnEntry(const QString &uuid, Terminal &terminal);

} // namespace kelvra
