#include "cli/station.h"
#include "cli/clitext.h"

#include "cli/commandparser.h"
#include "cli/commandport.h"
#include "cli/historycommand.h"
#include "cli/report.h"
#include "cli/workshopcommand.h"
#include "history/historydelivery.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "record/imagecodec.h"
#include "services/historysetting.h"
#include "services/settingsplace.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <unistd.h>

namespace kelvra {

namespace {

// A probe against no radio takes three PROGRAMs at 1.5 s each; another
// short pause lets an adapter being plugged in settle. The radio just done
// is asked again only every few seconds, so it is not kept in programming
// mode for the whole time it stays on the cable.
constexpr int NoRadioPauseMs = 250;
constexpr int SameRadioPauseMs = 2000;

QString SerialOf(const KnownImage &image)
{
    RadioInfo info;
    DecodeRadioInfo(image.Filled(0), info);
    return image.AllKnown(16, 16) ? FieldText(info.SerialNumber) : QString();
}

} // namespace

Station::Station(const CommandPort &port, HistoryStore &history, const StationJob &job, bool automatic, bool json,
                 QObject *parent)
    : QObject(parent), m_port(port), m_job(job), m_automatic(automatic), m_json(json), m_link(port, history),
      m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &Station::Probe);
    connect(&m_link, &CommandLink::Done, this, &Station::OnDone);
    connect(&m_link, &CommandLink::Progress, &m_terminal, [this](const LinkActivity &activity) {
        // Probes of an empty cable would flicker on the terminal all day.
        if (!m_automatic || m_state == State::Writing)
            m_terminal.ShowProgress(activity);
    });
    connect(&m_terminal, &Terminal::Interrupted, this, &Station::OnInterrupted);
    m_input.setEnabled(!automatic);
    connect(&m_input, &QSocketNotifier::activated, this, &Station::OnEnter);
}

void Station::Begin()
{
    WaitForNext();
}

void Station::WaitForNext()
{
    m_state = State::Waiting;
    if (m_interrupted || m_inputEnded) {
        End();
        return;
    }
    if (m_automatic) {
        m_retry.start(m_lastSerial.isEmpty() ? 0 : SameRadioPauseMs);
        return;
    }
    Terminal::Err(Cli::tr("Connect the next radio and press Enter (Ctrl+C ends).\n"));
}

void Station::OnEnter()
{
    char bytes[256];
    const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
    if (n <= 0) {
        // No more Enter can come: the station ends once the unit under way is done.
        m_input.setEnabled(false);
        m_inputEnded = true;
        if (m_state == State::Waiting)
            End();
        return;
    }
    if (m_state == State::Waiting && QByteArray(bytes, int(n)).contains('\n'))
        Probe();
}

void Station::Probe()
{
    m_state = State::Probing;
    m_unitTime.start();
    m_link.ReadFirst();
}

void Station::OnDone(const CommandOutcome &outcome)
{
    if (m_state == State::Writing)
        Report(outcome, SerialOf(outcome.before));
    else
        OnProbed(outcome);
}

void Station::OnProbed(CommandOutcome outcome)
{
    if (m_interrupted) {
        End();
        return;
    }
    const QString serial = outcome.Complete() ? SerialOf(outcome.image) : QString();
    if (m_automatic && serial.isEmpty()) {
        // No radio, or not a whole answer: the cable is free, so the radio
        // just done may come again, as a retry.
        m_lastSerial.clear();
        if (!m_saidWaiting)
            Terminal::Err(Cli::tr("Waiting for a radio on %1 (Ctrl+C ends).\n")
                              .arg(m_port.Name().isEmpty() ? outcome.result.devicePath : m_port.Name()));
        m_saidWaiting = true;
        m_retry.start(NoRadioPauseMs);
        return;
    }
    if (m_automatic && serial == m_lastSerial) {
        m_retry.start(SameRadioPauseMs);
        return;
    }
    m_saidWaiting = false;
    m_changes = FieldChanges();
    QString refusal;
    if (!outcome.Complete() || !m_job.ChangesFor(serial, &m_changes, &refusal)) {
        // A unit that is not written is its read's entry.
        outcome.refusal = refusal;
        m_link.RecordRead(outcome);
        Report(outcome, serial);
        return;
    }
    m_state = State::Writing;
    m_link.WriteAfterRead(m_changes, m_job.Model());
}

void Station::Report(CommandOutcome outcome, const QString &serial)
{
    m_terminal.EndProgress();
    // One unit, one write, whatever stopped it on the way.
    outcome.operation = Operation::Write;
    m_lastSerial = serial;
    const bool passed = outcome.Complete();
    passed ? ++m_passed : ++m_failed;
    if (!passed)
        m_lastFailure = ExitCodeOf(outcome);
    if (m_json) {
        Terminal::Out(JsonLine(OutcomeJson(outcome, m_port)));
    } else {
        const QString message = OutcomeMessage(outcome);
        QString line = Cli::tr("%1  %2  %3 s  (passed %4, failed %5)")
                           .arg(serial.isEmpty() ? Cli::tr("(no serial number)") : serial,
                                passed ? Cli::tr("passed") : Cli::tr("FAILED: %1").arg(message))
                           .arg(double(m_unitTime.elapsed()) / 1000.0, 0, 'f', 2)
                           .arg(m_passed)
                           .arg(m_failed);
        Terminal::Out(line + QLatin1Char('\n'));
        // One line per unit on standard output; why it failed beside it, for the person.
        if (!passed && !outcome.detail.isEmpty())
            Terminal::Err(QStringLiteral("    ")
                          + QString(outcome.detail).replace(QLatin1Char('\n'), QStringLiteral("\n    "))
                          + QLatin1Char('\n'));
    }
    if (outcome.interrupted)
        Terminal::Err(InterruptedText(outcome) + QLatin1Char('\n'));
    Terminal::Err(HistoryWarning(outcome));
    WaitForNext();
}

