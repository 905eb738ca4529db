#pragma once

#include "cli/commandlink.h"
#include "cli/stationjob.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

namespace kelvra {

class CommandPort;

// One try at programming a radio.
struct StationAttempt
{
    CommandOutcome outcome; // as a write's, whatever stopped it on the way
    QString serial;         // empty when no serial number was read
    int attempt = 1;        // the how-many-th try at this serial number
    qint64 elapsedMs = 0;
    bool Passed() const { return outcome.Complete(); }
};

// The station's count by radio: a radio done twice is one radio with two
// attempts, and its last attempt says whether it passed. A try that read no
// serial number is a radio of its own: nothing tells it from another.
class StationTally
{
public:
    // Returns the attempt's number for its radio.
    int Add(const StationAttempt &attempt);
    int Radios() const { return int(m_radios.size()); }
    int Passed() const;
    int Failed() const { return Radios() - Passed(); }
    int Attempts() const { return m_attempts; }
    // 0 when every radio passed, else the exit code of the latest attempt among the radios that failed.
    int ExitCode() const;

private:
    struct Radio {
        int attempts = 0;
        bool passed = false;
        int exitCode = 0;
        int lastAttempt = 0; // the station's attempt count when it was last tried
    };
    QList<Radio> m_radios;
    QHash<QString, qsizetype> m_bySerial;
    int m_attempts = 0;
};

// The station itself, without a terminal or a window: one radio after
// another on one port, each read, checked against the job, written and
// verified. Each radio is read first, held back from the history, so that
// waiting for a radio never fills it: a try that finds no radio, or the
// radio just done, leaves no trace. A radio is then one entry: its write's,
// or its read's when it was not written.
class StationRun : public QObject
{
    Q_OBJECT
public:
    // automatic: a radio is started as soon as it answers; otherwise on RadioConnected.
    StationRun(const CommandPort &port, HistoryStore &history, const StationJob &job, bool automatic,
               QObject *parent = nullptr);

    void Start();
    // The name the bench's entries carry; empty: the host's.
    void SetBenchName(const QString &name) { m_link.SetBenchName(name); }
    // The operator has connected the next radio (Enter). Each call is one
    // radio; calls during a radio wait their turn. Not for automatic.
    void RadioConnected();
    // No radio follows those announced: the station ends once they are done.
    void NoMoreRadios();
    // Ends the station: at once while it waits for a radio, after the radio
    // under way otherwise. Again during a radio, the radio is abandoned as a
    // write's Ctrl+C abandons it: at once before any write block went out,
    // else once the write has been let finish; a third time, even then.
    void Interrupt();

    const StationTally &Tally() const { return m_tally; }

signals:
    // Ready for the next radio: one connected (automatic) or announced.
    void Waiting();
    // Automatic: the port could not be opened; said again only once it opened in between.
    void PortUnavailable(const QString &message, const QString &detail);
    // Of the radio under way; tries that find no radio are not shown.
    void Progress(const kelvra::LinkActivity &activity);
    void Attempted(const kelvra::StationAttempt &attempt);
    void EndingAfterRadio();
    void LettingWriteFinish();
    void Ended();

private:
    enum class State { Idle, Waiting, Reading, Writing, Ended };

    void WaitForNext();
    void Read(bool radioUnderWay);
    void OnDone(const CommandOutcome &outcome);
    // Automatic: whether a try found a radio that is to be done now.
    bool IsNewRadio(const CommandOutcome &outcome);
    void Examine(CommandOutcome outcome);
    void Report(CommandOutcome outcome, const QString &serial);
    void End();

    const StationJob &m_job;
    const bool m_automatic;
    CommandLink m_link;
    QTimer m_retry;
    QElapsedTimer m_radioTime;
    FieldChanges m_changes;
    StationTally m_tally;

    State m_state = State::Idle;
    bool m_underWay = false;   // a radio is being done, not merely looked for
    bool m_stopAfter = false;  // interrupted during a radio
    bool m_ending = false;     // interrupted while looking for one
    bool m_inputEnded = false;
    int m_announced = 0;       // radios announced and not yet started
    bool m_portSaid = false;
    // Automatic: the radio last tried and still on the cable, by serial
    // number (empty: it has none readable), and whether it was read whole.
    std::optional<QString> m_onCable;
    bool m_onCableRead = false;
};

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::StationAttempt)
