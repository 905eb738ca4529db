#include "history/handoverrecord.h"

#include "history/entrynames.h"
#include "history/fieldview.h"
#include "history/historycsv.h"
#include "lang/captions.h"

#include <QCoreApplication>

namespace kelvra {

namespace {

QString Row(const QString &caption, const QString &value)
{
    return QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>")
        .arg(caption.toHtmlEscaped(), value.toHtmlEscaped());
}

} // namespace

QString HandoverRecordTitle(const HistoryEntry &entry)
{
    return QCoreApplication::translate("History", "Radio record %1").arg(entry.serialNumber);
}

QString HandoverRecordHtml(const HistoryEntry &entry, qint16 languageId, bool showPassword,
                           const QString &printedOn, const QDateTime &printedAt)
{
    // The radio as the write left it: after it, as far as read back; before it where not.
    const auto after = FieldValues(entry.after);
    const auto before = FieldValues(entry.before);
    const auto value = [&](const char *id) {
        const ImageField *field = FindImageField(QLatin1String(id));
        const std::size_t i = std::size_t(field - ImageFields().data());
        const std::optional<QString> known = after[i] ? after[i] : before[i];
        if (known && !showPassword && qstrcmp(id, "ProgramPassword") == 0)
            return QStringLiteral("****");
        return FieldValueText(*field, known);
    };
    const auto caption = [&](const char *id) { return FieldCaption(*FindImageField(QLatin1String(id)), languageId); };

    QString rows = Row(ItemCaption(QStringLiteral("model"), languageId), entry.model);
    for (const char *id : {"SerialNumber", "BandCode", "FreqSet", "DealerCode", "StockDate", "SellDate", "Seller",
                           "ProgramPassword"})
        rows += Row(caption(id), value(id));
    QString written = Row(ItemCaption(QStringLiteral("time"), languageId), LocalTimeText(entry.time))
        + Row(ItemCaption(QStringLiteral("result"), languageId), entry.message.isEmpty() ? ResultText(entry.result)
                                                                                          : entry.message)
        + Row(ItemCaption(QStringLiteral("bench"), languageId), entry.bench)
        + Row(ItemCaption(QStringLiteral("port"), languageId), entry.portName)
        + Row(ItemCaption(QStringLiteral("historyId"), languageId), entry.uuid);
    const QString printed = QCoreApplication::translate("History", "Printed %1 on %2")
                                .arg(LocalTimeText(printedAt), printedOn);
    return QStringLiteral("<html><body style=\"font-size: 11pt\">"
                          "<h2>%1</h2>"
                          "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" width=\"98%\">%2</table>"
                          "<h3>%3</h3>"
                          "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" width=\"98%\">%4</table>"
                          "<p style=\"font-size: 9pt\">%5</p>"
                          "</body></html>")
        .arg(QCoreApplication::translate("History", "Radio record").toHtmlEscaped(), rows,
             OperationText(entry.operation).toHtmlEscaped(), written, printed.toHtmlEscaped());
}

} // namespace kelvra
