#include "history/deliveryworker.h"

#include "history/historyfile.h"
#include "history/historyschema.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sys/stat.h>

namespace kelvra {

namespace {

QString Unique(const char *kind, const void *owner)
{
    return QStringLiteral("kelvra-delivery-%1-%2").arg(QLatin1String(kind)).arg(quintptr(owner), 0, 16);
}

bool HasOption(const QStringList &options, const char *name)
{
    for (const QString &option : options) {
        if (option.startsWith(QLatin1String(name) + QLatin1Char('=')))
            return true;
    }
    return false;
}

// Runs the statement once for each row, all in one transaction.
bool ExecuteAll(QSqlDatabase &db, const QString &statement, const QList<QVariantList> &rows, QString &why)
{
    db.transaction();
    QSqlQuery query(db);
    query.prepare(statement);
    for (const QVariantList &row : rows) {
        for (const QVariant &value : row)
            query.addBindValue(value);
        if (!query.exec()) {
            why = query.lastError().text();
            query.finish();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        why = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace

DeliveryWorker::DeliveryWorker(const QString &localPath, const SharedServer &server, const DeliverySchedule &schedule,
                               std::shared_ptr<DeliveryControl> control)
    : m_localPath(localPath), m_server(server), m_schedule(schedule), m_control(std::move(control))
{
}

bool DeliveryWorker::Stopping() const
{
    QMutexLocker lock(&m_control->mutex);
    return m_control->stop;
}

bool DeliveryWorker::Abandoned() const
{
    QMutexLocker lock(&m_control->mutex);
    return m_control->abandoned;
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

void DeliveryWorker::SetState(HistoryDelivery::State state, const QString &detail)
{
    if (state == m_state && detail == m_detail)
        return;
    m_state = state;
    m_detail = detail;
    emit StateChanged(state, detail);
}

void DeliveryWorker::run()
{
    const QString serverName = Unique("server", this);
    const QString localName = Unique("local", this);
    {
        QSqlDatabase server = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), serverName);
        server.setHostName(m_server.host);
        if (m_server.port > 0)
            server.setPort(m_server.port);
        server.setDatabaseName(m_server.database);
        server.setUserName(m_server.user);
        server.setPassword(m_server.password);
        // The connect and every statement are bounded, so that a server that
        // stops answering holds up neither this thread's retries nor its end.
        QStringList options = m_server.options;
        if (!HasOption(options, "connect_timeout"))
            options << QStringLiteral("connect_timeout=%1").arg(m_schedule.connectTimeoutSeconds);
        if (!HasOption(options, "options"))
            options << QStringLiteral("options='-c statement_timeout=%1 -c client_min_messages=warning'")
                           .arg(m_schedule.statementTimeoutMs);
        if (!HasOption(options, "keepalives_idle"))
            options << QStringLiteral("keepalives_idle=30") << QStringLiteral("keepalives_interval=10")
                    << QStringLiteral("keepalives_count=3");
        server.setConnectOptions(options.join(QLatin1Char(';')));

        // The file is never created here, only read and marked: mode=rw.
        QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), localName);
        local.setDatabaseName(QUrl::fromLocalFile(m_localPath).toString(QUrl::FullyEncoded)
                              + QStringLiteral("?mode=rw"));
        local.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryBusyTimeoutMs));

        auto retry = m_schedule.firstRetry;
        while (!Stopping()) {
            QString why;
            const bool delivered = Pass(server, local, why);
            local.close();
            if (Stopping())
                break;
            if (delivered) {
                retry = m_schedule.firstRetry;
                SetState(HistoryDelivery::State::UpToDate);
                Pause(m_schedule.poll, true);
            } else {
                server.close();
                m_schemaReady = false;
                SetState(HistoryDelivery::State::Waiting, why);
                Pause(retry, false);
                retry = std::min(retry * 2, m_schedule.longestRetry);
            }
        }
        if (Abandoned())
            return;
        server.close();
    }
    QSqlDatabase::removeDatabase(serverName);
    QSqlDatabase::removeDatabase(localName);
}

