#include "history/historyfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

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

// Below this the disk counts as full: SQLite grows its files by whole pages and the journal.
constexpr qint64 NearlyFullBytes = 1024 * 1024;

} // namespace

QString HistoryFilePath(bool portable, const QString &appDir)
{
    // ~/.local/share/KelvraSet whichever program asks, as the settings folder is.
    const QString folder = portable ? appDir
                                    : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                        + QStringLiteral("/KelvraSet");
    return QDir(folder).filePath(QStringLiteral("history.sqlite"));
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
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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

QString SetAsideNotice(const QString &aside)
{
    return QCoreApplication::translate("HistoryFile",
                                       "The history file was damaged. It was set aside as %1 and a new one was started.")
        .arg(QDir::toNativeSeparators(aside));
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
