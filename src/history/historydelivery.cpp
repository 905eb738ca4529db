#include "history/historydelivery.h"

#include "history/deliveryworker.h"
#include "history/historycsv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace kelvra {

QString DeliveryStatusText(const DeliveryStatus &status, const QString &serverName)
{
    if (status.state == DeliveryState::Waiting && status.waiting > 0)
        return QCoreApplication::translate("HistoryDelivery",
                                           "%n entry(s) of this bench wait for the workshop server %1 since %2: %3.",
                                           nullptr, status.waiting)
            .arg(serverName, LocalTimeText(status.since), status.why);
    if (status.state == DeliveryState::Waiting)
        return QCoreApplication::translate("HistoryDelivery", "The workshop server %1 cannot be reached: %2.")
            .arg(serverName, status.why);
    return QCoreApplication::translate("HistoryDelivery", "Every entry of this bench is on the workshop server %1.")
        .arg(serverName);
}

HistoryDelivery::HistoryDelivery(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule,
                                 QObject *parent)
    : QObject(parent), m_localPath(localPath), m_server(server), m_schedule(schedule)
{
}

HistoryDelivery::~HistoryDelivery()
{
    Stop();
}

void HistoryDelivery::Start()
{
    Launch(false, {});
}

void HistoryDelivery::StartOnce(const QStringList &uuids)
{
    Launch(true, uuids);
}

void HistoryDelivery::Launch(bool once, const QStringList &uuids)
{
    if (m_worker || !m_server.IsValid())
        return;
    m_control = std::make_shared<DeliveryControl>();
    m_worker = new DeliveryWorker(m_localPath, m_server, m_schedule, m_control);
    m_worker->SetOnce(once, uuids);
    connect(m_worker, &DeliveryWorker::StatusChanged, this, &HistoryDelivery::StatusChanged);
    connect(m_worker, &DeliveryWorker::Delivered, this, &HistoryDelivery::Delivered);
    connect(m_worker, &DeliveryWorker::Passed, this, &HistoryDelivery::Passed);
    m_worker->start(QThread::LowPriority);
}

void HistoryDelivery::Nudge()
{
    if (!m_control)
        return;
    QMutexLocker lock(&m_control->mutex);
    m_control->nudged = true;
    m_control->wake.wakeAll();
}

bool HistoryDelivery::Stop(std::chrono::milliseconds wait)
{
    if (!m_worker)
        return true;
    {
        QMutexLocker lock(&m_control->mutex);
        m_control->stop = true;
        m_control->wake.wakeAll();
    }
    DeliveryWorker *worker = std::exchange(m_worker, nullptr);
    if (worker->wait(QDeadlineTimer(wait))) {
        delete worker;
        return true;
    }
    // Caught in a connect or statement: it ends within its timeout, and the
    // program need not wait for it.
    QMutexLocker lock(&m_control->mutex);
    m_control->abandoned = true;
    worker->disconnect(this);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    return false;
}

} // namespace kelvra
