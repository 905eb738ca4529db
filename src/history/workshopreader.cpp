#include "history/workshopreader.h"

#include "history/historyschema.h"
#include "history/localbacklog.h"
#include "history/serverthread.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QWaitCondition>

#include <algorithm>
#include <optional>

namespace kelvra {

namespace {

bool AfterCursor(const HistoryEntry &entry, const WorkshopQuery &query)
{
    return query.FirstPage() || Precedes(*query.after, entry, query.order);
}

// LIKE's own characters, taken literally.
QString LikePrefix(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped + QLatin1Char('%');
}

} // namespace

WorkshopPage MergedPage(const QList<HistoryEntry> &server, const QList<HistoryEntry> &local,
                        const WorkshopQuery &query)
{
    QList<HistoryEntry> all = server;
    for (const HistoryEntry &entry : local) {
        if (AfterCursor(entry, query))
            all << entry;
    }
    std::stable_sort(all.begin(), all.end(),
                     [&](const HistoryEntry &a, const HistoryEntry &b) { return Precedes(a, b, query.order); });
    WorkshopPage page;
    QSet<QString> seen;
    for (const HistoryEntry &entry : all) {
        if (seen.contains(entry.uuid))
            continue;
        seen.insert(entry.uuid);
        if (page.entries.size() == query.limit) {
            page.more = true;
            break;
        }
        page.entries << entry;
    }
    // The server had more than it was asked for: older ones follow.
    page.more = page.more || server.size() >= query.limit;
    return page;
}

// Runs on the reader's thread: the server's connection, and this bench's
// entries the server lacks, read afresh for every first page.
class WorkshopWorker : public QObject
{
    Q_OBJECT
public:
    WorkshopWorker(const QString &localPath, const SharedServer &server, const ServerLimits &limits,
                   std::shared_ptr<std::atomic<quint64>> latest)
        : m_localPath(localPath), m_server(server), m_limits(limits), m_latest(std::move(latest)),
          m_serverName(QStringLiteral("kelvra-workshop-server-%1").arg(quintptr(this), 0, 16)),
          m_localName(QStringLiteral("kelvra-workshop-local-%1").arg(quintptr(this), 0, 16))
    {
    }
    // The thread's body: answers the newest question, until stopped.
    void Run()
    {
        for (;;) {
            std::optional<std::pair<quint64, WorkshopQuery>> question;
            {
                QMutexLocker lock(&m_mutex);
                while (!m_stop && !m_question)
                    m_asked.wait(&m_mutex);
                if (m_stop)
                    break;
                question = std::exchange(m_question, std::nullopt);
            }
            Answer(question->first, question->second);
        }
        for (const QString &name : {m_serverName, m_localName}) {
            if (QSqlDatabase::contains(name)) {
                QSqlDatabase::database(name, false).close();
                QSqlDatabase::removeDatabase(name);
            }
        }
    }
    // A question not yet taken up is overtaken, and never asked.
    void Put(quint64 ticket, const WorkshopQuery &query)
    {
        QMutexLocker lock(&m_mutex);
        m_question.emplace(ticket, query);
        m_asked.wakeAll();
    }
    void Stop()
    {
        QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_asked.wakeAll();
    }

signals:
    void Answered(const kelvra::WorkshopPage &page);

private:
    void Answer(quint64 ticket, const WorkshopQuery &query)
    {
        if (ticket < m_latest->load())
            return;
        if (query.FirstPage())
            ReadLocal(query.filter);
        QList<HistoryEntry> rows;
        QString why;
        bool tooLong = false;
        WorkshopPage page;
        if (Ask(query, rows, why, tooLong)) {
            page = MergedPage(rows, m_local, query);
        } else {
            page.reached = tooLong;
            page.tooLong = tooLong;
            page.why = why;
        }
        page.ticket = ticket;
        page.waiting = m_waiting;
        page.since = m_since;
        emit Answered(page);
    }

