#include "cli/commands.h"

#include "cli/commandparser.h"
#include "cli/historycommand.h"
#include "cli/report.h"
#include "cli/station.h"
#include "cli/terminal.h"
#include "cli/workshopcommand.h"
#include "history/historystore.h"
#include "lang/language.h"
#include "lang/translations.h"
#include "record/catalogue.h"
#include "services/clitext.h"
#include "services/commandlink.h"
#include "services/commandport.h"
#include "services/fieldchanges.h"
#include "services/historysetting.h"
#include "services/radiosetting.h"
#include "services/settingsplace.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace kelvra {

namespace {

// The options that name a field a write sends, in FieldChanges' names.
// dateFormat: the bench's, from mysetup.ini; empty for the host's short date.
void AddFieldOptions(CommandParser &parser, const QString &dateFormat)
{
    const QDate today = QDate::currentDate();
    const QString descriptions[] = {
        Cli::tr("Band code to write (0-19); without it the radio keeps its band."),
        Cli::tr("The band-setting switch (Freq. Set): on or off."),
        Cli::tr("Programming password, at most 4 bytes."),
        Cli::tr("Dealer code, at most 16 bytes (a Chinese character takes two)."),
        dateFormat.isEmpty()
            ? Cli::tr("Stock date: today, exactly YYYY-MM-DD, or exactly the host's short date (%1); written as the "
                      "host's short date, unless [radio] dateFormat in mysetup.ini names a format (yyyy-MM-dd).")
                  .arg(QLocale::system().toString(today, QLocale::ShortFormat))
            : Cli::tr("Stock date: today, exactly YYYY-MM-DD, or exactly as %1 writes it (%2); written so whatever "
                      "the locale, as [radio] dateFormat in mysetup.ini says.")
                  .arg(dateFormat, today.toString(dateFormat)),
        Cli::tr("Sell date, as the stock date."),
        Cli::tr("Seller, at most 16 bytes (a Chinese character takes two)."),
    };
    const QString values[] = {Cli::tr("CODE"), QStringLiteral("on|off"), Cli::tr("TEXT"), Cli::tr("TEXT"),
                              Cli::tr("DATE"), Cli::tr("DATE"), Cli::tr("TEXT")};
    for (int i = 0; i < FieldChanges::Names().size(); ++i)
        parser.Add(QLatin1String(FieldChanges::Names().at(i).option), descriptions[i], values[i]);
    parser.Add(QStringLiteral("model"), Cli::tr("Refuse a radio of another model: KR350UV, KR350SU or KR350SV."),
               Cli::tr("MODEL"));
}

// Runs one read or write to its end; Ctrl+C as CommandLink::Interrupt says.
int RunOperation(const CommandParser &parser, const std::function<void(CommandLink &)> &start)
{
    const SettingsPlace place = LocateSettings(ExecutableDir(), UserConfigDir());
    CommandPort port(place.aliasDirs);
    QString error;
    if (!port.Choose(parser.Value(QStringLiteral("port")), &error))
        return parser.Refuse(error);
    int exitCode = 0;
    if (!parser.StartTrace(&exitCode))
        return exitCode;

    Terminal terminal;
    int firstSignal = 0;
    HistoryStore history(CommandHistoryPath(), HistoryStore::Check::AsRead);
    OwnEntryDelivery delivery;
    CommandLink link(port, history);
    link.SetBenchName(BenchName(place.readPath));
    CommandOutcome outcome;
    QEventLoop loop;
    QObject::connect(&link, &CommandLink::Progress, &terminal,
                     qOverload<const LinkActivity &>(&Terminal::ShowProgress));
    QObject::connect(&link, &CommandLink::Done, &loop, [&](const CommandOutcome &done) {
        outcome = done;
        loop.quit();
    });
    QObject::connect(&terminal, &Terminal::Interrupted, &link, [&](int signal) {
        if (firstSignal == 0)
            firstSignal = signal;
        link.Interrupt();
        if (link.Finishing()) {
            terminal.EndProgress();
            Terminal::Err(Cli::tr("Interrupted: the write blocks have gone out, so the write is let finish (a moment); "
                             "press Ctrl+C again to abandon it half-written.\n"));
        }
    });
    start(link);
    loop.exec();
    terminal.EndProgress();

    const bool json = parser.IsSet(QStringLiteral("json"));
    const qint16 language = LanguageIdForLocale(QLocale::system());
    if (json)
        Terminal::Out(JsonLine(OutcomeJson(outcome, port)));
    if (outcome.Complete() && !json)
        Terminal::Out(OutcomeText(outcome, port, language));
    else if (!outcome.Complete())
        Terminal::Err(OutcomeText(outcome, port, language));
    if (outcome.interrupted)
        Terminal::Err(InterruptedText(outcome) + QLatin1Char('\n'));
    Terminal::Err(HistoryWarning(outcome));
    delivery.Deliver(outcome.historyId, terminal);
    exitCode = ExitCodeOf(outcome);
    if (exitCode == ExitInterrupted && firstSignal != 0)
        exitCode = ExitCodeOfSignal(firstSignal);
    return ExitWithOutput(exitCode, outcome.historyId.isEmpty()
                                        ? QString()
                                        : Cli::tr("History entry %1 tells what became of the radio.")
                                              .arg(outcome.historyId));
}

int ReadCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("read --port PORT [--json]"),
                         Cli::tr("Reads the radio's information block and prints its fields."));
    parser.AddPortOptions();
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode) || !parser.RequirePort(&exitCode))
        return exitCode;
    return RunOperation(parser, [](CommandLink &link) { link.Read(); });
}

int WriteCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("write --port PORT [FIELD OPTIONS] [--model MODEL] [--json]"),
                         Cli::tr("Reads the radio, changes only the fields named, writes it, and reads it back to "
                            "verify every byte written. A field not named keeps the radio's value. A text that "
                            "holds a control character is refused (exit code 2)."));
    parser.AddPortOptions();
    const QString settings = LocateSettings(ExecutableDir(), UserConfigDir()).readPath;
    const QString dateFormat = BenchDateFormat(settings);
    AddFieldOptions(parser, dateFormat);
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode) || !parser.RequirePort(&exitCode))
        return exitCode;

    FieldChanges changes(dateFormat);
    QString error;
    // The bench's format is weighed only when a date is written with it.
    const QString problem = dateFormat.isEmpty() ? QString() : FieldChanges::DateFormatProblem(dateFormat);
    if (!problem.isEmpty() && (parser.IsSet(QStringLiteral("stock-date")) || parser.IsSet(QStringLiteral("sell-date"))))
        return parser.Refuse(Cli::tr("%1 ([radio] dateFormat): %2").arg(settings, problem));
    for (const FieldChanges::Name &name : FieldChanges::Names()) {
        const QString option = QLatin1String(name.option);
        if (parser.IsSet(option) && !changes.Set(QLatin1String(name.key), parser.Value(option), &error))
            return parser.Refuse(error);
    }
    if (!changes.Any())
        return parser.Refuse(Cli::tr("Nothing to write: name at least one field (see --help)."));
    const QString model = parser.Value(QStringLiteral("model"));
    if (parser.IsSet(QStringLiteral("model")) && !ListedModels().contains(model))
        return parser.Refuse(
            Cli::tr("--model takes %1, not \"%2\".").arg(ListedModels().join(QStringLiteral(", ")), model));
    const int modelIndex = int(ListedModels().indexOf(model));
    if (modelIndex >= 0 && changes.BandCode() && !ModelBandCodes(modelIndex).contains(*changes.BandCode()))
        return parser.Refuse(
            Cli::tr("The %1 does not offer band code %2.").arg(model).arg(*changes.BandCode()));
    return RunOperation(parser, [&](CommandLink &link) { link.Write(changes, model); });
}

} // namespace

bool StandsForCommand(const QString &word)
{
    return !word.startsWith(QLatin1Char('-'));
}

int RunCommand(const QStringList &arguments)
{
    const InterfaceTranslations translations(QLocale::system());
    const QString command = arguments.value(1);
    int exitCode = ExitUsage;
    if (command == QLatin1String("read"))
        exitCode = ReadCommand(arguments);
    else if (command == QLatin1String("write"))
        exitCode = WriteCommand(arguments);
    else if (command == QLatin1String("history"))
        exitCode = HistoryCommand(arguments);
    else if (command == QLatin1String("station"))
        exitCode = StationCommand(arguments);
    else
        exitCode = CommandParser::RefuseUsage(UnknownCommandText(command), CommandParser::AsksForJson(arguments));
    return ExitWithOutput(exitCode);
}

QString UnknownCommandText(const QString &word)
{
    return Cli::tr("unknown command '%1'; the commands are read, write, history and station; see KelvraSet --help")
        .arg(word);
}

QString CommandsHelp()
{
    return Cli::tr("Commands (the window opens only without one; each has its own --help):\n"
              "  read --port PORT [--json]             read the radio and print its fields\n"
              "  write --port PORT [FIELDS] [--json]   change only the fields named, write, verify\n"
              "  history [--serial S] [--limit N] [--json | --csv]\n"
              "                                        the history of reads and writes\n"
              "  history --workshop [--serial S] [--limit N] [--json | --csv]\n"
              "                                        every bench's entries, from the workshop server\n"
              "  history --deliver                     send the entries queued for the workshop server\n"
              "  station --port PORT [--port PORT ...] --job FILE [--auto] [--json]\n"
              "                                        program radios one after another, on\n"
              "                                        several ports at once\n"
              "  station --window [--job FILE] [--port PORT ...]\n"
              "                                        the same in a window, a panel per port\n\n")
        + ExitCodeTable();
}

} // namespace kelvra
