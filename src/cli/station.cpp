#include "cli/station.h"
#include "cli/clitext.h"

#include "cli/commandparser.h"
#include "cli/commandport.h"
#include "cli/historycommand.h"
#include "cli/report.h"
#include "cli/stationrun.h"
#include "cli/terminal.h"
#include "cli/workshopcommand.h"
#include "history/historydelivery.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "services/historysetting.h"
#include "services/settingsplace.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

namespace kelvra {

namespace {

// The job, the port and the fields, before the first radio.
QString StartLine(const StationJob &job, const QString &port)
{
    const QStringList fields = job.Fields();
    QString line = Cli::tr("Station on %1, job %2: writes %3 to %4.")
                       .arg(port, job.Path(),
                            fields.isEmpty() ? Cli::tr("no field of its own") : fields.join(QStringLiteral(", ")),
                            job.Model().isEmpty() ? Cli::tr("radios of any model")
                                                  : Cli::tr("%1 radios").arg(job.Model()));
    if (job.HasUnits())
        line += QLatin1Char(' ')
            + (job.UnitFields().isEmpty()
                   ? Cli::tr("%1 lists %2 radios; no other is written.").arg(job.UnitsPath()).arg(job.UnitCount())
                   : Cli::tr("%1 lists %2 radios, each with its %3; no other is written.")
                         .arg(job.UnitsPath())
                         .arg(job.UnitCount())
                         .arg(job.UnitFields().join(QStringLiteral(", "))));
    return line + QLatin1Char('\n');
}

// StationRun told on standard output (a line per radio, the summary) and
// standard error (what a person at the bench needs besides), with Enter
// and the signals as its input.
class StationConsole
{
public:
    StationConsole(StationRun &run, const CommandPort &port, const QString &portShown, bool automatic, bool json)
        : m_run(run), m_port(port), m_json(json), m_input(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&m_run, &StationRun::Waiting, &m_terminal, [portShown, automatic] {
            Terminal::Err(automatic ? Cli::tr("Waiting for a radio on %1 (Ctrl+C ends).\n").arg(portShown)
                                    : Cli::tr("Connect the next radio and press Enter (Ctrl+C ends).\n"));
        });
        QObject::connect(&m_run, &StationRun::PortUnavailable, &m_terminal,
                         [](const QString &message, const QString &detail) {
                             Terminal::Err(QStringLiteral("%1 %2\n").arg(message, detail)
                                           + Cli::tr("Trying again until it opens (Ctrl+C ends).\n"));
                         });
        QObject::connect(&m_run, &StationRun::Progress, &m_terminal, &Terminal::ShowProgress);
        QObject::connect(&m_run, &StationRun::Attempted, &m_terminal,
                         [this](const StationAttempt &attempt) { Tell(attempt); });
        QObject::connect(&m_run, &StationRun::EndingAfterRadio, &m_terminal, [this] {
            m_terminal.EndProgress();
            Terminal::Err(Cli::tr("Interrupted: the station ends after this radio; interrupt again to abandon the "
                                  "radio.\n"));
        });
        QObject::connect(&m_run, &StationRun::LettingWriteFinish, &m_terminal, [this] {
            m_terminal.EndProgress();
            Terminal::Err(Cli::tr("Interrupted: the write blocks have gone out, so this radio's write is let finish; "
                                  "press Ctrl+C again to abandon it half-written.\n"));
        });
        QObject::connect(&m_run, &StationRun::Ended, &m_terminal, [this] { Summarise(); });
        QObject::connect(&m_terminal, &Terminal::Interrupted, &m_run, [this](int signal) {
            if (m_signal == 0)
                m_signal = signal;
            m_run.Interrupt();
        });
        m_input.setEnabled(!automatic);
        QObject::connect(&m_input, &QSocketNotifier::activated, &m_run, [this] { OnInput(); });
    }

    int ExitCode() const { return m_signal != 0 ? ExitCodeOfSignal(m_signal) : m_run.Tally().ExitCode(); }

private:
    // Every Enter is a radio, however many arrive at once.
    void OnInput()
    {
        char bytes[256];
        const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            m_input.setEnabled(false);
            m_run.NoMoreRadios();
            return;
        }
        for (int enter = int(QByteArray(bytes, int(n)).count('\n')); enter > 0; --enter)
            m_run.RadioConnected();
    }

