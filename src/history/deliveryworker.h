#pragma once

#include "history/historydelivery.h"
#include "history/historyentry.h"

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

class QSqlDatabase;

namespace kelvra {

// What the window's side and the worker share; it outlives either of them.
struct DeliveryControl
{
    QMutex mutex;
    QWaitCondition wake;
    bool stop = false;
    bool nudged = false;
    bool named = false; // a single pass: the entries it delivers are named
    QStringList only;   // those entries' uuids; none: everything queued
};

// What does the delivering, one pass after another, on a thread of its own.
class DeliveryWorker : public QObject
{
    Q_OBJECT
public:
    DeliveryWorker(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule,
                   std::shared_ptr<DeliveryControl> control);
    // Before Run(): one pass only, of the entries that the control names.
    // prepared: connects to the server while it waits for them to be named,
    // and makes no second connect in the pass.
    void SetOnce(bool prepared);
    // The thread's body: until stopped, or the one pass.
    void Run();

signals:
    void StatusChanged(const kelvra::DeliveryStatus &status);
    void Delivered(int count);
    void Passed(const kelvra::DeliveryStatus &status);

private:
    bool Stopping() const;
    // False when stopped before the pass's entries were named.
    bool AwaitNamed();
    void Pause(std::chrono::milliseconds length, bool untilNudged);
    void Report(const DeliveryStatus &status);
    // Delivers what is pending; the status it leaves.
    DeliveryStatus Pass(QSqlDatabase &server, QSqlDatabase &local);
    DeliveryStatus Waiting(QSqlDatabase &local, const QString &why, bool fileFailed);
    bool Send(QSqlDatabase &server, const QList<HistoryEntry> &entries, QString &why);

    const QString m_localPath;
    const SharedServer m_server;
    const DeliverySchedule m_schedule;
    const std::shared_ptr<DeliveryControl> m_control;
    bool m_once = false;
    bool m_prepared = false; // until the pass: its one connect was made while the entries were awaited
    QStringList m_only;
    bool m_adopted = false; // deliveries recorded under an older key were looked for
    DeliveryStatus m_status;
    bool m_reported = false;
};

} // namespace kelvra
