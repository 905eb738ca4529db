#include "production/runreport.h"

#include "history/historycsv.h"
#include "history/historyentry.h"
#include "services/clitext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kelvra {

namespace {

const QStringList &Columns()
{
    static const QStringList columns{
        QStringLiteral("port"),   QStringLiteral("serialNumber"),    QStringLiteral("model"),
        QStringLiteral("result"), QStringLiteral("reason"),          QStringLiteral("time"),
        QStringLiteral("durationSeconds"), QStringLiteral("attempts"), QStringLiteral("historyId"),
    };
    return columns;
}

// One line in a cell: the message, then what the detail says.
QString Reason(const CommandOutcome &outcome)
{
    if (outcome.Complete())
        return QString();
    QStringList parts{OutcomeMessage(outcome), outcome.detail};
    if (outcome.interrupted)
        parts << Cli::tr("Interrupted.");
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString Failed(const QFileDevice &file)
{
    return Cli::tr("%1 could not be written: %2.").arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
}

} // namespace

bool RunReport::Create(const QString &folder, const QDateTime &start, QString *why)
{
    const QString stamp = start.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (int copy = 1; copy < 100; ++copy) {
        QFile file(QDir(folder).absoluteFilePath(
            QStringLiteral("station-%1%2.csv").arg(stamp, copy == 1 ? QString() : QStringLiteral("-%1").arg(copy))));
        // NewOnly: two stations started in the same second beside one job each keep their own.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_path = file.fileName();
            return Write(why);
        }
        if (!file.exists()) {
            *why = Failed(file);
            return false;
        }
    }
    *why = Cli::tr("%1 already holds a report of every name for this second.").arg(QDir::toNativeSeparators(folder));
    return false;
}

bool RunReport::Add(const StationAttempt &attempt, int attempts, QString *why)
{
    const CommandOutcome &outcome = attempt.outcome;
    const QStringList row{attempt.port,
                          attempt.serial,
                          outcome.model,
                          outcome.Complete() ? QStringLiteral("complete") : QStringLiteral("failure"),
                          Reason(outcome),
                          HistoryTimeText(attempt.finished),
                          QString::number(double(attempt.elapsedMs) / 1000.0, 'f', 2),
                          QString::number(attempts),
                          outcome.historyId};
    qsizetype index = attempt.serial.isEmpty() ? -1 : m_bySerial.value(attempt.serial, -1);
    if (index < 0) {
        index = m_rows.size();
        m_rows.append(row);
        if (!attempt.serial.isEmpty())
            m_bySerial.insert(attempt.serial, index);
    }
    m_rows[index] = row;
    return Write(why);
}

bool RunReport::Write(QString *why)
{
    QSaveFile file(m_path);
    // A byte-order mark before the header, as the history's export: a
    // spreadsheet then reads the Chinese reasons as they are.
    QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + CsvLine(Columns());
    for (const QStringList &row : std::as_const(m_rows))
        bytes += CsvLine(row);
    // Flushed before the commit: a commit does not see the buffer's failure
    // and would put an empty file in the report's place on a full disk.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        *why = Failed(file);
        return false;
    }
    return true;
}

} // namespace kelvra
