#include "history/localbacklog.h"

#include "history/historyfile.h"
#include "history/historyschema.h"
#include "history/sharedserver.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace kelvra {

namespace {

QString NotDelivered(const QString &key)
{
    return QStringLiteral("NOT EXISTS (SELECT 1 FROM delivered d WHERE d.target = %1 AND d.uuid = e.uuid)").arg(key);
}

bool Failed(const QSqlQuery &query, QString &why)
{
    why = query.lastError().text();
    return false;
}

QString SeqList(const QList<qint64> &seqs)
{
    QStringList numbers;
    for (qint64 seq : seqs)
        numbers << QString::number(seq);
    return numbers.join(QLatin1Char(','));
}

} // namespace

QSqlDatabase AddLocalConnection(const QString &name, const QString &path)
{
    QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    local.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
    local.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(HistoryBusyTimeoutMs));
    return local;
}

bool ReadBacklog(QSqlDatabase &local, const QString &key, Backlog &backlog, QString &why)
{
    backlog = Backlog();
    // One snapshot for the counts and the walk, so that an entry recorded in between is not miscounted.
    local.transaction();
    QSqlQuery query(local);
    query.setForwardOnly(true);
    const auto done = [&](bool ok) {
        if (!ok)
            Failed(query, why);
        query.finish();
        local.commit();
        return ok;
    };
    if (!query.exec(QStringLiteral("SELECT count(*) FROM entry")) || !query.next())
        return done(false);
    const qint64 entries = query.value(0).toLongLong();
    query.prepare(QStringLiteral("SELECT count(*) FROM delivered WHERE target = ?"));
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return done(false);
    const qint64 missing = entries - query.value(0).toLongLong();
    if (missing <= 0)
        return done(true);
    query.prepare(QStringLiteral("SELECT seq, result, time_utc FROM entry e WHERE %1 ORDER BY seq DESC LIMIT :missing")
                      .arg(NotDelivered(QStringLiteral(":key"))));
    query.bindValue(QStringLiteral(":key"), key);
    query.bindValue(QStringLiteral(":missing"), missing);
    if (!query.exec())
        return done(false);
    while (query.next()) {
        const qint64 seq = query.value(0).toLongLong();
        if (query.value(1).toString() == ResultWord(HistoryResult::Unfinished)) {
            backlog.unfinished.prepend(seq);
        } else {
            backlog.finished.prepend(seq);
            backlog.since = HistoryTimeFromText(query.value(2).toString());
        }
    }
    return done(true);
}

bool ReadEntries(QSqlDatabase &local, const QList<qint64> &seqs, QList<HistoryEntry> &entries, QString &why)
{
    entries.clear();
    if (seqs.isEmpty())
        return true;
    QSqlQuery query(local);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT seq, %1 FROM entry WHERE seq IN (%2)").arg(EntryColumns(), SeqList(seqs))))
        return Failed(query, why);
    QHash<qint64, HistoryEntry> found;
    while (query.next()) {
        HistoryEntry entry;
        entry.seq = query.value(0).toLongLong();
        if (EntryFromRow(query, 1, entry))
            found.insert(entry.seq, entry);
    }
    for (qint64 seq : seqs) {
        if (found.contains(seq))
            entries << found.value(seq);
    }
    return true;
}

bool ReadUndelivered(QSqlDatabase &local, const QString &key, const QStringList &uuids, QList<qint64> &seqs,
                     QString &why)
{
    seqs.clear();
    QSqlQuery query(local);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT seq FROM entry e WHERE uuid IN (%1) AND result <> 'unfinished' AND %2"
                                 " ORDER BY seq")
                      .arg(QStringList(uuids.size(), QStringLiteral("?")).join(QLatin1Char(',')),
                           NotDelivered(QStringLiteral("?"))));
    for (const QString &uuid : uuids)
        query.addBindValue(uuid);
    query.addBindValue(key);
    if (!query.exec())
        return Failed(query, why);
    while (query.next())
        seqs << query.value(0).toLongLong();
    return true;
}

bool MarkDelivered(QSqlDatabase &local, const QString &key, const QList<HistoryEntry> &entries, QString &why)
{
    const QString now = HistoryTimeText(QDateTime::currentDateTimeUtc());
    local.transaction();
    QSqlQuery query(local);
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO delivered (target, uuid, time_utc) VALUES (?, ?, ?)"));
    for (const HistoryEntry &entry : entries) {
        query.addBindValue(key);
        query.addBindValue(entry.uuid);
        query.addBindValue(now);
        if (!query.exec()) {
            Failed(query, why);
            query.finish();
            local.rollback();
            return false;
        }
    }
    if (!local.commit()) {
        why = local.lastError().text();
        return false;
    }
    return true;
}

bool AdoptOlderKeys(QSqlDatabase &local, const QString &key, QString &why)
{
    // Each distinct target by one step along the key, however many entries each holds.
    QStringList targets;
    QSqlQuery query(local);
    query.setForwardOnly(true);
    QString after = QStringLiteral(""); // a null text would be bound as NULL
    for (;;) {
        query.prepare(QStringLiteral("SELECT min(target) FROM delivered WHERE target > ?"));
        query.addBindValue(after);
        if (!query.exec() || !query.next())
            return Failed(query, why);
        if (query.value(0).isNull())
            break;
        after = query.value(0).toString();
        if (after != key && SharedServer::FromUrl(after).key == key)
            targets << after;
    }
    query.finish();
    for (const QString &target : targets) {
        local.transaction();
        query.prepare(QStringLiteral("UPDATE OR IGNORE delivered SET target = ? WHERE target = ?"));
        query.addBindValue(key);
        query.addBindValue(target);
        bool ok = query.exec();
        query.prepare(QStringLiteral("DELETE FROM delivered WHERE target = ?"));
        query.addBindValue(target);
        ok = ok && query.exec();
        if (!ok) {
            Failed(query, why);
            local.rollback();
            return false;
        }
        local.commit();
    }
    return true;
}

} // namespace kelvra
