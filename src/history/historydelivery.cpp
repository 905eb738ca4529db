#include "history/historydelivery.h"

#include "history/deliveryworker.h"

#include <QDeadlineTimer>

namespace kelvra {

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
    if (m_worker || !m_server.IsValid())
        return;
    m_control = std::make_shared<DeliveryControl>();
    m_worker = new DeliveryWorker(m_localPath, m_server, m_schedule, m_control);
    connect(m_worker, &DeliveryWorker::StateChanged, this, &HistoryDelivery::StateChanged);
    connect(m_worker, &DeliveryWorker::Delivered, this, &HistoryDelivery::Delivered);
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

bool HistoryDelivery::Stop()
{
    if (!m_worker)
        return true;
    {
        QMutexLocker lock(&m_control->mutex);
        m_control->stop = true;
        m_control->wake.wakeAll();
    }
    DeliveryWorker *worker = std::exchange(m_worker, nullptr);
    if (worker->wait(QDeadlineTimer(m_schedule.shutdownWait))) {
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