    void ReadLocal(const HistoryFilter &filter)
    {
        m_local.clear();
        m_waiting = 0;
        m_since = QDateTime();
        if (!QFileInfo::exists(m_localPath))
            return;
        if (!QSqlDatabase::contains(m_localName))
            AddLocalConnection(m_localName, m_localPath);
        QSqlDatabase local = QSqlDatabase::database(m_localName, false);
        Backlog backlog;
        QList<HistoryEntry> entries;
        QString why;
        // A file that cannot be read leaves the server's entries to show.
        if (local.open() && ReadBacklog(local, m_server.key, backlog, why)
            && ReadEntries(local, backlog.unfinished + backlog.finished, entries, why)) {
            m_waiting = backlog.Waiting();
            m_since = backlog.since;
            for (const HistoryEntry &entry : std::as_const(entries)) {
                if (Matches(entry, filter, true))
                    m_local << entry;
            }
        }
        local.close();
    }

    bool Ask(const WorkshopQuery &request, QList<HistoryEntry> &rows, QString &why, bool &tooLong)
    {
        if (!QSqlDatabase::contains(m_serverName))
            AddServerConnection(m_serverName, m_server, m_limits);
        QSqlDatabase db = QSqlDatabase::database(m_serverName, false);
        if (!db.isOpen() && !db.open()) {
            why = ServerFailure(db.lastError(), m_server);
            return false;
        }
        // Literals, not bound values: the planner sees the pattern, and reads
        // the backwards serial-number index by its start.
        const QSqlDriver &driver = *db.driver();
        const HistoryFilter &filter = request.filter;
        QStringList where = FilterConditions(filter, SqlDialect::Server, driver);
        if (!filter.serial.isEmpty()) {
            QString reversed = filter.serial;
            std::reverse(reversed.begin(), reversed.end());
            where << QStringLiteral("reverse(serial_number) LIKE %1").arg(SqlLiteral(driver, LikePrefix(reversed)));
        }
        if (request.after)
            where << AfterCondition(*request.after, request.order, SqlDialect::Server, driver);
        const QString order
            = OrderBy(request.order, SqlDialect::Server, driver) + QStringLiteral(" LIMIT %1").arg(request.limit);
        const QString page = QStringLiteral("FROM history_entry")
            + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))) + order;
        // A filter's page is chosen from the index alone (it holds the time
        // and uuid), and only its entries are read from the table.
        const QString statement = filter.serial.isEmpty()
            ? QStringLiteral("SELECT %1 %2").arg(SharedColumns(), page)
            : QStringLiteral("SELECT %1 FROM history_entry WHERE uuid IN (SELECT uuid %2)%3")
                  .arg(SharedColumns(), page, order);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(statement)) {
            why = ServerFailure(query.lastError(), m_server);
            tooLong = query.lastError().nativeErrorCode() == QLatin1String("57014");
            query.finish();
            db.close();
            return false;
        }
        while (query.next()) {
            HistoryEntry entry;
            if (EntryFromRow(query, 0, entry))
                rows << entry;
        }
        return true;
    }

    const QString m_localPath;
    const SharedServer m_server;
    const ServerLimits m_limits;
    const std::shared_ptr<std::atomic<quint64>> m_latest;
    const QString m_serverName;
    const QString m_localName;
    QMutex m_mutex;
    QWaitCondition m_asked;
    bool m_stop = false;
    std::optional<std::pair<quint64, WorkshopQuery>> m_question;
    QList<HistoryEntry> m_local;
    int m_waiting = 0;
    QDateTime m_since;
};

WorkshopReader::WorkshopReader(const QString &localPath, const SharedServer &server, const ServerLimits &limits,
                               QObject *parent)
    : QObject(parent), m_server(server), m_latest(std::make_shared<std::atomic<quint64>>(0))
{
    qRegisterMetaType<kelvra::WorkshopQuery>();
    qRegisterMetaType<kelvra::WorkshopPage>();
    m_worker = std::make_shared<WorkshopWorker>(localPath, server, limits, m_latest);
    connect(m_worker.get(), &WorkshopWorker::Answered, this, [this](const WorkshopPage &page) {
        // Only the answer to the newest question counts.
        if (page.ticket == m_latest->load())
            emit Answered(page);
    });
    m_thread = std::make_unique<ServerThread>([worker = m_worker.get()] { worker->Run(); });
}

WorkshopReader::~WorkshopReader()
{
    m_worker->disconnect(this);
    m_worker->Stop();
    m_thread->Join(std::chrono::milliseconds(500), m_worker);
}

quint64 WorkshopReader::Ask(const WorkshopQuery &query)
{
    const quint64 ticket = ++m_next;
    m_latest->store(ticket);
    m_worker->Put(ticket, query);
    return ticket;
}

} // namespace kelvra

#include "workshopreader.moc"
