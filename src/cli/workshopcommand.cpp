#include "cli/workshopcommand.h"
#include "services/clitext.h"

#include "cli/historycommand.h"
#include "cli/report.h"
#include "cli/terminal.h"
#include "history/historycsv.h"
#include "history/historydelivery.h"
#include "history/workshopreader.h"
#include "link/tracing.h"
#include "services/commandoutcome.h"
#include "services/historysetting.h"
#include "services/settingsplace.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <unistd.h>

namespace kelvra {

namespace {

constexpr int ExitFileUnreadable = 1;
constexpr int ExitServerUnreachable = 3;
// A command's own entry: the longest a script waits for it at the end.
constexpr std::chrono::milliseconds OwnEntryWait{2000};
constexpr int CsvPage = 1000;

SharedServer CommandServer(QString *settingsPath = nullptr)
{
    const QString path = LocateSettings(ExecutableDir(), UserConfigDir()).readPath;
    if (settingsPath)
        *settingsPath = path;
    return SharedServer::FromUrl(SharedHistoryUrl(path));
}

// The server the commands list from and deliver to; when there is none to
// use, why not is said and *exitCode set.
std::optional<SharedServer> UsableServer(int *exitCode)
{
    QString settingsPath;
    const SharedServer server = CommandServer(&settingsPath);
    if (server.IsValid())
        return server;
    Terminal::Err(server.error.isEmpty()
                      ? Cli::tr("No workshop server is named: set historyUrl in section [history] of %1.\n")
                            .arg(settingsPath)
                      : server.error + QLatin1Char('\n'));
    *exitCode = ExitUsage;
    return std::nullopt;
}

void TraceServer(const QString &what)
{
    qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " server " << what;
}

} // namespace

int WorkshopHistory(const QString &serialEnding, int limit, bool json, bool csv, bool showPasswords)
{
    int exitCode = ExitComplete;
    const std::optional<SharedServer> usable = UsableServer(&exitCode);
    if (!usable)
        return exitCode;
    const SharedServer &server = *usable;
    Terminal terminal;
    WorkshopReader reader(CommandHistoryPath(), server);
    QFile out;
    const CsvForm form{false, 0, showPasswords};
    // Unbuffered, so that a write that fails is seen at once, not lost in a buffer.
    if (csv && !out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return ExitFileUnreadable;
    HistoryFilter filter;
    filter.serial = serialEnding;
    int listed = 0;
    bool headerWritten = false;
    WorkshopPage last;
    QEventLoop loop;
    QObject::connect(&terminal, &Terminal::Interrupted, &loop, [&](int signal) {
        exitCode = ExitCodeOfSignal(signal);
        loop.quit();
    });
    QObject::connect(&reader, &WorkshopReader::Answered, &loop, [&](const WorkshopPage &page) {
        last = page;
        if (!page.reached) {
            exitCode = ExitServerUnreachable;
            loop.quit();
            return;
        }
        if (csv && !std::exchange(headerWritten, true))
            WriteHistoryCsvHeader(form, out);
        for (const HistoryEntry &entry : page.entries) {
            if (csv)
                WriteHistoryCsvRow(entry, form, out);
            else
                Terminal::Out(json ? QString::fromUtf8(JsonLine(EntryJson(entry, showPasswords)))
                                   : EntryLine(entry, true));
        }
        listed += int(page.entries.size());
        // --csv takes every entry, a page at a time; the others stop at the limit.
        if (csv && page.more && !page.entries.isEmpty() && out.error() == QFileDevice::NoError) {
            reader.Ask({filter, CsvPage, HistoryOrder(), page.entries.last()});
            return;
        }
        loop.quit();
    });
    reader.Ask({filter, csv ? CsvPage : limit, HistoryOrder(), std::nullopt});
    loop.exec();
    if (out.error() != QFileDevice::NoError)
        Terminal::NoteOutputFailure(out.errorString());

    DeliveryStatus status;
    status.waiting = last.waiting;
    status.since = last.since;
    if (exitCode == ExitServerUnreachable) {
        status.state = DeliveryState::Waiting;
        status.why = last.why;
        TraceServer(server.key + QStringLiteral(" cannot be read: ") + last.why);
        Terminal::Err(Cli::tr("The workshop's history cannot be listed.") + QLatin1Char(' ')
                      + DeliveryStatusText(status, server.key) + QLatin1Char('\n'));
        return exitCode;
    }
    if (exitCode != ExitComplete)
        return exitCode;
    if (listed == 0 && !json && !csv)
        Terminal::Out(serialEnding.isEmpty()
                          ? Cli::tr("The workshop's history holds no entries yet (%1).\n").arg(server.key)
                          : Cli::tr("The workshop's history holds no entry for a serial number ending in %1.\n")
                                .arg(serialEnding));
    if (status.waiting > 0)
        Terminal::Err(Cli::tr("%n entry(s) of this bench have not reached the workshop server %1 yet (the oldest "
                              "since %2) and are listed from this bench's history; KelvraSet history --deliver "
                              "sends them.\n",
                              nullptr, status.waiting)
                          .arg(server.key, LocalTimeText(status.since)));
    return ExitComplete;
}

int DeliverQueued()
{
    int exitCode = ExitComplete;
    const std::optional<SharedServer> server = UsableServer(&exitCode);
    if (!server)
        return exitCode;
    Terminal terminal;
    HistoryDelivery delivery(CommandHistoryPath(), *server);
    int delivered = 0;
    std::optional<DeliveryStatus> passed;
    int signal = 0;
    QEventLoop loop;
    QObject::connect(&delivery, &HistoryDelivery::Delivered, &loop, [&](int count) { delivered += count; });
    QObject::connect(&delivery, &HistoryDelivery::Passed, &loop, [&](const DeliveryStatus &status) {
        passed = status;
        loop.quit();
    });
    QObject::connect(&terminal, &Terminal::Interrupted, &loop, [&](int received) {
        signal = received;
        loop.quit();
    });
    delivery.StartOnce();
    loop.exec();
    if (!passed) {
        delivery.Stop();
        Terminal::Err(Cli::tr("Interrupted: %n entry(s) were delivered; the others stay queued.\n", nullptr,
                              delivered));
        return ExitCodeOfSignal(signal);
    }
    if (passed->state == DeliveryState::UpToDate) {
        TraceServer(server->key + QStringLiteral(" delivered %1").arg(delivered));
        Terminal::Out(Cli::tr("%n entry(s) delivered; every entry of this bench is on the workshop server %1.\n",
                              nullptr, delivered)
                          .arg(server->key));
        return ExitComplete;
    }
    TraceServer(server->key + QStringLiteral(" delivery fails: ") + passed->why);
    Terminal::Err(DeliveryStatusText(*passed, server->key) + QLatin1Char('\n'));
    return passed->fileFailed ? ExitFileUnreadable : ExitServerUnreachable;
}

OwnEntryDelivery::OwnEntryDelivery() : m_server(CommandServer())
{
    if (!m_server.IsValid())
        return;
    m_delivery = std::make_unique<HistoryDelivery>(CommandHistoryPath(), m_server);
    m_delivery->Prepare();
}

OwnEntryDelivery::~OwnEntryDelivery()
{
    // A connect that hangs is not waited for: the process ends without it.
    if (m_delivery)
        m_delivery->Stop(std::chrono::milliseconds(0));
}

void OwnEntryDelivery::Deliver(const QString &uuid, Terminal &terminal)
{
    if (!m_server.error.isEmpty()) {
        Terminal::Err(Cli::tr("Warning: %1 The entry is kept on this computer only.\n").arg(m_server.error));
        return;
    }
    if (!m_delivery || uuid.isEmpty())
        return;
    std::optional<DeliveryStatus> passed;
    bool interrupted = false;
    const QDeadlineTimer deadline(OwnEntryWait, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer::singleShot(OwnEntryWait, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QObject::connect(&terminal, &Terminal::Interrupted, &loop, [&] {
        interrupted = true;
        loop.quit();
    });
    QObject::connect(m_delivery.get(), &HistoryDelivery::Passed, &loop, [&](const DeliveryStatus &status) {
        passed = status;
        loop.quit();
    });
    m_delivery->StartOnce({uuid});
    loop.exec();
    // After its pass the worker only closes its connections: that is waited
    // for, within the same 2 s. A connect or statement that hangs is not: the
    // entry waits in the file.
    m_delivery->Stop(interrupted ? std::chrono::milliseconds(0)
                                 : std::chrono::ceil<std::chrono::milliseconds>(deadline.remainingTimeAsDuration()));
    if (passed && passed->state == DeliveryState::UpToDate)
        return;
    const QString why = passed ? passed->why : Cli::tr("no answer within 2 s");
    TraceServer(m_server.key + QStringLiteral(" entry ") + uuid + QStringLiteral(" stays queued: ") + why);
    Terminal::Err(Cli::tr("The entry %1 stays queued for the workshop server %2 (%3); it follows with the next "
                          "delivery, or with KelvraSet history --deliver.\n")
                      .arg(uuid, m_server.key, why));
}

} // namespace kelvra
