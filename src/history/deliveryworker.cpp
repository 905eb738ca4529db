#include "history/deliveryworker.h"

#include "history/historyschema.h"
#include "history/localbacklog.h"
#include "history/workshopserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace kelvra {

namespace {

QString Unique(const char *kind, const void *owner)
{
    return QStringLiteral("kelvra-delivery-%1-%2").arg(QLatin1String(kind)).arg(quintptr(owner), 0, 16);
}

QString FileFailure(const QString &why)
{
    return QCoreApplication::translate("HistoryDelivery", "the history file cannot be read (%1)").arg(why);
}

} // namespace

DeliveryWorker::DeliveryWorker(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule,
                               std::shared_ptr<DeliveryControl> control)
    : m_localPath(localPath), m_server(server), m_schedule(schedule), m_control(std::move(control))
{
}

void DeliveryWorker::SetOnce(bool prepared)
{
    m_once = true;
    m_prepared = prepared;
}

bool DeliveryWorker::Stopping() const
{
    QMutexLocker lock(&m_control->mutex);
    return m_control->stop;
}

bool DeliveryWorker::AwaitNamed()
{
    QMutexLocker lock(&m_control->mutex);
    while (!m_control->stop && !m_control->named)
        m_control->wake.wait(&m_control->mutex);
    m_only = m_control->only;
    return !m_control->stop;
}

void DeliveryWorker::Pause(std::chrono::milliseconds length, bool untilNudged)
{
    QMutexLocker lock(&m_control->mutex);
    QDeadlineTimer deadline(length);
    // A nudge during a retry pause waits for the pause: the server is down either way.
    while (!m_control->stop && !(untilNudged && m_control->nudged)) {
        if (!m_control->wake.wait(&m_control->mutex, deadline))
            break;
    }
    if (untilNudged)
        m_control->nudged = false;
}

void DeliveryWorker::Report(const DeliveryStatus &status)
{
    if (m_reported && status == m_status)
        return;
    m_reported = true;
    m_status = status;
    emit StatusChanged(status);
}

void DeliveryWorker::Run()
{
    const QString serverName = Unique("server", this);
    const QString localName = Unique("local", this);
    {
        QSqlDatabase server = AddServerConnection(
            serverName, m_server, ServerLimits{m_schedule.connectTimeoutSeconds, m_schedule.statementTimeoutMs});
        QSqlDatabase local = AddLocalConnection(localName, m_localPath);
        // Loading the driver and the connect take most of a pass's time: a
        // prepared pass has them behind it before its caller needs it.
        if (m_prepared)
            server.open();
        const bool named = !m_once || AwaitNamed();
        auto retry = m_schedule.firstRetry;
        while (named && !Stopping()) {
            const DeliveryStatus status = Pass(server, local);
            local.close();
            if (Stopping())
                break;
            Report(status);
            if (m_once) {
                emit Passed(status);
                break;
            }
            if (status.state == DeliveryState::UpToDate) {
                retry = m_schedule.firstRetry;
                Pause(m_schedule.poll, true);
            } else {
                server.close();
                Pause(retry, false);
                retry = std::min(retry * 2, m_schedule.longestRetry);
            }
        }
        server.close();
    }
    QSqlDatabase::removeDatabase(serverName);
    QSqlDatabase::removeDatabase(localName);
}

DeliveryStatus DeliveryWorker::Pass(QSqlDatabase &server, QSqlDatabase &local)
{
    DeliveryStatus done;
    done.state = DeliveryState::UpToDate;
    // No history yet: nothing to deliver. The file is never created here.
    if (!QFileInfo::exists(m_localPath))
        return done;
    QString why;
    if (!local.open())
        return Waiting(local, FileFailure(local.lastError().text()), true);
    if (!m_adopted && !AdoptOlderKeys(local, m_server.key, why))
        return Waiting(local, FileFailure(why), true);
    m_adopted = true;
    QList<qint64> pending;
    Backlog backlog;
    if (m_only.isEmpty() ? !ReadBacklog(local, m_server.key, backlog, why)
                         : !ReadUndelivered(local, m_server.key, m_only, pending, why))
        return Waiting(local, FileFailure(why), true);
    if (m_only.isEmpty())
        pending = backlog.finished;
    if (pending.isEmpty())
        return done;
    if (!server.isOpen() && (std::exchange(m_prepared, false) || !server.open()))
        return Waiting(local, ServerFailure(server.lastError(), m_server), false);
    for (qsizetype first = 0; first < pending.size() && !Stopping(); first += m_schedule.batch) {
        QList<HistoryEntry> entries;
        if (!ReadEntries(local, pending.mid(first, m_schedule.batch), entries, why))
            return Waiting(local, FileFailure(why), true);
        if (!Send(server, entries, why))
            return Waiting(local, why, false);
        // Should this fail, the server already holds the entries and takes them again without doubling.
        if (!MarkDelivered(local, m_server.key, entries, why))
            return Waiting(local, FileFailure(why), true);
        emit Delivered(int(entries.size()));
    }
    return done;
}

DeliveryStatus DeliveryWorker::Waiting(QSqlDatabase &local, const QString &why, bool fileFailed)
{
    DeliveryStatus status;
    status.state = DeliveryState::Waiting;
    status.why = why;
    status.fileFailed = fileFailed;
    Backlog backlog;
    QString ignored;
    if (local.isOpen() && ReadBacklog(local, m_server.key, backlog, ignored)) {
        status.waiting = backlog.Waiting();
        status.since = backlog.since;
    }
    return status;
}

bool DeliveryWorker::Send(QSqlDatabase &server, const QList<HistoryEntry> &entries, QString &why)
{
    // One statement for the batch: one transaction, not a round trip per entry.
    QSqlQuery query(server);
    if (query.exec(SharedInsert(*server.driver(), entries)))
        return true;
    why = ServerFailure(query.lastError(), m_server);
    return false;
}

} // namespace kelvra
