#include "history/historycsv.h"

#include "history/fieldview.h"
#include "history/historystore.h"

#include <QCoreApplication>
#include <QIODevice>

namespace kelvra {

QString CsvCell(QString value)
{
    // Spreadsheets run a cell that starts like a formula; a radio's texts are typed by anyone.
    static const QString formulaStart = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStart.contains(value.front()))
        value.prepend(QLatin1Char('\''));
    if (value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\n'))
        || value.contains(QLatin1Char('\r')))
        value = QLatin1Char('"') + value.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return value;
}

namespace {

void WriteRow(QIODevice &out, const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells)
        quoted << CsvCell(cell);
    out.write((quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8());
}

QString Shown(const std::optional<QString> &value, bool masked)
{
    if (!value)
        return UnknownValueText();
    return masked ? QStringLiteral("****") : *value;
}

} // namespace

QString UnknownValueText()
{
    return QCoreApplication::translate("History", "(unknown)");
}

QString LocalTimeText(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void WriteHistoryCsvHeader(qint16 languageId, QIODevice &out)
{
    out.write("\xEF\xBB\xBF");
    static const char *const columns[] = {QT_TRANSLATE_NOOP("History", "Time"),
                                          QT_TRANSLATE_NOOP("History", "Operation"),
                                          QT_TRANSLATE_NOOP("History", "Result"),
                                          QT_TRANSLATE_NOOP("History", "Serial number"),
                                          QT_TRANSLATE_NOOP("History", "Model"),
                                          QT_TRANSLATE_NOOP("History", "Changed fields"),
                                          QT_TRANSLATE_NOOP("History", "Message"),
                                          QT_TRANSLATE_NOOP("History", "Detail"),
                                          QT_TRANSLATE_NOOP("History", "Port"),
                                          QT_TRANSLATE_NOOP("History", "Device"),
                                          QT_TRANSLATE_NOOP("History", "Adapter serial number"),
                                          QT_TRANSLATE_NOOP("History", "Bench"),
                                          QT_TRANSLATE_NOOP("History", "Entry"),
                                          QT_TRANSLATE_NOOP("History", "Restored from")};
    QStringList header;
    for (const char *column : columns)
        header << QCoreApplication::translate("History", column);
    for (const ImageField &field : ImageFields()) {
        const QString caption = FieldCaption(field, languageId);
        header << QCoreApplication::translate("History", "%1 before").arg(caption)
               << QCoreApplication::translate("History", "%1 after").arg(caption);
    }
    WriteRow(out, header);
}

void WriteHistoryCsvRow(const HistoryEntry &entry, bool showPasswords, qint16 languageId, QIODevice &out)
{
    QStringList changed;
    for (const QString &id : entry.changedFields) {
        const ImageField *field = FindImageField(id);
        changed << (field ? FieldCaption(*field, languageId) : id);
    }
    QStringList row = {LocalTimeText(entry.time),
                       OperationText(entry.operation),
                       ResultText(entry.result),
                       entry.serialNumber,
                       entry.model,
                       changed.join(QCoreApplication::translate("History", ", ")),
                       entry.message,
                       entry.detail,
                       entry.portName,
                       entry.devicePath,
                       entry.adapterSerial,
                       entry.bench,
                       entry.uuid,
                       entry.restoredFrom};
    const auto before = FieldValues(entry.before);
    const auto after = FieldValues(entry.after);
    for (std::size_t i = 0; i < ImageFields().size(); ++i) {
        const bool masked = !showPasswords && qstrcmp(ImageFields()[i].id, "ProgramPassword") == 0;
        row << Shown(before[i], masked) << Shown(after[i], masked);
    }
    WriteRow(out, row);
}

bool WriteHistoryCsv(HistoryStore &store, const QString &serialContains, bool showPasswords, qint16 languageId,
                     QIODevice &out, HistoryProblem *problem)
{
    WriteHistoryCsvHeader(languageId, out);
    HistoryQuery query{serialContains, 0, 1000};
    for (;;) {
        HistoryProblem found;
        const QList<HistoryEntry> page = store.List(query, &found);
        if (found.kind != HistoryFailure::None) {
            if (problem)
                *problem = found;
            return false;
        }
        for (const HistoryEntry &entry : page)
            WriteHistoryCsvRow(entry, showPasswords, languageId, out);
        if (page.size() < query.limit)
            return true;
        query.beforeSeq = page.last().seq;
    }
}

} // namespace kelvra
