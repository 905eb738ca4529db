#include "history/historycsv.h"

#include "history/entrynames.h"
#include "history/fieldview.h"
#include "history/historystore.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QJsonArray>

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

QByteArray CsvLine(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &cell : cells)
        quoted << CsvCell(cell);
    return (quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
}

namespace {

void WriteRow(QIODevice &out, const QStringList &cells)
{
    out.write(CsvLine(cells));
}

QString Shown(const std::optional<QString> &value, bool masked)
{
    if (!value)
        return UnknownValueText();
    return masked ? QStringLiteral("****") : *value;
}

// A JSON value in a cell: nothing for null, a list's items joined by commas.
QString CellText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toInteger());
    if (value.isArray()) {
        QStringList items;
        for (const QJsonValue &item : value.toArray())
            items << item.toString();
        return items.join(QLatin1Char(','));
    }
    return value.toString();
}

// The entry's own items for people, in the order of the columns.
const char *const PeopleItems[] = {"time",   "operation", "result", "serialNumber",  "model",
                                   "changed", "message",  "detail", "port",          "device",
                                   "adapterSerial", "bench", "historyId", "restoredFrom"};

} // namespace

QString UnknownValueText()
{
    return QCoreApplication::translate("History", "(unknown)");
}

QString ZoneText(const QDateTime &utc)
{
    const int offset = utc.toLocalTime().offsetFromUtc();
    if (offset == 0)
        return QStringLiteral("UTC");
    const int minutes = qAbs(offset) / 60;
    QString text = QStringLiteral("UTC%1%2").arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(minutes / 60);
    if (minutes % 60)
        text += QStringLiteral(":%1").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

QString LocalTimeText(const QDateTime &utc)
{
    return utc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + ZoneText(utc);
}

void WriteHistoryCsvHeader(const CsvForm &form, QIODevice &out)
{
    QStringList header;
    if (!form.forPeople) {
        for (const auto &[name, value] : EntryNamedValues(HistoryEntry(), false))
            header << name;
        WriteRow(out, header);
        return;
    }
    out.write("\xEF\xBB\xBF");
    for (const char *item : PeopleItems)
        header << ItemCaption(QLatin1String(item), form.languageId);
    for (const ImageField &field : ImageFields()) {
        const QString caption = FieldCaption(field, form.languageId);
        header << QCoreApplication::translate("History", "%1 before").arg(caption)
               << QCoreApplication::translate("History", "%1 after").arg(caption);
    }
    WriteRow(out, header);
}

void WriteHistoryCsvRow(const HistoryEntry &entry, const CsvForm &form, QIODevice &out)
{
    QStringList row;
    if (!form.forPeople) {
        for (const auto &[name, value] : EntryNamedValues(entry, form.showPasswords))
            row << CellText(value);
        WriteRow(out, row);
        return;
    }
    row = QStringList{LocalTimeText(entry.time),
                      OperationText(entry.operation),
                      ResultText(entry.result),
                      entry.serialNumber,
                      entry.model,
                      ChangedFieldsText(entry.changedFields, form.languageId),
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
        const bool masked = !form.showPasswords && qstrcmp(ImageFields()[i].id, "ProgramPassword") == 0;
        row << Shown(before[i], masked) << Shown(after[i], masked);
    }
    WriteRow(out, row);
}

bool WriteHistoryCsv(HistoryStore &store, const HistoryQuery &request, const CsvForm &form, QIODevice &out,
                     HistoryProblem *problem)
{
    WriteHistoryCsvHeader(form, out);
    HistoryQuery query = request;
    query.after.reset();
    for (;;) {
        HistoryProblem found;
        const QList<HistoryEntry> page = store.List(query, &found);
        if (found.kind != HistoryFailure::None) {
            if (problem)
                *problem = found;
            return false;
        }
        for (const HistoryEntry &entry : page)
            WriteHistoryCsvRow(entry, form, out);
        if (page.size() < query.limit)
            return true;
        query.after = page.last();
    }
}

} // namespace kelvra
