#pragma once

#include "history/historyentry.h"
#include "history/historyquery.h"
#include "history/sharedserver.h"
#include "history/workshopserver.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <atomic>
#include <memory>

namespace kelvra {

class ServerThread;
class WorkshopWorker;

// Which of the workshop's entries a page holds.
struct WorkshopQuery
{
    // Its serial number: the whole number or its last digits, a number that
    // ends so; the server reads the numbers backwards.
    HistoryFilter filter;
    int limit = 200;
    HistoryOrder order;
    // The last entry of the page before; none: the first page.
    std::optional<HistoryEntry> after;

    bool FirstPage() const { return !after; }
};

struct WorkshopPage
{
    quint64 ticket = 0;
    // Every bench's entries, this bench's undelivered ones among them, each once.
    QList<HistoryEntry> entries;
    bool more = false;   // older entries follow
    bool reached = true; // false: the server could not be asked, and why says why
    // The server was reached but gave up on the question (its statement
    // timeout): a filter it cannot narrow with an index, over a long history.
    bool tooLong = false;
    QString why;
    // This bench's finished entries that the server does not hold yet, and
    // when the oldest was made; as of the last first page.
    int waiting = 0;
    QDateTime since;
};

// A server page and this bench's entries it lacks, as one page: each entry
// once by uuid, in the query's order, at most query.limit of them.
WorkshopPage MergedPage(const QList<HistoryEntry> &server, const QList<HistoryEntry> &local,
                        const WorkshopQuery &query);

// Reads the workshop's shared history on a thread with connections of its
// own, so that neither the window nor a command's Ctrl+C waits for the
// network. Each question is answered once, by Answered with its ticket; a
// question overtaken by a newer one before it was asked is not asked at all.
class WorkshopReader : public QObject
{
    Q_OBJECT
public:
    // localPath: this bench's history, whose undelivered entries join each page.
    WorkshopReader(const QString &localPath, const SharedServer &server, const ServerLimits &limits = {},
                   QObject *parent = nullptr);
    // A thread caught in a connect that hangs is left to end on its own (ServerThread).
    ~WorkshopReader() override;

    const SharedServer &Server() const { return m_server; }
    quint64 Ask(const WorkshopQuery &query);

signals:
    void Answered(const kelvra::WorkshopPage &page);

private:
    SharedServer m_server;
    std::shared_ptr<WorkshopWorker> m_worker;
    std::unique_ptr<ServerThread> m_thread;
    std::shared_ptr<std::atomic<quint64>> m_latest;
    quint64 m_next = 0;
};

} // namespace kelvra
