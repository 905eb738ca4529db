#include "services/profilefile.h"

#include "services/profiletext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {

namespace {

using namespace profiletext;

// Why a write did not happen, completing "The serial port was not saved to <file>: ...".
namespace text {
constexpr char kNotAFile[] = QT_TRANSLATE_NOOP("Settings", "it is not a regular file of at most 64 KiB");
constexpr char kDangling[] = QT_TRANSLATE_NOOP("Settings", "it is a link to %1, which does not exist");
constexpr char kTooLong[] =
    QT_TRANSLATE_NOOP("Settings", "it would grow past 64 KiB and could then no longer be read");
constexpr char kLocked[] = QT_TRANSLATE_NOOP("Settings", "another program keeps it locked");
constexpr char kEncoding[] =
    QT_TRANSLATE_NOOP("Settings", "its text is in an encoding that cannot be written back unchanged");
constexpr char kNoCopy[] = QT_TRANSLATE_NOOP("Settings", "it holds no text, and no copy of it could be kept: %1");
} // namespace text

QString Text(const char *literal)
{
    return QCoreApplication::translate("Settings", literal);
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// A settings file that a person or an editor made is read only when it is a
// regular file of a size such a file can have: a link to /dev/zero, a FIFO
// or a stray huge file must neither stop nor stall the program.
constexpr qint64 MaxFileSize = 64 * 1024;
// Long enough for another copy's rewrite, short enough that nobody waits long for a stuck one.
constexpr int LockWaitMs = 500;

class FileHandle
{
public:
    FileHandle() = default;
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Reset(-1); }
    void Reset(int fd)
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

struct Status
{
    enum Kind { Ok, Missing, Refused, Dangling, Busy, Failed } kind = Ok;
    int error = 0; // errno, for Failed
};

bool IsUsable(const struct stat &st)
{
    return S_ISREG(st.st_mode) && st.st_size <= MaxFileSize;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void Interrupt(int) {}

// The lock is flock on the file itself, not a lock file beside it: the file is rewritten in
// place, so the lock lives as long as the settings, every link to them reaches the same lock,
// and a folder that takes no new files does not matter.
//
// flock has no timeout. The wait is in the kernel's queue, since a copy that tried again now
// and then would find a busy other copy holding the lock every time; a timer signal aimed at
// this thread alone, caught without restarting the call, ends it at the deadline.
bool Lock(int fd, int operation, const QDeadlineTimer &deadline)
{
    // A file system without locks is used as it is: better than never saving.
    if (flock(fd, operation | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return true;
    const qint64 waitNs = deadline.remainingTimeNSecs();
    if (waitNs <= 0)
        return false;
    struct sigaction interrupt{}, previous{};
    interrupt.sa_handler = Interrupt;
    sigemptyset(&interrupt.sa_mask);
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGRTMIN;
    event._sigev_un._tid = gettid();
    timer_t timer{};
    sigset_t wakeSignal{}, mask{};
    sigemptyset(&wakeSignal);
    sigaddset(&wakeSignal, SIGRTMIN);
    if (sigaction(SIGRTMIN, &interrupt, &previous) != 0)
        return false;
    pthread_sigmask(SIG_UNBLOCK, &wakeSignal, &mask); // a blocked signal would never end the wait
    bool locked = false;
    if (timer_create(CLOCK_MONOTONIC, &event, &timer) == 0) {
        const itimerspec at{{0, 0}, {time_t(waitNs / 1000000000), long(waitNs % 1000000000)}};
        if (timer_settime(timer, 0, &at, nullptr) == 0) {
            int result = 0, error = 0;
            while ((result = flock(fd, operation)) != 0 && (error = errno) == EINTR && !deadline.hasExpired()) {
            }
            locked = result == 0 || error != EINTR;
        }
        timer_delete(timer);
    }
    pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    sigaction(SIGRTMIN, &previous, nullptr);
    return locked;
}

Status ReadAll(int fd, QByteArray *content)
{
    content->resize(MaxFileSize + 1);
    qsizetype got = 0;
    while (got < content->size()) {
        const ssize_t n = pread(fd, content->data() + got, size_t(content->size() - got), off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {Status::Failed, errno};
        if (n == 0)
            break;
        got += n;
    }
    if (got > MaxFileSize)
        return {Status::Refused};
    content->truncate(got);
    return {Status::Ok};
}

// Opens path (links followed), locks it and reads it whole. The checks come
// before the open, because opening a device can have effects of its own, and
// again on the open file, which may have been swapped in between; once
// locked, the name must still lead to that file, which an editor that saves
// by renaming may have replaced meanwhile.
Status OpenLocked(const QByteArray &native, int flags, int lockOperation, const QDeadlineTimer &deadline,
                  FileHandle &handle, QByteArray *content)
{
    for (;;) {
        struct stat st{};
        if (stat(native.constData(), &st) != 0)
            return {errno == ENOENT ? Status::Missing : Status::Failed, errno};
        if (!IsUsable(st))
            return {Status::Refused};
        handle.Reset(open(native.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (handle.fd() < 0)
            return {Status::Failed, errno};
        if (fstat(handle.fd(), &st) != 0 || !IsUsable(st))
            return {Status::Refused};
        if (!Lock(handle.fd(), lockOperation, deadline))
            return {Status::Busy};
        struct stat named{};
        if (stat(native.constData(), &named) == 0 && SameFile(st, named))
            return ReadAll(handle.fd(), content);
        if (deadline.hasExpired())
            return {Status::Busy};
    }
}

// A new file, locked before anything is in it. O_EXCL neither follows a
// dangling link nor takes over a file that another copy has just made.
Status Create(const QString &path, const QDeadlineTimer &deadline, FileHandle &handle, QByteArray *content)
{
    errno = EACCES; // when mkpath fails without a system call saying why
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return {Status::Failed, errno};
    handle.Reset(open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666));
    if (handle.fd() < 0)
        return {Status::Failed, errno};
    if (!Lock(handle.fd(), LOCK_EX, deadline))
        return {Status::Busy};
    // Another copy may have filled it between our open and our lock.
    return ReadAll(handle.fd(), content);
}

// Writes updated over old in the same file, so that its owner, mode and
// links stay. Room is taken first, so that a full disk fails before any
// byte changes; the file only shrinks once the new text is in. 0 or errno.
int Rewrite(int fd, const QByteArray &old, const QByteArray &updated)
{
    if (updated.size() > old.size()) {
        if (const int error = posix_fallocate(fd, 0, off_t(updated.size())); error != 0)
            return error;
    }
    qsizetype at = std::mismatch(old.begin(), old.end(), updated.begin(), updated.end()).second - updated.begin();
    while (at < updated.size()) {
        const ssize_t n = pwrite(fd, updated.constData() + at, size_t(updated.size() - at), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        at += n;
    }
    if (updated.size() < old.size() && ftruncate(fd, off_t(updated.size())) != 0)
        return errno;
    return fsync(fd) == 0 ? 0 : errno;
}

// A file that is no text at all is copied beside itself (beside its target,
// for a link) before it is rewritten, so that nothing in it is lost.
// Returns the copy's name; empty, with errno set, when it cannot be made.
QString SetAside(const QString &path, int fd, const QByteArray &raw)
{
    struct stat st{};
    if (fstat(fd, &st) != 0)
        return QString();
    const QString aside = QFileInfo(path).canonicalFilePath() + QStringLiteral(".damaged-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'"));
    const QByteArray native = QFile::encodeName(aside);
    FileHandle copy;
    copy.Reset(open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, st.st_mode & 0666));
    if (copy.fd() < 0)
        return QString();
    if (const int error = Rewrite(copy.fd(), QByteArray(), raw)) {
        unlink(native.constData());
        errno = error;
        return QString();
    }
    return aside;
}

// A file this call created and could not fill goes again, as if never made.
void Discard(const QByteArray &native, int fd)
{
    struct stat ours{}, named{};
    if (fstat(fd, &ours) == 0 && lstat(native.constData(), &named) == 0 && SameFile(ours, named))
        unlink(native.constData());
}

// The file locked for a rewrite, made when missing; *created tells which.
Status Acquire(const QString &path, const QDeadlineTimer &deadline, FileHandle &handle, QByteArray *raw,
               bool *created)
{
    const QByteArray native = QFile::encodeName(path);
    for (;;) {
        *created = false;
        Status status = OpenLocked(native, O_RDWR, LOCK_EX, deadline, handle, raw);
        if (status.kind != Status::Missing)
            return status;
        status = Create(path, deadline, handle, raw);
        *created = status.kind == Status::Ok;
        if (status.kind != Status::Failed || status.error != EEXIST)
            return status;
        if (QFileInfo(path).isSymLink())
            return {Status::Dangling};
        if (deadline.hasExpired()) // made and removed again by others, over and over
            return {Status::Busy};
    }
}

} // namespace

QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue)
{
    FileHandle handle;
    QByteArray raw;
    const QDeadlineTimer deadline(LockWaitMs);
    if (OpenLocked(QFile::encodeName(path), O_RDONLY, LOCK_SH, deadline, handle, &raw).kind != Status::Ok)
        return defaultValue;
    const std::optional<QByteArray> value = Value(Decode(raw, EncodingOf(raw)), section.toUtf8(), key.toUtf8());
    return value ? QString::fromUtf8(*value) : defaultValue;
}

bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *why, QString *setAside)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    FileHandle handle;
    QByteArray raw;
    bool created = false;
    const Status status = Acquire(path, QDeadlineTimer(LockWaitMs), handle, &raw, &created);
    switch (status.kind) {
    case Status::Ok:
        break;
    case Status::Refused:
        return fail(Text(text::kNotAFile));
    case Status::Dangling:
        return fail(Text(text::kDangling).arg(QFileInfo(path).symLinkTarget()));
    case Status::Busy:
        return fail(Text(text::kLocked));
    case Status::Missing:
    case Status::Failed:
        return fail(ErrnoText(status.error));
    }

    Encoding encoding = EncodingOf(raw);
    QByteArray text = Decode(raw, encoding);
    QString aside;
    if (encoding.kind == Encoding::Binary) {
        aside = SetAside(path, handle.fd(), raw);
        if (aside.isEmpty())
            return fail(Text(text::kNoCopy).arg(ErrnoText(errno)));
        // Started afresh, in the same file: its owner, mode and links stay.
        encoding = Encoding();
        text.clear();
    }
    QString reason;
    QByteArray updated;
    if (encoding.kind == Encoding::Unknown || (aside.isEmpty() && Encode(text, encoding) != raw))
        reason = Text(text::kEncoding);
    else if ((updated = Encode(Updated(text, section.toUtf8(), key.toUtf8(), value.toUtf8()), encoding)).size()
             > MaxFileSize)
        reason = Text(text::kTooLong);
    else if (const int error = updated == raw ? 0 : Rewrite(handle.fd(), raw, updated))
        reason = ErrnoText(error);
    else {
        if (setAside)
            *setAside = aside;
        return true;
    }
    if (created)
        Discard(QFile::encodeName(path), handle.fd());
    return fail(reason);
}

} // namespace kelvra
