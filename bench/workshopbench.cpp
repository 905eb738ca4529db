// workshopbench: a workshop's shared history at the size of fifty benches
// over ten years. Starts a PostgreSQL server of its own (as the tests do),
// sets it up with workshop-server.sql, fills it with entries spread over 50
// benches, and measures, through the program's own reader and delivery:
// the workshop view's first page, a filter by a whole serial number and by
// its last four digits, and the delivery of 1,000 queued entries.
//   workshopbench [entries] [repeats]      (default 10000000 and 7)

#include "history/historydelivery.h"
#include "history/historystore.h"
#include "history/workshopreader.h"
#include "support/privateserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>

using namespace kelvra;

namespace {

constexpr int Benches = 50;
constexpr int Radios = 1000000; // ten or so entries a radio over the years

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

// Entry n's radio: serial numbers spread over a million radios, as the
// radios of a workshop's customers come back in no order.
QString Serial(qint64 n)
{
    return QStringLiteral("20261205%1").arg((n * 7919) % Radios, 8, 10, QLatin1Char('0'));
}

// Entries first to last, made on the server itself: 256-byte blocks before
// and after, a write every other entry, ten years of times.
QString FillStatement(qint64 first, qint64 last)
{
    return QStringLiteral(
               "INSERT INTO history_entry (uuid, time_utc, operation, result, message, detail, port, device,"
               " adapter_serial, model, serial_number, changed_fields, bench, before_bytes, after_bytes)"
               " SELECT gen_random_uuid(), timestamptz '2016-01-01 00:00:00+00' + n * interval '31.5 seconds',"
               " CASE WHEN n % 2 = 1 THEN 'write' ELSE 'read' END, 'complete',"
               " CASE WHEN n % 2 = 1 THEN 'Write Complete!' ELSE 'Read Complete!' END, '',"
               " 'COM' || (n % 4 + 1), '/dev/ttyUSB' || (n % 4), 'FT' || (n % 977), 'KR350UV',"
               " '20261205' || lpad(((n * 7919) % %3)::text, 8, '0'),"
               " CASE WHEN n % 2 = 1 THEN 'DealerCode,Seller' ELSE '' END,"
               " 'bench-' || lpad((n % %4)::text, 2, '0'),"
               " decode(repeat(md5(n::text), 16), 'hex'), decode(repeat(md5((n + 1)::text), 16), 'hex')"
               " FROM generate_series(%1::bigint, %2::bigint) AS n")
        .arg(first)
        .arg(last)
        .arg(Radios)
        .arg(Benches);
}

double Median(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.at(samples.size() / 2);
}

void Report(const QString &what, double ms, double targetMs)
{
    Out() << QStringLiteral("%1 %2 ms").arg(what, -48).arg(ms, 9, 'f', 1);
    if (targetMs > 0)
        Out() << QStringLiteral("   target %1 ms, ratio %2").arg(targetMs).arg(ms / targetMs, 0, 'f', 2);
    Out() << Qt::endl;
}

// One page through the reader, as the window asks for it: ms from the question to the answer.
double PageMs(WorkshopReader &reader, const QString &serial, int *rows)
{
    QEventLoop loop;
    WorkshopPage answer;
    const auto connection = QObject::connect(&reader, &WorkshopReader::Answered, &loop, [&](const WorkshopPage &page) {
        answer = page;
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    WorkshopQuery query;
    query.filter.serial = serial;
    reader.Ask(query);
    loop.exec();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    QObject::disconnect(connection);
    *rows = answer.reached ? int(answer.entries.size()) : -1;
    return ms;
}

// A bench's file with count entries that the server has not seen.
bool QueueEntries(const QString &path, int count)
{
    HistoryStore store(path);
    if (!store.Open())
        return false;
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName());
    db.transaction();
    for (int i = 0; i < count; ++i) {
        HistoryEntry entry = NewHistoryEntry(i % 2 ? HistoryOperation::Write : HistoryOperation::Read);
        entry.result = HistoryResult::Complete;
        entry.serialNumber = Serial(i);
        entry.bench = QStringLiteral("bench-queued");
        RadioImage image;
        for (int b = 0; b < RadioImage::Size; ++b)
            image[b] = quint8(b * 7 + i);
        entry.before = KnownImage(image);
        entry.after = KnownImage(image);
        if (!store.Record(entry))
            return false;
    }
    return db.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 entries = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10000000;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 7;
    if (testing::ServerTools().isEmpty()) {
        Out() << "workshopbench: Debian's postgresql package is not installed" << Qt::endl;
        return 1;
    }
    // A modest server of its own: a gigabyte of buffers, on this machine's disk.
    testing::PrivateServer server;
    if (!server.Init(QStringLiteral(KELVRA_WORKSHOP_SQL),
                     QStringLiteral("-c shared_buffers=1GB -c maintenance_work_mem=1GB -c max_wal_size=16GB"
                                    " -c checkpoint_timeout=30min -c effective_cache_size=8GB"))) {
        Out() << "workshopbench: the server could not be set up" << Qt::endl;
        return 1;
    }
    // Filled without its indexes, which are then built once, as a restore would.
    const QString indexes = QStringLiteral(
        "ALTER TABLE history_entry DROP CONSTRAINT history_entry_pkey; DROP INDEX history_entry_newest;"
        " DROP INDEX history_entry_serial_end");
    server.Sql("kelvraset", indexes);
    QElapsedTimer timer;
    timer.start();
    const qint64 chunk = 1000000;
    for (qint64 first = 0; first < entries; first += chunk) {
        if (!server.Sql("kelvraset", FillStatement(first, std::min(first + chunk, entries) - 1)))
            return 1;
        Out() << QStringLiteral("filled %1 entries, %2 s").arg(std::min(first + chunk, entries)).arg(
                     double(timer.elapsed()) / 1000, 0, 'f', 0)
              << Qt::endl;
    }
    const qint64 filled = timer.elapsed();
    timer.restart();
    if (!server.Sql("kelvraset", QStringLiteral("ALTER TABLE history_entry ADD PRIMARY KEY (uuid)"))
        || !server.Psql({QStringLiteral("-f"), QStringLiteral(KELVRA_WORKSHOP_SQL)})
        || !server.Sql("kelvraset", QStringLiteral("VACUUM ANALYZE history_entry")))
        return 1;
    Out() << QStringLiteral("%1 entries over %2 benches: filled in %3 s, indexed and analysed in %4 s")
                 .arg(entries)
                 .arg(Benches)
                 .arg(double(filled) / 1000, 0, 'f', 0)
                 .arg(double(timer.elapsed()) / 1000, 0, 'f', 0)
          << Qt::endl;
    QStringList sizes;
    server.Sql("kelvraset",
               QStringLiteral("SELECT c.relname || ' ' || pg_size_pretty(pg_total_relation_size(c.oid)) FROM pg_class c"
                              " WHERE c.relname LIKE 'history_entry%' UNION ALL SELECT 'database ' ||"
                              " pg_size_pretty(pg_database_size('kelvraset'))"),
               &sizes);
    Out() << "size on disk: " << sizes.join(QStringLiteral(", ")) << Qt::endl;
    // The first page of each kind from a cold start: the server restarted, and
    // as root the system's file cache dropped too.
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    server.Stop();
    ::sync();
    const bool cold = drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
    drop.close();
    if (!server.Start())
        return 1;
    Out() << (cold ? "server restarted, file cache dropped" : "server restarted (file cache kept: not root)")
          << Qt::endl;

    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("history.sqlite"));
    QueueEntries(local, 5); // a bench with a few entries of its own not yet delivered
    const SharedServer shared = SharedServer::FromUrl(server.Url());
    WorkshopReader reader(local, shared);
    const QString serial = Serial(entries / 2);
    const std::pair<QString, QString> pages[] = {
        {QStringLiteral("the workshop view's first page"), QString()},
        {QStringLiteral("a filter by a whole serial number"), serial},
        {QStringLiteral("a filter by its last four digits"), serial.right(4)},
    };
    const double targets[] = {300, 50, 200};
    int target = 0;
    for (const auto &[what, filter] : pages) {
        QList<double> samples;
        int rows = 0;
        const double first = PageMs(reader, filter, &rows);
        for (int i = 0; i < repeats; ++i)
            samples << PageMs(reader, filter, &rows);
        Report(what, Median(samples), targets[target++]);
        Out() << QStringLiteral("    %1 entries shown; the first time %2 ms").arg(rows).arg(first, 0, 'f', 1)
              << Qt::endl;
    }

    QList<double> deliveries;
    for (int i = 0; i < std::max(3, repeats / 2); ++i) {
        QTemporaryDir bench;
        const QString path = bench.filePath(QStringLiteral("history.sqlite"));
        if (!QueueEntries(path, 1000))
            return 1;
        HistoryDelivery delivery(path, shared);
        QEventLoop loop;
        DeliveryStatus status;
        QObject::connect(&delivery, &HistoryDelivery::Passed, &loop, [&](const DeliveryStatus &passed) {
            status = passed;
            loop.quit();
        });
        QElapsedTimer delivering;
        delivering.start();
        delivery.StartOnce();
        loop.exec();
        deliveries << double(delivering.nsecsElapsed()) / 1e6;
        if (status.state != DeliveryState::UpToDate) {
            Out() << "delivery failed: " << status.why << Qt::endl;
            return 1;
        }
    }
    Report(QStringLiteral("delivery of 1,000 queued entries"), Median(deliveries), 2000);
    return 0;
}
