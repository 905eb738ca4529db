#pragma once

#include "history/historydelivery.h"
#include "history/historyentry.h"

#include <QMutex>
#include <QThread>
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
    bool abandoned = false; // Stop() gave up waiting: touch nothing program-wide on the way out
};

// The thread that does the delivering, one pass after another.
class DeliveryWorker : public QThread
{
    Q_OBJECT
public:
    DeliveryWorker(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule,
                   std::shared_ptr<DeliveryControl> control);
    // Before start(): one pass only, of these uuids only when any are named.
    void SetOnce(bool once, const QStringList &uuids);

signals:
    void StatusChanged(const kelvra::DeliveryStatus &status);
    void Delivered(int count);
    void Passed(const kelvra::DeliveryStatus &status);

protected:
    void run() override;

private:
    bool Stopping() const;
    bool Abandoned() const;
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
    QStringList m_only;
    bool m_adopted = false; // deliveries recorded under an older key were looked for
    DeliveryStatus m_status;
    bool m_reported = false;
};

} // namespace kelvra
