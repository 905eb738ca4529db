#include "production/stationline.h"

#include "history/historydelivery.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "history/sharedserver.h"
#include "link/failuredetail.h"
#include "link/tracing.h"
#include "production/stationjob.h"
#include "services/clitext.h"
#include "services/commandport.h"
#include "services/historysetting.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

namespace kelvra {

StationLine::StationLine(const StationJob &job, bool automatic, const QStringList &aliasDirs, QObject *parent)
    : QObject(parent), m_job(job), m_automatic(automatic), m_aliasDirs(aliasDirs)
{
}

StationLine::~StationLine() = default;

bool StationLine::AddPort(const QString &text, QString *why)
{
    PortRun added{QString(), QString(), std::make_unique<CommandPort>(m_aliasDirs), nullptr};
    if (!added.port->Choose(text, why))
        return false;
    added.name = added.port->Name().isEmpty() ? text : added.port->Name();
    const std::optional<PortEntry> entry = added.port->Directory().Find(added.port->Number());
    added.device = QFileInfo(entry ? entry->devicePath : text).canonicalFilePath();
    for (const PortRun &port : m_ports) {
        // Two links on one device would each take half of every reply.
        if (port.name == added.name || (!added.device.isEmpty() && port.device == added.device)) {
            *why = port.name == added.name ? Cli::tr("%1 is named twice; name each port once.").arg(added.name)
                                           : Cli::tr("%1 and %2 are the same device, %3; name each port once.")
                                                 .arg(port.name, added.name, added.device);
            return false;
        }
    }
    m_ports.push_back(std::move(added));
    return true;
}

QStringList StationLine::PortNames() const
{
    QStringList names;
    for (const PortRun &port : m_ports)
        names << port.name;
    return names;
}

const CommandPort &StationLine::Port(int index) const
{
    return *m_ports.at(std::size_t(index)).port;
}

const StationTally &StationLine::PortTally(int index) const
{
    static const StationTally none;
    const StationRun *run = m_ports.at(std::size_t(index)).run.get();
    return run ? run->Tally() : none;
}

void StationLine::Start(const QString &historyPath, const QString &settingsPath)
{
    // Checked whole once, as the window does, before the first radio; a
    // history that cannot be kept is said now rather than at every radio.
    m_history = std::make_unique<HistoryStore>(historyPath);
    HistoryProblem problem;
    if (!m_history->Open(&problem))
        emit Notice(Cli::tr("Warning: %1 Each radio's write will be refused until the history can take its backup.")
                        .arg(problem.reason));
    if (const QString aside = m_history->TakeSetAside(); !aside.isEmpty())
        emit Notice(SetAsideNotice(aside));
    // A station may run all day with no window on the bench: it delivers to
    // the workshop's server itself, as the window does.
    const SharedServer server = SharedServer::FromUrl(SharedHistoryUrl(settingsPath));
    m_delivery = std::make_unique<HistoryDelivery>(m_history->Path(), server);
    connect(m_delivery.get(), &HistoryDelivery::StatusChanged, this, &StationLine::TellDelivery);
    m_delivery->Start();
    if (!server.error.isEmpty())
        emit Notice(Cli::tr("Warning: %1 The history is kept on this computer only.").arg(server.error));

    if (!m_report.Create(QFileInfo(m_job.Path()).absolutePath(), QDateTime::currentDateTimeUtc(), &m_reportProblem))
        emit Notice((m_report.Path().isEmpty()
                         ? Cli::tr("Warning: %1 The station goes on without a run report; the history records every "
                                   "radio.")
                         : Cli::tr("Warning: %1 The station goes on, and the history records every radio."))
                        .arg(m_reportProblem));

    const QString benchName = BenchName(settingsPath);
    for (PortRun &port : m_ports) {
        port.run = std::make_unique<StationRun>(*port.port, port.name, *m_history, m_job, m_automatic, &m_claims);
        StationRun *run = port.run.get();
        run->SetBenchName(benchName);
        const QString name = port.name;
        connect(run, &StationRun::Waiting, this, [this, name] { emit Waiting(name); });
        connect(run, &StationRun::Vacant, this, [this, name] { emit Vacant(name); });
        connect(run, &StationRun::PortUnavailable, this, [this, name](const QString &message, const QString &detail) {
            emit PortUnavailable(name, message, detail);
        });
        connect(run, &StationRun::Progress, this,
                [this, name](const LinkActivity &activity) { emit Progress(name, activity); });
        connect(run, &StationRun::Attempted, this, &StationLine::OnAttempted);
        connect(run, &StationRun::EndingAfterRadio, this, [this, name] { emit EndingAfterRadio(name); });
        connect(run, &StationRun::LettingWriteFinish, this, [this, name] { emit LettingWriteFinish(name); });
        connect(run, &StationRun::Ended, this, [this] {
            if (++m_ended == int(m_ports.size()))
                emit Ended();
        });
    }
    for (PortRun &port : m_ports)
        port.run->Start();
    if (m_ports.empty())
        emit Ended();
}

bool StationLine::RadioConnected(const QString &port)
{
    bool found = false;
    for (PortRun &each : m_ports) {
        if (port.isEmpty() || each.name.compare(port, Qt::CaseInsensitive) == 0) {
            if (each.run)
                each.run->RadioConnected();
            found = true;
        }
    }
    return found;
}

// Before Start there is nothing to tell.
void StationLine::NoMoreRadios()
{
    for (PortRun &port : m_ports) {
        if (port.run)
            port.run->NoMoreRadios();
    }
}

void StationLine::Interrupt()
{
    for (PortRun &port : m_ports) {
        if (port.run)
            port.run->Interrupt();
    }
}

void StationLine::OnAttempted(const StationAttempt &portAttempt)
{
    StationAttempt attempt = portAttempt;
    attempt.attempt = m_tally.Add(attempt);
    // Said when the report stops holding every radio, and again only after it held them once more.
    // A report that could not be made was said at the start.
    if (QString why; !m_report.Path().isEmpty() && m_report.Add(attempt, attempt.attempt, &why))
        m_reportProblem.clear();
    else if (!m_report.Path().isEmpty() && std::exchange(m_reportProblem, why).isEmpty())
        emit Notice(Cli::tr("Warning: %1 The station goes on, and the history records every radio.").arg(why));
    emit Attempted(attempt);
}

QString StationLine::ReportLine() const
{
    const QString path = ReportPath();
    if (path.isEmpty())
        return Cli::tr("No run report: %1").arg(m_reportProblem);
    if (!m_reportProblem.isEmpty())
        return Cli::tr("Run report, without the latest radios: %1 (%2)").arg(path, m_reportProblem);
    return Cli::tr("Run report: %1").arg(path);
}

QString StationLine::LeaveQuestion() const
{
    // What each port would be left with, then the question once.
    QStringList cases;
    for (const PortRun &port : m_ports) {
        const QString situation = port.run ? port.run->LeaveSituation() : QString();
        if (!situation.isEmpty())
            cases << QStringLiteral("%1: %2").arg(port.name, situation);
    }
    if (cases.isEmpty())
        return QString();
    return cases.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n") + failuredetail::CloseAnyway();
}

void StationLine::TellDelivery(const DeliveryStatus &status)
{
    const QString key = m_delivery->Server().key;
    if (status.state == DeliveryState::Waiting && !m_deliveryFailing) {
        m_deliveryFailing = true;
        qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " server " << key << " delivery fails: " << status.why;
        emit Notice(Cli::tr("Delivery to the workshop server %1 fails: %2. Entries wait on this computer and follow "
                            "once it works again.")
                        .arg(key, status.why));
    } else if (status.state == DeliveryState::UpToDate && m_deliveryFailing) {
        m_deliveryFailing = false;
        qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " server " << key << " delivery works again";
        emit Notice(Cli::tr("Delivery to the workshop server %1 works again.").arg(key));
    }
}

} // namespace kelvra
