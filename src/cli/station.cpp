#include "cli/station.h"

#include "cli/commandparser.h"
#include "cli/historycommand.h"
#include "cli/report.h"
#include "cli/terminal.h"
#include "production/stationjob.h"
#include "production/stationline.h"
#include "services/clitext.h"
#include "services/commandport.h"
#include "services/settingsplace.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QMap>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

namespace kelvra {

namespace {

// The job, the ports and the fields, before the first radio.
QString StartLine(const StationJob &job, const QStringList &ports, bool automatic)
{
    const QStringList fields = job.Fields();
    QString line = Cli::tr("Station on %1, job %2: writes %3 to %4.")
                       .arg(ports.join(QStringLiteral(", ")), job.Path(),
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
    const QStringList written = fields + job.UnitFields();
    if (written.contains(QLatin1String("stockDate")) || written.contains(QLatin1String("sellDate"))) {
        const QString today = FieldChanges(job.DateFormat()).DateText(QDate::currentDate());
        line += QLatin1Char(' ')
            + (job.DateFormat().isEmpty()
                   ? Cli::tr("Dates are written as the host's short date (today %1).").arg(today)
                   : Cli::tr("Dates are written as %1 (today %2).").arg(job.DateFormat(), today));
    }
    if (ports.size() > 1 && !automatic)
        line += QLatin1Char(' ')
            + Cli::tr("An empty line starts a radio on every port; a line naming a port (%1) starts one on that "
                      "port alone.")
                  .arg(ports.constFirst());
    return line + QLatin1Char('\n');
}

// Each line of text, started with the port it concerns.
QString OnPort(const QString &port, const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        line = QStringLiteral("%1: %2").arg(port, line);
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject TallyJson(const StationTally &tally)
{
    return {{QStringLiteral("radios"), tally.Radios()},
            {QStringLiteral("passed"), tally.Passed()},
            {QStringLiteral("failed"), tally.Failed()},
            {QStringLiteral("attempts"), tally.Attempts()}};
}

// StationLine told on standard output (a line per radio, the summary) and
// standard error (what a person at the bench needs besides), with Enter
// and the signals as its input. Every line names its port.
class StationConsole
{
public:
    StationConsole(StationLine &line, bool automatic, bool json)
        : m_line(line), m_json(json), m_input(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&m_line, &StationLine::Notice, &m_terminal,
                         [this](const QString &text) { Err(text + QLatin1Char('\n')); });
        QObject::connect(&m_line, &StationLine::Waiting, &m_terminal, [this, automatic](const QString &port) {
            Err(automatic ? Cli::tr("Waiting for a radio on %1 (Ctrl+C ends).\n").arg(port)
                          : Cli::tr("Connect the next radio to %1 and press Enter (Ctrl+C ends).\n").arg(port));
        });
        QObject::connect(&m_line, &StationLine::PortUnavailable, &m_terminal,
                         [this](const QString &port, const QString &message, const QString &detail) {
                             Err(OnPort(port, QStringLiteral("%1 %2\n").arg(message, detail)
                                                  + Cli::tr("Trying again until it opens (Ctrl+C ends).")));
                         });
        QObject::connect(&m_line, &StationLine::Progress, &m_terminal,
                         [this](const QString &port, const LinkActivity &activity) {
                             m_progress.insert(port, ActivityText(activity));
                             ShowProgress();
                         });
        QObject::connect(&m_line, &StationLine::Attempted, &m_terminal,
                         [this](const StationAttempt &attempt) { Tell(attempt); });
        QObject::connect(&m_line, &StationLine::EndingAfterRadio, &m_terminal, [this](const QString &port) {
            Err(OnPort(port, Cli::tr("Interrupted: the station ends after this radio; interrupt again to abandon the "
                                     "radio.")));
        });
        QObject::connect(&m_line, &StationLine::LettingWriteFinish, &m_terminal, [this](const QString &port) {
            Err(OnPort(port, Cli::tr("Interrupted: the write blocks have gone out, so this radio's write is let "
                                     "finish; press Ctrl+C again to abandon it half-written.")));
        });
        QObject::connect(&m_line, &StationLine::Ended, &m_terminal, [this] { Summarise(); });
        QObject::connect(&m_terminal, &Terminal::Interrupted, &m_line, [this](int signal) {
            if (m_signal == 0)
                m_signal = signal;
            m_line.Interrupt();
        });
        m_input.setEnabled(!automatic);
        QObject::connect(&m_input, &QSocketNotifier::activated, &m_line, [this] { OnInput(); });
    }

    int ExitCode() const
    {
        if (m_signal != 0)
            return ExitCodeOfSignal(m_signal);
        const int code = m_line.Tally().ExitCode();
        // A report that lacks radios is output that could not be written.
        return code == ExitComplete && !m_line.ReportProblem().isEmpty() ? ExitOutputFailed : code;
    }

private:
    // Anything else on standard error first takes the progress line away.
    void Err(const QString &text)
    {
        m_terminal.EndProgress();
        Terminal::Err(text);
        ShowProgress();
    }

    void ShowProgress()
    {
        const bool named = m_line.PortNames().size() > 1;
        QStringList shown;
        for (auto it = m_progress.cbegin(); it != m_progress.cend(); ++it)
            shown << (named ? QStringLiteral("%1: %2").arg(it.key(), it.value()) : it.value());
        if (!shown.isEmpty())
            m_terminal.ShowProgress(shown.join(QStringLiteral("   ")));
    }

    // Every line is a radio: an empty one on every port, one naming a port
    // on that port alone; however many arrive at once.
    void OnInput()
    {
        char bytes[256];
        const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            m_input.setEnabled(false);
            m_line.NoMoreRadios();
            return;
        }
        m_pending.append(bytes, int(n));
        for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            const QString port = QString::fromLocal8Bit(m_pending.left(end)).trimmed();
            m_pending.remove(0, end + 1);
            if (!m_line.RadioConnected(port))
                Err(Cli::tr("No port %1 in this station: an empty line starts a radio on every port, a port's name "
                            "on that port alone.\n")
                        .arg(Printable(port)));
        }
    }

