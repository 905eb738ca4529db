#include "cli/historycommand.h"
#include "services/clitext.h"

#include "cli/commandparser.h"
#include "cli/recordcommand.h"
#include "cli/report.h"
#include "cli/terminal.h"
#include "cli/workshopcommand.h"
#include "history/entrynames.h"
#include "history/historycsv.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "lang/language.h"
#include "services/historysetting.h"
#include "services/settingsplace.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <unistd.h>

namespace kelvra {

namespace {

// Reading the history is no operation on a radio: its own failure code.
constexpr int ExitHistoryUnreadable = 1;
constexpr int CsvPage = 1000;

} // namespace

QJsonObject EntryJson(const HistoryEntry &entry, bool showPasswords)
{
    return Nested(EntryNamedValues(entry, showPasswords));
}

QString EntryLine(const HistoryEntry &entry, bool withBench)
{
    const qint16 language = LanguageIdForLocale(QLocale::system());
    return QStringLiteral("%1  %2  %3  %4  %5  %6%7\n")
        .arg(LocalTimeText(entry.time), OperationText(entry.operation).leftJustified(6),
             ResultText(entry.result).leftJustified(10), Printable(entry.serialNumber).leftJustified(16),
             Printable(entry.model).leftJustified(7),
             withBench ? Printable(entry.bench).leftJustified(12) + QStringLiteral("  ") : QString(),
             ChangedFieldsText(entry.changedFields, language));
}

int HistoryUnreadable(HistoryStore &store, const HistoryProblem &problem)
{
    const QString aside = store.TakeSetAside();
    Terminal::Err(aside.isEmpty() ? Cli::tr("The history %1 cannot be read: %2\n").arg(store.Path(), problem.reason)
                                  : SetAsideNotice(aside, false) + QLatin1Char('\n'));
    return ExitHistoryUnreadable;
}

QString CommandHistoryPath()
{
    return LocalHistoryPath(LocateSettings(ExecutableDir(), UserConfigDir()), ExecutableDir());
}

int HistoryCommand(const QStringList &arguments)
{
    CommandParser parser(QStringLiteral("history [--workshop] [--serial S] [--limit N] [--json | --csv] "
                                        "[--show-passwords] | --serial S --pdf FILE | --deliver"),
                         Cli::tr("Lists the history of reads and writes, newest first."));
    parser.Add(QStringLiteral("serial"),
               Cli::tr("Only radios whose serial number contains S (with --workshop: ends with S, the whole "
                       "number or its last digits)."),
               QStringLiteral("S"));
    parser.Add(QStringLiteral("limit"), Cli::tr("At most N entries (default 50; not for --csv)."), QStringLiteral("N"));
    parser.Add(QStringLiteral("json"), Cli::tr("One JSON object per entry, with the names read --json uses."));
    parser.Add(QStringLiteral("csv"), Cli::tr("Every entry as CSV for programs: a header row of the same names."));
    parser.Add(QStringLiteral("show-passwords"),
               Cli::tr("Programming passwords in clear in --json, --csv and --pdf (**** without it)."));
    parser.Add(QStringLiteral("pdf"),
               Cli::tr("The record of the newest complete write of the radio --serial names, as a PDF file to "
                       "hand over with it: model, serial number, band, Freq. Set, dealer fields, when and at which "
                       "bench it was written."),
               QStringLiteral("FILE"));
    parser.Add(QStringLiteral("workshop"),
               Cli::tr("Every bench's entries from the workshop server that historyUrl names, with this bench's "
                       "entries not yet delivered; exit code 3 when the server cannot be reached."));
    parser.Add(QStringLiteral("deliver"),
               Cli::tr("Send every entry queued for the workshop server and exit: 0 when none is left, 3 when the "
                       "server cannot be reached."));
    parser.AddNotes(Cli::tr("\nThe file: history.sqlite beside the program for a portable copy, else in "
                            "~/.local/share/KelvraSet; it is only read. Exit code 1: the file could not be read, "
                            "or it was damaged and has been set aside.\n"));
    int exitCode = 0;
    if (!parser.Parse(arguments, &exitCode))
        return exitCode;
    if (parser.IsSet(QStringLiteral("deliver"))) {
        // It sends the whole queue as it stands: any other option would only seem to shape it.
        if (parser.Options().optionNames() != QStringList{QStringLiteral("deliver")})
            return parser.Refuse(Cli::tr("--deliver takes no other option."));
        return DeliverQueued();
    }
    const bool json = parser.IsSet(QStringLiteral("json"));
    const bool csv = parser.IsSet(QStringLiteral("csv"));
    const bool showPasswords = parser.IsSet(QStringLiteral("show-passwords"));
    if (json && csv)
        return parser.Refuse(Cli::tr("--json and --csv exclude each other."));
    if (csv && parser.IsSet(QStringLiteral("limit")))
        return parser.Refuse(Cli::tr("--limit is not for --csv, which lists every entry."));
    HistoryQuery query;
    query.filter.serial = parser.Value(QStringLiteral("serial"));
    query.limit = 50;
    if (parser.IsSet(QStringLiteral("limit"))) {
        bool ok = false;
        query.limit = parser.Value(QStringLiteral("limit")).toInt(&ok);
        if (!ok || query.limit < 1)
            return parser.Refuse(Cli::tr("--limit takes a number of entries from 1."));
    }
    if (parser.IsSet(QStringLiteral("pdf"))) {
        if (json || csv || parser.IsSet(QStringLiteral("workshop")) || parser.IsSet(QStringLiteral("limit")))
            return parser.Refuse(Cli::tr("--pdf takes only --serial and --show-passwords."));
        if (query.filter.serial.isEmpty())
            return parser.Refuse(Cli::tr("--pdf needs --serial: the radio whose record it is."));
        return RecordPdf(query.filter.serial, parser.Value(QStringLiteral("pdf")), showPasswords);
    }
    if (parser.IsSet(QStringLiteral("workshop")))
        return WorkshopHistory(query.filter.serial, query.limit, json, csv, showPasswords);

    HistoryStore store(CommandHistoryPath(), HistoryStore::Check::AsRead, HistoryStore::Access::ReadOnly);
    const auto none = [&] {
        // A script asking for JSON or CSV gets nothing at all.
        if (!json && !csv)
            Terminal::Out(query.filter.serial.isEmpty()
                              ? Cli::tr("The history holds no entries yet (%1).\n").arg(store.Path())
                              : Cli::tr("The history holds no entry for a serial number containing %1.\n")
                                    .arg(query.filter.serial));
        return ExitComplete;
    };
    // Listing an empty history creates no file.
    if (!QFileInfo::exists(store.Path()))
        return none();
    HistoryProblem problem;
    if (csv) {
        // Unbuffered, so that a write that fails is seen at once, not lost in a buffer.
        QFile out;
        query.limit = CsvPage;
        const bool listed = out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)
            && WriteHistoryCsv(store, query, {false, 0, showPasswords}, out, &problem);
        if (out.error() != QFileDevice::NoError)
            Terminal::NoteOutputFailure(out.errorString());
        return listed ? ExitComplete : HistoryUnreadable(store, problem);
    }
    if (!store.Open(&problem))
        return HistoryUnreadable(store, problem);
    const QList<HistoryEntry> entries = store.List(query, &problem);
    if (!(problem.kind == HistoryFailure::None))
        return HistoryUnreadable(store, problem);
    if (entries.isEmpty())
        return none();
    for (const HistoryEntry &entry : entries)
        json ? Terminal::Out(JsonLine(EntryJson(entry, showPasswords))) : Terminal::Out(EntryLine(entry));
    return ExitComplete;
}

} // namespace kelvra
