#include "cli/recordcommand.h"
#include "services/clitext.h"

#include "cli/historycommand.h"
#include "cli/terminal.h"
#include "history/handoverrecord.h"
#include "history/historycsv.h"
#include "history/historystore.h"
#include "lang/language.h"
#include "services/commandoutcome.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSysInfo>
#include <QTextDocument>

namespace kelvra {

namespace {

constexpr int ExitNoRecord = 1;
// Enough of a radio's writes to tell whether S names one radio or several.
constexpr int Candidates = 1000;

// The newest complete write of the one radio serial names: its whole number
// where one matches, else the one radio whose number contains it.
int FindWrite(HistoryStore &store, const QString &serial, HistoryEntry &found)
{
    HistoryQuery query;
    query.filter.serial = serial;
    query.filter.operation = HistoryOperation::Write;
    query.filter.result = HistoryResult::Complete;
    query.limit = Candidates;
    HistoryProblem problem;
    const QList<HistoryEntry> writes = QFileInfo::exists(store.Path()) ? store.List(query, &problem)
                                                                       : QList<HistoryEntry>();
    if (problem.kind != HistoryFailure::None)
        return HistoryUnreadable(store, problem);
    QStringList radios;
    for (const HistoryEntry &entry : writes) {
        if (entry.serialNumber == serial) {
            found = entry;
            return ExitComplete;
        }
        if (!radios.contains(entry.serialNumber))
            radios << entry.serialNumber;
    }
    if (radios.isEmpty()) {
        Terminal::Err(Cli::tr("The history holds no complete write of a radio whose serial number contains %1.\n")
                          .arg(serial));
        return ExitNoRecord;
    }
    if (radios.size() > 1) {
        Terminal::Err(Cli::tr("%1 is part of the serial numbers of %n radio(s): %2. Give the whole number.\n",
                              nullptr, int(radios.size()))
                          .arg(serial, Printable(radios.mid(0, 5).join(QStringLiteral(", ")))));
        return ExitUsage;
    }
    found = writes.first();
    return ExitComplete;
}

} // namespace

bool CommandDrawsPages(const QStringList &arguments)
{
    if (arguments.value(1) != QLatin1String("history"))
        return false;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--pdf") || argument.startsWith(QLatin1String("--pdf=")))
            return true;
    }
    return false;
}

int RecordPdf(const QString &serial, const QString &path, bool showPassword)
{
    HistoryStore store(CommandHistoryPath(), HistoryStore::Check::AsRead, HistoryStore::Access::ReadOnly);
    HistoryEntry entry;
    if (const int exitCode = FindWrite(store, serial, entry); exitCode != ExitComplete)
        return exitCode;

    // It may hold the password: the file, an old one replaced too, is its owner's alone.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (written) {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        pdf.setTitle(HandoverRecordTitle(entry));
        pdf.setCreator(QCoreApplication::applicationName());
        QTextDocument document;
        document.setHtml(HandoverRecordHtml(entry, LanguageIdForLocale(QLocale::system()), showPassword,
                                            QSysInfo::machineHostName(), QDateTime::currentDateTimeUtc()));
        document.print(&pdf);
    }
    written = written && file.commit();
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!written) {
        Terminal::Err(Cli::tr("Cannot write %1: %2\n").arg(where, file.errorString()));
        return ExitOutputFailed;
    }
    Terminal::Out(Cli::tr("The record of the write of %1 to radio %2 is in %3, readable by you alone.\n")
                      .arg(LocalTimeText(entry.time), Printable(entry.serialNumber), where));
    return ExitComplete;
}

} // namespace kelvra
