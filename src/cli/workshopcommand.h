#pragma once

#include "history/sharedserver.h"

#include <QString>

#include <memory>

namespace kelvra {

class HistoryDelivery;
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
// most 2 s for it; when that fails, standard error says that the entry stays
// queued. The server is connected to while the radio is read or written, so
// that the wait at the end is for the entry's statements alone. Nothing when
// no server is named.
class OwnEntryDelivery
{
public:
    OwnEntryDelivery(); // before the operation starts
    ~OwnEntryDelivery();
    // uuid: the operation's entry; empty when none was recorded.
    void Deliver(const QString &uuid, Terminal &terminal);

private:
    SharedServer m_server;
    std::unique_ptr<HistoryDelivery> m_delivery;
};

} // namespace kelvra
