#include "history/historyquery.h"

#include "record/imagecodec.h"
#include "record/imagetext.h"

#include <QSqlDriver>
#include <QSqlField>

namespace kelvra {

namespace {

// Blocks 0 to 2, which hold the dealer code at bytes 80 to 95: stored as a
// prefix of the image's bytes, so that its place in them is known to SQL.
constexpr int DealerPrefix = 96;
constexpr int DealerOffset = 80;
constexpr int DealerWidth = 16;

// The bytes of the dealer code a filter looks for; none when the radio could not hold the text.
std::optional<QByteArray> DealerNeedle(const QString &text)
{
    if (!ImageTextEncodable(text) || ImageTextBytes(text) > DealerWidth)
        return std::nullopt;
    return ImageBytesFitting(text, DealerWidth);
}

QString Blob(SqlDialect dialect, const QSqlDriver &driver, const QByteArray &bytes)
{
    // SQLite's driver writes bytes as a text of hex digits: its blob literal is written out here.
    if (dialect == SqlDialect::Local)
        return QStringLiteral("X'%1'").arg(QString::fromLatin1(bytes.toHex()));
    return bytes.isEmpty() ? QStringLiteral("CAST('' AS bytea)")
                           : QStringLiteral("CAST(%1 AS bytea)").arg(SqlLiteral(driver, bytes));
}

} // namespace

QString DealerExpression(SqlDialect dialect, const QSqlDriver &driver)
{
    const QString prefix = Blob(dialect, driver, QByteArray(DealerPrefix / 8, char(0xFF)));
    const auto known = [&](const char *side) {
        return QStringLiteral("%1_bytes IS NOT NULL AND (%1_mask IS NULL OR substr(%1_mask, 1, %2) = %3)")
            .arg(QLatin1String(side))
            .arg(DealerPrefix / 8)
            .arg(prefix);
    };
    const auto code = [](const char *side) {
        return QStringLiteral("substr(%1_bytes, %2, %3)")
            .arg(QLatin1String(side))
            .arg(DealerOffset + 1)
            .arg(DealerWidth);
    };
    return QStringLiteral("coalesce(CASE WHEN %1 THEN %2 WHEN %3 THEN %4 END, %5)")
        .arg(known("after"), code("after"), known("before"), code("before"), Blob(dialect, driver, {}));
}

namespace {

// The column or expression a key sorts by; text in byte order on either side.
QString KeyExpression(HistoryKey key, SqlDialect dialect, const QSqlDriver &driver)
{
    const QString collated = dialect == SqlDialect::Server ? QStringLiteral(" COLLATE \"C\"") : QString();
    switch (key) {
    case HistoryKey::Time:
        break;
    case HistoryKey::Operation:
        return QStringLiteral("operation");
    case HistoryKey::Result:
        return QStringLiteral("result");
    case HistoryKey::SerialNumber:
        return QStringLiteral("serial_number") + collated;
    case HistoryKey::Model:
        return QStringLiteral("model") + collated;
    case HistoryKey::DealerCode:
        return DealerExpression(dialect, driver);
    case HistoryKey::Bench:
        return QStringLiteral("bench") + collated;
    case HistoryKey::Changed:
        return QStringLiteral("changed_fields") + collated;
    }
    return QString();
}

// An entry's value of a key, as the SQL expression gives it.
QVariant KeyValue(const HistoryEntry &entry, HistoryKey key)
{
    switch (key) {
    case HistoryKey::Time:
        break;
    case HistoryKey::Operation:
        return OperationWord(entry.operation);
    case HistoryKey::Result:
        return ResultWord(entry.result);
    case HistoryKey::SerialNumber:
        return entry.serialNumber;
    case HistoryKey::Model:
        return entry.model;
    case HistoryKey::DealerCode:
        return DealerCodeBytes(entry);
    case HistoryKey::Bench:
        return entry.bench;
    case HistoryKey::Changed:
        return entry.changedFields.join(QLatin1Char(','));
    }
    return QVariant();
}

QString Time(const QSqlDriver &driver, const QDateTime &time)
{
    return SqlLiteral(driver, HistoryTimeText(time));
}

} // namespace

bool HistoryFilter::Empty() const
{
    return serial.isEmpty() && dealerCode.isEmpty() && !operation && !result && bench.isEmpty() && !since.isValid()
        && !before.isValid();
}

QByteArray DealerCodeBytes(const HistoryEntry &entry)
{
    for (const KnownImage *image : {&entry.after, &entry.before}) {
        if (image->AllKnown(0, DealerPrefix)) {
            QByteArray bytes(DealerWidth, Qt::Uninitialized);
            for (int i = 0; i < DealerWidth; ++i)
                bytes[i] = char(image->Byte(DealerOffset + i));
            return bytes;
        }
    }
    return QByteArray();
}

std::optional<QString> DealerCodeText(const HistoryEntry &entry)
{
    const QByteArray bytes = DealerCodeBytes(entry);
    if (bytes.isEmpty())
        return std::nullopt;
    return FieldText(ImageTextFromBytes(bytes));
}

bool Matches(const HistoryEntry &entry, const HistoryFilter &filter, bool serialEnds)
{
    if (!(serialEnds ? entry.serialNumber.endsWith(filter.serial) : entry.serialNumber.contains(filter.serial)))
        return false;
    if (!filter.dealerCode.isEmpty()) {
        const std::optional<QByteArray> needle = DealerNeedle(filter.dealerCode);
        if (!needle || !DealerCodeBytes(entry).contains(*needle))
            return false;
    }
    return (!filter.operation || entry.operation == *filter.operation)
        && (!filter.result || entry.result == *filter.result) && entry.bench.contains(filter.bench)
        && (!filter.since.isValid() || entry.time >= filter.since)
        && (!filter.before.isValid() || entry.time < filter.before);
}

bool Precedes(const HistoryEntry &a, const HistoryEntry &b, const HistoryOrder &order)
{
    const auto compare = [](const QVariant &x, const QVariant &y) {
        if (x.typeId() == QMetaType::QByteArray)
            return x.toByteArray() < y.toByteArray() ? -1 : (y.toByteArray() < x.toByteArray() ? 1 : 0);
        return x.toString().compare(y.toString());
    };
    int sign = order.key == HistoryKey::Time ? 0 : compare(KeyValue(a, order.key), KeyValue(b, order.key));
    if (sign == 0)
        sign = a.time != b.time ? (a.time < b.time ? -1 : 1) : a.uuid.compare(b.uuid);
    return order.ascending ? sign < 0 : sign > 0;
}

QStringList FilterConditions(const HistoryFilter &filter, SqlDialect dialect, const QSqlDriver &driver,
                             bool dealerIndex)
{
    const bool local = dialect == SqlDialect::Local;
    QStringList conditions;
    if (!filter.dealerCode.isEmpty()) {
        const std::optional<QByteArray> needle = DealerNeedle(filter.dealerCode);
        const QString match
            = (local ? QStringLiteral("instr(%1, %2) > 0") : QStringLiteral("position(%2 in %1) > 0"))
                  .arg(DealerExpression(dialect, driver), needle ? Blob(dialect, driver, *needle) : QString());
        // The index holds every entry's dealer code: scanning it is cheaper than scanning the entries.
        if (!needle)
            conditions << QStringLiteral("1 = 0");
        else if (dealerIndex)
            conditions << QStringLiteral("seq IN (SELECT seq FROM entry INDEXED BY entry_dealer WHERE %1)").arg(match);
        else
            conditions << match;
    }
    if (filter.operation)
        conditions << QStringLiteral("operation = %1").arg(SqlLiteral(driver, OperationWord(*filter.operation)));
    if (filter.result)
        conditions << QStringLiteral("result = %1").arg(SqlLiteral(driver, ResultWord(*filter.result)));
    if (!filter.bench.isEmpty())
        conditions << QStringLiteral("%1(bench, %2) > 0")
                          .arg(local ? QStringLiteral("instr") : QStringLiteral("strpos"),
                               SqlLiteral(driver, filter.bench));
    // The file holds its times as ISO texts in UTC, which sort as the times do.
    const QString time = local ? QStringLiteral("%1") : QStringLiteral("CAST(%1 AS timestamptz)");
    if (filter.since.isValid())
        conditions << QStringLiteral("time_utc >= ") + time.arg(Time(driver, filter.since));
    if (filter.before.isValid())
        conditions << QStringLiteral("time_utc < ") + time.arg(Time(driver, filter.before));
    return conditions;
}

QString OrderBy(const HistoryOrder &order, SqlDialect dialect, const QSqlDriver &driver)
{
    const QString direction = order.ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    QStringList terms;
    if (order.key != HistoryKey::Time)
        terms << KeyExpression(order.key, dialect, driver) + direction;
    if (dialect == SqlDialect::Local)
        terms << QStringLiteral("seq") + direction;
    else
        terms << QStringLiteral("time_utc") + direction << QStringLiteral("uuid") + direction;
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

QString AfterCondition(const HistoryEntry &after, const HistoryOrder &order, SqlDialect dialect,
                       const QSqlDriver &driver)
{
    QStringList columns;
    QStringList values;
    if (order.key != HistoryKey::Time) {
        columns << KeyExpression(order.key, dialect, driver);
        const QVariant value = KeyValue(after, order.key);
        values << (value.typeId() == QMetaType::QByteArray ? Blob(dialect, driver, value.toByteArray())
                                                            : SqlLiteral(driver, value.toString()));
    }
    if (dialect == SqlDialect::Local) {
        columns << QStringLiteral("seq");
        values << QString::number(after.seq);
    } else {
        columns << QStringLiteral("time_utc") << QStringLiteral("uuid");
        values << QStringLiteral("CAST(%1 AS timestamptz)").arg(Time(driver, after.time))
               << QStringLiteral("CAST(%1 AS uuid)").arg(SqlLiteral(driver, after.uuid));
    }
    return QStringLiteral("(%1) %2 (%3)")
        .arg(columns.join(QStringLiteral(", ")), order.ascending ? QStringLiteral(">") : QStringLiteral("<"),
             values.join(QStringLiteral(", ")));
}

QString SqlLiteral(const QSqlDriver &driver, const QVariant &value)
{
    QSqlField field(QString(), value.metaType());
    field.setValue(value);
    return driver.formatValue(field);
}

} // namespace kelvra