    void Tell(const StationAttempt &attempt)
    {
        m_terminal.EndProgress();
        const CommandOutcome &outcome = attempt.outcome;
        const StationTally &tally = m_run.Tally();
        if (m_json) {
            Terminal::Out(JsonLine(OutcomeJson(outcome, m_port)));
        } else {
            const QString serial = attempt.serial.isEmpty() ? Cli::tr("(no serial number)") : Printable(attempt.serial);
            const QString message = OutcomeMessage(outcome).isEmpty() && outcome.interrupted
                ? Cli::tr("interrupted")
                : OutcomeMessage(outcome);
            const QString result = attempt.Passed() ? Cli::tr("passed") : Cli::tr("FAILED: %1").arg(Printable(message));
            const QString seconds = QString::number(double(attempt.elapsedMs) / 1000.0, 'f', 2);
            const QString line = attempt.attempt > 1
                ? Cli::tr("%1  %2  %3 s  attempt %4  (passed %5, failed %6)")
                      .arg(serial, result, seconds)
                      .arg(attempt.attempt)
                      .arg(tally.Passed())
                      .arg(tally.Failed())
                : Cli::tr("%1  %2  %3 s  (passed %4, failed %5)")
                      .arg(serial, result, seconds)
                      .arg(tally.Passed())
                      .arg(tally.Failed());
            Terminal::Out(line + QLatin1Char('\n'));
            // One line per radio on standard output; why it failed beside it, for the person.
            if (!attempt.Passed() && !outcome.detail.isEmpty())
                Terminal::Err(QStringLiteral("    ")
                              + QString(outcome.detail).replace(QLatin1Char('\n'), QStringLiteral("\n    "))
                              + QLatin1Char('\n'));
        }
        if (outcome.interrupted)
            Terminal::Err(InterruptedText(outcome) + QLatin1Char('\n'));
        Terminal::Err(HistoryWarning(outcome));
        // Said at once: a station runs on while its output is lost.
        ExitWithOutput(ExitComplete, Cli::tr("The station goes on, and the history records every radio."));
    }

    void Summarise()
    {
        m_terminal.EndProgress();
        const StationTally &tally = m_run.Tally();
        const QString summary = Cli::tr("Station ended: radios %1, passed %2, failed %3 (attempts %4).\n")
                                    .arg(tally.Radios())
                                    .arg(tally.Passed())
                                    .arg(tally.Failed())
                                    .arg(tally.Attempts());
        m_json ? Terminal::Err(summary) : Terminal::Out(summary);
    }

    StationRun &m_run;
    const CommandPort &m_port;
    const bool m_json;
    Terminal m_terminal;
    QSocketNotifier m_input;
    int m_signal = 0; // the first signal that interrupted the station
};

} // namespace

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
                            "Texts and dates are JSON strings, bandCode a whole number, freqSet true or false; any\n"
                            "other key, or a key named twice, is refused. unitsFile (optional, beside the job file)\n"
                            "lists values for single radios, keyed by their 16-character serial number; a radio it\n"
                            "does not list is not written:\n"
                            "  serialNumber,seller,sellDate\n"
                            "  2026120500000042,Wang Fang,2026-12-24\n"
                            "Without --auto each Enter is one radio. Ctrl+C, SIGTERM or SIGHUP end the station at\n"
                            "once while it waits, after the radio under way otherwise (again: abandon that radio,\n"
                            "as for write); so does the end of input without --auto. It ends with a summary that\n"
                            "counts radios by serial number. Exit code: 130, 143 or 129 for the signal; else 0 when\n"
                            "every radio passed, or the code of the last radio that failed.\n"));
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode) || !parser.RequirePort(&exitCode))
        return exitCode;
    if (parser.Value(QStringLiteral("job")).isEmpty())
        return parser.Refuse(Cli::tr("--job is missing: name the job file."));
    StationJob job;
    QString error;
    if (!job.Load(parser.Value(QStringLiteral("job")), &error))
        return parser.Refuse(error);
    const SettingsPlace place = LocateSettings(ExecutableDir(), UserConfigDir());
    CommandPort port(place.aliasDirs);
    if (!port.Choose(parser.Value(QStringLiteral("port")), &error))
        return parser.Refuse(error);
    if (!parser.StartTrace(&exitCode))
        return exitCode;
    const QString portShown = port.Name().isEmpty() ? parser.Value(QStringLiteral("port")) : port.Name();
    Terminal::Err(StartLine(job, portShown));

    // Checked whole once, as the window does, before the first radio; a
    // history that cannot be kept is said now rather than at every radio.
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

    const bool automatic = parser.IsSet(QStringLiteral("auto"));
    StationRun run(port, history, job, automatic);
    StationConsole console(run, port, portShown, automatic, parser.IsSet(QStringLiteral("json")));
    QEventLoop loop;
    // Queued: the station may end before the loop has begun.
    QObject::connect(&run, &StationRun::Ended, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    run.SetBenchName(BenchName(place.readPath));
    run.Start();
    loop.exec();
    return console.ExitCode();
}

} // namespace kelvra
