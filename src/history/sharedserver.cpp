#include "history/sharedserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace kelvra {

namespace {

constexpr int DefaultPort = 5432;

// The client library's own quoting: backslash before a quote or a backslash.
QString Quoted(QString value)
{
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

// One pg_service.conf: [name] sections of key=value lines, # comments.
bool ReadService(const QString &path, const QString &service, QStringList &settings)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inside = false;
    bool found = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inside = line.mid(1, line.size() - 2) == service;
            found = found || inside;
        } else if (inside && line.contains(QLatin1Char('='))) {
            settings << line.section(QLatin1Char('='), 0, 0).trimmed() + QLatin1Char('=')
                    + line.section(QLatin1Char('='), 1).trimmed();
        }
    }
    return found;
}

QString Setting(const QStringList &settings, const QString &name)
{
    for (const QString &setting : settings) {
        if (setting.startsWith(name + QLatin1Char('=')))
            return setting.mid(name.size() + 1);
    }
    return QString();
}

} // namespace

QStringList ServiceSettings(const QString &service)
{
    QStringList settings;
    const QString userFile = qEnvironmentVariableIsSet("PGSERVICEFILE")
        ? qEnvironmentVariable("PGSERVICEFILE")
        : QDir::homePath() + QStringLiteral("/.pg_service.conf");
    if (ReadService(userFile, service, settings))
        return settings;
    // Debian's client library looks in /etc/postgresql-common.
    const QString systemDir = qEnvironmentVariable("PGSYSCONFDIR", QStringLiteral("/etc/postgresql-common"));
    ReadService(systemDir + QStringLiteral("/pg_service.conf"), service, settings);
    return settings;
}

QString MaskedUrl(const QString &text)
{
    QString masked = text;
    // A password may hold any character, an @ or a / too: it runs from the
    // first colon after the scheme to the last @. Masking too much is harmless.
    const qsizetype scheme = masked.indexOf(QStringLiteral("://"));
    const qsizetype start = scheme < 0 ? 0 : scheme + 3;
    const qsizetype at = masked.lastIndexOf(QLatin1Char('@'));
    const qsizetype colon = masked.indexOf(QLatin1Char(':'), start);
    if (at > start && colon >= 0 && colon < at)
        masked.replace(colon + 1, at - colon - 1, QStringLiteral("****"));
    static const QRegularExpression item(
        QStringLiteral("((?:^|[?&;\\s])[a-z_]*password\\s*=\\s*)('[^']*'|[^&#;\\s]*)"),
        QRegularExpression::CaseInsensitiveOption);
    masked.replace(item, QStringLiteral("\\1****"));
    return masked;
}

SharedServer SharedServer::FromUrl(const QString &text)
{
    SharedServer server;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return server;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!trimmed.startsWith(QLatin1String("postgresql://")) && !trimmed.startsWith(QLatin1String("postgres://"))) {
        server.error = QCoreApplication::translate("SharedServer", "The history server %1 is not a postgresql:// address.").arg(MaskedUrl(trimmed));
        return server;
    }
    if (!url.isValid()) {
        // Qt's own explanation quotes the URL whole, password and all.
        server.error = QCoreApplication::translate("SharedServer", "The history server %1 cannot be read: a character in it is not allowed in an "
                                  "address, or a % is not followed by two hex digits.")
                           .arg(MaskedUrl(trimmed));
        return server;
    }
    server.host = url.host();
    server.port = url.port(-1);
    server.user = url.userName();
    server.password = url.password();
    server.database = url.path().mid(1);

    // Qt's driver joins its options with ';', so no value may hold one.
    static const QRegularExpression key(QStringLiteral("^[a-z_]+$"));
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &[name, value] : items) {
        if (name == QLatin1String("host"))
            server.host = value;
        else if (name == QLatin1String("port"))
            server.port = value.toInt();
        else if (name == QLatin1String("user"))
            server.user = value;
        else if (name == QLatin1String("password"))
            server.password = value;
        else if (name == QLatin1String("dbname"))
            server.database = value;
        else if (key.match(name).hasMatch() && !value.contains(QLatin1Char(';')))
            server.options << name + QLatin1Char('=') + Quoted(value);
        else
            server.error = QCoreApplication::translate("SharedServer", "The history server's option %1 cannot be used.").arg(name);
        if (name == QLatin1String("service"))
            server.service = value;
    }
    if (!server.error.isEmpty())
        return server;

    // What the URL leaves open, the service names; what neither names, the
    // client library's defaults.
    const QStringList service = server.service.isEmpty() ? QStringList() : ServiceSettings(server.service);
    const QString host = server.host.isEmpty() ? Setting(service, QStringLiteral("host")) : server.host;
    int port = server.port > 0 ? server.port : Setting(service, QStringLiteral("port")).toInt();
    const QString database = server.database.isEmpty() ? Setting(service, QStringLiteral("dbname")) : server.database;
    if (database.isEmpty()) {
        server.error = server.service.isEmpty()
            ? QCoreApplication::translate("SharedServer", "The history server %1 names no database.").arg(MaskedUrl(trimmed))
            : QCoreApplication::translate("SharedServer", "The history server's service %1 is listed in no pg_service.conf, or names no dbname.")
                  .arg(server.service);
        return server;
    }
    server.key = QStringLiteral("%1:%2/%3")
                     .arg(host.isEmpty() ? QStringLiteral("localhost") : host)
                     .arg(port > 0 ? port : DefaultPort)
                     .arg(database);
    return server;
}

} // namespace kelvra
