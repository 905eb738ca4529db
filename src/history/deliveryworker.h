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

signals:
    void StateChanged(kelvra::HistoryDelivery::State state, const QString &detail);
    void Delivered(int count);

protected:
    void run() override;

private:
    bool Stopping() const;
    bool Abandoned() const;
    void Pause(std::chrono::milliseconds length, bool untilNudged);
    void SetState(HistoryDelivery::State state, const QString &detail = QString());
    // Delivers everything pending; false with why when the server or the file failed.
    bool Pass(QSqlDatabase &server, QSqlDatabase &local, QString &why);
    bool ReadPending(QSqlDatabase &local, QList<HistoryEntry> &pending, QString &why);
    bool Send(QSqlDatabase &server, const QList<HistoryEntry> &pending, QString &why);
    bool MarkDelivered(QSqlDatabase &local, const QList<HistoryEntry> &pending, QString &why);

    const QString m_localPath;
    const SharedServer m_server;
    const DeliverySchedule m_schedule;
    const std::shared_ptr<DeliveryControl> m_control;
    bool m_schemaReady = false;
    // Every entry of the file m_fileId recorded before this one is on the server.
    qint64 m_watermark = 0;
    quint64 m_fileId = 0;
    HistoryDelivery::State m_state = HistoryDelivery::State::Connecting;
    QString m_detail;
};

} // namespace kelvra
