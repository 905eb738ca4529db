#pragma once

// A history as a workshop's years leave it, for the benchmarks that need a long one.

#include "history/historystore.h"

#include <QSqlDatabase>

namespace kelvra::bench {

// A workshop's years: each radio read and written now and then.
constexpr int Radios = 25000;

inline QString Serial(int radio)
{
    return QStringLiteral("20261205%1").arg(radio, 8, 10, QLatin1Char('0'));
}

inline HistoryEntry Sample(int n)
{
    RadioImage image;
    for (int i = 0; i < RadioImage::Size; ++i)
        image[i] = quint8(i + n);
    HistoryEntry entry = NewHistoryEntry(n % 2 ? HistoryOperation::Write : HistoryOperation::Read);
    entry.result = n % 10 == 9 ? HistoryResult::Failure : HistoryResult::Complete;
    // Ten years of fifty benches: an entry every 50 minutes, on one bench or another.
    entry.time = QDateTime(QDate(2016, 1, 1), QTime(), Qt::UTC).addSecs(qint64(n) * 3000);
    entry.bench = QStringLiteral("bench-%1").arg(n % 50);
    entry.serialNumber = Serial(n % Radios);
    entry.model = QStringLiteral("KR350UV");
    entry.portName = QStringLiteral("COM1");
    entry.before = KnownImage(image);
    image[80] = quint8('A' + n % 26);
    entry.after = KnownImage(image);
    return entry;
}

inline bool Fill(const QString &path, int entries)
{
    HistoryStore store(path);
    if (!store.Open())
        return false;
    // One transaction: a real history grew one durable entry at a time.
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName());
    db.transaction();
    for (int n = 0; n < entries; ++n) {
        HistoryEntry entry = Sample(n);
        if (!store.Record(entry))
            return false;
    }
    return db.commit();
}

} // namespace kelvra::bench
