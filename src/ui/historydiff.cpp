#include "ui/historydiff.h"

#include "history/fieldview.h"
#include "history/historycsv.h"

#include <QCoreApplication>
#include <QTableWidget>

namespace kelvra {

namespace {

void SetRow(QTableWidget *table, int row, const QStringList &texts, bool changed)
{
    for (int column = 0; column < texts.size(); ++column) {
        auto *item = new QTableWidgetItem(texts.at(column));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setToolTip(texts.at(column)); // a narrow column cuts it
        QFont font = item->font();
        font.setBold(changed);
        item->setFont(font);
        if (changed)
            item->setData(Qt::AccessibleDescriptionRole, QCoreApplication::translate("HistoryDiff", "changed"));
        table->setItem(row, column, item);
    }
}

} // namespace

void ShowDifferences(QTableWidget *table, const HistoryEntry &entry, qint16 languageId)
{
    const auto before = FieldValues(entry.before);
    const auto after = FieldValues(entry.after);
    const int others = OtherBytesDiffering(entry.before, entry.after);
    const auto &fields = ImageFields();
    table->setRowCount(int(fields.size()) + (others > 0 ? 1 : 0));
    // What changed is what the reader came for: those rows first, each group in field order.
    int row = 0;
    for (const bool changedRows : {true, false}) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool changed = before[i] && after[i] && *before[i] != *after[i];
            if (changed != changedRows)
                continue;
            SetRow(table, row++,
                   {FieldCaption(fields[i], languageId), FieldValueText(fields[i], before[i]),
                    FieldValueText(fields[i], after[i])},
                   changed);
        }
    }
    if (others > 0)
        SetRow(table, row,
               {QCoreApplication::translate("HistoryDiff", "Other bytes"), QString(),
                QCoreApplication::translate("HistoryDiff", "%n byte(s) differ", nullptr, others)},
               true);
}

QString RestoredFromText(const QString &uuid, const HistoryEntry *source)
{
    if (!source)
        return QCoreApplication::translate("HistoryDiff",
                                           "Form filled from entry %1, which this history does not hold.")
            .arg(uuid);
    return QCoreApplication::translate("HistoryDiff", "Form filled from the entry of %1 at %2, radio %3 (%4).")
        .arg(LocalTimeText(source->time), source->bench, source->serialNumber, uuid);
}

QString EntryDetailsText(const HistoryEntry &entry, const HistoryEntry *source)
{
    QStringList lines;
    lines << QStringLiteral("%1 %2: %3")
                 .arg(OperationText(entry.operation), LocalTimeText(entry.time),
                      entry.message.isEmpty() ? ResultText(entry.result) : entry.message);
    if (!entry.detail.isEmpty())
        lines << entry.detail;
    QString port = entry.portName;
    if (!entry.devicePath.isEmpty())
        port += QStringLiteral(" (%1)").arg(entry.devicePath);
    if (!entry.adapterSerial.isEmpty())
        port += QCoreApplication::translate("HistoryDiff", ", adapter %1").arg(entry.adapterSerial);
    lines << QCoreApplication::translate("HistoryDiff", "Port: %1").arg(port)
          << QCoreApplication::translate("HistoryDiff", "Bench: %1").arg(entry.bench)
          << QCoreApplication::translate("HistoryDiff", "Entry: %1").arg(entry.uuid);
    if (!entry.restoredFrom.isEmpty())
        lines << RestoredFromText(entry.restoredFrom, source);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kelvra
