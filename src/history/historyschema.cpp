#include "history/historyschema.h"

#include "history/historyquery.h"

#include <QSqlQuery>

namespace kelvra {

namespace {

const char *const Columns[]
    = {"uuid",  "time_utc",      "operation",      "result",      "message",       "detail",
       "port",  "device",        "adapter_serial", "model",       "serial_number", "changed_fields",
       "bench", "restored_from", "before_bytes",   "before_mask", "after_bytes",   "after_mask"};

QVariant Blob(const QByteArray &bytes)
{
    // An empty blob is stored as NULL: nothing of that image is known.
    return bytes.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes);
}

// A null text would be stored as NULL; the columns hold empty texts instead.
QVariant Text(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

} // namespace

QStringList LocalSchemaStep(int version)
{
    switch (version) {
    case 1:
        return {
            QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"),
            // seq is the order of recording: newest first without trusting the clock.
            QStringLiteral("CREATE TABLE entry ("
                           " seq INTEGER PRIMARY KEY,"
                           " uuid TEXT NOT NULL UNIQUE,"
                           " time_utc TEXT NOT NULL,"
                           " operation TEXT NOT NULL CHECK (operation IN ('read', 'write')),"
                           " result TEXT NOT NULL CHECK (result IN ('complete', 'failure', 'unfinished')),"
                           " message TEXT NOT NULL, detail TEXT NOT NULL,"
                           " port TEXT NOT NULL, device TEXT NOT NULL, adapter_serial TEXT NOT NULL,"
                           " model TEXT NOT NULL, serial_number TEXT NOT NULL, changed_fields TEXT NOT NULL,"
                           " bench TEXT NOT NULL, restored_from TEXT NOT NULL,"
                           " before_bytes BLOB, before_mask BLOB, after_bytes BLOB, after_mask BLOB)"),
            QStringLiteral("CREATE INDEX entry_serial ON entry (serial_number)"),
            // Only a write's outcome may be added, once; its backup and identity never change.
            QStringLiteral("CREATE TRIGGER entry_finished_is_final BEFORE UPDATE ON entry"
                           " WHEN OLD.result <> 'unfinished'"
                           "  OR NEW.seq IS NOT OLD.seq OR NEW.uuid IS NOT OLD.uuid"
                           "  OR NEW.time_utc IS NOT OLD.time_utc OR NEW.operation IS NOT OLD.operation"
                           "  OR NEW.port IS NOT OLD.port OR NEW.device IS NOT OLD.device"
                           "  OR NEW.adapter_serial IS NOT OLD.adapter_serial OR NEW.model IS NOT OLD.model"
                           "  OR NEW.serial_number IS NOT OLD.serial_number OR NEW.bench IS NOT OLD.bench"
                           "  OR NEW.restored_from IS NOT OLD.restored_from"
                           "  OR NEW.before_bytes IS NOT OLD.before_bytes OR NEW.before_mask IS NOT OLD.before_mask"
                           " BEGIN SELECT RAISE(ABORT, 'a finished history entry cannot be changed'); END"),
            QStringLiteral("CREATE TRIGGER entry_is_kept BEFORE DELETE ON entry"
                           " BEGIN SELECT RAISE(ABORT, 'a history entry cannot be deleted'); END"),
            // Which entries a shared server holds: the entries themselves never change for it.
            QStringLiteral("CREATE TABLE delivered ("
                           " target TEXT NOT NULL, uuid TEXT NOT NULL, time_utc TEXT NOT NULL,"
                           " PRIMARY KEY (target, uuid)) WITHOUT ROWID"),
        };
    case 2:
        return {
            // REPLACE would delete the entry holding the UUID or number and
            // store another in its place, and the delete trigger fires for that
            // only on connections that ask for recursive triggers.
            QStringLiteral("CREATE TRIGGER entry_is_new BEFORE INSERT ON entry"
                           " WHEN EXISTS (SELECT 1 FROM entry WHERE uuid = NEW.uuid)"
                           "  OR EXISTS (SELECT 1 FROM entry WHERE seq = NEW.seq)"
                           " BEGIN SELECT RAISE(ABORT, 'a history entry with this UUID or number exists already');"
                           " END"),
        };
    default:
        return {};
    }
}

QList<std::pair<QString, QString>> ListIndexes(const QSqlDriver &driver)
{
    QList<std::pair<QString, QString>> indexes;
    const std::pair<const char *, QString> keys[] = {
        {"entry_time", QStringLiteral("time_utc")},  {"entry_operation", QStringLiteral("operation")},
        {"entry_result", QStringLiteral("result")},  {"entry_model", QStringLiteral("model")},
        {"entry_bench", QStringLiteral("bench")},    {"entry_changed", QStringLiteral("changed_fields")},
        {"entry_dealer", DealerExpression(SqlDialect::Local, driver)},
    };
    for (const auto &[name, key] : keys)
        indexes.append(
            {QLatin1String(name), QStringLiteral("CREATE INDEX %1 ON entry (%2)").arg(QLatin1String(name), key)});
    return indexes;
}

QString EntryColumns()
{
    QStringList names;
    for (const char *name : Columns)
        names << QLatin1String(name);
    return names.join(QStringLiteral(", "));
}

QVariantList EntryValues(const HistoryEntry &entry)
{
    return {Text(entry.uuid),
            HistoryTimeText(entry.time),
            OperationWord(entry.operation),
            ResultWord(entry.result),
            Text(entry.message),
            Text(entry.detail),
            Text(entry.portName),
            Text(entry.devicePath),
            Text(entry.adapterSerial),
            Text(entry.model),
            Text(entry.serialNumber),
            Text(entry.changedFields.join(QLatin1Char(','))),
            Text(entry.bench),
            Text(entry.restoredFrom),
            Blob(entry.before.StoredBytes()),
            Blob(entry.before.StoredMask()),
            Blob(entry.after.StoredBytes()),
            Blob(entry.after.StoredMask())};
}

bool EntryFromRow(const QSqlQuery &query, int first, HistoryEntry &entry)
{
    auto text = [&](int i) { return query.value(first + i).toString(); };
    auto bytes = [&](int i) { return query.value(first + i).toByteArray(); };
    entry.uuid = text(0);
    entry.time = HistoryTimeFromText(text(1));
    entry.message = text(4);
    entry.detail = text(5);
    entry.portName = text(6);
    entry.devicePath = text(7);
    entry.adapterSerial = text(8);
    entry.model = text(9);
    entry.serialNumber = text(10);
    entry.changedFields = text(11).split(QLatin1Char(','), Qt::SkipEmptyParts);
    entry.bench = text(12);
    entry.restoredFrom = text(13);
    return OperationFromWord(text(2), entry.operation) && ResultFromWord(text(3), entry.result)
        && KnownImage::FromStored(bytes(14), bytes(15), entry.before)
        && KnownImage::FromStored(bytes(16), bytes(17), entry.after);
}

} // namespace kelvra
