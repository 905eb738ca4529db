#include "history/historydelivery.h"

#include "history/deliveryworker.h"
#include "history/historycsv.h"
#include "history/serverthread.h"

#include <QCoreApplication>

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
    Launch(false, false);
}

void HistoryDelivery::StartOnce(const QStringList &uuids)
{
    Launch(true, false);
    if (!m_worker)
        return;
    QMutexLocker lock(&m_control->mutex);
    m_control->only = uuids;
    m_control->named = true;
    m_control->wake.wakeAll();
}

void HistoryDelivery::Prepare()
{
    Launch(true, true);
}

void HistoryDelivery::Launch(bool once, bool prepared)
{
    if (m_worker || !m_server.IsValid())
        return;
    m_control = std::make_shared<DeliveryControl>();
    m_worker = std::make_shared<DeliveryWorker>(m_localPath, m_server, m_schedule, m_control);
    if (once)
        m_worker->SetOnce(prepared);
    connect(m_worker.get(), &DeliveryWorker::StatusChanged, this, &HistoryDelivery::StatusChanged);
    connect(m_worker.get(), &DeliveryWorker::Delivered, this, &HistoryDelivery::Delivered);
    connect(m_worker.get(), &DeliveryWorker::Passed, this, &HistoryDelivery::Passed);
    m_thread = std::make_unique<ServerThread>([worker = m_worker.get()] { worker->Run(); });
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
    m_worker->disconnect(this);
    // One caught in a connect or statement ends within its timeouts, and the
    // program need not wait for it.
    return std::exchange(m_thread, nullptr)->Join(wait, std::exchange(m_worker, nullptr));
}

} // namespace kelvra
