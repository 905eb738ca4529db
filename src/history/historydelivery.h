#pragma once

#include "history/sharedserver.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

namespace kelvra {

class DeliveryWorker;
struct DeliveryControl;

// How delivery waits. The defaults suit a workshop; tests shorten them.
struct DeliverySchedule
{
    std::chrono::milliseconds firstRetry{1000}; // after the server was unreachable; doubles each time
    std::chrono::milliseconds longestRetry{60000};
    std::chrono::milliseconds poll{30000}; // looks for entries other programs recorded in the file
    // Stop() waits this long for the worker; a worker caught in a connect that
    // hangs is left to end on its own, bounded by connectTimeoutSeconds.
    std::chrono::milliseconds shutdownWait{500};
    int connectTimeoutSeconds = 5;
    int statementTimeoutMs = 15000;
    int batch = 100;
};

// Delivers the local file's finished entries to a shared server, on a worker
// thread with connections of its own, so that neither the window nor a read
// or write ever waits for the network. Each entry goes once per server, by
// its uuid: an entry the server already holds is left alone, so a delivery
// cut short is simply repeated. While the server cannot be reached, delivery
// retries with a growing pause; the local file stays the source of truth.
class HistoryDelivery : public QObject
{
    Q_OBJECT
public:
    enum class State { Connecting, UpToDate, Waiting };
    Q_ENUM(State)

    HistoryDelivery(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule = {},
                    QObject *parent = nullptr);
    ~HistoryDelivery() override;

    void Start();
    // A finished entry is in the file: deliver it now rather than at the next poll.
    void Nudge();
    // True when the worker ended within the schedule's shutdown wait.
    bool Stop();

signals:
    // detail: why the server cannot be reached, while Waiting.
    void StateChanged(kelvra::HistoryDelivery::State state, const QString &detail);
    void Delivered(int count);

private:
    QString m_localPath;
    SharedServer m_server;
    DeliverySchedule m_schedule;
    std::shared_ptr<DeliveryControl> m_control;
    DeliveryWorker *m_worker = nullptr;
};

} // namespace kelvra
