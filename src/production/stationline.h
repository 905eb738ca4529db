#pragma once

// The station engine: what a production line does with a job, below the
// front ends that show it (the station command in cli/, the station window).
// A job and its units file (stationjob.h), one StationRun per port, the
// count of radios per port and in all (stationtally.h), the run report
// (runreport.h), and StationLine, which holds them together. Nothing here
// prints or shows anything: it reports through signals and values that a
// front end renders, and its texts are translated for that front end. It
// stands on services/ (the radio link without a form, the history recorder,
// the settings) and through them on link/, history/ and record/; it includes
// no front end.

#include "production/runreport.h"
#include "production/stationrun.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace kelvra {

class HistoryDelivery;
class HistoryStore;
struct DeliveryStatus;
class StationJob;

// A station over one or several ports at once, all on one event loop: each
// port has its own link and runs on its own, so that a port that fails or
// waits never stops or slows another. Every radio goes into the one history
// file the ports share, and into the run report beside the job file; no
// radio is written from two ports at once.
class StationLine : public QObject
{
    Q_OBJECT
public:
    // automatic: each port starts a radio as soon as one answers; otherwise
    // on RadioConnected. aliasDirs: where COM<n> aliases are looked up.
    StationLine(const StationJob &job, bool automatic, const QStringList &aliasDirs, QObject *parent = nullptr);
    ~StationLine() override;

    // One more port: COM<n> as the window lists it, or a device path. False,
    // with why, for a text that names no port, or a port named already
    // (under this name or another that reaches the same device).
    bool AddPort(const QString &text, QString *why);
    // The ports in the order added, as the station names them: COM9, or the device path given.
    QStringList PortNames() const;
    const CommandPort &Port(int index) const;

    // Opens the history (the whole file checked once), delivers it to the
    // workshop's server that settingsPath's mysetup.ini names while the
    // station runs, makes the run report beside the job file, and starts
    // every port; the entries carry the bench's name from there too. Each
    // problem found on the way is a Notice, and the station goes on.
    void Start(const QString &historyPath, const QString &settingsPath);
    // The next radio is connected on port (named as PortNames names it, in
    // any case), or on every port when port is empty. False when no port has that name.
    bool RadioConnected(const QString &port = QString());
    // No radio follows those announced: each port ends once they are done.
    void NoMoreRadios();
    // Every port, as StationRun::Interrupt says.
    void Interrupt();

    // Radios of every port, by serial number: a radio done on two ports is one radio.
    const StationTally &Tally() const { return m_tally; }
    const StationTally &PortTally(int index) const;
    // Empty when no report could be made.
    QString ReportPath() const { return m_report.Path(); }
    // Why the report does not hold every radio; empty while it does.
    QString ReportProblem() const { return m_reportProblem; }
    // Where the report went, in a sentence for the end of the run: its path,
    // what it lacks, or why there is none.
    QString ReportLine() const;
    // While radios are being written, what leaving now would leave in each,
    // port by port, as one question whose default answer stays; empty while none is.
    QString LeaveQuestion() const;

signals:
    // Something the people at the line should know that does not stop it:
    // the history or its server cannot be used, the report cannot be
    // written, delivery to the workshop's server fails or works again.
    void Notice(const QString &text);
    void Waiting(const QString &port);
    // Automatic: port opened and no radio answered, after a radio or after
    // the port could not be opened (StationRun::Vacant).
    void Vacant(const QString &port);
    void PortUnavailable(const QString &port, const QString &message, const QString &detail);
    void Progress(const QString &port, const kelvra::LinkActivity &activity);
    // attempt.attempt counts the radio's attempts on every port.
    void Attempted(const kelvra::StationAttempt &attempt);
    void EndingAfterRadio(const QString &port);
    void LettingWriteFinish(const QString &port);
    // Every port has ended.
    void Ended();

private:
    struct PortRun {
        QString name;
        QString device; // canonical; empty when not found
        std::unique_ptr<CommandPort> port;
        std::unique_ptr<StationRun> run;
    };

    void OnAttempted(const StationAttempt &attempt);
    // Said once when delivery starts to fail, and once when it works again.
    void TellDelivery(const DeliveryStatus &status);

    const StationJob &m_job;
    const bool m_automatic;
    const QStringList m_aliasDirs;
    std::unique_ptr<HistoryStore> m_history;
    std::unique_ptr<HistoryDelivery> m_delivery;
    // After the history, so the runs, whose links record into it, go first.
    std::vector<PortRun> m_ports;
    SerialClaims m_claims;
    StationTally m_tally;
    RunReport m_report;
    QString m_reportProblem;
    int m_ended = 0;
    bool m_deliveryFailing = false;
};

} // namespace kelvra
