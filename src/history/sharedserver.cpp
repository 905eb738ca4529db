#include "history/sharedserver.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace kelvra {

namespace {

// The client library's own quoting: backslash before a quote or a backslash.
QString Quoted(QString value)
{
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

} // namespace

SharedServer SharedServer::FromUrl(const QString &text)
{
    SharedServer server;
    if (text.trimmed().isEmpty())
        return server;
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres"))) {
        server.error
            = QCoreApplication::translate("SharedServer", "The history server %1 is not a postgresql:// address.")
                  .arg(text);
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
            server.error = QCoreApplication::translate("SharedServer", "The history server's option %1 cannot be used.")
                               .arg(name);
    }
    if (server.database.isEmpty() && server.error.isEmpty())
        server.error
            = QCoreApplication::translate("SharedServer", "The history server %1 names no database.").arg(text);

    QUrl shown = url;
    shown.setPassword(QString());
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("password"));
    shown.setQuery(query);
    server.target = shown.toString();
    return server;
}

} // namespace kelvra