void Station::OnInterrupted()
{
    m_interrupted = true;
    m_retry.stop();
    switch (m_state) {
    case State::Waiting:
        End();
        break;
    case State::Probing:
        m_link.Interrupt();
        break;
    case State::Writing:
        m_link.Interrupt();
        if (m_link.Finishing())
            Terminal::Err(Cli::tr("Interrupted: the write blocks have gone out, so this radio's write is let finish; "
                             "press Ctrl+C again to abandon it half-written.\n"));
        break;
    case State::Ending:
        break;
    }
}

void Station::End()
{
    if (m_state == State::Ending)
        return;
    m_state = State::Ending;
    m_retry.stop();
    m_terminal.EndProgress();
    const QString summary = Cli::tr("Station ended: %1 units, %2 passed, %3 failed.\n")
                                .arg(m_passed + m_failed)
                                .arg(m_passed)
                                .arg(m_failed);
    m_json ? Terminal::Err(summary) : Terminal::Out(summary);
    emit Ended(m_interrupted ? ExitInterrupted : m_failed > 0 ? m_lastFailure : ExitComplete);
}

int StationCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("station --port PORT --job FILE [--auto] [--json]"),
                         Cli::tr("Programs one radio after another with the fields of a job file: reads each, checks "
                            "its model, writes, verifies, and prints one line per radio with a running count."));
    parser.AddPortOptions();
    parser.Add(QStringLiteral("job"), Cli::tr("The job file (JSON), see below."), QStringLiteral("FILE"));
    parser.Add(QStringLiteral("auto"),
               Cli::tr("Start as soon as a radio answers instead of on Enter; a radio whose serial number was "
                  "just done is not done again until it has been off the cable."));
    parser.AddNotes(Cli::tr("\nThe job file names the fields for every radio, by the names of the JSON output:\n"
                       "  {\"model\": \"KR350UV\", \"dealerCode\": \"D-0042\", \"stockDate\": \"today\",\n"
                       "   \"seller\": \"Line 3\", \"bandCode\": 0, \"freqSet\": false, \"unitsFile\": \"units.csv\"}\n"
                       "unitsFile (optional, beside the job file) lists values for single radios, keyed by\n"
                       "serial number; a radio it does not list is not written:\n"
                       "  serialNumber,seller,sellDate\n"
                       "  2026120500000042,Wang Fang,2026-12-24\n"
                       "The station ends with Ctrl+C (or at the end of input without --auto) and a summary.\n"));
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode) || !parser.RequirePort(&exitCode))
        return exitCode;
    if (parser.Value(QStringLiteral("job")).isEmpty())
        return CommandParser::Refuse(Cli::tr("--job is missing: name the job file."));
    StationJob job;
    QString error;
    if (!job.Load(parser.Value(QStringLiteral("job")), &error))
        return CommandParser::Refuse(error);
    const SettingsPlace place = LocateSettings(ExecutableDir(), UserConfigDir());
    CommandPort port(place.aliasDirs);
    if (!port.Choose(parser.Value(QStringLiteral("port")), &error))
        return CommandParser::Refuse(error);
    if (!parser.StartTrace(&exitCode))
        return exitCode;

    // Checked whole once, as the window does, before the first radio; a
    // history that cannot be kept is said now rather than at every unit.
    HistoryStore history(CommandHistoryPath());
    HistoryProblem problem;
    if (!history.Open(&problem))
        Terminal::Err(Cli::tr("Warning: %1 Each radio's write will be refused until the history can take its backup.\n")
                          .arg(problem.reason));
    if (const QString aside = history.TakeSetAside(); !aside.isEmpty())
        Terminal::Err(SetAsideNotice(aside) + QLatin1Char('\n'));
    // A station may run all day with no window on the bench: it delivers to
    // the workshop's server itself, as the window does.
    const SharedServer server = SharedServer::FromUrl(SharedHistoryUrl(place.readPath));
    HistoryDelivery delivery(history.Path(), server);
    TellDeliveryChanges(delivery);
    delivery.Start();
    if (!server.error.isEmpty())
        Terminal::Err(Cli::tr("Warning: %1 The history is kept on this computer only.\n").arg(server.error));
    Station station(port, history, job, parser.IsSet(QStringLiteral("auto")), parser.IsSet(QStringLiteral("json")));
    QEventLoop loop;
    // Queued: the station may end before the loop has begun.
    QObject::connect(
        &station, &Station::Ended, &loop,
        [&](int code) {
            exitCode = code;
            loop.quit();
        },
        Qt::QueuedConnection);
    station.SetBenchName(BenchName(place.readPath));
    station.Begin();
    loop.exec();
    return exitCode;
}

} // namespace kelvra
