#pragma once

// A PostgreSQL server of a suite's or a benchmark's own, from Debian's
// postgresql package: in a temporary folder, on a Unix socket there only, as
// nobody when run as root (the server refuses to run as root). It is set up
// as an administrator sets up a workshop's server, with workshop-server.sql;
// the administrator logs in without a password, every other role with one.

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kelvra::testing {

// The newest server Debian's postgresql package installed; empty without one.
inline QString ServerTools()
{
    QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    return versions.isEmpty() ? QString() : QStringLiteral("/usr/lib/postgresql/%1/bin").arg(versions.last());
}

class PrivateServer
{
public:
    static QString BenchPassword() { return QStringLiteral("S3cr3t-pw"); }

    // script: workshop-server.sql; settings: more -c options for the server.
    bool Init(const QString &script, const QString &settings = QString())
    {
        if (geteuid() == 0 && chown(QFile::encodeName(m_dir.path()).constData(), 65534, 65534) != 0)
            return false;
        m_settings = settings;
        QFile hba(Data() + QStringLiteral("/pg_hba.conf"));
        return Tool("initdb", {QStringLiteral("-D"), Data(), QStringLiteral("-U"), QStringLiteral("admin"),
                               QStringLiteral("--auth=trust"), QStringLiteral("--no-sync"), QStringLiteral("-E"),
                               QStringLiteral("UTF8"), QStringLiteral("--no-locale")})
            && hba.open(QIODevice::WriteOnly | QIODevice::Truncate)
            && hba.write("local all admin trust\nlocal all all scram-sha-256\n") > 0 && (hba.close(), Start())
            && Sql("postgres", QStringLiteral("CREATE DATABASE kelvraset")) && Psql({QStringLiteral("-f"), script})
            && Sql("kelvraset", QStringLiteral("ALTER ROLE kelvraset_bench PASSWORD '%1'").arg(BenchPassword()));
    }
    bool Start()
    {
        m_running = Tool("pg_ctl", {QStringLiteral("-D"), Data(), QStringLiteral("-l"),
                                    m_dir.filePath(QStringLiteral("log")), QStringLiteral("-w"), QStringLiteral("-o"),
                                    QStringLiteral("-k %1 -c listen_addresses='' -F %2").arg(m_dir.path(), m_settings),
                                    QStringLiteral("start")});
        return m_running;
    }
    bool Running() const { return m_running; }
    bool Stop()
    {
        m_running = !Tool("pg_ctl", {QStringLiteral("-D"), Data(), QStringLiteral("-m"), QStringLiteral("fast"),
                                     QStringLiteral("-w"), QStringLiteral("stop")});
        return !m_running;
    }
    ~PrivateServer()
    {
        if (m_running)
            Stop();
    }
    QString Socket() const { return m_dir.path(); }
    QString Url(const QString &password = BenchPassword(),
                const QString &database = QStringLiteral("kelvraset")) const
    {
        return QStringLiteral("postgresql://kelvraset_bench:%1@/%2?host=%3").arg(password, database, m_dir.path());
    }

    // psql as the administrator, stopping at the first error.
    bool Psql(const QStringList &arguments, QByteArray *output = nullptr)
    {
        QProcess psql;
        psql.start(ServerTools() + QStringLiteral("/psql"),
                   QStringList{QStringLiteral("-h"), m_dir.path(), QStringLiteral("-U"), QStringLiteral("admin"),
                               QStringLiteral("-d"), QStringLiteral("kelvraset"), QStringLiteral("-X"),
                               QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1")}
                       + arguments);
        const bool ok = psql.waitForFinished(600000) && psql.exitStatus() == QProcess::NormalExit
            && psql.exitCode() == 0;
        if (output)
            *output = psql.readAllStandardOutput() + psql.readAllStandardError();
        else if (!ok)
            qWarning("%s", psql.readAllStandardError().constData());
        return ok;
    }

    // Statements, one after another up to the first refused, as user; the
    // first column of each row of the last into rows. False, with why, when
    // one is refused.
    bool Sql(const char *database, const QString &statement, QStringList *rows = nullptr, QString *why = nullptr,
             const QString &user = QStringLiteral("admin"))
    {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("probe"));
            db.setHostName(m_dir.path());
            db.setDatabaseName(QLatin1String(database));
            db.setUserName(user);
            db.setPassword(BenchPassword());
            db.setConnectOptions(QStringLiteral("options='-c client_min_messages=error'"));
            QSqlQuery query(db);
            ok = db.open();
            // One at a time: the driver reports only the first of several.
            for (const QString &one : statement.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                ok = ok && query.exec(one);
            while (ok && rows && query.next())
                *rows << query.value(0).toString();
            if (why)
                *why = db.lastError().text() + query.lastError().text();
            else if (!ok)
                qWarning() << db.lastError().text() << query.lastError().text();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("probe"));
        return ok;
    }

private:
    QString Data() const { return m_dir.filePath(QStringLiteral("data")); }
    bool Tool(const char *name, const QStringList &arguments)
    {
        const QString tool = ServerTools() + QLatin1Char('/') + QLatin1String(name);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (geteuid() == 0)
            process.start(QStringLiteral("setpriv"),
                          QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                      QStringLiteral("--clear-groups"), QStringLiteral("--"), tool}
                              + arguments);
        else
            process.start(tool, arguments);
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }

    QTemporaryDir m_dir{QStringLiteral("/tmp/kelvra-pg-XXXXXX")}; // short: a socket's path is at most 107 bytes
    QString m_settings;
    bool m_running = false;
};

// A server that hangs: connections queue up at its socket, in a folder of
// its own, and nobody accepts them. Closing it fails them at once.
class MuteServer
{
public:
    bool Listen()
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(m_dir.filePath(QStringLiteral(".s.PGSQL.5432"))).constData(),
                 sizeof address.sun_path);
        m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        return bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 && listen(m_fd, 4) == 0;
    }
    // A connection waits to be accepted.
    bool Called() const
    {
        pollfd waiting{m_fd, POLLIN, 0};
        return poll(&waiting, 1, 0) == 1;
    }
    void Close()
    {
        if (m_fd >= 0)
            ::close(std::exchange(m_fd, -1));
    }
    ~MuteServer() { Close(); }
    QString Url() const
    {
        return QStringLiteral("postgresql://kelvraset_bench:%1@/kelvraset?host=%2")
            .arg(PrivateServer::BenchPassword(), m_dir.path());
    }

private:
    QTemporaryDir m_dir{QStringLiteral("/tmp/kelvra-mute-XXXXXX")};
    int m_fd = -1;
};

} // namespace kelvra::testing
