#include "history/historyentry.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QUuid>

namespace kelvra {

HistoryEntry NewHistoryEntry(HistoryOperation operation)
{
    HistoryEntry entry;
    entry.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // Stored to the millisecond, so an entry compares equal after a round trip.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    entry.time = QDateTime::fromMSecsSinceEpoch(now.toMSecsSinceEpoch(), Qt::UTC);
    entry.operation = operation;
    entry.bench = QSysInfo::machineHostName();
    return entry;
}

QString HistoryTimeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime HistoryTimeFromText(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

QString OperationWord(HistoryOperation operation)
{
    return operation == HistoryOperation::Write ? QStringLiteral("write") : QStringLiteral("read");
}

QString ResultWord(HistoryResult result)
{
    switch (result) {
    case HistoryResult::Complete:
        return QStringLiteral("complete");
    case HistoryResult::Failure:
        return QStringLiteral("failure");
    case HistoryResult::Unfinished:
        break;
    }
    return QStringLiteral("unfinished");
}

bool OperationFromWord(const QString &word, HistoryOperation &operation)
{
    for (HistoryOperation candidate : {HistoryOperation::Read, HistoryOperation::Write}) {
        if (word == OperationWord(candidate)) {
            operation = candidate;
            return true;
        }
    }
    return false;
}

bool ResultFromWord(const QString &word, HistoryResult &result)
{
    for (HistoryResult candidate : {HistoryResult::Complete, HistoryResult::Failure, HistoryResult::Unfinished}) {
        if (word == ResultWord(candidate)) {
            result = candidate;
            return true;
        }
    }
    return false;
}

QString OperationText(HistoryOperation operation)
{
    return operation == HistoryOperation::Write ? QCoreApplication::translate("History", "Write")
                                                : QCoreApplication::translate("History", "Read");
}

QString ResultText(HistoryResult result)
{
    switch (result) {
    case HistoryResult::Complete:
        return QCoreApplication::translate("History", "Complete");
    case HistoryResult::Failure:
        return QCoreApplication::translate("History", "Failure");
    case HistoryResult::Unfinished:
        break;
    }
    return QCoreApplication::translate("History", "Unfinished");
}

} // namespace kelvra
