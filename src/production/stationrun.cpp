#include "production/stationrun.h"

#include "history/fieldview.h"
#include "services/clitext.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace kelvra {

namespace {

// A try against no radio takes three PROGRAMs at 1.5 s each; another short
// pause lets an adapter being plugged in settle. The radio just done is
// asked again only every few seconds, so it is not kept in programming
// mode for the whole time it stays on the cable.
constexpr int NoRadioPauseMs = 250;
constexpr int SameRadioPauseMs = 2000;

// Something on the cable answered, if only wrongly.
bool Answered(const CommandOutcome &outcome)
{
    using Failure = OperationResult::Failure;
    if (outcome.result.success || !outcome.model.isEmpty() || outcome.image.AnyKnown())
        return true;
    switch (outcome.result.failure) {
    case Failure::RepeatAsked:
    case Failure::WrongBlock:
    case Failure::BadReply:
    case Failure::ModelMismatch:
        return true;
    default:
        return false;
    }
}

} // namespace

bool SerialClaims::Claim(const QString &serial, const QString &port, QString *holder)
{
    *holder = m_ports.value(serial, port);
    if (*holder != port)
        return false;
    m_ports.insert(serial, port);
    return true;
}

void SerialClaims::Release(const QString &serial, const QString &port)
{
    if (m_ports.value(serial) == port)
        m_ports.remove(serial);
}

StationRun::StationRun(const CommandPort &port, const QString &portName, HistoryStore &history,
                       const StationJob &job, bool automatic, SerialClaims *claims, QObject *parent)
    : QObject(parent), m_portName(portName), m_job(job), m_automatic(automatic), m_claims(claims),
      m_link(port, history)
{
    qRegisterMetaType<kelvra::StationAttempt>();
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { Read(false); });
    connect(&m_link, &CommandLink::Done, this, &StationRun::OnDone);
    connect(&m_link, &CommandLink::Progress, this, [this](const LinkActivity &activity) {
        if (m_underWay)
            emit Progress(activity);
    });
}

void StationRun::Start()
{
    if (m_state == State::Idle)
        WaitForNext();
}

void StationRun::WaitForNext()
{
    m_state = State::Waiting;
    m_underWay = false;
    if (m_automatic) {
        emit Waiting();
        m_retry.start(m_onCable ? SameRadioPauseMs : 0);
    } else if (m_announced > 0) {
        Read(true);
    } else if (m_inputEnded) {
        End();
    } else {
        emit Waiting();
    }
}

void StationRun::RadioConnected()
{
    ++m_announced;
    if (m_state == State::Waiting && !m_automatic)
        Read(true);
}

void StationRun::NoMoreRadios()
{
    m_inputEnded = true;
    if (m_state == State::Waiting && !m_automatic && m_announced == 0)
        End();
}

void StationRun::Read(bool radioUnderWay)
{
    if (radioUnderWay)
        --m_announced;
    m_state = State::Reading;
    m_underWay = radioUnderWay;
    m_radioTime.start();
    m_link.ReadFirst();
}

void StationRun::Interrupt()
{
    switch (m_state) {
    case State::Idle:
    case State::Waiting:
        End();
        return;
    case State::Ended:
        return;
    case State::Reading:
    case State::Writing:
        break;
    }
    if (!m_underWay) {
        // Only looking for a radio: nothing is under way that would be left undone.
        m_ending = true;
        m_link.Interrupt();
    } else if (!std::exchange(m_stopAfter, true)) {
        emit EndingAfterRadio();
    } else {
        m_link.Interrupt();
        if (m_link.Finishing())
            emit LettingWriteFinish();
    }
}

void StationRun::OnDone(const CommandOutcome &outcome)
{
    if (m_state == State::Writing) {
        Report(outcome, SerialNumberOf(outcome.before));
        return;
    }
    if (m_ending) {
        End();
        return;
    }
    const QString serial = SerialNumberOf(outcome.image);
    if (m_automatic && !IsNewRadio(outcome, serial)) {
        m_state = State::Waiting;
        m_retry.start(m_onCable ? SameRadioPauseMs : NoRadioPauseMs);
        return;
    }
    m_underWay = true;
    Examine(outcome, serial);
}

bool StationRun::IsNewRadio(const CommandOutcome &outcome, const QString &serial)
{
    if (!Answered(outcome)) {
        // The cable is free: the radio just done may come again, as a retry.
        const bool radioWent = std::exchange(m_onCable, std::nullopt).has_value();
        const bool unopened = outcome.result.failure == OperationResult::Failure::PortNotOpened;
        if (unopened && !m_portSaid)
            emit PortUnavailable(outcome.result.message, outcome.detail);
        else if (!unopened && (radioWent || m_portSaid))
            emit Vacant();
        m_portSaid = unopened;
        return false;
    }
    m_portSaid = false;
    // A radio read whole is not done again while it stays; one whose read
    // failed is tried again, and said again only once it has been read.
    return !m_onCable || *m_onCable != serial || (!m_onCableRead && outcome.Complete());
}

void StationRun::Examine(CommandOutcome outcome, const QString &serial)
{
    m_changes = FieldChanges(m_job.DateFormat());
    QString refusal;
    QString holder;
    if (outcome.Complete() && serial.isEmpty())
        refusal = Cli::tr("The radio has no serial number, and the station writes only radios it can tell apart; "
                          "it was not written.");
    else if (outcome.Complete() && m_job.ChangesFor(serial, &m_changes, &refusal) && m_claims
             && !m_claims->Claim(serial, m_portName, &holder))
        refusal = Cli::tr("%1 is programming a radio with serial number %2 at this moment; this one was not "
                          "written, so that no radio is written from two ports at once.")
                      .arg(holder, serial);
    if (!outcome.Complete() || !refusal.isEmpty()) {
        // A radio that is not written is its read's entry.
        outcome.refusal = refusal;
        m_link.RecordRead(outcome);
        Report(outcome, serial);
        return;
    }
    m_state = State::Writing;
    m_link.WriteAfterRead(m_changes, m_job.Model());
}

void StationRun::Report(CommandOutcome outcome, const QString &serial)
{
    // One radio, one write, whatever stopped it on the way.
    outcome.operation = Operation::Write;
    if (m_automatic) {
        m_onCable = serial;
        m_onCableRead = m_state == State::Writing || outcome.result.success;
    }
    if (m_claims)
        m_claims->Release(serial, m_portName);
    StationAttempt attempt{outcome, serial, 1, m_radioTime.elapsed(), m_portName, QDateTime::currentDateTimeUtc()};
    attempt.attempt = m_tally.Add(attempt);
    emit Attempted(attempt);
    if (m_stopAfter)
        End();
    else
        WaitForNext();
}

void StationRun::End()
{
    if (m_state == State::Ended)
        return;
    m_state = State::Ended;
    m_retry.stop();
    emit Ended();
}

} // namespace kelvra
