#include "services/tracefile.h"

#include "link/tracing.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace kelvra {

namespace {

// The trace lives as long as the process; messages of other categories go
// where they went before.
struct TraceTarget
{
    int fd = -1;
    QString path;
    std::function<void(const QString &)> notice;
    QtMessageHandler previousHandler = nullptr;
};

TraceTarget &Target()
{
    static TraceTarget target;
    return target;
}

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// 0, or the error that stopped the write. A pipe or terminal that would block
// fails with EAGAIN instead of freezing the window.
int WriteAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        done += written;
    }
    return 0;
}

// What support asks first: which system, which Qt.
QByteArray FirstLine()
{
    utsname host{};
    const QString kernel = uname(&host) == 0
        ? QStringLiteral("%1 %2 %3").arg(QString::fromLocal8Bit(host.sysname), QString::fromLocal8Bit(host.release),
                                         QString::fromLocal8Bit(host.machine))
        : QStringLiteral("unknown kernel");
    return QStringLiteral("%1 trace  %2 %3 on %4, %5, Qt %6\n")
        .arg(TraceStamp(), QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
             QSysInfo::prettyProductName(), kernel, QString::fromLatin1(qVersion()))
        .toUtf8();
}

void Stop(int error)
{
    TraceTarget &target = Target();
    ::close(target.fd);
    target.fd = -1;
    QLoggingCategory::setFilterRules(QStringLiteral("kelvra.trace.debug=false"));
    const QString why = QCoreApplication::translate(
                            "TraceFile", "The trace to %1 stopped: %2. Reading and writing go on without it.")
                            .arg(target.path, ErrorText(error));
    std::fprintf(stderr, "%s\n", why.toLocal8Bit().constData());
    if (target.notice)
        target.notice(why);
}

void WriteTrace(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    TraceTarget &target = Target();
    if (!context.category || qstrcmp(context.category, lcTrace().categoryName()) != 0) {
        target.previousHandler(type, context, message);
        return;
    }
    // Unbuffered: a trace is wanted most after a crash or a hang. Once a
    // write has failed, trace lines go nowhere.
    if (target.fd < 0)
        return;
    if (const int error = WriteAll(target.fd, message.toUtf8() + '\n'))
        Stop(error);
}

bool TakesTrace(const struct stat &status, int fd)
{
    return S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || (S_ISCHR(status.st_mode) && (fd < 0 || isatty(fd)));
}

} // namespace

void IgnoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

void OnTraceStopped(std::function<void(const QString &why)> notice)
{
    Target().notice = std::move(notice);
}

bool StartTraceFile(const QString &path, QString *error)
{
    IgnoreBrokenPipes();
    const auto refuse = [&](const QString &why) {
        *error = QCoreApplication::translate("TraceFile", "Cannot write the trace to %1: %2").arg(path, why);
        return false;
    };
    const QString notAFile =
        QCoreApplication::translate("TraceFile", "it is not a regular file, a terminal or a pipe.");
    const QByteArray name = QFile::encodeName(path);
    struct stat status{};
    const bool exists = ::stat(name.constData(), &status) == 0;
    // Nothing else is even opened: opening a device may do something of its own.
    if (exists && !TakesTrace(status, -1))
        return refuse(notAFile);
    // Non-blocking for good: a FIFO without a reader refuses at once rather
    // than hold up start-up, and a full pipe or a terminal stopped by Ctrl+S
    // fails a write rather than freeze the window in the middle of a radio's.
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return refuse(exists && S_ISFIFO(status.st_mode) && errno == ENXIO
                          ? QCoreApplication::translate("TraceFile", "no program is reading from it.")
                          : ErrorText(errno));
    if (::fstat(fd, &status) != 0 || !TakesTrace(status, fd)) {
        ::close(fd);
        return refuse(notAFile);
    }
    if (const int failed = WriteAll(fd, FirstLine())) {
        ::close(fd);
        return refuse(ErrorText(failed));
    }

    TraceTarget &target = Target();
    if (target.fd >= 0)
        ::close(target.fd);
    target.fd = fd;
    target.path = path;
    if (!target.previousHandler)
        target.previousHandler = qInstallMessageHandler(WriteTrace);
    QLoggingCategory::setFilterRules(QStringLiteral("kelvra.trace.debug=true"));
    return true;
}

} // namespace kelvra
