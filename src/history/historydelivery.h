#pragma once

#include "history/sharedserver.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>

namespace kelvra {

class DeliveryWorker;
class ServerThread;
struct DeliveryControl;

// How delivery waits. The defaults suit a workshop; tests shorten them.
struct DeliverySchedule
{
    std::chrono::milliseconds firstRetry{1000}; // after the server was unreachable; doubles each time
    std::chrono::milliseconds longestRetry{60000};
    std::chrono::milliseconds poll{30000}; // looks for entries other programs recorded in the file
    // Stop() waits this long for the worker; a worker caught in a connect that
    // hangs is left to end on its own, bounded by connectTimeoutSeconds, and
    // kept until it has (ServerThread).
    std::chrono::milliseconds shutdownWait{500};
    int connectTimeoutSeconds = 5;
    int statementTimeoutMs = 15000;
    int batch = 200; // entries per statement and transaction
};

enum class DeliveryState { Connecting, UpToDate, Waiting };

// How delivery stands, for a person: how many of this bench's entries wait
// for the server, since when, and why.
struct DeliveryStatus
{
    DeliveryState state = DeliveryState::Connecting;
    int waiting = 0;      // finished entries not on the server yet
    QDateTime since;      // when the oldest of them was made (UTC); invalid when none wait
    QString why;          // while Waiting: why, in words a person acts on
    bool fileFailed = false; // the local file, not the server, could not be read

    bool operator==(const DeliveryStatus &other) const
    {
        return state == other.state && waiting == other.waiting && since == other.since && why == other.why;
    }
    bool operator!=(const DeliveryStatus &other) const { return !(*this == other); }
};

// One line for a person: "3 entries of this bench wait for the workshop
// server server:5432/kelvraset since 2026-12-05 08:30:01: wrong password.",
// or that every entry is on the server.
QString DeliveryStatusText(const DeliveryStatus &status, const QString &serverName);

// Delivers the local file's finished entries to a shared server, on a worker
// thread with connections of its own, so that neither the window nor a read
// or write ever waits for the network. Each entry goes once per server, by
// its uuid, a batch of them in one statement: an entry the server already
// holds is left alone, so a delivery cut short is simply repeated. While the
// server cannot be reached, delivery retries with a growing pause; the local
// file stays the source of truth.
class HistoryDelivery : public QObject
{
    Q_OBJECT
public:
    HistoryDelivery(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule = {},
                    QObject *parent = nullptr);
    ~HistoryDelivery() override;

    // Delivers until stopped.
    void Start();
    // One pass, then Passed: the entries of these uuids only, or everything
    // queued when none are named.
    void StartOnce(const QStringList &uuids = {});
    // Readies the pass that StartOnce starts later: the driver is loaded and
    // the server connected meanwhile, so that the pass itself costs little
    // more than its statements.
    void Prepare();
    // A finished entry is in the file: deliver it now rather than at the next poll.
    void Nudge();
    // True when the worker ended within the schedule's shutdown wait.
    bool Stop(std::chrono::milliseconds wait);
    bool Stop() { return Stop(m_schedule.shutdownWait); }

    const SharedServer &Server() const { return m_server; }

signals:
    void StatusChanged(const kelvra::DeliveryStatus &status);
    void Delivered(int count);
    // A pass of StartOnce has ended.
    void Passed(const kelvra::DeliveryStatus &status);

private:
    void Launch(bool once, bool prepared);

    QString m_localPath;
    SharedServer m_server;
    DeliverySchedule m_schedule;
    std::shared_ptr<DeliveryControl> m_control;
    std::shared_ptr<DeliveryWorker> m_worker;
    std::unique_ptr<ServerThread> m_thread;
};

} // namespace kelvra
