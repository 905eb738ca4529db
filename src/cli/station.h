#pragma once

#include "cli/commandlink.h"
#include "cli/stationjob.h"
#include "cli/terminal.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

namespace kelvra {

class CommandPort;

// KelvraSet station: programs one radio after another. Returns the exit code.
int StationCommand(const QStringList &arguments);

// The station's loop. Each unit is read first, held back from the history,
// so that waiting for a radio never fills it: a probe that finds no radio,
// or the radio just done, leaves no trace. A unit is then one entry: its
// write's, or its read's when it was not written.
class Station : public QObject
{
    Q_OBJECT
public:
    Station(const CommandPort &port, HistoryStore &history, const StationJob &job, bool automatic, bool json,
            QObject *parent = nullptr);

    void Begin();
    // The name the bench's entries carry; empty: the host's.
    void SetBenchName(const QString &name) { m_link.SetBenchName(name); }

signals:
    void Ended(int exitCode);

private:
    enum class State { Waiting, Probing, Writing, Ending };

    void Probe();
    void OnDone(const CommandOutcome &outcome);
    void OnProbed(CommandOutcome outcome);
    void OnEnter();
    void OnInterrupted();
    void Report(CommandOutcome outcome, const QString &serial);
    void WaitForNext();
    void End();

    const CommandPort &m_port;
    const StationJob &m_job;
    const bool m_automatic;
    const bool m_json;
    Terminal m_terminal;
    CommandLink m_link;
    QSocketNotifier m_input;
    QTimer m_retry;
    QElapsedTimer m_unitTime;
    FieldChanges m_changes;

    State m_state = State::Waiting;
    QString m_lastSerial;    // the serial number of the unit just done
    bool m_saidWaiting = false;
    bool m_inputEnded = false;
    bool m_interrupted = false;
    int m_passed = 0;
    int m_failed = 0;
    int m_lastFailure = 0;   // exit code of the last unit that failed
};

} // namespace kelvra
