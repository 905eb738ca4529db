#pragma once

#include "production/stationjob.h"
#include "production/stationtally.h"
#include "services/commandlink.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

namespace kelvra {

class CommandPort;

// The serial numbers being programmed at this moment, each by the port that
// programs it, so that no radio is written from two ports at once.
class SerialClaims
{
public:
    // False, with the port that holds it in *holder, when another port is programming serial now.
    bool Claim(const QString &serial, const QString &port, QString *holder);
    // Lets serial go, if port holds it.
    void Release(const QString &serial, const QString &port);

private:
    QHash<QString, QString> m_ports;
};

// One port of a station, without a terminal or a window: one radio after
// another, each read, checked against the job, written and verified. Each
// radio is read first, held back from the history, so that waiting for a
// radio never fills it: a try that finds no radio, or the radio just done,
// leaves no trace. A radio is then one entry: its write's,
// or its read's when it was not written.
class StationRun : public QObject
{
    Q_OBJECT
public:
    // automatic: a radio is started as soon as it answers; otherwise on
    // RadioConnected. portName: how attempts name the port. claims, when
    // given, is shared with the station's other ports: a radio whose serial
    // number another port is programming is refused, not written.
    StationRun(const CommandPort &port, const QString &portName, HistoryStore &history, const StationJob &job,
               bool automatic, SerialClaims *claims = nullptr, QObject *parent = nullptr);

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

    const QString &PortName() const { return m_portName; }
    // While a radio is being written, what leaving now would leave in it; empty otherwise.
    QString LeaveSituation() const { return m_link.LeaveSituation(); }
    // This port's radios.
    const StationTally &Tally() const { return m_tally; }

signals:
    // Ready for the next radio: one connected (automatic) or announced.
    void Waiting();
    // Automatic: the port opened and no radio answered, after a radio was
    // done on it or after it could not be opened: the next radio may come.
    void Vacant();
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
    // serial: the serial number the try read; empty when it read none.
    bool IsNewRadio(const CommandOutcome &outcome, const QString &serial);
    void Examine(CommandOutcome outcome, const QString &serial);
    void Report(CommandOutcome outcome, const QString &serial);
    void End();

    const QString m_portName;
    const StationJob &m_job;
    const bool m_automatic;
    SerialClaims *m_claims;
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
