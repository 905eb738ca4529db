#include "history/historyfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {

namespace {

// The effective user's rights, so that a program running with another
// identity than it started with is judged by the one it has.
bool Writable(const QString &path)
{
    return faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

const char *const Companions[] = {"-wal", "-shm"};

// The file a path names through any symbolic links, whether it exists or not:
// SQLite opens, creates and keeps its log and index beside that one.
QString LinkTarget(const QString &path)
{
    QString target = path;
    for (int hops = 0; hops < 40 && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    return target;
}

// Below this the disk counts as full: SQLite grows its files by whole pages and the journal.
constexpr qint64 NearlyFullBytes = 1024 * 1024;

} // namespace

QString HistoryFilePath(bool portable, const QString &appDir)
{
    if (portable)
        return QDir(appDir).filePath(QStringLiteral("history.sqlite"));
    // ~/.local/share/KelvraSet whichever program asks, as the settings folder is.
    // Qt takes a relative XDG_DATA_HOME as it is.
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/KelvraSet/history.sqlite");
}

bool CreatePrivateFile(const QString &path, HistoryProblem *problem)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) {
            *problem = ExplainFailure(path, SqliteCantOpen, QString());
            return false;
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Through a link SQLite would create the target itself, readable by everyone.
    const int fd
        = ::open(QFile::encodeName(LinkTarget(path)).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return true;
        *problem = ExplainFailure(path, errno == ENOSPC ? SqliteFull : SqliteCantOpen,
                                  QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    // The mode is given explicitly because a umask that strips the owner's bits would leave it unusable.
    fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    return true;
}

void MatchCompanionModes(const QString &path)
{
    const QString target = LinkTarget(path);
    struct stat file
    {
    };
    if (stat(QFile::encodeName(target).constData(), &file) != 0)
        return;
    for (const char *suffix : Companions) {
        const QByteArray name = QFile::encodeName(target + QLatin1String(suffix));
        struct stat companion
        {
        };
        // Another owner's stay as they are: the failure they cause names them.
        if (lstat(name.constData(), &companion) == 0 && S_ISREG(companion.st_mode)
            && (companion.st_mode & 07777) != (file.st_mode & 07777))
            chmod(name.constData(), file.st_mode & 07777);
    }
}

QString ImmutableUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
        + QStringLiteral("?immutable=1");
}

bool ReadAsItLies(const QString &path)
{
    const QString target = LinkTarget(path);
    return !Writable(QFileInfo(target).absolutePath()) && !QFileInfo::exists(target + QStringLiteral("-wal"));
}

QString SetAsideDamaged(const QString &path, const QDateTime &utc)
{
    const QFileInfo info(path);
    const QString stamp = utc.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'"));
    const QString aside = info.dir().filePath(info.completeBaseName() + QStringLiteral(".damaged-") + stamp
                                              + QLatin1Char('.') + info.suffix());
    // Companions first: a log left under the old name would be replayed into the new file.
    for (const char *suffix : Companions) {
        const QString from = path + QLatin1String(suffix);
        if (QFileInfo::exists(from) && !QFile::rename(from, aside + QLatin1String(suffix)))
            return QString();
    }
    if (QFileInfo::exists(path) && !QFile::rename(path, aside))
        return QString();
    return aside;
}

QString SetAsideNotice(const QString &aside, bool started)
{
    const QString holds = QCoreApplication::translate("HistoryFile", "%1 bytes, entries still readable: %2")
                              .arg(QFileInfo(aside).size())
                              .arg(qMax(ReadableEntries(aside), 0));
    const QString notice = started ? QCoreApplication::translate("HistoryFile",
                                                                 "The history file was damaged. It was set aside as %1 "
                                                                 "(%2) and a new one was started.")
                                   : QCoreApplication::translate("HistoryFile",
                                                                 "The history file was damaged. It was set aside as %1 "
                                                                 "(%2); the next read or write starts a new one.");
    return notice.arg(QDir::toNativeSeparators(aside), holds);
}

namespace {

int CountReadable(QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // A file shorter than its header says is otherwise refused whole.
    if (!query.exec(QStringLiteral("PRAGMA writable_schema=ON"))
        || !query.prepare(QStringLiteral("SELECT seq FROM entry WHERE seq > ? ORDER BY seq")))
        return -1;
    int count = 0;
    qint64 after = 0;
    qint64 leap = 1;
    // Past a page that cannot be read, looked for further each time, until a
    // search ends cleanly: at the end, or at a point past the damage.
    for (;;) {
        query.bindValue(0, after);
        if (query.exec()) {
            while (query.next()) {
                after = query.value(0).toLongLong();
                ++count;
                leap = 1;
            }
        }
        if (!query.lastError().isValid() || leap > (qint64(1) << 40))
            return count;
        after += leap;
        leap *= 2;
    }
}

} // namespace

int ReadableEntries(const QString &path)
{
    static int opened = 0;
    const QString connection = QStringLiteral("kelvra-damaged-%1").arg(++opened);
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        // Without a log of its own, read as it lies: no log or index is made beside it.
        const bool withLog = QFileInfo::exists(path + QStringLiteral("-wal"));
        db.setDatabaseName(withLog ? path : ImmutableUri(path));
        db.setConnectOptions(withLog ? QStringLiteral("QSQLITE_OPEN_READONLY")
                                     : QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
        if (db.open())
            count = CountReadable(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return count;
}

HistoryProblem ExplainFailure(const QString &path, int sqliteCode, const QString &sqliteText)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString shown = QDir::toNativeSeparators(path);
    const int code = sqliteCode & 0xFF;

    if (code == SqliteBusy || code == SqliteLocked)
        return {
            HistoryFailure::Locked,
            QCoreApplication::translate("HistoryFile", "The history file %1 is held by another program (waited %2 ms).")
                .arg(shown)
                .arg(HistoryBusyTimeoutMs)};
    if (code == SqliteCorrupt || code == SqliteNotADb)
        return {HistoryFailure::Damaged,
                QCoreApplication::translate("HistoryFile", "The history file %1 is damaged.").arg(shown)};

    const bool fileThere = QFileInfo::exists(path);
    if (fileThere && !Writable(path))
        return {HistoryFailure::ReadOnly,
                QCoreApplication::translate("HistoryFile", "The history file %1 is read-only.").arg(shown)};
    if (!Writable(folder))
        return {HistoryFailure::ReadOnly,
                QCoreApplication::translate("HistoryFile", "The folder %1 of the history file is read-only.")
                    .arg(QDir::toNativeSeparators(folder))};
    QStringList stuck;
    for (const char *suffix : Companions) {
        const QString companion = LinkTarget(path) + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !Writable(companion))
            stuck << QDir::toNativeSeparators(companion);
    }
    if (!stuck.isEmpty())
        return {HistoryFailure::ReadOnly,
                QCoreApplication::translate("HistoryFile",
                                            "The history file %1 cannot be written: its log and index %2 are "
                                            "read-only. Give them the owner and mode of the file.")
                    .arg(shown, stuck.join(QStringLiteral(", ")))};

    if (code == SqliteFull || code == SqliteIoErr || code == SqliteCantOpen || code == SqliteReadOnly) {
        rlimit limit{};
        if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            return {
                HistoryFailure::DiskFull,
                QCoreApplication::translate(
                    "HistoryFile", "The history file %1 cannot grow: this program may write files of at most %2 bytes.")
                    .arg(shown)
                    .arg(qulonglong(limit.rlim_cur))};
        const QStorageInfo disk(folder);
        if (code == SqliteFull || (disk.isValid() && disk.bytesAvailable() < NearlyFullBytes))
            return {HistoryFailure::DiskFull,
                    QCoreApplication::translate("HistoryFile", "The disk that holds the history file %1 is full.")
                        .arg(shown)};
    }
    return {
        HistoryFailure::Other,
        QCoreApplication::translate("HistoryFile", "The history file %1 cannot be used: %2").arg(shown, sqliteText)};
}

} // namespace kelvra