    void Tell(const StationAttempt &attempt)
    {
        m_progress.remove(attempt.port);
        m_terminal.EndProgress();
        const CommandOutcome &outcome = attempt.outcome;
        const StationTally &tally = m_line.Tally();
        if (m_json) {
            const int index = int(m_line.PortNames().indexOf(attempt.port));
            Terminal::Out(JsonLine(OutcomeJson(outcome, m_line.Port(index))));
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
            Terminal::Out(QStringLiteral("%1  %2\n").arg(attempt.port, line));
            // One line per radio on standard output; why it failed beside it, for the person.
            if (!attempt.Passed() && !outcome.detail.isEmpty())
                Terminal::Err(OnPort(attempt.port, QStringLiteral("    ")
                                                       + QString(outcome.detail).replace(QLatin1Char('\n'),
                                                                                         QStringLiteral("\n    "))));
        }
        if (outcome.interrupted)
            Terminal::Err(OnPort(attempt.port, InterruptedText(outcome)));
        Terminal::Err(OnPort(attempt.port, HistoryWarning(outcome)));
        ShowProgress();
        // Said at once: a station runs on while its output is lost.
        ExitWithOutput(ExitComplete, Cli::tr("The station goes on, and the history records every radio."));
    }

    void Summarise()
    {
        m_terminal.EndProgress();
        const QStringList ports = m_line.PortNames();
        QString summary = Cli::tr("Station ended: %1\n").arg(TallyText(m_line.Tally()));
        QJsonArray perPort;
        for (int i = 0; i < ports.size(); ++i) {
            // One port's count is the station's.
            if (ports.size() > 1)
                summary += QStringLiteral("  %1: %2\n").arg(ports.at(i), TallyText(m_line.PortTally(i)));
            QJsonObject port = TallyJson(m_line.PortTally(i));
            port.insert(QStringLiteral("port"), ports.at(i));
            perPort.append(port);
        }
        const QString path = m_line.ReportPath();
        summary += m_line.ReportLine() + QLatin1Char('\n');
        if (!m_json) {
            Terminal::Out(summary);
            return;
        }
        Terminal::Err(summary);
        QJsonObject json = TallyJson(m_line.Tally());
        json.insert(QStringLiteral("operation"), QStringLiteral("station"));
        json.insert(QStringLiteral("ports"), perPort);
        json.insert(QStringLiteral("report"), path.isEmpty() ? QJsonValue() : QJsonValue(path));
        json.insert(QStringLiteral("reportProblem"),
                    m_line.ReportProblem().isEmpty() ? QJsonValue() : QJsonValue(m_line.ReportProblem()));
        Terminal::Out(JsonLine(json));
    }

    StationLine &m_line;
    const bool m_json;
    Terminal m_terminal;
    QSocketNotifier m_input;
    QByteArray m_pending;             // input after its last line break
    QMap<QString, QString> m_progress; // what each port's radio is at
    int m_signal = 0;                 // the first signal that interrupted the station
};

} // namespace

