#pragma once

#include "history/historyentry.h"
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

// Which of the workshop's entries a page holds, newest first.
struct WorkshopQuery
{
    // The whole serial number or its last digits: a number that ends so.
    // Empty: every radio.
    QString serialEnding;
    // Only entries older than this one (by time, then uuid); an invalid time: from the newest.
    QDateTime beforeTime;
    QString beforeUuid;
    int limit = 200;

    bool FirstPage() const { return !beforeTime.isValid(); }
};

struct WorkshopPage
{
    quint64 ticket = 0;
    // Every bench's entries, this bench's undelivered ones among them, each once.
    QList<HistoryEntry> entries;
    bool more = false;   // older entries follow
    bool reached = true; // false: the server could not be asked, and why says why
    QString why;
    // This bench's finished entries that the server does not hold yet, and
    // when the oldest was made; as of the last first page.
    int waiting = 0;
    QDateTime since;
};

// A server page and this bench's entries it lacks, as one page: each entry
// once by uuid, newest first, at most query.limit of them.
WorkshopPage MergedPage(const QList<HistoryEntry> &server, const QList<HistoryEntry> &local,
                        const WorkshopQuery &query);

// Whether the serial number ends with the text typed: the one filter the
// workshop view offers the server, which reads the numbers backwards.
bool SerialEndsWith(const QString &serial, const QString &ending);

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
