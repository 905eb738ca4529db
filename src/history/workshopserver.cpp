#include "history/workshopserver.h"

#include "history/historyschema.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>

namespace kelvra {

namespace {

bool HasOption(const QStringList &options, const char *name)
{
    for (const QString &option : options) {
        if (option.startsWith(QLatin1String(name) + QLatin1Char('=')))
            return true;
    }
    return false;
}

} // namespace

QSqlDatabase AddServerConnection(const QString &name, const SharedServer &server, const ServerLimits &limits)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(server.host);
    if (server.port > 0)
        db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    db.setPassword(server.password);
    QStringList options = server.options;
    if (!HasOption(options, "connect_timeout"))
        options << QStringLiteral("connect_timeout=%1").arg(limits.connectTimeoutSeconds);
    if (!HasOption(options, "options"))
        options << QStringLiteral("options='-c statement_timeout=%1 -c client_min_messages=error'")
                       .arg(limits.statementTimeoutMs);
    if (!HasOption(options, "keepalives_idle"))
        options << QStringLiteral("keepalives_idle=30") << QStringLiteral("keepalives_interval=10")
                << QStringLiteral("keepalives_count=3");
    db.setConnectOptions(options.join(QLatin1Char(';')));
    return db;
}

QString SharedInsert(const QSqlDriver &driver, const QList<HistoryEntry> &entries)
{
    // Text in, typed by the server: the same values serve both databases.
    // Rows after the first are typed by the first, so every cast is written out.
    const auto cell = [&](const QVariant &value, int column) {
        const QString literal = SqlLiteral(driver, value);
        switch (column) {
        case 0:
            return QStringLiteral("CAST(%1 AS uuid)").arg(literal);
        case 1:
            return QStringLiteral("CAST(%1 AS timestamptz)").arg(literal);
        case 13:
            return QStringLiteral("CAST(NULLIF(%1, '') AS uuid)").arg(literal);
        case 14:
        case 15:
        case 16:
        case 17:
            return QStringLiteral("CAST(%1 AS bytea)").arg(literal);
        default:
            return QStringLiteral("CAST(%1 AS text)").arg(literal);
        }
    };
    QStringList rows;
    for (const HistoryEntry &entry : entries) {
        const QVariantList values = EntryValues(entry);
        QStringList cells;
        for (int column = 0; column < values.size(); ++column)
            cells << cell(values.at(column), column);
        rows << QLatin1Char('(') + cells.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return QStringLiteral("INSERT INTO history_entry (%1) VALUES %2 ON CONFLICT (uuid) DO NOTHING")
        .arg(EntryColumns(), rows.join(QStringLiteral(", ")));
}

QString SharedColumns()
{
    return QStringLiteral(
        "uuid::text, to_char(time_utc AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), operation, result,"
        " message, detail, port, device, adapter_serial, model, serial_number, changed_fields, bench,"
        " coalesce(restored_from::text, ''), before_bytes, before_mask, after_bytes, after_mask");
}

QString WorkshopScriptPath()
{
    return QStringLiteral(KELVRA_DATADIR "/workshop-server.sql");
}

QString ServerFailure(const QSqlError &error, const SharedServer &server)
{
    // The server's own code where it sent one; the client library's words
    // (in English under LANG=C, translated otherwise) where it did not.
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    const auto says = [&](const char *words) { return text.contains(QLatin1String(words), Qt::CaseInsensitive); };
    if (code == QLatin1String("42P01") || says("relation \"history_entry\" does not exist"))
        return QCoreApplication::translate("WorkshopServer", "the server has no table history_entry: an administrator runs %1 once, with psql, in "
                          "the database %2")
            .arg(WorkshopScriptPath(), server.key.section(QLatin1Char('/'), -1));
    if (code == QLatin1String("42501") || says("permission denied"))
        return QCoreApplication::translate("WorkshopServer", "the server refuses this bench's role: an administrator grants it kelvraset_bench");
    if (code == QLatin1String("28P01") || says("password authentication failed"))
        return QCoreApplication::translate("WorkshopServer", "wrong password");
    if (says("no password supplied"))
        return QCoreApplication::translate("WorkshopServer", "no password given (put it in ~/.pgpass)");
    if (says("no pg_hba.conf entry"))
        return QCoreApplication::translate("WorkshopServer", "the server does not let this bench in (pg_hba.conf)");
    if (code == QLatin1String("3D000") || (says("database") && says("does not exist")))
        return QCoreApplication::translate("WorkshopServer", "the server has no such database");
    if (code == QLatin1String("28000") || (says("role") && says("does not exist")))
        return QCoreApplication::translate("WorkshopServer", "the server knows no such user");
    if (code == QLatin1String("57014") || says("statement timeout"))
        return QCoreApplication::translate("WorkshopServer", "the server did not answer in time");
    if (code.startsWith(QLatin1String("08")) || says("could not connect") || says("connection refused")
        || says("no such file or directory") || says("timeout expired") || says("could not translate host name")
        || says("network is unreachable") || says("server closed the connection") || says("no connection")
        || says("not open"))
        return QCoreApplication::translate("WorkshopServer", "server not reachable");
    if (says("driver not loaded"))
        return QCoreApplication::translate("WorkshopServer", "the PostgreSQL driver of Qt is not installed (libqt6sql6-psql)");
    QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (server.password.size() >= 4)
        first.replace(server.password, QStringLiteral("****"));
    return MaskedUrl(first);
}

} // namespace kelvra
