#include "link/serialopenreason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kelvra::serialopen {

namespace {

// Every reason text, in one place, collected for translation.
namespace text {
constexpr char kNoPortSelected[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "No serial port is selected. Pick the port of the programming cable in the port list.");
constexpr char kNoPortFound[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "No serial port was found. Plug the programming cable in; its port appears in the port list within a "
    "second.");
constexpr char kNotPresent[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1 is not present: no serial device or port alias has this number. Plug the programming cable "
    "in, or pick another port.");
constexpr char kDeviceMissing[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: the device %2 is not there. Plug the programming cable in again, or pick another port.");
constexpr char kNoHardware[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: the device %2 does not answer (%3). The adapter was unplugged or the port has no hardware "
    "behind it; pick another port.");
constexpr char kNotSerial[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is not a serial device. A port alias must point at a serial device such as /dev/ttyUSB0.");
constexpr char kNotMember[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. The device belongs to the group %3, and this user is not a member of "
    "it. Join the group %3%4; it takes effect at the next login.");
constexpr char kJoinedNotYet[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. This user was added to the group %3 after this session began, so the "
    "program does not have the group yet. Log out and in again; or, in a terminal, run newgrp %3 and start "
    "KelvraSet from there.");
constexpr char kDialoutElsewhere[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    " (uucp on Arch)");
constexpr char kModeDenies[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) do not let this user read "
    "and write it. Ask the administrator to give the group %5 read and write access and to make this "
    "user a member of it.");
constexpr char kRootOnly[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) let only the administrator use "
    "it. Ask the administrator for a udev rule that gives the device to the group dialout.");
constexpr char kSeeDocumentation[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    " The section \"Serial ports on Linux\" of %1 explains it.");
constexpr char kTheReadme[] = QT_TRANSLATE_NOOP("SerialOpenReason", "the README");
constexpr char kLockedBy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by the program %3 (process %4), which holds the lock file %5. Close that "
    "program and try again.");
constexpr char kStaleLock[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is locked by the lock file %3 of process %4, which no longer runs. Delete that lock file "
    "and try again.");
constexpr char kBusyBy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by the program %3 (process %4). Close that program and try again.");
constexpr char kBusy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by another program. Close that program and try again.");
constexpr char kOther[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 could not be opened: %3.");
} // namespace text

QString Text(const char *literal)
{
    return QCoreApplication::translate("SerialOpenReason", literal);
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

QString ProgramOf(const QString &procRoot, qint64 pid)
{
    QFile comm(QStringLiteral("%1/%2/comm").arg(procRoot).arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// Lock files are named after the device: LCK..ttyUSB0, and for devices in
// a subfolder of /dev (pts/3) with the slash made an underscore.
QStringList LockNames(const QString &devicePath)
{
    QStringList names{QStringLiteral("LCK..") + QFileInfo(devicePath).fileName()};
    if (devicePath.startsWith(QLatin1String("/dev/"))) {
        QString relative = devicePath.mid(5);
        relative.replace(QLatin1Char('/'), QLatin1Char('_'));
        names.append(QStringLiteral("LCK..") + relative);
    }
    names.removeDuplicates();
    return names;
}

// The process with devicePath open, other than by way of the lock file.
std::optional<LockHolder> ProcessUsing(const QByteArray &devicePath)
{
    DIR *proc = opendir("/proc");
    if (!proc)
        return std::nullopt;
    std::optional<LockHolder> found;
    while (!found) {
        const dirent *entry = readdir(proc);
        if (!entry)
            break;
        char *end = nullptr;
        const long pid = strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0)
            continue;
        const QByteArray fdDir = QByteArray("/proc/") + entry->d_name + "/fd";
        DIR *fds = opendir(fdDir.constData());
        if (!fds)
            continue;
        while (const dirent *fd = readdir(fds)) {
            char target[4096];
            const ssize_t n = readlink((fdDir + '/' + fd->d_name).constData(), target, sizeof target - 1);
            if (n > 0 && QByteArray(target, int(n)) == devicePath) {
                found = LockHolder{QString(), pid, ProgramOf(QStringLiteral("/proc"), pid)};
                break;
            }
        }
        closedir(fds);
    }
    closedir(proc);
    return found;
}

// The README as installed beside this program's bin folder, as installed at
// its configured place, beside the program; or, for a copy without one, its name.
QString SeeDocumentation()
{
    const QString bin = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    for (const QString &candidate : {bin + QStringLiteral(KELVRA_README_FROM_BINDIR), QStringLiteral(KELVRA_README),
                                     bin + QStringLiteral("README.md")}) {
        if (QFileInfo(candidate).isFile())
            return Text(text::kSeeDocumentation).arg(QDir::cleanPath(candidate));
    }
    return Text(text::kSeeDocumentation).arg(Text(text::kTheReadme));
}

} // namespace

QString NoPortSelected()
{
    return Text(text::kNoPortSelected);
}

QString NoPortFound()
{
    return Text(text::kNoPortFound);
}

QString NotPresent(int portNo)
{
    return Text(text::kNotPresent).arg(portNo);
}

QString DeviceMissing(int portNo, const QString &devicePath)
{
    return Text(text::kDeviceMissing).arg(portNo).arg(devicePath);
}

bool IsSerialLine(const QString &devicePath)
{
    struct stat st{};
    if (stat(QFile::encodeName(devicePath).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const unsigned int major = major(st.st_rdev);
    const unsigned int minor = minor(st.st_rdev);
    // Pseudo-terminals' far ends (136 to 143) and Bluetooth serial links (216)
    // may have no hardware in sysfs.
    if ((major >= 136 && major <= 143) || major == 216)
        return true;
    const QByteArray sys = "/sys/dev/char/" + QByteArray::number(major) + ':' + QByteArray::number(minor);
    if (access("/sys/dev/char", F_OK) != 0) // no sysfs: the serial families' fixed numbers
        return (major == 4 && minor >= 64) || major == 166 || major == 188 || major == 204;
    // Virtual consoles, /dev/console, /dev/tty and /dev/ptmx are ttys with no
    // device behind them: opening one would set a person's own screen to raw 115200 baud.
    char subsystem[PATH_MAX];
    return realpath((sys + "/subsystem").constData(), subsystem) && QByteArray(subsystem).endsWith("/tty")
        && access((sys + "/device").constData(), F_OK) == 0;
}

QString NotSerialDevice(int portNo, const QString &devicePath)
{
    return Text(text::kNotSerial).arg(portNo).arg(devicePath);
}

DeviceAccess AccessOf(const QString &devicePath)
{
    DeviceAccess access;
    struct stat st{};
    if (stat(QFile::encodeName(devicePath).constData(), &st) != 0)
        return access;
    access.mode = st.st_mode & 07777;
    access.ownerUid = st.st_uid;
    access.groupGid = st.st_gid;
    if (const passwd *owner = getpwuid(st.st_uid))
        access.ownerName = QString::fromLocal8Bit(owner->pw_name);
    else
        access.ownerName = QString::number(st.st_uid);
    access.groupName = QString::number(st.st_gid);
    if (const group *grp = getgrgid(st.st_gid)) {
        access.groupName = QString::fromLocal8Bit(grp->gr_name);
        for (char **member = grp->gr_mem; *member; ++member)
            access.groupMembers.append(QString::fromLocal8Bit(*member));
    }
    access.serialLine = IsSerialLine(devicePath);
    access.processUid = geteuid();
    if (const passwd *user = getpwuid(access.processUid)) {
        access.userName = QString::fromLocal8Bit(user->pw_name);
        access.userPrimaryGroup = user->pw_gid;
    }
    access.processGroups.append(getegid());
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        QList<gid_t> groups(count);
        const int got = getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            access.processGroups.append(groups.at(i));
    }
    return access;
}

QString AccessProblem(int portNo, const QString &devicePath, const DeviceAccess &access)
{
    constexpr uint kReadWrite = 06;
    if (!access.serialLine)
        return NotSerialDevice(portNo, devicePath);
    if (access.processUid == 0)
        return QString();
    uint shift = 0; // others
    if (access.processUid == access.ownerUid)
        shift = 6;
    else if (access.processGroups.contains(access.groupGid))
        shift = 3;
    if (((access.mode >> shift) & kReadWrite) == kReadWrite)
        return QString();

    const bool groupWouldDo = ((access.mode >> 3) & kReadWrite) == kReadWrite;
    if (shift == 0 && groupWouldDo) {
        // Groups are given at login: the database may already list the user.
        if (access.groupMembers.contains(access.userName) || access.userPrimaryGroup == access.groupGid)
            return Text(text::kJoinedNotYet).arg(portNo).arg(devicePath, access.groupName) + SeeDocumentation();
        const QString hint = access.groupName == QLatin1String("dialout") ? Text(text::kDialoutElsewhere) : QString();
        return Text(text::kNotMember).arg(portNo).arg(devicePath, access.groupName, hint) + SeeDocumentation();
    }
    QString symbolic;
    for (int bit = 8; bit >= 0; --bit)
        symbolic += (access.mode >> bit) & 1 ? QLatin1Char("xwr"[bit % 3]) : QLatin1Char('-');
    // Giving root's group access would open the device to far more than this program.
    const QString advice = access.groupGid == 0 ? Text(text::kRootOnly) : Text(text::kModeDenies);
    return advice.arg(portNo).arg(devicePath, symbolic, access.ownerName, access.groupName) + SeeDocumentation();
}

QStringList DefaultLockDirs()
{
    return {QStringLiteral("/run/lock"),     QStringLiteral("/var/lock"),        QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/etc/locks"),    QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),          QStringLiteral("/var/tmp")};
}

std::optional<LockHolder> FindLock(const QString &devicePath, const QStringList &lockDirs, const QString &procRoot)
{
    for (const QString &dir : lockDirs) {
        for (const QString &name : LockNames(devicePath)) {
            QFile file(dir + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            // Either "pid\nprogram\nhost\n" or a ten-column decimal pid.
            bool ok = false;
            const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
            if (!ok || pid <= 0)
                continue;
            return LockHolder{file.fileName(), pid, ProgramOf(procRoot, pid)};
        }
    }
    return std::nullopt;
}

QString LockProblem(int portNo, const QString &devicePath, const LockHolder &lock)
{
    if (lock.program.isEmpty())
        return Text(text::kStaleLock).arg(portNo).arg(devicePath, lock.lockFile).arg(lock.pid);
    return Text(text::kLockedBy).arg(portNo).arg(devicePath, lock.program).arg(lock.pid).arg(lock.lockFile);
}

QString Explain(int portNo, const QString &devicePath, const QString &libraryError)
{
    const QByteArray native = QFile::encodeName(devicePath);
    struct stat st{};
    if (stat(native.constData(), &st) != 0)
        return DeviceMissing(portNo, devicePath);

    const QString access = AccessProblem(portNo, devicePath, AccessOf(devicePath));
    if (!access.isEmpty())
        return access;
    if (const auto lock = FindLock(devicePath, DefaultLockDirs()))
        return LockProblem(portNo, devicePath, *lock);

    // Only reached once the serial library has failed on a serial line: a
    // second open tells EBUSY (exclusive use) and a missing UART from the rest.
    const int fd = open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EBUSY) {
            if (const auto holder = ProcessUsing(native)) {
                return Text(text::kBusyBy).arg(portNo).arg(devicePath, holder->program).arg(holder->pid);
            }
            return Text(text::kBusy).arg(portNo).arg(devicePath);
        }
        if (error == EIO || error == ENXIO || error == ENODEV)
            return Text(text::kNoHardware).arg(portNo).arg(devicePath, ErrnoText(error));
        return Text(text::kOther).arg(portNo).arg(devicePath, ErrnoText(error));
    }
    close(fd);
    return Text(text::kOther).arg(portNo).arg(devicePath, libraryError);
}

} // namespace kelvra::serialopen