bool DeliveryWorker::Pass(QSqlDatabase &server, QSqlDatabase &local, QString &why)
{
    if (!server.isOpen()) {
        SetState(HistoryDelivery::State::Connecting);
        if (!server.open()) {
            why = server.lastError().text();
            return false;
        }
    }
    if (!m_schemaReady) {
        QSqlQuery query(server);
        for (const QString &statement : SharedSchema()) {
            if (!query.exec(statement)) {
                why = query.lastError().text();
                return false;
            }
        }
        m_schemaReady = true;
    }
    // No history yet: nothing to deliver.
    struct stat file
    {
    };
    if (stat(QFile::encodeName(m_localPath).constData(), &file) != 0)
        return true;
    // A file started anew after a damaged one was set aside numbers its entries from 1 again.
    if (file.st_ino != m_fileId) {
        m_fileId = file.st_ino;
        m_watermark = 0;
    }
    if (!local.open()) {
        why = local.lastError().text();
        return false;
    }
    while (!Stopping()) {
        QList<HistoryEntry> pending;
        if (!ReadPending(local, pending, why))
            return false;
        if (pending.isEmpty())
            return true;
        if (!Send(server, pending, why) || !MarkDelivered(local, pending, why))
            return false;
        emit Delivered(int(pending.size()));
    }
    return true;
}

bool DeliveryWorker::ReadPending(QSqlDatabase &local, QList<HistoryEntry> &pending, QString &why)
{
    // One snapshot for both questions, so no entry recorded in between is skipped.
    local.transaction();
    QSqlQuery query(local);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM entry e WHERE seq >= ? AND result <> 'unfinished'"
                                 " AND NOT EXISTS (SELECT 1 FROM delivered d WHERE d.target = ? AND d.uuid = e.uuid)"
                                 " ORDER BY seq LIMIT ?")
                      .arg(EntryColumns()));
    query.addBindValue(m_watermark);
    query.addBindValue(m_server.target);
    query.addBindValue(m_schedule.batch);
    bool ok = query.exec();
    while (ok && query.next()) {
        HistoryEntry entry;
        if (EntryFromRow(query, 0, entry))
            pending.append(entry);
    }
    // Unfinished writes stay pending; everything older than the oldest of them is delivered.
    if (ok && pending.isEmpty()) {
        ok = query.exec(QStringLiteral("SELECT (SELECT min(seq) FROM entry WHERE result = 'unfinished' AND seq >= %1),"
                                       " (SELECT coalesce(max(seq), 0) + 1 FROM entry)")
                            .arg(m_watermark))
            && query.next();
        if (ok)
            m_watermark = query.value(0).isNull() ? query.value(1).toLongLong() : query.value(0).toLongLong();
    }
    if (!ok)
        why = query.lastError().text();
    query.finish();
    local.commit();
    return ok;
}

bool DeliveryWorker::Send(QSqlDatabase &server, const QList<HistoryEntry> &pending, QString &why)
{
    QList<QVariantList> rows;
    for (const HistoryEntry &entry : pending)
        rows << EntryValues(entry);
    return ExecuteAll(server, SharedInsert(), rows, why);
}

bool DeliveryWorker::MarkDelivered(QSqlDatabase &local, const QList<HistoryEntry> &pending, QString &why)
{
    // Should this fail, the server already holds the entries and takes them again without doubling.
    const QString now = HistoryTimeText(QDateTime::currentDateTimeUtc());
    QList<QVariantList> rows;
    for (const HistoryEntry &entry : pending)
        rows << QVariantList{m_server.target, entry.uuid, now};
    return ExecuteAll(
        local, QStringLiteral("INSERT OR IGNORE INTO delivered (target, uuid, time_utc) VALUES (?, ?, ?)"), rows, why);
}

} // namespace kelvra