int StationCommand(const QStringList &arguments)
{
    CommandParser parser(
        QStringLiteral("station --port PORT [--port PORT ...] --job FILE [--auto] [--json]\n"
                       "       KelvraSet station --window [--job FILE] [--port PORT ...]"),
        Cli::tr("Programs radios with the fields of a job file, one after another on each port and on every port "
                "named at the same time: reads each, checks its model, writes, verifies, and prints one line per "
                "radio, naming its port, with a running count. Every run writes a report, station-<UTC time>.csv, "
                "beside the job file."));
    parser.AddPortOptions();
    parser.AllowRepeated(QStringLiteral("port"));
    parser.Add(QStringLiteral("job"), Cli::tr("The job file (JSON), see below."), QStringLiteral("FILE"));
    parser.Add(QStringLiteral("auto"),
               Cli::tr("Start as soon as a radio answers instead of on Enter; a radio whose serial number was "
                       "just done is not done again until it has been off the cable."));
    parser.Add(QStringLiteral("window"),
               Cli::tr("Open the station window instead of running on the terminal: the job, Start and Stop, and a "
                       "panel per port; it runs as --auto. There --job is optional (it asks for the job), and each "
                       "--port is ticked in its list of ports."));
    parser.AddNotes(Cli::tr("\nThe job file names the fields for every radio, by the names of the JSON output:\n"
                            "  {\"model\": \"KR350UV\", \"dealerCode\": \"D-0042\", \"stockDate\": \"today\",\n"
                            "   \"seller\": \"Line 3\", \"bandCode\": 0, \"freqSet\": false, "
                            "\"unitsFile\": \"units.csv\",\n"
                            "   \"dateFormat\": \"yyyy-MM-dd\"}\n"
                            "Texts and dates are JSON strings, bandCode a whole number, freqSet true or false; any\n"
                            "other key, or a key named twice, is refused. unitsFile (optional, beside the job file)\n"
                            "lists values for single radios, keyed by their 16-character serial number; a radio it\n"
                            "does not list is not written:\n"
                            "  serialNumber,seller,sellDate\n"
                            "  2026120500000042,Wang Fang,2026-12-24\n"
                            "Dates take today, exactly YYYY-MM-DD, or exactly the form they are written in.\n"
                            "dateFormat (optional; Qt's date format: yyyy year, MM month, dd day, MMM month name\n"
                            "in English) writes every date in that form whatever the locale; without it, dates\n"
                            "follow [radio] dateFormat in mysetup.ini, else the host's short date format (today\n"
                            "%1 here). A format that is no date, or that some date would make longer than the\n"
                            "radio's 16 bytes, is refused.\n"
                            "Several --port: every port at the same time, each on its own; a radio whose serial\n"
                            "number another port is programming at that moment is refused. Without --auto each\n"
                            "line of input is one radio: an empty line (Enter) on every port, a line naming a\n"
                            "port (COM9) on that port alone. Ctrl+C, SIGTERM or SIGHUP end the station at once\n"
                            "while it waits, after the radios under way otherwise (again: abandon them, as for\n"
                            "write); so does the end of input without --auto. It ends with a summary that counts\n"
                            "radios by serial number, in all and per port, and the report's path. Exit code: 130,\n"
                            "143 or 129 for the signal; else 0 when every radio passed, or the code of the last\n"
                            "radio that failed; 9 in place of 0 when the report could not be written.\n")
                        .arg(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode) || !parser.RequirePort(&exitCode))
        return exitCode;
    if (parser.Value(QStringLiteral("job")).isEmpty())
        return parser.Refuse(Cli::tr("--job is missing: name the job file."));
    const SettingsPlace place = LocateSettings(ExecutableDir(), UserConfigDir());
    StationJob job;
    QString error;
    if (!job.Load(parser.Value(QStringLiteral("job")), place.readPath, &error))
        return parser.Refuse(error);
    const bool automatic = parser.IsSet(QStringLiteral("auto"));
    StationLine line(job, automatic, place.aliasDirs);
    for (const QString &port : parser.Values(QStringLiteral("port"))) {
        if (!line.AddPort(port, &error))
            return parser.Refuse(error);
    }
    if (!parser.StartTrace(&exitCode))
        return exitCode;
    Terminal::Err(StartLine(job, line.PortNames(), automatic));

    StationConsole console(line, automatic, parser.IsSet(QStringLiteral("json")));
    QEventLoop loop;
    // Queued: the station may end before the loop has begun.
    QObject::connect(&line, &StationLine::Ended, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    line.Start(CommandHistoryPath(), place.readPath);
    loop.exec();
    return console.ExitCode();
}

} // namespace kelvra
